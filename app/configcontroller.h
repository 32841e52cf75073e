#pragma once

#include "deviceidentity.h"
#include "pendingchanges.h"

#include <QDomDocument>
#include <QList>
#include <QObject>
#include <QPair>
#include <QStringList>

class MainWindow;

// The configuration in the window: the edits waiting to be written and the device they were
// made for, the marks that show them, configuration files, and the write with its reports.
class ConfigController : public QObject
{
    Q_OBJECT
public:
    explicit ConfigController(MainWindow *window);

    // What the editor shows (the device's values with the edits over them), and the edits.
    QDomDocument fullConfiguration() const { return pending.configuration(); }
    QDomDocument pendingChanges() const { return pending.document(); }
    bool hasChanges() const { return !pending.isEmpty(); }
    // Reading the device again replaces the edits: true when there are none, or the user
    // agrees to lose them.
    bool mayReadAgain();
    int pendingCount() const { return pending.count(); }

    // Records an edit: pending while the value differs from the device's.
    void replaceElement(const QString &name, const QList<QPair<QString, QString>> &attrs);
    // A device was identified: edits made for another device are put aside and the user is
    // asked what becomes of them; edits kept for this one come back.
    void takeDevice(const DeviceIdentity &identity);
    // The device's configuration was read: edits it already holds are no longer pending, the
    // rest show over its values.
    void deviceRead(const QDomDocument &doc);
    // The device went: its edits stay, for it, over the values last shown.
    void forgetDevice() { pending.setShownValues(pending.configuration()); }
    // The relayed device is left: its edits wait for the question about them.
    void setAside();
    // A read that starts over drops the edits.
    void clear();

    // The write button: checks, asks with the list of changes, writes.
    void write();
    // Closing the window with edits: asks whether to write them first; true when the window
    // may close now.
    bool mayClose();
    void openFile();
    // Takes an opened file's values (keys and identity already removed) into the documents, as
    // edits to be reviewed and written; also for a configuration put back from the journal.
    void applyConfigFile(const QDomDocument &loaded);
    void saveFile();
    // Shows what waits to be written: marked fields and pages, the count on the write button.
    void refreshPendingMarks();
    // What the last write put on the device and what stays pending, for the error boxes.
    QString writeReportText() const;

private:
    void askAboutForeignChanges();
    // The editor shows the pending edits over what it shows now.
    void showPendingInEditor();
    // The pending changes as "label: device value → new value" lines.
    QStringList pendingChangeLines() const;
    // Tells which fields hold what cannot be written; true when there are any.
    bool invalidInputRefused();
    // Hands the pending changes to the session.
    void writePendingChanges();
    // The write ended: on success the changes sent are no longer pending.
    void writeFinished(bool ok);
    // After a write (when the setting asks for it): the user is told how the device's values
    // read again after its reboot compare with what it acknowledged.
    void verifyWrite();

    MainWindow *window;
    // The changes still to write, for the device they were made for; those of other devices
    // the user chose to keep, and those waiting for his choice.
    PendingChanges pending;
    QList<PendingChanges> keptChanges;
    QList<PendingChanges> foreignChanges;
    bool foreignQuestionOpen = false; // one question about them at a time
};
