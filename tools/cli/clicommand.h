#pragma once

#include "clioptions.h"
#include "deviceidentity.h"
#include "paramvalue.h"
#include "portfinder.h"
#include "userprompts.h"

#include <QDomDocument>
#include <QObject>
#include <QTextStream>
#include <QTranslator>

class DB_Worker;
class DeviceJournal;
class DeviceSession;
class PortEnumerator;

// What every command of vexa7xx-cli shares: its options and output streams, the device
// session it runs on, the answers to the link's questions, and the end with an exit code
// that scripts can rely on (0 only on success).
class CliCommand : public QObject, public UserPrompts
{
    Q_OBJECT
public:
    static constexpr int PartlyApplied = ExitCode::Partly;

    CliCommand(const CliOptions &options, PortEnumerator *enumerator, QTextStream &out,
               QTextStream &err, QObject *parent = nullptr);
    ~CliCommand() override;

    // Where the device work is kept (none: not kept); set before start().
    void setJournal(DeviceJournal *j) { journal = j; }
    // Starts the command; finished(code) follows.
    virtual void start() = 0;
    // Ctrl+C (or SIGTERM); false when the command has nothing to stop cleanly and the signal
    // may end the program as usual.
    bool interrupt();

    // The message of the failure that ended the command (empty: none).
    QString error() const { return lastError; }
    // The device the command talked to, as it said who it is.
    const DeviceIdentity &identity() const;
    // Where it was: the port (after a reboot, the one it came back on), or the remote path.
    QString where() const;

    // Answers to the user prompts: the command line has no one to ask but standard input.
    Button ask(Icon icon, const QString &title, const QString &text, Buttons buttons,
               Button def) override;
    Button linkPrompt(LinkPrompt which) override;
    void notify(Icon icon, const QString &title, const QString &text, int autoCloseMs) override;
    QString openFileName(const QString &, const QString &) override { return QString(); }
    QString saveFileName(const QString &, const QString &, const QString &) override
    {
        return QString();
    }

signals:
    void finished(int exitCode);

protected:
    // Makes the session (once) with this command answering its questions.
    DeviceSession *makeSession();
    // The port of the command: given with --port, else the one Vexa7XX the search finds.
    // False (after failing) when there is none.
    bool choosePort(PortFinder::Choice *chosen);
    // ... and opens it; false (after failing) when it does not open.
    bool openPort();
    // info, read, write, console, syslog: reaches the device (port, relay or remote server),
    // has it identified and read; identified() and readDone() follow.
    void connectDevice();
    virtual void identified(const DeviceIdentity &) {}
    virtual void readDone(const QDomDocument &) {}
    virtual void passwordRequired();
    // Before the failure's line: a command with a summary to print prints it.
    virtual void failing(const QString &) {}
    virtual bool interruptCommand() { return false; }

    void fail(const QString &message, int code = ExitCode::Failed);
    void succeed();
    // Ends with code, after leaving relay mode when it is on.
    void finish(int code);
    bool confirm(const QString &question);
    // "reading 12/40": redrawn in place on a terminal, else a line for every 10 %.
    void showProgress(const QString &what, int value, int max);
    // Ends a progress line drawn in place, so that the next text starts on a line of its own.
    void endProgress();

    // The language of labels and values: --lang, else the configurator's.
    ParamLabels::Lang language() const;
    // How values are put into words for this firmware of this model (empty firmware: the
    // model's newest), with the program's English texts.
    ParamValue::Vocabulary vocabulary(DB_Worker &db, const QString &firmware, quint16 devId);
    // ... for the device the session identified.
    ParamValue::Vocabulary deviceVocabulary();
    // The program's English texts (null when they are missing).
    const QTranslator *englishTexts();

    CliOptions opts;
    PortEnumerator *enumerator;
    QTextStream &out;
    QTextStream &err;
    DeviceSession *session = nullptr;
    DeviceJournal *journal = nullptr;
    bool done = false;
    QString lastError;

private:
    bool interruptRelay();
    QTranslator english;
    bool englishTried = false;
    bool relayInterrupted = false;
    QString progressWhat;      // what the progress shown counts ("reading", "writing")
    int progressStep = -1;     // the value (in place) or 10 % step (by lines) shown last
    bool progressOpen = false; // a line drawn in place waits for its end
};
