#include "db_worker.h"

#include "apppaths.h"
#include "devicedbtexts.h"
#include "naturalcompare.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlTableModel>

#include <algorithm>
#include <utility>

namespace {
const char *const dbTag = "/C:17";

// A database text as the user reads it: translated in the database's own context.
QString shownText(const QString &text)
{
    return QCoreApplication::translate(deviceDbTextContext, text.toUtf8().constData());
}

// A cell that holds nothing usable: SQL NULL or an empty text.
bool isBlank(const QVariant &v)
{
    return v.isNull() || v.toString().trimmed().isEmpty();
}

QVariant cell(const QSqlTableModel *model, int row, int column)
{
    return model->data(model->index(row, column));
}

struct VersionRange
{
    QString first;
    QString second;
};

VersionRange splitVersions(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('-'), Qt::SkipEmptyParts);
    VersionRange r;
    if (!parts.isEmpty())
        r.first = parts.at(0).trimmed();
    if (parts.size() > 1)
        r.second = parts.at(1).trimmed();
    return r;
}
} // namespace

DB_Worker::DB_Worker(QObject *parent)
    : QObject(parent)
{
    // A connection of its own: the command line's batch runs one worker per device at once,
    // and a shared default connection would be replaced under the others' feet.
    static QAtomicInt instances;
    db = QSqlDatabase::addDatabase(
        QStringLiteral("QSQLITE"),
        QStringLiteral("devices-%1").arg(instances.fetchAndAddRelaxed(1)));
    // The database ships with the program and is never written; read-only also keeps SQLite
    // from creating an empty file when devices.db has gone missing.
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    db.setDatabaseName(databasePath());
}

DB_Worker::~DB_Worker()
{
    delete groupModel;
    groupModel = nullptr;
    const QString name = db.connectionName();
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
}

QString DB_Worker::databasePath()
{
    return AppPaths::filePath(QStringLiteral("devices.db"));
}

bool DB_Worker::checkDb()
{
    if (!QFile::exists(databasePath())) {
        qDebug().noquote() << "Database NOT exists." << dbTag;
        return false;
    }
    db.setDatabaseName(databasePath());
    if (!db.isValid()) {
        qDebug().noquote() << "DB Error: " << db.lastError().text() << dbTag;
        return false;
    }
    if (!db.open()) {
        qDebug().noquote() << "Error open DB." << db.lastError().text() << dbTag;
        return false;
    }
    bool ok = false;
    {
        QSqlQuery query(db);
        if (query.exec(QStringLiteral("PRAGMA integrity_check;"))) {
            // The statement runs on a damaged file too; only the answer "ok" means sound.
            ok = query.next() && query.value(0).toString() == QLatin1String("ok");
            // A sound file may still not be this program's database (an empty file is one
            // without any table): without its tables every device would look unsupported.
            const QString missing = ok ? missingTable() : QString();
            ok = ok && missing.isEmpty();
            if (ok)
                qDebug().noquote() << "DB check OK" << dbTag;
            else
                qDebug().noquote() << "Error DB! "
                                   << (missing.isEmpty() ? query.value(0).toString()
                                                         : QStringLiteral("no table ") + missing)
                                   << dbTag;
        } else {
            qDebug().noquote() << "Error DB! " << query.lastError().text() << dbTag;
        }
    }
    db.close();
    return ok;
}

QString DB_Worker::missingTable()
{
    QSqlQuery query(db);
    QSet<QString> tables;
    if (query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"))) {
        while (query.next())
            tables.insert(query.value(0).toString());
    }
    QStringList models;
    for (const QString &t : std::as_const(tables)) {
        if (t.startsWith(QLatin1String("vexa")))
            models << t;
    }
    if (models.isEmpty())
        return QStringLiteral("vexa<model>");
    for (const char *fixed : {"ids", "statusBits", "gprsList", "gpsList"}) {
        if (!tables.contains(QLatin1String(fixed)))
            return QLatin1String(fixed);
    }
    // Every firmware group a model table names must be there to be read.
    for (const QString &model : std::as_const(models)) {
        if (!query.exec(QStringLiteral("SELECT fw_group FROM \"%1\"").arg(model)))
            return model + QStringLiteral(".fw_group");
        while (query.next()) {
            const QString group = query.value(0).toString().trimmed();
            if (!group.isEmpty() && !tables.contains(group))
                return group;
        }
    }
    return QString();
}

bool DB_Worker::openIfClosed()
{
    if (db.isOpen())
        return true;
    return db.open();
}

QSqlTableModel *DB_Worker::selectTable(const QString &table)
{
    auto *model = new QSqlTableModel(nullptr, db);
    model->setEditStrategy(QSqlTableModel::OnManualSubmit);
    model->setTable(table);
    if (model->tableName().isEmpty() || !model->select()) {
        delete model;
        return nullptr;
    }
    // The model fetches lazily; searches must see every row, not the first batch only.
    while (model->canFetchMore())
        model->fetchMore();
    return model;
}

