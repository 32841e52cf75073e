#include "appfixture.h"
#include "configdocument.h"
#include "configexchange.h"
#include "db_worker.h"
#include "paramcodec.h"

// Reading and writing configurations through the real link against the simulator.
class tst_ConfigExchange : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY((f = std::make_unique<AppFixture>())->isValid()); }
    void cleanup()
    {
        exchange.reset();
        link.reset();
        db.reset();
        f.reset();
    }
    void fullReadMatchesStore_data();
    void fullReadMatchesStore();
    void readOrderAndProgress();
    void emptyListGivesInfoOnly();
    void writeChangesExactlyThose();
    void onlyWritableParamsAreSent();
    void unparsableBufferSendsNothing();
    void lateAnswerShiftsNothing_data();
    void lateAnswerShiftsNothing();
    void slowDeviceIsWaitedFor_data();
    void slowDeviceIsWaitedFor();

private:
    // A few parameter writes and the reboot behind them.
    static constexpr int writeWaitMs = AppFixture::answerWaitMs + AppFixture::loadSlackMs;
    // The answer time-out of the slow-device test, short to keep it quick.
    static constexpr int floorMs = AppFixture::shortAnswerTimeoutMs;

    // The device, and the walk asking the database (or fixedCodes) what its firmware supports.
    void start(SimConfig config, bool useDatabase = true)
    {
        sim = f->addSim(config);
        QVERIFY(sim);
        link = std::make_unique<DeviceInterface>();
        link->serialPort()->setPortName(sim->portName());
        exchange = std::make_unique<ConfigExchange>(link.get());
        if (!useDatabase) {
            exchange->setSupportedCodes([this](const DeviceIdentity &) { return fixedCodes; });
            return;
        }
        db = std::make_unique<DB_Worker>();
        exchange->setSupportedCodes([this](const DeviceIdentity &device) {
            db->setCurrentFwGroup(db->getFwGroup(device.firmware, device.key()));
            return db->getCommandList();
        });
    }
    QDomDocument readAll()
    {
        QSignalSpy done(exchange.get(), &ConfigExchange::parceAnswerComplite);
        link->readConfiguration();
        QDomDocument doc;
        if (done.wait(AppFixture::connectWaitMs))
            doc.setContent(done.first().first().value<QBuffer *>()->data());
        return doc;
    }
    void write(const QString &xml)
    {
        QBuffer buffer;
        buffer.setData(xml.toUtf8());
        exchange->writeConfiguration(&buffer);
    }
    static QList<int> firstInts(const QSignalSpy &spy)
    {
        QList<int> out;
        for (const auto &args : spy)
            out << args.first().toInt();
        return out;
    }

    std::unique_ptr<AppFixture> f;
    Simulator *sim = nullptr;
    std::unique_ptr<DeviceInterface> link;
    std::unique_ptr<ConfigExchange> exchange;
    std::unique_ptr<DB_Worker> db;
    QList<int> fixedCodes;
};

void tst_ConfigExchange::fullReadMatchesStore_data()
{
    AppFixture::modelRows();
}

void tst_ConfigExchange::fullReadMatchesStore()
{
    start(AppFixture::modelConfig());
    const QDomDocument doc = readAll();
    QVERIFY(!doc.isNull());
    QCOMPARE(ConfigDocument::param(doc, "fw_ver"), sim->device().firmwareVersion());
    QCOMPARE(ConfigDocument::param(doc, "dev_id"), QString::number(sim->device().deviceId()));
    QString difference;
    const int params = AppFixture::compareWithStore(doc, sim->device(), &difference);
    QVERIFY2(params >= 0, qPrintable(difference));
    QCOMPARE(params, sim->commandCount(0x8500));
    QVERIFY(params > 40);
}

