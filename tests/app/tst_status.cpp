#include "appfixture.h"
#include "hotplugcontroller.h"
#include "hotplugmonitor.h"
#include "configcontroller.h"
#include "linkstate.h"
#include "statuscontroller.h"
#include "mainwindow.h"
#include "statuspoller.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

// Status polling and the status panel of the real window.
class tst_Status : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY((f = std::make_unique<AppFixture>())->isValid()); }
    void cleanup() { f.reset(); }
    void panelFollowsTheDevice();
    void chainOrder_data();
    void chainOrder();
    void userActionEndsThePass();
    void passesResumeAfter_data();
    void passesResumeAfter();
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
    void calculatorShowsTheModelsConditions_data();
    void calculatorShowsTheModelsConditions();

private:
    // One status pass: started by the timer, a few quick requests.
    static constexpr int passWaitMs = MainWindow::statusTimerIntervalMs + AppFixture::loadSlackMs;

    void connectDevice(const SimConfig &config = SimConfig())
    {
        QVERIFY(window = f->connectWindow(config));
    }
    // The panel of a window without a device: what it shows comes from the test.
    void showPanel()
    {
        window = f->openWindow();
        window->statusPoller()->setEnabled(false);
    }
    // Polling off and the pass that may be running ended. Terminals of other tests come and go
    // meanwhile; their plug notices would start a search and polling again, so they are muted.
    void stopPolling()
    {
        window->findChild<HotplugMonitor *>()->blockSignals(true);
        window->statusPoller()->setEnabled(false);
        QTest::qWait(MainWindow::statusTimerIntervalMs + AppFixture::nothingFollowsMs);
    }
    QString text(const char *label) const { return window->findChild<QLabel *>(label)->text(); }
    QStringList statusRequests() const { return f->codes({"0x86", "0x87", "0x8003"}); }

    std::unique_ptr<AppFixture> f;
    MainWindow *window = nullptr;
};

void tst_Status::panelFollowsTheDevice()
{
    SimConfig c;
    // The registration lasts until the panel has seen it, however slow the machine.
    c.joinDelayMs = 24 * 3600 * 1000;
    c.uplinkPeriodMs = MainWindow::statusTimerIntervalMs;
    connectDevice(c);
    QTRY_COMPARE_WITH_TIMEOUT(text("netIfaceStateLbl"), QString("Регистрация в сети"),
                              AppFixture::connectWaitMs + passWaitMs);
    f->sim()->device().finishJoin(f->sim()->nowMs());
    QTRY_VERIFY_WITH_TIMEOUT(text("netIfaceStateLbl") == "Зарегистрирован" ||
                                 text("netIfaceStateLbl") == "Обмен данными",
                             AppFixture::connectWaitMs + passWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(!text("upLinkCounter_lbl").isEmpty(), passWaitMs);
    const int first = text("upLinkCounter_lbl").toInt();
    // The next uplink, seen by the pass after it.
    QTRY_VERIFY_WITH_TIMEOUT(text("upLinkCounter_lbl").toInt() > first,
                             c.uplinkPeriodMs + 2 * passWaitMs);
    QVERIFY(text("rssi_lbl").endsWith(" дБм"));
    QVERIFY(text("batVoltage_lbl").endsWith(" В"));
    QVERIFY(text("batVoltage_lbl").startsWith("4."));
    // Sent as Hz, read in MHz without a rounded or invented digit.
    QVERIFY2(QRegularExpression("^8[67]\\d(\\.\\d{0,5}[1-9])? МГц$")
                 .match(text("upLinkFrequency_lbl"))
                 .hasMatch(),
             qPrintable(text("upLinkFrequency_lbl")));
    QVERIFY(!text("dateTime_lbl").isEmpty());
    QVERIFY(!text("in0Count_lbl").isEmpty());
    QVERIFY(window->findChild<QLabel *>("infoHintLabel")->isHidden());

    // Unplugged: nothing of the device stays on show, and its buttons say why they are off.
    f->sim()->unplug();
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 0, AppFixture::loadSlackMs);
    for (const char *label : {"netIfaceStateLbl", "upLinkCounter_lbl", "rssi_lbl", "batVoltage_lbl",
                              "dateTime_lbl", "in0Count_lbl", "upLinkFrequency_lbl"})
        QVERIFY2(text(label).isEmpty(), label);
    for (const char *name :
         {"sendExtraordinaryPackButton", "reRegisterButton", "setDateTimeButton"}) {
        auto *button = window->findChild<QWidget *>(name);
        QVERIFY2(!button->isEnabled() && !button->toolTip().isEmpty(), name);
    }
    QVERIFY(!window->findChild<QLabel *>("infoHintLabel")->isHidden());
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
    stopPolling();
    if (fsk) {
        window->setGlobalState(35);
        window->setGlobalState(2);
        QTest::qWait(AppFixture::nothingFollowsMs);
    }
    window->statusPoller()->setCommandList(codes);
    f->clearRequests();
    window->statusPoller()->tick();
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 2, passWaitMs);
    QCOMPARE(statusRequests(), requests);
}

