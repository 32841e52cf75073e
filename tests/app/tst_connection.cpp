#include "appfixture.h"
#include "appsettings.h"
#include "authenticationform.h"
#include "configcontroller.h"
#include "configdocument.h"
#include "hotplugcontroller.h"
#include "hotplugmonitor.h"
#include "linkstate.h"
#include "logcapture.h"
#include "mainwindow.h"
#include "relaycontroller.h"
#include "remoteconnectform.h"
#include "remoteserver.h"
#include "selectdeviceform.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QToolButton>

// The configurator finding, reading and losing a simulated device.
class tst_Connection : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY((f = std::make_unique<AppFixture>())->isValid()); }
    void cleanup() { f.reset(); }
    void onePortIsOpenedAndRead();
    void twoPortsOfferAChoice();
    void otherPortReachesAnAdapter_data();
    void otherPortReachesAnAdapter();
    void otherPortsAreNotOffered_data();
    void otherPortsAreNotOffered();
    void silentDeviceAsksAfterThreeResends_data();
    void silentDeviceAsksAfterThreeResends();
    void unplugReturnsToWaiting();
    void rebootIsFoundAgainOnNewPort();
    void factoryResetChain();
    void flashFormatErrorStillReboots();
    void loginDialogue();
    void plugBurstGivesOneSearch();
    void remoteSessionFromTheButton();
    void failedRemoteIsSaidAndTheCableDeviceIsBack_data();
    void failedRemoteIsSaidAndTheCableDeviceIsBack();
    void relayPageReadsTheRemoteDevice();
    void converterModeIsATextCommand();

private:
    QString text(const char *label) { return window->findChild<QLabel *>(label)->text(); }
    bool enabled(const char *name) { return window->findChild<QWidget *>(name)->isEnabled(); }
    QString portOf(MainWindow *w) { return "/dev/" + w->deviceLink()->serialPort()->portName(); }

    // The first search runs this long after the window opens.
    static constexpr int searchWaitMs =
        HotplugController::firstSearchDelayMs + AppFixture::loadSlackMs;
    // A device pulled or rebooted is noticed by hot-plug and searched for again.
    static constexpr int replugWaitMs = HotplugController::searchDelayMs + AppFixture::loadSlackMs;

    std::unique_ptr<AppFixture> f;
    MainWindow *window = nullptr;
};

void tst_Connection::onePortIsOpenedAndRead()
{
    f->addSim();
    window = f->openWindow();
    QSignalSpy states(window->deviceLink(), &DeviceInterface::changeDeviceStatus);
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 2, AppFixture::connectWaitMs);
    Simulator *sim = f->sim();
    QCOMPARE(states.at(0).first().toInt(), 1);
    QCOMPARE(states.at(1).first().toInt(), 3);
    QVERIFY(window->deviceLink()->serialPort()->isOpen());
    QCOMPARE(sim->commandCount(Cmd::deviceInfo), 1);
    QVERIFY(sim->commandCount(Cmd::readParam) > 40); // every parameter of the group was read
    QCOMPARE((QStringList{text("softVer_lbl"), text("snLabel"), text("deveui_lbl").remove('-'),
                          text("globalStatusText")}),
             (QStringList{"1.3.1", sim->device().serialNumber(), sim->device().devEui().toUpper(),
                          "Устройство подключено"}));
    QVERIFY(text("mainTitleWindow").contains("SN: " + sim->device().serialNumber()));
    // The status tab says how the device is reached and what the firmware store offers it.
    QCOMPARE(text("remoteStatusValue"), QString("нет"));
    QVERIFY(!text("updateStatusValue").isEmpty());
    // The same single device found again is not reopened.
    emit window->enumerateDevices();
    QTest::qWait(AppFixture::nothingFollowsMs);
    QCOMPARE(sim->commandCount(Cmd::deviceInfo), 1);
}

