#include "configexchange.h"

#include "commands.h"
#include "configdocument.h"
#include "deviceinterface.h"
#include "frame.h"
#include "linkstate.h"
#include "paramcatalogue.h"
#include "paramcodec.h"
#include "payloadwriter.h"

#include <QDebug>

ConfigExchange::ConfigExchange(DeviceInterface *link, QObject *parent)
    : QObject(parent)
    , link(link)
{
    connect(link, &DeviceInterface::deviceIdentified, this, &ConfigExchange::identified);
    connect(link, &DeviceInterface::parseConfiguration, this, &ConfigExchange::parseConfiguration);
    connect(link, &DeviceInterface::answerWriteParam, this, &ConfigExchange::answerWriteParam);
    connect(link, &DeviceInterface::changeDeviceStatus, this, &ConfigExchange::linkStateChanged);
}

QList<int> ConfigExchange::supportedCodes()
{
    if (!codesKnown) {
        codes = supportedSource ? supportedSource(device) : QList<int>();
        codesKnown = true;
    }
    return codes;
}

// ---- read walk -------------------------------------------------------------------------------

void ConfigExchange::identified(const DeviceIdentity &identity)
{
    device = identity;
    codesKnown = false;
    readDoc.clear();
    addElement(QStringLiteral("fw_ver"), {QStringLiteral("param"), device.firmware});
    addElement(QStringLiteral("serial_number"), {QStringLiteral("param"), device.serialNumber});
    addElement(QStringLiteral("dev_eui_lbl"), {QStringLiteral("param"), device.devEui});
    addElement(QStringLiteral("dev_id"), {QStringLiteral("param"), QString::number(device.devId)});
    readIndex = supportedCodes().size();
    if (readIndex > 0)
        emit setProgress(readIndex);
    nextReadCommand();
}

void ConfigExchange::nextReadCommand()
{
    --readIndex;
    if (readIndex < 0) {
        deviceExchangeEnd();
        return;
    }
    emit setProgressValue(codes.size() - readIndex);
    currentReadCode = quint16(codes.at(readIndex));
    link->getConfiguration(uchar(currentReadCode >> 8), uchar(currentReadCode & 0xFF));
}

void ConfigExchange::parseConfiguration(uchar confType, uchar paramNum, QByteArray data)
{
    qDebug().noquote() << "Config type: " << confType
                       << " cmd num: " << QString::number(paramNum, 16)
                       << " data: " << QString::fromLatin1(data.toHex()) << "/C:10";
    // The link hands over only the answer to the request in flight; anything else is a stray.
    if (readIndex < 0 || ((confType << 8) | paramNum) != currentReadCode)
        return;
    if (const ParamCatalogue::Param *p = ParamCatalogue::byCode(currentReadCode)) {
        QStringList attrs;
        for (const auto &a : ParamCodec::attributesFromValue(*p, data))
            attrs << a.first << a.second;
        addElement(QString::fromLatin1(p->element), attrs);
    }
    nextReadCommand();
}

void ConfigExchange::deviceExchangeEnd()
{
    readIndex = -1;
    link->setWriteMode(false);
    exchangeBuffer.close();
    exchangeBuffer.setData(readDoc.toByteArray(1));
    readDoc.clear();
    qDebug() << "Read configuration done"
             << "/C:14";
    emit setProgressValue(0);
    emit parceAnswerComplite(&exchangeBuffer);
}

