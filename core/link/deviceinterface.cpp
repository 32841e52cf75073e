#include "deviceinterface.h"

#include "answerqueue.h"
#include "commands.h"
#include "frame.h"
#include "framesplitter.h"
#include "linkstate.h"
#include "packparser.h"
#include "payloadwriter.h"
#include "statusrecords.h"

#include <QCoreApplication>
#include <QDebug>
#include <QSerialPort>
#include <QTimer>

namespace {
const char *const outPrompt = QT_TRANSLATE_NOOP("DeviceInterface", "<font color=blue>&gt; </font>");
const char *const hiddenPrompt =
    QT_TRANSLATE_NOOP("DeviceInterface", "<font color=blue>&lt; </font>");
const char *const inPrompt = QT_TRANSLATE_NOOP("DeviceInterface", "<font color=green>&lt; </font>");

// The one data byte of status requests: whether the answer should come from the relayed device.
QByteArray relayFlag(bool relay)
{
    return QByteArray(1, char(relay ? 1 : 0));
}

// Commands whose text must never be shown or recorded: they carry passwords (the login is
// "USB " or "REMOTE " and the password) or file contents.
bool isHiddenCommand(const QString &text)
{
    for (const char *word : {"WrFile", "FSLOGIN", "FSLOGOUT", "USB"}) {
        if (text.contains(QLatin1String(word), Qt::CaseInsensitive))
            return true;
    }
    return text.trimmed().startsWith(QLatin1String("REMOTE "), Qt::CaseInsensitive);
}

const char *const hiddenText = "Hiden or binary command";

// Takes a text line the splitter has found out of the burst kept for the hex echo, so that
// the device's text is shown once, as text.
void removeTextLine(QByteArray &burst, const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    int at = burst.indexOf(bytes);
    while (at >= 0) {
        int end = at + bytes.size();
        while (end < burst.size() && burst.at(end) == '\r')
            ++end;
        if (end < burst.size() && burst.at(end) == '\n') {
            burst.remove(at, end + 1 - at);
            return;
        }
        at = burst.indexOf(bytes, at + 1);
    }
}
} // namespace

DeviceInterface::DeviceInterface(QObject *parent)
    : QObject(parent)
    , splitter(std::make_unique<FrameSplitter>())
    , answerQueue(std::make_unique<AnswerQueue>())
{
    registerLinkMetaTypes();

    port = new QSerialPort(this);
    port->setBaudRate(portBaudRate);
    connect(port, &QSerialPort::readyRead, this, &DeviceInterface::readPortData);
    connect(port, &QSerialPort::errorOccurred, this, &DeviceInterface::errorHandler);

    answerTimer = new QTimer(this);
    answerTimer->setSingleShot(true);
    connect(answerTimer, &QTimer::timeout, this, &DeviceInterface::answerTimeout);

    quietTimer = new QTimer(this);
    quietTimer->setSingleShot(true);
    connect(quietTimer, &QTimer::timeout, this, &DeviceInterface::addToQue);
    staleTimer = new QTimer(this);
    staleTimer->setSingleShot(true);
    connect(staleTimer, &QTimer::timeout, this, &DeviceInterface::frameStalled);

    parser = new PackParser(answerQueue.get(), this);
    connectParser();
    relay = new RelaySession(this);
    remote = new RemoteSession(this);
    portSession = new PortSession(this);
}

DeviceInterface::~DeviceInterface()
{
    parser->stopParser();
    disconnect(port, nullptr, this, nullptr);
    if (port->isOpen())
        port->close();
    delete port;
    port = nullptr;
    qDebug() << "Port closed, handle deleted.";
    if (QIODevice *socket = remote->socket()) {
        disconnect(socket, nullptr, this, nullptr);
        socket->close();
        qDebug() << "Socket closed, handle deleted.";
    }
    binLog.stop();
}

QIODevice *DeviceInterface::activeTransport() const
{
    if (remote->isOn() && remote->socket())
        return remote->socket();
    return port;
}

