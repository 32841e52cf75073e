#pragma once

#include "firmwarecontroller.h"
#include "updateunpacker.h"

#include <QObject>
#include <QStringList>

class MainWindow;
class Net;

// The update check behind the window's button and at start-up: every model's firmware into the
// local store, then the configurator itself, whose archive Net fetches and UpdateUnpacker
// installs (or, for an installed program, only fetches).
class UpdateController : public QObject
{
    Q_OBJECT
public:
    // What a check found out, as for the device's firmware.
    using Check = FirmwareController::Check;

    explicit UpdateController(MainWindow *window);

    Net *updater() const { return net; }
    // What the last check found out about the configurator.
    Check configuratorCheck() const { return swCheckResult; }
    // How the installation script is started and the program ended: the system's, unless a
    // test keeps its own process running.
    void setLauncher(UpdateUnpacker::Launcher launcher) { this->launcher = std::move(launcher); }

public slots:
    // Quietly at start-up.
    void startUpdater();
    // On the button: the outcome is told.
    void checkUpdates();
    void fwDownloaded();
    void fwSetUpdated();
    void swSetUpdated();
    void swUpdated(QString newVer, qlonglong swFsize, QString swFileName);
    void swDownloaded();
    void updaterFinished(int exitCode);

private:
    void checkNextModel();
    void checkConfiguratorVersion();
    void endConfiguratorDownload();
    // Fetches the configurator's update into target once the user has said yes.
    void downloadConfigurator(const QString &target, qlonglong swFsize, const QString &swFileName);
    // Installs the downloaded archive (or, for a packaged installation, says where it is);
    // unsignedApproved: the user said yes to an archive no trusted key signed.
    void installConfigurator(bool unsignedApproved);
    // Unpacks and starts the installation; the program ends when it runs.
    void startInstaller(bool unsignedApproved);

    MainWindow *window;
    Net *net = nullptr;
    QStringList modelQueue;         // models whose firmware is still to check, the last one next
    bool manualUpdateCheck = false; // asked for by the user: the outcome is shown
    Check swCheckResult = Check::Unknown;
    QString offeredVersion;        // of the configurator, as the server offered it
    bool downloading = false;      // the exchange under way is the configurator's download
    bool downloadOnly = false;     // the archive is only fetched, not installed
    bool downloadSetState = false; // the download put the window into its update state
    int stateBeforeDownload = 0;
    UpdateUnpacker::Launcher launcher = UpdateUnpacker::Launcher::system();
};
