// vexa7xx-cli: read and write Vexa7XX configurations from scripts, without a window.
#include "appinfo.h"
#include "clirunner.h"
#include "portenumerator.h"
#include "signalwatcher.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {
bool verbose = false;
// The link's log is for the configurator's log file; here only warnings reach the user,
// unless -v asks for everything.
void messageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg && !verbose)
        return;
    const QByteArray line = message.toLocal8Bit() + '\n';
    fputs(line.constData(), stderr);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    verbose =
        args.removeAll(QStringLiteral("-v")) + args.removeAll(QStringLiteral("--verbose")) > 0;
    qInstallMessageHandler(messageHandler);
    QTextStream out(stdout);
    QTextStream err(stderr);
    CliRunner::Options options;
    QString error;
    if (!CliRunner::parse(args, &options, &error)) {
        // A line, not the whole help: the mistake stays on the screen.
        err << "vexa7xx-cli: " << error << '\n'
            << (CliOptions::commandNames().contains(options.command)
                    ? QStringLiteral("see: vexa7xx-cli help %1\n").arg(options.command)
                    : QStringLiteral("see: vexa7xx-cli --help\n"));
        return ExitCode::Usage;
    }
    if (options.command == QLatin1String("help")) {
        out << (options.helpTopic.isEmpty() ? CliOptions::usage()
                                            : CliOptions::commandUsage(options.helpTopic));
        return ExitCode::Done;
    }
    if (options.command == QLatin1String("version")) {
        out << "vexa7xx-cli " << AppInfo::version() << '\n';
        return ExitCode::Done;
    }
    options.progressInPlace = ::isatty(STDERR_FILENO) == 1;
    // A port given by path is taken as it is, like the configurator's -port.
    PortEnumerator system;
    CliRunner runner(options, &system, out, err);
    QObject::connect(&runner, &CliRunner::finished, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    // Ctrl+C reaches the runner through the event loop, which can still tell the device (a
    // flash stops between two blocks, syslog switches the debug output off).
    SignalWatcher watcher;
    QObject::connect(&watcher, &SignalWatcher::signalled, &runner, [&runner](int number) {
        if (runner.interrupt())
            return;
        // Nothing to stop cleanly: the signal ends the program as it would have.
        ::signal(number, SIG_DFL);
        ::raise(number);
    });
    runner.start();
    return app.exec();
}
