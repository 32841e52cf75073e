#include "filetransfer.h"

#include "deviceidentity.h"
#include "deviceinterface.h"
#include "firmwarestore.h"
#include "frame.h"
#include "linkstate.h"
#include "naturalcompare.h"
#include "packparser.h"

#include <QDebug>
#include <QFile>

namespace {
const char *const dashes = "------------------------------------------------";

QString deviceText(quint16 id)
{
    return QStringLiteral("%1 (Vexa%2)").arg(id).arg(DeviceIdentity::modelOf(id));
}
} // namespace

FileTransfer::FileTransfer(DeviceInterface *link, QObject *parent)
    : QObject(parent)
    , link(link)
    , maxBlockRetries(DeviceInterface::defaultMaxRetries)
{
    qRegisterMetaType<FileTransfer::Error>();
    // These arrive from the parser's own event-loop pass, after the link has matched each
    // answer to the request in flight.
    const PackParser *parser = link->packParser();
    connect(parser, &PackParser::fileInfoAnswer, this, &FileTransfer::setFileInfo);
    connect(parser, &PackParser::createFile, this, &FileTransfer::createFile);
    connect(parser, &PackParser::loadedBlocks, this, &FileTransfer::loadedBlocks);
    connect(parser, &PackParser::sendNextBlock, this, &FileTransfer::sendFileBlock);
    connect(parser, &PackParser::resultCheckFile, this, &FileTransfer::resultCheckFile);
    connect(parser, &PackParser::rebootAnswer, this, &FileTransfer::rebootAnswer);
    connect(link, &DeviceInterface::changeDeviceStatus, this, &FileTransfer::linkStateChanged);
    connect(link, &DeviceInterface::deviceIdentified, this,
            [this](const DeviceIdentity &device) { deviceSerial = device.serialNumber; });
    // The relay's frames are smaller and lost more often; its sizes stay once it has been used.
    connect(link, &DeviceInterface::relayModeChanged, this, [this](bool on) {
        if (!on)
            return;
        setBlockSize(relayBlockSize);
        setMaxBlockRetries(relayMaxRetries);
    });
}

void FileTransfer::setBlockSize(int bytes)
{
    blockBytes = qBound(1, bytes, Frame::maxPayloadBytes - 3);
}

QByteArray FileTransfer::blockHeader(quint8 fileType, quint32 offset)
{
    QByteArray h(3, '\0');
    h[0] = char(((fileType & 0x0F) << 4) | ((offset >> 16) & 0x0F));
    h[1] = char((offset >> 8) & 0xFF);
    h[2] = char(offset & 0xFF);
    return h;
}

bool FileTransfer::acknowledges(qint64 sentOffset, int sentBytes, uchar fileType, uint offset,
                                uint packSize, uchar status)
{
    return status == 0 && fileType == Cmd::firmwareFile && packSize > 0 &&
           qint64(offset) == sentOffset && qint64(packSize) == sentBytes;
}

QString FileTransfer::checkResultText(quint8 code)
{
    switch (code) {
    case Cmd::fileOk:
        return QStringLiteral("the file is sound");
    case Cmd::fileTooShort:
        return QStringLiteral("the file is too short");
    case Cmd::fileBadMagic:
        return QStringLiteral("the file does not start with the firmware mark");
    case Cmd::fileNoVersionTag:
        return QStringLiteral("the file has no version tag");
    case Cmd::fileOtherDevice:
        return QStringLiteral("the file is for another device");
    case Cmd::fileTooBig:
        return QStringLiteral("the file is too large");
    default:
        return QStringLiteral("unknown result");
    }
}

// ---- the file -------------------------------------------------------------------------------

FileTransfer::Error FileTransfer::refuse(Error error, const QString &reason)
{
    fwFileData.clear();
    fileDeviceId = 0;
    loadError = error;
    loadReason = reason;
    qDebug().noquote() << "Firmware file refused: " << reason << "/C:12";
    return error;
}

