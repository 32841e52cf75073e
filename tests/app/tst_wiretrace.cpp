#include "appfixture.h"
#include "configcontroller.h"
#include "mainwindow.h"

#include <QDir>
#include <QLineEdit>
#include <QProcess>

// The bytes the device sees for the everyday jobs (the CLI's read and write of a file, the
// window's read, one edit and write) are pinned to recorded traces: peers and devices in the
// field rely on them, and a restructuring of the front ends must not change a byte.
// VEXA_WIRE_RECORD=1 records the traces anew instead of comparing.
class tst_WireTrace : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY((f = std::make_unique<AppFixture>())->isValid());
        // No status polling: its answers carry the running clock and counters.
        f->writeFile("settings.conf", "[Survey]\nStatus=false\n");
        SimConfig config;
        config.rebootDelayMs = AppFixture::quickRebootMs;
        QVERIFY(sim = f->addSim(config));
        QObject::connect(sim, &Simulator::trace, sim, [this](const QString &line) {
            if (line.startsWith("> ") || line.startsWith("< "))
                trace << line;
        });
    }
    void cleanup() { f.reset(); }
    void cliReadThenWrite();
    void windowReadEditWrite();

private:
    int cli(const QStringList &args)
    {
        QProcess p;
        p.setWorkingDirectory(f->path());
        p.start(VEXA_CLI_EXE, QStringList{"--port", sim->portName()} + args);
        // The simulator lives on this thread: the event loop runs while the program works.
        if (!QTest::qWaitFor([&p] { return p.state() == QProcess::NotRunning; },
                             2 * AppFixture::connectWaitMs))
            return -1;
        return p.exitCode();
    }
    // Compares the trace with the recorded one, or records it.
    void compare(const QString &name)
    {
        QFile file(QStringLiteral(VEXA_WIRE_DIR "/%1.txt").arg(name));
        if (qEnvironmentVariableIsSet("VEXA_WIRE_RECORD")) {
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(trace.join('\n').toUtf8() + '\n');
            return;
        }
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QStringList expected =
            QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
        for (int i = 0; i < std::min(expected.size(), trace.size()); ++i)
            QCOMPARE(QString::number(i + 1) + ": " + trace.at(i),
                     QString::number(i + 1) + ": " + expected.at(i));
        QCOMPARE(trace.size(), expected.size());
    }

    std::unique_ptr<AppFixture> f;
    Simulator *sim = nullptr;
    QStringList trace;
};

void tst_WireTrace::cliReadThenWrite()
{
    QCOMPARE(cli({"read", "-o", "dev.xml"}), 0);
    QFile file(f->path("dev.xml"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QDomDocument doc;
    QVERIFY(doc.setContent(&file));
    file.close();
    // Three changed values; the rest the device holds already.
    const QList<QPair<QString, QString>> changes{
        {"tx_period", "00000708"}, {"check_connect", "05"}, {"use_adr", "00"}};
    for (const auto &c : changes) {
        QDomElement e = doc.documentElement().firstChildElement(c.first);
        QVERIFY2(!e.isNull(), qPrintable(c.first));
        e.setAttribute("param", c.second);
    }
    f->writeFile("dev.xml", doc.toByteArray());
    QCOMPARE(cli({"write", "dev.xml", "--yes"}), 0);
    compare("cli_read_write");
}

void tst_WireTrace::windowReadEditWrite()
{
    auto *window = f->openWindow();
    QSignalSpy ready(window, &MainWindow::readyStatus);
    QVERIFY(window->globalState() == 2 || ready.wait(AppFixture::connectWaitMs));
    auto *txPeriod = window->findChild<QLineEdit *>("txPeriodLineEdit");
    QVERIFY(txPeriod);
    txPeriod->setText("1200");
    emit txPeriod->editingFinished();
    f->prompts.answer = UserPrompts::Yes;
    const int before = trace.size();
    window->configController()->write();
    // The write ends with the reboot request's answer.
    QTRY_VERIFY_WITH_TIMEOUT(!trace.mid(before).filter("< 0x8001").isEmpty(),
                             AppFixture::connectWaitMs);
    compare("window_read_edit_write");
}

QTEST_MAIN(tst_WireTrace)
#include "tst_wiretrace.moc"
