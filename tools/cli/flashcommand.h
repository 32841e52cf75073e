#pragma once

#include "clicommand.h"
#include "filetransfer.h"

#include <QElapsedTimer>

// flash: a firmware image into the device through its file store, with a progress bar,
// resume after an interruption, and the version the device comes back with checked against
// the image's.
class FlashCommand : public CliCommand
{
    Q_OBJECT
public:
    using CliCommand::CliCommand;
    void start() override;
    // After a success: the version the device came back with.
    QString runningVersion() const { return cameBackWith; }

protected:
    void failing(const QString &message) override { summary(message); }
    bool interruptCommand() override;

private:
    enum class Step { Off, Identify, Transfer, Rebooting, Confirming, Done };
    void identifiedForFlash(const DeviceIdentity &device);
    void cameBack(const DeviceIdentity &device);
    void transferProgress(int value);
    void drawProgress(qint64 value);
    // The flash's last words: the summary object with --json (error empty on success).
    void summary(const QString &error);

    Step step = Step::Off;
    QString fromVersion;   // the firmware the device ran before
    QString cameBackWith;  // the firmware it reported after the reboot
    qint64 resumedAt = -1; // the bytes the device held of the image already (-1: created anew)
    qint64 bytesSent = 0;  // image bytes the device confirmed in this run
    qint64 lastProgress = 0;
    int shownStep = -1;       // the last 10 % step (or percent, in place) drawn
    bool barOpen = false;     // a progress bar drawn in place waits for its line end
    QElapsedTimer flashClock; // since the transfer started
    QElapsedTimer drawClock;  // since the progress was last drawn
};
