#include "appfixture.h"
#include "appsettings.h"
#include "configcontroller.h"
#include "configdocument.h"
#include "devicejournal.h"
#include "devicesession.h"
#include "eraseform.h"
#include "historycontroller.h"
#include "historydialog.h"
#include "jobrecorder.h"
#include "linkstate.h"
#include "mainwindow.h"
#include "statuspanel.h"

#include <QPushButton>
#include <QRadioButton>

// The window's device journal: its jobs as the history dialog tells them, and a configuration
// put back from it, against the simulator.
class tst_History : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY((f = std::make_unique<AppFixture>())->isValid()); }
    void cleanup() { f.reset(); }
    void writeThenRestore();
    void restoreOnlyToItsDevice_data();
    void restoreOnlyToItsDevice();
    void deviceJobsAreRecorded_data();
    void deviceJobsAreRecorded();
    void journalTroubleIsToldOnce();

private:
    void connectDevice()
    {
        SimConfig c;
        c.rebootDelayMs = AppFixture::quickRebootMs;
        QVERIFY(window = f->connectWindow(c));
        history = window->historyController();
        QVERIFY(history && history->journal()->isEnabled());
    }
    // The connected device's jobs of this kind in the journal, newest first.
    QList<JournalRecord> jobs(JournalRecord::Kind kind)
    {
        history->journal()->waitForDrained();
        QList<JournalRecord> out;
        for (const JournalRecord &j : history->journal()->jobs(f->sim()->device().serialNumber()))
            if (j.kind == kind)
                out << j;
        return out;
    }
    // A write of the pending edits, through the device's reboot and the read that follows.
    void writeAndWaitForRead()
    {
        const int identified = f->sim()->commandCount(Cmd::deviceInfo);
        f->prompts.answer = UserPrompts::Yes;
        window->configController()->write();
        QTRY_VERIFY_WITH_TIMEOUT(f->sim()->commandCount(Cmd::deviceInfo) > identified &&
                                     window->globalState() == LinkState::Ready,
                                 3 * AppFixture::connectWaitMs);
    }
    QString detailsOf(qint64 id)
    {
        history->showHistory();
        HistoryDialog *d = history->dialog();
        return d && d->selectJob(id) ? d->detailsText() : QString();
    }

    std::unique_ptr<AppFixture> f;
    MainWindow *window = nullptr;
    HistoryController *history = nullptr;
};

void tst_History::writeThenRestore()
{
    AppSettings::setVerifyWrites(false);
    connectDevice();
    constexpr quint16 txPeriod = 0x000A;
    constexpr quint16 appKey = 0x0005;
    const QByteArray txBefore = f->sim()->device().param(txPeriod);
    QCOMPARE(txBefore.toHex(), QByteArray("00000e10")); // 3600 s
    window->configController()->replaceElement("tx_period", {{"param", "00001c20"}});
    writeAndWaitForRead();
    const QList<JournalRecord> writes = jobs(JournalRecord::Kind::Write);
    QCOMPARE(writes.size(), 1);
    const qint64 writeJob = writes.first().id;
    QCOMPARE(detailsOf(writeJob).split('\n').filter("Период передачи").value(0),
             QString("Период передачи, с: 3600 с → 7200 с"));

    // The key changes after the job: a restore of the configuration before it leaves the key
    // as the device has it now (the journal never held it).
    const QByteArray newKey = QByteArray::fromHex("00112233445566778899aabbccddeeff");
    f->sim()->device().setParam(appKey, newKey);
    auto *restoreButton = history->dialog()->findChild<QPushButton *>("restoreButton");
    QVERIFY(restoreButton->isEnabled());
    restoreButton->click();
    QVERIFY2(f->prompts.asked.last().startsWith("Восстановление конфигурации: Загружена "
                                                "конфигурация от "),
             qPrintable(f->prompts.asked.last()));
    QCOMPARE(AppFixture::elementNames(window->configController()->pendingChanges()),
             QStringList{"tx_period"});
    QCOMPARE(ConfigDocument::param(window->configController()->pendingChanges(), "tx_period"),
             QString(txBefore.toHex()));

    writeAndWaitForRead();
    QCOMPARE(f->sim()->device().param(txPeriod), txBefore);
    QCOMPARE(f->sim()->device().param(appKey), newKey);
    const QList<JournalRecord> restores = jobs(JournalRecord::Kind::Restore);
    QCOMPARE(restores.size(), 1);
    QCOMPARE(restores.first().changes.size(), 1);
    QCOMPARE(restores.first().changes.first().newValue, QString(txBefore.toHex()));
    QCOMPARE(jobs(JournalRecord::Kind::Write).size(), 1); // the restore is not a plain write
}

