#include "appfixture.h"
#include "frame.h"
#include "logcapture.h"
#include "packparser.h"
#include "ptypair.h"

#include <QTimer>

// The link against a pseudo-terminal: the test plays the device on the master side.
class tst_DeviceInterface : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY((f = std::make_unique<AppFixture>())->isValid());
        QVERIFY((pty = std::make_unique<PtyPair>())->isValid());
        link = AppFixture::openLink(pty->slaveName());
        QVERIFY(link->serialPort()->isOpen());
    }
    void cleanup()
    {
        link.reset();
        pty.reset();
        f.reset();
    }
    void requestFrames_data();
    void requestFrames();
    void answerTimeouts_data();
    void answerTimeouts();
    void terminalHexCommands_data();
    void terminalHexCommands();
    void textCommands();
    void hiddenCommandNeverEchoesPassword();
    void textNeedsReadyDevice();
    void enteringRelay_data();
    void enteringRelay();
    void relayedRequests_data();
    void relayedRequests();
    void leavingRelayEndsOnceAfterTheLocalDevice();
    void fileBlocksAreNotEchoed();
    void binaryLog();
    void deviceTextShownAsEscapedText_data();
    void deviceTextShownAsEscapedText();
    void onlyTheAwaitedAnswerIsTaken_data();
    void onlyTheAwaitedAnswerIsTaken();
    void slowAnswerIsWaitedFor();
    void damagedAnswerIsAskedAgainAtOnce();
    void burstEchoedAfterQuiet();
    void answerBehindFalseStartRecovered();

private:
    // What the link sends reaches the terminal within this.
    static constexpr int sentMs = AppFixture::answerWaitMs;

    static QByteArray frameOf(quint16 cmd, const QByteArray &data, quint8 port = 2)
    {
        return Frame::wrap(port, Frame::payload(cmd, port, data));
    }
    static QByteArray infoAnswer()
    {
        return frameOf(Cmd::deviceInfo, QByteArray::fromHex("010203 02f8") +
                                            QByteArray("VEXA7XX000000001") + QByteArray(8, '\x11'));
    }
    // Sends bytes as the device and counts the frames of them the parser gets; an unsolicited
    // relay report behind them proves that everything before it has been handled.
    int framesTaken(const QByteArray &bytes)
    {
        const quint64 start = link->packParser()->wakeUps();
        QSignalSpy sentinel(link->packParser(), &PackParser::clearFskAnswer);
        if (!pty->write(bytes + frameOf(Cmd::clearFskStatus, {})) ||
            !sentinel.wait(DeviceInterface::defaultAnswerTimeoutMs))
            return -1;
        return int(link->packParser()->wakeUps() - start) - 1;
    }
    // The relay of these tests: its DevEUI and relay time-out as the wrapper carries them.
    static QByteArray wrapped(const QByteArray &inner)
    {
        return Frame::wrap(2, QByteArray::fromHex("8302 70b3d57ed0001234 02") + char(inner.size()) +
                                  QByteArray::fromHex("00003a98") + inner);
    }
    static QByteArray relayed(quint16 cmd, const QByteArray &data)
    {
        const QByteArray inner = Frame::payload(cmd, 2, data);
        return frameOf(Cmd::relayedAnswer,
                       QByteArray::fromHex("70b3d57ed0001234 02") + char(inner.size()) + inner);
    }
    static constexpr int relaySettleMs = 50;
    static constexpr int relayCheckMs = 400;
    std::unique_ptr<AppFixture> f;
    std::unique_ptr<PtyPair> pty;
    std::unique_ptr<DeviceInterface> link;
};

