#include "aboutform.h"
#include "appfixture.h"
#include "apptranslators.h"
#include "appsettings.h"
#include "authenticationcontroller.h"
#include "guiresources.h"
#include "historycontroller.h"
#include "mainwindow.h"
#include "pagecontroller.h"
#include "selectdeviceform.h"
#include "settingsform.h"
#include "showntexts.h"
#include "statuscontroller.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QThread>
#include <QTimeZone>
#include <QTimer>

#include <atomic>
#include <utility>

// The window without a device: start-up, settings, language, console history, dragging; and with
// one, that every text of every page and dialog is complete in each language and fits.
class tst_MainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY((f = std::make_unique<AppFixture>())->isValid()); }
    void cleanup() { f.reset(); }
    void startsWaitingForDevice();
    void storesDefaultsAtStart();
    void timeZonesWestToEast();
    void consoleShortcutTogglesRow();
    void aboutShowsCurrentLanguage();
    void languageSwitchRetranslates();
    void languageSwitchWhileAnotherThreadTranslates();
    void settingsSaveStopsStatusTimer();
    void settingsFormSavesTheConnection();
    void everyTextFits_data();
    void everyTextFits();

private:
    std::unique_ptr<MainWindow> makeWindow() { return std::make_unique<MainWindow>(&f->prompts); }
    std::unique_ptr<AppFixture> f;
};

void tst_MainWindow::startsWaitingForDevice()
{
    auto w = makeWindow();
    QVERIFY(!w->startupFailed());
    // Only the first page is offered until a device has been read.
    auto *menu = w->findChild<QListWidget *>("terminalMenu");
    for (int row = 1; row < menu->count(); ++row)
        QVERIFY2(menu->isRowHidden(row), qPrintable(QString::number(row)));
    // Continuous polling is on by default, so the manual status button is hidden.
    QVERIFY(w->findChild<QWidget *>("getStatusManualButton")->isHidden());
    QVERIFY(f->prompts.asked.isEmpty());
}

void tst_MainWindow::storesDefaultsAtStart()
{
    auto w = makeWindow();
    QSettings s(AppSettings::filePath(), QSettings::IniFormat);
    QCOMPARE(s.value("Language/lang").toString(),
             AppSettings::defaultLanguage(QLocale::system().name()));
    QCOMPARE(w->currentLanguage(), s.value("Language/lang").toString());
    QVERIFY(s.contains("Survey/SendExtraordinaryPackOnStart"));
    QCOMPARE(s.value("Survey/SendExtraordinaryPackOnStart").toBool(), false);
    QCOMPARE(s.value("Survey/Status").toBool(), true);
    QVERIFY(!s.contains("Survey/FLS"));
}

void tst_MainWindow::timeZonesWestToEast()
{
    auto w = makeWindow();
    auto *zones = w->findChild<QComboBox *>("timeZoneComboBox");
    QVERIFY(zones->count() > 3);
    QStringList items;
    for (int i = 0; i < zones->count(); ++i)
        items << zones->itemText(i);
    QVERIFY(!items.contains("UTC-00:00"));
    QVERIFY(!items.contains("UTC+00:00"));
    QCOMPARE(items.count("UTC"), 1);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    int previous = std::numeric_limits<int>::min();
    for (const QString &id : items) {
        const int offset = QTimeZone(id.toLatin1()).offsetFromUtc(now);
        QVERIFY2(offset > previous, qPrintable(id));
        previous = offset;
    }
}

