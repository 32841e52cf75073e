#include "appsettings.h"
#include "devicejournal.h"
#include "tempappdir.h"

#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTimeZone>
#include <QUuid>
#include <QtTest>

#include <pwd.h>
#include <unistd.h>

namespace {
const QDateTime base(QDate(2024, 5, 1), QTime(8, 0), QTimeZone::utc());
const QString appKey = QStringLiteral("2b7e151628aed2a6abf7158809cf4f3c");
const QString oldAppKey = QStringLiteral("000102030405060708090a0b0c0d0e0f");
// How long a test waits for work the journal does on its thread (nothing here comes near it).
constexpr int drainMs = 60 * 1000;

JournalRecord makeRecord(JournalRecord::Kind kind, const QString &serial, const QDateTime &time)
{
    JournalRecord r;
    r.kind = kind;
    r.serial = serial;
    r.time = time;
    r.model = QStringLiteral("Vexa750");
    r.revision = QStringLiteral("B");
    r.devEui = QStringLiteral("70b3d5e75e000001");
    r.firmwareBefore = QStringLiteral("1.3.2");
    r.firmwareAfter = QStringLiteral("1.4.0");
    r.path = QStringLiteral("usb /dev/ttyACM0");
    return r;
}

QString configText(const QString &period, const QString &key = QString())
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<configuration>\n"
                                 " <send_period param=\"%1\"/>\n")
                      .arg(period);
    if (!key.isEmpty())
        xml += QStringLiteral(" <app_key param=\"%1\"/>\n").arg(key);
    return xml + QStringLiteral("</configuration>\n");
}

JournalOptions localOptions(const QString &path)
{
    JournalOptions o;
    o.localPath = path;
    o.station = QStringLiteral("bench-1");
    o.user = QStringLiteral("tester");
    return o;
}

// Runs a program to its end; its output on failure.
bool run(const QString &program, const QStringList &args, QString *output,
         const QString &dir = QString())
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setWorkingDirectory(dir);
    p.start(program, args);
    const bool ok =
        p.waitForFinished(drainMs) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    *output = QString::fromLocal8Bit(p.readAll());
    return ok;
}

// A throwaway PostgreSQL cluster in a temporary folder, run as the postgres user (the server
// refuses to run as root), on a free loopback port; stopped when the object goes.
class PgCluster
{
public:
    static QString tool(const char *name)
    {
        return QStringLiteral("/usr/lib/postgresql/15/bin/") + QLatin1String(name);
    }
    static QString missing()
    {
        if (!QFileInfo(tool("initdb")).isExecutable() || !QFileInfo(tool("pg_ctl")).isExecutable())
            return QStringLiteral("PostgreSQL 15 is not installed (scripts/test installs it)");
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
            return QStringLiteral("Qt's QPSQL driver is not installed (libqt5sql5-psql)");
        if (!::getpwnam("postgres"))
            return QStringLiteral("no postgres user");
        return QString();
    }

    ~PgCluster()
    {
        if (running)
            stop();
    }

