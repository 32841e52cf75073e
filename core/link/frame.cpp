#include "frame.h"

#include <QString>

#include <zlib.h>

namespace Frame {

quint32 crc32(const char *data, int len, quint32 crc)
{
    return static_cast<quint32>(
        ::crc32(crc, reinterpret_cast<const Bytef *>(data), static_cast<uInt>(qMax(len, 0))));
}

quint32 crc32(const QByteArray &data)
{
    return crc32(data.constData(), data.size());
}

static void appendBigEndian32(QByteArray &out, quint32 v)
{
    out.append(char(v >> 24));
    out.append(char(v >> 16));
    out.append(char(v >> 8));
    out.append(char(v));
}

QByteArray crcBytesOf(const QByteArray &data)
{
    QByteArray out;
    appendBigEndian32(out, crc32(data));
    return out;
}

QByteArray payload(quint16 cmd, quint8 port, const QByteArray &data)
{
    QByteArray p;
    p.reserve(data.size() + 2);
    if (port != filePort) {
        p.append(char(cmd >> 8));
        p.append(char(cmd & 0xFF));
    }
    p.append(data);
    return p;
}

QByteArray wrap(quint8 port, const QByteArray &payload)
{
    QByteArray frame;
    frame.reserve(payload.size() + overheadBytes);
    frame.append(startByte);
    frame.append(char((payload.size() >> 8) & 0xFF));
    frame.append(char(payload.size() & 0xFF));
    frame.append(char(port));
    frame.append(payload);
    frame.append(crcBytesOf(frame));
    return frame;
}

// Exactly 8 bytes: cut, or padded with zero bytes (resize() would leave them undefined).
static QByteArray eightBytes(QByteArray bytes)
{
    bytes.truncate(8);
    bytes.append(QByteArray(8 - bytes.size(), '\0'));
    return bytes;
}

QByteArray devEuiBytes(const QString &devEui)
{
    return eightBytes(QByteArray::fromHex(devEui.toLatin1()));
}

QByteArray relayPayload(const QByteArray &devEui, quint8 innerPort, qint32 relayTimeout,
                        const QByteArray &innerPayload)
{
    QByteArray w;
    w.reserve(innerPayload.size() + 16);
    w.append(char(0x83));
    w.append(char(0x02));
    w.append(eightBytes(devEui));
    w.append(char(innerPort));
    w.append(char(innerPayload.size() & 0xFF));
    appendBigEndian32(w, static_cast<quint32>(relayTimeout));
    w.append(innerPayload);
    return w;
}

bool check(const QByteArray &frame, QByteArray *payloadOut, quint8 *portOut)
{
    if (frame.size() < overheadBytes || frame.at(0) != startByte)
        return false;
    const auto *b = reinterpret_cast<const uchar *>(frame.constData());
    const int n = (b[1] << 8) | b[2];
    if (frame.size() != n + overheadBytes)
        return false;
    const quint32 expected = (quint32(b[n + 4]) << 24) | (quint32(b[n + 5]) << 16) |
                             (quint32(b[n + 6]) << 8) | quint32(b[n + 7]);
    if (crc32(frame.constData(), n + headerBytes) != expected)
        return false;
    if (payloadOut)
        *payloadOut = frame.mid(headerBytes, n);
    if (portOut)
        *portOut = b[3];
    return true;
}

} // namespace Frame
