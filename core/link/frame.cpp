#include "frame.h"

#include "commands.h"
#include "payloadreader.h"
#include "payloadwriter.h"

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

QByteArray crcBytesOf(const QByteArray &data)
{
    return PayloadWriter().u32(crc32(data)).data();
}

QByteArray payload(quint16 cmd, quint8 port, const QByteArray &data)
{
    PayloadWriter p;
    if (port != filePort)
        p.u16(cmd);
    return p.bytes(data).data();
}

QByteArray wrap(quint8 port, const QByteArray &payload)
{
    PayloadWriter frame;
    frame.u8(quint8(startByte)).u16(quint16(payload.size())).u8(port).bytes(payload);
    const quint32 crc = crc32(frame.data());
    return frame.u32(crc).data();
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
    return PayloadWriter()
        .u16(Cmd::relayCommand)
        .bytes(eightBytes(devEui))
        .u8(innerPort)
        .u8(quint8(innerPayload.size()))
        .u32(static_cast<quint32>(relayTimeout))
        .bytes(innerPayload)
        .data();
}

QByteArray relayedInner(const QByteArray &payload, quint8 *innerPort)
{
    const PayloadReader r(payload);
    *innerPort = r.u8(10);
    return payload.mid(12, r.u8(11));
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
