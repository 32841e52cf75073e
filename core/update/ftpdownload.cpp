#include "ftpdownload.h"

#include "dropquietly.h"

#include <QHostAddress>
#include <QRegularExpression>
#include <QTcpSocket>

#include <cctype>

namespace {

// A reply line longer than this is not FTP; it would otherwise be buffered without end.
constexpr int maxReplyLineBytes = 8192;

} // namespace

FtpDownload::FtpDownload(QObject *parent)
    : QObject(parent)
{
    stallTimer.setSingleShot(true);
    connect(&stallTimer, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("no answer for %1 s").arg(stallTimer.interval() / 1000.0));
    });
}

FtpDownload::~FtpDownload()
{
    abort();
}

void FtpDownload::start(const QString &host, quint16 port, const QString &user,
                        const QString &password, const QString &path, int stallMs, qint64 maxBytes)
{
    abort();
    received.clear();
    lineBuffer.clear();
    failure.clear();
    succeeded = false;
    multiLineCode = 0;
    triedEpsv = false;
    transferConfirmed = false;
    dataDone = false;
    userName = user;
    secret = password;
    filePath = path;
    limit = maxBytes;
    step = Step::Greeting;
    stallTimer.setInterval(stallMs);
    stallTimer.start();

    // The name travels inside a command line: a line break in it would be a command of its own.
    const QString words = user + password + path;
    if (words.contains(QLatin1Char('\r')) || words.contains(QLatin1Char('\n')) ||
        words.contains(QChar(0))) {
        QTimer::singleShot(
            0, this, [this] { fail(QStringLiteral("a line break in the file name or account")); });
        return;
    }

    control = new QTcpSocket(this);
    connect(control, &QTcpSocket::readyRead, this, &FtpDownload::controlReadable);
    // Once the server has said the file is sent, only the data connection's end matters: a
    // server may hang up the control connection before that end is seen here.
    connect(control, &QAbstractSocket::errorOccurred, this, [this] {
        if (!transferConfirmed)
            fail(control->errorString());
    });
    connect(control, &QTcpSocket::disconnected, this, [this] {
        if (!transferConfirmed)
            fail(QStringLiteral("the server closed the connection"));
    });
    control->connectToHost(host, port);
}

void FtpDownload::abort()
{
    step = Step::Idle;
    stallTimer.stop();
    dropQuietly(dataSocket, this);
    dropQuietly(control, this);
}

void FtpDownload::controlReadable()
{
    stallTimer.start();
    lineBuffer += control->readAll();
    int eol;
    while (active() && (eol = lineBuffer.indexOf('\n')) >= 0) {
        const QByteArray line = lineBuffer.left(eol).trimmed();
        lineBuffer.remove(0, eol + 1);
        // "123-text" opens a multi-line reply that "123 text" closes; lines between may be
        // anything. A single-line reply is "123 text".
        const bool coded = line.size() >= 3 && std::isdigit(uchar(line[0])) &&
                           std::isdigit(uchar(line[1])) && std::isdigit(uchar(line[2]));
        const int code = coded ? line.left(3).toInt() : 0;
        const char mark = line.size() > 3 ? line.at(3) : ' ';
        if (multiLineCode) {
            if (code == multiLineCode && mark == ' ') {
                multiLineCode = 0;
                reply(code, line.mid(4));
            }
        } else if (coded && mark == '-') {
            multiLineCode = code;
        } else if (coded) {
            reply(code, line.mid(4));
        } else {
            fail(QStringLiteral("not an FTP answer: %1").arg(QString::fromLatin1(line.left(80))));
        }
    }
    if (active() && lineBuffer.size() > maxReplyLineBytes)
        fail(QStringLiteral("not an FTP answer: a line of more than %1 bytes")
                 .arg(maxReplyLineBytes));
}