void tst_Connection::twoPortsOfferAChoice()
{
    Simulator *a = f->addSim();
    Simulator *b = f->addSim();
    window = f->openWindow();
    QSignalSpy choice(window->deviceLink(), &DeviceInterface::selectDevice);
    QVERIFY(choice.wait(searchWaitMs));
    QCOMPARE(choice.first().first().toStringList(),
             (QStringList{a->portName() + ", S\\N: 00012345", b->portName() + ", S\\N: 00012346"}));
    QVERIFY(!window->deviceLink()->serialPort()->isOpen());
    QVERIFY(f->requests().isEmpty());
    auto *form = window->findChild<SelectDeviceForm *>();
    QVERIFY(form);
    emit form->selectDeviceIndex(1);
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 2, AppFixture::connectWaitMs);
    QCOMPARE(portOf(window), b->portName());
    QCOMPARE(a->totalCommands(), 0);
}

void tst_Connection::otherPortReachesAnAdapter_data()
{
    QTest::addColumn<bool>("choose");
    QTest::newRow("the port is chosen") << true;
    QTest::newRow("cancelled") << false;
}

void tst_Connection::otherPortReachesAnAdapter()
{
    QFETCH(bool, choose);
    // The device behind an adapter of another maker: its port is not a Vexa7XX's. Asked to
    // look, the window finds nothing and offers the computer's ports.
    Simulator *s = f->addSim();
    f->enumerator.sims.clear();
    PortInfo adapter;
    adapter.portName = s->portName();
    adapter.hasIds = true;
    adapter.vendorId = 0x0403;
    adapter.productId = 0x6001;
    f->enumerator.extra << adapter;
    window = f->openWindow();
    window->findChild<QToolButton *>("refreshButton")->click();
    SelectDeviceForm *form = nullptr;
    QTRY_VERIFY((form = window->findChild<SelectDeviceForm *>()));
    QVERIFY(!window->deviceLink()->serialPort()->isOpen());
    auto *list = form->findChild<QListWidget *>("deviceList");
    QCOMPARE(list->count(), 2); // every port again, and the adapter
    QCOMPARE(list->item(1)->text(), s->portName() + "  0403:6001");
    if (!choose) {
        form->findChild<QPushButton *>("cancelButton")->click();
        QCOMPARE(window->globalState(), int(LinkState::Disconnected));
        QCOMPARE(text("globalStatusText"), QString("Ожидание подключения модуля"));
        QCOMPARE(s->totalCommands(), 0);
        return;
    }
    emit list->doubleClicked(list->model()->index(1, 0));
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), int(LinkState::Ready),
                              AppFixture::connectWaitMs);
    QCOMPARE(portOf(window), s->portName());
    QCOMPARE(text("snLabel"), s->device().serialNumber());
    // The choice holds for the next search: the device stays where it is.
    window->findChild<QToolButton *>("refreshButton")->click();
    QTRY_COMPARE(window->globalState(), int(LinkState::Ready));
    QVERIFY(!window->findChild<SelectDeviceForm *>());
}

void tst_Connection::otherPortsAreNotOffered_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("vid");
    QTest::addColumn<QString>("serial");
    QTest::newRow("other serial prefix") << "/dev/ttyACM0" << 0x0483 << "STM32000001";
    QTest::newRow("other vendor") << "/dev/ttyACM0" << 0x1A86 << "VEXA7XX00000001";
    QTest::newRow("call-out twin") << "/dev/cu.usbmodem1" << 0x0483 << "VEXA7XX00000001";
}

void tst_Connection::otherPortsAreNotOffered()
{
    QFETCH(QString, name);
    QFETCH(int, vid);
    QFETCH(QString, serial);
    PortInfo p;
    p.portName = name;
    p.hasIds = true;
    p.vendorId = quint16(vid);
    p.productId = 0x5740;
    p.serialNumber = serial;
    f->enumerator.extra << p;
    LogCapture log;
    window = f->openWindow();
    QTRY_VERIFY_WITH_TIMEOUT(log.contains("No available devices."), searchWaitMs);
    QVERIFY(!log.contains("Found available device on: "));
    QCOMPARE(window->globalState(), 0);
}

