#include "appfixture.h"
#include "appsettings.h"
#include "configdocument.h"
#include "linkstate.h"
#include "configcontroller.h"
#include "mainwindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

// Configuration files through the window: what is saved, what an opened file schedules. What a
// write sends of the scheduled changes is tst_configexchange's.
class tst_ConfigFiles : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY((f = std::make_unique<AppFixture>())->isValid()); }
    void cleanup() { f.reset(); }
    void savedFileHoldsNoKeys();
    void mismatchingFileChangesNothing();
    void malformedFiles_data();
    void malformedFiles();
    void invalidValuesAreRefused();
    void writeIsReadBack_data();
    void writeIsReadBack();
    void failedWriteKeepsTheEdits_data();
    void failedWriteKeepsTheEdits();
    void pendingChangesAreShown_data();
    void pendingChangesAreShown();
    void incompleteKeyIsNotWritten();
    // Last: the write before closing ends in the program quitting.
    void closeWithChangesAsks_data();
    void closeWithChangesAsks();

private:
    void connectDevice(const SimConfig &config = SimConfig())
    {
        QVERIFY(window = f->connectWindow(config));
        f->clearRequests();
    }
    // A write of the configuration goes out as one request per parameter, then the reboot.
    void waitForWrites(int count)
    {
        QTRY_COMPARE_WITH_TIMEOUT(f->writes().size(), count, count * AppFixture::answerWaitMs);
    }

    std::unique_ptr<AppFixture> f;
    MainWindow *window = nullptr;
};

void tst_ConfigFiles::savedFileHoldsNoKeys()
{
    connectDevice();
    f->prompts.fileToSave = f->path("saved.xml");
    window->configController()->saveFile();
    QVERIFY(f->prompts.proposedName.startsWith("config_70-B3-D5"));
    QFile saved(f->prompts.fileToSave);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QDomDocument doc;
    QVERIFY(doc.setContent(saved.readAll()));
    const QStringList names = AppFixture::elementNames(doc);
    for (const QString &key : ConfigDocument::keyElements())
        QVERIFY2(!names.contains(key), qPrintable(key));
    QVERIFY(names.contains("dev_id"));
    QVERIFY(names.contains("fw_ver"));
    QVERIFY(names.contains("tx_period"));
    QVERIFY(f->prompts.asked.isEmpty());
    // Where it went is said on the status line, with what a file never holds.
    const QString line = window->findChild<QLabel *>("globalStatusText")->text();
    QVERIFY2(line.contains(QDir::toNativeSeparators(f->prompts.fileToSave)) && line.contains("EUI"),
             qPrintable(line));

    // A save that cannot be written says so.
    f->prompts.fileToSave = f->path("no/such/folder/x.xml");
    window->configController()->saveFile();
    QCOMPARE(f->prompts.asked.value(0), QString("Ошибка: Ошибка сохранения конфигурации"));
}

void tst_ConfigFiles::mismatchingFileChangesNothing()
{
    connectDevice();
    const QByteArray fullBefore = ConfigDocument::toText(window->configController()->fullConfiguration());
    f->prompts.fileToOpen =
        f->writeFile("other.xml", "<configuration><dev_id param=\"760\"/>"
                                  "<tx_period param=\"00000078\"/></configuration>");
    window->configController()->openFile();
    QCOMPARE(f->prompts.asked,
             QStringList{"Ошибка открытия файла: Файл конфигурации не соответствует "
                         "подключенному устройству"});
    QCOMPARE(ConfigDocument::toText(window->configController()->fullConfiguration()), fullBefore);
    QVERIFY(ConfigDocument::isEmpty(window->configController()->pendingChanges()));
    // So a write has nothing to send.
    window->configController()->write();
    QCOMPARE(f->prompts.asked.last(),
             QString("Запись конфигурации: Отсутствуют изменения для записи в устройство"));
    QVERIFY(f->writes().isEmpty());

    // Nor does a file without a device type: it could be any model's.
    f->prompts.fileToOpen =
        f->writeFile("notype.xml", "<configuration><dev_id param=\"\"/>"
                                   "<tx_period param=\"00000078\"/></configuration>");
    window->configController()->openFile();
    QCOMPARE(f->prompts.asked.last(), f->prompts.asked.first());
    QVERIFY(ConfigDocument::isEmpty(window->configController()->pendingChanges()));
}

