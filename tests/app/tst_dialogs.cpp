#include "apptranslators.h"
#include "authenticationform.h"
#include "deferreddelete.h"
#include "eraseform.h"
#include "guiprompts.h"
#include "guiresources.h"
#include "reloadform.h"
#include "selectdeviceform.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

namespace {
const QStringList kDevices = {QStringLiteral("ttyACM0: VEXA7XX00012"),
                              QStringLiteral("ttyACM1: VEXA7XX00345"),
                              QStringLiteral("ttyACM2: VEXA7XX06789")};

// How each dialog answers and how it is cancelled.
struct DialogInfo
{
    const char *answerSignal;
    const char *cancelSignal;
    const char *answerButton;
    const char *cancelButton;
    const char *closeButton;
};

DialogInfo infoFor(const QString &kind)
{
    if (kind == QLatin1String("auth"))
        return {SIGNAL(passUpdated(QString)), SIGNAL(authenticationCanceled()), "okButton",
                "cancelButton", "closeAuthFormButton"};
    if (kind == QLatin1String("reload"))
        return {SIGNAL(fullReload()), SIGNAL(rebootCancel()), "fullReload", "cancelReload",
                "closeReloadFormButton"};
    if (kind == QLatin1String("erase"))
        return {SIGNAL(eraseMemory(QString)), SIGNAL(eraseCancel()), "okButton", "cancelButton",
                "closeEraseMemFormButton"};
    return {SIGNAL(selectDeviceIndex(int)), SIGNAL(selectionCanceled()), "selectButton",
            "cancelButton", "closeSelectDeviceFormButton"};
}

// A click on a row of the list; row -1 is the empty part below the rows.
void clickRow(QListWidget *list, int row)
{
    QPoint at = list->visualItemRect(list->item(row < 0 ? list->count() - 1 : row)).center();
    if (row < 0)
        at.ry() += 2 * list->visualItemRect(list->item(0)).height();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

} // namespace

// The small dialogs: what they answer, when they refuse to, and that they answer once.
class tst_Dialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initGuiResources(); }
    void cleanup()
    {
        answered.reset();
        cancelled.reset();
        delete current.data();
        runDeferredDeletes();
    }
    void authOkFollowsText_data();
    void authOkFollowsText();
    void authAnswer_data();
    void authAnswer();
    void eraseSendsCheckedCode_data();
    void eraseSendsCheckedCode();
    void selectAnswer_data();
    void selectAnswer();
    void answersOnce_data();
    void laterAnswersComeFromTheEventLoop();
    void boxButtonsFollowTheLanguage();
    void answersOnce();

private:
    // Creates and shows a dialog of the given kind, with spies on its answer and its cancel.
    QDialog *open(const QString &kind)
    {
        QDialog *dlg = kind == "auth"     ? new AuthenticationForm
                       : kind == "reload" ? new ReloadForm
                       : kind == "erase"  ? static_cast<QDialog *>(new EraseForm)
                                          : new SelectDeviceForm(kDevices);
        current = dlg;
        answered = std::make_unique<QSignalSpy>(dlg, infoFor(kind).answerSignal);
        cancelled = std::make_unique<QSignalSpy>(dlg, infoFor(kind).cancelSignal);
        dlg->move(200, 150);
        dlg->show();
        return QTest::qWaitForWindowExposed(dlg) ? dlg : nullptr;
    }
    template<class T = QWidget> T *child(const char *name) const
    {
        return current->findChild<T *>(QLatin1String(name));
    }
    // The answer and the cancel signal each came `answers` and `cancels` times; the dialog is
    // gone after an answer or a cancel and still there otherwise.
    void verifyOutcome(int answers, int cancels)
    {
        QCOMPARE(answered->count(), answers);
        QCOMPARE(cancelled->count(), cancels);
        const bool visible = current && current->isVisible();
        runDeferredDeletes();
        QCOMPARE(current.isNull(), answers + cancels > 0);
        QCOMPARE(visible, answers + cancels == 0);
    }

    QPointer<QDialog> current;
    std::unique_ptr<QSignalSpy> answered;
    std::unique_ptr<QSignalSpy> cancelled;
};

void tst_Dialogs::authOkFollowsText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("backspaces");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("typed and erased") << "ab" << 2 << false;
    QTest::newRow("a space is a character") << " " << 0 << true;
}

