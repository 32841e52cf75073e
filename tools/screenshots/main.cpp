// vexa7xx-screenshots: shows every page of the configurator for each model, connected to a
// simulated device, and saves one picture per page (and per metering-device page) for review.
#include "apppaths.h"
#include "appsettings.h"
#include "commands.h"
#include "configcontroller.h"
#include "consolepage.h"
#include "debugform.h"
#include "devicejournal.h"
#include "deviceinterface.h"
#include "firmwaredialog.h"
#include "firmwarestore.h"
#include "guideform.h"
#include "guiresources.h"
#include "historycontroller.h"
#include "historydialog.h"
#include "hotplugcontroller.h"
#include "mainwindow.h"
#include "net.h"
#include "portenumerator.h"
#include "relaycontroller.h"
#include "remoteconnectform.h"
#include "remoteserver.h"
#include "selectdeviceform.h"
#include "settingsform.h"
#include "shots.h"
#include "showntexts.h"
#include "simulator.h"
#include "statuscontroller.h"
#include "statusrecords.h"
#include "updateserver.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <memory>
#include <vector>

using namespace Shots;

namespace {
// The console with the device's debug output streaming, and the dialog that started it.
int shootDebugConsole(MainWindow &window, const QString &out, int model)
{
    auto *menu = window.findChild<QListWidget *>(QStringLiteral("terminalMenu"));
    // A fresh console, a few status passes on the device's page, then the console.
    waitFor([&] { return window.globalState() == 2 && !window.isBusy(); }, 30000);
    window.findChild<QPushButton *>(QStringLiteral("clearConsoleButton"))->click();
    menu->setCurrentRow(0);
    window.itemSelected(menu->model()->index(0, 0));
    settle(3500);
    menu->setCurrentRow(7);
    window.itemSelected(menu->model()->index(7, 0));
    // Two commands typed (not 8002: the device's answer to it has the window identify and read
    // the device again), their answers decoded; the status polling of the pages shown before
    // is hidden, then shown.
    auto *line = window.findChild<QComboBox *>(QStringLiteral("cmdLine"));
    auto *send = window.findChild<QPushButton *>(QStringLiteral("sendCommand"));
    for (const char *cmd : {"8003", "860000"}) {
        line->setEditText(QLatin1String(cmd));
        send->click();
        settle(400);
    }
    saveShot(&window, QStringLiteral("%1/vexa%2_console_decoded.png").arg(out).arg(model));
    auto *filter = window.findChild<QCheckBox *>(QStringLiteral("hidePollingCheckBox"));
    filter->setChecked(false);
    settle(100);
    saveShot(&window, QStringLiteral("%1/vexa%2_console_unfiltered.png").arg(out).arg(model));
    filter->setChecked(true);
    window.on_debugModeButton_clicked();
    auto *form = window.findChild<DebugForm *>();
    if (!form)
        return 0;
    auto *levels = form->findChild<QComboBox *>(QStringLiteral("levelDbgcomboBox"));
    levels->setCurrentIndex(levels->count() - 1); // the most detailed level
    auto *sources = form->findChild<QComboBox *>(QStringLiteral("sourceDbgComboBox"));
    sources->setCurrentIndex(1); // every subsystem
    settle(100);
    saveShot(form, QStringLiteral("%1/vexa%2_debugform.png").arg(out).arg(model));
    form->findChild<QPushButton *>(QStringLiteral("runDebugButton"))->click();
    settle(3000);
    saveShot(&window, QStringLiteral("%1/vexa%2_console_debug.png").arg(out).arg(model));
    // Switched off as the window's question would on leaving (a box would wait for a click).
    window.consolePage()->sendDebugCommand(TextCmd::sysLogOff());
    window.consolePage()->setDebugMode(false);
    menu->setCurrentRow(0);
    window.itemSelected(menu->model()->index(0, 0));
    return 4;
}

// The live status panel: every tab at two moments a few passes apart (the counters move), and
// the information views opened from its links.
int shootStatus(MainWindow &window, const QString &out, int model)
{
    int saved = 0;
    auto *menu = window.findChild<QListWidget *>(QStringLiteral("terminalMenu"));
    menu->setCurrentRow(0);
    window.itemSelected(menu->model()->index(0, 0));
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("statusTabWidget"));
    for (int moment = 1; moment <= 2; ++moment) {
        settle(4000);
        for (int tab = 0; tabs && tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            settle(50);
            saveShot(&window, QStringLiteral("%1/vexa%2_status%3_tab%4.png")
                                  .arg(out)
                                  .arg(model)
                                  .arg(moment)
                                  .arg(tab));
            ++saved;
        }
    }
    window.statusController()->showTimeParamsForm();
    window.statusController()->showNetInfoForm();
    settle(2500); // a pass fills the views
    int view = 0;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w == &window || !w->isVisible())
            continue;
        saveShot(w, QStringLiteral("%1/vexa%2_view_%3.png")
                        .arg(out)
                        .arg(model)
                        .arg(w->objectName().isEmpty() ? QString::number(view) : w->objectName()));
        ++view;
        ++saved;
        w->close();
    }
    return saved;
}

