#include "clioptions.h"

#include "deviceinterface.h"
#include "devicesession.h"
#include "paramcatalogue.h"
#include "remoteconnection.h"

#include <QRegularExpression>
#include <QVector>

#include <algorithm>
#include <utility>

namespace {
// Every command once: what the full help lists under "Commands:" and what `help COMMAND`
// prints. The descriptions are wrapped when printed, so a change is made in one place.
struct CommandHelp
{
    const char *name;
    const char *synopsis;    // after the program's name; '\n' starts a continuation line
    const char *description; // one paragraph
    const char *examples;    // command lines, one a line
};

const CommandHelp commandTable[] = {
    {"list", "list",
     "the serial ports that carry a Vexa7XX, with the device's USB serial number; exits 1 when "
     "there is none (vexa7xx-cli doctor tells why)",
     "vexa7xx-cli list\nvexa7xx-cli --json list"},
    {"doctor", "doctor",
     "every serial port with its USB ids and serial number, which are Vexa7XX devices, and what "
     "keeps one from being used (no permission, held by another program, no device at all) with "
     "the command that fixes it; a port held by vexa7xx-sim is its simulated device and no "
     "problem; exits 1 when it found a problem",
     "vexa7xx-cli doctor\nvexa7xx-cli --port /dev/ttyUSB0 doctor"},
    {"info", "info", "identity of the device (model, firmware, serial number, DevEUI)",
     "vexa7xx-cli info\nvexa7xx-cli --json --port /dev/ttyACM1 info"},
    {"read", "read [-o FILE] [--with-keys]",
     "read the configuration; the document goes to FILE or standard output, without keys and "
     "identity unless --with-keys",
     "vexa7xx-cli read -o device.xml\nvexa7xx-cli --remote 356938035643809 read -o field.xml"},
    {"show", "show [FILE] [--with-keys] [--lang ru|en]",
     "a configuration as a table: element, label, value in units and the device's hex; of FILE, "
     "else read from the device. The secret keys (AppKey, NwkSKey, AppSKey) are masked unless "
     "--with-keys; --json gives each value's hex and its human form",
     "vexa7xx-cli show device.xml\nvexa7xx-cli --json show --lang en"},
    {"diff", "diff FILE [FILE2] [--with-keys] [--lang ru|en]",
     "what differs between FILE and FILE2, in units, as old -> new; with FILE alone, what writing "
     "it would change on the device (the device's value -> the file's)",
     "vexa7xx-cli diff old.xml new.xml\nvexa7xx-cli diff device.xml"},
    {"set", "set NAME=VALUE... [--verify] [--dry-run] [--with-keys]",
     "write single values, typed as show prints them: a plain number is in the unit show "
     "prints, durations also take s, min, h, d (tx_period=2h), frequencies MHz, kHz, Hz, check "
     "boxes on/off, choices their text (either language) or their code, opaque values hex. NAME "
     "is an element or a field of a composite element (rs_speed=9600). Each value is checked as "
     "a file's is: a refused one names what is allowed, and then nothing is sent. The device "
     "reboots at the end; --verify reads it back; --dry-run prints what would be sent. Keys are "
     "set only with --with-keys",
     "vexa7xx-cli set tx_period=2h use_adr=on\nvexa7xx-cli set rx2_freq=869.525MHz --dry-run"},
    {"write", "write FILE [--yes] [--all] [--with-keys] [--verify]",
     "write the parameters of FILE that differ from the device (every one with --all; asks "
     "first unless --yes; keys in the file are written only with --with-keys); the device "
     "reboots at the end. --verify waits for it to come back, reads it again and compares every "
     "written value. A write applied in part names the values written and those not",
     "vexa7xx-cli write device.xml --yes\nvexa7xx-cli write device.xml --yes --verify"},
    {"restore", "restore SN --before DATE|--job ID [--yes] [--verify]",
     "write back the configuration the device with serial number SN had at DATE (what the "
     "journal kept with the first write after it), or just before the journal's job ID; shows "
     "what changes and asks first unless --yes. Keys are never restored",
     "vexa7xx-cli restore 7500000000012345 --before 2026-11-30\n"
     "vexa7xx-cli restore 7500000000012345 --job 42 --yes"},
    {"history", "history [--serial SN] [--since DATE] [--json|--csv] [--provisioned]",
     "the device journal: what was done to which device, when, where and by whom, newest "
     "first, each job with its changes in units (--json, --csv for scripts). --provisioned "
     "lists the devices provisioned successfully instead (serial, DevEUI, JoinEUI, model, "
     "firmware, time); keys are never in the journal",
     "vexa7xx-cli history --serial 7500000000012345 --since 2026-11-01\n"
     "vexa7xx-cli history --provisioned --since 2026-12-01 --csv > batch.csv"},
    {"flash", "flash FILE [--yes] [--allow-downgrade]",
     "write the firmware image FILE into the device and restart it into it (asks first unless "
     "--yes, telling model, serial number and the versions); an image older than the firmware "
     "the device runs is refused, and one of the version it runs is not written again (nothing "
     "to do), unless --allow-downgrade; an interrupted flash (Ctrl+C, cable pulled) of the same "
     "image resumes from what the device holds when run again (another image starts over); "
     "succeeds only when the device has come back running the image's version; --json prints "
     "{file, device, fromVersion, toVersion, bytesSent, resumedAt, seconds, result} in every "
     "case",
     "vexa7xx-cli flash Vexa750_v1.4.0_update.bin --yes\n"
     "vexa7xx-cli flash Vexa750_v1.3.0_update.bin --yes --allow-downgrade"},
    {"console", "console",
     "a command console on the device: each line of standard input is sent; hex lines (8600 00) "
     "as command frames, whose answers are shown decoded and in hex; lines starting with a "
     "letter (SYSLOG LEVEL=DBG,A) as text commands, whose text answers are shown as they come. "
     "The history is shared with the configurator's console (cmd_history.txt) and keeps the "
     "commands that were sent and not refused by the device: :history lists it, !N sends entry "
     "N again, :quit ends (so does the end of input or Ctrl+C)",
     "vexa7xx-cli console\nprintf '8600 00\\n' | vexa7xx-cli console"},
    {"provision",
     "provision --template T.xml [--keys KEYS.csv] [--firmware FILE] [--verify]\n"
     "[--report OUT.json] [--ports all|LIST]",
     "every connected device (or the ports of LIST, separated by commas) at once, each on a "
     "link of its own: flash FILE unless it runs that version, write T.xml with the device's "
     "own keys from KEYS.csv (a header row; the device's row found by its serial_number, else "
     "its dev_eui column; the other columns are parameters such as app_key), verify, and append "
     "a JSON line per device to OUT.json (serial, devEui, firmware, result, duration, error). A "
     "failing device stops no other; devices OUT.json lists as done are skipped. Exits 0 when "
     "every device is done, 1 when one failed",
     "vexa7xx-cli provision --template t.xml --keys keys.csv --verify --report batch.json\n"
     "vexa7xx-cli provision --template t.xml --firmware fw.bin --ports /dev/ttyACM0,/dev/ttyACM1"},
    {"syslog", "syslog LEVEL,SOURCE",
     "stream the device's debug output to standard output until Ctrl+C, then switch it off on "
     "the device (SYSLOG LEVEL=ALL,F). LEVEL and SOURCE are the codes of the configurator's "
     "debug dialog, e.g. syslog DBG,A (everything); syslog ALL,F only switches it off",
     "vexa7xx-cli syslog DBG,A > device.log\nvexa7xx-cli syslog ALL,F"},
    {"help", "help [COMMAND]",
     "this text, or the synopsis, options and examples of COMMAND (COMMAND --help says the same)",
     "vexa7xx-cli help write\nvexa7xx-cli flash --help"},
};

// The options that are not a command's own (those are in its synopsis and description).
struct OptionHelp
{
    const char *names;
    const char *description;
    const char *commands; // the commands it goes with; nullptr: every one, "": none
};

const OptionHelp optionTable[] = {
    {"--remote IMEI [--password-file FILE] [--server HOST:PORT]",
     "info, read, show, diff, set and write through the remote-configuration server, for the device of this IMEI "
     "(15 digits) with its password; the server of settings.conf (UpdateServer/IP, "
     "UpdateServer/Port) unless --server. The password is the first line of FILE (- : a line of "
     "standard input); without it a terminal is asked, with the echo off",
     "info read show diff set write"},
    {"--password P",
     "the password on the command line: still taken, with a warning, as every user of the "
     "computer can read it in the process list",
     "info read show diff set write"},
    {"--port NAME",
     "use this port (a device path or name) instead of searching by the USB identifiers of "
     "settings.conf (Device/VID, Device/PID)",
     "list doctor info read show diff set write restore flash console syslog"},
    {"--relay DEVEUI",
     "info, read, show, diff, set and write reach the device with this DevEUI over the radio "
     "relay of the device on the port (relay mode is left at the end, also on Ctrl+C)",
     "info read show diff set write"},
    {"--session S", "relay session time, in the device's units (default 60)",
     "info read show diff set write"},
    {"--relay-timeout T", "relay answer time-out, in the device's units (default 3000)",
     "info read show diff set write"},
    {"--lang ru|en", "the language of labels and values (default: the configurator's)",
     "show diff set restore history"},
    {"--json", "machine-readable output of list, info, show, set, write, restore, history and "
     "flash",
     "list info show set write restore history flash"},
    {"-v, --verbose", "also print the link's log on standard error", nullptr},
    {"-h, --help", "this text; after a command, that command's help", nullptr},
    {"--version", "the program's name and version", ""},
};

// In the order of the codes; main() and the commands end with the constants of clioptions.h.
const char *const exitCodeTable[] = {
    // ExitCode::Done
    "success: all done; write and set: every value of the file is on the device (held already or "
    "written, and with --verify read back as written); flash: the device runs the image's "
    "version (also when it ran it already and nothing was sent)",
    // ExitCode::Failed
    "nothing done, or failed: list found no device; write: no value of the file is on the "
    "device, or with --verify the device did not come back to be read again; flash: any "
    "failure (an image refused as unreadable, empty, over 1 MiB, without a firmware header, "
    "another device's, or older than the running firmware without --allow-downgrade; a "
    "transfer that stopped; a device that did not come back with the new version); provision: "
    "a device failed; any other failure: no device, a port or devices.db problem, remote "
    "server not available, device not connected to it or busy, session ended; console or "
    "syslog lost the device, or syslog could not switch the output off",
    // ExitCode::Usage
    "bad usage: an unknown command or option, a missing or extra argument (also a syslog "
    "LEVEL or SOURCE the device's firmware does not know, a set NAME that is no parameter or a "
    "VALUE refused by its rules, a provision template, keys table or image that cannot be used, "
    "or --remote with no password to be had)",
    // ExitCode::Partly
    "partly done: write and set: some values of the file are on the device, not all; the others were "
    "refused by the file check or by the device (--json: \"refused\", with the reason), are not "
    "supported by its firmware, were never sent because the write stopped (--json: "
    "\"notWritten\"), or with --verify were read back with another value (--json: "
    "\"mismatches\")",
};
static_assert(sizeof exitCodeTable / sizeof *exitCodeTable == ExitCode::Partly + 1,
              "a text for every exit code");

constexpr int helpWidth = 100;
constexpr int descriptionColumn = 27;

// text in lines of at most helpWidth characters, each but the first (which follows what the
// caller wrote, ending at column `at`) indented to `indent`.
QString wrapped(const QString &text, int indent, int at)
{
    QString result;
    int column = at;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (column > indent && column + 1 + word.size() > helpWidth) {
            result += QLatin1Char('\n') + QString(indent, QLatin1Char(' '));
            column = indent;
        } else if (column > indent) {
            result += QLatin1Char(' ');
            ++column;
        }
        result += word;
        column += word.size();
    }
    return result + QLatin1Char('\n');
}

