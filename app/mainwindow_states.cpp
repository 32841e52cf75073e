// MainWindow: the device link, the connection states and the status line, the dialogs that
// drive them, device identification and the hand-over of a finished read.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "appinfo.h"
#include "authenticationform.h"
#include "configdocument.h"
#include "configexchange.h"
#include "db_worker.h"
#include "deviceinterface.h"
#include "eraseform.h"
#include "hotplugmonitor.h"
#include "reloadform.h"
#include "selectdeviceform.h"
#include "settingsform.h"
#include "userprompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalMapper>
#include <QStackedWidget>
#include <QTimer>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

void MainWindow::createDeviceLink(PortEnumerator *enumerator)
{
    link = new DeviceInterface(this);
    link->setAppVersion(AppInfo::version());
    link->setUserPrompts(prompts);
    if (enumerator)
        link->setPortEnumerator(enumerator);
    exchange = new ConfigExchange(link, this);
    exchange->setSupportedCodes([this](const DeviceIdentity &device) {
        const QString group = dbWorker->getFwGroup(device.firmware, device.key());
        if (group.isEmpty())
            return QList<int>();
        dbWorker->setCurrentFwGroup(group);
        return dbWorker->getCommandList();
    });

    connect(this, &MainWindow::enumerateDevices, link, &DeviceInterface::enumerateDevices);
    connect(link, &DeviceInterface::changeDeviceStatus, this, &MainWindow::setGlobalState);
    connect(exchange, &ConfigExchange::changeDeviceStatus, this, &MainWindow::setGlobalState);
    connect(exchange, &ConfigExchange::parceAnswerComplite, this, &MainWindow::readXmlBuffer);
    connect(exchange, &ConfigExchange::writeFinished, this, &MainWindow::writeFinished);
    connect(link, &DeviceInterface::authenticationFail, this, &MainWindow::authenticationRequest);
    connect(this, &MainWindow::startReadConfiguration, link, &DeviceInterface::readConfiguration);
    connect(this, &MainWindow::startWriteConfiguration, exchange,
            &ConfigExchange::writeConfiguration);
    connect(exchange, &ConfigExchange::setProgressValue, ui->progressBar, &QProgressBar::setValue);
    connect(exchange, &ConfigExchange::setProgress, ui->progressBar, &QProgressBar::setMaximum);
    connect(link, &DeviceInterface::printToTerminal, this, &MainWindow::printToTerminal);
    connect(this, &MainWindow::sendTerminalCommand, link, &DeviceInterface::sendTerminalCmd);
    connect(ui->cmdLine->lineEdit(), &QLineEdit::returnPressed, ui->sendCommand,
            &QPushButton::click);
    connect(link, &DeviceInterface::setCurrentFwVer, this, &MainWindow::setCurrentFwVer);
    connect(this, &MainWindow::disconnectDevice, link, &DeviceInterface::disconnectDevice);
    connect(link, &DeviceInterface::selectDevice, this, &MainWindow::showDeviceList);
    connect(link, &DeviceInterface::checkGetStatusState, this, &MainWindow::getStatusInfo);
    connect(link, &DeviceInterface::hideRefreshButton, this, &MainWindow::hideRefreshButton);
    connect(this, &MainWindow::rebootDev, link, &DeviceInterface::getReboot);
    connect(this, &MainWindow::getFileInfo, link, &DeviceInterface::getFileInfo);
    connect(link, &DeviceInterface::updateFreqList, this, &MainWindow::updateFreqList);
    connectStatusPanel();
}

QWidget *MainWindow::widget(const char *name) const
{
    return findChild<QWidget *>(QLatin1String(name));
}

void MainWindow::setEnabledAll(std::initializer_list<const char *> names, bool enabled)
{
    for (const char *name : names) {
        if (QWidget *w = widget(name))
            w->setEnabled(enabled);
    }
}

void MainWindow::setChangeSignalsBlocked(bool blocked)
{
    changeMapper->blockSignals(blocked);
}

void MainWindow::showFirstPage()
{
    ui->terminalMenu->setCurrentRow(0);
    itemSelected(ui->terminalMenu->model()->index(0, 0));
}

