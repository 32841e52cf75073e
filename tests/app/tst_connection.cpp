#include "apppaths.h"
#include "authenticationform.h"
#include "deviceinterface.h"
#include "hotplugmonitor.h"
#include "logcapture.h"
#include "mainwindow.h"
#include "packparser.h"
#include "recordingprompts.h"
#include "selectdeviceform.h"
#include "simportenumerator.h"
#include "simulator.h"
#include "userprompts.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

QImage picture(const char *path)
{
    return QPixmap(QLatin1String(path)).toImage();
}
} // namespace

// The configurator finding, reading and losing a simulated device.
class tst_Connection : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void onePortIsOpenedAndRead();
    void twoPortsOfferAChoice();
    void otherPortsAreNotOffered_data();
    void otherPortsAreNotOffered();
    void silentDeviceAsksAfterThreeResends_data();
    void silentDeviceAsksAfterThreeResends();
    void unplugReturnsToWaiting();
    void rebootIsFoundAgainOnNewPort();
    void factoryResetChain();
    void flashFormatErrorStillReboots();
    void loginDialogue();
    void stateTable_data();
    void stateTable();
    void stateBoxes_data();
    void stateBoxes();
    void plugBurstGivesOneSearch();

private:
    Simulator *addSim(SimConfig config = SimConfig());
    std::unique_ptr<MainWindow> makeWindow();
    QString text(const char *label) { return window->findChild<QLabel *>(label)->text(); }
    bool enabled(const char *name) { return window->findChild<QWidget *>(name)->isEnabled(); }

    std::unique_ptr<QTemporaryDir> dir;
    RecordingPrompts prompts;
    SimPortEnumerator enumerator;
    QList<Simulator *> sims;
    std::unique_ptr<MainWindow> window;
};

void tst_Connection::initTestCase()
{
    registerLinkMetaTypes();
}

void tst_Connection::init()
{
    dir = std::make_unique<QTemporaryDir>();
    AppPaths::setAppDirOverride(dir->path());
    QVERIFY(QFile::copy(VEXA_BUILT_DEVICES_DB, dir->path() + "/devices.db"));
    prompts = RecordingPrompts();
    enumerator.sims.clear();
    enumerator.extra.clear();
    enumerator.calls = 0;
}

void tst_Connection::cleanup()
{
    window.reset();
    qDeleteAll(sims);
    sims.clear();
    AppPaths::setAppDirOverride(QString());
    dir.reset();
}

Simulator *tst_Connection::addSim(SimConfig config)
{
    config.serialNumber += quint32(sims.size());
    auto *s = new Simulator(config);
    s->start();
    sims << s;
    enumerator.sims << s;
    return s;
}

std::unique_ptr<MainWindow> tst_Connection::makeWindow()
{
    auto w = std::make_unique<MainWindow>(&prompts, &enumerator);
    w->deviceLink()->setAnswerTimeout(300);
    return w;
}

void tst_Connection::onePortIsOpenedAndRead()
{
    Simulator *sim = addSim();
    window = makeWindow();
    QSignalSpy states(window->deviceLink(), &DeviceInterface::changeDeviceStatus);
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 2, 10000);
    QCOMPARE(states.at(0).first().toInt(), 1);
    QCOMPARE(states.at(1).first().toInt(), 3);
    QVERIFY(window->deviceLink()->serialPort()->isOpen());
    QCOMPARE(window->deviceLink()->serialPort()->baudRate(), 115200);
    QCOMPARE(sim->commandCount(0x8002), 1);
    QVERIFY(sim->commandCount(0x8500) > 40); // every parameter of the group was read
    QCOMPARE(text("softVer_lbl"), QString("1.3.1"));
    QCOMPARE(text("snLabel"), sim->device().serialNumber());
    QCOMPARE(text("deveui_lbl").remove('-'), sim->device().devEui().toUpper());
    QCOMPARE(text("globalStatusText"), QString("Устройство подключено"));
    QVERIFY(text("mainTitleWindow").contains("SN: " + sim->device().serialNumber()));
    auto *menu = window->findChild<QListWidget *>("terminalMenu");
    QVERIFY(!menu->isRowHidden(1));
    QVERIFY(!menu->isRowHidden(2)); // the inputs of a Vexa750
    QVERIFY(menu->isRowHidden(3));  // no serial interface
    QVERIFY(enabled("writeConfigButton") && enabled("readConfigButton") &&
            enabled("restartButton"));
    // The same single device found again is not reopened.
    const int reads = sim->commandCount(0x8002);
    emit window->enumerateDevices();
    QTest::qWait(300);
    QCOMPARE(sim->commandCount(0x8002), reads);
}

