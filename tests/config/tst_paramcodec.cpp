#include "configdocument.h"
#include "paramcodec.h"

#include <QtTest>

using namespace ParamCodec;

class tst_ParamCodec : public QObject
{
    Q_OBJECT
private slots:
    void typedNumbers_data();
    void typedNumbers();
    void numbersShown_data();
    void numbersShown();
    void keysWhole();
    void booleans_data();
    void booleans();
    void timeZones_data();
    void timeZones();
    void fixedPoints_data();
    void fixedPoints();
    void timings_data();
    void timings();
    void compositeRead();
    void writePayloadValues_data();
    void writePayloadValues();
    void elementChecks_data();
    void elementChecks();
    void meterBlocks_data();
    void meterBlocks();
    void meterTypeForms_data();
    void meterTypeForms();
};

void tst_ParamCodec::typedNumbers_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<qint64>("typed");
    QTest::addColumn<QString>("text");
    QTest::newRow("tx_period low") << "tx_period" << qint64(30) << "0000003c";
    QTest::newRow("tx_period high") << "tx_period" << qint64(100000) << "00015180";
    QTest::newRow("tx_period ok") << "tx_period" << qint64(3600) << "00000e10";
    QTest::newRow("nb_trials 0") << "nb_trials" << qint64(0) << "01";
    QTest::newRow("count_diff 5") << "count_diff_0" << qint64(5) << "00002710";
    QTest::newRow("count_diff huge") << "count_diff_3" << qint64(9999999999LL) << "ffffffff";
    QTest::newRow("scan_period 1") << "scan_period" << qint64(1) << "0005";
    QTest::newRow("save_every_times 10") << "save_every_times" << qint64(10) << "003c";
    QTest::newRow("no clamp") << "rs_repeat" << qint64(7) << "07";
}

void tst_ParamCodec::typedNumbers()
{
    QFETCH(QString, element);
    QFETCH(qint64, typed);
    QFETCH(QString, text);
    const ParamCatalogue::Param *p = ParamCatalogue::byElement(element);
    QVERIFY(p);
    QCOMPARE(numberText(*p, typed), text);
}

void tst_ParamCodec::numbersShown_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("hex");
    QTest::addColumn<qint64>("shown");
    QTest::newRow("period") << "tx_period" << QString("00000e10") << qint64(3600);
    QTest::newRow("count_diff unsigned")
        << "count_diff_1" << QString("ffffffff") << qint64(4294967295LL);
    QTest::newRow("signed others") << "tx_period" << QString("ffffffff") << qint64(-1);
    QTest::newRow("light unsigned") << "ambient_light_level" << QString("ff") << qint64(255);
    QTest::newRow("not hex") << "tx_period" << QString("zz") << qint64(0);
}

void tst_ParamCodec::numbersShown()
{
    QFETCH(QString, element);
    QFETCH(QString, hex);
    QFETCH(qint64, shown);
    QCOMPARE(numberFromText(element, hex), shown);
}

void tst_ParamCodec::keysWhole()
{
    // A key is taken only whole: never padded, cut or carrying anything but hex digits.
    QCOMPARE(keyText(QString(32, 'F'), 16), QString(32, 'f'));
    for (const QString &bad : {QString("12abc"), QString("12zz"), QString(), QString(17, 'a'),
                               QString("0123456789abcdeg")})
        QVERIFY2(keyText(bad, 8).isNull(), qPrintable(bad));
    QCOMPARE(hexNumber(868900000, 4), QString("33ca5ca0"));
    QCOMPARE(hexNumber(0x1ffffffffULL, 4), QString("1ffffffff")); // never truncated
}

void tst_ParamCodec::booleans_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("text");
    QTest::newRow("adr on") << "use_adr" << true << "01";
    QTest::newRow("adr off") << "use_adr" << false << "00";
    QTest::newRow("private checked") << "private" << true << "00";
    QTest::newRow("private clear") << "private" << false << "01";
}

void tst_ParamCodec::booleans()
{
    QFETCH(QString, element);
    QFETCH(bool, checked);
    QFETCH(QString, text);
    QCOMPARE(boolText(element, checked), text);
    QCOMPARE(checkedFromText(element, text), checked);
}

void tst_ParamCodec::timeZones_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("text");
    QTest::newRow("UTC-01:00") << -3600 << "fffff1f0";
    QTest::newRow("UTC+03:00") << 10800 << "00002a30";
    QTest::newRow("UTC") << 0 << "00000000";
    QTest::newRow("UTC-12:00") << -43200 << "ffff5740";
    QTest::newRow("UTC+05:45") << 20700 << "000050dc";
}

