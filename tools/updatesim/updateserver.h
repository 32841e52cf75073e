#pragma once

#include "updatesignature.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class QTcpServer;
class QTcpSocket;

// The update server as the configurator meets it, on loopback, serving a folder:
//   ROOT/firmware/*.bin        firmware images, recognised by their header
//   ROOT/configurator/*.zip    configurator archives, their version taken from the file name
// A firmware check is answered with the newest image of the model when it is newer than the
// version asked about (sent at once in parts, each acknowledged), else "up to date"; a
// configurator check with the newest archive's version, size and name; a download request
// with the archive in parts. Faults make it misbehave the way a real server or network can.
// What it serves is signed with testKey() as it stands in the folder; the signing faults change
// that as the files are served (their announced sizes included).
class UpdateServer : public QObject
{
    Q_OBJECT
public:
    static constexpr int defaultPartSize = 1024;

    // How the served files are signed.
    enum class Signing {
        AsStored,     // as the folder holds them
        Unsigned,     // signatures taken away
        BadSignature, // a signature that does not match
        OtherKey,     // signed by a key nobody trusts
        ChangedEntry, // one entry (or the image) changed after signing
        Bomb,         // an archive with an 8 MiB entry of zeros (1,000:1), signed
    };
    // The key the simulated server signs with, made from a fixed seed: tests and the demo
    // trust its public half.
    static UpdateSignature::KeyPair testKey();
    // Signing faults by name ("unsigned", "bad-signature", "other-key", "changed-entry",
    // "bomb"); false for an unknown name.
    static bool signingByName(const QString &name, Signing *signing);

    struct Faults
    {
        Signing signing = Signing::AsStored;
        int corruptPart = -1;    // this part (0-based) goes out once with its Base64 cut short
        bool resend = true;      // a refused part is sent again (false: the next one follows)
        int stallAfterParts = -1; // after this many parts nothing more is sent
        bool stallAnswers = false; // checks are never answered
        int closeAfterParts = -1; // the connection is closed after this many parts
        bool coalesceEnd = false; // the last part and the end marker go in one write
        bool splitMessages = false; // every message goes in two writes, a moment apart
        qint64 sizeDelta = 0;     // announced archive size = real size + this
    };

    explicit UpdateServer(const QString &root, QObject *parent = nullptr);

    // Fills a folder for the demo: a Vexa750 firmware 1.4.0 and a configurator 1.7.0 archive
    // whose script replaces "update-marker.txt" in the program folder and notes the install in
    // "updates/install.log".
    static bool makeDemoRoot(const QString &dir, QString *error);
    ~UpdateServer() override;

    // Listens on 127.0.0.1 (port 0: any free port). False when the port cannot be had.
    bool listen(quint16 port);
    quint16 port() const;
    Faults &faults() { return fault; }
    void setPartSize(int bytes) { partSize = bytes; }

    // Every request text received, and every reply to a part ("WRFILE=0,..", "WRFILE=1").
    QList<QByteArray> requests() const { return requestLog; }
    QList<QByteArray> replies() const { return replyLog; }

    // Serves the configurator archives by FTP on 127.0.0.1:port (Debian's python3-pyftpdlib),
    // each file with the 16-byte block the server puts before the archive, under the account
    // the configurator uses. False with a reason when it cannot start.
    bool startFtp(quint16 port, QString *error = nullptr);
    void stopFtp();
    // The archive a name of ROOT/configurator stands for on the FTP server (tests damage it).
    QString ftpFile(const QString &name) const;

signals:
    void trace(const QString &line);

private:
    struct Session
    {
        QByteArray input;
        QByteArray data; // what is being sent
        int parts = 0;
        int next = 0;    // the part to send next
        int sent = 0;    // parts sent so far, resends included
        bool corrupted = false;
    };
    void accept();
    void receive(QTcpSocket *socket);
    void request(QTcpSocket *socket, Session &s, const QByteArray &text);
    void startSending(QTcpSocket *socket, Session &s, const QByteArray &data);
    void sendPart(QTcpSocket *socket, Session &s);
    QByteArray partText(Session &s, int index);
    void send(QTcpSocket *socket, const QByteArray &message);
    // A file of the folder as it is served, with the signing fault applied.
    QByteArray served(const QString &path) const;
    // The newest image for a model ("750", "760_1") and its version.
    QByteArray newestFirmware(const QString &model, QString *version) const;
    QString newestArchive(QString *version) const;

    QString rootDir;
    Faults fault;
    mutable QHash<QString, QByteArray> servedCache; // path and fault -> bytes
    int partSize = defaultPartSize;
    QTcpServer *server = nullptr;
    QHash<QTcpSocket *, Session> sessions;
    QList<QByteArray> requestLog;
    QList<QByteArray> replyLog;
    std::unique_ptr<QTemporaryDir> ftpDir;
    QProcess ftpProcess;
};
