#pragma once

#include "apptranslators.h"
#include "deviceidentity.h"
#include "firmwarecontroller.h"
#include "statuspoller.h"

#include <QDomDocument>
#include <QMainWindow>
#include <QModelIndex>
#include <QPointer>
#include <functional>
#include <memory>

class AuthenticationController;
class ChosenPortEnumerator;
class ClockController;
class ConfigController;
class ConfigEditor;
class ConsolePage;
class ConfigExchange;
class DB_Worker;
class DeviceInterface;
class DeviceSession;
class HistoryController;
class HotplugController;
class PageController;
class PortEnumerator;
class RelayController;
class StatusController;
class StatusPanel;
class SettingsForm;
class UpdateController;
class UserPrompts;

namespace Ui {
class MainWindow;
}
class Net;

// The configurator's one window: the widgets, dialogs, language and the table of connection
// states. The device conversation is the session's; the configuration, the status panel, the
// firmware, the relay and remote pages, updates and the password have controllers of their
// own, which show themselves in the window's status line, buttons and state.
class MainWindow : public QMainWindow
{
    Q_OBJECT
    friend class UpdateController;
    friend class FirmwareController;
    friend class RelayController;
    friend class AuthenticationController;
    friend class ConfigController;
    friend class StatusController;
    friend class PageController;
    friend class HistoryController;

public:
    static constexpr int statusTimerIntervalMs = StatusPoller::intervalMs;
    static constexpr int rebootBoxMs = 7000;
    static constexpr int waitStatusEndMs = StatusPoller::waitPassEndMs;
    // How long the result of an extraordinary packet the user sent stays on the status line.
    static constexpr int extraPackResultMs = 1000;
    // How long a note (where a file was saved) stays on the status line.
    static constexpr int statusNoteMs = 6000;

    // prompts: where questions and error boxes go (the message boxes when null).
    // enumerator: where the port search looks (the system's serial ports when null).
    explicit MainWindow(UserPrompts *prompts = nullptr, PortEnumerator *enumerator = nullptr,
                        QWidget *parent = nullptr);
    ~MainWindow() override;

    // True when the program must not start (the device database is missing or damaged); the
    // user has been told and the caller ends the process with exit code 0.
    bool startupFailed() const { return startFailed; }

    QString currentLanguage() const { return langCode; }
    int globalState() const { return currentState; }
    // An exchange is running: a port search waits for its end.
    bool isBusy() const { return busyFlag; }
    DeviceSession *deviceSession() const { return session; }
    DeviceInterface *deviceLink() const { return link; }
    ConsolePage *consolePage() const { return console; }
    ConfigController *configController() const { return config; }
    StatusController *statusController() const { return status; }
    HotplugController *hotplugController() const { return hotplug; }
    PageController *pageController() const { return pages; }
    ChosenPortEnumerator *portChoice() const { return chosenPorts.get(); }
    StatusPoller *statusPoller() const { return poller; }
    // The device the window talks to (how it is reached included).
    const DeviceIdentity &connectedDevice() const { return currentDevice; }
    // Stops the status chain and runs command once the pass in flight has ended (at once when
    // none is), or after waitStatusEndMs when its answer does not come.
    void waitEndReadStatus(std::function<void()> command);
    // Whether the store holds a newer firmware for the connected device (also for the updater).
    using FwCheck = FirmwareController::Check;
    FwCheck firmwareCheckResult() const { return firmware->checkResult(); }
    FirmwareController *firmwareController() const { return firmware; }
    RelayController *relayController() const { return relay; }
    AuthenticationController *authenticationController() const { return authentication; }
    Net *updater() const;
    UpdateController *updateController() const { return updates; }
    HistoryController *historyController() const { return history; }
    // "Device: model, serial number, DevEUI" (and the path when not the cable), for every box
    // that confirms work on a device.
    QString deviceLine(const DeviceIdentity &device) const;

signals:
    void closeDebugLog();
    void deleteDebugLog();
    void readyStatus();
    void enumerateDevices();
    void disconnectDevice();
    void rebootDev();
    void getFileInfo();

public slots:
    void changeLanguage(QString langCode);
    void setGlobalState(int state);
    void aboutShow();
    void refreshDeviceList();
    void reloadDevice();
    void reloadConfirm();
    void eraseMemory();
    void hideRefreshButton(bool hide);
    void showDeviceList(QStringList devices);
    void readConfig();
    void itemSelected(QModelIndex index);
    void on_debugModeButton_clicked();
    void helpShow();
    // The built-in user guide (F1).
    void showGuide();
    // The configuration editor's work, done by ConfigEditor.
    void updateGui(QDomNode node);
    void on_viewEditFreqpushButton_clicked();

private slots:
    void on_closeMainWindow_clicked();
    void on_minimizeButton_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray &eventType, void *message, long *result) override;