void tst_ConfigFiles::malformedFiles_data()
{
    // Every kind of refusal is tabled in the command-line tests; here the window's side of it.
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason"); // the second line of the box
    QTest::newRow("not xml") << QByteArray("this is not a configuration") << QString();
    QTest::newRow("deep") << "<configuration>" + QByteArray("<a>").repeated(50000) +
                                 "</configuration>"
                          << "В файле есть элементы, вложенные в параметр.";
    QTest::newRow("repeated") << QByteArray("<configuration><nb_trials param=\"04\"/>"
                                            "<rs_repeat param=\"01\"/><nb_trials param=\"05\"/>"
                                            "</configuration>")
                              << "Параметры заданы в файле более одного раза: nb_trials";
    QTest::newRow("encoding") << QByteArray("<?xml version=\"1.0\" encoding=\"KOI8-R\"?>"
                                            "<configuration/>")
                              << "Кодировка файла не поддерживается (the encoding KOI8-R is not "
                                 "read; save the file as UTF-8). Сохраните файл в UTF-8.";
}

void tst_ConfigFiles::malformedFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    connectDevice();
    const QByteArray fullBefore = ConfigDocument::toText(window->configController()->fullConfiguration());
    f->prompts.fileToOpen = f->writeFile("bad.xml", content);
    window->configController()->openFile();
    QString expected = "Ошибка открытия файла: Файл не является файлом конфигурации или поврежден";
    if (!reason.isEmpty())
        expected += "\n" + reason;
    QCOMPARE(f->prompts.asked, QStringList{expected});
    QVERIFY(ConfigDocument::isEmpty(window->configController()->pendingChanges()));
    QCOMPARE(ConfigDocument::toText(window->configController()->fullConfiguration()), fullBefore);
}

void tst_ConfigFiles::invalidValuesAreRefused()
{
    connectDevice();
    f->prompts.fileToOpen = f->writeFile(
        "partly.xml", "<configuration><dev_id param=\"750\"/><tx_period param=\"0e10\"/>"
                      "<app_key param=\"00112233445566778899aabbccddeeff\"/>"
                      "<nb_trials param=\"zz\"/><check_connect param=\"07\"/>"
                      "<rs_settings rs_speed=\"2580\" rs_data_bits=\"08\" "
                      "rs_parity=\"00\" rs_stop_bits=\"01\"/></configuration>");
    window->configController()->openFile();
    QCOMPARE(f->prompts.asked.size(), 1);
    const QString message = f->prompts.asked.first();
    QVERIFY(message.contains("tx_period"));
    QVERIFY(message.contains("nb_trials"));
    QVERIFY(message.contains("rs_settings"));
    QVERIFY(!message.contains("check_connect"));
    // Keys are never taken from a file, valid or not.
    // The device type names the model; it is not a change.
    QCOMPARE(AppFixture::elementNames(window->configController()->pendingChanges()), QStringList{"check_connect"});
    QVERIFY(ConfigDocument::param(window->configController()->fullConfiguration(), "app_key") !=
            "00112233445566778899aabbccddeeff");
}

void tst_ConfigFiles::writeIsReadBack_data()
{
    QTest::addColumn<bool>("verify");  // the setting
    QTest::addColumn<bool>("kept");    // the device acknowledges tx_period but keeps its value
    QTest::addColumn<QString>("told"); // empty: no box about the read-back
    QTest::newRow("stored") << true << false
                            << "Проверка записи: Записано и проверено: значений прочитано из "
                               "устройства таких же, как записаны: 2";
    QTest::newRow("kept silently")
        << true << true
        << "Проверка записи: Устройство хранит не те значения, что были записаны:\n"
           "Период передачи, с: записано 120 с, прочитано %1 с";
    QTest::newRow("setting off") << false << true << QString();
}