void FtpDownload::reply(int code, const QByteArray &text)
{
    const int kind = code / 100; // 1 preliminary, 2 done, 3 more needed, 4 and 5 refused
    if (kind >= 4) {
        // A server without EPSV says so; PASV then.
        if (step == Step::Passive && triedEpsv && (code == 500 || code == 501 || code == 502)) {
            triedEpsv = false;
            command("PASV");
            return;
        }
        fail(QStringLiteral("the server refused: %1 %2").arg(code).arg(QString::fromLatin1(text)));
        return;
    }
    switch (step) {
    case Step::Greeting:
        if (code == 220) {
            step = Step::User;
            command("USER " + userName.toUtf8());
        }
        break; // 120: ready in a moment
    case Step::User:
        if (code == 331) {
            step = Step::Password;
            command("PASS " + secret.toUtf8());
            break;
        }
        Q_FALLTHROUGH(); // 230: no password needed
    case Step::Password:
        if (kind == 2) {
            step = Step::Type;
            command("TYPE I");
        } else {
            fail(QStringLiteral("the server asks for more than a user name and password (%1)")
                     .arg(code));
        }
        break;
    case Step::Type:
        if (kind != 2)
            break;
        step = Step::Passive;
        triedEpsv = control->peerAddress().protocol() == QAbstractSocket::IPv6Protocol;
        command(triedEpsv ? "EPSV" : "PASV");
        break;
    case Step::Passive: {
        // 229 "(|||port|)"; 227 "(h1,h2,h3,h4,p1,p2)", the host part not followed.
        static const QRegularExpression epsv(QStringLiteral("\\(\\|\\|\\|(\\d{1,5})\\|\\)"));
        static const QRegularExpression pasv(
            QStringLiteral("(\\d{1,3}),(\\d{1,3}),(\\d{1,3}),(\\d{1,3}),(\\d{1,3}),(\\d{1,3})"));
        const QString answer = QString::fromLatin1(text);
        uint dataPort = 0;
        if (code == 229) {
            const QRegularExpressionMatch m = epsv.match(answer);
            if (m.hasMatch())
                dataPort = m.captured(1).toUInt();
        } else if (code == 227) {
            const QRegularExpressionMatch m = pasv.match(answer);
            if (m.hasMatch() && m.captured(5).toUInt() < 256 && m.captured(6).toUInt() < 256)
                dataPort = m.captured(5).toUInt() * 256 + m.captured(6).toUInt();
        }
        if (dataPort == 0 || dataPort > 65535) {
            fail(QStringLiteral("no data port in the answer: %1 %2").arg(code).arg(answer));
            break;
        }
        openDataConnection(quint16(dataPort));
        break;
    }
    case Step::Retrieve:
        if (kind == 2) { // 226 or 250: the whole file was sent
            transferConfirmed = true;
            complete();
        }
        break; // 125 or 150: the transfer begins
    case Step::Idle:
    case Step::Done:
        break;
    }
}

void FtpDownload::openDataConnection(quint16 dataPort)
{
    step = Step::Retrieve;
    dataSocket = new QTcpSocket(this);
    connect(dataSocket, &QTcpSocket::connected, this,
            [this] { command("RETR " + filePath.toUtf8()); });
    connect(dataSocket, &QTcpSocket::readyRead, this, &FtpDownload::dataReadable);
    connect(dataSocket, &QTcpSocket::disconnected, this, &FtpDownload::dataClosed);
    connect(dataSocket, &QAbstractSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError error) {
                if (error == QAbstractSocket::RemoteHostClosedError)
                    return; // the end of the file: disconnected() follows
                fail(QStringLiteral("data connection: %1").arg(dataSocket->errorString()));
            });
    dataSocket->connectToHost(control->peerAddress(), dataPort);
}

void FtpDownload::dataReadable()
{
    stallTimer.start();
    received += dataSocket->readAll();
    if (received.size() > limit) {
        fail(QStringLiteral("the file is larger than the %1 bytes announced").arg(limit));
        return;
    }
    emit progress(received.size());
}

void FtpDownload::dataClosed()
{
    if (step != Step::Retrieve)
        return;
    dataReadable();
    if (step != Step::Retrieve)
        return;
    dataDone = true;
    complete();
}

void FtpDownload::command(const QByteArray &line)
{
    stallTimer.start();
    control->write(line + "\r\n");
}

void FtpDownload::complete()
{
    // The server's 226 and the data connection's close arrive in either order; only both
    // together mean the file is whole.
    if (!transferConfirmed || !dataDone)
        return;
    succeeded = true;
    // Said goodbye to, not cut off: the socket goes once QUIT is written. A server may have
    // hung up already.
    if (control && control->state() == QAbstractSocket::ConnectedState) {
        command("QUIT");
        QTcpSocket *leaving = control;
        control.clear();
        leaving->disconnect(this);
        connect(leaving, &QAbstractSocket::disconnected, leaving, &QObject::deleteLater);
        leaving->disconnectFromHost();
    }
    end();
}

void FtpDownload::fail(const QString &why)
{
    if (!active())
        return;
    failure = why;
    end();
}

void FtpDownload::end()
{
    abort();
    step = Step::Done;
    emit finished();
}
