#pragma once

#include "frame.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QTcpSocket;
class QTimer;

// The TCP session with the remote-configuration server: connects, introduces the configurator
// with the handshake, and says goodbye. One socket at a time: a new attempt or a cancel drops
// the old socket with every connection to it, so nothing it reports late reaches a newer
// session. Every wait runs on a timer, so the window stays responsive meanwhile.
class RemoteConnection : public QObject
{
    Q_OBJECT
public:
    static constexpr int connectTimeoutMs = 10000;
    static constexpr int handshakeWriteTimeoutMs = 30000;
    static constexpr int imeiDigits = 15;
    // The socket reads no further ahead than a few frames: a server that sends faster than we
    // take it is held back by TCP rather than filling our memory.
    static constexpr qint64 readBufferBytes = 4 * (Frame::maxPayloadBytes + Frame::overheadBytes);
    // Said to the server when the configurator ends the session (no line end).
    static const char *const goodbyeText;
    // What the server answers instead of bridging, each on a line of its own, before it
    // closes the session: the device is not connected to it, or someone else configures it.
    static const char *const notOnServerReply;
    static const char *const busyReply;

    // The handshake key: the IMEI reversed, each character XORed with the key text, MD5 as 32
    // lower-case hex digits.
    static QString calcMKey(const QString &imei);
    // The handshake message: indented JSON, keys in order, with its line end.
    static QByteArray handshake(const QString &imei, const QString &version);
    // An IMEI is 15 decimal digits; anything else would give a key the server cannot match.
    static bool isValidImei(const QString &imei);

    explicit RemoteConnection(QObject *parent = nullptr);
    ~RemoteConnection() override;

    // Starts a new session (dropping any earlier socket); established() or failed() follows.
    void open(const QString &host, quint16 port, const QString &imei, const QString &version);
    // Drops the socket without a word (a cancelled attempt); nothing is emitted.
    void abort();
    // Says goodbye and closes; closed() follows once the socket is down.
    void goodbye();

    QTcpSocket *socket() const { return sock; }
    bool isPending() const { return phase == Phase::Connecting || phase == Phase::Writing; }
    bool isEstablished() const { return phase == Phase::Open; }

signals:
    void established();
    // The attempt failed: the connection state to show (server unavailable or exchange error).
    void failed(int state);
    // The established session has ended (the server closed it, or after goodbye()).
    void closed();

private:
    enum class Phase { Idle, Connecting, Writing, Open };
    void connected();
    void written(qint64 bytes);
    void socketError();
    void socketDisconnected();
    void timedOut();
    void fail(int state);
    void release();

    QTcpSocket *sock = nullptr;
    QTimer *timer = nullptr;
    Phase phase = Phase::Idle;
    QByteArray hello;
    qint64 helloWritten = 0;
};
