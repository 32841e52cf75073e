#include "appfixture.h"
#include "configdocument.h"
#include "configeditor.h"
#include "configcontroller.h"
#include "linkstate.h"
#include "mainwindow.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
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
    void tabbingMarksNothing();
    void correctedKeyTakenWhileTyping();
    void editsStayWithTheirDevice_data();
    void editsStayWithTheirDevice();
    void readingAgainAsksFirst_data();
    void readingAgainAsksFirst();
    void resetBoxesNameTheDevice_data();
    void resetBoxesNameTheDevice();

private:
    void connectDevice(const SimConfig &config) { QVERIFY(window = f->connectWindow(config)); }
    QString writeButtonCount() const
    {
        return window->findChild<QToolButton *>("writeConfigButton")->text();
    }
    QStringList markedFields() const
    {
        QStringList marked;
        for (QWidget *w : window->findChildren<QWidget *>()) {
            if (!w->property("pendingChange").toString().isEmpty())
                marked << w->objectName();
        }
        return marked;
    }
    // Types into a field and leaves it, as the user does.
    static void type(QLineEdit *edit, const QString &text)
    {
        edit->setText(text);
        emit edit->editingFinished();
    }
    QString pending(const QString &element) const
    {
        const QDomDocument doc = window->configController()->pendingChanges();
        const QDomElement e = doc.documentElement().firstChildElement(element);
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
    QVERIFY(ConfigDocument::isEmpty(window->configController()->pendingChanges()));
    const QDomDocument readDoc = window->configController()->fullConfiguration();
    const QDomElement read = readDoc.documentElement();
    // Every edit the editor can record, taken from the widgets as they were filled, gives back
    // what was read, and so leaves nothing pending.
    QMap<QString, AttributeList> stored;
    QObject::connect(window->findChild<ConfigEditor *>(), &ConfigEditor::elementChanged, window,
                     [&stored](const QString &element, const AttributeList &attrs) {
                         stored.insert(element, attrs);
                     });
    for (int index = 0; index < 100; ++index)
        window->findChild<ConfigEditor *>()->recordChange(index);
    QStringList checked;
    for (auto it = stored.constBegin(); it != stored.constEnd(); ++it) {
        const QString name = it.key();
        // Skipped: the frequency plan, stored from its dialog's edits rather than from the
        // filled widgets, and what this model does not have (its widgets are hidden).
        if (name.startsWith("rx2_") || name.startsWith("freq_channel") ||
            read.firstChildElement(name).isNull())
            continue;
        checked << name;
        const QDomNamedNodeMap attrs = read.firstChildElement(name).attributes();
        for (int i = 0; i < attrs.count(); ++i) {
            const QString attr = attrs.item(i).nodeName();
            QString expected = attrs.item(i).nodeValue();
            QString back;
            for (const auto &a : it.value())
                back = a.first == attr ? a.second : back;
            // The editor writes the data and stop bits of the serial line as 00.
            if (attr == "rs_data_bits" || attr == "rs_stop_bits")
                expected = "00";
            QCOMPARE(name + "." + attr + "=" + back, name + "." + attr + "=" + expected);
        }
    }
    QVERIFY2(checked.size() > 20, qPrintable(checked.join(' ')));
    QStringList pendingNames = AppFixture::elementNames(window->configController()->pendingChanges());
    pendingNames.removeAll("rs_settings"); // the data and stop bits, as above
    for (const QString &name : pendingNames)
        QVERIFY2(name.startsWith("rx2_") || name.startsWith("freq_channel") ||
                     read.firstChildElement(name).isNull(),
                 qPrintable(name));
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
    // Said under the field too, until the field is edited again.
    auto *line = window->findChild<QLabel *>(edit->objectName() + "_problem");
    QVERIFY(line); // the first wrong value made it
    QCOMPARE(line->isVisibleTo(edit->parentWidget()), !mark.isEmpty());
    if (!mark.isEmpty()) {
        QVERIFY2(line->text().contains(told), qPrintable(line->text()));
        QCOMPARE(line->y(), edit->geometry().bottom() + 1);
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClicks(edit, "0");
        QVERIFY(!line->isVisibleTo(edit->parentWidget()));
    }
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
    QCOMPARE(pending("type_input_3"), QString("02"));
    // Back to the device's mode: nothing of it is pending any more.
    mode3->setCurrentIndex(mode3->findData("1"));
    QCOMPARE(pending("type_input_3"), QString("<none>"));
    QCOMPARE(pending("timing_3"), QString("<none>"));
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
    window->configController()->write();
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
    QVERIFY(ConfigDocument::isEmpty(window->configController()->pendingChanges())); // clearing is no edit
}

