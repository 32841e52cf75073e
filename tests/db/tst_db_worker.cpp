#include "db_worker.h"
#include "tempappdir.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

// Each test writes its own small devices.db into a temporary application folder.
class tst_DbWorker : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY((dir = std::make_unique<TempAppDir>())->isValid()); }
    void cleanup() { dir.reset(); }
    void checkDb_data();
    void checkDb();
    void fwGroup_data();
    void fwGroup();
    void fwGroupMissingModelTable();
    void supportedLists();
    void queriesWithoutGroup();
    void formElements_data();
    void formElements();
    void statusBitsAndLists();
    void idLookups();

private:
    void makeDb(const QStringList &statements)
    {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "maker");
            db.setDatabaseName(dbPath());
            QVERIFY(db.open());
            QSqlQuery q(db);
            for (const QString &s : statements)
                QVERIFY2(q.exec(s), qPrintable(s + ": " + q.lastError().text()));
            db.close();
        }
        QSqlDatabase::removeDatabase("maker");
    }
    QString dbPath() const { return dir->path("devices.db"); }
    std::unique_ptr<TempAppDir> dir;
};

void tst_DbWorker::checkDb_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("ok");
    QTest::newRow("missing") << "missing" << false;
    QTest::newRow("garbage") << "garbage" << false;
    QTest::newRow("damaged page") << "damaged" << false;
    QTest::newRow("empty file") << "empty" << false;
    QTest::newRow("truncated") << "truncated" << false;
    QTest::newRow("sound") << "sound" << true;
    QTest::newRow("sound, without the program's tables") << "foreign" << false;
    QTest::newRow("sound, a group table missing") << "no group" << false;
}

void tst_DbWorker::checkDb()
{
    QFETCH(QString, kind);
    QFETCH(bool, ok);
    if (kind != "missing" && kind != "garbage" && kind != "empty") {
        QStringList sql{"CREATE TABLE t(a TEXT, b TEXT)", "CREATE INDEX ti ON t(a)"};
        if (kind != "foreign")
            sql << "CREATE TABLE ids(name TEXT, id INTEGER)"
                << "CREATE TABLE statusBits(bit INTEGER, name TEXT, off TEXT, on_ TEXT)"
                << "CREATE TABLE gprsList(a TEXT, b TEXT, c TEXT, d TEXT, e TEXT)"
                << "CREATE TABLE gpsList(a TEXT, b TEXT, c TEXT, d TEXT)"
                << "CREATE TABLE vexa750(fw_ver TEXT, fw_group TEXT)"
                << "INSERT INTO vexa750 VALUES('1.0.0', 'grp')";
        if (kind != "foreign" && kind != "no group")
            sql << "CREATE TABLE grp(cmd INTEGER, page TEXT, form TEXT, status_cmd INTEGER)";
        for (int i = 0; i < 400; ++i)
            sql << QString("INSERT INTO t VALUES('%1', '%2')")
                       .arg(i, 40, 10, QChar('x'))
                       .arg(i * 7);
        makeDb(sql);
    }
    if (kind == "garbage" || kind == "empty") {
        QFile f(dbPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(kind == "empty" ? 0 : 8192, 'Z'));
    }
    if (kind == "truncated") {
        QFile f(dbPath());
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.resize(f.size() / 2));
    }
    if (kind == "damaged") {
        // Scribble over the middle of the file: the header stays valid, so the integrity
        // check runs and reports problems instead of failing to run.
        QFile f(dbPath());
        QVERIFY(f.open(QIODevice::ReadWrite));
        const qint64 size = f.size();
        QVERIFY(size > 3 * 4096);
        f.seek(size / 2);
        f.write(QByteArray(2048, '\x5a'));
    }
    DB_Worker w;
    QCOMPARE(w.checkDb(), ok);
    // A missing database is never created by the check.
    if (kind == "missing")
        QVERIFY(!QFile::exists(dbPath()));
}

void tst_DbWorker::fwGroup_data()
{
    QTest::addColumn<QStringList>("rows"); // "version|group"
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("group");

    auto row = [](const char *name, const QStringList &rows, const char *version,
                  const char *group) {
        QTest::newRow(name) << rows << QString(version) << QString(group);
    };
    const QStringList plain{"1.2.0-1.2.9|g12", "1.3.0|g13"};
    row("in range", plain, "1.2.5", "g12");
    row("range start explicit", plain, "1.2.0", "g12");
    row("range end explicit", plain, "1.2.9", "g12");
    row("single explicit", plain, "1.3.0", "g13");
    row("newer than all takes newest", plain, "1.4.0", "g13");
    row("older than all", plain, "1.1.0", "");
    // Versions order naturally: 1.2.10 is above 1.2.9, so it is not in the first range.
    row("above range end", plain, "1.2.10", "");
    row("natural range", {"1.2.9-1.2.20|gn"}, "1.2.10", "gn");
    // "1.0.1" is contained in "1.0.10": the matching row itself decides, not a text search.
    row("substring pitfall", {"1.0.10|g10", "1.0.1|g1"}, "1.0.1", "g1");
    row("substring pitfall other way", {"1.0.1|g1", "1.0.10|g10"}, "1.0.10", "g10");
    row("later match wins", {"1.0.0-1.0.9|ga", "1.0.5|gb"}, "1.0.5", "gb");
    row("newest is a range end", {"1.0.0-1.0.9|ga", "0.9.0|gb"}, "1.1.0", "ga");
    row("empty table", {}, "1.0.0", "");
}

