#include "flashcommand.h"

#include "devicesession.h"
#include "linkstate.h"
#include "naturalcompare.h"

#include <QJsonDocument>
#include <QJsonObject>

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

void FlashCommand::start()
{
    step = Step::Identify;
    QString reason;
    // A file that will be refused costs the device nothing: it is looked at before the port
    // is opened.
    if (!makeSession()->loadFirmware(opts.file, &reason))
        return fail(reason);
    FileTransfer *transfer = session->transfer();
    connect(session, &DeviceSession::identified, this, &FlashCommand::identifiedForFlash);
    connect(session, &DeviceSession::returned, this, &FlashCommand::cameBack);
    connect(session, &DeviceSession::flashStopped, this,
            [this](FileTransfer::Error error, const QString &why) {
                fail(resumable(error) ? why + QStringLiteral("; run the same command again to "
                                                             "resume")
                                      : why);
            });
    connect(session, &DeviceSession::phaseChanged, this, [this](DeviceSession::Phase phase) {
        if (phase == DeviceSession::Phase::Rebooting && step == Step::Transfer) {
            err << "the device accepted the image and restarts into it; waiting for it to come "
                   "back\n";
            err.flush();
        }
        if (phase == DeviceSession::Phase::Rebooting)
            step = Step::Rebooting;
        else if (phase == DeviceSession::Phase::Verifying)
            step = Step::Confirming;
    });
    connect(transfer, &FileTransfer::setProgressValue, this, &FlashCommand::transferProgress);
    connect(transfer, &FileTransfer::resuming, this, [this, transfer](qint64 offset) {
        resumedAt = offset;
        lastProgress = offset;
        if (!opts.progressInPlace && transfer->fileSize() > 0)
            shownStep = int(offset * 100 / transfer->fileSize()) / 10; // no line for what was there
        if (offset > 0)
            err << "resuming at " << offset << " bytes (the device holds them from an earlier "
                << "attempt)\n";
    });
    connect(transfer, &FileTransfer::startingOver, this, [this](const QString &why) {
        err << why << '\n';
        err.flush();
    });
    connect(session, &DeviceSession::linkState, this, [this](int state) {
        if (state == LinkState::ApplyingFirmware)
            err << "the device checks the image\n";
    });
    connect(session, &DeviceSession::passwordRequired, this, &FlashCommand::passwordRequired);
    if (openPort())
        session->identify();
}

void FlashCommand::identifiedForFlash(const DeviceIdentity &d)
{
    if (step != Step::Identify)
        return;
    FileTransfer *transfer = session->transfer();
    const QString image = transfer->fileVersion();
    fromVersion = d.firmware;
    const QString device = d.shownName() + QLatin1Char(' ') + d.serialNumber;
    if (transfer->fileDevId() == d.devId) {
        err << device << ": firmware " << d.firmware << " -> " << image << " (" << opts.file << ", "
            << transfer->fileSize() << " bytes)\n";
        // Older and newer as the firmware store and the window judge them.
        const int age = naturalCompare(image, d.firmware);
        // A refusal like that of another device's image, told before anything is sent.
        if (age < 0 && !opts.allowDowngrade)
            return fail(QStringLiteral("the image's firmware %1 is older than the firmware %2 the "
                                       "device runs; nothing was sent (--allow-downgrade "
                                       "flashes it all the same)")
                            .arg(image, d.firmware));
        // Nothing to do is done: a script that flashes every device it meets may meet one
        // that is up to date.
        if (age == 0 && !opts.allowDowngrade) {
            err << device << " already runs firmware " << d.firmware
                << "; nothing was sent (--allow-downgrade writes it again)\n";
            cameBackWith = d.firmware;
            summary(QString());
            return succeed();
        }
    }
    // Another device's image is refused by the transfer itself, without a question first.
    if (transfer->fileDevId() == d.devId && !opts.yes &&
        !confirm(QStringLiteral("Flash %1 from firmware %2 to %3%4 and restart it?")
                     .arg(device, d.firmware, image,
                          d.firmware == image ? QStringLiteral(" (it runs that version already)")
                                              : QString())))
        return fail(QStringLiteral("cancelled; nothing was sent"));
    step = Step::Transfer;
    shownStep = opts.progressInPlace ? -1 : 0; // lines from the first 10 %
    flashClock.start();
    session->flash();
}

void FlashCommand::cameBack(const DeviceIdentity &d)
{
    if (done)
        return;
    const QString image = session->transfer()->fileVersion();
    cameBackWith = d.firmware;
    if (d.firmware != image)
        return fail(QStringLiteral("the device came back running firmware %1, not the image's "
                                   "%2: it did not apply the image")
                        .arg(d.firmware, image));
    err << d.shownName() << " " << d.serialNumber << " runs firmware " << d.firmware
        << " now\n";
    summary(QString());
    succeed();
}

void FlashCommand::transferProgress(int value)
{
    if (step != Step::Transfer)
        return;
    // The transfer reports 0 when it creates the file and again once every byte is written.
    if (value > lastProgress)
        bytesSent += value - lastProgress;
    lastProgress = value;
    if (value > 0)
        drawProgress(value);
}

void FlashCommand::drawProgress(qint64 value)
{
    const qint64 size = session->transfer()->fileSize();
    const int percent = int(value * 100 / size);
    const bool end = value >= size;
    const int shown = opts.progressInPlace ? percent : percent / 10;
    if (opts.progressInPlace) {
        // Redrawn when the figure changes, and now and then for the rate.
        if (shown == shownStep && !end && drawClock.isValid() && drawClock.elapsed() < 250)
            return;
    } else if (shown <= shownStep) {
        return;
    }
    shownStep = shown;
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

bool FlashCommand::interruptCommand()
{
    QString message;
    switch (step) {
    case Step::Off:
    case Step::Done:
        return false;
    case Step::Identify:
        message = QStringLiteral("interrupted; nothing was sent to the device");
        break;
    case Step::Transfer:
        message = QStringLiteral("interrupted: the device holds %1 of %2 bytes of the image; run "
                                 "the same command again to resume")
                      .arg(session->transfer()->confirmedBytes())
                      .arg(session->transfer()->fileSize());
        break;
    case Step::Rebooting:
    case Step::Confirming:
        message = QStringLiteral("interrupted while the device restarts into the new firmware; "
                                 "see vexa7xx-cli info");
        break;
    }
    // Whatever block was on its way, the device keeps only what it confirmed.
    session->abort();
    fail(message);
    return true;
}

void FlashCommand::summary(const QString &error)
{
    if (step == Step::Off)
        return;
    step = Step::Done;
    if (barOpen)
        err << '\n';
    barOpen = false;
    if (!opts.json)
        return;
    auto orNull = [](const QString &s) { return s.isEmpty() ? QJsonValue() : QJsonValue(s); };
    const DeviceIdentity &d = identity();
    QJsonValue device;
    if (d.devId != 0)
        device = QJsonObject{{QStringLiteral("model"), d.shownName()},
                             {QStringLiteral("deviceId"), int(d.devId)},
                             {QStringLiteral("serialNumber"), d.serialNumber},
                             {QStringLiteral("port"), where()}};
    FileTransfer *transfer = session ? session->transfer() : nullptr;
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
