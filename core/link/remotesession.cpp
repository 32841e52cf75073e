#include "remotesession.h"

#include "appsettings.h"
#include "deviceinterface.h"
#include "framesplitter.h"
#include "linkstate.h"
#include "remoteconnection.h"
#include "userprompts.h"

#include <QDebug>
#include <QTcpSocket>
#include <QTimer>

RemoteSession::RemoteSession(DeviceInterface *link)
    : QObject(link)
    , link(link)
{}

bool RemoteSession::isConnecting() const
{
    return connection && connection->isPending();
}

void RemoteSession::setServer(const QString &serverHost, quint16 serverPort)
{
    host = serverHost;
    port = serverPort;
}

void RemoteSession::setSocket(QIODevice *socket)
{
    if (sock)
        disconnect(sock, nullptr, link, nullptr);
    sock = socket;
    if (sock)
        connect(sock, &QIODevice::readyRead, link, &DeviceInterface::readPortData);
}

void RemoteSession::connectTo(const QString &imei, const QString &pass)
{
    if (!RemoteConnection::isValidImei(imei)) {
        qWarning() << "Remote configuration: an IMEI is 15 digits, nothing connected"
                   << "/C:12";
        return;
    }
    if (!connection) {
        connection = new RemoteConnection(this);
        connect(connection, &RemoteConnection::established, this, &RemoteSession::established);
        connect(connection, &RemoteConnection::failed, this, &RemoteSession::failed);
        connect(connection, &RemoteConnection::closed, link,
                &DeviceInterface::disconnectedRemoteCfg);
    }
    // A session still open is left first; its socket goes with the new attempt.
    if (on) {
        on = false;
        setSocket(nullptr);
    }
    leaveRequested = false;
    goodbyeSent = false;
    serverEnded = false;
    // A new session: leaving it may be asked again.
    ++sessionNo;
    leaveAsked = false;
    link->answerTimer->stop();
    link->awaitingAnswer = false;
    link->disconnectDevice();
    AppSettings::ServerAddress server;
    if (host.isEmpty()) {
        server = AppSettings::remoteServer();
    } else {
        server.host = host;
        server.port = port;
    }
    password = pass;
    connection->open(server.host, server.port, imei, appVersion);
}

void RemoteSession::established()
{
    qDebug() << "Connected to remote config server"
             << "/C:15";
    setSocket(connection->socket());
    on = true;
    link->devPassword = password;
    password.clear();
    loginSent = false;
    // Nothing of an earlier session is pending.
    link->splitter = std::make_unique<FrameSplitter>();
    link->rxBuffer.clear();
    link->unshownBytes = 0;
    link->earlier.clear();
    link->retryCount = 0;
    flooded = false;
    strayClock.invalidate();
    strayFrameBytes = 0;
    link->readConfiguration();
}

void RemoteSession::failed(int state)
{
    withdrawLeaveQuestion();
    on = false;
    setSocket(nullptr);
    password.clear();
    emit link->changeDeviceStatus(state);
}

void RemoteSession::cancel()
{
    if (!isConnecting())
        return;
    qDebug() << "Connection to remote config server cancelled";
    connection->abort();
    password.clear();
    emit link->changeDeviceStatus(LinkState::Disconnected);
}

void RemoteSession::goodbye()
{
    qDebug() << "Disconnecting from remote config server!";
    if (on && connection) {
        goodbyeSent = true;
        connection->goodbye();
    }
}

void RemoteSession::closed()
{
    qDebug() << "Remote server disconnected!"
             << "/C:16";
    serverEnded = on && !goodbyeSent;
    withdrawLeaveQuestion();
    on = false;
    setSocket(nullptr);
    link->answerTimer->stop();
    link->awaitingAnswer = false;
    link->earlier.clear();
    link->currentCmd = 0;
    link->deviceReady = false;
    emit link->changeDeviceStatus(LinkState::Disconnected);
    if (leaveRequested) {
        leaveRequested = false;
        link->enumerateDevices();
    }
}

const char *const RemoteSession::floodText = "the server sends data that is not device answers";

void RemoteSession::countStray(qint64 skippedBytes)
{
    const qint64 stray = skippedBytes + strayFrameBytes;
    if (!strayClock.isValid() || strayClock.elapsed() >= strayWindowMs || stray < strayAtWindow) {
        strayClock.start();
        strayAtWindow = stray;
        return;
    }
    if (stray - strayAtWindow > maxStrayBytesPerWindow && !flooded) {
        flooded = true;
        refuseFlood();
    }
}

void RemoteSession::refuseFlood()
{
    qDebug().noquote() << "Remote configuration:" << floodText << "/C:12";
    // Nothing more of it is read; the state goes first, as the goodbye may close the session
    // at once.
    if (sock)
        disconnect(sock, &QIODevice::readyRead, link, nullptr);
    link->stopAnswer();
    link->awaitingAnswer = false;
    emit link->changeDeviceStatus(LinkState::RemoteExchangeError);
    goodbye();
}

void RemoteSession::localDeviceFound()
{
    // Every plug event and search of the session comes here; the user is asked once.
    UserPrompts *prompts = link->prompts();
    if (leaveAsked || !prompts)
        return;
    leaveAsked = true;
    const int session = sessionNo;
    prompts->linkPromptLater(UserPrompts::LinkPrompt::LeaveRemoteMode, this,
                             [this, session](UserPrompts::Button answer) {
                                 leaveAnswered(session, answer == UserPrompts::Yes);
                             });
}

void RemoteSession::withdrawLeaveQuestion()
{
    // Over without it: the local device is searched for anyway.
    if (leaveAsked && link->prompts())
        link->prompts()->withdrawQuestions(this);
}

void RemoteSession::leaveAnswered(int session, bool leave)
{
    if (!leave || session != sessionNo)
        return; // stays remote, or a later session has begun and asks for itself
    if (on) {
        leaveRequested = true;
        goodbye(); // the local search follows the server's goodbye
    } else if (!isConnecting()) {
        link->enumerateDevices(); // the session ended while the question was open
    }
}

bool RemoteSession::textLine(const QString &line)
{
    if (!on)
        return false;
    if (line == QLatin1String(RemoteConnection::notOnServerReply) ||
        line == QLatin1String(RemoteConnection::busyReply)) {
        link->stopAnswer();
        link->awaitingAnswer = false;
        emit link->changeDeviceStatus(line == QLatin1String(RemoteConnection::busyReply)
                                          ? LinkState::RemoteBusy
                                          : LinkState::RemoteNotOnServer);
        return true;
    }
    // The password typed with the IMEI is offered when the device asks for one (again after
    // a reboot); the login dialog only follows once it has been refused.
    if (line.startsWith(QLatin1String("LOGIN OK")))
        loginSent = false;
    if (line.startsWith(QLatin1String("LOGIN REQUIRED")) && !loginSent &&
        !link->devPassword.isEmpty()) {
        loginSent = true;
        link->deviceReady = true; // it has just spoken
        link->authenticationDevice(link->devPassword);
        return true;
    }
    return false;
}
