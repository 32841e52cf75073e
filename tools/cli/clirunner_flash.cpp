// CliRunner's flash command: a firmware image into the device through FileTransfer, with a
// progress bar, resume after an interruption, and the version the device comes back with
// checked against the image's.
#include "clirunner.h"

#include "deviceidentity.h"
#include "deviceinterface.h"
#include "linkstate.h"
#include "portcheck.h"
#include "portenumerator.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

namespace {
QString kib(qint64 bytes)
{
    return QString::number(double(bytes) / 1024, 'f', 1);
}

QString minutes(qint64 seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// A failure after which running the command again goes on from what the device holds.
bool resumable(FileTransfer::Error error)
{
    return error == FileTransfer::Error::LinkLost || error == FileTransfer::Error::BlocksRejected;
}
} // namespace

void CliRunner::startFlash()
{
    flashPhase = FlashPhase::Identify;
    link = new DeviceInterface(this);
    link->setUserPrompts(this);
    transfer = new FileTransfer(link, this);
    // A file that will be refused costs the device nothing: it is looked at before the port
    // is opened.
    if (transfer->loadFirmwareFile(QString(), opts.file) != FileTransfer::Error::None)
        return fail(transfer->refusalReason());
    if (!choosePort())
        return;

    connect(link, &DeviceInterface::setCurrentFwVer, this,
            [this](QString fw, QString, ushort devId, QString, QString, QString sn) {
                flashIdentified(fw, devId, sn);
            });
    connect(link, &DeviceInterface::changeDeviceStatus, this, &CliRunner::flashStateChanged);
    connect(transfer, &FileTransfer::transferFailed, this, &CliRunner::flashStopped);
    connect(transfer, &FileTransfer::transferFinished, this, &CliRunner::flashRebooted);
    connect(transfer, &FileTransfer::setProgressValue, this, &CliRunner::flashProgress);
    connect(transfer, &FileTransfer::resuming, this, [this](qint64 offset) {
        resumedAt = offset;
        lastProgress = offset;
        if (!opts.progressInPlace && transfer->fileSize() > 0)
            shownStep = int(offset * 100 / transfer->fileSize()) / 10; // no line for what was there
        if (offset > 0)
            err << "resuming at " << offset << " bytes (the device holds them from an earlier "
                << "attempt)\n";
    });
    connect(transfer, &FileTransfer::changeDeviceStatus, this, [this](int state) {
        if (state == LinkState::ApplyingFirmware)
            err << "the device checks the image\n";
    });
    openAndIdentify();
}

void CliRunner::flashIdentified(const QString &fw, ushort devId, const QString &sn)
{
    const QString image = transfer->fileVersion();
    if (flashPhase == FlashPhase::Confirming) {
        cameBackWith = fw;
        if (fw != image)
            return fail(QStringLiteral("the device came back running firmware %1, not the "
                                       "image's %2: it did not apply the image")
                            .arg(fw, image));
        err << "Vexa" << DeviceIdentity::modelOf(deviceId) << " " << serial << " runs firmware "
            << fw << " now\n";
        return endFlash(true, QString());
    }
    if (flashPhase != FlashPhase::Identify)
        return;
    fromVersion = fw;
    deviceId = devId;
    serial = sn;
    const QString device = QStringLiteral("Vexa%1 %2").arg(DeviceIdentity::modelOf(devId)).arg(sn);
    if (transfer->fileDevId() == devId)
        err << device << ": firmware " << fw << " -> " << image << " (" << opts.file << ", "
            << transfer->fileSize() << " bytes)\n";
    // Another device's image is refused by the transfer itself, without a question first.
    if (transfer->fileDevId() == devId && !opts.yes &&
        !confirm(
            QStringLiteral("Flash %1 from firmware %2 to %3%4 and restart it?")
                .arg(device, fw, image,
                     fw == image ? QStringLiteral(" (it runs that version already)") : QString())))
        return fail(QStringLiteral("cancelled; nothing was sent"));
    flashPhase = FlashPhase::Transfer;
    shownStep = opts.progressInPlace ? -1 : 0; // lines from the first 10 %
    flashClock.start();
    transfer->getFileInfo();
}

void CliRunner::flashStateChanged(int state)
{
    switch (flashPhase) {
    case FlashPhase::Identify:
        if (state == LinkState::Disconnected)
            fail(QStringLiteral("the device went away"));
        else if (state == LinkState::NotRespond)
            fail(QStringLiteral("the device does not answer"));
        break;
    case FlashPhase::Rebooting:
        if (state == LinkState::Disconnected)
            portGone = true;
        break;
    case FlashPhase::Confirming:
        if (state == LinkState::Disconnected) {
            // Some devices enumerate twice on their way up: wait for the next.
            portGone = true;
            flashPhase = FlashPhase::Rebooting;
            returnTimer->start();
        } else if (state == LinkState::NotRespond) {
            fail(QStringLiteral("the device came back after the reboot but does not answer; "
                                "whether it runs the new firmware is not known (see "
                                "vexa7xx-cli info)"));
        }
        break;
    default:
        break; // during the transfer, the transfer tells
    }
}

void CliRunner::flashStopped(FileTransfer::Error error, const QString &reason)
{
    if (flashPhase != FlashPhase::Transfer)
        return;
    fail(resumable(error) ? reason + QStringLiteral("; run the same command again to resume")
                          : reason);
}

void CliRunner::flashProgress(int value)
{
    if (flashPhase != FlashPhase::Transfer)
        return;
    // The transfer reports 0 when it creates the file and again once every byte is written.
    if (value > lastProgress)
        bytesSent += value - lastProgress;
    lastProgress = value;
    if (value > 0)
        drawFlashProgress(value);
}

void CliRunner::drawFlashProgress(qint64 value)
{
    const qint64 size = transfer->fileSize();
    const int percent = int(value * 100 / size);
    const bool end = value >= size;
    const int step = opts.progressInPlace ? percent : percent / 10;
    if (opts.progressInPlace) {
        // Redrawn when the figure changes, and now and then for the rate.
        if (step == shownStep && !end && drawClock.isValid() && drawClock.elapsed() < 250)
            return;
    } else if (step <= shownStep) {
        return;
    }
    shownStep = step;
    drawClock.start();
    const double seconds = flashClock.elapsed() / 1000.0;
    const double rate = seconds > 0 ? double(bytesSent) / seconds : 0; // bytes per second
    QString line = QStringLiteral("%1% %2/%3 KiB, %4 KB/s")
                       .arg(percent, 3)
                       .arg(kib(value), kib(size))
                       .arg(rate / 1000, 0, 'f', 1);
    if (!end && rate > 0)
        line += QStringLiteral(", %1 left").arg(minutes(qRound64(double(size - value) / rate)));
    if (opts.progressInPlace) {
        err << '\r' << line.leftJustified(48);
        barOpen = !end;
        if (end)
            err << '\n';
    } else {
        err << line << '\n';
    }
    err.flush();
}

void CliRunner::flashRebooted()
{
    err << "the device accepted the image and restarts into it; waiting for it to come back\n";
    err.flush();
    flashPhase = FlashPhase::Rebooting;
    awaitReturn();
}

bool CliRunner::interruptFlash()
{
    if (done)
        return true;
    QString message;
    switch (flashPhase) {
    case FlashPhase::Off:
    case FlashPhase::Done:
        return false;
    case FlashPhase::Identify:
        message = QStringLiteral("interrupted; nothing was sent to the device");
        break;
    case FlashPhase::Transfer:
        message = QStringLiteral("interrupted: the device holds %1 of %2 bytes of the image; run "
                                 "the same command again to resume")
                      .arg(transfer->confirmedBytes())
                      .arg(transfer->fileSize());
        break;
    case FlashPhase::Rebooting:
    case FlashPhase::Confirming:
        message = QStringLiteral("interrupted while the device restarts into the new firmware; "
                                 "see vexa7xx-cli info");
        break;
    }
    // Whatever block was on its way, the device keeps only what it confirmed.
    if (link && link->serialPort()->isOpen())
        link->serialPort()->close();
    fail(message);
    return true;
}

void CliRunner::endFlash(bool ok, const QString &message)
{
    if (!ok)
        return fail(message);
    flashSummary(QString());
    succeed();
}

void CliRunner::flashSummary(const QString &error)
{
    flashPhase = FlashPhase::Done;
    if (returnTimer)
        returnTimer->stop();
    if (barOpen)
        err << '\n';
    barOpen = false;
    if (!opts.json)
        return;
    auto orNull = [](const QString &s) { return s.isEmpty() ? QJsonValue() : QJsonValue(s); };
    QJsonValue device;
    if (deviceId != 0)
        device = QJsonObject{{QStringLiteral("model"),
                              QStringLiteral("Vexa%1").arg(DeviceIdentity::modelOf(deviceId))},
                             {QStringLiteral("deviceId"), int(deviceId)},
                             {QStringLiteral("serialNumber"), serial},
                             {QStringLiteral("port"), portName}};
    QJsonObject o{
        {QStringLiteral("file"), opts.file},
        {QStringLiteral("device"), device},
        {QStringLiteral("fromVersion"), orNull(fromVersion)},
        {QStringLiteral("toVersion"), orNull(transfer ? transfer->fileVersion() : QString())},
        {QStringLiteral("bytesSent"), bytesSent},
        {QStringLiteral("resumedAt"), resumedAt >= 0 ? QJsonValue(resumedAt) : QJsonValue()},
        {QStringLiteral("seconds"), flashClock.isValid() ? flashClock.elapsed() / 1000.0 : 0.0},
        {QStringLiteral("result"),
         error.isEmpty() ? QStringLiteral("ok") : QStringLiteral("failed")}};
    if (!error.isEmpty())
        o.insert(QStringLiteral("error"), error);
    if (!cameBackWith.isEmpty())
        o.insert(QStringLiteral("runningVersion"), cameBackWith);
    out << QJsonDocument(o).toJson(QJsonDocument::Compact) << '\n';
}
