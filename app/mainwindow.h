#pragma once

#include "deviceidentity.h"
#include "firmwarecontroller.h"
#include "linkstate.h"
#include "netinfoparams.h"
#include "pendingchanges.h"
#include "statuspoller.h"
#include "statusrecords.h"

#include <QBuffer>
#include <QDateTime>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMap>
#include <QModelIndex>
#include <QPoint>
#include <QPointer>
#include <QSet>
#include <QTranslator>
#include <ctime>
#include <functional>
#include <memory>

class AuthenticationController;
class ClockController;
class ConfigEditor;
class ConsolePage;
class ConfigExchange;
class DB_Worker;
class DeviceInterface;
class DeviceSession;
class HotplugMonitor;
class PortEnumerator;
class QTimer;
class RelayController;
class SelectDeviceForm;
class StatusCalc;
class StatusPanel;
class TimeParamsForm;
class SettingsForm;
class UpdateController;
class UserPrompts;

namespace Ui {
class MainWindow;
}
class Net;

// The configurator's one window and the hub of the program: it owns the connection state, the
// device database accessor, the dialogs and timers, and routes work to the device link.
class MainWindow : public QMainWindow
{
    Q_OBJECT
    // The update check, the firmware update, the relay and remote pages and the password
    // question show themselves in the window's status line, buttons and state.
    friend class UpdateController;
    friend class FirmwareController;
    friend class RelayController;
    friend class AuthenticationController;

public:
    static constexpr int statusTimerIntervalMs = StatusPoller::intervalMs;
    static constexpr int firstEnumerationDelayMs = 100;
    static constexpr int hotplugSearchDelayMs = 1500;
    static constexpr int hotplugRepeatDelayMs = 300;
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
    DeviceInterface *deviceLink() const { return link; }
    DeviceSession *deviceSession() const { return session; }
    ConsolePage *consolePage() const { return console; }
    // What the editor shows (the device's values with the edits over them), and the edits.
    QDomDocument fullConfiguration() const { return pending.configuration(); }
    QDomDocument pendingChanges() const { return pending.document(); }
    // The device the window talks to (how it is reached included).
    const DeviceIdentity &connectedDevice() const { return currentDevice; }
    // The status requests polled for the identified firmware (tests set their own).
    void setStatusCommandList(const QList<int> &codes);
    StatusPoller *statusPoller() const { return poller; }
    // Stops the status chain and runs command once the pass in flight has ended (at once when
    // none is), or after waitStatusEndMs when its answer does not come.
    void waitEndReadStatus(std::function<void()> command);
    // Whether the store holds a newer firmware for the connected device (also for the updater).
    using FwCheck = FirmwareController::Check;
    FwCheck firmwareCheckResult() const { return firmware->checkResult(); }
    FileTransfer *firmwareTransfer() const { return firmware->transfer(); }
    FirmwareController *firmwareController() const { return firmware; }
    RelayController *relayController() const { return relay; }
    AuthenticationController *authenticationController() const { return authentication; }
    Net *updater() const;
    // Records an edit: pending while the value differs from the device's.
    void replaceElement(const QString &name, const QList<QPair<QString, QString>> &attrs);
    // Folders whose changes count as device plug events (the folder of an explicit port).
    void watchFolderForDevices(const QString &folder);

signals:
    void closeDebugLog();
    void deleteDebugLog();
    void readyStatus();
    void enumerateDevices();
    void sendTerminalCommand(QString);
    void startReadConfiguration();
    void startWriteConfiguration(QBuffer *);
    void disconnectDevice();
    void rebootDev();
    void getFileInfo();
    void getNetQuality();
    void sendExtraordinaryPack();
    void setDevDateTime(time_t, quint16);
    void getNetJoin();
    void updateNetInfoParams(NET_INFO_PARAMS params);
    // For the information views: what the status answers carried.
    void confirmStatusesChanged(QString lastPacket, QString connectionTest);
    void timeOnAirChanged(quint32 ms);
    void netTimesChanged(NET_TIME_STAT times);

public slots:
    void changeLanguage(QString langCode);
    void setGlobalState(int state);
    void displayDeviceStatus(uchar stat, QString statStr);
    void aboutShow();
    void settingShow();
    void changeStatusTimerState(bool state);
    void statusTimerTimeout();
    void updateMainNetStatus(NET_MAIN_STAT stat);
    void updateQualityStatus(NET_QUALITY_STAT stat);
    void updateLastSendStatus(NET_LAST_SEND_STAT stat);
    void updateNetTimesStatus(NET_TIME_STAT stat);
    void updateBatStatus(DEV_BAT_STAT stat);
    void updateAdcStatus(DEV_ADC_VALUES stat);
    void updateInputsParamsStatus(DEV_INPUT_PARAMS stat);
    void updateDateTime(time_t _date_time, ushort _sub_seconds, uchar _source);
    void setNetLevel(int level);
    void showTimeParamsForm();
    void showNetInfoForm();
    void runStatusCalc();
    void runStatusCalc(QString value);
    void updateStatusCode();
    void updateStatusMask(quint32 mask);
    void statusCalcClosed();
    void on_getStatusManualButton_clicked();
    void on_reRegisterButton_clicked();
    void on_sendExtraordinaryPackButton_clicked();
    void on_setDateTimeButton_clicked();
    void getStatusInfo();
    void refreshDeviceList();
    void reloadDevice();
    void reloadConfirm();
    void eraseMemory();
    // The remote-configuration button (the work is RelayController's).
    void startRemoteConfig();
    void hideRefreshButton(bool hide);
    void showDeviceList(QStringList devices);
    void selectDevFormClosed();
    void cancelSelectDevice();
    void readConfig();
    void writeConfig();
    void readXmlBuffer(QBuffer *xmlBuffer);
    // The write ended: on success the changes sent are no longer pending.
    void writeFinished(bool ok);
    // Firmware: the offer of a newer one from the store (the work is FirmwareController's).
    void availableNewFw();
    void openFileSlot();
    void saveFileSlot();
    void itemSelected(QModelIndex index);
    void showConsolePage();
    void clearLabels();
    void clearInfoLabels();
    void printToTerminal(QString text);
    // The console page (the work is ConsolePage's).
    void on_sendCommand_clicked();
    void on_debugModeButton_clicked();
    void setTerminalDebugMode(bool flag);
    void helpShow();
    // The configuration editor's work, done by ConfigEditor.
    void updateGui(QDomNode node);
    void changeConfig(int numberParam);
    void recalcTimings();
    void setInputValidations();
    void on_viewEditFreqpushButton_clicked();
    void showFreqForm();
    void updateFreqList(QList<QPair<int, QString>> frequencyList, QString _rx2Freq, QString _rx2Dr);
    // A device node came or went: search again once the notices have stopped.
    void deviceNodesChanged();

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
    // Status line from an untranslated source text, so a language change can redo it.
    void showStatusLine(uchar stat, const char *sourceText);
    // A note on the status line that the status passes leave standing for statusNoteMs.
    void showStatusNote(const QString &text);
    // The main controls of ConnectionStates::Control bits.
    void setControlsEnabled(unsigned controls, bool enabled);
    // What a state does besides its status line and controls.
    void applyStateEffects(int state);
    void showFirstPage();
    // Tells which fields hold what cannot be written; true when there are any.
    bool invalidInputRefused();
    // Hands the pending changes to the link; false when the buffer cannot be written.
    bool writePendingChanges();
    // What the last write put on the device and what stays pending, for the error boxes.
    QString writeReportText() const;
    // After a write (when the setting asks for it): the user is told how the device's values
    // read again after its reboot compare with what it acknowledged.
    void verifyWrite();
    // Shows what waits to be written: marked fields and pages, the count on the write button.
    void refreshPendingMarks();
    // The pending changes as "label: device value → new value" lines.
    QStringList pendingChangeLines() const;
    // Takes an opened file's values (keys and identity already removed) into the documents.
    void applyConfigFile(const QDomDocument &loaded);
    // A device was identified: its model's pages and firmware are shown; edits made for
    // another device are put aside and the user is asked what becomes of them; edits kept for
    // this one come back.
    void deviceIdentified(const DeviceIdentity &identity);
    // Shows the model's pages and the identity: of the device, or of a file opened without
    // one. group: the firmware group of devices.db (empty: the firmware is not supported).
    void showDevice(const DeviceIdentity &identity, const QString &group);
    // The designation ("750") and the device database's key ("760_1") of the model shown;
    // empty when none is.
    QString shownModel() const;
    QString shownKey() const;
    void askAboutForeignChanges();
    // The editor shows the pending edits over what it shows now.
    void showPendingInEditor();
    // "Device: model, serial number, DevEUI" (and the path when not the cable), for every box
    // that confirms work on a device.
    QString deviceLine(const DeviceIdentity &device) const;
    // The title bar with the identified device, or the bare program name.
    void showDeviceTitle();
    // Status.
    void connectStatusPanel();
    QDateTime applicationTime() const;
    // Pages and identification.
    // Replaces each empty page of the window's form with the model page of the same name.
    void installPages(const QList<QPair<QWidget *, QWidget *>> &shellsAndPages);
    void fillCodeTables();
    // The status line of a state (none for states that keep the line they find).
    void showStateLine(int state);

