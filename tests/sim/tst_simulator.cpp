#include "apppaths.h"
#include "db_worker.h"
#include "deviceinterface.h"
#include "frame.h"
#include "packparser.h"
#include "paramcatalogue.h"
#include "simulator.h"

#include <QProcess>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The simulated device through the real link: what it answers is what the parser expects.
class tst_Simulator : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { registerLinkMetaTypes(); }
    void cleanup();
    void identity_data();
    void identity();
    void statusLayouts();
    void networkRegistersAfterJoinDelay();
    void parameterStoreRoundTrip_data();
    void parameterStoreRoundTrip();
    void hasEveryParameterTheDatabaseReads_data();
    void hasEveryParameterTheDatabaseReads();
    void factoryResets();
    void clockSetAndRead();
    void fileWriteResumesAfterUnplug();
    void badFirmwareFiles_data();
    void badFirmwareFiles();
    void rebootGivesNewPortAndLink();
    void textCommands();
    void loginGuardsConfiguration();
    void relayReachesRemoteDevice();
    void relayStatusFault();
    void modeChangeEvent();
    void faultDropEvery();
    void faultCorruptCrc();
    void faultSplitAndGarbage();
    void faultJoin();
    void faultDelayAndSilent();
    void faultRefuseParam();
    void faultUnplugAt();
    void faultDropProbabilityIsSeeded();
    void programAnswersFrame();
    void programOptions();

private:
    void startSim(SimConfig config);
    void connectLink();
    QByteArray readParam(quint16 code);
    int writeParam(quint16 code, const QByteArray &value);

    std::unique_ptr<Simulator> sim;
    std::unique_ptr<DeviceInterface> link;
};

void tst_Simulator::cleanup()
{
    link.reset();
    sim.reset();
}

void tst_Simulator::startSim(SimConfig config)
{
    sim = std::make_unique<Simulator>(config);
    QVERIFY(sim->start());
    connectLink();
}

void tst_Simulator::connectLink()
{
    link = std::make_unique<DeviceInterface>();
    link->serialPort()->setPortName(sim->portName());
    QVERIFY(link->serialPort()->open(QIODevice::ReadWrite));
}

QByteArray tst_Simulator::readParam(quint16 code)
{
    QSignalSpy spy(link->packParser(), &PackParser::parseConfiguration);
    link->getConfiguration(uchar(code >> 8), uchar(code & 0xFF));
    if (!spy.wait(2000))
        return QByteArray("<no answer>");
    return spy.first().at(2).toByteArray();
}

int tst_Simulator::writeParam(quint16 code, const QByteArray &value)
{
    QSignalSpy spy(link->packParser(), &PackParser::answerWriteParam);
    QByteArray data;
    data.append(char(code >> 8))
        .append(char(1))
        .append(char(code & 0xFF))
        .append(char(value.size()));
    data.append(value);
    link->sendCommand(0x8501, 2, data);
    if (!spy.wait(2000))
        return -1;
    return spy.first().at(2).value<uchar>();
}

void tst_Simulator::identity_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("revision");
    QTest::addColumn<int>("devId");
    QTest::addColumn<QString>("fw");
    QTest::newRow("701") << 701 << 0 << 701 << "1.2.3";
    QTest::newRow("750") << 750 << 0 << 750 << "1.3.1";
    QTest::newRow("760") << 760 << 0 << 760 << "1.4.2";
    QTest::newRow("760 rev 2") << 760 << 2 << 2808 << "2.0.1";
}

void tst_Simulator::identity()
{
    QFETCH(int, model);
    QFETCH(int, revision);
    QFETCH(int, devId);
    QFETCH(QString, fw);
    SimConfig c;
    c.model = model;
    c.revision = revision;
    c.serialNumber = 4242;
    startSim(c);
    QSignalSpy info(link->packParser(), &PackParser::setDevInfo);
    link->getFwVer();
    QVERIFY(info.wait(2000));
    QCOMPARE(info.first().at(0).toString(), fw);
    QCOMPARE(int(info.first().at(1).value<ushort>()), devId);
    const QString sn = info.first().at(2).toString();
    QCOMPARE(sn.size(), 16);
    QVERIFY(sn.endsWith("4242"));
    QCOMPARE(info.first().at(3).toString().remove('-'), sim->device().devEui());
    QCOMPARE(sim->device().usbSerialNumber(), QString("VEXA7XX00004242"));
}