void tst_Editor::tabbingMarksNothing()
{
    connectDevice(SimConfig());
    // Leaving every field of the model's pages as it was filled (the tab key through them)
    // changes nothing.
    auto *menu = window->findChild<QListWidget *>("terminalMenu");
    auto *pages = window->findChild<QStackedWidget *>("stackedWidget");
    int visited = 0;
    for (int row = 1; row < menu->count(); ++row) {
        QWidget *page = pages->widget(row);
        if (menu->isRowHidden(row))
            continue;
        for (QLineEdit *edit : page->findChildren<QLineEdit *>()) {
            if (edit->isVisibleTo(page) && edit->isEnabled()) {
                emit edit->editingFinished();
                ++visited;
            }
        }
    }
    QVERIFY(visited > 10);
    QVERIFY2(window->configController()->pendingChanges().documentElement().firstChildElement().isNull(),
             qPrintable(ConfigDocument::toText(window->configController()->pendingChanges())));
    QCOMPARE(markedFields(), QStringList());
    QCOMPARE(writeButtonCount(), QString());
    window->configController()->write();
    QCOMPARE(f->prompts.asked.value(0),
             QString("Запись конфигурации: Отсутствуют изменения для записи в устройство"));
    // A real change is marked and counted; typed back to the device's value, it is not.
    auto *period = window->findChild<QLineEdit *>("txPeriodLineEdit");
    type(period, "7200");
    QCOMPARE(markedFields(), QStringList{"txPeriodLineEdit"});
    QCOMPARE(writeButtonCount(), QString("1"));
    type(period, "3600");
    QCOMPARE(markedFields(), QStringList());
    QCOMPARE(writeButtonCount(), QString());
}

void tst_Editor::correctedKeyTakenWhileTyping()
{
    connectDevice(SimConfig());
    auto *key = window->findChild<QLineEdit *>("appKey_line");
    type(key, "12");
    QCOMPARE(key->property("inputProblem").toString(), QString("invalid"));
    // Corrected while the focus stays in the field: Write takes it at once.
    const QString whole = "00112233445566778899AABBCCDDEEF0";
    key->clear();
    QTest::keyClicks(key, whole);
    QCOMPARE(key->text(), whole);
    QCOMPARE(pending("app_key"), whole.toLower());
    QCOMPARE(key->property("inputProblem").toString(), QString());
    f->prompts.answer = UserPrompts::No;
    window->configController()->write();
    QVERIFY2(f->prompts.asked.last().startsWith(
                 "Запись конфигурации: Записать конфигурацию в устройство?"),
             qPrintable(f->prompts.asked.last()));
    // Made incomplete again while typing: nothing of it can be written.
    QTest::keyClick(key, Qt::Key_Backspace);
    window->configController()->write();
    QVERIFY2(f->prompts.asked.last().startsWith("Запись конфигурации: Запись невозможна"),
             qPrintable(f->prompts.asked.last()));
}

void tst_Editor::editsStayWithTheirDevice_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("pendingOnB");
    QTest::addColumn<QString>("pendingOnAAgain");
    QTest::newRow("kept for A") << int(UserPrompts::Cancel) << "<none>"
                                << "00001c20";
    QTest::newRow("discarded") << int(UserPrompts::No) << "<none>"
                               << "<none>";
    QTest::newRow("applied to B") << int(UserPrompts::Yes) << "00001c20"
                                  << "<none>";
}

