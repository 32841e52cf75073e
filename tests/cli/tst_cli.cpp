#include "appfixture.h"
#include "appinfo.h"
#include "clirunner.h"
#include "commandhistory.h"
#include "configdocument.h"
#include "db_worker.h"
#include "filetransfer.h"
#include "firmwareimage.h"
#include "frame.h"
#include "logcapture.h"
#include "ptypair.h"
#include "remoteserver.h"
#include "withoutrootpowers.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSqlError>
#include <QSqlQuery>

#include <csignal>
#include <cstring>
#include <thread>
#include <unistd.h>

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
    void commandLine_data();
    void commandLine();
    void helpAndReadmeTellTheSameExitCodes();
    void progressThroughAPipe();
    void listFindsDevices();
    void infoAsJson();
    void readThenWriteRoundTrips();
    void writeFile_data();
    void writeFile();
    void stoppedWriteTellsWhatWasWritten();
    void writeEndsWhenTheRebootIsRefused();
    void writeVerify_data();
    void writeVerify();
    void portAndDatabaseProblems_data();
    void portAndDatabaseProblems();
    void noDeviceFails_data();
    void noDeviceFails();
    void doctorKnowsTheSimulator();
    void doctor_data();
    void doctor();
    void provisionBatch();
    void provisionKeysTable_data();
    void provisionKeysTable();
    void flash_data();
    void flash();
    void flashRefusesFile_data();
    void flashRefusesFile();
    void flashComparesVersions_data();
    void flashComparesVersions();
    void flashResumes_data();
    void flashResumes();
    void consoleSendsFramesAndText();
    void remoteReadAndWrite();
    void syslogEndsDebugModeOnCtrlC();
    void relayReadsTheRemoteDevice_data();
    void relayReadsTheRemoteDevice();
    void showFile_data();
    void showFile();
    void diffFiles();
    void diffAgainstTheDevice();
    void setValues_data();
    void setValues();
    void journalKeepsEachJob();
    void restorePutsBackTheConfiguration();
    void keysNeverReachTheJournal();

private:
    // What the journal holds, newest first, as history --json prints it.
    QJsonArray history(const QStringList &options = {})
    {
        if (run(QStringList{"--json", "history"} + options) != 0)
            return QJsonArray();
        return QJsonDocument::fromJson(out.toUtf8()).array();
    }
    // The program's English texts beside it, as an installation has them.
    void installEnglish()
    {
        QVERIFY(QDir().mkpath(f->path("translations")));
        QVERIFY(QFile::copy(VEXA_BUILT_TRANSLATIONS_DIR "/en.qm", f->path("translations/en.qm")));
    }

    // A device that reboots quickly, with a file store to flash.
    void startFlashSim(SimConfig config = SimConfig())
    {
        f.reset();
        QVERIFY((f = std::make_unique<AppFixture>())->isValid());
        config.rebootDelayMs = AppFixture::quickRebootMs;
        QVERIFY(sim = f->addSim(config));
    }
    QJsonObject jsonOut() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }

    // during (if given) may act on the runner while it works; the console reads inputFd.
    int run(const QStringList &args, const std::function<void(CliRunner &)> &during = {},
            int inputFd = -1)
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
        if (inputFd >= 0)
            runner.setInputFd(inputFd);
        QSignalSpy finished(&runner, &CliRunner::finished);
        if (during)
            during(runner);
        runner.start();
        if (finished.isEmpty() && !finished.wait(runWaitMs))
            return -1;
        os.flush();
        es.flush();
        return finished.first().first().toInt();
    }

    // At most a read and a write of every parameter.
    int runWaitMs = 2 * AppFixture::connectWaitMs;
    LogCapture log; // a flash logs every block; kept out of the test output
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
    QTest::newRow("syslog") << QStringList{"syslog", "dbg,A"} << true;
    QTest::newRow("syslog without codes") << QStringList{"syslog"} << false;
    QTest::newRow("syslog with more than codes") << QStringList{"syslog", "DBG,A;X"} << false;
    QTest::newRow("console takes no file") << QStringList{"console", "x"} << false;
    const QStringList remote{"--remote", "356938035643809", "--password", "1"};
    QTest::newRow("remote read") << remote + QStringList{"--server", "127.0.0.1:9", "read"} << true;
    QTest::newRow("remote IMEI of 14")
        << QStringList{"--remote", "35693803564380", "--password", "1", "info"} << false;
    // Asked for on a terminal, or refused when the command runs (remoteReadAndWrite).
    QTest::newRow("remote without password")
        << QStringList{"--remote", "356938035643809", "info"} << true;
    QTest::newRow("password and password file")
        << remote + QStringList{"--password-file", "-", "info"} << false;
    QTest::newRow("password file alone") << QStringList{"--password-file", "-", "info"} << false;
    QTest::newRow("remote console") << remote + QStringList{"console"} << false;
    QTest::newRow("remote and port") << remote + QStringList{"--port", "/dev/x", "info"} << false;
    QTest::newRow("server without port")
        << remote + QStringList{"--server", "host", "info"} << false;
    QTest::newRow("password alone") << QStringList{"--password", "1", "info"} << false;
    QTest::newRow("relay") << QStringList{"--relay", "70-B3-D5-7E-D0-00-12-34", "read"} << true;
    QTest::newRow("relay DevEUI not hex")
        << QStringList{"--relay", "70b3d57ed00012zz", "info"} << false;
    QTest::newRow("relay flash") << QStringList{"--relay", "70b3d57ed0001234", "flash", "f"}
                                 << false;
    QTest::newRow("session without relay") << QStringList{"--session", "30", "read"} << false;
    QTest::newRow("verify a read") << QStringList{"read", "--verify"} << false;
    QTest::newRow("downgrade a flash") << QStringList{"flash", "f", "--allow-downgrade"} << true;
    QTest::newRow("downgrade a write") << QStringList{"write", "f", "--allow-downgrade"} << false;
    QTest::newRow("help of a command") << QStringList{"help", "write"} << true;
    QTest::newRow("help of two") << QStringList{"help", "write", "read"} << false;
    QTest::newRow("verify through the server")
        << remote + QStringList{"write", "f.xml", "--verify"} << false;
    QTest::newRow("show a file") << QStringList{"show", "f.xml", "--lang", "en"} << true;
    QTest::newRow("show two files") << QStringList{"show", "a.xml", "b.xml"} << false;
    QTest::newRow("a language not offered") << QStringList{"show", "--lang", "de"} << false;
    QTest::newRow("language of a read") << QStringList{"read", "--lang", "en"} << false;
    QTest::newRow("diff three files") << QStringList{"diff", "a", "b", "c"} << false;
    QTest::newRow("diff nothing") << QStringList{"diff"} << false;
    QTest::newRow("set and verify") << QStringList{"set", "tx_period=2h", "--verify"} << true;
    QTest::newRow("set without a value") << QStringList{"set", "tx_period"} << false;
    QTest::newRow("set without a name") << QStringList{"set", "=5"} << false;
    QTest::newRow("dry run of a write") << QStringList{"write", "f.xml", "--dry-run"} << false;
    QTest::newRow("set over the relay")
        << QStringList{"--relay", "70b3d57ed0001234", "set", "nb_trials=4"} << true;
    QTest::newRow("history of a device since a day")
        << QStringList{"history", "--serial", "1", "--since", "2026-12-01", "--csv"} << true;
    QTest::newRow("history since no date") << QStringList{"history", "--since", "yesterday"}
                                           << false;
    QTest::newRow("history as CSV and JSON") << QStringList{"--json", "history", "--csv"} << false;
    QTest::newRow("restore before a moment")
        << QStringList{"restore", "75", "--before", "2026-12-01T10:00"} << true;
    QTest::newRow("restore without which") << QStringList{"restore", "75"} << false;
    QTest::newRow("restore both ways")
        << QStringList{"restore", "75", "--job", "3", "--before", "2026-12-01"} << false;
    QTest::newRow("restore job zero") << QStringList{"restore", "75", "--job", "0"} << false;
    QTest::newRow("since on a read") << QStringList{"read", "--since", "2026-12-01"} << false;
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