void tst_Connection::silentDeviceAsksAfterThreeResends_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("No closes the port") << int(UserPrompts::No);
    QTest::newRow("Yes resends again") << int(UserPrompts::Yes);
}

void tst_Connection::silentDeviceAsksAfterThreeResends()
{
    QFETCH(int, answer);
    SimConfig c;
    c.silent = true;
    Simulator *sim = f->addSim(c);
    DeviceInterface link;
    link.setUserPrompts(&f->prompts);
    link.setAnswerTimeout(AppFixture::shortAnswerTimeoutMs);
    f->prompts.linkAnswers = {UserPrompts::Button(answer), UserPrompts::No};
    f->prompts.holdAnswers = true;
    link.serialPort()->setPortName(sim->portName());
    QSignalSpy states(&link, &DeviceInterface::changeDeviceStatus);
    LogCapture log;
    const int roundMs =
        (DeviceInterface::defaultMaxRetries + 1) * AppFixture::shortAnswerTimeoutMs +
        AppFixture::loadSlackMs;
    link.readConfiguration();
    QTRY_COMPARE_WITH_TIMEOUT(f->prompts.link.size(), 1, roundMs);
    QCOMPARE(f->prompts.link.first(), UserPrompts::LinkPrompt::ContinueReading);
    for (int n = 1; n <= DeviceInterface::defaultMaxRetries; ++n)
        QCOMPARE(log.count(QString("Data IO Error, request num:  %1").arg(n)), 1);
    const int requests = DeviceInterface::defaultMaxRetries + 1; // the request and its resends
    QCOMPARE(sim->commandCount(Cmd::deviceInfo), requests);

    // While the question is open nothing is resent, and a request that runs out of resends
    // meanwhile is answered by the same question: none is stacked on it.
    link.getStatus();
    QTRY_COMPARE_WITH_TIMEOUT(sim->commandCount(Cmd::netStatus), requests, roundMs);
    QTRY_VERIFY_WITH_TIMEOUT(!link.answerTimerObject()->isActive(), roundMs);
    QCOMPARE(f->prompts.link.size(), 1);
    QCOMPARE(sim->commandCount(Cmd::deviceInfo), requests);
    QCOMPARE(f->prompts.release(), 1);
    if (answer == UserPrompts::No) {
        QTRY_VERIFY_WITH_TIMEOUT(log.contains("Device not respond, port closed!"), roundMs);
        QCOMPARE(states.last().first().toInt(), 8);
        QCOMPARE(sim->commandCount(Cmd::netStatus), requests);
    } else {
        // A new round of the last request from a zero count, then the question again.
        QTRY_COMPARE_WITH_TIMEOUT(f->prompts.link.size(), 2, roundMs);
        QCOMPARE(sim->commandCount(Cmd::netStatus), 2 * requests);
        QCOMPARE(f->prompts.release(), 1);
    }
    QTRY_VERIFY_WITH_TIMEOUT(!link.serialPort()->isOpen(), roundMs); // the last answer was No
    QCOMPARE(f->prompts.waited, 0); // never a waiting box from the link's slots
}

void tst_Connection::unplugReturnsToWaiting()
{
    QVERIFY(window = f->connectWindow());
    const int searches = f->enumerator.calls;
    f->sim()->unplug();
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 0, AppFixture::loadSlackMs);
    QCOMPARE(text("globalStatusText"), QString("Ожидание подключения модуля"));
    QVERIFY(!window->deviceLink()->serialPort()->isOpen());
    QVERIFY(!enabled("writeConfigButton") && !enabled("readConfigButton"));
    // The vanished terminal is a plug event: the port list is searched again.
    QTRY_VERIFY_WITH_TIMEOUT(f->enumerator.calls > searches, replugWaitMs);
}

