#include "devicejournal.h"

#include "configdocument.h"
#include "journalredaction.h"
#include "journalstore.h"
#include "journalworker.h"

#include <QAtomicInt>
#include <QSemaphore>
#include <QSet>
#include <QSharedPointer>
#include <QSysInfo>
#include <QThread>
#include <QUuid>

#include <algorithm>
#include <utility>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace {
QString readerName()
{
    static QAtomicInt counter;
    return QStringLiteral("journal-read-%1").arg(counter.fetchAndAddRelaxed(1));
}

void setError(QString *out, const QString &error)
{
    if (out)
        *out = error;
}

// The stores a query reads, opened for it on the calling thread: the shared one when
// configured, and the local file (the journal itself, or the outbox of the shared one).
class Readers
{
public:
    explicit Readers(const JournalOptions &o)
        : sharedStore(readerName())
        , localStore(readerName())
    {
        shared = !o.sharedUrl.isEmpty();
        if (shared)
            sharedOpen = sharedStore.openShared(o.sharedUrl, &error);
        QString localError;
        localOpen = localStore.openLocal(o.localPath, o.busyTimeoutMs, false, &localError);
        if (error.isEmpty())
            error = localError;
    }

    // Where the main answer comes from, and with what scope the local file adds to it.
    JournalStore *main()
    {
        if (shared)
            return sharedOpen ? &sharedStore : nullptr;
        return localOpen ? &localStore : nullptr;
    }
    JournalStore *outbox() { return shared && localOpen ? &localStore : nullptr; }
    void note(const QString &e)
    {
        if (error.isEmpty())
            error = e;
    }

    bool shared = false;
    bool sharedOpen = false;
    bool localOpen = false;
    QString error;

private:
    JournalStore sharedStore;
    JournalStore localStore;
};

// Outbox records are shown with negative ids: their own numbers would clash with the shared
// store's.
void markOutbox(JournalRecord *r)
{
    r->id = -r->id;
    r->pending = true;
}
} // namespace

DeviceJournal::DeviceJournal(QObject *parent)
    : DeviceJournal(JournalOptions::fromSettings(), parent)
{}

DeviceJournal::DeviceJournal(const JournalOptions &options, QObject *parent)
    : QObject(parent)
    , opts(options)
{
    qRegisterMetaType<DeviceJournal::Problem>();
    qRegisterMetaType<JournalWorker::Trouble>();
    if (opts.localPath.isEmpty())
        opts.localPath = JournalOptions::defaultLocalPath();
    if (opts.station.isEmpty())
        opts.station = defaultStation();
    if (opts.user.isEmpty())
        opts.user = defaultUser();
    if (opts.enabled)
        startWorker();
}

DeviceJournal::~DeviceJournal()
{
    if (!worker)
        return;
    waitForDrained();
    QMetaObject::invokeMethod(worker, &JournalWorker::stop, Qt::BlockingQueuedConnection);
    thread->quit();
    thread->wait();
    delete worker;
    delete thread;
}

void DeviceJournal::startWorker()
{
    thread = new QThread;
    thread->setObjectName(QStringLiteral("journal"));
    worker = new JournalWorker(opts);
    worker->moveToThread(thread);
    connect(worker, &JournalWorker::trouble, this,
            [this](JournalWorker::Trouble t, const QString &detail) {
                if (t == JournalWorker::Trouble::SharedUnreachable)
                    emit problem(Problem::SharedStoreUnreachable,
                                 tr("Общий журнал устройств %1 недоступен (%2). Записи "
                                    "сохраняются на этом компьютере и будут отправлены, когда "
                                    "он станет доступен.")
                                     .arg(JournalStore::displayUrl(opts.sharedUrl), detail));
                else
                    emit problem(Problem::LocalStoreUnwritable,
                                 tr("Журнал устройств %1 не удаётся записать (%2). Записи "
                                    "хранятся в памяти и будут записаны позже; если закрыть "
                                    "программу раньше, они пропадут.")
                                     .arg(opts.localPath, detail));
            });
    connect(worker, &JournalWorker::stored, this, &DeviceJournal::recorded);
    connect(worker, &JournalWorker::outboxSent, this, &DeviceJournal::outboxSent);
    thread->start();
    QMetaObject::invokeMethod(worker, &JournalWorker::start, Qt::QueuedConnection);
}

QString DeviceJournal::record(JournalRecord record)
{
    if (!worker)
        return QString();
    if (record.uid.isEmpty())
        record.uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    record.time = record.time.isValid() ? record.time.toUTC() : QDateTime::currentDateTimeUtc();
    if (record.station.isEmpty())
        record.station = opts.station;
    if (record.user.isEmpty())
        record.user = opts.user;
    record.id = 0;
    record.pending = false;
    JournalWorker *w = worker;
    QMetaObject::invokeMethod(
        w, [w, record]() { w->write(record); }, Qt::QueuedConnection);
    return record.uid;
}