void tst_Simulator::statusLayouts()
{
    SimConfig c;
    c.model = 750;
    c.joinDelayMs = 0;
    startSim(c);
    link->setDevId(750);
    PackParser *p = link->packParser();

    QSignalSpy bat(p, &PackParser::devBatStatus);
    link->getBatStatus();
    QVERIFY(bat.wait(2000));
    const auto b = bat.first().first().value<DEV_BAT_STAT>();
    QCOMPARE(int(b.devId), 750);
    QCOMPARE(int(b.resultCode), 0);
    QCOMPARE(int(b.powerSource), 1);
    QVERIFY(b.batVoltage > 3900 && b.batVoltage < 4300);

    QSignalSpy adc(p, &PackParser::devAdcStatus);
    link->getAdcStatus();
    QVERIFY(adc.wait(2000));
    const auto a = adc.first().first().value<DEV_ADC_VALUES>();
    QCOMPARE(a.adcValues.size(), 6);
    QVERIFY(a.fsmVoltage > 3000);

    QSignalSpy inputs(p, &PackParser::devInputsParamsStatus);
    link->getInputsParams();
    QVERIFY(inputs.wait(2000));
    const auto in = inputs.first().first().value<DEV_INPUT_PARAMS>();
    QCOMPARE(in.inputs.size(), 6);
    QVERIFY(in.inputs.at(0).counter >= 1000);

    QSignalSpy freq(p, &PackParser::getFreqAnswer);
    link->getCurrentFreq();
    QVERIFY(freq.wait(2000));
    const auto channels = freq.first().at(2).value<QList<QPair<int, QString>>>();
    QCOMPARE(channels.size(), 2);
    QCOMPARE(channels.at(0).second, QString("868900000"));
    QCOMPARE(freq.first().at(3).toString(), QString("869100000"));

    QSignalSpy times(p, &PackParser::netTimesStatus);
    link->getTimesStatus();
    QVERIFY(times.wait(2000));
    QVERIFY(times.first().first().value<NET_TIME_STAT>().timeStart > 1700000000u);

    QSignalSpy last(p, &PackParser::netLastSendStatus);
    link->getLastSendStatus();
    QVERIFY(last.wait(2000));
    const auto l = last.first().first().value<NET_LAST_SEND_STAT>();
    QVERIFY(l.upLinkCounter >= 1);
    QCOMPARE(l.upLinkFrequency % 100000, 0u);

    QSignalSpy join(p, &PackParser::netJoinAnswer);
    link->getNetJoin();
    QVERIFY(join.wait(2000));
    QSignalSpy extra(p, &PackParser::sendExtraordinaryPackAnswer);
    link->sendExtraordinaryPack();
    QVERIFY(extra.wait(2000));
    QCOMPARE(sim->commandCount(0x8700), 1);
    QCOMPARE(sim->commandCount(0x8601), 1);
}

void tst_Simulator::networkRegistersAfterJoinDelay()
{
    SimConfig c;
    c.joinDelayMs = 600;
    startSim(c);
    QSignalSpy main(link->packParser(), &PackParser::mainNetStatus);
    QSignalSpy quality(link->packParser(), &PackParser::netQulityStatus);
    link->getStatus();
    QVERIFY(main.wait(2000));
    QVERIFY(main.last().first().value<NET_MAIN_STAT>().netState != 2);
    QTest::qWait(700);
    link->getStatus();
    QVERIFY(main.wait(2000));
    const auto s = main.last().first().value<NET_MAIN_STAT>();
    QVERIFY(s.netState == 2 || s.netState == 5);
    QVERIFY(s.devAddr != "00000000");
    link->getNetQuality();
    QVERIFY(quality.wait(2000));
    const auto q = quality.first().first().value<NET_QUALITY_STAT>();
    QVERIFY(q.rssi < -50 && q.rssi > -120);
    QVERIFY(q.bsCount >= 1);
}

void tst_Simulator::parameterStoreRoundTrip_data()
{
    QTest::addColumn<int>("model");
    QTest::newRow("701") << 701;
    QTest::newRow("750") << 750;
    QTest::newRow("760") << 760;
}