#endif

private:
    void applyLanguage(const QString &code);
    void createDeviceLink(PortEnumerator *enumerator);
    void createToolButtons();
    void displayDeviceStatus(uchar stat, const QString &text);
    // Status line from an untranslated source text, so a language change can redo it.
    void showStatusLine(uchar stat, const char *sourceText);
    // A note on the status line that the status passes leave standing for statusNoteMs.
    void showStatusNote(const QString &text);
    // The main controls of ConnectionStates::Control bits.
    void setControlsEnabled(unsigned controls, bool enabled);
    // What a state does besides its status line and controls.
    void applyStateEffects(int state);
    // A device was identified: its model's pages and firmware are shown, and the
    // configuration takes it (edits made for another device are asked about).
    void deviceIdentified(const DeviceIdentity &identity);
    // The session read the device (or read it back after a write): the editor shows it.
    void configurationRead(const QDomDocument &doc);
    // Shows the model's pages and the identity: of the device, or of a file opened without
    // one. group: the firmware group of devices.db (empty: the firmware is not supported).
    void showDevice(const DeviceIdentity &identity, const QString &group);
    // The designation ("750") and the device database's key ("760_1") of the model shown;
    // empty when none is.
    QString shownModel() const;
    QString shownKey() const;
    // The title bar with the identified device, or the bare program name.
    void showDeviceTitle();
    // Replaces each empty page of the window's form with the model page of the same name.
    void installPages(const QList<QPair<QWidget *, QWidget *>> &shellsAndPages);
    void fillCodeTables();
    // The status line of a state (none for states that keep the line they find).
    void showStateLine(int state);
    void setInputValidations();
    void clearLabels();
    void clearInfoLabels();

    Ui::MainWindow *ui;
    std::unique_ptr<UserPrompts> ownPrompts;
    UserPrompts *prompts = nullptr;
    AppTranslators translators;
    QString langCode;
    bool startFailed = false;

    DB_Worker *dbWorker = nullptr;
    DeviceSession *session = nullptr;
    DeviceInterface *link = nullptr;
    ConfigExchange *exchange = nullptr;
    ConfigController *config = nullptr;
    StatusController *status = nullptr;
    StatusPoller *poller = nullptr;
    FirmwareController *firmware = nullptr;
    RelayController *relay = nullptr;
    AuthenticationController *authentication = nullptr;
    UpdateController *updates = nullptr;
    ClockController *clock = nullptr;
    HistoryController *history = nullptr;
    HotplugController *hotplug = nullptr;
    PageController *pages = nullptr;
    SettingsForm *settingsForm = nullptr;
    std::unique_ptr<ChosenPortEnumerator> chosenPorts; // the ports searched, or the user's one
    StatusPanel *statusPanel = nullptr;
    ConfigEditor *editor = nullptr;
    ConsolePage *console = nullptr;

    DeviceIdentity currentDevice;

    // Connection state and flags.
    int currentState = 0;
    bool readyFlag = false;
    bool busyFlag = false;
    bool closeAfterReboot = false;
    bool hideRefresh = false;
    bool identified = false;

    // The model and firmware the pages are for: the device's, or a file's without a device.
    DeviceIdentity shown{QStringLiteral("255.255.255"), 0, QString(), QString()};

    uchar statusPict = 0;
    const char *statusSource = nullptr;
    qint64 statusNoteUntilMs = -1; // on the application clock's monotonic timer
};
