#pragma once

#include "deviceidentity.h"
#include "journalrecord.h"

#include <QDomDocument>
#include <QObject>

class DeviceJournal;
class DeviceSession;

// Keeps what a device session does in the device journal, whichever front end drives it: each
// read, write (with what the device held before), verification, firmware flash, and each
// session through the relay or the remote server, with the device, the path and the outcome.
// Jobs the session does not run itself (resets, clock sets, provisioning) are handed in with
// record(). The journal stores in a thread of its own: nothing here waits for it.
class JobRecorder : public QObject
{
    Q_OBJECT
public:
    JobRecorder(DeviceSession *session, DeviceJournal *journal);

    // How the next write is recorded: a write of a file, a set of single values, a restore.
    void setWriteKind(JournalRecord::Kind kind) { writeKind = kind; }
    // A record of this job for the device the session talks to (identity, path, firmware).
    JournalRecord recordFor(JournalRecord::Kind kind) const;
    // Stores a job; nothing when the device is not known yet.
    void record(JournalRecord record);
    // A job without changes: a reset, a clock set.
    void record(JournalRecord::Kind kind, JournalRecord::Result result, const QString &reason = {});
    // The configuration read last (what a write changes from).
    const QDomDocument &deviceConfiguration() const { return lastRead; }

private:
    void identified(const DeviceIdentity &identity);
    void readFinished(const QDomDocument &doc);
    void writeFinished();
    void failed(const QString &reason);
    void flashEnded(bool ok, const QString &reason, bool cancelled);
    void closed(int code);
    // How the session reaches the device now ("usb PORT", "relay via SN", "remote IMEI").
    QString path() const;
    // The parameters of the written document, the device's value before beside each.
    QList<JournalRecord::Change> writtenChanges(const QStringList &names) const;

    DeviceSession *session;
    DeviceJournal *journal;
    JournalRecord::Kind writeKind = JournalRecord::Kind::Write;
    DeviceIdentity device;
    QString firmwareBefore; // the firmware the device ran when a flash started
    QString writePath;      // where a write was made (after its reboot the port may differ)
    QDomDocument lastRead;
    bool writeOpen = false;  // a write is on its way: its record is still to be made
    bool flashOpen = false;
    bool readBackDue = false; // the next read is the read-back of a verified write
    bool sessionFailed = false;
    QString failure;
};
