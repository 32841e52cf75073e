#pragma once

#include "answerkey.h"
#include "answertimeout.h"
#include "binarylog.h"
#include "deveui.h"
#include "deviceidentity.h"
#include "fileinfo.h"
#include "frame.h"
#include "portsession.h"
#include "relaysession.h"
#include "remotesession.h"
#include "statusrecords.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <ctime>
#include <memory>

class AnswerQueue;
class FrameSplitter;
class PackParser;
class QIODevice;
class QTimer;
class UserPrompts;

// The device link: builds and sends command frames and text commands to the active
// transport (the device's serial port, or the remote-server socket), collects the answer
// bytes, cuts them into frames for the answer parser, and times answers.
// An answer reaches the parser only for a request that still waits for it, once: a late
// answer to a request already answered, or a duplicate after a resend, is logged and dropped.
// What it receives is held within a few frames whatever the other side sends, and its answer
// time-out follows a device slower than the floor (the learnt time-out below).
class DeviceInterface : public QObject
{
    Q_OBJECT
    // The relay wraps the requests of this link and ends its own check's request; the remote
    // session puts its socket in as the transport and takes the link over while it lasts; the
    // port session opens and closes the port and resets the exchange with it.
    friend class PortSession;
    friend class RelaySession;
    friend class RemoteSession;

public:
    static constexpr int defaultAnswerTimeoutMs = 3000;
    static constexpr int defaultLongTimeoutMs = 60000;
    static constexpr int defaultTextTimeoutMs = 5000;
    static constexpr int defaultTextWriteTimeoutMs = 15000;
    static constexpr int remoteTextTimeoutMs = 150000;
    // Quiet time that closes a received burst for the terminal echo and the log.
    static constexpr int quietPeriodMs = 20;
    // A half frame that has stopped arriving for this long is dropped when no answer is
    // awaited; while one is, it is kept until the answer time-out (a remote link may pause
    // far longer inside an answer).
    static constexpr int staleFrameMs = 250;
    static constexpr int defaultMaxRetries = 3;
    // What the receive side holds at most: the burst kept for the terminal echo (the rest of a
    // longer burst is counted, not kept), and what a frame can be.
    static constexpr int maxFrameBytes = Frame::maxPayloadBytes + Frame::overheadBytes;
    static constexpr int maxEchoBytes = 2 * maxFrameBytes;
    static constexpr qint32 portBaudRate = 115200;
    // Radio relay: the local device gets this long to open the radio session before the remote
    // device is asked whether it hears us, and the remote device this long to answer.
    static constexpr int relaySettleMs = 4000;
    static constexpr int relayCheckTimeoutMs = 10000;
    // Through the relay every request waits this long and is resent this often (kept after
    // the relay session ends).
    static constexpr int relayAnswerTimeoutMs = 3000;
    static constexpr int relayMaxRetries = 5;
    // The relay wrapper carries the inner payload's length in one byte.
    static constexpr int maxRelayedPayloadBytes = 255;
    // Relay status codes of a wrapped command that ask for the relay status to be cleared.
    static constexpr quint8 relayBusyStatus = 9;
    static constexpr quint8 relayBusyStatus2 = 10;
    // The USB serial number of a Vexa7XX begins with this.
    static const char *const devicePrefix;

    explicit DeviceInterface(QObject *parent = nullptr);

    // Where the port search looks (the system's ports when not set; not owned).
    void setPortEnumerator(PortEnumerator *enumerator) { portSession->setEnumerator(enumerator); }
    // Where questions and error reports go (none: they are only logged; not owned).
    void setUserPrompts(UserPrompts *prompts) { prompts_ = prompts; }
    // The configurator's version, sent to the remote-configuration server.
    void setAppVersion(const QString &version) { remote->setAppVersion(version); }

