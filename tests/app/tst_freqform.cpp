#include "deferreddelete.h"
#include "freqform.h"
#include "guiresources.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

using FrequencyList = QList<QPair<int, QString>>;

namespace {
// The plan the dialog is opened with: the device reported channels 0..7.
const QStringList kReadChannels = {QStringLiteral("868900000"), QStringLiteral("869100000"),
                                   QStringLiteral("864100000"), QStringLiteral("864300000"),
                                   QStringLiteral("864500000"), QStringLiteral("864700000"),
                                   QStringLiteral("864900000"), QStringLiteral("0")};
const QString kReadRx2Freq = QStringLiteral("869100000");
const QString kReadRx2Dr = QStringLiteral("0");
const QList<QPair<QString, QString>> kDrItems = {{"0", "DR0 (SF12)"}, {"1", "DR1 (SF11)"},
                                                 {"2", "DR2 (SF10)"}, {"3", "DR3 (SF9)"},
                                                 {"4", "DR4 (SF8)"},  {"5", "DR5 (SF7)"}};
} // namespace

// The frequency plan dialog: the band rule, and that OK reports exactly what differs.
class tst_FreqForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initGuiResources();
        qRegisterMetaType<FrequencyList>("QList<QPair<int,QString>>");
    }
    void cleanup()
    {
        delete form.data();
        runDeferredDeletes();
    }
    void typingAcceptsMhzOnly();
    void hzAsMhz_data();
    void hzAsMhz();
    void bandRule_data();
    void bandRule();
    void okReportsWhatDiffers_data();
    void okReportsWhatDiffers();
    void rx2DrReportedAsDecimal();
    void notEditableIgnoresOk();
    void deletingWhileEditing();
    void closingDeletesDialog_data();
    void closingDeletesDialog();

private:
    // Opens the dialog filled with the read plan, editable, shown; deleted in cleanup().
    FreqForm *openReadPlan(bool withRx2DrReference = true)
    {
        form = new FreqForm;
        for (int n = 0; n < kReadChannels.size(); ++n)
            form->setChannel(n, kReadChannels.at(n), true);
        form->setRx2Freq(kReadRx2Freq, true);
        form->setRx2DrItems(kDrItems);
        if (withRx2DrReference)
            form->setRx2Dr(kReadRx2Dr, true);
        form->setEditable(true);
        form->move(100, 100);
        form->show();
        QApplication::setActiveWindow(form);
        return QTest::qWaitForWindowActive(form) ? form.data() : nullptr;
    }
    QLineEdit *edit(const QString &field) const
    {
        return form->findChild<QLineEdit *>(
            field == "rx2" ? QString("rx2FreqlineEdit") : QString("freqCh%1lineEdit").arg(field));
    }
    // Gives the edit focus, replaces its text by typing and moves the focus on, as a user does.
    void typeAndLeave(QLineEdit *edit, const QString &text)
    {
        QVERIFY(edit);
        edit->setFocus();
        QTRY_COMPARE(form->focusWidget(), edit);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
        auto *cancel = form->findChild<QPushButton *>(QStringLiteral("cancelPushButton"));
        cancel->setFocus();
        QTRY_COMPARE(form->focusWidget(), cancel);
    }
    // OK, and what it reported (one signal at most).
    QList<QVariant> clickOk()
    {
        QSignalSpy spy(form.data(), &FreqForm::frequencyChanged);
        QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("okPushButton")),
                          Qt::LeftButton);
        return spy.count() == 1 ? spy.first() : QList<QVariant>{spy.count()};
    }

    QPointer<FreqForm> form;
};

void tst_FreqForm::typingAcceptsMhzOnly()
{
    QVERIFY(openReadPlan());
    QCOMPARE(edit("0")->text(), QStringLiteral("868.9")); // read as Hz, shown as MHz
    for (const char *field : {"4", "15", "rx2"}) {
        edit(field)->clear();
        QTest::keyClicks(edit(field), QStringLiteral("86a8 .1-1e25x004"));
        QCOMPARE(edit(field)->text(), QStringLiteral("868.112500"));
    }
}

