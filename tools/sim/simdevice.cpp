#include "simdevice.h"

#include "paramcatalogue.h"

#include <QDateTime>

#include <QtMath>
#include <algorithm>

namespace {
void put16(QByteArray &b, quint16 v)
{
    b.append(char(v >> 8));
    b.append(char(v & 0xFF));
}

void put32(QByteArray &b, quint32 v)
{
    b.append(char(v >> 24));
    b.append(char(v >> 16));
    b.append(char(v >> 8));
    b.append(char(v));
}

QByteArray be32(quint32 v)
{
    QByteArray b;
    put32(b, v);
    return b;
}

QByteArray be16(quint16 v)
{
    QByteArray b;
    put16(b, v);
    return b;
}

quint8 byteAt(const QByteArray &b, int pos, quint8 missing = 0)
{
    return pos >= 0 && pos < b.size() ? quint8(b.at(pos)) : missing;
}

quint32 get32(const QByteArray &b, int pos)
{
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 8) | (pos + i < b.size() ? quint8(b.at(pos + i)) : 0);
    return v;
}

quint16 get16(const QByteArray &b, int pos)
{
    return quint16(((pos < b.size() ? quint8(b.at(pos)) : 0) << 8) |
                   (pos + 1 < b.size() ? quint8(b.at(pos + 1)) : 0));
}

QByteArray versionBytes(const QString &v)
{
    QByteArray b;
    for (const QString &p : v.split(QLatin1Char('.')))
        b.append(char(p.toInt()));
    b.truncate(3);
    b.append(QByteArray(3 - b.size(), '\0'));
    return b;
}

// Deterministic bytes for keys and addresses, different per device and purpose.
QByteArray pseudoBytes(quint32 seed, int count)
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
quint32 timeOnAirMs(int dr)
{
    static const quint32 toa[6] = {1155, 578, 289, 144, 72, 41};
    return toa[qBound(0, dr, 5)];
}

constexpr quint32 ru864Join0 = 868900000;
constexpr quint32 ru864Join1 = 869100000;
constexpr quint32 ru864Rx2 = 869100000;
} // namespace

SimDevice::SimDevice(const SimConfig &cfg, bool remoteDevice)
    : config(cfg)
    , isRemote(remoteDevice)
{
    fwVersion = config.firmwareVersion();
    clockBaseUnixMs = QDateTime::currentMSecsSinceEpoch();
    loadDefaults(false);
    if (!isRemote) {
        SimConfig rc;
        rc.model = config.remoteModel;
        rc.serialNumber = config.serialNumber + 1;
        rc.joinDelayMs = config.joinDelayMs;
        rc.uplinkPeriodMs = config.uplinkPeriodMs;
        rc.remoteDevEui = config.remoteDevEui;
        remote = std::make_unique<SimDevice>(rc, true);
    }
}

SimDevice::~SimDevice() = default;

quint16 SimDevice::deviceId() const
{
    return config.deviceId();
}

QString SimDevice::serialNumber() const
{
    return QString::number(config.model) +
           QStringLiteral("%1").arg(config.serialNumber, 13, 10, QLatin1Char('0'));
}

QString SimDevice::usbSerialNumber() const
{
    return QStringLiteral("VEXA7XX") +
           QStringLiteral("%1").arg(config.serialNumber, 8, 10, QLatin1Char('0'));
}

QString SimDevice::devEui() const
{
    if (isRemote && !config.remoteDevEui.isEmpty())
        return config.remoteDevEui.toLower();
    return QStringLiteral("70b3d57e%1%2")
        .arg(config.model, 4, 16, QLatin1Char('0'))
        .arg(config.serialNumber & 0xFFFF, 4, 16, QLatin1Char('0'));
}

int SimDevice::inputCount() const
{
    return config.model == 750 ? 6 : config.model == 760 ? 2 : 0;
}

