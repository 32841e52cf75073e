#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QTcpSocket;

// Fetches one file from an FTP server into memory: log in, binary type, passive mode (EPSV on
// IPv6, PASV otherwise), RETR, QUIT. Qt 6's network manager has no FTP, and the update archive
// must come the same way whichever Qt the program is built with, so this speaks the few
// commands it needs over two sockets itself.
//
// finished() comes exactly once per start(), after which ok(), data() and errorString() tell
// the outcome. The data connection goes to the control connection's peer whatever address the
// server's passive answer names: a server behind NAT often names a private one, and following
// it would let any server point the program at another host.
class FtpDownload : public QObject
{
    Q_OBJECT
public:
    explicit FtpDownload(QObject *parent = nullptr);
    ~FtpDownload() override;

    // stallMs: give up when nothing has arrived for this long. maxBytes: a file that grows past
    // this is not the one announced, and is not read to its end.
    void start(const QString &host, quint16 port, const QString &user, const QString &password,
               const QString &path, int stallMs, qint64 maxBytes);
    // Ends the transfer at once, without finished().
    void abort();

    bool ok() const { return succeeded; }
    QByteArray data() const { return received; }
    QString errorString() const { return failure; }

signals:
    void progress(qint64 bytesReceived);
    void finished();

private:
    enum class Step { Idle, Greeting, User, Password, Type, Passive, Retrieve, Done };

    bool active() const { return step != Step::Idle && step != Step::Done; }
    void controlReadable();
    void reply(int code, const QByteArray &text);
    void openDataConnection(quint16 dataPort);
    void dataReadable();
    void dataClosed();
    void command(const QByteArray &line);
    void complete();
    void fail(const QString &why);
    void end();

    QPointer<QTcpSocket> control;
    QPointer<QTcpSocket> dataSocket;
    QTimer stallTimer;
    Step step = Step::Idle;
    QByteArray lineBuffer;
    int multiLineCode = 0; // the code of a multi-line reply being read, 0 between replies
    QString userName;
    QString secret;
    QString filePath;
    qint64 limit = 0;
    bool triedEpsv = false;
    bool transferConfirmed = false; // the server said 226
    bool dataDone = false;          // the data connection has closed
    bool succeeded = false;
    QByteArray received;
    QString failure;
};
