#include "apppaths.h"
#include "configdocument.h"
#include "deviceinterface.h"
#include "mainwindow.h"
#include "paramcatalogue.h"
#include "recordingprompts.h"
#include "simportenumerator.h"
#include "simulator.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// The change index that records each editable element.
int changeIndexOf(const QString &e)
{
    static const QMap<QString, int> fixed{{"otaa_activation", 0},
                                          {"private", 1},
                                          {"use_adr", 2},
                                          {"dev_eui", 3},
                                          {"app_eui", 4},
                                          {"app_key", 5},
                                          {"net_id", 6},
                                          {"net_dev_adr", 7},
                                          {"net_service_key", 8},
                                          {"app_service_key", 9},
                                          {"tx_period", 10},
                                          {"tx_dr", 11},
                                          {"tx_power", 12},
                                          {"ldc", 13},
                                          {"region", 14},
                                          {"dev_class", 15},
                                          {"nb_trials", 16},
                                          {"tx_confirm", 17},
                                          {"check_connect", 18},
                                          {"en_power_20dbm", 22},
                                          {"app_port", 23},
                                          {"scan_period", 24},
                                          {"protocol", 25},
                                          {"save_every_values", 26},
                                          {"save_every_times", 27},
                                          {"rs_settings", 51},
                                          {"crts_settings", 52},
                                          {"rs_timings", 53},
                                          {"rs_repeat", 54},
                                          {"answer_mode", 55},
                                          {"rs_meter_config", 56},
                                          {"time_zone", 58},
                                          {"remove_confirm_net", 59},
                                          {"time_point", 60},
                                          {"pulse_counting_mode", 73},
                                          {"ambient_light_level", 74}};
    if (fixed.contains(e))
        return fixed.value(e);
    const int n = e.right(1).toInt();
    if (e.startsWith("type_level_"))
        return 28 + n;
    if (e.startsWith("type_input_"))
        return 34 + n;
    if (e.startsWith("time_fix_"))
        return 61 + n;
    if (e.startsWith("count_diff_"))
        return 67 + n;
    return -1; // frequency plan, timings, battery: no widget of their own
}
} // namespace

// The configuration editor of the real window against the simulator and the shipped database.
class tst_Editor : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { registerLinkMetaTypes(); }
    void init();
    void cleanup();
    void everyParameterRoundTrips_data();
    void everyParameterRoundTrips();
    void clampsThroughWidgets_data();
    void clampsThroughWidgets();
    void regionEnablesFrequencyPlan();
    void inputTimings();
    void pagesPerModel_data();
    void pagesPerModel();
    void unsupportedFirmwareStillOffersUpdate();
    void disconnectEmptiesTheEditors();

private:
    void connectDevice(SimConfig config);
    QString pending(const QString &element) const;

    std::unique_ptr<QTemporaryDir> dir;
    RecordingPrompts prompts;
    SimPortEnumerator enumerator;
    std::unique_ptr<Simulator> sim;
    std::unique_ptr<MainWindow> window;
};

void tst_Editor::init()
{
    dir = std::make_unique<QTemporaryDir>();
    AppPaths::setAppDirOverride(dir->path());
    QVERIFY(QFile::copy(VEXA_BUILT_DEVICES_DB, dir->path() + "/devices.db"));
    prompts = RecordingPrompts();
}

void tst_Editor::cleanup()
{
    window.reset();
    sim.reset();
    enumerator.sims.clear();
    AppPaths::setAppDirOverride(QString());
    dir.reset();
}

void tst_Editor::connectDevice(SimConfig config)
{
    sim = std::make_unique<Simulator>(config);
    QVERIFY(sim->start());
    enumerator.sims = {sim.get()};
    window = std::make_unique<MainWindow>(&prompts, &enumerator);
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 2, 10000);
}

QString tst_Editor::pending(const QString &element) const
{
    const QDomElement e = window->pendingChanges().documentElement().firstChildElement(element);
    return e.isNull() ? QString("<none>") : e.attribute("param");
}

void tst_Editor::everyParameterRoundTrips_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("revision");
    QTest::newRow("701") << 701 << 0;
    QTest::newRow("750") << 750 << 0;
    QTest::newRow("760") << 760 << 0;
    QTest::newRow("760 rev 2") << 760 << 2;
}

