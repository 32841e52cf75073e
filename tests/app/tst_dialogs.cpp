#include "authenticationform.h"
#include "eraseform.h"
#include "guiresources.h"
#include "reloadform.h"
#include "selectdeviceform.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
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

void clickRow(QListWidget *list, int row)
{
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
}

void doubleClickRow(QListWidget *list, int row)
{
    // A real double click is press, release, then the double-click press: the view only reports
    // a double click on the row that was pressed first.
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
}

// Runs the deletions the dialogs scheduled for themselves.
void runDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Sends a mouse event at a screen position to a frameless top-level window, whose own
// geometry gives the local position (the platform window may not have caught up with a move).
void sendMouse(QWidget *w, QEvent::Type type, const QPoint &globalPos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, globalPos - w->geometry().topLeft(), globalPos, button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}
} // namespace

class tst_Dialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void texts_data();
    void texts();

    void authShape();
    void authOkFollowsText_data();
    void authOkFollowsText();
    void authEditReturnsFocus();
    void authConfirm_data();
    void authConfirm();
    void authEmptyPasswordDoesNothing_data();
    void authEmptyPasswordDoesNothing();

    void reloadDisablesButtonsBeforeConfirming();

    void eraseOkWaitsForChoice_data();
    void eraseOkWaitsForChoice();
    void eraseSendsCheckedCode_data();
    void eraseSendsCheckedCode();
    void eraseWithoutChoiceDoesNothing();

    void selectListsDevices();
    void selectSendsClickedRow_data();
    void selectSendsClickedRow();
    void selectWithoutRowDoesNothing();
    void doubleClickSelectsAtOnce_data();
    void doubleClickSelectsAtOnce();
    void selectDragsFromAnywhere_data();
    void selectDragsFromAnywhere();

    void cancelPaths_data();
    void cancelPaths();
    void answersOnce_data();
    void answersOnce();

private:
    // Creates and shows a dialog of the given kind; it is deleted in cleanup() if still alive.
    QDialog *open(const QString &kind);
    // Makes the choice the dialog needs before it can answer; returns its answer button.
    QPushButton *prepareAnswer(QDialog *dlg, const QString &kind);

    QPointer<QDialog> current;
};

void tst_Dialogs::initTestCase()
{
    initGuiResources();
}

void tst_Dialogs::cleanup()
{
    delete current.data();
    runDeferredDeletes();
}

QDialog *tst_Dialogs::open(const QString &kind)
{
    QDialog *dlg = nullptr;
    if (kind == QLatin1String("auth"))
        dlg = new AuthenticationForm;
    else if (kind == QLatin1String("reload"))
        dlg = new ReloadForm;
    else if (kind == QLatin1String("erase"))
        dlg = new EraseForm;
    else if (kind == QLatin1String("select"))
        dlg = new SelectDeviceForm(kDevices);
    current = dlg;
    if (!dlg)
        return nullptr;
    dlg->move(200, 150);
    dlg->show();
    return QTest::qWaitForWindowExposed(dlg) ? dlg : nullptr;
}

QPushButton *tst_Dialogs::prepareAnswer(QDialog *dlg, const QString &kind)
{
    if (kind == QLatin1String("auth"))
        dlg->findChild<QLineEdit *>(QStringLiteral("passLine"))->setText(QStringLiteral("pw"));
    else if (kind == QLatin1String("erase"))
        dlg->findChild<QRadioButton *>(QStringLiteral("netDefault"))->click();
    else if (kind == QLatin1String("select"))
        clickRow(dlg->findChild<QListWidget *>(QStringLiteral("deviceList")), 0);
    return dlg->findChild<QPushButton *>(QLatin1String(infoFor(kind).answerButton));
}

