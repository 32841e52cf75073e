#include "appfixture.h"
#include "configexchange.h"
#include "linkstate.h"
#include "logcapture.h"
#include "remoteconnection.h"
#include "remoteserver.h"

#include <QTcpServer>

// Sessions through the remote-configuration server: the handshake, how attempts fail, and a
// whole session against the simulated server.
class tst_Remote : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY((f = std::make_unique<AppFixture>())->isValid());
        SimConfig c;
        c.password = password;
        c.rebootDelayMs = AppFixture::quickRebootMs;
        server = std::make_unique<RemoteServer>(c);
        QVERIFY(server->listen(0));
        link = std::make_unique<DeviceInterface>();
        link->setAppVersion("1.6.0");
        states = std::make_unique<QSignalSpy>(link.get(), &DeviceInterface::changeDeviceStatus);
        maxBuffered = 0;
    }
    void cleanup()
    {
        states.reset();
        link.reset();
        server.reset();
        f.reset();
    }
    void calcMKey_data();
    void calcMKey();
    void handshakeText();
    void failedAttempts_data();
    void failedAttempts();
    void wholeSession();
    void leavingIsAskedOncePerSession();

private:
    static constexpr const char *password = "s3cr3t-pw";
    // A connection on loopback, or its refusal, comes at once; slack for a loaded machine.
    static constexpr int settleMs = AppFixture::loadSlackMs;

    QString imei() const { return server->imeis().first(); }
    void useServer(quint16 port)
    {
        f->writeFile(
            "settings.conf",
            QStringLiteral("[UpdateServer]\nIP=127.0.0.1\nPort=%1\n").arg(port).toLatin1());
    }
    bool waitState(int state, int ms)
    {
        return QTest::qWaitFor(
            [&] {
                maxBuffered = qMax(maxBuffered, link->bufferedBytes());
                return states->contains({state});
            },
            ms);
    }

    std::unique_ptr<AppFixture> f;
    std::unique_ptr<RemoteServer> server;
    std::unique_ptr<DeviceInterface> link;
    std::unique_ptr<QSignalSpy> states;
    int maxBuffered = 0; // what the link held at most while a test waited
};

void tst_Remote::calcMKey_data()
{
    QTest::addColumn<QString>("imei");
    QTest::addColumn<QString>("key");
    // Digests computed apart from this code, with Python's hashlib over the XORed text.
    QTest::newRow("empty") << ""
                           << "d41d8cd98f00b204e9800998ecf8427e";
    QTest::newRow("15 digits") << "356938035643809"
                               << "1bb16c47a73a6366069a847486051d55";
    QTest::newRow("another") << "490154203237518"
                             << "cc608e48f37528ee40d47ebfbe2a13ca";
}

void tst_Remote::calcMKey()
{
    QFETCH(QString, imei);
    QFETCH(QString, key);
    QCOMPARE(RemoteConnection::calcMKey(imei), key);
}

void tst_Remote::handshakeText()
{
    QCOMPARE(RemoteConnection::handshake("356938035643809", "1.6.0"),
             QByteArray("{\n"
                        "    \"imei\": \"356938035643809\",\n"
                        "    \"magickKey\": \"1bb16c47a73a6366069a847486051d55\",\n"
                        "    \"origin\": \"configurator\",\n"
                        "    \"type\": \"config\",\n"
                        "    \"ver\": \"1.6.0\"\n"
                        "}\n"));
    for (const char *bad : {"35693803564380", "3569380356438090", "35693803564380x", ""})
        QVERIFY2(!RemoteConnection::isValidImei(bad), bad);
}