QList<quint16> SimDevice::modelCodes() const
{
    QList<quint16> codes;
    auto range = [&codes](quint16 first, quint16 last) {
        for (quint32 c = first; c <= last; ++c)
            codes << quint16(c);
    };
    range(0x0000, 0x0014);
    range(0x0020, 0x002F);
    codes << 0x0031;
    if (config.model == 701) {
        codes << 0x0105;
    } else {
        range(0x0100, 0x0105);
    }
    const int inputs = inputCount();
    if (inputs > 0) {
        range(0x0110, quint16(0x0110 + inputs - 1));
        range(0x0120, quint16(0x0120 + inputs - 1));
        range(0x0130, quint16(0x0130 + inputs - 1));
        range(0x01A0, quint16(0x01A0 + inputs - 1));
    }
    range(0x0140, 0x0144);
    if (config.model == 760) {
        range(0x0150, 0x0155);
        codes << 0x0203;
    }
    if (config.model == 701)
        range(0x0160, 0x0161);
    range(0x0180, 0x0181);
    range(0x0190, 0x0195);
    return codes;
}

QByteArray SimDevice::defaultParam(quint16 code) const
{
    const quint32 seed = config.serialNumber * 1000u + quint32(config.model);
    switch (code) {
    case 0x0000:
        return QByteArray(1, '\x01');
    case 0x0001:
        return QByteArray(1, '\x01');
    case 0x0002:
        return QByteArray(1, '\x01');
    case 0x0003:
        return QByteArray::fromHex(devEui().toLatin1());
    case 0x0004:
        return QByteArray::fromHex("70b3d57ed0000001");
    case 0x0005:
        return pseudoBytes(seed + 5, 16);
    case 0x0006:
        return QByteArray(4, '\0');
    case 0x0007:
        return QByteArray(4, '\0');
    case 0x0008:
        return QByteArray(16, '\0');
    case 0x0009:
        return QByteArray(16, '\0');
    case 0x000A:
        return be32(3600);
    case 0x000B:
        return QByteArray(1, '\x00');
    case 0x000C:
        return QByteArray(1, '\x01');
    case 0x000D:
        return QByteArray(1, '\x01');
    case 0x000E:
        return QByteArray(1, '\x01'); // RU864
    case 0x000F:
        return QByteArray(1, '\x00'); // class A
    case 0x0010:
        return QByteArray(1, '\x03');
    case 0x0011:
        return QByteArray(1, '\x00');
    case 0x0012:
        return QByteArray(1, '\x0a');
    case 0x0013:
        return be32(ru864Rx2);
    case 0x0014:
        return QByteArray(1, '\x00');
    case 0x0020:
        return be32(ru864Join0);
    case 0x0021:
        return be32(ru864Join1);
    case 0x0031:
        return QByteArray(1, '\x00');
    case 0x0100:
        return QByteArray(1, '\x0a');
    case 0x0101:
        return be16(100);
    case 0x0102:
        return QByteArray(1, '\x00');
    case 0x0103:
        return be16(100);
    case 0x0104:
        return be16(600);
    case 0x0105:
        return be32(3 * 3600); // UTC+03:00
    case 0x0140:
        return be16(3600);
    case 0x0141:
        return be16(21600);
    case 0x0142:
        return be16(3000);
    case 0x0143:
        return be16(config.model == 701 ? 3650 : 4200);
    case 0x0144:
        return be16(config.model == 701 ? 2900 : 3300);
    case 0x0150:
        return QByteArray::fromHex("00002580080001");
    case 0x0151:
        return QByteArray::fromHex("00000a000a0064");
    case 0x0152:
        return QByteArray::fromHex("006401f4003203e8");
    case 0x0153:
        return QByteArray(1, '\x03');
    case 0x0154:
        return QByteArray(1, '\x00');
    case 0x0155: {
        // A three-phase meter, network address 1, its serial number, two passwords.
        QByteArray b(1, '\x00');
        b.append(char(1));
        b.append("012345678901");
        QByteArray user("111111");
        QByteArray master("222222");
        std::reverse(user.begin(), user.end());
        std::reverse(master.begin(), master.end());
        b.append(user);
        b.append(master);
        b.append(char(1));
        b.append(char(0));
        return b;
    }
    case 0x0160:
        return QByteArray(1, '\x00');
    case 0x0161:
        return QByteArray(1, char(50));
    case 0x0180:
        return QByteArray(1, '\x00');
    case 0x0181:
        return QByteArray(1, '\x00');
    case 0x0190:
        return QByteArray::fromHex("200c0000"); // every day at 12:00
    case 0x0203:
        return QByteArray(1, config.revision >= 2 ? '\x01' : '\x02');
    default:
        break;
    }
    if (code >= 0x0022 && code <= 0x002F)
        return QByteArray(4, '\0');
    if (code >= 0x0110 && code <= 0x0115)
        return QByteArray(1, '\x00');
    if (code >= 0x0120 && code <= 0x0125)
        return QByteArray(1, '\x01'); // pulse counting
    if (code >= 0x0130 && code <= 0x0135)
        return QByteArray::fromHex("00020002000a000a"); // mode 1 at a 100 ms scan period
    if (code >= 0x0191 && code <= 0x0195)
        return QByteArray(4, '\0');
    if (code >= 0x01A0 && code <= 0x01A5)
        return be32(0);
    return QByteArray();
}

