#include "statuscontroller.h"
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "appsettings.h"
#include "clockcontroller.h"
#include "combodata.h"
#include "configeditor.h"
#include "db_worker.h"
#include "deviceinterface.h"
#include "firmwarecontroller.h"
#include "linkstate.h"
#include "netinfoform.h"
#include "pagecontroller.h"
#include "settingsform.h"
#include "statuscalc.h"
#include "statuspanel.h"
#include "statuspoller.h"
#include "timeparamsform.h"

#include <QComboBox>
#include <QDebug>
#include <QStackedWidget>
#include <QToolButton>

StatusController::StatusController(MainWindow *mainWindow)
    : QObject(mainWindow)
    , window(mainWindow)
{
    DeviceInterface *link = window->link;
    statusPoller = new StatusPoller(link, this);
    statusPoller->setEnabled(window->settingsForm->continuousStatus());
    statusPoller->stopTimer(); // the first pass waits for a device
    statusPoller->setExtraPackOnRegistration(AppSettings::readBool(
        QStringLiteral("Survey"), QStringLiteral("SendExtraordinaryPackOnStart"), false));
    // Ticks wait while a page without the status panel is shown; a pass needs an idle device.
    statusPoller->setGates(
        [this] {
            return window->settingsForm->continuousStatus() &&
                   window->currentState == LinkState::Ready;
        },
        [this] {
            return PageController::hidesStatusPanel(
                window->ui->stackedWidget->currentWidget()->objectName());
        });
    connect(statusPoller, &StatusPoller::passStarted, window,
            [this] { window->setGlobalState(LinkState::ReadStatus); });
    connect(statusPoller, &StatusPoller::passEnded, window,
            [this] { window->setGlobalState(LinkState::Ready); });
    // Each ready device, and each pass, shows the session and the update check as they are now.
    connect(window, &MainWindow::readyStatus, this, &StatusController::showService);
    StatusPanel *panel = window->statusPanel;
    connect(statusPoller, &StatusPoller::qualitySkipped, panel, &StatusPanel::clearQuality);

    connect(link, &DeviceInterface::netMainStatus, this, &StatusController::updateMainNetStatus);
    connect(link, &DeviceInterface::QualityNetStatus, this, &StatusController::updateQualityStatus);
    connect(link, &DeviceInterface::LastSendNetStatus, this,
            &StatusController::updateLastSendStatus);
    connect(link, &DeviceInterface::TimesNetStatus, this, &StatusController::netTimesChanged);
    connect(link, &DeviceInterface::updateBatStatus, this, &StatusController::updateBatStatus);
    connect(link, &DeviceInterface::updateAdcStatus, this, &StatusController::updateAdcStatus);
    connect(link, &DeviceInterface::updateInputsParsmsStatus, this,
            &StatusController::updateInputsParamsStatus);
    connect(link, &DeviceInterface::updateDateTime, this, &StatusController::updateDateTime);

    timeParamsForm = new TimeParamsForm(window);
    connect(this, &StatusController::netTimesChanged, timeParamsForm, &TimeParamsForm::setNetTimes);
    connect(this, &StatusController::timeOnAirChanged, timeParamsForm,
            &TimeParamsForm::setTimeOnAir);
    connect(this, &StatusController::confirmStatusesChanged, timeParamsForm,
            &TimeParamsForm::setConfirmStatuses);
    connect(panel, &StatusPanel::timeParamsRequested, this, &StatusController::showTimeParamsForm);
    connect(panel, &StatusPanel::netInfoRequested, this, &StatusController::showNetInfoForm);
    connect(panel, &StatusPanel::freqRequested, window->editor, &ConfigEditor::showWorkingFreqs);
    connect(window->ui->statusCalcButton, &QToolButton::pressed, this, [this] { runStatusCalc(); });
    window->ui->statusCalcButton->show();
    connectButtons();
}

void StatusController::connectButtons()
{
    StatusPanel *panel = window->statusPanel;
    DeviceInterface *link = window->link;
    connect(panel, &StatusPanel::qualityRequested, link, &DeviceInterface::getNetQuality);
    connect(panel, &StatusPanel::reRegisterRequested, this,
            [this, link] { window->waitEndReadStatus([link] { link->getNetJoin(); }); });
    connect(panel, &StatusPanel::extraPackRequested, this, [this, link] {
        window->waitEndReadStatus([this, link] {
            manualExtraPack = true;
            link->sendExtraordinaryPack();
        });
    });
    connect(panel, &StatusPanel::clockSetRequested, this, [this, link] {
        window->waitEndReadStatus([this, link] {
            // The clock is taken when the request goes, not when the button was pressed.
            const QDateTime now = window->clock->now();
            link->setDevDateTime(time_t(now.toSecsSinceEpoch()), quint16(now.time().msec()));
        });
    });
}

