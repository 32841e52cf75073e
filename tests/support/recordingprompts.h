#pragma once

#include "userprompts.h"

#include <QList>
#include <QPointer>
#include <QStringList>

// Answers the program's questions from a script and remembers everything it asked or told. A
// test may hold the answers to the later forms back (holdAnswers) and give them with release(),
// to see what the program does while a question is open. The waiting forms are counted apart:
// a link, state or timer slot must not use them.
class RecordingPrompts : public UserPrompts
{
public:
    Button ask(Icon, const QString &title, const QString &text, Buttons, Button) override
    {
        asked << title + ": " + text;
        ++waited;
        return answer;
    }
    Button linkPrompt(LinkPrompt which) override
    {
        link << which;
        ++waited;
        return linkAnswers.isEmpty() ? NoButton : linkAnswers.takeFirst();
    }
    void askLater(Icon, const QString &title, const QString &text, Buttons, Button,
                  QObject *context, Answered answered) override
    {
        asked << title + ": " + text;
        later(answer, context, std::move(answered));
    }
    void linkPromptLater(LinkPrompt which, QObject *context, Answered answered) override
    {
        link << which;
        later(linkAnswers.isEmpty() ? NoButton : linkAnswers.takeFirst(), context,
              std::move(answered));
    }
    void report(Icon, const QString &title, const QString &text) override
    {
        asked << title + ": " + text;
    }
    void linkReport(LinkPrompt which, const QString &) override { link << which; }
    // Gives the answers held back, in the order asked; how many were given.
    int release()
    {
        const QList<Held> given = std::exchange(held, {});
        for (const Held &h : given) {
            if (!h.guarded || h.context)
                h.answered(h.answer);
        }
        return given.size();
    }
    void notify(Icon, const QString &title, const QString &text, int) override
    {
        notes << title + ": " + text;
    }
    void withdrawNotes() override { ++withdrawals; }
    QString openFileName(const QString &, const QString &) override { return fileToOpen; }
    QString saveFileName(const QString &, const QString &proposed, const QString &) override
    {
        proposedName = proposed;
        return fileToSave;
    }

    QStringList asked;
    int waited = 0; // questions and messages of the waiting forms
    bool holdAnswers = false;
    QStringList notes;
    int withdrawals = 0;
    QList<LinkPrompt> link;
    QList<Button> linkAnswers;
    Button answer = Ok;
    QString fileToOpen;
    QString fileToSave;
    QString proposedName;

private:
    struct Held
    {
        Button answer;
        QPointer<QObject> context;
        bool guarded;
        Answered answered;
    };
    void later(Button scripted, QObject *context, Answered answered)
    {
        if (holdAnswers && answered)
            held << Held{scripted, context, context != nullptr, std::move(answered)};
        else
            answerLater(scripted, context, std::move(answered));
    }
    QList<Held> held;
};
