#include "apppaths.h"
#include "deviceinterface.h"
#include "mainwindow.h"
#include "recordingprompts.h"
#include "simportenumerator.h"
#include "simulator.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// Status polling and the status panel of the real window.
class tst_Status : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { registerLinkMetaTypes(); }
    void init();
    void cleanup();
    void panelFollowsTheDevice();
    void chainOrder_data();
    void chainOrder();
    void userActionEndsThePass();
    void qualityTexts_data();
    void qualityTexts();
    void batteryPictures_data();
    void batteryPictures();
    void inputErrorTexts();
    void setTimeButton_data();
    void setTimeButton();
    void buttonsReachTheDevice_data();
    void buttonsReachTheDevice();
    void extraPacketOnRegistration_data();
    void extraPacketOnRegistration();
    void manualExtraPacketShowsItsResult_data();
    void manualExtraPacketShowsItsResult();

private:
    void connectDevice(SimConfig config = SimConfig());
    QString text(const char *label) const { return window->findChild<QLabel *>(label)->text(); }
    QStringList statusRequests() const;

    std::unique_ptr<QTemporaryDir> dir;
    RecordingPrompts prompts;
    SimPortEnumerator enumerator;
    std::unique_ptr<Simulator> sim;
    std::unique_ptr<MainWindow> window;
    QStringList trace; // status requests the device received
    QStringList sent;  // every command the device received
};

void tst_Status::init()
{
    dir = std::make_unique<QTemporaryDir>();
    AppPaths::setAppDirOverride(dir->path());
    QVERIFY(QFile::copy(VEXA_BUILT_DEVICES_DB, dir->path() + "/devices.db"));
    prompts = RecordingPrompts();
    trace.clear();
    sent.clear();
}

void tst_Status::cleanup()
{
    window.reset();
    sim.reset();
    enumerator.sims.clear();
    AppPaths::setAppDirOverride(QString());
    dir.reset();
}

void tst_Status::connectDevice(SimConfig config)
{
    sim = std::make_unique<Simulator>(config);
    QVERIFY(sim->start());
    connect(sim.get(), &Simulator::trace, this, [this](const QString &l) {
        if (l.startsWith("> 0x"))
            sent << l.mid(2, 6);
        if (l.startsWith("> 0x86") || l.startsWith("> 0x87") || l.startsWith("> 0x8003"))
            trace << l.mid(2, 6);
    });
    enumerator.sims = {sim.get()};
    window = std::make_unique<MainWindow>(&prompts, &enumerator);
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 2, 10000);
}

QStringList tst_Status::statusRequests() const
{
    return trace;
}

void tst_Status::panelFollowsTheDevice()
{
    SimConfig c;
    c.joinDelayMs = 9000; // the join outlasts even a slow connection and configuration read
    c.uplinkPeriodMs = 1000;
    connectDevice(c);
    QTRY_COMPARE_WITH_TIMEOUT(text("netIfaceStateLbl"), QString("Регистрация в сети"), 8000);
    QTRY_VERIFY_WITH_TIMEOUT(text("netIfaceStateLbl") == "Зарегистрирован" ||
                                 text("netIfaceStateLbl") == "Обмен данными",
                             12000);
    QTRY_VERIFY_WITH_TIMEOUT(!text("upLinkCounter_lbl").isEmpty(), 5000);
    const int first = text("upLinkCounter_lbl").toInt();
    QTRY_VERIFY_WITH_TIMEOUT(text("upLinkCounter_lbl").toInt() > first, 6000);
    QVERIFY(text("rssi_lbl").endsWith(" dBm"));
    QVERIFY(text("batVoltage_lbl").startsWith("4."));
    QVERIFY(!text("dateTime_lbl").isEmpty());
    QVERIFY(!text("in0Count_lbl").isEmpty());
}

void tst_Status::chainOrder_data()
{
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<bool>("fsk");
    QTest::addColumn<QStringList>("requests");
    QTest::newRow("0, 1, 4") << QList<int>{0, 1, 4} << false
                             << QStringList{"0x8003", "0x8700", "0x8600"};
    QTest::newRow("unknown codes skipped")
        << QList<int>{9, 2, 42} << false << QStringList{"0x8701"};
    QTest::newRow("only unknown: the pass ends at once")
        << QList<int>{9, 10} << false << QStringList{};
    // Over FSK the network status and times do not exist; quality is asked regardless.
    QTest::newRow("FSK skips 0 and 7")
        << QList<int>{0, 5, 7, 1} << true << QStringList{"0x8700", "0x8602"};
}

