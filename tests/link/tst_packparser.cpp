#include "packparser.h"

#include <QSignalSpy>
#include <QtTest>

// Payloads are built by hand, code first, as the device sends them.
class tst_PackParser : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { registerLinkMetaTypes(); }
    void deviceInfo();
    void answerMarkIgnored();
    void mainStatus();
    void quality_data();
    void quality();
    void lastSend();
    void times();
    void battery();
    void adc_data();
    void adc();
    void inputs();
    void frequencies();
    void dateTime();
    void fileAnswers();
    void configurationAnswers();
    void relayedAnswer();
    void blockAcknowledgement_data();
    void blockAcknowledgement();
    void shortAnswersReadZeros();
    void unknownCodeIgnored();

private:
    AnswerQueue *noQueue = nullptr;
};

void tst_PackParser::deviceInfo()
{
    PackParser p(noQueue);
    QSignalSpy spy(&p, &PackParser::setDevInfo);
    const QByteArray payload = QByteArray::fromHex("8002"
                                                   "01020f"
                                                   "0af8") +
                               QByteArray("VEXA7XX000012345") +
                               QByteArray::fromHex("70b3d57ed0001234");
    p.dataParser(payload, 2);
    QCOMPARE(spy.count(), 1);
    const QList<QVariant> a = spy.first();
    QCOMPARE(a.at(0).toString(), QString("1.2.15"));
    QCOMPARE(a.at(1).value<ushort>(), ushort(2808));
    QCOMPARE(a.at(2).toString(), QString("VEXA7XX000012345"));
    QCOMPARE(a.at(3).toString(), QString("70-b3-d5-7e-d0-00-12-34"));
}

void tst_PackParser::answerMarkIgnored()
{
    PackParser p(noQueue);
    QSignalSpy spy(&p, &PackParser::mainNetStatus);
    QByteArray payload = QByteArray::fromHex("c600") + QByteArray(42, '\0');
    p.dataParser(payload, 2);
    QCOMPARE(spy.count(), 1);
}

void tst_PackParser::mainStatus()
{
    PackParser p(noQueue);
    QSignalSpy spy(&p, &PackParser::mainNetStatus);
    const QByteArray payload = QByteArray::fromHex("8600"
                                                   "01"
                                                   "00"
                                                   "02"
                                                   "260b1c3d") +
                               QByteArray::fromHex("00112233445566778899aabbccddeeff") +
                               QByteArray::fromHex("ffeeddccbbaa99887766554433221100") +
                               QByteArray::fromHex("02"
                                                   "03"
                                                   "01");
    p.dataParser(payload, 2);
    QCOMPARE(spy.count(), 1);
    const auto s = spy.first().first().value<NET_MAIN_STAT>();
    QCOMPARE(int(s.netMode), 1);
    QCOMPARE(int(s.netState), 2);
    QCOMPARE(s.devAddr, QString("260b1c3d"));
    QCOMPARE(s.appSKey, QString("00112233445566778899aabbccddeeff"));
    QCOMPARE(s.nwkSKey, QString("ffeeddccbbaa99887766554433221100"));
    QCOMPARE(int(s.devClass), 2);
    QCOMPARE(int(s.confirmState), 3);
    QCOMPARE(int(s.checkConnectState), 1);
}

void tst_PackParser::quality_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("rssi");
    QTest::addColumn<int>("snr");
    QTest::newRow("-100 dBm, -10") << QByteArray::fromHex("ff9c"
                                                          "f6")
                                   << -100 << -10;
    QTest::newRow("-32768, -128") << QByteArray::fromHex("8000"
                                                         "80")
                                  << -32768 << -128;
    QTest::newRow("positive") << QByteArray::fromHex("0005"
                                                     "0b")
                              << 5 << 11;
}

void tst_PackParser::quality()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, rssi);
    QFETCH(int, snr);
    PackParser p(noQueue);
    QSignalSpy spy(&p, &PackParser::netQulityStatus);
    p.dataParser(QByteArray::fromHex("8602"
                                     "01"
                                     "00") +
                     bytes +
                     QByteArray::fromHex("0f"
                                         "03"),
                 2);
    QCOMPARE(spy.count(), 1);
    const auto s = spy.first().first().value<NET_QUALITY_STAT>();
    QCOMPARE(int(s.rssi), rssi);
    QCOMPARE(int(s.snr), snr);
    QCOMPARE(int(s.netLevel), 15);
    QCOMPARE(int(s.bsCount), 3);
}