void tst_History::restoreOnlyToItsDevice_data()
{
    QTest::addColumn<bool>("sameDevice");
    QTest::addColumn<bool>("configKept");
    QTest::newRow("this device, configuration kept") << true << true;
    QTest::newRow("this device, nothing kept") << true << false;
    QTest::newRow("another device") << false << true;
}

void tst_History::restoreOnlyToItsDevice()
{
    QFETCH(bool, sameDevice);
    QFETCH(bool, configKept);
    connectDevice();
    JournalRecord job = window->deviceSession()->recorder()->recordFor(JournalRecord::Kind::Write);
    if (!sameDevice)
        job.serial += "9";
    if (configKept)
        job.configBefore = QString::fromUtf8(
            ConfigDocument::toText(window->configController()->fullConfiguration()));
    const QString uid = history->journal()->record(job);
    history->journal()->waitForDrained();
    qint64 id = 0;
    for (const JournalRecord &j : history->journal()->jobs(job.serial))
        id = j.uid == uid ? j.id : id;
    QVERIFY(id != 0);
    const bool offered = sameDevice && configKept;
    history->showHistory();
    // Another device's job is not among the connected device's.
    QCOMPARE(history->dialog()->selectJob(id), sameDevice);
    QCOMPARE(history->dialog()->findChild<QPushButton *>("restoreButton")->isEnabled(), offered);
    f->prompts.asked.clear();
    QCOMPARE(history->restore(id), offered);
    QCOMPARE(f->prompts.asked.size(), 1); // what was loaded, or why nothing was
}

void tst_History::deviceJobsAreRecorded_data()
{
    QTest::addColumn<QString>("control"); // the reset dialog's choice (a reset)
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("told"); // a line of the job's details
    const int reset = int(JournalRecord::Kind::Reset);
    QTest::newRow("network reset")
        << "netDefault" << reset << "Сброс: сетевые настройки к заводским";
    QTest::newRow("full reset") << "devDefault" << reset << "Сброс: все настройки к заводским";
    QTest::newRow("black box") << "formatFlash" << reset << "Сброс: очистка чёрного ящика";
    QTest::newRow("clock") << QString() << int(JournalRecord::Kind::Clock) << QString();
}

void tst_History::deviceJobsAreRecorded()
{
    QFETCH(QString, control);
    QFETCH(int, kind);
    QFETCH(QString, told);
    connectDevice();
    const auto k = JournalRecord::Kind(kind);
    if (k == JournalRecord::Kind::Reset) {
        window->eraseMemory();
        auto *form = window->findChild<EraseForm *>();
        QVERIFY(form);
        form->findChild<QRadioButton *>(control)->click();
        form->findChild<QPushButton *>("okButton")->click();
    } else {
        // The panel offers its button only while the clocks differ; its request is the same.
        emit window->findChild<StatusPanel *>()->clockSetRequested();
    }
    QTRY_COMPARE_WITH_TIMEOUT(jobs(k).size(), 1, 2 * AppFixture::answerWaitMs);
    const JournalRecord job = jobs(k).first();
    QCOMPARE(job.result, JournalRecord::Result::Ok);
    QCOMPARE(job.serial, f->sim()->device().serialNumber());
    if (!told.isEmpty())
        QVERIFY2(detailsOf(job.id).split('\n').contains(told), qPrintable(detailsOf(job.id)));
}

void tst_History::journalTroubleIsToldOnce()
{
    // A folder where the journal's file should be: no record can be stored.
    AppSettings::write("Journal", "Path", f->path());
    connectDevice();
    const auto troubles = [this] { return f->prompts.asked.filter("Журнал устройств:").size(); };
    QTRY_COMPARE_WITH_TIMEOUT(troubles(), 1, AppFixture::answerWaitMs);
    // The work goes on, and the next job's trouble is not told again.
    window->readConfig();
    QTRY_VERIFY_WITH_TIMEOUT(f->sim()->commandCount(Cmd::deviceInfo) == 2 &&
                                 window->globalState() == LinkState::Ready,
                             AppFixture::connectWaitMs);
    QTest::qWait(AppFixture::nothingFollowsMs);
    QCOMPARE(troubles(), 1);
    QCOMPARE(f->prompts.waited, 0); // told without waiting for the user
}

QTEST_MAIN(tst_History)
#include "tst_history.moc"
