#pragma once

#include "netinfoparams.h"
#include "statusrecords.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <ctime>

class MainWindow;
class StatusCalc;
class StatusPoller;
class TimeParamsForm;

// The status panel's work in the window: the poller's chain of status requests, run while the
// device is ready and a page with the panel is shown; the answers, drawn by StatusPanel and the
// information views; and the panel's buttons, which wait for the pass in flight to end.
class StatusController : public QObject
{
    Q_OBJECT
public:
    explicit StatusController(MainWindow *window);

    StatusPoller *poller() const { return statusPoller; }
    // Starts polling when the page, the setting and the state allow it, else stops it.
    void getStatusInfo();
    // The result of a packet the user sent is shown by the window's state: true once for it.
    bool takeManualExtraPack();

    void showTimeParamsForm();
    void showNetInfoForm();
    void runStatusCalc(QString value = QStringLiteral("00000000"));

    // What the status answers carry.
    void updateMainNetStatus(NET_MAIN_STAT stat);
    void updateQualityStatus(NET_QUALITY_STAT stat);
    void updateLastSendStatus(NET_LAST_SEND_STAT stat);
    void updateBatStatus(DEV_BAT_STAT stat);
    void updateAdcStatus(DEV_ADC_VALUES stat);
    void updateInputsParamsStatus(DEV_INPUT_PARAMS stat);
    void updateDateTime(time_t deviceTime, ushort subSeconds, uchar source);
    // The status tab's rows of the remote session and the firmware update check.
    void showService();

signals:
    // For the information views.
    void updateNetInfoParams(NET_INFO_PARAMS params);
    void confirmStatusesChanged(QString lastPacket, QString connectionTest);
    void timeOnAirChanged(quint32 ms);
    void netTimesChanged(NET_TIME_STAT times);

private:
    void connectButtons();

    MainWindow *window;
    StatusPoller *statusPoller = nullptr;
    TimeParamsForm *timeParamsForm = nullptr;
    QPointer<StatusCalc> statusCalc;
    quint32 statusEventMask = 0;
    bool manualExtraPack = false;
};