void MainWindow::localWait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void MainWindow::showStatusLine(uchar stat, const char *sourceText)
{
    statusPict = stat;
    statusSource = sourceText;
    displayDeviceStatus(stat, tr(sourceText));
}

void MainWindow::showSessionStatusLine(uchar stat, const char *remote, const char *fsk,
                                       const char *local)
{
    showStatusLine(stat, link->isRemoteMode() ? remote : fskMode ? fsk : local);
}

void MainWindow::displayDeviceStatus(uchar stat, QString statStr)
{
    ui->globalStatusText->setText(statStr);
    const char *picture = nullptr;
    switch (stat) {
    case 0:
        picture = ":pict/svg/gray.svg";
        break;
    case 1:
        picture = ":pict/svg/green.svg";
        break;
    case 2:
        picture = ":pict/svg/yellow.svg";
        break;
    case 3:
        picture = ":pict/svg/red.svg";
        break;
    default:
        break;
    }
    if (picture)
        ui->globalStatusPict->setPixmap(QPixmap(QLatin1String(picture)));
}

void MainWindow::setGlobalState(int state)
{
    currentState = state;
    switch (state) {
    case 0:
        qDebug() << "\n-----------------DEVICE STATUS: disconnected-----------------\n";
        showStatusLine(0, QT_TR_NOOP("Ожидание подключения модуля"));
        ui->mainTitleWindow->setText(tr("Конфигуратор"));
        netStateMemory = 0;
        terminalDebug = false;
        setChangeSignalsBlocked(true);
        if (statusTimer->isActive())
            statusTimer->stop();
        showFirstPage();
        dbWorker->closeDb();
        authAsked = false;
        busyFlag = false;
        setEnabledAll({"readConfigButton", "restartButton", "writeConfigButton", "eraseMemButton",
                       "updateFwButton"},
                      false);
        setEnabledAll({"refreshButton", "terminalMenu"}, true);
        readyFlag = false;
        ui->progressBar->setValue(0);
        firmwareUpdate = false;
        link->setFirmwareUpdate(false);
        clearInfoLabels();
        clearLabels();
        break;
    case 1:
        qDebug() << "\n-------------------DEVICE STATUS: connected------------------\n";
        showStatusLine(1, QT_TR_NOOP("Устройство подключено"));
        if (rebootTimer->isActive())
            rebootTimer->stop();
        setEnabledAll({"readConfigButton", "restartButton"}, true);
        link->setDeviceReady(true);
        ui->refreshButton->setHidden(hideRefresh);
        break;
    case 2:
        qDebug() << "\n--------------------DEVICE STATUS: ready---------------------\n";
        showSessionStatusLine(1, QT_TR_NOOP("Устройство подключено удаленно"),
                              QT_TR_NOOP("Устройство подключено по FSK"),
                              QT_TR_NOOP("Устройство подключено"));
        emit readyStatus();
        setChangeSignalsBlocked(false);
        if (rebootTimer->isActive())
            rebootTimer->stop();
        if (fskMode)
            setLabel(QStringLiteral("netIfaceStateLbl"), QStringLiteral("FSK"));
        setEnabledAll({"readConfigButton", "restartButton", "saveFileButton", "refreshButton",
                       "writeConfigButton", "terminalMenu", "eraseMemButton"},
                      true);
        link->setDeviceReady(true);
        busyFlag = false;
        readyFlag = true;
        if (newFwAvailable)
            ui->updateFwButton->setEnabled(true);
        // While a user action waits for the pass to end, its own answer restarts polling.
        if (!statusTimer->isActive() && !waitingStatusEnd)
            getStatusInfo();
        break;
    case 3:
        qDebug() << "\n------------------DEVICE STATUS: read config-----------------\n";
        showSessionStatusLine(2, QT_TR_NOOP("Удаленное считывание конфигурации"),
                              QT_TR_NOOP("Считывание конфигурации по FSK"),
                              QT_TR_NOOP("Считывание конфигурации"));
        setChangeSignalsBlocked(true);
        clearInfoLabels();
        statusTimer->stop();
        setEnabledAll({"readConfigButton", "restartButton", "saveFileButton", "refreshButton",
                       "terminalMenu", "eraseMemButton", "updateFwButton"},
                      false);
        busyFlag = true;
        readyFlag = false;
        break;
    case 4:
        qDebug() << "\n-----------------DEVICE STATUS: read status-----------------\n";
        break;
    case 5:
        qDebug() << "\n-----------------DEVICE STATUS: write config----------------\n";
        showSessionStatusLine(2, QT_TR_NOOP("Удаленная запись конфигурации"),
                              QT_TR_NOOP("Запись конфигурации по FSK"),
                              QT_TR_NOOP("Запись конфигурации"));
        setEnabledAll({"writeConfigButton", "readConfigButton", "restartButton", "refreshButton",
                       "terminalMenu", "eraseMemButton", "updateFwButton"},
                      false);
        busyFlag = true;
        break;
    case 6:
        qDebug() << "\n-----------------DEVICE STATUS: read error------------------\n";
        break;
    case 7:
        qDebug() << "\n-----------------DEVICE STATUS: write error-----------------\n";
        prompts->inform(
            UserPrompts::Icon::Critical, tr("Ошибка записи"),
            tr("Ошибка записи конфигурации, проверьте корректность введенных параметров и "
               "повторите запись конфигурации"));
        setGlobalState(2);
        break;
    case 8:
        qDebug() << "\n-----------------DEVICE STATUS: not respond-----------------\n";
        showStatusLine(3, QT_TR_NOOP("Устройство не отвечает"));
        busyFlag = false;
        setEnabledAll({"restartButton", "refreshButton", "terminalMenu"}, true);
        authAsked = false;
        hideRefresh = false;
        ui->refreshButton->show();
        if (fskMode) {
            fskMode = false;
            ui->startFskModePushButton->setEnabled(true);
            ui->startFskModePushButton->setText(tr("Подключить"));
            widget("reRegisterButton")->setEnabled(true);
        }
        break;
    case 9:
        showStatusLine(3, QT_TR_NOOP("Ошибка авторизации"));
        busyFlag = false;
        ui->refreshButton->setEnabled(true);
        authAsked = false;
        hideRefresh = false;
        ui->refreshButton->show();
        break;
    case 10:
        qDebug() << "\n-------------------DEVICE STATUS: reload--------------------\n";
        if (closeAfterReboot) {
            QApplication::closeAllWindows();
            QApplication::quit();
            break;
        }
        rebootTimer->start(rebootTimerMs);
        setGlobalState(0);
        setEnabledAll({"refreshButton", "updateFwButton"}, false);
        prompts->notify(UserPrompts::Icon::Information, tr("Перезагрузка"),
                        firmwareUpdate ? tr("Обновление прошивки...")
                                       : tr("Устройство перезагружается..."),
                        rebootBoxMs);
        firmwareUpdate = false;
        break;
    case 11:
        prompts->inform(UserPrompts::Icon::Information, tr("Смена пароля"),
                        tr("Пароль успешно измёнен"));
        setGlobalState(2);
        break;
    case 12:
        prompts->inform(UserPrompts::Icon::Critical, tr("Смена пароля"),
                        tr("Ошибка изменения пароля"));
        setGlobalState(2);
        break;
    case 13:
        qDebug() << "\n-------------------DEVICE STATUS: read file--------------------\n";
        showStatusLine(2, QT_TR_NOOP("Чтение файла"));
        setEnabledAll({"readConfigButton", "restartButton", "saveFileButton", "refreshButton",
                       "terminalMenu", "eraseMemButton", "writeConfigButton", "updateFwButton"},
                      false);
        busyFlag = true;
        break;
    case 14:
        qDebug() << "\n-------------------DEVICE STATUS: write file--------------------\n";
        if (firmwareUpdate) {
            showStatusLine(2, QT_TR_NOOP("Обновление прошивки"));
            readyFlag = false;
            setChangeSignalsBlocked(true);
            clearInfoLabels();
        } else {
            showStatusLine(2, QT_TR_NOOP("Запись файла"));
        }
        setEnabledAll({"readConfigButton", "restartButton", "saveFileButton", "refreshButton",
                       "terminalMenu", "writeConfigButton", "eraseMemButton", "updateFwButton"},
                      false);
        busyFlag = true;
        break;
    case 15:
        if (firmwareUpdate) {
            emit rebootDev();
            link->setFirmwareUpdate(false);
        } else {
            setGlobalState(2);
        }
        break;
    case 16:
        setGlobalState(2);
        break;
    case 17:
        prompts->inform(UserPrompts::Icon::Critical, tr("Чтение файла"),
                        tr("Ошибка файловой системы"));
        setGlobalState(2);
        break;
    case 18:
        if (firmwareUpdate) {
            prompts->inform(
                UserPrompts::Icon::Critical, tr("Обновление прошивки"),
                tr("Ошибка обновления прошивки. Перезагрузите устройство и повторите обновление."));
            firmwareUpdate = false;
            ui->progressBar->setValue(0);
        } else {
            prompts->inform(UserPrompts::Icon::Critical, tr("Запись файла"),
                            tr("Ошибка файловой системы"));
        }
        setGlobalState(2);
        break;
    case 20:
        qDebug() << "\n----------------------STATUS: UPDATE APP------------------------\n";
        showStatusLine(2, QT_TR_NOOP("Загрузка обновления"));
        statusTimer->stop();
        clearInfoLabels();
        setEnabledAll({"readConfigButton", "restartButton", "saveFileButton", "refreshButton",
                       "terminalMenu", "writeConfigButton", "eraseMemButton", "updateFwButton"},
                      false);
        busyFlag = true;
        showFirstPage();
        break;
    case 22:
        prompts->inform(UserPrompts::Icon::Warning, tr("Удаленное конфигурирование"),
                        tr("Устройство не подключено к серверу!"));
        break;
    case 23:
        prompts->inform(UserPrompts::Icon::Warning, tr("Удаленное конфигурирование"),
                        tr("Устройство уже конфигурируется!"));
        break;
    case 24:
        prompts->inform(UserPrompts::Icon::Warning, tr("Удаленное конфигурирование"),
                        tr("Сервер конфигурирования недоступен!"));
        break;
    case 25:
        prompts->inform(UserPrompts::Icon::Critical, tr("Удаленное конфигурирование"),
                        tr("Ошибка обмена данными с сервером конфигурирования!"));
        break;
    case 30:
    case 31:
        if (manualExtraPack) {
            manualExtraPack = false;
            if (state == 30)
                showStatusLine(1, QT_TR_NOOP("Внеочередной пакет успешно отправлен"));
            else
                showStatusLine(3, QT_TR_NOOP("Ошибка отправки внеочередного пакета"));
            localWait(1000);
            setGlobalState(2);
        } else {
            // The automatic packet after registration: the status pass goes on.
            QMetaObject::invokeMethod(link, "getBatStatus");
        }
        break;
    case 32:
        prompts->inform(UserPrompts::Icon::Information, tr("Информация"),
                        tr("FLASH память успешно отформатирована"));
        break;
    case 33:
        prompts->inform(UserPrompts::Icon::Critical, tr("Ошибка"),
                        tr("Ошибка форматирования FLASH памяти"));
        break;
    case 34:
        showStatusLine(2, QT_TR_NOOP("Применение прошивки"));
        ui->progressBar->setValue(0);
        break;
    case 35:
        showStatusLine(1, QT_TR_NOOP("Устройство подключено по FSK"));
        fskMode = true;
        setChangeSignalsBlocked(true);
        clearInfoLabels();
        ui->startFskModePushButton->setText(tr("Отключить"));
        ui->startFskModePushButton->setEnabled(true);
        widget("reRegisterButton")->setEnabled(false);
        break;
    case 36:
        fskMode = false;
        ui->startFskModePushButton->setText(tr("Подключить"));
        setGlobalState(2);
        ui->startFskModePushButton->setEnabled(true);
        readConfig();
        widget("reRegisterButton")->setEnabled(true);
        showFirstPage();
        break;
    case 37:
        prompts->inform(UserPrompts::Icon::Critical, tr("Ошибка"),
                        tr("Невозможно подключиться к удаленному устройству"));
        fskMode = false;
        ui->startFskModePushButton->setEnabled(true);
        ui->startFskModePushButton->setText(tr("Подключить"));
        widget("reRegisterButton")->setEnabled(true);
        showFirstPage();
        break;
    default:
        break; // other numbers are only remembered
    }
}