void tst_Simulator::parameterStoreRoundTrip()
{
    QFETCH(int, model);
    SimConfig c;
    c.model = model;
    startSim(c);
    const QList<quint16> codes = sim->device().paramCodes();
    QVERIFY(codes.size() > 40);
    for (quint16 code : codes) {
        const ParamCatalogue::Param *p = ParamCatalogue::byCode(code);
        QVERIFY2(p, qPrintable(QString::number(code, 16)));
        const QByteArray before = readParam(code);
        QVERIFY2(ParamCatalogue::validLength(*p, before), p->element);
        if (p->kind == ParamCatalogue::Kind::ReadOnly) {
            QVERIFY(writeParam(code, before) != 0);
            continue;
        }
        // Change every byte (the metering block keeps its type so its length stays right).
        QByteArray changed = before;
        for (int i = (code == 0x0155 ? 1 : 0); i < changed.size(); ++i)
            changed[i] = char(changed.at(i) ^ 0x5A);
        QCOMPARE(writeParam(code, changed), 0);
        QCOMPARE(readParam(code), changed);
        // A value of the wrong length is refused and changes nothing.
        QVERIFY(writeParam(code, changed + '\0') != 0);
        QCOMPARE(readParam(code), changed);
    }
    // Unknown to this device: refused.
    QVERIFY(writeParam(0x01FF, QByteArray(1, '\1')) != 0);
    // Kept across a reboot.
    const QByteArray period = readParam(0x000A);
    sim->device().reboot(sim->nowMs());
    QCOMPARE(readParam(0x000A), period);
}

void tst_Simulator::hasEveryParameterTheDatabaseReads_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("key");
    QTest::newRow("701") << 701 << 0 << "701";
    QTest::newRow("750") << 750 << 0 << "750";
    QTest::newRow("760") << 760 << 0 << "760";
    QTest::newRow("760 rev 2") << 760 << 2 << "760_2";
}

void tst_Simulator::hasEveryParameterTheDatabaseReads()
{
    QFETCH(int, model);
    QFETCH(int, revision);
    QFETCH(QString, key);
    QTemporaryDir dir;
    QVERIFY(QFile::copy(VEXA_BUILT_DEVICES_DB, dir.path() + "/devices.db"));
    AppPaths::setAppDirOverride(dir.path());
    SimConfig c;
    c.model = model;
    c.revision = revision;
    SimDevice device(c);
    {
        DB_Worker db;
        const QString group = db.getFwGroup(device.firmwareVersion(), key);
        QVERIFY(!group.isEmpty());
        db.setCurrentFwGroup(group);
        for (int code : db.getCommandList())
            QVERIFY2(device.hasParam(quint16(code)), qPrintable(QString::number(code, 16)));
        db.closeDb();
    }
    AppPaths::setAppDirOverride(QString());
}

void tst_Simulator::factoryResets()
{
    startSim(SimConfig());
    QCOMPARE(writeParam(0x000A, QByteArray::fromHex("00000078")), 0); // network
    QCOMPARE(writeParam(0x0101, QByteArray::fromHex("0032")), 0);     // application
    QSignalSpy reset(link->packParser(), &PackParser::factoryDefaultAnswer);
    link->eraseMemory("netFactory");
    QVERIFY(reset.wait(2000));
    QCOMPARE(reset.last().first().value<uchar>(), uchar(0));
    QCOMPARE(readParam(0x000A), QByteArray::fromHex("00000e10"));
    QCOMPARE(readParam(0x0101), QByteArray::fromHex("0032"));
    link->eraseMemory("devFactory");
    QVERIFY(reset.wait(2000));
    QCOMPARE(reset.last().first().value<uchar>(), uchar(1));
    QCOMPARE(readParam(0x0101), QByteArray::fromHex("0064"));
}

