#pragma once

#include "configdocument.h"
#include "configexchange.h"
#include "deviceidentity.h"
#include "filetransfer.h"
#include "portfinder.h"

#include <QDomDocument>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <memory>

class DB_Worker;
class DeviceInterface;
class DeviceJournal;
class JobRecorder;
class QBuffer;
class QTimer;
class UserPrompts;

// One conversation with one device, without a window: the link and how it reaches the device
// (cable, radio relay, remote server), who the device is and its firmware group, the read, the
// write with its read-back, the firmware transfer, and the wait for the device after its
// reboot. The front ends show what it reports; the link's state numbers stay their
// presentation, the phase is what the session is doing.
class DeviceSession : public QObject
{
    Q_OBJECT
public:
    enum class Phase {
        Idle,
        Connecting,  // the remote server or the relay is being reached
        Identifying, // the device is asked who it is
        Reading,
        Ready, // identified (and read): the device takes commands
        Writing,
        Flashing,
        Rebooting, // waiting for the device to come back
        Verifying, // back: asked who it is again, and read again after a write
        Done,
        Failed,
    };
    Q_ENUM(Phase)

    // After a reboot: how long the device may take to come back, how often we look for it,
    // and how long a port that does not go away (an adapter between us and the device) is
    // given before the device is asked through it again.
    static constexpr int rebootWaitMs = 60000;
    static constexpr int rebootPollMs = 100;
    static constexpr int portStaysMs = 5000;
    // A device in the field is not seen going away: it is asked through the server again once
    // it has had this time to restart.
    static constexpr int remoteReturnMs = 10000;

    // A configuration file to write, read and checked before any device is asked.
    struct FileToWrite
    {
        QDomDocument doc;    // refused values removed; keys only when asked for
        QString devId;       // the device ID the file is for
        QStringList refused; // "name: reason" of the values the file check refused
    };
    // Reads path into *file: false with *error when it cannot be read, is no configuration
    // file, or names no device ID. Keys are kept only with withKeys (the serial number never).
    static bool loadFileToWrite(const QString &path, bool withKeys, FileToWrite *file,
                                QString *error);
    // Whether the document holds a value that can be written at all.
    static bool hasWritable(const QDomDocument &doc);

    // What of a file goes out: the values the device does not hold already (every value with
    // all), by the one rule for an unchanged value (PendingChanges::sameValue).
    struct Pending
    {
        int count = 0;         // values to write
        QStringList unchanged; // held already, removed from the file
    };
    static Pending dropValuesOnDevice(QDomDocument &file, const QDomDocument &device, bool all);

    // HOST:PORT of a remote-configuration server, a port from 1 to 65535; the host may be a
    // name, an IPv4 or a bracketed IPv6 address.
    static bool splitServer(const QString &text, QString *host, quint16 *port);

    // enumerator: where ports are looked for (the system's serial ports when null).
    explicit DeviceSession(PortEnumerator *enumerator, QObject *parent = nullptr);
    ~DeviceSession() override;

    void setUserPrompts(UserPrompts *prompts);
    // Keeps every job of the session in the journal (from now on); recorder() tells how.
    void setJournal(DeviceJournal *journal);
    JobRecorder *recorder() const { return recorder_; }
    // Opens devices.db (for the firmware group and the parameter list); false with *error.
    bool openDatabase(QString *error);
    // Uses a devices.db accessor opened by the caller (the window's) instead.
    void useDatabase(DB_Worker *shared) { db = shared; }
    // The window's way: the link searches for the device on its own (plug notices, the refresh
    // button) and every identification it makes, a console's included, is the session's.
    void followLink();
    // Looks for the device on the ports now (followLink): the one found is identified and read.
    void search();
    // The firmware group of devices.db for this firmware of this model, made the database's
    // current one; empty when the firmware is not supported.
    QString chooseGroup(const QString &firmware, ushort devId);
    // The read that follows an identification asks every parameter of the firmware (else only
    // the identity is asked for).
    void setReadsConfiguration(bool reads) { readsConfiguration = reads; }
    // The configuration read and write; made with the session unless the session only flashes
    // (the read walk follows every identification).
    void enableConfigExchange();
    // Loads the image to flash: false with *reason when it is refused.
    bool loadFirmware(const QString &path, QString *reason);

    DeviceInterface *link() const { return link_; }
    ConfigExchange *exchange() const { return exchange_; }
    FileTransfer *transfer() const { return transfer_; }
    DB_Worker *database() const { return db; }
    const PortFinder &portFinder() const { return finder; }

    Phase phase() const { return phase_; }
    const DeviceIdentity &identity() const { return device; }
    // The model's name as the device tells it ("750").
    QString modelName() const { return name; }
    // The firmware group of the device database (empty: the firmware is not supported).
    QString group() const { return group_; }
    // Where the device is: the port, or "IMEI ... via HOST:PORT" for a remote session.
    QString where() const { return portName; }
    bool isRemote() const { return device.path == DeviceIdentity::Path::Remote; }
    bool isAwaitingReturn() const { return phase_ == Phase::Rebooting; }
    bool isLeavingRelay() const { return leavingRelay; }
    void setRelayExitCode(int code) { relayExitCode = code; }