void tst_Cli::commandLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("told"); // in the output (standard output, then error)
    QTest::addColumn<bool>("fullHelp");
    const QString version = "vexa7xx-cli " + AppInfo::version() + "\n";
    QTest::newRow("version") << QStringList{"--version"} << 0 << version << false;
    QTest::newRow("help") << QStringList{"--help"} << 0 << "Commands:" << true;
    QTest::newRow("help command") << QStringList{"help"} << 0 << "Commands:" << true;
    QTest::newRow("help of a command")
        << QStringList{"help", "write"} << 0 << "Usage: vexa7xx-cli write FILE" << false;
    QTest::newRow("command --help")
        << QStringList{"flash", "--help"} << 0 << "vexa7xx-cli flash Vexa750_v1.3.0" << false;
    QTest::newRow("command -h, the rest wrong")
        << QStringList{"read", "x", "-h"} << 0 << "\nExamples:\n  vexa7xx-cli read" << false;
    QTest::newRow("command typo") << QStringList{"raed"} << 2
                                  << "unknown command 'raed' — did you mean 'read'?" << false;
    QTest::newRow("command typo with --help")
        << QStringList{"flsh", "--help"} << 2 << "did you mean 'flash'?" << false;
    QTest::newRow("help of a typo")
        << QStringList{"help", "provison"} << 2 << "did you mean 'provision'?" << false;
    QTest::newRow("option typo") << QStringList{"info", "--prot", "x"} << 2
                                 << "unknown option '--prot' — did you mean '--port'?" << false;
    QTest::newRow("option typo of a command's own")
        << QStringList{"flash", "f", "--allow-downgrad"} << 2 << "did you mean '--allow-downgrade'?"
        << false;
    QTest::newRow("nothing near") << QStringList{"erase"} << 2 << "unknown command 'erase'\n"
                                  << false;
    QTest::newRow("option nothing near")
        << QStringList{"info", "--fast"} << 2 << "unknown option '--fast'\n"
        << false;
}

void tst_Cli::commandLine()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, told);
    QFETCH(bool, fullHelp);
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C.UTF-8");
    cli.setProcessEnvironment(env);
    cli.start(VEXA_CLI_EXE, args);
    QVERIFY(cli.waitForFinished(AppFixture::connectWaitMs));
    const QString output =
        QString::fromUtf8(cli.readAllStandardOutput() + cli.readAllStandardError());
    QCOMPARE(cli.exitCode(), exitCode);
    QVERIFY2(output.contains(told), qPrintable(output));
    QCOMPARE(output.contains("Commands:"), fullHelp);
    if (exitCode == 2) {
        // A line and a pointer to the help, not the help itself.
        QVERIFY2(output.count('\n') <= 2, qPrintable(output));
        QVERIFY(!output.contains("did you mean") || told.contains("did you mean"));
    }
}

void tst_Cli::helpAndReadmeTellTheSameExitCodes()
{
    const QString codes = CliOptions::exitCodeHelp();
    const QStringList lines = codes.split('\n', Qt::SkipEmptyParts);
    QStringList numbers;
    for (const QString &line : lines)
        if (line.startsWith("  ") && line.at(2).isDigit())
            numbers << line.mid(2, 1);
    QCOMPARE(numbers, (QStringList{"0", "1", "2", "3"}));
    QVERIFY(CliOptions::usage().endsWith("Exit codes:\n" + codes));
    QFile readme(VEXA_README);
    QVERIFY(readme.open(QIODevice::ReadOnly));
    QVERIFY2(QString::fromUtf8(readme.readAll()).contains("Exit codes:\n" + codes),
             "README.md must show the exit codes as --help does:\n" + codes.toUtf8());
}

