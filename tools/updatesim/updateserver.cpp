#include "updateserver.h"

#include "firmwarestore.h"
#include "naturalcompare.h"
#include "updateunpacker.h"
#include "ziparchive.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// "750" -> 750, "760_1" -> 760 with variant 1 in the high 6 bits.
int modelId(const QString &model)
{
    const QStringList parts = model.split(QLatin1Char('_'));
    bool ok = false;
    const int number = parts.value(0).toInt(&ok);
    if (!ok)
        return -1;
    const int variant = parts.size() > 1 ? parts.at(1).toInt() : 0;
    return number | (variant << 10);
}

QString pythonWithFtp()
{
    // Debian's interpreter carries the packaged FTP server; another one first on PATH may not.
    return QFileInfo::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                                 : QStringLiteral("python3");
}

} // namespace

bool UpdateServer::makeDemoRoot(const QString &dir, QString *error)
{
    const QDir root(dir);
    if (!root.mkpath(QStringLiteral("firmware")) || !root.mkpath(QStringLiteral("configurator"))) {
        *error = QStringLiteral("cannot create folders in ") + dir;
        return false;
    }
    // A Vexa750 image: its header, then a body the simulated device does not look into.
    QByteArray image = FirmwareStore::header(750, QStringLiteral("1.4.0"));
    QRandomGenerator body(750);
    while (image.size() < 64 * 1024)
        image.append(char(body.bounded(256)));
    // Signed with the test key, as a server that signs serves them.
    image = UpdateSignature::signImage(image, testKey().secretKey);
    QFile fw(root.filePath(QStringLiteral("firmware/Vexa750_v1.4.0.bin")));
    if (!fw.open(QIODevice::WriteOnly) || fw.write(image) != image.size()) {
        *error = fw.fileName() + QStringLiteral(": ") + fw.errorString();
        return false;
    }
    const QByteArray marker = "Vexa7XX Configurator 1.7.0 (demo update)\n";
    using Item = ZipArchive::Item;
    const QList<Item> items{
        {QStringLiteral("payload/update-marker.txt"), Item::File, -1, {}, 0644, marker},
        {QStringLiteral("startupd.sh"), Item::File, -1, {}, 0644,
         "# The demo update: replaces the marker file of the program folder, then starts the\n"
         "# program again as it was started (its arguments are this script's).\n"
         "cp -f updates/payload/update-marker.txt update-marker.txt\n"
         "echo \"$(date '+%F %T') update 1.7.0 installed\" >> updates/install.log\n"
         "nohup ./vexa7xx-configurator \"$@\" >/dev/null 2>&1 &\n"},
        {QStringLiteral("startupd.cmd"), Item::File, -1, {}, 0644,
         "copy /Y updates\\payload\\update-marker.txt update-marker.txt\r\n"
         "echo update 1.7.0 installed >> updates\\install.log\r\n"
         "start \"\" vexa7xx-configurator.exe %*\r\n"},
    };
    const bool ok = ZipArchive::write(
        root.filePath(QStringLiteral("configurator/vexa7xx-configurator-1.7.0.zip")),
        UpdateSignature::signArchive(items, testKey().secretKey), error);
    return ok;
}

UpdateSignature::KeyPair UpdateServer::testKey()
{
    return UpdateSignature::fromSeed(QByteArray("vexa7xx-update-sim test key, 32B"));
}

bool UpdateServer::signingByName(const QString &name, Signing *signing)
{
    static const QHash<QString, Signing> names{{QStringLiteral("unsigned"), Signing::Unsigned},
                                               {QStringLiteral("bad-signature"), Signing::BadSignature},
                                               {QStringLiteral("other-key"), Signing::OtherKey},
                                               {QStringLiteral("changed-entry"), Signing::ChangedEntry},
                                               {QStringLiteral("bomb"), Signing::Bomb}};
    if (!names.contains(name))
        return false;
    *signing = names.value(name);
    return true;
}

