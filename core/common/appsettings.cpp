#include "appsettings.h"

#include "apppaths.h"

#include <QDebug>
#include <QSettings>

// The update server is a deployment value; this reserved name is replaced per installation
// by editing UpdateServer/IP in settings.conf.
const char *const AppSettings::defaultUpdateServerHost = "update.vexa7xx.example";

namespace {
QString key(const QString &group, const QString &entry)
{
    return group + QLatin1Char('/') + entry;
}

// Parses a 16-bit hexadecimal identifier; false for anything else.
bool parseUsbId(const QVariant &value, quint16 *out)
{
    bool ok = false;
    const uint v = value.toString().trimmed().toUInt(&ok, 16);
    if (!ok || v > 0xFFFF)
        return false;
    *out = static_cast<quint16>(v);
    return true;
}
} // namespace

QString AppSettings::filePath()
{
    return AppPaths::filePath(QStringLiteral("settings.conf"));
}

QVariant AppSettings::read(const QString &group, const QString &entry)
{
    QSettings s(filePath(), QSettings::IniFormat);
    return s.value(key(group, entry));
}

void AppSettings::write(const QString &group, const QString &entry, const QVariant &value)
{
    QSettings s(filePath(), QSettings::IniFormat);
    s.setValue(key(group, entry), value);
    s.sync();
}

bool AppSettings::contains(const QString &group, const QString &entry)
{
    QSettings s(filePath(), QSettings::IniFormat);
    return s.contains(key(group, entry));
}

AppSettings::UsbIds AppSettings::deviceUsbIds()
{
    QSettings s(filePath(), QSettings::IniFormat);
    const QString vidKey = QStringLiteral("Device/VID");
    const QString pidKey = QStringLiteral("Device/PID");
    UsbIds ids;
    if (!s.contains(vidKey) || !s.contains(pidKey))
        return ids;
    UsbIds parsed;
    if (!parseUsbId(s.value(vidKey), &parsed.vid) || !parseUsbId(s.value(pidKey), &parsed.pid)) {
        // A typo here would make every device invisible; fall back to the known pair.
        qWarning() << "Invalid Device/VID or Device/PID in settings, defaults used";
        return ids;
    }
    return parsed;
}

AppSettings::ServerAddress AppSettings::updateServer()
{
    QSettings s(filePath(), QSettings::IniFormat);
    const QString ipKey = QStringLiteral("UpdateServer/IP");
    const QString portKey = QStringLiteral("UpdateServer/Port");
    ServerAddress address;
    if (s.contains(ipKey) && s.contains(portKey)) {
        address.host = s.value(ipKey).toString();
        address.port = static_cast<quint16>(s.value(portKey).toUInt());
        return address;
    }
    address.host = QString::fromLatin1(defaultUpdateServerHost);
    s.setValue(ipKey, address.host);
    s.setValue(portKey, int(address.port));
    s.sync();
    return address;
}

AppSettings::ServerAddress AppSettings::remoteServer()
{
    QSettings s(filePath(), QSettings::IniFormat);
    const QString ipKey = QStringLiteral("RemConf/IP");
    const QString portKey = QStringLiteral("RemConf/Port");
    const uint port = s.value(portKey).toUInt();
    if (!s.value(ipKey).toString().isEmpty() && port > 0 && port <= 65535)
        return {s.value(ipKey).toString(), quint16(port)};
    return updateServer();
}

void AppSettings::setRemoteServer(const QString &host, quint16 port)
{
    QSettings s(filePath(), QSettings::IniFormat);
    if (host.isEmpty()) {
        s.remove(QStringLiteral("RemConf/IP"));
        s.remove(QStringLiteral("RemConf/Port"));
    } else {
        s.setValue(QStringLiteral("RemConf/IP"), host);
        s.setValue(QStringLiteral("RemConf/Port"), int(port));
    }
    s.sync();
}

QString AppSettings::defaultLanguage(const QString &localeName)
{
    return localeName == QLatin1String("ru_RU") ? QStringLiteral("ru") : QStringLiteral("en");
}

bool AppSettings::readBool(const QString &group, const QString &entry, bool defaultValue)
{
    QSettings s(filePath(), QSettings::IniFormat);
    const QString k = key(group, entry);
    if (!s.contains(k)) {
        s.setValue(k, defaultValue);
        s.sync();
        return defaultValue;
    }
    return s.value(k).toBool();
}

bool AppSettings::verifyWrites()
{
    return readBool(QStringLiteral("Write"), QStringLiteral("Verify"), true);
}

void AppSettings::setVerifyWrites(bool on)
{
    write(QStringLiteral("Write"), QStringLiteral("Verify"), on);
}

bool AppSettings::consoleHidesPolling()
{
    return readBool(QStringLiteral("Console"), QStringLiteral("HidePolling"), true);
}

void AppSettings::setConsoleHidesPolling(bool on)
{
    write(QStringLiteral("Console"), QStringLiteral("HidePolling"), on);
}
