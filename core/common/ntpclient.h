#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHostAddress>
#include <QMetaType>
#include <QObject>

class QUdpSocket;

// A received time-server datagram (header and room for authentication data, 68 bytes) with
// the computer's local time of its arrival.
struct NtpReply
{
    QByteArray packet;
    QDateTime localReceiveTime;

    // The server's receive time stamp as UTC.
    QDateTime serverReceiveTime() const;
};
Q_DECLARE_METATYPE(NtpReply)

// Asks a time server once (SNTP) for the application clock.
class NtpClient : public QObject
{
    Q_OBJECT
public:
    static constexpr quint16 ntpPort = 123;
    static constexpr qint64 ntpEraOffsetSeconds = 2208988800LL; // 1900 -> 1970
    static constexpr int packetBytes = 48;
    static constexpr int replyBytes = 68;

    explicit NtpClient(QObject *parent = nullptr);

    // Sends one request; false when the socket is not bound or the datagram was not written.
    bool sendRequest(const QHostAddress &address, quint16 port);

    // The 48-byte request for a given time (ms since 1970, UTC).
    static QByteArray buildRequest(qint64 unixMs);
    // Milliseconds since 1970 of the 8-byte time stamp at offset in packet.
    static qint64 timestampMs(const QByteArray &packet, int offset);
    // Whether a datagram is the answer to our request: from where we asked, a server answer
    // (mode 4) echoing our transmit time stamp, with a transmit time, a stratum 1..15 and a
    // synchronised clock (leap indicator not 3).
    static bool isValidReply(const QByteArray &packet, const QByteArray &sentTransmit);

signals:
    void replyReceived(QHostAddress address, quint16 port, NtpReply reply);

private slots:
    void readPendingDatagrams();

private:
    QUdpSocket *socket;
    QHostAddress askedAddress;
    quint16 askedPort = 0;
    QByteArray sentTransmit; // our transmit time stamp, 8 bytes; empty when nothing is awaited
};
