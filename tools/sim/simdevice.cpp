#include "simdevice.h"

#include "frame.h"
#include "paramcatalogue.h"
#include "simwire.h"

#include <QDateTime>

#include <QtMath>
#include <algorithm>

using namespace SimWire;

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
        return netNotRegistered;
    if (nowMs < joinedAtMs())
        return netJoining;
    // A short exchange right after every uplink.
    const qint64 period = config.uplinkPeriodMs > 0 ? config.uplinkPeriodMs
                                                    : qint64(firstU32(params.value(0x000A))) * 1000;
    if (period > 0 && (nowMs - joinedAtMs()) % period < 300)
        return netExchanging;
    return netRegistered;
}

quint32 SimDevice::uplinks(qint64 nowMs) const
{
    if (nowMs < joinedAtMs())
        return extraUplinks;
    qint64 period = config.uplinkPeriodMs;
    if (period <= 0)
        period = qMax<qint64>(60, firstU32(params.value(0x000A))) * 1000;
    return quint32((nowMs - joinedAtMs()) / period + 1) + extraUplinks;
}

quint32 SimDevice::unixNow(qint64 nowMs) const
{
    return quint32((clockBaseUnixMs + (nowMs - clockSetMs)) / 1000);
}

quint16 SimDevice::requestedParam(const QByteArray &payload)
{
    const PayloadReader r(payload);
    return quint16((r.u8(2) << 8) | r.u8(4));
}

QList<SimAnswer> SimDevice::handle(quint8 port, const QByteArray &payload, qint64 nowMs)
{
    if (rs2usb)
        return {}; // a converter forwards bytes to the meter and answers nothing itself
    if (port == Frame::filePort)
        return {blockAnswer(payload)};

    const PayloadReader r(payload);
    const quint16 code = r.u16(0);
    auto answer = [](const PayloadWriter &w) {
        return QList<SimAnswer>{SimAnswer{Frame::commandPort, w.data()}};
    };
    // Parameter answers repeat the parameter's type, access and number bytes of the request.
    auto paramAnswer = [&r, code] {
        PayloadWriter w = answerTo(code);
        w.u8(r.u8(2)).u8(r.u8(3)).u8(r.u8(4));
        return w;
    };
    const quint16 param = requestedParam(payload);

    const bool guarded = (code >= Cmd::readParam && code <= Cmd::factoryDefault) ||
                         (code >= Cmd::createFile && code <= Cmd::loadedBlocks) ||
                         code == Cmd::formatFlash;
    if (guarded && needsLogin())
        return {SimAnswer{SimAnswer::textPort, QByteArray("LOGIN REQUIRED\r\n")}};

    switch (code) {
    case Cmd::checkConnect:
    case Cmd::clearFskStatus:
        return answer(answerTo(code));
    case Cmd::reboot:
        // The result is the answer's second byte after the code.
        rebootPending = config.rebootResult == 0;
        return answer(answerTo(code).u8(0).u8(quint8(config.rebootResult)));
    case Cmd::deviceInfo:
        return answer(answerTo(code)
                          .bytes(versionBytes(fwVersion))
                          .u16(deviceId())
                          .bytes(serialNumber().toLatin1().leftJustified(16, '\0', true))
                          .bytes(QByteArray::fromHex(devEui().toLatin1())));
    case Cmd::getDateTime:
    case Cmd::setDateTime: {
        if (code == Cmd::setDateTime) {
            clockBaseUnixMs = qint64(r.u32(2)) * 1000 + r.u16(6);
            clockSetMs = nowMs;
            clockSource = 1;
        }
        const qint64 ms = clockBaseUnixMs + (nowMs - clockSetMs);
        return answer(answerTo(code)
                          .u32(quint32(ms / 1000))
                          .u16(quint16(ms % 1000))
                          .bytes(QByteArray(6, '\0'))
                          .u8(clockSource));
    }
    case Cmd::formatFlash:
        fileStore.clear();
        fileChecked = false;
        return answer(answerTo(code).u8(resultOk));
    case Cmd::createFile:
    case Cmd::checkFile:
    case Cmd::fileInfo:
    case Cmd::loadedBlocks:
        return {fileAnswer(code, payload)};
    case Cmd::fskMode:
        relayMode = true;
        relayFaultsLeft = config.relayStatusFaults;
        return answer(answerTo(code).u16(0));
    case Cmd::normalMode:
        relayMode = false;
        return answer(answerTo(code).u16(0));
    case Cmd::relayCommand:
        return relayMode ? relay(payload, nowMs) : QList<SimAnswer>{};
    case Cmd::readParam: {
        const QByteArray value = params.value(param);
        return answer(paramAnswer().u16(quint16(value.size())).bytes(value));
    }
    case Cmd::writeParam: {
        const int n = r.u8(5);
        const QByteArray value = payload.mid(6);
        WriteResult result = written;
        const ParamCatalogue::Param *p = ParamCatalogue::byCode(param);
        if (!params.contains(param) || !p)
            result = unknownParam;
        else if (value.size() != n || !ParamCatalogue::validLength(*p, value) ||
                 (p->bytes == ParamCatalogue::asRead && value.size() != params.value(param).size()))
            result = wrongLength;
        else if (p->kind == ParamCatalogue::Kind::ReadOnly)
            result = readOnly;
        else if (config.refusedParams.contains(param))
            result = refused;
        if (result == written && !config.ignoredParams.contains(param))
            params.insert(param, value);
        return answer(paramAnswer().u8(result));
    }
    case Cmd::factoryDefault: {
        const quint8 part = r.u8(2);
        if (part == Cmd::resetNetwork)
            loadDefaults(true);
        else if (part == Cmd::resetDevice)
            loadDefaults(false);
        return answer(answerTo(code).u8(part));
    }
    case Cmd::netJoin:
        // The device leaves the network and registers anew.
        joinRequestMs = nowMs;
        return answer(netAnswerTo(code));
    case Cmd::extraordinaryPack: {
        const int state = netState(nowMs);
        const bool registered = state == netRegistered || state == netExchanging;
        if (registered)
            ++extraUplinks;
        // Not registered: the pack cannot go out (result 1).
        return answer(answerTo(code).u8(netModeLoraWan).u8(registered ? resultOk : 1));
    }
    case Cmd::netStatus:
    case Cmd::netQuality:
    case Cmd::lastSendStatus:
    case Cmd::netTimes:
    case Cmd::currentFreq:
    case Cmd::batStatus:
    case Cmd::adcStatus:
    case Cmd::inputsParams:
        return {statusAnswer(code, nowMs)};
    default:
        return {};
    }
}

