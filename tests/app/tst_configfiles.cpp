#include "appfixture.h"
#include "appsettings.h"
#include "configdocument.h"
#include "linkstate.h"
#include "mainwindow.h"

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
    window->saveFileSlot();
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

    // A save that cannot be written says so.
    f->prompts.fileToSave = f->path("no/such/folder/x.xml");
    window->saveFileSlot();
    QCOMPARE(f->prompts.asked.value(0), QString("Ошибка: Ошибка сохранения конфигурации"));
}

void tst_ConfigFiles::mismatchingFileChangesNothing()
{
    connectDevice();
    const QByteArray fullBefore = ConfigDocument::toText(window->fullConfiguration());
    f->prompts.fileToOpen =
        f->writeFile("other.xml", "<configuration><dev_id param=\"760\"/>"
                                  "<tx_period param=\"00000078\"/></configuration>");
    window->openFileSlot();
    QCOMPARE(f->prompts.asked,
             QStringList{"Ошибка открытия файла: Файл конфигурации не соответствует "
                         "подключенному устройству"});
    QCOMPARE(ConfigDocument::toText(window->fullConfiguration()), fullBefore);
    QVERIFY(ConfigDocument::isEmpty(window->pendingChanges()));
    // So a write has nothing to send.
    window->writeConfig();
    QCOMPARE(f->prompts.asked.last(),
             QString("Запись конфигурации: Отсутствуют изменения для записи в устройство"));
    QVERIFY(f->writes().isEmpty());

    // Nor does a file without a device type: it could be any model's.
    f->prompts.fileToOpen =
        f->writeFile("notype.xml", "<configuration><dev_id param=\"\"/>"
                                   "<tx_period param=\"00000078\"/></configuration>");
    window->openFileSlot();
    QCOMPARE(f->prompts.asked.last(), f->prompts.asked.first());
    QVERIFY(ConfigDocument::isEmpty(window->pendingChanges()));
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
}

void tst_ConfigFiles::malformedFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    connectDevice();
    const QByteArray fullBefore = ConfigDocument::toText(window->fullConfiguration());
    f->prompts.fileToOpen = f->writeFile("bad.xml", content);
    window->openFileSlot();
    QString expected = "Ошибка открытия файла: Файл не является файлом конфигурации или поврежден";
    if (!reason.isEmpty())
        expected += "\n" + reason;
    QCOMPARE(f->prompts.asked, QStringList{expected});
    QVERIFY(ConfigDocument::isEmpty(window->pendingChanges()));
    QCOMPARE(ConfigDocument::toText(window->fullConfiguration()), fullBefore);
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
    window->openFileSlot();
    QCOMPARE(f->prompts.asked.size(), 1);
    const QString message = f->prompts.asked.first();
    QVERIFY(message.contains("tx_period"));
    QVERIFY(message.contains("nb_trials"));
    QVERIFY(message.contains("rs_settings"));
    QVERIFY(!message.contains("check_connect"));
    // Keys are never taken from a file, valid or not.
    QCOMPARE(AppFixture::elementNames(window->pendingChanges()),
             (QStringList{"dev_id", "check_connect"}));
    QVERIFY(!AppFixture::elementNames(window->fullConfiguration()).contains("app_key"));
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
           "tx_period: записано 00000078, прочитано %1";
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
    const QString before = QString::fromLatin1(f->sim()->device().param(0x000A).toHex());
    window->replaceElement("tx_period", {{"param", "00000078"}});
    window->replaceElement("nb_trials", {{"param", "05"}});
    f->prompts.answer = UserPrompts::Yes;
    window->writeConfig();
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
                                "Записаны: tx_period\n"
                                "Не записаны (остались в изменениях): nb_trials"
                             << QStringList{"nb_trials"} << QStringList{nb};
    QTest::newRow("no answer") << false << int(LinkState::NotRespond)
                               << "Ошибка записи: Запись конфигурации прервана: устройство не "
                                  "отвечает.\n\nЗаписаны: нет\n"
                                  "Не записаны (остались в изменениях): tx_period, nb_trials"
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
    window->replaceElement("tx_period", {{"param", "00000078"}});
    window->replaceElement("nb_trials", {{"param", "05"}});
    f->prompts.answer = UserPrompts::Yes;
    window->writeConfig();
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), failedIn, 2 * AppFixture::answerWaitMs);
    QVERIFY2(f->prompts.asked.contains(told), qPrintable(f->prompts.asked.join("\n---\n")));
    // Nothing the user typed is lost: a second write sends what did not reach the device.
    QCOMPARE(AppFixture::elementNames(window->pendingChanges()), stillPending);
    f->sim()->faults().silent = false;
    f->clearRequests();
    window->writeConfig();
    waitForWrites(secondWrite.size());
    QCOMPARE(f->writes(), secondWrite);
    QCOMPARE(ConfigDocument::isEmpty(window->pendingChanges()), !refused);
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
    window->replaceElement("nb_trials", {{"param", "06"}});
    f->prompts.answer = UserPrompts::Button(answer);
    QMetaObject::invokeMethod(window, "on_closeMainWindow_clicked");
    QCOMPARE(f->prompts.asked.value(0),
             QString("Предупреждение: Имеются не записанные изменения.\nЗаписать изменения?"));
    QCOMPARE(window->isVisible(), !closed);
    if (written) {
        waitForWrites(2);
        QCOMPARE(f->writes().first(), QString("0x8501 [00 01 10 01 06]"));
    }
}

QTEST_MAIN(tst_ConfigFiles)
#include "tst_configfiles.moc"
