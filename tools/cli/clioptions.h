#pragma once

#include "provisioner.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// How vexa7xx-cli ends, in the order --help and the README list them (CliOptions::exitCodeHelp).
namespace ExitCode {
constexpr int Done = 0;   // everything asked for is done
constexpr int Failed = 1; // nothing (or not everything, outside write) done
constexpr int Usage = 2;  // bad usage
constexpr int Partly = 3; // write: some values of the file are on the device, not all
} // namespace ExitCode

// The command line of vexa7xx-cli: what each command was asked to do, parsed and checked in
// one place, with the usage text.
struct CliOptions
{
    // list, doctor, info, read, show, diff, set, write, restore, history, flash, console, syslog,
    // provision; help (of helpTopic when it is set), version
    QString command;
    QString helpTopic;
    QString port;    // empty: by the USB identifiers
    QString file;    // write, show, diff: the configuration file; flash: the firmware image
    QString file2;   // diff: the file compared with the first (empty: the device)
    QStringList assignments; // set: NAME=VALUE, as typed
    QString lang;    // show, diff, set: "ru" or "en" (empty: the configurator's language)
    bool dryRun = false; // set: say what would be sent, send nothing
    // history: the device (empty: every one) and since when (empty: ever); --provisioned lists
    // the provisioned devices instead of the jobs. restore: the device (its SN) and which
    // configuration: the one it had at --before, or before the job --job.
    QString serial;
    QString since;
    QString before;
    qint64 job = 0;
    bool csv = false;
    bool provisioned = false;
    // How messages name the file (empty: by its path). A batch writes each device's values
    // from a temporary file the user never made and that is gone afterwards.
    QString fileShownAs;
    QString shownFile() const { return fileShownAs.isEmpty() ? file : fileShownAs; }
    QString output;  // read: where to put the document (empty: standard output)
    bool json = false;
    bool yes = false;
    bool withKeys = false;
    bool all = false; // write: also the values the device holds already
    // write, set: after the reboot, read the device again and compare every written value.
    bool verify = false;
    // flash: also an image older than (or as old as) the firmware the device runs.
    bool allowDowngrade = false;
    // provision: the batch (its verify is the one above).
    Provisioner::Options provision;
    // Standard error is a terminal: the flash progress is redrawn in place, else a line
    // every 10 %.
    bool progressInPlace = false;
    QString level;  // syslog: the level code (DBG, INF, ...)
    QString source; // syslog: the source code (A, L, ...)
    // Through the remote-configuration server instead of a port (info, read, write).
    QString remoteImei;
    QString remotePassword; // --password, or read by PasswordInput before the command runs
    QString passwordFile;   // --password-file: a file, or "-" for a line of standard input
    QString remoteServer;   // HOST:PORT; empty: the server of settings.conf
    // info, read, write through the radio relay of the local device to this DevEUI.
    QString relay;
    // What the configurator's relay page offers unless changed (the device's units).
    static constexpr int defaultRelaySession = 60;
    static constexpr int defaultRelayTimeout = 3000;
    int session = defaultRelaySession;
    int relayTimeout = defaultRelayTimeout;

    // Parses the arguments (without the program name); false with *error on bad usage.
    static bool parse(const QStringList &args, CliOptions *options, QString *error);
    // The full help, and the help of one command (its synopsis, options and examples).
    static QString usage();
    static QString commandUsage(const QString &command);
    // The "  N  text" lines of the exit codes, in their order.
    static QString exitCodeHelp();
    static QStringList commandNames();
    // Every option the help names.
    static QStringList optionNames();
    // The name of known nearest to a typo of it (empty: none near enough to be meant).
    static QString nearest(const QString &typed, const QStringList &known);
    static constexpr int maxTypoDistance = 2;
    // A moment typed on the command line: a date (its midnight, local time) or a date and time,
    // in ISO form; invalid when it is neither.
    static QDateTime moment(const QString &typed);

private:
    // "unknown KIND 'TYPED'", with the nearest known name when one is near enough.
    static QString unknown(const QString &kind, const QString &typed, const QStringList &known);
    // parse() without the help options.
    static bool parseCommand(const QStringList &args, CliOptions *o, QString *error);
    // provision: its value options at args[*i]; false when it is none of them.
    static bool takeProvisionOption(const QStringList &args, int *i, CliOptions *o, QString *error);
    // One of --remote, --password, --server at args[*i] (taking its value): 1 taken, 0 bad
    // usage (*error set), -1 not one of them.
    static int parseRemoteOption(const QStringList &args, int *i, CliOptions *o, QString *error);
    // The remote options together with the command; false with *error on bad usage.
    static bool checkRemoteOptions(const CliOptions &o, QString *error);
    // --relay, --session or --relay-timeout at args[*i]; false when it is none of them.
    static bool takeRelayOption(const QStringList &args, int *i, CliOptions *o, QString *error);
    static bool checkRelayOptions(const CliOptions &o, QString *error);
    // --serial, --since, --before, --job, --csv, --provisioned with their commands.
    static bool checkJournalOptions(const CliOptions &o, QString *error);
};
