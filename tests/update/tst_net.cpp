#include "firmwareimage.h"
#include "ftpdownload.h"
#include "net.h"
#include "appsettings.h"
#include "firmwarestore.h"
#include "tempappdir.h"
#include "updateserver.h"
#include "updateunpacker.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTime>
#include <QtTest>

// The update server client against the simulated server: requests as the server expects them,
// every answer kind, downloads that arrive whole, broken or cut short, and the FTP path.
class tst_Net : public QObject
{
    Q_OBJECT
private slots:
    void requestTexts();
    void transferStats_data();
    void transferStats();
    void exchange_data();
    void exchange();
    void downloadsInARowKeepNoTail();
    void archiveByFtp_data();
    void archiveByFtp();
    void ftpDialogue_data();
    void ftpDialogue();
    void signedUpdates_data();
    void signedUpdates();
};

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// A random archive: the client does not look inside it.
QByteArray archiveBytes(int size)
{
    return firmwareImage(0, "0.0.0", size);
}

struct Run
{
    TempAppDir app;
    QTemporaryDir root;
    UpdateServer server{root.path()};
    std::unique_ptr<Net> net;
    std::unique_ptr<QSignalSpy> finished;

    explicit Run(quint16 serverPort = 0)
    {
        QFile settings(app.path("settings.conf"));
        if (server.listen(0) && settings.open(QIODevice::WriteOnly))
            settings.write(QStringLiteral("[UpdateServer]\nIP=127.0.0.1\nPort=%1\n")
                               .arg(serverPort ? serverPort : server.port())
                               .toUtf8());
        settings.close();
        net = std::make_unique<Net>();
        net->setTimeouts(1000, 1000, 2000);
        net->setFtpPort(closedPort());
        finished = std::make_unique<QSignalSpy>(net.get(), &Net::updaterFinished);
    }
    // A port nothing listens on.
    static quint16 closedPort()
    {
        QTcpServer s;
        s.listen(QHostAddress::LocalHost);
        return s.serverPort();
    }
    int exitCode()
    {
        if (finished->isEmpty() && !finished->wait(10000))
            return -1;
        return finished->first().first().toInt();
    }
};

// An FTP server that answers from a script, to reach the turns a real one seldom takes. Each
// command's answer is looked up by its verb; "{PASV}" and "{EPSV}" stand for the data port, the
// PASV form naming another host (the client must not follow it). RETR answers 150, sends the
// file and closes the data connection, then 226, in the order the "retr" mode says.
struct ScriptedFtp
{
    QTcpServer control;
    QTcpServer data;
    QPointer<QTcpSocket> client;
    QMap<QByteArray, QByteArray> answers;
    QByteArray file;
    // "after": 226 after the close; "before": 226 first; "hang up": 226, the control connection
    // closed, then the file; "stall": 150 only
    QString retr;
    QByteArrayList commands;

    bool listen(const QHostAddress &address)
    {
        if (!control.listen(address) || !data.listen(address))
            return false;
        QObject::connect(&control, &QTcpServer::newConnection, [this] {
            client = control.nextPendingConnection();
            client->write(answers.value("greeting"));
            QObject::connect(client, &QTcpSocket::readyRead, [this] {
                while (client && client->canReadLine())
                    command(client->readLine().trimmed());
            });
        });
        return true;
    }

    void command(const QByteArray &line)
    {
        commands << line;
        const QByteArray verb = line.split(' ').first();
        if (verb != "RETR") {
            const quint16 p = data.serverPort();
            client->write(QByteArray(answers.value(verb, "502 no\r\n"))
                              .replace("{PASV}", "10,9,8,7," + QByteArray::number(p / 256) + ',' +
                                                     QByteArray::number(p % 256))
                              .replace("{EPSV}", "(|||" + QByteArray::number(p) + "|)"));
            return;
        }
        if (answers.contains("RETR")) {
            client->write(answers.value("RETR"));
            return;
        }
        client->write("150 here it comes\r\n");
        if (retr == "before" || retr == "hang up")
            client->write("226 sent\r\n");
        if (retr == "hang up")
            client->disconnectFromHost();
        if (retr != "stall") {
            QTcpSocket *out = data.nextPendingConnection();
            if (!out && data.waitForNewConnection(5000))
                out = data.nextPendingConnection();
            if (!out)
                return;
            out->write(file);
            out->disconnectFromHost();
        }
        if (retr == "after")
            client->write("226 sent\r\n");
    }
};

} // namespace

