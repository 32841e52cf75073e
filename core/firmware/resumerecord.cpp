#include "resumerecord.h"

#include "apppaths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
const QString folder = QStringLiteral("flash-resume");
}

QString ResumeRecord::path(const QString &serial)
{
    // The serial comes from the device: hex keeps any character of it out of the file name.
    return AppPaths::filePath(folder) + QLatin1Char('/') +
           QString::fromLatin1(serial.toUtf8().toHex()) + QStringLiteral(".json");
}

QByteArray ResumeRecord::hashOf(const QByteArray &image)
{
    return QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex();
}

ResumeRecord ResumeRecord::load(const QString &serial)
{
    ResumeRecord r;
    if (serial.isEmpty())
        return r;
    QFile file(path(serial));
    if (!file.open(QIODevice::ReadOnly))
        return r;
    const QJsonObject o = QJsonDocument::fromJson(file.read(4096)).object();
    r.serial = o.value(QStringLiteral("serial")).toString();
    r.sha256 = o.value(QStringLiteral("sha256")).toString().toLatin1();
    r.size = qint64(o.value(QStringLiteral("size")).toDouble());
    r.confirmedBytes = qint64(o.value(QStringLiteral("confirmedBytes")).toDouble());
    r.sentBytes = qint64(o.value(QStringLiteral("sentBytes")).toDouble());
    return r;
}

bool ResumeRecord::save() const
{
    if (serial.isEmpty() || !QDir().mkpath(AppPaths::filePath(folder)))
        return false;
    // Written once per block: a plain rewrite, no sync. A record cut short by a crash does not
    // parse, and an unreadable record only means the next flash starts over.
    QFile file(path(serial));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QJsonObject o{{QStringLiteral("serial"), serial},
                        {QStringLiteral("sha256"), QString::fromLatin1(sha256)},
                        {QStringLiteral("size"), size},
                        {QStringLiteral("confirmedBytes"), confirmedBytes},
                        {QStringLiteral("sentBytes"), sentBytes}};
    return file.write(QJsonDocument(o).toJson(QJsonDocument::Compact)) > 0;
}

QString ResumeRecord::whyNotResume(const QString &deviceSerial, const QByteArray &imageSha256,
                                   qint64 imageSize, qint64 loaded) const
{
    if (deviceSerial.isEmpty())
        return QStringLiteral("the device did not tell its serial number: starting over");
    if (serial.isEmpty())
        return QStringLiteral("no earlier attempt is recorded for this device: starting over");
    if (serial != deviceSerial || sha256 != imageSha256 || size != imageSize)
        return anotherImageText();
    // More than this program sent of the image: someone else wrote to the file since.
    if (loaded > sentBytes || loaded > imageSize)
        return anotherImageText();
    return QString();
}