void tst_MainWindow::consoleShortcutTogglesRow()
{
    // The console is listed with a device's pages; its shortcut hides it, for the devices
    // that come later too.
    MainWindow *w = f->connectWindow();
    QVERIFY(w);
    auto *menu = w->findChild<QListWidget *>("terminalMenu");
    QVERIFY(!menu->isRowHidden(7));
    w->pageController()->toggleConsoleRow();
    QVERIFY(menu->isRowHidden(7));
    f->sim()->unplug(AppFixture::quickRebootMs); // back as a new terminal
    QTRY_COMPARE_WITH_TIMEOUT(w->globalState(), 0, AppFixture::connectWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(w->globalState(), 2, 2 * AppFixture::connectWaitMs);
    QVERIFY(menu->isRowHidden(7));
    w->pageController()->toggleConsoleRow();
    QVERIFY(!menu->isRowHidden(7));
}

void tst_MainWindow::aboutShowsCurrentLanguage()
{
    AppSettings::write("Language", "lang", "en");
    auto w = makeWindow();
    w->aboutShow();
    auto *about = w->findChild<AboutForm *>();
    QVERIFY(about);
    auto *combo = about->findChild<QComboBox *>("languageComboBox");
    QCOMPARE(combo->currentText(), QString("English"));
    QCOMPARE(combo->currentData().toString(), QString("en"));
    QSignalSpy langSpy(about, &AboutForm::changeLanguage);
    // Picking a language is what emits the change.
    QMetaObject::invokeMethod(combo, "activated", Q_ARG(int, 0));
    QCOMPARE(langSpy.count(), 1);
    QCOMPARE(langSpy.first().first().toString(), QString("ru"));
    QCOMPARE(w->currentLanguage(), QString("ru"));
    QCOMPARE(AppSettings::read("Language", "lang").toString(), QString("ru"));
}

void tst_MainWindow::languageSwitchRetranslates()
{
    QDir(f->path()).mkdir("translations");
    QVERIFY(QFile::copy(QString(VEXA_BUILT_TRANSLATIONS_DIR) + "/en.qm",
                        f->path("translations/en.qm")));
    AppSettings::write("Language", "lang", "ru");
    auto w = makeWindow();
    auto *status = w->findChild<QLabel *>("globalStatusText");
    const QString russian = status->text();
    w->changeLanguage("en");
    QVERIFY(status->text() != russian);
    QVERIFY(!status->text().isEmpty());
    QCOMPARE(AppSettings::read("Language", "lang").toString(), QString("en"));
    w->changeLanguage("ru");
    QCOMPARE(status->text(), russian);
}

void tst_MainWindow::languageSwitchWhileAnotherThreadTranslates()
{
    // The journal's thread words its database errors through the application's translators
    // while the user may be switching the language: a translator must not change under it.
    QDir(f->path()).mkdir("translations");
    QVERIFY(QFile::copy(QString(VEXA_BUILT_TRANSLATIONS_DIR) + "/en.qm",
                        f->path("translations/en.qm")));
    AppTranslators translators;
    std::atomic<bool> stop{false};
    std::atomic<int> english{0};
    std::unique_ptr<QThread> reader(QThread::create([&] {
        while (!stop) {
            if (QCoreApplication::translate("MainWindow", "%1 МГц") == "%1 MHz")
                ++english;
            QCoreApplication::translate("QSQLiteResult", "Unable to fetch row");
        }
    }));
    reader->start();
    for (int i = 0; i < 300; ++i)
        translators.load(i % 2 ? "ru" : "en");
    translators.load("en");
    QTRY_VERIFY(english > 0); // the reader saw the translation at work, not only Russian
    stop = true;
    QVERIFY(reader->wait(10000));
}

void tst_MainWindow::settingsSaveStopsStatusTimer()
{
    auto w = makeWindow();
    auto *timer = w->findChild<QTimer *>("statusTimer");
    QVERIFY(timer);
    w->statusPoller()->setEnabled(true);
    QVERIFY(timer->isActive());
    auto *form = w->findChild<SettingsForm *>();
    QVERIFY(form);
    auto *save = form->findChild<QPushButton *>("saveButton");
    auto *status = form->findChild<QCheckBox *>("statusCheckBox");
    auto *dut = form->findChild<QCheckBox *>("dutCheckBox");
    QVERIFY(!save->isEnabled());
    status->click();
    QVERIFY(save->isEnabled());
    QVERIFY(!dut->isEnabled());
    save->click();
    QVERIFY(!timer->isActive());
    QCOMPARE(AppSettings::read("Survey", "Status").toBool(), false);
    QCOMPARE(AppSettings::read("Survey", "FLS").toBool(), false);

    // Cancel puts the boxes back to what was saved.
    status->click();
    QVERIFY(status->isChecked());
    form->findChild<QPushButton *>("cancelButton")->click();
    QVERIFY(!status->isChecked());
    QCOMPARE(AppSettings::read("Survey", "Status").toBool(), false);
}

void tst_MainWindow::settingsFormSavesTheConnection()
{
    auto w = makeWindow();
    auto *form = w->findChild<SettingsForm *>();
    auto *save = form->findChild<QPushButton *>("saveButton");
    const auto type = [form](const char *name, const QString &text) {
        auto *e = form->findChild<QLineEdit *>(name);
        e->setText(text);
        emit e->textEdited(text);
    };
    type("updateHostEdit", "updates.example");
    form->findChild<QSpinBox *>("updatePortSpin")->setValue(4000);
    type("remoteHostEdit", "remote.example");
    form->findChild<QSpinBox *>("remotePortSpin")->setValue(4100);
    type("vidEdit", "40"); // not four hexadecimal digits
    QVERIFY(!save->isEnabled());
    type("vidEdit", "0403");
    type("pidEdit", "6001");
    form->findChild<QComboBox *>("languageComboBox")->setCurrentIndex(1);
    QVERIFY(save->isEnabled());
    save->click();
    QCOMPARE(w->currentLanguage(), QString("en"));
    QCOMPARE(AppSettings::updateServer().host, QString("updates.example"));
    QCOMPARE(AppSettings::updateServer().port, quint16(4000));
    QCOMPARE(AppSettings::remoteServer().host, QString("remote.example"));
    QCOMPARE(AppSettings::remoteServer().port, quint16(4100));
    QCOMPARE(AppSettings::deviceUsbIds().vid, quint16(0x0403));
    QCOMPARE(AppSettings::deviceUsbIds().pid, quint16(0x6001));
    // Without a host of its own, remote configuration goes to the update server again.
    type("remoteHostEdit", "");
    save->click();
    QCOMPARE(AppSettings::remoteServer().host, QString("updates.example"));
    QCOMPARE(AppSettings::remoteServer().port, quint16(4000));
    w->changeLanguage("ru");
}

void tst_MainWindow::everyTextFits_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<QString>("lang");
    for (const int model : {750, 760, 701}) {
        for (const char *lang : {"ru", "en"})
            QTest::addRow("%d %s", model, lang) << model << QString(lang);
    }
}

