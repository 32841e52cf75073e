#include "remoteconnection.h"

#include "linkstate.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTimer>

const char *const RemoteConnection::goodbyeText = "socClose";
const char *const RemoteConnection::notOnServerReply = "DEVICE NOT CONNECTED";
const char *const RemoteConnection::busyReply = "DEVICE BUSY";

QString RemoteConnection::calcMKey(const QString &imei)
{
    static const QString key = QStringLiteral("dacefeed");
    QString mixed;
    mixed.reserve(imei.size());
    for (int i = 0; i < imei.size(); ++i) {
        const QChar c = imei.at(imei.size() - 1 - i);
        mixed.append(QChar(c.unicode() ^ key.at(i % key.size()).unicode()));
    }
    return QString::fromLatin1(
        QCryptographicHash::hash(mixed.toUtf8(), QCryptographicHash::Md5).toHex());
}

QByteArray RemoteConnection::handshake(const QString &imei, const QString &version)
{
    // QJsonObject keeps its keys sorted, and the indented writer ends with a line end.
    const QJsonObject o{{QStringLiteral("imei"), imei},
                        {QStringLiteral("magickKey"), calcMKey(imei)},
                        {QStringLiteral("origin"), QStringLiteral("configurator")},
                        {QStringLiteral("type"), QStringLiteral("config")},
                        {QStringLiteral("ver"), version}};
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

bool RemoteConnection::isValidImei(const QString &imei)
{
    if (imei.size() != imeiDigits)
        return false;
    for (const QChar c : imei) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

RemoteConnection::RemoteConnection(QObject *parent)
    : QObject(parent)
{
    timer = new QTimer(this);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, &RemoteConnection::timedOut);
}

RemoteConnection::~RemoteConnection()
{
    release();
}

void RemoteConnection::open(const QString &host, quint16 port, const QString &imei,
                            const QString &version)
{
    release();
    hello = handshake(imei, version);
    helloWritten = 0;
    sock = new QTcpSocket(this);
    sock->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    sock->setReadBufferSize(readBufferBytes);
    connect(sock, &QTcpSocket::connected, this, &RemoteConnection::connected);
    connect(sock, &QTcpSocket::bytesWritten, this, &RemoteConnection::written);
    connect(sock, &QTcpSocket::errorOccurred, this, &RemoteConnection::socketError);
    connect(sock, &QTcpSocket::disconnected, this, &RemoteConnection::socketDisconnected);
    phase = Phase::Connecting;
    qDebug().noquote()
        << QStringLiteral("Connecting to remote config server %1:%2").arg(host).arg(port);
    timer->start(connectTimeoutMs);
    sock->connectToHost(host, port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
}

void RemoteConnection::connected()
{
    timer->stop();
    if (!sock->isOpen() || !sock->isWritable()) {
        qDebug() << "REMOTE CONFIG SERVER NOT AVAILABLE!!!"
                 << "/C:12";
        fail(LinkState::RemoteExchangeError);
        return;
    }
    phase = Phase::Writing;
    timer->start(handshakeWriteTimeoutMs);
    if (sock->write(hello) != hello.size()) {
        qDebug().noquote() << "Remote config server: the handshake cannot be written:"
                           << sock->errorString() << "/C:12";
        fail(LinkState::RemoteExchangeError);
    }
}

void RemoteConnection::written(qint64 bytes)
{
    if (phase != Phase::Writing)
        return;
    helloWritten += bytes;
    if (helloWritten < hello.size())
        return;
    timer->stop();
    phase = Phase::Open;
    emit established();
}

void RemoteConnection::socketError()
{
    qDebug().noquote() << "Remote config server socket:" << sock->errorString() << "/C:12";
    if (phase == Phase::Connecting)
        fail(LinkState::RemoteServerUnavailable);
    else if (phase == Phase::Writing)
        fail(LinkState::RemoteExchangeError);
    // An open session that breaks ends with disconnected().
}

void RemoteConnection::socketDisconnected()
{
    if (phase == Phase::Open) {
        phase = Phase::Idle;
        // The bytes the server sent last have been read; the socket goes once this returns.
        release();
        emit closed();
    } else if (isPending()) {
        fail(LinkState::RemoteExchangeError);
    }
}

void RemoteConnection::timedOut()
{
    if (phase == Phase::Connecting) {
        qDebug() << "Remote config server: no connection within" << connectTimeoutMs << "ms"
                 << "/C:12";
        fail(LinkState::RemoteServerUnavailable);
    } else if (phase == Phase::Writing) {
        qDebug() << "REMOTE CONFIG SERVER NOT AVAILABLE!!!"
                 << "/C:12";
        fail(LinkState::RemoteExchangeError);
    }
}

void RemoteConnection::fail(int state)
{
    release();
    emit failed(state);
}

void RemoteConnection::abort()
{
    release();
}

void RemoteConnection::goodbye()
{
    if (phase != Phase::Open || !sock)
        return;
    if (sock->state() == QAbstractSocket::ConnectedState) {
        sock->write(goodbyeText);
        // Writing may find the server gone already, and that ends the session at once.
        sock->flush();
        // Leaves once the goodbye is out; disconnected() then ends the session.
        if (sock)
            sock->disconnectFromHost();
    } else {
        phase = Phase::Idle;
        release();
        emit closed();
    }
}

void RemoteConnection::release()
{
    timer->stop();
    phase = Phase::Idle;
    if (!sock)
        return;
    // Whatever the old socket still says is of no interest to anyone.
    QTcpSocket *old = sock;
    sock = nullptr;
    disconnect(old, nullptr, this, nullptr);
    old->abort();
    old->deleteLater();
}
