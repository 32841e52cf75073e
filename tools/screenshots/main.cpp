// vexa7xx-screenshots: shows every page of the configurator for each model, connected to a
// simulated device, and saves one picture per page (and per metering-device page) for review.
#include "apppaths.h"
#include "commands.h"
#include "configcontroller.h"
#include "consolepage.h"
#include "debugform.h"
#include "firmwarestore.h"
#include "guiresources.h"
#include "hotplugcontroller.h"
#include "mainwindow.h"
#include "portenumerator.h"
#include "relaycontroller.h"
#include "remoteconnectform.h"
#include "remoteserver.h"
#include "showntexts.h"
#include "simulator.h"
#include "statuscontroller.h"
#include "statusrecords.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QToolButton>

#include <cstdio>

namespace {
// In an English run, what a picture shows must be English: every visible text of the windows on
// screen is looked at when a picture is taken, and what has Cyrillic letters is listed.
bool checkEnglish = false;
QStringList notEnglish;

void collectNotEnglish(const QString &picture)
{
    static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04ff}]"));
    for (const ShownTexts::Text &t : ShownTexts::onScreen()) {
        // A language's name is written in that language, so its speakers find it.
        if (t.text.contains(cyrillic) &&
            t.widget->objectName() != QLatin1String("languageComboBox"))
            notEnglish << picture + QStringLiteral(": ") + t.where + QStringLiteral(": ") + t.text;
    }
}

void saveShot(QWidget *w, const QString &path)
{
    w->grab().save(path);
    if (checkEnglish)
        collectNotEnglish(QFileInfo(path).fileName());
}
} // namespace

namespace {
void waitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void settle(int ms)
{
    waitFor([] { return false; }, ms);
}

// The console with the device's debug output streaming, and the dialog that started it.
int shootDebugConsole(MainWindow &window, const QString &out, int model)
{
    auto *menu = window.findChild<QListWidget *>(QStringLiteral("terminalMenu"));
    menu->setCurrentRow(7);
    window.itemSelected(menu->model()->index(7, 0));
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
    return 2;
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
// A firmware update from the store at three moments: the question, the transfer under way and
// the device back with the new version.
int shootFirmwareUpdate(MainWindow &window, const QString &out, int model)
{
    const QString version = QStringLiteral("1.3.9");
    QByteArray image = FirmwareStore::header(quint16(model), version);
    image.append(QByteArray(256 * 1024 - image.size(), '\x5a'));
    QFile file(FirmwareStore::folder() + QLatin1Char('/') +
               FirmwareStore::downloadName(FirmwareStore::parseHeader(image)));
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size())
        return 0;
    file.close();
    window.firmwareController()->availableNewFw();
    settle(300);
    auto *button = window.findChild<QToolButton *>(QStringLiteral("updateFwButton"));
    int saved = 0;
    // The question is modal: it is pictured and answered from inside its own loop.
    QTimer::singleShot(800, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        saveShot(box, QStringLiteral("%1/vexa%2_fwupdate1_question.png").arg(out).arg(model));
        ++saved;
        box->button(QMessageBox::Yes)->click();
    });
    button->click();
    auto *progress = window.findChild<QProgressBar *>(QStringLiteral("progressBar"));
    waitFor([&] { return progress->maximum() > 0 && progress->value() > progress->maximum() / 3; },
            30000);
    saveShot(&window, QStringLiteral("%1/vexa%2_fwupdate2_progress.png").arg(out).arg(model));
    ++saved;
    auto *shown = window.findChild<QLabel *>(QStringLiteral("softVer_lbl"));
    waitFor([&] { return shown->text() == version && window.globalState() == 2; }, 60000);
    settle(1000);
    saveShot(&window, QStringLiteral("%1/vexa%2_fwupdate3_done.png").arg(out).arg(model));
    return ++saved;
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
int shootRemote(const QString &out, const QString &settingsPath)
{
    SimConfig config;
    config.joinDelayMs = 500;
    config.password = QStringLiteral("1234");
    RemoteServer server(config);
    if (!server.listen(0))
        return 0;
    {
        QFile settings(settingsPath);
        settings.open(QIODevice::Append);
        settings.write(QStringLiteral("[UpdateServer]\nIP=127.0.0.1\nPort=%1\n")
                           .arg(server.port())
                           .toLatin1());
    }
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
        Simulator sim(config);
        sim.start();
        PortInfo p;
        p.portName = config.linkPath;
        p.hasIds = true;
        p.vendorId = 0x0483;
        p.productId = 0x5740;
        p.serialNumber = sim.device().usbSerialNumber();
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
        if (model == 750) {
            saved += shootPendingChanges(window, out, model);
            saved += shootRelay(window, out, model, *sim.device().remoteDevice());
        }
        saved += shootDebugConsole(window, out, model);
        saved += shootStatus(window, out, model);
        if (model == 750)
            saved += shootFirmwareUpdate(window, out, model);
        window.close();
    }
    saved += shootRemote(out, appDir.path() + QStringLiteral("/settings.conf"));
    QTextStream(stdout) << saved << " pictures in " << out << '\n';
    if (!notEnglish.isEmpty()) {
        notEnglish.removeDuplicates();
        QTextStream(stderr) << "Not English:\n" << notEnglish.join(QLatin1Char('\n')) << '\n';
        return 1;
    }
    return 0;
}