void tst_Connection::rebootIsFoundAgainOnNewPort()
{
    SimConfig c;
    c.rebootDelayMs = AppFixture::quickRebootMs;
    QVERIFY(window = f->connectWindow(c));
    QSignalSpy states(window->deviceLink(), &DeviceInterface::changeDeviceStatus);
    emit window->rebootDev();
    QTRY_VERIFY_WITH_TIMEOUT(!states.isEmpty() && states.first().first().toInt() == 10,
                             AppFixture::answerWaitMs);
    QCOMPARE(f->prompts.notes.value(0), QString("Перезагрузка: Устройство перезагружается..."));
    QVERIFY(!enabled("refreshButton"));
    // The device comes back on a terminal of its own and is read again without a click.
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 2,
                              c.rebootDelayMs + replugWaitMs + AppFixture::connectWaitMs);
    QCOMPARE(portOf(window), f->sim()->portName());
    QCOMPARE(f->sim()->commandCount(Cmd::deviceInfo), 2);
    QVERIFY(f->prompts.withdrawals > 0); // the reboot message went with the device's return
}

void tst_Connection::factoryResetChain()
{
    auto link = f->openLink(f->addSim());
    QSignalSpy states(link.get(), &DeviceInterface::changeDeviceStatus);
    link->eraseMemory("devFactory");
    QTRY_VERIFY_WITH_TIMEOUT(states.count() > 0, 3 * AppFixture::answerWaitMs);
    QCOMPARE(f->codes(), (QStringList{"0x8502", "0x8502", "0x8001"}));
    QCOMPARE(states.first().first().toInt(), 10);
}

void tst_Connection::flashFormatErrorStillReboots()
{
    auto link = f->openLink(f->addSim());
    QSignalSpy states(link.get(), &DeviceInterface::changeDeviceStatus);
    link->formatFlashAnswer(5);
    QCOMPARE(states.first().first().toInt(), 33);
    QCOMPARE(link->lastCommand(), Cmd::reboot);
    QTRY_COMPARE_WITH_TIMEOUT(f->sim()->commandCount(Cmd::reboot), 1, AppFixture::answerWaitMs);
    link->formatFlashAnswer(0);
    QCOMPARE(states.last().first().toInt(), 32);
}

void tst_Connection::loginDialogue()
{
    SimConfig c;
    c.password = "1234";
    c.rebootDelayMs = AppFixture::quickRebootMs;
    f->addSim(c);
    window = f->openWindow();
    auto login = [this](const char *password) {
        QTRY_VERIFY_WITH_TIMEOUT(window->findChild<AuthenticationForm *>(),
                                 AppFixture::connectWaitMs);
        auto *form = window->findChild<AuthenticationForm *>();
        form->findChild<QLineEdit *>("passLine")->setText(password);
        form->findChild<QPushButton *>("okButton")->click();
    };
    login("0000");
    // A wrong password: told so, and asked again.
    QTRY_COMPARE_WITH_TIMEOUT(f->prompts.asked.count("Ошибка: Неверный пароль"), 1,
                              AppFixture::answerWaitMs + AppFixture::loadSlackMs);
    login("1234");
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 2, AppFixture::connectWaitMs);
    QVERIFY(window->findChildren<AuthenticationForm *>().isEmpty());
    // The device reboots and wants the password again: this session already gave it.
    emit window->rebootDev();
    QTRY_COMPARE_WITH_TIMEOUT(f->sim()->commandCount(Cmd::deviceInfo), 2,
                              c.rebootDelayMs + AppFixture::connectWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 2, AppFixture::connectWaitMs);
    QVERIFY(f->sim()->device().loggedIn());
    QVERIFY(window->findChildren<AuthenticationForm *>().isEmpty());
    QCOMPARE(f->prompts.asked.count("Ошибка: Неверный пароль"), 1);
    QCOMPARE(f->prompts.waited, 0); // the refusal came from the link: told without waiting
}