void tst_Editor::everyParameterRoundTrips()
{
    QFETCH(int, model);
    QFETCH(int, revision);
    SimConfig c;
    c.model = model;
    c.revision = revision;
    connectDevice(c);
    // Filling the widgets from the read never schedules anything.
    QVERIFY(ConfigDocument::isEmpty(window->pendingChanges()));
    const QDomDocument read = window->fullConfiguration().cloneNode(true).toDocument();
    int checked = 0;
    for (QDomElement e = read.documentElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement()) {
        const int index = changeIndexOf(e.tagName());
        if (index < 0)
            continue;
        window->changeConfig(index);
        const QDomElement back =
            window->pendingChanges().documentElement().firstChildElement(e.tagName());
        QVERIFY2(!back.isNull(), qPrintable(e.tagName()));
        const QDomNamedNodeMap attrs = e.attributes();
        for (int i = 0; i < attrs.count(); ++i) {
            const QString name = attrs.item(i).nodeName();
            QString expected = attrs.item(i).nodeValue();
            // The editor writes the data and stop bits of the serial line as 00.
            if (name == "rs_data_bits" || name == "rs_stop_bits")
                expected = "00";
            QCOMPARE(e.tagName() + "." + name + "=" + back.attribute(name),
                     e.tagName() + "." + name + "=" + expected);
        }
        ++checked;
    }
    QVERIFY(checked > 20);
}

void tst_Editor::clampsThroughWidgets_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("stored");
    QTest::newRow("tx_period low") << "txPeriodLineEdit"
                                   << "30"
                                   << "60"
                                   << "tx_period"
                                   << "0000003c";
    QTest::newRow("tx_period high") << "txPeriodLineEdit"
                                    << "100000"
                                    << "86400"
                                    << "tx_period"
                                    << "00015180";
    QTest::newRow("nb_trials 65") << "nbTrialsLineEdit"
                                  << "65"
                                  << "64"
                                  << "nb_trials"
                                  << "40";
    QTest::newRow("keep-alive 300") << "keepAliveLine"
                                    << "300"
                                    << "255"
                                    << "check_connect"
                                    << "ff";
    QTest::newRow("count_diff 5") << "countDiff0LineEdit"
                                  << "5"
                                  << "10000"
                                  << "count_diff_0"
                                  << "00002710";
    QTest::newRow("count_diff 0") << "countDiff0LineEdit"
                                  << "0"
                                  << "0"
                                  << "count_diff_0"
                                  << "00000000";
    QTest::newRow("short key") << "deviceEui_line"
                               << "12abc"
                               << "0000000000012abc"
                               << "dev_eui"
                               << "0000000000012abc";
}

void tst_Editor::clampsThroughWidgets()
{
    QFETCH(QString, widget);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, element);
    QFETCH(QString, stored);
    connectDevice(SimConfig());
    auto *edit = window->findChild<QLineEdit *>(widget);
    QVERIFY(edit);
    edit->setText(typed);
    emit edit->editingFinished(); // the user leaves the field
    QCOMPARE(edit->text(), shown);
    QCOMPARE(pending(element), stored);
    QVERIFY(window->findChild<QWidget *>("writeConfigButton")->isEnabled());
}

void tst_Editor::regionEnablesFrequencyPlan()
{
    connectDevice(SimConfig());
    auto *region = window->findChild<QComboBox *>("regionComboBox");
    auto *button = window->findChild<QPushButton *>("viewEditFreqpushButton");
    QVERIFY(region && button && region->count() > 3);
    for (int i = 0; i < region->count(); ++i) {
        region->setCurrentIndex(i);
        QCOMPARE(button->isEnabled(), region->itemData(i).toString() == "3");
    }
    QCOMPARE(pending("region"),
             QString("%1").arg(region->currentData().toInt(), 2, 16, QChar('0')));
}

