#include "appfixture.h"
#include "statuspoller.h"

// The status chain on a bare link against the simulator: work handed to afterIdle goes at the
// right moment, and never from inside the answer that ended the pass.
class tst_StatusPoller : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY((f = std::make_unique<AppFixture>())->isValid()); }
    void cleanup()
    {
        poller.reset();
        link.reset();
        f.reset();
    }
    void afterIdle_data();
    void afterIdle();

private:
    std::unique_ptr<AppFixture> f;
    std::unique_ptr<DeviceInterface> link;
    std::unique_ptr<StatusPoller> poller;
};

void tst_StatusPoller::afterIdle_data()
{
    QTest::addColumn<bool>("pass");    // a pass is in flight when the work comes
    QTest::addColumn<bool>("answers"); // the device answers it
    QTest::newRow("idle: at once") << false << true;
    QTest::newRow("pass in flight: after its end") << true << true;
    QTest::newRow("no answer: after the limit") << true << false;
}

void tst_StatusPoller::afterIdle()
{
    QFETCH(bool, pass);
    QFETCH(bool, answers);
    SimConfig c;
    if (!answers)
        c.drop.every = 1;
    link = AppFixture::openLink(f->addSim(c));
    poller = std::make_unique<StatusPoller>(link.get());
    poller->setCommandList({StatusPoller::DateTime, StatusPoller::Battery});
    bool ran = false;
    bool ranInsideEnd = false;
    connect(poller.get(), &StatusPoller::passEnded, [&] { ranInsideEnd = ran; });
    if (pass) {
        poller->tick();
        QVERIFY(poller->passInFlight());
    }
    poller->afterIdle([&] { ran = true; });
    QCOMPARE(ran, !pass);
    if (!pass)
        return;
    QVERIFY(poller->isWaiting());
    QTRY_VERIFY_WITH_TIMEOUT(ran, StatusPoller::waitPassEndMs + AppFixture::loadSlackMs);
    QVERIFY(!ranInsideEnd);
    QVERIFY(!poller->isWaiting());
    // Stopped after the request in flight, not completed; without an answer it is still open.
    QCOMPARE(f->codes({"0x87", "0x8003"}).size(), 1);
    QCOMPARE(poller->passCount(), 0);
    QCOMPARE(poller->passInFlight(), !answers);
}

QTEST_MAIN(tst_StatusPoller)
#include "tst_statuspoller.moc"
