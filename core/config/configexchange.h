#pragma once

#include "deviceidentity.h"
#include "writereport.h"

#include <QBuffer>
#include <QDomDocument>
#include <QObject>
#include <QStringList>
#include <functional>

class DeviceInterface;

// Reads a device's whole configuration into a document and writes a document back, one
// parameter request at a time over the device link. The read walk starts whenever the link
// has identified a device; which parameters the firmware has comes from an injected source
// (the device database in the window and the CLI, a fixed list in tests).
class ConfigExchange : public QObject
{
    Q_OBJECT
public:
    // The parameter codes the identified firmware supports (empty: none, or not supported).
    using SupportedCodes = std::function<QList<int>(const DeviceIdentity &)>;

    // What became of the parameters of the last write, by element name.
    using WriteReport = ::WriteReport;

    explicit ConfigExchange(DeviceInterface *link, QObject *parent = nullptr);

    void setSupportedCodes(SupportedCodes source) { supportedSource = std::move(source); }
    bool isWriting() const { return writing; }
    const DeviceIdentity &identity() const { return device; }
    const WriteReport &writeReport() const { return report; }

public slots:
    // Writes every parameter element of the document in the buffer, then reboots the device.
    void writeConfiguration(QBuffer *newConfBuf);

signals:
    void changeDeviceStatus(int state);
    void setProgress(int maximum);
    void setProgressValue(int value);
    // The document of a completed read (the buffer lives as long as this object).
    void parceAnswerComplite(QBuffer *buffer);
    // A write ended: every value acknowledged (the reboot follows), or stopped by the device's
    // refusal or by the link giving up.
    void writeFinished(bool ok);

private:
    void identified(const DeviceIdentity &identity);
    void nextReadCommand();
    void parseConfiguration(uchar confType, uchar paramNum, QByteArray data);
    void deviceExchangeEnd();
    void addElement(const QString &name, const QStringList &attrs);
    void nextProcessParam();
    // The value text to send for an element; empty when it is not sent, with the reason in
    // *skipReason (empty for identity elements, which files carry but never write).
    QString sendable(const QDomElement &e, QString *skipReason);
    // The write stopped before the end: everything from the cursor on is reported unwritten.
    void stopWrite(WriteReport::Stop why);
    void answerWriteParam(uchar confType, uchar paramNum, uchar result);
    void linkStateChanged(int state);
    QList<int> supportedCodes();

    DeviceInterface *link;
    SupportedCodes supportedSource;
    DeviceIdentity device;
    QList<int> codes;
    bool codesKnown = false;

    // Read walk: codes are asked from the last to the first.
    int readIndex = -1;
    quint16 currentReadCode = 0;
    QDomDocument readDoc;
    QBuffer exchangeBuffer;

    // Write cursor.
    bool writing = false;
    QDomDocument writeDoc;
    QDomNode writeCursor;
    int writeCounter = 0;
    WriteReport report;
};