void tst_ParamCodec::timeZones()
{
    QFETCH(int, offset);
    QFETCH(QString, text);
    QCOMPARE(timeZoneText(offset), text);
    QCOMPARE(timeZoneOffset(text), offset);
}

void tst_ParamCodec::fixedPoints_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("everyDay");
    QTest::addColumn<int>("day");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("every day 12:30:05") << true << true << 5 << QTime(12, 30, 5) << "200c1e05";
    QTest::newRow("disabled midnight") << false << false << 1 << QTime(0, 0, 0) << "00000000";
    QTest::newRow("disabled keeps time") << false << true << 3 << QTime(8, 15, 0) << "00080f00";
    QTest::newRow("day 31") << true << false << 31 << QTime(23, 59, 59) << "1f173b3b";
}

void tst_ParamCodec::fixedPoints()
{
    QFETCH(bool, enabled);
    QFETCH(bool, everyDay);
    QFETCH(int, day);
    QFETCH(QTime, time);
    QFETCH(QString, text);
    FixedPoint p;
    p.enabled = enabled;
    p.everyDay = everyDay;
    p.day = day;
    p.time = time;
    QCOMPARE(fixedPointText(p), text);
    const FixedPoint back = fixedPointFromText(text);
    QCOMPARE(back.enabled, enabled);
    QCOMPARE(back.time, time);
    if (enabled) {
        QCOMPARE(back.everyDay, everyDay);
        if (!everyDay)
            QCOMPARE(back.day, day);
    }
}

void tst_ParamCodec::timings_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("scan");
    QTest::addColumn<QString>("text");
    QTest::newRow("mode 1, 100 ms") << 1 << 100 << "00020002000a000a";
    QTest::newRow("mode 2, 100 ms") << 2 << 100 << "00320032000a000a";
    QTest::newRow("mode 0, 5 ms") << 0 << 5 << "03e803e800c800c8";
    QTest::newRow("zero period does not divide") << 2 << 0 << "0000000000000000";
}

void tst_ParamCodec::timings()
{
    QFETCH(int, mode);
    QFETCH(int, scan);
    QFETCH(QString, text);
    QCOMPARE(timingText(mode, scan), text);
}

void tst_ParamCodec::compositeRead()
{
    const ParamCatalogue::Param *p = ParamCatalogue::byElement("rs_settings");
    const AttributeList a = attributesFromValue(*p, QByteArray::fromHex("00002580080001"));
    QCOMPARE(a, (AttributeList{{"rs_speed", "00002580"},
                               {"rs_data_bits", "08"},
                               {"rs_parity", "00"},
                               {"rs_stop_bits", "01"}}));
    const ParamCatalogue::Param *m = ParamCatalogue::byElement("rs_meter_config");
    const AttributeList meter =
        attributesFromValue(*m, QByteArray::fromHex("0b") + QByteArray(5, '\1'));
    QCOMPARE(meter.at(0), (QPair<QString, QString>("meter_type", "11")));
    QCOMPARE(meter.at(1).second, QString("0101010101"));
}

void tst_ParamCodec::writePayloadValues_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QString>("value");
    QTest::newRow("tx_period") << "<tx_period param=\"00015180\"/>"
                               << "00015180";
    QTest::newRow("upper case accepted") << "<tx_period param=\"00015ABC\"/>"
                                         << "00015abc";
    QTest::newRow("rs_settings")
        << "<rs_settings rs_speed=\"00002580\" rs_data_bits=\"00\" rs_parity=\"00\" "
           "rs_stop_bits=\"00\"/>"
        << "00002580000000";
    QTest::newRow("meter type 11 decimal")
        << "<rs_meter_config meter_type=\"11\" config=\"0100000001\"/>"
        << "0b0100000001";
    QTest::newRow("meter type 11 as hex")
        << "<rs_meter_config meter_type=\"0b\" config=\"0100000001\"/>"
        << "0b0100000001";
}

void tst_ParamCodec::writePayloadValues()
{
    QFETCH(QString, xml);
    QFETCH(QString, value);
    QDomDocument d;
    QVERIFY(d.setContent(xml));
    const ParamCatalogue::Param *p = ParamCatalogue::byElement(d.documentElement().tagName());
    QCOMPARE(valueTextOf(*p, d.documentElement()), value);
}

