#include "journalstore.h"

#include "journalschema.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimeZone>
#include <QUrl>
#include <QUrlQuery>

#include <limits>
#include <utility>

namespace {
const QString jobColumns =
    QStringLiteral("id, uid, time_ms, station, user_name, kind, model, revision, serial, "
                   "dev_eui, fw_before, fw_after, path, result, reason, outbox");

// NOT NULL columns: a missing text is stored as an empty one.
QVariant text(const QString &s)
{
    return s.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(s);
}

qint64 msOf(const QDateTime &t)
{
    return t.isValid() ? t.toMSecsSinceEpoch() : 0;
}

JournalRecord jobFromRow(const QSqlQuery &q)
{
    JournalRecord r;
    r.id = q.value(0).toLongLong();
    r.uid = q.value(1).toString();
    r.time = QDateTime::fromMSecsSinceEpoch(q.value(2).toLongLong(), QTimeZone::utc());
    r.station = q.value(3).toString();
    r.user = q.value(4).toString();
    JournalRecord::kindFromName(q.value(5).toString(), &r.kind);
    r.model = q.value(6).toString();
    r.revision = q.value(7).toString();
    r.serial = q.value(8).toString();
    r.devEui = q.value(9).toString();
    r.firmwareBefore = q.value(10).toString();
    r.firmwareAfter = q.value(11).toString();
    r.path = q.value(12).toString();
    JournalRecord::resultFromName(q.value(13).toString(), &r.result);
    r.reason = q.value(14).toString();
    r.pending = q.value(15).toInt() != 0;
    return r;
}

bool exec(QSqlQuery &q, const QVariantList &binds, QString *error)
{
    for (const QVariant &v : binds)
        q.addBindValue(v);
    if (q.exec())
        return true;
    *error = q.lastError().text();
    return false;
}

QString scopeClause(JournalStore::Scope scope)
{
    return scope == JournalStore::Scope::Outbox ? QStringLiteral(" AND outbox = 1") : QString();
}

// The connection parameters of a "postgresql://" address; false with *error for anything else.
struct SharedAddress
{
    QString host;
    int port = 5432;
    QString user;
    QString password;
    QString database;
    QStringList options; // libpq's key=value pairs from the query part
};

bool parseAddress(const QString &text, SharedAddress *a, QString *error)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("postgresql") &&
                           url.scheme() != QLatin1String("postgres"))) {
        *error =
            QStringLiteral("not a postgresql:// address: %1").arg(JournalStore::displayUrl(text));
        return false;
    }
    a->host = url.host();
    a->port = url.port(5432);
    a->user = url.userName(QUrl::FullyDecoded);
    a->password = url.password(QUrl::FullyDecoded);
    a->database = url.path(QUrl::FullyDecoded).mid(1);
    if (a->host.isEmpty() || a->database.isEmpty()) {
        *error = QStringLiteral("the address needs a host and a database: %1")
                     .arg(JournalStore::displayUrl(text));
        return false;
    }
    // Options go to libpq as they are (sslmode=require, ...); a value that could smuggle in
    // another option is refused.
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:-]*$"));
    const auto items = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
    for (const auto &item : items) {
        if (!plain.match(item.first).hasMatch() || !plain.match(item.second).hasMatch()) {
            *error = QStringLiteral("unusable option in the address: %1").arg(item.first);
            return false;
        }
        a->options << item.first + QLatin1Char('=') + item.second;
    }
    return true;
}
} // namespace

JournalStore::JournalStore(const QString &connectionName)
    : name(connectionName)
{}

JournalStore::~JournalStore()
{
    close();
}

void JournalStore::close()
{
    if (!db.isValid())
        return;
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
}

bool JournalStore::isOpen() const
{
    return db.isValid() && db.isOpen();
}

QString JournalStore::displayUrl(const QString &url)
{
    return QUrl(url).toDisplayString(QUrl::RemovePassword);
}

bool JournalStore::openLocal(const QString &path, int busyTimeoutMs, bool create, QString *error)
{
    close();
    error->clear();
    if (!create && !QFileInfo::exists(path))
        return false;
    if (create && !QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("cannot create the folder of %1").arg(path);
        return false;
    }
    db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
    if (!db.open()) {
        *error = db.lastError().text();
        close();
        return false;
    }
    QSqlQuery q(db);
    // Write-ahead logging lets readers go on while one program writes, and a second program
    // waits its turn (the busy time-out) instead of failing at once.
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) ||
        !q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"))) {
        *error = q.lastError().text();
        close();
        return false;
    }
    return prepareOpened(error);
}

