#include "appfixture.h"
#include "appsettings.h"
#include "consolepage.h"
#include "debugform.h"
#include "frametext.h"
#include "mainwindow.h"
#include "pagecontroller.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextEdit>

// The console page of the real window against a simulated device: commands and their
// history, the decoded lines and the polling filter, pause, clear and save, the debug mode
// and leaving it, the exchange log, the bounded view.
class tst_Console : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY((f = std::make_unique<AppFixture>())->isValid());
        QVERIFY(w = f->connectWindow());
        menu = w->findChild<QListWidget *>("terminalMenu");
        cmd = w->findChild<QComboBox *>("cmdLine");
        QVERIFY(!menu->isRowHidden(consoleRow)); // listed with the device's pages
        select(consoleRow);
        QCOMPARE(page(), QString("terminalPage"));
    }
    void cleanup() { f.reset(); }
    void commandsAndHistory();
    void pollingFilterAndSave();
    void pauseAndClear();
    void leavingDebugMode_data();
    void leavingDebugMode();
    void pageAreaRoundTrip();
    void binaryLogAction_data();
    void binaryLogAction();

private:
    static constexpr int consoleRow = 7;
    void select(int row)
    {
        menu->setCurrentRow(row);
        w->itemSelected(menu->model()->index(row, 0));
    }
    QString page() const
    {
        return w->findChild<QStackedWidget *>("stackedWidget")->currentWidget()->objectName();
    }
    QStringList history() const
    {
        QStringList items;
        for (int i = 0; i < cmd->count(); ++i)
            items << cmd->itemText(i);
        return items;
    }
    // Starts the debug dialog and applies the level and source of these texts.
    void applyDebug(const QString &level, const QString &source)
    {
        w->on_debugModeButton_clicked();
        auto *form = w->findChild<DebugForm *>();
        QVERIFY(form);
        auto *levels = form->findChild<QComboBox *>("levelDbgcomboBox");
        auto *sources = form->findChild<QComboBox *>("sourceDbgComboBox");
        QVERIFY(levels->findText(level) >= 0 && sources->findText(source) >= 0);
        levels->setCurrentIndex(levels->findText(level));
        sources->setCurrentIndex(sources->findText(source));
        form->findChild<QPushButton *>("runDebugButton")->click();
    }
    QString shown() const { return w->findChild<QTextEdit *>("terminalEdit")->toPlainText(); }
    // Lines of the view with a time, the direction and this decoded text.
    int linesOf(const QString &direction, const QString &decoded) const
    {
        const QRegularExpression line("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} " + direction + " " +
                                      QRegularExpression::escape(decoded),
                                      QRegularExpression::MultilineOption);
        int n = 0;
        for (auto it = line.globalMatch(shown()); it.hasNext(); it.next())
            ++n;
        return n;
    }
    void send(const QString &command)
    {
        cmd->setEditText(command);
        w->findChild<QPushButton *>("sendCommand")->click();
    }
    void click(const char *button) { w->findChild<QPushButton *>(button)->click(); }
    std::unique_ptr<AppFixture> f;
    MainWindow *w = nullptr;
    QListWidget *menu = nullptr;
    QComboBox *cmd = nullptr;
};

void tst_Console::commandsAndHistory()
{
    f->clearRequests();
    // Commands the status polling (which may still end its pass) never sends.
    const QStringList typed{"0x8601", "0x8605"};
    cmd->setEditText("8601 00"); // the validator of a typing user would not let the blank in
    w->findChild<QPushButton *>("sendCommand")->click();
    cmd->setEditText("860500");
    QTest::keyClick(cmd->lineEdit(), Qt::Key_Return); // Enter is the button
    cmd->setEditText("8601 00");
    w->findChild<QPushButton *>("sendCommand")->click();
    QTRY_COMPARE_WITH_TIMEOUT(f->codes(typed).size(), 3, AppFixture::answerWaitMs);
    QCOMPARE(cmd->currentText(), QString()); // a sent command leaves the line
    cmd->setEditText("   ");                 // nothing
    w->findChild<QPushButton *>("sendCommand")->click();
    QTest::qWait(AppFixture::nothingFollowsMs);
    QCOMPARE(f->codes(typed), (QStringList{"0x8601", "0x8605", "0x8601"}));
    QCOMPARE(history(), (QStringList{"8601 00", "860500"}));
}

