#pragma once

#include "provisioner.h"

#include <QString>
#include <QStringList>

// The command line of vexa7xx-cli: what each command was asked to do, parsed and checked in
// one place, with the usage text.
struct CliOptions
{
    QString command; // list, doctor, info, read, write, flash, console, syslog, provision
    QString port;    // empty: by the USB identifiers
    QString file;    // write: the configuration file; flash: the firmware image
    // How messages name the file (empty: by its path). A batch writes each device's values
    // from a temporary file the user never made and that is gone afterwards.
    QString fileShownAs;
    QString shownFile() const { return fileShownAs.isEmpty() ? file : fileShownAs; }
    QString output;  // read: where to put the document (empty: standard output)
    bool json = false;
    bool yes = false;
    bool withKeys = false;
    bool all = false; // write: also the values the device holds already
    // write: after the reboot, read the device again and compare every written value.
    bool verify = false;
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
    static QString usage();

private:
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
};
