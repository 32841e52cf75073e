#include "journalworker.h"

#include "journalredaction.h"
#include "journalstore.h"

#include <QAtomicInt>
#include <QDebug>
#include <QSet>
#include <QTimer>

namespace {
QString connectionName(const char *what)
{
    static QAtomicInt counter;
    return QStringLiteral("journal-%1-%2")
        .arg(QLatin1String(what))
        .arg(counter.fetchAndAddRelaxed(1));
}
} // namespace

JournalWorker::JournalWorker(const JournalOptions &options)
    : options(options)
{}

JournalWorker::~JournalWorker() = default;

void JournalWorker::start()
{
    local = std::make_unique<JournalStore>(connectionName("local"));
    if (shared())
        remote = std::make_unique<JournalStore>(connectionName("shared"));
    retryTimer = new QTimer(this);
    retryTimer->setInterval(options.retryIntervalMs);
    connect(retryTimer, &QTimer::timeout, this, &JournalWorker::flushOutbox);
    retryTimer->start();
    // What an earlier run could not send goes first.
    if (shared())
        sendOutbox();
}

void JournalWorker::stop()
{
    if (retryTimer)
        retryTimer->stop();
    if (!kept.isEmpty())
        qWarning().noquote() << "Device journal:" << kept.size()
                             << "records could not be written and are lost";
    local.reset();
    remote.reset();
}

void JournalWorker::write(JournalRecord record)
{
    if (!JournalRedaction::redact(&record))
        qWarning().noquote() << "Device journal: the configuration of job" << record.uid
                             << "is not a readable document and was not kept";
    // Behind records already waiting in memory: they are tried again first, on the timer.
    if (localDown && !kept.isEmpty()) {
        keep(record);
        return;
    }
    QString error;
    if (shared() && !sharedDown) {
        if (storeShared(record, &error)) {
            emit stored(record.uid, true);
            return;
        }
        sharedDown = true;
        report(Trouble::SharedUnreachable, &toldShared, error);
    }
    if (storeLocal(record, shared(), &error)) {
        emit stored(record.uid, false);
        return;
    }
    report(Trouble::LocalUnwritable, &toldLocal, error);
    keep(record);
}

void JournalWorker::keep(const JournalRecord &r)
{
    localDown = true;
    kept << r;
    held.storeRelease(kept.size());
}

bool JournalWorker::storeShared(const JournalRecord &r, QString *error)
{
    if (!remote->isOpen() && !remote->openShared(options.sharedUrl, error))
        return false;
    if (remote->insert(r, false, error))
        return true;
    // A broken connection is made anew next time rather than trusted again.
    remote->close();
    return false;
}

bool JournalWorker::storeLocal(const JournalRecord &r, bool outbox, QString *error)
{
    if (!local->isOpen() &&
        !local->openLocal(options.localPath, options.busyTimeoutMs, true, error))
        return false;
    if (local->insert(r, outbox, error))
        return true;
    local->close();
    return false;
}

bool JournalWorker::retryKept()
{
    while (!kept.isEmpty()) {
        const JournalRecord r = kept.first();
        QString error;
        bool sent = false;
        if (shared() && !sharedDown)
            sent = storeShared(r, &error);
        if (!sent && !storeLocal(r, shared(), &error))
            return false;
        kept.removeFirst();
        held.storeRelease(kept.size());
        emit stored(r.uid, sent);
    }
    localDown = false;
    toldLocal = false;
    return true;
}

void JournalWorker::flushOutbox()
{
    if (shared() && sharedDown) {
        QString error;
        if (remote->isOpen() || remote->openShared(options.sharedUrl, &error))
            sharedDown = false;
    }
    if (!kept.isEmpty())
        retryKept();
    if (shared() && !sharedDown)
        sendOutbox();
}

void JournalWorker::sendOutbox()
{
    QString error;
    int sent = 0;
    bool emptied = true;
    if (local->isOpen() ||
        local->openLocal(options.localPath, options.busyTimeoutMs, false, &error)) {
        QSet<QString> done;
        for (bool more = true; more && emptied;) {
            const QList<JournalRecord> batch = local->outbox(outboxBatch, &error);
            more = !batch.isEmpty();
            for (const JournalRecord &r : batch) {
                // A record that stays after it was removed would be sent round and round.
                if (done.contains(r.uid)) {
                    error = QStringLiteral("record %1 stays in the outbox").arg(r.uid);
                    emptied = false;
                    break;
                }
                done.insert(r.uid);
                if (!storeShared(r, &error)) {
                    sharedDown = true;
                    report(Trouble::SharedUnreachable, &toldShared, error);
                    emptied = false;
                    break;
                }
                // Once the shared store holds it the local copy goes; were this interrupted,
                // the next attempt finds the uid already there and only removes it here.
                if (!local->removeFromOutbox(r.uid, &error)) {
                    emptied = false;
                    break;
                }
                ++sent;
            }
        }
    }
    if (!error.isEmpty() && !sharedDown)
        qWarning().noquote() << "Device journal: the local outbox:" << error;
    if (sent > 0)
        emit outboxSent(sent);
    if (emptied && error.isEmpty()) {
        sharedDown = false;
        toldShared = false;
    }
}

void JournalWorker::report(Trouble t, bool *told, const QString &detail)
{
    qWarning().noquote() << "Device journal:" << detail;
    if (*told)
        return;
    *told = true;
    emit trouble(t, detail);
}
