#include "db_worker.h"
#include "paramcodec.h"
#include "paramvalue.h"
#include "simdevice.h"
#include "tempappdir.h"

#include <QTranslator>
#include <QtTest>

using ParamValue::Lang;

// Values in words and back, with the choice lists and English of the shipped database and
// translation.
class tst_ParamValue : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase() { db.reset(); }
    void shown_data();
    void shown();
    void typed_data();
    void typed();
    void refused_data();
    void refused();
    void labels_data();
    void labels();
    void modelDefaults_data();
    void modelDefaults();

private:
    // The vocabulary of a model as the window would have it.
    ParamValue::Vocabulary vocabularyOf(int model, int revision);

    TempAppDir dir;
    std::unique_ptr<DB_Worker> db;
    QTranslator english;
    ParamValue::Vocabulary lists;
};

void tst_ParamValue::initTestCase()
{
    QVERIFY(dir.isValid());
    QVERIFY(QFile::copy(VEXA_BUILT_DEVICES_DB, dir.path("devices.db")));
    QVERIFY(english.load(QStringLiteral(VEXA_BUILT_TRANSLATIONS_DIR "/en.qm")));
    db = std::make_unique<DB_Worker>();
    QVERIFY(db->checkDb());
    // The lists of all models together: the optical sensor's of the 701, the interface's of
    // the 760.
    lists = vocabularyOf(701, 0);
    const ParamValue::Vocabulary v760 = vocabularyOf(760, 0);
    for (auto it = v760.choices.begin(); it != v760.choices.end(); ++it)
        lists.choices.insert(it.key(), it.value());
    QVERIFY(!lists.choices.value("tx_dr").isEmpty());
}

ParamValue::Vocabulary tst_ParamValue::vocabularyOf(int model, int revision)
{
    SimConfig config;
    config.model = model;
    config.revision = revision;
    db->setCurrentFwGroup(
        db->getFwGroup(config.firmwareVersion(), DeviceIdentity::keyOf(config.deviceId())));
    return ParamValue::vocabulary([this](const QString &n) { return db->getFormElementSource(n); },
                                  &english);
}

// Document text -> words in each language, and each of those words back to the same text.
void tst_ParamValue::shown_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("russian");
    QTest::addColumn<QString>("english");
    auto row = [](const char *name, const char *e, const char *a, const char *t, const char *ru,
                  const char *en) {
        QTest::newRow(name) << e << a << t << QString::fromUtf8(ru) << QString::fromUtf8(en);
    };
    row("seconds", "tx_period", "param", "00000e10", "3600 с", "3600 s");
    row("milliseconds", "scan_period", "param", "0064", "100 мс", "100 ms");
    row("pulses", "save_every_values", "param", "0064", "100 имп.", "100 pulses");
    row("periods", "check_connect", "param", "0a", "10 периодов", "10 periods");
    row("plain number", "nb_trials", "param", "03", "3", "3");
    row("count threshold", "count_diff_2", "param", "00002710", "10000 имп.", "10000 pulses");
    row("frequency", "freq_channel_3", "param", "33be27a0", "868.1 МГц", "868.1 MHz");
    row("whole MHz", "rx2_freq", "param", "337f9800", "864 МГц", "864 MHz");
    row("unused channel", "freq_channel_9", "param", "00000000", "0 МГц", "0 MHz");
    row("check box", "use_adr", "param", "01", "вкл", "on");
    row("check box off", "ldc", "param", "00", "выкл", "off");
    row("private 00 is on", "private", "param", "00", "вкл", "on");
    row("private 01 is off", "private", "param", "01", "выкл", "off");
    row("activation", "otaa_activation", "param", "01", "OTAA", "OTAA");
    row("personalisation", "otaa_activation", "param", "00", "ABP", "ABP");
    row("data rate", "tx_dr", "param", "00", "DR0 SF12/125 кГц (0)", "DR0 SF12/125 kHz (0)");
    row("power", "tx_power", "param", "01", "14 дБм (1)", "14 dBm (1)");
    row("region", "region", "param", "03", "Пользовательский (3)", "Custom (3)");
    row("rx2 data rate", "rx2_dr", "param", "05", "DR5 SF7/125 кГц (5)", "DR5 SF7/125 kHz (5)");
    row("choice with gaps", "remove_confirm_net", "param", "0a", "После 10 неподтверждённых (10)",
        "After 10 unconfirmed packets (10)");
    row("eui", "dev_eui", "param", "70b3d57ed0000001", "70-B3-D5-7E-D0-00-00-01",
        "70-B3-D5-7E-D0-00-00-01");
    row("key", "app_key", "param", "000102030405060708090a0b0c0d0e0f",
        "000102030405060708090a0b0c0d0e0f", "000102030405060708090a0b0c0d0e0f");
    row("zone east", "time_zone", "param", "00002a30", "UTC+03:00", "UTC+03:00");
    row("zone west", "time_zone", "param", "ffffb9b0", "UTC-05:00", "UTC-05:00");
    row("zone half hour", "time_zone", "param", "00004d58", "UTC+05:30", "UTC+05:30");
    row("point every day", "time_fix_0", "param", "200c0000", "ежедневно 12:00:00",
        "every day 12:00:00");
    row("point on a day", "time_fix_1", "param", "0f081e05", "день 15, 08:30:05",
        "day 15, 08:30:05");
    row("point off", "time_fix_2", "param", "00000000", "выкл", "off");
    row("opaque", "bat_min_level", "param", "0BB8", "0bb8", "0bb8");
    row("baud", "rs_settings", "rs_speed", "00002580", "9600 бод", "9600 baud");
    row("parity", "rs_settings", "rs_parity", "02", "Нечётный (2)", "Odd (2)");
    row("field ms", "crts_settings", "CTSTime", "0064", "100 мс", "100 ms");
    row("meter type", "rs_meter_config", "meter_type", "10", "СЭТ-4ТМ (10)", "SET-4TM (10)");
}

