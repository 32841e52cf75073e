// MainWindow: status polling — the chain of status requests, its stop-and-wait, the panels
// the answers fill, and the manual status buttons.
#include "fieldmarks.h"
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "combodata.h"
#include "configeditor.h"
#include "db_worker.h"
#include "deviceinterface.h"
#include "freqform.h"
#include "netinfoform.h"
#include "paramcatalogue.h"
#include "settingsform.h"
#include "statuscalc.h"
#include "statusdecoder.h"
#include "statuspanel.h"
#include "timeparamsform.h"
#include "ui_statuspanel.h"

#include <QComboBox>
#include <QDebug>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>

namespace {
QString comboTextForData(const QComboBox *box, int data)
{
    const int index = indexForNumericData(box, data);
    return index < 0 ? QString() : box->itemText(index);
}

void setPicture(QLabel *label, const char *resource)
{
    label->setPixmap(QPixmap(QLatin1String(resource)));
}
} // namespace

void MainWindow::connectStatusPanel()
{
    connect(this, &MainWindow::getStatus, link, &DeviceInterface::getStatus);
    connect(this, &MainWindow::getNetQuality, link, &DeviceInterface::getNetQuality);
    connect(this, &MainWindow::getLastSendStatus, link, &DeviceInterface::getLastSendStatus);
    connect(this, &MainWindow::getNetTimesStatus, link, &DeviceInterface::getTimesStatus);
    connect(this, &MainWindow::getBatStatus, link, &DeviceInterface::getBatStatus);
    connect(this, &MainWindow::getAdcStatus, link, &DeviceInterface::getAdcStatus);
    connect(this, &MainWindow::getInputsParamsStatus, link, &DeviceInterface::getInputsParams);
    connect(this, &MainWindow::getDateTime, link, &DeviceInterface::getDateTime);
    connect(this, &MainWindow::sendExtraordinaryPack, link,
            &DeviceInterface::sendExtraordinaryPack);
    connect(this, &MainWindow::setDevDateTime, link, &DeviceInterface::setDevDateTime);
    connect(this, &MainWindow::getNetJoin, link, &DeviceInterface::getNetJoin);
    connect(this, &MainWindow::getCurrentFreq, link, &DeviceInterface::getCurrentFreq);
    connect(link, &DeviceInterface::netMainStatus, this, &MainWindow::updateMainNetStatus);
    connect(link, &DeviceInterface::QualityNetStatus, this, &MainWindow::updateQualityStatus);
    connect(link, &DeviceInterface::LastSendNetStatus, this, &MainWindow::updateLastSendStatus);
    connect(link, &DeviceInterface::TimesNetStatus, this, &MainWindow::updateNetTimesStatus);
    connect(link, &DeviceInterface::updateBatStatus, this, &MainWindow::updateBatStatus);
    connect(link, &DeviceInterface::updateAdcStatus, this, &MainWindow::updateAdcStatus);
    connect(link, &DeviceInterface::updateInputsParsmsStatus, this,
            &MainWindow::updateInputsParamsStatus);
    connect(link, &DeviceInterface::updateDateTime, this, &MainWindow::updateDateTime);

    timeParamsForm = new TimeParamsForm(this);
    connect(this, &MainWindow::netTimesChanged, timeParamsForm, &TimeParamsForm::setNetTimes);
    connect(this, &MainWindow::timeOnAirChanged, timeParamsForm, &TimeParamsForm::setTimeOnAir);
    connect(this, &MainWindow::confirmStatusesChanged, timeParamsForm,
            &TimeParamsForm::setConfirmStatuses);
    const Ui::StatusPanel *panel = statusPanel->ui;
    connect(panel->showTimeParams_lbl, &QLabel::linkActivated, this,
            &MainWindow::showTimeParamsForm);
    connect(panel->showNetInfo_lbl, &QLabel::linkActivated, this, &MainWindow::showNetInfoForm);
    connect(panel->showFreq_lbl, &QLabel::linkActivated, this, &MainWindow::showFreqForm);
    connect(ui->statusCalcButton, &QToolButton::pressed, this,
            QOverload<>::of(&MainWindow::runStatusCalc));
    ui->statusCalcButton->show();
}

// ---- the chain --------------------------------------------------------------------------------

