#include "clioptions.h"

#include "deviceinterface.h"
#include "devicesession.h"
#include "paramcatalogue.h"
#include "remoteconnection.h"

#include <QRegularExpression>

QString CliOptions::usage()
{
    return QStringLiteral(R"(Usage: vexa7xx-cli [--port NAME] [--json] COMMAND [options]

Commands:
  list                     the serial ports that carry a Vexa7XX
  doctor                   every serial port with its USB ids and serial number, which are
                           Vexa7XX devices, and what keeps one from being used (no permission,
                           held by another program, no device at all) with the command that
                           fixes it; exits 1 when it found a problem
  info                     identity of the device (model, firmware, serial number, DevEUI)
  read [-o FILE] [--with-keys]
                           read the configuration; the document goes to FILE or standard output,
                           without keys and identity unless --with-keys
  write FILE [--yes] [--all] [--with-keys] [--verify]
                           write the parameters of FILE that differ from the device (every one
                           with --all; asks first unless --yes; keys in the file are written only
                           with --with-keys); the device reboots at the end. --verify waits for
                           it to come back, reads it again and compares every written value
  flash FILE [--yes]       write the firmware image FILE into the device and restart it into
                           it (asks first unless --yes, telling model, serial number and the
                           versions); an interrupted flash (Ctrl+C, cable pulled) of the same
                           image resumes from what the device holds when run again (another
                           image starts over); succeeds only when the device has come back
                           running the image's version
  console                  a command console on the device: each line of standard input is
                           sent; hex lines (8600 00) as command frames, whose answers are shown
                           decoded and in hex; lines starting with a letter (SYSLOG LEVEL=DBG,A)
                           as text commands, whose text answers are shown as they come. The
                           history is shared with the configurator's console (cmd_history.txt):
                           :history lists it, !N sends entry N again, :quit ends (so does the
                           end of input or Ctrl+C)
  provision --template T.xml [--keys KEYS.csv] [--firmware FILE] [--verify]
            [--report OUT.json] [--ports all|LIST]
                           every connected device (or the ports of LIST, separated by commas)
                           at once, each on a link of its own: flash FILE unless it runs that
                           version, write T.xml with the device's own keys from KEYS.csv (a
                           header row; the device's row found by its serial_number, else its
                           dev_eui column; the other columns are parameters such as app_key),
                           verify, and append a JSON line per device to OUT.json (serial,
                           devEui, firmware, result, duration, error). A failing device stops no
                           other; devices OUT.json lists as done are skipped. Exits 0 when every
                           device is done, 1 when one failed
  syslog LEVEL,SOURCE      stream the device's debug output to standard output until Ctrl+C,
                           then switch it off on the device (SYSLOG LEVEL=ALL,F). LEVEL and
                           SOURCE are the codes of the configurator's debug dialog, e.g.
                           syslog DBG,A (everything); syslog ALL,F only switches it off

Options:
  --remote IMEI [--password-file FILE] [--server HOST:PORT]
                           info, read and write through the remote-configuration server, for
                           the device of this IMEI (15 digits) with its password; the server of
                           settings.conf (UpdateServer/IP, UpdateServer/Port) unless --server.
                           The password is the first line of FILE (- : a line of standard
                           input); without it a terminal is asked, with the echo off
  --password P             the password on the command line: still taken, with a warning, as
                           every user of the computer can read it in the process list
  --port NAME              use this port (a device path or name) instead of searching by the
                           USB identifiers of settings.conf (Device/VID, Device/PID)
  --relay DEVEUI           info, read and write reach the device with this DevEUI over the
                           radio relay of the device on the port (relay mode is left at the
                           end, also on Ctrl+C)
  --session S              relay session time, in the device's units (default 60)
  --relay-timeout T        relay answer time-out, in the device's units (default 3000)
  --json                   machine-readable output of list, info, write and flash
  -v, --verbose            also print the link's log on standard error
  -h, --help               this text

Progress and errors go to standard error. Exit codes:
  0  success; write: every value of the file is on the device (held already or written, and
     with --verify read back as written)
  3  write: some values of the file are on the device, not all; the others were refused by
     the file check or by the device (--json: "refused", with the reason), are not supported
     by its firmware, were never sent because the write stopped (--json: "notWritten"), or
     with --verify were read back with another value (--json: "mismatches")
  1  write: no value of the file is on the device, or with --verify the device did not come
     back to be read again
  1  any other failure: no device, a port or devices.db problem, remote server not
     available, device not connected to it or busy, session ended; console or syslog lost
     the device, or syslog could not switch the output off
  2  bad usage (also a syslog LEVEL or SOURCE the device's firmware does not know, a
     provision template, keys table or image that cannot be used, or --remote with no
     password to be had)
  flash exits 1 on any failure: a refused image (unreadable, empty, over 1 MiB, no firmware
  header, another device's), a transfer that stopped, or a device that did not come back with
  the new version; --json prints {file, device, fromVersion, toVersion, bytesSent, resumedAt,
  seconds, result} in every case
)");
}

