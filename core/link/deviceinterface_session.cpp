// DeviceInterface: port search, opening, port errors, request exchange and the answers.
#include "appsettings.h"
#include "deviceinterface.h"
#include "frame.h"
#include "framesplitter.h"
#include "packparser.h"
#include "paramcatalogue.h"
#include "paramcodec.h"
#include "portenumerator.h"
#include "userprompts.h"

#include <QDebug>
#include <QTimer>

const char *const DeviceInterface::devicePrefix = vexaSerialPrefix;

void DeviceInterface::connectParser()
{
    connect(parser, &PackParser::setDevInfo, this, &DeviceInterface::deviceInfo);
    connect(parser, &PackParser::parseConfiguration, this, &DeviceInterface::parseConfiguration);
    connect(parser, &PackParser::answerWriteParam, this, &DeviceInterface::answerWriteParam);
    connect(parser, &PackParser::mainNetStatus, this, &DeviceInterface::mainNetStatus);
    connect(parser, &PackParser::netQulityStatus, this, &DeviceInterface::netQulityStatus);
    connect(parser, &PackParser::netLastSendStatus, this, &DeviceInterface::netLastSendStatus);
    connect(parser, &PackParser::netTimesStatus, this, &DeviceInterface::netTimesStatus);
    connect(parser, &PackParser::devBatStatus, this, &DeviceInterface::devBatStatus);
    connect(parser, &PackParser::devAdcStatus, this, &DeviceInterface::devAdcStatus);
    connect(parser, &PackParser::devInputsParamsStatus, this,
            &DeviceInterface::devInputsParamsStatus);
    connect(parser, &PackParser::getDateTimeAnswer, this, &DeviceInterface::getDateTimeAnswer);
    connect(parser, &PackParser::getFreqAnswer, this, &DeviceInterface::getFreqAnswer);
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

// ---- port search ---------------------------------------------------------------------------

void DeviceInterface::enumerateDevices()
{
    qDebug() << "\n-----------------Start device enumeration-----------------\n";
    qDebug() << "Remote config flag is: " << remoteMode;
    foundPortNames.clear();
    foundSerials.clear();
    choiceTexts.clear();

    const AppSettings::UsbIds ids = AppSettings::deviceUsbIds();
    if (!enumerator_) {
        if (!systemEnumerator)
            systemEnumerator = std::make_unique<PortEnumerator>();
        enumerator_ = systemEnumerator.get();
    }
    const QList<PortInfo> ports = enumerator_->ports();
    if (ports.isEmpty()) {
        if (port->isOpen())
            port->close();
        port->clearError();
        qDebug() << "No avabable COM ports!"
                 << "/C:12";
        port->setPortName(QString());
    } else {
        const QString prefix = QString::fromLatin1(devicePrefix);
        for (const PortInfo &p : ports) {
            const bool matches = p.hasIds && p.vendorId == ids.vid && p.productId == ids.pid &&
                                 p.serialNumber.left(prefix.size()) == prefix &&
                                 !p.portName.contains(QLatin1String("cu."));
            if (!matches)
                continue;
            const QString sn = QString(p.serialNumber).remove(prefix);
            qDebug().noquote() << "Found available device on: " << p.portName;
            qDebug().noquote() << "SN: " << sn;
            qDebug().noquote() << "Vendor ID: 0x" + QString::number(p.vendorId, 16);
            qDebug().noquote() << "Product ID: 0x" + QString::number(p.productId, 16);
            foundPortNames << p.portName;
            foundSerials << sn;
        }
    }

    if (remoteMode && !foundPortNames.isEmpty()) {
        const UserPrompts::Button answer =
            prompts() ? prompts()->linkPrompt(UserPrompts::LinkPrompt::LeaveRemoteMode)
                      : UserPrompts::No;
        if (answer == UserPrompts::Yes) {
            leaveRemoteRequested = true;
            disconnectRemote();
        }
        return;
    }

    if (foundPortNames.size() == 1) {
        emit hideRefreshButton(true);
        // The port reports a device path under /dev by its short name.
        QString found = foundPortNames.first();
        if (found.startsWith(QLatin1String("/dev/")))
            found = found.mid(5);
        if (found != port->portName()) {
            if (port->isOpen())
                port->close();
            port->setBaudRate(portBaudRate);
            port->setPortName(foundPortNames.first());
            readConfiguration();
        } else {
            emit checkGetStatusState();
        }
        return;
    }
    if (foundPortNames.size() > 1) {
        emit hideRefreshButton(false);
        port->setBaudRate(portBaudRate);
        for (int i = 0; i < foundPortNames.size(); ++i)
            choiceTexts << foundPortNames.at(i) + QStringLiteral(", S\\N: ") + foundSerials.at(i);
        emit selectDevice(choiceTexts);
        return;
    }

    port->setPortName(QString());
    if (port->isOpen())
        port->close();
    port->clearError();
    qDebug() << "No available devices."
             << "/C:16";
    if (!remoteMode) {
        emit changeDeviceStatus(0);
        answerTimer->stop();
        retryCount = 0;
    }
}

void DeviceInterface::setCurrentDevice(int index)
{
    if (port->isOpen())
        port->close();
    port->setPortName(index >= 0 && index < foundPortNames.size() ? foundPortNames.at(index)
                                                                  : QString());
    qDebug().noquote() << "Selected device port: " << port->portName();
    readConfiguration();
}

void DeviceInterface::readConfiguration()
{
    qDebug() << "READ CONFIGURATION!";
    deviceReady = false;
    supportedCodes.clear();
    readIndex = 0;
    currentReadCode = 0;
    readDoc.clear();

    if (remoteMode) {
        emit changeDeviceStatus(1);
        qDebug() << "Started the data exchange with the device.";
        emit changeDeviceStatus(3);
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
        emit changeDeviceStatus(1);
        qDebug() << "Started the data exchange with the device.";
        emit changeDeviceStatus(3);
        textTimeoutMs = defaultTextTimeoutMs;
        textWriteTimeoutMs = defaultTextWriteTimeoutMs;
    } else {
        qDebug() << "Selected port open OK!";
        emit changeDeviceStatus(1);
        qDebug() << "Started the data exchange with the device.";
        emit changeDeviceStatus(3);
    }
    writeMode = false;
    getFwVer();
}

void DeviceInterface::errorHandler(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        qDebug() << "Port error: DeviceNotFoundError";
        answerTimer->stop();
        disconnectDevice();
        break;
    case QSerialPort::PermissionError:
        qDebug() << "Port error: PermissionError";
        port->setPortName(QString());
        if (prompts())
            prompts()->linkPrompt(UserPrompts::LinkPrompt::PortBusy);
        emit changeDeviceStatus(0);
        break;
    case QSerialPort::OpenError:
        qDebug() << "Port error: OpenError";
        break;
    case QSerialPort::WriteError:
        qDebug() << "Port error: WriteError";
        answerTimer->stop();
        if (port->isOpen())
            port->close();
        port->setPortName(QString());
        if (deviceReady && prompts())
            prompts()->linkPrompt(UserPrompts::LinkPrompt::DeviceUnplugged);
        emit changeDeviceStatus(0);
        break;
    case QSerialPort::ReadError:
        // A vanished device reports this again and again until the port is closed.
        qDebug() << "Port error: ReadError";
        port->close();
        port->clearError();
        port->setPortName(QString());
        emit changeDeviceStatus(0);
        break;
    case QSerialPort::ResourceError:
        // The device is gone; a handle kept open on it would only report errors.
        qDebug() << "Port error: ResourceError";
        if (port->isOpen())
            port->close();
        port->clearError();
        port->setPortName(QString());
        emit changeDeviceStatus(0);
        break;
    case QSerialPort::UnsupportedOperationError:
        qDebug() << "Port error: UnsupportedOperationError";
        break;
    case QSerialPort::TimeoutError:
        qDebug() << "Port error: TimeoutError";
        break;
    case QSerialPort::NotOpenError:
        qDebug() << "Port error: NotOpenError";
        break;
    default:
        break;
    }
}