QString DB_Worker::getFwGroup(QString curFwVer, QString devId)
{
    commandList.clear();
    statusCommandList.clear();

    // A group table selected earlier keeps using the open connection; leave it open then.
    const bool wasOpen = db.isOpen();
    if (!openIfClosed()) {
        qDebug().noquote() << "DB Error: " << db.lastError().text() << dbTag;
        return QString();
    }
    qDebug().noquote() << "DataBase open OK" << dbTag;

    const QString table = QStringLiteral("vexa") + devId;
    qDebug().noquote() << "Set model device: " << table << dbTag;
    QSqlTableModel *model = selectTable(table);
    if (!model) {
        qDebug().noquote() << "Set model ERROR!" << dbTag;
        if (!wasOpen)
            db.close();
        return QString();
    }
    qDebug().noquote() << "Set model OK!" << dbTag;

    // The matching row is remembered by position: searching its text again would also hit
    // rows whose version merely contains it ("1.0.1" inside "1.0.10").
    int matchedRow = -1;
    QStringList knownVersions;
    for (int row = 0; row < model->rowCount(); ++row) {
        const VersionRange r = splitVersions(cell(model, row, 0).toString());
        if (!r.first.isEmpty())
            knownVersions << r.first;
        if (!r.second.isEmpty())
            knownVersions << r.second;
        if (curFwVer == r.first || (!r.second.isEmpty() && curFwVer == r.second)) {
            qDebug().noquote() << "cur fw found explicitly!" << dbTag;
            matchedRow = row;
        } else if (!r.second.isEmpty() && naturalCompare(r.first, curFwVer) < 0 &&
                   naturalCompare(curFwVer, r.second) < 0) {
            qDebug().noquote() << "cur fw found in range!" << dbTag;
            matchedRow = row;
        }
    }

    if (matchedRow < 0) {
        std::stable_sort(knownVersions.begin(), knownVersions.end(), naturalLess);
        if (knownVersions.isEmpty() || naturalCompare(knownVersions.last(), curFwVer) >= 0) {
            delete model;
            if (!wasOpen)
                db.close();
            return QString();
        }
        // A firmware newer than every listed one is served by the newest group.
        const QString last = knownVersions.last();
        qDebug().noquote() << "SELECTED LAST FW IN DB: " << last << dbTag;
        for (int row = 0; row < model->rowCount(); ++row) {
            const VersionRange r = splitVersions(cell(model, row, 0).toString());
            if (r.first == last || r.second == last) {
                matchedRow = row;
                break;
            }
        }
    }

    QString group;
    if (matchedRow >= 0)
        group = cell(model, matchedRow, 1).toString().trimmed();
    if (!group.isEmpty())
        qDebug().noquote() << "FW Group: " << group << dbTag;
    else
        qDebug().noquote() << "FW Not found" << dbTag;

    delete model;
    if (!wasOpen)
        db.close();
    return group;
}

void DB_Worker::setCurrentFwGroup(QString fwGroup)
{
    if (!openIfClosed()) {
        qDebug().noquote() << "DB Error: " << db.lastError().text() << dbTag;
        return;
    }
    QSqlTableModel *model = selectTable(fwGroup);
    if (!model)
        return;
    delete groupModel;
    groupModel = model;

    commandList.clear();
    statusCommandList.clear();
    for (int row = 0; row < groupModel->rowCount(); ++row) {
        const QVariant code = cell(groupModel, row, 0);
        if (!isBlank(code))
            commandList << code.toInt();
    }
    for (int row = 0; row < groupModel->rowCount(); ++row) {
        const QVariant code = cell(groupModel, row, 3);
        if (!isBlank(code))
            statusCommandList << code.toInt();
    }
    qDebug().noquote() << "Supported commands: " << commandList << dbTag;
    qDebug().noquote() << "Supported status commands: " << statusCommandList << dbTag;
    groupSet = true;
}

bool DB_Worker::checkSupportedCmd(int cmd)
{
    if (!groupSet || !groupModel)
        return false;
    const QModelIndexList hits = groupModel->match(groupModel->index(0, 0), Qt::DisplayRole,
                                                   QString::number(cmd), 1, Qt::MatchFixedString);
    return !hits.isEmpty() && !isBlank(hits.first().data()) && hits.first().data().toInt() == cmd;
}

QList<int> DB_Worker::getCommandList()
{
    qDebug().noquote() << "*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*";
    return commandList;
}

QList<int> DB_Worker::getStatusCommandList()
{
    return statusCommandList;
}

bool DB_Worker::checkSupportPage(QString pageName)
{
    if (!groupSet || !groupModel)
        return false;
    const QModelIndexList hits = groupModel->match(groupModel->index(0, 1), Qt::DisplayRole,
                                                   pageName, 1, Qt::MatchFixedString);
    return !hits.isEmpty() && hits.first().data().toString() == pageName;
}

QStringList DB_Worker::getFormElements(QString elementName)
{
    // Each item is "text:data" (or a bare flag); the text is shown in the user's language.
    QStringList items = getFormElementSource(elementName);
    for (QString &item : items) {
        const int colon = item.lastIndexOf(QLatin1Char(':'));
        item = colon < 0 ? shownText(item) : shownText(item.left(colon)) + item.mid(colon);
    }
    return items;
}

