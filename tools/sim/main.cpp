// vexa7xx-sim: a simulated Vexa7XX device on a pseudo-terminal.
#include "remoteserver.h"
#include "simulator.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &c, 1);
}
// The remote-configuration server: the port first, then the devices behind it.
int serve(QCoreApplication &app, const SimConfig &config)
{
    RemoteServer server(config);
    if (!server.listen(quint16(config.servePort))) {
        QTextStream(stderr) << "vexa7xx-sim: cannot listen on 127.0.0.1:" << config.servePort
                            << '\n';
        return 1;
    }
    QTextStream out(stdout);
    out << server.port() << '\n';
    for (const QString &imei : server.imeis()) {
        SimDevice &dev = server.device(imei)->device();
        out << "IMEI " << imei << ": Vexa" << dev.model() << ", firmware " << dev.firmwareVersion()
            << ", serial number " << dev.serialNumber() << '\n';
    }
    out.flush();
    return app.exec();
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    SimConfig config;
    QString error;
    bool help = false;
    if (!config.parse(app.arguments().mid(1), &error, &help)) {
        QTextStream(stderr) << "vexa7xx-sim: " << error << "\n(see --help)\n";
        return 2;
    }
    if (help) {
        QTextStream(stdout) << SimConfig::helpText();
        return 0;
    }

    // Ctrl+C and kill end the event loop, so the symlink is removed on the way out.
    if (::pipe(signalPipe) == 0) {
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
        auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    }

    if (config.servePort >= 0)
        return serve(app, config);

    Simulator sim(config);
    QTextStream out(stdout);
    QObject::connect(&sim, &Simulator::portChanged, &app, [&out, &sim](const QString &path) {
        // After the first line (the port) every new port is announced the same way.
        static bool first = true;
        if (first) {
            first = false;
            return;
        }
        out << "port: " << path << '\n';
        out.flush();
        Q_UNUSED(sim);
    });
    if (!sim.start()) {
        QTextStream(stderr) << "vexa7xx-sim: no pseudo-terminal available\n";
        return 1;
    }
    SimDevice &dev = sim.device();
    out << sim.portName() << '\n';
    out << "USB serial number: " << dev.usbSerialNumber() << '\n';
    out << "Vexa" << dev.model() << " revision " << config.revision << ", device ID "
        << dev.deviceId() << ", firmware " << dev.firmwareVersion() << '\n';
    out << "serial number " << dev.serialNumber() << ", DevEUI " << dev.devEui() << '\n';
    if (SimDevice *remote = dev.remoteDevice())
        out << "relay reaches Vexa" << remote->model() << " DevEUI " << remote->devEui() << '\n';
    if (!config.linkPath.isEmpty())
        out << "link: " << config.linkPath << '\n';
    out.flush();
    return app.exec();
}
