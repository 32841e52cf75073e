#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

// Unpacks a downloaded configurator update into the updates folder, completes the installation
// script that the archive carries and hands over to it: the script replaces the program's files
// once the program has ended. Anything doubtful stops it before the program folder is touched,
// and the program goes on running.
class UpdateUnpacker : public QObject
{
    Q_OBJECT
public:
    enum class Result {
        NotRun,
        NoArchive,      // nothing was downloaded: the unpacker closes quietly
        CannotOpen,     // not a readable ZIP archive
        UnsafeArchive,  // an entry would land outside the updates folder: nothing extracted
        CannotInstall,  // the program folder cannot be named in the script
        CannotClear,    // an old file in the updates folder could not be removed
        ExtractFailed,  // corrupt entry data or a write failure
        NoScript,       // the archive carries no installation script
        CannotComplete, // the script could not be rewritten
        CannotStart,    // the script could not be started
        Started,        // the script runs and the program was told to end
    };
    Q_ENUM(Result)

    // The command shell that runs the installation script: cmd.exe on Windows, sh elsewhere.
    enum class ScriptKind { Cmd, Shell };

    // Starting the script and ending the program: the system's by default, recorders in tests.
    struct Launcher
    {
        std::function<bool(const QString &program, const QStringList &args, const QString &workDir)>
            startDetached;
        std::function<void(int exitCode)> quit;
        static Launcher system();
    };

    struct Command
    {
        QString program;
        QStringList args;
        QString workDir;
    };

    // A completed script, or why it cannot be made.
    struct Completion
    {
        QByteArray script;
        QString error;
        bool ok() const { return error.isEmpty(); }
    };

    static constexpr const char *archiveName = "update.zip";

    explicit UpdateUnpacker(QObject *parent);

    void setLauncher(Launcher launcher) { this->launcher = std::move(launcher); }
    void setScriptKind(ScriptKind kind) { scriptKind = kind; }
    Result result() const { return outcome; }

    static ScriptKind nativeScriptKind();
    static QString scriptFileName(ScriptKind kind);
    static Completion completeScript(ScriptKind kind, const QByteArray &content,
                                     const QString &programDir);
    // "@echo off", the "cd /D" line in the console's code page, then the archive's own
    // commands, all with CR LF line ends.
    static Completion completeCmdScript(const QByteArray &content, const QString &programDir);
    // A "cd" into the program folder that stops the script when it fails, then the archive's
    // own commands.
    static Completion completeShellScript(const QByteArray &content, const QString &programDir);
    static Command installCommand(ScriptKind kind, const QString &programDir);

    // Whether this user can replace the program's files; a packaged installation cannot, and
    // is updated by its package manager instead.
    static bool canInstallInto(const QString &programDir);

public slots:
    // Ends the program through the launcher once the script runs. Otherwise the program goes
    // on: failed() tells why (a missing archive is only logged) and the unpacker deletes itself.
    void startUpdate();

signals:
    void failed(const QString &reason);

private:
    bool run(const QString &programDir);
    bool fail(Result result, const QString &reason);

    Launcher launcher = Launcher::system();
    ScriptKind scriptKind = nativeScriptKind();
    Result outcome = Result::NotRun;
};
