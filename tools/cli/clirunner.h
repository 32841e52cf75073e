#pragma once

#include "appsettings.h"
#include "configdocument.h"
#include "filetransfer.h"
#include "provisioner.h"
#include "userprompts.h"

#include <QDomDocument>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTextStream>
#include <memory>

class ConfigExchange;
class DB_Worker;
class DeviceInterface;
class PortEnumerator;
class QBuffer;
class QJsonObject;
class QSocketNotifier;
class QTimer;

// The command-line front end: finds the device, reads or writes its configuration or writes a
// firmware image into it, and ends with an exit code that scripts can rely on (0 only on
// success).
class CliRunner : public QObject, public UserPrompts
{
    Q_OBJECT
public:
    struct Options
    {
        QString command; // list, doctor, info, read, write, flash, console, syslog, provision
        QString port;    // empty: by the USB identifiers
        QString file;    // write: the configuration file; flash: the firmware image
        QString output;  // read: where to put the document (empty: standard output)
        bool json = false;
        bool yes = false;
        bool withKeys = false;
        bool all = false; // write: also the values the device holds already
        // write: after the reboot, read the device again and compare every written value.
        bool verify = false;
        // provision: the batch (its verify is the one above).
        Provisioner::Options provision;
        // Standard error is a terminal: the flash progress is redrawn in place, else a line
        // every 10 %.
        bool progressInPlace = false;
        QString level;  // syslog: the level code (DBG, INF, ...)
        QString source; // syslog: the source code (A, L, ...)
        // Through the remote-configuration server instead of a port (info, read, write).
        QString remoteImei;
        QString remotePassword;
        QString remoteServer; // HOST:PORT; empty: the server of settings.conf
        // info, read, write through the radio relay of the local device to this DevEUI.
        QString relay;
        int session = defaultRelaySession;
        int relayTimeout = defaultRelayTimeout;
    };
    // What the configurator's relay page offers unless changed (the device's units).
    static constexpr int defaultRelaySession = 60;
    static constexpr int defaultRelayTimeout = 3000;

    // After Ctrl+C the stop of the debug output has this long to leave the port.
    static constexpr int stopWriteWaitMs = 2000;
    // After the console's input ends, the answers still awaited may take this long.
    static constexpr int consoleDrainMs = 3000;
    // ... and the console ends once nothing has come for this long.
    static constexpr int consoleQuietMs = 500;

    // Exit codes besides 0 (success), 1 (failure) and 2 (bad usage).
    static constexpr int PartlyApplied = 3;
    // After the firmware reboot: how long the device may take to come back, how often we look
    // for it, and how long a port that does not go away (an adapter between us and the
    // device) is given before the device is asked through it again.
    static constexpr int rebootWaitMs = 60000;
    static constexpr int rebootPollMs = 100;
    static constexpr int portStaysMs = 5000;

    // Parses the arguments (without the program name); false with *error on bad usage.
    static bool parse(const QStringList &args, Options *options, QString *error);
    static QString usage();

    CliRunner(const Options &options, PortEnumerator *enumerator, QTextStream &out,
              QTextStream &err, QObject *parent = nullptr);
    ~CliRunner() override;

    // Starts the command; finished(code) follows.
    void start();
    // Where the console reads its lines (standard input unless set; not closed here).
    void setInputFd(int fd) { inputFd = fd; }
    // Ctrl+C (or SIGTERM), through the event loop: a flash stops cleanly (running it again
    // resumes), syslog switches the device's debug output off and ends once that has left the
    // port, console ends; a second one ends at once. False when the command has nothing to
    // stop cleanly and the signal may end the program as usual.
    bool interrupt();

    // Answers to the user prompts: the command line has no one to ask but standard input.
    Button ask(Icon icon, const QString &title, const QString &text, Buttons buttons,
               Button def) override;
    Button linkPrompt(LinkPrompt which) override;
    void notify(Icon icon, const QString &title, const QString &text, int autoCloseMs) override;
    QString openFileName(const QString &, const QString &) override { return QString(); }
    QString saveFileName(const QString &, const QString &, const QString &) override
    {
        return QString();
    }

signals:
    void finished(int exitCode);

private:
    void fail(const QString &message, int code = 1);
    void succeed();
    void list();
    // provision: its value options at args[*i]; false when a is none of them.
    static bool takeProvisionOption(const QStringList &args, int *i, Options *o, QString *error);
    // doctor (clirunner_doctor.cpp): true when the port can be used.
    void doctor();
    bool doctorPort(const QString &port, const AppSettings::UsbIds &ids);
    void connectDevice();
    void identified(QString fw, QString opt, ushort devId, QString name, QString devEui,
                    QString sn);
    void readDone(QBuffer *buffer);
    // Reads and checks the file to write into fileDoc; false (after failing) when it is refused
    // or holds nothing that could be written.
    bool loadFile();
    void stateChanged(int state);
    // The write stopped before its end: what was written and what was not.
    void writeStopped();
    // Reports a write (or a file with nothing to write) and ends with its exit code.
    void finishWrite();
    void progress(int value);
    bool confirm(const QString &question);
    // The port of the command: given with --port, else the one Vexa7XX the search finds.
    // False (after failing) when there is none.
    bool choosePort();
    // Opens the chosen port and asks the device who it is.
    void openAndIdentify();

    // ---- reboot and read-back (clirunner_verify.cpp) ----
    // Waits for the device to come back after a reboot (flash or write); lookForReturn()
    // opens it and asks it again.
    void awaitReturn();
    bool awaitingReturn() const
    {
        return flashPhase == FlashPhase::Rebooting || verifyPhase == VerifyPhase::Rebooting;
    }
    // After an acknowledged write with --verify: the wait for the device, then the read.
    void startVerify();
    void verifyStateChanged(int state);
    void verifyRead(const QDomDocument &doc);
    // The verification's lines on standard error and its part of the --json report.
    void reportVerify(QJsonObject *json);

