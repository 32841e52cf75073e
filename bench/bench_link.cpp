// Figures of the receive path, each next to a baseline measured in the same run:
//  (a) frames decoded per second from a prepared stream, against frames handed over already cut;
//  (b) parser wake-ups while the link is idle for 2 s, against a 1 ms polling loop;
//  (c) time from the last byte of an answer written to a pseudo-terminal to the answer's
//      signal in the GUI thread, against a design that waits for 20 ms of silence.
#include "benchutil.h"
#include "commands.h"
#include "deviceinterface.h"
#include "frame.h"
#include "framesplitter.h"
#include "packparser.h"
#include "ptypair.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSerialPort>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

namespace {
using BenchUtil::median;
using BenchUtil::percentile;

QByteArray answerFrame(quint16 code, const QByteArray &body)
{
    return Frame::wrap(2, Frame::payload(code, 2, body));
}

QList<QByteArray> mixedFrames()
{
    QList<QByteArray> f;
    f << answerFrame(Cmd::netStatus, QByteArray(42, '\x02'));
    f << answerFrame(Cmd::netQuality, QByteArray::fromHex("0100ff9cf60f03"));
    f << answerFrame(Cmd::lastSendStatus, QByteArray(23, '\x01'));
    f << answerFrame(Cmd::netTimes, QByteArray(42, '\x03'));
    f << answerFrame(Cmd::batStatus, QByteArray::fromHex("02ee00010e100000"));
    f << answerFrame(Cmd::adcStatus,
                     QByteArray::fromHex("02ee000abc0ce4") + QByteArray(12, '\x01'));
    f << answerFrame(Cmd::inputsParams, QByteArray::fromHex("02ee00") + QByteArray(36, '\x01'));
    f << answerFrame(Cmd::readParam, QByteArray::fromHex("00010a00040000003c"));
    return f;
}

void benchThroughput()
{
    const QList<QByteArray> frames = mixedFrames();
    QByteArray stream;
    QList<QByteArray> cut;
    for (int i = 0; i < 5000; ++i) {
        stream += frames.join();
        cut += frames;
    }
    PackParser parser(nullptr);
    const int reads = 4096; // bytes per read, as a USB serial driver delivers them

    auto run = [&](bool withSplitter) {
        QElapsedTimer t;
        t.start();
        qint64 decoded = 0;
        for (int rep = 0; rep < 5; ++rep) {
            if (withSplitter) {
                FrameSplitter s;
                for (int pos = 0; pos < stream.size(); pos += reads) {
                    for (const QByteArray &f : s.feed(stream.mid(pos, reads))) {
                        QByteArray payload;
                        quint8 port = 0;
                        if (Frame::check(f, &payload, &port)) {
                            parser.dataParser(payload, port);
                            ++decoded;
                        }
                    }
                }
            } else {
                for (const QByteArray &f : cut) {
                    QByteArray payload;
                    quint8 port = 0;
                    if (Frame::check(f, &payload, &port)) {
                        parser.dataParser(payload, port);
                        ++decoded;
                    }
                }
            }
        }
        return double(decoded) / (double(t.nsecsElapsed()) / 1e9);
    };
    const double base = run(false);
    const double ours = run(true);
    std::printf(
        "(a) frames decoded per second from a byte stream: %.0f/s; baseline (frames handed over "
        "pre-cut): %.0f/s; ratio %.2f\n",
        ours, base, ours / base);
}

void benchIdleWakeups()
{
    DeviceInterface link;
    const quint64 before = link.packParser()->wakeUps();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
    const quint64 ours = link.packParser()->wakeUps() - before;

    std::atomic<bool> stop{false};
    std::atomic<quint64> polls{0};
    std::unique_ptr<QThread> poller(QThread::create([&] {
        while (!stop) {
            QThread::msleep(1);
            ++polls;
        }
    }));
    poller->start();
    QThread::msleep(2000);
    stop = true;
    poller->wait();
    std::printf("(b) parser wake-ups in 2 s of idle link: %llu; baseline (1 ms polling loop): %llu "
                "wake-ups\n",
                static_cast<unsigned long long>(ours),
                static_cast<unsigned long long>(polls.load()));
}

// Sends `count` answers and returns the delay of each (ms) from its last byte written to
// `arrived` being called in this thread.
template<typename Arm> std::vector<double> measureLatency(PtyPair &pty, int count, Arm arm)
{
    const QByteArray frame = answerFrame(Cmd::netStatus, QByteArray(42, '\x02'));
    std::vector<double> delays;
    delays.reserve(size_t(count));
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < count; ++i) {
        QEventLoop loop;
        qint64 arrivedAt = -1;
        arm([&] {
            arrivedAt = clock.nsecsElapsed();
            loop.quit();
        });
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        pty.write(frame.left(frame.size() - 1));
        QThread::usleep(200);
        const qint64 sentAt = clock.nsecsElapsed();
        pty.write(frame.right(1));
        loop.exec();
        if (arrivedAt >= 0)
            delays.push_back(double(arrivedAt - sentAt) / 1e6);
    }
    return delays;
}

void benchLatency()
{
    PtyPair pty;
    if (!pty.isValid()) {
        std::printf("(c) no pseudo-terminal available\n");
        return;
    }
    std::vector<double> ours;
    {
        DeviceInterface link;
        link.serialPort()->setPortName(pty.slaveName());
        link.serialPort()->open(QIODevice::ReadWrite);
        QObject receiver;
        std::function<void()> onArrival;
        QObject::connect(link.packParser(), &PackParser::mainNetStatus, &receiver,
                         [&](const NET_MAIN_STAT &) {
                             if (onArrival)
                                 onArrival();
                         });
        // The link takes only an answer it waits for: each one is asked for first.
        const int requestBytes = Frame::overheadBytes + 3;
        ours = measureLatency(pty, 1000, [&](std::function<void()> f) {
            onArrival = std::move(f);
            link.getStatus();
            pty.read(requestBytes, 1000);
        });
    }

    // Baseline: a burst is closed after 20 ms without a byte, then checked and parsed.
    std::vector<double> gap;
    {
        PtyPair pty2;
        QSerialPort port;
        port.setPortName(pty2.slaveName());
        port.open(QIODevice::ReadWrite);
        QTimer quiet;
        quiet.setSingleShot(true);
        QByteArray burst;
        PackParser parser(nullptr);
        std::function<void()> onArrival;
        QObject::connect(&port, &QSerialPort::readyRead, [&] {
            quiet.start(20);
            burst += port.readAll();
        });
        QObject::connect(&quiet, &QTimer::timeout, [&] {
            QByteArray payload;
            quint8 p = 0;
            if (Frame::check(burst, &payload, &p))
                parser.dataParser(payload, p);
            burst.clear();
        });
        QObject::connect(&parser, &PackParser::mainNetStatus, [&](const NET_MAIN_STAT &) {
            if (onArrival)
                onArrival();
        });
        gap = measureLatency(pty2, 200, [&](std::function<void()> f) { onArrival = std::move(f); });
    }
    std::printf(
        "(c) answer latency, last byte written -> signal in the GUI thread, %zu answers: median "
        "%.3f ms, p99 %.3f ms; baseline (20 ms quiet gap, %zu answers): median %.3f ms, p99 %.3f "
        "ms; ratio of medians %.3f\n",
        ours.size(), median(ours), percentile(ours, 0.99), gap.size(), median(gap),
        percentile(gap, 0.99), median(ours) / median(gap));
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    BenchUtil::quietStart();
    benchThroughput();
    benchIdleWakeups();
    benchLatency();
    return 0;
}