void tst_ConfigFiles::writeIsReadBack()
{
    QFETCH(bool, verify);
    QFETCH(bool, kept);
    QFETCH(QString, told);
    AppSettings::setVerifyWrites(verify);
    SimConfig c;
    c.rebootDelayMs = AppFixture::quickRebootMs;
    if (kept)
        c.ignoredParams = {0x000A};
    connectDevice(c);
    const QString before = QString::number(f->sim()->device().param(0x000A).toHex().toUInt(nullptr, 16));
    window->configController()->replaceElement("tx_period", {{"param", "00000078"}});
    window->configController()->replaceElement("nb_trials", {{"param", "05"}});
    f->prompts.answer = UserPrompts::Yes;
    window->configController()->write();
    // Written, rebooted, found on its new terminal and read again.
    QTRY_VERIFY_WITH_TIMEOUT(f->sim()->commandCount(Cmd::deviceInfo) == 2 &&
                                 window->globalState() == LinkState::Ready,
                             3 * AppFixture::connectWaitMs);
    QStringList boxes = f->prompts.asked.filter("Проверка записи");
    QCOMPARE(boxes, told.isEmpty() ? QStringList() : QStringList{told.arg(before)});
    // Told once: a later read of the same device is no read-back.
    window->readConfig();
    QTRY_VERIFY_WITH_TIMEOUT(f->sim()->commandCount(Cmd::deviceInfo) == 3 &&
                                 window->globalState() == LinkState::Ready,
                             AppFixture::connectWaitMs);
    QCOMPARE(f->prompts.asked.filter("Проверка записи").size(), boxes.size());
}

void tst_ConfigFiles::failedWriteKeepsTheEdits_data()
{
    QTest::addColumn<bool>("refused"); // else the device stops answering
    QTest::addColumn<int>("failedIn");
    QTest::addColumn<QString>("told");
    QTest::addColumn<QStringList>("stillPending");
    QTest::addColumn<QStringList>("secondWrite");
    const QString tx = "0x8501 [00 01 0a 04 00 00 00 78]";
    const QString nb = "0x8501 [00 01 10 01 05]";
    // The device took tx_period and refused nb_trials: only nb_trials is still to write.
    QTest::newRow("refused") << true << int(LinkState::Ready)
                             << "Ошибка записи: Ошибка записи конфигурации, проверьте корректность "
                                "введенных параметров и повторите запись конфигурации\n\n"
                                "Записаны: Период передачи, с\n"
                                "Не записаны (остались в изменениях): Количество попыток передачи"
                             << QStringList{"nb_trials"} << QStringList{nb};
    QTest::newRow("no answer") << false << int(LinkState::NotRespond)
                               << "Ошибка записи: Запись конфигурации прервана: устройство не "
                                  "отвечает.\n\nЗаписаны: нет\n"
                                  "Не записаны (остались в изменениях): Период передачи, с, "
                                  "Количество попыток передачи"
                               << QStringList{"tx_period", "nb_trials"}
                               << QStringList{tx, nb, "0x8001 []"};
}