void tst_Cli::progressThroughAPipe()
{
    QProcess cli;
    cli.start(VEXA_CLI_EXE, {"--port", sim->portName(), "read", "-o", f->path("dev.xml")});
    QVERIFY(cli.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(cli.state(), QProcess::NotRunning, runWaitMs);
    QCOMPARE(cli.exitCode(), 0);
    const QString progress = QString::fromUtf8(cli.readAllStandardError());
    QVERIFY2(!progress.contains('\r'), qPrintable(progress));
    const int lines = progress.count(
        QRegularExpression("^reading \\d+/\\d+$", QRegularExpression::MultilineOption));
    QVERIFY2(lines >= 2 && lines <= 11, qPrintable(progress));
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
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("told"); // a fragment of what the user is told
    QTest::addColumn<QStringList>("writes");
    QTest::addColumn<bool>("deviceAsked"); // else refused before anything is sent
    auto config = [](const QByteArray &elements) {
        return "<configuration>" + elements + "</configuration>";
    };
    const QByteArray dev = "<dev_id param=\"750\"/>";
    const QString nb = "0x8501 [00 01 10 01 05]";
    QTest::newRow("only what changed: nb_trials is 03 already")
        << config(dev + "<tx_period param=\"00000258\"/><nb_trials param=\"03\"/>") << 0
        << "reboots" << QStringList{"0x8501 [00 01 0a 04 00 00 02 58]", "0x8001 []"} << true;
    // Refused whole, before the device is asked anything.
    QTest::newRow("not XML") << QByteArray("this is not a configuration") << 1 << "not XML"
                             << QStringList{} << false;
    QTest::newRow("empty file") << QByteArray() << 1 << "not XML" << QStringList{} << false;
    QTest::newRow("deep") << config(QByteArray("<a>").repeated(50000)) << 1 << "nested"
                          << QStringList{} << false;
    QTest::newRow("huge") << config(QByteArray(ConfigDocument::maxFileBytes, ' ')) << 1
                          << "larger than any configuration" << QStringList{} << false;
    QTest::newRow("entity expansion")
        << QByteArray("<!DOCTYPE c [<!ENTITY e \"x\">]><configuration>&e;</configuration>") << 1
        << "document type declaration" << QStringList{} << false;
    QTest::newRow("a parameter twice")
        << config(dev + "<nb_trials param=\"04\"/><nb_trials param=\"05\"/>") << 1
        << "more than once: nb_trials" << QStringList{} << false;
    QTest::newRow("no dev_id") << config("<tx_period param=\"00000258\"/>") << 1 << "no dev_id"
                               << QStringList{} << false;
    QTest::newRow("only a non-hex value")
        << config(dev + "<nb_trials param=\"zz\"/>") << 1 << "nothing of" << QStringList{} << false;
    // The identity is read to tell the model, nothing more.
    QTest::newRow("another model's file")
        << config("<dev_id param=\"760\"/><tx_period param=\"00000258\"/>") << 1 << "device ID 760"
        << QStringList{} << true;
    // The values that can be written are; the exit code says the file was not applied whole.
    QTest::newRow("wrong length beside a good value")
        << config(dev + "<tx_period param=\"258\"/><nb_trials param=\"05\"/>") << 3
        << "written: nb_trials = 5; not written: tx_period\n"
        << QStringList{nb, "0x8001 []"} << true;
    // The encodings a declaration may name; the text sent is the same in each.
    const auto utf16 = [](const QByteArray &ascii, bool bigEndian, bool mark) {
        QByteArray out = mark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
        for (char c : ascii)
            out += bigEndian ? QByteArray(1, '\0') + c : QByteArray(1, c) + '\0';
        return out;
    };
    const QByteArray period =
        "<?xml version='1.0' encoding='UTF-16'?>" + config(dev + "<tx_period param=\"00000258\"/>");
    const QStringList periodWrite{"0x8501 [00 01 0a 04 00 00 02 58]", "0x8001 []"};
    QTest::newRow("UTF-16 LE") << utf16(period, false, true) << 0 << "reboots" << periodWrite
                               << true;
    QTest::newRow("UTF-16 BE") << utf16(period, true, true) << 0 << "reboots" << periodWrite
                               << true;
    QTest::newRow("UTF-8 with its mark") << "\xEF\xBB\xBF" + QByteArray(period).replace("16", "8")
                                         << 0 << "reboots" << periodWrite << true;
    QTest::newRow("UTF-16 without its mark")
        << utf16(period, false, false) << 1 << "without a byte order mark" << QStringList{}
        << false;
    QTest::newRow("an encoding not read")
        << QByteArray(period).replace("UTF-16", "EBCDIC-CP-US") << 1
        << "the encoding EBCDIC-CP-US is not read" << QStringList{} << false;
    QTest::newRow("empty value, the rest held already")
        << config(dev + "<tx_period param=\"\"/><nb_trials param=\"03\"/>") << 3
        << "written: nothing; held already: nb_trials; not written: tx_period\n"
        << QStringList{} << true;
}

void tst_Cli::writeFile()
{
    QFETCH(QByteArray, content);
    QFETCH(int, exitCode);
    QFETCH(QString, told);
    QFETCH(QStringList, writes);
    QFETCH(bool, deviceAsked);
    QCOMPARE(run({"write", f->writeFile("in.xml", content), "--yes"}), exitCode);
    QVERIFY2(err.contains(told), qPrintable(err));
    QCOMPARE(f->writes(), writes);
    if (!deviceAsked)
        QCOMPARE(f->requests(), QStringList());
    if (told == "device ID 760")
        QCOMPARE(sim->commandCount(0x8500), 0);
}

void tst_Cli::stoppedWriteTellsWhatWasWritten()
{
    f.reset(); // a device that refuses nb_trials, the second of three to write
    QVERIFY((f = std::make_unique<AppFixture>())->isValid());
    SimConfig c;
    c.refusedParams = {0x0010};
    QVERIFY(sim = f->addSim(c));
    const QString file = f->writeFile(
        "in.xml", "<configuration><dev_id param=\"750\"/><tx_period param=\"00000258\"/>"
                  "<nb_trials param=\"05\"/><rs_settings rs_speed=\"2580\" rs_data_bits=\"08\" "
                  "rs_parity=\"00\" rs_stop_bits=\"01\"/><adr_enable param=\"01\"/>"
                  "<check_connect param=\"07\"/></configuration>");
    QCOMPARE(run({"--json", "write", file, "--yes"}), CliRunner::PartlyApplied);
    QVERIFY2(err.contains("the device refused nb_trials"), qPrintable(err));
    const QJsonObject report = QJsonDocument::fromJson(out.toUtf8()).object();
    auto names = [&](const char *key) {
        QStringList list;
        for (const QJsonValue &v : report.value(key).toArray())
            list << (v.isObject() ? v.toObject().value("name").toString() : v.toString());
        return list;
    };
    QCOMPARE(names("applied"), QStringList{"tx_period"});
    // The refused value was sent: it is listed as refused, with the device's result.
    QCOMPARE(names("notWritten"), (QStringList{"check_connect"}));
    QCOMPARE(names("refused"), (QStringList{"rs_settings", "adr_enable", "nb_trials"}));
    QVERIFY(report.value("refused").toArray().last().toObject().value("reason").toString().contains(
        "the device refused it (result"));
    QCOMPARE(f->writes().size(), 2); // no reboot after the refusal
}

void tst_Cli::writeEndsWhenTheRebootIsRefused()
{
    // Every value taken, the reboot refused: the device's answer ends the wait for its reboot.
    SimConfig c;
    c.rebootResult = 7;
    startFlashSim(c);
    const QString file = f->writeFile("in.xml", "<configuration><dev_id param=\"750\"/><tx_period "
                                                "param=\"00000258\"/></configuration>");
    QCOMPARE(run({"write", file, "--yes"}), 1);
    QVERIFY2(err.contains("refused to reboot (result 7)"), qPrintable(err));
}

void tst_Cli::writeVerify_data()
{
    QTest::addColumn<QList<int>>("kept"); // acknowledged by the device but not stored
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("mismatched");
    QTest::newRow("every value stored") << QList<int>{} << 0 << QStringList{};
    QTest::newRow("tx_period kept silently") << QList<int>{0x000A} << 3 << QStringList{"tx_period"};
    QTest::newRow("both kept: nothing applied")
        << QList<int>{0x000A, 0x0010} << 1 << QStringList{"tx_period", "nb_trials"};
}

void tst_Cli::writeVerify()
{
    QFETCH(QList<int>, kept);
    QFETCH(int, exitCode);
    QFETCH(QStringList, mismatched);
    SimConfig c;
    for (int code : kept)
        c.ignoredParams << quint16(code);
    startFlashSim(c); // a quick reboot
    installEnglish();
    const QByteArray periodBefore = sim->device().param(0x000A);
    const QString file = f->writeFile(
        "in.xml", "<configuration><dev_id param=\"750\"/><tx_period param=\"00000258\"/>"
                  "<nb_trials param=\"05\"/></configuration>");
    QCOMPARE(run({"--json", "write", file, "--yes", "--verify"}), exitCode);
    const QJsonObject report = jsonOut();
    QCOMPARE(report.value("verified").toBool(), mismatched.isEmpty());
    QStringList names;
    for (const QJsonValue &v : report.value("mismatches").toArray())
        names << v.toObject().value("name").toString();
    QCOMPARE(names, mismatched);
    // The device was read again after its reboot: the mismatch is what it holds now.
    QCOMPARE(sim->commandCount(Cmd::deviceInfo), 2);
    if (kept.contains(0x000A)) {
        const QJsonObject m = report.value("mismatches").toArray().at(0).toObject();
        QCOMPARE(m.value("written").toString(), QString("00000258"));
        QCOMPARE(m.value("read").toString(), QString::fromLatin1(periodBefore.toHex()));
        QVERIFY2(err.contains(QString("mismatch: tx_period written 600 s, read back %1 s\n")
                                  .arg(periodBefore.toHex().toUInt(nullptr, 16))),
                 qPrintable(err));
    } else {
        QVERIFY2(err.contains("written and verified: 2 value(s)"), qPrintable(err));
    }
}

void tst_Cli::portAndDatabaseProblems_data()
{
    QTest::addColumn<QString>("problem");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("told");
    QTest::newRow("missing path") << "missing" << 1 << "no such port: ";
    QTest::newRow("relative path") << "relative" << 0 << "";
    QTest::newRow("no permission") << "denied" << 1 << "no permission to open ";
    QTest::newRow("in use") << "in use" << 1 << "is in use by another program";
    QTest::newRow("empty devices.db") << "empty db" << 1 << "devices.db is empty or damaged";
    QTest::newRow("truncated devices.db")
        << "truncated db" << 1 << "devices.db is empty or damaged";
    QTest::newRow("devices.db without its tables")
        << "foreign db" << 1 << "devices.db is empty or damaged: %1";
}

void tst_Cli::portAndDatabaseProblems()
{
    QFETCH(QString, problem);
    QFETCH(int, exitCode);
    QFETCH(QString, told);
    QString port = sim->portName();
    QSerialPort holder(sim->portName());
    QFile node(sim->portName());
    const QFileDevice::Permissions mode = node.permissions();
    if (problem == "missing") {
        port = f->path("no/such/port");
    } else if (problem == "relative") {
        QVERIFY(QDir(f->path()).mkpath("dev"));
        QVERIFY(QFile::link(sim->portName(), f->path("dev/vexa")));
        QDir::setCurrent(f->path()); // back at the end of the test
        port = "dev/vexa";
    } else if (problem == "denied") {
        QVERIFY(node.setPermissions({}));
    } else if (problem == "in use") {
        QVERIFY(holder.open(QIODevice::ReadWrite)); // for exclusive use, as every serial program
    } else if (problem == "foreign db") {           // sound, but not the program's
        QVERIFY(QFile::remove(DB_Worker::databasePath()));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "foreign");
            db.setDatabaseName(DB_Worker::databasePath());
            QVERIFY(db.open() &&
                    db.exec("CREATE TABLE t(a TEXT)").lastError().type() == QSqlError::NoError);
        }
        QSqlDatabase::removeDatabase("foreign");
    } else {
        QFile db(DB_Worker::databasePath());
        QVERIFY(db.open(QIODevice::ReadWrite));
        QVERIFY(db.resize(problem == "empty db" ? 0 : db.size() / 2));
    }
    int code = -1;
    {
        // As an ordinary user sees the port, also when the tests run as root.
        WithoutRootPowers user;
        code = run({"--port", port, "info"});
    }
    node.setPermissions(mode);
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    QCOMPARE(code, exitCode);
    QVERIFY2(err.contains(told.arg(DB_Worker::databasePath())), qPrintable(err));
    QVERIFY2(!err.contains("went away"), qPrintable(err));
    if (exitCode != 0)
        QCOMPARE(f->requests(), QStringList());
}

void tst_Cli::noDeviceFails_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("told");
    QTest::newRow("info") << QStringList{"info"} << "no device found";
    QTest::newRow("list") << QStringList{"list"} << "no Vexa7XX device found";
    QTest::newRow("list --json") << QStringList{"--json", "list"} << "no Vexa7XX device found";
}

void tst_Cli::noDeviceFails()
{
    QFETCH(QStringList, args);
    QFETCH(QString, told);
    f->enumerator.sims.clear();
    QCOMPARE(run(args), 1);
    QVERIFY2(err.contains(told) && err.contains("vexa7xx-cli doctor"), qPrintable(err));
    QCOMPARE(out, args.contains("--json") ? QString("[]\n") : QString());
}

