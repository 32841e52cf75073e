#pragma once

#include "statusrecords.h"

#include <QMap>
#include <QVector>
#include <QWidget>

class QComboBox;
class QDateTime;
class QLabel;

namespace Ui {
class StatusPanel;
}

// Device status panel above the page area: network state and link quality, power and battery,
// device and application clocks, and tabs with the last transmission, inputs and status word.
// It draws what the status answers carry; its form stays its own.
class StatusPanel : public QWidget
{
    Q_OBJECT
public:
    // The labels of one input on the inputs tab.
    struct InputRow
    {
        QLabel *number;
        QLabel *count;
        QLabel *flag;
        QLabel *error;
        QLabel *adc;
    };
    // Texts of the device database's code tables, by code.
    struct CodeTexts
    {
        QMap<int, QString> powerSource;
        QMap<int, QString> batStatus;
        QMap<int, QString> batErrors;
        QMap<int, QString> inputErrors;
    };
    // How many seconds the device clock may differ from ours before it is worth setting.
    static constexpr int clockToleranceS = 2;

    explicit StatusPanel(QWidget *parent = nullptr);
    ~StatusPanel() override;

    // The inputs tab, first input first; a device may report fewer inputs than it has rows.
    QVector<InputRow> inputRows() const;
    void setCodeTexts(const CodeTexts &texts) { codeTexts = texts; }
    // What the identified firmware reports: the inputs tab, the clock's source.
    void fitToFirmware(bool inputs, bool timeSource);
    // The form element of the device database that says whether the clock's source is known.
    QString timeSourceElement() const;

    void showNetState(const NET_MAIN_STAT &stat);
    void showQuality(const NET_QUALITY_STAT &stat);
    // The quality was not asked (no registration): nothing stale stays on show.
    void clearQuality();
    void setNetLevel(int level);
    void showLastSend(const NET_LAST_SEND_STAT &stat, const QComboBox *speeds,
                      const QComboBox *powers);
    void showBattery(const DEV_BAT_STAT &stat);
    static const char *batteryPicture(const DEV_BAT_STAT &stat);
    void showAdc(const DEV_ADC_VALUES &stat);
    void showInputs(const DEV_INPUT_PARAMS &stat);
    void showDateTime(qint64 deviceSecs, const QDateTime &now, uchar source);
    // Our clock is set from a time server from now on.
    void showGlobalClock();
    void showFsk();
    // The remote-configuration and update rows of the status tab: what the window knows of its
    // own session and of the last look for newer firmware; on lights the row's icon.
    void showService(const QString &remote, bool remoteOn, const QString &update, bool updateOn);
    void setReRegisterEnabled(bool enabled);
    void setManualStatusShown(bool shown);

    // The network values of the last transmission and quality.
    void clearInfo();
    // The no-device look: every value and picture empty, the device's buttons off.
    void clearAll();

signals:
    void timeParamsRequested();
    void netInfoRequested();
    void freqRequested();
    // The panel's buttons.
    void qualityRequested();
    void reRegisterRequested();
    void extraPackRequested();
    void clockSetRequested();

protected:
    void changeEvent(QEvent *event) override;

private:
    Ui::StatusPanel *const ui;
    CodeTexts codeTexts;
};