void tst_DeviceInterface::requestFrames_data()
{
    QTest::addColumn<QString>("request");
    QTest::addColumn<QByteArray>("frame");
    const QByteArray zero(1, '\0');
    const QByteArray devId = QByteArray::fromHex("0af8"); // 2808
    const QByteArray filePort = QByteArray::fromHex("02");
    QTest::newRow("device info") << "getFwVer" << QByteArray::fromHex("01 0002 02 8002 069e9784");
    QTest::newRow("device status")
        << "getStatus" << QByteArray::fromHex("01 0003 02 8600 00 330a01a3");
    // One row for each kind of payload: none, the relay flag, the device id, the file type,
    // the file type with the loaded-blocks fields.
    QTest::newRow("reboot") << "getReboot" << frameOf(0x8001, {});
    QTest::newRow("join") << "getNetJoin" << frameOf(0x8601, zero);
    QTest::newRow("battery") << "getBatStatus" << frameOf(0x8700, devId);
    QTest::newRow("file info") << "getFileInfo" << frameOf(0x8102, filePort);
    QTest::newRow("loaded blocks") << "getLoadedBlocks" << frameOf(0x8103, filePort + zero + zero);
}

void tst_DeviceInterface::requestFrames()
{
    QFETCH(QString, request);
    QFETCH(QByteArray, frame);
    link->setDevId(2808);
    QVERIFY(QMetaObject::invokeMethod(link.get(), request.toLatin1().constData()));
    QCOMPARE(pty->read(frame.size(), sentMs), frame);
}

void tst_DeviceInterface::answerTimeouts_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("timeoutMs"); // 0: no timer
    QTest::newRow("plain request") << "getFileInfo" << 3000;
    QTest::newRow("file check") << "getCheckFile" << 60000;
    QTest::newRow("terminal status") << "term:8600" << 0;
    QTest::newRow("terminal file check") << "term:810102" << 60000;
    QTest::newRow("terminal relay check") << "term:8000" << 60000;
    QTest::newRow("clear relay status") << "sendClearFskStatus" << 0;
}

void tst_DeviceInterface::answerTimeouts()
{
    QFETCH(QString, how);
    QFETCH(int, timeoutMs);
    link->setDeviceReady(true);
    if (how.startsWith("term:"))
        link->sendTerminalCmd(how.mid(5));
    else
        QVERIFY(QMetaObject::invokeMethod(link.get(), how.toLatin1().constData()));
    QTimer *t = link->answerTimerObject();
    QCOMPARE(t->isActive(), timeoutMs != 0);
    if (timeoutMs)
        QCOMPARE(t->interval(), timeoutMs);
    // The skip applies to one command only.
    if (how.startsWith("term:")) {
        link->getFwVer();
        QVERIFY(t->isActive());
        QCOMPARE(t->interval(), DeviceInterface::defaultAnswerTimeoutMs);
    }
}

void tst_DeviceInterface::terminalHexCommands_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("status with data") << "860001" << frameOf(0x8600, QByteArray::fromHex("01"));
    QTest::newRow("non-hex code") << "zz1201" << frameOf(0x0000, QByteArray::fromHex("01"));
    QTest::newRow("bad data chars skipped") << "8002g" << frameOf(0x8002, {});
}

void tst_DeviceInterface::terminalHexCommands()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, frame);
    link->setDeviceReady(true);
    QSignalSpy echo(link.get(), &DeviceInterface::printToTerminal);
    link->sendTerminalCmd(typed);
    QCOMPARE(pty->read(frame.size(), sentMs), frame);
    QCOMPARE(echo.first().first().toString(), "<font color=blue>&gt; </font>" + typed);
}

