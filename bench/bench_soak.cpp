// Long runs on a bad line and on a busy bench:
// (a) 1,000 full configuration reads of a simulated Vexa750 whose answers are lost (5 %) or
//     damaged (5 %), each compared with a clean read; read times (median, p99) next to the same
//     reads on a clean line. The simulator answers on loopback within a millisecond, so the
//     answer time-out is cut to 50 ms: with the program's 3 s a thousand reads would take hours
//     and measure little but the time-out;
// (b) a provisioning batch (template written, read back) of 8 simulated devices at once next
//     to the same batch of one device.
#include "apppaths.h"
#include "benchutil.h"
#include "commands.h"
#include "configexchange.h"
#include "deviceinterface.h"
#include "provisioner.h"
#include "simportenumerator.h"
#include "simulator.h"
#include "tempappdir.h"
#include "userprompts.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <vector>

namespace {
using BenchUtil::median;
using BenchUtil::percentile;

constexpr int soakReads = 1000; // VEXA_SOAK_READS sets another count for a quick look
constexpr int soakAnswerTimeoutMs = 50;
constexpr int batchSize = 8;

// Keeps going after the resends, as a user answering "continue" would; counts the times.
class KeepReading : public UserPrompts
{
public:
    Button ask(Icon, const QString &, const QString &, Buttons, Button) override { return Ok; }
    Button linkPrompt(LinkPrompt) override
    {
        ++givenUp;
        return Yes;
    }
    void notify(Icon, const QString &, const QString &, int) override {}
    QString openFileName(const QString &, const QString &) override { return QString(); }
    QString saveFileName(const QString &, const QString &, const QString &) override
    {
        return QString();
    }
    int givenUp = 0;
};

struct ReadRun
{
    bool completed = false;
    QByteArray document;
    std::vector<double> parameterMs; // the time of each parameter's request and answer
    double totalMs = 0;
};

// One full read through the configurator's link.
ReadRun readOnce(Simulator &sim, const QList<int> &codes, KeepReading &prompts)
{
    ReadRun run;
    DeviceInterface link;
    link.setAnswerTimeout(soakAnswerTimeoutMs);
    link.setUserPrompts(&prompts);
    link.serialPort()->setPortName(sim.portName());
    ConfigExchange exchange(&link);
    exchange.setSupportedCodes([&codes](const DeviceIdentity &) { return codes; });
    QEventLoop loop;
    QElapsedTimer clock;
    qint64 last = 0;
    QObject::connect(&exchange, &ConfigExchange::setProgressValue, [&](int value) {
        if (value <= 0)
            return;
        const qint64 now = clock.nsecsElapsed();
        run.parameterMs.push_back(double(now - last) / 1e6);
        last = now;
    });
    QObject::connect(&exchange, &ConfigExchange::parceAnswerComplite, [&](QBuffer *buffer) {
        run.completed = true;
        run.totalMs = double(clock.nsecsElapsed()) / 1e6;
        run.document = buffer->data();
        loop.quit();
    });
    QObject::connect(&link, &DeviceInterface::changeDeviceStatus, [&](int state) {
        if (state == 0 || state == 8) // gone, or not answering
            loop.quit();
    });
    // Every parameter lost three times over could take this long.
    QTimer::singleShot(codes.size() * 4 * soakAnswerTimeoutMs + 10000, &loop,
                       &QEventLoop::quit);
    clock.start();
    link.readConfiguration();
    loop.exec();
    return run;
}

void soakRead()
{
    SimConfig c;
    c.model = 750;
    c.seed = 7;
    Simulator sim(c);
    sim.start();
    QList<int> codes;
    for (quint16 code : sim.device().paramCodes())
        codes << code;
    KeepReading prompts;

    std::vector<double> cleanMs;
    QByteArray clean;
    for (int round = 0; round < 5; ++round) {
        const ReadRun r = readOnce(sim, codes, prompts);
        clean = r.document;
        cleanMs.push_back(r.totalMs);
    }

    const int wanted = qEnvironmentVariableIsSet("VEXA_SOAK_READS")
                           ? qMax(1, qEnvironmentVariableIntValue("VEXA_SOAK_READS"))
                           : soakReads;
    sim.faults().drop.probability = 0.05;
    sim.faults().corruptCrc.probability = 0.05;
    sim.resetCounts();
    int reads = 0;
    int completed = 0;
    int exact = 0;
    int parameters = 0;
    std::vector<double> faultyMs;
    QElapsedTimer total;
    total.start();
    while (reads < wanted) {
        const ReadRun r = readOnce(sim, codes, prompts);
        ++reads;
        parameters += int(r.parameterMs.size());
        if (r.completed) {
            ++completed;
            exact += r.document == clean ? 1 : 0;
            faultyMs.push_back(r.totalMs);
        }
        if (r.parameterMs.empty())
            break; // the device is gone: no figure would mean anything
    }
    const int requests = sim.commandCount(Cmd::readParam);
    std::printf(
        "(a) %d configuration reads of a Vexa750 (%d parameters each) on a line losing 5 %% "
        "and damaging 5 %% of the answers (answer time-out %d ms), %d parameters in %.0f s:\n"
        "    reads completed %d of %d; values exact (equal to a clean read) %d of %d; "
        "retries %d (%.1f %% of %d parameter requests); given up after the resends %d\n",
        reads, int(codes.size()), soakAnswerTimeoutMs, parameters, total.elapsed() / 1000.0,
        completed, reads, exact, completed, requests - parameters,
        requests ? 100.0 * (requests - parameters) / requests : 0.0, requests, prompts.givenUp);
    const double m = median(faultyMs);
    const double mc = median(cleanMs);
    const double p = percentile(faultyMs, 0.99);
    const double pc = percentile(cleanMs, 0.99);
    std::printf("    read time: median %.0f ms, p99 %.0f ms; baseline (5 reads on a clean line, "
                "this run): median %.0f ms, p99 %.0f ms; ratios %.1f and %.1f\n",
                m, p, mc, pc, mc > 0 ? m / mc : 0.0, pc > 0 ? p / pc : 0.0);
}

// Seconds for one provisioning batch of the given devices; ok counts the devices done.
double provisionOnce(SimPortEnumerator &ports, const QString &templ, int *ok)
{
    Provisioner::Options o;
    o.templateFile = templ;
    o.verify = true;
    QString out;
    QString err;
    QTextStream os(&out);
    QTextStream es(&err);
    Provisioner batch(o, &ports, os, es);
    QEventLoop loop;
    int code = -1;
    QObject::connect(&batch, &Provisioner::finished, [&](int c) {
        code = c;
        loop.quit();
    });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    QElapsedTimer t;
    t.start();
    batch.start();
    loop.exec();
    os.flush();
    *ok = out.count(QStringLiteral("  ok  "));
    return code == -1 ? -1 : t.elapsed() / 1000.0;
}

void provisioning()
{
    TempAppDir dir;
    QFile::copy(QStringLiteral(VEXA_BUILT_DEVICES_DB), dir.path(QStringLiteral("devices.db")));
    std::vector<std::unique_ptr<Simulator>> sims;
    SimPortEnumerator one;
    SimPortEnumerator eight;
    for (int i = 0; i <= batchSize; ++i) {
        SimConfig c;
        c.serialNumber += quint32(i);
        c.rebootDelayMs = 300;
        sims.push_back(std::make_unique<Simulator>(c));
        sims.back()->start();
        (i == 0 ? one : eight).sims << sims.back().get();
    }
    // Each run changes the value, so each writes, reboots and reads back.
    QStringList templates;
    for (const char *period : {"00000258", "0000012c"}) {
        const QString path = dir.path(QStringLiteral("t%1.xml").arg(templates.size()));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray("<configuration><dev_id param=\"750\"/><tx_period param=\"") + period +
                "\"/><nb_trials param=\"05\"/></configuration>");
        templates << path;
    }
    std::vector<double> single;
    std::vector<double> batch;
    int singleOk = 0;
    int batchOk = 0;
    for (int round = 0; round < 3; ++round) {
        int ok = 0;
        single.push_back(provisionOnce(one, templates.at(round % 2), &ok));
        singleOk += ok;
        batch.push_back(provisionOnce(eight, templates.at(round % 2), &ok));
        batchOk += ok;
    }
    const double s = median(single);
    const double b = median(batch);
    std::printf("(b) provisioning (template written, device rebooted and read back) of %d "
                "simulated devices at once, median of 3: %.2f s (%d of %d devices done); baseline "
                "(one device, this run): %.2f s (%d of 3 done); ratio %.2f (one after another "
                "would be ~%d)\n",
                batchSize, b, batchOk, 3 * batchSize, s, singleOk, s > 0 ? b / s : 0.0, batchSize);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    BenchUtil::quietStart();
    provisioning();
    soakRead();
    return 0;
}
