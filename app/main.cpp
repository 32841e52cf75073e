#include "apppaths.h"
#include "debuglogwindow.h"
#include "guiresources.h"
#include "loghandler.h"
#include "mainwindow.h"

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QFontDatabase>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    initGuiResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/configurator.ico")));
    QFontDatabase::addApplicationFont(QStringLiteral(":/font/font/ptsans.ttf"));
    QApplication::setFont(QFont(QStringLiteral("PT Sans"), 10));

    bool withConsole = false;
    bool developMode = false;
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
        }
    }

    DebugLogWindow *debugLog = nullptr;
    if (withConsole) {
        debugLog = new DebugLogWindow;
        debugLog->show();
    }

    QCoreApplication::addLibraryPath(QStringLiteral("./sqldrivers/"));
    QCoreApplication::addLibraryPath(QStringLiteral("."));

    MainWindow window;
    if (window.startupFailed()) {
        delete debugLog;
        return 0;
    }
    if (debugLog) {
        QObject::connect(&window, &MainWindow::closeDebugLog, debugLog, &QWidget::close);
        QObject::connect(&window, &MainWindow::deleteDebugLog, debugLog, &QObject::deleteLater);
    }

    qDebug() << "APP develop mode is: " << (developMode ? "true" : "false");
    window.show();
    return app.exec();
}