    // Answer time-out of binary requests (the relay mode and tests change it): the floor of the
    // time-out the link learns from the device's round trips; what was learnt starts anew.
    void setAnswerTimeout(int ms);
    // The time-out the next plain request gets: the floor, unless the device has shown itself
    // slower (not in remote mode, where a missed answer ends the session).
    int answerTimeoutNowMs() const;
    // The server sent data that is not device answers, and the link ended its session for it.
    bool remoteFlooded() const { return remote->isFlooded(); }
    // Bytes the receive side holds now (the echo burst and any half frame).
    int bufferedBytes() const;
    void setMaxRetries(int n) { maxRetries = n; }
    quint16 deviceId() const { return devId; }
    ~DeviceInterface() override;

    QSerialPort *serialPort() const { return port; }
    // The transport frames and text commands go to: the socket in remote mode, else the port.
    QIODevice *activeTransport() const;
    // The answer parser; it decodes in an event-loop pass after the read that brought the answer.
    PackParser *packParser() const { return parser; }
    QTimer *answerTimerObject() const { return answerTimer; }

    quint16 lastCommand() const { return lastCmd; }
    quint8 lastCommandPort() const { return lastPort; }
    bool isRelayMode() const { return relay->isOn(); }
    // Opens the chosen port if it is closed (a write may follow a search without a read).
    void openPort();

    void setDevId(quint16 id) { devId = id; }
    // Mirrors the main window's firmware-update flag (cleared by states 0 and 15).
    void setFirmwareUpdate(bool on) { firmwareUpdate = on; }
    void setWriteMode(bool on) { writeMode = on; }
    bool isWriteMode() const { return writeMode; }
    void setRelay(bool on, const QString &devEui, qint32 timeout)
    {
        relay->set(on, devEui, timeout);
    }
    // Tests shorten the relay waits.
    void setRelayTimings(int settleMs, int checkMs) { relay->setTimings(settleMs, checkMs); }
    // The DevEUI rules (deveui.h), under the names the window and the command line use.
    static bool isValidDevEui(const QString &devEui) { return DevEui::isValid(devEui); }
    static QString shownDevEui(const QString &devEui) { return DevEui::shown(devEui); }
    // Remote configuration (RemoteSession does the work): while it is on, text commands and
    // frames go to the server's socket.
    bool isRemoteMode() const { return remote->isOn(); }
    // The server of connectToServer (an empty host: the one of the settings, the default).
    void setRemoteServer(const QString &host, quint16 port) { remote->setServer(host, port); }
    // A connection to the server is being made or the handshake written.
    bool isRemoteConnecting() const { return remote->isConnecting(); }

public slots:
    // Remote configuration: a session through the server for the device of this IMEI, with
    // its password for the login; the configuration read follows the handshake.
    void connectToServer(QString _imei, QString _pass) { remote->connectTo(_imei, _pass); }
    void disconnectedRemoteCfg() { remote->closed(); }
    // The remote session that ended was closed by the server (not by the user or the program).
    bool remoteEndedByServer() const { return remote->endedByServer(); }
    // Says goodbye to the remote-configuration server and closes the socket.
    void disconnectRemote() { remote->goodbye(); }
    // Gives up a connection attempt in progress (state 0 follows).
    void cancelRemoteConnect() { remote->cancel(); }

    void sendCommand(ushort _cmd, uint8_t _port, QByteArray data);
    bool writeCommand(QString commandData);
    void sendTerminalCmd(QString cmd);
    // A text command typed by the user (or the debug-mode switch): the text and CR LF, with no
    // answer awaited. False when it could not go out (no link, device not ready, write failed).
    bool sendTextCmd(QString cmd);
    bool activateDebugMode(QString cmd);
    // Records every byte sent and received into fPath until stopped; false when the file cannot
    // be created (nothing is recorded then).
    bool startWriteBinLogFile(QString fPath) { return binLog.start(fPath); }
    void stopWriteBinLogFile() { binLog.stop(); }
    bool isBinLogOpen() const { return binLog.isOpen(); }
    // Raised by the connection states once the device may take text commands.
    void setDeviceReady(bool ready);