QByteArray UpdateServer::served(const QString &path) const
{
    const QByteArray file = readFile(path);
    if (fault.signing == Signing::AsStored || file.isEmpty())
        return file;
    const QString key = path + QLatin1Char('|') + QString::number(int(fault.signing));
    if (servedCache.contains(key))
        return servedCache.value(key);
    const QByteArray secret = testKey().secretKey;
    const QByteArray other = UpdateSignature::fromSeed(QByteArray(32, 'o')).secretKey;
    QByteArray out;
    if (!file.startsWith("PK")) {
        QByteArray image;
        UpdateSignature::checkImage(file, {}, &image);
        switch (fault.signing) {
        case Signing::Unsigned:
            out = image;
            break;
        case Signing::OtherKey:
            out = UpdateSignature::signImage(image, other);
            break;
        case Signing::BadSignature:
        case Signing::ChangedEntry:
        case Signing::Bomb:
        case Signing::AsStored:
            out = UpdateSignature::signImage(image, secret);
            // A byte of the signature, or of the image after its header.
            {
                const int at = fault.signing == Signing::BadSignature ? out.size() - 10 : 20;
                out[at] = char(out.at(at) ^ 0x5a);
            }
            break;
        }
    } else {
        // Archives are rebuilt through a scratch file of the cache's own.
        QTemporaryDir scratch;
        QList<ZipArchive::Item> items;
        QString error;
        ZipArchive::readAll(path, UpdateUnpacker::maxTotalBytes, &items, &error);
        using Item = ZipArchive::Item;
        switch (fault.signing) {
        case Signing::Unsigned:
            items = UpdateSignature::signArchive(items, secret);
            items.removeLast();
            items.removeLast();
            break;
        case Signing::OtherKey:
            items = UpdateSignature::signArchive(items, other);
            break;
        case Signing::BadSignature:
            items = UpdateSignature::signArchive(items, secret);
            items.last().data = UpdateSignature::signatureText("another text", secret);
            break;
        case Signing::ChangedEntry:
            items = UpdateSignature::signArchive(items, secret);
            items.first().data += "# changed after signing\n";
            break;
        case Signing::Bomb:
            items.append({QStringLiteral("payload/zeros"), Item::File, -1, {}, 0644,
                          QByteArray(8 << 20, '\0')});
            items = UpdateSignature::signArchive(items, secret);
            break;
        case Signing::AsStored:
            break;
        }
        const QString rebuilt = scratch.filePath(QStringLiteral("served.zip"));
        if (ZipArchive::write(rebuilt, items, &error))
            out = readFile(rebuilt);
    }
    servedCache.insert(key, out);
    return out;
}

UpdateServer::UpdateServer(const QString &root, QObject *parent) : QObject(parent), rootDir(root)
{
}

UpdateServer::~UpdateServer()
{
    stopFtp();
}

bool UpdateServer::listen(quint16 p)
{
    server = new QTcpServer(this);
    connect(server, &QTcpServer::newConnection, this, &UpdateServer::accept);
    return server->listen(QHostAddress::LocalHost, p);
}

quint16 UpdateServer::port() const
{
    return server ? server->serverPort() : 0;
}

void UpdateServer::accept()
{
    while (QTcpSocket *socket = server->nextPendingConnection()) {
        sessions.insert(socket, Session());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { receive(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            sessions.remove(socket);
            socket->deleteLater();
        });
    }
}

