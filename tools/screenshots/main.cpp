// vexa7xx-screenshots: shows every page of the configurator for each model, connected to a
// simulated device, and saves one picture per page (and per metering-device page) for review.
#include "apppaths.h"
#include "commands.h"
#include "consolepage.h"
#include "debugform.h"
#include "guiresources.h"
#include "mainwindow.h"
#include "portenumerator.h"
#include "simulator.h"
#include "statusrecords.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

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
    form->grab().save(QStringLiteral("%1/vexa%2_debugform.png").arg(out).arg(model));
    form->findChild<QPushButton *>(QStringLiteral("runDebugButton"))->click();
    settle(3000);
    window.grab().save(QStringLiteral("%1/vexa%2_console_debug.png").arg(out).arg(model));
    // Switched off as the window's question would on leaving (a box would wait for a click).
    window.consolePage()->sendDebugCommand(TextCmd::sysLogOff());
    window.setTerminalDebugMode(false);
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
            window.grab().save(QStringLiteral("%1/vexa%2_status%3_tab%4.png")
                                   .arg(out)
                                   .arg(model)
                                   .arg(moment)
                                   .arg(tab));
            ++saved;
        }
    }
    window.showTimeParamsForm();
    window.showNetInfoForm();
    settle(2500); // a pass fills the views
    int view = 0;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w == &window || !w->isVisible())
            continue;
        w->grab().save(
            QStringLiteral("%1/vexa%2_view_%3.png")
                .arg(out)
                .arg(model)
                .arg(w->objectName().isEmpty() ? QString::number(view) : w->objectName()));
        ++view;
        ++saved;
        w->close();
    }
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
        Simulator sim(config);
        sim.start();
        PortInfo p;
        p.portName = sim.portName();
        p.hasIds = true;
        p.vendorId = 0x0483;
        p.productId = 0x5740;
        p.serialNumber = sim.device().usbSerialNumber();
        FixedPortEnumerator enumerator({p});
        MainWindow window(nullptr, &enumerator);
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
            window.grab().save(name);
            ++saved;
            if (pages->currentWidget()->objectName() != QLatin1String("interfacesPage"))
                continue;
            auto *meters = window.findChild<QComboBox *>(QStringLiteral("meteringDevComboBox"));
            for (int i = 0; meters && i < meters->count(); ++i) {
                meters->setCurrentIndex(i);
                settle(100);
                window.grab().save(
                    QStringLiteral("%1/vexa%2_%3_meter%4.png").arg(out).arg(model).arg(row).arg(i));
                ++saved;
            }
        }
        saved += shootDebugConsole(window, out, model);
        saved += shootStatus(window, out, model);
        window.close();
    }
    QTextStream(stdout) << saved << " pictures in " << out << '\n';
    return 0;
}