void tst_Cli::doctorKnowsTheSimulator()
{
    // The simulator's process keeps its end of the port open: the device, not a user of it.
    QProcess simProcess;
    simProcess.start(VEXA_SIM_EXE, QStringList());
    QVERIFY(simProcess.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(simProcess.canReadLine(), AppFixture::connectWaitMs);
    const QString port = QString::fromUtf8(simProcess.readLine()).trimmed();
    const qint64 pid = simProcess.processId();
    const int code = run({"--port", port, "doctor"});
    simProcess.terminate();
    simProcess.waitForFinished();
    QCOMPARE(code, 0);
    QVERIFY2(out.contains(QString("%1: ok, the simulated device of vexa7xx-sim (pid %2)")
                              .arg(QFileInfo(port).canonicalFilePath())
                              .arg(pid)),
             qPrintable(out));
    QVERIFY2(!out.contains("kill"), qPrintable(out));
}

void tst_Cli::doctor_data()
{
    QTest::addColumn<QString>("problem");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("told"); // %1: the simulator's port
    QTest::newRow("usable") << "" << 0 << QStringList{"%1: ok", "no problems found"};
    QTest::newRow("no permission")
        << "denied" << 1
        << QStringList{"%1: no permission to open it (c---------", "fix: the port is yours",
                       "chmod u+rw %1", "udev rule"};
    QTest::newRow("in use") << "in use" << 1
                            << QStringList{"%1: in use by another program", "sudo fuser -v %1"};
    QTest::newRow("missing port") << "missing" << 1
                                  << QStringList{
                                         "no/such/port: no such port", "fix: check the cable",
                                         "Device/VID=0483, Device/PID=5740", "--port /dev/ttyUSB0"};
    QTest::newRow("no device, another maker's adapter")
        << "no device" << 1 << QStringList{"ttyUSB7", "1a86:7523", "no Vexa7XX device found"};
}

void tst_Cli::doctor()
{
    QFETCH(QString, problem);
    QFETCH(int, exitCode);
    QFETCH(QStringList, told);
    QStringList args{"doctor"};
    QSerialPort holder(sim->portName());
    QFile node(sim->portName());
    const QFileDevice::Permissions mode = node.permissions();
    if (problem == "denied") {
        QVERIFY(node.setPermissions({}));
    } else if (problem == "in use") {
        QVERIFY(holder.open(QIODevice::ReadWrite));
    } else if (problem == "missing") {
        args << "--port" << f->path("no/such/port");
    } else if (problem == "no device") {
        f->enumerator.sims.clear();
        PortInfo other;
        other.portName = "ttyUSB7";
        other.hasIds = true;
        other.vendorId = 0x1a86;
        other.productId = 0x7523;
        f->enumerator.extra << other;
    }
    int code = -1;
    {
        WithoutRootPowers user; // as an ordinary user sees the port
        code = run(args);
    }
    node.setPermissions(mode);
    QCOMPARE(code, exitCode);
    const QString port = QFileInfo(sim->portName()).canonicalFilePath();
    for (const QString &t : told)
        QVERIFY2(out.contains(t.arg(port)), qPrintable(t.arg(port) + "\n---\n" + out));
    // Every port listed, the simulator's as a Vexa7XX device with its USB serial number.
    if (problem != "no device")
        QVERIFY2(out.contains(QRegularExpression(QRegularExpression::escape(sim->portName()) +
                                                 " +0483:5740  VEXA7XX\\d+ +Vexa7XX")),
                 qPrintable(out));
    QCOMPARE(f->requests(), QStringList()); // the device itself is never asked anything
}

void tst_Cli::provisionBatch()
{
    // Three devices at once; the third acknowledges its key but keeps the old one, which only
    // the read-back shows.
    f.reset();
    QVERIFY((f = std::make_unique<AppFixture>())->isValid());
    SimConfig c;
    c.rebootDelayMs = AppFixture::quickRebootMs;
    for (int i = 0; i < 3; ++i) {
        if (i == 2)
            c.ignoredParams = {0x0005};
        QVERIFY(f->addSim(c));
    }
    const QString templ = f->writeFile(
        "template.xml", "<configuration><dev_id param=\"750\"/><tx_period param=\"00000258\"/>"
                        "</configuration>");
    QByteArray csv = "# the bench's keys\nserial_number;app_key\n";
    const auto keyOf = [](int i) {
        return QByteArray("00112233445566778899aabbccddee0") + char('0' + i);
    };
    for (int i = 2; i >= 0; --i) // not in the ports' order
        csv += f->sim(i)->device().serialNumber().toLatin1() + ";" + keyOf(i).toUpper() + "\n";
    const QString keys = f->writeFile("keys.csv", csv);
    const QString report = f->path("report.json");
    const QStringList args{"provision", "--template", templ,      "--keys",
                           keys,        "--verify",   "--report", report};
    runWaitMs *= 3;

    QVERIFY2(run(args) == 1, qPrintable(out + err));
    const auto lines = [&] {
        QFile file(report);
        file.open(QIODevice::ReadOnly);
        QList<QJsonObject> objects;
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (!line.isEmpty())
                objects << QJsonDocument::fromJson(line).object();
        }
        return objects;
    };
    QMap<QString, QJsonObject> bySerial;
    for (const QJsonObject &o : lines())
        bySerial.insert(o.value("serial").toString(), o);
    QCOMPARE(bySerial.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const SimDevice &dev = f->sim(i)->device();
        const QJsonObject o = bySerial.value(dev.serialNumber());
        QCOMPARE(Provisioner::bareEui(o.value("devEui").toString()), dev.devEui());
        QCOMPARE(o.value("firmware").toString(), QString("1.3.1"));
        QVERIFY(o.value("duration").toDouble() > 0);
        QCOMPARE(dev.param(0x000A).toHex(), QByteArray("00000258"));
        if (i < 2) {
            QCOMPARE(o.value("result").toString(), QString("ok"));
            QCOMPARE(dev.param(0x0005).toHex(), keyOf(i));
        } else {
            QCOMPARE(o.value("result").toString(), QString("failed"));
            QCOMPARE(o.value("notOnDevice").toString(), QString("app_key"));
            // Named as the user's files, not the temporary one that is gone now.
            QVERIFY2(o.value("error").toString().startsWith(templ + " with the keys of " +
                                                            dev.serialNumber() + " from " + keys),
                     qPrintable(o.value("error").toString()));
        }
    }

    // Again: the two done are only asked who they are; the failed one is tried anew.
    for (int i = 0; i < 3; ++i)
        f->sim(i)->resetCounts();
    QCOMPARE(run(args), 1);
    QCOMPARE(out.count("skipped: done already"), 2);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(f->sim(i)->commandCount(Cmd::writeParam) > 0, i == 2);
    QCOMPARE(lines().size(), 4);
    QCOMPARE(lines().last().value("serial").toString(), f->sim(2)->device().serialNumber());

    // The journal keeps each device's job beside the report, and the export lists the two done
    // with the JoinEUI they were given.
    QCOMPARE(run({"--json", "history", "--provisioned"}), 0);
    const QJsonArray done = QJsonDocument::fromJson(out.toUtf8()).array();
    QCOMPARE(done.size(), 2);
    for (const QJsonValue &v : done) {
        const QString serial = v.toObject().value("serial").toString();
        QVERIFY(serial == f->sim(0)->device().serialNumber() ||
                serial == f->sim(1)->device().serialNumber());
        QCOMPARE(v.toObject().value("model").toString(), QString("Vexa750"));
    }
    int failedJobs = 0;
    for (const QJsonValue &v : history())
        failedJobs += v.toObject().value("job") == "provision" && v.toObject().value("result") == "failed";
    QCOMPARE(failedJobs, 2); // the third device, in each run
}

void tst_Cli::provisionKeysTable_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("match"); // the row's key; empty: the table is refused
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("told"); // why it is refused
    const QByteArray key = "00112233445566778899AABBCCDDEEFF";
    QTest::newRow("by serial number, DevEUI written")
        << "serial_number,dev_eui,app_key\n7500000000012345,70-B3-D5-7E-02-EE-30-39," + key + "\n"
        << "7500000000012345" << QStringList{"70b3d57e02ee3039", "00112233445566778899aabbccddeeff"}
        << QString();
    QTest::newRow("by DevEUI, semicolons, a comment, CRLF, quotes")
        << "# keys\r\nDEV_EUI;app_key\r\n70:B3:D5:7E:02:EE:30:39;\"" + key + "\"\r\n"
        << "70b3d57e02ee3039" << QStringList{"00112233445566778899aabbccddeeff"} << QString();
    QTest::newRow("no column to find the device by") << QByteArray("app_key\n0011\n") << QString()
                                                     << QStringList() << "serial_number or dev_eui";
    QTest::newRow("a column that is no writable parameter")
        << QByteArray("serial_number,fw_ver\n1,1.3.1\n") << QString() << QStringList() << "fw_ver";
    QTest::newRow("a device listed twice") << "serial_number,app_key\n1," + key + "\n1," + key
                                           << QString() << QStringList() << "line 3";
    QTest::newRow("a row short of a cell")
        << "serial_number,app_key,app_eui\n1," + key << QString() << QStringList() << "line 2";
    // Every value is encoded as the device will get it, before any device is asked.
    QTest::newRow("a key that is no hex")
        << QByteArray("serial_number,app_key\n1,zz112233\n") << QString() << QStringList()
        << "line 2 of the keys table: app_key \"zz112233\"";
    QTest::newRow("a key one byte short") << "serial_number,app_key\n1," + key.left(30) << QString()
                                          << QStringList() << "line 2 of the keys table: app_key";
    QTest::newRow("an unbalanced quote") << "serial_number,app_key\n\"1," + key << QString()
                                         << QStringList() << "line 2 of the keys table: a quote";
}

