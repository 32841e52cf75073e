#include "updateunpacker.h"

#include "apppaths.h"
#include "ziparchive.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QStorageInfo>
#include <QTemporaryFile>
#include <QTextCodec>

#include <algorithm>
#include <optional>

namespace {
const char *const updatesFolder = "updates";
const char *const consoleCodePage = "IBM866";
constexpr qint64 copyChunkBytes = 64 * 1024;
// What the manifest and its signature may take: a few hundred lines.
constexpr qint64 maxManifestBytes = 1024 * 1024;

using Entry = UpdateUnpacker::Entry;

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
    const QString &target = link.target;
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

// Whether a folder above path is one of the links: writing there would follow it.
bool belowALink(const QString &path, const QSet<QString> &linkPaths)
{
    for (int slash = path.indexOf(QLatin1Char('/')); slash > 0;
         slash = path.indexOf(QLatin1Char('/'), slash + 1))
        if (linkPaths.contains(path.left(slash)))
            return true;
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
        if (unsafeName(e.rawPath) || unsafeName(e.path) || belowALink(e.path, linkPaths))
            return e.rawPath;
        // Extracting over the archive would destroy it while it is being read.
        if (e.path.compare(QLatin1String(UpdateUnpacker::archiveName), Qt::CaseInsensitive) == 0)
            return e.rawPath;
        if (e.kind == Entry::SymLink && linkEscapes(e, linkPaths))
            return e.rawPath + QStringLiteral(" -> ") + e.target;
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

// The second pass: folders and files as the first pass found them, links last, so that no file
// is ever written through a link. A file that now holds other bytes than it did (the archive
// changed meanwhile) stops it.
QString extractAll(const QString &archivePath, const QList<Entry> &entries, const QDir &root)
{
    const QString mkdirFailed = UpdateUnpacker::tr("Не удалось создать папку %1");
    const QString writeFailed = UpdateUnpacker::tr("Не удалось записать файл %1: %2");
    const QString changed =
        UpdateUnpacker::tr("Архив обновления повреждён: данные файла \"%1\" не сходятся");
    QHash<QString, const Entry *> byRaw;
    for (const Entry &e : entries)
        if (!e.implied)
            byRaw.insert(e.rawPath, &e);
    for (const Entry &e : entries)
        if (e.kind == Entry::Dir && !root.mkpath(e.path))
            return mkdirFailed.arg(root.filePath(e.path));

    ZipArchive::Reader reader(archivePath);
    if (!reader.open())
        return changed.arg(archivePath);
    ZipArchive::Item item;
    QByteArray block(int(copyChunkBytes), Qt::Uninitialized);
    for (;;) {
        const ZipArchive::Reader::Next next = reader.next(&item);
        if (next == ZipArchive::Reader::Next::End)
            break;
        const Entry *e = next == ZipArchive::Reader::Next::Entry ? byRaw.value(item.name) : nullptr;
        if (!e)
            return changed.arg(item.name);
        if (e->kind != Entry::File || UpdateSignature::isSignatureEntry(e->path))
            continue;
        const QString dest = root.filePath(e->path);
        if (!root.mkpath(QFileInfo(e->path).path()))
            return mkdirFailed.arg(QFileInfo(dest).path());
        QFile out(dest);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return writeFailed.arg(dest, out.errorString());
        QCryptographicHash sha(QCryptographicHash::Sha256);
        qint64 total = 0;
        for (qint64 got; (got = reader.read(block.data(), block.size())) != 0;) {
            total += got;
            if (got < 0 || total > e->size)
                return changed.arg(dest);
            sha.addData(QByteArray::fromRawData(block.constData(), int(got)));
            if (out.write(block.constData(), got) != got)
                return writeFailed.arg(dest, out.errorString());
        }
        if (!out.flush())
            return writeFailed.arg(dest, out.errorString());
        if (total != e->size || sha.result() != e->sha256)
            return changed.arg(dest);
        out.setPermissions(permissionsOf(mode_t(e->mode)));
    }
    for (const Entry &e : entries) {
        const QString dest = root.filePath(e.path);
        if (e.kind == Entry::SymLink && !QFile::link(e.target, dest))
            return UpdateUnpacker::tr("Не удалось создать ссылку %1").arg(dest);
    }
    return QString();
}

// Set once at start-up, before any update runs.
std::optional<QStringList> &startArguments()
{
    static std::optional<QStringList> args;
    return args;
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
    // The script gets the program's own arguments, to start the new version as this one was.
    const QStringList programArgs =
        startArguments().value_or(QCoreApplication::arguments().mid(1));
    if (kind == ScriptKind::Cmd)
        return {script, programArgs, dir};
    return {QStringLiteral("/bin/sh"), QStringList{script} + programArgs, dir};
}

void UpdateUnpacker::setProgramArguments(const QStringList &args)
{
    startArguments() = args;
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

void UpdateUnpacker::startUpdate(bool unsignedApproved)
{
    outcome = Result::NotRun;
    const QString programDir = AppPaths::appDir();
    if (!run(programDir, unsignedApproved))
        deleteLater();
}

bool UpdateUnpacker::fail(Result result, const QString &reason)
{
    outcome = result;
    qDebug().noquote() << "UNPACKER:" << reason << "/C:12";
    emit failed(reason);
    return false;
}

UpdateUnpacker::Inspection UpdateUnpacker::inspect(const QString &archivePath)
{
    Inspection in;
    auto refuse = [&in](Result result, const QString &error) {
        in.result = result;
        in.error = error;
        return in;
    };
    const QString damaged = tr("Архив обновления повреждён: %1");
    ZipArchive::Reader reader(archivePath);
    if (!reader.open())
        return refuse(Result::CannotOpen, damaged.arg(reader.errorString()));
    QByteArray manifest;
    QByteArray signature;
    QSet<QString> seen;
    ZipArchive::Item item;
    QByteArray block(int(copyChunkBytes), Qt::Uninitialized);
    for (;;) {
        const ZipArchive::Reader::Next next = reader.next(&item);
        if (next == ZipArchive::Reader::Next::End)
            break;
        if (next == ZipArchive::Reader::Next::Error)
            return refuse(Result::CannotOpen, damaged.arg(reader.errorString()));
        if (in.entries.size() >= maxEntries)
            return refuse(Result::TooLarge,
                          tr("Архив обновления отклонён: в нём более %1 элементов").arg(maxEntries));
        Entry e;
        e.rawPath = item.name;
        e.path = ZipArchive::tidied(item.name);
        e.kind = Entry::Kind(item.kind);
        e.target = item.target;
        e.mode = item.mode;
        if (seen.contains(e.path))
            return refuse(Result::CannotOpen,
                          damaged.arg(tr("элемент \"%1\" записан дважды").arg(e.rawPath)));
        seen.insert(e.path);
        // Read through once, and thrown away: sizes, hashes and the compression of every
        // entry are known before a byte lands on the disk.
        const bool keep = e.kind == Entry::File && UpdateSignature::isSignatureEntry(e.path);
        QByteArray kept;
        QCryptographicHash sha(QCryptographicHash::Sha256);
        const qint64 start = reader.consumed();
        for (qint64 got; (got = reader.read(block.data(), block.size())) != 0;) {
            if (got < 0)
                return refuse(Result::ExtractFailed,
                              tr("Архив обновления повреждён: данные файла \"%1\" не сходятся")
                                  .arg(e.rawPath));
            e.size += got;
            in.totalBytes += got;
            sha.addData(QByteArray::fromRawData(block.constData(), int(got)));
            if (keep && kept.size() + got <= maxManifestBytes)
                kept.append(block.constData(), int(got));
            const qint64 packed = std::max<qint64>(1, reader.consumed() - start);
            if (item.size >= 0 && e.size > item.size)
                return refuse(Result::TooLarge,
                              tr("Архив обновления отклонён: файл \"%1\" больше, чем указано "
                                 "в архиве")
                                  .arg(e.rawPath));
            if (in.totalBytes > maxTotalBytes)
                return refuse(Result::TooLarge,
                              tr("Архив обновления отклонён: распакованный, он больше %1 МБ")
                                  .arg(maxTotalBytes / (1024 * 1024)));
            if (e.size >= ratioCheckedFromBytes && e.size > maxRatio * packed)
                return refuse(Result::TooLarge,
                              tr("Архив обновления отклонён: файл \"%1\" сжат более чем в %2 "
                                 "раз (архив-бомба)")
                                  .arg(e.rawPath)
                                  .arg(maxRatio));
        }
        if (e.kind == Entry::SymLink)
            sha.addData(e.target.toUtf8());
        e.sha256 = sha.result();
        if (keep && e.path == QLatin1String(UpdateSignature::manifestName))
            manifest = kept;
        else if (keep)
            signature = kept;
        in.entries << e;
    }
    // The folders that only the paths below them name, as the folder tree will hold them.
    QSet<QString> folders;
    for (const Entry &e : in.entries)
        for (int slash = e.path.indexOf(QLatin1Char('/')); slash > 0;
             slash = e.path.indexOf(QLatin1Char('/'), slash + 1))
            folders.insert(e.path.left(slash));
    for (const QString &folder : folders) {
        if (seen.contains(folder))
            continue;
        Entry implied;
        implied.path = implied.rawPath = folder;
        implied.kind = Entry::Dir;
        implied.implied = true;
        in.entries << implied;
    }
    std::sort(in.entries.begin(), in.entries.end(),
              [](const Entry &a, const Entry &b) { return a.path < b.path; });

    // The whole list is judged before anything is extracted, so that a refused archive leaves
    // no file behind.
    const QString unsafe = firstUnsafeEntry(in.entries);
    if (!unsafe.isEmpty())
        return refuse(Result::UnsafeArchive,
                      tr("Архив обновления отклонён: элемент \"%1\" указывает за пределы "
                         "папки обновлений")
                          .arg(unsafe));

    QList<UpdateSignature::ManifestEntry> found;
    for (const Entry &e : in.entries)
        if (e.kind != Entry::Dir && !UpdateSignature::isSignatureEntry(e.path))
            found.append({e.path, e.size, e.sha256});
    const QList<QByteArray> keys = UpdateSignature::trustedKeys();
    in.verdict = UpdateSignature::checkArchive(found, manifest, signature, keys, &in.why);
    UpdateSignature::Refusal refusal;
    in.decision = UpdateSignature::decide(in.verdict, !keys.isEmpty(),
                                          UpdateSignature::signatureRequired(), &refusal);
    if (in.why.isEmpty())
        in.why = UpdateSignature::refusalText(refusal);
    if (in.decision == UpdateSignature::Decision::Refuse)
        return refuse(Result::Refused, tr("Обновление отклонено: %1").arg(refusalText(refusal)));
    return in;
}

QString UpdateUnpacker::refusalText(UpdateSignature::Refusal refusal)
{
    using R = UpdateSignature::Refusal;
    switch (refusal) {
    case R::None:
        break;
    case R::Bad:
        return tr("его подпись не сходится: файл изменён или повреждён");
    case R::UnknownKey:
        return tr("оно подписано ключом, которому конфигуратор не доверяет");
    case R::Unsigned:
        return tr("оно не подписано");
    case R::Required:
        return tr("оно не подписано доверенным ключом, а настройки требуют подписи "
                  "(UpdateServer/RequireSignature)");
    }
    return QString();
}

bool UpdateUnpacker::run(const QString &programDir, bool unsignedApproved)
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

    const Inspection in = inspect(archivePath);
    if (!in.why.isEmpty())
        qDebug().noquote() << "UNPACKER: signature:" << in.why;
    if (in.result != Result::NotRun)
        return fail(in.result, in.error);
    if (in.decision == UpdateSignature::Decision::Ask && !unsignedApproved)
        return fail(Result::Refused, tr("Обновление отклонено: %1")
                                         .arg(refusalText(UpdateSignature::Refusal::Unsigned)));
    qDebug().noquote() << "UNPACKER: Number of items in the zip archive =" << in.entries.size();
    for (const Entry &e : in.entries) {
        if (e.kind == Entry::File)
            qDebug().noquote() << "UNPACKER: File:" << e.path << "size: " << e.size;
        else if (e.kind == Entry::Dir)
            qDebug().noquote() << "UNPACKER: Dir:" << e.path;
        else
            qDebug().noquote() << "UNPACKER: SymLink:" << e.path;
    }
    // Room for all of it, and the old files are not counted on to make it.
    const QStorageInfo disk(updatesDir);
    if (disk.isValid() && disk.bytesAvailable() >= 0 && disk.bytesAvailable() < in.totalBytes)
        return fail(Result::TooLarge,
                    tr("Недостаточно места на диске для обновления: нужно %1 МБ")
                        .arg(double(in.totalBytes) / (1024 * 1024), 0, 'f', 1));

    QString stuck;
    if (!clearFolder(updatesDir, &stuck))
        return fail(Result::CannotClear, tr("Не удалось очистить папку обновлений: %1").arg(stuck));

    const QDir root(updatesDir);
    const QString broken = extractAll(archivePath, in.entries, root);
    if (!broken.isEmpty())
        return fail(Result::ExtractFailed, broken);
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
