#include "firmwarecontroller.h"

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "appinfo.h"
#include "configcontroller.h"
#include "connectionstates.h"
#include "db_worker.h"
#include "deviceinterface.h"
#include "devicesession.h"
#include "firmwarestore.h"
#include "naturalcompare.h"
#include "userprompts.h"

#include <QDebug>
#include <QProgressBar>
#include <QUrl>
#include <QWhatsThis>

FirmwareController::FirmwareController(MainWindow *window)
    : QObject(window)
    , window(window)
{
    // The device back after the flash says which firmware it runs: that is the outcome told.
    connect(window->session, &DeviceSession::returned, this, [this](const DeviceIdentity &back) {
        if (flashedVersion.isEmpty())
            return;
        const bool runs = back.firmware == flashedVersion;
        tell(runs ? FirmwareDialog::Outcome::Done : FirmwareDialog::Outcome::Failed,
             (runs ? tr("%1 теперь работает с прошивкой %2.")
                   : tr("%1 вернулся после перезагрузки с прошивкой %3 вместо %2."))
                 .arg(this->window->deviceLine(back), flashedVersion, back.firmware));
    });
    connect(window->session, &DeviceSession::failed, this, [this] {
        if (flashedVersion.isEmpty())
            return;
        tell(FirmwareDialog::Outcome::Failed,
             tr("Устройство не вернулось после перезагрузки: работает ли оно с прошивкой %1, "
                "неизвестно. Проверьте подключение и нажмите «Обновить список устройств».")
                 .arg(flashedVersion));
    });
    Ui::MainWindow *ui = window->ui;
    fileTransfer = new FileTransfer(window->link, this);
    connect(window, &MainWindow::getFileInfo, fileTransfer, &FileTransfer::getFileInfo);
    connect(fileTransfer, &FileTransfer::changeDeviceStatus, window, &MainWindow::setGlobalState);
    connect(fileTransfer, &FileTransfer::setProgress, ui->progressBar, &QProgressBar::setMaximum);
    connect(fileTransfer, &FileTransfer::setProgressValue, ui->progressBar,
            &QProgressBar::setValue);
    connect(fileTransfer, &FileTransfer::setProgressValue, this, [this](int bytes) {
        if (dialog)
            dialog->setDone(bytes);
    });
    connect(fileTransfer, &FileTransfer::resuming, this, [this](qint64 offset) {
        if (dialog)
            dialog->setResumedAt(offset);
    });
    connect(fileTransfer, &FileTransfer::transferFailed, this,
            &FirmwareController::firmwareTransferFailed);
    // What the device holds is not a part of this image: the user learns why the transfer
    // takes its whole time after an interrupted one.
    connect(fileTransfer, &FileTransfer::startingOver, this, [this](const QString &why) {
        qDebug().noquote() << "Firmware transfer starts over:" << why;
        const QString note = tr("Прошивка, начатая на устройстве ранее, не совпадает с этой: "
                                "запись начинается заново.");
        if (dialog)
            return dialog->setNote(note);
        this->window->prompts->notify(UserPrompts::Icon::Information, tr("Обновление прошивки"),
                                      note, MainWindow::rebootBoxMs);
    });
    connect(ui->updateFwButton, &QToolButton::clicked, this,
            &FirmwareController::startUpdateFirmware);
}

QString FirmwareController::localLastFw(const QString &devID)
{
    qDebug().noquote() << "Search available firmware with DevID: " << devID;
    const int id = window->dbWorker->getIdByName(devID);
    firmwareMap = FirmwareStore::scan(FirmwareStore::folder(), id);
    const QString newest = FirmwareStore::newest(firmwareMap);
    if (firmwareMap.isEmpty())
        qDebug() << "Local firmware not found";
    else
        qDebug().noquote() << "Local actual FW: " << newest;
    return newest;
}

void FirmwareController::availableNewFw()
{
    qDebug() << "Check available new FW..."
             << "/C:14";
    Ui::MainWindow *ui = window->ui;
    const QString local = localLastFw(window->shownKey());
    if (naturalCompare(local, window->shown.firmware) > 0) {
        ui->updateFwButton->setEnabled(true);
        ui->updateFwButton->setToolTip(tr("Обновить прошивку устройства до версии ") + local);
        newerInStore = true;
        check = Check::NewerAvailable;
        if (window->isActiveWindow())
            QWhatsThis::showText(window->pos() + QPoint(window->width() - 170, 50),
                                 tr("<font color=blue>Доступно обновление прошивки версии "
                                    "</font><b>") +
                                     local.toHtmlEscaped() + QStringLiteral("</b>"),
                                 window);
    } else {
        ui->updateFwButton->setEnabled(false);
        ui->updateFwButton->setToolTip(
            tr("Обновление прошивки недоступно: в папке firmware нет более новой прошивки для "
               "этого устройства"));
        newerInStore = false;
        check = Check::UpToDate;
    }
}

