#include "simulator.h"

#include "commands.h"
#include "frame.h"
#include "payloadreader.h"

#include <QFile>
#include <QIODevice>
#include <QSocketNotifier>
#include <QTextStream>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {
// The command code of a frame's payload; file blocks count under a code of their own.
quint16 codeOf(quint8 port, const QByteArray &payload)
{
    return port == Frame::filePort ? Frame::fileBlockCmd : PayloadReader(payload).u16(0);
}

QString hexCode(quint16 code)
{
    return QStringLiteral("0x%1").arg(code, 4, 16, QLatin1Char('0'));
}

QString describe(quint8 port, const QByteArray &payload)
{
    if (port == Frame::filePort)
        return QStringLiteral("file block %1 bytes").arg(payload.size());
    return QStringLiteral("%1 [%2]").arg(hexCode(codeOf(port, payload)),
                                         QString::fromLatin1(payload.mid(2).toHex(' ')));
}
} // namespace

Simulator::Simulator(const SimConfig &cfg, QObject *parent)
    : QObject(parent)
    , config(cfg)
    , dev(std::make_unique<SimDevice>(cfg))
    , rng(cfg.seed)
{
    clock.start();
    outputTimer = new QTimer(this);
    outputTimer->setSingleShot(true);
    connect(outputTimer, &QTimer::timeout, this, &Simulator::flushOutput);
    debugTimer = new QTimer(this);
    connect(debugTimer, &QTimer::timeout, this, &Simulator::streamDebug);
    modeChangeTimer = new QTimer(this);
    connect(modeChangeTimer, &QTimer::timeout, this, &Simulator::sendModeChange);
}

Simulator::~Simulator()
{
    closeTerminal();
    if (!config.linkPath.isEmpty())
        QFile::remove(config.linkPath);
}

bool Simulator::start()
{
    if (!openTerminal())
        return false;
    if (config.modeChangeEverySec > 0)
        modeChangeTimer->start(config.modeChangeEverySec * 1000);
    if (config.unplugAtMs > 0)
        QTimer::singleShot(config.unplugAtMs, this, [this] { unplug(config.rebootDelayMs); });
    return true;
}

void Simulator::attach(QIODevice *s)
{
    served = true;
    stream = s;
    output.clear();
    lastInOrderDueMs = 0;
    outputTimer->stop();
    input = FrameSplitter(FrameSplitter::TextLines::All);
    // Each session logs in anew.
    dev->endSession();
    log(s ? QStringLiteral("session bridged") : QStringLiteral("session ended"));
}

int Simulator::totalCommands() const
{
    int n = 0;
    for (int c : counts)
        n += c;
    return n;
}

bool Simulator::openTerminal()
{
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
        return false;
    // Raw from the start: no echo of the configurator's bytes, no line editing.
    termios t{};
    ::tcgetattr(slave, &t);
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, B115200);
    ::cfsetospeed(&t, B115200);
    ::tcsetattr(slave, TCSANOW, &t);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    masterFd = master;
    slaveKeepFd = slave;
    slavePath = QString::fromLocal8Bit(name);
    input = FrameSplitter(FrameSplitter::TextLines::All);
    readNotifier = new QSocketNotifier(masterFd, QSocketNotifier::Read, this);
    connect(readNotifier, &QSocketNotifier::activated, this, &Simulator::readMaster);
    updateLink();
    log(QStringLiteral("plugged in on %1").arg(slavePath));
    emit portChanged(slavePath);
    return true;
}

void Simulator::closeTerminal()
{
    if (readNotifier) {
        readNotifier->setEnabled(false);
        readNotifier->deleteLater();
        readNotifier = nullptr;
    }
    if (masterFd >= 0)
        ::close(masterFd);
    if (slaveKeepFd >= 0)
        ::close(slaveKeepFd);
    masterFd = -1;
    slaveKeepFd = -1;
    slavePath.clear();
    rebooting = served;
    output.clear();
    lastInOrderDueMs = 0;
    outputTimer->stop();
    debugTimer->stop();
    heldAnswer.clear();
}

void Simulator::updateLink()
{
    if (config.linkPath.isEmpty())
        return;
    // Replace the link in one step, so a reader never finds it missing.
    const QString tmp = config.linkPath + QStringLiteral(".new");
    QFile::remove(tmp);
    if (slavePath.isEmpty()) {
        QFile::remove(config.linkPath);
        return;
    }
    if (::symlink(slavePath.toLocal8Bit().constData(), tmp.toLocal8Bit().constData()) == 0)
        ::rename(tmp.toLocal8Bit().constData(), config.linkPath.toLocal8Bit().constData());
}

