#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>

class HotplugMonitor;
class MainWindow;
class QTimer;
class SelectDeviceForm;

// How the window comes to its device's port: plug and unplug notices (of the device folders,
// or the system's device-change messages) start a search once they have settled; the
// device-selection dialog chooses among several devices, or any port of the computer.
class HotplugController : public QObject
{
    Q_OBJECT
public:
    static constexpr int firstSearchDelayMs = 100;
    static constexpr int searchDelayMs = 1500;
    static constexpr int repeatDelayMs = 300;

    // Watches the system's device folder; the first search follows once the event loop runs.
    explicit HotplugController(MainWindow *window);
    // Watches folder instead (the folder of a port the user named).
    void watchFolder(const QString &folder);

public slots:
    // A device node came or went.
    void nodesChanged();
    // The search takes portName for the device whatever its USB identifiers (empty: every
    // port again), and looks at once.
    void usePort(const QString &portName);
    // The device-selection dialog: the devices found (none: the computer's ports).
    void showDeviceList(const QStringList &devices);

private:
    MainWindow *window;
    HotplugMonitor *monitor = nullptr;
    QTimer *searchTimer;
    QElapsedTimer burst; // since the first notice of the burst still to be searched
    QPointer<SelectDeviceForm> selectForm;
};