void tst_Net::requestTexts()
{
    // Spacing and order exactly as the server matches them; values escaped.
    QCOMPARE(Net::firmwareCheckRequest("0.0.0", "093015123", "760_1"),
             QByteArray(R"({"type": "update","origin": "configurator","params": {"fw": "0.0.0",)"
                        R"("imei": "093015123","dev": "760_1"}})"));
    QCOMPARE(Net::softwareCheckRequest("1.6.0", "000000001"),
             QByteArray(R"({"type": "update","origin": "configurator","params": {"sw": "1.6.0",)"
                        R"("imei": "000000001", "sn": "conf","attribute":"conf_vexa7xx"}})"));
    QCOMPARE(Net::softwareDownloadRequest("1.6.0", "235959999"),
             QByteArray(R"({"type": "download","origin": "configurator", "params": {"sw": )"
                        R"("1.6.0","imei": "235959999", "sn": "conf","attribute":"conf_vexa7xx"}})"));
    QVERIFY(Net::firmwareCheckRequest("1\"}", "1", "x").contains("\"fw\": \"1\\\"}\",\"imei\""));
    QCOMPARE(Net::stamp(QTime(9, 5, 7, 42)), QString("090507042"));
}

void tst_Net::transferStats_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<qint64>("kbPerSecond");
    QTest::newRow("two seconds") << qint64(204800) << qint64(2000) << "2" << qint64(100);
    QTest::newRow("under a second") << qint64(204800) << qint64(400) << "0.4" << qint64(500);
    // Quicker than the clock's tick: at most one tick, not a division by zero.
    QTest::newRow("no tick yet") << qint64(10240) << qint64(0) << "0" << qint64(100);
}

void tst_Net::transferStats()
{
    QFETCH(qint64, bytes);
    QFETCH(qint64, ms);
    const Net::TransferStats s = Net::transferStats(bytes, ms);
    QTEST(s.seconds, "seconds");
    QTEST(s.kbPerSecond, "kbPerSecond");
}

void tst_Net::exchange_data()
{
    QTest::addColumn<QString>("kind");      // fw: a firmware check of the 750 at 1.3.1; sw; dl
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("outcome");   // the signal after updaterFinished, or empty
    QTest::addColumn<int>("refusedParts"); // "WRFILE=1" replies the client sent
    QTest::newRow("fw newer") << "fw" << "" << 0 << "fwDownloaded" << 0;
    QTest::newRow("fw up to date") << "fw-old" << "" << 0 << "fwIsUpToDate" << 0;
    QTest::newRow("fw split answers") << "fw" << "split" << 0 << "fwDownloaded" << 0;
    QTest::newRow("fw last part with end") << "fw" << "coalesce" << 0 << "fwDownloaded" << 0;
    QTest::newRow("fw corrupt part resent") << "fw" << "corrupt" << 0 << "fwDownloaded" << 1;
    QTest::newRow("fw corrupt part lost") << "fw" << "corrupt-noresend" << 2 << "" << 1;
    QTest::newRow("fw server closes early") << "fw" << "close" << 2 << "" << 0;
    QTest::newRow("fw server stalls") << "fw" << "stall" << 2 << "" << 0;
    QTest::newRow("fw larger than any firmware") << "fw-huge" << "" << 2 << "" << 0;
    QTest::newRow("check unanswered") << "sw" << "stall-answers" << 2 << "" << 0;
    QTest::newRow("sw newer") << "sw" << "" << 0 << "availableSw" << 0;
    QTest::newRow("sw up to date") << "sw-none" << "" << 0 << "swIsUpToDate" << 0;
    QTest::newRow("sw by tcp") << "dl" << "" << 0 << "swDownloaded" << 0;
    QTest::newRow("sw by tcp, split") << "dl" << "split" << 0 << "swDownloaded" << 0;
    QTest::newRow("sw size not as announced") << "dl" << "size" << 2 << "" << 0;
    QTest::newRow("server refuses") << "refused" << "" << 1 << "" << 0;
}