void DeviceInterface::setDeviceReady(bool ready)
{
    deviceReady = ready;
}

void DeviceInterface::writeToTransport(const QByteArray &bytes)
{
    QIODevice *t = activeTransport();
    if (t && t->isOpen())
        transmit(t, bytes);
}

qint64 DeviceInterface::transmit(QIODevice *t, const QByteArray &bytes)
{
    const qint64 written = t->write(bytes);
    if (written > 0)
        binLog.append(bytes.left(int(written)));
    return written;
}

void DeviceInterface::sendCommand(ushort _cmd, uint8_t _port, QByteArray data)
{
    lastPort = _port;
    lastData = data;
    lastCmd = _cmd;
    const QByteArray inner = Frame::payload(_cmd, _port, data);
    currentCmd = _cmd;
    const AnswerKey key = AnswerKey::ofRequest(_port, _cmd, data);
    // The file check and the relay check take long; a console command is not timed.
    const bool longWait = _cmd == Cmd::checkFile || _cmd == Cmd::checkConnect;
    const bool timed = longWait || !skipAnswerTimer;
    if (!resending) {
        // A request sent while another still waits (a console command, a button pressed
        // during a status pass) leaves the earlier one waiting for its own answer.
        if (timed && awaitingAnswer)
            earlier.append(awaited);
        if (!timed)
            earlier.append(key);
        while (earlier.size() > maxEarlierRequests)
            earlier.removeFirst();
    }
    if (timed) {
        awaited = key;
        awaitingAnswer = true;
        timeout.sent(resending, !longWait);
    }

    if (relay->isOn()) {
        if (!relay->sendRelayed(_port, inner)) {
            // Nothing went out: the request fails at once, as one whose resends are used up.
            retryCount = maxRetries;
            if (timed)
                answerTimer->start(0);
            skipAnswerTimer = false;
            return;
        }
    } else {
        const QByteArray frame = Frame::wrap(_port, inner);
        if (currentCmd != Frame::fileBlockCmd) {
            const QString hex = QString::fromLatin1(frame.toHex());
            qDebug().noquote() << "USB Out cmd pack: " << hex << "/C:13";
            emit printToTerminal(tr(outPrompt) + hex);
            emit frameSent(frame);
        }
        writeToTransport(frame);
    }

    if (timed)
        answerTimer->start(longWait ? longTimeoutMs : answerTimeoutNowMs());
    skipAnswerTimer = false;
}

void DeviceInterface::setAnswerTimeout(int ms)
{
    timeout.setFloor(ms);
}

void DeviceInterface::forgetRoundTrips()
{
    timeout.forget();
}

int DeviceInterface::answerTimeoutNowMs() const
{
    // A missed answer ends a remote session: nothing is learnt there.
    return remote->isOn() ? timeout.floor() : timeout.nowMs();
}

bool DeviceInterface::writeCommand(QString commandData)
{
    const bool sent = transmitText(textTransport(), commandData);
    if (!sent) {
        answerTimer->stop();
        return false;
    }
    // Erasing answers when it is done, which takes longer than any time-out.
    if (!commandData.contains(QLatin1String("ERASE ")))
        answerTimer->start(writeMode ? textWriteTimeoutMs : textTimeoutMs);
    return true;
}

QIODevice *DeviceInterface::textTransport() const
{
    if (!deviceReady)
        return nullptr;
    if (remote->isOn())
        return remote->socket() && remote->socket()->isOpen() ? remote->socket() : nullptr;
    return port->isOpen() ? port : nullptr;
}