void tst_Remote::failedAttempts_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("state"); // the state that tells the user
    QTest::newRow("no server") << "closed port" << int(LinkState::RemoteServerUnavailable);
    QTest::newRow("only IP set: both defaults")
        << "only IP" << int(LinkState::RemoteServerUnavailable);
    QTest::newRow("unknown IMEI") << "unknown" << int(LinkState::RemoteNotOnServer);
    QTest::newRow("busy") << "busy" << int(LinkState::RemoteBusy);
    QTest::newRow("handshake refused") << "refuse" << int(LinkState::Disconnected);
    QTest::newRow("server closes") << "drop" << int(LinkState::Disconnected);
    QTest::newRow("device stalls") << "stall" << int(LinkState::RemoteServerUnavailable);
    // Floods end the session at once, and memory stays bounded meanwhile.
    QTest::newRow("flood: a line without end") << "line" << int(LinkState::RemoteExchangeError);
    QTest::newRow("flood: random bytes") << "random" << int(LinkState::RemoteExchangeError);
    QTest::newRow("flood: 65535-byte frames") << "frames" << int(LinkState::RemoteExchangeError);
}

void tst_Remote::failedAttempts()
{
    QFETCH(QString, fault);
    QFETCH(int, state);
    LogCapture log;
    quint16 port = server->port();
    if (fault == "closed port") {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        port = probe.serverPort();
    }
    useServer(port);
    if (fault == "only IP")
        f->writeFile("settings.conf", "[UpdateServer]\nIP=127.0.0.1\n");
    server->faults().refuseHandshake = fault == "refuse";
    QString asked = imei();
    if (fault == "unknown")
        asked = "111111111111111";
    DeviceInterface other;
    if (fault == "busy") {
        other.connectToServer(imei(), password);
        QTRY_VERIFY_WITH_TIMEOUT(other.isRemoteMode(), settleMs);
    }
    const QStringList floods{"line", "random", "frames"};
    server->faults().flood = SimConfig::Flood(floods.indexOf(fault) + 1);
    if (fault == "stall")
        link->setAnswerTimeout(AppFixture::shortAnswerTimeoutMs);
    server->device(imei())->faults().silent = fault == "stall";
    link->connectToServer(asked, password);
    states->clear(); // the local link is closed first (state 0)
    if (fault == "only IP") {
        QVERIFY(log.contains("Connecting to remote config server update.vexa7xx.example:12358"));
        QCOMPARE(server->sessionCount(), 0);
        return; // the default host is not ours to wait for
    }
    if (fault == "drop") {
        QTRY_VERIFY_WITH_TIMEOUT(link->isRemoteMode(), settleMs);
        server->dropSessions();
    }
    QVERIFY(waitState(state, (floods.contains(fault) ? RemoteSession::strayWindowMs
                                                     : RemoteConnection::connectTimeoutMs) +
                                 settleMs));
    QTRY_VERIFY_WITH_TIMEOUT(!link->isRemoteMode() && !link->isRemoteConnecting(), settleMs);
    QCOMPARE(link->remoteFlooded(), floods.contains(fault));
    QVERIFY(maxBuffered <= DeviceInterface::maxEchoBytes + DeviceInterface::maxFrameBytes);
    // A missed answer over the server ends the session: the request was not sent again.
    if (fault == "stall") {
        QCOMPARE(server->device(imei())->commandCount(0x8002), 1);
        QVERIFY(log.contains("Remote device not respond."));
    }
    // Nothing keeps the failed session's socket: the server is left with the other one only.
    QTRY_COMPARE_WITH_TIMEOUT(server->sessionCount(), fault == "busy" ? 1 : 0, settleMs);
}

