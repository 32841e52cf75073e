#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

// Runs the real configurator from a temporary application folder, the way a user would
// start a damaged installation.
class tst_Startup : public QObject
{
    Q_OBJECT
    // The program starts, finds the damage, tells it and ends, on a loaded machine too.
    static constexpr int programRunMs = 60000;
private slots:
    void refusesDamagedDatabase_data();
    void refusesDamagedDatabase();
};

void tst_Startup::refusesDamagedDatabase_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing devices.db") << "missing";
    QTest::newRow("corrupted devices.db") << "corrupted";
    QTest::newRow("devices.db without its tables") << "foreign";
}

void tst_Startup::refusesDamagedDatabase()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString exe = dir.path() + "/vexa7xx-configurator";
    QVERIFY(QFile::copy(VEXA_CONFIGURATOR_EXE, exe));
    QFile::setPermissions(exe, QFile::permissions(VEXA_CONFIGURATOR_EXE));

    if (kind == "foreign") { // a sound SQLite file, but not the program's database
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "foreign");
            db.setDatabaseName(dir.path() + "/devices.db");
            QVERIFY(db.open() &&
                    db.exec("CREATE TABLE t(a TEXT)").lastError().type() == QSqlError::NoError);
        }
        QSqlDatabase::removeDatabase("foreign");
    } else if (kind != "missing") {
        QFile src(VEXA_BUILT_DEVICES_DB);
        QVERIFY(src.open(QIODevice::ReadOnly));
        QByteArray data = src.readAll();
        for (int i = data.size() / 3; i < data.size() / 3 + 3000 && i < data.size(); ++i)
            data[i] = char(0xA5);
        QFile dst(dir.path() + "/devices.db");
        QVERIFY(dst.open(QIODevice::WriteOnly));
        dst.write(data);
    }
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("LC_ALL", "C.UTF-8");
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir.path());
    p.start(exe, QStringList());
    QVERIFY(p.waitForFinished(programRunMs));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    // The user was told why (the box is printed when there is no screen to show it on).
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    QVERIFY2(
        err.contains(QString::fromUtf8("Невозможно запустить конфигуратор, нарушена целосность "
                                       "файлов программы.")),
        qPrintable(err));

    const QStringList after = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QCOMPARE(after, before);
}

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