void tst_Status::chainOrder()
{
    QFETCH(QList<int>, codes);
    QFETCH(bool, fsk);
    QFETCH(QStringList, requests);
    connectDevice();
    window->changeStatusTimerState(false);
    QTest::qWait(1200); // a pass in flight ends
    if (fsk) {
        window->setGlobalState(35);
        window->setGlobalState(2);
        QTest::qWait(300);
    }
    window->setStatusCommandList(codes);
    trace.clear();
    window->statusTimerTimeout();
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 2, 3000);
    QCOMPARE(statusRequests(), requests);
}

void tst_Status::userActionEndsThePass()
{
    connectDevice();
    window->changeStatusTimerState(false);
    QTest::qWait(1200);          // a pass in flight ends
    sim->faults().delayMs = 400; // slow answers: the pass below takes seconds
    window->setStatusCommandList({0, 1, 2, 3, 4, 6, 8});
    trace.clear();
    window->statusTimerTimeout();
    QCOMPARE(window->globalState(), 4);
    QTRY_COMPARE_WITH_TIMEOUT(trace.size(), 2, 5000);
    window->waitEndReadStatus();
    QCOMPARE(window->globalState(), 2);
    const int sent = trace.size();
    QVERIFY2(sent < 7, "the pass ran to its end instead of stopping");
    // The answer still on its way must not revive the pass.
    QTest::qWait(1500);
    QCOMPARE(trace.size(), sent);
    QCOMPARE(window->globalState(), 2);
}

void tst_Status::qualityTexts_data()
{
    QTest::addColumn<int>("snr");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("snrText");
    QTest::addColumn<QString>("picture");
    QTest::newRow("-10 quarter dB, level 0") << -10 << 0 << "-2 dB"
                                             << ":pict/svg/network_0.svg";
    QTest::newRow("11, level 7") << 11 << 7 << "2 dB"
                                 << ":pict/svg/network_1.svg";
    QTest::newRow("level 8") << 0 << 8 << "0 dB"
                             << ":pict/svg/network_2.svg";
    QTest::newRow("level 21") << 0 << 21 << "0 dB"
                              << ":pict/svg/network_3.svg";
    QTest::newRow("level 22") << 0 << 22 << "0 dB"
                              << ":pict/svg/network.svg";
}

void tst_Status::qualityTexts()
{
    QFETCH(int, snr);
    QFETCH(int, level);
    QFETCH(QString, snrText);
    QFETCH(QString, picture);
    connectDevice();
    window->changeStatusTimerState(false);
    NET_QUALITY_STAT q;
    q.rssi = -100;
    q.snr = qint8(snr);
    q.netLevel = quint8(level);
    q.bsCount = 2;
    window->updateQualityStatus(q);
    QCOMPARE(text("snr_lbl"), snrText);
    QCOMPARE(text("rssi_lbl"), QString("-100 dBm"));
    QCOMPARE(window->findChild<QLabel *>("sigLevelDbm")->pixmap(Qt::ReturnByValue).toImage(),
             QPixmap(picture).toImage());
}

void tst_Status::batteryPictures_data()
{
    QTest::addColumn<int>("devId");
    QTest::addColumn<int>("mv");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("picture");
    QTest::newRow("701 below 3000") << 701 << 2999 << 0 << ":/pict/svg/battery_empty.svg";
    QTest::newRow("701 at 3000") << 701 << 3000 << 0 << ":/pict/svg/battery_low.svg";
    QTest::newRow("701 at 3300") << 701 << 3300 << 0 << ":/pict/svg/battery_normal.svg";
    QTest::newRow("701 at 3450") << 701 << 3450 << 0 << ":/pict/svg/battery_full.svg";
    QTest::newRow("750 at 3599") << 750 << 3599 << 0 << ":/pict/svg/battery_empty.svg";
    QTest::newRow("750 at 3700") << 750 << 3700 << 0 << ":/pict/svg/battery_normal.svg";
    QTest::newRow("760 rev 2 uses 750 thresholds")
        << 2808 << 3450 << 0 << ":/pict/svg/battery_empty.svg";
    QTest::newRow("fault bits") << 750 << 4100 << 0x01 << ":/pict/svg/battery_error.svg";
    QTest::newRow("charging bit only") << 750 << 4100 << 0x04 << ":/pict/svg/battery_full.svg";
}

void tst_Status::batteryPictures()
{
    QFETCH(int, devId);
    QFETCH(int, mv);
    QFETCH(int, flags);
    QFETCH(QString, picture);
    connectDevice();
    window->changeStatusTimerState(false);
    DEV_BAT_STAT b;
    b.devId = quint16(devId);
    b.powerSource = 1;
    b.batVoltage = quint16(mv);
    b.batFlags = quint8(flags);
    window->updateBatStatus(b);
    QCOMPARE(window->findChild<QLabel *>("batStatusLabel")->pixmap(Qt::ReturnByValue).toImage(),
             QPixmap(picture).toImage());
    QCOMPARE(text("batVoltage_lbl"), QString::number(mv / 1000.0, 'f', 2));
}