void SimDevice::loadDefaults(bool networkOnly)
{
    for (quint16 code : modelCodes()) {
        if (networkOnly && code > 0x00FF)
            continue;
        params.insert(code, defaultParam(code));
    }
}

qint64 SimDevice::joinedAtMs() const
{
    return joinRequestMs + config.joinDelayMs;
}

int SimDevice::netState(qint64 nowMs) const
{
    const qint64 since = nowMs - joinRequestMs;
    if (since < qMin<qint64>(1000, config.joinDelayMs / 3))
        return 3; // not registered yet
    if (nowMs < joinedAtMs())
        return 1; // joining
    // A short exchange right after every uplink.
    const qint64 period = config.uplinkPeriodMs > 0 ? config.uplinkPeriodMs
                                                    : qint64(get32(params.value(0x000A), 0)) * 1000;
    if (period > 0 && (nowMs - joinedAtMs()) % period < 300)
        return 5;
    return 2;
}

quint32 SimDevice::uplinks(qint64 nowMs) const
{
    if (nowMs < joinedAtMs())
        return extraUplinks;
    qint64 period = config.uplinkPeriodMs;
    if (period <= 0)
        period = qMax<qint64>(60, get32(params.value(0x000A), 0)) * 1000;
    return quint32((nowMs - joinedAtMs()) / period + 1) + extraUplinks;
}

quint32 SimDevice::unixNow(qint64 nowMs) const
{
    return quint32((clockBaseUnixMs + (nowMs - clockSetMs)) / 1000);
}