// A clamped value said under its field: a transmit period beyond any number and no attempts.
int shootClamp(MainWindow &window, const QString &out, int model)
{
    auto *menu = window.findChild<QListWidget *>(QStringLiteral("terminalMenu"));
    menu->setCurrentRow(1);
    window.itemSelected(menu->model()->index(1, 0));
    for (const auto &typed : {std::make_pair("txPeriodLineEdit", "99999999999"),
                              std::make_pair("nbTrialsLineEdit", "0")}) {
        auto *line = window.findChild<QLineEdit *>(QLatin1String(typed.first));
        if (!line)
            return 0;
        line->setText(QLatin1String(typed.second));
        emit line->editingFinished();
    }
    settle(300);
    saveShot(&window, QStringLiteral("%1/vexa%2_clamped_fields.png").arg(out).arg(model));
    window.readConfig(); // the edits are dropped
    waitFor([&] { return window.globalState() == 2; }, 15000);
    settle(500);
    return 1;
}

// The settings form and the built-in guide.
int shootSettingsAndGuide(MainWindow &window, const QString &out)
{
    int saved = 0;
    window.findChild<QToolButton *>(QStringLiteral("settingsButton"))->pressed();
    settle(300);
    if (auto *form = window.findChild<SettingsForm *>(); form && form->isVisible()) {
        // A remote-configuration server of its own, as typed in: Save is offered.
        auto *host = form->findChild<QLineEdit *>(QStringLiteral("remoteHostEdit"));
        host->setText(QStringLiteral("remote.vexa7xx.example"));
        emit host->textEdited(host->text());
        form->findChild<QSpinBox *>(QStringLiteral("remotePortSpin"))->setValue(12360);
        settle(100);
        saveShot(form, QStringLiteral("%1/settingsform.png").arg(out));
        ++saved;
        form->findChild<QPushButton *>(QStringLiteral("cancelButton"))->click();
        settle(100);
    }
    window.showGuide();
    settle(500);
    if (auto *guide = window.findChild<GuideForm *>()) {
        saveShot(guide, QStringLiteral("%1/guide.png").arg(out));
        ++saved;
        guide->close();
        settle(100);
    }
    return saved;
}