void tst_Net::exchange()
{
    QFETCH(QString, kind);
    QFETCH(QString, fault);
    QFETCH(int, code);
    QFETCH(QString, outcome);
    QFETCH(int, refusedParts);
    Run r(kind == "refused" ? Run::closedPort() : 0);
    const QByteArray image = firmwareImage(750, "1.4.2", kind == "fw-huge" ? 1100000 : 20000);
    writeFile(r.root.filePath("firmware/a.bin"), image);
    writeFile(r.root.filePath("firmware/b.bin"), firmwareImage(701, "9.9.9", 4000));
    const QByteArray archive = archiveBytes(50000);
    if (kind != "sw-none")
        writeFile(r.root.filePath("configurator/vexa7xx-configurator-1.7.0.zip"), archive);
    UpdateServer::Faults &f = r.server.faults();
    f.splitMessages = fault == "split";
    f.coalesceEnd = fault == "coalesce";
    f.corruptPart = fault.startsWith("corrupt") ? 3 : -1;
    f.resend = fault != "corrupt-noresend";
    f.closeAfterParts = fault == "close" ? 5 : -1;
    f.stallAfterParts = fault == "stall" ? 5 : -1;
    f.stallAnswers = fault == "stall-answers";
    f.sizeDelta = fault == "size" ? 10 : 0;

    QSignalSpy available(r.net.get(), &Net::availableSw);
    QStringList emitted;
    connect(r.net.get(), &Net::fwDownloaded, this, [&] { emitted << "fwDownloaded"; });
    connect(r.net.get(), &Net::fwIsUpToDate, this, [&] { emitted << "fwIsUpToDate"; });
    connect(r.net.get(), &Net::swDownloaded, this, [&] { emitted << "swDownloaded"; });
    connect(r.net.get(), &Net::swIsUpToDate, this, [&] { emitted << "swIsUpToDate"; });
    connect(r.net.get(), &Net::availableSw, this, [&] { emitted << "availableSw"; });

    if (kind.startsWith("fw"))
        r.net->checkUpdates(kind == "fw-old" ? "1.4.10" : "1.3.1", "750", true);
    else if (kind == "dl")
        r.net->reqestDownloadSw("1.6.0", archive.size() + f.sizeDelta,
                                "vexa7xx-configurator-1.7.0.zip");
    else
        r.net->checkUpdates("1.6.0", "750", false);

    QCOMPARE(r.exitCode(), code);
    QTest::qWait(50); // nothing more may follow
    QCOMPARE(r.finished->size(), 1);
    QCOMPARE(emitted, outcome.isEmpty() ? QStringList() : QStringList{outcome});
    QCOMPARE(int(r.server.replies().count("WRFILE=1")), refusedParts);
    QCOMPARE(r.net->lastError().isEmpty(), code == 0);

    const QString stored = r.app.path("firmware/Vexa750_v1.4.2_update.bin");
    QCOMPARE(readAll(stored), outcome == "fwDownloaded" ? image : QByteArray());
    QCOMPARE(readAll(r.net->archivePath()), outcome == "swDownloaded" ? archive : QByteArray());
    if (outcome == "availableSw")
        QCOMPARE(available.first(), QVariantList({"1.7.0", qlonglong(archive.size()),
                                                  "vexa7xx-configurator-1.7.0.zip"}));
    if (kind.startsWith("fw") && !r.server.requests().isEmpty())
        QVERIFY(r.server.requests().first().contains(
            kind == "fw-old" ? R"("fw": "1.4.10")" : R"("fw": "1.3.1")"));
}

void tst_Net::downloadsInARowKeepNoTail()
{
    // A long image, then a short one: the second file must not carry the first one's tail.
    Run r;
    const QByteArray big = firmwareImage(750, "1.4.2", 30000);
    const QByteArray small = firmwareImage(760, "2.0.0", 3000);
    writeFile(r.root.filePath("firmware/a.bin"), big);
    writeFile(r.root.filePath("firmware/b.bin"), small);
    r.net->checkUpdates("1.0.0", "750", true);
    QCOMPARE(r.exitCode(), 0);
    r.finished->clear();
    r.net->checkUpdates("1.0.0", "760", true);
    QCOMPARE(r.exitCode(), 0);
    QCOMPARE(readAll(r.app.path("firmware/Vexa750_v1.4.2_update.bin")), big);
    QCOMPARE(readAll(r.app.path("firmware/Vexa760_v2.0.0_update.bin")), small);
}

