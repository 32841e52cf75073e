#pragma once

#include <QString>
#include <QVariant>

// Access to "settings.conf" in the application directory. Every call opens the file, reads or
// writes and closes it again, so each reader sees what the file holds at that moment and a
// second program instance (or the user's editor) is never overwritten by a stale copy.
class AppSettings
{
public:
    static constexpr quint16 defaultVid = 0x0483;
    static constexpr quint16 defaultPid = 0x5740;
    static constexpr quint16 defaultUpdateServerPort = 12358;
    static const char *const defaultUpdateServerHost;

    struct UsbIds
    {
        quint16 vid = defaultVid;
        quint16 pid = defaultPid;
    };
    struct ServerAddress
    {
        QString host;
        quint16 port = defaultUpdateServerPort;
    };

    static QString filePath();

    // Group and entry joined by a slash; a null QVariant when the key is absent.
    static QVariant read(const QString &group, const QString &entry);
    static void write(const QString &group, const QString &entry, const QVariant &value);
    static bool contains(const QString &group, const QString &entry);

    // USB identifiers of the device's serial port. Both Device/VID and Device/PID must be
    // present and valid hexadecimal 16-bit numbers, otherwise both defaults apply.
    static UsbIds deviceUsbIds();

    // Update server address. Both UpdateServer/IP and UpdateServer/Port must be present,
    // otherwise both defaults apply and are written back.
    static ServerAddress updateServer();
    // The remote-configuration server: RemConf/IP and RemConf/Port when both are set, else the
    // update server (one host serves both by default).
    static ServerAddress remoteServer();
    // Sets them; an empty host removes them, so the update server's is used again.
    static void setRemoteServer(const QString &host, quint16 port);

    // Interface language: "ru" for the locale name "ru_RU" exactly, "en" otherwise.
    static QString defaultLanguage(const QString &localeName);

    // Whether a configuration write is read back and compared (Write/Verify, on by default).
    static bool verifyWrites();
    static void setVerifyWrites(bool on);

    // Whether the window's console hides the status polling (Console/HidePolling, on by
    // default).
    static bool consoleHidesPolling();
    static void setConsoleHidesPolling(bool on);

    // Reads a boolean; when the key is missing, stores and returns the default.
    static bool readBool(const QString &group, const QString &entry, bool defaultValue);
};
