#include "portcheck.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace PortCheck {

namespace {
// Where the serial layer opens a name: absolute paths as they are, bare names under /dev.
QString nodePath(const QString &name)
{
    return name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
}
} // namespace

QString location(const QString &name)
{
#ifdef Q_OS_UNIX
    if (name.contains(QLatin1Char('/')))
        return QFileInfo(name).absoluteFilePath();
    return nodePath(name);
#else
    return name;
#endif
}

bool exists(const QString &name)
{
#ifdef Q_OS_UNIX
    return QFileInfo::exists(nodePath(name));
#else
    Q_UNUSED(name);
    return true;
#endif
}

Problem diagnose(const QString &name)
{
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(nodePath(name));
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        switch (errno) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return Problem::Missing;
        case EACCES:
        case EPERM:
            return Problem::NoPermission;
        default:
            return Problem::InUse; // EBUSY: opened for exclusive use elsewhere
        }
    }
    // It opens for us, so what refused the serial layer was another program's lock on it.
    ::close(fd);
#else
    Q_UNUSED(name);
#endif
    return Problem::InUse;
}

QString describe(Problem problem, const QString &name)
{
    switch (problem) {
    case Problem::None:
        break;
    case Problem::Missing:
        return QStringLiteral("no such port: ") + name;
    case Problem::NoPermission:
        return QStringLiteral("no permission to open %1 (see the README: serial port permissions)")
            .arg(name);
    case Problem::InUse:
        return QStringLiteral("%1 is in use by another program").arg(name);
    }
    return QString();
}

} // namespace PortCheck