bool DeviceJournal::waitForDrained(int timeoutMs)
{
    if (!worker)
        return true;
    // A marker behind everything queued so far: when the thread reaches it, all before it
    // has been handled.
    auto reached = QSharedPointer<QSemaphore>::create();
    QMetaObject::invokeMethod(
        worker, [reached]() { reached->release(); }, Qt::QueuedConnection);
    return reached->tryAcquire(1, timeoutMs) && worker->heldCount() == 0;
}

void DeviceJournal::flushOutbox()
{
    if (worker)
        QMetaObject::invokeMethod(worker, &JournalWorker::flushOutbox, Qt::QueuedConnection);
}

int DeviceJournal::heldCount() const
{
    return worker ? worker->heldCount() : 0;
}

QList<JournalRecord> DeviceJournal::jobs(const QString &serial, const QDateTime &since,
                                         QString *error) const
{
    QList<JournalRecord> out;
    if (!opts.enabled)
        return out;
    Readers r(opts);
    QString e;
    if (JournalStore *s = r.main()) {
        out = s->jobs(serial, since, JournalStore::Scope::All, &e);
        r.note(e);
    }
    if (JournalStore *s = r.outbox()) {
        QSet<QString> seen;
        for (const JournalRecord &j : std::as_const(out))
            seen.insert(j.uid);
        // A record sent a moment ago may be in both until its local copy is removed.
        for (JournalRecord j : s->jobs(serial, since, JournalStore::Scope::Outbox, &e)) {
            if (seen.contains(j.uid))
                continue;
            markOutbox(&j);
            out << j;
        }
        r.note(e);
        std::stable_sort(
            out.begin(), out.end(),
            [](const JournalRecord &a, const JournalRecord &b) { return a.time > b.time; });
    }
    setError(error, r.error);
    return out;
}

bool DeviceJournal::job(qint64 id, JournalRecord *out, QString *error) const
{
    if (!opts.enabled)
        return false;
    Readers r(opts);
    QString e;
    bool found = false;
    if (id < 0) {
        if (JournalStore *s = r.outbox()) {
            found = s->job(-id, JournalStore::Scope::Outbox, out, &e);
            if (found)
                markOutbox(out);
        }
    } else if (JournalStore *s = r.main()) {
        found = s->job(id, JournalStore::Scope::All, out, &e);
    }
    r.note(e);
    setError(error, r.error);
    return found;
}

bool DeviceJournal::configurationAt(const QString &serial, const QDateTime &moment,
                                    JournalRecord *out, QString *error) const
{
    if (!opts.enabled)
        return false;
    Readers r(opts);
    QString e;
    bool found = false;
    if (JournalStore *s = r.main()) {
        found = s->firstConfigSince(serial, moment, JournalStore::Scope::All, out, &e);
        r.note(e);
    }
    JournalRecord waiting;
    if (JournalStore *s = r.outbox();
        s && s->firstConfigSince(serial, moment, JournalStore::Scope::Outbox, &waiting, &e) &&
        (!found || waiting.time < out->time)) {
        markOutbox(&waiting);
        *out = waiting;
        found = true;
    }
    r.note(e);
    setError(error, r.error);
    return found;
}

QList<ProvisionedDevice> DeviceJournal::provisioned(const QDateTime &since, QString *error) const
{
    QList<ProvisionedDevice> out;
    if (!opts.enabled)
        return out;
    Readers r(opts);
    QString e;
    if (JournalStore *s = r.main()) {
        out = s->provisioned(since, JournalStore::Scope::All, &e);
        r.note(e);
    }
    if (JournalStore *s = r.outbox()) {
        out += s->provisioned(since, JournalStore::Scope::Outbox, &e);
        r.note(e);
        std::stable_sort(
            out.begin(), out.end(),
            [](const ProvisionedDevice &a, const ProvisionedDevice &b) { return a.time < b.time; });
    }
    setError(error, r.error);
    return out;
}

QString DeviceJournal::fingerprint(const QString &value)
{
    return JournalRedaction::fingerprint(value);
}

QString DeviceJournal::defaultStation()
{
    return QSysInfo::machineHostName();
}

QString DeviceJournal::defaultUser()
{
    for (const char *name : {"USER", "LOGNAME", "USERNAME"}) {
        const QString v = qEnvironmentVariable(name);
        if (!v.isEmpty())
            return v;
    }
#ifdef Q_OS_UNIX
    if (const passwd *pw = ::getpwuid(::geteuid()))
        return QString::fromLocal8Bit(pw->pw_name);
#endif
    return QString();
}

bool DeviceJournal::restorable(const JournalRecord &job, QDomDocument *doc, QStringList *refused)
{
    if (job.configBefore.isEmpty() ||
        ConfigDocument::load(job.configBefore.toUtf8(), doc, refused) !=
            ConfigDocument::LoadResult::Ok)
        return false;
    ConfigDocument::clearKeys(*doc);
    // What was refused in place of a key is no loss: keys are not restored.
    refused->erase(std::remove_if(refused->begin(), refused->end(),
                                  [](const QString &r) {
                                      return ConfigDocument::keyElements().contains(
                                          r.section(QLatin1Char(':'), 0, 0));
                                  }),
                   refused->end());
    return true;
}