void UpdateServer::receive(QTcpSocket *socket)
{
    auto found = sessions.find(socket);
    if (found == sessions.end())
        return;
    found->input += socket->readAll();
    // Replies to parts come as "WRFILE=0,id,n" or "WRFILE=1", requests as one JSON object.
    // Sending may close the connection and end the session: it is looked up again each time.
    for (auto it = found; it != sessions.end() && !it->input.isEmpty();
         it = sessions.find(socket)) {
        Session &s = it.value();
        if (s.input.startsWith("WRFILE=")) {
            int end = s.input.indexOf("WRFILE=", 7);
            if (end < 0)
                end = s.input.size();
            const QByteArray reply = s.input.left(end);
            s.input.remove(0, end);
            replyLog.append(reply);
            emit trace(QStringLiteral("< ") + QString::fromLatin1(reply));
            const bool refused = reply.startsWith("WRFILE=1");
            if (!refused || !fault.resend)
                ++s.next;
            sendPart(socket, s);
            continue;
        }
        const QJsonDocument json = QJsonDocument::fromJson(s.input);
        if (!json.isObject())
            return; // not whole yet
        const QByteArray text = s.input;
        s.input.clear();
        request(socket, s, text);
    }
}

void UpdateServer::request(QTcpSocket *socket, Session &s, const QByteArray &text)
{
    requestLog.append(text);
    emit trace(QStringLiteral("< ") + QString::fromUtf8(text));
    if (fault.stallAnswers)
        return;
    const QJsonObject req = QJsonDocument::fromJson(text).object();
    const QJsonObject params = req.value(QStringLiteral("params")).toObject();
    const QString type = req.value(QStringLiteral("type")).toString();
    if (type == QLatin1String("update") && params.contains(QStringLiteral("fw"))) {
        QString version;
        const QByteArray image =
            newestFirmware(params.value(QStringLiteral("dev")).toString(), &version);
        if (!image.isEmpty() &&
            naturalCompare(version, params.value(QStringLiteral("fw")).toString()) > 0)
            startSending(socket, s, image);
        else
            send(socket, R"({"type":"update","params":{"fw":"up to date"}})");
        return;
    }
    QString version;
    const QString archive = newestArchive(&version);
    if (type == QLatin1String("update")) {
        if (archive.isEmpty() ||
            naturalCompare(version, params.value(QStringLiteral("sw")).toString()) <= 0) {
            send(socket, R"({"type":"update","params":{"sw":"up to date"}})");
            return;
        }
        QJsonObject answer{{QStringLiteral("sw"), version},
                           {QStringLiteral("size"),
                            served(archive).size() + fault.sizeDelta},
                           {QStringLiteral("fileName"), QFileInfo(archive).fileName()}};
        send(socket, QJsonDocument(QJsonObject{{QStringLiteral("type"), QStringLiteral("update")},
                                               {QStringLiteral("params"), answer}})
                         .toJson(QJsonDocument::Compact));
    } else if (type == QLatin1String("download") && !archive.isEmpty()) {
        startSending(socket, s, served(archive));
    } else {
        socket->close();
    }
}

void UpdateServer::startSending(QTcpSocket *socket, Session &s, const QByteArray &data)
{
    s.data = data;
    s.parts = int((data.size() + partSize - 1) / partSize);
    s.next = 0;
    s.sent = 0;
    s.corrupted = false;
    sendPart(socket, s);
}

QByteArray UpdateServer::partText(Session &s, int index)
{
    const QByteArray chunk = s.data.mid(index * partSize, partSize);
    QByteArray base64 = chunk.toBase64();
    if (index == fault.corruptPart && !s.corrupted) {
        s.corrupted = true;
        base64.chop(4);
    }
    ++s.sent;
    return "WRFILE " + QByteArray::number(s.parts) + "," + QByteArray::number(index) + "," +
           QByteArray::number(chunk.size()) + ";" + base64;
}

void UpdateServer::sendPart(QTcpSocket *socket, Session &s)
{
    if (s.data.isEmpty())
        return;
    if (fault.closeAfterParts >= 0 && s.sent >= fault.closeAfterParts) {
        socket->disconnectFromHost();
        return;
    }
    if (fault.stallAfterParts >= 0 && s.sent >= fault.stallAfterParts)
        return;
    if (s.next >= s.parts) {
        s.data.clear();
        send(socket, "complite");
        return;
    }
    if (fault.coalesceEnd && s.next == s.parts - 1) {
        const QByteArray last = partText(s, s.next);
        s.next = s.parts;
        s.data.clear();
        send(socket, last + "complite");
        return;
    }
    send(socket, partText(s, s.next));
}

