#pragma once

#include "clicommand.h"
#include "clioptions.h"

#include <QObject>
#include <QTextStream>

class DeviceJournal;
class PortEnumerator;

// The command-line front end: runs the command the options name (list, doctor, info, read,
// show, diff, set, write, restore, history, flash, console, syslog, provision) and ends with its
// exit code, the jobs done to devices kept in the device journal.
class CliRunner : public QObject
{
    Q_OBJECT
public:
    using Options = CliOptions;
    static constexpr int PartlyApplied = CliCommand::PartlyApplied;

    static bool parse(const QStringList &args, Options *options, QString *error)
    {
        return CliOptions::parse(args, options, error);
    }
    static QString usage() { return CliOptions::usage(); }

    CliRunner(const Options &options, PortEnumerator *enumerator, QTextStream &out,
              QTextStream &err, QObject *parent = nullptr);

    // Starts the command; finished(code) follows.
    void start();
    // Where the console reads its lines and the password is read or asked for (standard input
    // unless set; not closed here).
    void setInputFd(int fd) { inputFd = fd; }
    // Ctrl+C (or SIGTERM), through the event loop: a flash stops cleanly (running it again
    // resumes), syslog switches the device's debug output off and ends once that has left the
    // port, console ends, relay mode is left; a second one ends at once. False when the command
    // has nothing to stop cleanly and the signal may end the program as usual.
    bool interrupt();

signals:
    void finished(int exitCode);

private:
    // The journal, for the commands that do or look up device work (none when it is off).
    DeviceJournal *openJournal();
    // Ends with code once the journal has stored what it was given (or kept it for later).
    void end(int code);

    Options opts;
    DeviceJournal *journal = nullptr;
    PortEnumerator *enumerator;
    QTextStream &out;
    QTextStream &err;
    int inputFd = 0;
    CliCommand *command = nullptr;
};