void tst_Editor::inputTimings()
{
    connectDevice(SimConfig()); // a Vexa750 with a scan period of 100 ms
    auto *mode3 = window->findChild<QComboBox *>("inMode3comboBox");
    QVERIFY(mode3);
    int modeOne = -1;
    int other = -1;
    for (int i = 0; i < mode3->count(); ++i) {
        if (mode3->itemData(i).toString() == "1")
            modeOne = i;
        else if (mode3->itemData(i).toString() != "0")
            other = i;
    }
    QVERIFY(modeOne >= 0 && other >= 0);
    mode3->setCurrentIndex(other);
    QCOMPARE(pending("timing_3"), QString("00320032000a000a"));
    mode3->setCurrentIndex(modeOne);
    QCOMPARE(pending("type_input_3"), QString("01"));
    QCOMPARE(pending("timing_3"), QString("00020002000a000a"));
    // A new scan period recomputes every input.
    auto *scan = window->findChild<QLineEdit *>("scanPeriodLineEdit");
    scan->setText("200");
    emit scan->editingFinished();
    QCOMPARE(pending("timing_3"), QString("0002000200050005"));
    QVERIFY(pending("timing_5").endsWith("00050005"));
}

void tst_Editor::pagesPerModel_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<int>("inputs");
    QTest::newRow("701") << 701 << 0 << QList<int>{1, 4, 5, 6} << 0;
    QTest::newRow("750") << 750 << 0 << QList<int>{1, 2, 5, 6} << 6;
    QTest::newRow("760") << 760 << 0 << QList<int>{1, 2, 3, 5, 6} << 2;
    QTest::newRow("760 rev 2 (key 760_2)") << 760 << 2 << QList<int>{1, 2, 3, 5, 6} << 2;
}

void tst_Editor::pagesPerModel()
{
    QFETCH(int, model);
    QFETCH(int, revision);
    QFETCH(QList<int>, rows);
    QFETCH(int, inputs);
    SimConfig c;
    c.model = model;
    c.revision = revision;
    connectDevice(c);
    QVERIFY(prompts.asked.isEmpty()); // the firmware is supported
    auto *menu = window->findChild<QListWidget *>("terminalMenu");
    for (int row = 1; row <= 6; ++row)
        QCOMPARE(std::make_pair(row, !menu->isRowHidden(row)),
                 std::make_pair(row, rows.contains(row)));
    for (int i = 0; i < 6; ++i) {
        const bool shown =
            !window->findChild<QWidget *>(QString("inType%1comboBox").arg(i))->isHidden();
        QCOMPARE(std::make_pair(i, shown), std::make_pair(i, i < inputs));
        QCOMPARE(window->findChild<QWidget *>(QString("inType%1Label").arg(i))->isHidden(),
                 !(i < inputs));
        QCOMPARE(window->findChild<QWidget *>(QString("countDiff%1LineEdit").arg(i))->isHidden(),
                 !(i < inputs));
    }
}

void tst_Editor::unsupportedFirmwareStillOffersUpdate()
{
    // A newer firmware for the Vexa750 in the store.
    QDir(dir->path()).mkdir("firmware");
    QFile fw(dir->path() + "/firmware/Vexa750_v1.3.5_update.bin");
    QVERIFY(fw.open(QIODevice::WriteOnly));
    fw.write(QByteArray::fromHex("55aa") + QByteArray("VERSION\0", 8) +
             QByteArray::fromHex("ee02010305") + "body");
    fw.close();
    SimConfig c;
    c.firmware = "0.9.0";
    connectDevice(c);
    QCOMPARE(prompts.asked.value(0),
             QString("Предупреждение: Версия прошивки не поддерживается конфигуратором"));
    auto *menu = window->findChild<QListWidget *>("terminalMenu");
    for (int row = 1; row <= 6; ++row)
        QVERIFY(menu->isRowHidden(row));
    auto *update = window->findChild<QWidget *>("updateFwButton");
    QVERIFY(update->toolTip().endsWith("1.3.5"));
}

void tst_Editor::disconnectEmptiesTheEditors()
{
    connectDevice(SimConfig());
    auto *period = window->findChild<QLineEdit *>("txPeriodLineEdit");
    auto *zones = window->findChild<QComboBox *>("timeZoneComboBox");
    QCOMPARE(period->text(), QString("3600"));
    const int zoneCount = zones->count();
    window->setGlobalState(0);
    QVERIFY(period->text().isEmpty());
    QCOMPARE(window->findChild<QComboBox *>("regionComboBox")->count(), 0);
    QCOMPARE(zones->count(), zoneCount);
    QVERIFY(ConfigDocument::isEmpty(window->pendingChanges())); // clearing is no edit
}

QTEST_MAIN(tst_Editor)
#include "tst_editor.moc"
