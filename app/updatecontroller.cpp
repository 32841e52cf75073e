#include "updatecontroller.h"

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "appinfo.h"
#include "configcontroller.h"
#include "apppaths.h"
#include "connectionstates.h"
#include "db_worker.h"
#include "net.h"
#include "updateunpacker.h"
#include "userprompts.h"

#include <QDebug>
#include <QDir>
#include <QProgressBar>
#include <QStandardPaths>
#include <QUrl>

#include <utility>

UpdateController::UpdateController(MainWindow *window)
    : QObject(window)
    , window(window)
{
    Ui::MainWindow *ui = window->ui;
    net = new Net(this);
    connect(net, &Net::fwIsUpToDate, this, &UpdateController::fwSetUpdated);
    connect(net, &Net::fwDownloaded, this, &UpdateController::fwDownloaded);
    connect(net, &Net::swIsUpToDate, this, &UpdateController::swSetUpdated);
    connect(net, &Net::swDownloaded, this, &UpdateController::swDownloaded);
    connect(net, &Net::availableSw, this, &UpdateController::swUpdated);
    connect(net, &Net::updaterFinished, this, &UpdateController::updaterFinished);
    // Only a configurator download reports progress.
    connect(net, &Net::updateProgress, ui->progressBar, &QProgressBar::setValue);
    connect(net, &Net::setMaxProgress, ui->progressBar, &QProgressBar::setMaximum);
    connect(ui->checkUpdatesButton, &QToolButton::clicked, this, &UpdateController::checkUpdates);
}

void UpdateController::startUpdater()
{
    modelQueue = window->dbWorker->getDevNameList().keys();
    checkNextModel();
}

void UpdateController::checkUpdates()
{
    window->firmware->setCheckResult(FirmwareController::Check::Unknown);
    swCheckResult = Check::Unknown;
    manualUpdateCheck = true;
    window->showStatusLine(window->statusPict,
                           QT_TRANSLATE_NOOP("MainWindow", "Ожидание ответа от сервера"));
    startUpdater();
}

void UpdateController::checkNextModel()
{
    window->ui->checkUpdatesButton->setEnabled(false);
    if (modelQueue.isEmpty()) { // every model checked: the configurator is next
        checkConfiguratorVersion();
        return;
    }
    const QString model = modelQueue.takeLast();
    if (manualUpdateCheck)
        window->showStatusLine(window->statusPict,
                               QT_TRANSLATE_NOOP("MainWindow", "Запрос и загрузка новой прошивки"));
    net->checkUpdates(window->firmware->localLastFw(model), model, true);
}

void UpdateController::fwDownloaded()
{
    checkNextModel();
}

void UpdateController::fwSetUpdated()
{
    if (modelQueue.isEmpty())
        window->firmware->setCheckResult(FirmwareController::Check::UpToDate);
    checkNextModel();
}

void UpdateController::checkConfiguratorVersion()
{
    if (manualUpdateCheck)
        window->showStatusLine(window->statusPict,
                               QT_TRANSLATE_NOOP("MainWindow", "Запрос обновлений конфигуратора"));
    net->checkUpdates(AppInfo::version(), window->shownKey(), false);
}

void UpdateController::swSetUpdated()
{
    swCheckResult = Check::UpToDate;
}

void UpdateController::swUpdated(QString newVer, qlonglong swFsize, QString swFileName)
{
    swCheckResult = Check::NewerAvailable;
    offeredVersion = newVer;
    // The version comes from the server: escaped, so it cannot add markup or a link.
    const QString changes = QLatin1String(AppInfo::helpWebAddress) + QStringLiteral("/?dev_type=") +
                            QString::fromLatin1(QUrl::toPercentEncoding(window->shownModel())) +
                            QStringLiteral("v2#history_open");
    QString text = tr("Доступно обновление конфигуратора v") + newVer.toHtmlEscaped() +
                   QStringLiteral("&nbsp;<A HREF='") + changes.toHtmlEscaped() +
                   QStringLiteral("'>") + tr("Список изменений") + QStringLiteral("</A>") +
                   tr("<br>Загрузить обновление? (") +
                   QString::number(double(swFsize) / 1048576.0, 'f', 1) + QStringLiteral("MB)");
    // An installed program, or a folder the user cannot write to, belongs to the package
    // manager: the archive is only fetched, into the user's downloads.
    downloadOnly = !AppPaths::portable() || !UpdateUnpacker::canInstallInto(AppPaths::appDir());
    QString target = AppPaths::filePath(QStringLiteral("updates/update.zip"));
    if (downloadOnly) {
        QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
        if (folder.isEmpty())
            folder = QDir::homePath();
        // The name comes from the server: only its last component, and never "." or "..".
        QString name = QFileInfo(swFileName).fileName();
        if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
            name = QStringLiteral("vexa7xx-configurator-update.zip");
        target = folder + QLatin1Char('/') + name;
        text += tr("<br>Эта установка обновляется менеджером пакетов: архив будет только "
                   "загружен в ") +
                QDir::toNativeSeparators(target).toHtmlEscaped();
    }
    // The server's news arrives in a network slot: the question must not wait there.
    window->prompts->askLater(UserPrompts::Icon::Question, tr("Обновление конфигуратора"), text,
                              UserPrompts::Yes | UserPrompts::No, UserPrompts::NoButton, this,
                              [this, target, swFsize, swFileName](UserPrompts::Button answer) {
                                  if (answer == UserPrompts::Yes)
                                      downloadConfigurator(target, swFsize, swFileName);
                              });
}