// The remote connection failing, with the device on the cable read again after: once with
// nothing listening at the server's address, once with another service there that greets
// and hangs up.
int shootRemoteFailure(MainWindow &window, const QString &out, int model)
{
    QTcpServer other;
    if (!other.listen(QHostAddress::LocalHost))
        return 0;
    QObject::connect(&other, &QTcpServer::newConnection, &other, [&other] {
        QTcpSocket *s = other.nextPendingConnection();
        s->write("SSH-2.0-OpenSSH_9.2\r\n");
        s->disconnectFromHost();
    });
    quint16 refusedPort = 0;
    {
        QTcpServer closed;
        if (!closed.listen(QHostAddress::LocalHost))
            return 0;
        refusedPort = closed.serverPort();
    }
    int saved = 0;
    for (const auto &server : {std::make_pair("refused", refusedPort),
                               std::make_pair("other_service", other.serverPort())}) {
        AppSettings::setRemoteServer(QStringLiteral("127.0.0.1"), server.second);
        window.relayController()->startRemoteConfig();
        settle(300);
        RemoteConnectForm *form = nullptr;
        for (auto *f : window.findChildren<RemoteConnectForm *>())
            form = f->isVisible() ? f : form;
        if (!form)
            break;
        form->findChild<QLineEdit *>(QStringLiteral("imeiLineEdit"))
            ->setText(QStringLiteral("356938035643809"));
        form->findChild<QLineEdit *>(QStringLiteral("passLineEdit"))->setText(QStringLiteral("1"));
        form->findChild<QPushButton *>(QStringLiteral("connectButton"))->click();
        // The failure is told in a report (OK only). A search of the cable device that ends
        // while the connection is being made may also ask whether to leave remote mode.
        QMessageBox *box = nullptr;
        waitFor([&] { return (box = shownBox(QMessageBox::Ok)) != nullptr; }, 30000);
        if (!box)
            break;
        settle(300);
        const QString picture = QStringLiteral("%1/vexa%2_remote_failed_%3")
                                    .arg(out)
                                    .arg(model)
                                    .arg(QLatin1String(server.first));
        saveShot(box, picture + QStringLiteral(".png"));
        saveOver(&window, box, picture + QStringLiteral("_window.png"));
        saved += 2;
        box->button(QMessageBox::Ok)->click();
        while (QMessageBox *question = shownBox(QMessageBox::No))
            question->button(QMessageBox::No)->click();
        waitFor([&] { return window.globalState() == 2 && !window.deviceLink()->isRemoteMode(); },
                15000);
        settle(1500);
        saveShot(&window, picture + QStringLiteral("_device_back.png"));
        ++saved;
    }
    AppSettings::setRemoteServer(QString(), 0);
    return saved;
}

// The device-selection dialog: two devices found on the cable, the computer's ports behind
// "other port", and the ports offered when no device is found.
int shootDeviceChoice(const QString &out)
{
    // The ports in a folder of a short name: the lists show them as a computer's ports read.
    QTemporaryDir dev(QDir::tempPath() + QStringLiteral("/devXXXXXX"));
    const QString appDir = dev.path();
    std::vector<std::unique_ptr<Simulator>> sims;
    QList<PortInfo> ports;
    for (int i = 0; i < 2; ++i) {
        SimConfig config;
        config.model = i == 0 ? 750 : 760;
        config.serialNumber = 12345 + quint32(i);
        config.joinDelayMs = 500;
        config.linkPath = appDir + QStringLiteral("/ttyACM%1").arg(i);
        sims.push_back(std::make_unique<Simulator>(config));
        sims.back()->start();
        ports << simulatedPort(*sims.back(), config.linkPath);
    }
    // An adapter of another maker: offered among the ports, never searched.
    PortInfo adapter;
    adapter.portName = appDir + QStringLiteral("/ttyUSB0");
    adapter.hasIds = true;
    adapter.vendorId = 0x1a86;
    adapter.productId = 0x7523;
    QFile(adapter.portName).open(QIODevice::WriteOnly);
    ports << adapter;
    FixedPortEnumerator enumerator(ports);
    MainWindow window(nullptr, &enumerator);
    window.show();
    int saved = 0;
    const auto form = [&] {
        SelectDeviceForm *shown = nullptr;
        for (auto *f : window.findChildren<SelectDeviceForm *>())
            shown = f->isVisible() ? f : shown;
        return shown;
    };
    waitFor([&] { return form() != nullptr; }, 15000);
    if (SelectDeviceForm *f = form()) {
        settle(300);
        saveShot(f, QStringLiteral("%1/selectdevice1_two_devices.png").arg(out));
        f->findChild<QPushButton *>(QStringLiteral("otherPortButton"))->click();
        settle(200);
        saveShot(f, QStringLiteral("%1/selectdevice2_other_port.png").arg(out));
        f->reject();
        dropClosed();
        saved += 2;
        settle(300);
    }
    // Only the adapter left: a search asked for finds no device and offers the ports.
    enumerator.setPorts({adapter});
    window.hotplugController()->showDeviceList({});
    settle(300);
    if (SelectDeviceForm *f = form()) {
        saveShot(f, QStringLiteral("%1/selectdevice3_no_device.png").arg(out));
        ++saved;
        f->reject();
        settle(300);
    }
    window.close();
    return saved;
}