void ConfigExchange::addElement(const QString &name, const QStringList &attrs)
{
    if (readDoc.firstChild().isNull()) {
        readDoc.appendChild(readDoc.createProcessingInstruction(
            QStringLiteral("xml"), QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
        readDoc.appendChild(readDoc.createElement(QStringLiteral("configuration")));
    }
    QDomElement e = readDoc.createElement(name);
    for (int i = 0; i + 1 < attrs.size(); i += 2)
        e.setAttribute(attrs.at(i), attrs.at(i + 1));
    readDoc.documentElement().appendChild(e);
}

// ---- write cursor ----------------------------------------------------------------------------

void ConfigExchange::writeConfiguration(QBuffer *newConfBuf)
{
    writeCounter = 0;
    report = WriteReport();
    qDebug() << "\nStart write config";
    writeDoc.clear();
    writeCursor.clear();
    const bool parsed =
        newConfBuf && newConfBuf->open(QIODevice::ReadOnly) && writeDoc.setContent(newConfBuf);
    qDebug() << "Reading config buffer";
    if (newConfBuf)
        newConfBuf->close();
    if (!parsed) {
        // Whoever started the write waits for its end: it is told, not left waiting.
        qDebug() << "There is no data for the configuration entry!";
        emit changeDeviceStatus(LinkState::Ready);
        stopWrite(WriteReport::Stop::Unreadable);
        return;
    }
    qDebug() << "Buffer ready, parce XML";
    writeCursor = writeDoc.documentElement().firstChild();
    link->openPort();
    supportedCodes(); // a write without a read in this session still needs to know them
    int count = 0;
    for (QDomElement e = writeDoc.documentElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement())
        ++count;
    emit setProgress(count);
    writing = true;
    link->setWriteMode(true);
    emit changeDeviceStatus(LinkState::WriteConfig);
    nextProcessParam();
}

QString ConfigExchange::sendable(const QDomElement &e, QString *skipReason)
{
    skipReason->clear();
    const ParamCatalogue::Param *p = ParamCatalogue::writableByElement(e.tagName());
    if (!p) {
        qDebug() << "The item is not recorded. Item rejected.";
        // Device facts and the identity a file carries are expected there; other names are not.
        if (!ParamCatalogue::byElement(e.tagName()) && !ConfigDocument::isIdentity(e.tagName()))
            *skipReason = QStringLiteral("unknown parameter");
        return QString();
    }
    QString reason;
    const QString value = ParamCodec::valueTextOf(*p, e, &reason);
    if (value.isEmpty()) {
        // Never send what is not a value of this parameter.
        qDebug().noquote() << "Invalid value, item rejected:" << reason << "/C:12";
        *skipReason = reason;
        return QString();
    }
    if (!codes.contains(p->code)) {
        qDebug() << "Command not support in current fw"
                 << "/C:8";
        *skipReason = QStringLiteral("not supported by firmware ") + device.firmware;
        return QString();
    }
    return value;
}

void ConfigExchange::nextProcessParam()
{
    for (; !writeCursor.isNull(); writeCursor = writeCursor.nextSibling()) {
        const QDomElement e = writeCursor.toElement();
        if (e.isNull()) // comments and text: nothing to write
            continue;
        qDebug().noquote() << "\nElement for write: " << e.tagName() << "/C:9";
        emit setProgressValue(++writeCounter);
        QString skipReason;
        const QString value = sendable(e, &skipReason);
        if (value.isEmpty()) {
            if (!skipReason.isEmpty())
                report.skipped << e.tagName() + QStringLiteral(": ") + skipReason;
            continue;
        }
        const ParamCatalogue::Param *p = ParamCatalogue::byElement(e.tagName());
        const QByteArray bytes = QByteArray::fromHex(value.toUtf8());
        link->sendCommand(Cmd::writeParam, Frame::commandPort,
                          PayloadWriter()
                              .u8(quint8(p->code >> 8))
                              .u8(Cmd::paramAccess)
                              .u8(quint8(p->code))
                              .u8(quint8(bytes.size()))
                              .bytes(bytes)
                              .data());
        return; // the answer moves the cursor on
    }
    writing = false;
    link->setWriteMode(false);
    emit setProgressValue(0);
    qDebug() << "Write config done!"
             << "/C:9";
    emit writeFinished(true);
    link->getReboot();
}

void ConfigExchange::stopWrite(WriteReport::Stop why)
{
    writing = false;
    link->setWriteMode(false);
    report.stop = why;
    for (; !writeCursor.isNull(); writeCursor = writeCursor.nextSibling()) {
        const QDomElement e = writeCursor.toElement();
        QString skipReason;
        if (e.isNull())
            continue;
        if (!sendable(e, &skipReason).isEmpty())
            report.notWritten << e.tagName();
        else if (!skipReason.isEmpty())
            report.skipped << e.tagName() + QStringLiteral(": ") + skipReason;
    }
    writeCursor.clear();
    emit writeFinished(false);
}

void ConfigExchange::answerWriteParam(uchar, uchar, uchar result)
{
    if (!writing) {
        emit changeDeviceStatus(LinkState::Ready);
        return;
    }
    if (result != 0) {
        qDebug() << "Error write param! Retry write..."
                 << "/C:12";
        report.refusedResult = result;
        stopWrite(WriteReport::Stop::Refused);
        emit changeDeviceStatus(LinkState::WriteError);
        return;
    }
    report.written << writeCursor.toElement().tagName();
    writeCursor = writeCursor.nextSibling();
    nextProcessParam();
}

void ConfigExchange::linkStateChanged(int state)
{
    // The link gave up on the device or lost it: whatever was under way will not complete.
    if (state != LinkState::Disconnected && state != LinkState::NotRespond)
        return;
    readIndex = -1;
    if (writing)
        stopWrite(state == LinkState::Disconnected ? WriteReport::Stop::DeviceLost
                                                   : WriteReport::Stop::NoAnswer);
}
