#pragma once

#include <QByteArray>
#include <QtGlobal>

// The command frame shared by requests and answers:
//   0x01 | length N (2 bytes, big-endian) | port | N payload bytes | CRC-32 (4 bytes, big-endian)
// The CRC is the standard CRC-32 (zlib's) over everything before it.
namespace Frame {

constexpr char startByte = 0x01;
constexpr int headerBytes = 4;
constexpr int crcBytes = 4;
constexpr int overheadBytes = headerBytes + crcBytes;
// No answer of the protocol comes near this; a declared length above it is garbage.
constexpr int maxPayloadBytes = 4096;

constexpr quint8 commandPort = 2;
constexpr quint8 filePort = 1;
// Pseudo command code of file data blocks on port 1: no code bytes, never logged or echoed.
constexpr quint16 fileBlockCmd = 0xFFFF;

// Running CRC-32 over len bytes (start with crc = 0).
quint32 crc32(const char *data, int len, quint32 crc = 0);
quint32 crc32(const QByteArray &data);

// The four CRC bytes of data, most significant first.
QByteArray crcBytesOf(const QByteArray &data);

// Payload of a request: the code (high byte first) then the data; on the file port the data alone.
QByteArray payload(quint16 cmd, quint8 port, const QByteArray &data);

// A whole frame around a payload.
QByteArray wrap(quint8 port, const QByteArray &payload);

// The answer a relayed-answer payload (code 0x8305) carries: code, 8 DevEUI bytes, inner port
// (given back in *innerPort), inner length, inner payload.
QByteArray relayedInner(const QByteArray &payload, quint8 *innerPort);

// The relay wrapper (command 0x8302) that carries an inner payload to a remote device:
// code, 8 DevEUI bytes, inner port, inner length (low 8 bits), relay time-out (4 bytes, BE),
// inner payload.
QByteArray relayPayload(const QByteArray &devEui, quint8 innerPort, qint32 relayTimeout,
                        const QByteArray &innerPayload);

// The 8 bytes of a DevEUI typed as hex (dashes and other non-hex characters are skipped);
// shorter input is padded with zero bytes, longer input cut, so the wrapper layout never shifts.
QByteArray devEuiBytes(const QString &devEui);

// Checks a complete frame (start byte, length, CRC); on success gives payload and port.
bool check(const QByteArray &frame, QByteArray *payloadOut, quint8 *portOut);

} // namespace Frame
