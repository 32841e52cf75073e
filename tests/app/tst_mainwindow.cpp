#include "aboutform.h"
#include "appfixture.h"
#include "appsettings.h"
#include "mainwindow.h"
#include "settingsform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTimeZone>
#include <QTimer>

// The window without a device: start-up, settings, language, console history, dragging.
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
    void settingsSaveStopsStatusTimer();

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
    auto w = makeWindow();
    auto *menu = w->findChild<QListWidget *>("terminalMenu");
    QVERIFY(menu->isRowHidden(7));
    w->showConsolePage();
    QVERIFY(!menu->isRowHidden(7));
    w->showConsolePage();
    QVERIFY(menu->isRowHidden(7));
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

void tst_MainWindow::settingsSaveStopsStatusTimer()
{
    auto w = makeWindow();
    auto *timer = w->findChild<QTimer *>("statusTimer");
    QVERIFY(timer);
    w->changeStatusTimerState(true);
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

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