    // ---- the path to the device ----
    // Opens the port of the finder's choice (named: as the user gave it); false with *error.
    bool open(const PortFinder::Choice &port, const QString &named, QString *error);
    // Asks the device on the open port who it is; the read follows with the exchange.
    void identify();
    // After open(): reaches the device devEui over the radio relay; it is identified once it
    // answers.
    void startRelay(const QString &devEui, int sessionTime, int timeout);
    // Through the remote-configuration server (server: HOST:PORT, empty for the settings').
    void connectRemote(const QString &imei, const QString &password, const QString &server);
    // Ends the conversation with code: leaves relay mode first when it is on, says goodbye
    // to the remote server; closed(code) follows.
    void close(int code);
    // Closes the port at once (an interrupted flash: the device keeps what it confirmed).
    void abort();
    // Identified and read: the device takes commands typed by the user.
    void setReady();

    // ---- sequences ----
    // Writes the document; with verify, waits for the device to come back after its reboot,
    // reads it again and compares every acknowledged value. writeFinished follows.
    void write(const QDomDocument &doc, bool verify);
    bool isWriting() const { return writing; }
    bool isFlashing() const { return flashing; }
    // The document of the last write, as it was handed over.
    const QDomDocument &sentDocument() const { return sentDoc; }
    const ConfigExchange::WriteReport &writeReport() const;
    const QStringList &verifiedNames() const { return verifyNames; }
    const QList<ConfigDocument::Mismatch> &mismatches() const { return mismatches_; }
    bool verified() const { return verifyDone; }
    // Sends the loaded image, reboots the device into it and waits for it to come back;
    // returned(identity) tells what it came back with.
    void flash();
    // After a reboot of the device: waits for it to come back, by its USB serial number (a
    // device may come back under another port name) else by the port named, opens it and asks
    // who it is; returned(identity) follows, or failed() after rebootWaitMs. A remote device is
    // asked again after remoteReturnMs. Flash, the write's read-back and the window use it.
    void awaitReturn();

signals:
    void phaseChanged(DeviceSession::Phase phase);
    // The link's, the exchange's and the transfer's state numbers, as they come.
    void linkState(int state);
    void identified(const DeviceIdentity &identity);
    // The configuration read (following the link: also the read-back after a write).
    void readFinished(const QDomDocument &doc);
    void progress(int value, int maximum);
    // A line worth telling the user about the path or the wait ("the device is back on ...").
    void notice(const QString &line);
    void failed(const QString &reason);
    void passwordRequired();
    // The write stopped before its end (refused, no answer, device lost).
    void writeStopped(const ConfigExchange::WriteReport &report);
    // The write is over: acknowledged (and rebooted, and read back with verify), or stopped.
    void writeFinished(const ConfigExchange::WriteReport &report);
    void flashStopped(FileTransfer::Error error, const QString &reason);
    // After a reboot: the device is back and said who it is (with the firmware it runs now).
    void returned(const DeviceIdentity &identity);
    void closed(int code);

private:
    void setPhase(Phase phase);
    void onIdentified(const QString &fw, ushort devId, const QString &modelName,
                      const QString &devEui, const QString &sn);
    void onRead(QBuffer *buffer);
    void wire();
    void fail(const QString &reason);
    void emitClosed(int code);
    void onLinkState(int state, bool fromLink);
    bool remoteState(int state);
    void relayState(int state);
    void writeOver();
    void lookForReturn();

    std::unique_ptr<PortEnumerator> ownEnumerator;
    PortFinder finder;
    bool wired = false;   // the link's signals reach the session
    bool following = false; // followLink()
    std::unique_ptr<DB_Worker> ownDb;
    DB_Worker *db = nullptr;
    DeviceInterface *link_ = nullptr;
    ConfigExchange *exchange_ = nullptr;
    FileTransfer *transfer_ = nullptr;
    JobRecorder *recorder_ = nullptr;
    Phase phase_ = Phase::Idle;
    DeviceIdentity device;
    QString name;
    QString group_;
    QString portName;
    QString namedPort; // as the user gave it, to find it again after a reboot
    QString usbSerial; // of the device's port, to find it again after a reboot
    bool readsConfiguration = false;
    int progressMax = 0;
    // write
    bool writing = false;
    bool acknowledged = false; // every value of the write was taken by the device
    bool verifyWanted = false;
    bool verifyDone = false;
    QBuffer *writeBuffer = nullptr;
    QDomDocument sentDoc;
    QStringList verifyNames;
    QList<ConfigDocument::Mismatch> mismatches_;
    // reboot
    bool flashing = false;
    bool portGone = false; // seen away after the reboot
    QElapsedTimer rebootClock;
    QTimer *returnTimer = nullptr;
    // paths
    bool remoteOpen = false; // the server has bridged the session
    bool leavingRelay = false;
    bool relayEntered = false; // the local device said yes to relay mode and has not left it
    int relayExitCode = 0;
    QString relayTo;
};
