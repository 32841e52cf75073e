#pragma once

#include <QObject>
#include <QString>

struct DeviceIdentity;
class MainWindow;

// The ways to a device other than its own cable, behind the window's relay page and its
// remote-configuration button: the radio relay through the local device, the session through
// the configuration server, and the local device's interface-converter mode.
class RelayController : public QObject
{
    Q_OBJECT
public:
    // Made once the window's device link exists: the relay goes through it.
    explicit RelayController(MainWindow *window);

    // The window talks to a remote device through the local one's radio.
    bool isFskMode() const { return fskMode; }
    // Marks how an identified device is reached (relay, remote or the cable).
    void setPath(DeviceIdentity &identity);
    // What the window's state means for the relay page.
    void applyState(int state);

signals:
    // Radio relay: through the local device to the remote one with this DevEUI, and back.
    void switchToFskMode(QString remDevEui, int sessionTime, int timeout);
    void switchToNormalMode();

public slots:
    // The relay page's button: connects to the remote device or leaves it.
    void startFskModeClicked();
    // The interface-converter button: the local device becomes an RS-to-USB converter.
    void rsToUsbClicked();
    void relayRefused(quint16 cmd, uchar statusCode);
    // The remote-configuration button: opens, cancels or ends a session through the server.
    void startRemoteConfig();

private:
    void leaveFskMode();
    // The remote-configuration server as the settings name it, and what to check, for the
    // boxes of a failed remote session.
    QString serverHint() const;
    // A remote attempt or session has ended: the device on the cable is looked for again.
    void remoteOver();

    MainWindow *window;
    bool fskMode = false;
    QString relayFailure; // why the local device refused the relay, for the failure box
    QString relayVia;     // the serial number of the device on the cable while relaying
    QString remoteImei;   // the device of the remote session
};