void tst_Connection::plugBurstGivesOneSearch()
{
    window = f->openWindow();
    // Only the notices of this test: terminals of other tests come and go meanwhile.
    window->findChild<HotplugMonitor *>()->blockSignals(true);
    QTRY_VERIFY_WITH_TIMEOUT(f->enumerator.calls >= 1, searchWaitMs); // the search at start-up
    QTest::qWait(AppFixture::nothingFollowsMs);
    const int before = f->enumerator.calls;
    // A burst of notices is searched once.
    for (int i = 0; i < 10; ++i)
        window->hotplugController()->nodesChanged();
    QCOMPARE(f->enumerator.calls, before);
    QTRY_COMPARE_WITH_TIMEOUT(f->enumerator.calls, before + 1,
                              HotplugController::searchDelayMs + AppFixture::loadSlackMs);
    QTest::qWait(HotplugController::searchDelayMs);
    QCOMPARE(f->enumerator.calls, before + 1);
    // Notices that never settle (terminals of other programs) put the search off no longer
    // than the delay of a first notice.
    QTimer steady;
    connect(&steady, &QTimer::timeout, window->hotplugController(), &HotplugController::nodesChanged);
    steady.start(HotplugController::repeatDelayMs / 3);
    QTRY_COMPARE_WITH_TIMEOUT(f->enumerator.calls, before + 2,
                              HotplugController::searchDelayMs + AppFixture::loadSlackMs);
}

void tst_Connection::failedRemoteIsSaidAndTheCableDeviceIsBack_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("box");
    QTest::newRow("no server") << "none" << "Сервер конфигурирования недоступен!";
    QTest::newRow("another service") << "banner" << "Сервер конфигурирования закрыл соединение.";
}

void tst_Connection::failedRemoteIsSaidAndTheCableDeviceIsBack()
{
    QFETCH(QString, server);
    QFETCH(QString, box);
    // Another service answers with its own greeting and hangs up.
    QTcpServer other;
    QVERIFY(other.listen(QHostAddress::LocalHost));
    connect(&other, &QTcpServer::newConnection, this, [&other] {
        QTcpSocket *s = other.nextPendingConnection();
        s->write("SSH-2.0-OpenSSH_9.2\r\n");
        s->disconnectFromHost();
    });
    QTcpServer closed; // a port nothing listens on
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 port = server == "none" ? closed.serverPort() : other.serverPort();
    closed.close();
    f->writeFile("settings.conf",
                 QStringLiteral("[UpdateServer]\nIP=127.0.0.1\nPort=%1\n").arg(port).toLatin1());
    QVERIFY(window = f->connectWindow());
    window->findChild<QToolButton *>("remCfgButton")->pressed();
    auto *form = window->findChild<RemoteConnectForm *>();
    QVERIFY(form);
    form->findChild<QLineEdit *>("imeiLineEdit")->setText("356938035643809");
    form->findChild<QLineEdit *>("passLineEdit")->setText("1");
    f->prompts.asked.clear();
    form->findChild<QPushButton *>("connectButton")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!f->prompts.asked.isEmpty(), 2 * AppFixture::connectWaitMs);
    QVERIFY2(f->prompts.asked.first().startsWith("Удаленное конфигурирование: " + box),
             qPrintable(f->prompts.asked.first()));
    QVERIFY(f->prompts.asked.first().contains(QString("127.0.0.1:%1").arg(port)));
    // The device on the cable is read again at once, without a plug notice.
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), int(LinkState::Ready),
                              AppFixture::connectWaitMs);
    QVERIFY(!window->deviceLink()->isRemoteMode());
}