void tst_Dialogs::texts_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("object"); // empty: the dialog itself
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QString>("expected");

    const QByteArray text("text");
    const QByteArray title("windowTitle");
    QTest::newRow("auth title") << "auth"
                                << "authFormTitleLabel" << text << "    Авторизация";
    QTest::newRow("auth prompt") << "auth"
                                 << "auth_title_lbl" << text << "Введите пароль";
    QTest::newRow("auth ok") << "auth"
                             << "okButton" << text << "ОК";
    QTest::newRow("auth cancel") << "auth"
                                 << "cancelButton" << text << "Отмена";
    QTest::newRow("reload title") << "reload"
                                  << "reloadFormTitleLabel" << text << "    Перезагрузка";
    QTest::newRow("reload question") << "reload"
                                     << "label" << text << "Перезагрузить устройство?";
    QTest::newRow("reload confirm") << "reload"
                                    << "fullReload" << text << "Перезагрузить";
    QTest::newRow("reload cancel") << "reload"
                                   << "cancelReload" << text << "Отмена";
    QTest::newRow("erase window") << "erase"
                                  << "" << title << "Очистка памяти";
    QTest::newRow("erase title") << "erase"
                                 << "eraseMemFormTitleLabel" << text << "    Сброс настроек";
    QTest::newRow("erase net") << "erase"
                               << "netDefault" << text << "Сброс сетевых настроек к заводским";
    QTest::newRow("erase net note")
        << "erase"
        << "label" << text
        << "<html><head/><body><p>Сбрасывает настройки только настройки сети LoRa к настройкам "
           "заданным на производстве в т.ч. все сетевые ключи, значения счетчиков не "
           "затрагиваются.</p></body></html>";
    QTest::newRow("erase all") << "erase"
                               << "devDefault" << text << "Сброс ВСЕХ настроек к заводским";
    QTest::newRow("erase all note")
        << "erase"
        << "label_2" << text
        << "<html><head/><body><p>Сбрасывает все настройки устройства к заданным на "
           "производстве, значения счетчиков не затрагиваются.</p></body></html>";
    QTest::newRow("erase black box") << "erase"
                                     << "formatFlash" << text << "Очистка Черного ящика";
    QTest::newRow("erase black box note")
        << "erase"
        << "label_3" << text
        << "<html><head/><body><p>Очищает Черный ящик устройства, значения счетчиков не "
           "затрагиваются.</p></body></html>";
    QTest::newRow("erase ok") << "erase"
                              << "okButton" << text << "Выполнить";
    QTest::newRow("erase cancel") << "erase"
                                  << "cancelButton" << text << "Отмена";
    QTest::newRow("select window") << "select"
                                   << "" << title << "Выбор терминала";
    QTest::newRow("select title") << "select"
                                  << "selectDeviceFormTitleLabel" << text << "    Выбор устройства";
    QTest::newRow("select ok") << "select"
                               << "selectButton" << text << "Выбрать";
    QTest::newRow("select cancel") << "select"
                                   << "cancelButton" << text << "Отмена";
}

void tst_Dialogs::texts()
{
    QFETCH(QString, kind);
    QFETCH(QString, object);
    QFETCH(QByteArray, property);
    QFETCH(QString, expected);

    QDialog *dlg = open(kind);
    QVERIFY(dlg);
    QObject *target = object.isEmpty() ? dlg : dlg->findChild<QWidget *>(object);
    QVERIFY2(target, qPrintable(object));
    QCOMPARE(target->property(property.constData()).toString(), expected);
}

void tst_Dialogs::authShape()
{
    QDialog *dlg = open(QStringLiteral("auth"));
    QVERIFY(dlg);
    QCOMPARE(dlg->size(), QSize(212, 130));
    QCOMPARE(dlg->minimumSize(), QSize(212, 130));
    QCOMPARE(dlg->maximumSize(), QSize(212, 130));
    auto *pass = dlg->findChild<QLineEdit *>(QStringLiteral("passLine"));
    QVERIFY(pass);
    QCOMPARE(pass->echoMode(), QLineEdit::Password);
    QVERIFY(dlg->windowFlags() & Qt::FramelessWindowHint);
}

