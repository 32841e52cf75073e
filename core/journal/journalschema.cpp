#include "journalschema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace {

// What SQLite and PostgreSQL spell differently. An id column: SQLite's INTEGER PRIMARY KEY is
// its row id; PostgreSQL numbers with a sequence. Taking the migration lock: SQLite locks the
// whole file with an immediate transaction; PostgreSQL takes a transaction-wide advisory lock
// (two programs creating the same table at once would otherwise collide in its catalogue).
struct Dialect
{
    const char *idColumn;
    QStringList beginLocked;
};

const Dialect sqlite{"INTEGER PRIMARY KEY", {QStringLiteral("BEGIN IMMEDIATE")}};
const Dialect postgres{"BIGSERIAL PRIMARY KEY",
                       {QStringLiteral("BEGIN"),
                        // Any fixed number the program owns: the journal's lock.
                        QStringLiteral("SELECT pg_advisory_xact_lock(7700529)")}};

// The statements that take the schema from version N-1 to N, at index N-1. Types only those
// both databases read alike: TEXT, INTEGER, BIGINT. Times are milliseconds since the epoch, UTC.
QList<QStringList> steps(const Dialect &d)
{
    const QString id = QLatin1String(d.idColumn);
    return {{
        QStringLiteral("CREATE TABLE jobs ("
                       "id %1, uid TEXT NOT NULL UNIQUE, time_ms BIGINT NOT NULL, "
                       "station TEXT NOT NULL, user_name TEXT NOT NULL, kind TEXT NOT NULL, "
                       "model TEXT NOT NULL, revision TEXT NOT NULL, serial TEXT NOT NULL, "
                       "dev_eui TEXT NOT NULL, fw_before TEXT NOT NULL, fw_after TEXT NOT NULL, "
                       "path TEXT NOT NULL, result TEXT NOT NULL, reason TEXT NOT NULL, "
                       "config_before TEXT NOT NULL, "
                       // 1: kept locally until the shared store takes it
                       "outbox INTEGER NOT NULL DEFAULT 0)")
            .arg(id),
        QStringLiteral("CREATE INDEX jobs_serial_time ON jobs (serial, time_ms)"),
        QStringLiteral("CREATE INDEX jobs_kind_time ON jobs (kind, time_ms)"),
        QStringLiteral("CREATE INDEX jobs_outbox ON jobs (outbox)"),
        QStringLiteral("CREATE TABLE changes ("
                       "job_id BIGINT NOT NULL REFERENCES jobs (id), seq INTEGER NOT NULL, "
                       "element TEXT NOT NULL, old_value TEXT NOT NULL, new_value TEXT NOT NULL, "
                       "old_text TEXT NOT NULL, new_text TEXT NOT NULL, "
                       "secret INTEGER NOT NULL, PRIMARY KEY (job_id, seq))"),
    }};
}

bool run(QSqlDatabase &db, const QString &sql, QString *error)
{
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    *error = QStringLiteral("%1: %2").arg(sql.left(40), q.lastError().text());
    return false;
}

bool migrateLocked(QSqlDatabase &db, const Dialect &d, QString *error)
{
    if (!run(db,
             QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version "
                            "(version INTEGER NOT NULL)"),
             error))
        return false;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT MAX(version) FROM schema_version"))) {
        *error = q.lastError().text();
        return false;
    }
    const int version = q.next() ? q.value(0).toInt() : 0;
    q.finish();
    if (version > JournalSchema::currentVersion) {
        *error = QStringLiteral("the journal has schema version %1, this program knows up to %2")
                     .arg(version)
                     .arg(JournalSchema::currentVersion);
        return false;
    }
    const QList<QStringList> all = steps(d);
    for (int v = version; v < JournalSchema::currentVersion; ++v) {
        for (const QString &sql : all.at(v)) {
            if (!run(db, sql, error))
                return false;
        }
    }
    if (version == JournalSchema::currentVersion)
        return true;
    return run(db, QStringLiteral("DELETE FROM schema_version"), error) &&
           run(db,
               QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)")
                   .arg(JournalSchema::currentVersion),
               error);
}
} // namespace

namespace JournalSchema {

bool isPostgres(const QSqlDatabase &db)
{
    return db.driverName() == QLatin1String("QPSQL");
}

bool migrate(QSqlDatabase &db, QString *error)
{
    // Most openings find the schema current: a plain read says so without taking the lock,
    // which would make every reader queue behind the writers.
    {
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("SELECT MAX(version) FROM schema_version")) && q.next() &&
            q.value(0).toInt() == currentVersion)
            return true;
    }
    const Dialect &d = isPostgres(db) ? postgres : sqlite;
    for (const QString &sql : d.beginLocked) {
        if (!run(db, sql, error)) {
            QString ignored;
            run(db, QStringLiteral("ROLLBACK"), &ignored);
            return false;
        }
    }
    QString failure;
    if (!migrateLocked(db, d, &failure) || !run(db, QStringLiteral("COMMIT"), &failure)) {
        QString ignored;
        run(db, QStringLiteral("ROLLBACK"), &ignored);
        *error = failure;
        return false;
    }
    return true;
}

} // namespace JournalSchema
