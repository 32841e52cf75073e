#pragma once

#include "clicommand.h"
#include "clioptions.h"

#include <QObject>
#include <QTextStream>

class PortEnumerator;

// The command-line front end: runs the command the options name (list, doctor, info, read,
// write, flash, console, syslog, provision) and ends with its exit code.
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
    Options opts;
    PortEnumerator *enumerator;
    QTextStream &out;
    QTextStream &err;
    int inputFd = 0;
    CliCommand *command = nullptr;
};