void tst_Console::pollingFilterAndSave()
{
    // Status polling runs on the other pages; the console keeps what it sent and got.
    select(0);
    const int passes = w->statusPoller()->passCount();
    QTRY_VERIFY_WITH_TIMEOUT(w->statusPoller()->passCount() > passes, AppFixture::connectWaitMs);
    select(consoleRow);
    auto *filter = w->findChild<QCheckBox *>("hidePollingCheckBox");
    QVERIFY(filter->isChecked()); // on by default
    QCOMPARE(linesOf("→", "8600 netStatus"), 0);
    QCOMPARE(linesOf("←", "8600 netStatus"), 0);

    // The user's own status request is no polling: it and its answer stay in view.
    const int infos = linesOf("←", "8002 deviceInfo data "); // the connection asked already
    const int infoRequests = linesOf("→", "8002 deviceInfo data - 010002028002069e9784");
    send("8002");
    send("860000");
    QTRY_COMPARE_WITH_TIMEOUT(linesOf("←", "8600 netStatus data "), 1, AppFixture::answerWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(linesOf("←", "8002 deviceInfo data "), infos + 1,
                              AppFixture::answerWaitMs);
    QCOMPARE(linesOf("→", "8002 deviceInfo data - 010002028002069e9784"), infoRequests + 1);
    QCOMPARE(linesOf("→", "8600 netStatus data 00"), 1);

    const QString file = f->path("console.log");
    f->prompts.fileToSave = file;
    for (const bool hide : {true, false}) {
        filter->setChecked(hide);
        QCOMPARE(AppSettings::consoleHidesPolling(), hide);
        // Unticked, the polling that was hidden is shown again.
        QCOMPARE(linesOf("→", "8700 batStatus") > 0, !hide);
        QCOMPARE(linesOf("←", "8600 netStatus") > 1, !hide);
        QCOMPARE(linesOf("←", "8002 deviceInfo data "), infos + 1);
        click("saveConsoleButton");
        QVERIFY(f->prompts.proposedName.startsWith("console_log_"));
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(saved.readAll()), shown());
    }
}

void tst_Console::pauseAndClear()
{
    QSignalSpy frames(w->deviceLink(), &DeviceInterface::frameReceived);
    click("pauseConsoleButton");
    const QString before = shown();
    send("8002");
    const auto answered = [&frames] {
        quint16 code = 0;
        return std::any_of(frames.begin(), frames.end(), [&code](const QList<QVariant> &args) {
            return FrameText::codeOf(args.at(0).toByteArray(), &code) && code == Cmd::deviceInfo;
        });
    };
    QTRY_VERIFY_WITH_TIMEOUT(answered(), AppFixture::answerWaitMs);
    QCOMPARE(shown(), before); // kept, not shown
    const int infos = linesOf("←", "8002 deviceInfo data ");
    click("pauseConsoleButton");
    QCOMPARE(linesOf("←", "8002 deviceInfo data "), infos + 1);
    click("clearConsoleButton");
    QCOMPARE(shown(), QString());
    // Nothing hidden is left either.
    w->findChild<QCheckBox *>("hidePollingCheckBox")->setChecked(false);
    QCOMPARE(shown(), QString());
}

void tst_Console::leavingDebugMode_data()
{
    QTest::addColumn<QString>("level");
    QTest::addColumn<bool>("deviceReady");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("left");
    // "Выключено" is the level ALL: the device stops, nothing to ask.
    QTest::newRow("level ALL never asks")
        << "Выключено" << true << int(UserPrompts::No) << false << true;
    QTest::newRow("No stays") << "Отладка" << true << int(UserPrompts::No) << true << false;
    QTest::newRow("Yes stops the device")
        << "Отладка" << true << int(UserPrompts::Yes) << true << true;
    QTest::newRow("not sent: no debug mode")
        << "Отладка" << false << int(UserPrompts::No) << false << true;
}