// What waits to be written: edited fields marked (one changed to fit its range), the page
// marked in the list and the count on the write button; the write confirmation listing each
// change; an incomplete key marked and the write refused. The device is read again after.
int shootPendingChanges(MainWindow &window, const QString &out, int model)
{
    auto *menu = window.findChild<QListWidget *>(QStringLiteral("terminalMenu"));
    menu->setCurrentRow(1);
    window.itemSelected(menu->model()->index(1, 0));
    auto edit = [&](const char *name, const QString &text) {
        auto *line = window.findChild<QLineEdit *>(QLatin1String(name));
        line->setText(text);
        emit line->editingFinished();
    };
    edit("txPeriodLineEdit", QStringLiteral("7200"));
    edit("keepAliveLine", QStringLiteral("300")); // changed to 255, the maximum
    auto *power = window.findChild<QComboBox *>(QStringLiteral("txPowerComboBox"));
    power->setCurrentIndex((power->currentIndex() + 1) % power->count());
    settle(300);
    int saved = 0;
    saveShot(&window, QStringLiteral("%1/vexa%2_pending1_marks.png").arg(out).arg(model));
    ++saved;
    // The boxes are modal: each is pictured and answered from inside its own loop.
    auto answerBox = [&](const QString &picture, QMessageBox::StandardButton answer) {
        QTimer::singleShot(800, [&, picture, answer] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            saveShot(box, QStringLiteral("%1/vexa%2_%3.png").arg(out).arg(model).arg(picture));
            ++saved;
            box->button(answer)->click();
        });
    };
    answerBox(QStringLiteral("pending2_confirmation"), QMessageBox::No);
    window.configController()->write();
    edit("appKey_line", QStringLiteral("12ab"));
    settle(300);
    saveShot(&window, QStringLiteral("%1/vexa%2_pending3_incomplete_key.png").arg(out).arg(model));
    ++saved;
    answerBox(QStringLiteral("pending4_write_refused"), QMessageBox::Ok);
    window.configController()->write();
    window.readConfig();
    waitFor([&] { return window.globalState() == 2; }, 15000);
    return saved;
}

// A device in the field read through the simulated remote-configuration server: the
// connection dialog filled in, and the window with the device read remotely.
int shootRemote(const QString &out)
{
    SimConfig config;
    config.joinDelayMs = 500;
    config.password = QStringLiteral("1234");
    RemoteServer server(config);
    if (!server.listen(0))
        return 0;
    AppSettings::setRemoteServer(QStringLiteral("127.0.0.1"), server.port());
    FixedPortEnumerator noPorts({});
    MainWindow window(nullptr, &noPorts);
    window.show();
    settle(500);
    window.relayController()->startRemoteConfig();
    auto *form = window.findChild<RemoteConnectForm *>();
    if (!form)
        return 0;
    form->findChild<QLineEdit *>(QStringLiteral("imeiLineEdit"))->setText(server.imeis().first());
    form->findChild<QLineEdit *>(QStringLiteral("passLineEdit"))->setText(config.password);
    settle(100);
    saveShot(form, QStringLiteral("%1/remote_connectform.png").arg(out));
    form->findChild<QPushButton *>(QStringLiteral("connectButton"))->click();
    waitFor([&] { return window.globalState() == 2; }, 15000);
    settle(2500);
    saveShot(&window, QStringLiteral("%1/remote_vexa750.png").arg(out));
    window.relayController()->startRemoteConfig(); // goodbye
    settle(300);
    window.close();
    return 2;
}

