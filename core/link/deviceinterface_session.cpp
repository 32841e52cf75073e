// DeviceInterface: opening a session, the request exchange and the answers.
#include "deviceidentity.h"
#include "deviceinterface.h"
#include "frame.h"
#include "framesplitter.h"
#include "linkstate.h"
#include "packparser.h"
#include "portenumerator.h"
#include "relaysession.h"
#include "remotesession.h"
#include "userprompts.h"

#include <QDebug>
#include <QTimer>

const char *const DeviceInterface::devicePrefix = vexaSerialPrefix;

void DeviceInterface::connectParser()
{
    // Answers that only inform go straight on; the parser's thread makes these queued.
    connect(parser, &PackParser::parseConfiguration, this, &DeviceInterface::parseConfiguration);
    connect(parser, &PackParser::answerWriteParam, this, &DeviceInterface::answerWriteParam);
    connect(parser, &PackParser::mainNetStatus, this, &DeviceInterface::netMainStatus);
    connect(parser, &PackParser::netQulityStatus, this, &DeviceInterface::QualityNetStatus);
    connect(parser, &PackParser::netLastSendStatus, this, &DeviceInterface::LastSendNetStatus);
    connect(parser, &PackParser::netTimesStatus, this, &DeviceInterface::TimesNetStatus);
    connect(parser, &PackParser::devBatStatus, this, &DeviceInterface::updateBatStatus);
    connect(parser, &PackParser::devAdcStatus, this, &DeviceInterface::updateAdcStatus);
    connect(parser, &PackParser::devInputsParamsStatus, this,
            &DeviceInterface::updateInputsParsmsStatus);
    connect(parser, &PackParser::getDateTimeAnswer, this, &DeviceInterface::updateDateTime);
    connect(parser, &PackParser::getFreqAnswer, this,
            [this](uchar, uchar, QList<QPair<int, QString>> freqList, QString rx2Freq,
                   QString rx2Dr) { emit updateFreqList(freqList, rx2Freq, rx2Dr); });
    // Answers that move the session on.
    connect(parser, &PackParser::setDevInfo, this, &DeviceInterface::deviceInfo);
    connect(parser, &PackParser::setDateTimeAnswer, this, &DeviceInterface::setDateTimeAnswer);
    connect(parser, &PackParser::netJoinAnswer, this, &DeviceInterface::netJoinAnswer);
    connect(parser, &PackParser::sendExtraordinaryPackAnswer, this,
            &DeviceInterface::sendExtraordinaryPackAnswer);
    connect(parser, &PackParser::rebootAnswer, this, &DeviceInterface::rebootAnswer);
    connect(parser, &PackParser::factoryDefaultAnswer, this,
            &DeviceInterface::factoryDefaultAnswer);
    connect(parser, &PackParser::formatFlashAnswer, this, &DeviceInterface::formatFlashAnswer);
    connect(parser, &PackParser::vexa760ModeChanged, this, &DeviceInterface::vexa760ModeChanged);
}

// ---- session ------------------------------------------------------------------------------

void DeviceInterface::readConfiguration()
{
    qDebug() << "READ CONFIGURATION!";
    deviceReady = false;
    ++conversationNo;

    if (remote->isOn()) {
        emit changeDeviceStatus(LinkState::Connected);
        qDebug() << "Started the data exchange with the device.";
        emit changeDeviceStatus(LinkState::ReadConfig);
        textTimeoutMs = remoteTextTimeoutMs;
        textWriteTimeoutMs = remoteTextTimeoutMs;
    } else if (!port->isOpen()) {
        if (port->portName().isEmpty() || !port->open(QIODevice::ReadWrite)) {
            qDebug().noquote() << "Error open Com port: " + port->portName() + "/C:12";
            return;
        }
        qDebug() << "Port flush: " << port->flush();
        qDebug().noquote() << "Port open OK!" + port->portName();
        splitter = std::make_unique<FrameSplitter>(); // nothing of an earlier session is pending
        forgetRoundTrips();
        awaitingAnswer = false;
        earlier.clear();
        emit changeDeviceStatus(LinkState::Connected);
        qDebug() << "Started the data exchange with the device.";
        emit changeDeviceStatus(LinkState::ReadConfig);
        textTimeoutMs = defaultTextTimeoutMs;
        textWriteTimeoutMs = defaultTextWriteTimeoutMs;
    } else {
        qDebug() << "Selected port open OK!";
        emit changeDeviceStatus(LinkState::Connected);
        qDebug() << "Started the data exchange with the device.";
        emit changeDeviceStatus(LinkState::ReadConfig);
    }
    writeMode = false;
    getFwVer();
}

// ---- exchange ------------------------------------------------------------------------------

void DeviceInterface::stopAnswer()
{
    answerTimer->stop();
    retryCount = 0;
}

void DeviceInterface::resend()
{
    // The same request again: one answer is still all it may take.
    resending = true;
    sendCommand(lastCmd, lastPort, lastData);
    resending = false;
}

bool DeviceInterface::retryNow()
{
    // Over the server a request is never sent twice: a damaged answer counts as none, and the
    // time-out ends the session.
    if (retryCount >= maxRetries || remote->isOn())
        return false;
    ++retryCount;
    qDebug() << "Data IO Error, request num: " << retryCount << "/C:12";
    resend();
    return true;
}

