// DeviceInterface: the session through the remote-configuration server. The socket becomes the
// transport of frames and text commands, and what it receives goes into the same receive path
// as the serial port's bytes; the port itself is left alone meanwhile.
#include "appsettings.h"
#include "deviceinterface.h"
#include "framesplitter.h"
#include "linkstate.h"
#include "remoteconnection.h"

#include <QDebug>
#include <QTcpSocket>
#include <QTimer>

void DeviceInterface::setRemoteServer(const QString &host, quint16 port)
{
    remoteHost = host;
    remotePort = port;
}

bool DeviceInterface::isRemoteConnecting() const
{
    return remote && remote->isPending();
}

void DeviceInterface::connectToServer(QString _imei, QString _pass)
{
    if (!RemoteConnection::isValidImei(_imei)) {
        qWarning() << "Remote configuration: an IMEI is 15 digits, nothing connected"
                   << "/C:12";
        return;
    }
    if (!remote) {
        remote = new RemoteConnection(this);
        connect(remote, &RemoteConnection::established, this, &DeviceInterface::remoteEstablished);
        connect(remote, &RemoteConnection::failed, this, &DeviceInterface::remoteFailed);
        connect(remote, &RemoteConnection::closed, this, &DeviceInterface::disconnectedRemoteCfg);
    }
    // A session still open is left first; its socket goes with the new attempt.
    if (remoteMode) {
        remoteMode = false;
        setRemoteSocket(nullptr);
    }
    leaveRemoteRequested = false;
    // A new session: leaving it may be asked again.
    ++remoteSessionNo;
    leaveRemoteAsked = false;
    answerTimer->stop();
    awaitingAnswer = false;
    disconnectDevice();
    AppSettings::ServerAddress server;
    if (remoteHost.isEmpty()) {
        server = AppSettings::updateServer();
    } else {
        server.host = remoteHost;
        server.port = remotePort;
    }
    remotePassword = _pass;
    remote->open(server.host, server.port, _imei, appVersion);
}

void DeviceInterface::remoteEstablished()
{
    qDebug() << "Connected to remote config server"
             << "/C:15";
    setRemoteSocket(remote->socket());
    remoteMode = true;
    devPassword = remotePassword;
    remotePassword.clear();
    remoteLoginSent = false;
    // Nothing of an earlier session is pending.
    splitter = std::make_unique<FrameSplitter>();
    rxBuffer.clear();
    earlier.clear();
    retryCount = 0;
    readConfiguration();
}

void DeviceInterface::remoteFailed(int state)
{
    remoteMode = false;
    setRemoteSocket(nullptr);
    remotePassword.clear();
    emit changeDeviceStatus(state);
}

void DeviceInterface::cancelRemoteConnect()
{
    if (!isRemoteConnecting())
        return;
    qDebug() << "Connection to remote config server cancelled";
    remote->abort();
    remotePassword.clear();
    emit changeDeviceStatus(LinkState::Disconnected);
}

void DeviceInterface::disconnectRemote()
{
    qDebug() << "Disconnecting from remote config server!";
    if (remoteMode && remote)
        remote->goodbye();
}

void DeviceInterface::disconnectedRemoteCfg()
{
    qDebug() << "Remote server disconnected!"
             << "/C:16";
    remoteMode = false;
    setRemoteSocket(nullptr);
    answerTimer->stop();
    awaitingAnswer = false;
    earlier.clear();
    currentCmd = 0;
    deviceReady = false;
    emit changeDeviceStatus(LinkState::Disconnected);
    if (leaveRemoteRequested) {
        leaveRemoteRequested = false;
        enumerateDevices();
    }
}

bool DeviceInterface::remoteTextLine(const QString &line)
{
    if (!remoteMode)
        return false;
    if (line == QLatin1String(RemoteConnection::notOnServerReply) ||
        line == QLatin1String(RemoteConnection::busyReply)) {
        stopAnswer();
        awaitingAnswer = false;
        emit changeDeviceStatus(line == QLatin1String(RemoteConnection::busyReply)
                                    ? LinkState::RemoteBusy
                                    : LinkState::RemoteNotOnServer);
        return true;
    }
    // The password typed with the IMEI is offered when the device asks for one (again after
    // a reboot); the login dialog only follows once it has been refused.
    if (line.startsWith(QLatin1String("LOGIN OK")))
        remoteLoginSent = false;
    if (line.startsWith(QLatin1String("LOGIN REQUIRED")) && !remoteLoginSent &&
        !devPassword.isEmpty()) {
        remoteLoginSent = true;
        deviceReady = true; // it has just spoken
        authenticationDevice(devPassword);
        return true;
    }
    return false;
}