// The radio relay: the FSK page connected to the remote device, and the remote device's
// configuration read through the relay; then back to the local device.
int shootRelay(MainWindow &window, const QString &out, int model, const SimDevice &remote)
{
    auto *menu = window.findChild<QListWidget *>(QStringLiteral("terminalMenu"));
    auto show = [&](int row) {
        menu->setCurrentRow(row);
        window.itemSelected(menu->model()->index(row, 0));
        settle(300);
    };
    auto *serial = window.findChild<QLabel *>(QStringLiteral("snLabel"));
    const QString localSerial = serial->text();
    show(6);
    window.findChild<QLineEdit *>(QStringLiteral("remDevEuiLineEdit"))->setText(remote.devEui());
    auto *button = window.findChild<QPushButton *>(QStringLiteral("startFskModePushButton"));
    button->click();
    waitFor([&] { return window.globalState() == 2 && serial->text() == remote.serialNumber(); },
            60000);
    if (serial->text() != remote.serialNumber())
        return 0;
    int saved = 0;
    for (int row : {6, 0, 1}) {
        show(row);
        saveShot(&window, QStringLiteral("%1/vexa%2_relay_to_vexa%3_%4.png")
                              .arg(out)
                              .arg(model)
                              .arg(remote.model())
                              .arg(row));
        ++saved;
    }
    show(6);
    button->click();
    waitFor([&] { return window.globalState() == 2 && serial->text() == localSerial; }, 30000);
    show(0);
    return saved;
}

