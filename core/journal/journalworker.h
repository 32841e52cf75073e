#pragma once

#include "journaloptions.h"
#include "journalrecord.h"

#include <QAtomicInt>
#include <QList>
#include <QObject>

#include <memory>

class JournalStore;
class QTimer;

// The device journal's writing side, on a thread of its own with its own connections, so that
// a slow, locked or vanished database never delays the work the records describe. Records go
// to the shared store when one is configured, else to the local file; a record the shared
// store does not take waits in the local file (the outbox), and one no store takes waits in
// memory; both are tried again every retry interval and on flushOutbox().
class JournalWorker : public QObject
{
    Q_OBJECT
public:
    // Why records are not where they belong.
    enum class Trouble { SharedUnreachable, LocalUnwritable };
    Q_ENUM(Trouble)

    // Records sent from the outbox in one go before other work gets a turn.
    static constexpr int outboxBatch = 100;

    explicit JournalWorker(const JournalOptions &options);
    ~JournalWorker() override;

    // Records that no store took yet (any thread may ask).
    int heldCount() const { return held.loadAcquire(); }

    // All of these run on the worker's thread.
    void start();
    void write(JournalRecord record);
    void flushOutbox();
    void stop();

signals:
    // Once per outage of each kind; detail says what the database answered.
    void trouble(JournalWorker::Trouble trouble, const QString &detail);
    void stored(const QString &uid, bool shared);
    void outboxSent(int count);

private:
    bool shared() const { return !options.sharedUrl.isEmpty(); }
    bool storeShared(const JournalRecord &r, QString *error);
    bool storeLocal(const JournalRecord &r, bool outbox, QString *error);
    void keep(const JournalRecord &r);
    bool retryKept();
    void sendOutbox();
    void report(Trouble t, bool *told, const QString &detail);

    JournalOptions options;
    std::unique_ptr<JournalStore> local;
    std::unique_ptr<JournalStore> remote;
    QList<JournalRecord> kept; // no store took them yet
    QAtomicInt held;
    QTimer *retryTimer = nullptr;
    bool sharedDown = false; // from a failure of the shared store until it takes records again
    bool localDown = false;
    bool toldShared = false;
    bool toldLocal = false;
};
