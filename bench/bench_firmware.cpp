// A 256 KiB firmware image flashed into a simulated Vexa750 on a pseudo-terminal through the
// link and FileTransfer: seconds, KB/s and the host's cost per block, next to the raw round
// trip of the same block frames over the same kind of terminal (written, answer awaited,
// nothing else), measured in the same run.
#include "benchutil.h"
#include "commands.h"
#include "deviceinterface.h"
#include "filetransfer.h"
#include "firmwareimage.h"
#include "frame.h"
#include "framesplitter.h"
#include "loghandler.h"
#include "simulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <vector>

namespace {
using BenchUtil::median;
using BenchUtil::roundTrip;

constexpr int imageBytes = 256 * 1024;
constexpr int blocks = imageBytes / FileTransfer::defaultBlockSize;
constexpr int rounds = 5;

// Where the log goes in the log-file rounds: each message as the configurator's log file has it.
QFile *logFile = nullptr;
void fileLog(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    logFile->write(LogHandler::formatFileLine(type, QDateTime::currentDateTime(),
                                              LogHandler::stripColourMarkers(message).text)
                       .toUtf8());
}

// ms for the file creation and every block of the image, written and answered with nothing in
// between.
double rawBlocks(Simulator &sim, const QByteArray &file)
{
    QSerialPort port(sim.portName());
    port.open(QIODevice::ReadWrite);
    FrameSplitter splitter;
    roundTrip(
        port, splitter,
        Frame::wrap(Frame::commandPort, Frame::payload(Cmd::createFile, Frame::commandPort,
                                                       QByteArray(1, char(Cmd::firmwareFile)))));
    QElapsedTimer t;
    t.start();
    for (int offset = 0; offset < file.size(); offset += FileTransfer::defaultBlockSize) {
        const QByteArray block = FileTransfer::blockHeader(Cmd::firmwareFile, quint32(offset)) +
                                 file.mid(offset, FileTransfer::defaultBlockSize);
        if (!roundTrip(port, splitter,
                       Frame::wrap(Frame::filePort,
                                   Frame::payload(Frame::fileBlockCmd, Frame::filePort, block))))
            return -1;
    }
    return double(t.nsecsElapsed()) / 1e6;
}

struct Flash
{
    double totalMs = -1;  // file information to the reboot accepted
    double blocksMs = -1; // file created to the last block acknowledged
};

Flash flash(Simulator &sim, const QByteArray &file, const QString &path)
{
    Flash result;
    DeviceInterface link;
    FileTransfer transfer(&link);
    QEventLoop loop;
    QObject::connect(&link, &DeviceInterface::setCurrentFwVer, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    link.serialPort()->setPortName(sim.portName());
    link.readConfiguration();
    loop.exec();
    if (link.deviceId() == 0 ||
        transfer.loadFirmwareFile(QString(), path) != FileTransfer::Error::None)
        return result;

    QElapsedTimer t;
    QElapsedTimer blocks;
    QObject::connect(&transfer, &FileTransfer::setProgressValue, [&](int value) {
        if (value == 0 && !blocks.isValid())
            blocks.start(); // the file is created
        else if (value == file.size())
            result.blocksMs = double(blocks.nsecsElapsed()) / 1e6;
    });
    QObject::connect(&transfer, &FileTransfer::transferFinished, [&] {
        result.totalMs = double(t.nsecsElapsed()) / 1e6;
        loop.quit();
    });
    QObject::connect(&transfer, &FileTransfer::transferFailed, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    t.start();
    transfer.getFileInfo();
    loop.exec();
    return result;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    BenchUtil::quietStart();
    QTemporaryDir dir;
    // The baseline writes one version, the flash another, so the flash creates the file anew
    // instead of finding it complete.
    const QByteArray rawFile = firmwareImage(750, QStringLiteral("1.0.0"), imageBytes);
    const QByteArray file = firmwareImage(750, QStringLiteral("9.9.9"), imageBytes);
    const QString path = dir.filePath(QStringLiteral("fw.bin"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(file) != file.size()) {
            std::printf("cannot write %s\n", qPrintable(path));
            return 1;
        }
    }

    std::vector<double> raw, total, inBlocks;
    auto measure = [&] {
        raw.clear();
        total.clear();
        inBlocks.clear();
        for (int round = 0; round < rounds; ++round) {
            SimConfig c;
            c.model = 750;
            Simulator sim(c);
            if (!sim.start()) {
                std::printf("no pseudo-terminal available\n");
                return 1;
            }
            const double r = rawBlocks(sim, rawFile);
            const Flash f = flash(sim, file, path);
            if (r < 0 || f.totalMs < 0 || f.blocksMs < 0 || sim.device().storedFile() != file) {
                std::printf("round %d failed (raw %.1f ms, flash %.1f ms)\n", round, r, f.totalMs);
                return 1;
            }
            raw.push_back(r);
            total.push_back(f.totalMs);
            inBlocks.push_back(f.blocksMs);
        }
        return 0;
    };
    if (measure() != 0)
        return 1;
    const double rawPerBlock = median(raw) / blocks;
    const double perBlock = median(inBlocks) / blocks;
    const double seconds = median(total) / 1000;
    std::printf("(f) flash of a %d KiB image (%d blocks of %d bytes) into a simulated Vexa750, "
                "median of %d: %.3f s, %.1f KB/s; %.3f ms per block against the raw round trip "
                "of the same frames %.3f ms: host overhead %.3f ms per block (goal <= 2 ms), "
                "ratio %.2f (a 20 ms quiet gap per answer would add %.1f s)\n",
                imageBytes / 1024, blocks, FileTransfer::defaultBlockSize, rounds, seconds,
                imageBytes / 1000.0 / seconds, perBlock, rawPerBlock, perBlock - rawPerBlock,
                perBlock / rawPerBlock, blocks * DeviceInterface::quietPeriodMs / 1000.0);

    // The window logs every line of the transfer to its log file.
    QFile log(dir.filePath(QStringLiteral("vexa7xx.log")));
    log.open(QIODevice::WriteOnly);
    logFile = &log;
    qInstallMessageHandler(fileLog);
    if (measure() != 0)
        return 1;
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    const double logged = median(inBlocks) / blocks;
    std::printf("(g) the same with every log line written to a log file, median of %d: %.3f s; "
                "%.3f ms per block; baseline (the raw round trip of this run) %.3f ms: host "
                "overhead %.3f ms per block, ratio %.2f; the log adds %.3f ms per block "
                "(%lld bytes of log per flash)\n",
                rounds, median(total) / 1000, logged, median(raw) / blocks,
                logged - median(raw) / blocks, logged / (median(raw) / blocks), logged - perBlock,
                static_cast<long long>(log.size() / rounds));
    return 0;
}