QList<SimAnswer> SimDevice::handle(quint8 port, const QByteArray &payload, qint64 nowMs)
{
    if (rs2usb)
        return {}; // a converter forwards bytes to the meter and answers nothing itself
    if (port == 1)
        return {blockAnswer(payload)};

    const quint16 code = get16(payload, 0);
    auto answer = [code](const QByteArray &body) {
        QByteArray p = be16(code);
        p.append(body);
        return QList<SimAnswer>{SimAnswer{2, p}};
    };

    const bool guarded =
        (code >= 0x8500 && code <= 0x8502) || (code >= 0x8100 && code <= 0x8103) || code == 0x8005;
    if (guarded && needsLogin())
        return {SimAnswer{0, QByteArray("LOGIN REQUIRED\r\n")}};

    switch (code) {
    case 0x8000:
        return answer({});
    case 0x8001:
        rebootPending = true;
        return answer(QByteArray(2, '\0'));
    case 0x8002: {
        QByteArray b = versionBytes(fwVersion);
        put16(b, deviceId());
        b.append(serialNumber().toLatin1().leftJustified(16, '\0', true));
        b.append(QByteArray::fromHex(devEui().toLatin1()));
        return answer(b);
    }
    case 0x8003:
    case 0x8004: {
        if (code == 0x8004) {
            clockBaseUnixMs = qint64(get32(payload, 2)) * 1000 + get16(payload, 6);
            clockSetMs = nowMs;
            clockSource = 1;
        }
        const qint64 ms = clockBaseUnixMs + (nowMs - clockSetMs);
        QByteArray b = be32(quint32(ms / 1000));
        put16(b, quint16(ms % 1000));
        b.append(QByteArray(6, '\0'));
        b.append(char(clockSource));
        return answer(b);
    }
    case 0x8005:
        fileStore.clear();
        fileChecked = false;
        return answer(QByteArray(1, '\0'));
    case 0x8100:
    case 0x8101:
    case 0x8102:
    case 0x8103:
        return {fileAnswer(code, payload)};
    case 0x8300:
        relayMode = true;
        relayFaultsLeft = config.relayStatusFaults;
        return answer(QByteArray(2, '\0'));
    case 0x8301:
        relayMode = false;
        return answer(QByteArray(2, '\0'));
    case 0x8302:
        return relayMode ? relay(payload, nowMs) : QList<SimAnswer>{};
    case 0x8304:
        return answer({});
    case 0x8500: {
        const quint16 param =
            quint16((quint8(byteAt(payload, 2)) << 8) | quint8(byteAt(payload, 4)));
        const QByteArray value = params.value(param);
        QByteArray b;
        b.append(payload.mid(2, 3).leftJustified(3, '\0', true));
        put16(b, quint16(value.size()));
        b.append(value);
        return answer(b);
    }
    case 0x8501: {
        const quint16 param =
            quint16((quint8(byteAt(payload, 2)) << 8) | quint8(byteAt(payload, 4)));
        const int n = quint8(byteAt(payload, 5));
        const QByteArray value = payload.mid(6);
        quint8 result = 0;
        const ParamCatalogue::Param *p = ParamCatalogue::byCode(param);
        if (!params.contains(param) || !p)
            result = 1; // this device has no such parameter
        else if (value.size() != n || !ParamCatalogue::validLength(*p, value) ||
                 (p->bytes == ParamCatalogue::asRead && value.size() != params.value(param).size()))
            result = 2; // wrong length
        else if (p->kind == ParamCatalogue::Kind::ReadOnly)
            result = 3;
        else if (config.refusedParams.contains(param))
            result = 4;
        if (result == 0)
            params.insert(param, value);
        QByteArray b = payload.mid(2, 3).leftJustified(3, '\0', true);
        b.append(char(result));
        return answer(b);
    }
    case 0x8502: {
        const quint8 type = quint8(byteAt(payload, 2));
        if (type == 0)
            loadDefaults(true);
        else if (type == 1)
            loadDefaults(false);
        return answer(QByteArray(1, char(type)));
    }
    case 0x8601:
        joinRequestMs = nowMs;
        return answer(QByteArray::fromHex("0100"));
    case 0x8605: {
        const bool registered = netState(nowMs) == 2 || netState(nowMs) == 5;
        if (registered)
            ++extraUplinks;
        return answer(registered ? QByteArray::fromHex("0100") : QByteArray::fromHex("0101"));
    }
    case 0x8600:
    case 0x8602:
    case 0x8603:
    case 0x8604:
    case 0x8606:
    case 0x8700:
    case 0x8701:
    case 0x8702:
        return {statusAnswer(code, nowMs)};
    default:
        return {};
    }
}