quint8 SimDevice::checkFile() const
{
    const PayloadReader f(fileStore);
    if (fileStore.size() < firmwareHeaderBytes)
        return Cmd::fileTooShort;
    if (f.u16(0) != firmwareMagic)
        return Cmd::fileBadMagic;
    if (fileStore.mid(2, 8) != QByteArray("VERSION\0", 8))
        return Cmd::fileNoVersionTag;
    // The header keeps the device ID low byte first.
    const quint16 id = quint16(f.u8(10) | (f.u8(11) << 8));
    if (id != deviceId())
        return Cmd::fileOtherDevice;
    if (fileStore.size() > Cmd::maxFileBytes)
        return Cmd::fileTooBig;
    return Cmd::fileOk;
}

SimAnswer SimDevice::fileAnswer(quint16 code, const QByteArray &payload)
{
    PayloadWriter p = answerTo(code);
    const quint8 type = payload.size() > 2 ? PayloadReader(payload).u8(2) : Cmd::firmwareFile;
    switch (code) {
    case Cmd::createFile:
        // A refused creation leaves the store as it was.
        if (config.createResult == 0) {
            fileStore.clear();
            fileChecked = false;
        }
        p.u8(type).u8(0).u8(quint8(config.createResult));
        break;
    case Cmd::checkFile: {
        quint8 result = checkFile();
        if (config.failChecks > 0) {
            --config.failChecks;
            result = quint8(config.failCheckCode);
        }
        fileChecked = result == Cmd::fileOk;
        p.u8(type).u8(result);
        break;
    }
    case Cmd::fileInfo: {
        const bool header = fileStore.size() >= firmwareHeaderBytes;
        const QString fileVersion =
            header ? PayloadReader(fileStore).version(12) : QStringLiteral("0.0.0");
        p.u8(type).bytes(versionBytes(fwVersion));
        // The version of the update in the store decides whether a transfer resumes.
        p.bytes(versionBytes(header ? fileVersion : fwVersion));
        p.u16(deviceId()).bytes(versionBytes(fileVersion)).u16(0);
        break;
    }
    case Cmd::loadedBlocks:
        p.u8(type).u8(0).u8(0).u8(fileStore.isEmpty() ? 0 : 1).u8(0);
        p.u32(quint32(fileStore.size()));
        break;
    default:
        break;
    }
    return SimAnswer{Frame::commandPort, p.data()};
}