    bool init(QString *out)
    {
        const passwd *pg = ::getpwnam("postgres");
        password = QUuid::createUuid().toString(QUuid::Id128);
        QFile pw(dir.filePath(QStringLiteral("pw")));
        if (!dir.isValid() || !pw.open(QIODevice::WriteOnly) || pw.write(password.toUtf8()) < 0)
            return false;
        pw.close();
        for (const QString &p : {dir.path(), pw.fileName()}) {
            if (::chown(QFile::encodeName(p).constData(), pg->pw_uid, pg->pw_gid) != 0)
                return false;
        }
        QTcpServer probe; // a port nothing listens on now
        if (!probe.listen(QHostAddress::LocalHost))
            return false;
        port = probe.serverPort();
        probe.close();
        return asPostgres(tool("initdb"),
                          {QStringLiteral("-D"), data(), QStringLiteral("-U"),
                           QStringLiteral("journal"), QStringLiteral("--pwfile=") + pw.fileName(),
                           QStringLiteral("--auth=scram-sha-256"), QStringLiteral("-E"),
                           QStringLiteral("UTF8"), QStringLiteral("--no-sync")},
                          out);
    }
    bool start(QString *out)
    {
        running =
            asPostgres(tool("pg_ctl"),
                       {QStringLiteral("-D"), data(), QStringLiteral("-l"),
                        dir.filePath("server.log"), QStringLiteral("-w"), QStringLiteral("-o"),
                        QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off")
                            .arg(port)
                            .arg(dir.path()),
                        QStringLiteral("start")},
                       out);
        // Should this program die before it stops the server (a crash, a time-out of the
        // test runner), the server goes too.
        if (running && !watchdog)
            watchdog = QProcess::startDetached(
                QStringLiteral("sh"),
                {QStringLiteral("-c"),
                 QStringLiteral("while [ -d /proc/%1 ]; do sleep 1; done; "
                                "runuser -u postgres -- %2 -D %3 -m immediate stop; rm -rf %4")
                     .arg(QCoreApplication::applicationPid())
                     .arg(tool("pg_ctl"), data(), dir.path())},
                QStringLiteral("/"));
        return running;
    }
    bool stop(QString *out = nullptr)
    {
        QString ignored;
        running =
            !asPostgres(tool("pg_ctl"),
                        {QStringLiteral("-D"), data(), QStringLiteral("-m"), QStringLiteral("fast"),
                         QStringLiteral("-w"), QStringLiteral("stop")},
                        out ? out : &ignored);
        return !running;
    }
    QString url() const
    {
        return QStringLiteral("postgresql://journal:%1@127.0.0.1:%2/postgres")
            .arg(password)
            .arg(port);
    }

private:
    QString data() const { return dir.filePath(QStringLiteral("data")); }
    bool asPostgres(const QString &program, QStringList args, QString *out)
    {
        args.prepend(program);
        args = QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--")} +
               args;
        return run(QStringLiteral("runuser"), args, out, dir.path());
    }

    QTemporaryDir dir;
    QString password;
    quint16 port = 0;
    bool running = false;
    bool watchdog = false;
};
} // namespace

class tst_DeviceJournal : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY((dir = std::make_unique<TempAppDir>())->isValid()); }
    void cleanup() { dir.reset(); }
    void cleanupTestCase() { pg.reset(); }

    void recordReadBack_data();
    void recordReadBack();
    void queries_data();
    void queries();
    void settings_data();
    void settings();
    void secretsNeverStored_data();
    void secretsNeverStored();
    void lockedStoreKeepsRecords();
    void twoProcessesWriteAtOnce();
    void sharedTwoStations();
    void sharedFallback_data();
    void sharedFallback();

private:
    QString localPath() const { return dir->path(QStringLiteral("journal.sqlite")); }
    bool startWriters(const QString &url, const QStringList &stations, int count);
    void startCluster();
    // Rows of the shared store's jobs table: how many, how many different uids.
    QPair<int, int> sharedCount(const QString &station);

    std::unique_ptr<TempAppDir> dir;
    std::unique_ptr<PgCluster> pg;
};

void tst_DeviceJournal::recordReadBack_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("changes");
    QTest::addColumn<QString>("config");

    using K = JournalRecord::Kind;
    using R = JournalRecord::Result;
    QTest::newRow("read") << int(K::Read) << int(R::Ok) << QString() << "usb /dev/ttyACM0" << 0
                          << QString();
    QTest::newRow("write with config")
        << int(K::Write) << int(R::Ok) << QString() << "usb /dev/ttyACM0" << 3 << configText("3c");
    QTest::newRow("failed flash") << int(K::Flash) << int(R::Failed)
                                  << QStringLiteral("no answer after block 17 of 240")
                                  << "usb /dev/ttyACM1" << 0 << QString();
    QTest::newRow("relay set, Cyrillic reason")
        << int(K::Set) << int(R::Cancelled) << QStringLiteral("отменено пользователем")
        << "relay via 7500000000012345" << 1 << QString();
    QTest::newRow("remote restore") << int(K::Restore) << int(R::Ok) << QString()
                                    << "remote 356938035643809" << 2 << configText("78");
}