bool JournalStore::openShared(const QString &url, QString *error)
{
    close();
    error->clear();
    SharedAddress a;
    if (!parseAddress(url, &a, error))
        return false;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        *error = QStringLiteral("Qt's PostgreSQL driver (QPSQL) is not installed");
        return false;
    }
    db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    db.setHostName(a.host);
    db.setPort(a.port);
    db.setUserName(a.user);
    if (!a.password.isEmpty())
        db.setPassword(a.password); // otherwise libpq looks in ~/.pgpass
    db.setDatabaseName(a.database);
    // A server that has gone away must not hold the journal's thread for long: the connection
    // attempt and an unanswered connection are both bounded.
    QStringList options{QStringLiteral("connect_timeout=%1").arg(connectTimeoutS),
                        QStringLiteral("tcp_user_timeout=%1").arg(statementTimeoutMs),
                        QStringLiteral("application_name=vexa7xx-journal")};
    db.setConnectOptions((options + a.options).join(QLatin1Char(';')));
    if (!db.open()) {
        *error = QStringLiteral("%1: %2").arg(displayUrl(url), db.lastError().text().trimmed());
        close();
        return false;
    }
    QSqlQuery q(db);
    // The migration's "already exists, skipping" notices are no news.
    if (!q.exec(QStringLiteral("SET client_min_messages = warning")) ||
        !q.exec(QStringLiteral("SET statement_timeout = %1").arg(statementTimeoutMs))) {
        *error = q.lastError().text();
        close();
        return false;
    }
    return prepareOpened(error);
}

bool JournalStore::prepareOpened(QString *error)
{
    if (JournalSchema::migrate(db, error))
        return true;
    close();
    return false;
}

bool JournalStore::insert(const JournalRecord &r, bool outbox, QString *error)
{
    if (!db.transaction()) {
        *error = db.lastError().text();
        return false;
    }
    auto fail = [&](const QSqlQuery &q) {
        *error = q.lastError().text();
        db.rollback();
        return false;
    };
    QSqlQuery q(db);
    q.prepare(QStringLiteral(
        "INSERT INTO jobs (uid, time_ms, station, user_name, kind, model, revision, serial, "
        "dev_eui, fw_before, fw_after, path, result, reason, config_before, outbox) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
        "ON CONFLICT (uid) DO NOTHING RETURNING id"));
    const QVariantList binds{r.uid,
                             msOf(r.time),
                             text(r.station),
                             text(r.user),
                             JournalRecord::kindName(r.kind),
                             text(r.model),
                             text(r.revision),
                             text(r.serial),
                             text(r.devEui),
                             text(r.firmwareBefore),
                             text(r.firmwareAfter),
                             text(r.path),
                             JournalRecord::resultName(r.result),
                             text(r.reason),
                             text(r.configBefore),
                             outbox ? 1 : 0};
    QString ignored;
    if (!exec(q, binds, &ignored))
        return fail(q);
    if (!q.next()) { // already stored by an earlier attempt or another program
        q.finish();
        if (db.commit())
            return true;
        *error = db.lastError().text();
        db.rollback();
        return false;
    }
    const qint64 id = q.value(0).toLongLong();
    q.finish();
    QSqlQuery c(db);
    c.prepare(QStringLiteral("INSERT INTO changes (job_id, seq, element, old_value, new_value, "
                             "old_text, new_text, secret) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int i = 0; i < r.changes.size(); ++i) {
        const JournalRecord::Change &ch = r.changes.at(i);
        const QVariantList values{id,
                                  i,
                                  text(ch.element),
                                  text(ch.oldValue),
                                  text(ch.newValue),
                                  text(ch.oldText),
                                  text(ch.newText),
                                  ch.secret ? 1 : 0};
        if (!exec(c, values, &ignored))
            return fail(c);
    }
    if (!db.commit()) {
        *error = db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

bool JournalStore::loadChanges(QList<JournalRecord> *jobs, const QString &where,
                               const QVariantList &binds, QString *error)
{
    if (jobs->isEmpty())
        return true;
    QHash<qint64, int> index;
    for (int i = 0; i < jobs->size(); ++i)
        index.insert(jobs->at(i).id, i);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT job_id, element, old_value, new_value, old_text, new_text, "
                             "secret FROM changes WHERE job_id IN (SELECT id FROM jobs WHERE %1) "
                             "ORDER BY job_id, seq")
                  .arg(where));
    if (!exec(q, binds, error))
        return false;
    while (q.next()) {
        const auto it = index.constFind(q.value(0).toLongLong());
        if (it == index.constEnd())
            continue;
        JournalRecord::Change c;
        c.element = q.value(1).toString();
        c.oldValue = q.value(2).toString();
        c.newValue = q.value(3).toString();
        c.oldText = q.value(4).toString();
        c.newText = q.value(5).toString();
        c.secret = q.value(6).toInt() != 0;
        (*jobs)[it.value()].changes << c;
    }
    return true;
}

QList<JournalRecord> JournalStore::jobs(const QString &serial, const QDateTime &since, Scope scope,
                                        QString *error)
{
    QString where = QStringLiteral("time_ms >= ?") + scopeClause(scope);
    QVariantList binds{since.isValid() ? msOf(since) : std::numeric_limits<qint64>::min()};
    if (!serial.isEmpty()) {
        where += QStringLiteral(" AND serial = ?");
        binds << serial;
    }
    QList<JournalRecord> out;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM jobs WHERE %2 ORDER BY time_ms DESC, id DESC")
                  .arg(jobColumns, where));
    if (!exec(q, binds, error))
        return out;
    while (q.next())
        out << jobFromRow(q);
    q.finish();
    if (!loadChanges(&out, where, binds, error))
        out.clear();
    return out;
}