void tst_ConfigExchange::readOrderAndProgress()
{
    fixedCodes = {0x0000, 0x000A, 0x0101};
    start(SimConfig(), false);
    QSignalSpy progress(exchange.get(), &ConfigExchange::setProgressValue);
    QSignalSpy maximum(exchange.get(), &ConfigExchange::setProgress);
    const QDomDocument doc = readAll();
    QCOMPARE(f->requests({"0x8500"}),
             (QStringList{"0x8500 [01 01 01]", "0x8500 [00 01 0a]", "0x8500 [00 01 00]"}));
    QCOMPARE(maximum.first().first().toInt(), 3);
    QCOMPARE(firstInts(progress), (QList<int>{1, 2, 3, 0}));
    QCOMPARE(AppFixture::elementNames(doc),
             (QStringList{"fw_ver", "serial_number", "dev_eui_lbl", "dev_id", "scan_period",
                          "tx_period", "otaa_activation"}));
}

void tst_ConfigExchange::emptyListGivesInfoOnly()
{
    fixedCodes = {};
    start(SimConfig(), false);
    QSignalSpy maximum(exchange.get(), &ConfigExchange::setProgress);
    const QDomDocument doc = readAll();
    QCOMPARE(maximum.count(), 0);
    QCOMPARE(AppFixture::elementNames(doc).size(), 4);
}

void tst_ConfigExchange::writeChangesExactlyThose()
{
    start(SimConfig());
    readAll();
    QMap<quint16, QByteArray> before;
    for (quint16 code : sim->device().paramCodes())
        before.insert(code, sim->device().param(code));
    QSignalSpy states(exchange.get(), &ConfigExchange::changeDeviceStatus);
    write("<?xml version=\"1.0\"?><configuration><tx_period param=\"00015180\"/>"
          "<nb_trials param=\"05\"/></configuration>");
    QTRY_VERIFY_WITH_TIMEOUT(f->writes().size() == 3, writeWaitMs);
    QCOMPARE(f->writes(), (QStringList{"0x8501 [00 01 0a 04 00 01 51 80]",
                                       "0x8501 [00 01 10 01 05]", "0x8001 []"}));
    before[0x000A] = QByteArray::fromHex("00015180");
    before[0x0010] = QByteArray::fromHex("05");
    for (quint16 code : sim->device().paramCodes())
        QCOMPARE(sim->device().param(code), before.value(code));
    QCOMPARE(states.first().first().toInt(), 5);
}

// What the firmware does not support and the identity a file carries are never sent; the
// progress still counts them. (A refusal that stops the write is told by the command line's
// tests.)
void tst_ConfigExchange::onlyWritableParamsAreSent()
{
    fixedCodes = {0x000A, 0x0010};
    start(SimConfig(), false);
    readAll();
    QSignalSpy progress(exchange.get(), &ConfigExchange::setProgressValue);
    write("<configuration><dev_id param=\"750\"/><fw_ver param=\"9.9.9\"/><interface_type "
          "param=\"01\"/><tx_period param=\"00000078\"/><rs_repeat param=\"02\"/>"
          "<nb_trials param=\"02\"/></configuration>");
    QTRY_VERIFY_WITH_TIMEOUT(f->writes().size() == 3, writeWaitMs);
    QCOMPARE(f->writes(), (QStringList{"0x8501 [00 01 0a 04 00 00 00 78]",
                                       "0x8501 [00 01 10 01 02]", "0x8001 []"}));
    QVERIFY(firstInts(progress).contains(6));
    QCOMPARE(exchange->writeReport().skipped,
             QStringList{"rs_repeat: not supported by firmware 1.3.1"});
}

void tst_ConfigExchange::unparsableBufferSendsNothing()
{
    start(SimConfig());
    readAll();
    QSignalSpy states(exchange.get(), &ConfigExchange::changeDeviceStatus);
    write("not xml at all");
    QCOMPARE(states.last().first().toInt(), 2);
    QTest::qWait(AppFixture::nothingFollowsMs);
    QVERIFY(f->writes().isEmpty());
    write("<configuration><tx_period param=\"zz\"/></configuration>"); // never sent: not a value
    QTRY_VERIFY_WITH_TIMEOUT(f->writes().size() == 1, AppFixture::answerWaitMs);
    QCOMPARE(f->writes().first(), QString("0x8001 []"));
}

