#pragma once

#include "updatesignature.h"

#include <QObject>
#include <QStringList>
#include <functional>

// Unpacks a downloaded configurator update into the updates folder, completes the installation
// script that the archive carries and hands over to it: the script replaces the program's files
// once the program has ended. Anything doubtful stops it before the program folder is touched,
// and the program goes on running. The archive is read through once before anything is
// extracted: every entry's name and link, the sizes and the compression against the bounds
// below, and the signed manifest.
class UpdateUnpacker : public QObject
{
    Q_OBJECT
public:
    enum class Result {
        NotRun,
        NoArchive,      // nothing was downloaded: the unpacker closes quietly
        CannotOpen,     // not a readable ZIP archive
        UnsafeArchive,  // an entry would land outside the updates folder: nothing extracted
        TooLarge,       // past a bound (size, entries, compression, free space): nothing extracted
        Refused,        // the signature: missing, unknown, bad, or unsigned and not approved
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
    // The bounds of an archive, checked before anything is extracted.
    static constexpr qint64 maxTotalBytes = 256LL * 1024 * 1024;
    static constexpr int maxEntries = 10000;
    // An entry of at least this size, unpacked, that is compressed more than maxRatio times
    // is a decompression bomb.
    static constexpr qint64 ratioCheckedFromBytes = 1024 * 1024;
    static constexpr int maxRatio = 200;

    // One entry of the archive as the reading-through found it.
    struct Entry
    {
        enum Kind { File, Dir, SymLink };
        QString path;    // where it lands, relative to the updates folder
        QString rawPath; // as the archive names it
        Kind kind = File;
        qint64 size = 0; // the bytes of its data
        QByteArray sha256;
        QString target; // SymLink: where it points
        int mode = 0644;
        bool implied = false; // a folder only the paths below it name
    };
    struct Inspection
    {
        Result result = Result::NotRun; // NotRun: nothing against it
        QString error;                  // why not, in the user's language
        QList<Entry> entries;
        qint64 totalBytes = 0;
        UpdateSignature::Verdict verdict = UpdateSignature::Verdict::Unsigned;
        UpdateSignature::Decision decision = UpdateSignature::Decision::Refuse;
        QString why; // what the signature check found, for the log
    };
    // Reads the archive through without extracting anything and judges it: its entries, the
    // bounds and the signature (the trusted keys and the settings).
    static Inspection inspect(const QString &archivePath);
    // Why an update is refused, in the user's language.
    static QString refusalText(UpdateSignature::Refusal refusal);

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
    // The script is run with the program's arguments, so that it can start the new version
    // as the old one was started.
    static Command installCommand(ScriptKind kind, const QString &programDir);
    // The arguments as the program was started, taken before QApplication removes from argv
    // the options Qt reads itself (-style, -platform, -reverse...); without them the script
    // gets QCoreApplication::arguments().
    static void setProgramArguments(const QStringList &args);

    // Whether this user can replace the program's files; a packaged installation cannot, and
    // is updated by its package manager instead.
    static bool canInstallInto(const QString &programDir);

public slots:
    // Ends the program through the launcher once the script runs. Otherwise the program goes
    // on: failed() tells why (a missing archive is only logged) and the unpacker deletes itself.
    // An archive that is not signed by a trusted key is installed only with unsignedApproved
    // (the user said yes to it), and only when no key is trusted and none is required.
    void startUpdate(bool unsignedApproved = false);

signals:
    void failed(const QString &reason);

private:
    bool run(const QString &programDir, bool unsignedApproved);
    bool fail(Result result, const QString &reason);

    Launcher launcher = Launcher::system();
    ScriptKind scriptKind = nativeScriptKind();
    Result outcome = Result::NotRun;
};
