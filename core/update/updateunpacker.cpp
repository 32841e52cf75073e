#include "updateunpacker.h"

#include "apppaths.h"

// kzip.h first: the entry headers lean on the declarations it brings in.
#include <KZip>

#include <KArchiveDirectory>
#include <KArchiveFile>
#include <KZipFileEntry>

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryFile>
#include <QTextCodec>

#include <algorithm>
#include <memory>
#include <zlib.h>

namespace {
const char *const updatesFolder = "updates";
const char *const consoleCodePage = "IBM866";
constexpr qint64 copyChunkBytes = 64 * 1024;

struct Entry
{
    enum Kind { File, Dir, SymLink };
    QString path;    // where it lands, relative to the updates folder
    QString rawPath; // as the archive names it, before KZip tidies it
    Kind kind = File;
    qint64 size = 0;
    const KArchiveEntry *item = nullptr;
};

void collect(const KArchiveDirectory *dir, const QString &prefix, QList<Entry> &out)
{
    const QStringList names = dir->entries();
    for (const QString &name : names) {
        const KArchiveEntry *item = dir->entry(name);
        Entry e;
        e.path = prefix + name;
        e.rawPath = e.path;
        e.item = item;
        if (item->isDirectory()) {
            e.kind = Entry::Dir;
            out << e;
            collect(static_cast<const KArchiveDirectory *>(item), e.path + QLatin1Char('/'), out);
            continue;
        }
        e.kind = item->symLinkTarget().isEmpty() ? Entry::File : Entry::SymLink;
        if (auto *zipped = dynamic_cast<const KZipFileEntry *>(item))
            e.rawPath = zipped->path();
        if (item->isFile())
            e.size = static_cast<const KArchiveFile *>(item)->size();
        out << e;
    }
}

// Absolute paths, drive letters (and Windows' alternate streams), backslashes that Windows
// would read as separators, and ".." anywhere: each could put a file outside the updates folder.
bool unsafeName(const QString &path)
{
    if (path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char('\\')) ||
        path.contains(QLatin1Char(':')))
        return true;
    const QStringList parts = path.split(QLatin1Char('/'));
    return parts.contains(QStringLiteral(".."));
}

// Follows a link's target from the link's own folder without touching the disk. That is only
// sound while no step passes through another link of the archive, so such a target is refused
// as well as one that climbs above the updates folder.
bool linkEscapes(const Entry &link, const QSet<QString> &linkPaths)
{
    const QString target = link.item->symLinkTarget();
    if (target.startsWith(QLatin1Char('/')) || target.contains(QLatin1Char('\\')) ||
        target.contains(QLatin1Char(':')))
        return true;
    QStringList at = link.path.split(QLatin1Char('/'));
    at.removeLast();
    const QStringList steps = target.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (int i = 0; i < steps.size(); ++i) {
        const QString &step = steps.at(i);
        if (step == QLatin1String("."))
            continue;
        if (step == QLatin1String("..")) {
            if (at.isEmpty())
                return true;
            at.removeLast();
            continue;
        }
        at << step;
        if (i + 1 < steps.size() && linkPaths.contains(at.join(QLatin1Char('/'))))
            return true;
    }
    return false;
}

// The first entry that must not be extracted, or an empty text when all are sound.
QString firstUnsafeEntry(const QList<Entry> &entries)
{
    QSet<QString> linkPaths;
    for (const Entry &e : entries)
        if (e.kind == Entry::SymLink)
            linkPaths.insert(e.path);
    for (const Entry &e : entries) {
        if (unsafeName(e.rawPath) || unsafeName(e.path))
            return e.rawPath;
        // Extracting over the archive would destroy it while it is being read.
        if (e.path.compare(QLatin1String(UpdateUnpacker::archiveName), Qt::CaseInsensitive) == 0)
            return e.rawPath;
        // No entry lies below a link: a link is a file in KZip's tree, and KZip refuses an
        // archive that puts paths below a file. The links' own targets are what is left.
        if (e.kind == Entry::SymLink && linkEscapes(e, linkPaths))
            return e.rawPath + QStringLiteral(" -> ") + e.item->symLinkTarget();
    }
    return QString();
}

