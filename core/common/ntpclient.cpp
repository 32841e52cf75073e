#include "ntpclient.h"

#include <QTimeZone>
#include <QUdpSocket>

namespace {
quint32 be32(const QByteArray &b, int pos)
{
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 8) | (pos + i < b.size() ? quint8(b.at(pos + i)) : 0);
    return v;
}

void put32(QByteArray &b, int pos, quint32 v)
{
    b[pos] = char(v >> 24);
    b[pos + 1] = char(v >> 16);
    b[pos + 2] = char(v >> 8);
    b[pos + 3] = char(v);
}
} // namespace

QDateTime NtpReply::serverReceiveTime() const
{
    return QDateTime::fromMSecsSinceEpoch(NtpClient::timestampMs(packet, 32), QTimeZone::utc());
}

NtpClient::NtpClient(QObject *parent)
    : QObject(parent)
    , socket(new QUdpSocket(this))
{
    qRegisterMetaType<NtpReply>("NtpReply");
    socket->bind(QHostAddress(QHostAddress::Any), quint16(0));
    connect(socket, &QUdpSocket::readyRead, this, &NtpClient::readPendingDatagrams);
}

QByteArray NtpClient::buildRequest(qint64 unixMs)
{
    QByteArray p(packetBytes, '\0');
    p[0] = 0x23; // leap indicator 0, version 4, mode 3 (client)
    const qint64 now = unixMs + ntpEraOffsetSeconds * 1000;
    put32(p, 40, quint32(now / 1000));
    put32(p, 44, quint32(((now % 1000) << 32) / 1000));
    return p;
}

qint64 NtpClient::timestampMs(const QByteArray &packet, int offset)
{
    const qint64 seconds = be32(packet, offset);
    const qint64 fraction = be32(packet, offset + 4);
    return (seconds - ntpEraOffsetSeconds) * 1000 + (fraction * 1000) / (qint64(1) << 32);
}

bool NtpClient::isValidReply(const QByteArray &packet, const QByteArray &sentTransmit)
{
    if (packet.size() < packetBytes || sentTransmit.size() != 8)
        return false;
    const quint8 first = quint8(packet.at(0));
    const int leap = first >> 6;
    const int mode = first & 0x07;
    const int stratum = quint8(packet.at(1));
    return leap != 3 && mode == 4 && stratum >= 1 && stratum <= 15 &&
           packet.mid(24, 8) == sentTransmit && packet.mid(40, 8) != QByteArray(8, '\0');
}

bool NtpClient::sendRequest(const QHostAddress &address, quint16 port)
{
    if (socket->state() != QAbstractSocket::BoundState)
        return false;
    const QByteArray request = buildRequest(QDateTime::currentMSecsSinceEpoch());
    if (socket->writeDatagram(request, address, port) != request.size())
        return false;
    askedAddress = address;
    askedPort = port;
    sentTransmit = request.mid(40, 8);
    return true;
}

void NtpClient::readPendingDatagrams()
{
    while (socket->hasPendingDatagrams()) {
        QByteArray buffer(replyBytes, '\0');
        QHostAddress from;
        quint16 fromPort = 0;
        const qint64 n = socket->readDatagram(buffer.data(), replyBytes, &from, &fromPort);
        if (n < packetBytes)
            continue;
        // Anybody can send a datagram: only the answer to our own request may set the clock,
        // and only once.
        if (sentTransmit.isEmpty() || fromPort != askedPort || !from.isEqual(askedAddress) ||
            !isValidReply(buffer, sentTransmit))
            continue;
        sentTransmit.clear();
        emit replyReceived(from, fromPort, NtpReply{buffer, QDateTime::currentDateTime()});
    }
}
