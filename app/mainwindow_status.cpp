// MainWindow: status polling as the window shows it. StatusPoller runs the chain of status
// requests, StatusPanel draws the answers; here they meet the window's states, pages, the
// information views and the manual status buttons.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "appsettings.h"
#include "clockcontroller.h"
#include "combodata.h"
#include "configeditor.h"
#include "db_worker.h"
#include "deviceinterface.h"
#include "netinfoform.h"
#include "settingsform.h"
#include "statuscalc.h"
#include "statuspanel.h"
#include "statuspoller.h"
#include "timeparamsform.h"

#include <QComboBox>
#include <QDebug>
#include <QStackedWidget>
#include <QToolButton>

void MainWindow::connectStatusPanel()
{
    poller = new StatusPoller(link, this);
    poller->setEnabled(settingsForm->continuousStatus());
    poller->stopTimer(); // the first pass waits for a device
    poller->setExtraPackOnRegistration(AppSettings::readBool(
        QStringLiteral("Survey"), QStringLiteral("SendExtraordinaryPackOnStart"), false));
    // Ticks wait while a page without the status panel is shown; a pass needs an idle device.
    poller->setGates(
        [this] { return settingsForm->continuousStatus() && currentState == LinkState::Ready; },
        [this] {
            const QString page = ui->stackedWidget->currentWidget()->objectName();
            return page == QLatin1String("terminalPage") || page == QLatin1String("fsPage");
        });
    connect(poller, &StatusPoller::passStarted, this,
            [this] { setGlobalState(LinkState::ReadStatus); });
    connect(poller, &StatusPoller::passEnded, this, [this] { setGlobalState(LinkState::Ready); });
    connect(poller, &StatusPoller::qualitySkipped, statusPanel, &StatusPanel::clearQuality);

    connect(this, &MainWindow::getNetQuality, link, &DeviceInterface::getNetQuality);
    connect(this, &MainWindow::sendExtraordinaryPack, link,
            &DeviceInterface::sendExtraordinaryPack);
    connect(this, &MainWindow::setDevDateTime, link, &DeviceInterface::setDevDateTime);
    connect(this, &MainWindow::getNetJoin, link, &DeviceInterface::getNetJoin);
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
    connect(statusPanel, &StatusPanel::timeParamsRequested, this, &MainWindow::showTimeParamsForm);
    connect(statusPanel, &StatusPanel::netInfoRequested, this, &MainWindow::showNetInfoForm);
    connect(statusPanel, &StatusPanel::freqRequested, this, &MainWindow::showFreqForm);
    connect(ui->statusCalcButton, &QToolButton::pressed, this,
            QOverload<>::of(&MainWindow::runStatusCalc));
    ui->statusCalcButton->show();
}

// ---- the chain ----------------------------------------------------------------------------------

void MainWindow::setStatusCommandList(const QList<int> &codes)
{
    poller->setCommandList(codes);
}

void MainWindow::statusTimerTimeout()
{
    poller->tick();
}

void MainWindow::changeStatusTimerState(bool state)
{
    poller->setEnabled(state);
}

void MainWindow::getStatusInfo()
{
    const QString page = ui->stackedWidget->currentWidget()->objectName();
    const bool poll = page != QLatin1String("terminalPage") && page != QLatin1String("fsPage") &&
                      page != QLatin1String("fskPage") && settingsForm->continuousStatus() &&
                      currentState == LinkState::Ready;
    // A running timer keeps its phase: each port search ends here, and searches one after the
    // other must not push the next pass away again and again.
    if (!poll)
        poller->stopTimer();
    else if (!poller->isTimerActive())
        poller->startTimer();
}