void tst_ParamCodec::elementChecks_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<bool>("sound");
    QTest::newRow("good") << "<tx_period param=\"00000e10\"/>" << true;
    QTest::newRow("short") << "<tx_period param=\"0e10\"/>" << false;
    QTest::newRow("odd digits") << "<tx_period param=\"0000e10\"/>" << false;
    QTest::newRow("not hex") << "<tx_period param=\"0000xe10\"/>" << false;
    QTest::newRow("missing param") << "<tx_period/>" << false;
    QTest::newRow("opaque any length") << "<bat_min_level param=\"0bb800\"/>" << true;
    QTest::newRow("opaque empty") << "<bat_min_level param=\"\"/>" << false;
    QTest::newRow("field short")
        << "<rs_settings rs_speed=\"2580\" rs_data_bits=\"08\" rs_parity=\"00\" "
           "rs_stop_bits=\"01\"/>"
        << false;
    QTest::newRow("field missing")
        << "<rs_settings rs_speed=\"00002580\" rs_data_bits=\"08\"/>" << false;
    QTest::newRow("meter block of its type")
        << "<rs_meter_config meter_type=\"3\" config=\"05\"/>" << true;
    QTest::newRow("meter block wrong size")
        << "<rs_meter_config meter_type=\"3\" config=\"0505\"/>" << false;
    QTest::newRow("meter type unknown")
        << "<rs_meter_config meter_type=\"13\" config=\"\"/>" << false;
    QTest::newRow("read-only") << "<interface_type param=\"01\"/>" << false;
}

void tst_ParamCodec::elementChecks()
{
    QFETCH(QString, xml);
    QFETCH(bool, sound);
    QDomDocument d;
    QVERIFY(d.setContent(xml));
    const ParamCatalogue::Param *p = ParamCatalogue::byElement(d.documentElement().tagName());
    QCOMPARE(checkElement(*p, d.documentElement()).isEmpty(), sound);
    QCOMPARE(valueTextOf(*p, d.documentElement()).isEmpty(), !sound);
}

void tst_ParamCodec::meterBlocks_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QVariantMap>("fields");
    QTest::addColumn<QString>("config");
    QTest::newRow("0") << 0 << QVariantMap{{"merc23XNetAdrLineEdit", "17"},
                                           {"merch23XSnLineEdit", "012345678901"},
                                           {"merch23XUserPassLineEdit", "123456"},
                                           {"merch234MasterPassLineEdit", "654321"},
                                           {"merc23XConvToHexCheckBox", "1"},
                                           {"merc23XTransmitByPhasesCheckBox", "0"}}
                       << "11" + QString::fromLatin1(QByteArray("012345678901").toHex()) +
                              QString::fromLatin1(QByteArray("654321").toHex()) +
                              QString::fromLatin1(QByteArray("123456").toHex()) + "0100";
    QTest::newRow("1") << 1 << QVariantMap{{"merc206Adr1LineEdit", "1"},
                                           {"merc206Adr2LineEdit", "4294967295"},
                                           {"merc206Adr3LineEdit", "0"},
                                           {"merc206Adr4LineEdit", "256"},
                                           {"merc206Adr5LineEdit", "7"},
                                           {"merc206Adr6LineEdit", "65536"}}
                       << "00000001ffffffff000000000000010000000007"
                          "00010000";
    QTest::newRow("11") << 11
                        << QVariantMap{{"ce2727uNetAdrLineEdit", "5"},
                                       {"ce2727uPassLineEdit", "123456"}}
                        << "050001e240";
    QTest::newRow("12") << 12
                        << QVariantMap{{"se303IdLineEdit", "123456789"},
                                       {"se303PassLineEdit", "777111"}}
                        << QString::fromLatin1(QByteArray("987654321").toHex()) + "00" +
                               QString::fromLatin1(QByteArray("111777").toHex());
    QTest::newRow("2 empty") << 2 << QVariantMap{} << "";
}

void tst_ParamCodec::meterBlocks()
{
    QFETCH(int, type);
    QFETCH(QVariantMap, fields);
    QFETCH(QString, config);
    QCOMPARE(meterConfigFromFields(type, fields), config);
    QCOMPARE(config.size() / 2, ParamCatalogue::meterConfigBytes(type));
    QCOMPARE(meterFieldsFromConfig(type, config), fields);
}

void tst_ParamCodec::meterTypeForms_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("type");
    QTest::newRow("decimal 7") << "7" << 7;
    QTest::newRow("decimal 12") << "12" << 12;
    QTest::newRow("hex 0c") << "0c" << 12;
    QTest::newRow("hex 0a") << "0a" << 10;
    QTest::newRow("13 unknown") << "13" << -1;
    QTest::newRow("garbage") << "x" << -1;
}

void tst_ParamCodec::meterTypeForms()
{
    QFETCH(QString, text);
    QFETCH(int, type);
    QCOMPARE(meterTypeFromText(text), type);
}

QTEST_APPLESS_MAIN(tst_ParamCodec)
#include "tst_paramcodec.moc"
