#include "apppaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
const char folderName[] = "vexa7xx-configurator";

QString &overrideDir()
{
    static QString dir;
    return dir;
}

// What an installation puts beside bin/.
QString shareDir(const QString &programDir)
{
    return QDir::cleanPath(programDir + QStringLiteral("/../share/") + QLatin1String(folderName));
}

// An installation: the shipped files in share/, none beside the executable.
bool installed(const QString &programDir, const QString &share)
{
    return !QFileInfo::exists(programDir + QStringLiteral("/devices.db")) &&
           QFileInfo::exists(share + QStringLiteral("/devices.db"));
}

enum class Kind { Shipped, Settings, UserData };

Kind kindOf(const QString &name)
{
    const QString first = name.section(QLatin1Char('/'), 0, 0);
    if (first == QLatin1String("devices.db") || first == QLatin1String("translations") ||
        first == QLatin1String("help"))
        return Kind::Shipped;
    return first == QLatin1String("settings.conf") ? Kind::Settings : Kind::UserData;
}

QString userFolder(QStandardPaths::StandardLocation location)
{
    const QString dir =
        QStandardPaths::writableLocation(location) + QLatin1Char('/') + QLatin1String(folderName);
    QDir().mkpath(dir); // the log and the history are opened as plain files
    return dir;
}
} // namespace

namespace AppPaths {

QString appDir()
{
    if (!overrideDir().isEmpty())
        return overrideDir();
    return QCoreApplication::applicationDirPath();
}

QString filePath(const QString &name)
{
    const QString dir = appDir();
    if (!overrideDir().isEmpty())
        return dir + QLatin1Char('/') + name;
    const Kind kind = kindOf(name);
    if (kind == Kind::Shipped) {
        const QString share = shareDir(dir);
        return (installed(dir, share) ? share : dir) + QLatin1Char('/') + name;
    }
    if (portable())
        return dir + QLatin1Char('/') + name;
    return userFolder(kind == Kind::Settings ? QStandardPaths::GenericConfigLocation
                                             : QStandardPaths::GenericDataLocation) +
           QLatin1Char('/') + name;
}

bool portable()
{
    const QString dir = appDir();
    if (!overrideDir().isEmpty())
        return true;
    // An installed program keeps out of its folder even when it may write there (run as root,
    // say): /usr/bin is no place for a user's settings.
    return !installed(dir, shareDir(dir)) && QFileInfo(dir).isWritable();
}

void setAppDirOverride(const QString &dir)
{
    overrideDir() = dir;
}

} // namespace AppPaths
