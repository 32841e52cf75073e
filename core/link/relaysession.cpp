#include "relaysession.h"

#include "answerkey.h"
#include "commands.h"
#include "deveui.h"
#include "deviceinterface.h"
#include "frame.h"
#include "linkstate.h"
#include "packparser.h"
#include "payloadwriter.h"

#include <QDebug>
#include <QTimer>

namespace {
QString statusText(uchar statusCode)
{
    return QStringLiteral("0x%1").arg(statusCode, 2, 16, QLatin1Char('0'));
}
} // namespace

RelaySession::RelaySession(DeviceInterface *link)
    : QObject(link)
    , link(link)
    , settleWaitMs(DeviceInterface::relaySettleMs)
    , checkWaitMs(DeviceInterface::relayCheckTimeoutMs)
{
    settleTimer = new QTimer(this);
    settleTimer->setSingleShot(true);
    connect(settleTimer, &QTimer::timeout, this, &RelaySession::checkFskConnect);
    checkTimer = new QTimer(this);
    checkTimer->setSingleShot(true);
    connect(checkTimer, &QTimer::timeout, this, &RelaySession::checkConnectError);
    leaveTimer = new QTimer(this);
    leaveTimer->setSingleShot(true);
    connect(leaveTimer, &QTimer::timeout, this, &RelaySession::giveUpRemote);

    PackParser *parser = link->packParser();
    connect(parser, &PackParser::switchFskModeAnswer, this, &RelaySession::switchFskModeAnswer);
    connect(parser, &PackParser::checkConnectOk, this, &RelaySession::checkConnectOk);
    connect(parser, &PackParser::switchNormalModeAnswer, this,
            &RelaySession::switchToNormalModeAnswer);
    connect(parser, &PackParser::fskCommandAnswer, this, &RelaySession::fskCommandAnswer);
    connect(parser, &PackParser::clearFskAnswer, this, &RelaySession::clearFskAnswer);
    // Whatever closes the port (an unplug, a port error, giving up on the device) ends the
    // relay session with it: the next device must not get wrapped frames.
    connect(link->serialPort(), &QIODevice::aboutToClose, this,
            [this] { endRelay("the port was closed"); });
}

void RelaySession::set(bool relayOn, const QString &devEui, qint32 timeout)
{
    on = relayOn;
    remoteDevEui = QString(devEui).remove(QLatin1Char('-'));
    relayTimeout = timeout;
}

bool RelaySession::sendRelayed(quint8 innerPort, const QByteArray &inner)
{
    if (inner.size() > DeviceInterface::maxRelayedPayloadBytes) {
        // Its length would not fit the wrapper's length byte: the remote device would take a
        // cut payload for the whole.
        qWarning().noquote() << QStringLiteral("A %1-byte payload does not fit the relay "
                                               "(at most %2 bytes): not sent")
                                    .arg(inner.size())
                                    .arg(DeviceInterface::maxRelayedPayloadBytes)
                             << "/C:12";
        return false;
    }
    const QByteArray frame =
        Frame::wrap(Frame::commandPort, Frame::relayPayload(Frame::devEuiBytes(remoteDevEui),
                                                            innerPort, relayTimeout, inner));
    qDebug().noquote() << "FSK Out cmd pack: " << QString::fromLatin1(frame.toHex()) << "/C:18";
    link->writeToTransport(frame);
    return true;
}

void RelaySession::switchToFskMode(QString devEui, int sessionTime, int timeout)
{
    if (!DevEui::isValid(devEui)) {
        // Decoded as far as it goes, it would address some other device.
        qDebug().noquote() << "Not a DevEUI: " << devEui << "/C:12";
        emit link->changeDeviceStatus(LinkState::FskConnectFailed);
        return;
    }
    remoteDevEui = devEui.remove(QLatin1Char('-'));
    relayTimeout = timeout;
    connected = false;
    qDebug().noquote() << "Switch to FSK mode, remote DevEUI: " << remoteDevEui;
    // Relay mode is still off: this goes to the local device itself.
    link->sendCommand(Cmd::fskMode, Frame::commandPort,
                      PayloadWriter().u8(1).u32(quint32(sessionTime)).data());
}