void UpdateServer::send(QTcpSocket *socket, const QByteArray &message)
{
    emit trace(QStringLiteral("> ") + QString::fromLatin1(message.left(60)));
    if (!fault.splitMessages || message.size() < 2) {
        socket->write(message);
        return;
    }
    const int half = message.size() / 2;
    socket->write(message.left(half));
    socket->flush();
    QPointer<QTcpSocket> guard(socket);
    QTimer::singleShot(30, this, [guard, rest = message.mid(half)] {
        if (guard)
            guard->write(rest);
    });
}

QByteArray UpdateServer::newestFirmware(const QString &model, QString *version) const
{
    const int id = modelId(model);
    QByteArray best;
    const QDir dir(rootDir + QStringLiteral("/firmware"));
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
        const QByteArray image = served(dir.filePath(name));
        const FirmwareStore::Header h = FirmwareStore::parseHeader(image);
        if (h.valid && h.deviceId == id && (best.isEmpty() || naturalLess(*version, h.version))) {
            best = image;
            *version = h.version;
        }
    }
    return best;
}

QString UpdateServer::newestArchive(QString *version) const
{
    QString best;
    const QDir dir(rootDir + QStringLiteral("/configurator"));
    const QRegularExpression number(QStringLiteral("(\\d+\\.\\d+\\.\\d+)"));
    for (const QString &name : dir.entryList({QStringLiteral("*.zip")}, QDir::Files, QDir::Name)) {
        const QString v = number.match(name).captured(1);
        if (!v.isEmpty() && (best.isEmpty() || naturalLess(*version, v))) {
            best = dir.filePath(name);
            *version = v;
        }
    }
    return best;
}

bool UpdateServer::startFtp(quint16 ftpPort, QString *error)
{
    stopFtp();
    ftpDir = std::make_unique<QTemporaryDir>();
    const QDir dir(rootDir + QStringLiteral("/configurator"));
    for (const QString &name : dir.entryList({QStringLiteral("*.zip")}, QDir::Files)) {
        const QByteArray data = served(dir.filePath(name));
        QFile out(ftpFile(name));
        if (!out.open(QIODevice::WriteOnly))
            continue;
        out.write(QCryptographicHash::hash(data, QCryptographicHash::Md5)); // 16 bytes
        out.write(data);
    }
    ftpProcess.setStandardOutputFile(QProcess::nullDevice());
    ftpProcess.setStandardErrorFile(QProcess::nullDevice());
    ftpProcess.start(pythonWithFtp(),
                     {QStringLiteral("-m"), QStringLiteral("pyftpdlib"), QStringLiteral("-i"),
                      QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(ftpPort),
                      QStringLiteral("-u"), QStringLiteral("kvtrm"), QStringLiteral("-P"),
                      QStringLiteral("kvtrm"), QStringLiteral("-d"), ftpDir->path()});
    if (!ftpProcess.waitForStarted(5000)) {
        if (error)
            *error = QStringLiteral("cannot start the FTP server: ") + ftpProcess.errorString();
        return false;
    }
    // Ready once it accepts connections.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 10000 && ftpProcess.state() == QProcess::Running) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, ftpPort);
        if (probe.waitForConnected(200))
            return true;
        QThread::msleep(100);
    }
    if (error)
        *error = QStringLiteral("the FTP server did not start (is python3-pyftpdlib installed?)");
    stopFtp();
    return false;
}

void UpdateServer::stopFtp()
{
    if (ftpProcess.state() != QProcess::NotRunning) {
        ftpProcess.terminate();
        if (!ftpProcess.waitForFinished(3000))
            ftpProcess.kill();
        ftpProcess.waitForFinished(1000);
    }
}

QString UpdateServer::ftpFile(const QString &name) const
{
    return ftpDir ? ftpDir->path() + QLatin1Char('/') + name : QString();
}