void tst_Cli::provisionKeysTable()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, match);
    QFETCH(QStringList, values);
    QFETCH(QString, told);
    Provisioner::Keys keys;
    QString error;
    QCOMPARE(Provisioner::parseKeys(csv, &keys, &error), !match.isEmpty());
    QVERIFY2(error.contains(told), qPrintable(error));
    if (!match.isEmpty()) {
        QCOMPARE(keys.rows.value(match), values);
        return;
    }
    // A batch with that table is usage: refused before any device is asked anything.
    const QString templ = f->writeFile(
        "t.xml", "<configuration><dev_id param=\"750\"/><tx_period param=\"00000258\"/>"
                 "</configuration>");
    QCOMPARE(run({"provision", "--template", templ, "--keys", f->writeFile("keys.csv", csv)}), 2);
    QVERIFY2(err.contains(told), qPrintable(err));
    QCOMPARE(f->requests(), QStringList());
}

namespace {
const QString newVersion = QStringLiteral("9.9.9");
const int flashBytes = 64 * FileTransfer::defaultBlockSize - 100; // ends with a short block
const QRegularExpression progressLine("^ *\\d+% .* KB/s", QRegularExpression::MultilineOption);
} // namespace

void tst_Cli::flash_data()
{
    QTest::addColumn<QString>("port"); // how the device is named
    QTest::addColumn<bool>("applies"); // the device runs the image after its reboot
    QTest::newRow("found by its USB identifiers") << "" << true;
    QTest::newRow("a link that follows the device") << "link" << true;
    QTest::newRow("the device reboots into its old firmware") << "" << false;
}

void tst_Cli::flash()
{
    QFETCH(QString, port);
    QFETCH(bool, applies);
    SimConfig c;
    if (port == "link")
        c.linkPath = QDir::temp().filePath("vexa-cli-flash-test");
    startFlashSim(c);
    const QByteArray file = firmwareImage(sim->device().deviceId(), newVersion, flashBytes);
    if (!applies) // the checked image is lost as the device goes down
        connect(sim, &Simulator::unplugged, this,
                [this] { sim->device().setStoredFile(sim->device().storedFile()); });
    QStringList args{"--json", "flash", f->writeFile("fw.bin", file), "--yes"};
    if (!port.isEmpty())
        args << "--port" << c.linkPath;

    QCOMPARE(run(args), applies ? 0 : 1);
    if (!applies)
        QVERIFY2(err.contains("did not apply the image"), qPrintable(err));
    // Without a terminal, one progress line for every 10 %.
    QCOMPARE(err.count(progressLine), 10);
    const QJsonObject summary = jsonOut();
    QCOMPARE(summary.value("result").toString(), applies ? QString("ok") : QString("failed"));
    QCOMPARE(summary.value("fromVersion").toString(), QString("1.3.1"));
    QCOMPARE(summary.value("toVersion").toString(), newVersion);
    QCOMPARE(summary.value("bytesSent").toInt(), flashBytes);
    QVERIFY(summary.value("resumedAt").isNull());
    QCOMPARE(sim->device().storedFile(), file);
    // What the device says it runs, asked anew.
    QCOMPARE(run({"--json", "info"}), 0);
    QCOMPARE(jsonOut().value("firmware").toString(), applies ? newVersion : QString("1.3.1"));
    // The journal says the same.
    const QJsonObject job = history().at(0).toObject();
    QCOMPARE(job.value("job").toString(), QString("flash"));
    QCOMPARE(job.value("result").toString(), applies ? QString("ok") : QString("failed"));
    QCOMPARE(job.value("firmwareBefore").toString(), QString("1.3.1"));
    QCOMPARE(job.value("firmwareAfter").toString(), applies ? newVersion : QString("1.3.1"));
}

void tst_Cli::flashRefusesFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("told");
    QTest::addColumn<QStringList>("requests"); // command codes the device received
    const QStringList none;
    // Every kind of refused image is tabled in the transfer's tests; here the two moments.
    QTest::newRow("before the port is opened")
        << firmwareImage(750, newVersion, 4096).mid(2) << "no firmware header" << none;
    // Identified, never flashed.
    QTest::newRow("another model's image")
        << firmwareImage(701, newVersion, 4096) << "is for device 701 (Vexa701)"
        << QStringList{"0x8002"};
}

void tst_Cli::flashRefusesFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, told);
    QFETCH(QStringList, requests);
    QCOMPARE(run({"flash", f->writeFile("fw.bin", content), "--yes"}), 1);
    QVERIFY2(err.contains(told), qPrintable(err));
    QCOMPARE(f->codes(), requests);
}

void tst_Cli::flashComparesVersions_data()
{
    QTest::addColumn<QString>("version"); // the image's; the device runs 1.3.1
    QTest::addColumn<bool>("allowDowngrade");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("told");
    QTest::addColumn<bool>("flashed");
    QTest::newRow("older") << "1.2.10" << false << 1
                           << "the image's firmware 1.2.10 is older than the firmware 1.3.1"
                           << false;
    QTest::newRow("older, allowed") << "1.2.10" << true << 0 << "runs firmware 1.2.10 now" << true;
    QTest::newRow("the same") << "1.3.1" << false << 0 << "already runs firmware 1.3.1" << false;
    QTest::newRow("the same, allowed") << "1.3.1" << true << 0 << "runs firmware 1.3.1 now" << true;
    // Compared number by number, not as text.
    QTest::newRow("newer") << "1.10.0" << false << 0 << "runs firmware 1.10.0 now" << true;
}

void tst_Cli::flashComparesVersions()
{
    QFETCH(QString, version);
    QFETCH(bool, allowDowngrade);
    QFETCH(int, exitCode);
    QFETCH(QString, told);
    QFETCH(bool, flashed);
    startFlashSim();
    const QByteArray file =
        firmwareImage(sim->device().deviceId(), version, 8 * FileTransfer::defaultBlockSize);
    QStringList args{"--json", "flash", f->writeFile("fw.bin", file), "--yes"};
    if (allowDowngrade)
        args << "--allow-downgrade";
    const int code = run(args);
    QVERIFY2(code == exitCode, qPrintable(err));
    QVERIFY2(err.contains(told), qPrintable(err));
    QCOMPARE(sim->commandCount(Cmd::createFile), flashed ? 1 : 0);
    QCOMPARE(jsonOut().value("result").toString(),
             exitCode == 0 ? QString("ok") : QString("failed"));
    QCOMPARE(sim->device().firmwareVersion(), flashed ? version : QString("1.3.1"));
}

void tst_Cli::flashResumes_data()
{
    QTest::addColumn<bool>("unplug");    // else Ctrl+C
    QTest::addColumn<bool>("sameImage"); // else another image of the same model and version
    QTest::newRow("cable pulled") << true << true;
    QTest::newRow("interrupted") << false << true;
    QTest::newRow("another image after the cable was pulled") << true << false;
}