void tst_Connection::twoPortsOfferAChoice()
{
    Simulator *a = addSim();
    Simulator *b = addSim();
    window = makeWindow();
    QSignalSpy choice(window->deviceLink(), &DeviceInterface::selectDevice);
    QVERIFY(choice.wait(3000));
    const QStringList texts = choice.first().first().toStringList();
    QCOMPARE(texts.size(), 2);
    QCOMPARE(texts.at(0), a->portName() + ", S\\N: 00012345");
    QCOMPARE(texts.at(1), b->portName() + ", S\\N: 00012346");
    QVERIFY(!window->deviceLink()->serialPort()->isOpen());
    QCOMPARE(a->commandCount(0x8002) + b->commandCount(0x8002), 0);
    auto *form = window->findChild<SelectDeviceForm *>();
    QVERIFY(form);
    emit form->selectDeviceIndex(1);
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 2, 10000);
    QCOMPARE("/dev/" + window->deviceLink()->serialPort()->portName(), b->portName());
    QCOMPARE(a->commandCount(0x8002), 0);
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
    enumerator.extra << p;
    LogCapture log;
    window = makeWindow();
    QTRY_VERIFY_WITH_TIMEOUT(log.contains("No available devices."), 3000);
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
    Simulator *sim = addSim(c);
    DeviceInterface link;
    link.setUserPrompts(&prompts);
    link.setAnswerTimeout(150);
    prompts.linkAnswers = {UserPrompts::Button(answer), UserPrompts::No};
    link.serialPort()->setPortName(sim->portName());
    QSignalSpy states(&link, &DeviceInterface::changeDeviceStatus);
    LogCapture log;
    link.readConfiguration();
    QTRY_COMPARE_WITH_TIMEOUT(prompts.link.size(), 1, 5000);
    QCOMPARE(prompts.link.first(), UserPrompts::LinkPrompt::ContinueReading);
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(log.count(QString("Data IO Error, request num:  %1").arg(n)), 1);
    if (answer == UserPrompts::No) {
        QCOMPARE(sim->commandCount(0x8002), 4); // the request and three resends
        QVERIFY(log.contains("Device not respond, port closed!"));
        QCOMPARE(states.last().first().toInt(), 8);
        QVERIFY(!link.serialPort()->isOpen());
    } else {
        // A new round from a zero count: three more resends, then the question again.
        QTRY_COMPARE_WITH_TIMEOUT(prompts.link.size(), 2, 5000);
        QCOMPARE(sim->commandCount(0x8002), 8);
        QCOMPARE(log.count("Data IO Error, request num:  1"), 2);
        QVERIFY(!link.serialPort()->isOpen()); // the second answer was No
    }
}

void tst_Connection::unplugReturnsToWaiting()
{
    Simulator *sim = addSim();
    window = makeWindow();
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 2, 10000);
    const int searches = enumerator.calls;
    sim->unplug();
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 0, 3000);
    QCOMPARE(text("globalStatusText"), QString("Ожидание подключения модуля"));
    QVERIFY(!window->deviceLink()->serialPort()->isOpen());
    // The vanished terminal is a plug event: the port list is searched again.
    QTRY_VERIFY_WITH_TIMEOUT(enumerator.calls > searches, 4000);
}

void tst_Connection::rebootIsFoundAgainOnNewPort()
{
    SimConfig c;
    c.rebootDelayMs = 300;
    Simulator *sim = addSim(c);
    window = makeWindow();
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 2, 10000);
    QSignalSpy states(window->deviceLink(), &DeviceInterface::changeDeviceStatus);
    emit window->rebootDev();
    QTRY_VERIFY_WITH_TIMEOUT(!states.isEmpty() && states.first().first().toInt() == 10, 3000);
    QCOMPARE(prompts.notes.value(0), QString("Перезагрузка: Устройство перезагружается..."));
    QVERIFY(!window->findChild<QWidget *>("refreshButton")->isEnabled());
    // The device comes back on a terminal of its own and is read again without a click.
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 2, 10000);
    QCOMPARE("/dev/" + window->deviceLink()->serialPort()->portName(), sim->portName());
    QCOMPARE(sim->commandCount(0x8002), 2);
}

void tst_Connection::factoryResetChain()
{
    Simulator *sim = addSim();
    DeviceInterface link;
    link.serialPort()->setPortName(sim->portName());
    QVERIFY(link.serialPort()->open(QIODevice::ReadWrite));
    QStringList order;
    connect(sim, &Simulator::trace, this, [&order](const QString &line) {
        if (line.startsWith("> 0x"))
            order << line.mid(2, 6);
    });
    QSignalSpy states(&link, &DeviceInterface::changeDeviceStatus);
    link.eraseMemory("devFactory");
    QTRY_VERIFY_WITH_TIMEOUT(states.count() > 0, 3000);
    QCOMPARE(order, (QStringList{"0x8502", "0x8502", "0x8001"}));
    QCOMPARE(states.first().first().toInt(), 10);
}

