#pragma once

#include "userprompts.h"

#include <QList>
#include <QPair>
#include <QMessageBox>
#include <QPointer>

class QWidget;

// Message boxes of the program, in the link's shared message-box style. Without a screen (the
// offscreen platform of headless runs) nobody could ever answer a box, so the question is
// printed to standard error and answered with its default button (else the cautious one: No,
// then OK) instead of blocking forever.
class GuiPrompts : public UserPrompts
{
public:
    explicit GuiPrompts(QWidget *parent = nullptr);

    Button ask(Icon icon, const QString &title, const QString &text, Buttons buttons,
               Button defaultButton = NoButton) override;
    Button linkPrompt(LinkPrompt which) override;
    // The later forms open a window-modal box and return at once; headless, the default answer
    // comes from the event loop.
    void askLater(Icon icon, const QString &title, const QString &text, Buttons buttons,
                  Button defaultButton, QObject *context, Answered answered) override;
    void linkPromptLater(LinkPrompt which, QObject *context, Answered answered) override;
    void report(Icon icon, const QString &title, const QString &text) override;
    void linkReport(LinkPrompt which, const QString &portName = QString()) override;
    Button portNoPermission(const QString &portName) override;
    // What the box for a port the user may not open says: the fix with its exact commands, as
    // vexa7xx-cli doctor tells it.
    static QString noPermissionText(const QString &portName);
    void notify(Icon icon, const QString &title, const QString &text, int autoCloseMs) override;
    void withdrawNotes() override;
    void withdrawQuestions(QObject *context) override;
    QString openFileName(const QString &title, const QString &filter) override;
    QString saveFileName(const QString &title, const QString &proposed,
                         const QString &filter) override;

    static QString messageBoxStyleSheet();
    static bool headless();

private:
    // What a box shows and offers.
    struct Box
    {
        Icon icon = Icon::Information;
        QString title;
        QString text;
        Buttons buttons;
        Button defaultButton = NoButton;
    };
    static Box linkBox(LinkPrompt which);
    // Opens b without waiting; the box (null when headless).
    QMessageBox *open(const Box &b, QObject *context, Answered answered);
    // Headless: the question on standard error and the answer nobody gave, the default one.
    static Button printAnswer(const QString &title, const QString &text, Buttons buttons,
                              Button defaultButton);
    Button show(QWidget *parent, Icon icon, const QString &title, const QString &text,
                Buttons buttons, Button defaultButton);

    QWidget *parentWidget;
    QList<QPointer<QMessageBox>> notes;
    QList<QPointer<QMessageBox>> reports; // the reports on show
    QList<QPair<QPointer<QMessageBox>, QPointer<QObject>>> questions; // open, by their context
};