bool DeviceInterface::transmitText(QIODevice *t, const QString &text)
{
    const bool hidden = isHiddenCommand(text);
    emit textSent(hidden ? QLatin1String(hiddenText) : text);
    if (hidden) {
        emit printToTerminal(tr(hiddenPrompt) + QLatin1String(hiddenText));
        qDebug() << "Command send:" << hiddenText;
    } else {
        // Typed text is shown as text: markup in it must not reach the rich-text console.
        emit printToTerminal(tr(outPrompt) + text.toHtmlEscaped());
        qDebug().noquote() << "Command send: " << text << "/C:13";
    }
    if (!t)
        return false;
    // The device reads a command to its line end; the remote server takes the text as it is.
    const QByteArray bytes = text.toUtf8() + (t == port ? QByteArray("\r\n") : QByteArray());
    if (hidden) {
        // The password goes to the device and nowhere else.
        const bool ok = t->write(bytes) == bytes.size();
        if (ok)
            binLog.append(QByteArray(hiddenText) + "\r\n");
        return ok;
    }
    return transmit(t, bytes) == bytes.size();
}

bool DeviceInterface::sendTextCmd(QString cmd)
{
    QIODevice *t = textTransport();
    if (!t)
        return false;
    return transmitText(t, cmd);
}

void DeviceInterface::sendTerminalCmd(QString cmd)
{
    if (remote->isOn()) {
        // The remote server takes the console's lines as text.
        sendTextCmd(cmd);
        return;
    }
    if (!port->isOpen() || !deviceReady)
        return;
    emit printToTerminal(tr(outPrompt) + cmd.toHtmlEscaped());
    qDebug().noquote() << "Command send: " << cmd << "/C:13";
    skipAnswerTimer = true;
    // Four hex digits of command code, then the data as hex pairs.
    bool ok = false;
    ushort code = cmd.left(4).toUShort(&ok, 16);
    if (!ok)
        code = 0;
    const QByteArray data = QByteArray::fromHex(cmd.mid(4).toLatin1());
    sendCommand(code, Frame::commandPort, data);
}

bool DeviceInterface::activateDebugMode(QString cmd)
{
    return sendTextCmd(cmd);
}

// ---- receive path -------------------------------------------------------------------------

void DeviceInterface::readPortData()
{
    QIODevice *source = qobject_cast<QIODevice *>(sender());
    if (!source)
        source = activeTransport();
    // Only what has come: readAll() of a buffered device reserves and shrinks a 16 KiB block
    // for every answer.
    const qint64 available = source->bytesAvailable();
    const QByteArray bytes = available > 0 ? source->read(available) : source->readAll();
    if (bytes.isEmpty())
        return;
    // The quiet timer is armed once per burst and looks at the time of the last bytes when it
    // fires, rather than being restarted for every answer of a fast exchange.
    lastBytesClock.start();
    if (!quietTimer->isActive())
        quietTimer->start(quietPeriodMs);
    if (rxBuffer.size() + bytes.size() <= maxEchoBytes) {
        rxBuffer.append(bytes);
    } else {
        // A burst that does not end (a flood) is not kept for its echo beyond this.
        const int room = qMax(0, maxEchoBytes - rxBuffer.size());
        rxBuffer.append(bytes.constData(), room);
        unshownBytes += bytes.size() - room;
    }
    binLog.append(bytes);
    // Frames go to the parser the moment they are complete; the quiet timer only closes the
    // burst for people (terminal, log).
    const qint64 damagedBefore = splitter->damagedFrames();
    for (const QByteArray &frame : splitter->feed(bytes)) {
        emit frameReceived(frame);
        deliver(frame);
    }
    for (const QString &line : splitter->takeTextLines()) {
        removeTextLine(rxBuffer, line);
        handleTextLine(line);
    }
    if (splitter->damagedFrames() > damagedBefore && awaitingAnswer && answerTimer->isActive()) {
        if (retryNow())
            qDebug() << "Damaged answer received: request sent again"
                     << "/C:12";
        else
            qDebug() << "Damaged answer received"
                     << "/C:12";
    }
    if (splitter->hasPartial())
        staleTimer->start(staleFrameMs);
    else
        staleTimer->stop();
    if (remote->isOn())
        remote->countStray(splitter->skippedBytes());
}

int DeviceInterface::bufferedBytes() const
{
    return rxBuffer.size() + splitter->pendingBytes();
}

