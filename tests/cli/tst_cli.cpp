#include "appfixture.h"
#include "clirunner.h"
#include "configdocument.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

// The command-line front end against the simulator, in-process.
class tst_Cli : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY((f = std::make_unique<AppFixture>())->isValid());
        QVERIFY(sim = f->addSim());
    }
    void cleanup() { f.reset(); }
    void usage_data();
    void usage();
    void listFindsDevices();
    void infoAsJson();
    void readThenWriteRoundTrips();
    void writeFile_data();
    void writeFile();
    void noDeviceFails();

private:
    int run(const QStringList &args)
    {
        out.clear();
        err.clear();
        CliRunner::Options o;
        QString error;
        if (!CliRunner::parse(args, &o, &error))
            return 2;
        QTextStream os(&out);
        QTextStream es(&err);
        CliRunner runner(o, &f->enumerator, os, es);
        QSignalSpy finished(&runner, &CliRunner::finished);
        runner.start();
        // At most a read and a write of every parameter.
        if (finished.isEmpty() && !finished.wait(2 * AppFixture::connectWaitMs))
            return -1;
        os.flush();
        es.flush();
        return finished.first().first().toInt();
    }

    std::unique_ptr<AppFixture> f;
    Simulator *sim = nullptr;
    QString out;
    QString err;
};

void tst_Cli::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("ok");
    QTest::newRow("read") << QStringList{"read", "-o", "x.xml"} << true;
    QTest::newRow("write with port")
        << QStringList{"--port", "/dev/x", "write", "f.xml", "--yes"} << true;
    QTest::newRow("no command") << QStringList{"--json"} << false;
    QTest::newRow("unknown command") << QStringList{"erase"} << false;
    QTest::newRow("write without file") << QStringList{"write"} << false;
    QTest::newRow("unknown option") << QStringList{"info", "--fast"} << false;
    QTest::newRow("port without name") << QStringList{"info", "--port"} << false;
}

void tst_Cli::usage()
{
    QFETCH(QStringList, args);
    QFETCH(bool, ok);
    CliRunner::Options o;
    QString error;
    QCOMPARE(CliRunner::parse(args, &o, &error), ok);
    QCOMPARE(error.isEmpty(), ok);
}

void tst_Cli::listFindsDevices()
{
    PortInfo other;
    other.portName = "ttyUSB7";
    other.hasIds = true;
    other.vendorId = 0x1a86;
    other.productId = 0x7523;
    other.serialNumber = "CH340";
    f->enumerator.extra << other;
    QCOMPARE(run({"--json", "list"}), 0);
    const QJsonArray list = QJsonDocument::fromJson(out.toUtf8()).array();
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.at(0).toObject().value("port").toString(), sim->portName());
    QCOMPARE(list.at(0).toObject().value("serial").toString(), QString("00012345"));
}

void tst_Cli::infoAsJson()
{
    QCOMPARE(run({"--json", "info"}), 0);
    const QJsonObject o = QJsonDocument::fromJson(out.toUtf8()).object();
    QCOMPARE(o.value("model").toString(), QString("Vexa750"));
    QCOMPARE(o.value("firmware").toString(), QString("1.3.1"));
    QCOMPARE(o.value("serialNumber").toString(), sim->device().serialNumber());
    QCOMPARE(o.value("supported").toBool(), true);
    QCOMPARE(sim->commandCount(0x8500), 0); // identity only
}

void tst_Cli::readThenWriteRoundTrips()
{
    const QString file = f->path("dev.xml");
    QCOMPARE(run({"--port", sim->portName(), "read", "-o", file}), 0);
    QDomDocument doc;
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(doc.setContent(saved.readAll()));
    for (const QString &key : ConfigDocument::keyElements())
        QVERIFY(doc.documentElement().firstChildElement(key).isNull());

    QMap<quint16, QByteArray> before;
    for (quint16 code : sim->device().paramCodes())
        before.insert(code, sim->device().param(code));
    // The device holds every value already: nothing to write, no reboot.
    QCOMPARE(run({"--port", sim->portName(), "write", file, "--yes"}), 0);
    QVERIFY2(f->writes().isEmpty(), qPrintable(f->writes().join('|') + err));
    // --all writes every parameter of the file anyway, then reboots.
    QCOMPARE(run({"--port", sim->portName(), "write", file, "--yes", "--all"}), 0);
    QVERIFY(err.contains("reboots"));
    QVERIFY(f->writes().size() > 40);
    QCOMPARE(f->writes().last(), QString("0x8001 []"));
    for (quint16 code : sim->device().paramCodes())
        QCOMPARE(sim->device().param(code), before.value(code));
}

void tst_Cli::writeFile_data()
{
    QTest::addColumn<QByteArray>("elements"); // inside <configuration>
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("told"); // a fragment of what the user is told
    QTest::addColumn<QStringList>("writes");
    QTest::newRow("only what changed: nb_trials is 03 already")
        << QByteArray("<dev_id param=\"750\"/><tx_period param=\"00000258\"/>"
                      "<nb_trials param=\"03\"/>")
        << 0 << "reboots" << QStringList{"0x8501 [00 01 0a 04 00 00 02 58]", "0x8001 []"};
    QTest::newRow("another device's file")
        << QByteArray("<dev_id param=\"760\"/><tx_period param=\"00000258\"/>") << 1
        << "device ID 760" << QStringList{};
    // Refused before the device is asked anything.
    QTest::newRow("a parameter twice") << QByteArray("<nb_trials param=\"04\"/><nb_trials "
                                                     "param=\"05\"/>")
                                       << 1 << "more than once: nb_trials" << QStringList{};
    QTest::newRow("no device type")
        << QByteArray("<tx_period param=\"00000258\"/>") << 1 << "no dev_id" << QStringList{};
    QTest::newRow("invalid element not written")
        << QByteArray("<dev_id param=\"750\"/><tx_period param=\"258\"/><nb_trials param=\"05\"/>")
        << 0 << "refused (not written): tx_period"
        << QStringList{"0x8501 [00 01 10 01 05]", "0x8001 []"};
}

void tst_Cli::writeFile()
{
    QFETCH(QByteArray, elements);
    QFETCH(int, exitCode);
    QFETCH(QString, told);
    QFETCH(QStringList, writes);
    const QString file = f->writeFile("in.xml", "<configuration>" + elements + "</configuration>");
    QCOMPARE(run({"write", file, "--yes"}), exitCode);
    QVERIFY2(err.contains(told), qPrintable(err));
    QCOMPARE(f->writes(), writes);
    if (told.contains("more than once") || told.contains("no dev_id"))
        QVERIFY(f->requests().isEmpty()); // refused before the device is asked anything
}

void tst_Cli::noDeviceFails()
{
    f->enumerator.sims.clear();
    QCOMPARE(run({"info"}), 1);
    QVERIFY(err.contains("no device found"));
}

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"