void tst_Connection::relayPageReadsTheRemoteDevice()
{
    SimConfig config;
    config.remoteModel = 760;
    QVERIFY(window = f->connectWindow(config));
    const SimDevice *local = &f->sim()->device();
    const SimDevice *remote = local->remoteDevice();
    window->deviceLink()->setRelayTimings(50, DeviceInterface::relayCheckTimeoutMs);
    auto *devEui = window->findChild<QLineEdit *>("remDevEuiLineEdit");
    auto *button = window->findChild<QPushButton *>("startFskModePushButton");
    // One digit short: decoded as far as it goes it would address another device.
    devEui->setText(remote->devEui().left(15));
    button->click();
    QCOMPARE(f->prompts.asked.size(), 1);

    // An edit of the local device is not the remote one's: the user keeps it for the local one.
    auto *period = window->findChild<QLineEdit *>("txPeriodLineEdit");
    period->setText("7200");
    emit period->editingFinished();
    f->prompts.answer = UserPrompts::Cancel;
    devEui->setText(remote->devEui());
    f->clearRequests();
    button->click();
    QTRY_VERIFY_WITH_TIMEOUT(window->globalState() == 2 &&
                                 text("snLabel") == remote->serialNumber(),
                             DeviceInterface::relaySettleMs + 2 * AppFixture::connectWaitMs);
    QCOMPARE(window->connectedDevice().path, DeviceIdentity::Path::Relay);
    QCOMPARE(window->connectedDevice().via, local->serialNumber());
    QCOMPARE(f->prompts.asked.filter("Незаписанные изменения").size(), 1);
    QVERIFY(f->prompts.asked.last().contains("через радиоканал устройства SN " +
                                             local->serialNumber()));
    QVERIFY(window->configController()->pendingChanges().documentElement().firstChildElement().isNull());
    // After the switch every request went through the relay, the whole read included.
    const QStringList relayed = f->codes().mid(f->codes().indexOf("0x8300") + 1);
    QCOMPARE(relayed.count("0x8302"), relayed.size());
    QCOMPARE(button->text(), QString("Отключить"));

    // Leaving: the remote session ends, then the local one, then the local device is read once.
    // The remote device's edit is not the local one's either.
    period->setText("1800");
    emit period->editingFinished();
    f->clearRequests();
    button->click();
    QTRY_VERIFY_WITH_TIMEOUT(window->globalState() == 2 && text("snLabel") == local->serialNumber(),
                             AppFixture::connectWaitMs);
    QTest::qWait(AppFixture::nothingFollowsMs);
    const QStringList codes = f->codes();
    const int localLeave = codes.indexOf("0x8301");
    QCOMPARE(codes.mid(0, localLeave).count("0x8302"), localLeave);
    QCOMPARE(codes.mid(localLeave + 1, 1), QStringList{"0x8002"});
    QCOMPARE(codes.count("0x8002"), 1);
    QVERIFY(!local->relayActive());
    QCOMPARE(button->text(), QString("Подключить"));
    // Back on the cable: asked about the remote device's edit, the local one's is pending again.
    QCOMPARE(window->connectedDevice().path, DeviceIdentity::Path::Usb);
    QCOMPARE(f->prompts.asked.filter("Незаписанные изменения").size(), 2);
    QVERIFY(f->prompts.asked.last().contains("SN " + remote->serialNumber()));
    QCOMPARE(ConfigDocument::param(window->configController()->pendingChanges(), "tx_period"), QString("00001c20"));
}

void tst_Connection::converterModeIsATextCommand()
{
    SimConfig config;
    config.model = 760;
    config.revision = 2;
    QVERIFY(window = f->connectWindow(config));
    window->findChild<QComboBox *>("rsToUsbSpeedComboBox")->setCurrentText("9600");
    window->findChild<QComboBox *>("rsSourseComboBox")->setCurrentIndex(1);
    f->clearRequests();
    f->prompts.answer = UserPrompts::Yes;
    window->relayController()->rsToUsbClicked();
    QTRY_VERIFY_WITH_TIMEOUT(f->sim()->device().converterMode(), AppFixture::answerWaitMs);
    QCOMPARE(f->requests({"text"}), QStringList{"text RS2USB 9600,1"});
    QCOMPARE(window->globalState(), 0);
    QVERIFY(f->prompts.asked.last().startsWith("RS-232 в USB: "));
}

