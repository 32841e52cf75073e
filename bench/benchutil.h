#pragma once

#include "framesplitter.h"
#include "statusrecords.h"

#include <QEventLoop>
#include <QSerialPort>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

// What the benchmarks share: the median and percentiles of a run's figures, and the bare round trip
// of a request frame that every link-free baseline is made of.
namespace BenchUtil {

// What every benchmark does first: figures printed line by line as they come (a run takes
// minutes), the link's log going nowhere, as in the command line without -v, and the link's
// types known to queued connections.
inline void quietStart()
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    registerLinkMetaTypes();
}

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The figure below which the fraction p (0.99: 99 %) of a run's figures lie.
inline double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    if (v.empty())
        return 0;
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

// Writes one frame and waits (at most 3 s) for the answer frame; false when none came.
inline bool roundTrip(QSerialPort &port, FrameSplitter &splitter, const QByteArray &frame)
{
    port.write(frame);
    QEventLoop loop;
    bool got = false;
    auto c = QObject::connect(&port, &QSerialPort::readyRead, [&] {
        if (!splitter.feed(port.readAll()).isEmpty()) {
            got = true;
            loop.quit();
        }
    });
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    if (!got)
        loop.exec();
    QObject::disconnect(c);
    return got;
}

} // namespace BenchUtil