void tst_Dialogs::authOkFollowsText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("backspaces");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("nothing typed") << "" << 0 << false;
    QTest::newRow("one character") << "a" << 0 << true;
    QTest::newRow("typed and erased") << "ab" << 2 << false;
    QTest::newRow("partly erased") << "ab" << 1 << true;
    QTest::newRow("a space is a character") << " " << 0 << true;
}

void tst_Dialogs::authOkFollowsText()
{
    QFETCH(QString, typed);
    QFETCH(int, backspaces);
    QFETCH(bool, enabled);

    QDialog *dlg = open(QStringLiteral("auth"));
    QVERIFY(dlg);
    auto *pass = dlg->findChild<QLineEdit *>(QStringLiteral("passLine"));
    auto *ok = dlg->findChild<QPushButton *>(QStringLiteral("okButton"));
    QVERIFY(pass && ok);
    QTest::keyClicks(pass, typed);
    for (int i = 0; i < backspaces; ++i)
        QTest::keyClick(pass, Qt::Key_Backspace);
    QCOMPARE(ok->isEnabled(), enabled);
}

void tst_Dialogs::authEditReturnsFocus()
{
    QDialog *dlg = open(QStringLiteral("auth"));
    QVERIFY(dlg);
    auto *pass = dlg->findChild<QLineEdit *>(QStringLiteral("passLine"));
    auto *cancel = dlg->findChild<QPushButton *>(QStringLiteral("cancelButton"));
    QVERIFY(pass && cancel);

    cancel->setFocus();
    QCOMPARE(dlg->focusWidget(), cancel);
    pass->setText(QStringLiteral("x"));
    QCOMPARE(dlg->focusWidget(), pass);

    cancel->setFocus();
    QCOMPARE(dlg->focusWidget(), cancel);
    pass->clear();
    QCOMPARE(dlg->focusWidget(), pass);
}

void tst_Dialogs::authConfirm_data()
{
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<QString>("password");

    QTest::newRow("ok button") << false << "secret";
    QTest::newRow("enter key") << true << "secret";
    QTest::newRow("kept as typed") << false << " пароль 1 ";
}

void tst_Dialogs::authConfirm()
{
    QFETCH(bool, byEnter);
    QFETCH(QString, password);

    auto *dlg = qobject_cast<AuthenticationForm *>(open(QStringLiteral("auth")));
    QVERIFY(dlg);
    auto *pass = dlg->findChild<QLineEdit *>(QStringLiteral("passLine"));
    auto *ok = dlg->findChild<QPushButton *>(QStringLiteral("okButton"));
    QVERIFY(pass && ok);
    QSignalSpy passSpy(dlg, &AuthenticationForm::passUpdated);
    QSignalSpy cancelSpy(dlg, &AuthenticationForm::authenticationCanceled);
    const QPointer<QDialog> guard(dlg);

    pass->setText(password);
    if (byEnter)
        QTest::keyClick(pass, Qt::Key_Return);
    else
        ok->click();

    QCOMPARE(passSpy.count(), 1);
    QCOMPARE(passSpy.at(0).at(0).toString(), password);
    QCOMPARE(cancelSpy.count(), 0);
    runDeferredDeletes();
    QVERIFY(guard.isNull());
}

void tst_Dialogs::authEmptyPasswordDoesNothing_data()
{
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("ok button forced on") << false;
    QTest::newRow("enter key") << true;
}

void tst_Dialogs::authEmptyPasswordDoesNothing()
{
    QFETCH(bool, byEnter);

    auto *dlg = qobject_cast<AuthenticationForm *>(open(QStringLiteral("auth")));
    QVERIFY(dlg);
    auto *pass = dlg->findChild<QLineEdit *>(QStringLiteral("passLine"));
    auto *ok = dlg->findChild<QPushButton *>(QStringLiteral("okButton"));
    QVERIFY(pass && ok);
    QSignalSpy passSpy(dlg, &AuthenticationForm::passUpdated);
    QSignalSpy cancelSpy(dlg, &AuthenticationForm::authenticationCanceled);
    const QPointer<QDialog> guard(dlg);

    if (byEnter) {
        QTest::keyClick(pass, Qt::Key_Return);
    } else {
        // The button is normally disabled; the dialog must refuse an empty password anyway.
        ok->setEnabled(true);
        ok->click();
    }

    QCOMPARE(passSpy.count(), 0);
    QCOMPARE(cancelSpy.count(), 0);
    runDeferredDeletes();
    QVERIFY(!guard.isNull());
    QVERIFY(dlg->isVisible());
}