void DeviceInterface::deliver(const QByteArray &frame)
{
    // The splitter hands over checked frames only: header, payload, CRC.
    // The key is read in place: the payload is not copied for it.
    const AnswerKey key =
        AnswerKey::ofAnswer(quint8(frame.at(Frame::headerBytes - 1)),
                            QByteArray::fromRawData(frame.constData() + Frame::headerBytes,
                                                    frame.size() - Frame::overheadBytes));
    if (!AnswerKey::isUnsolicited(key)) {
        if (awaitingAnswer && key == awaited) {
            awaitingAnswer = false;
            if (!remote->isOn())
                timeout.answered();
            stopAnswer();
        } else if (earlier.removeOne(key)) {
            // The answer to an earlier request: the one in flight still waits.
        } else {
            qDebug().noquote() << QStringLiteral("Answer dropped: 0x%1 (parameter %2) on port %3 "
                                                 "does not answer the request in flight")
                                      .arg(key.code, 4, 16, QLatin1Char('0'))
                                      .arg(key.param)
                                      .arg(key.port)
                               << "/C:12";
            remote->strayFrame(frame.size());
            return;
        }
    } else {
        remote->strayFrame(frame.size()); // events are rare: many of them are a flood
    }
    // Decoded in an event-loop pass of its own, on this thread: handing each answer to another
    // thread and back cost two thread wake-ups per answer, far more than decoding it.
    if (answerQueue->push(frame))
        QMetaObject::invokeMethod(parser, &PackParser::parseQueued, Qt::QueuedConnection);
}

void DeviceInterface::forgetRequest(const AnswerKey &key)
{
    answerTimer->stop();
    retryCount = 0;
    awaitingAnswer = false;
    earlier.removeAll(key);
    currentCmd = 0;
}

void DeviceInterface::frameStalled()
{
    // While an answer is awaited a half frame may still be completed by bytes to come (a
    // remote link pauses far longer inside an answer); it is given up at the answer time-out.
    // Otherwise it belongs to nothing.
    if (awaitingAnswer)
        return;
    for (const QByteArray &frame : splitter->flushStale()) {
        emit frameReceived(frame);
        deliver(frame);
    }
    for (const QString &line : splitter->takeTextLines())
        handleTextLine(line);
}

void DeviceInterface::addToQue()
{
    const qint64 sinceLastBytes =
        lastBytesClock.isValid() ? lastBytesClock.elapsed() : quietPeriodMs;
    if (sinceLastBytes < quietPeriodMs) {
        quietTimer->start(int(quietPeriodMs - sinceLastBytes));
        return;
    }
    quietTimer->stop();
    qint64 noiseBytes = 0;
    const QByteArray noise = splitter->takeNoise(&noiseBytes);
    if (noiseBytes > 0)
        emit noiseReceived(noise, noiseBytes);
    // What is left of a burst once its text lines are out: frames and noise, shown as hex.
    if (rxBuffer.trimmed().isEmpty() && unshownBytes == 0) {
        rxBuffer.clear();
        return;
    }
    QString hex = QString::fromLatin1(rxBuffer.toHex(' '));
    if (unshownBytes > 0)
        hex += QStringLiteral(" (and %1 bytes more)").arg(unshownBytes);
    qDebug().noquote() << "Receive buffer: " << hex;
    emit printToTerminal(tr(inPrompt) + hex.replace(QLatin1Char(' '), QStringLiteral("&nbsp;")));
    rxBuffer.clear();
    unshownBytes = 0;
}

// ---- requests -----------------------------------------------------------------------------

void DeviceInterface::request(const char *logLine, quint16 cmd, const QByteArray &data)
{
    qDebug() << logLine;
    sendCommand(cmd, Frame::commandPort, data);
}

void DeviceInterface::getFwVer()
{
    request("Get Device Info", Cmd::deviceInfo);
}

void DeviceInterface::getReboot()
{
    request("Get Reboot Device", Cmd::reboot);
}

void DeviceInterface::getDateTime()
{
    request("Get Date and Time", Cmd::getDateTime);
}