void MainWindow::statusTimerTimeout()
{
    const QString page = ui->stackedWidget->currentWidget()->objectName();
    if (page == QLatin1String("terminalPage") || page == QLatin1String("fsPage"))
        return;
    statusTimer->stop();
    if (settingsForm->continuousStatus() && currentState == LinkState::Ready) {
        setGlobalState(LinkState::ReadStatus);
        stopReadStatus = false;
        nextReadStatus();
    }
}

void MainWindow::nextReadStatus()
{
    // An answer outside a pass (late, after a user action stopped waiting for it) must neither
    // send requests nor change the state. The extraordinary packet's states carry on the pass
    // after the automatic packet.
    if (currentState != LinkState::ReadStatus && currentState != LinkState::ExtraPackSent &&
        currentState != LinkState::ExtraPackError)
        return;
    for (;;) {
        if (stopReadStatus) {
            qDebug() << "Stop read status";
            statusIndex = statusCommandList.size();
            setGlobalState(LinkState::Ready);
            return;
        }
        --statusIndex;
        if (statusIndex < 0) {
            setGlobalState(LinkState::Ready);
            statusIndex = statusCommandList.size();
            return;
        }
        switch (statusCommandList.at(statusIndex)) {
        case 0:
            if (fskMode)
                continue;
            emit getStatus();
            return;
        case 1:
            emit getBatStatus();
            return;
        case 2:
            emit getAdcStatus();
            return;
        case 3:
            emit getInputsParamsStatus();
            return;
        case 4:
            emit getDateTime();
            return;
        case 5:
            if (netRegistered || fskMode) {
                emit getNetQuality();
                return;
            }
            for (QLabel *l : {statusPanel->ui->rssi_lbl, statusPanel->ui->snr_lbl,
                              statusPanel->ui->bsCount_lbl})
                l->clear();
            setNetLevel(-1);
            continue;
        case 6:
            emit getLastSendStatus();
            return;
        case 7:
            if (fskMode)
                continue;
            emit getNetTimesStatus();
            return;
        case 8:
            emit getCurrentFreq();
            return;
        default:
            continue; // a code this window does not know
        }
    }
}

// ---- answers ----------------------------------------------------------------------------------

void MainWindow::updateMainNetStatus(NET_MAIN_STAT stat)
{
    netRegistered = false;
    static const char *const texts[] = {
        QT_TR_NOOP("Отключен"),          QT_TR_NOOP("Регистрация в сети"),
        QT_TR_NOOP("Зарегистрирован"),   QT_TR_NOOP("Не зарегистрирован"),
        QT_TR_NOOP("Ошибка интерфейса"), QT_TR_NOOP("Обмен данными")};
    if (stat.netState <= 5) {
        statusPanel->ui->netIfaceStateLbl->setText(tr(texts[stat.netState]));
        FieldMarks::setEnabledWhy(statusPanel->ui->sendExtraordinaryPackButton, stat.netState == 2,
                                  tr("Устройство не зарегистрировано в сети"));
        netRegistered = stat.netState == 2 || stat.netState == 5;
    }

    NET_INFO_PARAMS info;
    info.devAddr = stat.devAddr;
    info.appSKey = stat.appSKey;
    info.nwkSKey = stat.nwkSKey;
    info.workClass = comboTextForData(editor->loraChoices().devClass, stat.devClass);
    emit updateNetInfoParams(info);

    static const char *const confirm[] = {QT_TR_NOOP("Не запрашивалось"),
                                          QT_TR_NOOP("Ожидание ответа"), QT_TR_NOOP("Подтвержден"),
                                          QT_TR_NOOP("Не подтвержден")};
    lastPacketStatus = stat.confirmState < 4 ? tr(confirm[stat.confirmState]) : QString();
    connectionTestStatus =
        stat.checkConnectState < 4 ? tr(confirm[stat.checkConnectState]) : QString();
    emit confirmStatusesChanged(lastPacketStatus, connectionTestStatus);

    const int previous = netStateMemory;
    netStateMemory = stat.netState;
    if (previous != 2 && previous != 5 && stat.netState == 2 && sendExtraordinaryPackOnStart)
        emit sendExtraordinaryPack(); // its answer's state goes on with the battery
    else
        nextReadStatus();
}