    // Requests of the command table.
    void getFwVer();
    void getReboot();
    void getDateTime();
    void setDevDateTime(time_t _tm, ushort _subTm);
    void eraseMemory(QString type);
    void getStatus();
    void getNetJoin();
    void getNetQuality();
    void getLastSendStatus();
    void getTimesStatus();
    void sendExtraordinaryPack();
    void getCurrentFreq();
    void getBatStatus();
    void getAdcStatus();
    void getInputsParams();
    void getConfiguration(uchar _confType, uchar _paramNum);
    void getFileInfo();
    void getCreateFile();
    void getLoadedBlocks();
    void getCheckFile();
    void sendClearFskStatus();

    // Radio relay session (RelaySession does the work).
    void switchToFskMode(QString _remDevEui, int _sessionTime, int _timeout)
    {
        relay->switchToFskMode(_remDevEui, _sessionTime, _timeout);
    }
    void switchToNormalMode() { relay->switchToNormalMode(); }

    // Port search and session (PortSession does the port's part).
    void enumerateDevices() { portSession->search(); }
    void setCurrentDevice(int index) { portSession->choose(index); }
    // Opens the chosen port and asks the device who it is; the configuration read follows
    // the identification.
    void readConfiguration();
    void errorHandler(QSerialPort::SerialPortError error) { portSession->portError(error); }
    void disconnectDevice() { portSession->closeAfterError(); }

    // Exchange.
    void answerTimeout();
    void authenticationDevice(QString devPass);
    void deviceInfo(QString devVer, ushort devID, QString sn, QString dev_eui);

    // Answers with consequences on the link.
    void setDateTimeAnswer(int dateTime, short subSeconds, uchar source);
    void netJoinAnswer(uchar _netMode, uchar _resultCode);
    void sendExtraordinaryPackAnswer(uchar _netMode, uchar _resultCode);
    void rebootAnswer(uchar code);
    void factoryDefaultAnswer(uchar _confType);
    void formatFlashAnswer(uchar code);
    void vexa760ModeChanged();

signals:
    void printToTerminal(QString);
    // Every checked frame received, as it came (start byte to CRC), for consoles.
    void frameReceived(QByteArray frame);
    // Every text line the device sent between frames: answers to text commands, its debug
    // output.
    void textLineReceived(QString line);
    // Bytes between answers that are neither frames nor text (at most a few hundred of them;
    // total counts all), at the end of the burst that brought them.
    void noiseReceived(QByteArray bytes, qint64 total);
    // What went out for consoles: each command frame but file blocks, each text command (a
    // password as a placeholder).
    void frameSent(QByteArray frame);
    void textSent(QString text);
    // The exchange log could not be written any more and was closed.
    void binLogFailed(QString path);
    void changeDeviceStatus(int);
    void selectDevice(QStringList);
    void hideRefreshButton(bool);
    void checkGetStatusState();
    void authenticationFail();
    // The device answered its information request: first for the window and the CLI, then,
    // once they have taken the new device in, for the configuration read that follows.
    void setCurrentFwVer(QString fwVer, QString opt, ushort devId, QString devIdByName,
                         QString devEui, QString sn);
    void deviceIdentified(const DeviceIdentity &device);
    // Parameter answers, for the configuration exchange.
    void parseConfiguration(uchar _confType, uchar _paramNum, QByteArray _data);
    void answerWriteParam(uchar _confType, uchar _paramNum, uchar _result);
    void netMainStatus(NET_MAIN_STAT stat);
    void QualityNetStatus(NET_QUALITY_STAT stat);
    void LastSendNetStatus(NET_LAST_SEND_STAT stat);
    void TimesNetStatus(NET_TIME_STAT stat);
    void updateBatStatus(DEV_BAT_STAT stat);
    void updateAdcStatus(DEV_ADC_VALUES stat);
    void updateInputsParsmsStatus(DEV_INPUT_PARAMS stat);
    void updateDateTime(time_t dateTime, ushort subSeconds, uchar source);
    void updateFreqList(QList<QPair<int, QString>> freqList, QString rx2Freq, QString rx2Dr);
    // Relay mode began (true) or ended (false); the file transfer takes the relay's sizes.
    void relayModeChanged(bool on);
    // The local device refused to enter (0x8300) or leave (0x8301) relay mode.
    void relayRefused(quint16 cmd, uchar statusCode);

private slots:
    void readPortData();
    void addToQue();
    void frameStalled();

private:
    void writeToTransport(const QByteArray &bytes);
    // Writes to t and records the bytes in the exchange log; the result of the write.
    qint64 transmit(QIODevice *t, const QByteArray &bytes);
    // Where a text command goes now: null when it cannot go anywhere.
    QIODevice *textTransport() const;
    // Writes a text command (with CR LF on the serial link) and echoes it; hidden commands
    // are echoed, logged and recorded without their text.
    bool transmitText(QIODevice *t, const QString &text);
    // Logs the request's line and sends it on the command port.
    void request(const char *logLine, quint16 cmd, const QByteArray &data = QByteArray());
    void handleTextLine(const QString &line);
    void resend();
    // Resends at once while retries are left (a damaged answer will not be repaired by
    // waiting); returns false when they are used up.
    bool retryNow();
    void stopAnswer(); // stop the answer timer, zero the retries
    // What was learnt of another device, or of another path to it, is of no use.
    void forgetRoundTrips();
    // Hands a checked frame to the parser if it answers the request in flight.
    void deliver(const QByteArray &frame);
    void connectParser();
    // Gives up the request in flight without a resend (the relay check that failed).
    void forgetRequest(const AnswerKey &key);
    UserPrompts *prompts() const { return prompts_; }
    // The continuation of the question after the resends, once the user has answered.
    void resendAnswered(int conversation, bool again, bool giveUp);
    // Ends the request in flight that the device does not answer, and closes the port.
    void giveUpRequest();