void tst_DeviceJournal::recordReadBack()
{
    QFETCH(int, kind);
    QFETCH(int, result);
    QFETCH(QString, reason);
    QFETCH(QString, path);
    QFETCH(int, changes);
    QFETCH(QString, config);

    JournalRecord r = makeRecord(JournalRecord::Kind(kind), "7500000000012345", base);
    r.result = JournalRecord::Result(result);
    r.reason = reason;
    r.path = path;
    r.configBefore = config;
    for (int i = 0; i < changes; ++i)
        r.changes << JournalRecord::Change{QStringLiteral("p%1").arg(i), "0a", "1b", "10 s",
                                           QStringLiteral("27 с"),       false};
    DeviceJournal journal(localOptions(localPath()));
    QSignalSpy recorded(&journal, &DeviceJournal::recorded);
    const QString uid = journal.record(r);
    QVERIFY(journal.waitForDrained(drainMs));

    QString error;
    const QList<JournalRecord> jobs = journal.jobs(r.serial, QDateTime(), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(jobs.size(), 1);
    JournalRecord back;
    QVERIFY(journal.job(jobs.first().id, &back, &error));
    QCOMPARE(back.uid, uid);
    QCOMPARE(back.time, base);
    QCOMPARE(back.station, QStringLiteral("bench-1"));
    QCOMPARE(back.user, QStringLiteral("tester"));
    QCOMPARE(int(back.kind), kind);
    QCOMPARE(int(back.result), result);
    QCOMPARE(back.reason, reason);
    QCOMPARE(back.path, path);
    QCOMPARE(back.model + back.revision + back.devEui, r.model + r.revision + r.devEui);
    QCOMPARE(back.firmwareBefore + back.firmwareAfter, r.firmwareBefore + r.firmwareAfter);
    QCOMPARE(back.configBefore, config);
    QCOMPARE(back.changes.size(), changes);
    for (int i = 0; i < changes; ++i) {
        QCOMPARE(back.changes.at(i).element, r.changes.at(i).element);
        QCOMPARE(back.changes.at(i).oldValue + back.changes.at(i).newValue, QStringLiteral("0a1b"));
        QCOMPARE(back.changes.at(i).newText, r.changes.at(i).newText);
    }
    QCOMPARE(jobs.first().changes.size(), changes);
    QVERIFY(!back.pending);
    QTRY_COMPARE(recorded.size(), 1);
}

// One device written twice, a read before, and a second device provisioned; another's
// provisioning failed.
void tst_DeviceJournal::queries_data()
{
    QTest::addColumn<int>("atMinute");   // the moment asked about, minutes after base
    QTest::addColumn<QString>("config"); // what the device held then; empty: no write since

    QTest::newRow("before the first write") << 5 << configText("01");
    QTest::newRow("at the first write") << 10 << configText("01");
    QTest::newRow("between the writes") << 15 << configText("02");
    QTest::newRow("after the last write") << 25 << QString();
}

void tst_DeviceJournal::queries()
{
    QFETCH(int, atMinute);
    QFETCH(QString, config);
    using K = JournalRecord::Kind;
    const QString sn = QStringLiteral("7500000000000001");
    DeviceJournal journal(localOptions(localPath()));
    JournalRecord w1 = makeRecord(K::Write, sn, base.addSecs(10 * 60));
    w1.configBefore = configText("01");
    JournalRecord w2 = makeRecord(K::Write, sn, base.addSecs(20 * 60));
    w2.configBefore = configText("02");
    JournalRecord prov = makeRecord(K::Provision, "7500000000000002", base.addSecs(30 * 60));
    prov.changes << JournalRecord::Change{"app_eui", "", "70b3d57ed0000042", "", "", false}
                 << JournalRecord::Change{"app_key", "", appKey, "", "", false};
    JournalRecord failed = makeRecord(K::Provision, "7500000000000003", base.addSecs(40 * 60));
    failed.result = JournalRecord::Result::Failed;
    // Handed in out of order: the answers are ordered by time, not by arrival.
    for (const JournalRecord &r : {w2, makeRecord(K::Read, sn, base), prov, w1, failed})
        journal.record(r);
    QVERIFY(journal.waitForDrained(drainMs));

    const QList<JournalRecord> all = journal.jobs(sn);
    QCOMPARE(all.size(), 3);
    QCOMPARE(all.at(0).time, w2.time);
    QCOMPARE(int(all.at(2).kind), int(K::Read));
    QCOMPARE(journal.jobs(sn, w1.time).size(), 2);
    QCOMPARE(journal.jobs(QString()).size(), 5);

    JournalRecord at;
    QCOMPARE(journal.configurationAt(sn, base.addSecs(atMinute * 60), &at), !config.isEmpty());
    QCOMPARE(at.configBefore, config);

    const QList<ProvisionedDevice> provisioned = journal.provisioned(base);
    QCOMPARE(provisioned.size(), 1);
    QCOMPARE(provisioned.first().serial, prov.serial);
    QCOMPARE(provisioned.first().joinEui, QStringLiteral("70b3d57ed0000042"));
    QCOMPARE(provisioned.first().firmware, QStringLiteral("1.4.0"));
    QCOMPARE(provisioned.first().time, prov.time);
    QVERIFY(journal.provisioned(prov.time.addSecs(1)).isEmpty());
}

void tst_DeviceJournal::settings_data()
{
    QTest::addColumn<QString>("enabled"); // Journal/Enabled; empty: not set
    QTest::addColumn<bool>("ownPath");    // Journal/Path set
    QTest::addColumn<bool>("written");

    QTest::newRow("default") << QString() << false << true;
    QTest::newRow("own path") << QString() << true << true;
    QTest::newRow("switched off") << QStringLiteral("false") << false << false;
}

void tst_DeviceJournal::settings()
{
    QFETCH(QString, enabled);
    QFETCH(bool, ownPath);
    QFETCH(bool, written);
    const QString own = dir->path(QStringLiteral("bench/shared-journal.sqlite"));
    if (!enabled.isEmpty())
        AppSettings::write("Journal", "Enabled", enabled);
    if (ownPath)
        AppSettings::write("Journal", "Path", own);
    {
        DeviceJournal journal;
        QCOMPARE(journal.isEnabled(), written);
        QCOMPARE(journal.record(makeRecord(JournalRecord::Kind::Read, "1", base)).isEmpty(),
                 !written);
        QVERIFY(journal.waitForDrained(drainMs));
        QCOMPARE(journal.jobs(QString()).size(), written ? 1 : 0);
    }
    QCOMPARE(QFile::exists(own), written && ownPath);
    QCOMPARE(QFile::exists(dir->path("journal.sqlite")), written && !ownPath);
}

void tst_DeviceJournal::secretsNeverStored_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("change, lower case") << "change";
    QTest::newRow("change, upper case") << "CHANGE";
    QTest::newRow("configuration") << "config";
    QTest::newRow("configuration, element text") << "text";
    QTest::newRow("reason and another element") << "elsewhere";
}

