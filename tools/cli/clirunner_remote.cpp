// CliRunner: info, read and write through the remote-configuration server.
#include "clirunner.h"

#include "appinfo.h"
#include "deviceinterface.h"
#include "linkstate.h"
#include "remoteconnection.h"

#include <QUrl>

int CliRunner::parseRemoteOption(const QStringList &args, int *i, Options *o, QString *error)
{
    const QString &a = args.at(*i);
    QString *target = a == QLatin1String("--remote")     ? &o->remoteImei
                      : a == QLatin1String("--password") ? &o->remotePassword
                      : a == QLatin1String("--server")   ? &o->remoteServer
                                                         : nullptr;
    if (!target)
        return -1;
    if (*i + 1 >= args.size()) {
        *error = a + QStringLiteral(" needs a value");
        return 0;
    }
    *target = args.at(++*i);
    return 1;
}

namespace {
// HOST:PORT, a port from 1 to 65535; the host may be a name, an IPv4 or a bracketed IPv6
// address.
bool splitServer(const QString &text, QString *host, quint16 *port)
{
    const QUrl url(QStringLiteral("tcp://") + text);
    if (!url.isValid() || url.host().isEmpty() || url.port() <= 0 || !url.path().isEmpty() ||
        !url.userInfo().isEmpty())
        return false;
    *host = url.host();
    *port = quint16(url.port());
    return true;
}
} // namespace

bool CliRunner::checkRemoteOptions(const Options &o, QString *error)
{
    if (o.remoteImei.isEmpty()) {
        if (o.remotePassword.isEmpty() && o.remoteServer.isEmpty())
            return true;
        *error = QStringLiteral("--password and --server go with --remote IMEI");
        return false;
    }
    const QStringList commands{QStringLiteral("info"), QStringLiteral("read"),
                               QStringLiteral("write")};
    QString host;
    quint16 port = 0;
    if (!commands.contains(o.command))
        *error = QStringLiteral("--remote works with info, read and write");
    else if (!o.port.isEmpty())
        *error = QStringLiteral("--remote and --port exclude each other");
    else if (!RemoteConnection::isValidImei(o.remoteImei))
        *error = QStringLiteral("--remote: an IMEI is 15 digits");
    else if (o.remotePassword.isEmpty())
        *error = QStringLiteral("--remote needs --password (the device's password)");
    else if (!o.remoteServer.isEmpty() && !splitServer(o.remoteServer, &host, &port))
        *error = QStringLiteral("--server: HOST:PORT, like 127.0.0.1:12358");
    else
        return true;
    return false;
}

void CliRunner::connectRemote()
{
    portName = QStringLiteral("IMEI ") + opts.remoteImei;
    connect(link, &DeviceInterface::authenticationFail, this,
            [this] { fail(QStringLiteral("the device refused the password")); });
    // The server is told goodbye when the command ends, whatever the end.
    connect(this, &CliRunner::finished, link, [this] {
        if (link->isRemoteMode())
            link->disconnectRemote();
    });
    QString host;
    quint16 port = 0;
    if (splitServer(opts.remoteServer, &host, &port)) {
        link->setRemoteServer(host, port);
        portName += QStringLiteral(" via ") + opts.remoteServer;
    }
    link->setAppVersion(AppInfo::version());
    err << "connecting to the remote-configuration server...\n";
    err.flush();
    link->connectToServer(opts.remoteImei, opts.remotePassword);
}

bool CliRunner::remoteStateChanged(int state)
{
    switch (state) {
    case LinkState::Disconnected:
        // The local link is closed first; only a session that was open can end.
        if (!remoteOpen)
            return true;
        if (done || acknowledged)
            return false;
        fail(QStringLiteral("the server ended the session"));
        return true;
    case LinkState::Connected:
        remoteOpen = true;
        return false;
    case LinkState::RemoteServerUnavailable:
        fail(remoteOpen ? QStringLiteral("the device does not answer through the server")
                        : QStringLiteral("the remote-configuration server is not available"));
        return true;
    case LinkState::RemoteExchangeError:
        fail(QStringLiteral("the exchange with the remote-configuration server failed"));
        return true;
    case LinkState::RemoteNotOnServer:
        fail(QStringLiteral("the device is not connected to the server"));
        return true;
    case LinkState::RemoteBusy:
        fail(QStringLiteral("the device is being configured by someone else"));
        return true;
    default:
        return false;
    }
}
