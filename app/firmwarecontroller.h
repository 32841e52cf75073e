#pragma once

#include "filetransfer.h"
#include "firmwaredialog.h"

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>

class MainWindow;

// The firmware of the connected device: the offer of a newer one from the local store, the
// update on the window's button (FileTransfer carries it out) and what the update's states show.
class FirmwareController : public QObject
{
    Q_OBJECT
public:
    enum class Check { Unknown = 0, UpToDate = 1, NewerAvailable = 2 };

    // Made once the window's device link exists: the transfer works through it.
    explicit FirmwareController(MainWindow *window);

    FileTransfer *transfer() const { return fileTransfer; }
    // Whether the store holds a newer firmware for the connected device (also for the updater).
    Check checkResult() const { return check; }
    void setCheckResult(Check result) { check = result; }
    // An update is under way: the file transfer and the reboot that follows it.
    bool isUpdating() const { return updating; }
    // Newest firmware in the local store for a device key ("0.0.0" for none).
    QString localLastFw(const QString &devID);
    // What the window's state means for the update; true when nothing else is left to do.
    bool applyState(int state);
    // The progress dialog of the update under way (null when none is shown).
    FirmwareDialog *progressDialog() const { return dialog; }

signals:
    // An update has ended (from: the firmware the device ran when it began), for the journal.
    void updateEnded(FirmwareDialog::Outcome outcome, const QString &from, const QString &text);

public slots:
    // Compares the store with the connected device's version and offers a newer one.
    void availableNewFw();
    // The update button: asks, then hands the newest stored file to the device.
    void startUpdateFirmware();
    void firmwareTransferFailed(FileTransfer::Error error, const QString &reason);

private:
    static QString firmwareErrorText(FileTransfer::Error error);
    // The update is over (done, refused or lost): the link polls and searches again.
    void endUpdate();
    void openDialog(const QString &version);
    // The outcome: at the end of the progress dialog, or in a box when there is none. The
    // device's pages are usable again.
    void tell(FirmwareDialog::Outcome outcome, const QString &text);

    MainWindow *window;
    FileTransfer *fileTransfer = nullptr;
    QMap<QString, QString> firmwareMap; // version -> file of the local store
    Check check = Check::Unknown;
    bool updating = false;
    bool newerInStore = false; // the button is offered again whenever the device is ready
    QString failure;           // why the last update stopped, for the failure box
    QString flashedVersion;    // being flashed: told once the device is back
    QString flashedFrom;       // the firmware the device ran before
    QPointer<FirmwareDialog> dialog;
};
