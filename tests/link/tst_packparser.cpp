#include "frame.h"
#include "packparser.h"

#include <QSignalSpy>
#include <QtTest>

namespace {
// Feeds one answer payload (code first, as the device sends it) to a parser and gives the
// arguments of the one emission of signal (empty when it came not once).
template<typename Signal>
QList<QVariant> parse(Signal signal, const QByteArray &payload, quint8 port = Frame::commandPort)
{
    PackParser p(nullptr);
    QSignalSpy spy(&p, signal);
    p.dataParser(payload, port);
    return spy.count() == 1 ? spy.first() : QList<QVariant>();
}

// The record an answer carries, its payload written as hex.
template<typename T, typename Signal> T record(Signal signal, const QByteArray &hex)
{
    return parse(signal, QByteArray::fromHex(hex)).value(0).template value<T>();
}

// Numeric fields of a record, compared in one go.
using Fields = QList<qint64>;
} // namespace

// Payloads are built by hand, code first, as the device sends them.
class tst_PackParser : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { registerLinkMetaTypes(); }
    void deviceInfo();
    void mainStatus();
    void quality_data();
    void quality();
    void lastSendAndTimes();
    void battery();
    void adc_data();
    void adc();
    void inputs();
    void frequencies();
    void dateTime();
    void fileAnswers();
    void configurationAnswers();
    void blockAcknowledgement_data();
    void blockAcknowledgement();
    void shortAnswersReadZeros();
    void unknownCodeIgnored();
};

void tst_PackParser::deviceInfo()
{
    const auto a = parse(&PackParser::setDevInfo, QByteArray::fromHex("8002 01020f 0af8") +
                                                      "VEXA7XX000012345" +
                                                      QByteArray::fromHex("70b3d57ed0001234"));
    QCOMPARE(a.value(0).toString(), QString("1.2.15"));
    QCOMPARE(a.value(1).value<ushort>(), ushort(2808));
    QCOMPARE(a.value(2).toString(), QString("VEXA7XX000012345"));
    QCOMPARE(a.value(3).toString(), QString("70-b3-d5-7e-d0-00-12-34"));
}

void tst_PackParser::mainStatus()
{
    const QByteArray body = QByteArray::fromHex("01 00 02 260b1c3d"
                                                "00112233445566778899aabbccddeeff"
                                                "ffeeddccbbaa99887766554433221100"
                                                "02 03 01");
    const auto s = record<NET_MAIN_STAT>(&PackParser::mainNetStatus, "8600" + body.toHex());
    QCOMPARE((Fields{s.netMode, s.netState, s.devClass, s.confirmState, s.checkConnectState}),
             (Fields{1, 2, 2, 3, 1}));
    QCOMPARE((QStringList{s.devAddr, s.appSKey, s.nwkSKey}),
             (QStringList{"260b1c3d", "00112233445566778899aabbccddeeff",
                          "ffeeddccbbaa99887766554433221100"}));
    // Some firmware marks its answer codes; the mark carries no meaning.
    QVERIFY(!parse(&PackParser::mainNetStatus, QByteArray::fromHex("c600") + body).isEmpty());
}

void tst_PackParser::quality_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("rssi");
    QTest::addColumn<int>("snr");
    QTest::newRow("-100 dBm, -10") << QByteArray("8602 01 00 ff9c f6 0f 03") << -100 << -10;
    QTest::newRow("-32768, -128") << QByteArray("8602 01 00 8000 80 0f 03") << -32768 << -128;
    QTest::newRow("positive") << QByteArray("8602 01 00 0005 0b 0f 03") << 5 << 11;
    // A relayed answer carries the remote device's payload after its DevEUI, port and length.
    QTest::newRow("relayed") << QByteArray("8305 70b3d57ed0001234 02 09 8602 01 00 ff9c f6 0f 03")
                             << -100 << -10;
}

void tst_PackParser::quality()
{
    QFETCH(QByteArray, payload);
    QFETCH(int, rssi);
    QFETCH(int, snr);
    const auto s = record<NET_QUALITY_STAT>(&PackParser::netQulityStatus, payload);
    QCOMPARE((Fields{s.rssi, s.snr, s.netLevel, s.bsCount}), (Fields{rssi, snr, 15, 3}));
}

