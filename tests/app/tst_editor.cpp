#include "appfixture.h"
#include "configdocument.h"
#include "mainwindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

// The configuration editor of the real window against the simulator and the shipped database.
class tst_Editor : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY((f = std::make_unique<AppFixture>())->isValid()); }
    void cleanup() { f.reset(); }
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
    void connectDevice(const SimConfig &config) { QVERIFY(window = f->connectWindow(config)); }
    QString pending(const QString &element) const
    {
        const QDomElement e = window->pendingChanges().documentElement().firstChildElement(element);
        return e.isNull() ? QString("<none>") : e.attribute("param");
    }

    std::unique_ptr<AppFixture> f;
    MainWindow *window = nullptr;
};

void tst_Editor::everyParameterRoundTrips_data()
{
    AppFixture::modelRows();
}

void tst_Editor::everyParameterRoundTrips()
{
    connectDevice(AppFixture::modelConfig());
    // Filling the widgets from the read never schedules anything.
    QVERIFY(ConfigDocument::isEmpty(window->pendingChanges()));
    const QDomElement read = window->fullConfiguration().documentElement().cloneNode().toElement();
    // Every edit the editor can record, taken from the widgets as they were filled, gives back
    // what was read.
    QStringList checked;
    for (int index = 0; index < 100; ++index) {
        window->changeConfig(index);
        for (QDomElement back = window->pendingChanges().documentElement().firstChildElement();
             !back.isNull(); back = back.nextSiblingElement()) {
            const QString name = back.tagName();
            // Skipped: the frequency plan, stored from its dialog's edits rather than from the
            // filled widgets, and what this model does not have (its widgets are hidden).
            if (checked.contains(name) || name.startsWith("rx2_") ||
                name.startsWith("freq_channel") || read.firstChildElement(name).isNull())
                continue;
            checked << name;
            const QDomNamedNodeMap attrs = read.firstChildElement(name).attributes();
            for (int i = 0; i < attrs.count(); ++i) {
                const QString attr = attrs.item(i).nodeName();
                QString expected = attrs.item(i).nodeValue();
                // The editor writes the data and stop bits of the serial line as 00.
                if (attr == "rs_data_bits" || attr == "rs_stop_bits")
                    expected = "00";
                QCOMPARE(name + "." + attr + "=" + back.attribute(attr),
                         name + "." + attr + "=" + expected);
            }
        }
    }
    QVERIFY2(checked.size() > 20, qPrintable(checked.join(' ')));
}

void tst_Editor::clampsThroughWidgets_data()
{
    // The rules themselves are the codec's (tst_paramcodec); here: the widgets apply them and
    // say so where the value is not what was typed.
    QTest::addColumn<QStringList>("widgetTypedShown");
    QTest::addColumn<QStringList>("elementStored");
    QTest::addColumn<QString>("mark"); // the field's problem mark, and a word of its tooltip
    QTest::newRow("tx_period high") << QStringList{"txPeriodLineEdit", "100000", "86400"}
                                    << QStringList{"tx_period", "00015180"} << "clamped 86400";
    QTest::newRow("tx_period low") << QStringList{"txPeriodLineEdit", "5", "60"}
                                   << QStringList{"tx_period", "0000003c"} << "clamped 60";
    QTest::newRow("tx_period beyond any number")
        << QStringList{"txPeriodLineEdit", "99999999999999999999", "86400"}
        << QStringList{"tx_period", "00015180"} << "clamped 86400";
    QTest::newRow("tx_period in range") << QStringList{"txPeriodLineEdit", "7200", "7200"}
                                        << QStringList{"tx_period", "00001c20"} << "";
    QTest::newRow("keep-alive 300") << QStringList{"keepAliveLine", "300", "255"}
                                    << QStringList{"check_connect", "ff"} << "clamped 255";
    QTest::newRow("count_diff 5") << QStringList{"countDiff0LineEdit", "5", "10000"}
                                  << QStringList{"count_diff_0", "00002710"} << "clamped 10000";
    // A key is never padded: short, it is marked and nothing is stored.
    QTest::newRow("short key") << QStringList{"deviceEui_line", "12abc", "12abc"}
                               << QStringList{"dev_eui", "<none>"} << "invalid 16";
    QTest::newRow("short app key") << QStringList{"appKey_line", "12", "12"}
                                   << QStringList{"app_key", "<none>"} << "invalid 32";
    QTest::newRow("whole key") << QStringList{"deviceEui_line", "0011223344AABBCC",
                                              "0011223344AABBCC"}
                               << QStringList{"dev_eui", "0011223344aabbcc"} << "";
}