void tst_Console::leavingDebugMode()
{
    QFETCH(QString, level);
    QFETCH(bool, deviceReady);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(bool, left);
    Simulator *sim = f->sim();
    w->deviceLink()->setDeviceReady(deviceReady);
    f->clearRequests();
    applyDebug(level, "Все подсистемы");
    const bool streams = level != "Выключено" && deviceReady;
    QTRY_COMPARE_WITH_TIMEOUT(sim->device().debugStreaming(), streams, AppFixture::answerWaitMs);
    QCOMPARE(w->consolePage()->isDebugMode(), streams);
    if (deviceReady) {
        // Sent as text, as the device reads it.
        QTRY_VERIFY_WITH_TIMEOUT(!f->requests({"text"}).isEmpty(), AppFixture::answerWaitMs);
        QVERIFY(f->requests({"text SYSLOG LEVEL="}).size() == 1);
    }

    f->prompts.answer = UserPrompts::Button(answer);
    w->deviceLink()->setDeviceReady(true);
    f->clearRequests();
    select(0);
    QCOMPARE(f->prompts.asked.size(), asked ? 1 : 0);
    QCOMPARE(page() == "terminalPage", !left);
    QCOMPARE(menu->currentRow(), left ? 0 : consoleRow);
    if (streams && left) {
        QTRY_VERIFY_WITH_TIMEOUT(!sim->device().debugStreaming(), AppFixture::answerWaitMs);
        QCOMPARE(f->requests({"text"}), QStringList{"text SYSLOG LEVEL=ALL,F"});
        QVERIFY(!w->consolePage()->isDebugMode());
    } else {
        QTest::qWait(AppFixture::nothingFollowsMs);
        QCOMPARE(sim->device().debugStreaming(), streams);
        QVERIFY(f->requests({"text"}).isEmpty());
    }
    // Nothing of it went out as a frame (a text typed into the frame path becomes code 0).
    QVERIFY(f->requests({"0x0000"}).isEmpty());
}

void tst_Console::pageAreaRoundTrip()
{
    auto geometryOf = [this](const char *name) {
        return w->findChild<QWidget *>(name)->geometry();
    };
    auto *edit = w->findChild<QWidget *>("terminalEdit");
    const QRect onConsole = geometryOf("stackedWidget");
    const QRect editOnConsole = geometryOf("terminalEdit");
    QCOMPARE(onConsole.top(), geometryOf("deviceStatus").top());
    QVERIFY(w->findChild<QWidget *>("deviceStatus")->isHidden());
    for (const char *input : {"cmdLine", "sendCommand", "debugModeButton"})
        QCOMPARE(geometryOf(input).top(), edit->y() + edit->height() + 8);
    select(0);
    QCOMPARE(geometryOf("stackedWidget").top(), geometryOf("line").bottom() + 1);
    QCOMPARE(geometryOf("stackedWidget").bottom(), onConsole.bottom());
    select(consoleRow);
    select(consoleRow); // staying changes nothing
    QCOMPARE(geometryOf("stackedWidget"), onConsole);
    QCOMPARE(geometryOf("terminalEdit"), editOnConsole);
}

void tst_Console::binaryLogAction_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("recording");
    QTest::newRow("cancelled") << "" << false;
    QTest::newRow("unwritable") << "no-such-dir/bin.log" << false;
    QTest::newRow("writable") << "bin.log" << true;
}

void tst_Console::binaryLogAction()
{
    QFETCH(QString, file);
    QFETCH(bool, recording);
    f->prompts.fileToSave = file.isEmpty() ? QString() : f->path(file);
    QAction *action = w->consolePage()->binLogAction();
    action->setChecked(true);
    QVERIFY(f->prompts.proposedName.startsWith("console_bin_log_"));
    QCOMPARE(action->isChecked(), recording);
    QCOMPARE(w->deviceLink()->isBinLogOpen(), recording);
    QCOMPARE(f->prompts.asked,
             recording ? QStringList() : QStringList{"Ошибка: Ошибка создания файла"});
    if (!recording)
        return;
    cmd->setEditText("8002");
    w->findChild<QPushButton *>("sendCommand")->click();
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(f->path(file)).size() > 0, AppFixture::answerWaitMs);
    action->setChecked(false);
    QVERIFY(!w->deviceLink()->isBinLogOpen());
}

QTEST_MAIN(tst_Console)
#include "tst_console.moc"
