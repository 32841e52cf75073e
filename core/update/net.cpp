#include "net.h"

#include "appinfo.h"
#include "apppaths.h"
#include "appsettings.h"
#include "dropquietly.h"
#include "firmwarestore.h"
#include "ftpdownload.h"
#include "updatesignature.h"

#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTcpSocket>
#include <QTime>

#include <algorithm>
#include <climits>

namespace {

const char *const ftpAccount = "kvtrm";

// A JSON string literal, quotes included: the values come from the store and the database, and
// must not be able to break the request.
QByteArray jsonString(const QString &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

QByteArray softwareRequest(const char *type, const char *paramsSeparator, const QString &sw,
                           const QString &stamp)
{
    // The server matches these texts as they are, blanks included.
    return QByteArray("{\"type\": \"") + type + "\",\"origin\": \"configurator\"," +
           paramsSeparator + "\"params\": {\"sw\": " + jsonString(sw) +
           ",\"imei\": " + jsonString(stamp) +
           ", \"sn\": \"conf\",\"attribute\":\"conf_vexa7xx\"}}";
}

bool isBase64Char(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c == '+' || c == '/' || c == '=';
}

// Where a JSON object starting at from ends (one past its closing brace), -1 when incomplete.
int objectEnd(const QByteArray &text, int from)
{
    int depth = 0;
    bool inString = false;
    for (int i = from; i < text.size(); ++i) {
        const char c = text.at(i);
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{') {
            ++depth;
        } else if (c == '}' && --depth == 0) {
            return i + 1;
        }
    }
    return -1;
}

// Makes a folder usable for a download: created when missing, its files writable when present
// (an earlier installation may have left them read-only).
bool prepareFolder(const QString &path)
{
    if (!QDir().mkpath(path))
        return false;
    QDirIterator it(path, QDir::Files | QDir::Hidden | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        QFile::setPermissions(file, QFile::permissions(file) | QFile::WriteOwner |
                                        QFile::WriteUser);
    }
    return true;
}

// Progress figures are ints; an archive is far smaller than 2 GiB.
int progressValue(qint64 bytes)
{
    return int(std::clamp<qint64>(bytes, 0, INT_MAX));
}

} // namespace

Net::Net(QObject *parent) : QObject(parent)
{
    qDebug() << "\n----------------Updater Started----------------"
             << "/C:14";
    archive = AppPaths::filePath(QStringLiteral("updates/update.zip"));

    answerTimer.setSingleShot(true);
    connect(&answerTimer, &QTimer::timeout, this, &Net::answerTimedOut);
    timeCounter.setInterval(tickMs);
    connect(&timeCounter, &QTimer::timeout, this, [this] { elapsedMs += tickMs; });
    settleTimer.setSingleShot(true);
    connect(&settleTimer, &QTimer::timeout, this, [this] { processPending(true); });
    probeTimer.setSingleShot(true);
    connect(&probeTimer, &QTimer::timeout, this, [this] { ftpProbed(false); });
}

Net::~Net()
{
    // Quietly: no signal may reach a window that is being destroyed.
    dropQuietly(socket, this);
    dropQuietly(probe, this);
    dropQuietly(ftp, this);
}

QByteArray Net::firmwareCheckRequest(const QString &fwVersion, const QString &stamp,
                                     const QString &model)
{
    return "{\"type\": \"update\",\"origin\": \"configurator\",\"params\": {\"fw\": " +
           jsonString(fwVersion) + ",\"imei\": " + jsonString(stamp) +
           ",\"dev\": " + jsonString(model) + "}}";
}

QByteArray Net::softwareCheckRequest(const QString &swVersion, const QString &stamp)
{
    return softwareRequest("update", "", swVersion, stamp);
}

QByteArray Net::softwareDownloadRequest(const QString &swVersion, const QString &stamp)
{
    return softwareRequest("download", " ", swVersion, stamp);
}

QString Net::stamp(const QTime &time)
{
    return time.toString(QStringLiteral("hhmmsszzz"));
}

Net::TransferStats Net::transferStats(qint64 bytes, qint64 elapsedMs)
{
    // The clock counts in ticks: a transfer quicker than one tick took at most that long.
    const qint64 ms = qMax<qint64>(elapsedMs, tickMs);
    TransferStats stats;
    stats.seconds = QString::number(double(elapsedMs) / 1000.0);
    stats.kbPerSecond = qRound64(double(bytes) * 1000.0 / double(ms) / 1024.0);
    return stats;
}

void Net::setTimeouts(int answer, int ftpProbe, int ftpStall)
{
    answerMs = answer;
    ftpProbeMs = ftpProbe;
    ftpStallMs = ftpStall;
}

void Net::setFtpPort(quint16 p)
{
    ftpPort = p;
}

void Net::setArchivePath(const QString &path)
{
    archive = path;
}

void Net::checkUpdates(QString version, QString model, bool flag)
{
    curVer = version;
    devID = model;
    mode = flag ? Mode::FirmwareCheck : Mode::SoftwareCheck;
    connectToServer();
}

void Net::reqestDownloadSw(QString swVer, qlonglong swFSize, QString fileName)
{
    emit setMaxProgress(progressValue(swFSize));
    mode = Mode::SoftwareDownload;
    curVer = swVer;
    swFileName = fileName;
    swFileSize = swFSize;
    connectToServer();
}

void Net::connectToServer()
{
    ++exchange;
    dropQuietly(socket, this); // what is left of an earlier exchange
    bytesReceived = 0;
    errorsCount = 0;
    elapsedMs = 0;
    pending.clear();
    receiveBuffer.clear();
    refusedParts.clear();
    partsArrived = false;
    wasConnected = false;
    failure.clear();
    refused = UpdateSignature::Refusal::None;
    settleTimer.stop();
    // The address as the settings hold it now: one changed in the settings form counts for the
    // next check, not only after a restart.
    const AppSettings::ServerAddress address = AppSettings::updateServer();
    host = address.host;
    port = address.port;

    qDebug().noquote() << QStringLiteral("UPDATER: Connecting to server %1:%2...").arg(host).arg(port);
    socket = new QTcpSocket(this);
    connect(socket, &QTcpSocket::connected, this, &Net::connected);
    connect(socket, &QTcpSocket::readyRead, this, &Net::received);
    connect(socket, &QTcpSocket::disconnected, this, &Net::disconnectedByServer);
    connect(socket, &QAbstractSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError e) { socketError(int(e)); });
    // The answer timer also bounds the connection attempt: an address that swallows the
    // packets would otherwise hold the check for minutes.
    answerTimer.start(answerMs);
    socket->connectToHost(host, port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
}

void Net::connected()
{
    wasConnected = true;
    answerTimer.stop();
    qDebug().noquote() << QStringLiteral("UPDATER:Connect to server %1:%2 OK").arg(host).arg(port)
                       << "/C:2";
    switch (mode) {
    case Mode::FirmwareCheck:
        qDebug() << "UPDATER: Check Firmware version";
        timeCounter.start();
        qDebug().noquote() << "UPDATER: TCP socket open OK. Check new firmware for " + devID +
                                  "...";
        sendRequest(firmwareCheckRequest(curVer, stamp(QTime::currentTime()), devID),
                    "firmware check");
        break;
    case Mode::SoftwareDownload:
        qDebug() << "UPDATER: Start downloading software";
        probeFtp();
        break;
    case Mode::SoftwareCheck:
        qDebug() << "UPDATER: Check Software version";
        timeCounter.start();
        qDebug() << "UPDATER: TCP socket open OK. Check new software";
        sendRequest(softwareCheckRequest(AppInfo::version(), stamp(QTime::currentTime())),
                    "configurator check");
        break;
    case Mode::Idle:
        break;
    }
}

void Net::sendRequest(const QByteArray &request, const char *what)
{
    answerTimer.start(answerMs);
    if (socket->write(request) != request.size())
        finish(2, Outcome::None, QStringLiteral("UPDATER: Error open TCP socket. (%1)").arg(what));
}

void Net::received()
{
    pending += socket->readAll();
    processPending(false);
}

void Net::processPending(bool flush)
{
    const quint64 current = exchange;
    while (mode != Mode::Idle && exchange == current) {
        const QByteArray message = takeMessage(flush);
        if (message.isNull())
            break;
        handleMessage(message);
    }
    if (exchange != current)
        return;
    if (mode != Mode::Idle && !pending.isEmpty())
        settleTimer.start(settleMs);
    else
        settleTimer.stop();
}

QByteArray Net::takeMessage(bool flush)
{
    // Zero bytes and line ends between messages carry nothing.
    int start = 0;
    while (start < pending.size() && (pending.at(start) == '\0' || QChar(pending.at(start)).isSpace()))
        ++start;
    pending.remove(0, start);
    if (pending.isEmpty())
        return QByteArray();

    int end = -1;
    if (pending.startsWith("WRFILE ")) {
        // "WRFILE a,b,n;" and the Base64 text of n bytes; a part whose text is shorter is
        // known to be whole when something else follows it, or when nothing more comes.
        const int semicolon = pending.indexOf(';');
        if (semicolon >= 0) {
            const QList<QByteArray> fields = pending.mid(7, semicolon - 7).split(',');
            bool ok = false;
            const qint64 n = fields.size() == 3 ? fields.at(2).trimmed().toLongLong(&ok) : 0;
            const qint64 expected = ok && n > 0 ? (n + 2) / 3 * 4 : -1;
            int run = 0;
            while (semicolon + 1 + run < pending.size() && isBase64Char(pending.at(semicolon + 1 + run)))
                ++run;
            if (expected > 0 && run >= expected)
                end = semicolon + 1 + int(expected);
            else if (semicolon + 1 + run < pending.size())
                end = semicolon + 1 + run;
        }
    } else if (pending.startsWith('{')) {
        end = objectEnd(pending, 0);
    } else {
        // Plain text ("complite") runs up to the next part or object.
        int next = -1;
        for (const char *marker : {"WRFILE ", "{"}) {
            const int at = pending.indexOf(marker);
            if (at > 0 && (next < 0 || at < next))
                next = at;
        }
        if (next > 0)
            end = next;
        else if (pending.contains("complite"))
            end = pending.size();
    }
    if (end < 0) {
        if (!flush)
            return QByteArray();
        end = pending.size();
    }
    const QByteArray message = pending.left(end);
    pending.remove(0, end);
    return message;
}

void Net::handleMessage(const QByteArray &message)
{
    const int zero = message.indexOf('\0');
    const QByteArray text = zero >= 0 ? message.left(zero) : message;
    if (text.startsWith("WRFILE ")) {
        handlePart(text);
        return;
    }
    if (text.contains("complite")) {
        downloadComplete();
    } else if (text.contains("\"fw\":\"up to date\"")) {
        qDebug() << "UPDATER: FW Is UpToDate.";
        finish(0, Outcome::FwUpToDate);
    } else if (text.contains("\"sw\":\"up to date\"")) {
        qDebug() << "UPDATER: SW Is UpToDate.";
        finish(0, Outcome::SwUpToDate);
    } else if (QString::fromUtf8(text).contains(
                   QRegularExpression(QStringLiteral("(\"sw\":\"\\d+\\.\\d+\\.\\d+\")")))) {
        const QString answer = QString::fromUtf8(text);
        swFileSize = 0;
        const QRegularExpressionMatch sizeMatch =
            QRegularExpression(QStringLiteral("(\"size\":\\d+)")).match(answer);
        if (sizeMatch.hasMatch())
            swFileSize = sizeMatch.captured(1).mid(7).toLongLong();
        const QJsonDocument json = QJsonDocument::fromJson(text);
        swFileName = json.isObject()
                         ? json.object().value(QStringLiteral("params")).toObject()
                               .value(QStringLiteral("fileName")).toString()
                         : QString();
        curVer = QRegularExpression(QStringLiteral("(\\d+\\.\\d+\\.\\d+)")).match(answer).captured(1);
        qDebug().noquote() << "UPDATER: SW ver on server: " + curVer
                           << "Size: " + QString::number(swFileSize);
        finish(0, Outcome::SwAvailable);
    } else if (text.contains("WRFILE")) {
        handlePart(text.mid(text.indexOf("WRFILE")));
    } else {
        qDebug().noquote() << "UPDATER: Unknown answer: " + QString::fromUtf8(text.left(80));
    }
}

void Net::handlePart(const QByteArray &part)
{
    answerTimer.start(answerMs);
    partsArrived = true;
    const QByteArray body = part.mid(part.indexOf("WRFILE ") + 7);
    const int semicolon = body.indexOf(';');
    const QList<QByteArray> fields = body.left(semicolon).split(',');
    const QByteArray id = fields.value(1).trimmed();
    bool sizeOk = false;
    const qint64 size = fields.size() == 3 ? fields.at(2).trimmed().toLongLong(&sizeOk) : -1;
    const QByteArray::FromBase64Result decoded = QByteArray::fromBase64Encoding(
        semicolon >= 0 ? body.mid(semicolon + 1).trimmed() : QByteArray(),
        QByteArray::AbortOnBase64DecodingErrors);
    if (semicolon < 0 || !sizeOk || size <= 0 || !decoded || decoded.decoded.size() != size) {
        socket->write("WRFILE=1");
        qDebug() << "UPDATER: Error receive part"
                 << "/C:12";
        ++errorsCount;
        refusedParts.insert(id); // until the server sends it again
        return;
    }
    // Never more than the announced archive, or than any firmware can be.
    const qint64 limit = mode == Mode::SoftwareDownload ? swFileSize : firmwareSizeLimit;
    if (bytesReceived + size > limit) {
        finish(2, Outcome::None,
               QStringLiteral("UPDATER: The server sends more than %1 bytes. Download stopped.")
                   .arg(limit));
        return;
    }
    bytesReceived += size;
    if (mode == Mode::SoftwareDownload)
        emit updateProgress(progressValue(bytesReceived));
    receiveBuffer.append(decoded.decoded);
    refusedParts.remove(id);
    socket->write("WRFILE=0," + id + "," + fields.at(2).trimmed());
}

void Net::downloadComplete()
{
    timeCounter.stop();
    const TransferStats stats = transferStats(bytesReceived, elapsedMs);
    qDebug() << "UPDATER: Recive done!";
    qDebug().noquote() << "UPDATER: \n**************************\nTransfer time:" << stats.seconds
                       << "sec";
    qDebug() << "UPDATER: Speed: " << stats.kbPerSecond << "KB/Sec";
    qDebug() << "UPDATER: Errors count: " << errorsCount << "\n**************************\n";
    const qint64 received = bytesReceived;
    bytesReceived = 0;
    errorsCount = 0;
    elapsedMs = 0;

    // A download with a hole in it, or of another size than announced, is not an update.
    if (receiveBuffer.isEmpty()) {
        finish(2, Outcome::None, QStringLiteral("UPDATER: End of a download without any part"));
        return;
    }
    if (!refusedParts.isEmpty()) {
        finish(2, Outcome::None,
               QStringLiteral("UPDATER: Download incomplete: %1 part(s) refused and not sent "
                              "again. Nothing saved.")
                   .arg(refusedParts.size()));
        return;
    }
    if (mode == Mode::SoftwareDownload && received != swFileSize) {
        finish(2, Outcome::None,
               QStringLiteral("UPDATER: Download incomplete: %1 bytes received, %2 announced. "
                              "Nothing saved.")
                   .arg(received)
                   .arg(swFileSize));
        return;
    }
    const QByteArray data = receiveBuffer;
    receiveBuffer.clear();
    if (mode == Mode::FirmwareCheck) {
        // Only a signed image goes into the store where a key is trusted; the store keeps the
        // image itself, without its signature.
        QByteArray image;
        const QList<QByteArray> keys = UpdateSignature::trustedKeys();
        const UpdateSignature::Verdict verdict = UpdateSignature::checkImage(data, keys, &image);
        UpdateSignature::Refusal refusal;
        const UpdateSignature::Decision decision = UpdateSignature::decide(
            verdict, !keys.isEmpty(), UpdateSignature::signatureRequired(), &refusal);
        if (decision == UpdateSignature::Decision::Refuse) {
            refused = refusal;
            finish(2, Outcome::None, QStringLiteral("UPDATER: Firmware refused, %1. Nothing saved.")
                                         .arg(UpdateSignature::refusalText(refusal)));
            return;
        }
        const QString path = FirmwareStore::folder() + QLatin1Char('/') +
                             FirmwareStore::downloadName(FirmwareStore::parseHeader(image));
        if (!saveFile(path, image))
            return; // told by saveFile
        if (FirmwareStore::markUnsigned(path, decision == UpdateSignature::Decision::Ask))
            finish(0, Outcome::FwDownloaded);
        else
            finish(2, Outcome::None,
                   QStringLiteral("UPDATER: Cannot mark %1 as not signed").arg(path));
    } else if (mode == Mode::SoftwareDownload) {
        if (prepareFolder(QFileInfo(archive).absolutePath()) && saveFile(archive, data))
            finish(0, Outcome::SwDownloaded);
        else if (failure.isEmpty())
            finish(2, Outcome::None, QStringLiteral("UPDATER: Cannot create the folder of ") + archive);
    } else {
        finish(2, Outcome::None, QStringLiteral("UPDATER: A download nobody asked for. Nothing saved."));
    }
}

bool Net::saveFile(const QString &path, const QByteArray &data)
{
    // Written beside its final name and renamed once whole: a full disk or a crash leaves the
    // previous file as it was.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit()) {
        qDebug().noquote() << "UPDATER: Saved " + path;
        return true;
    }
    finish(2, Outcome::None,
           QStringLiteral("UPDATER: Cannot save %1: %2").arg(path, file.errorString()));
    return false;
}

