#pragma once

#include "frame.h"
#include "simconfig.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QStringList>
#include <memory>

// One answer of the simulated device: a payload (code first) and its port.
struct SimAnswer
{
    // Not a frame port: the payload is a text line that goes out as it is.
    static constexpr quint8 textPort = 0;

    quint8 port = Frame::commandPort;
    QByteArray payload;
};

// The device itself, without any I/O: it takes request payloads and text lines and gives the
// answers a Vexa7XX would give. Time comes in as milliseconds since the simulation started,
// so the behaviour over time is reproducible.
class SimDevice
{
public:
    SimDevice(const SimConfig &config, bool remote = false);
    ~SimDevice();

    quint16 deviceId() const;
    int model() const { return config.model; }
    QString firmwareVersion() const { return fwVersion; }
    QString serialNumber() const;    // 16 characters, as the device reports it
    QString usbSerialNumber() const; // what the USB descriptor carries
    QString devEui() const;          // 16 lower-case hex digits

    // The parameter a read or write request is about (type byte high, number low).
    static quint16 requestedParam(const QByteArray &payload);

    // Answers to one request frame (none when the device stays silent).
    QList<SimAnswer> handle(quint8 port, const QByteArray &payload, qint64 nowMs);
    // Answers to one text command line (without its line end).
    QStringList handleText(const QString &line, qint64 nowMs);

    // Power-up after a reboot: applies a checked firmware, leaves the network.
    void reboot(qint64 nowMs);
    bool rebootRequested() const { return rebootPending; }
    void clearRebootRequest() { rebootPending = false; }

    // The system log: whether it streams, and the next line of it.
    bool debugStreaming() const { return debugOn; }
    QString nextDebugLine(qint64 nowMs);

    bool converterMode() const { return rs2usb; }
    bool relayActive() const { return relayMode; }
    bool loggedIn() const { return !needsLogin(); }
    // A session through the remote-configuration server ended: the next one logs in anew.
    void endSession()
    {
        authenticated = false;
        debugOn = false;
    }

    // Parameter store (value bytes by code).
    QByteArray param(quint16 code) const { return params.value(code); }
    bool hasParam(quint16 code) const { return params.contains(code); }
    QList<quint16> paramCodes() const { return params.keys(); }
    void setParam(quint16 code, const QByteArray &value) { params.insert(code, value); }

    // File store (a test may leave a file there, as an earlier transfer would have).
    // Ends a registration under way now (tests hold it with a long join delay until they have
    // seen it, whatever the machine's load).
    void finishJoin(qint64 nowMs)
    {
        config.joinDelayMs = int(qMax<qint64>(0, nowMs - joinRequestMs));
    }
    QByteArray storedFile() const { return fileStore; }
    void setStoredFile(const QByteArray &file)
    {
        fileStore = file;
        fileChecked = false;
    }

    SimDevice *remoteDevice() const { return remote.get(); }
    int blocksReceived() const { return blockCount; }

    // Network state now (0..5 as the status answer reports it).
    int netState(qint64 nowMs) const;

private:
    bool needsLogin() const { return !config.password.isEmpty() && !authenticated; }
    void loadDefaults(bool networkOnly);
    QByteArray defaultParam(quint16 code) const;
    QList<quint16> modelCodes() const;
    int inputCount() const;
    quint32 uplinks(qint64 nowMs) const;
    qint64 joinedAtMs() const;
    quint32 unixNow(qint64 nowMs) const;

    SimAnswer statusAnswer(quint16 code, qint64 nowMs) const;
    SimAnswer fileAnswer(quint16 code, const QByteArray &payload);
    SimAnswer blockAnswer(const QByteArray &payload);
    QList<SimAnswer> relay(const QByteArray &payload, qint64 nowMs);
    quint8 checkFile() const;

    SimConfig config;
    bool isRemote = false;
    QString fwVersion;
    QMap<quint16, QByteArray> params;

    // Network.
    qint64 bootMs = 0;
    qint64 joinRequestMs = 0; // a re-join restarts the registration
    quint32 extraUplinks = 0;

    // Clock: device time = clockBase + (now - clockSetMs) / 1000.
    qint64 clockBaseUnixMs = 0;
    qint64 clockSetMs = 0;
    quint8 clockSource = 0;

    // File store.
    QByteArray fileStore;
    bool fileChecked = false;
    int blockCount = 0;

    // Session.
    bool authenticated = false;
    bool debugOn = false;
    QString debugLevel;
    QString debugSource;
    int debugCounter = 0;
    bool rs2usb = false;
    bool relayMode = false;
    int relayFaultsLeft = 0;
    bool rebootPending = false;
    std::unique_ptr<SimDevice> remote;
};