bool JournalStore::job(qint64 id, Scope scope, JournalRecord *out, QString *error)
{
    error->clear();
    const QString where = QStringLiteral("id = ?") + scopeClause(scope);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT %1, config_before FROM jobs WHERE %2").arg(jobColumns, where));
    if (!exec(q, {id}, error) || !q.next())
        return false;
    QList<JournalRecord> one{jobFromRow(q)};
    one[0].configBefore = q.value(16).toString();
    q.finish();
    if (!loadChanges(&one, where, {id}, error))
        return false;
    *out = one.first();
    return true;
}

bool JournalStore::firstConfigSince(const QString &serial, const QDateTime &moment, Scope scope,
                                    JournalRecord *out, QString *error)
{
    error->clear();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT id FROM jobs WHERE serial = ? AND time_ms >= ? AND "
                             "config_before <> ''%1 ORDER BY time_ms, id LIMIT 1")
                  .arg(scopeClause(scope)));
    if (!exec(q, {serial, msOf(moment)}, error) || !q.next())
        return false;
    const qint64 id = q.value(0).toLongLong();
    q.finish();
    return job(id, scope, out, error);
}

QList<ProvisionedDevice> JournalStore::provisioned(const QDateTime &since, Scope scope,
                                                   QString *error)
{
    QList<ProvisionedDevice> out;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(
        QStringLiteral("SELECT j.serial, j.dev_eui, c.new_value, j.model, j.fw_before, j.fw_after, "
                       "j.time_ms, j.outbox FROM jobs j LEFT JOIN changes c ON c.job_id = j.id AND "
                       "c.element = 'app_eui' WHERE j.kind = 'provision' AND j.result = 'ok' AND "
                       "j.time_ms >= ?%1 ORDER BY j.time_ms, j.id")
            .arg(scope == Scope::Outbox ? QStringLiteral(" AND j.outbox = 1") : QString()));
    if (!exec(q, {since.isValid() ? msOf(since) : std::numeric_limits<qint64>::min()}, error))
        return out;
    while (q.next()) {
        ProvisionedDevice d;
        d.serial = q.value(0).toString();
        d.devEui = q.value(1).toString();
        d.joinEui = q.value(2).toString();
        d.model = q.value(3).toString();
        const QString after = q.value(5).toString();
        d.firmware = after.isEmpty() ? q.value(4).toString() : after;
        d.time = QDateTime::fromMSecsSinceEpoch(q.value(6).toLongLong(), QTimeZone::utc());
        d.pending = q.value(7).toInt() != 0;
        out << d;
    }
    return out;
}

QList<JournalRecord> JournalStore::outbox(int limit, QString *error)
{
    QList<JournalRecord> out;
    QSqlQuery q(db);
    q.prepare(
        QStringLiteral("SELECT id FROM jobs WHERE outbox = 1 ORDER BY id LIMIT %1").arg(limit));
    if (!exec(q, {}, error))
        return out;
    QList<qint64> ids;
    while (q.next())
        ids << q.value(0).toLongLong();
    q.finish();
    for (qint64 id : std::as_const(ids)) {
        JournalRecord r;
        if (!job(id, Scope::Outbox, &r, error))
            break;
        out << r;
    }
    return out;
}

bool JournalStore::removeFromOutbox(const QString &uid, QString *error)
{
    if (!db.transaction()) {
        *error = db.lastError().text();
        return false;
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM changes WHERE job_id IN "
                             "(SELECT id FROM jobs WHERE uid = ? AND outbox = 1)"));
    bool ok = exec(q, {uid}, error);
    if (ok) {
        q.prepare(QStringLiteral("DELETE FROM jobs WHERE uid = ? AND outbox = 1"));
        ok = exec(q, {uid}, error);
    }
    if (ok && db.commit())
        return true;
    if (ok)
        *error = db.lastError().text();
    db.rollback();
    return false;
}
