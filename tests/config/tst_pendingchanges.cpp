#include "configdocument.h"
#include "pendingchanges.h"

#include <QtTest>

namespace {
// "attr=value" entries; a bare value is the `param` attribute.
AttributeList attrs(const QStringList &entries)
{
    AttributeList out;
    for (const QString &e : entries) {
        if (e.contains('='))
            out.append({e.section('=', 0, 0), e.section('=', 1)});
        else
            out.append({QStringLiteral("param"), e});
    }
    return out;
}

// A document of "element=param" entries.
QDomDocument doc(const QStringList &entries)
{
    QDomDocument d;
    for (const QString &e : entries)
        ConfigDocument::addElement(d, e.section('=', 0, 0), attrs({e.section('=', 1)}));
    return d;
}

QStringList names(const PendingChanges &p)
{
    QStringList out;
    for (const PendingChanges::Change &c : p.changes())
        out << c.element;
    return out;
}

const QStringList deviceValues{"tx_period=00000e10", "nb_trials=03", "net_id=00000000",
                               "app_key=00112233445566778899aabbccddeeff", "fw_ver=1.3.1"};
} // namespace

// The edits waiting for one device: when a value counts as unchanged, what a file makes
// pending, what a write takes out, and what a read-back shows wrong.
class tst_PendingChanges : public QObject
{
    Q_OBJECT
private slots:
    void sameValue_data();
    void sameValue();
    void edits_data();
    void edits();
    void applyFile_data();
    void applyFile();
    void accept_data();
    void accept();
    void verify_data();
    void verify();
};

void tst_PendingChanges::sameValue_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QStringList>("a");
    QTest::addColumn<QStringList>("b");
    QTest::addColumn<bool>("same");
    QTest::newRow("number, hex case")
        << "tx_period" << QStringList{"0000FFFF"} << QStringList{"0000ffff"} << true;
    QTest::newRow("number, other value")
        << "tx_period" << QStringList{"00000e10"} << QStringList{"00000e11"} << false;
    QTest::newRow("number, short form")
        << "tx_period" << QStringList{"e10"} << QStringList{"00000e10"} << true;
    QTest::newRow("key, zero short")
        << "net_id" << QStringList{"0"} << QStringList{"00000000"} << true;
    QTest::newRow("key, case") << "app_key" << QStringList{"00112233445566778899AABBCCDDEEFF"}
                               << QStringList{"00112233445566778899aabbccddeeff"} << true;
    QTest::newRow("bool, one digit") << "use_adr" << QStringList{"1"} << QStringList{"01"} << true;
    QTest::newRow("composite, type as hex and decimal")
        << "rs_meter_config" << QStringList{"meter_type=0a", "config=0102030405060A"}
        << QStringList{"meter_type=10", "config=0102030405060a"} << true;
    QTest::newRow("composite, one field differs")
        << "rs_meter_config" << QStringList{"meter_type=10", "config=01020304050607"}
        << QStringList{"meter_type=10", "config=01020304050608"} << false;
    QTest::newRow("composite, field missing")
        << "rs_meter_config" << QStringList{"meter_type=10"}
        << QStringList{"meter_type=10", "config=01020304050607"} << false;
    QTest::newRow("too wide for the parameter")
        << "nb_trials" << QStringList{"0103"} << QStringList{"03"} << false;
    QTest::newRow("not hex, same text")
        << "tx_period" << QStringList{"zz"} << QStringList{"zz"} << true;
    QTest::newRow("not hex, other text")
        << "tx_period" << QStringList{"zz"} << QStringList{"ZZ"} << false;
    QTest::newRow("empty is no zero")
        << "tx_period" << QStringList{""} << QStringList{"00000000"} << false;
    QTest::newRow("unknown element, exact")
        << "no_such" << QStringList{"ff"} << QStringList{"FF"} << false;
}

void tst_PendingChanges::sameValue()
{
    QFETCH(QString, element);
    QFETCH(QStringList, a);
    QFETCH(QStringList, b);
    QFETCH(bool, same);
    QCOMPARE(PendingChanges::sameValue(element, attrs(a), attrs(b)), same);
    QCOMPARE(PendingChanges::sameValue(element, attrs(b), attrs(a)), same);
}

void tst_PendingChanges::edits_data()
{
    // Edits in order as "element=value"; what stays pending.
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QStringList>("pending");
    QTest::newRow("tabbing through stores the device's values")
        << QStringList{"tx_period=00000E10", "net_id=0", "nb_trials=3"} << QStringList{};
    QTest::newRow("a real change") << QStringList{"tx_period=00000708"} << QStringList{"tx_period"};
    QTest::newRow("changed and back")
        << QStringList{"tx_period=00000708", "tx_period=00000e10"} << QStringList{};
    QTest::newRow("latest edit last")
        << QStringList{"tx_period=00000708", "nb_trials=05", "tx_period=00000709"}
        << QStringList{"nb_trials", "tx_period"};
    QTest::newRow("element the device lacks")
        << QStringList{"use_adr=01"} << QStringList{"use_adr"};
}

void tst_PendingChanges::edits()
{
    QFETCH(QStringList, edits);
    QFETCH(QStringList, pending);
    PendingChanges p;
    p.setDeviceValues(doc(deviceValues));
    for (const QString &e : edits)
        p.edit(e.section('=', 0, 0), attrs({e.section('=', 1)}));
    QCOMPARE(names(p), pending);
    QCOMPARE(ConfigDocument::param(p.configuration(), "tx_period").toLower(),
             edits.filter("tx_period").isEmpty()
                 ? QString("00000e10")
                 : edits.filter("tx_period").last().mid(10).toLower());
}

