#include "apppaths.h"
#include "appsettings.h"
#include "debuglogwindow.h"
#include "deviceinterface.h"
#include "guiresources.h"
#include "hotplugcontroller.h"
#include "loghandler.h"
#include "mainwindow.h"
#include "portcheck.h"
#include "portenumerator.h"
#include "updateunpacker.h"

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QIcon>

int main(int argc, char *argv[])
{
    // The arguments as the program was started: QApplication takes the options Qt reads
    // (-style, -platform...) out of argv, and an update starts the new version with all of them.
    QStringList startArguments;
    for (int i = 1; i < argc; ++i)
        startArguments << QString::fromLocal8Bit(argv[i]);
    QApplication app(argc, argv);
#ifdef Q_OS_WIN
    // There argv is in the ANSI code page, and Qt keeps the whole command line apart.
    startArguments = QCoreApplication::arguments().mid(1);
#endif
    UpdateUnpacker::setProgramArguments(startArguments);
    initGuiResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/configurator.ico")));
    QFontDatabase::addApplicationFont(QStringLiteral(":/font/font/ptsans.ttf"));
    QApplication::setFont(QFont(QStringLiteral("PT Sans"), 10));

    bool withConsole = false;
    bool developMode = false;
    QString explicitPort;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QLatin1String("-log")) {
            QFile::remove(AppPaths::filePath(QStringLiteral("vexa900.log")));
            LogHandler::install();
        } else if (arg == QLatin1String("-console")) {
            LogHandler::install();
            withConsole = true;
        } else if (arg == QLatin1String("-fs")) {
            developMode = true;
        } else if (arg == QLatin1String("-port") && i + 1 < args.size()) {
            explicitPort = PortCheck::location(args.at(++i));
        }
    }

    // Which program runs and how it was started: after an update the log shows that the new
    // version came up from the program folder with the arguments the old one had.
    qDebug() << "APP started from" << QCoreApplication::applicationFilePath() << "with arguments"
             << startArguments;

    DebugLogWindow *debugLog = nullptr;
    if (withConsole) {
        debugLog = new DebugLogWindow;
        debugLog->show();
    }

    QCoreApplication::addLibraryPath(QStringLiteral("./sqldrivers/"));
    QCoreApplication::addLibraryPath(QStringLiteral("."));

    // "-port NAME": that port is the only candidate and counts as a Vexa7XX whatever its USB
    // identifiers (adapters of other makers, the simulator's pseudo-terminal).
    std::unique_ptr<FixedPortEnumerator> explicitEnumerator;
    if (!explicitPort.isEmpty())
        explicitEnumerator = std::make_unique<FixedPortEnumerator>(
            QList<PortInfo>{ChosenPortEnumerator::asDevice(explicitPort)});

    MainWindow window(nullptr, explicitEnumerator.get());
    if (window.startupFailed()) {
        delete debugLog;
        return 0;
    }
    if (debugLog) {
        QObject::connect(&window, &MainWindow::closeDebugLog, debugLog, &QWidget::close);
        QObject::connect(&window, &MainWindow::deleteDebugLog, debugLog, &QObject::deleteLater);
    }

    if (!explicitPort.isEmpty() && explicitPort.startsWith(QLatin1Char('/')))
        window.hotplugController()->watchFolder(QFileInfo(explicitPort).absolutePath());

    qDebug() << "APP develop mode is: " << (developMode ? "true" : "false");
    window.show();
    return app.exec();
}
