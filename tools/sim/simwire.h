#pragma once

#include "commands.h"
#include "payloadreader.h"
#include "payloadwriter.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QtGlobal>

// How the simulated device writes its answers: byte orders, answer heads, stored-value
// access and the constants of its protocol, shared by its request handling and its status
// answers.
namespace SimWire {
inline QByteArray be32(quint32 v)
{
    return PayloadWriter().u32(v).data();
}

inline QByteArray be16(quint16 v)
{
    return PayloadWriter().u16(v).data();
}

// The leading byte or big-endian word of a stored value (0 where it is shorter).
inline quint8 firstU8(const QByteArray &value)
{
    return PayloadReader(value).u8(0);
}

inline quint32 firstU32(const QByteArray &value)
{
    return PayloadReader(value).u32(0);
}

// The leading byte of a stored parameter as a status answer copies it: a zero byte when the
// parameter is missing, nothing when it is empty.
inline QByteArray leadingByte(const QMap<quint16, QByteArray> &params, quint16 code)
{
    return params.value(code, QByteArray(1, '\0')).left(1);
}

// Every answer starts with the code of the request it answers.
inline PayloadWriter answerTo(quint16 code)
{
    PayloadWriter w;
    w.u16(code);
    return w;
}

// The network answers continue with the interface (LoRaWAN) and a result code (success).
constexpr quint8 netModeLoraWan = 1;
constexpr quint8 resultOk = 0;

inline PayloadWriter netAnswerTo(quint16 code)
{
    PayloadWriter w = answerTo(code);
    w.u8(netModeLoraWan).u8(resultOk);
    return w;
}

// Network states of the status answer.
enum NetState : int {
    netJoining = 1,
    netRegistered = 2,
    netNotRegistered = 3,
    netExchanging = 5, // the short exchange right after an uplink
};

// Results of a parameter write: anything but written is a refusal.
enum WriteResult : quint8 {
    written = 0,
    unknownParam = 1,
    wrongLength = 2,
    readOnly = 3,
    refused = 4,
};

constexpr quint16 firmwareMagic = 0x55AA;
constexpr int firmwareHeaderBytes = 15;
// Result of a block the device does not take.
constexpr quint8 blockRefused = 1;

// Relay status of a relayed command the radio could not take (relay busy).
constexpr quint8 relayStatusBusy = 9;

inline QByteArray versionBytes(const QString &v)
{
    QByteArray b;
    for (const QString &p : v.split(QLatin1Char('.')))
        b.append(char(p.toInt()));
    b.truncate(3);
    b.append(QByteArray(3 - b.size(), '\0'));
    return b;
}

// Deterministic bytes for keys and addresses, different per device and purpose.
inline QByteArray pseudoBytes(quint32 seed, int count)
{
    QByteArray b;
    quint32 x = seed * 2654435761u + 0x9E3779B9u;
    for (int i = 0; i < count; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b.append(char(x & 0xFF));
    }
    return b;
}

// Time on air of a short uplink, ms, by data rate DR0..DR5 at 125 kHz.
inline quint32 timeOnAirMs(int dr)
{
    static const quint32 toa[6] = {1155, 578, 289, 144, 72, 41};
    return toa[qBound(0, dr, 5)];
}

constexpr quint32 ru864Join0 = 868900000;
constexpr quint32 ru864Join1 = 869100000;
constexpr quint32 ru864Rx2 = 869100000;
} // namespace SimWire
