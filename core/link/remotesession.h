#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class DeviceInterface;
class QIODevice;
class RemoteConnection;

// The remote-configuration session of one device link: while it is on, the server's socket is
// the link's transport for frames and text commands, and what it receives goes into the same
// receive path as the serial port's bytes (the port itself is left alone meanwhile). It offers
// the device password when the device asks for one, asks once per session whether to leave it
// for a local device, and says goodbye.
class RemoteSession : public QObject
{
    Q_OBJECT
public:
    // A server that sends more than this of anything but answers to our requests within a
    // window is not passing on a device: the session is ended. A device's serial line carries
    // about 11 KB/s, so even its debug output held up by the network for many seconds and then
    // let through at once stays below it.
    static constexpr int strayWindowMs = 3000;
    static constexpr int maxStrayBytesPerWindow = 256 * 1024;
    static const char *const floodText;

    explicit RemoteSession(DeviceInterface *link);

    // Counts what answered nothing: the bytes the splitter skipped (text and noise, a running
    // total) and frames (strayFrame); a flood ends the session.
    void countStray(qint64 skippedBytes);
    void strayFrame(int bytes) { strayFrameBytes += bytes; }
    // The session was ended for a flood.
    bool isFlooded() const { return flooded; }
    bool isOn() const { return on; }
    // The last session was ended by the server, not by a goodbye of ours.
    bool endedByServer() const { return serverEnded; }
    // A connection to the server is being made or the handshake written.
    bool isConnecting() const;
    // The transport while the session is on (null otherwise).
    QIODevice *socket() const { return sock; }
    // The server of connectTo (an empty host: the one of the settings, the default).
    void setServer(const QString &host, quint16 port);
    void setAppVersion(const QString &version) { appVersion = version; }

    // A session through the server for the device of this IMEI, with its password for the
    // login; the configuration read follows the handshake.
    void connectTo(const QString &imei, const QString &password);
    // Gives up a connection attempt in progress (state 0 follows).
    void cancel();
    // Says goodbye to the server; closed() follows once the socket is down.
    void goodbye();
    // The server has ended the session (or the goodbye was taken).
    void closed();
    // A local device was found while the session is on: the user is asked once per session
    // whether to leave it.
    void localDeviceFound();
    // A text line of the server or the device that only matters in remote mode; true when
    // it was taken care of.
    bool textLine(const QString &line);
private:
    // The server sends far more than a device could: the session is ended (state 25).
    void refuseFlood();
    void established();
    void failed(int state);
    void leaveAnswered(int session, bool leave);
    void withdrawLeaveQuestion();
    void setSocket(QIODevice *socket);

    DeviceInterface *link;
    RemoteConnection *connection = nullptr;
    QIODevice *sock = nullptr;
    bool on = false;
    QString host; // empty: from the settings
    quint16 port = 0;
    QString appVersion;
    QString password;       // takes over as the device password once connected
    bool loginSent = false; // the password has been offered once in this session
    bool leaveRequested = false;
    bool goodbyeSent = false;
    QElapsedTimer strayClock; // the current window of stray bytes
    qint64 strayAtWindow = 0;
    qint64 strayFrameBytes = 0;
    bool flooded = false;
    bool serverEnded = false;
    // "Leave remote mode?" is asked once per remote session: not again while it is open, nor
    // after No. The session count tells an answer about an earlier session from one for this.
    int sessionNo = 0;
    bool leaveAsked = false;
};