void tst_Remote::wholeSession()
{
    // Identify, read every parameter, poll, reboot (the device comes back through the server),
    // read again, and leave with the goodbye. The password reaches no log on the way.
    LogCapture log;
    QStringList terminal;
    connect(link.get(), &DeviceInterface::printToTerminal,
            [&](const QString &t) { terminal << t; });
    QVERIFY(link->startWriteBinLogFile(f->path("exchange.bin")));
    QStringList serverTrace;
    connect(server.get(), &RemoteServer::trace, [&](const QString &t) { serverTrace << t; });
    useServer(server->port());
    Simulator *dev = server->device(imei());
    ConfigExchange exchange(link.get());
    exchange.setSupportedCodes([dev](const DeviceIdentity &) {
        QList<int> codes;
        for (quint16 c : dev->device().paramCodes())
            codes << c;
        return codes;
    });
    QSignalSpy read(&exchange, &ConfigExchange::parceAnswerComplite);
    link->connectToServer(imei(), password);
    QVERIFY(read.wait(AppFixture::connectWaitMs));
    QDomDocument doc;
    QVERIFY(doc.setContent(read.first().first().value<QBuffer *>()->data()));
    QString difference;
    const int params = AppFixture::compareWithStore(doc, dev->device(), &difference);
    QVERIFY2(params >= 0, qPrintable(difference));
    QCOMPARE(params, dev->device().paramCodes().size());
    QVERIFY(dev->device().loggedIn()); // with the password typed with the IMEI
    QVERIFY(link->serialPort()->portName().isEmpty() && !link->serialPort()->isOpen());

    QSignalSpy status(link.get(), &DeviceInterface::netMainStatus);
    link->getStatus();
    QVERIFY(status.wait(AppFixture::answerWaitMs));

    link->getReboot();
    QVERIFY(waitState(LinkState::Reload, AppFixture::answerWaitMs));
    QTest::qWait(AppFixture::quickRebootMs * 2);
    read.clear();
    link->readConfiguration();
    QVERIFY(read.wait(AppFixture::connectWaitMs));
    QCOMPARE(dev->commandCount(0x8002), 2);

    states->clear();
    link->disconnectRemote();
    QVERIFY(waitState(LinkState::Disconnected, settleMs));
    QVERIFY(!link->isRemoteMode());
    QTRY_VERIFY_WITH_TIMEOUT(serverTrace.join('\n').contains("goodbye from the configurator"),
                             settleMs);

    link->stopWriteBinLogFile();
    QFile bin(f->path("exchange.bin"));
    QVERIFY(bin.open(QIODevice::ReadOnly));
    const QByteArray recorded = bin.readAll();
    QVERIFY(recorded.contains("Hiden or binary command")); // the login, without its text
    QVERIFY(!recorded.contains(password));
    QVERIFY(!terminal.join('\n').contains(password));
    QCOMPARE(log.count(password), 0);
    QVERIFY(log.contains("Hiden or binary command"));
}

void tst_Remote::leavingIsAskedOncePerSession()
{
    // A cable device is plugged in during a remote session: every search of the session comes to
    // the question, which is asked once: not again while it is open, nor after No. A new
    // session asks again, and Yes leaves it for the device on the cable.
    Simulator *local = f->addSim();
    link->setPortEnumerator(&f->enumerator);
    link->setUserPrompts(&f->prompts);
    f->prompts.holdAnswers = true;
    f->prompts.linkAnswers = {UserPrompts::No, UserPrompts::Yes};
    const auto asked = [this] {
        return f->prompts.link.count(UserPrompts::LinkPrompt::LeaveRemoteMode);
    };
    useServer(server->port());
    for (int session = 1; session <= 2; ++session) {
        link->connectToServer(imei(), password);
        QTRY_VERIFY_WITH_TIMEOUT(link->isRemoteMode(), AppFixture::connectWaitMs);
        for (int search = 0; search < 3; ++search)
            link->enumerateDevices();
        QCOMPARE(asked(), session);
        QCOMPARE(f->prompts.release(), 1);
        link->enumerateDevices(); // after No: stays remote, and is not asked again
        QCOMPARE(asked(), session);
    }
    // Yes: the goodbye to the server, then the device on the cable is read.
    QTRY_VERIFY_WITH_TIMEOUT(!link->isRemoteMode(), settleMs);
    QTRY_COMPARE_WITH_TIMEOUT(local->commandCount(Cmd::deviceInfo), 1, AppFixture::connectWaitMs);
    QVERIFY(link->serialPort()->isOpen());
    QCOMPARE(f->prompts.waited, 0); // never a waiting box from the link's slots
}

QTEST_GUILESS_MAIN(tst_Remote)
#include "tst_remote.moc"
