#pragma once

#include <QList>
#include <QMetaType>
#include <QPair>
#include <QString>

// Status answers of the device, decoded by the answer parser and shown by the status panels.
// Value types, registered so that they can also travel in queued signals.

// Answer 0x8600: network interface state and session.
struct NET_MAIN_STAT
{
    quint8 netMode = 0;
    quint8 resultCode = 0;
    quint8 netState = 0;
    QString devAddr; // 8 hex digits
    QString appSKey; // 32 hex digits
    QString nwkSKey; // 32 hex digits
    quint8 devClass = 0;
    quint8 confirmState = 0;
    quint8 checkConnectState = 0;
};

// Answer 0x8602: link quality.
struct NET_QUALITY_STAT
{
    quint8 netMode = 0;
    quint8 resultCode = 0;
    qint16 rssi = 0; // dBm
    qint8 snr = 0;   // quarter dB
    quint8 netLevel = 0;
    quint8 bsCount = 0;
};

// Answer 0x8603: the last uplink.
struct NET_LAST_SEND_STAT
{
    quint8 netMode = 0;
    quint8 resultCode = 0;
    quint8 txDatarate = 0;
    quint8 txPower = 0;
    quint8 sendRetries = 0;
    quint32 timeOnAir = 0; // ms
    quint32 upLinkCounter = 0;
    quint32 upLinkFrequency = 0; // Hz
    quint32 downLinkCounter = 0;
    quint8 rxDatarate = 0;
    quint8 rxSlot = 0;
};

// Answer 0x8604: network time stamps, Unix seconds (0 = never).
struct NET_TIME_STAT
{
    quint8 netMode = 0;
    quint8 resultCode = 0;
    quint32 timeStart = 0;
    quint32 timeConnect = 0;
    quint32 timeDisconnect = 0;
    quint32 timeStop = 0;
    quint32 timeLastTx = 0;
    quint32 timeLastRx = 0;
    quint32 timeLastCheckConnectRequest = 0;
    quint32 timeLastCheckConnectAnswer = 0;
    quint32 timeLastConfirmRequest = 0;
    quint32 timeLastConfirmAnswer = 0;
};

// Answer 0x8700: power source and battery.
struct DEV_BAT_STAT
{
    quint16 devId = 0;
    quint8 resultCode = 0;
    quint8 powerSource = 0;
    quint16 batVoltage = 0; // mV
    quint8 batFlags = 0;
    quint8 batError = 0;
};

// Answer 0x8701: ADC values of the inputs.
struct DEV_ADC_VALUES
{
    quint8 resultCode = 0;
    quint16 adcValue1 = 0;
    quint16 fsmVoltage = 0; // mV
    quint8 inputCount = 0;
    QList<quint16> adcValues;
};

// One input of answer 0x8702.
struct DEV_INPUT
{
    quint32 counter = 0;
    quint8 flag = 0;
    quint8 error = 0;
};

// Answer 0x8702: input counters.
struct DEV_INPUT_PARAMS
{
    quint8 resultCode = 0;
    quint8 inputCount = 0;
    QList<DEV_INPUT> inputs;
};

// Channel index and frequency in Hz (decimal text) of answer 0x8606.
using FreqList = QList<QPair<int, QString>>;

Q_DECLARE_METATYPE(NET_MAIN_STAT)
Q_DECLARE_METATYPE(NET_QUALITY_STAT)
Q_DECLARE_METATYPE(NET_LAST_SEND_STAT)
Q_DECLARE_METATYPE(NET_TIME_STAT)
Q_DECLARE_METATYPE(DEV_BAT_STAT)
Q_DECLARE_METATYPE(DEV_ADC_VALUES)
Q_DECLARE_METATYPE(DEV_INPUT_PARAMS)

// Registers the records (and time_t, the frequency list) for queued connections.
void registerLinkMetaTypes();
