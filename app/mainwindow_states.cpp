// MainWindow: the device link, the connection states (their table is ConnectionStates) and the
// status line, the dialogs that drive them, device identification and the hand-over of a
// finished read.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "appinfo.h"
#include "authenticationcontroller.h"
#include "clockcontroller.h"
#include "configcontroller.h"
#include "configdocument.h"
#include "configeditor.h"
#include "configexchange.h"
#include "connectionstates.h"
#include "consolepage.h"
#include "db_worker.h"
#include "deviceinterface.h"
#include "devicesession.h"
#include "eraseform.h"
#include "fieldmarks.h"
#include "firmwarecontroller.h"
#include "historycontroller.h"
#include "hotplugcontroller.h"
#include "portenumerator.h"
#include "pagecontroller.h"
#include "relaycontroller.h"
#include "reloadform.h"
#include "settingsform.h"
#include "statuscontroller.h"
#include "statuspanel.h"
#include "statuspoller.h"
#include "userprompts.h"

#include <QApplication>
#include <QDebug>
#include <QLineEdit>
#include <QListWidget>
#include <QStackedWidget>
#include <QTimer>

#ifdef Q_OS_WIN
#include <windows.h>
// after windows.h, which it needs
#include <dbt.h>
#endif

void MainWindow::createDeviceLink(PortEnumerator *enumerator)
{
    // The session identifies the device, chooses its firmware group (before the read asks for
    // the group's parameters), writes and verifies, and waits for the device after a reboot;
    // the window follows the link's own search for the device.
    chosenPorts = std::make_unique<ChosenPortEnumerator>(enumerator);
    session = new DeviceSession(chosenPorts.get(), this);
    session->useDatabase(dbWorker);
    session->setUserPrompts(prompts);
    session->setReadsConfiguration(true);
    session->enableConfigExchange();
    session->followLink();
    link = session->link();
    link->setAppVersion(AppInfo::version());
    exchange = session->exchange();
    firmware = new FirmwareController(this);
    config = new ConfigController(this);
    connect(session, &DeviceSession::identified, this, &MainWindow::deviceIdentified);
    connect(session, &DeviceSession::returned, this, [this] {
        ui->refreshButton->setEnabled(true);
    });
    connect(session, &DeviceSession::failed, this, [this](const QString &reason) {
        // The wait after a reboot gave up (a write tells its own end): a search is the
        // user's again.
        qWarning().noquote() << reason;
        ui->refreshButton->setEnabled(true);
    });

    connect(this, &MainWindow::enumerateDevices, session, &DeviceSession::search);
    connect(link, &DeviceInterface::changeDeviceStatus, this, &MainWindow::setGlobalState);
    connect(exchange, &ConfigExchange::changeDeviceStatus, this, &MainWindow::setGlobalState);
    connect(session, &DeviceSession::readFinished, this, &MainWindow::configurationRead);
    connect(exchange, &ConfigExchange::setProgressValue, ui->progressBar, &QProgressBar::setValue);
    connect(exchange, &ConfigExchange::setProgress, ui->progressBar, &QProgressBar::setMaximum);
    console->setLink(link);
    connect(this, &MainWindow::disconnectDevice, link, &DeviceInterface::disconnectDevice);
    connect(link, &DeviceInterface::selectDevice, this, &MainWindow::showDeviceList);
    connect(link, &DeviceInterface::hideRefreshButton, this, &MainWindow::hideRefreshButton);
    connect(this, &MainWindow::rebootDev, link, &DeviceInterface::getReboot);
    // The current frequencies are also a link of the status chain: the poller goes on itself.
    connect(link, &DeviceInterface::updateFreqList, editor, &ConfigEditor::showReportedFreqs);
    status = new StatusController(this);
    poller = status->poller();
    connect(link, &DeviceInterface::checkGetStatusState, status,
            &StatusController::getStatusInfo);
    relay = new RelayController(this);
    authentication = new AuthenticationController(this);
    history = new HistoryController(this); // the session's journal
}

void MainWindow::setControlsEnabled(unsigned controls, bool enabled)
{
    using namespace ConnectionStates;
    const std::pair<Control, QWidget *> widgets[] = {
        {ReadConfigButton, ui->readConfigButton}, {WriteConfigButton, ui->writeConfigButton},
        {RestartButton, ui->restartButton},       {RefreshButton, ui->refreshButton},
        {SaveFileButton, ui->saveFileButton},     {EraseMemButton, ui->eraseMemButton},
        {UpdateFwButton, ui->updateFwButton},     {PageList, ui->terminalMenu}};
    for (const auto &w : widgets) {
        if (controls & w.first)
            w.second->setEnabled(enabled);
    }
}