void tst_Editor::editsStayWithTheirDevice()
{
    QFETCH(int, answer);
    QFETCH(QString, pendingOnB);
    QFETCH(QString, pendingOnAAgain);
    connectDevice(SimConfig());
    const QString serialA = f->sim(0)->device().serialNumber();
    type(window->findChild<QLineEdit *>("txPeriodLineEdit"), "7200");
    QCOMPARE(pending("tx_period"), QString("00001c20"));

    // A goes, B comes.
    f->prompts.answer = UserPrompts::Button(answer);
    f->sim(0)->unplug();
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 0, AppFixture::loadSlackMs);
    Simulator *b = f->addSim();
    QVERIFY(b);
    const QString serialB = b->device().serialNumber();
    QVERIFY(serialB != serialA);
    emit window->enumerateDevices();
    QTRY_VERIFY_WITH_TIMEOUT(window->connectedDevice().serialNumber == serialB &&
                                 window->globalState() == 2,
                             AppFixture::connectWaitMs);
    // Asked once, naming both devices and the edit.
    const QStringList asked = f->prompts.asked.filter("Незаписанные изменения");
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked.first().contains("SN " + serialA) && asked.first().contains("SN " + serialB) &&
                 asked.first().contains("7200"),
             qPrintable(asked.first()));
    QCOMPARE(pending("tx_period"), pendingOnB);
    QCOMPARE(window->findChild<QLineEdit *>("txPeriodLineEdit")->text(),
             pendingOnB == "<none>" ? QString("3600") : QString("7200"));

    // The write confirmation names B, never A.
    f->prompts.answer = UserPrompts::No;
    type(window->findChild<QLineEdit *>("nbTrialsLineEdit"), "7");
    window->configController()->write();
    const QString confirm = f->prompts.asked.last();
    QVERIFY2(confirm.contains("Устройство: Вэкса750v2, SN " + serialB + ", DevEUI ") &&
                 !confirm.contains(serialA),
             qPrintable(confirm));
    QCOMPARE(confirm.contains("7200"), pendingOnB != "<none>");

    // A comes back (B goes): what was kept for it is pending again, without a question.
    f->prompts.answer = UserPrompts::No; // B's own edit is not carried to A
    b->unplug();
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 0, AppFixture::loadSlackMs);
    SimConfig again;
    again.serialNumber -= 2; // the fixture numbers its devices by their order
    QVERIFY(f->addSim(again));
    QCOMPARE(f->sim(2)->device().serialNumber(), serialA);
    emit window->enumerateDevices();
    QTRY_VERIFY_WITH_TIMEOUT(window->connectedDevice().serialNumber == serialA &&
                                 window->globalState() == 2,
                             AppFixture::connectWaitMs);
    QCOMPARE(pending("tx_period"), pendingOnAAgain);
    QCOMPARE(pending("nb_trials"), QString("<none>"));
}

void tst_Editor::readingAgainAsksFirst_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("kept") << int(UserPrompts::No);
    QTest::newRow("dropped") << int(UserPrompts::Yes);
}

void tst_Editor::readingAgainAsksFirst()
{
    QFETCH(int, answer);
    connectDevice(SimConfig());
    window->configController()->replaceElement("tx_period", {{"param", "00001c20"}});
    f->prompts.answer = UserPrompts::Button(answer);
    f->clearRequests();
    window->findChild<QToolButton *>("readConfigButton")->click();
    QCOMPARE(f->prompts.asked.size(), 1);
    QVERIFY2(f->prompts.asked.first().contains("Незаписанные изменения (1) будут потеряны"),
             qPrintable(f->prompts.asked.first()));
    if (answer == UserPrompts::No) {
        QCOMPARE(window->configController()->pendingCount(), 1);
        QCOMPARE(window->globalState(), int(LinkState::Ready));
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(!f->codes({"0x8500"}).isEmpty(), AppFixture::connectWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), int(LinkState::Ready),
                              AppFixture::connectWaitMs);
    QCOMPARE(window->configController()->pendingCount(), 0);
}

void tst_Editor::resetBoxesNameTheDevice_data()
{
    QTest::addColumn<QString>("box");
    QTest::newRow("reboot") << "ReloadForm";
    QTest::newRow("factory reset") << "EraseForm";
}

void tst_Editor::resetBoxesNameTheDevice()
{
    QFETCH(QString, box);
    connectDevice(SimConfig());
    if (box == "ReloadForm")
        window->reloadDevice();
    else
        window->eraseMemory();
    QDialog *form = nullptr;
    for (QDialog *d : window->findChildren<QDialog *>())
        form = d->metaObject()->className() == box ? d : form;
    QVERIFY(form);
    auto *line = form->findChild<QLabel *>("deviceLine");
    QVERIFY(line);
    QCOMPARE(line->text(), "Устройство: Вэкса750v2, SN " + f->sim()->device().serialNumber() +
                               ", DevEUI " +
                               DeviceInterface::shownDevEui(f->sim()->device().devEui()));
    // The form made room for it: nothing overlaps the line or falls off the dialog.
    for (QWidget *w : form->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        QVERIFY2(form->rect().contains(w->geometry()), qPrintable(w->objectName()));
        QVERIFY2(w == line || !w->geometry().intersects(line->geometry()),
                 qPrintable(w->objectName()));
    }
}

QTEST_MAIN(tst_Editor)
#include "tst_editor.moc"