void tst_ParamValue::shown()
{
    QFETCH(QString, element);
    QFETCH(QString, attribute);
    QFETCH(QString, text);
    QFETCH(QString, russian);
    QFETCH(QString, english);
    const ParamCatalogue::Param *p = ParamCatalogue::byElement(element);
    QVERIFY(p);
    QCOMPARE(ParamValue::human(*p, attribute, text, Lang::Russian, lists), russian);
    QCOMPARE(ParamValue::human(*p, attribute, text, Lang::English, lists), english);
    for (const QString &words : {russian, english}) {
        QString back;
        QString error;
        QVERIFY2(ParamValue::parse(*p, attribute, words, lists, &back, &error), qPrintable(error));
        QCOMPARE(back, text.toLower());
    }
}

// Other ways of typing a value.
void tst_ParamValue::typed_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    auto row = [](const char *name, const char *e, const char *a, const char *typed,
                  const char *t) {
        QTest::newRow(name) << e << a << QString::fromUtf8(typed) << t;
    };
    row("hours", "tx_period", "param", "2h", "00001c20");
    row("minutes with a fraction", "tx_period", "param", "1.5 min", "0000005a");
    row("a day", "tx_period", "param", "1 d", "00015180");
    row("russian unit", "tx_period", "param", "2 ч", "00001c20");
    row("ms field in s", "crts_settings", "CTSTime", "0,5 s", "01f4");
    row("own unit", "save_every_values", "param", "100 pulses", "0064");
    row("kHz", "freq_channel_0", "param", "868300 kHz", "33c134e0");
    row("Hz", "freq_channel_0", "param", "868300000 Hz", "33c134e0");
    row("comma decimal", "freq_channel_0", "param", "868,3", "33c134e0");
    row("choice by code", "tx_power", "param", "3", "03");
    row("choice any case", "tx_power", "param", "14 DBM", "01");
    row("choice russian", "region", "param", "пользовательский", "03");
    row("choice by position", "pulse_counting_mode", "param", "Both edges", "02");
    row("bool word", "tx_confirm", "param", "ON", "01");
    row("bool yes", "tx_confirm", "param", "да", "01");
    row("private on", "private", "param", "on", "00");
    row("key with dashes", "dev_eui", "param", "70-b3-d5-7e-d0-00-00-02", "70b3d57ed0000002");
    row("zone short", "time_zone", "param", "+3", "00002a30");
    row("zone plain", "time_zone", "param", "UTC", "00000000");
    row("zone minutes", "time_zone", "param", "UTC-03:30", "ffffcec8");
    row("point no seconds", "time_fix_3", "param", "every day 7:05", "20070500");
    row("point russian", "time_fix_3", "param", "день 3 23:59", "03173b00");
    row("count threshold zero", "count_diff_0", "param", "0", "00000000");
    row("meter type by name", "rs_meter_config", "meter_type", "Mercury 230/234", "0");
    row("opaque spaced", "bat_max_level", "param", "10 68", "1068");
}

void tst_ParamValue::typed()
{
    QFETCH(QString, element);
    QFETCH(QString, attribute);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    const ParamCatalogue::Param *p = ParamCatalogue::byElement(element);
    if (!p)
        QSKIP("no such element");
    QString out;
    QString error;
    QVERIFY2(ParamValue::parse(*p, attribute, typed, lists, &out, &error), qPrintable(error));
    QCOMPARE(out, text);
}