void DeviceInterface::setDevDateTime(time_t _tm, ushort _subTm)
{
    qDebug() << "Get Set Date and Time " << qint64(_tm);
    const quint32 seconds = quint32(quint64(_tm) & 0xFFFFFFFFu);
    sendCommand(Cmd::setDateTime, Frame::commandPort,
                PayloadWriter().u32(seconds).u16(_subTm).data());
}

void DeviceInterface::eraseMemory(QString type)
{
    qDebug().noquote() << "Get " << type;
    if (type == QLatin1String("netFactory"))
        sendCommand(Cmd::factoryDefault, Frame::commandPort,
                    PayloadWriter().u8(Cmd::resetNetwork).u8(0).data());
    else if (type == QLatin1String("devFactory"))
        sendCommand(Cmd::factoryDefault, Frame::commandPort,
                    PayloadWriter().u8(Cmd::resetDevice).u8(0).data());
    else if (type == QLatin1String("formatFlash"))
        sendCommand(Cmd::formatFlash, Frame::commandPort, QByteArray());
}

void DeviceInterface::getStatus()
{
    request("Get Device Status", Cmd::netStatus, relayFlag(relay->isOn()));
}

void DeviceInterface::getNetJoin()
{
    request("Get Net Join", Cmd::netJoin, relayFlag(false));
}

void DeviceInterface::getNetQuality()
{
    request("Get Net Quality", Cmd::netQuality, relayFlag(relay->isOn()));
}

void DeviceInterface::getLastSendStatus()
{
    request("Get Last Send Status", Cmd::lastSendStatus, relayFlag(relay->isOn()));
}

void DeviceInterface::getTimesStatus()
{
    request("Get Times Status", Cmd::netTimes, relayFlag(relay->isOn()));
}

void DeviceInterface::sendExtraordinaryPack()
{
    qDebug() << "Get Send Extraordinary pack"
             << "<------------------------------"
             << "/C:12";
    sendCommand(Cmd::extraordinaryPack, Frame::commandPort, relayFlag(false));
}

void DeviceInterface::getCurrentFreq()
{
    request("Get Current Frequency", Cmd::currentFreq, relayFlag(relay->isOn()));
}

void DeviceInterface::getBatStatus()
{
    request("Get Bat Status", Cmd::batStatus, PayloadWriter().u16(devId).data());
}

void DeviceInterface::getAdcStatus()
{
    request("Get ADC Status", Cmd::adcStatus, PayloadWriter().u16(devId).data());
}

void DeviceInterface::getInputsParams()
{
    request("Get Inputs Params Status", Cmd::inputsParams, PayloadWriter().u16(devId).data());
}

void DeviceInterface::getConfiguration(uchar _confType, uchar _paramNum)
{
    sendCommand(Cmd::readParam, Frame::commandPort,
                PayloadWriter().u8(_confType).u8(Cmd::paramAccess).u8(_paramNum).data());
}

void DeviceInterface::getFileInfo()
{
    request("Get File Info", Cmd::fileInfo, PayloadWriter().u8(Cmd::firmwareFile).data());
}

void DeviceInterface::getCreateFile()
{
    request("Get Create File", Cmd::createFile, PayloadWriter().u8(Cmd::firmwareFile).data());
}

void DeviceInterface::getLoadedBlocks()
{
    request("Get Loaded Blocks", Cmd::loadedBlocks,
            PayloadWriter().u8(Cmd::firmwareFile).u16(0).data());
}

void DeviceInterface::getCheckFile()
{
    request("Get Check File", Cmd::checkFile, PayloadWriter().u8(Cmd::firmwareFile).data());
}

void DeviceInterface::sendClearFskStatus()
{
    // Written around the relay: the local device's relay status is what needs clearing.
    qDebug() << "Clear FSK status";
    const QByteArray frame = Frame::wrap(
        Frame::commandPort, Frame::payload(Cmd::clearFskStatus, Frame::commandPort, {}));
    qDebug().noquote() << "USB Out cmd pack: " << QString::fromLatin1(frame.toHex()) << "/C:13";
    if (port->isOpen())
        transmit(port, frame);
}
