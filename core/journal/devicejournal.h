#pragma once

#include "journaloptions.h"
#include "journalrecord.h"
#include "provisioneddevice.h"

#include <QDomDocument>
#include <QList>
#include <QObject>
#include <QString>

class JournalWorker;
class QThread;

// What was done to which device, when and by whom: one record per job (read, write, verify,
// set, reset, clock, flash, provision, relay, remote, restore), kept in a SQLite file or, for a
// bench of stations, in a shared PostgreSQL database.
//
// Writing never holds up the caller: record() hands the record to the journal's own thread and
// returns. Secrets never reach a store: whatever the caller passes, the values of the secret
// keys (ParamCatalogue::secretElements) are replaced by fingerprints (fingerprint()), in the
// changes, in the configuration kept and in any other text of the record. A record carries no
// password field; do not put one into free text.
//
// A record the shared store cannot take waits in the local file and is sent at the next start,
// every retry interval and on flushOutbox(); a record no store can take (disk full, a database
// locked longer than the busy time-out) waits in memory and is tried again the same way. Each
// kind of trouble is told once, through problem(), until it has passed.
//
// Queries are synchronous and open their own connection on the calling thread. They read the
// shared store when one is configured, else the local file, and add the records still waiting
// in the local outbox (pending, with negative ids), so nothing looks lost. Records handed to
// record() but not yet stored are not seen: waitForDrained() first when that matters.
class DeviceJournal : public QObject
{
    Q_OBJECT
public:
    enum class Problem {
        SharedStoreUnreachable, // records wait in the local file
        LocalStoreUnwritable,   // records wait in memory; they are lost if the program ends
    };
    Q_ENUM(Problem)

    static constexpr int defaultDrainTimeoutMs = 10 * 1000;

    // Options from settings.conf (group Journal: Enabled, Path, Url, RetryIntervalMs,
    // BusyTimeoutMs).
    explicit DeviceJournal(QObject *parent = nullptr);
    explicit DeviceJournal(const JournalOptions &options, QObject *parent = nullptr);
    // Waits up to defaultDrainTimeoutMs for the records handed in, then stops the thread.
    ~DeviceJournal() override;

    bool isEnabled() const { return opts.enabled; }
    bool isShared() const { return opts.enabled && !opts.sharedUrl.isEmpty(); }
    const JournalOptions &options() const { return opts; }

    // Fills in what the caller left empty (uid, the time now, station, user) and queues the
    // record; returns its uid (empty when the journal is off).
    QString record(JournalRecord record);
    // Waits until every record handed in so far is in a store (the shared one or the local
    // outbox). False on time-out, or at once when records wait in memory because no store
    // takes them. For the command line before it exits, and for tests.
    bool waitForDrained(int timeoutMs = defaultDrainTimeoutMs);
    // Tries again now what waits (in memory, and in the outbox for the shared store).
    void flushOutbox();
    // Records waiting in memory.
    int heldCount() const;

    // Jobs of a device (every device when serial is empty) since a moment (all when invalid),
    // newest first, with their changes; without the configuration.
    QList<JournalRecord> jobs(const QString &serial, const QDateTime &since = QDateTime(),
                              QString *error = nullptr) const;
    // One job with its changes and the configuration before it; false when there is none.
    bool job(qint64 id, JournalRecord *out, QString *error = nullptr) const;
    // The job whose kept configuration is what the device held at `moment`: the earliest job at
    // or after it that kept one. None when nothing was written since (the device still holds
    // it). For "restore before a date"; "restore before a job" is job(id).configBefore.
    bool configurationAt(const QString &serial, const QDateTime &moment, JournalRecord *out,
                         QString *error = nullptr) const;
    // Devices provisioned successfully since a moment, oldest first, for the export.
    QList<ProvisionedDevice> provisioned(const QDateTime &since = QDateTime(),
                                         QString *error = nullptr) const;

    // The configuration kept with a job, ready to be written back: without keys and identity
    // (the journal holds fingerprints where secrets were, and keys are never restored). False
    // when the job kept none or it does not read; *refused lists what a file check refused.
    static bool restorable(const JournalRecord &job, QDomDocument *doc, QStringList *refused);

    // The fingerprint that stands for a secret value in the journal ("sha256:" + 8 hex digits).
    static QString fingerprint(const QString &value);
    static QString defaultStation();
    static QString defaultUser();

signals:
    // Told once per outage of each kind; message is for the user.
    void problem(DeviceJournal::Problem problem, const QString &message);
    // A record reached a store (shared: the shared one; else the local file or its outbox).
    void recorded(const QString &uid, bool shared);
    // Records from the outbox that reached the shared store.
    void outboxSent(int count);

private:
    void startWorker();

    JournalOptions opts;
    QThread *thread = nullptr;
    JournalWorker *worker = nullptr;
};