void tst_DeviceJournal::secretsNeverStored()
{
    QFETCH(QString, where);
    JournalRecord r = makeRecord(JournalRecord::Kind::Write, "7500000000012345", base);
    if (where.compare("change", Qt::CaseInsensitive) == 0) {
        const QString key = where == "CHANGE" ? appKey.toUpper() : appKey;
        r.changes << JournalRecord::Change{"app_key", oldAppKey, key, oldAppKey, key, false}
                  << JournalRecord::Change{"net_service_key", "", key, "", "", false};
    } else if (where == "config") {
        r.configBefore = configText("3c", appKey);
    } else if (where == "text") {
        r.configBefore = "<configuration><app_service_key>" + appKey.toUpper() +
                         "</app_service_key></configuration>";
    } else {
        r.changes << JournalRecord::Change{"app_key", "", appKey, "", "", false}
                  << JournalRecord::Change{"comment", "", "key " + appKey, "", "", false};
        r.reason = QStringLiteral("device refused app_key=%1").arg(appKey.toUpper());
    }
    {
        DeviceJournal journal(localOptions(localPath()));
        journal.record(r);
        QVERIFY(journal.waitForDrained(drainMs));
        // The journal still tells that the key changed, and to what fingerprint.
        const QList<JournalRecord> jobs = journal.jobs(r.serial);
        QCOMPARE(jobs.size(), 1);
        for (const JournalRecord::Change &c : jobs.first().changes) {
            if (c.element == "app_key") {
                QVERIFY(c.secret);
                QCOMPARE(c.newValue, DeviceJournal::fingerprint(appKey));
                QVERIFY(c.oldValue != c.newValue);
            }
        }
        // Checkpointed from another connection while the journal's is still open, so the
        // write-ahead log is still there to be searched too.
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "checkpoint");
        db.setDatabaseName(localPath());
        QVERIFY(db.open());
        QSqlQuery(db).exec("PRAGMA wal_checkpoint(FULL)");
        db.close();
    }
    QSqlDatabase::removeDatabase("checkpoint");
    const QByteArray raw = QByteArray::fromHex(appKey.toLatin1());
    for (const QString &file : {localPath(), localPath() + "-wal"}) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = f.readAll();
        QVERIFY2(!bytes.contains(appKey.toLatin1()), qPrintable(file));
        QVERIFY2(!bytes.contains(appKey.toUpper().toLatin1()), qPrintable(file));
        QVERIFY2(!bytes.contains(raw), qPrintable(file));
        if (file == localPath())
            QVERIFY(bytes.contains(DeviceJournal::fingerprint(appKey).toLatin1()));
    }
}