void tst_PackParser::lastSendAndTimes()
{
    const auto s =
        record<NET_LAST_SEND_STAT>(&PackParser::netLastSendStatus,
                                   "8603 01 00 05 02 03 00000172 0000a000 33be27a0 00000007 04 02");
    QCOMPARE((Fields{s.txDatarate, s.txPower, s.sendRetries, s.timeOnAir, s.upLinkCounter,
                     s.upLinkFrequency, s.downLinkCounter, s.rxDatarate, s.rxSlot}),
             (Fields{5, 2, 3, 370, 0xa000, 868100000, 7, 4, 2}));

    QByteArray times = "8604 01 00";
    for (quint32 t = 1; t <= 10; ++t)
        times += QByteArray::number(1765000000u + t, 16);
    const auto t = record<NET_TIME_STAT>(&PackParser::netTimesStatus, times);
    QCOMPARE((Fields{t.timeStart, t.timeStop, t.timeLastConfirmAnswer}),
             (Fields{1765000001, 1765000004, 1765000010}));
}

void tst_PackParser::battery()
{
    const auto s = record<DEV_BAT_STAT>(&PackParser::devBatStatus, "8700 02bd 00 01 0e10 04 02");
    QCOMPARE((Fields{s.devId, s.powerSource, s.batVoltage, s.batFlags, s.batError}),
             (Fields{701, 1, 3600, 4, 2}));
}

void tst_PackParser::adc_data()
{
    QTest::addColumn<QByteArray>("devId");
    QTest::addColumn<int>("count");
    QTest::newRow("750: six") << QByteArray("02ee") << 6;
    // 2808 is a Vexa760 of hardware revision 2: the low 10 bits decide.
    QTest::newRow("760 rev 2: two") << QByteArray("0af8") << 2;
    QTest::newRow("701: none") << QByteArray("02bd") << 0;
    QTest::newRow("unknown id") << QByteArray("1234") << 0;
}

void tst_PackParser::adc()
{
    QFETCH(QByteArray, devId);
    QFETCH(int, count);
    const auto s = record<DEV_ADC_VALUES>(
        &PackParser::devAdcStatus, "8701" + devId + "00 0abc 0ce4 0001 0002 0003 0004 0005 0006");
    QCOMPARE(int(s.inputCount), count);
    QCOMPARE(s.adcValues.size(), count);
    QCOMPARE(int(s.fsmVoltage), count ? 3300 : 0);
    QCOMPARE(int(s.adcValue1), count ? 0x0abc : 0);
    for (int i = 0; i < count; ++i)
        QCOMPARE(int(s.adcValues.at(i)), i + 1);
}

void tst_PackParser::inputs()
{
    const auto s = record<DEV_INPUT_PARAMS>(&PackParser::devInputsParamsStatus,
                                            "8702 02f8 00 000003e8 01 00 ffffffff 00 05");
    QCOMPARE((Fields{s.inputCount, s.inputs.size()}), (Fields{2, 2}));
    QCOMPARE((Fields{s.inputs.at(0).counter, s.inputs.at(0).flag, s.inputs.at(1).counter,
                     s.inputs.at(1).error}),
             (Fields{1000, 1, 0xffffffff, 5}));
}

void tst_PackParser::frequencies()
{
    using Channels = QList<QPair<int, QString>>;
    // Index bytes 0, 1, 5: the third entry is skipped but its bytes still consumed.
    auto a = parse(&PackParser::getFreqAnswer,
                   QByteArray::fromHex("8606 01 00 03 00 33be27a0 01 33c04030 05 33c258c0"
                                       "33d3e608 03"));
    QCOMPARE(a.value(2).value<Channels>(),
             (Channels{{0, QString("868100000")}, {1, QString("868237360")}}));
    QCOMPARE(a.value(3).toString(), QString("869525000"));
    QCOMPARE(a.value(4).toString(), QString("3"));
    // A negative count means no channels; the RX2 fields follow at once.
    a = parse(&PackParser::getFreqAnswer, QByteArray::fromHex("8606 01 00 ff 33d3e608 00"));
    QVERIFY(a.value(2).value<Channels>().isEmpty());
    QCOMPARE(a.value(3).toString(), QString("869525000"));
}

void tst_PackParser::dateTime()
{
    const QByteArray body = QByteArray::fromHex("6932d600 01f4 000000000000 02");
    const auto get = parse(&PackParser::getDateTimeAnswer, QByteArray::fromHex("8003") + body);
    QCOMPARE((Fields{get.value(0).value<time_t>(), get.value(1).value<ushort>(),
                     get.value(2).value<uchar>()}),
             (Fields{0x6932d600, 500, 2}));
    const auto set = parse(&PackParser::setDateTimeAnswer, QByteArray::fromHex("8004") + body);
    QCOMPARE(set.value(0).toInt(), 0x6932d600);
    QCOMPARE(set.value(1).value<short>(), short(500));
}

