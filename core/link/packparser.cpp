#include "packparser.h"

#include "answerqueue.h"
#include "commands.h"
#include "deviceidentity.h"
#include "frame.h"
#include "payloadreader.h"

#include <QPointer>

namespace {
// Device IDs whose ADC and input answers carry channels (low 10 bits of the ID).
constexpr int vexa750 = 750;
constexpr int vexa760 = 760;

int channelsForDevice(quint16 devId)
{
    switch (DeviceIdentity::modelOf(devId)) {
    case vexa750:
        return 6;
    case vexa760:
        return 2;
    default:
        return 0;
    }
}
} // namespace

PackParser::PackParser(AnswerQueue *queue, QObject *parent)
    : QObject(parent)
    , answerQueue(queue)
{
    qRegisterMetaType<FILE_INFO>("FILE_INFO");
}

void PackParser::parseQueued()
{
    // A receiver may end the link (and this parser with it) while an answer is handled.
    const QPointer<PackParser> alive(this);
    QByteArray frame;
    while (alive && answerQueue->pop(&frame)) {
        ++wakeCount;
        QByteArray payload;
        quint8 port = 0;
        // A frame that fails the check is dropped without a word.
        if (Frame::check(frame, &payload, &port))
            dataParser(payload, port);
    }
}

void PackParser::stopParser()
{
    answerQueue->close();
}

