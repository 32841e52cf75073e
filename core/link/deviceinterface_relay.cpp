// DeviceInterface: the radio relay session. The local device forwards wrapped requests to a
// remote device addressed by its DevEUI and hands its answers back wrapped.
#include "commands.h"
#include "deviceinterface.h"
#include "frame.h"
#include "linkstate.h"
#include "packparser.h"
#include "payloadwriter.h"

#include <QDebug>
#include <QRegularExpression>
#include <QTimer>

namespace {
QString statusText(uchar statusCode)
{
    return QStringLiteral("0x%1").arg(statusCode, 2, 16, QLatin1Char('0'));
}
} // namespace

void DeviceInterface::connectRelay()
{
    relaySettleTimer = new QTimer(this);
    relaySettleTimer->setSingleShot(true);
    connect(relaySettleTimer, &QTimer::timeout, this, &DeviceInterface::checkFskConnect);
    relayCheckTimer = new QTimer(this);
    relayCheckTimer->setSingleShot(true);
    connect(relayCheckTimer, &QTimer::timeout, this, &DeviceInterface::checkConnectError);

    connect(parser, &PackParser::switchFskModeAnswer, this, &DeviceInterface::switchFskModeAnswer);
    connect(parser, &PackParser::checkConnectOk, this, &DeviceInterface::checkConnectOk);
    connect(parser, &PackParser::switchNormalModeAnswer, this,
            &DeviceInterface::switchToNormalModeAnswer);
    connect(parser, &PackParser::fskCommandAnswer, this, &DeviceInterface::fskCommandAnswer);
    connect(parser, &PackParser::clearFskAnswer, this, &DeviceInterface::clearFskAnswer);
    // Whatever closes the port (an unplug, a port error, giving up on the device) ends the
    // relay session with it: the next device must not get wrapped frames.
    connect(port, &QIODevice::aboutToClose, this, [this] { endRelay("the port was closed"); });
}

bool DeviceInterface::isValidDevEui(const QString &devEui)
{
    static const QRegularExpression hex16(QStringLiteral("^[0-9A-Fa-f]{16}$"));
    return hex16.match(QString(devEui).remove(QLatin1Char('-'))).hasMatch();
}

QString DeviceInterface::shownDevEui(const QString &devEui)
{
    if (!isValidDevEui(devEui))
        return devEui.toUpper();
    const QString hex = QString(devEui).remove(QLatin1Char('-')).toUpper();
    QStringList pairs;
    for (int i = 0; i < hex.size(); i += 2)
        pairs << hex.mid(i, 2);
    return pairs.join(QLatin1Char('-'));
}

bool DeviceInterface::sendRelayed(quint8 innerPort, const QByteArray &inner)
{
    if (inner.size() > maxRelayedPayloadBytes) {
        // Its length would not fit the wrapper's length byte: the remote device would take a
        // cut payload for the whole.
        qWarning().noquote() << QStringLiteral("A %1-byte payload does not fit the relay "
                                               "(at most %2 bytes): not sent")
                                    .arg(inner.size())
                                    .arg(maxRelayedPayloadBytes)
                             << "/C:12";
        return false;
    }
    const QByteArray frame =
        Frame::wrap(Frame::commandPort, Frame::relayPayload(Frame::devEuiBytes(remoteDevEui),
                                                            innerPort, relayTimeout, inner));
    qDebug().noquote() << "FSK Out cmd pack: " << QString::fromLatin1(frame.toHex()) << "/C:18";
    writeToTransport(frame);
    return true;
}

void DeviceInterface::switchToFskMode(QString _remDevEui, int _sessionTime, int _timeout)
{
    if (!isValidDevEui(_remDevEui)) {
        // Decoded as far as it goes, it would address some other device.
        qDebug().noquote() << "Not a DevEUI: " << _remDevEui << "/C:12";
        emit changeDeviceStatus(LinkState::FskConnectFailed);
        return;
    }
    remoteDevEui = _remDevEui.remove(QLatin1Char('-'));
    relayTimeout = _timeout;
    relayConnected = false;
    qDebug().noquote() << "Switch to FSK mode, remote DevEUI: " << remoteDevEui;
    // Relay mode is still off: this goes to the local device itself.
    sendCommand(Cmd::fskMode, Frame::commandPort,
                PayloadWriter().u8(1).u32(quint32(_sessionTime)).data());
}