void tst_Dialogs::authOkFollowsText()
{
    QFETCH(QString, typed);
    QFETCH(int, backspaces);
    QFETCH(bool, enabled);
    QVERIFY(open("auth"));
    auto *pass = child<QLineEdit>("passLine");
    QTest::keyClicks(pass, typed);
    for (int i = 0; i < backspaces; ++i)
        QTest::keyClick(pass, Qt::Key_Backspace);
    QCOMPARE(child("okButton")->isEnabled(), enabled);
}

void tst_Dialogs::authAnswer_data()
{
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<QString>("password");
    QTest::newRow("enter key") << true << "secret";
    QTest::newRow("ok button, kept as typed") << false << " пароль 1 ";
    // The button is normally disabled then; the dialog must refuse an empty password anyway.
    QTest::newRow("empty, ok button forced on") << false << "";
    QTest::newRow("empty, enter key") << true << "";
}

void tst_Dialogs::authAnswer()
{
    QFETCH(bool, byEnter);
    QFETCH(QString, password);
    QVERIFY(open("auth"));
    auto *pass = child<QLineEdit>("passLine");
    QCOMPARE(pass->echoMode(), QLineEdit::Password);
    pass->setText(password);
    if (byEnter) {
        QTest::keyClick(pass, Qt::Key_Return);
    } else {
        child("okButton")->setEnabled(true);
        child<QPushButton>("okButton")->click();
    }
    if (!password.isEmpty())
        QCOMPARE(answered->value(0).value(0).toString(), password);
    verifyOutcome(password.isEmpty() ? 0 : 1, 0);
}

void tst_Dialogs::eraseSendsCheckedCode_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("code"); // empty: no answer
    QTest::newRow("nothing chosen, ok forced on") << QStringList{} << "";
    QTest::newRow("network") << QStringList{"netDefault"} << "netFactory";
    QTest::newRow("everything") << QStringList{"devDefault"} << "devFactory";
    QTest::newRow("black box") << QStringList{"formatFlash"} << "formatFlash";
    QTest::newRow("changed to black box")
        << QStringList{"netDefault", "formatFlash"} << "formatFlash";
}

void tst_Dialogs::eraseSendsCheckedCode()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, code);
    QVERIFY(open("erase"));
    auto *ok = child<QPushButton>("okButton");
    for (const QRadioButton *r : current->findChildren<QRadioButton *>())
        QVERIFY2(!r->isChecked(), qPrintable(r->objectName()));
    QVERIFY(!ok->isEnabled());
    for (const QString &name : clicks)
        current->findChild<QRadioButton *>(name)->click();
    QCOMPARE(ok->isEnabled(), !clicks.isEmpty());
    ok->setEnabled(true);
    ok->click();
    if (!code.isEmpty())
        QCOMPARE(answered->value(0).value(0).toString(), code);
    verifyOutcome(code.isEmpty() ? 0 : 1, 0);
}

void tst_Dialogs::selectAnswer_data()
{
    QTest::addColumn<QList<int>>("clicks"); // rows clicked once; -1 below the rows
    QTest::addColumn<int>("doubleClicked"); // -1: the select button instead
    QTest::addColumn<int>("expected");      // -1: no answer
    QTest::newRow("last click wins") << QList<int>{0, 2, 1} << -1 << 1;
    QTest::newRow("no row, button forced on") << QList<int>{} << -1 << -1;
    QTest::newRow("below the rows, button forced on") << QList<int>{-1} << -1 << -1;
    QTest::newRow("double click") << QList<int>{} << 1 << 1;
    QTest::newRow("double click on another row") << QList<int>{0} << 2 << 2;
}

void tst_Dialogs::selectAnswer()
{
    QFETCH(QList<int>, clicks);
    QFETCH(int, doubleClicked);
    QFETCH(int, expected);
    QVERIFY(open("select"));
    auto *list = child<QListWidget>("deviceList");
    auto *select = child<QPushButton>("selectButton");
    for (int row : clicks)
        clickRow(list, row);
    // A single click only chooses; the answer waits for the button.
    QCOMPARE(answered->count(), 0);
    QCOMPARE(select->isEnabled(), !clicks.isEmpty() && clicks.last() >= 0);
    if (doubleClicked >= 0) {
        // A real double click is a click, then the double-click press on the same row.
        clickRow(list, doubleClicked);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                           list->visualItemRect(list->item(doubleClicked)).center());
    } else {
        select->setEnabled(true);
        select->click();
    }
    if (expected >= 0)
        QCOMPARE(answered->value(0).value(0).toInt(), expected);
    verifyOutcome(expected >= 0 ? 1 : 0, 0);
}

