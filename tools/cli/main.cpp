// vexa7xx-cli: read and write Vexa7XX configurations from scripts, without a window.
#include "clirunner.h"
#include "portenumerator.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {
bool verbose = false;
int signalPipe[2] = {-1, -1};

void onInterrupt(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &c, 1);
}

// Ctrl+C reaches the runner in its event loop, so a flash can stop between two blocks and say
// how to resume. Installed without SA_RESTART: a question waiting for its answer returns as
// "no" instead of waiting on.
void catchInterrupt(QCoreApplication &app, CliRunner &runner)
{
    if (::pipe(signalPipe) != 0)
        return;
    struct sigaction sa = {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&runner] {
        char c = 0;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &c, 1);
        if (runner.interrupt())
            return;
        // Nothing to stop cleanly: the signal ends the program as it would have.
        ::signal(SIGINT, SIG_DFL);
        ::raise(SIGINT);
    });
}

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
        err << "vexa7xx-cli: " << error << "\n\n" << CliRunner::usage();
        return 2;
    }
    if (options.command == QLatin1String("help")) {
        out << CliRunner::usage();
        return 0;
    }
    options.progressInPlace = ::isatty(STDERR_FILENO) == 1;
    // A port given by path is taken as it is, like the configurator's -port.
    PortEnumerator system;
    CliRunner runner(options, &system, out, err);
    catchInterrupt(app, runner);
    QObject::connect(&runner, &CliRunner::finished, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    runner.start();
    return app.exec();
}
