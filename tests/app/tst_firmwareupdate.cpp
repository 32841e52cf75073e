#include "appfixture.h"
#include "appsettings.h"
#include "configcontroller.h"
#include "devicejournal.h"
#include "historycontroller.h"
#include "firmwareimage.h"
#include "linkstate.h"
#include "mainwindow.h"
#include "net.h"
#include "updateoffer.h"
#include "updateserver.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QSettings>
#include <QPushButton>
#include <QToolButton>

// The firmware update as a user sees it: the store offers a newer firmware, the button asks,
// the transfer runs and the device comes back with the new version.
class tst_FirmwareUpdate : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY((f = std::make_unique<AppFixture>())->isValid()); }
    void cleanup() { f.reset(); }
    void updateFromTheStore_data();
    void updateFromTheStore();
    void cancelThenResume();
    void updateCheck_data();
    void updateCheck();
    void unsignedUpdateAsksAgain();
    void closingToInstallIsSaid();

private:
    void store(const QString &name, const QByteArray &content)
    {
        QVERIFY(QDir().mkpath(f->path("firmware")));
        f->writeFile("firmware/" + name, content);
    }
    std::unique_ptr<AppFixture> f;
};

void tst_FirmwareUpdate::updateFromTheStore_data()
{
    QTest::addColumn<int>("newestSize");  // of the newest 750 image in the store
    QTest::addColumn<QString>("refusal"); // empty: the update goes through
    QTest::newRow("update") << 40 * 1024 << QString();
    QTest::newRow("image too large, nothing sent")
        << FileTransfer::maxFileBytes + 1
        << "Обновление прошивки: Файл прошивки больше, чем может принять устройство.";
}