void PackParser::dataParser(QByteArray data, uchar _port)
{
    const PayloadReader r(data);
    // A device may mark its answers; the mark carries no meaning here.
    const quint16 code = quint16(r.u16(0) & ~Cmd::answerMark);

    switch (code) {
    case Cmd::checkConnect:
        emit checkConnectOk();
        return;
    case Cmd::reboot:
        emit rebootAnswer(r.u8(3));
        return;
    case Cmd::deviceInfo: {
        QByteArray sn;
        for (int i = 7; i < 23; ++i)
            sn.append(char(r.u8(i)));
        while (sn.endsWith('\0'))
            sn.chop(1);
        emit setDevInfo(r.version(2), r.u16(5), QString::fromLatin1(sn), r.hex(23, 8, '-'));
        return;
    }
    case Cmd::getDateTime:
        emit getDateTimeAnswer(time_t(qint32(r.u32(2))), r.u16(6), r.u8(14));
        return;
    case Cmd::setDateTime:
        emit setDateTimeAnswer(qint32(r.u32(2)), qint16(r.u16(6)), r.u8(14));
        return;
    case Cmd::formatFlash:
        emit formatFlashAnswer(r.u8(2));
        return;
    case Cmd::modeChanged:
        emit vexa760ModeChanged();
        return;
    case Cmd::createFile:
        emit createFile(r.u8(4));
        return;
    case Cmd::checkFile:
        emit resultCheckFile(r.u8(3));
        return;
    case Cmd::fileInfo: {
        FILE_INFO info;
        info.fileType = r.u8(2);
        info.extraVersion = r.version(3);
        info.fwVersion = r.version(6);
        info.devId = r.u16(9);
        info.updFileVersion = r.version(11);
        info.extraWord = r.u16(14);
        emit fileInfoAnswer(info);
        return;
    }
    case Cmd::loadedBlocks:
        emit loadedBlocks(r.u8(5) == 0 ? 0u : uint(r.u32(7)));
        return;
    case Cmd::fskMode:
        emit switchFskModeAnswer(r.u8(2), r.u8(3));
        return;
    case Cmd::normalMode:
        emit switchNormalModeAnswer(r.u8(2), r.u8(3));
        return;
    case Cmd::relayCommand:
        emit fskCommandAnswer(r.u8(2), r.u8(3));
        return;
    case Cmd::clearFskStatus:
        emit clearFskAnswer();
        return;
    case Cmd::relayedAnswer: {
        // An answer of the remote device, carried by the relay: decode it like a direct one.
        quint8 innerPort = 0;
        const QByteArray inner = Frame::relayedInner(data, &innerPort);
        dataParser(inner, innerPort);
        return;
    }
    case Cmd::readParam: {
        const int k = r.u16(5);
        emit parseConfiguration(r.u8(2), r.u8(4), data.right(k));
        return;
    }
    case Cmd::writeParam:
        emit answerWriteParam(r.u8(2), r.u8(4), r.u8(5));
        return;
    case Cmd::factoryDefault:
        emit factoryDefaultAnswer(r.u8(2));
        return;
    case Cmd::netStatus: {
        NET_MAIN_STAT s;
        s.netMode = r.u8(2);
        s.resultCode = r.u8(3);
        s.netState = r.u8(4);
        s.devAddr = r.hex(5, 4);
        s.appSKey = r.hex(9, 16);
        s.nwkSKey = r.hex(25, 16);
        s.devClass = r.u8(41);
        s.confirmState = r.u8(42);
        s.checkConnectState = r.u8(43);
        emit mainNetStatus(s);
        return;
    }
    case Cmd::netJoin:
        emit netJoinAnswer(r.u8(2), r.u8(3));
        return;
    case Cmd::netQuality: {
        NET_QUALITY_STAT s;
        s.netMode = r.u8(2);
        s.resultCode = r.u8(3);
        s.rssi = qint16(r.u16(4));
        s.snr = qint8(r.u8(6));
        s.netLevel = r.u8(7);
        s.bsCount = r.u8(8);
        emit netQulityStatus(s);
        return;
    }
    case Cmd::lastSendStatus: {
        NET_LAST_SEND_STAT s;
        s.netMode = r.u8(2);
        s.resultCode = r.u8(3);
        s.txDatarate = r.u8(4);
        s.txPower = r.u8(5);
        s.sendRetries = r.u8(6);
        s.timeOnAir = r.u32(7);
        s.upLinkCounter = r.u32(11);
        s.upLinkFrequency = r.u32(15);
        s.downLinkCounter = r.u32(19);
        s.rxDatarate = r.u8(23);
        s.rxSlot = r.u8(24);
        emit netLastSendStatus(s);
        return;
    }
    case Cmd::netTimes: {
        NET_TIME_STAT s;
        s.netMode = r.u8(2);
        s.resultCode = r.u8(3);
        quint32 *times[] = {&s.timeStart,
                            &s.timeConnect,
                            &s.timeDisconnect,
                            &s.timeStop,
                            &s.timeLastTx,
                            &s.timeLastRx,
                            &s.timeLastCheckConnectRequest,
                            &s.timeLastCheckConnectAnswer,
                            &s.timeLastConfirmRequest,
                            &s.timeLastConfirmAnswer};
        int pos = 4;
        for (quint32 *t : times) {
            *t = r.u32(pos);
            pos += 4;
        }
        emit netTimesStatus(s);
        return;
    }
    case Cmd::extraordinaryPack:
        emit sendExtraordinaryPackAnswer(r.u8(2), r.u8(3));
        return;
    case Cmd::currentFreq: {
        const int count = qint8(r.u8(4));
        FreqList channels;
        int pos = 5;
        for (int i = 0; i < count; ++i) {
            if (r.u8(pos) == i)
                channels.append(qMakePair(i, QString::number(r.u32(pos + 1))));
            pos += 5;
        }
        emit getFreqAnswer(r.u8(2), r.u8(3), channels, QString::number(r.u32(pos)),
                           QString::number(r.u8(pos + 4)));
        return;
    }
    case Cmd::batStatus: {
        DEV_BAT_STAT s;
        s.devId = r.u16(2);
        s.resultCode = r.u8(4);
        s.powerSource = r.u8(5);
        s.batVoltage = r.u16(6);
        s.batFlags = r.u8(8);
        s.batError = r.u8(9);
        emit devBatStatus(s);
        return;
    }
    case Cmd::adcStatus: {
        DEV_ADC_VALUES s;
        s.resultCode = r.u8(4);
        const int channels = channelsForDevice(r.u16(2));
        if (channels > 0) {
            s.adcValue1 = r.u16(5);
            s.fsmVoltage = r.u16(7);
            s.inputCount = quint8(channels);
            for (int i = 0; i < channels; ++i)
                s.adcValues.append(r.u16(9 + 2 * i));
        }
        emit devAdcStatus(s);
        return;
    }
    case Cmd::inputsParams: {
        DEV_INPUT_PARAMS s;
        s.resultCode = r.u8(4);
        const int channels = channelsForDevice(r.u16(2));
        s.inputCount = quint8(channels);
        for (int i = 0; i < channels; ++i) {
            const int pos = 5 + 6 * i;
            s.inputs.append(DEV_INPUT{r.u32(pos), r.u8(pos + 4), r.u8(pos + 5)});
        }
        emit devInputsParamsStatus(s);
        return;
    }
    default:
        break;
    }

    if (_port == Frame::filePort) {
        // Acknowledgement of a file block: type, 20-bit offset, status, written size.
        const uchar fileType = r.u8(0) >> 4;
        const uint offset = (uint(r.u8(0) & 0x0F) << 16) | (uint(r.u8(1)) << 8) | r.u8(2);
        const uint size = r.u16(4);
        const uchar status = r.u8(3);
        emit sendNextBlock(fileType, status != 0 ? 0u : offset, size, status);
    }
}
