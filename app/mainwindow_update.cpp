// MainWindow: the update check (firmware of every model into the store, then the configurator)
// and the configurator update, which Net fetches and UpdateUnpacker installs.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "appinfo.h"
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

void MainWindow::createUpdater()
{
    net = new Net(this);
    connect(net, &Net::fwIsUpToDate, this, &MainWindow::fwSetUpdated);
    connect(net, &Net::fwDownloaded, this, &MainWindow::fwDownloaded);
    connect(net, &Net::swIsUpToDate, this, &MainWindow::swSetUpdated);
    connect(net, &Net::swDownloaded, this, &MainWindow::swDownloaded);
    connect(net, &Net::availableSw, this, &MainWindow::swUpdated);
    connect(net, &Net::updaterFinished, this, &MainWindow::updaterFinished);
    // Only a configurator download reports progress.
    connect(net, &Net::updateProgress, ui->progressBar, &QProgressBar::setValue);
    connect(net, &Net::setMaxProgress, ui->progressBar, &QProgressBar::setMaximum);
    connect(ui->checkUpdatesButton, &QToolButton::clicked, this, &MainWindow::checkUpdates);
}

void MainWindow::startUpdater()
{
    modelQueue = dbWorker->getDevNameList().keys();
    checkNextModel();
}

void MainWindow::checkUpdates()
{
    fwCheckResult = FwCheck::Unknown;
    swCheckResult = SwCheck::Unknown;
    manualUpdateCheck = true;
    showStatusLine(statusPict, QT_TR_NOOP("Ожидание ответа от сервера"));
    startUpdater();
}

void MainWindow::checkNextModel()
{
    ui->checkUpdatesButton->setEnabled(false);
    if (modelQueue.isEmpty()) { // every model checked: the configurator is next
        checkConfiguratorVersion();
        return;
    }
    const QString model = modelQueue.takeLast();
    if (manualUpdateCheck)
        showStatusLine(statusPict, QT_TR_NOOP("Запрос и загрузка новой прошивки"));
    net->checkUpdates(getLocalLastFw(model), model, true);
}

void MainWindow::fwDownloaded()
{
    checkNextModel();
}

void MainWindow::fwSetUpdated()
{
    if (modelQueue.isEmpty())
        fwCheckResult = FwCheck::UpToDate;
    checkNextModel();
}

void MainWindow::checkConfiguratorVersion()
{
    if (manualUpdateCheck)
        showStatusLine(statusPict, QT_TR_NOOP("Запрос обновлений конфигуратора"));
    net->checkUpdates(AppInfo::version(), deviceKey, false);
}

void MainWindow::swSetUpdated()
{
    swCheckResult = SwCheck::UpToDate;
}

void MainWindow::swUpdated(QString newVer, qlonglong swFsize, QString swFileName)
{
    swCheckResult = SwCheck::NewerAvailable;
    // The version comes from the server: escaped, so it cannot add markup or a link.
    const QString changes = QLatin1String(AppInfo::helpWebAddress) + QStringLiteral("/?dev_type=") +
                            QString::fromLatin1(QUrl::toPercentEncoding(devIdByName)) +
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
    prompts->askLater(UserPrompts::Icon::Question, tr("Обновление конфигуратора"), text,
                      UserPrompts::Yes | UserPrompts::No, UserPrompts::NoButton, this,
                      [this, target, swFsize, swFileName](UserPrompts::Button answer) {
                          if (answer == UserPrompts::Yes)
                              downloadConfigurator(target, swFsize, swFileName);
                      });
}

void MainWindow::downloadConfigurator(const QString &target, qlonglong swFsize,
                                      const QString &swFileName)
{
    net->setArchivePath(target);
    ui->progressBar->setMaximum(100000);
    manualUpdateCheck = true;
    // A firmware transfer under way keeps its own state; the download runs beside it.
    downloadSetState = !firmwareUpdate;
    if (downloadSetState) {
        stateBeforeDownload = currentState;
        setGlobalState(LinkState::UpdateApp);
    }
    ui->checkUpdatesButton->setEnabled(false);
    downloading = true;
    net->reqestDownloadSw(AppInfo::version(), swFsize, swFileName);
}