void tst_FreqForm::hzAsMhz_data()
{
    QTest::addColumn<QString>("mhz");
    QTest::addColumn<qint64>("hz"); // -1: not a frequency
    QTest::addColumn<bool>("shownSo"); // the text is how the Hz value is shown
    QTest::newRow("kHz step") << "868.1" << qint64(868100000) << true;
    QTest::newRow("every Hz digit") << "868.1125" << qint64(868112500) << true;
    QTest::newRow("one Hz") << "863.000001" << qint64(863000001) << true;
    QTest::newRow("whole MHz") << "870" << qint64(870000000) << true;
    QTest::newRow("zero") << "0" << qint64(0) << true;
    QTest::newRow("comma") << "868,1" << qint64(868100000) << false;
    QTest::newRow("trailing zeros") << "869.5250" << qint64(869525000) << false;
    QTest::newRow("bare point") << "868." << qint64(868000000) << false;
    QTest::newRow("below one Hz") << "868.1000001" << qint64(-1) << false;
    QTest::newRow("empty") << "" << qint64(-1) << false;
    QTest::newRow("no integer part") << ".5" << qint64(-1) << false;
    QTest::newRow("two points") << "868.1.2" << qint64(-1) << false;
}

// Hz values go to the device; no rounding on the way through MHz in either direction.
void tst_FreqForm::hzAsMhz()
{
    QFETCH(QString, mhz);
    QFETCH(qint64, hz);
    QFETCH(bool, shownSo);
    qint64 parsed = -1;
    QCOMPARE(FreqForm::hzFromMhz(mhz, &parsed), hz >= 0);
    QCOMPARE(parsed, hz);
    if (shownSo)
        QCOMPARE(FreqForm::mhzText(hz), mhz);
}

void tst_FreqForm::bandRule_data()
{
    QTest::addColumn<QString>("typed"); // MHz
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("hz");
    QTest::newRow("just above") << "870.000001" << "870" << "870000000";
    QTest::newRow("far above") << "9999" << "870" << "870000000";
    QTest::newRow("just below") << "862.999999" << "863" << "863000000";
    QTest::newRow("low edge") << "863" << "863" << "863000000";
    QTest::newRow("high edge") << "870.0" << "870" << "870000000";
    QTest::newRow("inside, comma") << "868,5" << "868.5" << "868500000";
    QTest::newRow("zero: no frequency") << "0" << "0" << "0";
    QTest::newRow("empty: no frequency") << "" << "" << "";
}

// Every frequency field is brought into the band, whether checked at once or left by the user.
void tst_FreqForm::bandRule()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, hz);
    QVERIFY(openReadPlan());
    for (QLineEdit *field : form->findChildren<QLineEdit *>())
        field->setText(typed);
    form->checkFreq();
    for (int n = 0; n < FreqForm::channelCount; ++n)
        QCOMPARE(form->channelText(n), hz);
    QCOMPARE(form->rx2FreqText(), hz);
    QCOMPARE(edit("rx2")->text(), shown);
    typeAndLeave(edit("9"), typed);
    QCOMPARE(edit("9")->text(), shown);
    QCOMPARE(form->channelText(9), hz);
}

void tst_FreqForm::okReportsWhatDiffers_data()
{
    // Edits: "5=..." types MHz into channel 5, "rx2=..." into the RX2 frequency, "dr=..." picks
    // a data rate; "set11=...", "setrx2=..." and "setdr=..." show a Hz value without making it the
    // reference (as reopening the dialog over earlier edits does); "no dr read" opens the
    // dialog without a data rate read from the device.
    QTest::addColumn<QStringList>("edits");
    // The report: channels as "n=Hz" separated by spaces, the RX2 frequency in Hz, the data rate.
    QTest::addColumn<QStringList>("reported");
    const QString none;
    QTest::newRow("nothing") << QStringList{} << QStringList{none, none, none};
    QTest::newRow("one channel") << QStringList{"5=867.9"}
                                 << QStringList{"5=867900000", none, none};
    QTest::newRow("left out of band: the clamped value")
        << QStringList{"6=900"} << QStringList{"6=870000000", none, none};
    QTest::newRow("channels without reference are never reported")
        << QStringList{"10=868.3", "set11=868500000", "2=864.2"}
        << QStringList{"2=864200000", none, none};
    QTest::newRow("RX2") << QStringList{"rx2=869.525", "dr=3"}
                         << QStringList{none, "869525000", "3"};
    QTest::newRow("shown over what was read")
        << QStringList{"set3=868100000", "set4=864500000", "setrx2=869500000", "setdr=2"}
        << QStringList{"3=868100000", "869500000", "2"};
    // Filling the data-rate list must not count as choosing its first entry.
    QTest::newRow("no data rate read")
        << QStringList{"no dr read"} << QStringList{none, none, none};
    QTest::newRow("back to what was read")
        << QStringList{"rx2=868", "rx2=869.1", "dr=4", "dr=0", "1=868", "1=869.10"}
        << QStringList{none, none, none};
}