SimAnswer SimDevice::blockAnswer(const QByteArray &payload)
{
    ++blockCount;
    // A block starts with the file type (4 bits) and the offset it belongs at (20 bits).
    const PayloadReader r(payload);
    const quint8 type = r.u8(0) >> 4;
    const quint32 offset = (r.u32(0) >> 8) & 0xFFFFF;
    const QByteArray data = payload.mid(3);
    quint32 reported = offset;
    quint8 status = 0;
    quint16 written = quint16(data.size());
    if (offset == quint32(fileStore.size()) && config.refuseBlocks <= 0) {
        fileStore.append(data);
    } else {
        // Not where the file ends (or refused by a fault): tell where it does.
        config.refuseBlocks = qMax(0, config.refuseBlocks - 1);
        status = blockRefused;
        reported = quint32(fileStore.size());
        written = 0;
    }
    PayloadWriter a;
    a.u8(quint8((type << 4) | ((reported >> 16) & 0x0F))).u16(quint16(reported));
    a.u8(status).u16(written);
    return SimAnswer{Frame::filePort, a.data()};
}

QList<SimAnswer> SimDevice::relay(const QByteArray &payload, qint64 nowMs)
{
    const QByteArray eui = payload.mid(2, 8);
    if (relayFaultsLeft > 0) {
        --relayFaultsLeft;
        return {SimAnswer{Frame::commandPort,
                          answerTo(Cmd::relayCommand).u8(1).u8(relayStatusBusy).data()}};
    }
    if (!remote || eui != QByteArray::fromHex(remote->devEui().toLatin1()))
        return {}; // nobody with that DevEUI hears us
    const PayloadReader r(payload);
    const quint8 innerPort = r.u8(10);
    // The radio takes as many bytes as the wrapper's length byte says, as the device does.
    const QByteArray inner = payload.mid(16, r.u8(11));
    QList<SimAnswer> out;
    const QList<SimAnswer> answers = remote->handle(innerPort, inner, nowMs);
    if (remote->rebootRequested()) {
        // The remote device restarts at once; the cable to the local one stays.
        remote->clearRebootRequest();
        remote->reboot(nowMs);
    }
    for (const SimAnswer &a : answers) {
        if (a.port == SimAnswer::textPort)
            continue;
        out.append(SimAnswer{Frame::commandPort, answerTo(Cmd::relayedAnswer)
                                                     .bytes(eui)
                                                     .u8(a.port)
                                                     .u8(quint8(a.payload.size()))
                                                     .bytes(a.payload)
                                                     .data()});
    }
    return out;
}

QStringList SimDevice::handleText(const QString &line, qint64 nowMs)
{
    Q_UNUSED(nowMs);
    const QString text = line.trimmed();
    // The login: "USB " on the cable, "REMOTE " through the remote-configuration server.
    const int loginWord = text.startsWith(QLatin1String("USB "))      ? 4
                          : text.startsWith(QLatin1String("REMOTE ")) ? 7
                                                                      : 0;
    if (loginWord > 0) {
        const QString pass = text.mid(loginWord);
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
    if (fileChecked && checkFile() == Cmd::fileOk) {
        fwVersion = PayloadReader(fileStore).version(12);
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
