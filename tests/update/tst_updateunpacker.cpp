#include "appsettings.h"
#include "logcapture.h"
#include "tempappdir.h"
#include "updateunpacker.h"
#include "withoutrootpowers.h"
#include "ziparchive.h"

#include <QDirIterator>
#include <QPointer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

using Result = UpdateUnpacker::Result;
using Kind = UpdateUnpacker::ScriptKind;
Q_DECLARE_METATYPE(UpdateUnpacker::ScriptKind)

namespace {
const QString shScript = QStringLiteral("startupd.sh=cp -r bin ..\n");

// Items: "dir/" a folder, "link->target" a symbolic link, "path=content" a file, and a leading
// "x:" makes the file executable.
bool writeArchive(const QString &path, const QStringList &items)
{
    QList<ZipArchive::Item> entries;
    for (QString item : items) {
        ZipArchive::Item e;
        const bool exe = item.startsWith(QLatin1String("x:"));
        if (exe)
            item.remove(0, 2);
        const int arrow = item.indexOf(QLatin1String("->"));
        const int eq = item.indexOf(QLatin1Char('='));
        if (item.endsWith(QLatin1Char('/'))) {
            e.name = item;
            e.kind = ZipArchive::Item::Dir;
        } else if (arrow > 0) {
            e.name = item.left(arrow);
            e.kind = ZipArchive::Item::SymLink;
            e.target = item.mid(arrow + 2);
        } else {
            e.name = item.left(eq);
            e.data = item.mid(eq + 1).toUtf8();
            e.mode = exe ? 0755 : 0644;
        }
        entries << e;
    }
    QString error;
    return ZipArchive::write(path, entries, &error);
}

// Every path below the folder, links listed but not followed.
QStringList tree(const QString &root)
{
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next().mid(root.size() + 1);
    out.sort();
    return out;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
} // namespace

class tst_UpdateUnpacker : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        log = std::make_unique<LogCapture>(); // after the test library's own handler
        app = std::make_unique<TempAppDir>();
        QVERIFY(app->isValid() && QDir(app->path()).mkpath("updates/olddir"));
        QVERIFY(writeBytes(app->path("updates/old.txt"), "old"));
        QVERIFY(writeBytes(app->path("updates/olddir/startupd.sh"), "old"));
        QVERIFY(writeBytes(app->path("updates/startupd.sh"), "echo previous update\n"));
    }
    void cleanup()
    {
        app.reset();
        log.reset();
    }

    void judgesEveryEntryFirst_data();
    void judgesEveryEntryFirst();
    void cmdScriptCompletion_data();
    void cmdScriptCompletion();
    void shellScriptEntersTheFolder_data();
    void shellScriptEntersTheFolder();
    void installsSoundArchive_data();
    void installsSoundArchive();
    void brokenUpdateKeepsRunning_data();
    void brokenUpdateKeepsRunning();
    void canInstallInto_data();
    void canInstallInto();
    void signatures_data();
    void signatures();

private:
    struct Run
    {
        Result result = Result::NotRun;
        int failures = 0;
        QList<UpdateUnpacker::Command> starts;
        QList<int> quits;
        bool deleted = false;
    };
    // approved: the user said yes to an archive that no trusted key signed.
    Run run(Kind kind = Kind::Shell, bool startSucceeds = true, bool approved = true)
    {
        Run r;
        QObject owner;
        QPointer<UpdateUnpacker> unpacker = new UpdateUnpacker(&owner);
        unpacker->setScriptKind(kind);
        unpacker->setLauncher(
            {[&](const QString &program, const QStringList &args, const QString &workDir) {
                 r.starts.append({program, args, workDir});
                 return startSucceeds;
             },
             [&](int code) { r.quits << code; }});
        QSignalSpy failed(unpacker.data(), &UpdateUnpacker::failed);
        unpacker->startUpdate(approved);
        r.result = unpacker->result();
        r.failures = failed.count();
        for (const QList<QVariant> &f : failed)
            if (f.first().toString().isEmpty())
                r.failures = -1;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        r.deleted = unpacker.isNull();
        return r;
    }
    QString archive() const { return app->path("updates/update.zip"); }

    std::unique_ptr<LogCapture> log;
    std::unique_ptr<TempAppDir> app;
};