bool CliOptions::takeProvisionOption(const QStringList &args, int *i, CliOptions *o, QString *error)
{
    const QString &a = args.at(*i);
    QString *target = a == QLatin1String("--template")   ? &o->provision.templateFile
                      : a == QLatin1String("--keys")     ? &o->provision.keysFile
                      : a == QLatin1String("--firmware") ? &o->provision.firmwareFile
                      : a == QLatin1String("--report")   ? &o->provision.reportFile
                      : a == QLatin1String("--ports")    ? &o->provision.ports
                                                         : nullptr;
    if (!target)
        return false;
    if (*i + 1 >= args.size() || args.at(*i + 1).isEmpty()) {
        *error = a + QStringLiteral(" needs a value");
        return true;
    }
    *target = args.at(++*i);
    return true;
}

int CliOptions::parseRemoteOption(const QStringList &args, int *i, CliOptions *o, QString *error)
{
    const QString &a = args.at(*i);
    QString *target = a == QLatin1String("--remote")          ? &o->remoteImei
                      : a == QLatin1String("--password")      ? &o->remotePassword
                      : a == QLatin1String("--password-file") ? &o->passwordFile
                      : a == QLatin1String("--server")        ? &o->remoteServer
                                                              : nullptr;
    if (!target)
        return -1;
    if (*i + 1 >= args.size()) {
        *error = a + QStringLiteral(" needs a value");
        return 0;
    }
    *target = args.at(++*i);
    return 1;
}

bool CliOptions::checkRemoteOptions(const CliOptions &o, QString *error)
{
    if (o.remoteImei.isEmpty()) {
        if (o.remotePassword.isEmpty() && o.passwordFile.isEmpty() && o.remoteServer.isEmpty())
            return true;
        *error = QStringLiteral("--password, --password-file and --server go with --remote IMEI");
        return false;
    }
    const QStringList commands{QStringLiteral("info"), QStringLiteral("read"),
                               QStringLiteral("write")};
    QString host;
    quint16 port = 0;
    if (!commands.contains(o.command))
        *error = QStringLiteral("--remote works with info, read and write");
    else if (!o.port.isEmpty())
        *error = QStringLiteral("--remote and --port exclude each other");
    else if (!RemoteConnection::isValidImei(o.remoteImei))
        *error = QStringLiteral("--remote: an IMEI is 15 digits");
    else if (!o.remotePassword.isEmpty() && !o.passwordFile.isEmpty())
        *error = QStringLiteral("--password and --password-file exclude each other");
    else if (!o.remoteServer.isEmpty() && !DeviceSession::splitServer(o.remoteServer, &host, &port))
        *error = QStringLiteral("--server: HOST:PORT, like 127.0.0.1:12358");
    else
        return true;
    return false;
}

bool CliOptions::takeRelayOption(const QStringList &args, int *i, CliOptions *o, QString *error)
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

bool CliOptions::checkRelayOptions(const CliOptions &o, QString *error)
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