FileTransfer::Error FileTransfer::loadFirmwareFile(QString fwVersion, QString filePath)
{
    fwFileVersion = fwVersion;
    QFile file(filePath);
    if (filePath.isEmpty() || !file.open(QIODevice::ReadOnly))
        return refuse(Error::Unreadable, QStringLiteral("Cannot read the firmware file \"%1\": %2")
                                             .arg(filePath, file.errorString()));
    // Refused before it is read: a longer file would wrap the block offset and overwrite the
    // start of the device's file.
    if (file.size() > maxFileBytes)
        return refuse(Error::TooLarge,
                      QStringLiteral("The firmware file \"%1\" has %2 bytes; the device takes at "
                                     "most %3")
                          .arg(filePath)
                          .arg(file.size())
                          .arg(maxFileBytes));
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return refuse(Error::Unreadable, QStringLiteral("Cannot read the firmware file \"%1\": %2")
                                             .arg(filePath, file.errorString()));
    if (data.isEmpty())
        return refuse(Error::Empty,
                      QStringLiteral("The firmware file \"%1\" is empty").arg(filePath));
    const FirmwareStore::Header header = FirmwareStore::parseHeader(data);
    if (!header.valid)
        return refuse(Error::NotFirmware,
                      QStringLiteral("The file \"%1\" has no firmware header").arg(filePath));
    if (!fwVersion.isEmpty() && fwVersion != header.version)
        qDebug().noquote() << "Firmware file version is " << header.version << ", not "
                           << fwVersion;
    fwFileData = data;
    fileSha256 = ResumeRecord::hashOf(data);
    fwFileVersion = header.version;
    fileDeviceId = header.deviceId;
    loadError = Error::None;
    loadReason.clear();
    emit setProgress(fwFileData.size());
    return Error::None;
}

// ---- the steps ------------------------------------------------------------------------------

void FileTransfer::getFileInfo()
{
    if (phase != Phase::Idle) {
        qDebug() << "A firmware transfer is already running";
        return;
    }
    Error error = loadError;
    QString reason = loadReason;
    if (error == Error::None && link->deviceId() == 0) {
        error = Error::NoDevice;
        reason = QStringLiteral("No device identified on the link");
    } else if (error == Error::None && link->deviceId() != fileDeviceId) {
        // Never an image of one model (or variant) into another.
        error = Error::OtherDevice;
        reason = QStringLiteral("The firmware is for device %1, the connected device is %2")
                     .arg(deviceText(fileDeviceId), deviceText(link->deviceId()));
    }
    if (error != Error::None) {
        qDebug().noquote() << "Firmware transfer not started: " << reason << "/C:12";
        emit transferFailed(error, reason);
        return;
    }
    blockRetryCount = 0;
    blockInFlight = false;
    resyncing = false;
    rewriting = false;
    cancelAsked = false;
    phase = Phase::FileInfo;
    link->getFileInfo();
}

void FileTransfer::setFileInfo(FILE_INFO info)
{
    if (phase != Phase::FileInfo)
        return;
    qDebug().noquote() << "D::FW ver: " << info.fwVersion;
    qDebug().noquote() << "D::Dev ID: " << info.devId;
    qDebug().noquote() << "D::FW ver in upd file: " << info.updFileVersion;
    devFwVersion = info.fwVersion;
    devUpdFileVersion = info.updFileVersion;
    if (naturalCompare(info.fwVersion, fwFileVersion) == 0) {
        // A version names many images (builds, variants, a file edited by hand): what the
        // device holds is this image's start only if this program was writing this image.
        record = ResumeRecord::load(deviceSerial);
        const QString why = record.whyNotResume(deviceSerial, fileSha256, fwFileData.size());
        if (!why.isEmpty())
            return startOver(why);
        qDebug() << "FW in dev coincides! Continue writing";
        getLoadedBlocks();
    } else {
        qDebug() << "FW in device not coibcides. Write first.";
        getCreateFile();
    }
}

void FileTransfer::getLoadedBlocks()
{
    if (stoppedByCancel())
        return;
    phase = Phase::LoadedBlocks;
    link->getLoadedBlocks();
}

