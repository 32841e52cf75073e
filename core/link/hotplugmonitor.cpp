#include "hotplugmonitor.h"

#include <QDebug>
#include <QDir>
#include <QFileSystemWatcher>
#include <QSocketNotifier>

#ifdef VEXA_HAVE_UDEV
#include <libudev.h>
#endif

HotplugMonitor::HotplugMonitor(const QStringList &extraFolders, QObject *parent)
    : QObject(parent)
{
#ifdef VEXA_HAVE_UDEV
    // Without the udev daemon no event would ever arrive on the udev channel.
    if (QDir(QStringLiteral("/run/udev")).exists()) {
        udevContext = udev_new();
        if (udevContext)
            monitor = udev_monitor_new_from_netlink(udevContext, "udev");
        if (monitor &&
            udev_monitor_filter_add_match_subsystem_devtype(monitor, "tty", nullptr) == 0 &&
            udev_monitor_enable_receiving(monitor) == 0) {
            notifier =
                new QSocketNotifier(udev_monitor_get_fd(monitor), QSocketNotifier::Read, this);
            connect(notifier, &QSocketNotifier::activated, this, &HotplugMonitor::readUdev);
        } else if (monitor) {
            udev_monitor_unref(monitor);
            monitor = nullptr;
        }
    }
#endif
    QStringList folders;
    if (!monitor)
        folders << QStringLiteral("/dev") << QStringLiteral("/dev/pts");
    for (const QString &f : extraFolders) {
        if (!f.isEmpty() && !folders.contains(f) && QDir(f).exists())
            folders << f;
    }
    if (!folders.isEmpty()) {
        watcher = new QFileSystemWatcher(this);
        for (const QString &f : folders) {
            if (QDir(f).exists())
                watcher->addPath(f);
        }
        connect(watcher, &QFileSystemWatcher::directoryChanged, this,
                &HotplugMonitor::nodesChanged);
    }
}

HotplugMonitor::~HotplugMonitor()
{
#ifdef VEXA_HAVE_UDEV
    if (monitor)
        udev_monitor_unref(monitor);
    if (udevContext)
        udev_unref(udevContext);
#endif
}

void HotplugMonitor::readUdev()
{
#ifdef VEXA_HAVE_UDEV
    while (struct udev_device *dev = udev_monitor_receive_device(monitor)) {
        udev_device_unref(dev);
        emit nodesChanged();
    }
#endif
}
