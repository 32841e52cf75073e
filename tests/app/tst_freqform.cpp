#include "freqform.h"
#include "guiresources.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

using FrequencyList = QList<QPair<int, QString>>;

namespace {
// The plan the dialog is opened with in most tests: the device reported channels 0..7.
const QStringList kReadChannels = {QStringLiteral("868900000"), QStringLiteral("869100000"),
                                   QStringLiteral("864100000"), QStringLiteral("864300000"),
                                   QStringLiteral("864500000"), QStringLiteral("864700000"),
                                   QStringLiteral("864900000"), QStringLiteral("0")};
const QString kReadRx2Freq = QStringLiteral("869100000");
const QString kReadRx2Dr = QStringLiteral("0");
const QList<QPair<QString, QString>> kDrItems = {
    {QStringLiteral("0"), QStringLiteral("DR0 (SF12)")},
    {QStringLiteral("1"), QStringLiteral("DR1 (SF11)")},
    {QStringLiteral("2"), QStringLiteral("DR2 (SF10)")},
    {QStringLiteral("3"), QStringLiteral("DR3 (SF9)")},
    {QStringLiteral("4"), QStringLiteral("DR4 (SF8)")},
    {QStringLiteral("5"), QStringLiteral("DR5 (SF7)")}};

void runDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

class tst_FreqForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void texts();
    void typingAcceptsDigitsOnly();
    void leavingFieldClampsFrequency_data();
    void leavingFieldClampsFrequency();
    void checkFreqCoversEveryField();

    void okWithoutChangesEmitsNothingChanged_data();
    void okWithoutChangesEmitsNothingChanged();
    void okEmitsOnlyChangedChannel();
    void channelWithoutReferenceNeverEmitted();
    void overlayKeepsReferences();
    void rx2ChangesEmitted();
    void rx2DrReportedAsDecimal();
    void rx2BackToReferenceIsNoChange();

    void notEditableIgnoresOk();
    void deletingWhileEditing();
    void closingDeletesDialog_data();
    void closingDeletesDialog();

private:
    // Opens the dialog filled with the read plan, editable, shown; deleted in cleanup().
    FreqForm *openReadPlan();
    QLineEdit *channelEdit(int n) const;
    // Gives the edit focus, replaces its text by typing and moves the focus on, as a user does.
    void typeAndLeave(QLineEdit *edit, const QString &text);
    void clickOk();

    QPointer<FreqForm> form;
};

void tst_FreqForm::initTestCase()
{
    initGuiResources();
    qRegisterMetaType<FrequencyList>("QList<QPair<int,QString>>");
}

void tst_FreqForm::cleanup()
{
    delete form.data();
    runDeferredDeletes();
}

FreqForm *tst_FreqForm::openReadPlan()
{
    form = new FreqForm;
    for (int n = 0; n < kReadChannels.size(); ++n)
        form->setChannel(n, kReadChannels.at(n), true);
    form->setRx2Freq(kReadRx2Freq, true);
    form->setRx2DrItems(kDrItems);
    form->setRx2Dr(kReadRx2Dr, true);
    form->setEditable(true);
    form->move(100, 100);
    form->show();
    QApplication::setActiveWindow(form);
    if (!QTest::qWaitForWindowActive(form))
        return nullptr;
    return form;
}

QLineEdit *tst_FreqForm::channelEdit(int n) const
{
    return form->findChild<QLineEdit *>(QStringLiteral("freqCh%1lineEdit").arg(n));
}

void tst_FreqForm::typeAndLeave(QLineEdit *edit, const QString &text)
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

void tst_FreqForm::clickOk()
{
    auto *ok = form->findChild<QPushButton *>(QStringLiteral("okPushButton"));
    QVERIFY(ok);
    QTest::mouseClick(ok, Qt::LeftButton);
}