void DeviceInterface::disconnectDevice()
{
    qDebug() << "Disconnecting device after error..."
             << "/C:16";
    port->clearError();
    if (port->isOpen())
        port->close();
    deviceReady = false;
    port->setPortName(QString());
    emit changeDeviceStatus(0);
}

// ---- exchange ------------------------------------------------------------------------------

void DeviceInterface::stopAnswer()
{
    answerTimer->stop();
    retryCount = 0;
}

void DeviceInterface::setAnswerOk()
{
    stopAnswer();
}

void DeviceInterface::resend()
{
    sendCommand(lastCmd, lastPort, lastData);
}

void DeviceInterface::answerTimeout()
{
    answerTimer->stop();
    if (retryCount < maxRetries) {
        if (remoteMode) {
            qDebug() << "Remote device not respond.";
            disconnectRemote();
            emit changeDeviceStatus(24);
            return;
        }
        ++retryCount;
        qDebug() << "Data IO Error, request num: " << retryCount << "/C:12";
        resend();
        return;
    }
    retryCount = 0;
    const UserPrompts::Button answer =
        prompts() ? prompts()->linkPrompt(writeMode ? UserPrompts::LinkPrompt::ContinueWriting
                                                    : UserPrompts::LinkPrompt::ContinueReading)
                  : UserPrompts::No;
    if (answer == UserPrompts::Yes) {
        resend();
    } else if (answer == UserPrompts::No) {
        currentCmd = 0;
        qDebug() << "Device not respond, port closed!";
        if (port->isOpen())
            port->close();
        answerTimer->stop();
        retryCount = 0;
        emit changeDeviceStatus(8);
    }
}