void tst_UpdateUnpacker::judgesEveryEntryFirst_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("parent") << QStringList{shScript, "../x=evil"} << false;
    QTest::newRow("climbs out of a folder") << QStringList{shScript, "a/../../x=evil"} << false;
    QTest::newRow("absolute") << QStringList{shScript, "/abs=evil"} << false;
    QTest::newRow("drive letter") << QStringList{shScript, "C:/x=evil"} << false;
    QTest::newRow("backslashes") << QStringList{shScript, "a\\..\\..\\x=evil"} << false;
    QTest::newRow("folder above") << QStringList{shScript, "../d/"} << false;
    QTest::newRow("link up") << QStringList{shScript, "etc->../../etc"} << false;
    QTest::newRow("link absolute") << QStringList{shScript, "sub/etc->/etc"} << false;
    QTest::newRow("link from a folder") << QStringList{shScript, "a/b/up->../../../x"} << false;
    QTest::newRow("link through a link")
        << QStringList{shScript, "d/up->..", "d/out->up/../x"} << false;
    QTest::newRow("over the archive") << QStringList{shScript, "Update.zip=x"} << false;
    QTest::newRow("a file below a link") << QStringList{shScript, "lnk->bin", "lnk/x=evil"}
                                         << false;
    QTest::newRow("nested") << QStringList{shScript, "sub/dir/", "sub/dir/f=1", "a/b/c/d=2"}
                            << true;
    QTest::newRow("links inside") << QStringList{shScript, "lib/v1=1", "lib/cur->v1",
                                                 "bin/lib->../lib/v1", "d/up->.."}
                                  << true;
}

void tst_UpdateUnpacker::judgesEveryEntryFirst()
{
    QFETCH(QStringList, items);
    QFETCH(bool, accepted);
    QVERIFY(writeArchive(archive(), items));
    const QStringList before = tree(app->path());
    const Run r = run();
    if (!accepted) {
        QCOMPARE(r.result, Result::UnsafeArchive);
        QCOMPARE(r.failures, 1);
        QCOMPARE(tree(app->path()), before);
        QVERIFY(r.starts.isEmpty() && r.quits.isEmpty());
        return;
    }
    QCOMPARE(r.result, Result::Started);
    const QStringList extracted = tree(app->path("updates"));
    for (const QString &item : items) {
        QString path = item.section(QRegularExpression("=|->"), 0, 0);
        if (path.endsWith('/'))
            path.chop(1);
        QVERIFY2(extracted.contains(path), qPrintable(path));
    }
}

void tst_UpdateUnpacker::cmdScriptCompletion_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("script"); // empty: refused
    QTest::newRow("spaces, LF")
        << "C:/Program Files/Vexa" << QByteArray("copy a b\nstart x.exe\n")
        << QByteArray(
               "@echo off\r\ncd /D \"C:\\Program Files\\Vexa\"\r\ncopy a b\r\nstart x.exe\r\n");
    QTest::newRow("Cyrillic, CR LF kept")
        << QString::fromUtf8("C:/Программы/Векса") << QByteArray("a\r\nb\nc")
        << QByteArray(
               "@echo off\r\ncd /D "
               "\"C:\\\x8f\xe0\xae\xa3\xe0\xa0\xac\xac\xeb\\\x82\xa5\xaa\xe1\xa0\"\r\na\r\nb\r\nc");
    QTest::newRow("percent") << "D:/100%/app" << QByteArray()
                             << QByteArray("@echo off\r\ncd /D \"D:\\100%%\\app\"\r\n");
    QTest::newRow("Chinese") << QString::fromUtf8("C:/程序/Vexa") << QByteArray("x\n")
                             << QByteArray();
    QTest::newRow("Latin accents") << QString::fromUtf8("C:/Café") << QByteArray() << QByteArray();
}