    Ui::MainWindow *ui;
    std::unique_ptr<UserPrompts> ownPrompts;
    UserPrompts *prompts = nullptr;
    QTranslator translator;
    QString langCode;
    bool startFailed = false;

    DB_Worker *dbWorker = nullptr;
    DeviceSession *session = nullptr;
    DeviceInterface *link = nullptr;
    ConfigExchange *exchange = nullptr;
    FirmwareController *firmware = nullptr;
    RelayController *relay = nullptr;
    AuthenticationController *authentication = nullptr;
    ClockController *clock = nullptr;
    TimeParamsForm *timeParamsForm = nullptr;
    QPointer<StatusCalc> statusCalc;
    quint32 statusEventMask = 0;
    QString deviceStatusCode; // the last status word, 8 hex digits
    HotplugMonitor *hotplug = nullptr;
    SettingsForm *settingsForm = nullptr;
    QPointer<SelectDeviceForm> selectForm;
    StatusPanel *statusPanel = nullptr;
    ConfigEditor *editor = nullptr;
    ConsolePage *console = nullptr;

    StatusPoller *poller = nullptr;
    QTimer *enumerationTimer = nullptr;
    QElapsedTimer hotplugBurst; // since the first plug notice of the burst still to be searched

    // The changes still to write, for the device they were made for; those of other devices
    // the user chose to keep, and those waiting for his choice.
    PendingChanges pending;
    QList<PendingChanges> keptChanges;
    QList<PendingChanges> foreignChanges;
    bool foreignQuestionOpen = false; // one question about them at a time
    DeviceIdentity currentDevice;
    int rowBeforeReboot = -1; // the page shown when the device went to reboot

    // Connection state and flags.
    int currentState = 0;
    bool readyFlag = false;
    bool busyFlag = false;
    UpdateController *updates = nullptr;
    bool closeAfterReboot = false;
    bool manualExtraPack = false;
    bool hideRefresh = false;
    bool identified = false;

    // The model and firmware the pages are for: the device's, or a file's without a device.
    DeviceIdentity shown{QStringLiteral("255.255.255"), 0, QString(), QString()};

    uchar statusPict = 0;
    const char *statusSource = nullptr;
    qint64 statusNoteUntilMs = -1; // on the application clock's monotonic timer
};
