#pragma once

#include "framesplitter.h"
#include "simconfig.h"
#include "simdevice.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QRandomGenerator>
#include <QTimer>
#include <memory>

class QIODevice;
class QSocketNotifier;

// A simulated device on a pseudo-terminal: reads requests from the terminal, lets the
// SimDevice answer them, and writes the answers back, with the configured faults. Rebooting
// or pulling the cable closes the terminal; a new one appears as the device comes back.
class Simulator : public QObject
{
    Q_OBJECT
public:
    explicit Simulator(const SimConfig &config, QObject *parent = nullptr);
    ~Simulator() override;

    // Opens the first terminal. False when no pseudo-terminal can be had.
    bool start();
    // Behind the remote-configuration server instead of on a terminal: answers go to stream
    // (none while no session is bridged: null), requests come in through feed(). A reboot
    // keeps the session; the device is silent until it is back.
    void attach(QIODevice *stream);
    void feed(const QByteArray &bytes) { processInput(bytes); }

    // The current terminal's path (empty while unplugged).
    QString portName() const { return slavePath; }
    bool isPlugged() const { return served ? !rebooting : masterFd >= 0; }

    SimDevice &device() { return *dev; }
    const SimConfig &configuration() const { return config; }
    // Milliseconds since start (the device's time base).
    qint64 nowMs() const { return clock.elapsed(); }

    // Requests received per command code (file blocks count under 0xFFFF, text lines under 0).
    int commandCount(quint16 code) const { return counts.value(code); }
    int totalCommands() const;
    void resetCounts() { counts.clear(); }
    int answersSent() const { return answers; }

    // Faults and events, also available while running.
    SimConfig &faults() { return config; }
    void sendModeChange();
    // Pulls the cable; with replugAfterMs >= 0 the device comes back as a new terminal then.
    void unplug(int replugAfterMs = -1);

signals:
    void portChanged(const QString &path); // a new terminal appeared
    void unplugged();
    void trace(const QString &line);

private slots:
    void readMaster();
    void flushOutput();
    void streamDebug();

private:
    bool openTerminal();
    void closeTerminal();
    void updateLink();
    void processInput(const QByteArray &bytes);
    void handleFrame(quint8 port, const QByteArray &payload);
    void handleText(const QString &line);
    bool answersLate(quint8 port, const QByteArray &payload) const;
    void sendAnswers(const QList<SimAnswer> &answers, qint64 extraDelayMs = 0);
    void queueWrite(const QByteArray &bytes, qint64 delayMs, bool inOrder = true);
    bool strikes(const FaultRule &rule, int counter);
    void log(const QString &line);

    SimConfig config;
    std::unique_ptr<SimDevice> dev;
    QElapsedTimer clock;
    QRandomGenerator rng;

    int masterFd = -1;
    bool served = false;    // behind the server (attach), not on a terminal
    bool rebooting = false; // served: powered off for the reboot
    QIODevice *stream = nullptr;
    int slaveKeepFd = -1; // keeps the terminal alive while nobody has it open
    QString slavePath;
    QSocketNotifier *readNotifier = nullptr;
    // Requests and text lines arrive on the same line; the device reads every line typed.
    FrameSplitter input{FrameSplitter::TextLines::All};

    struct Pending
    {
        qint64 dueMs;
        QByteArray bytes;
    };
    QList<Pending> output; // by due time
    qint64 lastInOrderDueMs = 0;
    qint64 busyUntilMs = 0; // the slow fault: when the requests taken so far are done
    QTimer *outputTimer = nullptr;
    QTimer *debugTimer = nullptr;
    QTimer *modeChangeTimer = nullptr;
    QByteArray heldAnswer; // the join fault keeps an answer back

    QHash<quint16, int> counts;
    int requests = 0;
    int answers = 0;
};