void tst_Net::archiveByFtp_data()
{
    QTest::addColumn<bool>("damaged"); // the FTP copy is short: the client falls back to TCP
    QTest::newRow("by FTP") << false;
    QTest::newRow("short FTP file, then TCP") << true;
}

void tst_Net::archiveByFtp()
{
    QFETCH(bool, damaged);
    Run r;
    const QByteArray archive = archiveBytes(300000);
    writeFile(r.root.filePath("configurator/vexa7xx-configurator-1.7.0.zip"), archive);
    const quint16 ftpPort = Run::closedPort();
    QString why;
    if (!r.server.startFtp(ftpPort, &why))
        QFAIL(qPrintable(why));
    if (damaged) {
        QFile ftpCopy(r.server.ftpFile("vexa7xx-configurator-1.7.0.zip"));
        QVERIFY(ftpCopy.resize(1000));
    }
    r.net->setFtpPort(ftpPort);
    QSignalSpy progress(r.net.get(), &Net::updateProgress);
    r.net->reqestDownloadSw("1.6.0", archive.size(), "vexa7xx-configurator-1.7.0.zip");
    QCOMPARE(r.exitCode(), 0);
    QCOMPARE(readAll(r.net->archivePath()), archive);
    // The parts came over TCP only when the FTP copy was refused.
    QCOMPARE(r.server.replies().isEmpty(), !damaged);
    QVERIFY(!progress.isEmpty());
    QCOMPARE(progress.last().first().toInt(), archive.size());
}

void tst_Net::ftpDialogue_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QByteArray>("greeting");
    QTest::addColumn<QByteArray>("user"); // the answer to USER
    QTest::addColumn<QByteArray>("passive"); // "PASV" or "EPSV=answer": the answer to EPSV
    QTest::addColumn<QByteArray>("retrAnswer"); // empty: the file is sent
    QTest::addColumn<QString>("retr");
    QTest::addColumn<qint64>("announced"); // bytes allowed; -1: the file's size
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("error"); // empty: the file arrives whole
    QTest::addColumn<QByteArray>("sent"); // the commands, joined by "|"

    const QByteArray greeting = "220-Welcome\r\n220-a second line\r\n220 ready\r\n";
    const QByteArray login = "USER kvtrm|PASS kvtrm|TYPE I|PASV|RETR /a.zip|QUIT";
    QTest::newRow("multi-line greeting, host of PASV not followed")
        << "127.0.0.1" << greeting << QByteArray("331 password\r\n") << QByteArray("PASV")
        << QByteArray() << "after" << qint64(-1) << "/a.zip" << "" << login;
    QTest::newRow("226 before the data connection closes")
        << "127.0.0.1" << greeting << QByteArray("331 password\r\n") << QByteArray("PASV")
        << QByteArray() << "before" << qint64(-1) << "/a.zip" << "" << login;
    QTest::newRow("server hangs up after 226")
        << "127.0.0.1" << greeting << QByteArray("331 password\r\n") << QByteArray("PASV")
        << QByteArray() << "hang up" << qint64(-1) << "/a.zip" << ""
        << login.left(login.lastIndexOf('|'));
    QTest::newRow("no password asked")
        << "127.0.0.1" << QByteArray("220 hi\r\n") << QByteArray("230 in\r\n")
        << QByteArray("PASV") << QByteArray() << "after" << qint64(-1) << "/a.zip" << ""
        << QByteArray("USER kvtrm|TYPE I|PASV|RETR /a.zip|QUIT");
    QTest::newRow("login refused")
        << "127.0.0.1" << greeting << QByteArray("530 who are you\r\n") << QByteArray("PASV")
        << QByteArray() << "after" << qint64(-1) << "/a.zip" << "530 who are you"
        << QByteArray("USER kvtrm");
    QTest::newRow("no such file")
        << "127.0.0.1" << greeting << QByteArray("331 password\r\n") << QByteArray("PASV")
        << QByteArray("550 no such file\r\n") << "after" << qint64(-1) << "/a.zip"
        << "550 no such file" << QByteArray("USER kvtrm|PASS kvtrm|TYPE I|PASV|RETR /a.zip");
    QTest::newRow("larger than announced")
        << "127.0.0.1" << greeting << QByteArray("331 password\r\n") << QByteArray("PASV")
        << QByteArray() << "after" << qint64(1000) << "/a.zip" << "larger than the 1000 bytes"
        << login.left(login.lastIndexOf('|'));
    QTest::newRow("server stalls mid-file")
        << "127.0.0.1" << greeting << QByteArray("331 password\r\n") << QByteArray("PASV")
        << QByteArray() << "stall" << qint64(-1) << "/a.zip" << "no answer for"
        << login.left(login.lastIndexOf('|'));
    QTest::newRow("not an FTP server")
        << "127.0.0.1" << QByteArray("HTTP/1.1 400 Bad Request\r\n\r\n") << QByteArray()
        << QByteArray("PASV") << QByteArray() << "after" << qint64(-1) << "/a.zip"
        << "not an FTP answer" << QByteArray();
    QTest::newRow("line break in the name sends nothing")
        << "127.0.0.1" << greeting << QByteArray("331 password\r\n") << QByteArray("PASV")
        << QByteArray() << "after" << qint64(-1) << "/a.zip\r\nDELE /x" << "line break"
        << QByteArray();
    QTest::newRow("IPv6: EPSV")
        << "::1" << greeting << QByteArray("331 password\r\n")
        << QByteArray("EPSV=229 extended ({EPSV})\r\n") << QByteArray() << "after"
        << qint64(-1) << "/a.zip" << ""
        << QByteArray("USER kvtrm|PASS kvtrm|TYPE I|EPSV|RETR /a.zip|QUIT");
    QTest::newRow("IPv6: EPSV refused, PASV then")
        << "::1" << greeting << QByteArray("331 password\r\n")
        << QByteArray("EPSV=500 what\r\n") << QByteArray() << "after" << qint64(-1) << "/a.zip"
        << "" << QByteArray("USER kvtrm|PASS kvtrm|TYPE I|EPSV|PASV|RETR /a.zip|QUIT");
}

