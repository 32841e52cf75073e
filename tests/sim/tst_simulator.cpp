#include "appfixture.h"
#include "frame.h"
#include "packparser.h"

#include <QProcess>
#include <QSerialPort>

// The simulated device through the real link: what it answers is what the parser expects.
class tst_Simulator : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY((f = std::make_unique<AppFixture>())->isValid()); }
    void cleanup()
    {
        link.reset();
        f.reset();
    }
    void answerFaults_data();
    void answerFaults();
    void program();

private:
    // The simulator program starts, or answers its options, within this.
    static constexpr int programStartMs = 2 * AppFixture::loadSlackMs;

    void startSim(const SimConfig &config = SimConfig())
    {
        QVERIFY(f->addSim(config));
        link = f->openLink(f->sim());
        QVERIFY(link->serialPort()->isOpen());
    }
    std::unique_ptr<AppFixture> f;
    std::unique_ptr<DeviceInterface> link;
};

namespace {
int greenBursts(const QSignalSpy &echo)
{
    return int(std::count_if(echo.begin(), echo.end(), [](const QList<QVariant> &a) {
        return a.first().toString().contains("color=green");
    }));
}
} // namespace

void tst_Simulator::answerFaults_data()
{
    // The faults as the program's options give them; four identification requests, then a
    // status request that sends whatever was held back.
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("answered"); // answers in the time of each identification request
    QTest::addColumn<int>("identified");   // identification answers in the end
    QTest::addColumn<int>("bursts"); // at least this many bursts of bytes reached the terminal
    QTest::newRow("drop every 2nd") << QStringList{"--drop-every", "2"} << "1010" << 2 << 0;
    // The held answer goes out together with the next one.
    QTest::newRow("join every 2nd") << QStringList{"--join-every", "2"} << "1020" << 4 << 0;
    // The bytes arrive (the terminal shows them) but no frame passes the check.
    QTest::newRow("corrupt CRC") << QStringList{"--corrupt-every", "1"} << "0000" << 0 << 1;
    // Pieces with pauses longer than the quiet period, after noise: more bursts than answers,
    // and each answer still whole.
    QTest::newRow("split, garbage first")
        << QStringList{"--split-every", "1", "--garbage-every", "1"} << "1111" << 4 << 6;
    QTest::newRow("silent") << QStringList{"--silent"} << "0000" << 0 << 0;
}

void tst_Simulator::answerFaults()
{
    QFETCH(QStringList, options);
    QFETCH(QString, answered);
    QFETCH(int, identified);
    QFETCH(int, bursts);
    SimConfig c;
    QString error;
    bool help = false;
    QVERIFY2(c.parse(options, &error, &help), qPrintable(error));
    startSim(c);
    QSignalSpy info(link->packParser(), &PackParser::setDevInfo);
    QSignalSpy echo(link.get(), &DeviceInterface::printToTerminal);
    // Pieces of a split answer come a pause apart.
    const int answerMs = c.splitPieces * c.splitPauseMs + AppFixture::nothingFollowsMs;
    // Answers that came in the time of each request (a held answer comes with the next one).
    QString pattern;
    for (int i = 0; i < 4; ++i) {
        const int before = info.count();
        const int expected = answered.at(i).digitValue();
        link->getFwVer();
        // What is due is waited for as long as a loaded machine needs; a held answer must not
        // come within the answer's time.
        if (expected > 0)
            QTRY_VERIFY_WITH_TIMEOUT(info.count() - before >= expected,
                                     answerMs + AppFixture::loadSlackMs);
        else
            QTest::qWait(answerMs);
        pattern += QString::number(info.count() - before);
    }
    QCOMPARE(pattern, answered);
    link->getStatus();
    QTRY_VERIFY_WITH_TIMEOUT(info.count() >= identified, answerMs + AppFixture::loadSlackMs);
    QCOMPARE(info.count(), identified);
    // A damaged answer is asked for again at once.
    if (options.contains("--corrupt-every"))
        QVERIFY(f->sim()->commandCount(Cmd::deviceInfo) > 4);
    else
        QCOMPARE(f->sim()->commandCount(Cmd::deviceInfo), 4);
    for (const QList<QVariant> &a : info)
        QCOMPARE(a.first().toString(), QString("1.3.1")); // what goes out is whole
    QTRY_VERIFY_WITH_TIMEOUT(greenBursts(echo) >= bursts, AppFixture::loadSlackMs);
    if (options == QStringList{"--silent"})
        QCOMPARE(greenBursts(echo), 0);
}

// The program: its options, and a device on the terminal it prints.
void tst_Simulator::program()
{
    QProcess help;
    help.start(VEXA_SIM_EXE, {"--help"});
    QVERIFY(help.waitForFinished(programStartMs));
    QCOMPARE(help.exitCode(), 0);
    QVERIFY(help.readAllStandardOutput().contains("--model"));
    QProcess bad;
    bad.start(VEXA_SIM_EXE, {"--model", "999"});
    QVERIFY(bad.waitForFinished(programStartMs));
    QCOMPARE(bad.exitCode(), 2);

    QProcess p;
    p.start(VEXA_SIM_EXE, {"--model", "750"});
    QVERIFY(p.waitForReadyRead(programStartMs));
    QSerialPort port(QString::fromLocal8Bit(p.readLine()).trimmed());
    QVERIFY(port.open(QIODevice::ReadWrite));
    port.write(
        Frame::wrap(Frame::commandPort, Frame::payload(Cmd::deviceInfo, Frame::commandPort, {})));
    QByteArray answer;
    QByteArray payload;
    quint8 portNo = 0;
    while (!Frame::check(answer, &payload, &portNo) &&
           port.waitForReadyRead(AppFixture::answerWaitMs))
        answer += port.readAll();
    QVERIFY(Frame::check(answer, &payload, &portNo));
    QCOMPARE(payload.left(5), QByteArray::fromHex("8002010301"));
    p.terminate();
    QVERIFY(p.waitForFinished(programStartMs));
}

QTEST_GUILESS_MAIN(tst_Simulator)
#include "tst_simulator.moc"