void tst_Dialogs::reloadDisablesButtonsBeforeConfirming()
{
    auto *dlg = qobject_cast<ReloadForm *>(open(QStringLiteral("reload")));
    QVERIFY(dlg);
    auto *confirm = dlg->findChild<QPushButton *>(QStringLiteral("fullReload"));
    auto *cancel = dlg->findChild<QPushButton *>(QStringLiteral("cancelReload"));
    QVERIFY(confirm && cancel);
    QVERIFY(confirm->isEnabled());
    QVERIFY(cancel->isEnabled());

    QList<bool> enabledAtSignal;
    connect(dlg, &ReloadForm::fullReload, this,
            [&] { enabledAtSignal << confirm->isEnabled() << cancel->isEnabled(); });
    QSignalSpy cancelSpy(dlg, &ReloadForm::rebootCancel);
    const QPointer<QDialog> guard(dlg);

    confirm->click();

    QCOMPARE(enabledAtSignal, (QList<bool>{false, false}));
    QCOMPARE(cancelSpy.count(), 0);
    runDeferredDeletes();
    QVERIFY(guard.isNull());
}

void tst_Dialogs::eraseOkWaitsForChoice_data()
{
    QTest::addColumn<QString>("radio");
    QTest::newRow("network") << "netDefault";
    QTest::newRow("everything") << "devDefault";
    QTest::newRow("black box") << "formatFlash";
}

void tst_Dialogs::eraseOkWaitsForChoice()
{
    QFETCH(QString, radio);

    QDialog *dlg = open(QStringLiteral("erase"));
    QVERIFY(dlg);
    auto *ok = dlg->findChild<QPushButton *>(QStringLiteral("okButton"));
    auto *choice = dlg->findChild<QRadioButton *>(radio);
    QVERIFY(ok && choice);

    const QList<QRadioButton *> radios = dlg->findChildren<QRadioButton *>();
    QCOMPARE(radios.size(), 3);
    for (const QRadioButton *r : radios)
        QVERIFY2(!r->isChecked(), qPrintable(r->objectName()));
    QVERIFY(!ok->isEnabled());

    choice->click();
    QVERIFY(choice->isChecked());
    QVERIFY(ok->isEnabled());
    // A second click on the same choice keeps it.
    choice->click();
    QVERIFY(ok->isEnabled());
}

void tst_Dialogs::eraseSendsCheckedCode_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("code");

    QTest::newRow("network") << QStringList{"netDefault"} << "netFactory";
    QTest::newRow("everything") << QStringList{"devDefault"} << "devFactory";
    QTest::newRow("black box") << QStringList{"formatFlash"} << "formatFlash";
    QTest::newRow("changed to black box")
        << QStringList{"netDefault", "formatFlash"} << "formatFlash";
    QTest::newRow("changed to everything")
        << QStringList{"formatFlash", "devDefault"} << "devFactory";
    QTest::newRow("changed to network") << QStringList{"devDefault", "netDefault"} << "netFactory";
}

