#include "remoteserver.h"

#include "frame.h"
#include "remoteconnection.h"
#include "simulator.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextStream>

#include <utility>

const char *const RemoteServer::defaultImei = "356938035643809";

namespace {
// A handshake longer than this is no handshake.
constexpr int maxHandshakeBytes = 4096;
// The flood fault writes this much at a time, whenever less than this waits to go out.
constexpr int floodChunkBytes = 64 * 1024;
} // namespace

RemoteServer::RemoteServer(const SimConfig &cfg, QObject *parent)
    : QObject(parent)
    , config(cfg)
    , rng(cfg.seed)
{
    if (config.imeis.isEmpty())
        config.imeis << QString::fromLatin1(defaultImei);
    for (int i = 0; i < config.imeis.size(); ++i) {
        SimConfig c = config;
        c.serialNumber += quint32(i);
        devices.push_back(std::make_unique<Simulator>(c));
        devices.back()->attach(nullptr);
        connect(devices.back().get(), &Simulator::trace, this,
                [this, i](const QString &line) { emit trace(config.imeis.at(i) + ' ' + line); });
    }
    server = new QTcpServer(this);
    connect(server, &QTcpServer::newConnection, this, &RemoteServer::accept);
}

RemoteServer::~RemoteServer()
{
    for (auto it = sessions.begin(); it != sessions.end(); ++it)
        disconnect(it.key(), nullptr, this, nullptr);
}

bool RemoteServer::listen(quint16 port)
{
    return server->listen(QHostAddress::LocalHost, port);
}

quint16 RemoteServer::port() const
{
    return server->serverPort();
}

Simulator *RemoteServer::device(const QString &imei) const
{
    const int i = config.imeis.indexOf(imei);
    return i < 0 ? nullptr : devices.at(size_t(i)).get();
}

void RemoteServer::dropSessions()
{
    const QList<QTcpSocket *> open = sessions.keys();
    for (QTcpSocket *socket : open)
        end(socket, QStringLiteral("dropped"));
}

void RemoteServer::accept()
{
    while (QTcpSocket *socket = server->nextPendingConnection()) {
        sessions.insert(socket, Session());
        log(QStringLiteral("connection from port %1").arg(socket->peerPort()));
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { receive(socket); });
        connect(socket, &QTcpSocket::disconnected, this,
                [this, socket] { end(socket, QStringLiteral("closed by the configurator")); });
    }
}

void RemoteServer::receive(QTcpSocket *socket)
{
    auto it = sessions.find(socket);
    if (it == sessions.end())
        return;
    QByteArray bytes = socket->readAll();
    Session &s = it.value();
    if (!s.device) {
        s.handshake.append(bytes);
        if (!checkHandshake(socket, s))
            return;
        // What came behind the handshake is the session's first request.
        bytes = s.handshake;
        s.handshake.clear();
    }
    pass(socket, s, bytes);
}

bool RemoteServer::checkHandshake(QTcpSocket *socket, Session &s)
{
    const int end = s.handshake.indexOf("}\n");
    if (end < 0) {
        if (s.handshake.size() > maxHandshakeBytes)
            this->end(socket, QStringLiteral("no handshake"));
        return false;
    }
    const QJsonObject o = QJsonDocument::fromJson(s.handshake.left(end + 2)).object();
    s.handshake.remove(0, end + 2);
    const QString imei = o.value(QStringLiteral("imei")).toString();
    if (config.refuseHandshake) {
        this->end(socket, QStringLiteral("handshake refused"));
        return false;
    }
    if (o.value(QStringLiteral("type")).toString() != QLatin1String("config") ||
        o.value(QStringLiteral("magickKey")).toString() != RemoteConnection::calcMKey(imei)) {
        this->end(socket, QStringLiteral("bad handshake for ") + imei);
        return false;
    }
    Simulator *dev = device(imei);
    if (!dev) {
        this->end(socket, QStringLiteral("unknown IMEI ") + imei,
                  RemoteConnection::notOnServerReply);
        return false;
    }
    for (const Session &other : std::as_const(sessions)) {
        if (other.device == dev) {
            this->end(socket, imei + QStringLiteral(" is busy"), RemoteConnection::busyReply);
            return false;
        }
    }
    s.device = dev;
    s.imei = imei;
    dev->attach(socket);
    log(QStringLiteral("session for %1, configurator %2")
            .arg(imei, o.value(QStringLiteral("ver")).toString()));
    if (config.flood != SimConfig::Flood::None) {
        log(QStringLiteral("flooding the session"));
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { flood(socket); });
        flood(socket);
    }
    return true;
}

void RemoteServer::pass(QTcpSocket *socket, Session &s, const QByteArray &bytes)
{
    // The configurator writes a text command without a line end, in one piece: the end of a
    // read that holds no half frame ends it.
    QList<QByteArray> frames = s.input.feed(bytes);
    if (!s.input.hasPartial())
        frames << s.input.feed("\n");
    QList<QByteArray> requests = frames;
    for (const QString &line : s.input.takeTextLines()) {
        if (line == QLatin1String(RemoteConnection::goodbyeText)) {
            end(socket, QStringLiteral("goodbye from the configurator"));
            return;
        }
        requests << line.toUtf8() + "\r\n";
    }
    for (const QByteArray &r : std::as_const(requests)) {
        ++s.requests;
        if (config.dropAfter >= 0 && s.requests > config.dropAfter) {
            end(socket, QStringLiteral("dropped after %1 requests").arg(config.dropAfter));
            return;
        }
        if (config.stallAfter >= 0 && s.requests > config.stallAfter) {
            log(QStringLiteral("stalled: request not passed on"));
            continue;
        }
        s.device->feed(r);
    }
}

void RemoteServer::end(QTcpSocket *socket, const QString &why, const char *reply)
{
    auto it = sessions.find(socket);
    if (it == sessions.end())
        return;
    if (it->device)
        it->device->attach(nullptr);
    sessions.erase(it);
    log(QStringLiteral("session ended: ") + why);
    disconnect(socket, nullptr, this, nullptr);
    if (reply)
        socket->write(QByteArray(reply) + "\r\n");
    // The reply leaves before the connection closes; the socket goes once it has.
    if (socket->state() == QAbstractSocket::UnconnectedState) {
        socket->deleteLater();
        return;
    }
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->disconnectFromHost();
}

void RemoteServer::flood(QTcpSocket *socket)
{
    while (sessions.contains(socket) && socket->state() == QAbstractSocket::ConnectedState &&
           socket->bytesToWrite() < floodChunkBytes) {
        QByteArray chunk(floodChunkBytes, 'x'); // a line that never ends
        if (config.flood != SimConfig::Flood::Line) {
            for (char &c : chunk)
                c = char(rng.bounded(256));
        }
        if (config.flood == SimConfig::Flood::BigFrames) {
            // A start byte, the largest length there is, the command port, that much payload
            // and its CRC.
            chunk = QByteArray::fromHex("01ffff02") + chunk.left(0xFFFF);
            chunk += Frame::crcBytesOf(chunk);
        }
        if (socket->write(chunk) != chunk.size())
            return;
    }
}

void RemoteServer::log(const QString &line)
{
    emit trace(QStringLiteral("server: ") + line);
    if (config.verbose)
        QTextStream(stderr) << "[server] " << line << '\n';
}