void FirmwareController::startUpdateFirmware()
{
    const QString version = localLastFw(window->shownKey());
    // The designation comes from the device: it goes into the address encoded and into the
    // question escaped, so it cannot add markup or another link.
    const QString changes = QLatin1String(AppInfo::helpWebAddress) + QStringLiteral("/?dev_type=") +
                            QString::fromLatin1(QUrl::toPercentEncoding(window->shownModel())) +
                            QStringLiteral("v2#ist");
    const auto answer = window->prompts->ask(
        UserPrompts::Icon::Question, tr("Обновление прошивки"),
        tr("Обновить прошивку устройства до версии ") + version.toHtmlEscaped() +
            QStringLiteral(" ?&nbsp;<A HREF='") + changes.toHtmlEscaped() + QStringLiteral("'>") +
            tr("Список изменений") + QStringLiteral("</A>") + QStringLiteral("<br>") +
            window->deviceLine(window->currentDevice).toHtmlEscaped() + QStringLiteral("<br>") +
            tr("Сейчас на устройстве: версия %1").arg(window->shown.firmware.toHtmlEscaped()) +
            (window->config->hasChanges()
                 ? QStringLiteral("<br>") +
                       tr("Незаписанные изменения (%1) останутся: их можно записать после "
                          "обновления.")
                           .arg(window->config->pendingCount())
                 : QString()) +
            (FirmwareStore::isUnsigned(firmwareMap.value(version))
                 ? QStringLiteral("<br><b>") +
                       tr("Эта прошивка загружена без подписи: устанавливайте её, только если "
                          "доверяете серверу обновлений.") +
                       QStringLiteral("</b>")
                 : QString()),
        UserPrompts::Yes | UserPrompts::No);
    if (answer != UserPrompts::Yes) {
        updating = false;
        return;
    }
    updating = true;
    flashedVersion = version;
    flashedFrom = window->shown.firmware;
    window->waitEndReadStatus([this, version] {
        // A file that cannot be flashed is refused here, before the device is touched.
        const FileTransfer::Error refused =
            fileTransfer->loadFirmwareFile(version, firmwareMap.value(version));
        if (refused != FileTransfer::Error::None) {
            firmwareTransferFailed(refused, fileTransfer->refusalReason());
            return;
        }
        window->link->setFirmwareUpdate(true);
        openDialog(version);
        window->setGlobalState(LinkState::UpdateApp);
        emit window->getFileInfo();
    });
}

