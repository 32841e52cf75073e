#pragma once

#include "ntpclient.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHostInfo>
#include <QObject>

// The application clock that the status panel sets device clocks from: the PC's time until a
// public time server answers, then the server's, each carried on by a monotonic timer.
class ClockController : public QObject
{
    Q_OBJECT
public:
    // Asks serverHost for the time at once.
    ClockController(const QString &serverHost, QObject *parent);

    QDateTime now() const { return base.addMSecs(sinceStart.elapsed()); }
    // Milliseconds since the program started; server time does not move it.
    qint64 elapsedMs() const { return sinceStart.elapsed(); }
    // The time server has answered (the network is there, for the help on the web).
    bool hasServerTime() const { return serverTime; }

signals:
    void serverTimeReceived();

public slots:
    void reqestNtpTime(QHostInfo _hInfo);
    void updateAppClock(QHostAddress address, quint16 port, NtpReply _reply);

private:
    NtpClient *ntpClient = nullptr;
    // The time at which sinceStart would read 0: now() is base plus its reading.
    QDateTime base;
    QElapsedTimer sinceStart;
    bool serverTime = false;
};