void DeviceInterface::authenticationDevice(QString devPass)
{
    if (devPass != devPassword)
        devPassword = devPass;
    writeCommand((remoteMode ? QStringLiteral("REMOTE ") : QStringLiteral("USB ")) + devPassword);
}

void DeviceInterface::handleTextLine(const QString &line)
{
    qDebug().noquote() << "Text answer: " << line;
    emit printToTerminal(tr("<font color=green>&lt; </font>") + line.toHtmlEscaped());
    emit textAnswer(line);
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
    answerTimer->stop();
    qDebug().noquote() << "Device FW ver: " + devVer + " id: " + QString::number(devID);
    addElement(QStringLiteral("fw_ver"), {QStringLiteral("param"), devVer});
    addElement(QStringLiteral("serial_number"), {QStringLiteral("param"), sn});
    addElement(QStringLiteral("dev_eui_lbl"), {QStringLiteral("param"), dev_eui});
    addElement(QStringLiteral("dev_id"), {QStringLiteral("param"), QString::number(devID)});
    devId = devID;
    emit setCurrentFwVer(devVer, QString(), devID, QString::number(devID & 0x3FF), dev_eui, sn);
    supportedCodes = getSupportedCommands();
    readIndex = supportedCodes.size();
    if (readIndex > 0)
        emit setProgress(readIndex);
    nextReadCommand();
}

void DeviceInterface::nextReadCommand()
{
    --readIndex;
    if (readIndex < 0) {
        deviceExchangeEnd();
        return;
    }
    emit setProgressValue(supportedCodes.size() - readIndex);
    currentReadCode = quint16(readIndex < supportedCodes.size() ? supportedCodes.at(readIndex) : 0);
    getConfiguration(uchar(currentReadCode >> 8), uchar(currentReadCode & 0xFF));
}

void DeviceInterface::parseConfiguration(uchar _confType, uchar _paramNum, QByteArray _data)
{
    answerTimer->stop();
    retryCount = 0;
    qDebug().noquote() << "Config type: " << _confType
                       << " cmd num: " << QString::number(_paramNum, 16)
                       << " data: " << QString::fromLatin1(_data.toHex()) << "/C:10";
    // The answer belongs to the code asked for, whatever numbers it carries.
    if (const ParamCatalogue::Param *p = ParamCatalogue::byCode(currentReadCode)) {
        QStringList attrs;
        for (const auto &a : ParamCodec::attributesFromValue(*p, _data))
            attrs << a.first << a.second;
        addElement(QString::fromLatin1(p->element), attrs);
    }
    nextReadCommand();
}