void Net::probeFtp()
{
    probe = new QTcpSocket(this);
    connect(probe, &QTcpSocket::connected, this, [this] { ftpProbed(true); });
    connect(probe, &QAbstractSocket::errorOccurred, this,
            [this] { ftpProbed(false); });
    probeTimer.start(ftpProbeMs);
    probe->connectToHost(host, ftpPort);
}

void Net::ftpProbed(bool ok)
{
    probeTimer.stop();
    dropQuietly(probe, this);
    if (mode != Mode::SoftwareDownload)
        return;
    if (ok) {
        qDebug() << "UPDATER: FTP server state OK!";
        emit setMaxProgress(progressValue(swFileSize));
        downloadByFtp();
    } else {
        qDebug() << "UPDATER: FTP server not answer. Classic download...";
        downloadByTcp();
    }
}

void Net::downloadByFtp()
{
    qDebug() << "UPDATER: Start download file from FTP...";
    prepareFolder(QFileInfo(archive).absolutePath());
    ftp = new FtpDownload(this);
    connect(ftp, &FtpDownload::progress, this, [this](qint64 done) {
        // The server's own block before the archive is not part of it.
        emit updateProgress(progressValue(done - ftpHeaderBytes));
    });
    connect(ftp, &FtpDownload::finished, this, &Net::ftpFinished);
    ftp->start(host, ftpPort, QLatin1String(ftpAccount), QLatin1String(ftpAccount),
               QLatin1Char('/') + swFileName, ftpStallMs, swFileSize + ftpHeaderBytes);
}