// The device's history after a write of the window (with its check), the write selected.
int shootHistory(MainWindow &window, const QString &out, int model)
{
    window.configController()->replaceElement(QStringLiteral("tx_period"),
                                              {{QStringLiteral("param"), QStringLiteral("00001c20")}});
    QTimer::singleShot(800, [] {
        if (QMessageBox *box = shownBox(QMessageBox::Yes))
            box->button(QMessageBox::Yes)->click();
    });
    window.configController()->write();
    waitFor([&] { return window.globalState() == 2 && !window.configController()->hasChanges(); },
            30000);
    settle(1500);
    while (QMessageBox *box = shownBox(QMessageBox::Ok)) {
        box->button(QMessageBox::Ok)->click();
        dropClosed();
    }
    HistoryController *history = window.historyController();
    history->journal()->waitForDrained();
    history->showHistory();
    HistoryDialog *dialog = history->dialog();
    if (!dialog)
        return 0;
    for (const JournalRecord &j :
         history->journal()->jobs(window.connectedDevice().serialNumber)) {
        if (j.kind == JournalRecord::Kind::Write && dialog->selectJob(j.id))
            break;
    }
    settle(300);
    saveShot(dialog, QStringLiteral("%1/vexa%2_history.png").arg(out).arg(model));
    dialog->close();
    dropClosed();
    return 1;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    initGuiResources();
    QFontDatabase::addApplicationFont(QStringLiteral(":/font/font/ptsans.ttf"));
    QApplication::setFont(QFont(QStringLiteral("PT Sans"), 10));
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    registerLinkMetaTypes();
    if (argc < 2) {
        std::fprintf(stderr, "usage: vexa7xx-screenshots OUTPUT_FOLDER [ru|en]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString lang = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("ru");
    QDir().mkpath(out);
    checkEnglish = lang == QLatin1String("en");

    // A private application folder: the real settings and history stay untouched.
    QTemporaryDir appDir;
    const QString exeDir = QCoreApplication::applicationDirPath();
    QFile::copy(exeDir + QStringLiteral("/devices.db"),
                appDir.path() + QStringLiteral("/devices.db"));
    QDir(appDir.path()).mkdir(QStringLiteral("translations"));
    QFile::copy(exeDir + QStringLiteral("/translations/en.qm"),
                appDir.path() + QStringLiteral("/translations/en.qm"));
    AppPaths::setAppDirOverride(appDir.path());
    {
        QFile settings(appDir.path() + QStringLiteral("/settings.conf"));
        settings.open(QIODevice::WriteOnly);
        settings.write("[Language]\nlang=" + lang.toLatin1() + "\n");
    }

    int saved = 0;
    for (int model : {701, 750, 760}) {
        SimConfig config;
        config.model = model;
        config.joinDelayMs = 500;
        // The device is reached through a link that follows it across a reboot.
        config.linkPath = appDir.path() + QStringLiteral("/port%1").arg(model);
        config.remoteModel = 760; // the relay reaches another model than the local one
        // The Vexa750's firmware transfer is pictured under way: its answers come as late as
        // through a real USB adapter, not at the speed of a pseudo-terminal on an idle machine.
        if (model == 750)
            config.delayMs = 10;
        Simulator sim(config);
        sim.start();
        const PortInfo p = simulatedPort(sim, config.linkPath);
        FixedPortEnumerator enumerator({p});
        MainWindow window(nullptr, &enumerator);
        window.hotplugController()->watchFolder(appDir.path());
        window.show();
        waitFor([&] { return window.globalState() == 2; }, 15000);
        settle(1500);
        auto *menu = window.findChild<QListWidget *>(QStringLiteral("terminalMenu"));
        auto *pages = window.findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
        menu->setRowHidden(7, false); // the console too
        for (int row = 0; row < menu->count(); ++row) {
            if (menu->isRowHidden(row))
                continue;
            menu->setCurrentRow(row);
            window.itemSelected(menu->model()->index(row, 0));
            settle(300);
            const QString name = QStringLiteral("%1/vexa%2_%3_%4.png")
                                     .arg(out)
                                     .arg(model)
                                     .arg(row)
                                     .arg(pages->currentWidget()->objectName());
            saveShot(&window, name);
            ++saved;
            if (pages->currentWidget()->objectName() != QLatin1String("interfacesPage"))
                continue;
            auto *meters = window.findChild<QComboBox *>(QStringLiteral("meteringDevComboBox"));
            for (int i = 0; meters && i < meters->count(); ++i) {
                meters->setCurrentIndex(i);
                settle(100);
                saveShot(
                    &window,
                    QStringLiteral("%1/vexa%2_%3_meter%4.png").arg(out).arg(model).arg(row).arg(i));
                ++saved;
            }
        }
        if (model == 701) {
            saved += shootSettingsAndGuide(window, out);
            saved += shootRemoteFailure(window, out, model);
        }
        if (model == 750) {
            saved += shootClamp(window, out, model);
            saved += shootPendingChanges(window, out, model);
            saved += shootRelay(window, out, model, *sim.device().remoteDevice());
        }
        saved += shootDebugConsole(window, out, model);
        saved += shootStatus(window, out, model);
        if (model == 750) {
            saved += shootFirmwareUpdate(window, out, model);
            saved += shootHistory(window, out, model);
        }
        window.close();
    }
    saved += shootSelfUpdate(out, appDir.path());
    saved += shootDeviceChoice(out);
    saved += shootRemote(out);
    QTextStream(stdout) << saved << " pictures in " << out << '\n';
    if (!notEnglish.isEmpty()) {
        notEnglish.removeDuplicates();
        QTextStream(stderr) << "Not English:\n" << notEnglish.join(QLatin1Char('\n')) << '\n';
        return 1;
    }
    return 0;
}