QStringList DB_Worker::getFormElementSource(QString elementName)
{
    if (!groupSet || !groupModel || elementName.isEmpty())
        return {};
    const QModelIndexList hits =
        groupModel->match(groupModel->index(0, 2), Qt::DisplayRole, elementName, 1,
                          Qt::MatchStartsWith | Qt::MatchWrap | Qt::MatchCaseSensitive);
    if (hits.isEmpty())
        return {};
    const QStringList parts =
        hits.first().data().toString().split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (parts.size() < 2 || parts.at(0) != elementName)
        return {};
    return parts.at(1).split(QLatin1Char(','), Qt::SkipEmptyParts);
}

QMap<int, QStringList> DB_Worker::getStatusBits()
{
    QMap<int, QStringList> bits;
    if (!openIfClosed()) {
        qDebug().noquote() << "Error open DB: " << db.lastError().text() << dbTag;
        return bits;
    }
    QSqlTableModel *model = selectTable(QStringLiteral("statusBits"));
    if (!model)
        return bits;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QVariant key = cell(model, row, 0);
        if (isBlank(key))
            continue;
        bits[key.toInt()] = QStringList{shownText(cell(model, row, 1).toString()),
                                        shownText(cell(model, row, 2).toString()),
                                        shownText(cell(model, row, 3).toString())};
    }
    delete model;
    return bits;
}

QList<GPRS_CONFIG> DB_Worker::getProviderList()
{
    QList<GPRS_CONFIG> list;
    if (!openIfClosed()) {
        qDebug().noquote() << "Error open DB: " << db.lastError().text() << dbTag;
        return list;
    }
    QSqlTableModel *model = selectTable(QStringLiteral("gprsList"));
    if (!model)
        return list;
    for (int row = 0; row < model->rowCount(); ++row) {
        if (cell(model, row, 0).isNull())
            continue;
        list << GPRS_CONFIG{cell(model, row, 0).toString(), cell(model, row, 1).toString(),
                            cell(model, row, 2).toString(), cell(model, row, 3).toString(),
                            cell(model, row, 4).toString()};
    }
    delete model;
    return list;
}

QList<GPS_CONFIG> DB_Worker::getGpsList()
{
    QList<GPS_CONFIG> list;
    if (!openIfClosed()) {
        qDebug().noquote() << "Error open DB: " << db.lastError().text() << dbTag;
        return list;
    }
    QSqlTableModel *model = selectTable(QStringLiteral("gpsList"));
    if (!model)
        return list;
    for (int row = 0; row < model->rowCount(); ++row) {
        if (cell(model, row, 0).isNull())
            continue;
        list << GPS_CONFIG{cell(model, row, 0).toString(), cell(model, row, 1).toString(),
                           cell(model, row, 2).toString(), cell(model, row, 3).toString()};
    }
    delete model;
    return list;
}

int DB_Worker::getIdByName(QString _name)
{
    if (_name.isEmpty() || !openIfClosed())
        return -1;
    QSqlTableModel *model = selectTable(QStringLiteral("ids"));
    if (!model)
        return -1;
    int id = -1;
    const QModelIndexList hits = model->match(model->index(0, 0), Qt::DisplayRole, _name, 1,
                                              Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (!hits.isEmpty()) {
        const QVariant v = model->record(hits.first().row()).value(QStringLiteral("id"));
        bool ok = false;
        const int parsed = v.toInt(&ok);
        if (ok)
            id = parsed;
    }
    delete model;
    return id;
}

QString DB_Worker::getNameById(int _id)
{
    if (!openIfClosed())
        return QString();
    QSqlTableModel *model = selectTable(QStringLiteral("ids"));
    if (!model)
        return QString();
    QString name;
    const QModelIndexList hits =
        model->match(model->index(0, 1), Qt::DisplayRole, QString::number(_id), 1,
                     Qt::MatchStartsWith | Qt::MatchWrap);
    if (!hits.isEmpty())
        name = model->record(hits.first().row()).value(QStringLiteral("name")).toString();
    delete model;
    return name;
}

QMap<QString, int> DB_Worker::getDevNameList()
{
    QMap<QString, int> names;
    if (!openIfClosed()) {
        qDebug().noquote() << "Error open DB: " << db.lastError().text() << dbTag;
        return names;
    }
    QSqlTableModel *model = selectTable(QStringLiteral("ids"));
    if (!model)
        return names;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QVariant name = cell(model, row, 0);
        const QVariant id = cell(model, row, 1);
        if (name.isNull() || id.isNull())
            continue;
        names.insert(name.toString(), id.toInt());
    }
    delete model;
    return names;
}

void DB_Worker::closeDb()
{
    groupSet = false;
    delete groupModel;
    groupModel = nullptr;
    if (db.isOpen()) {
        db.close();
        qDebug().noquote() << "Close DB" << dbTag;
    }
}