void tst_PackParser::lastSend()
{
    PackParser p(noQueue);
    QSignalSpy spy(&p, &PackParser::netLastSendStatus);
    p.dataParser(
        QByteArray::fromHex("8603 01 00 05 02 03 00000172 0000a000 33be27a0 00000007 04 02"), 2);
    const auto s = spy.first().first().value<NET_LAST_SEND_STAT>();
    QCOMPARE(int(s.txDatarate), 5);
    QCOMPARE(int(s.txPower), 2);
    QCOMPARE(int(s.sendRetries), 3);
    QCOMPARE(s.timeOnAir, 370u);
    QCOMPARE(s.upLinkCounter, 0xa000u);
    QCOMPARE(s.upLinkFrequency, 868100000u);
    QCOMPARE(s.downLinkCounter, 7u);
    QCOMPARE(int(s.rxDatarate), 4);
    QCOMPARE(int(s.rxSlot), 2);
}

void tst_PackParser::times()
{
    PackParser p(noQueue);
    QSignalSpy spy(&p, &PackParser::netTimesStatus);
    QByteArray payload = QByteArray::fromHex("8604 01 00");
    for (quint32 t = 1; t <= 10; ++t) {
        const quint32 v = 1765000000u + t;
        payload.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
    }
    p.dataParser(payload, 2);
    const auto s = spy.first().first().value<NET_TIME_STAT>();
    QCOMPARE(s.timeStart, 1765000001u);
    QCOMPARE(s.timeStop, 1765000004u);
    QCOMPARE(s.timeLastConfirmAnswer, 1765000010u);
}

void tst_PackParser::battery()
{
    PackParser p(noQueue);
    QSignalSpy spy(&p, &PackParser::devBatStatus);
    p.dataParser(QByteArray::fromHex("8700 02bd 00 01 0e10 04 02"), 2);
    const auto s = spy.first().first().value<DEV_BAT_STAT>();
    QCOMPARE(int(s.devId), 701);
    QCOMPARE(int(s.powerSource), 1);
    QCOMPARE(int(s.batVoltage), 3600);
    QCOMPARE(int(s.batFlags), 4);
    QCOMPARE(int(s.batError), 2);
}

void tst_PackParser::adc_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("fsm");
    const QByteArray values = QByteArray::fromHex("0001 0002 0003 0004 0005 0006");
    QTest::newRow("750: six") << QByteArray::fromHex("8701 02ee 00 0abc 0ce4") + values << 6
                              << 3300;
    // 2808 is a Vexa760 of hardware revision 2: the low 10 bits decide.
    QTest::newRow("760 rev 2: two")
        << QByteArray::fromHex("8701 0af8 00 0abc 0ce4") + values << 2 << 3300;
    QTest::newRow("701: none") << QByteArray::fromHex("8701 02bd 00 0abc 0ce4") + values << 0 << 0;
    QTest::newRow("unknown id") << QByteArray::fromHex("8701 1234 00 0abc 0ce4") + values << 0 << 0;
}

void tst_PackParser::adc()
{
    QFETCH(QByteArray, payload);
    QFETCH(int, count);
    QFETCH(int, fsm);
    PackParser p(noQueue);
    QSignalSpy spy(&p, &PackParser::devAdcStatus);
    p.dataParser(payload, 2);
    const auto s = spy.first().first().value<DEV_ADC_VALUES>();
    QCOMPARE(int(s.inputCount), count);
    QCOMPARE(s.adcValues.size(), count);
    QCOMPARE(int(s.fsmVoltage), fsm);
    QCOMPARE(int(s.adcValue1), count ? 0x0abc : 0);
    for (int i = 0; i < count; ++i)
        QCOMPARE(int(s.adcValues.at(i)), i + 1);
}

void tst_PackParser::inputs()
{
    PackParser p(noQueue);
    QSignalSpy spy(&p, &PackParser::devInputsParamsStatus);
    p.dataParser(QByteArray::fromHex("8702 02f8 00 000003e8 01 00 ffffffff 00 05"), 2);
    const auto s = spy.first().first().value<DEV_INPUT_PARAMS>();
    QCOMPARE(int(s.inputCount), 2);
    QCOMPARE(s.inputs.size(), 2);
    QCOMPARE(s.inputs.at(0).counter, 1000u);
    QCOMPARE(int(s.inputs.at(0).flag), 1);
    QCOMPARE(s.inputs.at(1).counter, 0xffffffffu);
    QCOMPARE(int(s.inputs.at(1).error), 5);
}

