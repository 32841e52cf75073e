#include "ntpclient.h"

#include <QSignalSpy>
#include <QTimeZone>
#include <QUdpSocket>
#include <QtTest>

namespace {
// Datagrams on loopback arrive at once; a loaded machine may take this long.
constexpr int deliveryMs = 2000;
// How long a test watches for a reply that must not be accepted.
constexpr int nothingFollowsMs = 300;

QByteArray be64(quint32 seconds, quint32 fraction)
{
    QByteArray b;
    for (quint32 v : {seconds, fraction})
        b.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
    return b;
}

// The time server: receives the client's request and builds replies to it.
struct Server
{
    QUdpSocket socket;
    QByteArray request = QByteArray(48, '\0');
    QHostAddress client;
    quint16 clientPort = 0;

    bool bind() { return socket.bind(QHostAddress(QHostAddress::LocalHost), quint16(0)); }
    bool receive()
    {
        return socket.waitForReadyRead(deliveryMs) &&
               socket.readDatagram(request.data(), 48, &client, &clientPort) == 48;
    }
    // A valid server reply: mode 4, stratum 2, our transmit time echoed as originate.
    QByteArray goodReply() const
    {
        QByteArray reply(48, '\0');
        reply[0] = 0x24;
        reply[1] = 2;
        reply.replace(24, 8, request.mid(40, 8));
        reply.replace(32, 8, be64(0xE1000000, 0x80000000));
        reply.replace(40, 8, be64(0xE1000000, 0x90000000));
        return reply;
    }
    void send(const QByteArray &reply) { socket.writeDatagram(reply, client, clientPort); }
};

// A client whose request the server has received, and a spy on the replies it accepts.
struct Exchange
{
    Server server;
    NtpClient client;
    QSignalSpy accepted{&client, &NtpClient::replyReceived};
    bool start()
    {
        return server.bind() &&
               client.sendRequest(QHostAddress::LocalHost, server.socket.localPort()) &&
               server.receive();
    }
};
} // namespace

// The SNTP client against a time server played by the test on loopback.
class tst_NtpClient : public QObject
{
    Q_OBJECT
private slots:
    void timestampVectors();
    void replies_data();
    void replies();
    void onlyOneReplyPerRequest();
    void otherSenderIgnored();
};

void tst_NtpClient::timestampVectors()
{
    const QByteArray request = NtpClient::buildRequest(0);
    QCOMPARE(request.size(), 48);
    QCOMPARE(quint8(request.at(0)), quint8(0x23));
    QCOMPARE(request.mid(40, 8), be64(0x83AA7E80, 0));
    QByteArray reply(68, '\0');
    reply.replace(32, 8, be64(0xE1000000, 0x80000000));
    const NtpReply r{reply, QDateTime()};
    QCOMPARE(r.serverReceiveTime(), QDateTime(QDate(2019, 8, 15), QTime(16, 0, 0, 500), QTimeZone::utc()));
    QCOMPARE(r.serverReceiveTime().toMSecsSinceEpoch(), 1565884800500LL);
}

void tst_NtpClient::replies_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("firstByte");
    QTest::addColumn<int>("stratum");
    QTest::addColumn<bool>("echoOriginate");
    QTest::addColumn<bool>("transmitSet");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("good 48 bytes") << 48 << 0x24 << 2 << true << true << true;
    QTest::newRow("good 68 bytes") << 68 << 0x24 << 1 << true << true << true;
    QTest::newRow("47 bytes") << 47 << 0x24 << 2 << true << true << false;
    QTest::newRow("wrong originate") << 48 << 0x24 << 2 << false << true << false;
    QTest::newRow("client mode") << 48 << 0x23 << 2 << true << true << false;
    QTest::newRow("unsynchronised") << 48 << 0xE4 << 2 << true << true << false;
    QTest::newRow("kiss of death stratum 0") << 48 << 0x24 << 0 << true << true << false;
    QTest::newRow("stratum 16") << 48 << 0x24 << 16 << true << true << false;
    QTest::newRow("no transmit time") << 48 << 0x24 << 2 << true << false << false;
}

void tst_NtpClient::replies()
{
    QFETCH(int, length);
    QFETCH(int, firstByte);
    QFETCH(int, stratum);
    QFETCH(bool, echoOriginate);
    QFETCH(bool, transmitSet);
    QFETCH(bool, accepted);
    Exchange x;
    QVERIFY(x.start());
    QByteArray reply = x.server.goodReply();
    reply.resize(qMax(length, 48));
    reply[0] = char(firstByte);
    reply[1] = char(stratum);
    if (!echoOriginate)
        reply.replace(24, 8, be64(1, 2));
    if (!transmitSet)
        reply.replace(40, 8, QByteArray(8, '\0'));
    reply.truncate(length);
    x.server.send(reply);
    if (accepted) {
        QVERIFY(x.accepted.wait(deliveryMs));
        QCOMPARE(x.accepted.first().at(2).value<NtpReply>().serverReceiveTime().toMSecsSinceEpoch(),
                 1565884800500LL);
        QCOMPARE(x.accepted.first().at(2).value<NtpReply>().packet.size(), 68);
    } else {
        QVERIFY(!x.accepted.wait(nothingFollowsMs));
    }
}

void tst_NtpClient::onlyOneReplyPerRequest()
{
    Exchange x;
    QVERIFY(x.start());
    x.server.send(x.server.goodReply());
    QVERIFY(x.accepted.wait(deliveryMs));
    x.server.send(x.server.goodReply()); // a late or repeated answer moves nothing
    QVERIFY(!x.accepted.wait(nothingFollowsMs));
    QCOMPARE(x.accepted.count(), 1);
}

void tst_NtpClient::otherSenderIgnored()
{
    QUdpSocket stranger;
    QVERIFY(stranger.bind(QHostAddress(QHostAddress::LocalHost), quint16(0)));
    Exchange x;
    QVERIFY(x.start());
    // Right contents, wrong sender.
    stranger.writeDatagram(x.server.goodReply(), x.server.client, x.server.clientPort);
    QVERIFY(!x.accepted.wait(nothingFollowsMs));
    x.server.send(x.server.goodReply());
    QVERIFY(x.accepted.wait(deliveryMs));
}

QTEST_GUILESS_MAIN(tst_NtpClient)
#include "tst_ntpclient.moc"
