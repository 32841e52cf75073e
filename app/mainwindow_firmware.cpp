// MainWindow: the local firmware store, the offer of a newer firmware and the update itself,
// which FileTransfer carries out.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "appinfo.h"
#include "db_worker.h"
#include "deviceinterface.h"
#include "firmwarestore.h"
#include "naturalcompare.h"
#include "userprompts.h"

#include <QDebug>
#include <QProgressBar>
#include <QUrl>
#include <QWhatsThis>

void MainWindow::createFirmwareTransfer()
{
    transfer = new FileTransfer(link, this);
    connect(this, &MainWindow::getFileInfo, transfer, &FileTransfer::getFileInfo);
    connect(transfer, &FileTransfer::changeDeviceStatus, this, &MainWindow::setGlobalState);
    connect(transfer, &FileTransfer::setProgress, ui->progressBar, &QProgressBar::setMaximum);
    connect(transfer, &FileTransfer::setProgressValue, ui->progressBar, &QProgressBar::setValue);
    connect(transfer, &FileTransfer::transferFailed, this, &MainWindow::firmwareTransferFailed);
}

QString MainWindow::getLocalLastFw(QString devID)
{
    qDebug().noquote() << "Search available firmware with DevID: " << devID;
    const int id = dbWorker->getIdByName(devID);
    firmwareMap = FirmwareStore::scan(FirmwareStore::folder(), id);
    const QString newest = FirmwareStore::newest(firmwareMap);
    if (firmwareMap.isEmpty())
        qDebug() << "Local firmware not found";
    else
        qDebug().noquote() << "Local actual FW: " << newest;
    return newest;
}

void MainWindow::availableNewFw()
{
    qDebug() << "Check available new FW..."
             << "/C:14";
    const QString local = getLocalLastFw(deviceKey);
    if (naturalCompare(local, currentFwVer) > 0) {
        ui->updateFwButton->setEnabled(true);
        ui->updateFwButton->setToolTip(tr("Обновить прошивку устройства до версии ") + local);
        newFwAvailable = true;
        fwCheckResult = FwCheck::NewerAvailable;
        if (isActiveWindow())
            QWhatsThis::showText(pos() + QPoint(width() - 170, 50),
                                 tr("<font color=blue>Доступно обновление прошивки версии "
                                    "</font><b>") +
                                     local.toHtmlEscaped() + QStringLiteral("</b>"),
                                 this);
    } else {
        ui->updateFwButton->setEnabled(false);
        ui->updateFwButton->setToolTip(
            tr("Обновление прошивки недоступно: в папке firmware нет более новой прошивки для "
               "этого устройства"));
        newFwAvailable = false;
        fwCheckResult = FwCheck::UpToDate;
    }
}

void MainWindow::startUpdateFirmware()
{
    const QString version = getLocalLastFw(deviceKey);
    // The designation comes from the device: it goes into the address encoded and into the
    // question escaped, so it cannot add markup or another link.
    const QString changes = QLatin1String(AppInfo::helpWebAddress) + QStringLiteral("/?dev_type=") +
                            QString::fromLatin1(QUrl::toPercentEncoding(devIdByName)) +
                            QStringLiteral("v2#ist");
    const auto answer =
        prompts->ask(UserPrompts::Icon::Question, tr("Обновление прошивки"),
                     tr("Обновить прошивку устройства до версии ") + version.toHtmlEscaped() +
                         QStringLiteral(" ?&nbsp;<A HREF='") + changes.toHtmlEscaped() +
                         QStringLiteral("'>") + tr("Список изменений") + QStringLiteral("</A>") +
                         QStringLiteral("<br>") + deviceLine(currentDevice).toHtmlEscaped(),
                     UserPrompts::Yes | UserPrompts::No);
    if (answer != UserPrompts::Yes) {
        firmwareUpdate = false;
        return;
    }
    firmwareUpdate = true;
    waitEndReadStatus([this, version] {
        // A file that cannot be flashed is refused here, before the device is touched.
        const FileTransfer::Error refused =
            transfer->loadFirmwareFile(version, firmwareMap.value(version));
        if (refused != FileTransfer::Error::None) {
            firmwareTransferFailed(refused, transfer->refusalReason());
            return;
        }
        link->setFirmwareUpdate(true);
        setGlobalState(LinkState::UpdateApp);
        emit getFileInfo();
    });
}

QString MainWindow::firmwareErrorText(FileTransfer::Error error)
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
    }
    return QString();
}

void MainWindow::firmwareTransferFailed(FileTransfer::Error error, const QString &reason)
{
    qWarning().noquote() << "Firmware update failed:" << reason;
    firmwareFailure = firmwareErrorText(error);
    switch (error) {
    case FileTransfer::Error::BlocksRejected:
    case FileTransfer::Error::CheckFailed:
    case FileTransfer::Error::CheckUnknown:
    case FileTransfer::Error::CreateRefused:
    case FileTransfer::Error::RebootRefused:
        break; // state 18 follows and tells it
    case FileTransfer::Error::LinkLost:
        // The link's own state says what happened to the device.
        firmwareUpdate = false;
        link->setFirmwareUpdate(false);
        ui->progressBar->setValue(0);
        break;
    default:
        // Refused before anything was sent: the device is as it was.
        firmwareUpdate = false;
        link->setFirmwareUpdate(false);
        ui->progressBar->setValue(0);
        prompts->report(UserPrompts::Icon::Critical, tr("Обновление прошивки"), firmwareFailure);
        // Ready again also restarts the status polling the update had stopped.
        if (currentState != LinkState::Disconnected)
            setGlobalState(LinkState::Ready);
        break;
    }
}