void MainWindow::updateQualityStatus(NET_QUALITY_STAT stat)
{
    const Ui::StatusPanel *panel = statusPanel->ui;
    panel->rssi_lbl->setText(tr("%1 дБм").arg(stat.rssi));
    // Quarter decibels, shown whole, rounded toward zero.
    panel->snr_lbl->setText(tr("%1 дБ").arg(int(stat.snr) / 4));
    panel->bsCount_lbl->setText(QString::number(stat.bsCount));
    setNetLevel(stat.netLevel);
    nextReadStatus();
}

void MainWindow::setNetLevel(int level)
{
    QLabel *l = statusPanel->ui->sigLevelDbm;
    l->setToolTip(tr("%1 дБ").arg(level));
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

void MainWindow::updateLastSendStatus(NET_LAST_SEND_STAT stat)
{
    const Ui::StatusPanel *panel = statusPanel->ui;
    const ConfigEditor::LoraChoices choices = editor->loraChoices();
    panel->upLinkCounter_lbl->setText(QString::number(stat.upLinkCounter));
    panel->downLinkCounter_lbl->setText(QString::number(stat.downLinkCounter));
    panel->sendRetriesCount_lbl->setText(QString::number(stat.sendRetries));
    panel->rxSlot_lbl->setText(QString::number(stat.rxSlot));
    panel->rxDatarate_lbl->setText(comboTextForData(choices.txSpeed, stat.rxDatarate));
    panel->txDatarate_lbl->setText(comboTextForData(choices.txSpeed, stat.txDatarate));
    emit timeOnAirChanged(stat.timeOnAir);
    panel->txPower_lbl->setText(comboTextForData(choices.txPower, stat.txPower));
    panel->upLinkFrequency_lbl->setText(FreqForm::shownMhz(stat.upLinkFrequency));
    nextReadStatus();
}

void MainWindow::updateNetTimesStatus(NET_TIME_STAT stat)
{
    emit netTimesChanged(stat);
    nextReadStatus();
}

void MainWindow::updateBatStatus(DEV_BAT_STAT stat)
{
    const Ui::StatusPanel *panel = statusPanel->ui;
    for (QLabel *l : {panel->powerSource_lbl, panel->batVoltage_lbl, panel->batStatus_lbl})
        l->clear();
    if (stat.resultCode != 0) {
        nextReadStatus();
        return;
    }
    const QString source = powerSourceTexts.value(stat.powerSource);
    panel->powerSource_lbl->setText(source);
    panel->powerStatusLabel->setToolTip(tr("Источник питания: ") + source);
    panel->batVoltage_lbl->setText(tr("%1 В").arg(stat.batVoltage / 1000.0, 0, 'f', 2));
    QStringList bits;
    for (int bit = 0; bit < 8; ++bit) {
        if (stat.batFlags & (1 << bit))
            bits << batStatusTexts.value(bit);
    }
    // No flag raised is a battery in order, said rather than left blank.
    const QString status = bits.isEmpty() ? tr("норма") : bits.join(QStringLiteral(", "));
    panel->batStatus_lbl->setText(status);
    panel->batErrors_lbl->setText(batErrorTexts.value(stat.batError));
    panel->batStatusLabel->setToolTip(tr("Состояние батареи: ") + status);
    setPicture(panel->powerStatusLabel,
               stat.powerSource == 1 ? ":/pict/svg/power_norma.svg" : ":/pict/svg/power_error.svg");
    setPicture(panel->batStatusLabel, batteryPicture(stat));
    nextReadStatus();
}

const char *MainWindow::batteryPicture(const DEV_BAT_STAT &stat)
{
    if (stat.batFlags != 0 && !(stat.batFlags & 0x04))
        return ":/pict/svg/battery_error.svg";
    // A Vexa701 lives on a primary cell with a lower working voltage.
    const bool vexa701 = stat.devId == 701;
    const int empty = vexa701 ? 3000 : 3600;
    const int low = vexa701 ? 3300 : 3700;
    const int normal = vexa701 ? 3450 : 4000;
    if (stat.batVoltage < empty)
        return ":/pict/svg/battery_empty.svg";
    if (stat.batVoltage < low)
        return ":/pict/svg/battery_low.svg";
    if (stat.batVoltage < normal)
        return ":/pict/svg/battery_normal.svg";
    return ":/pict/svg/battery_full.svg";
}

void MainWindow::updateAdcStatus(DEV_ADC_VALUES stat)
{
    qDebug() << "FSM voltage: " << stat.fsmVoltage / 1000.0;
    if (stat.resultCode == 0) {
        const QVector<StatusPanel::InputRow> rows = statusPanel->inputRows();
        for (int i = 0; i < stat.inputCount && i < rows.size(); ++i)
            rows[i].adc->setText(QString::number(stat.adcValues.value(i)));
    }
    nextReadStatus();
}

void MainWindow::updateInputsParamsStatus(DEV_INPUT_PARAMS stat)
{
    if (stat.resultCode == 0) {
        const QVector<StatusPanel::InputRow> rows = statusPanel->inputRows();
        for (int i = 0; i < stat.inputCount && i < rows.size(); ++i) {
            const DEV_INPUT in = stat.inputs.value(i);
            rows[i].number->setText(QString::number(i + 1));
            rows[i].count->setText(QString::number(in.counter));
            rows[i].flag->setText(QString::number(in.flag));
            rows[i].error->setText(inputErrorTexts.value(in.error));
        }
    }
    nextReadStatus();
}

QDateTime MainWindow::applicationTime() const
{
    return appClockBase.addMSecs(appClockTimer.elapsed());
}

void MainWindow::updateDateTime(time_t _date_time, ushort _sub_seconds, uchar _source)
{
    Q_UNUSED(_sub_seconds);
    const QDateTime now = applicationTime();
    const qint64 difference = qint64(_date_time) - now.toSecsSinceEpoch();
    const Ui::StatusPanel *panel = statusPanel->ui;
    FieldMarks::setEnabledWhy(panel->setDateTimeButton, difference > 2 || difference < -2,
                              tr("Часы устройства идут верно (расхождение не более 2 с)"));
    const QString format = QStringLiteral("dd-MM-yyyy hh:mm:ss");
    panel->dateTime_lbl->setText(
        QDateTime::fromSecsSinceEpoch(qint64(_date_time), Qt::UTC).toString(format));
    panel->curDateTime_lbl->setText(now.toUTC().toString(format));
    static const char *const sources[] = {QT_TR_NOOP("Не устанавливалось"),
                                          QT_TR_NOOP("Конфигуратор"), QT_TR_NOOP("Сервер")};
    if (_source <= 2)
        panel->timeSourceLabel->setText(tr(sources[_source]));
    nextReadStatus();
}

// ---- buttons ----------------------------------------------------------------------------------

void MainWindow::on_getStatusManualButton_clicked()
{
    emit getNetQuality();
}

void MainWindow::on_reRegisterButton_clicked()
{
    waitEndReadStatus();
    emit getNetJoin();
}

void MainWindow::on_sendExtraordinaryPackButton_clicked()
{
    waitEndReadStatus();
    manualExtraPack = true;
    emit sendExtraordinaryPack();
}

void MainWindow::on_setDateTimeButton_clicked()
{
    waitEndReadStatus();
    const QDateTime now = applicationTime();
    emit setDevDateTime(time_t(now.toSecsSinceEpoch()), quint16(now.time().msec()));
}

// ---- application clock --------------------------------------------------------------------------

void MainWindow::reqestNtpTime(QHostInfo _hInfo)
{
    if (!_hInfo.addresses().isEmpty())
        ntpClient->sendRequest(_hInfo.addresses().first(), NtpClient::ntpPort);
}

void MainWindow::updateAppClock(QHostAddress, quint16, NtpReply _reply)
{
    globalTimeReceived = true;
    appClockTimer.restart();
    appClockBase = _reply.serverReceiveTime();
    statusPanel->ui->sysOrNtcTime_lbl->setText(tr("Глобальные дата и время (UTC):"));
}

// ---- information views and the status calculator ------------------------------------------------

void MainWindow::showTimeParamsForm()
{
    timeParamsForm->show();
}

void MainWindow::showNetInfoForm()
{
    auto *view = new NetInfoForm;
    connect(this, &MainWindow::updateNetInfoParams, view, &NetInfoForm::updateNetInfoParams);
    view->show();
}

void MainWindow::runStatusCalc()
{
    runStatusCalc(QStringLiteral("00000000"));
}

void MainWindow::runStatusCalc(QString value)
{
    if (statusCalc)
        return;
    statusCalc = new StatusCalc(this, value.remove(QStringLiteral("0x")), statusEventMask);
    connect(statusCalc, &StatusCalc::getStatusCode, this, &MainWindow::updateStatusCode);
    connect(statusCalc, &StatusCalc::getStatusBits, dbWorker, &DB_Worker::getStatusBits,
            Qt::DirectConnection);
    connect(statusCalc, &QObject::destroyed, this, &MainWindow::statusCalcClosed);
    connect(statusCalc, &StatusCalc::updateStatusMask, this, &MainWindow::updateStatusMask);
    statusCalc->setSupportStatusMask(int(supportedStatusMask()));
    statusCalc->decryptStatus();
    statusCalc->show();
}

quint32 MainWindow::supportedStatusMask() const
{
    // No device reports which conditions it supports: every bit the database describes counts,
    // less those of hardware the identified model's entry says it lacks. With no model known
    // the calculator decodes any word in full.
    quint32 mask = 0;
    const QMap<int, QStringList> bits = dbWorker->getStatusBits();
    for (auto it = bits.constBegin(); it != bits.constEnd(); ++it) {
        if (it.key() >= 0 && it.key() < 32 && !it.value().value(0).isEmpty())
            mask |= 1u << it.key();
    }
    if (!identified)
        return mask;
    auto drop = [&mask](int bit, bool lacking) {
        if (lacking)
            mask &= ~(1u << bit);
    };
    // An input exists where the model has its type parameter.
    const QList<int> commands = dbWorker->getCommandList();
    for (int n = 0; n < StatusDecoder::inputAlarmBits; ++n) {
        const int typeCode = ParamCatalogue::byElement(QStringLiteral("type_input_%1").arg(n))->code;
        drop(StatusDecoder::firstInputAlarmBit + n, !commands.contains(typeCode));
    }
    drop(StatusDecoder::meterExchangeBit,
         !dbWorker->checkSupportPage(QStringLiteral("interfacesPage")));
    drop(StatusDecoder::converterBit,
         dbWorker->getFormElements(QStringLiteral("rsToUsbGroupBox")).value(0) !=
             QLatin1String("true"));
    return mask;
}

void MainWindow::updateStatusCode()
{
    if (statusCalc)
        statusCalc->updateStatusCode(deviceStatusCode.toUpper());
}

void MainWindow::updateStatusMask(quint32 mask)
{
    statusEventMask = mask;
}

void MainWindow::statusCalcClosed()
{
    statusCalc = nullptr;
}

void MainWindow::updateStatusLabels(uint status)
{
    const QMap<int, QStringList> bits = dbWorker->getStatusBits();
    auto tip = [&bits, status](int bit) {
        const QStringList texts = bits.value(bit);
        return texts.value(0) + QStringLiteral(": ") + texts.value((status >> bit) & 1 ? 2 : 1);
    };
    auto icon = [&tip, status](QLabel *label, int bit, const char *set, const char *clear) {
        setPicture(label, (status >> bit) & 1 ? set : clear);
        label->setToolTip(tip(bit));
    };
    const Ui::StatusPanel *panel = statusPanel->ui;
    // Shown once a device reports the word: a device without SIM or positioning never does.
    for (QLabel *l : {panel->simStatusLabel, panel->simStatusCaption, panel->roamingStatusLabel,
                      panel->roamingStatusCaption, panel->fixStatusLabel, panel->fixStatusCaption})
        l->show();
    icon(panel->batStatusLabel, 4, ":/pict/svg/battery_low.svg", ":/pict/svg/battery_full.svg");
    icon(panel->simStatusLabel, 1, ":/pict/svg/sim1.svg", ":/pict/svg/sim0.svg");
    icon(panel->roamingStatusLabel, 24, ":/pict/svg/network_guest.svg",
         ":/pict/svg/network_home.svg");
    icon(panel->remoteStatusLabel, 20, ":/pict/svg/server_config.svg",
         ":/pict/svg/server_config_noactive.svg");
    icon(panel->updateStatusLabel, 22, ":/pict/svg/server_update.svg",
         ":/pict/svg/server_update_noactive.svg");
    if (status & 0x40) {
        setPicture(panel->fixStatusLabel, ":/pict/svg/route static.svg");
    } else {
        setPicture(panel->fixStatusLabel,
                   status & 0x20 ? ":/pict/svg/route no valid.svg" : ":/pict/svg/route valid.svg");
    }
    panel->fixStatusLabel->setToolTip(tr("Координаты: ") + tip(status & 0x40 ? 6 : 5));
    deviceStatusCode = QStringLiteral("%1").arg(status, 8, 16, QLatin1Char('0'));
}