void Net::ftpFinished()
{
    FtpDownload *reply = ftp;
    ftp.clear();
    reply->deleteLater();
    if (mode != Mode::SoftwareDownload)
        return;
    bool saved = false;
    if (!reply->ok()) {
        qDebug().noquote() << "UPDATER: Reply error: " + reply->errorString();
    } else {
        const QByteArray data = reply->data();
        if (data.size() - ftpHeaderBytes != swFileSize)
            qDebug().noquote() << QStringLiteral("UPDATER: FTP file holds %1 bytes, %2 announced")
                                      .arg(qMax(0, data.size() - ftpHeaderBytes))
                                      .arg(swFileSize);
        else
            saved = saveFile(archive, data.mid(ftpHeaderBytes));
    }
    if (!saved) {
        if (mode != Mode::SoftwareDownload) // saving failed: the exchange has ended
            return;
        qDebug() << "UPDATER: Download update from FTP server error. Classic download...";
        downloadByTcp();
        return;
    }
    qDebug() << "UPDATER: File downloaded OK!";
    finish(0, Outcome::SwDownloaded);
}

void Net::downloadByTcp()
{
    if (!socket || socket->state() != QAbstractSocket::ConnectedState) {
        finish(2, Outcome::None, QStringLiteral("UPDATER: Connection lost before the download"));
        return;
    }
    timeCounter.start();
    qDebug() << "UPDATER: TCP socket open OK. Download new software";
    sendRequest(softwareDownloadRequest(AppInfo::version(), stamp(QTime::currentTime())),
                "download");
}