void tst_DeviceInterface::textCommands()
{
    link->setDeviceReady(true);
    QSignalSpy echo(link.get(), &DeviceInterface::printToTerminal);
    QVERIFY(link->writeCommand("SYSLOG LEVEL=DBG,A"));
    QCOMPARE(pty->read(20, sentMs), QByteArray("SYSLOG LEVEL=DBG,A\r\n"));
    QCOMPARE(echo.first().first().toString(),
             QString("<font color=blue>&gt; </font>SYSLOG LEVEL=DBG,A"));
    QCOMPARE(link->answerTimerObject()->interval(), DeviceInterface::defaultTextTimeoutMs);

    link->setWriteMode(true);
    QVERIFY(link->writeCommand("CFG"));
    QCOMPARE(link->answerTimerObject()->interval(), DeviceInterface::defaultTextWriteTimeoutMs);

    // Erasing runs without a time-out.
    link->answerTimerObject()->stop();
    QVERIFY(link->writeCommand("ERASE ALL"));
    QVERIFY(!link->answerTimerObject()->isActive());

    link->activateDebugMode("SYSLOG LEVEL=ALL,F");
    QVERIFY(pty->read(100, AppFixture::nothingFollowsMs).endsWith("SYSLOG LEVEL=ALL,F\r\n"));
}

void tst_DeviceInterface::hiddenCommandNeverEchoesPassword()
{
    link->setDeviceReady(true);
    QSignalSpy echo(link.get(), &DeviceInterface::printToTerminal);
    QVERIFY(link->writeCommand("USB s3cret"));
    QCOMPARE(pty->read(12, sentMs), QByteArray("USB s3cret\r\n"));
    QCOMPARE(echo.size(), 1);
    QCOMPARE(echo.first().first().toString(),
             QString("<font color=blue>&lt; </font>Hiden or binary command"));
    for (const char *word : {"wrfile x", "FSLOGIN a", "fslogout"}) {
        echo.clear();
        link->writeCommand(word);
        QVERIFY(echo.first().first().toString().endsWith("Hiden or binary command"));
    }
    // Typed markup is shown as text. (The server's login, "REMOTE …", is the remote tests'.)
    echo.clear();
    QVERIFY(link->sendTextCmd("<b>x</b>"));
    QCOMPARE(echo.first().first().toString(),
             QString("<font color=blue>&gt; </font>&lt;b&gt;x&lt;/b&gt;"));
}

void tst_DeviceInterface::textNeedsReadyDevice()
{
    link->answerTimerObject()->start(1000);
    QVERIFY(!link->writeCommand("USB 1"));
    QVERIFY(!link->answerTimerObject()->isActive());
    link->sendTerminalCmd("8600");
    link->activateDebugMode("SYSLOG LEVEL=DBG,A");
    QCOMPARE(pty->read(1, AppFixture::nothingFollowsMs), QByteArray());
    link->serialPort()->close();
    link->setDeviceReady(true);
    QVERIFY(!link->writeCommand("USB 1"));
}

void tst_DeviceInterface::enteringRelay_data()
{
    QTest::addColumn<QByteArray>("switchAnswer"); // result and status of the 0x8300 answer
    QTest::addColumn<QString>("checkAnswer");     // when the remote device answers the check
    QTest::addColumn<QList<int>>("states");
    QTest::newRow("connected") << QByteArray::fromHex("0000") << "in time" << QList<int>{35, 1, 3};
    QTest::newRow("remote silent") << QByteArray::fromHex("0000") << "never" << QList<int>{37};
    QTest::newRow("remote late") << QByteArray::fromHex("0000") << "late" << QList<int>{37};
    QTest::newRow("local refuses") << QByteArray::fromHex("0105") << "never" << QList<int>{37};
}