void tst_FirmwareUpdate::updateFromTheStore()
{
    QFETCH(int, newestSize);
    QFETCH(QString, refusal);
    // Of the store, only the newest image of this model counts: not an older one, not another
    // model's newer one, not a file without a firmware header.
    store("Vexa750_v1.3.0_update.bin", firmwareImage(750, "1.3.0", 4096));
    store("copied by hand.bin", firmwareImage(750, "1.3.12", newestSize));
    store("Vexa701_v9.0.0_update.bin", firmwareImage(701, "9.0.0", 4096));
    store("notes.txt", "1.9.9");
    SimConfig c;
    c.rebootDelayMs = AppFixture::quickRebootMs;
    MainWindow *window = f->connectWindow(c);
    QVERIFY(window);
    auto *button = window->findChild<QToolButton *>("updateFwButton");
    QVERIFY(button->isEnabled());
    QCOMPARE(button->toolTip(), QString("Обновить прошивку устройства до версии 1.3.12"));
    QCOMPARE(window->firmwareCheckResult(), MainWindow::FwCheck::NewerAvailable);

    f->clearRequests();
    f->prompts.answer = UserPrompts::Yes;
    button->click();
    const QString deviceLine = "Устройство: Вэкса750v2, SN " + f->sim()->device().serialNumber() +
                               ", DevEUI " +
                               DeviceInterface::shownDevEui(f->sim()->device().devEui());
    QCOMPARE(f->prompts.asked.value(0),
             QString("Обновление прошивки: Обновить прошивку устройства до версии 1.3.12 "
                     "?&nbsp;<A HREF='https://help.vexa7xx.example/?dev_type=750v2#ist'>"
                     "Список изменений</A><br>" + deviceLine +
                     "<br>Сейчас на устройстве: версия 1.3.1"));
    if (!refusal.isEmpty()) {
        QCOMPARE(f->prompts.asked.value(1), refusal);
        QCOMPARE(f->codes({"0x81"}), QStringList());
        QCOMPARE(window->globalState(), int(LinkState::Ready));
        // The device is polled again.
        QTRY_VERIFY_WITH_TIMEOUT(!f->codes({"0x86"}).isEmpty(), AppFixture::connectWaitMs);
        return;
    }
    // The progress dialog goes through its steps while the pages wait.
    auto *dialog = window->firmwareController()->progressDialog();
    QVERIFY(dialog);
    auto *pages = window->findChild<QWidget *>("stackedWidget");
    QVERIFY(!pages->isEnabled());
    QVERIFY(!window->findChild<QWidget *>("terminalMenu")->isEnabled());
    QList<FirmwareDialog::Step> steps;
    connect(dialog, &FirmwareDialog::stepChanged, this,
            [&steps](FirmwareDialog::Step step) { steps << step; });
    // The device restarts into the image and is read again with its new version.
    QTRY_COMPARE_WITH_TIMEOUT(window->findChild<QLabel *>("softVer_lbl")->text(), QString("1.3.12"),
                              10 * AppFixture::connectWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(window->globalState(), int(LinkState::Ready),
                              AppFixture::connectWaitMs);
    // The outcome is told with the version the device came back with.
    QTRY_COMPARE(dialog->outcomeText(), deviceLine + " теперь работает с прошивкой 1.3.12.");
    using S = FirmwareDialog::Step;
    QCOMPARE(steps, (QList<S>{S::Transfer, S::Check, S::Restart, S::Return}));
    QCOMPARE(dialog->percent(), 100);
    QVERIFY(pages->isEnabled());
    QVERIFY2(f->prompts.notes.isEmpty(), qPrintable(f->prompts.notes.join('|')));
    QCOMPARE(f->sim()->device().storedFile(), firmwareImage(750, "1.3.12", newestSize));
    QVERIFY(!button->isEnabled());
    QCOMPARE(window->firmwareCheckResult(), MainWindow::FwCheck::UpToDate);
}

void tst_FirmwareUpdate::cancelThenResume()
{
    // Cancel stops between two blocks; the next update of the same image sends only the rest.
    const QByteArray image = firmwareImage(750, "1.3.12", 40 * 1024);
    store("Vexa750_v1.3.12_update.bin", image);
    SimConfig c;
    c.rebootDelayMs = AppFixture::quickRebootMs;
    MainWindow *window = f->connectWindow(c);
    QVERIFY(window);
    const auto code = [](quint16 cmd) { return QString("0x%1").arg(cmd, 4, 16, QChar('0')); };
    f->prompts.answer = UserPrompts::Yes;
    QMetaObject::Connection atQuarter;
    atQuarter = connect(window->firmwareController()->transfer(), &FileTransfer::setProgressValue,
                        this, [&](int bytes) {
                            if (bytes < image.size() / 4)
                                return;
                            disconnect(atQuarter);
                            window->findChild<QPushButton *>("cancelFirmwareButton")->click();
                        });
    f->clearRequests();
    window->findChild<QToolButton *>("updateFwButton")->click();
    QPointer<FirmwareDialog> dialog = window->firmwareController()->progressDialog();
    QVERIFY(dialog);
    QTRY_VERIFY_WITH_TIMEOUT(dialog->isFinished(), 10 * AppFixture::connectWaitMs);
    const int held = f->sim()->device().storedFile().size();
    QVERIFY2(held >= image.size() / 4 && held < image.size(), qPrintable(QString::number(held)));
    QVERIFY2(dialog->outcomeText().startsWith(
                 QString("Обновление отменено. В устройстве %1 из 40 КБ прошивки 1.3.12")
                     .arg(held / 1024)),
             qPrintable(dialog->outcomeText()));
    QCOMPARE(f->codes({code(Cmd::checkFile), code(Cmd::reboot)}), QStringList());
    QVERIFY(window->findChild<QWidget *>("stackedWidget")->isEnabled());
    QTRY_COMPARE(window->globalState(), int(LinkState::Ready));
    QVERIFY(window->findChild<QWidget *>("terminalMenu")->isEnabled());
    dialog->findChild<QPushButton *>("closeFirmwareButton")->click();
    QTRY_VERIFY(!dialog);

    f->clearRequests();
    window->findChild<QToolButton *>("updateFwButton")->click();
    dialog = window->firmwareController()->progressDialog();
    QVERIFY(dialog);
    QTRY_VERIFY_WITH_TIMEOUT(dialog->isFinished(), 10 * AppFixture::connectWaitMs);
    QVERIFY2(dialog->outcomeText().endsWith("теперь работает с прошивкой 1.3.12."),
             qPrintable(dialog->outcomeText()));
    QVERIFY(dialog->findChild<QLabel *>("versionLabel")->text().contains(
        QString("запись продолжается с %1 КБ").arg(held / 1024)));
    const int blockBytes = FileTransfer::defaultBlockSize;
    QCOMPARE(f->requests({"file block"}).size(),
             (image.size() - held + blockBytes - 1) / blockBytes);
    QCOMPARE(f->sim()->device().storedFile(), image);
    // The device journal keeps both attempts, newest first.
    DeviceJournal *journal = window->historyController()->journal();
    const auto flashes = [&] {
        journal->waitForDrained();
        QStringList out;
        for (const JournalRecord &j : journal->jobs(f->sim()->device().serialNumber())) {
            if (j.kind == JournalRecord::Kind::Flash)
                out << JournalRecord::resultName(j.result) + " " + j.firmwareBefore + " → " +
                           j.firmwareAfter;
        }
        return out;
    };
    QTRY_COMPARE(flashes(), (QStringList{"ok 1.3.1 → 1.3.12", "cancelled 1.3.1 → 1.3.1"}));
}

void tst_FirmwareUpdate::updateCheck_data()
{
    QTest::addColumn<QString>("server"); // what the server is like when the user asks
    QTest::addColumn<QStringList>("asked");
    QTest::newRow("firmware in the store") << "same" << QStringList{
        "Проверка обновлений: Доступна новая версия прошивки"};
    QTest::newRow("server gone") << "gone" << QStringList{
        "Проверка обновлений: Сервер обновлений недоступен"};
    QTest::newRow("newer firmware with a broken signature") << "signature" << QStringList{
        "Проверка обновлений: Прошивка с сервера обновлений отклонена: его подпись не "
        "сходится: файл изменён или повреждён. Ничего не сохранено."};
    QTest::newRow("configurator archive broken") << "archive" << QStringList{
        "Проверка обновлений: Доступна новая версия прошивки",
        "Обновление конфигуратора: Доступно обновление конфигуратора v1.7.0&nbsp;<A "
        "HREF='https://help.vexa7xx.example/?dev_type=750v2#history_open'>Список изменений</A>"
        "<br>Загрузить обновление? (0.0MB)",
        "Обновление конфигуратора: Обновление не установлено, конфигуратор продолжает работу."};
}

void tst_FirmwareUpdate::updateCheck()
{
    QFETCH(QString, server);
    QFETCH(QStringList, asked);
    QTemporaryDir root;
    QVERIFY(QDir().mkpath(root.filePath("firmware")) &&
            QDir().mkpath(root.filePath("configurator")));
    const QByteArray image = firmwareImage(750, "1.4.0", 30000);
    {
        QFile out(root.filePath("firmware/750.bin"));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(image);
    }
    auto updates = std::make_unique<UpdateServer>(root.path());
    QVERIFY(updates->listen(0));
    f->writeFile("settings.conf", QStringLiteral("[UpdateServer]\nIP=127.0.0.1\nPort=%1\n")
                                      .arg(updates->port()).toUtf8());

    // At start-up the check runs quietly: the model's newer firmware lands in the store and is
    // offered for the device; the store being empty, every model was asked about "0.0.0".
    MainWindow *window = f->connectWindow();
    QVERIFY(window);
    auto *checkButton = window->findChild<QToolButton *>("checkUpdatesButton");
    QTRY_VERIFY_WITH_TIMEOUT(checkButton->isEnabled() && !window->updater()->busy(),
                             AppFixture::connectWaitMs);
    QTRY_VERIFY(window->findChild<QToolButton *>("updateFwButton")->isEnabled());
    QFile stored(f->path("firmware/Vexa750_v1.4.0_update.bin"));
    QVERIFY(stored.open(QIODevice::ReadOnly));
    QCOMPARE(stored.readAll(), image);
    QCOMPARE(updates->requests().size(), 10); // nine models, then the configurator
    for (const QByteArray &request : updates->requests().mid(0, 9))
        QVERIFY2(request.contains("\"fw\": \"0.0.0\""), request.constData());
    QCOMPARE(f->prompts.asked, QStringList());

    if (server == "gone")
        updates.reset();
    if (server == "signature") {
        // A trusted key, and the server's newer image damaged on its way.
        QSettings(AppSettings::filePath(), QSettings::IniFormat)
            .setValue("UpdateServer/PublicKeys",
                      QString::fromLatin1(UpdateServer::testKey().publicKey.toBase64()));
        QFile newer(root.filePath("firmware/750.bin"));
        QVERIFY(newer.open(QIODevice::WriteOnly));
        newer.write(firmwareImage(750, "1.5.0", 30000));
        newer.close();
        updates->faults().signing = UpdateServer::Signing::BadSignature;
    }
    if (server == "archive") {
        QFile archive(root.filePath("configurator/vexa7xx-configurator-1.7.0.zip"));
        QVERIFY(archive.open(QIODevice::WriteOnly));
        archive.write("not a zip archive");
    }
    f->prompts.answer = UserPrompts::Yes;
    checkButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(checkButton->isEnabled() && !window->updater()->busy() &&
                                 f->prompts.asked.size() >= asked.size(),
                             AppFixture::connectWaitMs);
    for (int i = 0; i < asked.size(); ++i)
        QVERIFY2(f->prompts.asked.value(i).startsWith(asked.at(i)),
                 qPrintable(f->prompts.asked.join('|')));
    QCOMPARE(f->prompts.asked.size(), asked.size());
    // Whatever the outcome, the device is worked with again.
    QTRY_COMPARE(window->globalState(), int(LinkState::Ready));
}

void tst_FirmwareUpdate::unsignedUpdateAsksAgain()
{
    // No key is trusted: after the download and before anything is installed, a second
    // question; its No installs nothing and keeps nothing.
    QTemporaryDir root;
    QString why;
    QVERIFY2(UpdateServer::makeDemoRoot(root.path(), &why), qPrintable(why));
    UpdateServer updates(root.path());
    QVERIFY(updates.listen(0));
    f->writeFile("settings.conf", QStringLiteral("[UpdateServer]\nIP=127.0.0.1\nPort=%1\n")
                                      .arg(updates.port())
                                      .toUtf8());
    MainWindow *window = f->connectWindow();
    QVERIFY(window);
    askForConfiguratorUpdate(*f, window);
    if (QTest::currentTestFailed())
        return;
    f->prompts.answer = UserPrompts::No; // to the question that follows
    QCOMPARE(f->prompts.release(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(f->prompts.asked.last().contains("не подписано"),
                             AppFixture::connectWaitMs);
    QVERIFY(QFileInfo::exists(f->path("updates/update.zip")));
    QCOMPARE(f->prompts.release(), 1);
    QTRY_VERIFY(!QFileInfo::exists(f->path("updates/update.zip")));
    QVERIFY(!QFileInfo::exists(f->path("updates/startupd.sh")));
    QVERIFY(!QFileInfo::exists(f->path("update-marker.txt")));
    QTRY_COMPARE(window->globalState(), int(LinkState::Ready));
}

void tst_FirmwareUpdate::closingToInstallIsSaid()
{
    // A trusted update: before the window closes to install, it says so and offers to keep the
    // unsaved edits in a file; Cancel installs nothing.
    QTemporaryDir root;
    QString why;
    QVERIFY2(UpdateServer::makeDemoRoot(root.path(), &why), qPrintable(why));
    UpdateServer updates(root.path());
    QVERIFY(updates.listen(0));
    f->writeFile("settings.conf", QStringLiteral("[UpdateServer]\nIP=127.0.0.1\nPort=%1\n"
                                                 "PublicKeys=%2\n")
                                      .arg(updates.port())
                                      .arg(QString::fromLatin1(
                                          UpdateServer::testKey().publicKey.toBase64()))
                                      .toUtf8());
    MainWindow *window = f->connectWindow();
    QVERIFY(window);
    window->configController()->replaceElement("tx_period", {{"param", "00001c21"}});
    askForConfiguratorUpdate(*f, window);
    if (QTest::currentTestFailed())
        return;
    f->prompts.answer = UserPrompts::Cancel;
    QCOMPARE(f->prompts.release(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(f->prompts.asked.last().contains("закроется, чтобы установить "
                                                              "версию 1.7.0"),
                             AppFixture::connectWaitMs);
    QVERIFY(f->prompts.asked.last().contains("незаписанные изменения"));
    QCOMPARE(f->prompts.release(), 1);
    QTRY_COMPARE(window->globalState(), int(LinkState::Ready));
    QVERIFY(!QFileInfo::exists(f->path("update-marker.txt")));
    QVERIFY(!window->configController()->pendingChanges().documentElement().firstChildElement().isNull());
}

QTEST_MAIN(tst_FirmwareUpdate)
#include "tst_firmwareupdate.moc"