void tst_ConfigExchange::lateAnswerShiftsNothing_data()
{
    QTest::addColumn<bool>("writing");
    QTest::newRow("read") << false;
    QTest::newRow("write") << true;
}

void tst_ConfigExchange::lateAnswerShiftsNothing()
{
    // One answer comes just after the link has given up waiting and asked again, every other
    // answer a little late: the stray must not be taken for the answer to the next request.
    QFETCH(bool, writing);
    SimConfig c;
    c.delayMs = 20;
    // Well after the resend, so that even a busy machine resends before it comes.
    const int lateMs = DeviceInterface::defaultAnswerTimeoutMs * 3 / 2;
    if (!writing)
        c.late = {0x0012, lateMs}; // check_connect, in the middle of the walk
    start(c);
    if (!writing) {
        const QDomDocument doc = readAll();
        QVERIFY(!doc.isNull());
        QString difference;
        QVERIFY2(AppFixture::compareWithStore(doc, sim->device(), &difference) >= 0,
                 qPrintable(difference));
        QCOMPARE(sim->commandCount(0x8500), sim->device().paramCodes().size() + 1);
        return;
    }
    readAll();
    sim->faults().late = {0x000A, lateMs}; // tx_period, the first of three
    QSignalSpy finished(exchange.get(), &ConfigExchange::writeFinished);
    write("<configuration><tx_period param=\"00015180\"/><nb_trials param=\"05\"/>"
          "<check_connect param=\"07\"/></configuration>");
    QVERIFY(finished.wait(lateMs * 2));
    QCOMPARE(finished.first().first().toBool(), true);
    QTRY_COMPARE_WITH_TIMEOUT(sim->commandCount(0x8001), 1, lateMs);
    QCOMPARE(f->writes(),
             (QStringList{"0x8501 [00 01 0a 04 00 01 51 80]", "0x8501 [00 01 0a 04 00 01 51 80]",
                          "0x8501 [00 01 10 01 05]", "0x8501 [00 01 12 01 07]", "0x8001 []"}));
    QCOMPARE(sim->device().param(0x0012), QByteArray::fromHex("07"));
}

void tst_ConfigExchange::slowDeviceIsWaitedFor_data()
{
    QTest::addColumn<int>("slowMs"); // the device's time for each request, one at a time
    QTest::newRow("prompt device") << 0;
    QTest::newRow("every answer later than the time-out") << floorMs * 3 / 2;
}

void tst_ConfigExchange::slowDeviceIsWaitedFor()
{
    // A device slower than the answer time-out is waited for, once the link has seen its
    // answers come after resends: the walk ends whole, at about one request per parameter
    // (resends would queue behind each other in the device). A prompt device keeps the
    // described time-out.
    QFETCH(int, slowMs);
    fixedCodes = {0x000A, 0x0010, 0x0012, 0x0101, 0x0102, 0x0103};
    SimConfig c;
    c.slowMs = slowMs;
    start(c, false);
    if (slowMs > 0)
        link->setAnswerTimeout(floorMs);
    const QDomDocument doc = readAll();
    QString difference;
    QCOMPARE(AppFixture::compareWithStore(doc, sim->device(), &difference), fixedCodes.size());
    QVERIFY(sim->commandCount(0x8500) < fixedCodes.size() + DeviceInterface::defaultMaxRetries);
    if (slowMs == 0)
        QCOMPARE(link->answerTimeoutNowMs(), DeviceInterface::defaultAnswerTimeoutMs);
    else
        QVERIFY(link->answerTimeoutNowMs() > slowMs);
}

QTEST_GUILESS_MAIN(tst_ConfigExchange)
#include "tst_configexchange.moc"