void FileTransfer::loadedBlocks(uint size)
{
    if (phase != Phase::LoadedBlocks)
        return;
    const bool afterRefusal = resyncing;
    resyncing = false;
    if (fwFileData.isEmpty()) {
        fail(Error::NoFile, QStringLiteral("No firmware file loaded"));
        return;
    }
    qDebug() << "Checking size file in device...";
    // Taken unsigned: a size of 2^31 or more is larger than any file, not a negative offset.
    const qint64 loaded = size;
    if (!afterRefusal) {
        const QString why =
            record.whyNotResume(deviceSerial, fileSha256, fwFileData.size(), loaded);
        if (!why.isEmpty())
            return startOver(why);
        emit resuming(loaded);
    }
    if (loaded > fwFileData.size()) {
        qDebug() << "Bad FW file. Remove file and restart write";
        getCreateFile();
    } else if (loaded == fwFileData.size()) {
        qDebug() << "File size matches. Checking FW file...";
        getCheckFile();
    } else {
        qDebug() << "File size less. Continue writing...";
        if (!afterRefusal)
            blockRetryCount = 0;
        fileSizeCounter = loaded;
        emit setProgressValue(int(fileSizeCounter));
        startBlocks();
    }
}

void FileTransfer::startOver(const QString &why)
{
    qDebug().noquote() << "Firmware file of the device not taken: " << why;
    emit startingOver(why);
    getCreateFile();
}

void FileTransfer::keepRecord(qint64 confirmed, qint64 sent)
{
    record.serial = deviceSerial;
    record.sha256 = fileSha256;
    record.size = fwFileData.size();
    record.confirmedBytes = confirmed;
    record.sentBytes = sent;
    if (!record.save())
        qDebug().noquote() << "Cannot keep the flash resume record "
                           << ResumeRecord::path(deviceSerial);
}

void FileTransfer::getCreateFile()
{
    if (stoppedByCancel())
        return;
    phase = Phase::Create;
    link->getCreateFile();
}

void FileTransfer::createFile(uchar status)
{
    if (phase != Phase::Create)
        return;
    if (status != 0) {
        fail(Error::CreateRefused,
             QStringLiteral("The device refused to create the file (result %1)").arg(status));
        return;
    }
    fileSizeCounter = 0;
    blockRetryCount = 0;
    keepRecord(0, 0); // the device's file is this image's now, empty
    emit setProgressValue(0);
    startBlocks();
}

void FileTransfer::startBlocks()
{
    phase = Phase::Blocks;
    // The image itself now goes to the device (from its start or where it stopped).
    emit changeDeviceStatus(LinkState::WriteFile);
    qDebug() << dashes;
    qDebug() << "Recivied offset: " << 0;
    qDebug() << "Writen block size: " << 0;
    qDebug() << "First package send.";
    sendNextBlock();
}

void FileTransfer::sendFileBlock(uchar fileType, uint offset, uint packSize, uchar status)
{
    if (phase != Phase::Blocks || !blockInFlight)
        return;
    blockInFlight = false;
    qDebug() << dashes;
    qDebug() << "Recivied offset: " << quint32(offset + packSize);
    qDebug() << "Writen block size: " << packSize;
    if (!acknowledges(sentOffset, sentBytes, fileType, offset, packSize, status)) {
        qDebug() << "Bad answer recivied. Retry send..."
                 << "/C:12";
        if (++blockRetryCount >= maxBlockRetries) {
            fail(Error::BlocksRejected,
                 QStringLiteral("The device refused the block at offset %1 %2 times in a row")
                     .arg(sentOffset)
                     .arg(blockRetryCount));
            return;
        }
        // The device may have stored the block and lost only its answer, and a device takes
        // no block but at the end of its file: it says where to go on.
        resyncing = true;
        getLoadedBlocks();
        return;
    }
    qDebug() << "Answer pack OK"
             << "/C:2";
    fileSizeCounter += packSize;
    blockRetryCount = 0;
    emit setProgressValue(int(fileSizeCounter));
    sendNextBlock();
}

void FileTransfer::sendNextBlock()
{
    if (stoppedByCancel())
        return;
    qDebug() << "File size counter: " << fileSizeCounter;
    const qint64 rest = fwFileData.size() - fileSizeCounter;
    if (rest <= 0) {
        qDebug() << "End write file!";
        emit setProgressValue(0);
        getCheckFile();
        return;
    }
    int bytes = blockBytes;
    if (rest >= blockBytes) {
        qDebug() << "Send next block";
    } else {
        qDebug() << "Send end block";
        bytes = int(rest);
    }
    const QByteArray block = blockHeader(Cmd::firmwareFile, quint32(fileSizeCounter)) +
                             fwFileData.mid(int(fileSizeCounter), bytes);
    qDebug() << "Send block size: " << block.size();
    qDebug() << dashes;
    sentOffset = fileSizeCounter;
    sentBytes = bytes;
    // Before the block goes: the device may store it and the program end before its answer.
    keepRecord(fileSizeCounter, qMax(record.sentBytes, fileSizeCounter + bytes));
    blockInFlight = true;
    link->sendCommand(Frame::fileBlockCmd, Frame::filePort, block);
}