void DeviceInterface::deviceExchangeEnd()
{
    currentCmd = 0;
    readIndex = -1;
    if (exchangeBuffer.isOpen())
        exchangeBuffer.close();
    if (exchangeBuffer.open(QIODevice::ReadWrite | QIODevice::Truncate)) {
        exchangeBuffer.buffer().clear();
        exchangeBuffer.seek(0);
        exchangeBuffer.write(readDoc.toByteArray(1));
        readDoc.clear();
        exchangeBuffer.close();
        qDebug() << "Read configuration done"
                 << "/C:14";
        emit setProgressValue(0);
        emit parceAnswerComplite(&exchangeBuffer);
    }
}

void DeviceInterface::addElement(QString elementName, QStringList params)
{
    if (readDoc.firstChild().isNull()) {
        readDoc.appendChild(readDoc.createProcessingInstruction(
            QStringLiteral("xml"), QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
        readDoc.appendChild(readDoc.createElement(QStringLiteral("configuration")));
    }
    QDomElement e = readDoc.createElement(elementName);
    for (int i = 0; i < params.size(); i += 2)
        e.setAttribute(params.at(i), i + 1 < params.size() ? params.at(i + 1) : QString());
    readDoc.documentElement().appendChild(e);
}

// ---- configuration write --------------------------------------------------------------------

void DeviceInterface::writeConfiguration(QBuffer *newConfBuf)
{
    writeCounter = 0;
    qDebug() << "\nStart write config";
    if (!newConfBuf || !newConfBuf->open(QIODevice::ReadOnly))
        return;
    qDebug() << "Reading config buffer";
    writeDoc.clear();
    writeCursor.clear();
    const bool parsed = writeDoc.setContent(newConfBuf);
    newConfBuf->close();
    if (!parsed) {
        qDebug() << "There is no data for the configuration entry!";
        emit changeDeviceStatus(2);
        return;
    }
    qDebug() << "Buffer ready, parce XML";
    writeCursor = writeDoc.documentElement().firstChild();
    if (!remoteMode && !port->isOpen() && !port->portName().isEmpty() &&
        port->open(QIODevice::ReadWrite))
        port->clear();
    // A write without a read in this session still needs to know what the firmware takes.
    if (supportedCodes.isEmpty())
        supportedCodes = getSupportedCommands();
    int count = 0;
    for (QDomElement e = writeDoc.documentElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement())
        ++count;
    emit setProgress(count);
    writeMode = true;
    emit changeDeviceStatus(5);
    nextProcessParam();
}

void DeviceInterface::nextProcessParam()
{
    for (;;) {
        if (writeCursor.isNull()) {
            writeMode = false;
            emit setProgressValue(0);
            writeCursor.clear();
            qDebug() << "Write config done!"
                     << "/C:9";
            getReboot();
            return;
        }
        const QDomElement e = writeCursor.toElement();
        if (e.isNull()) { // comments and text: nothing to write
            writeCursor = writeCursor.nextSibling();
            continue;
        }
        qDebug().noquote() << "\nElement for write: " << e.tagName() << "/C:9";
        ++writeCounter;
        emit setProgressValue(writeCounter);
        const ParamCatalogue::Param *p = ParamCatalogue::byElement(e.tagName());
        if (!p || p->kind == ParamCatalogue::Kind::ReadOnly) {
            writeCursor = writeCursor.nextSibling();
            qDebug() << "The item is not recorded. Item rejected.";
            continue;
        }
        QString reason;
        const QString value = ParamCodec::valueTextOf(*p, e, &reason);
        if (value.isEmpty()) {
            // Never send what is not a value of this parameter.
            writeCursor = writeCursor.nextSibling();
            qDebug().noquote() << "Invalid value, item rejected:" << reason << "/C:12";
            continue;
        }
        const QDomNode sent = writeCursor;
        setConfiguration(p->code, value);
        if (writeCursor == sent) {
            writeCursor = writeCursor.nextSibling();
            return; // wait for the answer
        }
        // Not supported by this firmware: setConfiguration moved on already.
    }
}

void DeviceInterface::setConfiguration(ushort _commandNum, QString _data)
{
    if (!supportedCodes.contains(_commandNum)) {
        qDebug() << "Command not support in current fw"
                 << "/C:8";
        writeCursor = writeCursor.nextSibling();
        return;
    }
    const QByteArray value = QByteArray::fromHex(_data.toUtf8());
    QByteArray payload;
    payload.append(char(_commandNum >> 8)).append(char(1)).append(char(_commandNum & 0xFF));
    payload.append(char(value.size() & 0xFF));
    payload.append(value);
    currentWriteCode = _commandNum;
    sendCommand(0x8501, Frame::commandPort, payload);
}

void DeviceInterface::answerWriteParam(uchar, uchar, uchar _result)
{
    stopAnswer();
    if (_result != 0) {
        qDebug() << "Error write param! Retry write..."
                 << "/C:12";
        writeMode = false;
        writeCursor.clear();
        emit changeDeviceStatus(7);
        return;
    }
    if (writeMode)
        nextProcessParam();
    else
        emit changeDeviceStatus(2);
}

// ---- answers -------------------------------------------------------------------------------

void DeviceInterface::mainNetStatus(NET_MAIN_STAT stat)
{
    stopAnswer();
    emit netMainStatus(stat);
}

void DeviceInterface::netQulityStatus(NET_QUALITY_STAT stat)
{
    stopAnswer();
    emit QualityNetStatus(stat);
}

void DeviceInterface::netLastSendStatus(NET_LAST_SEND_STAT stat)
{
    stopAnswer();
    emit LastSendNetStatus(stat);
}

void DeviceInterface::netTimesStatus(NET_TIME_STAT stat)
{
    stopAnswer();
    emit TimesNetStatus(stat);
}

void DeviceInterface::devBatStatus(DEV_BAT_STAT stat)
{
    stopAnswer();
    emit updateBatStatus(stat);
}

void DeviceInterface::devAdcStatus(DEV_ADC_VALUES stat)
{
    stopAnswer();
    emit updateAdcStatus(stat);
}

void DeviceInterface::devInputsParamsStatus(DEV_INPUT_PARAMS stat)
{
    stopAnswer();
    emit updateInputsParsmsStatus(stat);
}

void DeviceInterface::getDateTimeAnswer(time_t dateTime, ushort subSeconds, uchar source)
{
    stopAnswer();
    emit updateDateTime(dateTime, subSeconds, source);
}

void DeviceInterface::getFreqAnswer(uchar, uchar, QList<QPair<int, QString>> freqList,
                                    QString rx2Freq, QString rx2Dr)
{
    stopAnswer();
    emit updateFreqList(freqList, rx2Freq, rx2Dr);
}

void DeviceInterface::setDateTimeAnswer(int, short, uchar)
{
    stopAnswer();
    emit changeDeviceStatus(2);
}

void DeviceInterface::netJoinAnswer(uchar, uchar)
{
    stopAnswer();
    emit changeDeviceStatus(2);
}

void DeviceInterface::sendExtraordinaryPackAnswer(uchar, uchar _resultCode)
{
    stopAnswer();
    emit changeDeviceStatus(_resultCode != 0 ? 31 : 30);
}

void DeviceInterface::rebootAnswer(uchar code)
{
    stopAnswer();
    if (code != 0)
        return;
    if (relayMode) {
        switchToNormalMode();
        return;
    }
    qDebug() << "Rebooting device OK!";
    port->setPortName(QString());
    emit changeDeviceStatus(10);
}

void DeviceInterface::factoryDefaultAnswer(uchar _confType)
{
    stopAnswer();
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
    stopAnswer();
    if (code == 0) {
        qDebug() << "Format Flash OK! Reboot...";
        emit changeDeviceStatus(32);
    } else {
        qDebug() << "Format Flash ERROR! Reboot...";
        emit changeDeviceStatus(33);
    }
    getReboot();
}

void DeviceInterface::vexa760ModeChanged()
{
    getFwVer();
}
