#include "firmwarestore.h"

#include "apppaths.h"
#include "naturalcompare.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <iterator>

namespace FirmwareStore {

Header parseHeader(const QByteArray &file)
{
    Header h;
    if (file.size() < 15 || quint8(file.at(0)) != 0x55 || quint8(file.at(1)) != 0xAA ||
        file.mid(2, 8) != QByteArray("VERSION\0", 8))
        return h;
    h.valid = true;
    h.deviceId = quint16(quint8(file.at(10)) | (quint8(file.at(11)) << 8));
    h.version = QStringLiteral("%1.%2.%3")
                    .arg(quint8(file.at(12)))
                    .arg(quint8(file.at(13)))
                    .arg(quint8(file.at(14)));
    return h;
}

QByteArray header(quint16 deviceId, const QString &version)
{
    QByteArray h = QByteArray::fromHex("55aa") + QByteArray("VERSION\0", 8);
    h.append(char(deviceId & 0xFF)).append(char(deviceId >> 8));
    const QStringList parts = version.split(QLatin1Char('.'));
    for (int i = 0; i < 3; ++i)
        h.append(char(parts.value(i).toInt()));
    return h;
}

QString downloadName(const Header &header)
{
    if (!header.valid)
        return QStringLiteral("_update.bin");
    // The low 10 bits carry the model number, the high 6 bits a variant of it.
    static const quint16 known[] = {701, 750, 760, 1784, 2808, 3832, 4856, 5880, 65272};
    QString prefix;
    if (std::find(std::begin(known), std::end(known), header.deviceId) != std::end(known)) {
        const int model = header.deviceId & 0x3FF;
        const int variant = header.deviceId >> 10;
        prefix = variant == 0 ? QStringLiteral("Vexa%1_v").arg(model)
                              : QStringLiteral("Vexa%1_%2_v").arg(model).arg(variant);
    }
    return prefix + header.version + QStringLiteral("_update.bin");
}

QString folder()
{
    const QString dir = AppPaths::filePath(QStringLiteral("firmware"));
    QDir().mkpath(dir);
    return dir;
}

QMap<QString, QString> scan(const QString &dirPath, int deviceId)
{
    QMap<QString, QString> versions;
    const QDir dir(dirPath);
    const QStringList names =
        dir.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : names) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const Header h = parseHeader(f.read(15)); // the header is all that matters here
        if (!h.valid || h.deviceId != deviceId)
            continue;
        qDebug().noquote() << "Found local FW Ver: " << h.version;
        versions.insert(h.version, f.fileName());
    }
    return versions;
}

QString newest(const QMap<QString, QString> &versions)
{
    QStringList list = versions.keys();
    if (list.isEmpty())
        return QStringLiteral("0.0.0");
    std::stable_sort(list.begin(), list.end(), naturalLess);
    return list.last();
}

bool isUnsigned(const QString &path)
{
    return QFileInfo::exists(path + QStringLiteral(".unsigned"));
}

bool markUnsigned(const QString &path, bool isUnsigned)
{
    QFile marker(path + QStringLiteral(".unsigned"));
    if (!isUnsigned)
        return !marker.exists() || marker.remove();
    return marker.open(QIODevice::WriteOnly);
}

} // namespace FirmwareStore