void tst_Simulator::clockSetAndRead()
{
    startSim(SimConfig());
    QSignalSpy set(link->packParser(), &PackParser::setDateTimeAnswer);
    QSignalSpy get(link->packParser(), &PackParser::getDateTimeAnswer);
    link->getDateTime();
    QVERIFY(get.wait(2000));
    QCOMPARE(get.last().at(2).value<uchar>(), uchar(0)); // never set
    link->setDevDateTime(time_t(1600000000), 250);
    QVERIFY(set.wait(2000));
    QCOMPARE(set.first().at(0).toInt(), 1600000000);
    QCOMPARE(set.first().at(2).value<uchar>(), uchar(1)); // set by the configurator
    QTest::qWait(1100);
    link->getDateTime();
    QVERIFY(get.wait(2000));
    const qint64 t = qint64(get.last().at(0).value<time_t>());
    QVERIFY(t >= 1600000001 && t <= 1600000003);
}

namespace {
QByteArray firmwareFile(quint16 devId, int major, int minor, int patch, int bodyBytes)
{
    QByteArray f = QByteArray::fromHex("55aa") + QByteArray("VERSION\0", 8);
    f.append(char(devId & 0xFF)).append(char(devId >> 8));
    f.append(char(major)).append(char(minor)).append(char(patch));
    for (int i = 0; i < bodyBytes; ++i)
        f.append(char((i * 7) & 0xFF));
    return f;
}
} // namespace

void tst_Simulator::fileWriteResumesAfterUnplug()
{
    SimConfig c;
    c.model = 760;
    c.unplugAfterBlocks = 3;
    c.rebootDelayMs = 200;
    startSim(c);
    const QByteArray file = firmwareFile(760, 1, 5, 0, 3000);
    const int blockSize = 512;
    PackParser *p = link->packParser();

    QSignalSpy created(p, &PackParser::createFile);
    link->getCreateFile();
    QVERIFY(created.wait(2000));
    QCOMPARE(created.first().first().value<uchar>(), uchar(0));

    auto sendBlock = [&](int offset) {
        QByteArray b;
        b.append(char(0x20 | ((offset >> 16) & 0x0F)))
            .append(char(offset >> 8))
            .append(char(offset));
        b.append(file.mid(offset, blockSize));
        link->sendCommand(Frame::fileBlockCmd, Frame::filePort, b);
    };
    QSignalSpy acks(p, &PackParser::sendNextBlock);
    QSignalSpy gone(sim.get(), &Simulator::unplugged);
    int offset = 0;
    for (int i = 0; i < 3; ++i) {
        sendBlock(offset);
        QVERIFY(acks.wait(2000));
        QCOMPARE(acks.last().at(1).toUInt(), uint(offset));
        offset += acks.last().at(2).toInt();
    }
    // The cable is pulled after the third block; the device comes back on a new terminal.
    QVERIFY(gone.count() == 1 || gone.wait(2000));
    QSignalSpy back(sim.get(), &Simulator::portChanged);
    QVERIFY(back.wait(3000));
    link.reset();
    connectLink();
    p = link->packParser();

    QSignalSpy info(p, &PackParser::fileInfoAnswer);
    link->getFileInfo();
    QVERIFY(info.wait(2000));
    QCOMPARE(info.first().first().value<FILE_INFO>().fwVersion, QString("1.5.0"));
    QSignalSpy loaded(p, &PackParser::loadedBlocks);
    link->getLoadedBlocks();
    QVERIFY(loaded.wait(2000));
    QCOMPARE(loaded.first().first().toInt(), 3 * blockSize);

    QSignalSpy acks2(p, &PackParser::sendNextBlock);
    offset = loaded.first().first().toInt();
    while (offset < file.size()) {
        sendBlock(offset);
        QVERIFY(acks2.wait(2000));
        offset = int(acks2.last().at(1).toUInt() + acks2.last().at(2).toUInt());
    }
    QCOMPARE(sim->device().storedFile(), file);

    QSignalSpy checked(p, &PackParser::resultCheckFile);
    link->getCheckFile();
    QVERIFY(checked.wait(2000));
    QCOMPARE(checked.first().first().value<uchar>(), uchar(0));

    QSignalSpy reboot(p, &PackParser::rebootAnswer);
    QSignalSpy back2(sim.get(), &Simulator::portChanged);
    link->getReboot();
    QVERIFY(reboot.wait(2000));
    QVERIFY(back2.wait(3000));
    link.reset();
    connectLink();
    QSignalSpy devInfo(link->packParser(), &PackParser::setDevInfo);
    link->getFwVer();
    QVERIFY(devInfo.wait(2000));
    QCOMPARE(devInfo.first().first().toString(), QString("1.5.0"));
}

