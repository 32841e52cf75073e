// vexa7xx-update-sim: the update server on loopback, serving a folder of firmware images and
// configurator archives, with the faults a real server or network can show.
#include "updateserver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <QSocketNotifier>

#include <csignal>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &c, 1);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated update server. ROOT/firmware/*.bin: firmware images (by their header);\n"
        "ROOT/configurator/*.zip: configurator archives (version from the file name).\n"
        "Prints the TCP port on the first line."));
    parser.addHelpOption();
    const QCommandLineOption root(QStringLiteral("root"), QStringLiteral("Folder served."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("TCP port (0: any free one)."),
                                  QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption ftpPort(
        QStringLiteral("ftp-port"),
        QStringLiteral("Also serve the archives by FTP on this port (python3-pyftpdlib)."),
        QStringLiteral("N"));
    const QCommandLineOption partSize(QStringLiteral("part-size"),
                                      QStringLiteral("Bytes per part (1024)."), QStringLiteral("N"));
    const QCommandLineOption corrupt(QStringLiteral("corrupt-part"),
                                     QStringLiteral("Send part K once with its data cut short."),
                                     QStringLiteral("K"));
    const QCommandLineOption noResend(QStringLiteral("no-resend"),
                                      QStringLiteral("Go on after a refused part."));
    const QCommandLineOption stallAfter(QStringLiteral("stall-after"),
                                        QStringLiteral("Send nothing after K parts."),
                                        QStringLiteral("K"));
    const QCommandLineOption stallAnswers(QStringLiteral("stall-answers"),
                                          QStringLiteral("Never answer a check."));
    const QCommandLineOption closeAfter(QStringLiteral("close-after"),
                                        QStringLiteral("Close the connection after K parts."),
                                        QStringLiteral("K"));
    const QCommandLineOption coalesce(QStringLiteral("coalesce-end"),
                                      QStringLiteral("Last part and end marker in one write."));
    const QCommandLineOption split(QStringLiteral("split"),
                                   QStringLiteral("Every message in two writes."));
    const QCommandLineOption sizeDelta(QStringLiteral("size-delta"),
                                       QStringLiteral("Announce the archive this much larger."),
                                       QStringLiteral("N"));
    const QCommandLineOption demoRoot(
        QStringLiteral("make-demo-root"),
        QStringLiteral("Fill DIR with a demo firmware and configurator update, then exit."),
        QStringLiteral("DIR"));
    const QCommandLineOption signing(
        QStringLiteral("signing"),
        QStringLiteral("Serve the files unsigned, with a bad signature, signed by another key, "
                       "changed after signing, or as a zip bomb: unsigned, bad-signature, "
                       "other-key, changed-entry, bomb. The files of --make-demo-root are "
                       "signed with the test key of --print-test-key."),
        QStringLiteral("MODE"));
    const QCommandLineOption printKey(
        QStringLiteral("print-test-key"),
        QStringLiteral("Print the public test key (for UpdateServer/PublicKeys), then exit."));
    const QCommandLineOption verbose(QStringLiteral("v"), QStringLiteral("Trace the exchange."));
    parser.addOptions({root, port, ftpPort, partSize, corrupt, noResend, stallAfter, stallAnswers,
                       closeAfter, coalesce, split, sizeDelta, demoRoot, signing, printKey,
                       verbose});
    parser.process(app);

    QTextStream err(stderr);
    if (parser.isSet(printKey)) {
        QTextStream(stdout) << UpdateServer::testKey().publicKey.toBase64() << '\n';
        return 0;
    }
    if (parser.isSet(demoRoot)) {
        QString why;
        if (UpdateServer::makeDemoRoot(parser.value(demoRoot), &why))
            return 0;
        err << "vexa7xx-update-sim: " << why << '\n';
        return 1;
    }
    if (!parser.isSet(root) || !QDir(parser.value(root)).exists()) {
        err << "vexa7xx-update-sim: --root DIR (an existing folder) is required\n";
        return 2;
    }
    UpdateServer server(parser.value(root));
    UpdateServer::Faults &f = server.faults();
    auto number = [&](const QCommandLineOption &o, int fallback) {
        return parser.isSet(o) ? parser.value(o).toInt() : fallback;
    };
    f.corruptPart = number(corrupt, -1);
    f.resend = !parser.isSet(noResend);
    f.stallAfterParts = number(stallAfter, -1);
    f.stallAnswers = parser.isSet(stallAnswers);
    f.closeAfterParts = number(closeAfter, -1);
    f.coalesceEnd = parser.isSet(coalesce);
    f.splitMessages = parser.isSet(split);
    f.sizeDelta = number(sizeDelta, 0);
    if (parser.isSet(signing) && !UpdateServer::signingByName(parser.value(signing), &f.signing)) {
        err << "vexa7xx-update-sim: unknown --signing " << parser.value(signing) << '\n';
        return 2;
    }
    if (parser.isSet(partSize))
        server.setPartSize(qMax(1, number(partSize, UpdateServer::defaultPartSize)));
    if (parser.isSet(verbose))
        QObject::connect(&server, &UpdateServer::trace, [&err](const QString &line) {
            err << line << '\n';
            err.flush();
        });

    if (!server.listen(quint16(parser.value(port).toUInt()))) {
        err << "vexa7xx-update-sim: cannot listen on 127.0.0.1:" << parser.value(port) << '\n';
        return 1;
    }
    QTextStream(stdout) << server.port() << Qt::endl;
    if (parser.isSet(ftpPort)) {
        QString why;
        if (!server.startFtp(quint16(parser.value(ftpPort).toUInt()), &why))
            err << "vexa7xx-update-sim: " << why << '\n';
    }
    // Ctrl+C and kill end the event loop, so the FTP server is stopped with it.
    if (::pipe(signalPipe) == 0) {
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
        auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    }
    return app.exec();
}