void MainWindow::waitEndReadStatus(std::function<void()> command)
{
    qDebug() << "Current state" << currentState;
    using namespace LinkState;
    // Only in these states can a status pass be running or about to start.
    static const QList<int> passMayRun{Ready, ReadStatus, ReadFile, WriteFile, ApplyingFirmware};
    if (!passMayRun.contains(currentState)) {
        command();
        return;
    }
    // The device answers one request at a time: the command goes once the pass has ended
    // (or been given up), from the event loop.
    if (poller->passInFlight())
        qDebug() << "Wait end read status..."
                 << "/C:14";
    else
        poller->requestStop();
    poller->afterIdle(std::move(command));
}

// ---- answers ----------------------------------------------------------------------------------

void MainWindow::updateMainNetStatus(NET_MAIN_STAT stat)
{
    statusPanel->showNetState(stat);
    NET_INFO_PARAMS info;
    info.devAddr = stat.devAddr;
    info.appSKey = stat.appSKey;
    info.nwkSKey = stat.nwkSKey;
    const QComboBox *classes = editor->loraChoices().devClass;
    const int index = indexForNumericData(classes, stat.devClass);
    info.workClass = index < 0 ? QString() : classes->itemText(index);
    emit updateNetInfoParams(info);

    static const char *const confirm[] = {QT_TR_NOOP("Не запрашивалось"),
                                          QT_TR_NOOP("Ожидание ответа"), QT_TR_NOOP("Подтвержден"),
                                          QT_TR_NOOP("Не подтвержден")};
    emit confirmStatusesChanged(stat.confirmState < 4 ? tr(confirm[stat.confirmState]) : QString(),
                                stat.checkConnectState < 4 ? tr(confirm[stat.checkConnectState])
                                                           : QString());
}

void MainWindow::updateQualityStatus(NET_QUALITY_STAT stat)
{
    statusPanel->showQuality(stat);
}

void MainWindow::setNetLevel(int level)
{
    statusPanel->setNetLevel(level);
}

void MainWindow::updateLastSendStatus(NET_LAST_SEND_STAT stat)
{
    const ConfigEditor::LoraChoices choices = editor->loraChoices();
    statusPanel->showLastSend(stat, choices.txSpeed, choices.txPower);
    emit timeOnAirChanged(stat.timeOnAir);
}

void MainWindow::updateNetTimesStatus(NET_TIME_STAT stat)
{
    emit netTimesChanged(stat);
}

void MainWindow::updateBatStatus(DEV_BAT_STAT stat)
{
    statusPanel->showBattery(stat);
}

void MainWindow::updateAdcStatus(DEV_ADC_VALUES stat)
{
    qDebug() << "FSM voltage: " << stat.fsmVoltage / 1000.0;
    statusPanel->showAdc(stat);
}

void MainWindow::updateInputsParamsStatus(DEV_INPUT_PARAMS stat)
{
    statusPanel->showInputs(stat);
}

QDateTime MainWindow::applicationTime() const
{
    return clock->now();
}

void MainWindow::updateDateTime(time_t _date_time, ushort _sub_seconds, uchar _source)
{
    Q_UNUSED(_sub_seconds);
    statusPanel->showDateTime(qint64(_date_time), applicationTime(), _source);
}

// ---- buttons ----------------------------------------------------------------------------------

void MainWindow::on_getStatusManualButton_clicked()
{
    emit getNetQuality();
}

void MainWindow::on_reRegisterButton_clicked()
{
    waitEndReadStatus([this] { emit getNetJoin(); });
}

void MainWindow::on_sendExtraordinaryPackButton_clicked()
{
    waitEndReadStatus([this] {
        manualExtraPack = true;
        emit sendExtraordinaryPack();
    });
}

void MainWindow::on_setDateTimeButton_clicked()
{
    waitEndReadStatus([this] {
        // The clock is taken when the request goes, not when the button was pressed.
        const QDateTime now = applicationTime();
        emit setDevDateTime(time_t(now.toSecsSinceEpoch()), quint16(now.time().msec()));
    });
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
    statusCalc->setSupportStatusMask(int(StatusCalc::supportedMask(dbWorker, identified)));
    statusCalc->decryptStatus();
    statusCalc->show();
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