void tst_DbWorker::fwGroup()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, version);
    QFETCH(QString, group);
    QStringList sql{"CREATE TABLE vexa760(fw_ver TEXT, fw_group TEXT)"};
    for (const QString &r : rows) {
        const QStringList p = r.split('|');
        sql << QString("INSERT INTO vexa760 VALUES('%1', '%2')").arg(p.at(0), p.at(1));
    }
    makeDb(sql);
    DB_Worker w;
    QCOMPARE(w.getFwGroup(version, "760"), group);
}

void tst_DbWorker::fwGroupMissingModelTable()
{
    makeDb({"CREATE TABLE vexa760(fw_ver TEXT, fw_group TEXT)",
            "INSERT INTO vexa760 VALUES('1.0.0', 'g')"});
    DB_Worker w;
    QCOMPARE(w.getFwGroup("1.0.0", "760_2"), QString());
    QCOMPARE(w.getFwGroup("1.0.0", "760"), QString("g"));
}

void tst_DbWorker::supportedLists()
{
    makeDb({"CREATE TABLE vexa750(fw_ver TEXT, fw_group TEXT)",
            "INSERT INTO vexa750 VALUES('1.3.1', 'grp')",
            "CREATE TABLE grp(cmd INTEGER, page TEXT, form TEXT, status_cmd INTEGER)",
            "INSERT INTO grp VALUES(0, NULL, NULL, NULL)", // code 0 is a real parameter
            "INSERT INTO grp VALUES(NULL, 'ioPage', NULL, 8)",
            "INSERT INTO grp VALUES('', NULL, NULL, '')", // empty cells are no codes
            "INSERT INTO grp VALUES(261, 'systemPage', NULL, 0)",
            "INSERT INTO grp VALUES(10, NULL, NULL, NULL)"});
    DB_Worker w;
    QCOMPARE(w.getFwGroup("1.3.1", "750"), QString("grp"));
    w.setCurrentFwGroup("grp");
    QCOMPARE(w.getCommandList(), (QList<int>{0, 261, 10}));
    QCOMPARE(w.getStatusCommandList(), (QList<int>{8, 0}));
    // A prefix of a code (26 of 261, 1 of 10) is no code; page names are exact.
    QCOMPARE((QList<bool>{w.checkSupportedCmd(261), w.checkSupportedCmd(0), w.checkSupportedCmd(26),
                          w.checkSupportedCmd(1)}),
             (QList<bool>{true, true, false, false}));
    QCOMPARE((QList<bool>{w.checkSupportPage("ioPage"), w.checkSupportPage("interfacesPage"),
                          w.checkSupportPage("iopage")}),
             (QList<bool>{true, false, false}));

    // Identifying the next device empties the lists until its group is set.
    w.getFwGroup("1.3.1", "750");
    QVERIFY(w.getCommandList().isEmpty());
    QVERIFY(w.getStatusCommandList().isEmpty());
    // The group chosen earlier still answers (its connection stayed open).
    QVERIFY(w.checkSupportedCmd(261));
}

void tst_DbWorker::queriesWithoutGroup()
{
    makeDb({"CREATE TABLE grp(cmd INTEGER, page TEXT, form TEXT, status_cmd INTEGER)",
            "INSERT INTO grp VALUES(5, 'ioPage', 'txSpeedComboBox;DR0:0', 1)"});
    DB_Worker w;
    QVERIFY(!w.checkSupportedCmd(5));
    QVERIFY(!w.checkSupportPage("ioPage"));
    QVERIFY(w.getFormElements("txSpeedComboBox").isEmpty());
    QVERIFY(w.getCommandList().isEmpty());
    w.setCurrentFwGroup("no_such_group");
    QVERIFY(!w.checkSupportedCmd(5));
    w.setCurrentFwGroup("grp");
    QVERIFY(w.checkSupportedCmd(5) && w.checkSupportPage("ioPage"));
    // Closing forgets the group.
    w.closeDb();
    QVERIFY(!w.checkSupportedCmd(5) && !w.checkSupportPage("ioPage"));
}