void tst_Simulator::badFirmwareFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("result");
    const QByteArray good = firmwareFile(750, 1, 3, 5, 100);
    QByteArray badMagic = good;
    badMagic[0] = 0x54;
    QByteArray badText = good;
    badText[3] = 'X';
    QTest::newRow("good") << good << 0;
    QTest::newRow("too short") << good.left(10) << 1;
    QTest::newRow("magic") << badMagic << 2;
    QTest::newRow("VERSION") << badText << 3;
    QTest::newRow("other model") << firmwareFile(760, 1, 3, 5, 100) << 4;
}

void tst_Simulator::badFirmwareFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(int, result);
    startSim(SimConfig());
    QSignalSpy created(link->packParser(), &PackParser::createFile);
    link->getCreateFile();
    QVERIFY(created.wait(2000));
    QSignalSpy ack(link->packParser(), &PackParser::sendNextBlock);
    link->sendCommand(Frame::fileBlockCmd, Frame::filePort, QByteArray::fromHex("200000") + file);
    QVERIFY(ack.wait(2000));
    QSignalSpy checked(link->packParser(), &PackParser::resultCheckFile);
    link->getCheckFile();
    QVERIFY(checked.wait(2000));
    QCOMPARE(int(checked.first().first().value<uchar>()), result);
    // Only a good file changes the version at the next power-up.
    sim->device().reboot(sim->nowMs());
    QCOMPARE(sim->device().firmwareVersion(), result == 0 ? QString("1.3.5") : QString("1.3.1"));
}

void tst_Simulator::rebootGivesNewPortAndLink()
{
    QTemporaryDir dir;
    SimConfig c;
    c.rebootDelayMs = 300;
    c.linkPath = dir.path() + "/vexa";
    startSim(c);
    QCOMPARE(QFile::symLinkTarget(c.linkPath), sim->portName());
    QSignalSpy error(link->serialPort(), &QSerialPort::errorOccurred);
    QSignalSpy reboot(link->packParser(), &PackParser::rebootAnswer);
    QSignalSpy gone(sim.get(), &Simulator::unplugged);
    QSignalSpy back(sim.get(), &Simulator::portChanged);
    link->getReboot();
    QVERIFY(reboot.wait(2000));
    QCOMPARE(reboot.first().first().value<uchar>(), uchar(0));
    QVERIFY(gone.wait(2000));
    QVERIFY(!QFile::exists(c.linkPath));
    // The open port notices that the device went away.
    QTRY_VERIFY_WITH_TIMEOUT(!error.isEmpty(), 2000);
    QVERIFY(back.wait(3000));
    QCOMPARE(QFile::symLinkTarget(c.linkPath), sim->portName());
    link.reset();
    connectLink();
    QSignalSpy info(link->packParser(), &PackParser::setDevInfo);
    link->getFwVer();
    QVERIFY(info.wait(2000));
}

void tst_Simulator::textCommands()
{
    SimConfig c;
    c.debugLineEveryMs = 50;
    sim = std::make_unique<Simulator>(c);
    QVERIFY(sim->start());
    QSerialPort port(sim->portName());
    QVERIFY(port.open(QIODevice::ReadWrite));
    auto exchange = [&](const QByteArray &line, int waitMs) {
        port.readAll();
        port.write(line + "\r\n");
        QByteArray got;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < waitMs) {
            QTest::qWait(20); // the simulator runs in this thread's event loop
            got += port.readAll();
        }
        return got;
    };
    QCOMPARE(exchange("USB anything", 200), QByteArray("LOGIN OK\r\n"));
    const QByteArray stream = exchange("SYSLOG LEVEL=DBG,A", 400);
    QVERIFY(stream.startsWith("SYSLOG ON\r\n"));
    QVERIFY(stream.count("[DBG][A]") >= 3);
    // A line already on its way may come first; none comes after the answer.
    const QByteArray off = exchange("SYSLOG LEVEL=ALL,F", 200);
    QVERIFY(off.contains("SYSLOG OFF\r\n"));
    QVERIFY(!off.mid(off.indexOf("SYSLOG OFF")).contains("[DBG]"));
    QVERIFY(!exchange("", 300).contains("[DBG]")); // an empty line is no command
    QCOMPARE(exchange("RS2USB 9600,1", 200), QByteArray("RS2USB 9600,1 OK\r\n"));
    // A converter answers no commands of its own.
    port.write(Frame::wrap(2, Frame::payload(0x8002, 2, {})));
    QTest::qWait(300);
    QCOMPARE(port.readAll(), QByteArray());
    QCOMPARE(sim->commandCount(0), 4); // the empty line was no command
}