SimAnswer SimDevice::statusAnswer(quint16 code, qint64 nowMs) const
{
    QByteArray p = be16(code);
    const double t = double(nowMs);
    const int state = netState(nowMs);
    const bool joined = state == 2 || state == 5;
    const quint32 ups = uplinks(nowMs);
    switch (code) {
    case 0x8600: {
        p.append(char(1)).append(char(0)).append(char(state));
        const quint32 seed = config.serialNumber + quint32(joinRequestMs);
        p.append(joined ? QByteArray::fromHex("26") + pseudoBytes(seed, 3) : QByteArray(4, '\0'));
        p.append(joined ? pseudoBytes(seed + 1, 16) : QByteArray(16, '\0'));
        p.append(joined ? pseudoBytes(seed + 2, 16) : QByteArray(16, '\0'));
        p.append(params.value(0x000F, QByteArray(1, '\0')).left(1));
        const bool confirmed = byteAt(params.value(0x0011), 0) != 0;
        p.append(char(!joined ? 0 : confirmed ? (ups % 4 == 3 ? 3 : 2) : 0));
        p.append(char(joined && byteAt(params.value(0x0012), 0) != 0 ? 2 : 0));
        break;
    }
    case 0x8602: {
        const int rssi = joined ? -85 + int(15 * qSin(t / 5000.0)) : -120;
        const int snrQuarter = joined ? int(4 * (6 + 5 * qSin(t / 3000.0))) : -40;
        const int level = joined ? qBound(0, (rssi + 115) * 31 / 60, 31) : 0;
        p.append(char(1)).append(char(0));
        put16(p, quint16(qint16(rssi)));
        p.append(char(qint8(snrQuarter)));
        p.append(char(level));
        p.append(char(joined ? 1 + ups % 3 : 0));
        break;
    }
    case 0x8603: {
        const int dr = quint8(byteAt(params.value(0x000B), 0));
        p.append(char(1)).append(char(0));
        p.append(char(dr));
        p.append(params.value(0x000C, QByteArray(1, '\0')).left(1));
        p.append(char(ups ? 1 : 0));
        put32(p, ups ? timeOnAirMs(dr) : 0);
        put32(p, ups);
        QList<quint32> channels;
        for (quint16 c = 0x0020; c <= 0x002F; ++c) {
            const quint32 f = get32(params.value(c), 0);
            if (f)
                channels << f;
        }
        put32(p, ups && !channels.isEmpty() ? channels.at(int(ups % quint32(channels.size()))) : 0);
        put32(p, ups / 4);
        p.append(params.value(0x0014, QByteArray(1, '\0')).left(1));
        p.append(char(ups / 4 ? 2 : 0));
        break;
    }
    case 0x8604: {
        p.append(char(1)).append(char(0));
        const quint32 boot = unixNow(bootMs);
        const quint32 joinedAt = joined ? unixNow(joinedAtMs()) : 0;
        qint64 period = config.uplinkPeriodMs > 0 ? config.uplinkPeriodMs : 60000;
        const quint32 lastTx = joined ? unixNow(joinedAtMs() + (ups ? ups - 1 : 0) * period) : 0;
        const quint32 lastRx =
            joined && ups >= 4 ? unixNow(joinedAtMs() + ((ups / 4) * 4 - 1) * period) : 0;
        for (quint32 v : {boot, joinedAt, quint32(0), quint32(0), lastTx, lastRx, lastTx, lastRx,
                          lastTx, lastRx})
            put32(p, v);
        break;
    }
    case 0x8606: {
        p.append(char(1)).append(char(0));
        int last = -1;
        for (int n = 0; n < 16; ++n) {
            if (get32(params.value(quint16(0x0020 + n)), 0))
                last = n;
        }
        p.append(char(last + 1));
        for (int n = 0; n <= last; ++n) {
            p.append(char(n));
            put32(p, get32(params.value(quint16(0x0020 + n)), 0));
        }
        put32(p, get32(params.value(0x0013), 0));
        p.append(params.value(0x0014, QByteArray(1, '\0')).left(1));
        break;
    }
    case 0x8700: {
        put16(p, deviceId());
        p.append(char(0)).append(char(1));
        const int mv = config.model == 701 ? qMax(3400, 3620 - int(nowMs / 60000))
                                           : 4100 + int(20 * qSin(t / 10000.0));
        put16(p, quint16(mv));
        p.append(char(0)).append(char(0));
        break;
    }
    case 0x8701: {
        put16(p, deviceId());
        p.append(char(0));
        if (inputCount() > 0) {
            put16(p, quint16(1200 + int(50 * qSin(t / 4000.0))));
            put16(p, quint16(3300 + int(10 * qSin(t / 7000.0))));
            for (int i = 0; i < inputCount(); ++i)
                put16(p, quint16(100 * (i + 1) + int(20 * qSin(t / (2000.0 + 300 * i)))));
        }
        break;
    }
    case 0x8702: {
        put16(p, deviceId());
        p.append(char(0));
        for (int i = 0; i < inputCount(); ++i) {
            const bool on = byteAt(params.value(quint16(0x0120 + i)), 0) != 0;
            put32(p, on ? quint32(1000 * (i + 1) + nowMs / (1000 * (i + 1))) : 0);
            p.append(char(on ? 1 : 0));
            p.append(char(0));
        }
        break;
    }
    default:
        break;
    }
    return SimAnswer{2, p};
}