void tst_DeviceInterface::enteringRelay()
{
    QFETCH(QByteArray, switchAnswer);
    QFETCH(QString, checkAnswer);
    QFETCH(QList<int>, states);
    link->setRelayTimings(relaySettleMs, relayCheckMs);
    QSignalSpy stateSpy(link.get(), &DeviceInterface::changeDeviceStatus);
    QSignalSpy refused(link.get(), &DeviceInterface::relayRefused);
    link->switchToFskMode("70-B3-D5-7E-D0-00-12-34", 60, 0x3a98);
    // The switch goes to the local device itself; the check after it to the remote one.
    QCOMPARE(pty->read(15, sentMs), frameOf(Cmd::fskMode, QByteArray::fromHex("01 0000003c")));
    QVERIFY(pty->write(frameOf(Cmd::fskMode, switchAnswer)));
    const bool accepted = switchAnswer.at(0) == 0;
    const QByteArray check = wrapped(Frame::payload(Cmd::checkConnect, 2, {}));
    if (accepted)
        QCOMPARE(pty->read(check.size(), sentMs + relaySettleMs), check);
    if (checkAnswer == "in time")
        QVERIFY(pty->write(relayed(Cmd::checkConnect, {})));
    QTRY_COMPARE_WITH_TIMEOUT(stateSpy.size(), states.size(), relayCheckMs + sentMs);
    if (checkAnswer == "late")
        QVERIFY(pty->write(relayed(Cmd::checkConnect, {})));
    // Connected: the identification goes through the relay. A failed check tells the local
    // device to leave relay mode, plain; nothing else is sent, the check's own time-out
    // included, and a late answer changes nothing.
    const QByteArray info = wrapped(Frame::payload(Cmd::deviceInfo, 2, {}));
    const QByteArray leave = frameOf(Cmd::normalMode, {});
    QCOMPARE(pty->read(info.size(), AppFixture::nothingFollowsMs),
             checkAnswer == "in time" ? info : accepted ? leave : QByteArray());
    QList<int> got;
    for (const QList<QVariant> &args : stateSpy)
        got << args.first().toInt();
    QCOMPARE(got, states);
    QCOMPARE(link->isRelayMode(), checkAnswer == "in time");
    QCOMPARE(link->answerTimerObject()->isActive(), accepted);
    QCOMPARE(refused.size(), accepted ? 0 : 1);
}

void tst_DeviceInterface::relayedRequests_data()
{
    QTest::addColumn<QByteArray>("answers");
    QTest::addColumn<QByteArray>("sentAfter"); // what the link sends on them
    QTest::addColumn<bool>("waiting");
    const QByteArray status = wrapped(Frame::payload(Cmd::netStatus, 2, QByteArray(1, '\1')));
    QTest::newRow("relayed answer")
        << relayed(Cmd::netStatus, QByteArray(42, '\2')) << QByteArray() << false;
    QTest::newRow("relayed answer to another request")
        << relayed(Cmd::netQuality, QByteArray(6, '\2')) << QByteArray() << true;
    // The relay is busy: its status is cleared around the relay, then the request goes again.
    QTest::newRow("relay busy") << frameOf(Cmd::relayCommand, QByteArray::fromHex("0109")) +
                                       frameOf(Cmd::clearFskStatus, {})
                                << frameOf(Cmd::clearFskStatus, {}) + status << true;
}

void tst_DeviceInterface::relayedRequests()
{
    QFETCH(QByteArray, answers);
    QFETCH(QByteArray, sentAfter);
    QFETCH(bool, waiting);
    LogCapture log;
    QSignalSpy echo(link.get(), &DeviceInterface::printToTerminal);
    link->setRelay(true, "70-B3-D5-7E-D0-00-12-34", 0x3a98);
    link->getStatus(); // with the relay flag set
    const QByteArray status = wrapped(Frame::payload(Cmd::netStatus, 2, QByteArray(1, '\1')));
    QCOMPARE(pty->read(status.size(), sentMs), status);
    QCOMPARE(echo.size(), 0);
    QVERIFY(pty->write(answers));
    QCOMPARE(pty->read(sentAfter.size() + 1, AppFixture::nothingFollowsMs), sentAfter);
    QCOMPARE(link->answerTimerObject()->isActive(), waiting);
    QCOMPARE(log.count("Data IO Error"), sentAfter.size() > 10 ? 1 : 0);

    // A payload whose length does not fit the wrapper's length byte is not sent cut.
    link->sendCommand(Cmd::writeParam, 2, QByteArray(DeviceInterface::maxRelayedPayloadBytes, 'x'));
    QCOMPARE(pty->read(1, AppFixture::nothingFollowsMs), QByteArray());
}