void tst_PackParser::fileAnswers()
{
    const auto fi =
        record<FILE_INFO>(&PackParser::fileInfoAnswer, "8102 02 000102 01040c 02f8 010400 abcd");
    QCOMPARE((Fields{fi.fileType, fi.devId, fi.extraWord}), (Fields{2, 760, 0xabcd}));
    QCOMPARE((QStringList{fi.extraVersion, fi.fwVersion, fi.updFileVersion}),
             (QStringList{"0.1.2", "1.4.12", "1.4.0"}));
    QCOMPARE(record<uint>(&PackParser::loadedBlocks, "8103 02 00 00 01 00 00012345"), 0x12345u);
    QCOMPARE(record<uint>(&PackParser::loadedBlocks, "8103 02 00 00 00 00 00012345"), 0u);
    // A size past 2^31 stays a size, never a negative offset.
    QCOMPARE(record<uint>(&PackParser::loadedBlocks, "8103 02 00 00 01 00 80000000"), 0x80000000u);
    QCOMPARE(record<uchar>(&PackParser::createFile, "8100 02 00 07"), uchar(7));
    QCOMPARE(record<uchar>(&PackParser::resultCheckFile, "8101 02 03"), uchar(3));
}

void tst_PackParser::configurationAnswers()
{
    const auto read =
        parse(&PackParser::parseConfiguration, QByteArray::fromHex("8500 00 01 0a 0004 0000003c"));
    QCOMPARE((Fields{read.value(0).value<uchar>(), read.value(1).value<uchar>()}),
             (Fields{0, 0x0a}));
    QCOMPARE(read.value(2).toByteArray(), QByteArray::fromHex("0000003c"));
    const auto write =
        parse(&PackParser::answerWriteParam, QByteArray::fromHex("8501 01 01 05 02"));
    QCOMPARE((Fields{write.value(0).value<uchar>(), write.value(1).value<uchar>(),
                     write.value(2).value<uchar>()}),
             (Fields{1, 5, 2}));
}

void tst_PackParser::blockAcknowledgement_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<uint>("offset");
    QTest::addColumn<uint>("size");
    QTest::addColumn<int>("status");
    QTest::newRow("ok") << QByteArray::fromHex("21 00 00 00 0200") << 0x10000u << 512u << 0;
    QTest::newRow("20-bit offset")
        << QByteArray::fromHex("2f ff fe 00 00c0") << 0xffffeu << 192u << 0;
    QTest::newRow("status set: offset 0")
        << QByteArray::fromHex("20 04 00 01 0200") << 0u << 512u << 1;
}

void tst_PackParser::blockAcknowledgement()
{
    QFETCH(QByteArray, payload);
    QFETCH(uint, offset);
    QFETCH(uint, size);
    QFETCH(int, status);
    const auto a = parse(&PackParser::sendNextBlock, payload, Frame::filePort);
    QCOMPARE(int(a.value(0).value<uchar>()), 2);
    QCOMPARE(a.value(1).toUInt(), offset);
    QCOMPARE(a.value(2).toUInt(), size);
    QCOMPARE(int(a.value(3).value<uchar>()), status);
    // The same bytes on the command port are no acknowledgement.
    QVERIFY(parse(&PackParser::sendNextBlock, payload).isEmpty());
}

void tst_PackParser::shortAnswersReadZeros()
{
    const auto s = record<NET_MAIN_STAT>(&PackParser::mainNetStatus, "8600 01 00 02 26");
    QCOMPARE(s.devAddr, QString("26000000"));
    QCOMPARE(int(s.checkConnectState), 0);
    const auto info = parse(&PackParser::setDevInfo, QByteArray::fromHex("8002 01"));
    QCOMPARE(info.value(0).toString(), QString("1.0.0"));
    QCOMPARE(info.value(3).toString(), QString("00-00-00-00-00-00-00-00"));
}

void tst_PackParser::unknownCodeIgnored()
{
    PackParser p(nullptr);
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    const QMetaObject *mo = p.metaObject();
    for (int i = mo->methodOffset(); i < mo->methodCount(); ++i) {
        const QMetaMethod m = mo->method(i);
        if (m.methodType() == QMetaMethod::Signal)
            spies.push_back(std::make_unique<QSignalSpy>(
                &p, QByteArray("2" + m.methodSignature()).constData()));
    }
    QVERIFY(spies.size() > 25);
    p.dataParser(QByteArray::fromHex("8fff 0102"), Frame::commandPort);
    p.dataParser(QByteArray::fromHex("0000"), Frame::commandPort);
    p.dataParser(QByteArray(), Frame::commandPort);
    p.dataParser(QByteArray(), 0);
    for (const auto &spy : spies)
        QCOMPARE(spy->count(), 0);
}

QTEST_GUILESS_MAIN(tst_PackParser)
#include "tst_packparser.moc"