void tst_MainWindow::everyTextFits()
{
    QFETCH(int, model);
    QFETCH(QString, lang);
    // The program's own font, as it starts with it.
    initGuiResources();
    QFontDatabase::addApplicationFont(":/font/font/ptsans.ttf");
    const QFont systemFont = QApplication::font();
    QApplication::setFont(QFont("PT Sans", 10));
    QDir(f->path()).mkdir("translations");
    QVERIFY(QFile::copy(QString(VEXA_BUILT_TRANSLATIONS_DIR) + "/en.qm",
                        f->path("translations/en.qm")));
    SimConfig c;
    c.model = model;
    MainWindow *w = f->connectWindow(c);
    QVERIFY(w);
    w->show();
    // Switched while a device is shown: the device stays named in the title.
    w->changeLanguage(lang == "ru" ? "en" : "ru");
    w->changeLanguage(lang);
    const QString serial = w->findChild<QLabel *>("snLabel")->text();
    QVERIFY(!serial.isEmpty());
    QVERIFY(w->findChild<QLabel *>("mainTitleWindow")->text().endsWith("SN: " + serial));
    // An input is listed with its controls, or not at all (a Vexa760 has two of six).
    int inputs = 0;
    for (int n = 0; n < 6; ++n) {
        const bool has = w->findChild<QComboBox *>(QString("inMode%1comboBox").arg(n))->count() > 0;
        inputs += has;
        QCOMPARE(w->findChild<QLabel *>(QString("input%1Label").arg(n))->isHidden(), !has);
    }
    QCOMPARE(inputs, model == 750 ? 6 : model == 760 ? 2 : 0);

    const QRegularExpression cyrillic("[\\x{0400}-\\x{04ff}]");
    QStringList problems;
    auto check = [&](const QString &screen) {
        // Laid out as the user would see it.
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            for (QWidget *top : QApplication::topLevelWidgets()) {
                if (top->isVisible() && top->layout())
                    top->layout()->activate();
            }
        }
        for (const ShownTexts::Text &t : ShownTexts::onScreen()) {
            const QString line = screen + " " + t.where + ": \"" + ShownTexts::plain(t.text) + "\"";
            if (t.needed > t.room)
                problems << line + QString(" needs %1 px, has %2").arg(t.needed).arg(t.room);
            // A language's name is written in that language, so its speakers find it.
            if (lang == "en" && t.text.contains(cyrillic) && !t.where.endsWith("languageComboBox"))
                problems << line + " is not English";
        }
    };
    auto *menu = w->findChild<QListWidget *>("terminalMenu");
    for (int row = 0; row < menu->count(); ++row) {
        if (menu->isRowHidden(row))
            continue;
        menu->setCurrentRow(row);
        w->itemSelected(menu->model()->index(row, 0));
        check(menu->item(row)->text());
    }
    menu->setCurrentRow(1);
    w->itemSelected(menu->model()->index(1, 0));
    // Every dialog the window opens, over the page.
    w->aboutShow();
    w->findChild<SettingsForm *>()->show();
    w->reloadDevice();
    w->eraseMemory();
    w->statusController()->runStatusCalc();
    w->statusController()->showTimeParamsForm();
    w->statusController()->showNetInfoForm();
    w->on_viewEditFreqpushButton_clicked();
    w->showDeviceList({"Vexa" + QString::number(model) + " SN " + serial});
    w->findChild<SelectDeviceForm *>()->showPorts();
    w->authenticationController()->authenticationRequest();
    w->historyController()->showHistory();
    auto *flash = new FirmwareDialog(w->deviceLine(w->connectedDevice()), "1.3.1", "1.4.0", w);
    flash->setTotal(64 * 1024);
    flash->setResumedAt(20 * 1024);
    flash->show();
    check("dialogs");
    problems.removeDuplicates();
    for (const QString &p : std::as_const(problems))
        qWarning().noquote() << p;
    QVERIFY2(problems.isEmpty(),
             qPrintable(QString::number(problems.size()) + " texts do not fit or are not English"));
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top != w)
            top->deleteLater();
    }
    QApplication::setFont(systemFont);
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
