#pragma once

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>
#include <ctime>
#include <memory>

class AnswerQueue;
class FrameSplitter;
class PackParser;
class QIODevice;
class QSerialPort;
class QThread;
class QTimer;

// The device link: builds and sends command frames and text commands to the active
// transport (the device's serial port, or the remote-server socket), collects the answer
// bytes, cuts them into frames for the answer parser on its own thread, and times answers.
class DeviceInterface : public QObject
{
    Q_OBJECT
public:
    static constexpr int defaultAnswerTimeoutMs = 3000;
    static constexpr int defaultLongTimeoutMs = 60000;
    static constexpr int defaultTextTimeoutMs = 5000;
    static constexpr int defaultTextWriteTimeoutMs = 15000;
    static constexpr int remoteTextTimeoutMs = 150000;
    // Quiet time that closes a received burst for the terminal echo and the log.
    static constexpr int quietPeriodMs = 20;
    // A frame that has stopped arriving halfway for this long will not be completed; a device
    // may pause inside an answer for much longer than the quiet period without losing it.
    static constexpr int staleFrameMs = 250;

    explicit DeviceInterface(QObject *parent = nullptr);
    ~DeviceInterface() override;

    // The four CRC bytes of the whole buffer, most significant first.
    static QByteArray calcCrc32FromArray(const QByteArray &_buf);

    QSerialPort *serialPort() const { return port; }
    // The transport frames and text commands go to: the socket in remote mode, else the port.
    QIODevice *activeTransport() const;
    // The answer parser (lives on its own thread); its signals reach receivers queued.
    PackParser *packParser() const { return parser; }
    QTimer *answerTimerObject() const { return answerTimer; }

    quint16 lastCommand() const { return lastCmd; }
    quint8 lastCommandPort() const { return lastPort; }
    QByteArray lastCommandData() const { return lastData; }
    quint16 currentCommand() const { return currentCmd; }
    bool isDeviceReady() const { return deviceReady; }
    bool isRelayMode() const { return relayMode; }

    void setDevId(quint16 id) { devId = id; }
    void setWriteMode(bool on) { writeMode = on; }
    void setRelay(bool on, const QString &devEui, qint32 timeout);
    // Remote-server link: text commands and frames go to this socket while remote mode is on.
    void setRemoteSocket(QIODevice *socket);
    void setRemoteMode(bool on);
    bool isRemoteMode() const { return remoteMode; }
    int textTimeout() const { return textTimeoutMs; }
    int textWriteTimeout() const { return textWriteTimeoutMs; }

public slots:
    void sendCommand(ushort _cmd, uint8_t _port, QByteArray data);
    bool writeCommand(QString commandData);
    void sendTerminalCmd(QString cmd);
    void activateDebugMode(QString cmd);
    void delayMs(int msec);
    void startWriteBinLogFile(QString fPath);
    void stopWriteBinLogFile();
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
    void switchToFskMode(QString _remDevEui, int _sessionTime, int _timeout);
    void switchToNormalMode();
    void sendClearFskStatus();

signals:
    void printToTerminal(QString);
    void changeDeviceStatus(int);

private slots:
    void readPortData();
    void addToQue();
    void dropStaleFrame();

private:
    void writeToTransport(const QByteArray &bytes);
    void appendBinLog(const QString &text);

    QSerialPort *port = nullptr;
    QIODevice *remoteSocket = nullptr;

    // Request side.
    quint16 lastCmd = 0;
    quint8 lastPort = 0;
    QByteArray lastData;
    quint16 currentCmd = 0;
    QTimer *answerTimer = nullptr;
    int answerTimeoutMs = defaultAnswerTimeoutMs;
    int longTimeoutMs = defaultLongTimeoutMs;
    bool skipAnswerTimer = false;
    bool relayMode = false;
    QString remoteDevEui;
    qint32 relayTimeout = 0;
    bool remoteMode = false;
    bool deviceReady = false;
    bool writeMode = false;
    int textTimeoutMs = defaultTextTimeoutMs;
    int textWriteTimeoutMs = defaultTextWriteTimeoutMs;
    quint16 devId = 0;
    QFile binLogFile;

    // Receive side.
    QByteArray rxBuffer; // bytes of the current burst, for the terminal echo
    QTimer *quietTimer = nullptr;
    QTimer *staleTimer = nullptr;
    std::unique_ptr<FrameSplitter> splitter;
    std::unique_ptr<AnswerQueue> answerQueue;
    PackParser *parser = nullptr;
    QThread *parserThread = nullptr;
};