void RelaySession::switchFskModeAnswer(uchar resultCode, uchar statusCode)
{
    link->stopAnswer();
    if (resultCode != 0) {
        qDebug().noquote() << "FSK Status code: " + statusText(statusCode);
        emit link->relayRefused(Cmd::fskMode, statusCode);
        emit link->changeDeviceStatus(LinkState::FskConnectFailed);
        return;
    }
    on = true;
    link->setAnswerTimeout(DeviceInterface::relayAnswerTimeoutMs);
    link->setMaxRetries(DeviceInterface::relayMaxRetries);
    // The radio session needs a moment before the remote device can hear us; the window goes
    // on meanwhile. (Started before anyone hears of the mode: a leave asked for at once stops
    // it.)
    settleTimer->start(settleWaitMs);
    emit link->relayModeChanged(true);
}

void RelaySession::checkFskConnect()
{
    qDebug() << "Check fsk connect";
    connected = false;
    link->sendCommand(Cmd::checkConnect, Frame::commandPort, QByteArray());
    checkTimer->start(checkWaitMs);
}

void RelaySession::checkConnectOk()
{
    // Only the answer to a check still waited for counts: one that comes after the check has
    // failed must not revive a session the user has been told is gone.
    if (!on || connected || !checkTimer->isActive()) {
        qDebug() << "Relay check answer dropped: no check waits for it";
        return;
    }
    checkTimer->stop();
    link->stopAnswer();
    connected = true;
    emit link->changeDeviceStatus(LinkState::FskConnected);
    link->setWriteMode(false);
    link->readConfiguration();
}

void RelaySession::checkConnectError()
{
    if (connected)
        return;
    qDebug() << "FSK connect check failed: the remote device does not answer"
             << "/C:12";
    on = false;
    link->forgetRoundTrips();
    // The check's own answer time-out would resend it, unwrapped, to the local device.
    link->forgetRequest(AnswerKey::ofRequest(Frame::commandPort, Cmd::checkConnect, {}));
    emit link->relayModeChanged(false);
    // The local device is still in relay mode: it is told to leave before anyone hears of the
    // failure, so that whatever follows finds it usable.
    leaveLocal();
    emit link->changeDeviceStatus(LinkState::FskConnectFailed);
}

void RelaySession::switchToNormalMode()
{
    qDebug() << "Switch to normal mode";
    settleTimer->stop();
    checkTimer->stop();
    if (!on) {
        if (!localLeaving)
            leaveLocal();
        return;
    }
    // Wrapped while relaying: the remote device ends its session first.
    link->sendCommand(Cmd::normalMode, Frame::commandPort, QByteArray());
    leaveTimer->start(checkWaitMs);
}

void RelaySession::giveUpRemote()
{
    if (!on)
        return;
    qDebug() << "The remote device does not answer the leave: the local device leaves alone"
             << "/C:12";
    link->forgetRequest(AnswerKey::ofRequest(Frame::commandPort, Cmd::normalMode, {}));
    on = false;
    connected = false;
    emit link->relayModeChanged(false);
    leaveLocal();
}

void RelaySession::leaveLocal()
{
    localLeaving = true;
    link->sendCommand(Cmd::normalMode, Frame::commandPort, QByteArray());
}

void RelaySession::switchToNormalModeAnswer(uchar resultCode, uchar statusCode)
{
    link->stopAnswer();
    leaveTimer->stop();
    if (resultCode != 0) {
        localLeaving = false;
        qDebug().noquote() << "FSK Status code: " + statusText(statusCode);
        emit link->relayRefused(Cmd::normalMode, statusCode);
        return;
    }
    if (on) {
        // The remote device has ended its session; now the local one.
        on = false;
        connected = false;
        link->forgetRoundTrips(); // the radio's round trips are not the cable's
        emit link->relayModeChanged(false);
        leaveLocal();
        return;
    }
    // Once, after the local device: the configuration read that follows is the local one's.
    localLeaving = false;
    emit link->changeDeviceStatus(LinkState::FskDisconnected);
}

void RelaySession::fskCommandAnswer(uchar, uchar statusCode)
{
    if (!on || (statusCode != DeviceInterface::relayBusyStatus &&
                statusCode != DeviceInterface::relayBusyStatus2))
        return; // the wrapped command's own answer, or its time-out, follows
    link->sendClearFskStatus();
}

void RelaySession::clearFskAnswer()
{
    // The relay status is clear: the command it refused goes again, counted as a resend.
    if (on)
        link->answerTimeout();
}

void RelaySession::endRelay(const char *why)
{
    settleTimer->stop();
    checkTimer->stop();
    leaveTimer->stop();
    localLeaving = false;
    if (!on)
        return;
    qDebug() << "Relay mode ended:" << why;
    on = false;
    connected = false;
    link->forgetRoundTrips();
    emit link->relayModeChanged(false);
}