// A help entry: its left column, then the description from descriptionColumn (on the same
// line when the left column leaves room).
QString entry(const QString &left, const char *description)
{
    const QString indentTo(descriptionColumn, QLatin1Char(' '));
    QString text = QStringLiteral("  ") + left;
    if (text.size() > descriptionColumn - 2)
        text += QLatin1Char('\n') + indentTo;
    else
        text = text.leftJustified(descriptionColumn);
    return text + wrapped(QString::fromUtf8(description), descriptionColumn, descriptionColumn);
}

QString synopsisOf(const CommandHelp &c, int indent)
{
    const QString continuation(indent + int(qstrlen(c.name)) + 1, QLatin1Char(' '));
    return QString::fromUtf8(c.synopsis)
        .replace(QLatin1Char('\n'), QLatin1Char('\n') + continuation);
}

const CommandHelp *findCommand(const QString &name)
{
    for (const CommandHelp &c : commandTable)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

bool goesWith(const OptionHelp &o, const QString &command)
{
    return !o.commands || QString::fromLatin1(o.commands).split(QLatin1Char(' ')).contains(command);
}

// The commands that reach the device through the remote server or the radio relay as well.
const QStringList &devicePathCommands()
{
    static const QStringList commands{QStringLiteral("info"), QStringLiteral("read"),
                                      QStringLiteral("show"), QStringLiteral("diff"),
                                      QStringLiteral("set"),  QStringLiteral("write")};
    return commands;
}

// Edits that turn a into b (a swap of two neighbours counts as one): how far a typo is.
int editDistance(const QString &a, const QString &b)
{
    QVector<QVector<int>> d(a.size() + 1, QVector<int>(b.size() + 1));
    for (int i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (int j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (int i = 1; i <= a.size(); ++i) {
        for (int j = 1; j <= b.size(); ++j) {
            const int cost = a.at(i - 1) == b.at(j - 1) ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a.at(i - 1) == b.at(j - 2) && a.at(i - 2) == b.at(j - 1))
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}
} // namespace

QStringList CliOptions::commandNames()
{
    QStringList names;
    for (const CommandHelp &c : commandTable)
        names << QLatin1String(c.name);
    return names;
}

QStringList CliOptions::optionNames()
{
    // Every option the help names, so that an option added to the help is known here too.
    static const QRegularExpression option(QStringLiteral("(?:^|[\\[ ,])(--?[a-z][a-z-]*)"));
    QStringList names;
    const auto collect = [&names](const char *text) {
        QRegularExpressionMatchIterator it = option.globalMatch(QLatin1String(text));
        while (it.hasNext()) {
            const QString name = it.next().captured(1);
            if (!names.contains(name))
                names << name;
        }
    };
    for (const CommandHelp &c : commandTable)
        collect(c.synopsis);
    for (const OptionHelp &o : optionTable)
        collect(o.names);
    return names;
}

QString CliOptions::nearest(const QString &typed, const QStringList &known)
{
    // Dashes are no letters of the name: "-prot" is as near to "--port" as "--prot".
    const QString bare = QString(typed).remove(QRegularExpression(QStringLiteral("^-+")));
    QString best;
    int bestDistance = maxTypoDistance + 1;
    for (const QString &k : known) {
        const int d =
            editDistance(bare, QString(k).remove(QRegularExpression(QStringLiteral("^-+"))));
        // Half of a short word changed is another word, not a typo.
        if (d < bestDistance && 2 * d <= bare.size()) {
            best = k;
            bestDistance = d;
        }
    }
    return best;
}

QString CliOptions::unknown(const QString &kind, const QString &typed, const QStringList &known)
{
    const QString near = nearest(typed, known);
    QString message = QStringLiteral("unknown %1 '%2'").arg(kind, typed);
    if (!near.isEmpty())
        message += QStringLiteral(" — did you mean '%1'?").arg(near);
    return message;
}

QString CliOptions::exitCodeHelp()
{
    QString text;
    for (int code = 0; code <= ExitCode::Partly; ++code)
        text += QStringLiteral("  %1  ").arg(code) +
                wrapped(QString::fromUtf8(exitCodeTable[code]), 5, 5);
    return text;
}

QString CliOptions::usage()
{
    QString text = QStringLiteral("Usage: vexa7xx-cli [--port NAME] [--json] COMMAND [options]\n"
                                  "       vexa7xx-cli help COMMAND\n\nCommands:\n");
    for (const CommandHelp &c : commandTable)
        text += entry(synopsisOf(c, 2), c.description);
    text += QStringLiteral("\nOptions:\n");
    for (const OptionHelp &o : optionTable)
        text += entry(QLatin1String(o.names), o.description);
    return text + QStringLiteral("\nProgress and errors go to standard error. Exit codes:\n") +
           exitCodeHelp();
}

QString CliOptions::commandUsage(const QString &command)
{
    const CommandHelp *c = findCommand(command);
    if (!c)
        return usage();
    const QString prefix = QStringLiteral("Usage: vexa7xx-cli ");
    QString text = prefix + synopsisOf(*c, prefix.size()) + QLatin1String("\n\n  ") +
                   wrapped(QString::fromUtf8(c->description), 2, 2) +
                   QStringLiteral("\nOptions:\n");
    for (const OptionHelp &o : optionTable)
        if (goesWith(o, command))
            text += entry(QLatin1String(o.names), o.description);
    text += QStringLiteral("\nExamples:\n");
    for (const QString &line : QString::fromUtf8(c->examples).split(QLatin1Char('\n')))
        text += QStringLiteral("  ") + line + QLatin1Char('\n');
    return text;
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
    const QStringList &commands = devicePathCommands();
    QString host;
    quint16 port = 0;
    if (!commands.contains(o.command))
        *error = QStringLiteral("--remote works with info, read, show, diff, set and write");
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
    const QStringList &relayed = devicePathCommands();
    if (!o.relay.isEmpty() && !o.remoteImei.isEmpty()) {
        *error = QStringLiteral("--relay and --remote do not go together");
        return false;
    }
    if (!o.relay.isEmpty() && !relayed.contains(o.command)) {
        *error = QStringLiteral("--relay works with info, read, show, diff, set and write");
        return false;
    }
    const bool tuned = o.session != defaultRelaySession || o.relayTimeout != defaultRelayTimeout;
    if (o.relay.isEmpty() && tuned) {
        *error = QStringLiteral("--session and --relay-timeout need --relay");
        return false;
    }
    return true;
}

QDateTime CliOptions::moment(const QString &typed)
{
    QDateTime t = QDateTime::fromString(typed, Qt::ISODate);
    if (!t.isValid()) {
        const QDate day = QDate::fromString(typed, Qt::ISODate);
        if (day.isValid())
            t = day.startOfDay();
    }
    return t;
}

bool CliOptions::checkJournalOptions(const CliOptions &o, QString *error)
{
    const bool history = o.command == QLatin1String("history");
    const bool restore = o.command == QLatin1String("restore");
    if ((o.csv || o.provisioned || !o.since.isEmpty() || (!o.serial.isEmpty() && !restore)) &&
        !history)
        *error = QStringLiteral("--serial, --since, --csv and --provisioned go with history");
    else if ((!o.before.isEmpty() || o.job != 0) && !restore)
        *error = QStringLiteral("--before and --job go with restore");
    else if (o.csv && o.json)
        *error = QStringLiteral("--csv and --json exclude each other");
    else if (!o.since.isEmpty() && !moment(o.since).isValid())
        *error = QStringLiteral("--since needs a date like 2026-12-01 or 2026-12-01T14:30");
    else if (!o.before.isEmpty() && !moment(o.before).isValid())
        *error = QStringLiteral("--before needs a date like 2026-12-01 or 2026-12-01T14:30");
    else
        return true;
    return false;
}

bool CliOptions::parse(const QStringList &args, CliOptions *o, QString *error)
{
    if (args.contains(QLatin1String("--version"))) {
        o->command = QStringLiteral("version");
        return true;
    }
    const QStringList helpOptions{QStringLiteral("-h"), QStringLiteral("--help")};
    QStringList rest = args;
    bool helpAsked = false;
    for (const QString &h : helpOptions)
        helpAsked = rest.removeAll(h) > 0 || helpAsked;
    const bool ok = parseCommand(rest, o, error);
    if (!helpAsked || o->command == QLatin1String("help"))
        return ok;
    // COMMAND --help: that command's help, however the rest of the line is wrong; a mistyped
    // command is told as such, anything else that is wrong gets the full help.
    if (!o->command.isEmpty() && !commandNames().contains(o->command))
        return false;
    error->clear();
    o->helpTopic = o->command;
    o->command = QStringLiteral("help");
    return true;
}

bool CliOptions::parseCommand(const QStringList &args, CliOptions *o, QString *error)
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
        } else if (a == QLatin1String("--allow-downgrade")) {
            o->allowDowngrade = true;
        } else if (a == QLatin1String("--dry-run")) {
            o->dryRun = true;
        } else if (a == QLatin1String("--csv")) {
            o->csv = true;
        } else if (a == QLatin1String("--provisioned")) {
            o->provisioned = true;
        } else if (a == QLatin1String("--serial") || a == QLatin1String("--since") ||
                   a == QLatin1String("--before") || a == QLatin1String("--job")) {
            if (i + 1 >= args.size() || args.at(i + 1).isEmpty()) {
                *error = a + QStringLiteral(" needs a value");
                return false;
            }
            const QString value = args.at(++i);
            if (a == QLatin1String("--job")) {
                bool ok = false;
                o->job = value.toLongLong(&ok);
                if (!ok || o->job == 0) {
                    *error = QStringLiteral("--job needs a job number of the history");
                    return false;
                }
            } else {
                (a == QLatin1String("--serial") ? o->serial
                 : a == QLatin1String("--since") ? o->since
                                                 : o->before) = value;
            }
        } else if (a == QLatin1String("--lang")) {
            if (i + 1 >= args.size()) {
                *error = a + QStringLiteral(" needs a value");
                return false;
            }
            o->lang = args.at(++i);
        } else if (takeProvisionOption(args, &i, o, error)) {
            if (!error->isEmpty())
                return false;
        } else if (takeRelayOption(args, &i, o, error)) {
            if (!error->isEmpty())
                return false;
        } else if (a.startsWith(QLatin1Char('-'))) {
            *error = unknown(QStringLiteral("option"), a, optionNames());
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
    if (!commandNames().contains(o->command)) {
        *error = unknown(QStringLiteral("command"), o->command, commandNames());
        return false;
    }
    if (o->command == QLatin1String("help")) {
        o->helpTopic = rest.value(0);
        if (rest.size() > 1) {
            *error = QStringLiteral("help takes one COMMAND");
            return false;
        }
        if (!o->helpTopic.isEmpty() && !commandNames().contains(o->helpTopic)) {
            *error = unknown(QStringLiteral("command"), o->helpTopic, commandNames());
            return false;
        }
        return true;
    }
    if (o->command == QLatin1String("write") || o->command == QLatin1String("flash")) {
        if (rest.size() != 1) {
            *error = o->command + QStringLiteral(" needs one FILE");
            return false;
        }
        o->file = rest.takeFirst();
    }
    if (o->command == QLatin1String("show") && !rest.isEmpty())
        o->file = rest.takeFirst();
    if (o->command == QLatin1String("diff")) {
        if (rest.isEmpty() || rest.size() > 2) {
            *error = QStringLiteral("diff needs FILE, or FILE and FILE2");
            return false;
        }
        o->file = rest.takeFirst();
        o->file2 = rest.isEmpty() ? QString() : rest.takeFirst();
    }
    if (o->command == QLatin1String("set")) {
        for (const QString &a : std::as_const(rest)) {
            if (a.indexOf(QLatin1Char('=')) < 1) {
                *error = QStringLiteral("set takes NAME=VALUE, not '%1'").arg(a);
                return false;
            }
        }
        if (rest.isEmpty()) {
            *error = QStringLiteral("set needs NAME=VALUE");
            return false;
        }
        o->assignments = rest;
        rest.clear();
    }
    if (o->command == QLatin1String("restore")) {
        if (rest.size() != 1) {
            *error = QStringLiteral("restore needs the SN of the device");
            return false;
        }
        o->serial = rest.takeFirst();
        if (o->before.isEmpty() == (o->job == 0)) {
            *error = QStringLiteral("restore needs --before DATE or --job ID");
            return false;
        }
    }
    if (!checkJournalOptions(*o, error))
        return false;
    static const QStringList worded{QStringLiteral("show"), QStringLiteral("diff"),
                                    QStringLiteral("set"), QStringLiteral("restore"),
                                    QStringLiteral("history")};
    if (!o->lang.isEmpty() && (!worded.contains(o->command) ||
                               (o->lang != QLatin1String("ru") && o->lang != QLatin1String("en")))) {
        *error = worded.contains(o->command)
                     ? QStringLiteral("--lang is ru or en")
                     : QStringLiteral("--lang goes with show, diff, set, restore and history");
        return false;
    }
    if (o->dryRun && o->command != QLatin1String("set")) {
        *error = QStringLiteral("--dry-run goes with set");
        return false;
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
    if (o->allowDowngrade && o->command != QLatin1String("flash")) {
        *error = QStringLiteral("--allow-downgrade goes with flash");
        return false;
    }
    const bool writes = o->command == QLatin1String("write") ||
                        o->command == QLatin1String("set") || o->command == QLatin1String("restore");
    if (o->verify && ((!writes && !provision) || !o->remoteImei.isEmpty() || !o->relay.isEmpty())) {
        *error = QStringLiteral("--verify goes with write, set or restore on a port, or provision");
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