void Net::answerTimedOut()
{
    // No connection within the time: the server is out of reach rather than failing.
    finish(wasConnected ? 2 : 1, Outcome::None,
           QStringLiteral("UPDATER: Timed out response. Disconnect from server."));
}

void Net::socketError(int error)
{
    switch (QAbstractSocket::SocketError(error)) {
    case QAbstractSocket::RemoteHostClosedError:
        qDebug() << "UPDATER: Remote Host Closed"; // the disconnection follows
        return;
    case QAbstractSocket::ConnectionRefusedError:
        qDebug() << "UPDATER: Connection Refused";
        finish(1, Outcome::None, QStringLiteral("UPDATER: Server not available or dead."));
        return;
    case QAbstractSocket::HostNotFoundError:
        finish(1, Outcome::None, QStringLiteral("UPDATER: Host Not Found"));
        return;
    case QAbstractSocket::SocketTimeoutError:
        finish(wasConnected ? 2 : 1, Outcome::None, QStringLiteral("UPDATER: Socket Timeout"));
        return;
    default:
        finish(wasConnected ? 2 : 1, Outcome::None,
               QStringLiteral("UPDATER: Other soket error. ") + socket->errorString());
        return;
    }
}

void Net::disconnectedByServer()
{
    // What arrived just before the close still counts.
    if (!pending.isEmpty())
        processPending(true);
    if (mode == Mode::Idle)
        return;
    // A check without its answer, or a download cut short, is a failed exchange.
    finish(2, Outcome::None,
           partsArrived ? QStringLiteral("UPDATER: Connection closed during the download. Nothing saved.")
                        : QStringLiteral("UPDATER: Connection closed without an answer"));
}