void tst_Cli::flashResumes()
{
    QFETCH(bool, unplug);
    QFETCH(bool, sameImage);
    const int stopAfterBlocks = 20;
    SimConfig c;
    if (unplug) {
        c.unplugAfterBlocks = stopAfterBlocks;
        // The cable goes a few ms after that block: answers slower than that keep the next
        // acknowledgements behind it, however loaded the machine.
        c.delayMs = 10;
    }
    startFlashSim(c);
    const QByteArray file = firmwareImage(sim->device().deviceId(), newVersion, flashBytes);
    const QStringList args{"--json", "flash", f->writeFile("fw.bin", file), "--yes"};
    QSignalSpy plugs(sim, &Simulator::portChanged);

    const int code = run(args, [&](CliRunner &runner) {
        if (unplug)
            return;
        connect(sim, &Simulator::trace, &runner, [&runner, this](const QString &) {
            if (sim->device().blocksReceived() == stopAfterBlocks)
                QTimer::singleShot(0, &runner, [&runner] { QVERIFY(runner.interrupt()); });
        });
    });
    QCOMPARE(code, 1);
    QVERIFY2(err.contains("run the same command again to resume"), qPrintable(err));
    if (unplug)
        QVERIFY(plugs.count() > 0 ||
                plugs.wait(AppFixture::quickRebootMs + AppFixture::loadSlackMs));
    const QByteArray kept = sim->device().storedFile();
    QVERIFY(kept.size() >= stopAfterBlocks * FileTransfer::defaultBlockSize);
    QVERIFY(kept.size() < file.size());
    // The device may have stored the block whose acknowledgement the unplug cut off.
    const int confirmed = jsonOut().value("bytesSent").toInt();
    QVERIFY2(confirmed <= kept.size() && confirmed >= kept.size() - FileTransfer::defaultBlockSize,
             qPrintable(QString("%1 confirmed, %2 kept").arg(confirmed).arg(kept.size())));

    sim->resetCounts();
    if (!sameImage) {
        // Its bytes differ from the first image's only past what the device holds.
        QByteArray other = file;
        other[other.size() - 1] = char(~other.at(other.size() - 1));
        QCOMPARE(run({"--json", "flash", f->writeFile("fw.bin", other), "--yes"}), 0);
        QVERIFY2(err.contains("another image was being written: starting over"), qPrintable(err));
        QCOMPARE(sim->commandCount(Cmd::createFile), 1);
        QCOMPARE(sim->device().storedFile(), other);
        QVERIFY(jsonOut().value("resumedAt").isNull());
        return;
    }
    QCOMPARE(run(args), 0);
    QVERIFY2(err.contains(QString("resuming at %1 bytes").arg(kept.size())), qPrintable(err));
    QCOMPARE(sim->commandCount(Cmd::createFile), 0);
    QCOMPARE(sim->device().storedFile(), file);
    const QJsonObject summary = jsonOut();
    QCOMPARE(summary.value("resumedAt").toInt(), kept.size());
    QCOMPARE(summary.value("bytesSent").toInt(), file.size() - kept.size());
    // Without a terminal, a progress line for each 10 % step still to go.
    const int steps = 10 - kept.size() * 10 / file.size();
    QCOMPARE(err.count(progressLine), steps);
}

void tst_Cli::consoleSendsFramesAndText()
{
    int fds[2];
    QVERIFY(pipe(fds) == 0);
    const QByteArray typed = "8605 00\n12zz\nzz\nSYSLOG LEVEL=DBG,A\n:history\n";
    QVERIFY(write(fds[1], typed.constData(), size_t(typed.size())) == typed.size());
    close(fds[1]); // the end of input ends the console
    const int code = run({"--port", sim->portName(), "console"}, {}, fds[0]);
    close(fds[0]);
    QCOMPARE(code, 0);
    QVERIFY2(out.contains("< 8605 extraordinaryPack data "), qPrintable(out));
    QVERIFY2(out.contains("< SYSLOG ON"), qPrintable(out));
    QVERIFY2(err.contains("not a command"), qPrintable(err));
    // Text as text; the debug output the console started is switched off as it ends.
    QVERIFY2(out.contains("< ERROR unknown command"), qPrintable(out));
    QCOMPARE(f->requests({"text"}),
             (QStringList{"text zz", "text SYSLOG LEVEL=DBG,A", "text SYSLOG LEVEL=ALL,F"}));
    QVERIFY(!sim->device().debugStreaming());
    // The history the window reads: newest first, nothing that was not sent or that the device
    // refused.
    QCOMPARE(CommandHistory::load(), (QStringList{"", "SYSLOG LEVEL=DBG,A", "860500"}));
}

void tst_Cli::syslogEndsDebugModeOnCtrlC()
{
    sim->faults().debugLineEveryMs = 50;
    QProcess cli;
    QString lines;
    connect(&cli, &QProcess::readyReadStandardOutput, this,
            [&] { lines += QString::fromUtf8(cli.readAllStandardOutput()); });
    cli.start(VEXA_CLI_EXE, {"--port", sim->portName(), "syslog", "DBG,A"});
    QVERIFY(cli.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(lines.count("[DBG][A]") >= 3, AppFixture::connectWaitMs);
    QVERIFY(sim->device().debugStreaming());
    QSignalSpy finished(&cli, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    ::kill(pid_t(cli.processId()), SIGINT);
    QVERIFY(finished.wait(AppFixture::connectWaitMs));
    QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
    QCOMPARE(cli.exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!sim->device().debugStreaming(), AppFixture::answerWaitMs);
    QCOMPARE(f->requests({"text"}),
             (QStringList{"text SYSLOG LEVEL=DBG,A", "text SYSLOG LEVEL=ALL,F"}));
    // Every line on standard output is the device's, whole.
    for (const QString &line : lines.split('\n', Qt::SkipEmptyParts))
        QVERIFY2(line.startsWith("[DBG][A] ") || line.startsWith("SYSLOG "), qPrintable(line));
}

void tst_Cli::remoteReadAndWrite()
{
    // The same commands through the server: the read is the device's store, a write changes it.
    SimConfig c;
    c.password = "77";
    c.rebootDelayMs = AppFixture::quickRebootMs;
    RemoteServer server(c);
    QVERIFY(server.listen(0));
    const QString imei = server.imeis().first();
    SimDevice &dev = server.device(imei)->device();
    const QStringList through{"--remote", imei, "--server",
                              QStringLiteral("127.0.0.1:%1").arg(server.port())};
    // The password from a file, from standard input, or asked for on a terminal without echo.
    const QStringList remote = through + QStringList{"--password-file", f->writeFile("pw", "77\n")};
    PtyPair terminal;
    const int typed =
        ::open(QFile::encodeName(terminal.slaveName()).constData(), O_RDWR | O_NOCTTY);
    termios echoing{};
    QVERIFY(typed >= 0 && ::tcgetattr(typed, &echoing) == 0);
    echoing.c_lflag |= ECHO;
    QVERIFY(::tcsetattr(typed, TCSANOW, &echoing) == 0);
    // Typed once the echo is off (a terminal echoes as the keys come), or at the latest when
    // the command would have given up on the server anyway.
    std::thread user([&] {
        QElapsedTimer waited;
        waited.start();
        termios now{};
        while (::tcgetattr(typed, &now) == 0 && (now.c_lflag & ECHO) &&
               waited.elapsed() < AppFixture::connectWaitMs)
            QThread::msleep(1);
        terminal.write("77\n");
    });
    QCOMPARE(run(through + QStringList{"info"}, {}, typed), 0);
    user.join();
    ::close(typed);
    char shown[64] = {};
    QVERIFY(::read(terminal.master(), shown, sizeof shown - 1) < 3 || !strstr(shown, "77"));
    QVERIFY2(err.contains("password of the device"), qPrintable(err));
    QCOMPARE(run(through + QStringList{"info"}, {}, ::open("/dev/null", O_RDONLY)), 2);
    QVERIFY2(err.contains("--remote needs the device's password"), qPrintable(err));
    QCOMPARE(run(through + QStringList{"--password", "77", "info"}), 0);
    QVERIFY2(err.contains("visible to other users"), qPrintable(err));
    const QString file = f->path("field.xml");
    QCOMPARE(run(remote + QStringList{"read", "--with-keys", "-o", file}), 0);
    QVERIFY2(!err.contains("visible to other users"), qPrintable(err));
    QDomDocument doc;
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly) && doc.setContent(saved.readAll()));
    saved.close();
    QString difference;
    QVERIFY2(AppFixture::compareWithStore(doc, dev, &difference) > 40, qPrintable(difference));
    QDomElement period = doc.documentElement().firstChildElement("tx_period");
    QVERIFY(!period.isNull());
    const QByteArray before = dev.param(0x000A);
    period.setAttribute("param", before.toHex() == "0000012c" ? "00000258" : "0000012c");
    QVERIFY(ConfigDocument::save(doc, file));
    int line[2] = {-1, -1};
    QVERIFY(::pipe(line) == 0 && ::write(line[1], "77\n", 3) == 3);
    ::close(line[1]);
    QCOMPARE(
        run(through + QStringList{"--password-file", "-", "write", file, "--yes"}, {}, line[0]), 0);
    ::close(line[0]);
    QVERIFY(dev.param(0x000A) != before);
    QCOMPARE(sim->totalCommands(), 0); // the local device was never asked
    // The journal names the path: the write, and the session it was made in.
    const QJsonArray jobs = history({"--serial", dev.serialNumber()});
    QVERIFY(jobs.size() >= 3);
    QCOMPARE(jobs.at(0).toObject().value("job").toString(), QString("remote"));
    QCOMPARE(jobs.at(1).toObject().value("job").toString(), QString("write"));
    QVERIFY2(jobs.at(1).toObject().value("path").toString().startsWith("remote "),
             qPrintable(jobs.at(1).toObject().value("path").toString()));
}