void tst_Simulator::loginGuardsConfiguration()
{
    SimConfig c;
    c.password = "s3cret";
    startSim(c);
    QSignalSpy echo(link.get(), &DeviceInterface::printToTerminal);
    QCOMPARE(readParam(0x000A), QByteArray("<no answer>"));
    link->setDeviceReady(true);
    QVERIFY(link->writeCommand("USB wrong"));
    QTest::qWait(200);
    QVERIFY(!sim->device().loggedIn());
    QVERIFY(link->writeCommand("USB s3cret"));
    QTRY_VERIFY_WITH_TIMEOUT(sim->device().loggedIn(), 2000);
    QCOMPARE(readParam(0x000A), QByteArray::fromHex("00000e10"));
    // Status never needed a login.
    QSignalSpy info(link->packParser(), &PackParser::setDevInfo);
    link->getFwVer();
    QVERIFY(info.wait(2000));
}

void tst_Simulator::relayReachesRemoteDevice()
{
    SimConfig c;
    c.model = 760;
    c.remoteModel = 701;
    c.remoteDevEui = "70b3d57e000000aa";
    startSim(c);
    PackParser *p = link->packParser();
    QSignalSpy fsk(p, &PackParser::switchFskModeAnswer);
    link->switchToFskMode("70-B3-D5-7E-00-00-00-AA", 60, 1000);
    QVERIFY(fsk.wait(2000));
    QCOMPARE(fsk.first().at(0).value<uchar>(), uchar(0));
    QVERIFY(sim->device().relayActive());

    link->setRelay(true, "70-B3-D5-7E-00-00-00-AA", 1000);
    QSignalSpy check(p, &PackParser::checkConnectOk);
    link->sendCommand(0x8000, 2, {});
    QVERIFY(check.wait(2000));
    QSignalSpy info(p, &PackParser::setDevInfo);
    link->getFwVer();
    QVERIFY(info.wait(2000));
    QCOMPARE(int(info.first().at(1).value<ushort>()), 701); // the remote device answered
    QCOMPARE(info.first().at(3).toString(), QString("70-b3-d5-7e-00-00-00-aa"));

    // Leaving: wrapped first (the remote ends its session), then plain.
    QSignalSpy normal(p, &PackParser::switchNormalModeAnswer);
    link->switchToNormalMode();
    QVERIFY(normal.wait(2000));
    QVERIFY(sim->device().relayActive());
    link->setRelay(false, QString(), 0);
    link->switchToNormalMode();
    QVERIFY(normal.wait(2000));
    QVERIFY(!sim->device().relayActive());

    // Nobody answers a wrong DevEUI.
    link->switchToFskMode("0000000000000001", 60, 1000);
    QVERIFY(fsk.wait(2000));
    link->setRelay(true, "0000000000000001", 1000);
    QSignalSpy none(p, &PackParser::setDevInfo);
    link->getFwVer();
    QVERIFY(!none.wait(400));
}

void tst_Simulator::relayStatusFault()
{
    SimConfig c;
    c.relayStatusFaults = 1;
    startSim(c);
    PackParser *p = link->packParser();
    QSignalSpy fsk(p, &PackParser::switchFskModeAnswer);
    link->switchToFskMode(sim->device().remoteDevice()->devEui(), 60, 1000);
    QVERIFY(fsk.wait(2000));
    link->setRelay(true, sim->device().remoteDevice()->devEui(), 1000);
    QSignalSpy report(p, &PackParser::fskCommandAnswer);
    QSignalSpy status(p, &PackParser::mainNetStatus);
    link->getStatus();
    QVERIFY(report.wait(2000));
    QCOMPARE(report.first().at(1).value<uchar>(), uchar(9));
    QSignalSpy cleared(p, &PackParser::clearFskAnswer);
    link->sendClearFskStatus();
    QVERIFY(cleared.wait(2000));
    link->getStatus();
    QVERIFY(status.wait(2000));
}

