#include "apppaths.h"

#include <QCoreApplication>

namespace {
QString &overrideDir()
{
    static QString dir;
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
    return appDir() + QLatin1Char('/') + name;
}

void setAppDirOverride(const QString &dir)
{
    overrideDir() = dir;
}

} // namespace AppPaths
