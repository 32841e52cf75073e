#pragma once

#include <QSqlDatabase>
#include <QString>

// The journal's tables, created and migrated by version (table schema_version), with the same
// statements on SQLite and PostgreSQL; the few places they differ are named in one table.
namespace JournalSchema {

constexpr int currentVersion = 1;

// Brings the schema of an open database up to currentVersion inside one transaction that keeps
// a second program from migrating at the same moment. False with *error when it cannot; a
// database of a newer version (a newer program) is refused rather than written wrongly.
bool migrate(QSqlDatabase &db, QString *error);

// True for a PostgreSQL connection (the shared store).
bool isPostgres(const QSqlDatabase &db);

} // namespace JournalSchema