// Everything in the updates folder but the archive goes, so that an archive without a script
// can never start the script of an earlier update. Links are removed, not followed.
bool clearFolder(const QString &folder, QString *failedPath)
{
    const QFileInfoList items = QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                           QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &fi : items) {
        if (fi.fileName() == QLatin1String(UpdateUnpacker::archiveName))
            continue;
        const bool removed = fi.isDir() && !fi.isSymLink()
                                 ? QDir(fi.absoluteFilePath()).removeRecursively()
                                 : QFile::remove(fi.absoluteFilePath());
        if (!removed) {
            *failedPath = fi.absoluteFilePath();
            return false;
        }
    }
    return true;
}

QFileDevice::Permissions permissionsOf(mode_t mode)
{
    // The owner keeps read and write so that the next update can clear the folder.
    QFileDevice::Permissions p = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                 QFileDevice::ReadUser | QFileDevice::WriteUser;
    if (mode & 0100)
        p |= QFileDevice::ExeOwner | QFileDevice::ExeUser;
    if (mode & 0040)
        p |= QFileDevice::ReadGroup;
    if (mode & 0010)
        p |= QFileDevice::ExeGroup;
    if (mode & 0004)
        p |= QFileDevice::ReadOther;
    if (mode & 0001)
        p |= QFileDevice::ExeOther;
    return p;
}

// Copies one file out of the archive in pieces, checking its length and CRC as it goes: KZip
// hands out whatever inflates, damaged or not. Returns why it failed, or an empty text.
QString extractFile(const KArchiveFile *file, qint64 size, const QString &dest)
{
    const QString writeFailed = UpdateUnpacker::tr("Не удалось записать файл %1: %2");
    std::unique_ptr<QIODevice> in(file->createDevice());
    QFile out(dest);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return writeFailed.arg(dest, out.errorString());
    qint64 total = 0;
    uLong crc = crc32(0L, Z_NULL, 0);
    while (in && total < size) {
        const QByteArray chunk = in->read(std::min(copyChunkBytes, size - total));
        if (chunk.isEmpty())
            break;
        crc = crc32(crc, reinterpret_cast<const Bytef *>(chunk.constData()), uInt(chunk.size()));
        total += chunk.size();
        if (out.write(chunk) != chunk.size())
            return writeFailed.arg(dest, out.errorString());
    }
    if (!out.flush())
        return writeFailed.arg(dest, out.errorString());
    const auto *zipped = dynamic_cast<const KZipFileEntry *>(file);
    if (total != size || (zipped && crc != zipped->crc32()))
        return UpdateUnpacker::tr("Архив обновления повреждён: данные файла \"%1\" не сходятся")
            .arg(dest);
    out.setPermissions(permissionsOf(file->permissions()));
    return QString();
}

// Folders and files first, links last: no file is ever written through a link.
QString extractAll(const QList<Entry> &entries, const QDir &root)
{
    const QString mkdirFailed = UpdateUnpacker::tr("Не удалось создать папку %1");
    for (const Entry &e : entries) {
        const QString dest = root.filePath(e.path);
        if (e.kind == Entry::Dir && !root.mkpath(e.path))
            return mkdirFailed.arg(dest);
        if (e.kind != Entry::File)
            continue;
        if (!root.mkpath(QFileInfo(e.path).path()))
            return mkdirFailed.arg(QFileInfo(dest).path());
        const QString error = extractFile(static_cast<const KArchiveFile *>(e.item), e.size, dest);
        if (!error.isEmpty())
            return error;
    }
    for (const Entry &e : entries) {
        const QString dest = root.filePath(e.path);
        if (e.kind == Entry::SymLink && !QFile::link(e.item->symLinkTarget(), dest))
            return UpdateUnpacker::tr("Не удалось создать ссылку %1").arg(dest);
    }
    return QString();
}

QString shellQuoted(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}
} // namespace