void tst_Net::ftpDialogue()
{
    QFETCH(QString, host);
    QFETCH(QByteArray, greeting);
    QFETCH(QByteArray, user);
    QFETCH(QByteArray, passive);
    QFETCH(QByteArray, retrAnswer);
    QFETCH(QString, retr);
    QFETCH(qint64, announced);
    QFETCH(QString, path);
    QFETCH(QString, error);
    QFETCH(QByteArray, sent);

    ScriptedFtp server;
    if (!server.listen(QHostAddress(host)))
        QSKIP("no loopback address of this kind here");
    server.file = archiveBytes(200000);
    server.retr = retr;
    server.answers = {{"greeting", greeting}, {"USER", user}, {"PASS", "230 in\r\n"},
                      {"TYPE", "200 binary\r\n"}, {"PASV", "227 passive ({PASV})\r\n"},
                      {"QUIT", "221 bye\r\n"}};
    if (passive.startsWith("EPSV="))
        server.answers.insert("EPSV", passive.mid(5));
    if (!retrAnswer.isEmpty())
        server.answers.insert("RETR", retrAnswer);

    FtpDownload ftp;
    QSignalSpy finished(&ftp, &FtpDownload::finished);
    QSignalSpy progress(&ftp, &FtpDownload::progress);
    ftp.start(host, server.control.serverPort(), "kvtrm", "kvtrm", path, 1000,
              announced < 0 ? server.file.size() : announced);
    QVERIFY(finished.wait(10000));
    QCOMPARE(ftp.ok(), error.isEmpty());
    if (error.isEmpty()) {
        QCOMPARE(ftp.data(), server.file);
        QCOMPARE(progress.last().first().toLongLong(), qint64(server.file.size()));
    } else {
        QVERIFY2(ftp.errorString().contains(error), qPrintable(ftp.errorString()));
    }
    QTRY_COMPARE(server.commands.join('|'), sent); // QUIT is written as the client leaves
    QCOMPARE(finished.size(), 1);
}