QTEST_MAIN(tst_Connection)
#include "tst_connection.moc"

void tst_Connection::remoteSessionFromTheButton()
{
    SimConfig c;
    c.password = "4321";
    RemoteServer server(c);
    QVERIFY(server.listen(0));
    QStringList serverTrace;
    connect(&server, &RemoteServer::trace, [&](const QString &t) { serverTrace << t; });
    const QString imei = server.imeis().first();
    f->writeFile("settings.conf",
                 QStringLiteral("[UpdateServer]\nIP=127.0.0.1\nPort=%1\n[RemConf]\nlastImei=%2\n")
                     .arg(server.port())
                     .arg(imei.left(14))
                     .toLatin1());
    window = f->openWindow();
    auto *button = window->findChild<QToolButton *>("remCfgButton");
    QVERIFY(button->isVisibleTo(window));

    // The dialog refuses what cannot make a session, and offers the IMEI used last.
    const struct
    {
        QString imei, password, refusal;
    } inputs[] = {{imei.left(14), "4321", "Ошибка: IMEI терминала должен состоять из 15 цифр"},
                  {imei, "", "Ошибка: Не указан пароль терминала"},
                  {imei, "4321", QString()}};
    button->pressed();
    auto *form = window->findChild<RemoteConnectForm *>();
    QVERIFY(form);
    auto *imeiEdit = form->findChild<QLineEdit *>("imeiLineEdit");
    auto *passEdit = form->findChild<QLineEdit *>("passLineEdit");
    QCOMPARE(imeiEdit->text(), imei.left(14));
    QCOMPARE(passEdit->echoMode(), QLineEdit::Password);
    for (const auto &in : inputs) {
        f->prompts.asked.clear();
        imeiEdit->setText(in.imei);
        passEdit->setText(in.password);
        form->findChild<QPushButton *>("connectButton")->click();
        QCOMPARE(f->prompts.asked.value(0), in.refusal);
    }
    QCOMPARE(AppSettings::read("RemConf", "lastImei").toString(), imei);
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 2, AppFixture::connectWaitMs);
    QCOMPARE(text("globalStatusText"), QString("Устройство подключено удаленно"));
    QCOMPARE(text("remoteStatusValue"), "через сервер, IMEI " + imei);
    QVERIFY(server.device(imei)->commandCount(Cmd::readParam) > 40);

    // Cable devices plugged in meanwhile: each search comes to the question of leaving the
    // session, which is asked once. After No the session goes on.
    f->prompts.holdAnswers = true;
    f->prompts.linkAnswers = {UserPrompts::No};
    f->prompts.waited = 0; // the dialog's refusals above came from clicks
    for (int plugged = 1; plugged <= 2; ++plugged) {
        const int searches = f->enumerator.calls;
        f->addSim();
        QTRY_VERIFY_WITH_TIMEOUT(f->enumerator.calls > searches, replugWaitMs);
    }
    QCOMPARE(f->prompts.link,
             QList<UserPrompts::LinkPrompt>{UserPrompts::LinkPrompt::LeaveRemoteMode});
    QCOMPARE(f->prompts.release(), 1);
    QVERIFY(window->deviceLink()->isRemoteMode());
    QCOMPARE(f->prompts.waited, 0);

    // The button again ends the session: the goodbye, then state 0 once the socket is down.
    button->pressed();
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 0, AppFixture::loadSlackMs);
    QVERIFY(!window->deviceLink()->isRemoteMode());
    QTRY_VERIFY_WITH_TIMEOUT(serverTrace.join('\n').contains("goodbye from the configurator"),
                             AppFixture::loadSlackMs);
}
