#pragma once

#include <QObject>
#include <QStringList>

class QFileSystemWatcher;
class QSocketNotifier;
struct udev;
struct udev_monitor;

// Tells when serial device nodes come or go. With a running udev it listens to the kernel's
// "tty" events; without one (containers, minimal systems) it watches the device folders, which
// also sees pseudo-terminals and symlinks come and go.
class HotplugMonitor : public QObject
{
    Q_OBJECT
public:
    // extraFolders: further folders to watch (the folder of an explicitly given port).
    explicit HotplugMonitor(const QStringList &extraFolders = {}, QObject *parent = nullptr);
    ~HotplugMonitor() override;

    bool usesUdev() const { return monitor != nullptr; }

signals:
    void nodesChanged();

private:
    void readUdev();

    struct udev *udevContext = nullptr;
    struct udev_monitor *monitor = nullptr;
    QSocketNotifier *notifier = nullptr;
    QFileSystemWatcher *watcher = nullptr;
};
