#include "hotplugcontroller.h"

#include "deviceinterface.h"
#include "devicesession.h"
#include "hotplugmonitor.h"
#include "linkstate.h"
#include "mainwindow.h"
#include "portenumerator.h"
#include "selectdeviceform.h"

#include <QFileInfo>

#include <QTimer>
#include <algorithm>

HotplugController::HotplugController(MainWindow *mainWindow)
    : QObject(mainWindow)
    , window(mainWindow)
    , searchTimer(new QTimer(this))
{
    searchTimer->setObjectName(QStringLiteral("enumerationTimer"));
    searchTimer->setSingleShot(true);
    connect(searchTimer, &QTimer::timeout, window->deviceSession(), &DeviceSession::search);
    watchFolder(QString());
    searchTimer->start(firstSearchDelayMs);
}

void HotplugController::watchFolder(const QString &folder)
{
    delete monitor;
    monitor = new HotplugMonitor(folder.isEmpty() ? QStringList() : QStringList{folder}, this);
    connect(monitor, &HotplugMonitor::nodesChanged, this, &HotplugController::nodesChanged);
}

void HotplugController::nodesChanged()
{
    // An exchange is running (the search comes after it), or the session is finding the
    // device again after its reboot.
    if (window->isBusy() || window->deviceSession()->isAwaitingReturn())
        return;
    // Polling goes on: the search sends nothing to a device that is still there, and a device
    // that went or changed ends polling through its own states. Notices of other terminals
    // can come steadily; stopping here held the status panel still for as long as they came.
    // A burst of notices is searched once it has settled, yet no later than searchDelayMs
    // after its first notice: the notices of other programs' terminals may never settle, and
    // a device plugged in meanwhile must still be found.
    const bool burstStarts = !searchTimer->isActive() || !burst.isValid();
    if (burstStarts)
        burst.start();
    const int settleMs = window->globalState() == LinkState::Disconnected && burstStarts
                             ? searchDelayMs
                             : repeatDelayMs;
    const qint64 leftMs = std::max<qint64>(0, searchDelayMs - burst.elapsed());
    searchTimer->start(int(std::min<qint64>(settleMs, leftMs)));
}

void HotplugController::usePort(const QString &portName)
{
    window->portChoice()->choose(portName);
    // A terminal outside the system's device folder comes and goes in its own.
    watchFolder(portName.startsWith(QLatin1Char('/')) ? QFileInfo(portName).absolutePath()
                                                      : QString());
    window->refreshDeviceList();
}

void HotplugController::showDeviceList(const QStringList &devices)
{
    if (selectForm)
        return;
    selectForm = new SelectDeviceForm(devices, window);
    DeviceInterface *link = window->deviceLink();
    connect(selectForm, &SelectDeviceForm::selectDeviceIndex, link,
            &DeviceInterface::setCurrentDevice);
    connect(selectForm, &SelectDeviceForm::selectPort, this, &HotplugController::usePort);
    // Cancelled with no port open, the window still waits for a device.
    connect(selectForm, &SelectDeviceForm::selectionCanceled, this, [this, link] {
        window->setGlobalState(link->serialPort()->isOpen() ? LinkState::Ready
                                                            : LinkState::Disconnected);
    });
    selectForm->offerPorts(window->portChoice()->allPorts(), window->portChoice()->chosen());
    selectForm->show();
}

