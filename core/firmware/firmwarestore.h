#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// The local firmware store: firmware files kept in "firmware" beside the program, recognised
// by their header (magic 0xAA55, "VERSION", device identifier, three version bytes).
namespace FirmwareStore {

struct Header
{
    bool valid = false;
    quint16 deviceId = 0;
    QString version; // "1.4.12"
};

Header parseHeader(const QByteArray &file);
// The 15 header bytes of an image for a device identifier and a version ("1.4.12").
QByteArray header(quint16 deviceId, const QString &version);

// The name a downloaded firmware is saved under in the store: the model's prefix
// ("Vexa760_1_v"), the version and "_update.bin". An identifier no model has gives no prefix; a
// file that is not a firmware gives neither prefix nor version ("_update.bin").
QString downloadName(const Header &header);

QString folder(); // created when missing

// Every firmware file of the store for a device identifier: version -> full path. Files are
// taken in case-insensitive name order, so of two files with one version the later one wins.
QMap<QString, QString> scan(const QString &folder, int deviceId);

// A downloaded image that no trusted key signed is stored with a marker file beside it (its
// name and ".unsigned"), so that the offer to flash it can say so.
bool isUnsigned(const QString &path);
// Sets or clears the marker; false when it cannot be written.
bool markUnsigned(const QString &path, bool isUnsigned);

// The newest version of a scan in natural order ("1.10.0" after "1.9.9"), "0.0.0" for none.
QString newest(const QMap<QString, QString> &versions);

} // namespace FirmwareStore