void tst_DeviceInterface::leavingRelayEndsOnceAfterTheLocalDevice()
{
    QSignalSpy states(link.get(), &DeviceInterface::changeDeviceStatus);
    link->setRelay(true, "70b3d57ed0001234", 0x3a98);
    link->switchToNormalMode();
    const QByteArray remoteLeave = wrapped(Frame::payload(Cmd::normalMode, 2, {}));
    QCOMPARE(pty->read(remoteLeave.size(), sentMs), remoteLeave);
    QVERIFY(pty->write(relayed(Cmd::normalMode, QByteArray(2, '\0'))));
    QCOMPARE(pty->read(10, sentMs), frameOf(Cmd::normalMode, {}));
    QCOMPARE(states.size(), 0);
    QVERIFY(pty->write(frameOf(Cmd::normalMode, QByteArray(2, '\0'))));
    QTRY_COMPARE_WITH_TIMEOUT(states.size(), 1, sentMs);
    QCOMPARE(states.first().first().toInt(), 36);

    // A relay session ends with the port: the next device gets plain frames.
    link->setRelay(true, "70b3d57ed0001234", 0x3a98);
    link->serialPort()->close();
    QVERIFY(link->serialPort()->open(QIODevice::ReadWrite));
    link->getFwVer();
    QCOMPARE(pty->read(10, sentMs), frameOf(Cmd::deviceInfo, {}));
}

void tst_DeviceInterface::fileBlocksAreNotEchoed()
{
    QSignalSpy echo(link.get(), &DeviceInterface::printToTerminal);
    link->sendCommand(Frame::fileBlockCmd, Frame::filePort, QByteArray::fromHex("210000") + "data");
    QCOMPARE(pty->read(15, sentMs), Frame::wrap(1, QByteArray::fromHex("210000") + "data"));
    QCOMPARE(echo.size(), 0);
    QCOMPARE(link->lastCommandPort(), quint8(1));
}

void tst_DeviceInterface::binaryLog()
{
    const QString path = f->path("bin.log");
    link->setDeviceReady(true);
    QVERIFY(link->startWriteBinLogFile(path));
    LogCapture logs;
    QSignalSpy echo(link.get(), &DeviceInterface::printToTerminal);
    QVERIFY(link->writeCommand("USB s3cret"));
    QVERIFY(link->sendTextCmd("SYSLOG LEVEL=DBG,A"));
    link->sendTerminalCmd("8600");
    const QByteArray request = frameOf(0x8600, {});
    const QByteArray wire = "USB s3cret\r\nSYSLOG LEVEL=DBG,A\r\n" + request;
    QCOMPARE(pty->read(wire.size(), sentMs), wire);

    QSignalSpy frames(link.get(), &DeviceInterface::frameReceived);
    const QByteArray received = "[DBG][A] 1.000 radio: state=1\r\n" +
                                frameOf(0x8600, QByteArray(42, '\x02')) + "\r\nSYSLOG ON\r\n";
    QVERIFY(pty->write(received));
    QTRY_COMPARE_WITH_TIMEOUT(frames.count(), 1, sentMs);
    QTRY_VERIFY_WITH_TIMEOUT(logs.contains("SYSLOG ON"), sentMs);
    link->stopWriteBinLogFile();
    link->writeCommand("AFTER");

    // Every byte both ways, in order, except the password, which goes to the device only.
    QFile log(path);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(),
             "Hiden or binary command\r\nSYSLOG LEVEL=DBG,A\r\n" + request + received);
    QVERIFY(!logs.contains("s3cret"));
    for (const QList<QVariant> &e : echo)
        QVERIFY2(!e.first().toString().contains("s3cret"), qPrintable(e.first().toString()));

    // Starting again truncates; a file that cannot be created is said so and records nothing.
    QVERIFY(link->startWriteBinLogFile(path));
    link->stopWriteBinLogFile();
    QCOMPARE(QFileInfo(path).size(), 0);
    QVERIFY(!link->startWriteBinLogFile(f->path("no-such-dir/bin.log")));
    QVERIFY(!link->isBinLogOpen());
}