void tst_ConfigFiles::failedWriteKeepsTheEdits()
{
    QFETCH(bool, refused);
    QFETCH(int, failedIn);
    QFETCH(QString, told);
    QFETCH(QStringList, stillPending);
    QFETCH(QStringList, secondWrite);
    SimConfig c;
    if (refused)
        c.refusedParams = {0x0010}; // nb_trials, the second of the two
    connectDevice(c);
    window->deviceLink()->setAnswerTimeout(AppFixture::shortAnswerTimeoutMs);
    f->sim()->faults().silent = !refused;
    f->prompts.linkAnswers = {UserPrompts::No}; // give up after the resends
    window->configController()->replaceElement("tx_period", {{"param", "00000078"}});
    window->configController()->replaceElement("nb_trials", {{"param", "05"}});
    f->prompts.answer = UserPrompts::Yes;
    window->configController()->write();
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), failedIn, 2 * AppFixture::answerWaitMs);
    QVERIFY2(f->prompts.asked.contains(told), qPrintable(f->prompts.asked.join("\n---\n")));
    // Nothing the user typed is lost: a second write sends what did not reach the device.
    QCOMPARE(AppFixture::elementNames(window->configController()->pendingChanges()), stillPending);
    f->sim()->faults().silent = false;
    f->clearRequests();
    window->configController()->write();
    waitForWrites(secondWrite.size());
    QCOMPARE(f->writes(), secondWrite);
    QCOMPARE(ConfigDocument::isEmpty(window->configController()->pendingChanges()), !refused);
}

void tst_ConfigFiles::closeWithChangesAsks_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("written");
    QTest::newRow("no: close") << int(UserPrompts::No) << true << false;
    QTest::newRow("cancel: stay") << int(UserPrompts::Cancel) << false << false;
    QTest::newRow("yes: write, then the reboot ends it") << int(UserPrompts::Yes) << false << true;
}

void tst_ConfigFiles::closeWithChangesAsks()
{
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(bool, written);
    connectDevice();
    window->show();
    window->configController()->replaceElement("nb_trials", {{"param", "06"}});
    f->prompts.answer = UserPrompts::Button(answer);
    QMetaObject::invokeMethod(window, "on_closeMainWindow_clicked");
    // The device the changes would go to is named.
    QCOMPARE(f->prompts.asked.value(0),
             "Предупреждение: Имеются не записанные изменения.\nЗаписать изменения?\n"
             "Устройство: Вэкса750v2, SN " +
                 f->sim()->device().serialNumber() + ", DevEUI " +
                 DeviceInterface::shownDevEui(f->sim()->device().devEui()));
    QCOMPARE(window->isVisible(), !closed);
    if (written) {
        waitForWrites(2);
        QCOMPARE(f->writes().first(), QString("0x8501 [00 01 10 01 06]"));
    }
}

void tst_ConfigFiles::pendingChangesAreShown_data()
{
    QTest::addColumn<QString>("typed");    // tx_period typed first ("" for none)
    QTest::addColumn<bool>("fromFile");    // then a file sets tx_period to 7200
    QTest::addColumn<QString>("replaced"); // what the file is told to have replaced
    QTest::newRow("edit, written and rebooted") << "7200" << false << "";
    QTest::newRow("file") << "" << true << "";
    QTest::newRow("file over an edit") << "1800" << true << "1800";
}