void DeviceInterface::switchFskModeAnswer(uchar resultCode, uchar statusCode)
{
    stopAnswer();
    if (resultCode != 0) {
        qDebug().noquote() << "FSK Status code: " + statusText(statusCode);
        emit relayRefused(Cmd::fskMode, statusCode);
        emit changeDeviceStatus(LinkState::FskConnectFailed);
        return;
    }
    relayMode = true;
    answerTimeoutMs = relayAnswerTimeoutMs;
    maxRetries = relayMaxRetries;
    emit relayModeChanged(true);
    // The radio session needs a moment before the remote device can hear us; the window goes
    // on meanwhile.
    relaySettleTimer->start(relaySettleWaitMs);
}

void DeviceInterface::checkFskConnect()
{
    qDebug() << "Check fsk connect";
    relayConnected = false;
    sendCommand(Cmd::checkConnect, Frame::commandPort, QByteArray());
    relayCheckTimer->start(relayCheckWaitMs);
}

void DeviceInterface::checkConnectOk()
{
    // Only the answer to a check still waited for counts: one that comes after the check has
    // failed must not revive a session the user has been told is gone.
    if (!relayMode || relayConnected || !relayCheckTimer->isActive()) {
        qDebug() << "Relay check answer dropped: no check waits for it";
        return;
    }
    relayCheckTimer->stop();
    stopAnswer();
    relayConnected = true;
    emit changeDeviceStatus(LinkState::FskConnected);
    writeMode = false;
    readConfiguration();
}

void DeviceInterface::checkConnectError()
{
    if (relayConnected)
        return;
    qDebug() << "FSK connect check failed: the remote device does not answer"
             << "/C:12";
    relayMode = false;
    // The check's own answer time-out would resend it, unwrapped, to the local device.
    answerTimer->stop();
    retryCount = 0;
    awaitingAnswer = false;
    earlier.removeAll(AnswerKey::ofRequest(Frame::commandPort, Cmd::checkConnect, {}));
    currentCmd = 0;
    emit relayModeChanged(false);
    emit changeDeviceStatus(LinkState::FskConnectFailed);
}

void DeviceInterface::switchToNormalMode()
{
    qDebug() << "Switch to normal mode";
    relaySettleTimer->stop();
    relayCheckTimer->stop();
    // Wrapped while relaying: the remote device ends its session first.
    sendCommand(Cmd::normalMode, Frame::commandPort, QByteArray());
}

void DeviceInterface::switchToNormalModeAnswer(uchar resultCode, uchar statusCode)
{
    stopAnswer();
    if (resultCode != 0) {
        qDebug().noquote() << "FSK Status code: " + statusText(statusCode);
        emit relayRefused(Cmd::normalMode, statusCode);
        return;
    }
    if (relayMode) {
        // The remote device has ended its session; now the local one.
        relayMode = false;
        relayConnected = false;
        emit relayModeChanged(false);
        sendCommand(Cmd::normalMode, Frame::commandPort, QByteArray());
        return;
    }
    // Once, after the local device: the configuration read that follows is the local one's.
    emit changeDeviceStatus(LinkState::FskDisconnected);
}

void DeviceInterface::fskCommandAnswer(uchar, uchar statusCode)
{
    if (!relayMode || (statusCode != relayBusyStatus && statusCode != relayBusyStatus2))
        return; // the wrapped command's own answer, or its time-out, follows
    sendClearFskStatus();
}

void DeviceInterface::clearFskAnswer()
{
    // The relay status is clear: the command it refused goes again, counted as a resend.
    if (relayMode)
        answerTimeout();
}

void DeviceInterface::endRelay(const char *why)
{
    relaySettleTimer->stop();
    relayCheckTimer->stop();
    if (!relayMode)
        return;
    qDebug() << "Relay mode ended:" << why;
    relayMode = false;
    relayConnected = false;
    emit relayModeChanged(false);
}