void Net::finish(int code, Outcome outcome, const QString &why)
{
    if (mode == Mode::Idle)
        return;
    mode = Mode::Idle;
    answerTimer.stop();
    timeCounter.stop();
    settleTimer.stop();
    probeTimer.stop();
    dropQuietly(ftp, this);
    dropQuietly(probe, this);
    if (!why.isEmpty()) {
        failure = why;
        qDebug().noquote() << why << "/C:12";
    }
    receiveBuffer.clear();
    pending.clear();
    dropQuietly(socket, this);
    qDebug() << "UPDATER: Connection closed"
             << "/C:16";
    // "Up to date" for the configurator is known before the exchange's end, so the end can
    // tell the user that everything is current.
    if (outcome == Outcome::SwUpToDate)
        emit swIsUpToDate();
    emit updaterFinished(code);
    switch (outcome) {
    case Outcome::None:
    case Outcome::SwUpToDate:
        break;
    case Outcome::FwUpToDate:
        emit fwIsUpToDate();
        break;
    case Outcome::FwDownloaded:
        emit fwDownloaded();
        break;
    case Outcome::SwAvailable:
        emit availableSw(curVer, swFileSize, swFileName);
        break;
    case Outcome::SwDownloaded:
        emit swDownloaded();
        break;
    }
}