// Refusals name what is allowed.
void tst_ParamValue::refused_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("named");
    auto row = [](const char *name, const char *e, const char *a, const char *typed,
                  const char *named) {
        QTest::newRow(name) << e << a << QString::fromUtf8(typed) << QString::fromUtf8(named);
    };
    row("below range", "tx_period", "param", "59", "60..86400 s");
    row("above range in hours", "tx_period", "param", "25h", "60..86400 s");
    row("ms range", "scan_period", "param", "1 s", "5..500 ms");
    row("count threshold gap", "count_diff_1", "param", "5", "0 or 10000..4294967295");
    row("byte width", "rs_repeat", "param", "256", "0..255");
    row("field width", "rs_timings", "OnTime", "70000", "0..65535 ms");
    row("frequency band", "freq_channel_4", "param", "900", "0 or 863..870 MHz");
    row("fraction of a second", "tx_period", "param", "100.5", "whole number");
    row("bad duration unit", "tx_period", "param", "5 weeks", "weeks");
    row("bad frequency unit", "rx2_freq", "param", "0.869 GHz", "Hz, kHz, MHz");
    row("unit of another kind", "save_every_values", "param", "100 s", "pulses");
    row("not a number", "nb_trials", "param", "many", "many");
    row("unknown choice", "tx_power", "param", "30 dBm", "14 dBm (1)");
    row("code not offered", "tx_dr", "param", "9", "DR5 SF7/125 kHz (5)");
    row("text and code disagree", "tx_power", "param", "14 dBm (2)", "16 dBm (0)");
    row("bool", "use_adr", "param", "maybe", "on or off");
    row("short key", "app_key", "param", "0102", "32 hex");
    row("zone too far", "time_zone", "param", "+15", "UTC+14:00");
    row("day of month", "time_fix_0", "param", "day 32, 10:00", "1..31");
    row("time of day", "time_fix_0", "param", "every day 25:00", "every day 12:00");
    row("opaque length", "timing_0", "param", "0002", "bytes");
    row("read only", "interface_type", "param", "01", "interface_type");
}

void tst_ParamValue::refused()
{
    QFETCH(QString, element);
    QFETCH(QString, attribute);
    QFETCH(QString, typed);
    QFETCH(QString, named);
    const ParamCatalogue::Param *p = ParamCatalogue::byElement(element);
    QVERIFY(p);
    QString out = QStringLiteral("untouched");
    QString error;
    QVERIFY(!ParamValue::parse(*p, attribute, typed, lists, &out, &error, Lang::English));
    QCOMPARE(out, QStringLiteral("untouched"));
    QVERIFY2(error.contains(named), qPrintable(error));
}

// Every writable element and field has a label and unit in both languages.
void tst_ParamValue::labels_data()
{
    QTest::addColumn<QString>("name");
    for (const ParamCatalogue::Param &p : ParamCatalogue::all()) {
        if (p.kind == ParamCatalogue::Kind::ReadOnly)
            continue;
        for (const QString &a : ParamValue::attributes(p)) {
            const QString name = a == QLatin1String("param") ? QString(p.element) : a;
            QTest::newRow(qPrintable(name)) << name;
        }
    }
}

void tst_ParamValue::labels()
{
    QFETCH(QString, name);
    const ParamLabels::Entry *e = ParamLabels::entry(name);
    QVERIFY(e);
    const QString ru = ParamLabels::label(name, Lang::Russian);
    const QString en = ParamLabels::label(name, Lang::English, &english);
    QVERIFY(!ru.isEmpty() && !ru.endsWith(':') && !ru.contains("%1"));
    static const QRegularExpression cyrillic("[А-Яа-яЁё]");
    QVERIFY2(!en.contains(cyrillic), qPrintable(en));
    QVERIFY(!ParamLabels::unitSymbol(e->unit, Lang::English, &english).contains(cyrillic));
}

// Every value of each model's default configuration reads as words and comes back the same.
void tst_ParamValue::modelDefaults_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("revision");
    QTest::newRow("701") << 701 << 0;
    QTest::newRow("750") << 750 << 0;
    QTest::newRow("760") << 760 << 0;
    QTest::newRow("760 revision 2") << 760 << 2;
}

void tst_ParamValue::modelDefaults()
{
    QFETCH(int, model);
    QFETCH(int, revision);
    const ParamValue::Vocabulary v = vocabularyOf(model, revision);
    SimConfig config;
    config.model = model;
    config.revision = revision;
    const SimDevice device(config);
    int values = 0;
    for (quint16 code : device.paramCodes()) {
        const ParamCatalogue::Param *p = ParamCatalogue::byCode(code);
        QVERIFY(p);
        if (p->kind == ParamCatalogue::Kind::ReadOnly)
            continue;
        for (const auto &attr : ParamCodec::attributesFromValue(*p, device.param(code))) {
            const ParamLabels::Entry *e = ParamLabels::entry(
                attr.first == QLatin1String("param") ? QString(p->element) : attr.first);
            QVERIFY(e);
            const QString list = attr.first == QLatin1String("param") ? p->element : attr.first;
            const bool named = e->choiceList && v.choices.contains(list);
            for (Lang lang : {Lang::Russian, Lang::English}) {
                const QString words = ParamValue::human(*p, attr.first, attr.second, lang, v);
                const QString where = QStringLiteral("%1 %2 = %3 -> %4")
                                          .arg(p->element, attr.first, attr.second, words);
                // A choice the model offers is named, not only numbered.
                if (named)
                    QVERIFY2(words.endsWith(')'), qPrintable(where));
                QString back;
                QString error;
                QVERIFY2(ParamValue::parse(*p, attr.first, words, v, &back, &error, lang),
                         qPrintable(where + ": " + error));
                QCOMPARE(back, attr.second);
                ++values;
            }
        }
    }
    QVERIFY(values > 100);
}

QTEST_GUILESS_MAIN(tst_ParamValue)
#include "tst_paramvalue.moc"