void tst_DeviceJournal::lockedStoreKeepsRecords()
{
    JournalOptions o = localOptions(localPath());
    o.busyTimeoutMs = 100;
    o.retryIntervalMs = 3600 * 1000; // only flushOutbox() tries again
    DeviceJournal journal(o);
    QSignalSpy problems(&journal, &DeviceJournal::problem);
    journal.record(makeRecord(JournalRecord::Kind::Read, "1", base));
    QVERIFY(journal.waitForDrained(drainMs));

    // Another program holds the file for longer than the journal waits.
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "locker");
    db.setDatabaseName(localPath());
    QVERIFY(db.open());
    QVERIFY(QSqlQuery(db).exec("BEGIN EXCLUSIVE"));
    for (int i = 0; i < 3; ++i)
        journal.record(makeRecord(JournalRecord::Kind::Write, "1", base.addSecs(i + 1)));
    QVERIFY(!journal.waitForDrained(drainMs));
    QCOMPARE(journal.heldCount(), 3);
    QTRY_COMPARE(problems.size(), 1);
    QCOMPARE(problems.first().first().value<DeviceJournal::Problem>(),
             DeviceJournal::Problem::LocalStoreUnwritable);

    QVERIFY(QSqlQuery(db).exec("ROLLBACK"));
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("locker");
    journal.flushOutbox();
    QVERIFY(journal.waitForDrained(drainMs));
    QCOMPARE(journal.heldCount(), 0);
    const QList<JournalRecord> jobs = journal.jobs("1");
    QCOMPARE(jobs.size(), 4);
    QCOMPARE(jobs.first().time, base.addSecs(3));
    QCOMPARE(problems.size(), 1);
}

bool tst_DeviceJournal::startWriters(const QString &url, const QStringList &stations, int count)
{
    std::vector<std::unique_ptr<QProcess>> writers;
    for (const QString &station : stations) {
        writers.push_back(std::make_unique<QProcess>());
        writers.back()->setProcessChannelMode(QProcess::ForwardedChannels);
        writers.back()->start(
            QCoreApplication::applicationFilePath(),
            {"--writer", dir->path(station + ".sqlite"), url, station, QString::number(count)});
    }
    bool ok = true;
    for (auto &w : writers)
        ok = w->waitForFinished(drainMs) && w->exitCode() == 0 && ok;
    return ok;
}

void tst_DeviceJournal::twoProcessesWriteAtOnce()
{
    constexpr int perWriter = 300;
    // Both write the same file: the "url" is the path of the local journal.
    QVERIFY(startWriters("file:" + localPath(), {"bench-a", "bench-b"}, perWriter));
    DeviceJournal journal(localOptions(localPath()));
    const QList<JournalRecord> jobs = journal.jobs(QString());
    QSet<QString> uids;
    QMap<QString, int> perStation;
    for (const JournalRecord &r : jobs) {
        uids.insert(r.uid);
        ++perStation[r.station];
    }
    QCOMPARE(uids.size(), 2 * perWriter);
    QCOMPARE(perStation.value("bench-a"), perWriter);
    QCOMPARE(perStation.value("bench-b"), perWriter);
}

void tst_DeviceJournal::startCluster()
{
    if (pg)
        return;
    const QString why = PgCluster::missing();
    if (!why.isEmpty())
        QSKIP(qPrintable(why));
    pg = std::make_unique<PgCluster>();
    QString out;
    QVERIFY2(pg->init(&out), qPrintable(out));
    QVERIFY2(pg->start(&out), qPrintable(out));
}

QPair<int, int> tst_DeviceJournal::sharedCount(const QString &station)
{
    JournalOptions o = localOptions(dir->path("reader.sqlite"));
    o.sharedUrl = pg->url();
    QString error;
    const QList<JournalRecord> jobs = DeviceJournal(o).jobs(QString(), QDateTime(), &error);
    if (!error.isEmpty())
        qWarning() << error;
    QSet<QString> uids;
    int count = 0;
    for (const JournalRecord &r : jobs) {
        if (r.station == station && !r.pending) {
            ++count;
            uids.insert(r.uid);
        }
    }
    return {count, uids.size()};
}

