#pragma once

#include <QElapsedTimer>
#include <QObject>

class HotplugMonitor;
class MainWindow;
class QTimer;

// Plug and unplug notices (of the device folders, or the system's device-change messages)
// start a search for the device once they have settled.
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

private:
    MainWindow *window;
    HotplugMonitor *monitor = nullptr;
    QTimer *searchTimer;
    QElapsedTimer burst; // since the first notice of the burst still to be searched
};