void UpdateController::downloadConfigurator(const QString &target, qlonglong swFsize,
                                            const QString &swFileName)
{
    net->setArchivePath(target);
    window->ui->progressBar->setMaximum(100000);
    manualUpdateCheck = true;
    // A firmware transfer under way keeps its own state; the download runs beside it.
    downloadSetState = !window->firmware->isUpdating();
    if (downloadSetState) {
        stateBeforeDownload = window->currentState;
        window->setGlobalState(LinkState::UpdateApp);
    }
    window->ui->checkUpdatesButton->setEnabled(false);
    downloading = true;
    net->reqestDownloadSw(AppInfo::version(), swFsize, swFileName);
}

void UpdateController::endConfiguratorDownload()
{
    window->ui->progressBar->setValue(0);
    if (!downloadSetState)
        return;
    downloadSetState = false;
    // Unless the device went away meanwhile, it is back to where it was.
    if (window->currentState == LinkState::UpdateApp)
        window->setGlobalState(stateBeforeDownload == LinkState::Disconnected
                                   ? LinkState::Disconnected
                                   : LinkState::Ready);
}

void UpdateController::swDownloaded()
{
    // Judged before anything is installed or handed to the package manager: a refused archive
    // is not left behind for anyone to install by hand.
    const QString archive = net->archivePath();
    const UpdateUnpacker::Inspection in = UpdateUnpacker::inspect(archive);
    if (!in.why.isEmpty())
        qDebug().noquote() << "Update archive signature:" << in.why;
    if (in.result != UpdateUnpacker::Result::NotRun) {
        QFile::remove(archive);
        endConfiguratorDownload();
        window->prompts->report(UserPrompts::Icon::Critical, tr("Обновление конфигуратора"),
                                tr("Обновление не установлено, конфигуратор продолжает работу.\n") +
                                    in.error);
        return;
    }
    if (in.decision == UpdateSignature::Decision::Install)
        return installConfigurator(false);
    window->prompts->askLater(
        UserPrompts::Icon::Warning, tr("Обновление конфигуратора"),
        tr("Это обновление не подписано: устанавливайте его, только если доверяете серверу.") +
            QLatin1Char('\n') + tr("Установить обновление?"),
        UserPrompts::Yes | UserPrompts::No, UserPrompts::No, this,
        [this, archive](UserPrompts::Button answer) {
            if (answer == UserPrompts::Yes)
                return installConfigurator(true);
            QFile::remove(archive);
            endConfiguratorDownload();
        });
}

