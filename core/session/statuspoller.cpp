#include "statuspoller.h"

#include "commands.h"
#include "deviceinterface.h"

#include <QDebug>

StatusPoller::StatusPoller(DeviceInterface *link, QObject *parent)
    : QObject(parent)
    , timer(new QTimer(this))
    , waitLimit(new QTimer(this))
{
    timer->setObjectName(QStringLiteral("statusTimer"));
    connect(timer, &QTimer::timeout, this, &StatusPoller::tick);
    waitLimit->setSingleShot(true);
    connect(waitLimit, &QTimer::timeout, this, [this] {
        qDebug() << "Status pass not ended in time, the waiting work goes";
        releaseWaiting();
    });

    connect(this, &StatusPoller::getStatus, link, &DeviceInterface::getStatus);
    connect(this, &StatusPoller::getBatStatus, link, &DeviceInterface::getBatStatus);
    connect(this, &StatusPoller::getAdcStatus, link, &DeviceInterface::getAdcStatus);
    connect(this, &StatusPoller::getInputsParamsStatus, link, &DeviceInterface::getInputsParams);
    connect(this, &StatusPoller::getDateTime, link, &DeviceInterface::getDateTime);
    connect(this, &StatusPoller::getNetQuality, link, &DeviceInterface::getNetQuality);
    connect(this, &StatusPoller::getLastSendStatus, link, &DeviceInterface::getLastSendStatus);
    connect(this, &StatusPoller::getNetTimesStatus, link, &DeviceInterface::getTimesStatus);
    connect(this, &StatusPoller::getCurrentFreq, link, &DeviceInterface::getCurrentFreq);
    connect(this, &StatusPoller::sendExtraordinaryPack, link,
            &DeviceInterface::sendExtraordinaryPack);

    connect(link, &DeviceInterface::netMainStatus, this, &StatusPoller::mainStatusAnswer);
    connect(link, &DeviceInterface::QualityNetStatus, this, &StatusPoller::answered);
    connect(link, &DeviceInterface::LastSendNetStatus, this, &StatusPoller::answered);
    connect(link, &DeviceInterface::TimesNetStatus, this, &StatusPoller::answered);
    connect(link, &DeviceInterface::updateBatStatus, this, &StatusPoller::answered);
    connect(link, &DeviceInterface::updateAdcStatus, this, &StatusPoller::answered);
    connect(link, &DeviceInterface::updateInputsParsmsStatus, this, &StatusPoller::answered);
    connect(link, &DeviceInterface::updateDateTime, this, &StatusPoller::answered);
    connect(link, &DeviceInterface::updateFreqList, this, &StatusPoller::answered);
}

bool StatusPoller::isPollCommand(quint16 cmd)
{
    // The codes of the requests next() makes the link send, one for each status code.
    switch (cmd) {
    case Cmd::netStatus:
    case Cmd::batStatus:
    case Cmd::adcStatus:
    case Cmd::inputsParams:
    case Cmd::getDateTime:
    case Cmd::netQuality:
    case Cmd::lastSendStatus:
    case Cmd::netTimes:
    case Cmd::currentFreq:
        return true;
    default:
        return false;
    }
}

void StatusPoller::setCommandList(const QList<int> &list)
{
    codes = list;
    index = codes.size();
}

void StatusPoller::setEnabled(bool on)
{
    enabled = on;
    if (!on)
        timer->stop();
    else if (!timer->isActive())
        timer->start(intervalMs);
}

void StatusPoller::setGates(std::function<bool()> idleGate, std::function<bool()> heldGate)
{
    idle = std::move(idleGate);
    held = std::move(heldGate);
}

void StatusPoller::startTimer()
{
    timer->start(intervalMs);
}

void StatusPoller::tick()
{
    if (held && held())
        return; // the timer keeps running: the pass starts once status is shown again
    timer->stop();
    if (inPass || (idle && !idle()))
        return;
    inPass = true;
    stopRequested = false;
    index = codes.size();
    emit passStarted();
    next();
}

void StatusPoller::next()
{
    if (!inPass)
        return;
    for (;;) {
        if (stopRequested) {
            qDebug() << "Stop read status";
            endPass(false);
            return;
        }
        if (--index < 0) {
            endPass(true);
            return;
        }
        switch (codes.at(index)) {
        case NetStatus:
            if (fsk)
                continue;
            emit getStatus();
            return;
        case Battery:
            emit getBatStatus();
            return;
        case Adc:
            emit getAdcStatus();
            return;
        case Inputs:
            emit getInputsParamsStatus();
            return;
        case DateTime:
            emit getDateTime();
            return;
        case NetQuality:
            if (registered || fsk) {
                emit getNetQuality();
                return;
            }
            emit qualitySkipped();
            continue;
        case LastSend:
            emit getLastSendStatus();
            return;
        case NetTimes:
            if (fsk)
                continue;
            emit getNetTimesStatus();
            return;
        case CurrentFreq:
            emit getCurrentFreq();
            return;
        default:
            continue; // a code this program does not know
        }
    }
}

void StatusPoller::mainStatusAnswer(const NET_MAIN_STAT &stat)
{
    registered = stat.netState == 2 || stat.netState == 5;
    const int previous = netState;
    netState = stat.netState;
    // Just registered: the packet goes first, and its answer carries the pass on.
    if (previous != 2 && previous != 5 && stat.netState == 2 && extraPackOnRegistration)
        emit sendExtraordinaryPack();
    else
        answered();
}

void StatusPoller::answered()
{
    // An answer outside a pass (late, or to a request of the user's) sends nothing.
    if (inPass)
        next();
}

void StatusPoller::endPass(bool complete)
{
    inPass = false;
    stopRequested = false;
    index = codes.size();
    if (complete)
        ++passes;
    emit passEnded();
    if (complete)
        emit passFinished(passes);
    releaseWaiting();
}

void StatusPoller::afterIdle(std::function<void()> action)
{
    timer->stop();
    if (!inPass) {
        action();
        return;
    }
    stopRequested = true;
    waiting << std::move(action);
    if (!waitLimit->isActive())
        waitLimit->start(waitPassEndMs);
}

void StatusPoller::abandonPass()
{
    if (!inPass)
        return;
    inPass = false;
    stopRequested = false;
    index = codes.size();
    releaseWaiting();
}

void StatusPoller::releaseWaiting()
{
    waitLimit->stop();
    if (waiting.isEmpty())
        return;
    // From the event loop: the actions send their own requests, which must not start inside
    // the answer handler that ended the pass.
    const QList<std::function<void()>> actions = std::move(waiting);
    waiting.clear();
    releasing = true;
    QMetaObject::invokeMethod(
        this,
        [this, actions] {
            releasing = false;
            for (const auto &action : actions)
                action();
        },
        Qt::QueuedConnection);
}