void tst_FreqForm::texts()
{
    QVERIFY(openReadPlan());
    const auto text = [this](const char *name) {
        QObject *o = form->findChild<QObject *>(QLatin1String(name));
        return o ? o->property("text").toString() : QStringLiteral("<missing>");
    };
    QCOMPARE(text("freqFormTitleLabel"), QStringLiteral("    Параметры частотного плана"));
    QCOMPARE(text("okPushButton"), QStringLiteral("ОК"));
    QCOMPARE(text("cancelPushButton"), QStringLiteral("Отмена"));
    QCOMPARE(text("freqCh0Label"), QStringLiteral("Частота Join канала 0, Гц:"));
    QCOMPARE(text("freqCh2Label"), QStringLiteral("Частота Join канала 2, Гц:"));
    QCOMPARE(text("freqCh3Label"), QStringLiteral("Частота канала 3, Гц:"));
    QCOMPARE(text("freqCh15Label"), QStringLiteral("Частота канала 15, Гц:"));
    QCOMPARE(text("rx2FreqLabel"), QStringLiteral("Частота окна RX2, Гц:"));
    QCOMPARE(text("rx2DrLabel"), QStringLiteral("Скорость окна RX2:"));
    auto *group = form->findChild<QGroupBox *>(QStringLiteral("freqGroupBox"));
    QVERIFY(group);
    QCOMPARE(group->title(), QStringLiteral("Частоты:"));
    for (int n = 0; n < FreqForm::channelCount; ++n)
        QVERIFY2(channelEdit(n), qPrintable(QString::number(n)));
    QVERIFY(form->testAttribute(Qt::WA_DeleteOnClose));
}

void tst_FreqForm::typingAcceptsDigitsOnly()
{
    QVERIFY(openReadPlan());
    for (QLineEdit *edit :
         {channelEdit(4), channelEdit(15), form->findChild<QLineEdit *>("rx2FreqlineEdit")}) {
        QVERIFY(edit);
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("86a8 1-0.0e000"));
        QCOMPARE(edit->text(), QStringLiteral("868100000"));
    }
}

void tst_FreqForm::leavingFieldClampsFrequency_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");

    const QStringList fields = {QStringLiteral("freqCh0lineEdit"),
                                QStringLiteral("freqCh9lineEdit"),
                                QStringLiteral("rx2FreqlineEdit")};
    for (const QString &field : fields) {
        const QByteArray f = field.toLatin1();
        QTest::newRow(f + " above") << field << "900000000"
                                    << "870000000";
        QTest::newRow(f + " just above") << field << "870000001"
                                         << "870000000";
        QTest::newRow(f + " far above") << field << "99999999999999999999999"
                                        << "870000000";
        QTest::newRow(f + " below") << field << "100"
                                    << "863000000";
        QTest::newRow(f + " just below") << field << "862999999"
                                         << "863000000";
        QTest::newRow(f + " low edge") << field << "863000000"
                                       << "863000000";
        QTest::newRow(f + " high edge") << field << "870000000"
                                        << "870000000";
        QTest::newRow(f + " inside") << field << "868500000"
                                     << "868500000";
        QTest::newRow(f + " zero") << field << "0"
                                   << "0";
        QTest::newRow(f + " empty") << field << ""
                                    << "";
    }
}

void tst_FreqForm::leavingFieldClampsFrequency()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);

    QVERIFY(openReadPlan());
    auto *edit = form->findChild<QLineEdit *>(field);
    typeAndLeave(edit, typed);
    QCOMPARE(edit->text(), shown);
}

void tst_FreqForm::checkFreqCoversEveryField()
{
    QVERIFY(openReadPlan());
    for (int n = 0; n < FreqForm::channelCount; ++n)
        form->setChannel(n, n % 2 ? QStringLiteral("900000000") : QStringLiteral("100"), false);
    form->setRx2Freq(QStringLiteral("1"), false);
    form->checkFreq();
    for (int n = 0; n < FreqForm::channelCount; ++n)
        QCOMPARE(form->channelText(n),
                 n % 2 ? QStringLiteral("870000000") : QStringLiteral("863000000"));
    QCOMPARE(form->rx2FreqText(), QStringLiteral("863000000"));
}

void tst_FreqForm::okWithoutChangesEmitsNothingChanged_data()
{
    QTest::addColumn<bool>("withRx2DrReference");
    QTest::newRow("read plan") << true;
    // Filling the data-rate list must not count as choosing its first entry.
    QTest::newRow("no RX2 data rate read") << false;
}