void tst_Simulator::modeChangeEvent()
{
    SimConfig c;
    c.modeChangeEverySec = 1;
    startSim(c);
    QSignalSpy changed(link->packParser(), &PackParser::vexa760ModeChanged);
    sim->sendModeChange();
    QVERIFY(changed.wait(1000));
    QVERIFY(changed.wait(2500)); // and again by the timer
}

void tst_Simulator::faultDropEvery()
{
    SimConfig c;
    c.drop.every = 2;
    startSim(c);
    QSignalSpy info(link->packParser(), &PackParser::setDevInfo);
    QList<bool> answered;
    for (int i = 0; i < 4; ++i) {
        const int before = info.count();
        link->getFwVer();
        answered << (info.wait(400) || info.count() > before);
    }
    QCOMPARE(answered, (QList<bool>{true, false, true, false}));
    QCOMPARE(sim->commandCount(0x8002), 4);
    // The answers that do go out are whole.
    QCOMPARE(info.first().at(0).toString(), QString("1.3.1"));
}

void tst_Simulator::faultCorruptCrc()
{
    SimConfig c;
    c.corruptCrc.every = 1;
    startSim(c);
    QSignalSpy info(link->packParser(), &PackParser::setDevInfo);
    QSignalSpy echo(link.get(), &DeviceInterface::printToTerminal);
    link->getFwVer();
    QVERIFY(!info.wait(500));
    // The bytes did arrive: the terminal shows them.
    QVERIFY(std::any_of(echo.begin(), echo.end(), [](const QList<QVariant> &a) {
        return a.first().toString().contains("color=green");
    }));
}

void tst_Simulator::faultSplitAndGarbage()
{
    SimConfig c;
    c.split.every = 1;
    c.splitPieces = 4;
    c.splitPauseMs = 60;
    c.garbage.every = 1;
    c.garbageBytes = 300;
    startSim(c);
    QSignalSpy info(link->packParser(), &PackParser::setDevInfo);
    QSignalSpy echo(link.get(), &DeviceInterface::printToTerminal);
    link->getFwVer();
    QVERIFY(info.wait(3000));
    QCOMPARE(info.count(), 1);
    QCOMPARE(info.first().at(0).toString(), QString("1.3.1"));
    // Pauses longer than the quiet period: several bursts reached the terminal.
    QTRY_VERIFY_WITH_TIMEOUT(std::count_if(echo.begin(), echo.end(),
                                           [](const QList<QVariant> &a) {
                                               return a.first().toString().contains("color=green");
                                           }) >= 3,
                             2000);
}

void tst_Simulator::faultJoin()
{
    SimConfig c;
    c.join.every = 2;
    startSim(c);
    QSignalSpy info(link->packParser(), &PackParser::setDevInfo);
    QSignalSpy status(link->packParser(), &PackParser::mainNetStatus);
    link->getFwVer();
    QVERIFY(info.wait(1000));
    link->getFwVer(); // this answer is held back ...
    QVERIFY(!info.wait(400));
    link->getStatus(); // ... and comes with this one, too late to be taken for its request
    QVERIFY(status.wait(1000));
    QCOMPARE(info.count(), 1);
}

void tst_Simulator::faultDelayAndSilent()
{
    SimConfig c;
    c.delayMs = 300;
    startSim(c);
    QSignalSpy info(link->packParser(), &PackParser::setDevInfo);
    QElapsedTimer t;
    t.start();
    link->getFwVer();
    QVERIFY(info.wait(2000));
    QVERIFY(t.elapsed() >= 290);

    sim->faults().silent = true;
    link->getFwVer();
    QVERIFY(!info.wait(500));
    QCOMPARE(sim->commandCount(0x8002), 2);
}

void tst_Simulator::faultRefuseParam()
{
    SimConfig c;
    c.refusedParams = {0x000A};
    startSim(c);
    QCOMPARE(writeParam(0x000A, QByteArray::fromHex("00000078")), 4);
    QCOMPARE(writeParam(0x0010, QByteArray::fromHex("05")), 0);
    QCOMPARE(readParam(0x000A), QByteArray::fromHex("00000e10"));
}