void MainWindow::showStatusLine(uchar stat, const char *sourceText)
{
    statusPict = stat;
    statusSource = sourceText;
    displayDeviceStatus(stat, tr(sourceText));
}

void MainWindow::showStatusNote(const QString &text)
{
    displayDeviceStatus(ConnectionStates::Green, text);
    ui->globalStatusText->setToolTip(text);
    statusNoteUntilMs = clock->elapsedMs() + statusNoteMs;
}

void MainWindow::displayDeviceStatus(uchar stat, const QString &text)
{
    ui->globalStatusText->setText(text);
    if (const char *picture = ConnectionStates::picturePath(stat))
        ui->globalStatusPict->setPixmap(QPixmap(QLatin1String(picture)));
}

void MainWindow::setGlobalState(int state)
{
    currentState = state;
    // Any other state ends a status pass: its late answers no longer carry the chain on.
    using namespace LinkState;
    if (poller && state != ReadStatus && state != ExtraPackSent && state != ExtraPackError)
        poller->abandonPass();
    if (const ConnectionStates::Row *row = ConnectionStates::row(state)) {
        if (row->banner)
            qDebug() << row->banner;
        // The ready line of each status pass does not cover a note the user is to read.
        const bool noteStands = clock->elapsedMs() < statusNoteUntilMs &&
                                (state == LinkState::Ready || state == LinkState::ReadStatus);
        if (!noteStands)
            showStateLine(state);
        setControlsEnabled(row->disable, false);
        setControlsEnabled(row->enable, true);
    }
    applyStateEffects(state);
    if (poller)
        poller->setFskMode(relay->isFskMode()); // the relay's states set and clear it
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

void MainWindow::showStateLine(int state)
{
    const ConnectionStates::Row *row = ConnectionStates::row(state);
    if (!row || row->picture == ConnectionStates::NoLine)
        return;
    const char *text = row->text;
    if (link->isRemoteMode() && row->remoteText)
        text = row->remoteText;
    else if (relay->isFskMode() && row->fskText)
        text = row->fskText;
    showStatusLine(uchar(row->picture), text);
}

QString MainWindow::deviceLine(const DeviceIdentity &device) const
{
    QString line = tr("Устройство: %1, SN %2, DevEUI %3")
                       .arg(device.shownName(tr("Вэкса")),
                            device.serialNumber, DeviceInterface::shownDevEui(device.devEui));
    if (device.path == DeviceIdentity::Path::Relay)
        line += QStringLiteral(", ") + tr("через радиоканал устройства SN %1").arg(device.via);
    else if (device.path == DeviceIdentity::Path::Remote)
        line += QStringLiteral(", ") + tr("удалённо через сервер, IMEI %1").arg(device.via);
    return line;
}


void MainWindow::applyStateEffects(int state)
{
    using namespace LinkState;
    relay->applyState(state);
    authentication->applyState(state);
    if (firmware->applyState(state))
        return;
    switch (state) {
    case Disconnected:
        ui->mainTitleWindow->setText(tr("Конфигуратор"));
        poller->forgetDevice();
        console->setDebugMode(false);
        editor->setChangesBlocked(true);
        poller->stopTimer();
        pages->showFirstPage();
        dbWorker->closeDb();
        authentication->reset();
        busyFlag = false;
        readyFlag = false;
        ui->progressBar->setValue(0);
        // The edits stay, for the device they were made for; its values are no longer here.
        config->forgetDevice();
        currentDevice = DeviceIdentity();
        clearLabels();
        break;
    case Connected:
        // The device is back: the reboot message has said what it had to.
        prompts->withdrawNotes();
        ui->infoHintLabel->hide();
        link->setDeviceReady(true);
        ui->refreshButton->setHidden(hideRefresh);
        break;
    case Ready:
        emit readyStatus();
        editor->setChangesBlocked(false);
        link->setDeviceReady(true);
        busyFlag = false;
        readyFlag = true;
        prompts->withdrawNotes();
        ui->infoHintLabel->hide();
        // While a user action waits for the pass to end, its own answer restarts polling.
        if (!poller->isTimerActive() && !poller->isWaiting())
            status->getStatusInfo();
        break;
    case ReadConfig:
        editor->setChangesBlocked(true);
        clearInfoLabels();
        poller->stopTimer();
        busyFlag = true;
        readyFlag = false;
        break;
    case WriteConfig:
    case ReadFile:
        busyFlag = true;
        break;
    case UpdateApp:
        poller->stopTimer();
        clearInfoLabels();
        busyFlag = true;
        pages->showFirstPage();
        break;
    case WriteError:
        prompts->report(
            UserPrompts::Icon::Critical, tr("Ошибка записи"),
            tr("Ошибка записи конфигурации, проверьте корректность введенных параметров и "
               "повторите запись конфигурации") +
                config->writeReportText());
        setGlobalState(Ready);
        break;
    case NotRespond:
    case AuthError:
        busyFlag = false;
        authentication->reset();
        hideRefresh = false;
        ui->refreshButton->show();
        break;
    case Reload: {
        if (closeAfterReboot) {
            QApplication::closeAllWindows();
            QApplication::quit();
            break;
        }
        pages->rememberPage();
        // Taken before state 0, which ends the update.
        const QString why = firmware->isUpdating() ? tr("Обновление прошивки...")
                                                   : tr("Устройство перезагружается...");
        setGlobalState(Disconnected);
        // The session looks for the device by its USB serial number until it is back (a
        // write it verifies already waits); the refresh button returns with the device or
        // when it is given up. A relayed device is left through the local one.
        if (!relay->isFskMode() && !session->isAwaitingReturn())
            session->awaitReturn();
        setControlsEnabled(ConnectionStates::RefreshButton | ConnectionStates::UpdateFwButton,
                           false);
        if (!firmware->progressDialog()) // which shows the restart as a step of its own
            prompts->notify(UserPrompts::Icon::Information, tr("Перезагрузка"), why, rebootBoxMs);
        break;
    }
    case WriteFile:
        if (firmware->isUpdating()) {
            readyFlag = false;
            editor->setChangesBlocked(true);
            clearInfoLabels();
        }
        busyFlag = true;
        break;
    case FileWritten:
    case FileDone:
        setGlobalState(Ready);
        break;
    case FileReadError:
        prompts->report(UserPrompts::Icon::Critical, tr("Чтение файла"),
                        tr("Ошибка файловой системы"));
        setGlobalState(Ready);
        break;
    case FileWriteError:
        prompts->report(UserPrompts::Icon::Critical, tr("Запись файла"),
                        tr("Ошибка файловой системы"));
        setGlobalState(Ready);
        break;
    case ExtraPackSent:
    case ExtraPackError:
        if (status->takeManualExtraPack()) {
            if (state == ExtraPackSent)
                showStatusLine(ConnectionStates::Green,
                               QT_TR_NOOP("Внеочередной пакет успешно отправлен"));
            else
                showStatusLine(ConnectionStates::Red,
                               QT_TR_NOOP("Ошибка отправки внеочередного пакета"));
            // The result stays readable for a moment before the ready line returns.
            QTimer::singleShot(extraPackResultMs, this, [this] { setGlobalState(Ready); });
        } else {
            // The automatic packet after registration: the status pass goes on.
            QMetaObject::invokeMethod(link, "getBatStatus");
        }
        break;
    case FlashFormatted:
        prompts->report(UserPrompts::Icon::Information, tr("Информация"),
                        tr("FLASH память успешно отформатирована"));
        break;
    case FlashFormatError:
        prompts->report(UserPrompts::Icon::Critical, tr("Ошибка"),
                        tr("Ошибка форматирования FLASH памяти"));
        break;
    case FskConnected:
        editor->setChangesBlocked(true);
        clearInfoLabels();
        break;
    case FskDisconnected:
        config->setAside(); // the relayed device's edits
        readConfig();
        statusPanel->setReRegisterEnabled(true);
        pages->showFirstPage();
        break;
    case FskConnectFailed:
        pages->showFirstPage();
        break;
    default:
        break; // the rest is in the table; numbers without meaning are only remembered
    }
}

// ---- buttons and dialogs --------------------------------------------------------------------

void MainWindow::refreshDeviceList()
{
    qDebug() << "Current state" << currentState;
    waitEndReadStatus([this] {
        readyFlag = false;
        if (currentState == LinkState::NotRespond) {
            // The port is still selected: read the same device again.
            config->clear();
            ui->writeConfigButton->setEnabled(false);
            session->identify();
        } else {
            session->search();
            // Asked for and nothing found: the computer's ports are offered.
            if (currentState == LinkState::Disconnected)
                showDeviceList({});
        }
    });
}

void MainWindow::reloadDevice()
{
    poller->stopTimer();
    auto *form = new ReloadForm(this);
    form->showDeviceLine(deviceLine(currentDevice));
    connect(form, &ReloadForm::fullReload, this, &MainWindow::reloadConfirm);
    connect(form, &ReloadForm::rebootCancel, status, &StatusController::getStatusInfo);
    form->show();
}

void MainWindow::reloadConfirm()
{
    waitEndReadStatus([this] { emit rebootDev(); });
}

void MainWindow::eraseMemory()
{
    poller->stopTimer();
    auto *form = new EraseForm(this);
    form->showDeviceLine(deviceLine(currentDevice));
    connect(form, &EraseForm::eraseMemory, link, &DeviceInterface::eraseMemory);
    connect(form, &EraseForm::eraseCancel, status, &StatusController::getStatusInfo);
    form->show();
}

void MainWindow::hideRefreshButton(bool hide)
{
    hideRefresh = hide;
    ui->refreshButton->setHidden(hide);
}

void MainWindow::showDeviceList(QStringList devices)
{
    readyFlag = false;
    hotplug->showDeviceList(devices);
}

void MainWindow::readConfig()
{
    poller->stopTimer();
    config->clear();
    readyFlag = false;
    ui->writeConfigButton->setEnabled(false);
    waitEndReadStatus([this] { session->identify(); });
}

void MainWindow::configurationRead(const QDomDocument &doc)
{
    if (!readyFlag && !doc.isNull()) {
        qDebug() << "Configuration read OK";
        ui->writeConfigButton->setEnabled(false);
        editor->forgetFreqPlan();
        config->deviceRead(doc);
    }
    showDeviceTitle();
    pages->returnToPage();
    setGlobalState(LinkState::Ready);
}

void MainWindow::showDeviceTitle()
{
    if (currentState == LinkState::Disconnected || !shown.isKnown())
        ui->mainTitleWindow->setText(tr("Конфигуратор"));
    else
        ui->mainTitleWindow->setText(tr("Конфигуратор") + QLatin1Char('\t') + tr("Вэкса") +
                                     shownModel() + QStringLiteral(" SN: ") + ui->snLabel->text());
}

// ---- identification -------------------------------------------------------------------------

void MainWindow::deviceIdentified(const DeviceIdentity &found)
{
    DeviceIdentity identity = found;
    relay->setPath(identity);
    showDevice(identity, session->group());
    currentDevice = identity;
    config->takeDevice(identity);
}

QString MainWindow::shownModel() const
{
    return shown.isKnown() ? QString::number(shown.model()) : QString();
}

QString MainWindow::shownKey() const
{
    return shown.isKnown() ? shown.key() : QString();
}

void MainWindow::showDevice(const DeviceIdentity &identity, const QString &group)
{
    shown = identity;
    ui->softVer_lbl->setText(identity.firmware);
    editor->setModel(shownModel());
    ui->deviceName_lbl->setText(identity.shownName(tr("Вэкса")));
    ui->snLabel->setText(identity.serialNumber);
    ui->deveui_lbl->setText(DeviceInterface::shownDevEui(identity.devEui));
    if (group.isEmpty()) {
        identified = false;
        prompts->report(UserPrompts::Icon::Warning, tr("Предупреждение"),
                        tr("Версия прошивки не поддерживается конфигуратором"));
        // A supported firmware may still be in the store for this device.
        firmware->availableNewFw();
        return;
    }
    identified = true;
    pages->showModelPages(dbWorker);
    const QList<int> statusCodes = dbWorker->getStatusCommandList();
    poller->setCommandList(statusCodes);
    editor->fillModelChoices();
    // A model without inputs has no inputs tab (its status has no input or ADC request); the
    // device clock's source is shown where the firmware reports it.
    statusPanel->fitToFirmware(
        statusCodes.contains(StatusPoller::Adc) || statusCodes.contains(StatusPoller::Inputs),
        dbWorker->getFormElements(statusPanel->timeSourceElement()).value(0) ==
            QLatin1String("true"));
    fillCodeTables();
    firmware->availableNewFw();
}

// ---- labels ---------------------------------------------------------------------------------

void MainWindow::clearInfoLabels()
{
    statusPanel->clearInfo();
}

void MainWindow::clearLabels()
{
    ui->mainTitleWindow->setText(tr("Конфигуратор"));
    editor->clear();
    statusPanel->clearAll();
    // Nothing of a device that is gone stays on show, and nothing can be sent to it.
    for (QLabel *l : {ui->deviceName_lbl, ui->softVer_lbl, ui->snLabel, ui->deveui_lbl})
        l->clear();
    ui->infoHintLabel->show();
    config->refreshPendingMarks();
    pages->hideModelPages();
}

// ---- plug notices and closing --------------------------------------------------------------------

#ifdef Q_OS_WIN
bool MainWindow::nativeEvent(const QByteArray &eventType, void *message, long *result)
{
    Q_UNUSED(eventType);
    Q_UNUSED(result);
    const MSG *msg = static_cast<const MSG *>(message);
    if (msg->message == WM_DEVICECHANGE) {
        qDebug() << "winEvent in MgFrame : WM_DEVICECHANGE";
        if (msg->wParam == DBT_DEVICEARRIVAL)
            qDebug() << "A device has been inserted.";
        else if (msg->wParam == DBT_DEVICEREMOVECOMPLETE)
            qDebug() << "A device has been removed.";
        else
            hotplug->nodesChanged();
    }
    return false;
}
#endif

void MainWindow::on_closeMainWindow_clicked()
{
    if (config->mayClose())
        QApplication::closeAllWindows();
}