void FileTransfer::getCheckFile()
{
    if (stoppedByCancel())
        return;
    phase = Phase::Check;
    emit changeDeviceStatus(LinkState::ApplyingFirmware);
    link->getCheckFile();
}

void FileTransfer::resultCheckFile(uchar statusCode)
{
    if (phase != Phase::Check)
        return;
    if (statusCode == Cmd::fileOk) {
        qDebug() << "Check FW file in device OK!";
        getReboot();
        return;
    }
    if (statusCode > Cmd::fileTooBig) {
        fail(
            Error::CheckUnknown,
            QStringLiteral("The device's file check answered the unknown code %1").arg(statusCode));
        return;
    }
    qDebug() << "Check FW file in device ERROR!";
    const QString meaning =
        QStringLiteral("check code %1: %2").arg(statusCode).arg(checkResultText(statusCode));
    // One complete rewrite may mend a damaged file; a second failure will not go away.
    if (rewriting) {
        fail(Error::CheckFailed,
             QStringLiteral("The device rejected the firmware file again after writing it anew "
                            "(%1)")
                 .arg(meaning));
        return;
    }
    qDebug().noquote() << "Writing the whole file again (" << meaning << ")";
    rewriting = true;
    getCreateFile();
}

void FileTransfer::getReboot()
{
    phase = Phase::Reboot;
    link->getReboot();
}

void FileTransfer::rebootAnswer(uchar statusCode)
{
    if (phase != Phase::Reboot)
        return;
    if (statusCode != 0) {
        fail(Error::RebootRefused,
             QStringLiteral("The device refused to reboot into the new firmware (result %1)")
                 .arg(statusCode));
        return;
    }
    // The link reports the reboot (state 10) and lets the port go.
    phase = Phase::Idle;
    emit transferFinished();
}

// ---- endings --------------------------------------------------------------------------------

bool FileTransfer::canCancel() const
{
    return phase != Phase::Idle && phase != Phase::Check && phase != Phase::Reboot;
}

bool FileTransfer::cancel()
{
    if (!canCancel())
        return false;
    // The request in flight is answered first: stopping before its answer would leave the
    // record behind what the device stored.
    cancelAsked = true;
    return true;
}

bool FileTransfer::stoppedByCancel()
{
    if (!cancelAsked)
        return false;
    stop(Error::Cancelled, QStringLiteral("Cancelled: the device holds %1 of %2 bytes of the "
                                          "image, a later transfer goes on from there")
                               .arg(fileSizeCounter)
                               .arg(fwFileData.size()));
    return true;
}

void FileTransfer::stop(Error error, const QString &reason)
{
    qDebug().noquote() << "Firmware transfer stopped: " << reason << "/C:12";
    if (phase == Phase::Blocks)
        keepRecord(fileSizeCounter, record.sentBytes);
    phase = Phase::Idle;
    blockInFlight = false;
    resyncing = false;
    cancelAsked = false;
    emit transferFailed(error, reason);
}

void FileTransfer::fail(Error error, const QString &reason)
{
    stop(error, reason);
    emit changeDeviceStatus(LinkState::FileWriteError);
}

void FileTransfer::linkStateChanged(int state)
{
    if (phase == Phase::Idle)
        return;
    if (state != LinkState::Disconnected && state != LinkState::NotRespond &&
        state != LinkState::RemoteServerUnavailable)
        return;
    // The link has said so in its own state; the transfer only tells why it ended.
    stop(Error::LinkLost, QStringLiteral("The device was lost during the firmware transfer "
                                         "(%1 of %2 bytes confirmed)")
                              .arg(fileSizeCounter)
                              .arg(fwFileData.size()));
}