// ---- status timer ---------------------------------------------------------------------------

void MainWindow::changeStatusTimerState(bool state)
{
    continuousStatus = state;
    if (!state && statusTimer->isActive())
        statusTimer->stop();
    else if (state && !statusTimer->isActive())
        statusTimer->start(statusTimerIntervalMs);
}

void MainWindow::getStatusInfo()
{
    statusTimer->stop();
    const QString page = ui->stackedWidget->currentWidget()->objectName();
    if (page != QLatin1String("terminalPage") && page != QLatin1String("fsPage") &&
        page != QLatin1String("fskPage") && settingsForm->continuousStatus() && currentState == 2)
        statusTimer->start(statusTimerIntervalMs);
}

void MainWindow::waitEndReadStatus()
{
    qDebug() << "Current state" << currentState;
    static const QList<int> idle{0,  1,  3,  5,  6,  7,  8,  9,  10, 11, 12, 15, 16, 17, 18, 20,
                                 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 35, 36, 37};
    if (idle.contains(currentState))
        return;
    stopReadStatus = true;
    waitingStatusEnd = true;
    statusTimer->stop();
    if (currentState != 2) {
        qDebug() << "Wait end read status..."
                 << "/C:14";
        QEventLoop loop;
        connect(this, &MainWindow::readyStatus, &loop, &QEventLoop::quit);
        QTimer::singleShot(waitStatusEndMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    waitingStatusEnd = false;
}

// ---- buttons and dialogs --------------------------------------------------------------------

void MainWindow::rebootComplite()
{
    rebootTimer->stop();
    ui->refreshButton->setEnabled(true);
}

void MainWindow::refreshDeviceList()
{
    qDebug() << "Current state" << currentState;
    waitEndReadStatus();
    readyFlag = false;
    if (currentState == 8) {
        // The port is still selected: read the same device again.
        statusTimer->stop();
        pendingDoc.clear();
        ui->writeConfigButton->setEnabled(false);
        waitEndReadStatus();
        emit startReadConfiguration();
    } else {
        emit enumerateDevices();
    }
}

void MainWindow::reloadDevice()
{
    statusTimer->stop();
    auto *form = new ReloadForm(this);
    connect(form, &ReloadForm::fullReload, this, &MainWindow::reloadConfirm);
    connect(form, &ReloadForm::rebootCancel, this, &MainWindow::getStatusInfo);
    form->show();
}

void MainWindow::reloadConfirm()
{
    waitEndReadStatus();
    emit rebootDev();
}

void MainWindow::eraseMemory()
{
    statusTimer->stop();
    auto *form = new EraseForm(this);
    connect(form, &EraseForm::eraseMemory, link, &DeviceInterface::eraseMemory);
    connect(form, &EraseForm::eraseCancel, this, &MainWindow::getStatusInfo);
    form->show();
}

void MainWindow::authenticationRequest()
{
    if (authAsked)
        prompts->inform(UserPrompts::Icon::Critical, tr("Ошибка"), tr("Неверный пароль"));
    else
        authAsked = true;
    auto *form = new AuthenticationForm(this);
    connect(form, &AuthenticationForm::passUpdated, link, &DeviceInterface::authenticationDevice);
    connect(form, &AuthenticationForm::authenticationCanceled, this,
            &MainWindow::badAuthentication);
    form->show();
}

void MainWindow::badAuthentication()
{
    emit disconnectDevice();
    setGlobalState(9);
}

void MainWindow::hideRefreshButton(bool hide)
{
    hideRefresh = hide;
    ui->refreshButton->setHidden(hide);
}

void MainWindow::showDeviceList(QStringList devices)
{
    readyFlag = false;
    if (selectForm)
        return;
    selectForm = new SelectDeviceForm(devices, this);
    connect(selectForm, &SelectDeviceForm::selectDeviceIndex, link,
            &DeviceInterface::setCurrentDevice);
    connect(selectForm, &SelectDeviceForm::selectionCanceled, this,
            &MainWindow::cancelSelectDevice);
    connect(selectForm, &QObject::destroyed, this, &MainWindow::selectDevFormClosed);
    selectForm->show();
}

void MainWindow::selectDevFormClosed()
{
    selectForm = nullptr;
}

void MainWindow::cancelSelectDevice()
{
    setGlobalState(2);
}

void MainWindow::readConfig()
{
    if (statusTimer->isActive())
        statusTimer->stop();
    pendingDoc.clear();
    readyFlag = false;
    ui->writeConfigButton->setEnabled(false);
    waitEndReadStatus();
    emit startReadConfiguration();
}

void MainWindow::readXmlBuffer(QBuffer *xmlBuffer)
{
    if (xmlBuffer && !readyFlag && xmlBuffer->open(QIODevice::ReadOnly)) {
        qDebug() << "Configuration read OK";
        fullConfigDoc.clear();
        if (fullConfigDoc.setContent(xmlBuffer)) {
            qDebug() << "XML file loaded";
            ui->writeConfigButton->setEnabled(false);
            freqPlanRead.clear();
            freqPlanEdited.clear();
            rx2FreqEdited.clear();
            rx2DrEdited.clear();
            updateGui(fullConfigDoc.documentElement());
        }
        xmlBuffer->close();
    }
    ui->mainTitleWindow->setText(tr("Конфигуратор") + QLatin1Char('\t') + tr("Вэкса") +
                                 devIdByName + QStringLiteral(" SN: ") + ui->snLabel->text());
    if (fskMode)
        showFirstPage();
    setGlobalState(2);
}

// ---- identification -------------------------------------------------------------------------

void MainWindow::setCurrentFwVer(QString fw_ver, QString opt, ushort devID, QString devIdName,
                                 QString devEui, QString _sn)
{
    Q_UNUSED(opt);
    currentFwVer = fw_ver;
    ui->softVer_lbl->setText(fw_ver);
    devIdByName = devIdName;
    devIdText = QString::number(devID);
    ui->deviceName_lbl->setText(tr("Вэкса") + devIdByName + QStringLiteral("v2"));
    ui->snLabel->setText(_sn);
    ui->deveui_lbl->setText(devEui.toUpper());

    const int revision = devID >> 10;
    const QString key =
        revision ? devIdByName + QLatin1Char('_') + QString::number(revision) : devIdByName;
    fwFilePrefix = QStringLiteral("Vexa") + key;
    const QString group = dbWorker->getFwGroup(fw_ver, key);
    if (group.isEmpty()) {
        identified = false;
        prompts->inform(UserPrompts::Icon::Warning, tr("Предупреждение"),
                        tr("Версия прошивки не поддерживается конфигуратором"));
        // A supported firmware may still be in the store for this device.
        offerFirmwareUpdate(key);
        return;
    }
    identified = true;
    dbWorker->setCurrentFwGroup(group);
    ui->terminalMenu->setRowHidden(1, false);
    ui->terminalMenu->setRowHidden(6, false);
    statusCommandList = dbWorker->getStatusCommandList();
    statusIndex = statusCommandList.size();
    fillModelPages();
    ui->terminalMenu->setRowHidden(3,
                                   !dbWorker->checkSupportPage(QStringLiteral("interfacesPage")));
    ui->terminalMenu->setRowHidden(5, !dbWorker->checkSupportPage(QStringLiteral("systemPage")));
    ui->terminalMenu->setRowHidden(2, !dbWorker->checkSupportPage(QStringLiteral("ioPage")));
    ui->terminalMenu->setRowHidden(4, !dbWorker->checkSupportPage(QStringLiteral("vexa701Page")));
    fillCodeTables();
    offerFirmwareUpdate(key);
}

// ---- labels ---------------------------------------------------------------------------------

void MainWindow::clearInfoLabels()
{
    for (const char *name :
         {"rssi_lbl", "snr_lbl", "bsCount_lbl", "upLinkCounter_lbl", "downLinkCounter_lbl",
          "sendRetriesCount_lbl", "rxSlot_lbl", "rxDatarate_lbl", "txDatarate_lbl", "txPower_lbl",
          "upLinkFrequency_lbl"}) {
        if (auto *l = findChild<QLabel *>(QLatin1String(name)))
            l->clear();
    }
}

void MainWindow::clearLabels()
{
    ui->mainTitleWindow->setText(tr("Конфигуратор"));
    // The editors of the model pages go back to empty; the time zones stay (they are the
    // computer's, not the device's), the other choices come back with the next device.
    for (const char *page : {"loraPage", "ioPage", "interfacesPage", "vexa701Page", "systemPage"}) {
        QWidget *p = widget(page);
        if (!p)
            continue;
        for (auto *e : p->findChildren<QLineEdit *>()) {
            const QSignalBlocker b(e);
            e->clear();
        }
        for (auto *c : p->findChildren<QCheckBox *>()) {
            const QSignalBlocker b(c);
            c->setChecked(false);
        }
        for (auto *c : p->findChildren<QComboBox *>()) {
            if (c->objectName() == QLatin1String("timeZoneComboBox"))
                continue;
            const QSignalBlocker b(c);
            c->clear();
        }
    }
    freqPlanRead.clear();
    freqPlanEdited.clear();
    rx2FreqRead.clear();
    rx2DrRead.clear();
    rx2FreqEdited.clear();
    rx2DrEdited.clear();
    // Status values and pictures (captions and the links keep their texts).
    static const QStringList keep{QStringLiteral("showTimeParams_lbl"),
                                  QStringLiteral("showNetInfo_lbl"), QStringLiteral("showFreq_lbl"),
                                  QStringLiteral("sysOrNtcTime_lbl"),
                                  QStringLiteral("timeSource_lbl")};
    if (QWidget *panel = widget("statusPanel")) {
        for (auto *l : panel->findChildren<QLabel *>()) {
            const QString name = l->objectName();
            if (!keep.contains(name) &&
                (name.endsWith(QLatin1String("_lbl")) || name.endsWith(QLatin1String("Label")) ||
                 name == QLatin1String("sigLevelDbm")))
                l->clear();
        }
    }
    for (QLabel *l : {ui->deviceName_lbl, ui->softVer_lbl, ui->snLabel, ui->deveui_lbl})
        l->clear();
    for (int row = 1; row < ui->terminalMenu->count(); ++row)
        ui->terminalMenu->setRowHidden(row, true);
}

void MainWindow::printToTerminal(QString text)
{
    ui->terminalEdit->append(text);
}

// ---- hot-plug and closing --------------------------------------------------------------------

void MainWindow::deviceNodesChanged()
{
    if (busyFlag)
        return; // an exchange is running; the search comes after it
    statusTimer->stop();
    if (currentState == 0 && !enumerationTimer->isActive())
        enumerationTimer->start(hotplugSearchDelayMs);
    else
        enumerationTimer->start(hotplugRepeatDelayMs);
}

void MainWindow::watchFolderForDevices(const QString &folder)
{
    delete hotplug;
    hotplug = new HotplugMonitor({folder}, this);
    connect(hotplug, &HotplugMonitor::nodesChanged, this, &MainWindow::deviceNodesChanged);
}

#ifdef Q_OS_WIN
bool MainWindow::nativeEvent(const QByteArray &eventType, void *message, long *result)
{
    Q_UNUSED(eventType);
    Q_UNUSED(result);
    const MSG *msg = static_cast<const MSG *>(message);
    if (msg->message == 0x0219) { // WM_DEVICECHANGE
        qDebug() << "winEvent in MgFrame : WM_DEVICECHANGE";
        if (msg->wParam == 0x8000)
            qDebug() << "A device has been inserted.";
        else if (msg->wParam == 0x8004)
            qDebug() << "A device has been removed.";
        else
            deviceNodesChanged();
    }
    return false;
}
#endif

void MainWindow::on_closeMainWindow_clicked()
{
    if (pendingDoc.isNull() || pendingDoc.documentElement().firstChildElement().isNull() ||
        currentState != 2) {
        QApplication::closeAllWindows();
        return;
    }
    const auto answer = prompts->ask(UserPrompts::Icon::Question, tr("Предупреждение"),
                                     tr("Имеются не записанные изменения.\nЗаписать изменения?"),
                                     UserPrompts::Yes | UserPrompts::No | UserPrompts::Cancel);
    if (answer == UserPrompts::Yes) {
        if (statusTimer->isActive())
            statusTimer->stop();
        if (!configBuffer.open(QIODevice::ReadWrite | QIODevice::Truncate))
            return;
        // The changes stay pending until the device has taken them all.
        configBuffer.write(ConfigDocument::toText(pendingDoc));
        configBuffer.close();
        closeAfterReboot = true;
        emit startWriteConfiguration(&configBuffer);
    } else if (answer == UserPrompts::No) {
        QApplication::closeAllWindows();
    }
}