void tst_PackParser::frequencies()
{
    PackParser p(noQueue);
    QSignalSpy spy(&p, &PackParser::getFreqAnswer);
    // Index bytes 0, 1, 5: the third entry is skipped but its bytes still consumed.
    p.dataParser(QByteArray::fromHex("8606 01 00 03"
                                     "00 33be27a0"
                                     "01 33c04030"
                                     "05 33c258c0"
                                     "33d3e608 03"),
                 2);
    QCOMPARE(spy.count(), 1);
    const QList<QVariant> a = spy.first();
    const auto list = a.at(2).value<QList<QPair<int, QString>>>();
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(0), qMakePair(0, QString("868100000")));
    QCOMPARE(list.at(1), qMakePair(1, QString("868237360")));
    QCOMPARE(a.at(3).toString(), QString("869525000"));
    QCOMPARE(a.at(4).toString(), QString("3"));

    // A negative count means no channels; the RX2 fields follow at once.
    spy.clear();
    p.dataParser(QByteArray::fromHex("8606 01 00 ff 33d3e608 00"), 2);
    const auto empty = spy.first().at(2).value<QList<QPair<int, QString>>>();
    QVERIFY(empty.isEmpty());
    QCOMPARE(spy.first().at(3).toString(), QString("869525000"));
}

void tst_PackParser::dateTime()
{
    PackParser p(noQueue);
    QSignalSpy get(&p, &PackParser::getDateTimeAnswer);
    QSignalSpy set(&p, &PackParser::setDateTimeAnswer);
    const QByteArray body = QByteArray::fromHex("6932d600 01f4 000000000000 02");
    p.dataParser(QByteArray::fromHex("8003") + body, 2);
    p.dataParser(QByteArray::fromHex("8004") + body, 2);
    QCOMPARE(get.first().at(0).value<time_t>(), time_t(0x6932d600));
    QCOMPARE(get.first().at(1).value<ushort>(), ushort(500));
    QCOMPARE(get.first().at(2).value<uchar>(), uchar(2));
    QCOMPARE(set.first().at(0).toInt(), 0x6932d600);
    QCOMPARE(set.first().at(1).value<short>(), short(500));
}

void tst_PackParser::fileAnswers()
{
    PackParser p(noQueue);
    QSignalSpy info(&p, &PackParser::fileInfoAnswer);
    QSignalSpy loaded(&p, &PackParser::loadedBlocks);
    QSignalSpy created(&p, &PackParser::createFile);
    QSignalSpy checked(&p, &PackParser::resultCheckFile);
    p.dataParser(QByteArray::fromHex("8102 02 000102 01040c 02f8 010400 abcd"), 2);
    const auto fi = info.first().first().value<FILE_INFO>();
    QCOMPARE(int(fi.fileType), 2);
    QCOMPARE(fi.extraVersion, QString("0.1.2"));
    QCOMPARE(fi.fwVersion, QString("1.4.12"));
    QCOMPARE(int(fi.devId), 760);
    QCOMPARE(fi.updFileVersion, QString("1.4.0"));
    QCOMPARE(int(fi.extraWord), 0xabcd);
    p.dataParser(QByteArray::fromHex("8103 02 00 00 01 00 00012345"), 2);
    p.dataParser(QByteArray::fromHex("8103 02 00 00 00 00 00012345"), 2);
    QCOMPARE(loaded.at(0).first().toInt(), 0x12345);
    QCOMPARE(loaded.at(1).first().toInt(), 0);
    p.dataParser(QByteArray::fromHex("8100 02 00 07"), 2);
    QCOMPARE(created.first().first().value<uchar>(), uchar(7));
    p.dataParser(QByteArray::fromHex("8101 02 03"), 2);
    QCOMPARE(checked.first().first().value<uchar>(), uchar(3));
}