void tst_Status::inputErrorTexts()
{
    connectDevice();
    window->changeStatusTimerState(false);
    DEV_INPUT_PARAMS p;
    p.inputCount = 2;
    DEV_INPUT in;
    in.counter = 1234;
    in.error = 2;
    p.inputs << in;
    in.counter = 7;
    in.error = 0;
    p.inputs << in;
    window->updateInputsParamsStatus(p);
    QCOMPARE(text("in0Count_lbl"), QString("1234"));
    QCOMPARE(text("in0Error_lbl"), QString("Короткое замыкание"));
    QCOMPARE(text("in1Error_lbl"), QString("Нет"));
    QCOMPARE(text("inNum1_lbl"), QString("2"));
}

void tst_Status::setTimeButton_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("2 s behind") << -2 << false;
    QTest::newRow("2 s ahead") << 2 << false;
    QTest::newRow("3 s behind") << -3 << true;
    QTest::newRow("3 s ahead") << 3 << true;
}

void tst_Status::setTimeButton()
{
    QFETCH(int, offset);
    QFETCH(bool, enabled);
    connectDevice();
    window->changeStatusTimerState(false);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    window->updateDateTime(time_t(now + offset), 0, 1);
    QCOMPARE(window->findChild<QPushButton *>("setDateTimeButton")->isEnabled(), enabled);
    QCOMPARE(text("timeSourceLabel"), QString("Конфигуратор"));
}

void tst_Status::buttonsReachTheDevice_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("command");
    QTest::newRow("set time") << "setDateTimeButton"
                              << "0x8004";
    QTest::newRow("re-join") << "reRegisterButton"
                             << "0x8601";
    QTest::newRow("extraordinary packet") << "sendExtraordinaryPackButton"
                                          << "0x8605";
    QTest::newRow("manual quality") << "getStatusManualButton"
                                    << "0x8602";
}

void tst_Status::buttonsReachTheDevice()
{
    QFETCH(QString, button);
    QFETCH(QString, command);
    connectDevice();
    auto *b = window->findChild<QPushButton *>(button);
    QVERIFY(b);
    b->setEnabled(true);
    QTest::mouseClick(b, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(sent.contains(command), 5000);
}

void tst_Status::extraPacketOnRegistration_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("sent");
    QTest::newRow("1 to 2") << 1 << true;
    QTest::newRow("5 to 2") << 5 << false;
}

void tst_Status::extraPacketOnRegistration()
{
    QFETCH(int, from);
    QFETCH(bool, sent);
    QFile settings(dir->path() + "/settings.conf");
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[Survey]\nSendExtraordinaryPackOnStart=true\n");
    settings.close();
    connectDevice();
    window->changeStatusTimerState(false);
    QTest::qWait(1200);
    QSignalSpy spy(window.get(), &MainWindow::sendExtraordinaryPack);
    NET_MAIN_STAT s;
    s.netState = quint8(from);
    window->updateMainNetStatus(s);
    s.netState = 2;
    window->updateMainNetStatus(s);
    QCOMPARE(spy.count(), sent ? 1 : 0);
}

void tst_Status::manualExtraPacketShowsItsResult_data()
{
    QTest::addColumn<int>("joinDelayMs");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("line");
    QTest::newRow("registered: sent") << 0 << 30 << "Внеочередной пакет успешно отправлен";
    QTest::newRow("not registered: refused")
        << 600000 << 31 << "Ошибка отправки внеочередного пакета";
}

void tst_Status::manualExtraPacketShowsItsResult()
{
    QFETCH(int, joinDelayMs);
    QFETCH(int, state);
    QFETCH(QString, line);
    // How late a QTRY poll may notice a change.
    constexpr int pollSlackMs = 100;
    SimConfig c;
    c.joinDelayMs = joinDelayMs;
    connectDevice(c);
    auto *button = window->findChild<QPushButton *>("sendExtraordinaryPackButton");
    button->setEnabled(true);
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(text("globalStatusText"), line, 5000);
    QElapsedTimer shown;
    shown.start();
    QCOMPARE(window->globalState(), state);
    // The result stays readable for a while, then the device is ready again.
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 2, MainWindow::extraPackResultMs * 3);
    QVERIFY(shown.elapsed() >= MainWindow::extraPackResultMs - pollSlackMs);
    QCOMPARE(text("globalStatusText"), QString("Устройство подключено"));
}

QTEST_MAIN(tst_Status)
#include "tst_status.moc"
