#include "appfixture.h"
#include "configcontroller.h"
#include "mainwindow.h"
#include "net.h"
#include "updatecontroller.h"
#include "updateoffer.h"
#include "updateserver.h"
#include "updateunpacker.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QToolButton>

#include <signal.h>
#include <utility>

namespace {
// How the configurator under test was started. The installation script gets these and must
// start the new version with them: the log on, an option of Qt's own (which QApplication takes
// out of argv), and one with spaces, quotes and a dollar sign that a careless script would split
// or expand.
const QStringList programArguments{"-log", "-style", "Fusion", "-fs", "it's \"$HOME\" too"};
// Set for the restarted program: a home of its own, away from the user's settings and data,
// and no screen.
const char *const userVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                                     "QT_QPA_PLATFORM"};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The live processes (not zombies) working in folder or run from a file in it, this one aside.
QList<qint64> processesIn(const QString &folder)
{
    QList<qint64> pids;
    const QString prefix = QFileInfo(folder).canonicalFilePath() + '/';
    const QStringList names = QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        bool ok = false;
        const qint64 pid = name.toLongLong(&ok);
        if (!ok || pid == QCoreApplication::applicationPid())
            continue;
        const QByteArray stat = readAll("/proc/" + name + "/stat");
        const int end = stat.lastIndexOf(')');
        if (end < 0 || stat.mid(end + 2, 1) == "Z")
            continue;
        const QString cwd = QFile::symLinkTarget("/proc/" + name + "/cwd") + '/';
        const QString exe = QFile::symLinkTarget("/proc/" + name + "/exe");
        if (cwd.startsWith(prefix) || exe.startsWith(prefix))
            pids << pid;
    }
    return pids;
}
} // namespace

// The configurator's self-update on real processes: the window finds a newer version on the
// update server, the user says yes, the window ends to install, the archive's script installs
// the update and starts the program again from its folder, as it was started.
class tst_SelfUpdate : public QObject
{
    Q_OBJECT
    // From the script's start to the restarted program's first log line, on a loaded machine.
    static constexpr int programStartMs = 30000;
private slots:
    void init();
    void cleanup();
    void updateRestartsTheProgram();

private:
    std::unique_ptr<AppFixture> f;
    QList<QPair<QByteArray, QByteArray>> savedVariables; // empty value: was not set
    QList<int> quits;
};

void tst_SelfUpdate::init()
{
    QVERIFY((f = std::make_unique<AppFixture>())->isValid());
    quits.clear();
    // The restarted program inherits this environment: a home of its own, and no screen.
    const QString home = f->path("home");
    QVERIFY(QDir().mkpath(home));
    const QStringList values{home, home + "/.config", home + "/.local/share", home + "/.cache",
                             "offscreen"};
    savedVariables.clear();
    for (int i = 0; i < values.size(); ++i) {
        savedVariables.append({userVariables[i], qgetenv(userVariables[i])});
        qputenv(userVariables[i], values.at(i).toUtf8());
    }
}

void tst_SelfUpdate::cleanup()
{
    // Whatever the round came to, nothing it started outlives the test: the script and the
    // restarted program both work in the program folder.
    const QString folder = f->path();
    const bool stopped = QTest::qWaitFor(
        [&folder] {
            const QList<qint64> running = processesIn(folder);
            for (qint64 pid : running)
                ::kill(pid_t(pid), SIGKILL);
            return running.isEmpty();
        },
        programStartMs);
    f.reset();
    for (const auto &v : std::as_const(savedVariables)) {
        if (v.second.isEmpty())
            qunsetenv(v.first.constData());
        else
            qputenv(v.first.constData(), v.second);
    }
    QVERIFY2(stopped, "a process started by the update is still running");
}

void tst_SelfUpdate::updateRestartsTheProgram()
{
    // The program folder holds the built configurator, as a portable copy does.
    const QString exe = f->path("vexa7xx-configurator");
    QVERIFY(QFile::copy(VEXA_CONFIGURATOR_EXE, exe));
    QVERIFY(QFile::setPermissions(exe, QFile::permissions(VEXA_CONFIGURATOR_EXE)));
    QTemporaryDir root;
    QString why;
    QVERIFY2(UpdateServer::makeDemoRoot(root.path(), &why), qPrintable(why));
    auto updates = std::make_unique<UpdateServer>(root.path());
    QVERIFY(updates->listen(0));
    f->writeFile("settings.conf",
                 QStringLiteral("[UpdateServer]\nIP=127.0.0.1\nPort=%1\nPublicKeys=%2\n")
                     .arg(updates->port())
                     .arg(QString::fromLatin1(UpdateServer::testKey().publicKey.toBase64()))
                     .toUtf8());
    MainWindow *window = f->connectWindow();
    QVERIFY(window);
    // The script is really started; only the end of this process is played.
    const UpdateUnpacker::Launcher system = UpdateUnpacker::Launcher::system();
    window->updateController()->setLauncher(
        {system.startDetached, [this](int code) { quits << code; }});
    window->configController()->replaceElement("tx_period", {{"param", "00001c21"}});
    askForConfiguratorUpdate(*f, window);
    if (QTest::currentTestFailed())
        return;
    f->prompts.answer = UserPrompts::No; // the edits are not kept
    QCOMPARE(f->prompts.release(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(f->prompts.asked.last().contains("закроется, чтобы установить "
                                                              "версию 1.7.0"),
                             AppFixture::connectWaitMs);
    QVERIFY(f->prompts.asked.last().contains("незаписанные изменения"));
    QVERIFY(quits.isEmpty());
    QCOMPARE(f->prompts.release(), 1);
    QCOMPARE(quits, QList<int>{0});
    QVERIFY(f->prompts.proposedName.isEmpty()); // nothing was saved
    updates.reset(); // the restarted program finds no newer version to offer again

    // The script installs the update and starts the program from its folder, which logs its
    // start, with the arguments as it was given them, as soon as it runs.
    const QString program = QFileInfo(exe).canonicalFilePath();
    QString started;
    QDebug(&started) << "APP started from" << program << "with arguments" << programArguments;
    started = started.trimmed();
    QTRY_VERIFY2_WITH_TIMEOUT(
        readAll(f->path("vexa7xx.log")).contains(started.toUtf8()),
        qPrintable(started + " not in the log:\n" + readAll(f->path("vexa7xx.log"))),
        programStartMs);
    const QByteArray payload = readAll(f->path("updates/payload/update-marker.txt"));
    QVERIFY(!payload.isEmpty());
    QCOMPARE(readAll(f->path("update-marker.txt")), payload);
    QVERIFY(readAll(f->path("updates/install.log")).contains("update 1.7.0 installed"));

    // That program is the configurator of the program folder, alone, and works there.
    QList<qint64> restarted;
    for (qint64 pid : processesIn(f->path()))
        if (QFile::symLinkTarget(QString("/proc/%1/exe").arg(pid)) == program)
            restarted << pid;
    QCOMPARE(restarted.size(), 1);
    QCOMPARE(QFile::symLinkTarget(QString("/proc/%1/cwd").arg(restarted.first())),
             QFileInfo(f->path()).canonicalFilePath());
}

int main(int argc, char *argv[])
{
    // This process stands for the configurator as the user started it: the program's arguments
    // are taken as its main() takes them, before the application reads the test's own.
    UpdateUnpacker::setProgramArguments(programArguments);
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    tst_SelfUpdate test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_selfupdate.moc"