void tst_UpdateUnpacker::cmdScriptCompletion()
{
    QFETCH(QString, folder);
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, script);
    const UpdateUnpacker::Completion c = UpdateUnpacker::completeCmdScript(content, folder);
    QCOMPARE(c.script, script);
    QCOMPARE(c.ok(), !script.isEmpty());
    if (script.isEmpty())
        QVERIFY(!c.error.isEmpty());
}

void tst_UpdateUnpacker::shellScriptEntersTheFolder_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "vexa";
    QTest::newRow("quote and space") << "it's mine";
    QTest::newRow("substitutions") << "$(touch pwned)`touch pwned2`'$HOME'";
    QTest::newRow("Cyrillic") << QString::fromUtf8("Программа; ls");
}

// The completed script runs here under sh, from elsewhere, to show where it really lands.
void tst_UpdateUnpacker::shellScriptEntersTheFolder()
{
    QFETCH(QString, name);
    const QString folder = app->path(name);
    QVERIFY(QDir().mkpath(folder));
    const auto c = UpdateUnpacker::completeShellScript("pwd > where.txt\n", folder);
    QVERIFY(c.ok());
    QProcess sh;
    sh.setWorkingDirectory(app->path("updates"));
    sh.start("/bin/sh", {"-c", QString::fromUtf8(c.script)});
    QVERIFY(sh.waitForFinished());
    QCOMPARE(sh.exitCode(), 0);
    QCOMPARE(readAll(folder + "/where.txt").trimmed(), folder.toUtf8());
    QVERIFY(!QFileInfo::exists(app->path("updates/pwned")) &&
            !QFileInfo::exists(app->path("updates/pwned2")));

    QVERIFY(QDir(folder).removeRecursively());
    sh.start("/bin/sh", {"-c", QString::fromUtf8(c.script)});
    QVERIFY(sh.waitForFinished());
    QVERIFY2(sh.exitCode() != 0, "a missing folder must stop the script");
    QVERIFY(!QFileInfo::exists(app->path("updates/where.txt")));
}

void tst_UpdateUnpacker::installsSoundArchive_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QStringList>("command"); // %1: the program folder, "/" separators
    QTest::newRow("cmd") << Kind::Cmd << QStringList{"%1/updates/startupd.cmd"};
    QTest::newRow("sh") << Kind::Shell << QStringList{"/bin/sh", "%1/updates/startupd.sh"};
}

void tst_UpdateUnpacker::installsSoundArchive()
{
    QFETCH(Kind, kind);
    QFETCH(QStringList, command);
    const QString scriptName = UpdateUnpacker::scriptFileName(kind);
    const QByteArray commands = "copy bin\\* ..\nexit\n";
    QVERIFY(writeArchive(archive(), {scriptName + "=" + commands, "x:bin/vexa=new program",
                                     "translations/", "translations/en.qm=qm"}));
    const Run r = run(kind);
    QCOMPARE(r.result, Result::Started);
    QCOMPARE(r.failures, 0);
    QCOMPARE(r.quits, QList<int>{0});
    QCOMPARE(r.starts.size(), 1);
    QCOMPARE(QStringList{r.starts[0].program} + r.starts[0].args,
             command.replaceInStrings("%1", app->path()) + QCoreApplication::arguments().mid(1));
    QCOMPARE(r.starts[0].workDir, app->path());

    QStringList expectedTree{"update.zip", scriptName,     "bin",
                             "bin/vexa",   "translations", "translations/en.qm"};
    expectedTree.sort();
    QCOMPARE(tree(app->path("updates")), expectedTree);
    QCOMPARE(readAll(app->path("updates/bin/vexa")), QByteArray("new program"));
    QVERIFY(QFileInfo(app->path("updates/bin/vexa")).isExecutable());
    const QByteArray script = readAll(app->path("updates/" + scriptName));
    QCOMPARE(script, UpdateUnpacker::completeScript(kind, commands, app->path()).script);
    QVERIFY(log->contains("UNPACKER: Number of items in the zip archive = 5"));
    QVERIFY(log->contains("UNPACKER: File: bin/vexa size:  11"));
    QVERIFY(log->contains("UNPACKER: Dir: translations"));
}