    QSerialPort *port = nullptr;

    // Request side.
    quint16 lastCmd = 0;
    quint8 lastPort = 0;
    QByteArray lastData;
    quint16 currentCmd = 0;
    AnswerKey awaited;           // the answer the request in flight expects
    bool awaitingAnswer = false; // cleared when it has come
    // Requests sent before it (or untimed, from the console) whose answers have not come;
    // each may still take one answer. Bounded, as a device may never answer some of them.
    QList<AnswerKey> earlier;
    static constexpr int maxEarlierRequests = 8;
    bool resending = false;
    QTimer *answerTimer = nullptr;
    AnswerTimeout timeout{defaultAnswerTimeoutMs};
    int longTimeoutMs = defaultLongTimeoutMs;
    bool skipAnswerTimer = false;
    RelaySession *relay = nullptr;
    RemoteSession *remote = nullptr;
    PortSession *portSession = nullptr;
    bool deviceReady = false;
    bool writeMode = false;
    int textTimeoutMs = defaultTextTimeoutMs;
    int textWriteTimeoutMs = defaultTextWriteTimeoutMs;
    quint16 devId = 0;
    BinaryLog binLog{[this](const QString &path) { emit binLogFailed(path); }};
    int retryCount = 0;
    int maxRetries = defaultMaxRetries;
    QString devPassword = QStringLiteral("0");
    bool firmwareUpdate = false;

    UserPrompts *prompts_ = nullptr;
    // The question after the resends is open: a request that runs out of resends meanwhile is
    // answered by the same question. The conversation count (one per identification) tells
    // an answer about a device since gone from one about this one.
    bool resendQuestionOpen = false;
    int conversationNo = 0;

    // Receive side.
    QByteArray rxBuffer;      // bytes of the current burst, for the terminal echo
    qint64 unshownBytes = 0;  // of the burst, beyond maxEchoBytes
    QTimer *quietTimer = nullptr;
    QElapsedTimer lastBytesClock; // since the last bytes of the burst came
    QTimer *staleTimer = nullptr;
    std::unique_ptr<FrameSplitter> splitter;
    std::unique_ptr<AnswerQueue> answerQueue;
    PackParser *parser = nullptr;
};
