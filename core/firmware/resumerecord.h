#pragma once

#include <QByteArray>
#include <QString>

// What this program last wrote into one device's file store: which image (its SHA-256), how
// long it is, how much of it the device confirmed and how far the last block sent reached. The
// device itself reports only the version of its file and how many bytes it holds, which two
// images of one version share; only this record ties those bytes to the image about to be
// written. One small file per device serial number in the user's data folder, so that
// parallel flashes of several devices never overwrite each other's record.
class ResumeRecord
{
public:
    QString serial;
    QByteArray sha256; // hex
    qint64 size = 0;
    qint64 confirmedBytes = 0;
    // The end of the last block sent: the device may have stored it and lost only its answer.
    qint64 sentBytes = 0;

    // The record of the device with that serial number (empty when there is none or it cannot
    // be read: nothing is then resumed).
    static ResumeRecord load(const QString &serial);
    // False when it cannot be written; a flash goes on without it (it will not resume).
    bool save() const;
    static QString path(const QString &serial);
    static QByteArray hashOf(const QByteArray &image);

    // Why the bytes a device holds are not known to be the start of this image (empty when
    // they are and the write may go on from them): the record must be this device's, of this
    // image, and the device must hold no more than was sent of it. loaded < 0: not yet asked.
    QString whyNotResume(const QString &deviceSerial, const QByteArray &imageSha256,
                         qint64 imageSize, qint64 loaded = -1) const;

    static QString anotherImageText()
    {
        return QStringLiteral("another image was being written: starting over");
    }
};