void MainWindow::endConfiguratorDownload()
{
    ui->progressBar->setValue(0);
    if (!downloadSetState)
        return;
    downloadSetState = false;
    // Unless the device went away meanwhile, it is back to where it was.
    if (currentState == LinkState::UpdateApp)
        setGlobalState(stateBeforeDownload == LinkState::Disconnected ? LinkState::Disconnected
                                                                      : LinkState::Ready);
}

void MainWindow::swDownloaded()
{
    if (downloadOnly) {
        endConfiguratorDownload();
        prompts->report(UserPrompts::Icon::Information, tr("Обновление конфигуратора"),
                        tr("Архив обновления загружен: ") +
                            QDir::toNativeSeparators(net->archivePath()) +
                            tr("\nУстановите обновление менеджером пакетов."));
        return;
    }
    auto *unpacker = new UpdateUnpacker(this);
    connect(unpacker, &UpdateUnpacker::failed, this, [this, unpacker](const QString &reason) {
        unpacker->deleteLater();
        endConfiguratorDownload();
        prompts->report(UserPrompts::Icon::Critical, tr("Обновление конфигуратора"),
                        tr("Обновление не установлено, конфигуратор продолжает работу.\n") +
                            reason);
    });
    unpacker->startUpdate();
}

void MainWindow::updaterFinished(int exitCode)
{
    qDebug() << "\n----------------Updater finished---------------- with exit code:" << exitCode
             << "/C:9";
    ui->checkUpdatesButton->setEnabled(true);
    // A failed step ends the whole check: the rest of the queue waits for the next one.
    if (exitCode != 0) {
        modelQueue.clear();
        endConfiguratorDownload();
    }
    // The store is looked at before the outcome is told: a firmware just downloaded for the
    // connected device makes "everything is current" untrue.
    const bool checkEnded = currentState != LinkState::Disconnected && modelQueue.isEmpty();
    if (checkEnded)
        availableNewFw();
    // After a download, what the check found has been said already: a finished download goes
    // on to its installation without another box.
    const bool afterDownload = std::exchange(downloading, false);
    if (manualUpdateCheck) {
        switch (exitCode) {
        case 0:
            if (afterDownload)
                break;
            if (fwCheckResult == FwCheck::UpToDate && swCheckResult == SwCheck::UpToDate) {
                manualUpdateCheck = false;
                prompts->report(UserPrompts::Icon::Information, tr("Проверка обновлений"),
                                tr("Вы используете актуальную версию конфигуратора и прошивки "
                                   "устройства"));
            } else if (fwCheckResult == FwCheck::NewerAvailable) {
                manualUpdateCheck = false;
                prompts->report(UserPrompts::Icon::Information, tr("Проверка обновлений"),
                                swCheckResult == SwCheck::NewerAvailable
                                    ? tr("Доступна новая версия прошивки и новая версия "
                                         "конфигуратора")
                                    : tr("Доступна новая версия прошивки"));
            }
            break;
        case 1:
            manualUpdateCheck = false;
            prompts->report(UserPrompts::Icon::Warning, tr("Проверка обновлений"),
                            tr("Сервер обновлений недоступен"));
            showStatusLine(statusPict, QT_TR_NOOP("Сервер обновлений недоступен"));
            break;
        default:
            manualUpdateCheck = false;
            prompts->report(UserPrompts::Icon::Critical, tr("Проверка обновлений"),
                            tr("Ошибка обмена данными с сервером"));
            break;
        }
    }
    if (checkEnded && exitCode == 0) // the check's texts give way to the device's state again
        showStateLine(currentState);
    if (currentState == LinkState::Disconnected)
        showStatusLine(statusPict, QT_TR_NOOP("Ожидание подключения устройства"));
}
