#include "portcheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
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

Problem check(const QString &name)
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
    ::close(fd);
#else
    Q_UNUSED(name);
#endif
    return Problem::None;
}

Problem diagnose(const QString &name)
{
    // It opens for us, so what refused the serial layer was another program's lock on it.
    const Problem p = check(name);
    return p == Problem::None ? Problem::InUse : p;
}

QString describe(Problem problem, const QString &name)
{
    switch (problem) {
    case Problem::None:
        break;
    case Problem::Missing:
        return QStringLiteral("no such port: ") + name;
    case Problem::NoPermission:
        return QStringLiteral("no permission to open %1 (vexa7xx-cli doctor tells the fix)")
            .arg(name);
    case Problem::InUse:
        return QStringLiteral("%1 is in use by another program").arg(name);
    }
    return QString();
}

QString udevRule(quint16 vendorId, quint16 productId)
{
    const auto hex = [](quint16 id) {
        return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
    };
    return QStringLiteral("SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"%1\", ATTRS{idProduct}==\"%2\", "
                          "TAG+=\"uaccess\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"")
        .arg(hex(vendorId), hex(productId));
}

QString udevRulePath()
{
    return QStringLiteral("/etc/udev/rules.d/60-vexa7xx.rules");
}

PermissionFix permissionFix(const QString &name, quint16 vendorId, quint16 productId)
{
    PermissionFix fix;
    fix.node = QFileInfo(nodePath(name)).canonicalFilePath();
    if (fix.node.isEmpty())
        fix.node = nodePath(name);
    // The package puts the rule with the system's; the fix below with the administrator's.
    for (const QString &dir :
         {QStringLiteral("/etc/udev/rules.d"), QStringLiteral("/usr/lib/udev/rules.d"),
          QStringLiteral("/lib/udev/rules.d")})
        fix.ruleInstalled |= QFileInfo::exists(dir + QStringLiteral("/60-vexa7xx.rules"));
    fix.ruleCommand = QStringLiteral("echo '%1' | sudo tee %2 >/dev/null && sudo udevadm control "
                                     "--reload && sudo udevadm trigger --subsystem-match=tty")
                          .arg(udevRule(vendorId, productId), udevRulePath());
#ifdef Q_OS_UNIX
    const uid_t uid = ::geteuid();
    if (const passwd *pw = ::getpwuid(uid))
        fix.user = QString::fromLocal8Bit(pw->pw_name);
    struct stat st = {};
    if (::stat(QFile::encodeName(fix.node).constData(), &st) != 0)
        return fix;
    QString groupName = QString::number(st.st_gid);
    if (const group *gr = ::getgrgid(st.st_gid))
        groupName = QString::fromLocal8Bit(gr->gr_name);
    QString ownerName = QString::number(st.st_uid);
    if (const passwd *pw = ::getpwuid(st.st_uid))
        ownerName = QString::fromLocal8Bit(pw->pw_name);
    const char bits[] = "rwxrwxrwx";
    QString mode = S_ISCHR(st.st_mode) ? QStringLiteral("c") : QStringLiteral("-");
    for (int i = 0; i < 9; ++i)
        mode += (st.st_mode & (0400 >> i)) ? QLatin1Char(bits[i]) : QLatin1Char('-');
    fix.modeText = mode + QLatin1Char(' ') + ownerName + QLatin1Char(':') + groupName;
    if (st.st_uid == uid) {
        // The owner's bits decide for the owner, whatever the group's say.
        fix.ownerBlocked = (st.st_mode & (S_IRUSR | S_IWUSR)) != (S_IRUSR | S_IWUSR);
        if (fix.ownerBlocked)
            fix.ownerCommand = QStringLiteral("chmod u+rw ") + fix.node;
        return fix;
    }
    if ((st.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP))
        return fix;
    fix.group = groupName;
    // In the group's list of /etc/group, but not in this process's groups: the login that
    // started it came before the user was added.
    gid_t groups[256];
    int count = ::getgroups(256, groups);
    bool active = ::getegid() == st.st_gid;
    for (int i = 0; i < count; ++i)
        active |= groups[i] == st.st_gid;
    bool listed = false;
    if (const passwd *pw = ::getpwuid(uid)) {
        gid_t all[256];
        int n = 256;
        if (::getgrouplist(pw->pw_name, pw->pw_gid, all, &n) >= 0) {
            for (int i = 0; i < n; ++i)
                listed |= all[i] == st.st_gid;
        }
    }
    fix.inGroupLater = listed && !active;
    if (!listed)
        fix.groupCommand = QStringLiteral("sudo usermod -aG %1 %2").arg(groupName, fix.user);
#else
    Q_UNUSED(vendorId);
    Q_UNUSED(productId);
#endif
    return fix;
}

QList<Holder> holders(const QString &name)
{
    QList<Holder> out;
#ifdef Q_OS_UNIX
    const QString node = QFileInfo(nodePath(name)).canonicalFilePath();
    if (node.isEmpty())
        return out;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &pid : pids) {
        bool isPid = false;
        const qint64 number = pid.toLongLong(&isPid);
        if (!isPid)
            continue;
        const QString fdDir = QStringLiteral("/proc/") + pid + QStringLiteral("/fd");
        // Other users' descriptors cannot be listed without root: those stay unseen.
        for (const QString &fd : QDir(fdDir).entryList(QDir::Files | QDir::System)) {
            if (QFile::symLinkTarget(fdDir + QLatin1Char('/') + fd) != node)
                continue;
            QFile comm(QStringLiteral("/proc/") + pid + QStringLiteral("/comm"));
            comm.open(QIODevice::ReadOnly);
            out.append({number, QString::fromLocal8Bit(comm.readAll()).trimmed()});
            break;
        }
    }
#else
    Q_UNUSED(name);
#endif
    return out;
}

QStringList portGrabbersRunning()
{
    QStringList out;
#ifdef Q_OS_UNIX
    static const QStringList known{QStringLiteral("ModemManager"), QStringLiteral("brltty")};
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile comm(QStringLiteral("/proc/") + pid + QStringLiteral("/comm"));
        if (!pid.at(0).isDigit() || !comm.open(QIODevice::ReadOnly))
            continue;
        const QString name = QString::fromLocal8Bit(comm.readAll()).trimmed();
        if (known.contains(name) && !out.contains(name))
            out << name;
    }
#endif
    return out;
}

} // namespace PortCheck