UpdateUnpacker::Launcher UpdateUnpacker::Launcher::system()
{
    Launcher l;
    l.startDetached = [](const QString &program, const QStringList &args, const QString &workDir) {
        return QProcess::startDetached(program, args, workDir);
    };
    l.quit = [](int exitCode) { QCoreApplication::exit(exitCode); };
    return l;
}

UpdateUnpacker::UpdateUnpacker(QObject *parent)
    : QObject(parent)
{
    qDebug().noquote() << "\n----------------Unpacker Started----------------"
                       << "/C:14";
}

UpdateUnpacker::ScriptKind UpdateUnpacker::nativeScriptKind()
{
#ifdef Q_OS_WIN
    return ScriptKind::Cmd;
#else
    return ScriptKind::Shell;
#endif
}

QString UpdateUnpacker::scriptFileName(ScriptKind kind)
{
    return kind == ScriptKind::Cmd ? QStringLiteral("startupd.cmd") : QStringLiteral("startupd.sh");
}

UpdateUnpacker::Completion UpdateUnpacker::completeScript(ScriptKind kind,
                                                          const QByteArray &content,
                                                          const QString &programDir)
{
    return kind == ScriptKind::Cmd ? completeCmdScript(content, programDir)
                                   : completeShellScript(content, programDir);
}

UpdateUnpacker::Completion UpdateUnpacker::completeCmdScript(const QByteArray &content,
                                                             const QString &programDir)
{
    Completion c;
    QTextCodec *codec = QTextCodec::codecForName(consoleCodePage);
    QString folder = programDir;
    folder.replace(QLatin1Char('/'), QLatin1Char('\\'));
    if (!codec || !codec->canEncode(folder)) {
        c.error = tr("Папку программы \"%1\" нельзя записать в сценарий установки: "
                     "её имя содержит символы вне кодовой страницы консоли (IBM866)")
                      .arg(QDir::toNativeSeparators(programDir));
        return c;
    }
    // In a command script a single % starts a variable name.
    folder.replace(QLatin1Char('%'), QLatin1String("%%"));
    QByteArray body = content;
    body.replace("\r\n", "\n");
    body.replace("\n", "\r\n");
    c.script =
        QByteArray("@echo off\r\n") + "cd /D \"" + codec->fromUnicode(folder) + "\"\r\n" + body;
    return c;
}

UpdateUnpacker::Completion UpdateUnpacker::completeShellScript(const QByteArray &content,
                                                               const QString &programDir)
{
    Completion c;
    c.script = "cd " + shellQuoted(programDir).toUtf8() + " || exit 1\n" + content;
    return c;
}

UpdateUnpacker::Command UpdateUnpacker::installCommand(ScriptKind kind, const QString &programDir)
{
    const QString dir = QDir::fromNativeSeparators(programDir);
    const QString script = dir + QLatin1Char('/') + QLatin1String(updatesFolder) +
                           QLatin1Char('/') + scriptFileName(kind);
    if (kind == ScriptKind::Cmd)
        return {script, {}, dir};
    return {QStringLiteral("/bin/sh"), {script}, dir};
}

bool UpdateUnpacker::canInstallInto(const QString &programDir)
{
    // Trying is the only answer that holds for access lists and read-only mounts too.
    QTemporaryFile probe(programDir + QStringLiteral("/.vexa-install-probe-XXXXXX"));
    if (!probe.open())
        return false;
    probe.close();
    const QString running = QFileInfo(QCoreApplication::applicationFilePath()).absoluteFilePath();
    const QFileInfoList files = QDir(programDir).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo &fi : files) {
        // The running program cannot be opened for writing on every system, yet the script
        // replaces it after the program has ended.
        if (fi.absoluteFilePath() == running || fi.absoluteFilePath() == probe.fileName())
            continue;
        QFile f(fi.absoluteFilePath());
        if (!f.open(QIODevice::ReadWrite))
            return false;
    }
    return true;
}

void UpdateUnpacker::startUpdate()
{
    outcome = Result::NotRun;
    const QString programDir = AppPaths::appDir();
    if (!run(programDir))
        deleteLater();
}

