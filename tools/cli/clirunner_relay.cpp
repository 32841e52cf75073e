// CliRunner: info, read and write of a remote device through the radio relay of the local one.
#include "clirunner.h"

#include "commands.h"
#include "configexchange.h"
#include "deviceinterface.h"
#include "linkstate.h"

bool CliRunner::takeRelayOption(const QStringList &args, int *i, Options *o, QString *error)
{
    const QString &a = args.at(*i);
    const bool isText = a == QLatin1String("--relay");
    if (!isText && a != QLatin1String("--session") && a != QLatin1String("--relay-timeout"))
        return false;
    if (*i + 1 >= args.size()) {
        *error = a + QStringLiteral(" needs a value");
        return true;
    }
    const QString value = args.at(++*i);
    if (isText) {
        // Decoded as far as it goes, a mistyped DevEUI would address some other device.
        if (!DeviceInterface::isValidDevEui(value))
            *error = QStringLiteral("--relay needs a DevEUI of 16 hex digits (dashes allowed)");
        o->relay = value;
        return true;
    }
    bool ok = false;
    const int n = value.toInt(&ok);
    if (!ok || n < 0)
        *error = a + QStringLiteral(" needs a whole number");
    (a == QLatin1String("--session") ? o->session : o->relayTimeout) = n;
    return true;
}

bool CliRunner::checkRelayOptions(const Options &o, QString *error)
{
    static const QStringList relayed{QStringLiteral("info"), QStringLiteral("read"),
                                     QStringLiteral("write")};
    if (!o.relay.isEmpty() && !o.remoteImei.isEmpty()) {
        *error = QStringLiteral("--relay and --remote do not go together");
        return false;
    }
    if (!o.relay.isEmpty() && !relayed.contains(o.command)) {
        *error = QStringLiteral("--relay works with info, read and write");
        return false;
    }
    const bool tuned = o.session != defaultRelaySession || o.relayTimeout != defaultRelayTimeout;
    if (o.relay.isEmpty() && tuned) {
        *error = QStringLiteral("--session and --relay-timeout need --relay");
        return false;
    }
    return true;
}

void CliRunner::startRelay()
{
    connect(link, &DeviceInterface::changeDeviceStatus, this, &CliRunner::relayStateChanged);
    connect(link, &DeviceInterface::relayRefused, this, [this](quint16 cmd, uchar status) {
        const QString why =
            QStringLiteral("FSK Status code: 0x%1").arg(status, 2, 16, QLatin1Char('0'));
        if (cmd == Cmd::fskMode)
            return fail(QStringLiteral("the local device refused relay mode (%1)").arg(why));
        // Leaving was refused: relay mode is still on.
        err << "vexa7xx-cli: the device refused to leave relay mode (" << why << ")\n";
        emit finished(relayExitCode == 0 ? 1 : relayExitCode);
    });
    err << "connecting to " << opts.relay << " through the relay...\n";
    err.flush();
    link->switchToFskMode(opts.relay, opts.session, opts.relayTimeout);
}

void CliRunner::relayStateChanged(int state)
{
    switch (state) {
    case LinkState::FskConnected:
        err << "connected to " << opts.relay << " through the relay\n";
        err.flush();
        break;
    case LinkState::FskConnectFailed:
        fail(QStringLiteral("no answer from %1 through the relay").arg(opts.relay));
        break;
    case LinkState::FskDisconnected:
        if (leavingRelay) {
            emit finished(relayExitCode);
        } else if (writing && acknowledged) {
            // The remote device took the values and rebooted; the link has left relay mode.
            finishWrite();
        } else {
            fail(QStringLiteral("relay mode ended unexpectedly"));
        }
        break;
    case LinkState::Disconnected:
    case LinkState::NotRespond:
        if (leavingRelay) {
            err << "vexa7xx-cli: relay mode could not be left; the local device ends it when "
                   "its session time is over\n";
            emit finished(relayExitCode == 0 ? 1 : relayExitCode);
        }
        break;
    default:
        break;
    }
}

void CliRunner::finish(int code)
{
    if (leavingRelay || !link || !link->isRelayMode()) {
        emit finished(code);
        return;
    }
    // Whatever the command was doing stops here: its answers would only confuse the exit.
    leavingRelay = true;
    relayExitCode = code;
    if (exchange)
        link->disconnect(exchange);
    err << "leaving relay mode...\n";
    err.flush();
    link->switchToNormalMode();
}

bool CliRunner::interruptRelay()
{
    if (relayInterrupted && leavingRelay) {
        err << "vexa7xx-cli: interrupted again; the local device may still be in relay mode\n";
        err.flush();
        emit finished(1);
        return true;
    }
    relayInterrupted = true;
    if (leavingRelay) {
        // The command is over and relay mode is being left: that is what Ctrl+C asks for.
        relayExitCode = 1;
        err << "vexa7xx-cli: interrupted; leaving relay mode (Ctrl+C again to stop waiting)\n";
        err.flush();
        return true;
    }
    if (done)
        return true;
    fail(QStringLiteral("interrupted"));
    return true;
}