void FirmwareController::openDialog(const QString &version)
{
    delete dialog;
    dialog = new FirmwareDialog(window->deviceLine(window->currentDevice), window->shown.firmware,
                                version, window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setTotal(fileTransfer->fileSize());
    connect(dialog, &FirmwareDialog::cancelRequested, fileTransfer, &FileTransfer::cancel);
    // The window's pages wait for the end: edits would go to a device that is taking its
    // new firmware. (The page list follows the states, which lock it while the image goes.)
    window->ui->stackedWidget->setEnabled(false);
    dialog->show();
}

void FirmwareController::tell(FirmwareDialog::Outcome outcome, const QString &text)
{
    flashedVersion.clear();
    emit updateEnded(outcome, flashedFrom, text);
    window->ui->stackedWidget->setEnabled(true);
    if (dialog)
        return dialog->finish(outcome, text);
    window->prompts->report(outcome == FirmwareDialog::Outcome::Done ? UserPrompts::Icon::Information
                                                                     : UserPrompts::Icon::Critical,
                            tr("Обновление прошивки"), text);
}

QString FirmwareController::firmwareErrorText(FileTransfer::Error error)
{
    using E = FileTransfer::Error;
    switch (error) {
    case E::None:
        break;
    case E::NoFile:
    case E::Unreadable:
        return tr("Файл прошивки не найден или не читается.");
    case E::Empty:
        return tr("Файл прошивки пуст.");
    case E::TooLarge:
        return tr("Файл прошивки больше, чем может принять устройство.");
    case E::NotFirmware:
        return tr("Файл не является файлом прошивки.");
    case E::NoDevice:
        return tr("Устройство не определено.");
    case E::OtherDevice:
        return tr("Прошивка предназначена для другого устройства.");
    case E::BlocksRejected:
        return tr("Устройство не принимает блоки файла прошивки.");
    case E::CheckFailed:
        return tr("Устройство не приняло файл прошивки и после повторной записи.");
    case E::CheckUnknown:
        return tr("Неизвестный результат проверки файла прошивки.");
    case E::CreateRefused:
        return tr("Устройство не создало файл прошивки.");
    case E::RebootRefused:
        return tr("Устройство не перезагрузилось в новую прошивку.");
    case E::LinkLost:
        return tr("Связь с устройством потеряна.");
    case E::Cancelled:
        return tr("Обновление отменено.");
    }
    return QString();
}

void FirmwareController::endUpdate()
{
    updating = false;
    window->link->setFirmwareUpdate(false);
    window->ui->progressBar->setValue(0);
}

void FirmwareController::firmwareTransferFailed(FileTransfer::Error error, const QString &reason)
{
    qWarning().noquote() << "Firmware update failed:" << reason;
    failure = firmwareErrorText(error);
    const QString version = flashedVersion;
    flashedVersion.clear(); // the failure is what is told
    // What the device holds stays there: the same image later goes on from it.
    const QString resumeLater =
        fileTransfer->confirmedBytes() > 0
            ? QLatin1Char(' ') + tr("В устройстве %1 из %2 КБ прошивки %3: следующее "
                                     "обновление продолжит запись с этого места.")
                                      .arg(fileTransfer->confirmedBytes() / 1024)
                                      .arg((fileTransfer->fileSize() + 1023) / 1024)
                                      .arg(version)
            : QString();
    switch (error) {
    case FileTransfer::Error::BlocksRejected:
    case FileTransfer::Error::CheckFailed:
    case FileTransfer::Error::CheckUnknown:
    case FileTransfer::Error::CreateRefused:
    case FileTransfer::Error::RebootRefused:
        break; // state 18 follows and tells it
    case FileTransfer::Error::LinkLost:
        // The link's own state says what happened to the device.
        endUpdate();
        tell(FirmwareDialog::Outcome::Failed, failure + resumeLater);
        break;
    case FileTransfer::Error::Cancelled:
        endUpdate();
        tell(FirmwareDialog::Outcome::Cancelled, failure + resumeLater);
        if (window->currentState != LinkState::Disconnected)
            window->setGlobalState(LinkState::Ready);
        break;
    default:
        // Refused before anything was sent: the device is as it was.
        endUpdate();
        tell(FirmwareDialog::Outcome::Failed, failure);
        // Ready again also restarts the status polling the update had stopped.
        if (window->currentState != LinkState::Disconnected)
            window->setGlobalState(LinkState::Ready);
        break;
    }
}

bool FirmwareController::applyState(int state)
{
    using namespace LinkState;
    switch (state) {
    case Disconnected:
        // After the restart, the wait for the device to come back with its new firmware.
        if (dialog && dialog->step() == FirmwareDialog::Step::Restart)
            dialog->setStep(FirmwareDialog::Step::Return);
        endUpdate();
        return false;
    case Ready:
        if (newerInStore)
            window->ui->updateFwButton->setEnabled(true);
        return false;
    case WriteFile:
        if (updating)
            window->showStatusLine(ConnectionStates::Yellow,
                                   QT_TRANSLATE_NOOP("MainWindow", "Обновление прошивки"));
        if (updating && dialog)
            dialog->setStep(FirmwareDialog::Step::Transfer);
        return false;
    case Reload:
        if (updating && dialog)
            dialog->setStep(FirmwareDialog::Step::Restart);
        return false;
    case FileWritten:
        if (!updating)
            return false;
        emit window->rebootDev();
        window->link->setFirmwareUpdate(false);
        return true;
    case FileWriteError:
        if (!updating)
            return false;
        tell(FirmwareDialog::Outcome::Failed,
             tr("Ошибка обновления прошивки. Перезагрузите устройство и повторите обновление.") +
                 (failure.isEmpty() ? QString() : QLatin1Char('\n') + failure));
        endUpdate();
        window->setGlobalState(Ready);
        return true;
    case ApplyingFirmware:
        window->ui->progressBar->setValue(0);
        if (dialog)
            dialog->setStep(FirmwareDialog::Step::Check);
        return true;
    default:
        return false;
    }
}
