#include "statuspanel.h"
#include "ui_statuspanel.h"

#include "combodata.h"
#include "fieldmarks.h"
#include "freqform.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QTimeZone>

namespace {
// The panel's texts were the main window's: they keep its translation context.
QString mwTr(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

QString comboTextForData(const QComboBox *box, int data)
{
    const int index = box ? indexForNumericData(box, data) : -1;
    return index < 0 ? QString() : box->itemText(index);
}

void setPicture(QLabel *label, const char *resource)
{
    label->setPixmap(QPixmap(QLatin1String(resource)));
}
} // namespace

StatusPanel::StatusPanel(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::StatusPanel)
{
    ui->setupUi(this);
    ui->setDateTimeButton->setEnabled(false);
    connect(ui->showTimeParams_lbl, &QLabel::linkActivated, this,
            &StatusPanel::timeParamsRequested);
    connect(ui->showNetInfo_lbl, &QLabel::linkActivated, this, &StatusPanel::netInfoRequested);
    connect(ui->showFreq_lbl, &QLabel::linkActivated, this, &StatusPanel::freqRequested);
    connect(ui->getStatusManualButton, &QPushButton::clicked, this, &StatusPanel::qualityRequested);
    connect(ui->reRegisterButton, &QPushButton::clicked, this, &StatusPanel::reRegisterRequested);
    connect(ui->sendExtraordinaryPackButton, &QPushButton::clicked, this,
            &StatusPanel::extraPackRequested);
    connect(ui->setDateTimeButton, &QPushButton::clicked, this, &StatusPanel::clockSetRequested);
}

StatusPanel::~StatusPanel()
{
    delete ui;
}

QVector<StatusPanel::InputRow> StatusPanel::inputRows() const
{
    return {{ui->inNum0_lbl, ui->in0Count_lbl, ui->in0Flag_lbl, ui->in0Error_lbl, ui->in0Adc_lbl},
            {ui->inNum1_lbl, ui->in1Count_lbl, ui->in1Flag_lbl, ui->in1Error_lbl, ui->in1Adc_lbl},
            {ui->inNum2_lbl, ui->in2Count_lbl, ui->in2Flag_lbl, ui->in2Error_lbl, ui->in2Adc_lbl},
            {ui->inNum3_lbl, ui->in3Count_lbl, ui->in3Flag_lbl, ui->in3Error_lbl, ui->in3Adc_lbl},
            {ui->inNum4_lbl, ui->in4Count_lbl, ui->in4Flag_lbl, ui->in4Error_lbl, ui->in4Adc_lbl},
            {ui->inNum5_lbl, ui->in5Count_lbl, ui->in5Flag_lbl, ui->in5Error_lbl, ui->in5Adc_lbl}};
}

void StatusPanel::fitToFirmware(bool inputs, bool timeSource)
{
    ui->statusTabWidget->setTabVisible(ui->statusTabWidget->indexOf(ui->inputsTab), inputs);
    ui->timeSource_lbl->setVisible(timeSource);
    ui->timeSourceLabel->setVisible(timeSource);
}

QString StatusPanel::timeSourceElement() const
{
    return ui->timeSource_lbl->objectName();
}

void StatusPanel::showNetState(const NET_MAIN_STAT &stat)
{
    static const char *const texts[] = {QT_TRANSLATE_NOOP("MainWindow", "Отключен"),
                                        QT_TRANSLATE_NOOP("MainWindow", "Регистрация в сети"),
                                        QT_TRANSLATE_NOOP("MainWindow", "Зарегистрирован"),
                                        QT_TRANSLATE_NOOP("MainWindow", "Не зарегистрирован"),
                                        QT_TRANSLATE_NOOP("MainWindow", "Ошибка интерфейса"),
                                        QT_TRANSLATE_NOOP("MainWindow", "Обмен данными")};
    if (stat.netState > 5)
        return;
    ui->netIfaceStateLbl->setText(mwTr(texts[stat.netState]));
    FieldMarks::setEnabledWhy(
        ui->sendExtraordinaryPackButton, stat.netState == 2,
        mwTr(QT_TRANSLATE_NOOP("MainWindow", "Устройство не зарегистрировано в сети")));
}

void StatusPanel::showQuality(const NET_QUALITY_STAT &stat)
{
    ui->rssi_lbl->setText(mwTr(QT_TRANSLATE_NOOP("MainWindow", "%1 дБм")).arg(stat.rssi));
    // Quarter decibels, shown whole, rounded toward zero.
    ui->snr_lbl->setText(mwTr(QT_TRANSLATE_NOOP("MainWindow", "%1 дБ")).arg(int(stat.snr) / 4));
    ui->bsCount_lbl->setText(QString::number(stat.bsCount));
    setNetLevel(stat.netLevel);
}

void StatusPanel::clearQuality()
{
    for (QLabel *l : {ui->rssi_lbl, ui->snr_lbl, ui->bsCount_lbl})
        l->clear();
    setNetLevel(-1);
}

void StatusPanel::setNetLevel(int level)
{
    QLabel *l = ui->sigLevelDbm;
    l->setToolTip(mwTr(QT_TRANSLATE_NOOP("MainWindow", "%1 дБ")).arg(level));
    const char *picture = ":pict/svg/network.svg";
    if (level < 0)
        picture = ":pict/svg/network_dead.svg";
    else if (level == 0)
        picture = ":pict/svg/network_0.svg";
    else if (level <= 7)
        picture = ":pict/svg/network_1.svg";
    else if (level <= 14)
        picture = ":pict/svg/network_2.svg";
    else if (level <= 21)
        picture = ":pict/svg/network_3.svg";
    setPicture(l, picture);
}

void StatusPanel::showLastSend(const NET_LAST_SEND_STAT &stat, const QComboBox *speeds,
                               const QComboBox *powers)
{
    ui->upLinkCounter_lbl->setText(QString::number(stat.upLinkCounter));
    ui->downLinkCounter_lbl->setText(QString::number(stat.downLinkCounter));
    ui->sendRetriesCount_lbl->setText(QString::number(stat.sendRetries));
    ui->rxSlot_lbl->setText(QString::number(stat.rxSlot));
    ui->rxDatarate_lbl->setText(comboTextForData(speeds, stat.rxDatarate));
    ui->txDatarate_lbl->setText(comboTextForData(speeds, stat.txDatarate));
    ui->txPower_lbl->setText(comboTextForData(powers, stat.txPower));
    ui->upLinkFrequency_lbl->setText(FreqForm::shownMhz(stat.upLinkFrequency));
}

void StatusPanel::showBattery(const DEV_BAT_STAT &stat)
{
    for (QLabel *l : {ui->powerSource_lbl, ui->batVoltage_lbl, ui->batStatus_lbl})
        l->clear();
    if (stat.resultCode != 0)
        return;
    const QString source = codeTexts.powerSource.value(stat.powerSource);
    ui->powerSource_lbl->setText(source);
    ui->powerStatusLabel->setToolTip(mwTr(QT_TRANSLATE_NOOP("MainWindow", "Источник питания: ")) +
                                     source);
    ui->batVoltage_lbl->setText(
        mwTr(QT_TRANSLATE_NOOP("MainWindow", "%1 В")).arg(stat.batVoltage / 1000.0, 0, 'f', 2));
    QStringList bits;
    for (int bit = 0; bit < 8; ++bit) {
        if (stat.batFlags & (1 << bit))
            bits << codeTexts.batStatus.value(bit);
    }
    // No flag raised is a battery in order, said rather than left blank.
    const QString status = bits.isEmpty() ? mwTr(QT_TRANSLATE_NOOP("MainWindow", "норма"))
                                          : bits.join(QStringLiteral(", "));
    ui->batStatus_lbl->setText(status);
    ui->batErrors_lbl->setText(codeTexts.batErrors.value(stat.batError));
    ui->batStatusLabel->setToolTip(mwTr(QT_TRANSLATE_NOOP("MainWindow", "Состояние батареи: ")) +
                                   status);
    setPicture(ui->powerStatusLabel,
               stat.powerSource == 1 ? ":/pict/svg/power_norma.svg" : ":/pict/svg/power_error.svg");
    setPicture(ui->batStatusLabel, batteryPicture(stat));
}

const char *StatusPanel::batteryPicture(const DEV_BAT_STAT &stat)
{
    if (stat.batFlags != 0 && !(stat.batFlags & 0x04))
        return ":/pict/svg/battery_error.svg";
    // A Vexa701 lives on a primary cell with a lower working voltage.
    const bool vexa701 = stat.devId == 701;
    const int emptyMv = vexa701 ? 3000 : 3600;
    const int lowMv = vexa701 ? 3300 : 3700;
    const int normalMv = vexa701 ? 3450 : 4000;
    if (stat.batVoltage < emptyMv)
        return ":/pict/svg/battery_empty.svg";
    if (stat.batVoltage < lowMv)
        return ":/pict/svg/battery_low.svg";
    if (stat.batVoltage < normalMv)
        return ":/pict/svg/battery_normal.svg";
    return ":/pict/svg/battery_full.svg";
}

void StatusPanel::showAdc(const DEV_ADC_VALUES &stat)
{
    if (stat.resultCode != 0)
        return;
    const QVector<InputRow> rows = inputRows();
    for (int i = 0; i < stat.inputCount && i < rows.size(); ++i)
        rows[i].adc->setText(QString::number(stat.adcValues.value(i)));
}

void StatusPanel::showInputs(const DEV_INPUT_PARAMS &stat)
{
    if (stat.resultCode != 0)
        return;
    const QVector<InputRow> rows = inputRows();
    for (int i = 0; i < stat.inputCount && i < rows.size(); ++i) {
        const DEV_INPUT in = stat.inputs.value(i);
        rows[i].number->setText(QString::number(i + 1));
        rows[i].count->setText(QString::number(in.counter));
        rows[i].flag->setText(QString::number(in.flag));
        rows[i].error->setText(codeTexts.inputErrors.value(in.error));
    }
}

void StatusPanel::showDateTime(qint64 deviceSecs, const QDateTime &now, uchar source)
{
    const qint64 difference = deviceSecs - now.toSecsSinceEpoch();
    FieldMarks::setEnabledWhy(
        ui->setDateTimeButton, difference > clockToleranceS || difference < -clockToleranceS,
        mwTr(QT_TRANSLATE_NOOP("MainWindow",
                               "Часы устройства идут верно (расхождение не более 2 с)")));
    const QString format = QStringLiteral("dd-MM-yyyy hh:mm:ss");
    ui->dateTime_lbl->setText(QDateTime::fromSecsSinceEpoch(deviceSecs, QTimeZone::utc()).toString(format));
    ui->curDateTime_lbl->setText(now.toUTC().toString(format));
    static const char *const sources[] = {QT_TRANSLATE_NOOP("MainWindow", "Не устанавливалось"),
                                          QT_TRANSLATE_NOOP("MainWindow", "Конфигуратор"),
                                          QT_TRANSLATE_NOOP("MainWindow", "Сервер")};
    if (source <= 2)
        ui->timeSourceLabel->setText(mwTr(sources[source]));
}

void StatusPanel::showGlobalClock()
{
    ui->sysOrNtcTime_lbl->setText(
        mwTr(QT_TRANSLATE_NOOP("MainWindow", "Глобальные дата и время (UTC):")));
}

void StatusPanel::showFsk()
{
    ui->netIfaceStateLbl->setText(QStringLiteral("FSK"));
}

void StatusPanel::showService(const QString &remote, bool remoteOn, const QString &update,
                              bool updateOn)
{
    ui->remoteStatusValue->setText(remote);
    setPicture(ui->remoteStatusLabel,
               remoteOn ? ":/pict/svg/server_config.svg" : ":/pict/svg/server_config_noactive.svg");
    ui->updateStatusValue->setText(update);
    setPicture(ui->updateStatusLabel,
               updateOn ? ":/pict/svg/server_update.svg" : ":/pict/svg/server_update_noactive.svg");
}

void StatusPanel::setReRegisterEnabled(bool enabled)
{
    ui->reRegisterButton->setEnabled(enabled);
}

void StatusPanel::setManualStatusShown(bool shown)
{
    ui->getStatusManualButton->setVisible(shown);
}

void StatusPanel::clearInfo()
{
    for (QLabel *l :
         {ui->rssi_lbl, ui->snr_lbl, ui->bsCount_lbl, ui->upLinkCounter_lbl,
          ui->downLinkCounter_lbl, ui->sendRetriesCount_lbl, ui->rxSlot_lbl, ui->rxDatarate_lbl,
          ui->txDatarate_lbl, ui->txPower_lbl, ui->upLinkFrequency_lbl})
        l->clear();
}

void StatusPanel::clearAll()
{
    // Values and pictures. Captions, the links, the clock captions keep their texts.
    clearInfo();
    for (QLabel *l :
         {ui->sigLevelDbm, ui->powerStatusLabel, ui->batStatusLabel, ui->powerSource_lbl,
          ui->batVoltage_lbl, ui->batStatus_lbl, ui->batErrors_lbl, ui->dateTime_lbl,
          ui->curDateTime_lbl, ui->timeSourceLabel, ui->simStatusLabel, ui->roamingStatusLabel,
          ui->fixStatusLabel, ui->remoteStatusLabel, ui->updateStatusLabel, ui->netIfaceStateLbl,
          ui->remoteStatusValue, ui->updateStatusValue})
        l->clear();
    for (const InputRow &row : inputRows()) {
        for (QLabel *l : {row.number, row.count, row.flag, row.error, row.adc})
            l->clear();
    }
    // No answer of the device carries its status word, so the icons drawn from it have
    // nothing to show.
    for (QLabel *l : {ui->simStatusLabel, ui->simStatusCaption, ui->roamingStatusLabel,
                      ui->roamingStatusCaption, ui->fixStatusLabel, ui->fixStatusCaption})
        l->hide();
    for (QWidget *button : {static_cast<QWidget *>(ui->sendExtraordinaryPackButton),
                            static_cast<QWidget *>(ui->reRegisterButton),
                            static_cast<QWidget *>(ui->setDateTimeButton)})
        FieldMarks::setEnabledWhy(
            button, false, mwTr(QT_TRANSLATE_NOOP("MainWindow", "Нет подключенного устройства")));
}

void StatusPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}