void tst_Dialogs::eraseSendsCheckedCode()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, code);

    auto *dlg = qobject_cast<EraseForm *>(open(QStringLiteral("erase")));
    QVERIFY(dlg);
    auto *ok = dlg->findChild<QPushButton *>(QStringLiteral("okButton"));
    QVERIFY(ok);
    QSignalSpy eraseSpy(dlg, &EraseForm::eraseMemory);
    QSignalSpy cancelSpy(dlg, &EraseForm::eraseCancel);
    const QPointer<QDialog> guard(dlg);

    for (const QString &name : clicks) {
        auto *radio = dlg->findChild<QRadioButton *>(name);
        QVERIFY2(radio, qPrintable(name));
        radio->click();
    }
    QVERIFY(ok->isEnabled());
    ok->click();

    QCOMPARE(eraseSpy.count(), 1);
    QCOMPARE(eraseSpy.at(0).at(0).toString(), code);
    QCOMPARE(cancelSpy.count(), 0);
    runDeferredDeletes();
    QVERIFY(guard.isNull());
}

void tst_Dialogs::eraseWithoutChoiceDoesNothing()
{
    auto *dlg = qobject_cast<EraseForm *>(open(QStringLiteral("erase")));
    QVERIFY(dlg);
    auto *ok = dlg->findChild<QPushButton *>(QStringLiteral("okButton"));
    QVERIFY(ok);
    QSignalSpy eraseSpy(dlg, &EraseForm::eraseMemory);
    QSignalSpy cancelSpy(dlg, &EraseForm::eraseCancel);
    const QPointer<QDialog> guard(dlg);

    ok->setEnabled(true);
    ok->click();

    QCOMPARE(eraseSpy.count(), 0);
    QCOMPARE(cancelSpy.count(), 0);
    runDeferredDeletes();
    QVERIFY(!guard.isNull());
}

void tst_Dialogs::selectListsDevices()
{
    QDialog *dlg = open(QStringLiteral("select"));
    QVERIFY(dlg);
    auto *list = dlg->findChild<QListWidget *>(QStringLiteral("deviceList"));
    auto *select = dlg->findChild<QPushButton *>(QStringLiteral("selectButton"));
    QVERIFY(list && select);

    QStringList shown;
    for (int i = 0; i < list->count(); ++i)
        shown << list->item(i)->text();
    QCOMPARE(shown, kDevices);
    QVERIFY(!select->isEnabled());
}

void tst_Dialogs::selectSendsClickedRow_data()
{
    QTest::addColumn<QList<int>>("clickedRows");
    QTest::addColumn<int>("expected");

    QTest::newRow("first") << QList<int>{0} << 0;
    QTest::newRow("last") << QList<int>{2} << 2;
    QTest::newRow("last click wins") << QList<int>{0, 2, 1} << 1;
}

void tst_Dialogs::selectSendsClickedRow()
{
    QFETCH(QList<int>, clickedRows);
    QFETCH(int, expected);

    auto *dlg = qobject_cast<SelectDeviceForm *>(open(QStringLiteral("select")));
    QVERIFY(dlg);
    auto *list = dlg->findChild<QListWidget *>(QStringLiteral("deviceList"));
    auto *select = dlg->findChild<QPushButton *>(QStringLiteral("selectButton"));
    QVERIFY(list && select);
    QSignalSpy selectSpy(dlg, &SelectDeviceForm::selectDeviceIndex);
    QSignalSpy cancelSpy(dlg, &SelectDeviceForm::selectionCanceled);
    const QPointer<QDialog> guard(dlg);

    for (int row : clickedRows)
        clickRow(list, row);
    // A single click only chooses; the answer waits for the button.
    QCOMPARE(selectSpy.count(), 0);
    QVERIFY(select->isEnabled());
    select->click();

    QCOMPARE(selectSpy.count(), 1);
    QCOMPARE(selectSpy.at(0).at(0).toInt(), expected);
    QCOMPARE(cancelSpy.count(), 0);
    runDeferredDeletes();
    QVERIFY(guard.isNull());
}