void tst_Net::signedUpdates_data()
{
    QTest::addColumn<QString>("kind");    // fw: the 750's firmware; dl: the configurator
    QTest::addColumn<QString>("signing"); // the server's fault, "" for the files as signed
    QTest::addColumn<bool>("keyTrusted"); // the server's test key in UpdateServer/PublicKeys
    QTest::addColumn<QString>("outcome"); // fw: stored, marked, refused; dl: an unpacker result
    QTest::newRow("signed image") << "fw" << "" << true << "stored";
    QTest::newRow("unsigned image") << "fw" << "unsigned" << true << "refused";
    QTest::newRow("image by another key") << "fw" << "other-key" << true << "refused";
    QTest::newRow("image changed after signing") << "fw" << "changed-entry" << true << "refused";
    QTest::newRow("no key: unsigned image kept, marked") << "fw" << "unsigned" << false << "marked";
    QTest::newRow("signed archive") << "dl" << "" << true << "Started";
    QTest::newRow("unsigned archive") << "dl" << "unsigned" << true << "Refused";
    QTest::newRow("archive by another key") << "dl" << "other-key" << true << "Refused";
    QTest::newRow("bad signature") << "dl" << "bad-signature" << true << "Refused";
    QTest::newRow("an entry changed") << "dl" << "changed-entry" << true << "Refused";
    QTest::newRow("zip bomb") << "dl" << "bomb" << true << "TooLarge";
    QTest::newRow("no key: unsigned, not approved") << "dl" << "unsigned" << false << "Refused";
}

void tst_Net::signedUpdates()
{
    QFETCH(QString, kind);
    QFETCH(QString, signing);
    QFETCH(bool, keyTrusted);
    QFETCH(QString, outcome);
    Run r;
    QString why;
    QVERIFY2(UpdateServer::makeDemoRoot(r.root.path(), &why), qPrintable(why));
    if (!signing.isEmpty())
        QVERIFY(UpdateServer::signingByName(signing, &r.server.faults().signing));
    if (keyTrusted)
        AppSettings::write("UpdateServer", "PublicKeys",
                           QString::fromLatin1(UpdateServer::testKey().publicKey.toBase64()));
    if (kind == "fw") {
        r.net->checkUpdates("1.3.1", "750", true);
        QCOMPARE(r.exitCode(), outcome == "refused" ? 2 : 0);
        const QString stored = r.app.path("firmware/Vexa750_v1.4.0_update.bin");
        // The store keeps the image as it was signed, without the signature.
        QByteArray image;
        UpdateSignature::checkImage(readAll(r.root.filePath("firmware/Vexa750_v1.4.0.bin")), {},
                                    &image);
        QCOMPARE(readAll(stored), outcome == "refused" ? QByteArray() : image);
        QCOMPARE(FirmwareStore::isUnsigned(stored), outcome == "marked");
        return;
    }
    const QString archive = r.app.path("updates/update.zip");
    r.net->setArchivePath(archive);
    // Downloaded as the configurator does: the size is the one the check announced.
    QSignalSpy available(r.net.get(), &Net::availableSw);
    r.net->checkUpdates("1.6.0", "750", false);
    QCOMPARE(r.exitCode(), 0);
    QCOMPARE(available.size(), 1);
    r.finished->clear();
    r.net->reqestDownloadSw("1.6.0", available.first().at(1).toLongLong(),
                            available.first().at(2).toString());
    QCOMPARE(r.exitCode(), 0);
    QObject owner;
    auto *unpacker = new UpdateUnpacker(&owner);
    int starts = 0;
    unpacker->setLauncher({[&](const QString &, const QStringList &, const QString &) {
                               ++starts;
                               return true;
                           },
                           [](int) {}});
    unpacker->startUpdate();
    QCOMPARE(QString::fromLatin1(QMetaEnum::fromType<UpdateUnpacker::Result>().valueToKey(
                 int(unpacker->result()))),
             outcome);
    QCOMPARE(starts, outcome == "Started" ? 1 : 0);
    // Refused before a byte was extracted: only the archive is in the folder.
    qint64 bytes = 0;
    QStringList files;
    for (QDirIterator it(r.app.path("updates"), QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        files << it.next();
        bytes += it.fileInfo().size();
    }
    if (outcome != "Started")
        QCOMPARE(files, QStringList{archive});
    QVERIFY(bytes < 1024 * 1024);
}

QTEST_GUILESS_MAIN(tst_Net)
#include "tst_net.moc"