void tst_DeviceJournal::sharedTwoStations()
{
    startCluster();
    if (!pg)
        return;
    constexpr int perStation = 100;
    QVERIFY(startWriters(pg->url(), {"station-a", "station-b"}, perStation));
    QCOMPARE(sharedCount("station-a"), qMakePair(perStation, perStation));
    QCOMPARE(sharedCount("station-b"), qMakePair(perStation, perStation));
    // Nothing waits locally.
    for (const QString s : {"station-a", "station-b"}) {
        JournalOptions o = localOptions(dir->path(s + ".sqlite"));
        QVERIFY(DeviceJournal(o).jobs(QString()).isEmpty());
    }
}

void tst_DeviceJournal::sharedFallback_data()
{
    QTest::addColumn<bool>("timer");
    QTest::newRow("sent on flushOutbox, by two programs at once") << false;
    QTest::newRow("sent by the retry timer") << true;
}

void tst_DeviceJournal::sharedFallback()
{
    QFETCH(bool, timer);
    startCluster();
    if (!pg)
        return;
    const QString station = QTest::currentDataTag();
    JournalOptions o = localOptions(localPath());
    o.sharedUrl = pg->url();
    o.station = station;
    o.retryIntervalMs = timer ? 200 : 3600 * 1000;
    DeviceJournal journal(o);
    QSignalSpy problems(&journal, &DeviceJournal::problem);
    QSignalSpy sent(&journal, &DeviceJournal::outboxSent);
    constexpr int before = 3;
    constexpr int during = 5;
    for (int i = 0; i < before; ++i)
        journal.record(makeRecord(JournalRecord::Kind::Write, "5", base.addSecs(i)));
    QVERIFY(journal.waitForDrained(drainMs));

    QString out;
    QVERIFY2(pg->stop(&out), qPrintable(out));
    for (int i = 0; i < during; ++i)
        journal.record(makeRecord(JournalRecord::Kind::Write, "5", base.addSecs(100 + i)));
    QVERIFY(journal.waitForDrained(drainMs));
    QTRY_COMPARE(problems.size(), 1);
    QCOMPARE(problems.first().first().value<DeviceJournal::Problem>(),
             DeviceJournal::Problem::SharedStoreUnreachable);
    QVERIFY(!problems.first().at(1).toString().contains(QUrl(o.sharedUrl).password()));
    // While the server is away the waiting records are still shown.
    QString error;
    const QList<JournalRecord> waiting = journal.jobs("5", QDateTime(), &error);
    QVERIFY(!error.isEmpty());
    QCOMPARE(waiting.size(), during);
    QVERIFY(waiting.first().pending && waiting.first().id < 0);
    JournalRecord one;
    QVERIFY(journal.job(waiting.first().id, &one));
    QCOMPARE(one.uid, waiting.first().uid);

    QVERIFY2(pg->start(&out), qPrintable(out));
    if (timer) {
        QTRY_VERIFY_WITH_TIMEOUT(!sent.isEmpty(), drainMs);
    } else {
        // A second program on this station starts and sends the same outbox at that moment.
        DeviceJournal second(o);
        journal.flushOutbox();
        QVERIFY(journal.waitForDrained(drainMs));
        QVERIFY(second.waitForDrained(drainMs));
    }
    QVERIFY(journal.waitForDrained(drainMs));
    QCOMPARE(sharedCount(station), qMakePair(before + during, before + during));
    JournalOptions localOnly = o;
    localOnly.sharedUrl.clear();
    QVERIFY(DeviceJournal(localOnly).jobs(QString()).isEmpty());
    QCOMPARE(problems.size(), 1);
}

// The test program doubles as the writer the process tests start:
//   --writer LOCALPATH URL STATION COUNT    (URL "file:PATH": PATH is the local journal)
int main(int argc, char **argv)
{
    if (argc == 6 && qstrcmp(argv[1], "--writer") == 0) {
        QCoreApplication app(argc, argv);
        const QStringList a = app.arguments();
        JournalOptions o = localOptions(a.at(2));
        if (a.at(3).startsWith("file:"))
            o.localPath = a.at(3).mid(5);
        else
            o.sharedUrl = a.at(3);
        o.station = a.at(4);
        DeviceJournal journal(o);
        for (int i = 0; i < a.at(5).toInt(); ++i)
            journal.record(
                makeRecord(JournalRecord::Kind::Provision, QString::number(i), base.addSecs(i)));
        return journal.waitForDrained(drainMs) ? 0 : 1;
    }
    QCoreApplication app(argc, argv);
    tst_DeviceJournal test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_devicejournal.moc"
