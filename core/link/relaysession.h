#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class DeviceInterface;
class QTimer;

// The radio relay of one device link: the local device on the cable forwards wrapped requests
// to a remote device addressed by its DevEUI and hands its answers back wrapped. It enters and
// leaves the mode, checks that the remote device hears us, wraps every request while the mode
// is on, and ends with the port.
class RelaySession : public QObject
{
    Q_OBJECT
public:
    explicit RelaySession(DeviceInterface *link);

    bool isOn() const { return on; }
    // Sets the mode without asking the device (a link taken over in relay mode, tests).
    void set(bool relayOn, const QString &devEui, qint32 timeout);
    void setTimings(int settleMs, int checkMs)
    {
        settleWaitMs = settleMs;
        checkWaitMs = checkMs;
    }
    // Asks the local device to open a radio session to this DevEUI; the remote device is read
    // once it answers the connection check.
    void switchToFskMode(QString devEui, int sessionTime, int timeout);
    // Ends the remote device's session (wrapped), then the local device's. A remote device
    // that does not answer within the check's time is given up: the local device is told on
    // its own, so it never stays in relay mode behind a failure.
    void switchToNormalMode();
    // Sends an inner payload in the relay wrapper; false when it does not fit.
    bool sendRelayed(quint8 innerPort, const QByteArray &inner);

    // Answers of the local device.
    void switchFskModeAnswer(uchar resultCode, uchar statusCode);
    void switchToNormalModeAnswer(uchar resultCode, uchar statusCode);
    void fskCommandAnswer(uchar resultCode, uchar statusCode);
    void clearFskAnswer();

private:
    void checkFskConnect();
    void checkConnectOk();
    void checkConnectError();
    // The relay ends with the link: a closed port leaves no relay session behind.
    void endRelay(const char *why);
    // The plain leave to the local device (relay mode off on our side already).
    void leaveLocal();
    void giveUpRemote();

    DeviceInterface *link;
    bool on = false;
    bool connected = false; // the remote device answered the connection check
    QString remoteDevEui;
    qint32 relayTimeout = 0;
    QTimer *settleTimer = nullptr;
    QTimer *checkTimer = nullptr;
    QTimer *leaveTimer = nullptr; // the remote device's time to answer the leave
    bool localLeaving = false;    // the plain leave to the local device waits for its answer
    int settleWaitMs;
    int checkWaitMs;
};
