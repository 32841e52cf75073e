#pragma once

#include "framesplitter.h"
#include "simconfig.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRandomGenerator>
#include <memory>
#include <vector>

class QTcpServer;
class QTcpSocket;
class Simulator;

// The remote-configuration server as the configurator meets it: it takes TCP sessions on
// loopback, checks the handshake (a known IMEI, its key, type "config") and bridges each
// session to the simulated device of that IMEI, which lives on between sessions. Text commands
// come without line ends; each read ends the text it holds. "socClose" ends a session.
class RemoteServer : public QObject
{
    Q_OBJECT
public:
    static const char *const defaultImei;

    explicit RemoteServer(const SimConfig &config, QObject *parent = nullptr);
    ~RemoteServer() override;

    // Listens on 127.0.0.1 (port 0: any free port). False when the port cannot be had.
    bool listen(quint16 port);
    quint16 port() const;
    QStringList imeis() const { return config.imeis; }
    // The device behind an IMEI (null for an unknown one).
    Simulator *device(const QString &imei) const;
    int sessionCount() const { return sessions.size(); }

    // Faults, also while running (they apply to the sessions that follow, and stall and drop
    // to requests still to come).
    SimConfig &faults() { return config; }
    // Closes every session at once, as a broken connection would.
    void dropSessions();

signals:
    void trace(const QString &line);

private:
    struct Session
    {
        QByteArray handshake; // until it is complete
        Simulator *device = nullptr;
        QString imei;
        FrameSplitter input{FrameSplitter::TextLines::All};
        int requests = 0;
    };
    void accept();
    void receive(QTcpSocket *socket);
    // True when the handshake is complete and accepted; the socket is closed when refused.
    bool checkHandshake(QTcpSocket *socket, Session &s);
    void pass(QTcpSocket *socket, Session &s, const QByteArray &bytes);
    void end(QTcpSocket *socket, const QString &why, const char *reply = nullptr);
    // The flood fault: keeps the socket's output full of what the fault sends.
    void flood(QTcpSocket *socket);
    void log(const QString &line);

    SimConfig config;
    QTcpServer *server = nullptr;
    std::vector<std::unique_ptr<Simulator>> devices; // in the order of config.imeis
    QHash<QTcpSocket *, Session> sessions;
    QRandomGenerator rng;
};