quint8 SimDevice::checkFile() const
{
    if (fileStore.size() < 15)
        return 1;
    if (quint8(fileStore.at(0)) != 0x55 || quint8(fileStore.at(1)) != 0xAA)
        return 2;
    if (fileStore.mid(2, 8) != QByteArray("VERSION\0", 8))
        return 3;
    const quint16 id = quint16(quint8(fileStore.at(10)) | (quint8(fileStore.at(11)) << 8));
    if (id != deviceId())
        return 4;
    if (fileStore.size() > (1 << 20))
        return 5;
    return 0;
}

SimAnswer SimDevice::fileAnswer(quint16 code, const QByteArray &payload)
{
    QByteArray p = be16(code);
    const char type = byteAt(payload, 2, 2);
    switch (code) {
    case 0x8100: // create
        fileStore.clear();
        fileChecked = false;
        p.append(type).append(char(0)).append(char(0));
        break;
    case 0x8101: { // check
        const quint8 result = checkFile();
        fileChecked = result == 0;
        p.append(type).append(char(result));
        break;
    }
    case 0x8102: { // information
        const bool header = fileStore.size() >= 15;
        const QString fileVersion = header ? QStringLiteral("%1.%2.%3")
                                                 .arg(quint8(fileStore.at(12)))
                                                 .arg(quint8(fileStore.at(13)))
                                                 .arg(quint8(fileStore.at(14)))
                                           : QStringLiteral("0.0.0");
        p.append(type);
        p.append(versionBytes(fwVersion));
        // The version of the update in the store decides whether a transfer resumes.
        p.append(versionBytes(header ? fileVersion : fwVersion));
        put16(p, deviceId());
        p.append(versionBytes(fileVersion));
        put16(p, 0);
        break;
    }
    case 0x8103: // loaded size
        p.append(type).append(char(0)).append(char(0));
        p.append(char(fileStore.isEmpty() ? 0 : 1)).append(char(0));
        put32(p, quint32(fileStore.size()));
        break;
    default:
        break;
    }
    return SimAnswer{2, p};
}

SimAnswer SimDevice::blockAnswer(const QByteArray &payload)
{
    ++blockCount;
    const quint8 type = quint8(byteAt(payload, 0)) >> 4;
    const quint32 offset = (quint32(quint8(byteAt(payload, 0)) & 0x0F) << 16) |
                           (quint32(quint8(byteAt(payload, 1))) << 8) | quint8(byteAt(payload, 2));
    const QByteArray data = payload.mid(3);
    QByteArray a;
    quint32 reported = offset;
    quint8 status = 0;
    quint16 written = quint16(data.size());
    if (offset == quint32(fileStore.size())) {
        fileStore.append(data);
    } else {
        // Not where the file ends: tell where it does.
        status = 1;
        reported = quint32(fileStore.size());
        written = 0;
    }
    a.append(char((type << 4) | ((reported >> 16) & 0x0F)));
    a.append(char(reported >> 8));
    a.append(char(reported));
    a.append(char(status));
    put16(a, written);
    return SimAnswer{1, a};
}

