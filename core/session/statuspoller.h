#pragma once

#include "statusrecords.h"

#include <QList>
#include <QObject>
#include <QTimer>
#include <ctime>
#include <functional>

class DeviceInterface;

// Polls an idle device for its status: a pass of requests every intervalMs, one request at a
// time, each answer asking for the next. Other work waits for the pass in flight through
// afterIdle, so the device is never asked two things at once by the status chain and a user.
class StatusPoller : public QObject
{
    Q_OBJECT
public:
    // Status command codes of the device database's list.
    enum Code {
        NetStatus = 0,
        Battery = 1,
        Adc = 2,
        Inputs = 3,
        DateTime = 4,
        NetQuality = 5,
        LastSend = 6,
        NetTimes = 7,
        CurrentFreq = 8
    };
    // Between the end of one pass and the start of the next.
    static constexpr int intervalMs = 900;
    // How long an action waits for the pass in flight before it goes anyway.
    static constexpr int waitPassEndMs = 2000;

    explicit StatusPoller(DeviceInterface *link, QObject *parent = nullptr);

    // Whether a pass may send this protocol code (the request the registration packet is
    // not: it is sent once, not polled). Consoles hide these requests and their answers.
    static bool isPollCommand(quint16 cmd);

    // The status requests of the identified firmware, sent from the last to the first.
    void setCommandList(const QList<int> &codes);
    QList<int> commandList() const { return codes; }
    // Over the radio relay the remote device has no network status or times of its own.
    void setFskMode(bool on) { fsk = on; }
    // Asks for the extraordinary packet once the device has just registered in the network.
    void setExtraPackOnRegistration(bool on) { extraPackOnRegistration = on; }
    // The device is gone: its network state is forgotten.
    void forgetDevice() { netState = 0; }

    // Continuous polling turned off stops the timer, turned on starts it. A tick asks the idle
    // gate, which holds the user's setting itself.
    void setEnabled(bool on);
    bool isEnabled() const { return enabled; }
    // Whether a tick may start a pass (the device is idle) and whether ticks are held while
    // the timer keeps running (a page that shows no status).
    void setGates(std::function<bool()> idle, std::function<bool()> held);

    void startTimer();
    void stopTimer() { timer->stop(); }
    bool isTimerActive() const { return timer->isActive(); }
    bool passInFlight() const { return inPass; }
    // An action given to afterIdle has not run yet.
    bool isWaiting() const { return !waiting.isEmpty() || releasing; }
    // Full passes ended since the poller was made.
    int passCount() const { return passes; }

    // Runs action once the pass in flight has ended (or waitPassEndMs later); at once when no
    // pass is in flight. The chain is stopped meanwhile: the next answer ends the pass.
    void afterIdle(std::function<void()> action);
    // Ends the pass at its next answer, without a continuation.
    void requestStop() { stopRequested = true; }
    // The pass cannot go on (the device stopped answering, went away, or other work took over):
    // it is forgotten without an end of its own, and actions waiting for it go.
    void abandonPass();

public slots:
    // The timer's tick: starts a pass when allowed.
    void tick();
    // One step of the chain.
    void next();

signals:
    void passStarted();
    // Any end of a pass, complete or stopped: the device is idle again.
    void passEnded();
    // A complete pass ended; count is passCount().
    void passFinished(int count);
    // The quality request was skipped (the device is not registered): its values are stale.
    void qualitySkipped();
    // Requests, connected to the link's slots of the same meaning.
    void getStatus();
    void getBatStatus();
    void getAdcStatus();
    void getInputsParamsStatus();
    void getDateTime();
    void getNetQuality();
    void getLastSendStatus();
    void getNetTimesStatus();
    void getCurrentFreq();
    void sendExtraordinaryPack();

private:
    void mainStatusAnswer(const NET_MAIN_STAT &stat);
    void answered();
    void endPass(bool complete);
    void releaseWaiting();

    QTimer *timer = nullptr;
    QTimer *waitLimit = nullptr;
    std::function<bool()> idle;
    std::function<bool()> held;
    QList<int> codes;
    QList<std::function<void()>> waiting;
    int index = 0;
    int passes = 0;
    int netState = 0;
    bool inPass = false;
    bool releasing = false; // waiting actions are queued to run
    bool stopRequested = false;
    bool enabled = true;
    bool fsk = false;
    bool registered = false;
    bool extraPackOnRegistration = false;
};