void tst_FreqForm::okWithoutChangesEmitsNothingChanged()
{
    QFETCH(bool, withRx2DrReference);

    form = new FreqForm;
    for (int n = 0; n < kReadChannels.size(); ++n)
        form->setChannel(n, kReadChannels.at(n), true);
    form->setRx2Freq(kReadRx2Freq, true);
    form->setRx2DrItems(kDrItems);
    if (withRx2DrReference)
        form->setRx2Dr(kReadRx2Dr, true);
    form->setEditable(true);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));

    QSignalSpy spy(form.data(), &FreqForm::frequencyChanged);
    clickOk();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<FrequencyList>(), FrequencyList());
    QCOMPARE(spy.at(0).at(1).toString(), QString());
    QCOMPARE(spy.at(0).at(2).toString(), QString());
}

void tst_FreqForm::okEmitsOnlyChangedChannel()
{
    QVERIFY(openReadPlan());
    QSignalSpy spy(form.data(), &FreqForm::frequencyChanged);
    typeAndLeave(channelEdit(5), QStringLiteral("867900000"));
    clickOk();
    QCOMPARE(spy.count(), 1);
    const FrequencyList expected = {qMakePair(5, QStringLiteral("867900000"))};
    QCOMPARE(spy.at(0).at(0).value<FrequencyList>(), expected);
    QCOMPARE(spy.at(0).at(1).toString(), QString());
    QCOMPARE(spy.at(0).at(2).toString(), QString());
}

void tst_FreqForm::channelWithoutReferenceNeverEmitted()
{
    QVERIFY(openReadPlan());
    QSignalSpy spy(form.data(), &FreqForm::frequencyChanged);
    typeAndLeave(channelEdit(10), QStringLiteral("868300000"));
    form->setChannel(11, QStringLiteral("868500000"), false);
    typeAndLeave(channelEdit(2), QStringLiteral("864200000"));
    clickOk();
    QCOMPARE(spy.count(), 1);
    const FrequencyList expected = {qMakePair(2, QStringLiteral("864200000"))};
    QCOMPARE(spy.at(0).at(0).value<FrequencyList>(), expected);
}

void tst_FreqForm::overlayKeepsReferences()
{
    // Reopening for editing shows the plan as read and then the edits made before; both the
    // overlaid channel and the untouched ones still compare with what was read.
    QVERIFY(openReadPlan());
    form->setChannel(3, QStringLiteral("868100000"), false);
    form->setChannel(4, kReadChannels.at(4), false);
    form->setRx2Freq(QStringLiteral("869500000"), false);
    form->setRx2Dr(QStringLiteral("2"), false);
    QCOMPARE(form->channelText(3), QStringLiteral("868100000"));

    QSignalSpy spy(form.data(), &FreqForm::frequencyChanged);
    clickOk();
    QCOMPARE(spy.count(), 1);
    const FrequencyList expected = {qMakePair(3, QStringLiteral("868100000"))};
    QCOMPARE(spy.at(0).at(0).value<FrequencyList>(), expected);
    QCOMPARE(spy.at(0).at(1).toString(), QStringLiteral("869500000"));
    QCOMPARE(spy.at(0).at(2).toString(), QStringLiteral("2"));
}

void tst_FreqForm::rx2ChangesEmitted()
{
    QVERIFY(openReadPlan());
    QSignalSpy spy(form.data(), &FreqForm::frequencyChanged);
    typeAndLeave(form->findChild<QLineEdit *>("rx2FreqlineEdit"), QStringLiteral("869525000"));
    auto *dr = form->findChild<QComboBox *>(QStringLiteral("rx2DrComboBox"));
    QVERIFY(dr);
    dr->setCurrentIndex(dr->findData(QStringLiteral("3")));
    clickOk();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<FrequencyList>(), FrequencyList());
    QCOMPARE(spy.at(0).at(1).toString(), QStringLiteral("869525000"));
    QCOMPARE(spy.at(0).at(2).toString(), QStringLiteral("3"));
}

