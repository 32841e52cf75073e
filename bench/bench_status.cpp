// CPU cost of live status polling: the real configurator, connected to a simulated Vexa750 on a
// pseudo-terminal, is watched for 20 s with continuous polling on and, as the baseline of the same
// run, with polling off. The figure is the configurator process's own CPU time (user + system,
// from /proc) as a share of one core; the simulator runs in a process of its own and is not
// counted.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {

const int measureSeconds = 20;

// User plus system CPU seconds of a process so far.
double cpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The command name may hold spaces; the fields after its closing parenthesis are fixed.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    const double ticks = fields.at(11).toDouble() + fields.at(12).toDouble();
    return ticks / double(sysconf(_SC_CLK_TCK));
}

bool waitFor(QProcess &process, QByteArray &output, const QByteArray &text, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!output.contains(text)) {
        if (timer.elapsed() > timeoutMs || process.state() != QProcess::Running)
            return false;
        process.waitForReadyRead(200);
        output += process.readAll();
    }
    return true;
}

struct Run
{
    bool ok = false;
    double share = 0; // of one core
    int passes = 0;   // status passes started during the measurement
};

Run measure(bool polling)
{
    Run run;
    QTemporaryDir dir;
    const QString app = QStringLiteral(VEXA_CONFIGURATOR_EXE);
    const QString appDir = QFileInfo(app).absolutePath();
    // The configurator keeps its settings next to itself: a copy in a scratch directory gets
    // settings of its own without touching the build's.
    const QString copy = dir.filePath(QStringLiteral("vexa7xx-configurator"));
    if (!QFile::copy(app, copy) || !QFile::copy(appDir + QStringLiteral("/devices.db"),
                                                dir.filePath(QStringLiteral("devices.db")))) {
        std::fprintf(stderr, "cannot copy the configurator from %s\n", qPrintable(appDir));
        return run;
    }
    QFile settings(dir.filePath(QStringLiteral("settings.conf")));
    if (!settings.open(QIODevice::WriteOnly))
        return run;
    settings.write(
        QByteArray("[Language]\nlang=ru\n\n[Survey]\nSendExtraordinaryPackOnStart=false\n"
                   "Status=") +
        (polling ? "true" : "false") + "\n");
    settings.close();

    const QString port = dir.filePath(QStringLiteral("port"));
    QProcess sim;
    sim.start(QStringLiteral(VEXA_SIM_EXE),
              {QStringLiteral("--model"), QStringLiteral("750"), QStringLiteral("--link"), port});
    sim.waitForStarted();
    for (int i = 0; i < 50 && !QFile::exists(port); ++i)
        QThread::msleep(100);
    if (!QFile::exists(port)) {
        std::fprintf(stderr, "the simulator did not start: %s\n", sim.readAll().constData());
        return run;
    }

    QProcess configurator;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    configurator.setProcessEnvironment(env);
    configurator.setProcessChannelMode(QProcess::MergedChannels);
    configurator.start(copy, {QStringLiteral("-port"), port});
    configurator.waitForStarted();
    QByteArray output;
    // Warm-up: identification and the whole configuration are read before the measurement.
    if (waitFor(configurator, output, "DEVICE STATUS: ready", 60000)) {
        QThread::sleep(2);
        output = configurator.readAll();
        const double before = cpuSeconds(configurator.processId());
        QElapsedTimer wall;
        wall.start();
        while (wall.elapsed() < measureSeconds * 1000) {
            configurator.waitForReadyRead(200);
            output += configurator.readAll();
        }
        const double after = cpuSeconds(configurator.processId());
        run.ok = before >= 0 && after >= 0;
        run.share = (after - before) / (double(wall.elapsed()) / 1000.0);
        run.passes = output.count("DEVICE STATUS: read status");
    } else {
        std::fprintf(stderr, "the configurator did not reach the device:\n%s\n",
                     output.right(2000).constData());
    }
    configurator.kill();
    configurator.waitForFinished();
    sim.kill();
    sim.waitForFinished();
    return run;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::printf("status polling, configurator CPU over %d s, share of one core\n", measureSeconds);
    const Run off = measure(false);
    const Run on = measure(true);
    if (!off.ok || !on.ok) {
        std::printf("  could not run the configurator against the simulator\n");
        std::fflush(stdout);
        return 1;
    }
    std::printf("  polling off (baseline): %.2f %%  (%d passes)\n", off.share * 100, off.passes);
    std::printf("  polling on:             %.2f %%  (%d passes, %.1f per second)\n", on.share * 100,
                on.passes, on.passes / double(measureSeconds));
    // With polling off the idle configurator often spends less than one clock tick in 20 s.
    if (off.share > 0)
        std::printf("  ratio on/off: %.1f\n", on.share / off.share);
    else
        std::printf("  ratio on/off: not defined, the idle baseline is below one clock tick\n");
    std::printf("  polling adds %.2f %% of one core (goal: under 2 %%)\n",
                (on.share - off.share) * 100);
    return 0;
}