void tst_PendingChanges::applyFile_data()
{
    QTest::addColumn<bool>("withDevice");
    QTest::addColumn<QStringList>("edits"); // the user's, before the file
    QTest::addColumn<QStringList>("file");
    QTest::addColumn<QStringList>("pending");
    QTest::addColumn<QStringList>("replaced");
    const QStringList file{"fw_ver=9.9.9", "tx_period=00000E10", "nb_trials=05", "no_such=01"};
    QTest::newRow("only what differs; device facts and unknown names never")
        << true << QStringList{} << file << QStringList{"nb_trials"} << QStringList{};
    QTest::newRow("a user's edit the file changes is told")
        << true << QStringList{"nb_trials=07"} << file << QStringList{"nb_trials"}
        << QStringList{"nb_trials"};
    QTest::newRow("a user's edit the file sets back is told")
        << true << QStringList{"tx_period=00000708"} << file << QStringList{"nb_trials"}
        << QStringList{"tx_period"};
    QTest::newRow("a user's edit the file does not name stays")
        << true << QStringList{"use_adr=01"} << file << QStringList{"use_adr", "nb_trials"}
        << QStringList{};
    QTest::newRow("no device: every writable value of the file")
        << false << QStringList{} << file << QStringList{"tx_period", "nb_trials"} << QStringList{};
}

void tst_PendingChanges::applyFile()
{
    QFETCH(bool, withDevice);
    QFETCH(QStringList, edits);
    QFETCH(QStringList, file);
    QFETCH(QStringList, pending);
    QFETCH(QStringList, replaced);
    PendingChanges p;
    if (withDevice)
        p.setDeviceValues(doc(deviceValues));
    for (const QString &e : edits)
        p.edit(e.section('=', 0, 0), attrs({e.section('=', 1)}));
    QStringList told;
    for (const PendingChanges::Change &c : p.applyFile(doc(file)))
        told << c.element;
    QCOMPARE(names(p), pending);
    QCOMPARE(told, replaced);
    for (const PendingChanges::Change &c : p.changes())
        QCOMPARE(c.fromFile, file.join(' ').contains(c.element + '='));
    // Without a device the file is what the editor shows, its device facts included.
    QCOMPARE(ConfigDocument::param(p.configuration(), "fw_ver"),
             withDevice ? QString("1.3.1") : QString("9.9.9"));
}

void tst_PendingChanges::accept_data()
{
    QTest::addColumn<int>("stop");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QStringList>("editedDuring");
    QTest::addColumn<QStringList>("pending");
    QTest::addColumn<int>("toVerify");
    const int none = int(WriteReport::Stop::None);
    const int noAnswer = int(WriteReport::Stop::NoAnswer);
    QTest::newRow("all taken") << none << QStringList{"tx_period", "nb_trials"} << QStringList{}
                               << QStringList{};
    QTest::newRow("stopped half-way: the rest stays")
        << noAnswer << QStringList{"tx_period"} << QStringList{} << QStringList{"nb_trials"};
    QTest::newRow("edited while writing: the newer value stays")
        << none << QStringList{"tx_period", "nb_trials"} << QStringList{"nb_trials=09"}
        << QStringList{"nb_trials"};
    QTest::newRow("edited back to what was sent: nothing stays")
        << none << QStringList{"tx_period", "nb_trials"} << QStringList{"nb_trials=5"}
        << QStringList{};
}

void tst_PendingChanges::accept()
{
    QFETCH(int, stop);
    QFETCH(QStringList, written);
    QFETCH(QStringList, editedDuring);
    QFETCH(QStringList, pending);
    PendingChanges p;
    p.setDeviceValues(doc(deviceValues));
    p.edit("tx_period", attrs({"00000708"}));
    p.edit("nb_trials", attrs({"05"}));
    QCOMPARE(ConfigDocument::toText(p.startWrite()), ConfigDocument::toText(p.document()));
    for (const QString &e : editedDuring)
        p.edit(e.section('=', 0, 0), attrs({e.section('=', 1)}));
    WriteReport report;
    report.written = written;
    report.stop = WriteReport::Stop(stop);
    p.accept(report);
    QCOMPARE(names(p), pending);
    // What the device took is its value now: setting it again is no change.
    QVERIFY(!p.edit("tx_period", attrs({"00000708"})));
}

void tst_PendingChanges::verify_data()
{
    QTest::addColumn<QStringList>("readBack");
    QTest::addColumn<QStringList>("mismatches"); // "name written read"
    QTest::newRow("as written, other case and width")
        << QStringList{"tx_period=00000708", "nb_trials=5",
                       "app_key=FFEEDDCCBBAA99887766554433221100"}
        << QStringList{};
    QTest::newRow("one value otherwise") << QStringList{"tx_period=00000709", "nb_trials=05",
                                                        "app_key=ffeeddccbbaa99887766554433221100"}
                                         << QStringList{"tx_period 00000708 00000709"};
    QTest::newRow("one value gone")
        << QStringList{"tx_period=00000708", "app_key=ffeeddccbbaa99887766554433221100"}
        << QStringList{"nb_trials 05 "};
}

void tst_PendingChanges::verify()
{
    QFETCH(QStringList, readBack);
    QFETCH(QStringList, mismatches);
    // The read-back after a write is compared by the one rule for an unchanged value.
    QStringList found;
    for (const ConfigDocument::Mismatch &m :
         ConfigDocument::mismatches(doc({"tx_period=00000708", "nb_trials=05",
                                         "app_key=ffeeddccbbaa99887766554433221100"}),
                                    doc(readBack), {"tx_period", "nb_trials", "app_key"}))
        found << m.name + ' ' + m.written + ' ' + m.read;
    QCOMPARE(found, mismatches);
}

QTEST_APPLESS_MAIN(tst_PendingChanges)
#include "tst_pendingchanges.moc"
