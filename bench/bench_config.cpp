// A full read of a Vexa750's parameter set from the simulator on a pseudo-terminal, in ms per
// parameter, next to the raw round trip of the same request and answer frames over the same
// kind of terminal (no link, no parser, no document), measured in the same run.
#include "benchutil.h"
#include "commands.h"
#include "configexchange.h"
#include "deviceinterface.h"
#include "frame.h"
#include "framesplitter.h"
#include "payloadwriter.h"
#include "simulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSerialPort>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
using BenchUtil::median;
using BenchUtil::roundTrip;

// ms per parameter for one full read through the configurator's link.
double linkRead(Simulator &sim, const QList<int> &codes)
{
    DeviceInterface link;
    link.serialPort()->setPortName(sim.portName());
    ConfigExchange exchange(&link);
    exchange.setSupportedCodes([&codes](const DeviceIdentity &) { return codes; });
    QEventLoop loop;
    QObject::connect(&exchange, &ConfigExchange::parceAnswerComplite, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    QElapsedTimer t;
    t.start();
    link.readConfiguration();
    loop.exec();
    return double(t.nsecsElapsed()) / 1e6 / codes.size();
}

// ms per parameter for the same frames written and answered with nothing in between.
double rawRoundTrips(Simulator &sim, const QList<int> &codes)
{
    QSerialPort port(sim.portName());
    port.open(QIODevice::ReadWrite);
    FrameSplitter splitter;
    QElapsedTimer t;
    t.start();
    for (int code : codes) {
        const QByteArray data =
            PayloadWriter().u8(quint8(code >> 8)).u8(Cmd::paramAccess).u8(quint8(code)).data();
        roundTrip(port, splitter,
                  Frame::wrap(Frame::commandPort,
                              Frame::payload(Cmd::readParam, Frame::commandPort, data)));
    }
    return double(t.nsecsElapsed()) / 1e6 / codes.size();
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    BenchUtil::quietStart();
    SimConfig c;
    c.model = 750;
    Simulator sim(c);
    sim.start();
    QList<int> codes;
    for (quint16 code : sim.device().paramCodes())
        codes << code;

    std::vector<double> ours;
    std::vector<double> raw;
    std::vector<double> overRaw; // per round: what the link adds to the bare round trip
    for (int round = 0; round < 7; ++round) {
        raw.push_back(rawRoundTrips(sim, codes));
        ours.push_back(linkRead(sim, codes));
        overRaw.push_back(ours.back() - raw.back());
    }
    // Every 5th answer damaged on the way: each costs a resend, not a full answer time-out.
    SimConfig damaged = c;
    damaged.corruptCrc.every = 5;
    Simulator damagedSim(damaged);
    damagedSim.start();
    std::vector<double> withDamage;
    for (int round = 0; round < 3; ++round)
        withDamage.push_back(linkRead(damagedSim, codes));

    const double o = median(ours);
    const double r = median(raw);
    std::printf(
        "(d) full read of the Vexa750 parameter set (%d parameters), median of 7: %.3f ms per "
        "parameter; baseline (raw request/answer round trip of the same frames): %.3f ms per "
        "parameter; ratio %.2f (a 20 ms quiet-gap design: at least 20 ms per parameter)\n",
        int(codes.size()), o, r, o / r);
    std::printf("(d) what the link adds per parameter over the raw round trip of the same round, "
                "median of 7: %.3f ms\n",
                median(overRaw));
    const double d = median(withDamage);
    std::printf("(c) the same read with every 5th answer's CRC damaged, median of 3: %.3f ms per "
                "parameter; baseline (the undamaged read above): %.3f ms; ratio %.2f (waiting "
                "out the %d ms answer time-out for each damaged answer would be ratio ~%.0f)\n",
                d, o, d / o, DeviceInterface::defaultAnswerTimeoutMs,
                (o + DeviceInterface::defaultAnswerTimeoutMs / 5.0) / o);
    return 0;
}