void tst_DbWorker::formElements_data()
{
    QTest::addColumn<QStringList>("forms");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("items");

    auto row = [](const char *name, const QStringList &forms, const char *element,
                  const QStringList &items) {
        QTest::newRow(name) << forms << QString(element) << items;
    };
    row("three items", {"inMode0comboBox;Выключен:0,Счётный:1,Охранный:2"}, "inMode0comboBox",
        {"Выключен:0", "Счётный:1", "Охранный:2"});
    row("prefix pitfall", {"inMode0comboBoxOld;a:1", "inMode0comboBox;b:2"}, "inMode0comboBox", {});
    row("first of two", {"BatStatus;x:0", "BatStatus;y:1"}, "BatStatus", {"x:0"});
    row("flag", {"enPower20dbmCheckBox;true"}, "enPower20dbmCheckBox", {"true"});
    row("empty items dropped", {"levelDbgcomboBox;ALL:ALL,,ERR:ERR,"}, "levelDbgcomboBox",
        {"ALL:ALL", "ERR:ERR"});
    row("absent", {"a;b"}, "txPowerComboBox", {});
    row("no items", {"rsToUsbGroupBox;"}, "rsToUsbGroupBox", {});
    row("empty name", {"a;b"}, "", {});
}

void tst_DbWorker::formElements()
{
    QFETCH(QStringList, forms);
    QFETCH(QString, name);
    QFETCH(QStringList, items);
    QStringList sql{"CREATE TABLE grp(cmd INTEGER, page TEXT, form TEXT, status_cmd INTEGER)",
                    "INSERT INTO grp VALUES(1, NULL, NULL, NULL)"};
    for (const QString &f : forms)
        sql << QString("INSERT INTO grp VALUES(NULL, NULL, '%1', NULL)").arg(f);
    makeDb(sql);
    DB_Worker w;
    w.setCurrentFwGroup("grp");
    QCOMPARE(w.getFormElements(name), items);
}

void tst_DbWorker::statusBitsAndLists()
{
    makeDb({"CREATE TABLE statusBits(bit INTEGER, name TEXT, off TEXT, on_ TEXT)",
            "INSERT INTO statusBits VALUES(4, 'Батарея', 'Норма', 'Разряжена')",
            "INSERT INTO statusBits VALUES(NULL, 'skip', 'x', 'y')",
            "INSERT INTO statusBits VALUES(7, 'Только имя', NULL, NULL)",
            "CREATE TABLE gprsList(a TEXT, b TEXT, c TEXT, d TEXT, e TEXT)",
            "INSERT INTO gprsList VALUES('Оператор', 'internet', '', '', '*99#')",
            "INSERT INTO gprsList VALUES(NULL, 'x', '', '', '')",
            "CREATE TABLE gpsList(a TEXT, b TEXT, c TEXT, d TEXT)",
            "INSERT INTO gpsList VALUES('GPS', '1', 'Только GPS', '')"});
    DB_Worker w;
    const QMap<int, QStringList> bits = w.getStatusBits();
    QCOMPARE(bits.size(), 2);
    QCOMPARE(bits.value(4), (QStringList{"Батарея", "Норма", "Разряжена"}));
    QCOMPARE(bits.value(7), (QStringList{"Только имя", "", ""}));
    const QList<GPRS_CONFIG> providers = w.getProviderList();
    QCOMPARE(providers.size(), 1);
    QCOMPARE((QStringList{providers.at(0).apn, providers.at(0).dialNumber}),
             (QStringList{"internet", "*99#"}));
    const QList<GPS_CONFIG> gps = w.getGpsList();
    QCOMPARE(gps.size(), 1);
    QCOMPARE(gps.at(0).description, QString("Только GPS"));
}

void tst_DbWorker::idLookups()
{
    makeDb({"CREATE TABLE ids(name TEXT, id INTEGER)", "INSERT INTO ids VALUES('701', 701)",
            "INSERT INTO ids VALUES('760', 760)", "INSERT INTO ids VALUES('760_2', 2808)",
            "INSERT INTO ids VALUES('760_63', 65272)", "INSERT INTO ids VALUES(NULL, 5)"});
    DB_Worker w;
    // The whole key: a device "760_6" is neither "760_63" nor "760".
    QCOMPARE((QList<int>{w.getIdByName("760"), w.getIdByName("760_2"), w.getIdByName("750"),
                         w.getIdByName(""), w.getIdByName("760_6"), w.getIdByName("76")}),
             (QList<int>{760, 2808, -1, -1, -1, -1}));
    QCOMPARE(w.getNameById(2808), QString("760_2"));
    QCOMPARE(w.getNameById(999), QString());
    const QMap<QString, int> names = w.getDevNameList();
    QCOMPARE(names.size(), 4);
    QCOMPARE(names.value("760_2"), 2808);
}

QTEST_GUILESS_MAIN(tst_DbWorker)
#include "tst_db_worker.moc"
