#pragma once

#include "fileinfo.h"
#include "statusrecords.h"

#include <QByteArray>
#include <QObject>
#include <ctime>

class AnswerQueue;

// Decodes the device's answers: takes checked frames from the answer queue and emits one signal
// per answer with plain values or a status record.
class PackParser : public QObject
{
    Q_OBJECT
public:
    explicit PackParser(AnswerQueue *queue, QObject *parent = nullptr);

    // Frames taken from the answer queue so far (each one decoded or dropped).
    quint64 wakeUps() const { return wakeCount; }

public slots:
    // Decodes every frame waiting in the answer queue; the link calls it queued, once per
    // batch of frames.
    void parseQueued();
    // No more frames are taken.
    void stopParser();
    // Decodes one payload (code first) that arrived on _port.
    void dataParser(QByteArray data, uchar _port);

signals:

    void checkConnectOk();
    void rebootAnswer(uchar statusCode);
    void setDevInfo(QString fwVer, ushort devId, QString sn, QString devEui);
    void getDateTimeAnswer(time_t dateTime, ushort subSeconds, uchar source);
    void setDateTimeAnswer(int dateTime, short subSeconds, uchar source);
    void formatFlashAnswer(uchar code);
    void vexa760ModeChanged();
    void createFile(uchar status);
    void resultCheckFile(uchar statusCode);
    void fileInfoAnswer(FILE_INFO info);
    // Unsigned as the device sends it: no size becomes a negative offset.
    void loadedBlocks(uint size);
    void switchFskModeAnswer(uchar resultCode, uchar statusCode);
    void switchNormalModeAnswer(uchar resultCode, uchar statusCode);
    void fskCommandAnswer(uchar resultCode, uchar statusCode);
    void clearFskAnswer();
    void parseConfiguration(uchar _confType, uchar _paramNum, QByteArray _data);
    void answerWriteParam(uchar _confType, uchar _paramNum, uchar _result);
    void factoryDefaultAnswer(uchar _confType);
    void mainNetStatus(NET_MAIN_STAT stat);
    void netJoinAnswer(uchar _netMode, uchar _resultCode);
    void netQulityStatus(NET_QUALITY_STAT stat);
    void netLastSendStatus(NET_LAST_SEND_STAT stat);
    void netTimesStatus(NET_TIME_STAT stat);
    void sendExtraordinaryPackAnswer(uchar _netMode, uchar _resultCode);
    void getFreqAnswer(uchar _netMode, uchar _resultCode, QList<QPair<int, QString>> freqList,
                       QString rx2Freq, QString rx2Dr);
    void devBatStatus(DEV_BAT_STAT stat);
    void devAdcStatus(DEV_ADC_VALUES stat);
    void devInputsParamsStatus(DEV_INPUT_PARAMS stat);
    // A file block acknowledgement; the offset is 0 when the status is not.
    void sendNextBlock(uchar fileType, uint offset, uint packSize, uchar status);

private:
    AnswerQueue *answerQueue;
    quint64 wakeCount = 0;
};