bool StatusController::takeManualExtraPack()
{
    const bool was = manualExtraPack;
    manualExtraPack = false;
    return was;
}

void StatusController::getStatusInfo()
{
    const QString page = window->ui->stackedWidget->currentWidget()->objectName();
    const bool poll = !PageController::hidesStatusPanel(page) && page != QLatin1String("fskPage") &&
                      window->settingsForm->continuousStatus() &&
                      window->currentState == LinkState::Ready;
    // A running timer keeps its phase: each port search ends here, and searches one after the
    // other must not push the next pass away again and again.
    if (!poll)
        statusPoller->stopTimer();
    else if (!statusPoller->isTimerActive())
        statusPoller->startTimer();
}

// ---- answers ----------------------------------------------------------------------------------

void StatusController::updateMainNetStatus(NET_MAIN_STAT stat)
{
    window->statusPanel->showNetState(stat);
    NET_INFO_PARAMS info;
    info.devAddr = stat.devAddr;
    info.appSKey = stat.appSKey;
    info.nwkSKey = stat.nwkSKey;
    const QComboBox *classes = window->editor->loraChoices().devClass;
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

void StatusController::updateQualityStatus(NET_QUALITY_STAT stat)
{
    window->statusPanel->showQuality(stat);
}

void StatusController::updateLastSendStatus(NET_LAST_SEND_STAT stat)
{
    const ConfigEditor::LoraChoices choices = window->editor->loraChoices();
    window->statusPanel->showLastSend(stat, choices.txSpeed, choices.txPower);
    emit timeOnAirChanged(stat.timeOnAir);
}

void StatusController::updateBatStatus(DEV_BAT_STAT stat)
{
    window->statusPanel->showBattery(stat);
}

void StatusController::updateAdcStatus(DEV_ADC_VALUES stat)
{
    qDebug() << "FSM voltage: " << stat.fsmVoltage / 1000.0;
    window->statusPanel->showAdc(stat);
}

void StatusController::updateInputsParamsStatus(DEV_INPUT_PARAMS stat)
{
    window->statusPanel->showInputs(stat);
}

void StatusController::updateDateTime(time_t deviceTime, ushort subSeconds, uchar source)
{
    Q_UNUSED(subSeconds);
    window->statusPanel->showDateTime(qint64(deviceTime), window->clock->now(), source);
}

void StatusController::showService()
{
    const DeviceIdentity &device = window->connectedDevice();
    const bool remote = device.path == DeviceIdentity::Path::Remote;
    QString update = tr("не проверялось");
    const FirmwareController::Check check = window->firmwareCheckResult();
    if (check == FirmwareController::Check::UpToDate)
        update = tr("прошивка последней версии");
    else if (check == FirmwareController::Check::NewerAvailable)
        update =
            tr("доступна прошивка %1").arg(window->firmwareController()->localLastFw(device.key()));
    window->statusPanel->showService(
        remote ? tr("через сервер, IMEI %1").arg(device.via) : tr("нет"), remote, update,
        check == FirmwareController::Check::NewerAvailable);
}

// ---- information views and the status calculator ------------------------------------------------

void StatusController::showTimeParamsForm()
{
    timeParamsForm->show();
}

void StatusController::showNetInfoForm()
{
    auto *view = new NetInfoForm;
    connect(this, &StatusController::updateNetInfoParams, view, &NetInfoForm::updateNetInfoParams);
    view->show();
}

void StatusController::runStatusCalc(QString value)
{
    if (statusCalc)
        return;
    // No status answer carries the device's status word: the calculator decodes what is typed.
    statusCalc = new StatusCalc(window, value.remove(QStringLiteral("0x")), statusEventMask);
    DB_Worker *db = window->dbWorker;
    connect(statusCalc, &StatusCalc::getStatusBits, db, &DB_Worker::getStatusBits,
            Qt::DirectConnection);
    connect(statusCalc, &StatusCalc::updateStatusMask, this,
            [this](quint32 mask) { statusEventMask = mask; });
    statusCalc->setSupportStatusMask(int(StatusCalc::supportedMask(db, window->identified)));
    statusCalc->decryptStatus();
    statusCalc->show();
}
