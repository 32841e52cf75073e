#pragma once

#include "userprompts.h"

#include <QList>
#include <QStringList>

// Answers the program's questions from a script and remembers everything it asked or told.
class RecordingPrompts : public UserPrompts
{
public:
    Button ask(Icon, const QString &title, const QString &text, Buttons, Button) override
    {
        asked << title + ": " + text;
        return answer;
    }
    Button linkPrompt(LinkPrompt which) override
    {
        link << which;
        return linkAnswers.isEmpty() ? NoButton : linkAnswers.takeFirst();
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
    QStringList notes;
    int withdrawals = 0;
    QList<LinkPrompt> link;
    QList<Button> linkAnswers;
    Button answer = Ok;
    QString fileToOpen;
    QString fileToSave;
    QString proposedName;
};