void tst_Editor::clampsThroughWidgets()
{
    QFETCH(QStringList, widgetTypedShown);
    QFETCH(QStringList, elementStored);
    QFETCH(QString, mark);
    connectDevice(SimConfig());
    auto *edit = window->findChild<QLineEdit *>(widgetTypedShown.at(0));
    QVERIFY(edit);
    // A wrong value first: the right one must take its mark away.
    edit->setText("1");
    emit edit->editingFinished();
    edit->setText(widgetTypedShown.at(1));
    emit edit->editingFinished(); // the user leaves the field
    QCOMPARE(edit->text(), widgetTypedShown.at(2));
    QCOMPARE(pending(elementStored.at(0)), elementStored.at(1));
    QCOMPARE(edit->property("inputProblem").toString(), mark.section(' ', 0, 0));
    const QString told = mark.startsWith("clamped") ? "изменено на " + mark.section(' ', 1)
                         : mark.startsWith("invalid") ? "нужно " + mark.section(' ', 1)
                                                      : QString();
    QVERIFY2(edit->toolTip().contains(told), qPrintable(edit->toolTip()));
    QVERIFY(!mark.isEmpty() || !edit->toolTip().contains("изменено на"));
    // The write button counts what is pending: the wrong key is not.
    QCOMPARE(window->findChild<QToolButton *>("writeConfigButton")->text(),
             elementStored.at(1) == "<none>" ? QString() : QString("1"));
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
    mode3->setCurrentIndex(mode3->findData("2"));
    QCOMPARE(pending("timing_3"), QString("00320032000a000a"));
    mode3->setCurrentIndex(mode3->findData("1"));
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
    QVERIFY(f->prompts.asked.isEmpty()); // the firmware is supported
    auto *menu = window->findChild<QListWidget *>("terminalMenu");
    for (int row = 1; row <= 6; ++row)
        QCOMPARE(std::make_pair(row, !menu->isRowHidden(row)),
                 std::make_pair(row, rows.contains(row)));
    for (int i = 0; i < 6; ++i) {
        const QString name = QString("inType%1comboBox").arg(i);
        QCOMPARE(std::make_pair(name, !window->findChild<QWidget *>(name)->isHidden()),
                 std::make_pair(name, i < inputs));
    }
}

void tst_Editor::unsupportedFirmwareStillOffersUpdate()
{
    // A newer firmware for the Vexa750 in the store.
    QVERIFY(QDir(f->path()).mkdir("firmware"));
    f->writeFile("firmware/Vexa750_v1.3.5_update.bin",
                 QByteArray::fromHex("55aa") + QByteArray("VERSION\0", 8) +
                     QByteArray::fromHex("ee02010305") + "body");
    SimConfig c;
    c.firmware = "0.9.0";
    connectDevice(c);
    QCOMPARE(f->prompts.asked.value(0),
             QString("Предупреждение: Версия прошивки не поддерживается конфигуратором"));
    auto *menu = window->findChild<QListWidget *>("terminalMenu");
    for (int row = 1; row <= 6; ++row)
        QVERIFY(menu->isRowHidden(row));
    auto *update = window->findChild<QWidget *>("updateFwButton");
    QVERIFY(update->toolTip().endsWith("1.3.5"));
    // Nothing is written to a firmware the editor does not know.
    window->writeConfig();
    QCOMPARE(f->prompts.asked.value(1),
             QString("Предупреждение: Версия прошивки модуля не поддерживается конфигуратором"));
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