void tst_UpdateUnpacker::brokenUpdateKeepsRunning_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<Result>("result");
    QTest::newRow("no archive") << "none" << Result::NoArchive;
    QTest::newRow("no script") << "no script" << Result::NoScript;
    QTest::newRow("not a zip") << "garbage" << Result::CannotOpen;
    QTest::newRow("truncated") << "truncate" << Result::CannotOpen;
    QTest::newRow("corrupt data") << "flip" << Result::ExtractFailed;
    QTest::newRow("old files stuck") << "stuck" << Result::CannotClear;
    QTest::newRow("unwritable folder") << "read-only" << Result::ExtractFailed;
    QTest::newRow("folder outside the code page") << "chinese" << Result::CannotInstall;
    QTest::newRow("start refused") << "no start" << Result::CannotStart;
}

void tst_UpdateUnpacker::brokenUpdateKeepsRunning()
{
    QFETCH(QString, damage);
    QFETCH(Result, result);
    QRandomGenerator seeded(17);
    QByteArray noise(20000, '\0');
    for (char &c : noise)
        c = char(seeded.bounded(256));
    {
        // Random bytes do not deflate: a flipped byte in the middle lands in their data.
        QList<ZipArchive::Item> items{{"bin/noise", ZipArchive::Item::File, -1, {}, 0644, noise}};
        if (damage != "no script")
            items.append({"startupd.sh", ZipArchive::Item::File, -1, {}, 0644, "echo\n"});
        QString error;
        QVERIFY2(ZipArchive::write(archive(), items, &error), qPrintable(error));
    }
    QByteArray bytes = readAll(archive());
    std::unique_ptr<WithoutRootPowers> powerless;
    Kind kind = Kind::Shell;
    if (damage == "none")
        QVERIFY(QFile::remove(archive()));
    else if (damage == "garbage")
        QVERIFY(writeBytes(archive(), "PK not really a zip archive"));
    else if (damage == "truncate")
        QVERIFY(writeBytes(archive(), bytes.left(bytes.size() / 2)));
    else if (damage == "flip") {
        bytes[5000] = char(~bytes[5000]);
        QVERIFY(writeBytes(archive(), bytes));
    } else if (damage == "read-only" || damage == "stuck") {
        if (damage == "read-only")
            QVERIFY(QFile::remove(app->path("updates/old.txt")) &&
                    QFile::remove(app->path("updates/startupd.sh")) &&
                    QDir(app->path("updates/olddir")).removeRecursively());
        powerless = std::make_unique<WithoutRootPowers>();
        if (geteuid() == 0 && !powerless->isActive())
            QSKIP("cannot drop root's file powers here");
        QVERIFY(QFile::setPermissions(app->path("updates"), QFile::ReadOwner | QFile::ExeOwner));
    } else if (damage == "chinese") {
        kind = Kind::Cmd;
        const QString folder = app->path(QString::fromUtf8("程序"));
        QVERIFY(QDir().mkpath(folder + "/updates") &&
                QFile::copy(archive(), folder + "/updates/update.zip"));
        AppPaths::setAppDirOverride(folder);
    }
    const QStringList before = tree(app->path());
    const Run r = run(kind, damage != "no start");
    QFile::setPermissions(app->path("updates"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    powerless.reset();
    QCOMPARE(r.result, result);
    QCOMPARE(r.failures, result == Result::NoArchive ? 0 : 1);
    QVERIFY(r.deleted);
    QVERIFY(r.quits.isEmpty());
    QCOMPARE(r.starts.size(), result == Result::CannotStart ? 1 : 0);
    // The previous update's script never survives a new archive that got as far as extracting.
    if (result == Result::NoScript)
        QVERIFY(!QFileInfo::exists(app->path("updates/startupd.sh")));
    if (result == Result::CannotInstall || result == Result::CannotOpen ||
        result == Result::NoArchive)
        QCOMPARE(tree(app->path()), before);
}

void tst_UpdateUnpacker::canInstallInto_data()
{
    QTest::addColumn<QString>("readOnly"); // below the program folder, "" for none
    QTest::addColumn<bool>("installable");
    QTest::newRow("writable") << "" << true;
    QTest::newRow("read-only folder") << "." << false;
    QTest::newRow("read-only file") << "devices.db" << false;
    QTest::newRow("missing folder") << "missing/" << false;
}

void tst_UpdateUnpacker::canInstallInto()
{
    QFETCH(QString, readOnly);
    QFETCH(bool, installable);
    QVERIFY(writeBytes(app->path("devices.db"), "db"));
    WithoutRootPowers powerless;
    if (geteuid() == 0 && !powerless.isActive())
        QSKIP("cannot drop root's file powers here");
    QString folder = app->path();
    if (readOnly == "missing/")
        folder = app->path("missing");
    else if (!readOnly.isEmpty())
        QVERIFY(QFile::setPermissions(app->path(readOnly), QFile::ReadOwner | QFile::ExeOwner));
    const bool answer = UpdateUnpacker::canInstallInto(folder);
    QFile::setPermissions(app->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(answer, installable);
    QCOMPARE(tree(app->path()).filter("probe").size(), 0);
}

void tst_UpdateUnpacker::signatures_data()
{
    // The update server's cases (unsigned, another key, a changed entry, a bomb) run through
    // the client in tst_net; here what the server does not make.
    QTest::addColumn<QString>("signer");  // trusted, other, none
    QTest::addColumn<QString>("damage");  // after signing
    QTest::addColumn<bool>("keyTrusted"); // the trusted key is in the settings
    QTest::addColumn<bool>("required");   // UpdateServer/RequireSignature
    QTest::addColumn<bool>("approved");   // the user's yes to an unsigned archive
    QTest::addColumn<Result>("result");
    QTest::newRow("an entry added after signing")
        << "trusted" << "added" << true << false << true << Result::Refused;
    QTest::newRow("a signature of something else")
        << "trusted" << "signature" << true << false << true << Result::Refused;
    QTest::newRow("no key: unsigned and approved")
        << "none" << "" << false << false << true << Result::Started;
    QTest::newRow("no key, a signature required")
        << "other" << "" << false << true << true << Result::Refused;
}

void tst_UpdateUnpacker::signatures()
{
    QFETCH(QString, signer);
    QFETCH(QString, damage);
    QFETCH(bool, keyTrusted);
    QFETCH(bool, required);
    QFETCH(bool, approved);
    QFETCH(Result, result);
    const UpdateSignature::KeyPair trusted = UpdateSignature::generate();
    const UpdateSignature::KeyPair other = UpdateSignature::generate();
    using Item = ZipArchive::Item;
    QList<Item> items{{"startupd.sh", Item::File, -1, {}, 0644, "cp -r bin ..\n"},
                      {"bin/vexa", Item::File, -1, {}, 0755, "new program"},
                      {"bin/current", Item::SymLink, -1, "vexa", 0777, {}}};
    if (signer != "none")
        items = UpdateSignature::signArchive(items, (signer == "trusted" ? trusted : other).secretKey);
    if (damage == "added")
        items.append({"bin/extra", Item::File, -1, {}, 0755, "x"});
    else if (damage == "signature")
        items.last().data = UpdateSignature::signatureText("something else", trusted.secretKey);
    QString error;
    QVERIFY2(ZipArchive::write(archive(), items, &error), qPrintable(error));
    if (keyTrusted)
        AppSettings::write("UpdateServer", "PublicKeys",
                           QString::fromLatin1(trusted.publicKey.toBase64()));
    AppSettings::write("UpdateServer", "RequireSignature", required);
    const QStringList before = tree(app->path());
    const Run r = run(Kind::Shell, true, approved);
    QCOMPARE(r.result, result);
    if (result == Result::Started) {
        QCOMPARE(readAll(app->path("updates/bin/vexa")), QByteArray("new program"));
        QVERIFY(!QFileInfo::exists(app->path("updates/MANIFEST")));
    } else {
        QCOMPARE(r.failures, 1);
        QCOMPARE(tree(app->path()), before); // nothing extracted, nothing cleared
    }
}

QTEST_GUILESS_MAIN(tst_UpdateUnpacker)
#include "tst_updateunpacker.moc"
