#pragma once

#include "updatesignature.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTimer>

class FtpDownload;
class QTcpSocket;
class QTime;

// The update server client. One exchange at a time over a TCP connection: a firmware check for
// one device model (a newer firmware arrives at once in parts and is saved into the firmware
// store), a configurator check, or the download of a configurator archive (by FTP from the same
// host when its FTP service answers, otherwise in parts over TCP). Every exchange ends with
// exactly one updaterFinished(code): 0 done, 1 the server could not be reached, 2 the exchange
// failed (no answer, a broken or incomplete download, a file that could not be saved); a
// download or an answer is signalled only after it.
class Net : public QObject
{
    Q_OBJECT
public:
    static constexpr int answerTimeoutMs = 10000;
    static constexpr int tickMs = 100;
    static constexpr int ftpProbeTimeoutMs = 30000;
    // FTP gives up when no byte has arrived for this long.
    static constexpr int ftpStallTimeoutMs = 30000;
    // No firmware image is larger: a server that sends more is not sending a firmware.
    static constexpr qint64 firmwareSizeLimit = 1048576;
    // The server's FTP files begin with a 16-byte block of its own before the archive.
    static constexpr int ftpHeaderBytes = 16;
    // The answers carry no terminator: a message cut short waits this long for its rest.
    static constexpr int settleMs = 300;

    explicit Net(QObject *parent = nullptr);
    ~Net() override;

    // The request texts, byte for byte as the server expects them.
    static QByteArray firmwareCheckRequest(const QString &fwVersion, const QString &stamp,
                                           const QString &model);
    static QByteArray softwareCheckRequest(const QString &swVersion, const QString &stamp);
    static QByteArray softwareDownloadRequest(const QString &swVersion, const QString &stamp);
    static QString stamp(const QTime &time); // "hhmmsszzz"

    // Figures of a finished transfer: seconds as text ("2", "0.4") and KB per second.
    struct TransferStats
    {
        QString seconds;
        qint64 kbPerSecond = 0;
    };
    static TransferStats transferStats(qint64 bytes, qint64 elapsedMs);

    // Tests and the packaged installation move these; the defaults are the program's own.
    void setTimeouts(int answerMs, int ftpProbeMs, int ftpStallMs);
    void setFtpPort(quint16 port); // 21
    void setArchivePath(const QString &path); // "updates/update.zip" beside the program
    QString archivePath() const { return archive; }
    // Why the last exchange ended with code 1 or 2 (empty otherwise).
    QString lastError() const { return failure; }
    // Why the last firmware downloaded was not stored for its signature (None otherwise).
    UpdateSignature::Refusal lastRefusal() const { return refused; }
    bool busy() const { return mode != Mode::Idle; }

public slots:
    // flag true: is there a firmware newer than curVer for model devID; false: is there a
    // configurator newer than curVer.
    void checkUpdates(QString curVer, QString devID, bool flag);
    void reqestDownloadSw(QString swVer, qlonglong swFSize, QString swFileName);

signals:
    void fwDownloaded();
    void fwIsUpToDate();
    void swDownloaded();
    void swIsUpToDate();
    void availableSw(QString swVer, qlonglong size, QString swFileName);
    void setMaxProgress(int maximum);
    void updateProgress(int value);
    void updaterFinished(int exitCode);

private:
    enum class Mode { Idle, FirmwareCheck, SoftwareCheck, SoftwareDownload };
    enum class Outcome { None, FwUpToDate, FwDownloaded, SwUpToDate, SwAvailable, SwDownloaded };

    void connectToServer();
    void connected();
    void received();
    void socketError(int error);
    void disconnectedByServer();
    void answerTimedOut();
    void sendRequest(const QByteArray &request, const char *what);

    // Cuts the next whole message off the front of the pending bytes; with flush, whatever is
    // there counts as one message. Null when a message is still incomplete.
    QByteArray takeMessage(bool flush);
    void processPending(bool flush);
    void handleMessage(const QByteArray &message);
    void handlePart(const QByteArray &part);
    void downloadComplete();
    bool saveFile(const QString &path, const QByteArray &data);

    void probeFtp();
    void ftpProbed(bool ok);
    void downloadByFtp();
    void ftpFinished();
    void downloadByTcp();

    // Ends the exchange: closes the connection, emits updaterFinished(code), then the outcome.
    void finish(int code, Outcome outcome = Outcome::None, const QString &why = QString());

    QString host;
    quint16 port = 0;
    quint16 ftpPort = 21;
    QString archive;
    int answerMs = answerTimeoutMs;
    int ftpProbeMs = ftpProbeTimeoutMs;
    int ftpStallMs = ftpStallTimeoutMs;

    Mode mode = Mode::Idle;
    quint64 exchange = 0; // counts exchanges, so a handler knows when a new one has begun
    QPointer<QTcpSocket> socket;
    QPointer<QTcpSocket> probe;
    QPointer<FtpDownload> ftp;
    bool wasConnected = false;
    QByteArray pending;       // received, not yet a whole message
    QByteArray receiveBuffer; // decoded download parts
    QSet<QByteArray> refusedParts; // refused and not received since
    bool partsArrived = false;

    QString curVer;
    QString devID;
    QString swFileName;
    qint64 swFileSize = 0;
    qint64 bytesReceived = 0;
    int errorsCount = 0;
    qint64 elapsedMs = 0;
    QString failure;
    UpdateSignature::Refusal refused = UpdateSignature::Refusal::None;

    QTimer answerTimer;
    QTimer timeCounter;
    QTimer settleTimer;
    QTimer probeTimer;
};