void tst_Dialogs::selectWithoutRowDoesNothing()
{
    auto *dlg = qobject_cast<SelectDeviceForm *>(open(QStringLiteral("select")));
    QVERIFY(dlg);
    auto *list = dlg->findChild<QListWidget *>(QStringLiteral("deviceList"));
    auto *select = dlg->findChild<QPushButton *>(QStringLiteral("selectButton"));
    QVERIFY(list && select);
    QSignalSpy selectSpy(dlg, &SelectDeviceForm::selectDeviceIndex);
    QSignalSpy cancelSpy(dlg, &SelectDeviceForm::selectionCanceled);
    const QPointer<QDialog> guard(dlg);

    // A click on the empty part of the list chooses nothing.
    const QRect last = list->visualItemRect(list->item(list->count() - 1));
    const QPoint below(last.center().x(), last.bottom() + 20);
    QVERIFY(list->viewport()->rect().contains(below));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, below);
    QVERIFY(!select->isEnabled());

    select->setEnabled(true);
    select->click();

    QCOMPARE(selectSpy.count(), 0);
    QCOMPARE(cancelSpy.count(), 0);
    runDeferredDeletes();
    QVERIFY(!guard.isNull());
    QVERIFY(dlg->isVisible());
}

void tst_Dialogs::doubleClickSelectsAtOnce_data()
{
    QTest::addColumn<int>("clickedFirst"); // -1: no single click before
    QTest::addColumn<int>("doubleClicked");

    QTest::newRow("straight away") << -1 << 1;
    QTest::newRow("another row than the clicked one") << 0 << 2;
}

void tst_Dialogs::doubleClickSelectsAtOnce()
{
    QFETCH(int, clickedFirst);
    QFETCH(int, doubleClicked);

    auto *dlg = qobject_cast<SelectDeviceForm *>(open(QStringLiteral("select")));
    QVERIFY(dlg);
    auto *list = dlg->findChild<QListWidget *>(QStringLiteral("deviceList"));
    QVERIFY(list);
    QSignalSpy selectSpy(dlg, &SelectDeviceForm::selectDeviceIndex);
    QSignalSpy cancelSpy(dlg, &SelectDeviceForm::selectionCanceled);
    const QPointer<QDialog> guard(dlg);

    if (clickedFirst >= 0)
        clickRow(list, clickedFirst);
    doubleClickRow(list, doubleClicked);

    QCOMPARE(selectSpy.count(), 1);
    QCOMPARE(selectSpy.at(0).at(0).toInt(), doubleClicked);
    QCOMPARE(cancelSpy.count(), 0);
    runDeferredDeletes();
    QVERIFY(guard.isNull());
}

void tst_Dialogs::selectDragsFromAnywhere_data()
{
    QTest::addColumn<QPoint>("pressAt");
    QTest::addColumn<int>("button");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<bool>("moves");

    QTest::newRow("left button near the list")
        << QPoint(60, 70) << int(Qt::LeftButton) << QPoint(30, 20) << true;
    QTest::newRow("left button at the bottom")
        << QPoint(340, 250) << int(Qt::LeftButton) << QPoint(-45, 12) << true;
    QTest::newRow("right button") << QPoint(60, 70) << int(Qt::RightButton) << QPoint(30, 20)
                                  << false;
}

void tst_Dialogs::selectDragsFromAnywhere()
{
    QFETCH(QPoint, pressAt);
    QFETCH(int, button);
    QFETCH(QPoint, delta);
    QFETCH(bool, moves);
    const auto mouseButton = Qt::MouseButton(button);

    QDialog *dlg = open(QStringLiteral("select"));
    QVERIFY(dlg);
    const QPoint start = dlg->pos();
    const QPoint grabbed = dlg->geometry().topLeft() + pressAt;

    sendMouse(dlg, QEvent::MouseButtonPress, grabbed, mouseButton, mouseButton);
    sendMouse(dlg, QEvent::MouseMove, grabbed + delta, Qt::NoButton, mouseButton);
    QCOMPARE(dlg->pos(), moves ? start + delta : start);
    // A further move keeps the grabbed point under the cursor.
    sendMouse(dlg, QEvent::MouseMove, grabbed + 2 * delta, Qt::NoButton, mouseButton);
    QCOMPARE(dlg->pos(), moves ? start + 2 * delta : start);
    sendMouse(dlg, QEvent::MouseButtonRelease, grabbed + 2 * delta, mouseButton, Qt::NoButton);

    // Moving the mouse without a button held does not drag.
    sendMouse(dlg, QEvent::MouseMove, grabbed + 3 * delta, Qt::NoButton, Qt::NoButton);
    QCOMPARE(dlg->pos(), moves ? start + 2 * delta : start);
}

