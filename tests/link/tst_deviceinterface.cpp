#include "deviceinterface.h"
#include "frame.h"
#include "packparser.h"
#include "ptypair.h"

#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

// The link against a pseudo-terminal: the test plays the device on the master side.
class tst_DeviceInterface : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void requestFrames_data();
    void requestFrames();
    void answerTimeouts_data();
    void answerTimeouts();
    void terminalHexCommands_data();
    void terminalHexCommands();
    void textCommands();
    void hiddenCommandNeverEchoesPassword();
    void textNeedsReadyDevice();
    void relayWrapsEveryCommand();
    void fileBlocksAreNotEchoed();
    void binaryLog();
    void answersReachParser();
    void splitAnswerIsJoined();
    void burstEchoedAfterQuiet();
    void answerBehindFalseStartRecovered();

private:
    QByteArray frameOf(quint16 cmd, const QByteArray &data, quint8 port = 2)
    {
        return Frame::wrap(port, Frame::payload(cmd, port, data));
    }
    std::unique_ptr<PtyPair> pty;
    std::unique_ptr<DeviceInterface> link;
};

void tst_DeviceInterface::init()
{
    pty = std::make_unique<PtyPair>();
    QVERIFY(pty->isValid());
    link = std::make_unique<DeviceInterface>();
    link->serialPort()->setPortName(pty->slaveName());
    link->serialPort()->setBaudRate(115200);
    QVERIFY(link->serialPort()->open(QIODevice::ReadWrite));
}

void tst_DeviceInterface::cleanup()
{
    link.reset();
    pty.reset();
}

void tst_DeviceInterface::requestFrames_data()
{
    QTest::addColumn<QString>("request");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("device info") << "getFwVer" << QByteArray::fromHex("01 0002 02 8002 069e9784");
    QTest::newRow("device status")
        << "getStatus" << QByteArray::fromHex("01 0003 02 8600 00 330a01a3");
    QTest::newRow("reboot") << "getReboot" << frameOf(0x8001, {});
    QTest::newRow("date time") << "getDateTime" << frameOf(0x8003, {});
    QTest::newRow("join") << "getNetJoin" << frameOf(0x8601, QByteArray(1, '\0'));
    QTest::newRow("quality") << "getNetQuality" << frameOf(0x8602, QByteArray(1, '\0'));
    QTest::newRow("last send") << "getLastSendStatus" << frameOf(0x8603, QByteArray(1, '\0'));
    QTest::newRow("times") << "getTimesStatus" << frameOf(0x8604, QByteArray(1, '\0'));
    QTest::newRow("extraordinary")
        << "sendExtraordinaryPack" << frameOf(0x8605, QByteArray(1, '\0'));
    QTest::newRow("frequencies") << "getCurrentFreq" << frameOf(0x8606, QByteArray(1, '\0'));
    QTest::newRow("battery") << "getBatStatus" << frameOf(0x8700, QByteArray::fromHex("0af8"));
    QTest::newRow("adc") << "getAdcStatus" << frameOf(0x8701, QByteArray::fromHex("0af8"));
    QTest::newRow("inputs") << "getInputsParams" << frameOf(0x8702, QByteArray::fromHex("0af8"));
    QTest::newRow("file info") << "getFileInfo" << frameOf(0x8102, QByteArray::fromHex("02"));
    QTest::newRow("create file") << "getCreateFile" << frameOf(0x8100, QByteArray::fromHex("02"));
    QTest::newRow("loaded blocks")
        << "getLoadedBlocks" << frameOf(0x8103, QByteArray::fromHex("020000"));
    QTest::newRow("check file") << "getCheckFile" << frameOf(0x8101, QByteArray::fromHex("02"));
    QTest::newRow("normal mode") << "switchToNormalMode" << frameOf(0x8301, {});
    QTest::newRow("clear relay status") << "sendClearFskStatus" << frameOf(0x8304, {});
}

void tst_DeviceInterface::requestFrames()
{
    QFETCH(QString, request);
    QFETCH(QByteArray, frame);
    link->setDevId(2808);
    QVERIFY(QMetaObject::invokeMethod(link.get(), request.toLatin1().constData()));
    QCOMPARE(pty->read(frame.size(), 2000), frame);
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
    QCOMPARE(pty->read(frame.size(), 2000), frame);
    QCOMPARE(echo.first().first().toString(), "<font color=blue>&gt; </font>" + typed);
}

void tst_DeviceInterface::textCommands()
{
    link->setDeviceReady(true);
    QSignalSpy echo(link.get(), &DeviceInterface::printToTerminal);
    QVERIFY(link->writeCommand("SYSLOG LEVEL=DBG,A"));
    QCOMPARE(pty->read(20, 2000), QByteArray("SYSLOG LEVEL=DBG,A\r\n"));
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
    QVERIFY(pty->read(100, 300).endsWith("SYSLOG LEVEL=ALL,F\r\n"));
}

void tst_DeviceInterface::hiddenCommandNeverEchoesPassword()
{
    link->setDeviceReady(true);
    QSignalSpy echo(link.get(), &DeviceInterface::printToTerminal);
    QVERIFY(link->writeCommand("USB s3cret"));
    QCOMPARE(pty->read(12, 2000), QByteArray("USB s3cret\r\n"));
    QCOMPARE(echo.size(), 1);
    QCOMPARE(echo.first().first().toString(),
             QString("<font color=blue>&lt; </font>Hiden or binary command"));
    for (const char *word : {"wrfile x", "FSLOGIN a", "fslogout"}) {
        echo.clear();
        link->writeCommand(word);
        QVERIFY(echo.first().first().toString().endsWith("Hiden or binary command"));
    }
}