void tst_Connection::flashFormatErrorStillReboots()
{
    Simulator *sim = addSim();
    DeviceInterface link;
    link.serialPort()->setPortName(sim->portName());
    QVERIFY(link.serialPort()->open(QIODevice::ReadWrite));
    QSignalSpy states(&link, &DeviceInterface::changeDeviceStatus);
    link.formatFlashAnswer(5);
    QCOMPARE(states.first().first().toInt(), 33);
    QCOMPARE(link.lastCommand(), quint16(0x8001));
    QTRY_COMPARE_WITH_TIMEOUT(sim->commandCount(0x8001), 1, 2000);
    link.formatFlashAnswer(0);
    QCOMPARE(states.last().first().toInt(), 32);
}

void tst_Connection::loginDialogue()
{
    SimConfig c;
    c.password = "1234";
    addSim(c);
    window = makeWindow();
    QTRY_VERIFY_WITH_TIMEOUT(window->findChild<AuthenticationForm *>(), 10000);
    auto *form = window->findChild<AuthenticationForm *>();
    form->findChild<QLineEdit *>("passLine")->setText("0000");
    form->findChild<QPushButton *>("okButton")->click();
    // A wrong password: told so, and asked again.
    QTRY_COMPARE_WITH_TIMEOUT(prompts.asked.count("Ошибка: Неверный пароль"), 1, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(window->findChild<AuthenticationForm *>(), 3000);
    form = window->findChild<AuthenticationForm *>();
    form->findChild<QLineEdit *>("passLine")->setText("1234");
    form->findChild<QPushButton *>("okButton")->click();
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 2, 10000);
    QVERIFY(window->findChildren<AuthenticationForm *>().isEmpty());
}

void tst_Connection::stateTable_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pict");
    QTest::addColumn<QStringList>("on");
    QTest::addColumn<QStringList>("off");
    const QStringList device{"readConfigButton", "restartButton", "writeConfigButton",
                             "eraseMemButton"};
    QTest::newRow("0") << 0 << "Ожидание подключения модуля"
                       << ":pict/svg/gray.svg" << QStringList{"refreshButton", "terminalMenu"}
                       << QStringList{"readConfigButton", "restartButton", "writeConfigButton",
                                      "eraseMemButton", "updateFwButton"};
    QTest::newRow("1") << 1 << "Устройство подключено"
                       << ":pict/svg/green.svg" << QStringList{"readConfigButton", "restartButton"}
                       << QStringList{};
    QTest::newRow("2") << 2 << "Устройство подключено"
                       << ":pict/svg/green.svg"
                       << QStringList{"readConfigButton", "restartButton",     "saveFileButton",
                                      "refreshButton",    "writeConfigButton", "terminalMenu",
                                      "eraseMemButton"}
                       << QStringList{};
    QTest::newRow("3") << 3 << "Считывание конфигурации"
                       << ":pict/svg/yellow.svg" << QStringList{}
                       << QStringList{"readConfigButton", "restartButton", "saveFileButton",
                                      "refreshButton",    "terminalMenu",  "eraseMemButton",
                                      "updateFwButton"};
    QTest::newRow("5") << 5 << "Запись конфигурации"
                       << ":pict/svg/yellow.svg" << QStringList{}
                       << QStringList{"writeConfigButton", "readConfigButton", "restartButton",
                                      "refreshButton",     "terminalMenu",     "eraseMemButton",
                                      "updateFwButton"};
    QTest::newRow("8") << 8 << "Устройство не отвечает"
                       << ":pict/svg/red.svg"
                       << QStringList{"restartButton", "refreshButton", "terminalMenu"}
                       << QStringList{};
    QTest::newRow("9") << 9 << "Ошибка авторизации"
                       << ":pict/svg/red.svg" << QStringList{"refreshButton"} << QStringList{};
    QTest::newRow("10 goes through 0")
        << 10 << "Ожидание подключения модуля"
        << ":pict/svg/gray.svg" << QStringList{"terminalMenu"}
        << QStringList{"refreshButton", "updateFwButton", "readConfigButton"};
    QTest::newRow("13") << 13 << "Чтение файла"
                        << ":pict/svg/yellow.svg" << QStringList{} << device;
    QTest::newRow("14") << 14 << "Запись файла"
                        << ":pict/svg/yellow.svg" << QStringList{} << device;
    QTest::newRow("20") << 20 << "Загрузка обновления"
                        << ":pict/svg/yellow.svg" << QStringList{} << device;
    QTest::newRow("34") << 34 << "Применение прошивки"
                        << ":pict/svg/yellow.svg" << QStringList{} << QStringList{};
    QTest::newRow("35") << 35 << "Устройство подключено по FSK"
                        << ":pict/svg/green.svg" << QStringList{"startFskModePushButton"}
                        << QStringList{"reRegisterButton"};
}

