// What keeping the device journal costs a job: a full configuration read and a write of a
// simulated Vexa750 through the command line (in-process, as a user runs it, the wait for the
// journal's store before the program ends included), with the journal on and off in turns,
// in the same run. The write is the file of the read with one value changed each time, so
// every write sends, reboots the device and is recorded with the configuration before it.
// The journal's cost is about fixed per job, so it is measured twice: against a device that
// answers each request in 5 ms (a real one over USB takes longer), and against the simulator
// answering at once, where nothing but the program's own work hides it (the worst case).
#include "appsettings.h"
#include "benchutil.h"
#include "clirunner.h"
#include "simportenumerator.h"
#include "statusrecords.h"
#include "simulator.h"
#include "tempappdir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <vector>

namespace {
using BenchUtil::median;

constexpr int rounds = 15; // each: a read and a write with the journal on, and both off
constexpr int commandWaitMs = 60000;
constexpr int rebootDelayMs = 100;
constexpr int realisticAnswerMs = 5;

// Milliseconds of one command, or -1 when it failed.
double runOnce(SimPortEnumerator &ports, const QStringList &args)
{
    CliOptions o;
    QString error;
    if (!CliOptions::parse(args, &o, &error))
        return -1;
    QString out;
    QString err;
    QTextStream os(&out);
    QTextStream es(&err);
    QElapsedTimer t;
    int code = -1;
    {
        CliRunner runner(o, &ports, os, es);
        QEventLoop loop;
        QObject::connect(&runner, &CliRunner::finished, [&](int c) {
            code = c;
            loop.quit();
        });
        QTimer::singleShot(commandWaitMs, &loop, &QEventLoop::quit);
        t.start();
        runner.start();
        loop.exec();
    } // the runner, and the journal with it, is gone: the program would have ended
    const double ms = t.nsecsElapsed() / 1e6;
    return code == 0 ? ms : -1;
}

// Waits until the rebooted device is back on a new terminal (*appeared counts them).
void awaitDevice(const int &appeared, int before)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (appeared > before)
            loop.quit();
    });
    poll.start(10);
    QTimer::singleShot(commandWaitMs, &loop, &QEventLoop::quit);
    loop.exec();
}

// Reads and writes in turns, the journal on and off; prints the medians and their ratios.
void measure(int answerMs)
{
    TempAppDir dir;
    QFile::copy(QStringLiteral(VEXA_BUILT_DEVICES_DB), dir.path(QStringLiteral("devices.db")));
    SimConfig c;
    c.rebootDelayMs = rebootDelayMs;
    c.slowMs = answerMs;
    Simulator sim(c);
    sim.start();
    SimPortEnumerator ports;
    ports.sims << &sim;
    const QString file = dir.path(QStringLiteral("dev.xml"));
    int appeared = 0;
    QObject::connect(&sim, &Simulator::portChanged, [&appeared] { ++appeared; });

    std::vector<double> readOn, readOff, writeOn, writeOff;
    int failed = 0;
    for (int round = 0; round < 2 * rounds; ++round) {
        const bool on = round % 2 == 0;
        AppSettings::write(QStringLiteral("Journal"), QStringLiteral("Enabled"), on);
        const double read = runOnce(ports, {QStringLiteral("read"), QStringLiteral("-o"), file});
        // The next write sends a value the device does not hold.
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        QByteArray doc = f.readAll();
        f.close();
        const QByteArray period = QByteArray::number(600 + round, 16).rightJustified(8, '0');
        const int at = doc.indexOf("<tx_period param=\"");
        if (at >= 0)
            doc.replace(at + 18, 8, period);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(doc);
        f.close();
        const int before = appeared;
        const double write =
            runOnce(ports, {QStringLiteral("write"), file, QStringLiteral("--yes")});
        if (write >= 0)
            awaitDevice(appeared, before);
        if (read < 0 || write < 0) {
            ++failed;
            continue;
        }
        (on ? readOn : readOff).push_back(read);
        (on ? writeOn : writeOff).push_back(write);
    }
    const double ron = median(readOn), roff = median(readOff);
    const double won = median(writeOn), woff = median(writeOff);
    const QByteArray device = answerMs > 0 ? QByteArray::number(answerMs) + " ms a request"
                                           : QByteArray("at once (worst case)");
    std::printf("device answering %s:\n", device.constData());
    std::printf("  full read through vexa7xx-cli, median of %d: journal on %.1f ms; baseline "
                "(journal off, this run) %.1f ms; ratio %.3f\n",
                int(readOn.size()), ron, roff, roff > 0 ? ron / roff : 0.0);
    std::printf("  write of one changed value (read first, as write does), median of %d: journal "
                "on %.1f ms; baseline (journal off, this run) %.1f ms; ratio %.3f\n",
                int(writeOn.size()), won, woff, woff > 0 ? won / woff : 0.0);
    if (failed)
        std::printf("  (%d rounds failed and are left out)\n", failed);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    BenchUtil::quietStart();
    measure(realisticAnswerMs);
    measure(0);
    return 0;
}