void tst_Dialogs::cancelPaths_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("path");

    for (const char *kind : {"auth", "reload", "erase", "select"}) {
        for (const char *path : {"cancel button", "close button", "escape"})
            QTest::addRow("%s, %s", kind, path) << QString(kind) << QString(path);
    }
}

void tst_Dialogs::cancelPaths()
{
    QFETCH(QString, kind);
    QFETCH(QString, path);
    const DialogInfo info = infoFor(kind);

    QDialog *dlg = open(kind);
    QVERIFY(dlg);
    QSignalSpy cancelSpy(dlg, info.cancelSignal);
    QSignalSpy answerSpy(dlg, info.answerSignal);
    QVERIFY(cancelSpy.isValid());
    QVERIFY(answerSpy.isValid());
    const QPointer<QDialog> guard(dlg);

    if (path == QLatin1String("cancel button")) {
        auto *cancel = dlg->findChild<QPushButton *>(QLatin1String(info.cancelButton));
        QVERIFY(cancel);
        cancel->click();
    } else if (path == QLatin1String("close button")) {
        auto *close = dlg->findChild<QToolButton *>(QLatin1String(info.closeButton));
        QVERIFY(close);
        close->click();
    } else {
        QTest::keyClick(dlg, Qt::Key_Escape);
    }

    QCOMPARE(cancelSpy.count(), 1);
    QCOMPARE(cancelSpy.at(0).size(), 0);
    QCOMPARE(answerSpy.count(), 0);
    QVERIFY(!dlg->isVisible());
    runDeferredDeletes();
    QVERIFY(guard.isNull());
}

void tst_Dialogs::answersOnce_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("cancelFirst");

    for (const char *kind : {"auth", "reload", "erase", "select"}) {
        QTest::addRow("%s, answer first", kind) << QString(kind) << false;
        QTest::addRow("%s, cancel first", kind) << QString(kind) << true;
    }
}

// Until the deferred deletion runs, further clicks and keys must not produce a second answer.
void tst_Dialogs::answersOnce()
{
    QFETCH(QString, kind);
    QFETCH(bool, cancelFirst);
    const DialogInfo info = infoFor(kind);

    QDialog *dlg = open(kind);
    QVERIFY(dlg);
    QSignalSpy cancelSpy(dlg, info.cancelSignal);
    QSignalSpy answerSpy(dlg, info.answerSignal);
    QPushButton *answer = prepareAnswer(dlg, kind);
    auto *cancel = dlg->findChild<QPushButton *>(QLatin1String(info.cancelButton));
    auto *close = dlg->findChild<QToolButton *>(QLatin1String(info.closeButton));
    QVERIFY(answer && cancel && close);
    QVERIFY(answer->isEnabled());

    if (cancelFirst) {
        cancel->click();
        close->click();
        QTest::keyClick(dlg, Qt::Key_Escape);
        answer->setEnabled(true);
        answer->click();
        QCOMPARE(cancelSpy.count(), 1);
        QCOMPARE(answerSpy.count(), 0);
    } else {
        answer->click();
        answer->setEnabled(true);
        answer->click();
        cancel->setEnabled(true);
        cancel->click();
        close->click();
        QTest::keyClick(dlg, Qt::Key_Escape);
        QCOMPARE(answerSpy.count(), 1);
        QCOMPARE(cancelSpy.count(), 0);
    }
}

QTEST_MAIN(tst_Dialogs)
#include "tst_dialogs.moc"