bool UpdateUnpacker::fail(Result result, const QString &reason)
{
    outcome = result;
    qDebug().noquote() << "UNPACKER:" << reason << "/C:12";
    emit failed(reason);
    return false;
}

bool UpdateUnpacker::run(const QString &programDir)
{
    const QString updatesDir = AppPaths::filePath(QLatin1String(updatesFolder));
    const QString archivePath = updatesDir + QLatin1Char('/') + QLatin1String(archiveName);
    if (!QFileInfo::exists(archivePath)) {
        outcome = Result::NoArchive;
        qDebug().noquote() << "UNPACKER: No update files. Unpacker closed";
        return false;
    }
    // Refused before anything is touched: a script that changes into the wrong folder would
    // install there.
    const Completion header = completeScript(scriptKind, QByteArray(), programDir);
    if (!header.ok())
        return fail(Result::CannotInstall, header.error);

    KZip zip(archivePath);
    if (!zip.open(QIODevice::ReadOnly))
        return fail(Result::CannotOpen,
                    tr("Архив обновления повреждён: %1").arg(zip.errorString()));

    QList<Entry> entries;
    collect(zip.directory(), QString(), entries);
    std::sort(entries.begin(), entries.end(),
              [](const Entry &a, const Entry &b) { return a.path < b.path; });
    qDebug().noquote() << "UNPACKER: Number of items in the zip archive =" << entries.size();
    for (const Entry &e : entries) {
        if (e.kind == Entry::File)
            qDebug().noquote() << "UNPACKER: File:" << e.path << "size: " << e.size;
        else if (e.kind == Entry::Dir)
            qDebug().noquote() << "UNPACKER: Dir:" << e.path;
        else
            qDebug().noquote() << "UNPACKER: SymLink:" << e.path;
    }
    // The whole list is judged first, so that a refused archive leaves no file behind.
    const QString unsafe = firstUnsafeEntry(entries);
    if (!unsafe.isEmpty())
        return fail(Result::UnsafeArchive,
                    tr("Архив обновления отклонён: элемент \"%1\" указывает за пределы "
                       "папки обновлений")
                        .arg(unsafe));

    QString stuck;
    if (!clearFolder(updatesDir, &stuck))
        return fail(Result::CannotClear, tr("Не удалось очистить папку обновлений: %1").arg(stuck));

    const QDir root(updatesDir);
    const QString broken = extractAll(entries, root);
    if (!broken.isEmpty())
        return fail(Result::ExtractFailed, broken);
    zip.close();
    qDebug().noquote() << "UNPACKER: Unpack update OK! Start install update...";

    const QString scriptPath = root.filePath(scriptFileName(scriptKind));
    const QFileInfo scriptInfo(scriptPath);
    if (!scriptInfo.isFile() || scriptInfo.isSymLink())
        return fail(
            Result::NoScript,
            tr("В архиве обновления нет сценария установки %1").arg(scriptFileName(scriptKind)));
    QFile script(scriptPath);
    if (!script.open(QIODevice::ReadWrite))
        return fail(Result::CannotComplete,
                    tr("Не удалось дополнить сценарий установки: %1").arg(script.errorString()));
    const Completion completed = completeScript(scriptKind, script.readAll(), programDir);
    if (!completed.ok())
        return fail(Result::CannotInstall, completed.error);
    if (!script.seek(0) || !script.resize(0) ||
        script.write(completed.script) != completed.script.size() || !script.flush())
        return fail(Result::CannotComplete,
                    tr("Не удалось дополнить сценарий установки: %1").arg(script.errorString()));
    script.close();

    const Command command = installCommand(scriptKind, programDir);
    if (!launcher.startDetached(command.program, command.args, command.workDir))
        return fail(Result::CannotStart,
                    tr("Не удалось запустить сценарий установки %1").arg(scriptPath));
    outcome = Result::Started;
    qDebug().noquote() << "\n----------------Unpacker Finished----------------"
                       << "/C:14";
    launcher.quit(0);
    return true;
}