void Simulator::unplug(int replugAfterMs)
{
    if (!isPlugged())
        return;
    log(QStringLiteral("unplugged"));
    closeTerminal();
    updateLink();
    emit unplugged();
    if (replugAfterMs >= 0) {
        QTimer::singleShot(replugAfterMs, this, [this] {
            dev->reboot(nowMs());
            if (!served) {
                openTerminal();
                return;
            }
            rebooting = false;
            input = FrameSplitter(FrameSplitter::TextLines::All);
            log(QStringLiteral("back behind the server"));
        });
    }
}

void Simulator::readMaster()
{
    char buf[4096];
    QByteArray bytes;
    for (;;) {
        const ssize_t n = ::read(masterFd, buf, sizeof buf);
        if (n > 0) {
            bytes.append(buf, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break; // EAGAIN: all read
    }
    processInput(bytes);
}

void Simulator::processInput(const QByteArray &bytes)
{
    // Frames and text lines are handled in the order they came: a login line and the request
    // behind it may arrive in one read. A line is complete only at its line end, so the bytes
    // go to the splitter up to one line end at a time.
    int from = 0;
    while (from < bytes.size() && isPlugged()) {
        const int eol = bytes.indexOf('\n', from);
        const int to = eol < 0 ? bytes.size() : eol + 1;
        for (const QByteArray &frame : input.feed(bytes.mid(from, to - from))) {
            QByteArray payload;
            quint8 port = 0;
            if (Frame::check(frame, &payload, &port))
                handleFrame(port, payload);
        }
        for (const QString &line : input.takeTextLines())
            handleText(line);
        from = to;
    }
}

bool Simulator::strikes(const FaultRule &rule, int counter)
{
    if (rule.every > 0 && counter % rule.every == 0)
        return true;
    return rule.probability > 0 && rng.generateDouble() < rule.probability;
}

void Simulator::handleFrame(quint8 port, const QByteArray &payload)
{
    counts[codeOf(port, payload)] += 1;
    ++requests;
    log(QStringLiteral("> ") + describe(port, payload));

    if (config.silent)
        return;
    QList<SimAnswer> out = dev->handle(port, payload, nowMs());
    if (strikes(config.drop, requests)) {
        log(QStringLiteral("  (answer dropped)"));
        out.clear();
    }
    const qint64 lateMs = !out.isEmpty() && answersLate(port, payload) ? config.late.delayMs : 0;
    sendAnswers(out, lateMs);
    if (lateMs > 0) {
        config.late = LateAnswer(); // once: the resend is answered on time
        log(QStringLiteral("  (%1 ms late)").arg(lateMs));
    }

    if (port == 1 && config.unplugAfterBlocks > 0 &&
        dev->blocksReceived() >= config.unplugAfterBlocks) {
        config.unplugAfterBlocks = 0;
        // The acknowledgement may still be on its way; the cable goes right after it.
        QTimer::singleShot(config.delayMs + 5, this, [this] { unplug(config.rebootDelayMs); });
    }
    if (dev->rebootRequested()) {
        dev->clearRebootRequest();
        // The answer leaves first, then the device restarts and re-enumerates.
        QTimer::singleShot(config.delayMs + 50, this, [this] { unplug(config.rebootDelayMs); });
    }
}

bool Simulator::answersLate(quint8 port, const QByteArray &payload) const
{
    if (!config.late.enabled() || port != Frame::commandPort)
        return false;
    const quint16 code = codeOf(port, payload);
    return (code == Cmd::readParam || code == Cmd::writeParam) &&
           SimDevice::requestedParam(payload) == config.late.param;
}

void Simulator::handleText(const QString &line)
{
    counts[0] += 1;
    ++requests;
    const int secret = line.startsWith(QLatin1String("USB "))      ? 4
                       : line.startsWith(QLatin1String("REMOTE ")) ? 7
                                                                   : 0;
    log(QStringLiteral("> text ") + (secret ? line.left(secret) + QStringLiteral("***") : line));
    if (config.silent)
        return;
    QList<SimAnswer> out;
    for (const QString &reply : dev->handleText(line, nowMs()))
        out.append(SimAnswer{SimAnswer::textPort, reply.toUtf8() + "\r\n"});
    sendAnswers(out);
    if (dev->debugStreaming())
        debugTimer->start(config.debugLineEveryMs);
    else
        debugTimer->stop();
}

void Simulator::sendAnswers(const QList<SimAnswer> &list, qint64 extraDelayMs)
{
    // A late answer does not hold up the answers after it.
    qint64 delayMs = config.delayMs + extraDelayMs;
    const bool inOrder = extraDelayMs == 0;
    if (config.slowMs > 0 && !list.isEmpty()) {
        busyUntilMs = qMax(busyUntilMs, nowMs()) + config.slowMs;
        delayMs += busyUntilMs - nowMs();
    }
    for (const SimAnswer &a : list) {
        ++answers;
        if (a.port == SimAnswer::textPort) {
            log(QStringLiteral("< text ") + QString::fromUtf8(a.payload).trimmed());
            queueWrite(a.payload, delayMs, inOrder);
            continue;
        }
        QByteArray frame = Frame::wrap(a.port, a.payload);
        log(QStringLiteral("< ") + describe(a.port, a.payload));
        if (strikes(config.corruptCrc, answers)) {
            frame[frame.size() - 1] = char(frame.at(frame.size() - 1) ^ 0x5A);
            log(QStringLiteral("  (CRC corrupted)"));
        }
        if (strikes(config.garbage, answers)) {
            QByteArray noise;
            while (noise.size() < config.garbageBytes) {
                // Start bytes with lengths that point anywhere, between plain noise.
                if (rng.bounded(5) == 0)
                    noise.append(Frame::startByte)
                        .append(char(rng.bounded(0x11)))
                        .append(char(rng.bounded(256)));
                else
                    noise.append(char(rng.bounded(256)));
            }
            frame.prepend(noise.left(config.garbageBytes));
            log(QStringLiteral("  (%1 bytes of noise first)").arg(config.garbageBytes));
        }
        if (strikes(config.join, answers) && heldAnswer.isEmpty()) {
            heldAnswer = frame;
            log(QStringLiteral("  (held back to go with the next answer)"));
            continue;
        }
        if (!heldAnswer.isEmpty()) {
            frame.prepend(heldAnswer);
            heldAnswer.clear();
        }
        if (strikes(config.split, answers)) {
            // Cut as evenly as the length allows, so there are always that many pieces.
            const int pieces = qMin(config.splitPieces, frame.size());
            for (int i = 0; i < pieces; ++i) {
                const int from = i * frame.size() / pieces;
                const int to = (i + 1) * frame.size() / pieces;
                queueWrite(frame.mid(from, to - from), delayMs + i * config.splitPauseMs, inOrder);
            }
            log(QStringLiteral("  (split in %1 pieces, %2 ms apart)")
                    .arg(pieces)
                    .arg(config.splitPauseMs));
            continue;
        }
        queueWrite(frame, delayMs, inOrder);
    }
}

void Simulator::queueWrite(const QByteArray &bytes, qint64 delayMs, bool inOrder)
{
    if (!isPlugged() || bytes.isEmpty())
        return;
    // Writes keep their order even when their delays differ; only a late answer overtakes.
    qint64 due = nowMs() + delayMs;
    if (inOrder) {
        due = qMax(due, lastInOrderDueMs);
        lastInOrderDueMs = due;
    }
    const auto at = std::upper_bound(output.begin(), output.end(), due,
                                     [](qint64 d, const Pending &p) { return d < p.dueMs; });
    output.insert(at, Pending{due, bytes});
    outputTimer->start(int(qMax<qint64>(0, output.first().dueMs - nowMs())));
}

void Simulator::flushOutput()
{
    while (!output.isEmpty() && output.first().dueMs <= nowMs()) {
        const QByteArray bytes = output.takeFirst().bytes;
        if (served) {
            if (stream)
                stream->write(bytes);
            continue;
        }
        if (masterFd < 0)
            return;
        qint64 done = 0;
        while (done < bytes.size()) {
            const ssize_t n =
                ::write(masterFd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0) {
                done += n;
            } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                ::usleep(1000); // the terminal's buffer is full: the reader is behind
            } else {
                break;
            }
        }
    }
    if (!output.isEmpty())
        outputTimer->start(int(qMax<qint64>(0, output.first().dueMs - nowMs())));
}

void Simulator::streamDebug()
{
    if (!dev->debugStreaming() || !isPlugged()) {
        debugTimer->stop();
        return;
    }
    queueWrite(dev->nextDebugLine(nowMs()).toUtf8() + "\r\n", 0);
}

void Simulator::sendModeChange()
{
    if (!isPlugged())
        return;
    log(QStringLiteral("< %1 (mode changed)").arg(hexCode(Cmd::modeChanged)));
    queueWrite(
        Frame::wrap(Frame::commandPort, Frame::payload(Cmd::modeChanged, Frame::commandPort, {})),
        0);
}

void Simulator::log(const QString &line)
{
    emit trace(line);
    if (config.verbose) {
        QTextStream err(stderr);
        err << QStringLiteral("[%1] ").arg(nowMs() / 1000.0, 9, 'f', 3) << line << '\n';
    }
}
