#include "appinfo.h"

namespace AppInfo {

QString version()
{
    return QStringLiteral("1.6.0");
}

QString revision()
{
    return QStringLiteral("43");
}

QString buildDate()
{
    return QStringLiteral(__DATE__);
}

} // namespace AppInfo