void tst_Cli::relayReadsTheRemoteDevice_data()
{
    QTest::addColumn<bool>("interrupted");
    QTest::newRow("read") << false;
    QTest::newRow("Ctrl+C during the read") << true;
}

void tst_Cli::relayReadsTheRemoteDevice()
{
    QFETCH(bool, interrupted);
    sim->faults().delayMs = 20; // the read lasts long enough to be interrupted in its middle
    const SimDevice *remote = sim->device().remoteDevice();
    const QString file = f->path("remote.xml");
    const int code =
        run({"--relay", remote->devEui(), "read", "--with-keys", "-o", file},
            [this, interrupted](CliRunner &runner) {
                auto *poll = new QTimer(&runner);
                connect(poll, &QTimer::timeout, &runner, [this, &runner, poll, interrupted] {
                    if (sim->commandCount(Cmd::relayCommand) >= 10 && interrupted) {
                        poll->stop();
                        runner.interrupt();
                    }
                });
                poll->start(10);
            });
    // Relay mode is left in either case: wrapped, then plain.
    QVERIFY(!sim->device().relayActive());
    QCOMPARE(f->requests({"0x8301"}).size(), 1);
    if (interrupted) {
        QCOMPARE(code, 1);
        QVERIFY(!QFile::exists(file));
        return;
    }
    QCOMPARE(code, 0);
    QDomDocument doc;
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly) && doc.setContent(&saved));
    QCOMPARE(ConfigDocument::param(doc, "serial_number"), remote->serialNumber());
    QString difference;
    QVERIFY2(AppFixture::compareWithStore(doc, *remote, &difference) > 40, qPrintable(difference));
    QCOMPARE(sim->commandCount(Cmd::readParam), 0); // nothing was read from the local device
}

// A configuration as a person reads it: label and value in units beside the device's hex, the
// secret keys masked unless asked for.
const QByteArray knownFile =
    "<configuration><fw_ver param=\"1.3.1\"/><dev_id param=\"750\"/>"
    "<tx_period param=\"00000e10\"/><private param=\"01\"/><rx2_freq param=\"33d3e608\"/>"
    "<region param=\"00\"/><time_zone param=\"00002a30\"/>"
    "<app_key param=\"00112233445566778899aabbccddeeff\"/>"
    "<rs_settings rs_speed=\"00002580\" rs_data_bits=\"08\" rs_parity=\"00\" "
    "rs_stop_bits=\"01\"/></configuration>";

void tst_Cli::showFile_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("lines"); // element, label, value, hex, as columns
    const QStringList english{
        "tx_period Transmission period 3600 s 00000e10",
        "private Private network off 01",
        "rx2_freq RX2 window frequency 869.525 MHz 33d3e608",
        "region Frequency plan EU868 (0) 00",
        "time_zone Time zone UTC+03:00 00002a30",
        "app_key AppKey ******** ********",
    };
    QTest::newRow("English") << QStringList{"--lang", "en"} << english;
    QTest::newRow("Russian") << QStringList{"--lang", "ru"}
                             << QStringList{"tx_period Период передачи 3600 с 00000e10",
                                            "private Частная сеть выкл 01",
                                            "rx2_freq Частота окна RX2 869.525 МГц 33d3e608"};
    QTest::newRow("with keys") << QStringList{"--lang", "en", "--with-keys"}
                               << QStringList{"app_key AppKey 00112233445566778899aabbccddeeff "
                                              "00112233445566778899aabbccddeeff"};
}

void tst_Cli::showFile()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, lines);
    installEnglish();
    QCOMPARE(run(QStringList{"show", f->writeFile("known.xml", knownFile)} + options), 0);
    QStringList shown;
    for (const QString &line : out.split('\n', Qt::SkipEmptyParts))
        shown << line.simplified();
    for (const QString &line : lines)
        QVERIFY2(shown.contains(line), qPrintable(line + " in:\n" + out));
    // A composite element: each field in words.
    QVERIFY2(out.contains(QRegularExpression("rs_settings .*9600 .*0000258008")), qPrintable(out));
    QCOMPARE(out.contains("00112233445566778899aabbccddeeff"), options.contains("--with-keys"));
    QCOMPARE(f->requests(), QStringList()); // a file is shown without a device

    // --json: each value keeps its hex and adds its words; a masked key has neither.
    QCOMPARE(run(QStringList{"--json", "show", f->path("known.xml"), "--lang", "en"}), 0);
    QJsonObject byName;
    for (const QJsonValue &v : QJsonDocument::fromJson(out.toUtf8()).array())
        byName.insert(v.toObject().value("element").toString(), v);
    QCOMPARE(byName.value("tx_period").toObject().value("hex").toString(), QString("00000e10"));
    QCOMPARE(byName.value("tx_period").toObject().value("human").toString(), QString("3600 s"));
    QCOMPARE(byName.value("app_key").toObject().value("masked").toBool(), true);
    QVERIFY(!byName.value("app_key").toObject().contains("hex"));
}

void tst_Cli::diffFiles()
{
    installEnglish();
    const QString before = f->writeFile("before.xml", knownFile);
    QByteArray changed = knownFile;
    changed.replace("00000e10", "00001c20")
        .replace("<private param=\"01\"/>", "")
        .replace("00112233", "ffffffff")
        .replace("</configuration>", "<nb_trials param=\"05\"/></configuration>");
    const QString after = f->writeFile("after.xml", changed);
    QCOMPARE(run({"diff", before, after, "--lang", "en"}), 0);
    QStringList lines;
    for (const QString &line : out.split('\n', Qt::SkipEmptyParts))
        lines << line.simplified();
    QCOMPARE(lines, (QStringList{"tx_period Transmission period 3600 s → 7200 s",
                                 "private Private network off → —",
                                 "app_key AppKey differs (--with-keys shows it)",
                                 "nb_trials Transmission attempts — → 5"}));
    QCOMPARE(run({"diff", before, before}), 0);
    QVERIFY(out.isEmpty() && err.contains("no differences"));
}

void tst_Cli::diffAgainstTheDevice()
{
    installEnglish();
    // What writing the file would change: the values it holds, the device's against the file's.
    const QString file = f->writeFile(
        "in.xml", "<configuration><dev_id param=\"750\"/><tx_period param=\"00000258\"/>"
                  "<nb_trials param=\"03\"/></configuration>");
    QCOMPARE(run({"diff", file, "--lang", "en"}), 0);
    QCOMPARE(out.simplified(), QString("tx_period Transmission period 3600 s → 600 s"));
    QCOMPARE(f->writes(), QStringList());
}

void tst_Cli::setValues_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("told");
    // element -> the bytes the device holds afterwards (hex); empty: nothing may be sent.
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<int>("model");
    using Map = QVariantMap;
    QTest::newRow("a duration in hours, a check box")
        << QStringList{"tx_period=2h", "use_adr=off"} << 0 << "tx_period: 3600 s → 7200 s"
        << Map{{"tx_period", "00001c20"}, {"use_adr", "00"}} << 750;
    QTest::newRow("a plain number is in the unit shown")
        << QStringList{"tx_period=7200"} << 0 << "" << Map{{"tx_period", "00001c20"}} << 750;
    QTest::newRow("a frequency in MHz, plain or with its unit")
        << QStringList{"rx2_freq=869.525MHz", "freq_channel_2=868.5"} << 0 << "869.525 MHz"
        << Map{{"rx2_freq", "33d3e608"}, {"freq_channel_2", "33c44220"}} << 750;
    // "Private network" checked is the byte 00: on/off go by the box, not by the byte.
    QTest::newRow("the inverted check box") << QStringList{"private=on"} << 0 << "off → on"
                                            << Map{{"private", "00"}} << 750;
    QTest::newRow("a choice by its text, another by its code")
        << QStringList{"region=eu868", "dev_class=2"} << 0 << "RU864 (1) → EU868 (0)"
        << Map{{"region", "00"}, {"dev_class", "02"}} << 750;
    QTest::newRow("a field of a composite element")
        << QStringList{"rs_speed=19200"} << 0 << "" << Map{{"rs_settings", "00004b00"}} << 760;
    QTest::newRow("out of range: the range is told, nothing is sent")
        << QStringList{"nb_trials=4", "tx_period=10"} << 2
        << "tx_period: \"10\": allowed values are 60..86400 s; nothing was sent" << Map{} << 750;
    QTest::newRow("not one of the choices")
        << QStringList{"region=Mars"} << 2 << "EU868 (0); RU864 (1)" << Map{} << 750;
    QTest::newRow("a mistyped name") << QStringList{"tx_perod=5"} << 2
                                     << "unknown parameter 'tx_perod' — did you mean 'tx_period'?"
                                     << Map{} << 750;
    QTest::newRow("a device fact") << QStringList{"fw_ver=2.0.0"} << 2 << "not set" << Map{} << 750;
    QTest::newRow("a key without --with-keys")
        << QStringList{"app_key=00112233445566778899aabbccddeeff"} << 2 << "--with-keys" << Map{} << 750;
    QTest::newRow("dry run") << QStringList{"tx_period=2h", "--dry-run"} << 0
                             << "tx_period: 3600 s → 7200 s\n--dry-run: nothing was sent" << Map{} << 750;
}