void tst_Simulator::faultUnplugAt()
{
    SimConfig c;
    c.unplugAtMs = 300;
    c.rebootDelayMs = 200;
    startSim(c);
    QSignalSpy gone(sim.get(), &Simulator::unplugged);
    QSignalSpy back(sim.get(), &Simulator::portChanged);
    QVERIFY(sim->isPlugged());
    QVERIFY(gone.wait(2000));
    QVERIFY(!sim->isPlugged());
    QVERIFY(back.wait(2000));
    QVERIFY(sim->isPlugged());
}

void tst_Simulator::faultDropProbabilityIsSeeded()
{
    // The same seed drops the same answers; about the given share of them.
    auto pattern = [](quint32 seed) {
        SimConfig c;
        c.drop.probability = 0.5;
        c.seed = seed;
        Simulator s(c);
        s.start();
        QSerialPort port(s.portName());
        port.open(QIODevice::ReadWrite);
        QString bits;
        for (int i = 0; i < 40; ++i) {
            port.write(Frame::wrap(2, Frame::payload(0x8000, 2, {})));
            QByteArray got;
            for (int k = 0; k < 10 && got.size() < 10; ++k) {
                QTest::qWait(10);
                got += port.readAll();
            }
            bits += got.isEmpty() ? '0' : '1';
        }
        return bits;
    };
    const QString a = pattern(7);
    QCOMPARE(pattern(7), a);
    QVERIFY(pattern(8) != a);
    QVERIFY(a.count('0') > 8 && a.count('0') < 32);
}

void tst_Simulator::programAnswersFrame()
{
    QProcess p;
    p.start(VEXA_SIM_EXE, {"--model", "750"});
    QVERIFY(p.waitForReadyRead(5000));
    const QString path = QString::fromLocal8Bit(p.readLine()).trimmed();
    QVERIFY(path.startsWith("/dev/"));
    QSerialPort port(path);
    QVERIFY(port.open(QIODevice::ReadWrite));
    port.write(QByteArray::fromHex("010002028002069e9784"));
    QByteArray answer;
    while (answer.size() < 39 && port.waitForReadyRead(2000))
        answer += port.readAll();
    QByteArray payload;
    quint8 portNo = 0;
    QVERIFY(Frame::check(answer, &payload, &portNo));
    QCOMPARE(payload.left(5), QByteArray::fromHex("8002010301"));
    p.terminate();
    QVERIFY(p.waitForFinished(3000));
}

void tst_Simulator::programOptions()
{
    QProcess help;
    help.start(VEXA_SIM_EXE, {"--help"});
    QVERIFY(help.waitForFinished(5000));
    QCOMPARE(help.exitCode(), 0);
    const QString text = QString::fromLocal8Bit(help.readAllStandardOutput());
    for (const char *opt :
         {"--model", "--revision", "--fw", "--link", "-v", "--drop-every", "--drop-prob",
          "--corrupt-every", "--split-every", "--join-every", "--garbage-every", "--delay",
          "--refuse-param", "--unplug-after-blocks", "--unplug-at", "--silent", "--seed"})
        QVERIFY2(text.contains(opt), opt);

    QProcess bad;
    bad.start(VEXA_SIM_EXE, {"--model", "999"});
    QVERIFY(bad.waitForFinished(5000));
    QCOMPARE(bad.exitCode(), 2);

    SimConfig c;
    QString error;
    bool helpRequested = false;
    QVERIFY(c.parse(
        {"--refuse-param", "0x000A", "--drop-prob", "0.25", "--seed", "7", "--revision", "2"},
        &error, &helpRequested));
    QCOMPARE(c.refusedParams, QList<quint16>{0x000A});
    QCOMPARE(c.drop.probability, 0.25);
    QCOMPARE(c.deviceId(), quint16((2 << 10) | 750));
    QVERIFY(!c.parse({"--fw", "1.2"}, &error, &helpRequested));
    QVERIFY(!c.parse({"--drop-prob", "2"}, &error, &helpRequested));
}

QTEST_GUILESS_MAIN(tst_Simulator)
#include "tst_simulator.moc"