void tst_Status::userActionEndsThePass()
{
    connectDevice();
    stopPolling();
    // Each answer takes half a polling interval: the pass below takes seconds.
    const int delayMs = f->sim()->faults().delayMs = MainWindow::statusTimerIntervalMs / 2;
    window->statusPoller()->setCommandList({0, 1, 2, 3, 4, 6, 8});
    f->clearRequests();
    window->statusPoller()->tick();
    QCOMPARE(window->globalState(), 4);
    QTRY_COMPARE_WITH_TIMEOUT(statusRequests().size(), 2, 2 * delayMs + AppFixture::loadSlackMs);
    // The action goes once the pass has ended, from the event loop rather than from the
    // answer that ended it.
    int stateWhenRun = -1;
    int passesWhenRun = -1;
    window->waitEndReadStatus([&] {
        stateWhenRun = window->globalState();
        passesWhenRun = window->statusPoller()->passCount();
    });
    QCOMPARE(stateWhenRun, -1);
    const int passes = window->statusPoller()->passCount();
    QTRY_COMPARE_WITH_TIMEOUT(stateWhenRun, 2, delayMs + AppFixture::loadSlackMs);
    QCOMPARE(passesWhenRun, passes); // stopped, not completed
    const int sent = statusRequests().size();
    QVERIFY2(sent < 7, "the pass ran to its end instead of stopping");
    // The answer still on its way must not revive the pass.
    QTest::qWait(delayMs + MainWindow::statusTimerIntervalMs + AppFixture::nothingFollowsMs);
    QVERIFY2(statusRequests().size() == sent, qPrintable(f->requests().join(", ")));
    QCOMPARE(window->globalState(), 2);
}

void tst_Status::passesResumeAfter_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("write") << "write";
    QTest::newRow("save") << "save";
    QTest::newRow("reboot") << "reboot";
    // Terminals of other programs come and go: each notice starts a port search.
    QTest::newRow("steady plug notices") << "notices";
}

// Whatever the user does while a pass is in flight, the passes come back once it is done.
void tst_Status::passesResumeAfter()
{
    QFETCH(QString, action);
    SimConfig c;
    c.rebootDelayMs = AppFixture::quickRebootMs;
    connectDevice(c);
    StatusPoller *poller = window->statusPoller();
    QSignalSpy started(poller, &StatusPoller::passStarted);
    // Each action starts while a pass is under way, where a stop flag or a waiting action
    // could be left behind. A pass takes a few milliseconds: the action goes from its start.
    QVERIFY(started.wait(AppFixture::connectWaitMs));
    QVERIFY(poller->passInFlight());
    const int devicesRead = f->sim()->commandCount(Cmd::deviceInfo);
    if (action == "write") {
        window->configController()->replaceElement("tx_period", {{"param", "00000078"}});
        f->prompts.answer = UserPrompts::Yes;
        window->configController()->write();
    } else if (action == "notices") {
        // Closer together than a polling interval, for longer than several passes take.
        auto *notices = new QTimer(window);
        connect(notices, &QTimer::timeout, window->hotplugController(), &HotplugController::nodesChanged);
        notices->start(MainWindow::statusTimerIntervalMs / 3);
    } else if (action == "save") {
        f->prompts.fileToSave = f->path("saved.xml");
        window->configController()->saveFile();
    } else {
        window->reloadConfirm();
    }
    if (action == "write" ||
        action == "reboot") // written (or not) and rebooted, found again and read
        QTRY_VERIFY_WITH_TIMEOUT(f->sim()->commandCount(Cmd::deviceInfo) > devicesRead &&
                                     window->globalState() == LinkState::Ready,
                                 3 * AppFixture::connectWaitMs);
    // Two whole passes after the action: the second one started by the timer alone.
    const int after = poller->passCount();
    QTRY_VERIFY_WITH_TIMEOUT(poller->passCount() >= after + 2, 3 * passWaitMs);
    QVERIFY(!poller->isWaiting());
}

void tst_Status::qualityTexts_data()
{
    QTest::addColumn<int>("snr");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("snrText");
    QTest::addColumn<QString>("picture");
    auto row = [](const char *name, int snr, int level, const char *snrText, const char *picture) {
        QTest::newRow(name) << snr << level << QString(snrText) << QString(picture);
    };
    row("-10 quarter dB, level 0", -10, 0, "-2 дБ", ":pict/svg/network_0.svg");
    row("11, level 7", 11, 7, "2 дБ", ":pict/svg/network_1.svg");
    row("level 8", 0, 8, "0 дБ", ":pict/svg/network_2.svg");
    row("level 22", 0, 22, "0 дБ", ":pict/svg/network.svg");
}