void tst_Cli::setValues()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, told);
    QFETCH(QVariantMap, stored);
    QFETCH(int, model);
    SimConfig config;
    config.model = model;
    startFlashSim(config); // a quick reboot
    installEnglish();
    QCOMPARE(run(QStringList{"set", "--lang", "en"} + args), exitCode);
    QVERIFY2(err.contains(told), qPrintable(err));
    if (stored.isEmpty()) {
        QCOMPARE(f->writes(), QStringList());
        // A name is checked before the device is asked anything.
        if (told.contains("unknown") || told.contains("not set") || told.contains("--with-keys"))
            QCOMPARE(f->requests(), QStringList());
        return;
    }
    for (auto it = stored.begin(); it != stored.end(); ++it) {
        const ParamCatalogue::Param *p = ParamCatalogue::byElement(it.key());
        QVERIFY(p);
        // The leading bytes: a field set keeps the device's others after it.
        const QByteArray held = sim->device().param(p->code).toHex();
        QVERIFY2(held.startsWith(it.value().toByteArray()), held.constData());
    }
    // One write of the values given, then the reboot.
    QCOMPARE(f->writes().size(), stored.size() + 1);
}

// Every job on a device leaves its record: what it was, on which device and path, what changed
// (old -> new as the device's hex) and how it ended.
void tst_Cli::journalKeepsEachJob()
{
    startFlashSim(); // a quick reboot
    installEnglish();
    const QString serial = sim->device().serialNumber();
    const QString file = f->writeFile(
        "in.xml", "<configuration><dev_id param=\"750\"/><tx_period param=\"00000258\"/>"
                  "</configuration>");
    const QString port = sim->portName(); // the write is made here; it comes back elsewhere
    QCOMPARE(run({"write", file, "--yes", "--verify"}), 0);
    QCOMPARE(run({"set", "nb_trials=5", "--verify"}), 0);
    QCOMPARE(run({"read", "-o", f->path("dev.xml")}), 0);
    QVERIFY2(run({"info"}) == 0, qPrintable(err)); // a look at who it is: no job

    const QJsonArray jobs = history({"--serial", serial});
    QStringList kinds;
    for (const QJsonValue &v : jobs)
        kinds << v.toObject().value("job").toString();
    // Newest first; each write read the device before it, and a verified write read it back.
    QCOMPARE(kinds, (QStringList{"read", "verify", "set", "read", "verify", "write", "read"}));
    const QJsonObject write = jobs.at(5).toObject();
    QCOMPARE(write.value("result").toString(), QString("ok"));
    QCOMPARE(write.value("serial").toString(), serial);
    QCOMPARE(write.value("model").toString(), QString("Vexa750"));
    QCOMPARE(write.value("path").toString(), "usb " + port);
    const QJsonArray changes = write.value("changes").toArray();
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes.at(0).toObject().value("old").toString(), QString("00000e10"));
    QCOMPARE(changes.at(0).toObject().value("new").toString(), QString("00000258"));
    QCOMPARE(changes.at(0).toObject().value("newHuman").toString(), QString("600 s"));
    QCOMPARE(jobs.at(4).toObject().value("result").toString(), QString("ok"));
    QCOMPARE(jobs.at(2).toObject().value("changes").toArray().at(0).toObject().value("new"),
             QJsonValue("05"));

    // In words for a person, and as CSV for a sheet.
    QCOMPARE(run({"history", "--serial", serial, "--lang", "en"}), 0);
    QVERIFY2(out.contains("    tx_period: 3600 s → 600 s\n"), qPrintable(out));
    QCOMPARE(run({"history", "--csv"}), 0);
    QCOMPARE(out.count('\n'), 1 + 7);
    QVERIFY(out.startsWith("id,time,station,user,job,result,serial,"));
    // Nothing since tomorrow.
    const QString tomorrow = QDate::currentDate().addDays(1).toString(Qt::ISODate);
    QCOMPARE(history({"--since", tomorrow}).size(), 0);
}

// restore writes back what the device held before a write, and a date finds the same.
void tst_Cli::restorePutsBackTheConfiguration()
{
    startFlashSim();
    const QString serial = sim->device().serialNumber();
    QMap<quint16, QByteArray> before;
    for (quint16 code : sim->device().paramCodes())
        before.insert(code, sim->device().param(code));
    const QString file = f->writeFile(
        "in.xml", "<configuration><dev_id param=\"750\"/><tx_period param=\"00000258\"/>"
                  "<nb_trials param=\"05\"/><use_adr param=\"00\"/></configuration>");
    const QDateTime beforeWrite = QDateTime::currentDateTime().addSecs(-1);
    QCOMPARE(run({"write", file, "--yes", "--verify"}), 0);
    QVERIFY(sim->device().param(0x000A) != before.value(0x000A));
    qint64 writeJob = 0;
    for (const QJsonValue &v : history({"--serial", serial}))
        if (v.toObject().value("job") == "write")
            writeJob = v.toObject().value("id").toVariant().toLongLong();
    QVERIFY(writeJob > 0);

    // Another device's SN is refused before anything is sent.
    f->clearRequests();
    QCOMPARE(run({"restore", "7509999999999999", "--job", QString::number(writeJob), "--yes"}), 1);
    QVERIFY2(err.contains("not to 7509999999999999"), qPrintable(err));
    QCOMPARE(f->writes(), QStringList());

    QCOMPARE(run({"restore", serial, "--job", QString::number(writeJob), "--yes", "--verify"}), 0);
    QVERIFY2(err.contains("tx_period: 600 s → 3600 s") || err.contains("600 с → 3600 с"),
             qPrintable(err));
    for (quint16 code : sim->device().paramCodes())
        QVERIFY2(sim->device().param(code) == before.value(code), qPrintable(QString::number(code, 16)));
    QCOMPARE(history({"--serial", serial}).at(1).toObject().value("job").toString(),
             QString("restore")); // before its verification

    // The configuration it had at a moment: the one kept with the first write after it.
    QCOMPARE(run({"write", file, "--yes", "--verify"}), 0);
    QCOMPARE(run({"restore", serial, "--before", beforeWrite.toString(Qt::ISODate), "--yes",
                  "--verify"}),
             0);
    QCOMPARE(sim->device().param(0x000A), before.value(0x000A));
    // Nothing written after this moment: nothing to restore.
    const QString later = QDateTime::currentDateTime().addSecs(5).toString(Qt::ISODate);
    QCOMPARE(run({"restore", serial, "--before", later, "--yes"}), 1);
    QVERIFY2(err.contains("still holds it"), qPrintable(err));
}

// A key written to a device is in the journal only as a fingerprint, and restore leaves keys.
void tst_Cli::keysNeverReachTheJournal()
{
    startFlashSim();
    const QByteArray key = "a1b2c3d4e5f60718293a4b5c6d7e8f90";
    QCOMPARE(run({"set", "--with-keys", "app_key=" + QString::fromLatin1(key).toUpper(),
                  "tx_period=600"}),
             0);
    QCOMPARE(sim->device().param(0x0005).toHex(), key);
    const QJsonArray jobs = history();
    const QJsonArray changes = jobs.at(0).toObject().value("changes").toArray();
    QCOMPARE(changes.size(), 2);
    QVERIFY(changes.contains(QJsonObject{{"element", "app_key"}, {"secret", true}}));
    // The file and its write-ahead log, as they are on the disk.
    QByteArray stored;
    for (const QString &name : {QString("journal.sqlite"), QString("journal.sqlite-wal")}) {
        QFile db(f->path(name));
        if (db.open(QIODevice::ReadOnly))
            stored += db.readAll();
    }
    QVERIFY(stored.size() > 0);
    QVERIFY(!stored.contains(key));
    QVERIFY(!stored.contains(key.toUpper()));
    QVERIFY(!stored.contains(QByteArray::fromHex(key)));
}

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"