void tst_ConfigFiles::pendingChangesAreShown()
{
    QFETCH(QString, typed);
    QFETCH(bool, fromFile);
    QFETCH(QString, replaced);
    SimConfig c;
    c.rebootDelayMs = AppFixture::quickRebootMs;
    connectDevice(c);
    auto *menu = window->findChild<QListWidget *>("terminalMenu");
    auto *period = window->findChild<QLineEdit *>("txPeriodLineEdit");
    auto *write = window->findChild<QToolButton *>("writeConfigButton");
    menu->setCurrentRow(1);
    window->itemSelected(menu->model()->index(1, 0));
    QCOMPARE(period->text(), QString("3600"));
    if (!typed.isEmpty()) {
        period->setText(typed);
        emit period->editingFinished();
    }
    if (fromFile) {
        // nb_trials as the device has it: no change, so not pending.
        const QString trials = ConfigDocument::param(window->configController()->fullConfiguration(), "nb_trials");
        f->prompts.fileToOpen = f->writeFile(
            "f.xml", "<configuration><dev_id param=\"750\"/><tx_period param=\"00001c20\"/>"
                     "<nb_trials param=\"" +
                         trials.toLatin1() + "\"/></configuration>");
        window->configController()->openFile();
    }
    const QRegularExpression replacedLine("^Открытие файла: .*:\n[^:]+: (\\d+) с$");
    QCOMPARE(replacedLine.match(f->prompts.asked.join('|')).captured(1), replaced);
    QCOMPARE(AppFixture::elementNames(window->configController()->pendingChanges()), QStringList{"tx_period"});
    QCOMPARE(period->text(), QString("7200"));
    QCOMPARE(period->property("pendingChange").toString(), fromFile ? "file" : "edited");
    // The page with the change is marked in the list, the others not; the count is on the button.
    QVERIFY(!menu->item(1)->icon().isNull());
    QVERIFY(menu->item(2)->icon().isNull() && menu->item(5)->icon().isNull());
    QCOMPARE(write->text(), QString("1"));

    // The confirmation names the change: label, the device's value, the new one; and the reboot.
    f->prompts.asked.clear();
    f->prompts.answer = UserPrompts::No;
    window->configController()->write();
    const QString question = f->prompts.asked.value(0);
    const QRegularExpressionMatch change =
        QRegularExpression("\n([^\n:]+): 3600 с → 7200 с\n").match(question);
    QVERIFY2(change.hasMatch(), qPrintable(question));
    QVERIFY(!change.captured(1).contains("tx_period"));
    QVERIFY(question.endsWith("После записи устройство перезагрузится."));
    QVERIFY(f->writes().isEmpty());
    if (fromFile)
        return;

    // Written: nothing is pending any more, and after the reboot the page is the same.
    f->prompts.answer = UserPrompts::Yes;
    window->configController()->write();
    QTRY_COMPARE_WITH_TIMEOUT(f->sim()->commandCount(Cmd::deviceInfo), 2,
                              c.rebootDelayMs + 2 * AppFixture::connectWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), 2, AppFixture::connectWaitMs);
    QCOMPARE(menu->currentRow(), 1);
    QCOMPARE(period->text(), QString("7200"));
    QCOMPARE(period->property("pendingChange").toString(), QString());
    QVERIFY(menu->item(1)->icon().isNull());
    QCOMPARE(write->text(), QString());
}

void tst_ConfigFiles::incompleteKeyIsNotWritten()
{
    connectDevice();
    window->show();
    auto *key = window->findChild<QLineEdit *>("appKey_line");
    auto *period = window->findChild<QLineEdit *>("txPeriodLineEdit");
    period->setText("7200");
    emit period->editingFinished();
    // Only hex digits go in: "zz" is refused as it is typed.
    key->clear();
    QTest::keyClicks(key, "12zz");
    QCOMPARE(key->text(), QString("12"));
    emit key->editingFinished();
    QCOMPARE(key->property("inputProblem").toString(), QString("invalid"));
    f->prompts.answer = UserPrompts::Yes;
    window->configController()->write();
    QCOMPARE(f->prompts.asked.size(), 1);
    QVERIFY2(f->prompts.asked.first().startsWith(
                 "Запись конфигурации: Запись невозможна, исправьте поля:\n"),
             qPrintable(f->prompts.asked.first()));
    QTest::qWait(AppFixture::nothingFollowsMs);
    QVERIFY(f->writes().isEmpty()); // not even the valid tx_period
    QVERIFY(ConfigDocument::param(window->configController()->pendingChanges(), "app_key").isEmpty());

    // Completed, the key is written with the rest.
    QTest::keyClicks(key, QString(30, 'a'));
    emit key->editingFinished();
    QCOMPARE(key->property("inputProblem").toString(), QString());
    window->configController()->write();
    waitForWrites(3);
    QVERIFY(f->writes().at(1).startsWith("0x8501 [00 01 05 10 12 aa"));
}

QTEST_MAIN(tst_ConfigFiles)
#include "tst_configfiles.moc"