void tst_FreqForm::rx2DrReportedAsDecimal()
{
    QVERIFY(openReadPlan());
    form->setRx2DrItems({{QStringLiteral("00"), QStringLiteral("DR0")},
                         {QStringLiteral("05"), QStringLiteral("DR5")},
                         {QStringLiteral("12"), QStringLiteral("DR12")}});
    form->setRx2Dr(QStringLiteral("5"), true); // as the device reports it
    QCOMPARE(form->rx2DrValue(), QStringLiteral("05"));
    auto *dr = form->findChild<QComboBox *>(QStringLiteral("rx2DrComboBox"));
    dr->setCurrentIndex(2);

    QSignalSpy spy(form.data(), &FreqForm::frequencyChanged);
    clickOk();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(2).toString(), QStringLiteral("12"));
}

void tst_FreqForm::rx2BackToReferenceIsNoChange()
{
    QVERIFY(openReadPlan());
    auto *rx2 = form->findChild<QLineEdit *>(QStringLiteral("rx2FreqlineEdit"));
    auto *dr = form->findChild<QComboBox *>(QStringLiteral("rx2DrComboBox"));
    typeAndLeave(rx2, QStringLiteral("868000000"));
    typeAndLeave(rx2, kReadRx2Freq);
    dr->setCurrentIndex(4);
    dr->setCurrentIndex(dr->findData(kReadRx2Dr));
    typeAndLeave(channelEdit(1), QStringLiteral("868000000"));
    typeAndLeave(channelEdit(1), kReadChannels.at(1));

    QSignalSpy spy(form.data(), &FreqForm::frequencyChanged);
    clickOk();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<FrequencyList>(), FrequencyList());
    QCOMPARE(spy.at(0).at(1).toString(), QString());
    QCOMPARE(spy.at(0).at(2).toString(), QString());
}

void tst_FreqForm::notEditableIgnoresOk()
{
    QVERIFY(openReadPlan());
    form->setChannel(5, QStringLiteral("867900000"), false);
    form->setEditable(false);
    QVERIFY(!form->isEditable());
    auto *ok = form->findChild<QPushButton *>(QStringLiteral("okPushButton"));
    QVERIFY(!ok->isEnabled());
    QVERIFY(!channelEdit(5)->isEnabled());
    QVERIFY(!form->findChild<QLineEdit *>(QStringLiteral("rx2FreqlineEdit"))->isEnabled());
    QVERIFY(!form->findChild<QComboBox *>(QStringLiteral("rx2DrComboBox"))->isEnabled());

    QSignalSpy spy(form.data(), &FreqForm::frequencyChanged);
    clickOk();
    form->on_okPushButton_clicked();
    runDeferredDeletes();
    QCOMPARE(spy.count(), 0);
    QVERIFY(form);
    QVERIFY(form->isVisible());

    form->setEditable(true);
    QVERIFY(form->isEditable());
    QVERIFY(ok->isEnabled());
    QVERIFY(channelEdit(5)->isEnabled());
}

void tst_FreqForm::deletingWhileEditing()
{
    // The main window may delete the dialog directly (it is the dialog's parent); the field that
    // loses focus then must not reach the half-destroyed form.
    QVERIFY(openReadPlan());
    QLineEdit *edit = channelEdit(6);
    edit->setFocus();
    QTRY_COMPARE(form->focusWidget(), edit);
    QTest::keyClicks(edit, QStringLiteral("5"));
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
    typeAndLeave(channelEdit(5), QStringLiteral("867900000"));
    QSignalSpy spy(form.data(), &FreqForm::frequencyChanged);
    QSignalSpy destroyed(form.data(), &QObject::destroyed);

    if (how == QLatin1String("cancel"))
        QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("cancelPushButton")),
                          Qt::LeftButton);
    else if (how == QLatin1String("close"))
        QTest::mouseClick(form->findChild<QToolButton *>(QStringLiteral("closeFreqFormButton")),
                          Qt::LeftButton);
    else if (how == QLatin1String("escape"))
        QTest::keyClick(form.data(), Qt::Key_Escape);
    else
        clickOk();

    QCOMPARE(spy.count(), emitted);
    runDeferredDeletes();
    QVERIFY(form.isNull());
    QCOMPARE(destroyed.count(), 1);
}

QTEST_MAIN(tst_FreqForm)
#include "tst_freqform.moc"