bool CliOptions::parse(const QStringList &args, CliOptions *o, QString *error)
{
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const int remote = parseRemoteOption(args, &i, o, error);
        if (remote == 0)
            return false;
        if (remote == 1)
            continue;
        if (a == QLatin1String("--port") || a == QLatin1String("-o")) {
            if (i + 1 >= args.size()) {
                *error = a + QStringLiteral(" needs a value");
                return false;
            }
            (a == QLatin1String("--port") ? o->port : o->output) = args.at(++i);
        } else if (a == QLatin1String("--json")) {
            o->json = true;
        } else if (a == QLatin1String("--yes") || a == QLatin1String("-y")) {
            o->yes = true;
        } else if (a == QLatin1String("--with-keys")) {
            o->withKeys = true;
        } else if (a == QLatin1String("--all")) {
            o->all = true;
        } else if (a == QLatin1String("--verify")) {
            o->verify = true;
        } else if (takeProvisionOption(args, &i, o, error)) {
            if (!error->isEmpty())
                return false;
        } else if (takeRelayOption(args, &i, o, error)) {
            if (!error->isEmpty())
                return false;
        } else if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            o->command = QStringLiteral("help");
            return true;
        } else if (a.startsWith(QLatin1Char('-'))) {
            *error = QStringLiteral("unknown option ") + a;
            return false;
        } else {
            rest << a;
        }
    }
    if (rest.isEmpty()) {
        *error = QStringLiteral("no command");
        return false;
    }
    o->command = rest.takeFirst();
    static const QStringList commands{
        QStringLiteral("list"),    QStringLiteral("doctor"), QStringLiteral("info"),
        QStringLiteral("read"),    QStringLiteral("write"),  QStringLiteral("flash"),
        QStringLiteral("console"), QStringLiteral("syslog"), QStringLiteral("provision")};
    if (!commands.contains(o->command)) {
        *error = QStringLiteral("unknown command ") + o->command;
        return false;
    }
    if (o->command == QLatin1String("write") || o->command == QLatin1String("flash")) {
        if (rest.size() != 1) {
            *error = o->command + QStringLiteral(" needs one FILE");
            return false;
        }
        o->file = rest.takeFirst();
    }
    if (o->command == QLatin1String("syslog")) {
        // Codes only: letters, so nothing else can ride along in the command line.
        static const QRegularExpression codes(QStringLiteral("^([A-Za-z]+),([A-Za-z]+)$"));
        const QRegularExpressionMatch m = codes.match(rest.value(0));
        if (rest.size() != 1 || !m.hasMatch()) {
            *error = QStringLiteral("syslog needs LEVEL,SOURCE (for example DBG,A)");
            return false;
        }
        rest.clear();
        o->level = m.captured(1).toUpper();
        o->source = m.captured(2).toUpper();
    }
    if (!rest.isEmpty()) {
        *error = QStringLiteral("unexpected ") + rest.join(QLatin1Char(' '));
        return false;
    }
    // Read back through a port only: a device behind the server or the relay comes back by
    // another way after its reboot.
    const bool provision = o->command == QLatin1String("provision");
    if (o->verify && ((o->command != QLatin1String("write") && !provision) ||
                      !o->remoteImei.isEmpty() || !o->relay.isEmpty())) {
        *error = QStringLiteral("--verify goes with write on a port, or provision");
        return false;
    }
    const Provisioner::Options &p = o->provision;
    const bool batchOptions = !p.templateFile.isEmpty() || !p.keysFile.isEmpty() ||
                              !p.firmwareFile.isEmpty() || !p.reportFile.isEmpty() ||
                              !p.ports.isEmpty();
    if (batchOptions != provision || (provision && p.templateFile.isEmpty())) {
        *error = provision ? QStringLiteral("provision needs --template FILE")
                           : QStringLiteral("--template, --keys, --firmware, --report and --ports "
                                            "go with provision");
        return false;
    }
    if (provision && (!o->port.isEmpty() || !o->remoteImei.isEmpty() || !o->relay.isEmpty())) {
        *error = QStringLiteral("provision takes its ports with --ports");
        return false;
    }
    return checkRemoteOptions(*o, error) && checkRelayOptions(*o, error);
}