void tst_Status::qualityTexts()
{
    QFETCH(int, snr);
    QFETCH(int, level);
    QFETCH(QString, snrText);
    QFETCH(QString, picture);
    showPanel();
    window->statusController()->updateQualityStatus(NET_QUALITY_STAT{0, 0, -100, qint8(snr), quint8(level), 2});
    QCOMPARE(text("snr_lbl"), snrText);
    QCOMPARE(text("rssi_lbl"), QString("-100 дБм"));
    QCOMPARE(window->findChild<QLabel *>("sigLevelDbm")->pixmap(Qt::ReturnByValue).toImage(),
             QPixmap(picture).toImage());
}

void tst_Status::batteryPictures_data()
{
    QTest::addColumn<int>("devId");
    QTest::addColumn<int>("mv");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("picture");
    QTest::newRow("701 at 3000") << 701 << 3000 << 0 << ":/pict/svg/battery_low.svg";
    QTest::newRow("750 at 3599") << 750 << 3599 << 0 << ":/pict/svg/battery_empty.svg";
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
    showPanel();
    window->statusController()->updateBatStatus(DEV_BAT_STAT{quint16(devId), 0, 1, quint16(mv), quint8(flags), 0});
    QCOMPARE(window->findChild<QLabel *>("batStatusLabel")->pixmap(Qt::ReturnByValue).toImage(),
             QPixmap(picture).toImage());
    QCOMPARE(text("batVoltage_lbl"), QString::number(mv / 1000.0, 'f', 2) + " В");
}

void tst_Status::inputErrorTexts()
{
    connectDevice(); // the error texts come with the device's code tables
    window->statusPoller()->setEnabled(false);
    DEV_INPUT_PARAMS p;
    p.inputCount = 2;
    p.inputs = {DEV_INPUT{1234, 0, 2}, DEV_INPUT{7, 0, 0}};
    window->statusController()->updateInputsParamsStatus(p);
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
    showPanel();
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    window->statusController()->updateDateTime(time_t(now + offset), 0, 1);
    QCOMPARE(window->findChild<QPushButton *>("setDateTimeButton")->isEnabled(), enabled);
    QCOMPARE(text("timeSourceLabel"), QString("Конфигуратор"));
}

void tst_Status::buttonsReachTheDevice_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("command");
    QTest::newRow("set time") << "setDateTimeButton" << QString("0x8004");
    QTest::newRow("re-join") << "reRegisterButton" << QString("0x8601");
    QTest::newRow("manual quality") << "getStatusManualButton" << QString("0x8602");
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
    QTRY_VERIFY_WITH_TIMEOUT(f->codes().contains(command), AppFixture::answerWaitMs);
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
    f->writeFile("settings.conf", "[Survey]\nSendExtraordinaryPackOnStart=true\n");
    connectDevice();
    stopPolling();
    QSignalSpy spy(window->statusPoller(), &StatusPoller::sendExtraordinaryPack);
    NET_MAIN_STAT s;
    s.netState = quint8(from);
    emit window->deviceLink()->netMainStatus(s);
    s.netState = 2;
    emit window->deviceLink()->netMainStatus(s);
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

void tst_Status::calculatorShowsTheModelsConditions_data()
{
    QTest::addColumn<int>("model"); // 0: no device
    QTest::addColumn<QString>("firmware");
    // Of the inputs' alarms, the meter exchange (M) and the converter mode (C): those listed.
    QTest::addColumn<QString>("shown");
    QTest::newRow("no device: the whole word") << 0 << ""
                                               << "123456MC";
    QTest::newRow("701: no inputs, no meter interface") << 701 << ""
                                                        << "";
    QTest::newRow("750: six inputs") << 750 << ""
                                     << "123456";
    QTest::newRow("760 without converter mode") << 760 << "1.3.5"
                                                << "12M";
    QTest::newRow("760 with converter mode") << 760 << "1.4.2"
                                             << "12MC";
}

// The calculator lists only conditions the connected model can have.
void tst_Status::calculatorShowsTheModelsConditions()
{
    QFETCH(int, model);
    QFETCH(QString, firmware);
    QFETCH(QString, shown);
    if (model) {
        SimConfig c;
        c.model = model;
        c.firmware = firmware;
        connectDevice(c);
    } else {
        showPanel();
    }
    window->statusController()->runStatusCalc();
    auto *table = window->findChild<QTableWidget *>("tableWidget");
    QStringList rows;
    for (int r = 0; table && r < table->rowCount(); ++r)
        rows << table->item(r, 0)->text();
    QVERIFY2(rows.contains("Внешнее питание"), qPrintable(rows.join(", ")));
    QString listed;
    for (const QString c : {"1", "2", "3", "4", "5", "6", "M", "C"}) {
        const QString name = c == "M" ? QString("Обмен с прибором учёта")
                             : c == "C" ? QString("Преобразователь интерфейса")
                                        : "Тревога по входу " + c;
        if (rows.contains(name))
            listed += c;
    }
    QCOMPARE(listed, shown);
}

QTEST_MAIN(tst_Status)
#include "tst_status.moc"