void tst_DeviceInterface::textNeedsReadyDevice()
{
    QSignalSpy echo(link.get(), &DeviceInterface::printToTerminal);
    link->answerTimerObject()->start(1000);
    QVERIFY(!link->writeCommand("USB 1"));
    QVERIFY(!link->answerTimerObject()->isActive());
    link->sendTerminalCmd("8600");
    link->activateDebugMode("SYSLOG LEVEL=DBG,A");
    QCOMPARE(pty->read(1, 300), QByteArray());
    link->serialPort()->close();
    link->setDeviceReady(true);
    QVERIFY(!link->writeCommand("USB 1"));
}

void tst_DeviceInterface::relayWrapsEveryCommand()
{
    QSignalSpy echo(link.get(), &DeviceInterface::printToTerminal);
    link->setRelay(true, "70-B3-D5-7E-D0-00-12-34", 0x3a98);
    link->getStatus();
    const QByteArray inner = Frame::payload(0x8600, 2, QByteArray(1, '\1')); // relay flag set
    const QByteArray expected =
        Frame::wrap(2, QByteArray::fromHex("8302 70b3d57ed0001234 02 03 00003a98") + inner);
    QCOMPARE(pty->read(expected.size(), 2000), expected);
    QCOMPARE(echo.size(), 0);
    QCOMPARE(link->lastCommand(), quint16(0x8600));

    // The clear command goes around the relay, to the local device.
    link->sendClearFskStatus();
    QCOMPARE(pty->read(10, 2000), frameOf(0x8304, {}));
}

void tst_DeviceInterface::fileBlocksAreNotEchoed()
{
    QSignalSpy echo(link.get(), &DeviceInterface::printToTerminal);
    link->sendCommand(Frame::fileBlockCmd, Frame::filePort, QByteArray::fromHex("210000") + "data");
    QCOMPARE(pty->read(15, 2000), Frame::wrap(1, QByteArray::fromHex("210000") + "data"));
    QCOMPARE(echo.size(), 0);
    QCOMPARE(link->lastCommandPort(), quint8(1));
}

void tst_DeviceInterface::binaryLog()
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/bin.log";
    link->setDeviceReady(true);
    link->startWriteBinLogFile(path);
    link->writeCommand("ATI");
    link->sendTerminalCmd("8600");
    link->stopWriteBinLogFile();
    link->writeCommand("AFTER");
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("ATI\r\n8600\r\n"));
    // Starting again truncates.
    link->startWriteBinLogFile(path);
    link->stopWriteBinLogFile();
    QCOMPARE(QFileInfo(path).size(), 0);
}

void tst_DeviceInterface::answersReachParser()
{
    QSignalSpy info(link->packParser(), &PackParser::setDevInfo);
    QSignalSpy status(link->packParser(), &PackParser::mainNetStatus);
    // Two answers in one read: both arrive, in order, without waiting for a pause.
    const QByteArray a =
        frameOf(0x8002, QByteArray::fromHex("010203 02f8") + QByteArray("VEXA7XX000000001") +
                            QByteArray(8, '\x11'));
    const QByteArray b = frameOf(0x8600, QByteArray(42, '\x02'));
    QVERIFY(pty->write("noise\r\n" + a + b));
    QTRY_COMPARE_WITH_TIMEOUT(status.count(), 1, 2000);
    QCOMPARE(info.count(), 1);
    QCOMPARE(info.first().first().toString(), QString("1.2.3"));
}

void tst_DeviceInterface::splitAnswerIsJoined()
{
    QSignalSpy info(link->packParser(), &PackParser::setDevInfo);
    const QByteArray a =
        frameOf(0x8002, QByteArray::fromHex("010203 02f8") + QByteArray("VEXA7XX000000001") +
                            QByteArray(8, '\x11'));
    QVERIFY(pty->write(a.left(9)));
    // A pause far beyond the quiet period in the middle of the answer.
    QTest::qWait(DeviceInterface::quietPeriodMs * 3);
    QCOMPARE(info.count(), 0);
    QVERIFY(pty->write(a.mid(9)));
    QTRY_COMPARE_WITH_TIMEOUT(info.count(), 1, 2000);
}

void tst_DeviceInterface::burstEchoedAfterQuiet()
{
    QSignalSpy echo(link.get(), &DeviceInterface::printToTerminal);
    QVERIFY(pty->write(QByteArray::fromHex("0102ff")));
    QTRY_COMPARE_WITH_TIMEOUT(echo.count(), 1, 2000);
    QCOMPARE(echo.first().first().toString(),
             QString("<font color=green>&lt; </font>01&nbsp;02&nbsp;ff"));
}

void tst_DeviceInterface::answerBehindFalseStartRecovered()
{
    QSignalSpy status(link->packParser(), &PackParser::mainNetStatus);
    // A stray start byte declaring 80 bytes swallows the real answer's bytes until the line
    // has been still long enough; then the answer is found behind it.
    const QByteArray b = frameOf(0x8600, QByteArray(42, '\x02'));
    QVERIFY(pty->write(QByteArray::fromHex("010050") + b));
    QTRY_COMPARE_WITH_TIMEOUT(status.count(), 1, DeviceInterface::staleFrameMs * 8);
}

QTEST_GUILESS_MAIN(tst_DeviceInterface)
#include "tst_deviceinterface.moc"
