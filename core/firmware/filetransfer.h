#pragma once

#include "commands.h"
#include "fileinfo.h"
#include "resumerecord.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class DeviceInterface;

// Writes a firmware image into the device's file store and has the device apply it: asks what
// the device holds, resumes an interrupted write or creates the file anew, sends the image in
// blocks that carry their offset, has the device check it and reboots the device. Each step is
// driven by the answer to the one before over the link's request/answer exchange; time-outs
// and resends are the link's.
class FileTransfer : public QObject
{
    Q_OBJECT
public:
    static constexpr int defaultBlockSize = 512;
    // The radio relay carries smaller frames and loses more of them.
    static constexpr int relayBlockSize = 192;
    static constexpr int relayMaxRetries = 5;
    static constexpr int maxFileBytes = Cmd::maxFileBytes;

    // Why a file was refused or a transfer stopped. The reason text that comes with it is
    // English, for logs and the command line; the window translates by this value.
    enum class Error {
        None,
        NoFile,         // nothing loaded
        Unreadable,     // the file cannot be read
        Empty,          // the file has no bytes
        TooLarge,       // longer than the 20-bit block offset reaches
        NotFirmware,    // no firmware header
        NoDevice,       // no device identified on the link
        OtherDevice,    // the image is for another device identifier
        BlocksRejected, // the device refused the same block too often
        CheckFailed,    // the device's check failed again after a complete rewrite
        CheckUnknown,   // the check answered a code with no known meaning
        CreateRefused,  // the device would not create the file
        RebootRefused,  // the device would not reboot into the new image
        LinkLost,       // the device went away or stopped answering
        Cancelled,      // the user stopped it between two steps
    };
    Q_ENUM(Error)

    explicit FileTransfer(DeviceInterface *link, QObject *parent = nullptr);

    // Data bytes per block: defaultBlockSize, relayBlockSize through the radio relay.
    void setBlockSize(int bytes);
    int blockSize() const { return blockBytes; }
    // Refused block acknowledgements in a row that end the transfer.
    void setMaxBlockRetries(int n) { maxBlockRetries = n; }

    bool isRunning() const { return phase != Phase::Idle; }
    // Whether a cancel would still stop the transfer: not once the device checks the image or
    // restarts into it.
    bool canCancel() const;
    qint64 fileSize() const { return fwFileData.size(); }
    QString fileVersion() const { return fwFileVersion; }
    // The device identifier in the loaded image's header (0 when none is loaded).
    quint16 fileDevId() const { return fileDeviceId; }
    // The bytes the device has confirmed so far (the offset of the next block).
    qint64 confirmedBytes() const { return fileSizeCounter; }
    // Why the last loadFirmwareFile refused the file (empty when it was taken).
    QString refusalReason() const { return loadReason; }

    // The header bytes of a block at offset: file type in the high nibble of byte 0, then the
    // 20-bit offset big-endian.
    static QByteArray blockHeader(quint8 fileType, quint32 offset);
    // Whether a block acknowledgement confirms exactly the block sent: status 0, the offset
    // sent and exactly the bytes sent. Anything else (an old answer repeated, a short or
    // refused write, a claim of more than was sent) is a refusal.
    static bool acknowledges(qint64 sentOffset, int sentBytes, uchar fileType, uint offset,
                             uint packSize, uchar status);
    // The meaning of a file check result.
    static QString checkResultText(quint8 code);

public slots:
    // Reads the whole image and checks it before anything is sent: readable, not empty, at
    // most maxFileBytes, with a firmware header. The version compared with the device's is
    // the header's (fwVersion is the caller's idea of it, logged when it differs).
    Error loadFirmwareFile(QString fwVersion, QString filePath);
    // Starts the transfer of the loaded image, if it is for the device on the link.
    void getFileInfo();
    // Stops the transfer before its next request (the answer awaited is taken first, so the
    // resume record holds what the device has); a later transfer of the same image goes on
    // from there. False when it is too late (see canCancel).
    bool cancel();

    // The device's answers (from the parser; ignored unless they answer the current step).
    void setFileInfo(FILE_INFO info);
    void createFile(uchar status);
    void loadedBlocks(uint size);
    void sendFileBlock(uchar fileType, uint offset, uint packSize, uchar status);
    void resultCheckFile(uchar statusCode);
    void rebootAnswer(uchar statusCode);

signals:
    // States 34 (check running) and 18 (transfer failed); the link emits 10 for the reboot.
    void changeDeviceStatus(int state);
    void setProgress(int maximum);
    void setProgressValue(int value);
    // The device holds the first offset bytes of this image from an earlier attempt: the
    // write goes on from there instead of creating the file anew.
    void resuming(qint64 offset);
    // The device holds a file of the image's version, but not known to be this image's start
    // (why: the text to show): the file is created anew.
    void startingOver(const QString &why);
    // The file was refused before anything was sent, or the transfer stopped.
    void transferFailed(FileTransfer::Error error, const QString &reason);
    // The device checked the image and accepted the reboot: it restarts into it now.
    void transferFinished();

private:
    enum class Phase { Idle, FileInfo, LoadedBlocks, Create, Blocks, Check, Reboot };

    void getCreateFile();
    void getLoadedBlocks();
    void getCheckFile();
    void getReboot();
    void startBlocks();
    void sendNextBlock();
    Error refuse(Error error, const QString &reason);
    // Ends the transfer; fail also reports state 18.
    void stop(Error error, const QString &reason);
    void fail(Error error, const QString &reason);
    void linkStateChanged(int state);
    // Creates the file anew, saying why the bytes the device holds are not taken.
    void startOver(const QString &why);
    // The record says how far this image went into this device: kept before every block.
    void keepRecord(qint64 confirmed, qint64 sent);
    // A cancel asked for stops the transfer here, before the next request goes out.
    bool stoppedByCancel();

    DeviceInterface *link;
    Phase phase = Phase::Idle;

    QByteArray fwFileData;
    QString fwFileVersion;
    quint16 fileDeviceId = 0;
    QByteArray fileSha256; // hex
    // The serial number of the device on the link, as it last said who it is.
    QString deviceSerial;
    ResumeRecord record;
    Error loadError = Error::NoFile;
    QString loadReason = QStringLiteral("No firmware file loaded");

    qint64 fileSizeCounter = 0;
    int blockRetryCount = 0;
    int maxBlockRetries;
    int blockBytes = defaultBlockSize;
    // The block waiting for its acknowledgement.
    bool blockInFlight = false;
    qint64 sentOffset = 0;
    int sentBytes = 0;
    // A refused block made us ask the device how far it got: the refusals keep counting.
    bool resyncing = false;
    // The check failed once and the whole image is being written again.
    bool rewriting = false;
    bool cancelAsked = false;
    QString devFwVersion;
    QString devUpdFileVersion;
};