void tst_Dialogs::answersOnce_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("first"); // the way out taken first
    for (const char *kind : {"auth", "reload", "erase", "select"}) {
        for (const char *first : {"answer", "cancel button", "close button", "escape"})
            QTest::addRow("%s, %s", kind, first) << QString(kind) << QString(first);
    }
}

// Every way out ends the dialog; until its deferred deletion runs, further clicks and keys
// must not produce a second answer.
void tst_Dialogs::answersOnce()
{
    QFETCH(QString, kind);
    QFETCH(QString, first);
    const DialogInfo info = infoFor(kind);
    QVERIFY(open(kind));
    // Make the choice the dialog needs before it can answer.
    if (kind == QLatin1String("auth"))
        child<QLineEdit>("passLine")->setText(QStringLiteral("pw"));
    else if (kind == QLatin1String("erase"))
        child<QRadioButton>("netDefault")->click();
    else if (kind == QLatin1String("select"))
        clickRow(child<QListWidget>("deviceList"), 0);
    QVERIFY(child(info.answerButton)->isEnabled());
    auto wayOut = [&](const QString &how) {
        if (how == QLatin1String("escape")) {
            QTest::keyClick(current, Qt::Key_Escape);
            return;
        }
        auto *b =
            child<QAbstractButton>(how == QLatin1String("answer")          ? info.answerButton
                                   : how == QLatin1String("cancel button") ? info.cancelButton
                                                                           : info.closeButton);
        b->setEnabled(true);
        b->click();
    };
    wayOut(first);
    for (const char *then : {"answer", "cancel button", "close button", "escape", "answer"})
        wayOut(then);
    const bool answered = first == QLatin1String("answer");
    verifyOutcome(answered ? 1 : 0, answered ? 0 : 1);
}

void tst_Dialogs::laterAnswersComeFromTheEventLoop()
{
    // Without a screen the default answer is given; never inside the call that asked, and not
    // at all once the asker is gone.
    GuiPrompts prompts;
    QList<UserPrompts::Button> answers;
    const auto keep = [&answers](UserPrompts::Button b) { answers << b; };
    auto asker = std::make_unique<QObject>();
    QObject survivor;
    prompts.linkPromptLater(UserPrompts::LinkPrompt::LeaveRemoteMode, asker.get(), keep);
    prompts.askLater(UserPrompts::Icon::Question, "t", "q", UserPrompts::Yes | UserPrompts::No,
                     UserPrompts::Yes, asker.get(), keep);
    QVERIFY(answers.isEmpty());
    QTRY_COMPARE(answers, (QList<UserPrompts::Button>{UserPrompts::No, UserPrompts::Yes}));
    prompts.linkPromptLater(UserPrompts::LinkPrompt::ContinueWriting, asker.get(), keep);
    asker.reset();
    prompts.askLater(UserPrompts::Icon::Question, "t", "q", UserPrompts::Yes | UserPrompts::No,
                     UserPrompts::Yes, &survivor, keep);
    QTRY_COMPARE(answers.size(), 3);
    QCOMPARE(answers.last(), UserPrompts::Yes); // the survivor's, not the gone asker's No
}

void tst_Dialogs::boxButtonsFollowTheLanguage()
{
    // Qt's own texts follow the interface: a Russian box says "Да" and "Нет".
    AppTranslators translators;
    for (const QString language : {"ru", "en", "ru"}) {
        translators.load(language);
        QMessageBox box(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove('&'),
                 language == "ru" ? QString("Да") : QString("Yes"));
        QCOMPARE(box.button(QMessageBox::No)->text().remove('&'),
                 language == "ru" ? QString("Нет") : QString("No"));
    }
    translators.load("en");
}

QTEST_MAIN(tst_Dialogs)
#include "tst_dialogs.moc"