void UpdateController::installConfigurator(bool unsignedApproved)
{
    if (downloadOnly) {
        endConfiguratorDownload();
        window->prompts->report(UserPrompts::Icon::Information, tr("Обновление конфигуратора"),
                                tr("Архив обновления загружен: ") +
                                    QDir::toNativeSeparators(net->archivePath()) +
                                    tr("\nУстановите обновление менеджером пакетов."));
        return;
    }
    // The window closes to install: the user learns so first, and may keep his edits in a
    // file before. (Rich text, the version escaped: it comes from the server.)
    const bool edits = window->config->hasChanges();
    window->prompts->askLater(
        UserPrompts::Icon::Information, tr("Обновление конфигуратора"),
        tr("Конфигуратор закроется, чтобы установить версию %1, и запустится снова.")
                .arg(offeredVersion.toHtmlEscaped()) +
            (edits ? QStringLiteral("<br>") + tr("Есть незаписанные изменения: сохранить их в "
                                                 "файл перед установкой?")
                   : QStringLiteral("<br>")),
        edits ? UserPrompts::Yes | UserPrompts::No | UserPrompts::Cancel
              : UserPrompts::Ok | UserPrompts::Cancel,
        edits ? UserPrompts::Yes : UserPrompts::Ok, this,
        [this, unsignedApproved](UserPrompts::Button answer) {
            if (answer == UserPrompts::Cancel || answer == UserPrompts::NoButton) {
                endConfiguratorDownload();
                return;
            }
            if (answer == UserPrompts::Yes)
                window->config->saveFile();
            startInstaller(unsignedApproved);
        });
}

void UpdateController::startInstaller(bool unsignedApproved)
{
    auto *unpacker = new UpdateUnpacker(this);
    connect(unpacker, &UpdateUnpacker::failed, this, [this, unpacker](const QString &reason) {
        unpacker->deleteLater();
        endConfiguratorDownload();
        window->prompts->report(UserPrompts::Icon::Critical, tr("Обновление конфигуратора"),
                                tr("Обновление не установлено, конфигуратор продолжает работу.\n") +
                                    reason);
    });
    unpacker->setLauncher(launcher);
    unpacker->startUpdate(unsignedApproved);
}

void UpdateController::updaterFinished(int exitCode)
{
    qDebug() << "\n----------------Updater finished---------------- with exit code:" << exitCode
             << "/C:9";
    window->ui->checkUpdatesButton->setEnabled(true);
    // A failed step ends the whole check: the rest of the queue waits for the next one.
    if (exitCode != 0) {
        modelQueue.clear();
        endConfiguratorDownload();
    }
    // The store is looked at before the outcome is told: a firmware just downloaded for the
    // connected device makes "everything is current" untrue.
    const bool checkEnded = window->currentState != LinkState::Disconnected && modelQueue.isEmpty();
    if (checkEnded)
        window->firmware->availableNewFw();
    // After a download, what the check found has been said already: a finished download goes
    // on to its installation without another box.
    const bool afterDownload = std::exchange(downloading, false);
    if (manualUpdateCheck) {
        switch (exitCode) {
        case 0:
            if (afterDownload)
                break;
            if (window->firmware->checkResult() == FirmwareController::Check::UpToDate &&
                swCheckResult == Check::UpToDate) {
                manualUpdateCheck = false;
                window->prompts->report(
                    UserPrompts::Icon::Information, tr("Проверка обновлений"),
                    tr("Вы используете актуальную версию конфигуратора и прошивки "
                       "устройства"));
            } else if (window->firmware->checkResult() ==
                       FirmwareController::Check::NewerAvailable) {
                manualUpdateCheck = false;
                window->prompts->report(UserPrompts::Icon::Information, tr("Проверка обновлений"),
                                        swCheckResult == Check::NewerAvailable
                                            ? tr("Доступна новая версия прошивки и новая версия "
                                                 "конфигуратора")
                                            : tr("Доступна новая версия прошивки"));
            }
            break;
        case 1:
            manualUpdateCheck = false;
            window->prompts->report(UserPrompts::Icon::Warning, tr("Проверка обновлений"),
                                    tr("Сервер обновлений недоступен"));
            window->showStatusLine(window->statusPict,
                                   QT_TRANSLATE_NOOP("MainWindow", "Сервер обновлений недоступен"));
            break;
        default:
            manualUpdateCheck = false;
            // A firmware refused for its signature is no exchange fault: the user learns why.
            window->prompts->report(
                UserPrompts::Icon::Critical, tr("Проверка обновлений"),
                net->lastRefusal() != UpdateSignature::Refusal::None
                    ? tr("Прошивка с сервера обновлений отклонена: %1. Ничего не сохранено.")
                          .arg(UpdateUnpacker::refusalText(net->lastRefusal()))
                    : tr("Ошибка обмена данными с сервером"));
            break;
        }
    }
    if (checkEnded && exitCode == 0) // the check's texts give way to the device's state again
        window->showStateLine(window->currentState);
    if (window->currentState == LinkState::Disconnected)
        window->showStatusLine(window->statusPict,
                               QT_TRANSLATE_NOOP("MainWindow", "Ожидание подключения устройства"));
}