void tst_Connection::stateTable()
{
    QFETCH(int, state);
    QFETCH(QString, text);
    QFETCH(QString, pict);
    QFETCH(QStringList, on);
    QFETCH(QStringList, off);
    window = makeWindow();
    // A known starting point: everything enabled.
    for (const char *name :
         {"readConfigButton", "restartButton", "writeConfigButton", "eraseMemButton",
          "updateFwButton", "saveFileButton", "refreshButton", "terminalMenu"})
        window->findChild<QWidget *>(name)->setEnabled(true);
    window->setGlobalState(state);
    QCOMPARE(this->text("globalStatusText"), text);
    QCOMPARE(window->findChild<QLabel *>("globalStatusPict")->pixmap(Qt::ReturnByValue).toImage(),
             picture(pict.toLatin1().constData()));
    for (const QString &name : on)
        QVERIFY2(enabled(name.toLatin1().constData()), qPrintable(name + " should be enabled"));
    for (const QString &name : off)
        QVERIFY2(!enabled(name.toLatin1().constData()), qPrintable(name + " should be disabled"));
}

void tst_Connection::stateBoxes_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("after");
    QTest::newRow("7")
        << 7
        << "Ошибка записи: Ошибка записи конфигурации, проверьте корректность введенных "
           "параметров и повторите запись конфигурации"
        << 2;
    QTest::newRow("11") << 11 << "Смена пароля: Пароль успешно измёнен" << 2;
    QTest::newRow("12") << 12 << "Смена пароля: Ошибка изменения пароля" << 2;
    QTest::newRow("17") << 17 << "Чтение файла: Ошибка файловой системы" << 2;
    QTest::newRow("18") << 18 << "Запись файла: Ошибка файловой системы" << 2;
    QTest::newRow("22") << 22 << "Удаленное конфигурирование: Устройство не подключено к серверу!"
                        << 22;
    QTest::newRow("23") << 23 << "Удаленное конфигурирование: Устройство уже конфигурируется!"
                        << 23;
    QTest::newRow("24") << 24 << "Удаленное конфигурирование: Сервер конфигурирования недоступен!"
                        << 24;
    QTest::newRow("25")
        << 25 << "Удаленное конфигурирование: Ошибка обмена данными с сервером конфигурирования!"
        << 25;
    QTest::newRow("32") << 32 << "Информация: FLASH память успешно отформатирована" << 32;
    QTest::newRow("33") << 33 << "Ошибка: Ошибка форматирования FLASH памяти" << 33;
    QTest::newRow("37") << 37 << "Ошибка: Невозможно подключиться к удаленному устройству" << 37;
    QTest::newRow("21 nothing") << 21 << "" << 21;
    QTest::newRow("99 nothing") << 99 << "" << 99;
}

void tst_Connection::stateBoxes()
{
    QFETCH(int, state);
    QFETCH(QString, box);
    QFETCH(int, after);
    window = makeWindow();
    const QString before = text("globalStatusText");
    window->setGlobalState(state);
    QCOMPARE(prompts.asked, box.isEmpty() ? QStringList{} : QStringList{box});
    QCOMPARE(window->globalState(), after);
    if (after == state)
        QCOMPARE(text("globalStatusText"), before);
}

void tst_Connection::plugBurstGivesOneSearch()
{
    window = makeWindow();
    // Only the notices of this test: terminals of other tests come and go meanwhile.
    window->findChild<HotplugMonitor *>()->blockSignals(true);
    QTRY_VERIFY_WITH_TIMEOUT(enumerator.calls >= 1, 2000); // the search at start-up
    QTest::qWait(200);
    const int before = enumerator.calls;
    for (int i = 0; i < 10; ++i) {
        window->deviceNodesChanged();
        QTest::qWait(100);
    }
    QCOMPARE(enumerator.calls, before); // nothing while the notices go on
    QTest::qWait(MainWindow::hotplugSearchDelayMs + 500);
    QCOMPARE(enumerator.calls, before + 1);
}

QTEST_MAIN(tst_Connection)
#include "tst_connection.moc"