void tst_FreqForm::okReportsWhatDiffers()
{
    QFETCH(QStringList, edits);
    QFETCH(QStringList, reported);
    QVERIFY(openReadPlan(!edits.contains("no dr read")));
    auto *drBox = form->findChild<QComboBox *>(QStringLiteral("rx2DrComboBox"));
    for (const QString &e : edits) {
        const QString field = e.section('=', 0, 0);
        const QString value = e.section('=', 1);
        if (field == "dr")
            drBox->setCurrentIndex(drBox->findData(value));
        else if (field == "setrx2")
            form->setRx2Freq(value, false);
        else if (field == "setdr")
            form->setRx2Dr(value, false);
        else if (field.startsWith("set"))
            form->setChannel(field.mid(3).toInt(), value, false);
        else if (field != "no dr read")
            typeAndLeave(edit(field), value);
    }
    const QList<QVariant> report = clickOk();
    QCOMPARE(report.size(), 3);
    QStringList channels;
    for (const auto &c : report.at(0).value<FrequencyList>())
        channels << QString("%1=%2").arg(c.first).arg(c.second);
    QCOMPARE((QStringList{channels.join(' '), report.at(1).toString(), report.at(2).toString()}),
             reported);
}

void tst_FreqForm::rx2DrReportedAsDecimal()
{
    QVERIFY(openReadPlan());
    form->setRx2DrItems({{"00", "DR0"}, {"05", "DR5"}, {"12", "DR12"}});
    form->setRx2Dr(QStringLiteral("5"), true); // as the device reports it
    QCOMPARE(form->rx2DrValue(), QStringLiteral("05"));
    form->findChild<QComboBox *>(QStringLiteral("rx2DrComboBox"))->setCurrentIndex(2);
    QCOMPARE(clickOk().value(2).toString(), QStringLiteral("12"));
}

void tst_FreqForm::notEditableIgnoresOk()
{
    QVERIFY(openReadPlan());
    form->setChannel(5, QStringLiteral("867900000"), false);
    form->setEditable(false);
    const QList<QWidget *> fields{form->findChild<QPushButton *>("okPushButton"), edit("5"),
                                  edit("rx2"), form->findChild<QComboBox *>("rx2DrComboBox")};
    for (QWidget *w : fields)
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QCOMPARE(clickOk(), QList<QVariant>{0});
    QSignalSpy spy(form.data(), &FreqForm::frequencyChanged);
    form->on_okPushButton_clicked();
    runDeferredDeletes();
    QCOMPARE(spy.count(), 0);
    QVERIFY(form && form->isVisible());
    form->setEditable(true);
    for (QWidget *w : fields)
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
}

void tst_FreqForm::deletingWhileEditing()
{
    // The main window may delete the dialog directly (it is the dialog's parent); the field that
    // loses focus then must not reach the half-destroyed form.
    QVERIFY(openReadPlan());
    edit("6")->setFocus();
    QTRY_COMPARE(form->focusWidget(), edit("6"));
    QTest::keyClicks(edit("6"), QStringLiteral("5"));
    QSignalSpy destroyed(form.data(), &QObject::destroyed);
    delete form.data();
    QCOMPARE(destroyed.count(), 1);
}

void tst_FreqForm::closingDeletesDialog_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("emitted");
    QTest::newRow("cancel button") << "cancel" << 0;
    QTest::newRow("title close button") << "close" << 0;
    QTest::newRow("escape") << "escape" << 0;
    QTest::newRow("ok") << "ok" << 1;
}

// Every way out closes and deletes the dialog; only OK reports the edited channel.
void tst_FreqForm::closingDeletesDialog()
{
    QFETCH(QString, how);
    QFETCH(int, emitted);
    QVERIFY(openReadPlan());
    typeAndLeave(edit("5"), QStringLiteral("867.9"));
    QSignalSpy spy(form.data(), &FreqForm::frequencyChanged);
    QSignalSpy destroyed(form.data(), &QObject::destroyed);
    if (how == QLatin1String("cancel"))
        QTest::mouseClick(form->findChild<QPushButton *>("cancelPushButton"), Qt::LeftButton);
    else if (how == QLatin1String("close"))
        QTest::mouseClick(form->findChild<QToolButton *>("closeFreqFormButton"), Qt::LeftButton);
    else if (how == QLatin1String("escape"))
        QTest::keyClick(form.data(), Qt::Key_Escape);
    else
        QTest::mouseClick(form->findChild<QPushButton *>("okPushButton"), Qt::LeftButton);
    QCOMPARE(spy.count(), emitted);
    runDeferredDeletes();
    QVERIFY(form.isNull());
    QCOMPARE(destroyed.count(), 1);
}

QTEST_MAIN(tst_FreqForm)
#include "tst_freqform.moc"