void tst_DeviceInterface::deviceTextShownAsEscapedText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("shown");
    const QString in = "<font color=green>&lt; </font>";
    const QByteArray answer = frameOf(0x8600, QByteArray(2, '\x02'));
    QTest::newRow("debug line, then a frame")
        << "[DBG][L] 12.5 radio: rssi=-85\r\n" + answer
        << QStringList{in + "[DBG][L] 12.5 radio: rssi=-85",
                       in + QString::fromLatin1(answer.toHex(' ')).replace(' ', "&nbsp;")};
    QTest::newRow("markup and a link stay text")
        << QByteArray("<a href=\"http://x\">click</a> & <b>bold</b>\n")
        << QStringList{in + "&lt;a href=&quot;http://x&quot;&gt;click&lt;/a&gt; &amp; "
                            "&lt;b&gt;bold&lt;/b&gt;"};
    QTest::newRow("noise stays hex")
        << QByteArray::fromHex("0102ff") << QStringList{in + "01&nbsp;02&nbsp;ff"};
}

void tst_DeviceInterface::deviceTextShownAsEscapedText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, shown);
    QSignalSpy echo(link.get(), &DeviceInterface::printToTerminal);
    QVERIFY(pty->write(bytes));
    QTRY_COMPARE_WITH_TIMEOUT(echo.count(), shown.size(), sentMs);
    QTest::qWait(AppFixture::nothingFollowsMs);
    QStringList got;
    for (const QList<QVariant> &e : echo)
        got << e.first().toString();
    QCOMPARE(got, shown);
}

void tst_DeviceInterface::onlyTheAwaitedAnswerIsTaken_data()
{
    QTest::addColumn<QString>("request");
    QTest::addColumn<QByteArray>("answers");
    QTest::addColumn<int>("taken");
    const QByteArray status = frameOf(Cmd::netStatus, QByteArray(42, '\x02'));
    // A read answer: the code, the access byte, a 16-bit length and the value 5.
    auto param = [](quint16 code) {
        return frameOf(Cmd::readParam, QByteArray(1, char(code >> 8)) + char(Cmd::paramAccess) +
                                           char(code) + QByteArray::fromHex("000105"));
    };
    QTest::newRow("the answer") << "info" << infoAnswer() << 1;
    QTest::newRow("noise, then the answer") << "info"
                                            << "noise\r\n" + infoAnswer() << 1;
    QTest::newRow("another command's answer") << "info" << status << 0;
    QTest::newRow("the answer twice") << "info" << infoAnswer() + infoAnswer() << 1;
    QTest::newRow("a late answer, then the answer") << "info" << status + infoAnswer() << 1;
    QTest::newRow("marked answer")
        << "status" << frameOf(Cmd::netStatus | Cmd::answerMark, QByteArray(42, '\x02')) << 1;
    QTest::newRow("parameter asked") << "read 000a" << param(0x000a) << 1;
    QTest::newRow("another parameter") << "read 000a" << param(0x0101) << 0;
    QTest::newRow("the previous parameter, then this one")
        << "read 000a" << param(0x0010) + param(0x000a) << 1;
    QTest::newRow("a read answer to a write") << "write 000a" << param(0x000a) << 0;
    QTest::newRow("nothing asked") << "" << status << 0;
    // A command typed in the console, or another request sent while one waits, displaces
    // neither answer; each is taken once.
    QTest::newRow("console command meanwhile")
        << "info, console 8600" << status + infoAnswer() << 2;
    QTest::newRow("request meanwhile") << "status, info" << status + infoAnswer() << 2;
    QTest::newRow("request meanwhile, answers twice")
        << "status, info" << status + status + infoAnswer() + infoAnswer() << 2;
}