void tst_PackParser::configurationAnswers()
{
    PackParser p(noQueue);
    QSignalSpy read(&p, &PackParser::parseConfiguration);
    QSignalSpy write(&p, &PackParser::answerWriteParam);
    p.dataParser(QByteArray::fromHex("8500 00 01 0a 0004 0000003c"), 2);
    QCOMPARE(read.first().at(0).value<uchar>(), uchar(0));
    QCOMPARE(read.first().at(1).value<uchar>(), uchar(0x0a));
    QCOMPARE(read.first().at(2).toByteArray(), QByteArray::fromHex("0000003c"));
    p.dataParser(QByteArray::fromHex("8501 01 01 05 02"), 2);
    QCOMPARE(write.first().at(0).value<uchar>(), uchar(1));
    QCOMPARE(write.first().at(1).value<uchar>(), uchar(5));
    QCOMPARE(write.first().at(2).value<uchar>(), uchar(2));
}

void tst_PackParser::relayedAnswer()
{
    PackParser p(noQueue);
    QSignalSpy spy(&p, &PackParser::netQulityStatus);
    const QByteArray inner = QByteArray::fromHex("8602 01 00 ff9c f6 0f 03");
    QByteArray wrapped = QByteArray::fromHex("8305 70b3d57ed0001234 02");
    wrapped.append(char(inner.size()));
    wrapped.append(inner);
    p.dataParser(wrapped, 2);
    QCOMPARE(spy.count(), 1);
    const auto s = spy.first().first().value<NET_QUALITY_STAT>();
    QCOMPARE(int(s.rssi), -100);
    QCOMPARE(int(s.bsCount), 3);
}

void tst_PackParser::blockAcknowledgement_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("type");
    QTest::addColumn<uint>("offset");
    QTest::addColumn<uint>("size");
    QTest::newRow("ok") << QByteArray::fromHex("21 00 00 00 0200") << 2 << 0x10000u << 512u;
    QTest::newRow("20-bit offset")
        << QByteArray::fromHex("2f ff fe 00 00c0") << 2 << 0xffffeu << 192u;
    QTest::newRow("status set: offset 0")
        << QByteArray::fromHex("20 04 00 01 0200") << 2 << 0u << 512u;
}

void tst_PackParser::blockAcknowledgement()
{
    QFETCH(QByteArray, payload);
    QFETCH(int, type);
    QFETCH(uint, offset);
    QFETCH(uint, size);
    PackParser p(noQueue);
    QSignalSpy spy(&p, &PackParser::sendNextBlock);
    p.dataParser(payload, 1);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(int(spy.first().at(0).value<uchar>()), type);
    QCOMPARE(spy.first().at(1).toUInt(), offset);
    QCOMPARE(spy.first().at(2).toUInt(), size);
    // The same bytes on the command port are no acknowledgement.
    spy.clear();
    p.dataParser(payload, 2);
    QCOMPARE(spy.count(), 0);
}

void tst_PackParser::shortAnswersReadZeros()
{
    PackParser p(noQueue);
    QSignalSpy main(&p, &PackParser::mainNetStatus);
    QSignalSpy info(&p, &PackParser::setDevInfo);
    p.dataParser(QByteArray::fromHex("8600 01 00 02 26"), 2);
    QCOMPARE(main.count(), 1);
    const auto s = main.first().first().value<NET_MAIN_STAT>();
    QCOMPARE(s.devAddr, QString("26000000"));
    QCOMPARE(int(s.checkConnectState), 0);
    p.dataParser(QByteArray::fromHex("8002 01"), 2);
    QCOMPARE(info.first().at(0).toString(), QString("1.0.0"));
    QCOMPARE(info.first().at(3).toString(), QString("00-00-00-00-00-00-00-00"));
}

void tst_PackParser::unknownCodeIgnored()
{
    PackParser p(noQueue);
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    const QMetaObject *mo = p.metaObject();
    for (int i = mo->methodOffset(); i < mo->methodCount(); ++i) {
        const QMetaMethod m = mo->method(i);
        if (m.methodType() == QMetaMethod::Signal)
            spies.push_back(std::make_unique<QSignalSpy>(
                &p, QByteArray("2" + m.methodSignature()).constData()));
    }
    QVERIFY(spies.size() > 25);
    p.dataParser(QByteArray::fromHex("8fff 0102"), 2);
    p.dataParser(QByteArray::fromHex("0000"), 2);
    p.dataParser(QByteArray(), 2);
    p.dataParser(QByteArray(), 0);
    for (const auto &spy : spies)
        QCOMPARE(spy->count(), 0);
}

QTEST_GUILESS_MAIN(tst_PackParser)
#include "tst_packparser.moc"