QList<SimAnswer> SimDevice::relay(const QByteArray &payload, qint64 nowMs)
{
    const QByteArray eui = payload.mid(2, 8);
    if (relayFaultsLeft > 0) {
        --relayFaultsLeft;
        return {SimAnswer{2, QByteArray::fromHex("83020109")}}; // relay busy: status 9
    }
    if (!remote || eui != QByteArray::fromHex(remote->devEui().toLatin1()))
        return {}; // nobody with that DevEUI hears us
    const quint8 innerPort = quint8(byteAt(payload, 10));
    const QByteArray inner = payload.mid(16);
    QList<SimAnswer> out;
    for (const SimAnswer &a : remote->handle(innerPort, inner, nowMs)) {
        if (a.port == 0)
            continue;
        QByteArray w = QByteArray::fromHex("8305");
        w.append(eui);
        w.append(char(a.port));
        w.append(char(a.payload.size() & 0xFF));
        w.append(a.payload);
        out.append(SimAnswer{2, w});
    }
    return out;
}

QStringList SimDevice::handleText(const QString &line, qint64 nowMs)
{
    Q_UNUSED(nowMs);
    const QString text = line.trimmed();
    if (text.startsWith(QLatin1String("USB "))) {
        const QString pass = text.mid(4);
        if (config.password.isEmpty() || pass == config.password) {
            authenticated = true;
            return {QStringLiteral("LOGIN OK")};
        }
        authenticated = false;
        return {QStringLiteral("LOGIN ERROR")};
    }
    if (text.startsWith(QLatin1String("SYSLOG LEVEL="))) {
        const QStringList parts = text.mid(13).split(QLatin1Char(','));
        debugLevel = parts.value(0).trimmed();
        debugSource = parts.value(1).trimmed();
        debugOn = debugLevel != QLatin1String("ALL") && debugSource != QLatin1String("F") &&
                  !debugLevel.isEmpty() && !debugSource.isEmpty();
        return {QStringLiteral("SYSLOG %1")
                    .arg(debugOn ? QStringLiteral("ON") : QStringLiteral("OFF"))};
    }
    if (text.startsWith(QLatin1String("RS2USB "))) {
        const QStringList parts = text.mid(7).split(QLatin1Char(','));
        bool ok = false;
        const int speed = parts.value(0).toInt(&ok);
        if (!ok || speed <= 0 || parts.size() != 2)
            return {QStringLiteral("RS2USB ERROR")};
        rs2usb = true;
        return {QStringLiteral("RS2USB %1,%2 OK").arg(speed).arg(parts.value(1).trimmed())};
    }
    return {QStringLiteral("ERROR unknown command")};
}

QString SimDevice::nextDebugLine(qint64 nowMs)
{
    const int state = netState(nowMs);
    const QString stamp =
        QStringLiteral("%1.%2").arg(nowMs / 1000).arg(nowMs % 1000, 3, 10, QLatin1Char('0'));
    static const char *const sources[] = {"radio", "net", "power", "inputs", "storage"};
    const QString src = QLatin1String(sources[debugCounter % 5]);
    QString msg;
    switch (debugCounter % 5) {
    case 0:
        msg =
            QStringLiteral("state=%1 rssi=%2").arg(state).arg(-85 + int(15 * qSin(nowMs / 5000.0)));
        break;
    case 1:
        msg = QStringLiteral("uplinks=%1").arg(uplinks(nowMs));
        break;
    case 2:
        msg = QStringLiteral("battery ok");
        break;
    case 3:
        msg = QStringLiteral("scan %1 inputs").arg(inputCount());
        break;
    default:
        msg = QStringLiteral("store %1 bytes").arg(fileStore.size());
        break;
    }
    ++debugCounter;
    return QStringLiteral("[%1][%2] %3 %4: %5").arg(debugLevel, debugSource, stamp, src, msg);
}

void SimDevice::reboot(qint64 nowMs)
{
    if (fileChecked && checkFile() == 0) {
        fwVersion = QStringLiteral("%1.%2.%3")
                        .arg(quint8(fileStore.at(12)))
                        .arg(quint8(fileStore.at(13)))
                        .arg(quint8(fileStore.at(14)));
        fileChecked = false;
    }
    bootMs = nowMs;
    joinRequestMs = nowMs;
    extraUplinks = 0;
    authenticated = false;
    debugOn = false;
    rs2usb = false;
    relayMode = false;
    rebootPending = false;
}