void tst_DeviceInterface::onlyTheAwaitedAnswerIsTaken()
{
    QFETCH(QString, request);
    QFETCH(QByteArray, answers);
    QFETCH(int, taken);
    if (request.startsWith("info"))
        link->getFwVer();
    else if (request.startsWith("status"))
        link->getStatus();
    else if (request.startsWith("read "))
        link->getConfiguration(0x00, uchar(request.mid(5).toInt(nullptr, 16)));
    else if (request.startsWith("write "))
        link->sendCommand(Cmd::writeParam, Frame::commandPort,
                          QByteArray(1, '\0') + char(Cmd::paramAccess) +
                              char(request.mid(6).toInt(nullptr, 16)) +
                              QByteArray::fromHex("0105"));
    if (request.endsWith(", info"))
        link->getFwVer();
    if (request.contains("console")) {
        link->setDeviceReady(true);
        link->sendTerminalCmd(request.section(' ', -1));
    }
    if (!request.isEmpty())
        QVERIFY(!pty->read(Frame::overheadBytes + 2, sentMs).isEmpty());
    QCOMPARE(framesTaken(answers), taken);
    // A taken answer ends the wait; anything else leaves the request waiting.
    QCOMPARE(link->answerTimerObject()->isActive(), !request.isEmpty() && taken == 0);
}

void tst_DeviceInterface::slowAnswerIsWaitedFor()
{
    // An answer that comes in pieces with pauses far beyond the stall time (a remote link on a
    // mobile network) is still taken while it is awaited.
    QSignalSpy info(link->packParser(), &PackParser::setDevInfo);
    link->getFwVer();
    const QByteArray a = infoAnswer();
    const int piece = a.size() / 4 + 1;
    for (int at = 0; at < a.size(); at += piece) {
        QVERIFY(pty->write(a.mid(at, piece)));
        QTest::qWait(DeviceInterface::staleFrameMs * 2);
    }
    QTRY_COMPARE_WITH_TIMEOUT(info.count(), 1, DeviceInterface::staleFrameMs * 4);
    QVERIFY(!link->answerTimerObject()->isActive());
}

void tst_DeviceInterface::damagedAnswerIsAskedAgainAtOnce()
{
    link->getFwVer();
    const QByteArray request = pty->read(Frame::overheadBytes + 2, sentMs);
    QByteArray damaged = infoAnswer();
    damaged[damaged.size() - 1] = char(damaged.at(damaged.size() - 1) ^ 0x55);
    QVERIFY(pty->write(damaged));
    // The same request again long before the answer time-out would have sent it.
    QCOMPARE(pty->read(request.size(), DeviceInterface::defaultAnswerTimeoutMs / 3), request);
    QCOMPARE(framesTaken(infoAnswer()), 1);
}

void tst_DeviceInterface::burstEchoedAfterQuiet()
{
    QSignalSpy echo(link.get(), &DeviceInterface::printToTerminal);
    QVERIFY(pty->write(QByteArray::fromHex("0102ff")));
    QTRY_COMPARE_WITH_TIMEOUT(echo.count(), 1, sentMs);
    QCOMPARE(echo.first().first().toString(),
             QString("<font color=green>&lt; </font>01&nbsp;02&nbsp;ff"));
}

void tst_DeviceInterface::answerBehindFalseStartRecovered()
{
    QSignalSpy status(link->packParser(), &PackParser::mainNetStatus);
    link->getStatus();
    // A stray start byte declaring 80 bytes swallows the real answer's bytes until the line
    // has been still long enough; then the answer is found behind it.
    const QByteArray b = frameOf(0x8600, QByteArray(42, '\x02'));
    QVERIFY(pty->write(QByteArray::fromHex("010050") + b));
    QTRY_COMPARE_WITH_TIMEOUT(status.count(), 1, DeviceInterface::staleFrameMs * 8);
}

QTEST_GUILESS_MAIN(tst_DeviceInterface)
#include "tst_deviceinterface.moc"