void DeviceInterface::answerTimeout()
{
    answerTimer->stop();
    // Whatever half frame is waiting will not be the answer any more.
    for (const QByteArray &frame : splitter->flushStale())
        deliver(frame);
    if (!awaitingAnswer)
        return; // it came with the last bytes
    timeout.timedOut();
    if (retryCount < maxRetries) {
        if (remote->isOn()) {
            qDebug() << "Remote device not respond.";
            disconnectRemote();
            emit changeDeviceStatus(LinkState::RemoteServerUnavailable);
            return;
        }
        retryNow();
        return;
    }
    retryCount = 0;
    if (!prompts()) {
        giveUpRequest();
        return;
    }
    // While the question is open the exchange rests: nothing is resent until it is answered.
    if (resendQuestionOpen)
        return;
    resendQuestionOpen = true;
    const int conversation = conversationNo;
    prompts()->linkPromptLater(firmwareUpdate ? UserPrompts::LinkPrompt::ContinueFirmware
                               : writeMode    ? UserPrompts::LinkPrompt::ContinueWriting
                                              : UserPrompts::LinkPrompt::ContinueReading,
                               this, [this, conversation](UserPrompts::Button answer) {
                                   resendQuestionOpen = false;
                                   resendAnswered(conversation, answer == UserPrompts::Yes,
                                                  answer == UserPrompts::No);
                               });
}

void DeviceInterface::resendAnswered(int conversation, bool again, bool giveUp)
{
    // The answer may have come late after all, or the device gone and another one found: the
    // question's cause has passed then.
    if (conversation != conversationNo || !awaitingAnswer || !activeTransport()->isOpen())
        return;
    if (again)
        resend(); // a new round of resends, and the question again after it
    else if (giveUp)
        giveUpRequest();
    // Closed without a choice: the request is left as it is.
}

void DeviceInterface::giveUpRequest()
{
    currentCmd = 0;
    awaitingAnswer = false;
    earlier.clear();
    qDebug() << "Device not respond, port closed!";
    if (port->isOpen())
        port->close();
    answerTimer->stop();
    retryCount = 0;
    emit changeDeviceStatus(LinkState::NotRespond);
}

void DeviceInterface::authenticationDevice(QString devPass)
{
    if (devPass != devPassword)
        devPassword = devPass;
    writeCommand((remote->isOn() ? QStringLiteral("REMOTE ") : QStringLiteral("USB ")) +
                 devPassword);
}

void DeviceInterface::handleTextLine(const QString &line)
{
    qDebug().noquote() << "Text answer: " << line;
    // The device's text is shown as text: markup in it must not reach the rich-text console.
    emit printToTerminal(tr("<font color=green>&lt; </font>") + line.toHtmlEscaped());
    emit textLineReceived(line);
    if (remote->textLine(line))
        return;
    // The login dialogue: the device refuses configuration commands until it has the password.
    if (line.startsWith(QLatin1String("LOGIN REQUIRED")) ||
        line.startsWith(QLatin1String("LOGIN ERROR"))) {
        stopAnswer();
        emit authenticationFail();
    } else if (line.startsWith(QLatin1String("LOGIN OK"))) {
        stopAnswer();
        // The command the device refused goes again, now that it will be taken.
        if (lastCmd != 0)
            resend();
    }
}

void DeviceInterface::deviceInfo(QString devVer, ushort devID, QString sn, QString dev_eui)
{
    qDebug().noquote() << "Device FW ver: " + devVer + " id: " + QString::number(devID);
    devId = devID;
    emit setCurrentFwVer(devVer, QString(), devID, QString::number(DeviceIdentity::modelOf(devID)),
                         dev_eui, sn);
    emit deviceIdentified(
        DeviceIdentity{devVer, devID, sn, dev_eui, DeviceIdentity::Path::Usb, {}});
}

void DeviceInterface::openPort()
{
    if (!remote->isOn() && !port->isOpen() && !port->portName().isEmpty() &&
        port->open(QIODevice::ReadWrite))
        port->clear();
}

// ---- answers -------------------------------------------------------------------------------

void DeviceInterface::setDateTimeAnswer(int, short, uchar)
{
    emit changeDeviceStatus(LinkState::Ready);
}

void DeviceInterface::netJoinAnswer(uchar, uchar)
{
    emit changeDeviceStatus(LinkState::Ready);
}

void DeviceInterface::sendExtraordinaryPackAnswer(uchar, uchar _resultCode)
{
    emit changeDeviceStatus(_resultCode != 0 ? LinkState::ExtraPackError
                                             : LinkState::ExtraPackSent);
}

void DeviceInterface::rebootAnswer(uchar code)
{
    if (code != 0)
        return;
    if (relay->isOn()) {
        switchToNormalMode();
        return;
    }
    qDebug() << "Rebooting device OK!";
    port->setPortName(QString());
    emit changeDeviceStatus(LinkState::Reload);
}

void DeviceInterface::factoryDefaultAnswer(uchar _confType)
{
    if (_confType == 0) {
        qDebug() << "NET Factory default OK! Reboot..."
                 << "/C:16";
        qDebug() << "Factory default OK! Reboot...";
        getReboot();
    } else if (_confType == 1) {
        qDebug() << "DEV Factory default OK! Reboot..."
                 << "/C:16";
        // The device part is reset; the network part follows.
        eraseMemory(QStringLiteral("netFactory"));
    }
}

void DeviceInterface::formatFlashAnswer(uchar code)
{
    if (code == 0) {
        qDebug() << "Format Flash OK! Reboot...";
        emit changeDeviceStatus(LinkState::FlashFormatted);
    } else {
        qDebug() << "Format Flash ERROR! Reboot...";
        emit changeDeviceStatus(LinkState::FlashFormatError);
    }
    getReboot();
}

void DeviceInterface::vexa760ModeChanged()
{
    getFwVer();
}
