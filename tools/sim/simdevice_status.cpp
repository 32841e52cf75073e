#include "simdevice.h"

#include "simwire.h"

#include <QtMath>

// The status answers of the simulated device: values that change with time as a real
// device's do (joins the network, counts uplinks, runs its clock).
using namespace SimWire;

SimAnswer SimDevice::statusAnswer(quint16 code, qint64 nowMs) const
{
    const double t = double(nowMs);
    const int state = netState(nowMs);
    const bool joined = state == netRegistered || state == netExchanging;
    const quint32 ups = uplinks(nowMs);
    PayloadWriter p = answerTo(code);
    switch (code) {
    case Cmd::netStatus: {
        p = netAnswerTo(code);
        p.u8(quint8(state));
        const quint32 seed = config.serialNumber + quint32(joinRequestMs);
        p.bytes(joined ? QByteArray::fromHex("26") + pseudoBytes(seed, 3) : QByteArray(4, '\0'));
        p.bytes(joined ? pseudoBytes(seed + 1, 16) : QByteArray(16, '\0'));
        p.bytes(joined ? pseudoBytes(seed + 2, 16) : QByteArray(16, '\0'));
        p.bytes(leadingByte(params, 0x000F));
        const bool confirmed = firstU8(params.value(0x0011)) != 0;
        p.u8(!joined ? 0 : confirmed ? (ups % 4 == 3 ? 3 : 2) : 0);
        p.u8(joined && firstU8(params.value(0x0012)) != 0 ? 2 : 0);
        break;
    }
    case Cmd::netQuality: {
        const int rssi = joined ? -85 + int(15 * qSin(t / 5000.0)) : -120;
        const int snrQuarter = joined ? int(4 * (6 + 5 * qSin(t / 3000.0))) : -40;
        const int level = joined ? qBound(0, (rssi + 115) * 31 / 60, 31) : 0;
        p = netAnswerTo(code);
        p.u16(quint16(qint16(rssi)))
            .u8(quint8(qint8(snrQuarter)))
            .u8(quint8(level))
            .u8(quint8(joined ? 1 + ups % 3 : 0));
        break;
    }
    case Cmd::lastSendStatus: {
        const int dr = firstU8(params.value(0x000B));
        QList<quint32> channels;
        for (quint16 c = 0x0020; c <= 0x002F; ++c) {
            const quint32 f = firstU32(params.value(c));
            if (f)
                channels << f;
        }
        p = netAnswerTo(code);
        p.u8(quint8(dr))
            .bytes(leadingByte(params, 0x000C))
            .u8(ups ? 1 : 0)
            .u32(ups ? timeOnAirMs(dr) : 0)
            .u32(ups)
            .u32(ups && !channels.isEmpty() ? channels.at(int(ups % quint32(channels.size()))) : 0)
            .u32(ups / 4)
            .bytes(leadingByte(params, 0x0014))
            .u8(ups / 4 ? 2 : 0);
        break;
    }
    case Cmd::netTimes: {
        p = netAnswerTo(code);
        const quint32 boot = unixNow(bootMs);
        const quint32 joinedAt = joined ? unixNow(joinedAtMs()) : 0;
        qint64 period = config.uplinkPeriodMs > 0 ? config.uplinkPeriodMs : 60000;
        const quint32 lastTx = joined ? unixNow(joinedAtMs() + (ups ? ups - 1 : 0) * period) : 0;
        const quint32 lastRx =
            joined && ups >= 4 ? unixNow(joinedAtMs() + ((ups / 4) * 4 - 1) * period) : 0;
        for (quint32 v : {boot, joinedAt, quint32(0), quint32(0), lastTx, lastRx, lastTx, lastRx,
                          lastTx, lastRx})
            p.u32(v);
        break;
    }
    case Cmd::currentFreq: {
        int last = -1;
        for (int n = 0; n < 16; ++n) {
            if (firstU32(params.value(quint16(0x0020 + n))))
                last = n;
        }
        p = netAnswerTo(code);
        p.u8(quint8(last + 1));
        for (int n = 0; n <= last; ++n)
            p.u8(quint8(n)).u32(firstU32(params.value(quint16(0x0020 + n))));
        p.u32(firstU32(params.value(0x0013))).bytes(leadingByte(params, 0x0014));
        break;
    }
    case Cmd::batStatus: {
        const int mv = config.model == 701 ? qMax(3400, 3620 - int(nowMs / 60000))
                                           : 4100 + int(20 * qSin(t / 10000.0));
        p.u16(deviceId()).u8(0).u8(1).u16(quint16(mv)).u8(0).u8(0);
        break;
    }
    case Cmd::adcStatus: {
        p.u16(deviceId()).u8(0);
        if (inputCount() > 0) {
            p.u16(quint16(1200 + int(50 * qSin(t / 4000.0))));
            p.u16(quint16(3300 + int(10 * qSin(t / 7000.0))));
            for (int i = 0; i < inputCount(); ++i)
                p.u16(quint16(100 * (i + 1) + int(20 * qSin(t / (2000.0 + 300 * i)))));
        }
        break;
    }
    case Cmd::inputsParams: {
        p.u16(deviceId()).u8(0);
        for (int i = 0; i < inputCount(); ++i) {
            const bool on = firstU8(params.value(quint16(0x0120 + i))) != 0;
            p.u32(on ? quint32(1000 * (i + 1) + nowMs / (1000 * (i + 1))) : 0).u8(on ? 1 : 0).u8(0);
        }
        break;
    }
    default:
        break;
    }
    return SimAnswer{Frame::commandPort, p.data()};
}