    // ---- remote (clirunner_remote.cpp) ----
    // One of --remote, --password, --server at args[*i] (taking its value): 1 taken, 0 bad
    // usage (*error set), -1 not one of them.
    static int parseRemoteOption(const QStringList &args, int *i, Options *o, QString *error);
    // The remote options together with the command; false with *error on bad usage.
    static bool checkRemoteOptions(const Options &o, QString *error);
    bool isRemote() const { return !opts.remoteImei.isEmpty(); }
    // Opens the session through the server; the device is asked who it is once it is open.
    void connectRemote();
    // The states of a remote session; false for those the common handling takes.
    bool remoteStateChanged(int state);
    // ---- radio relay (clirunner_relay.cpp) ----
    // Takes --relay, --session or --relay-timeout at args[*i]; false when a is none of them.
    static bool takeRelayOption(const QStringList &args, int *i, Options *o, QString *error);
    static bool checkRelayOptions(const Options &o, QString *error);
    // Opens the relay session; the remote device is identified and read once it answers.
    void startRelay();
    void relayStateChanged(int state);
    // Ends with code, after leaving relay mode when it is on.
    void finish(int code);
    bool interruptRelay();

    // ---- flash (clirunner_flash.cpp) ----
    enum class FlashPhase { Off, Identify, Transfer, Rebooting, Confirming, Done };
    void startFlash();
    void flashIdentified(const QString &fw, ushort devId, const QString &sn);
    void flashStateChanged(int state);
    void flashStopped(FileTransfer::Error error, const QString &reason);
    void flashRebooted();
    void flashProgress(int value);
    void drawFlashProgress(qint64 value);
    void lookForReturn();
    // The device's port after the reboot: by its USB serial number, else as it was found.
    QString returnedPort() const;
    void endFlash(bool ok, const QString &message);
    // The flash's last words: the summary object with --json (error empty on success).
    void flashSummary(const QString &error);
    // What Ctrl+C stops cleanly; interrupt() picks by the command.
    bool interruptFlash();
    void interruptSession();
    // console and syslog, once the device is identified.
    bool checkSysLogCodes();
    void startSession();
    void startConsole();
    void startSysLog();
    void readInput();
    void consoleLine(const QString &line);
    void printFrame(const QByteArray &frame);
    void drainConsole();
    // Saves the history, switches off a debug output the user started, and ends.
    void endConsole();
    // Sends SYSLOG LEVEL=ALL,F and ends once it has left the port.
    void switchDebugOutputOff();
    // Ends once the text command just written has left the port.
    void finishWhenWritten(const QString &message);

    Options opts;
    PortEnumerator *enumerator;
    QTextStream &out;
    QTextStream &err;
    std::unique_ptr<DB_Worker> db;
    DeviceInterface *link = nullptr;
    ConfigExchange *exchange = nullptr;
    QString portName;
    QString group;
    ushort deviceId = 0;
    QString firmware;
    QDomDocument fileDoc;    // the file to write, without refused values (and keys, unless asked)
    QString fileDevId;       // the device ID the file to write is for
    QStringList fileRefused; // "name: reason" of the file's values refused by the file check
    QStringList unchanged;   // values of the file the device holds already
    QString serial;
    QString devEui;
    int progressMax = 0;
    bool writing = false;
    bool acknowledged = false; // every value of the write was taken by the device
    bool done = false;
    QByteArray toWrite;
    QBuffer *writeBuffer = nullptr;

    // write --verify
    enum class VerifyPhase { Off, Rebooting, Reading, Done };
    VerifyPhase verifyPhase = VerifyPhase::Off;
    QStringList verifyNames; // acknowledged by the device, to be read back
    QDomDocument sentDoc;    // what the write sent
    QList<ConfigDocument::Mismatch> mismatches;

    // flash
    FileTransfer *transfer = nullptr;
    FlashPhase flashPhase = FlashPhase::Off;
    QString usbSerial;     // of the device's port, to find it again after the reboot
    QString fromVersion;   // the firmware the device ran before
    QString cameBackWith;  // the firmware it reported after the reboot
    qint64 resumedAt = -1; // the bytes the device held of the image already (-1: created anew)
    qint64 bytesSent = 0;  // image bytes the device confirmed in this run
    qint64 lastProgress = 0;
    int shownStep = -1;        // the last 10 % step (or percent, in place) drawn
    bool portGone = false;     // seen away after the reboot
    bool barOpen = false;      // a progress bar drawn in place waits for its line end
    QElapsedTimer flashClock;  // since the transfer started
    QElapsedTimer rateClock;   // since the first block of this run
    QElapsedTimer drawClock;   // since the progress was last drawn
    QElapsedTimer rebootClock; // since the device accepted the reboot
    QTimer *returnTimer = nullptr;
    // relay
    bool leavingRelay = false;
    bool relayInterrupted = false;
    int relayExitCode = 0;
    // remote
    bool remoteOpen = false; // the server has bridged the session
    // console and syslog.
    bool session = false;  // the device is identified and takes commands
    bool stopping = false; // syslog: the stop is on its way out
    bool streaming = false;
    int inputFd = 0;
    QSocketNotifier *inputNotifier = nullptr;
    QByteArray inputBuffer;
    QStringList history;
    int answersAwaited = 0; // console hex commands not answered yet
    bool inputEnded = false;
    QTimer *drainTimer = nullptr;
    QTimer *quietTimer = nullptr;
};
