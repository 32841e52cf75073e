#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <utility>

// How the program asks the user something or tells them about an error. The GUI answers with
// message boxes, the command-line front end from its flags, tests with scripted answers, so
// nothing below the window layer ever opens a window itself.
//
// Two forms. The waiting ones (ask, linkPrompt, inform) are for what the user opened with a
// click. Link, session and timer slots use the later ones (askLater, linkPromptLater, report,
// linkReport): a waiting box there runs an event loop inside the slot, in which the same cause
// fires again and asks again underneath.
class UserPrompts
{
public:
    enum class Icon { Information, Warning, Critical, Question };
    enum Button {
        NoButton = 0x0,
        Ok = 0x1,
        Yes = 0x2,
        No = 0x4,
        Cancel = 0x8,
    };
    Q_DECLARE_FLAGS(Buttons, Button)

    virtual ~UserPrompts() = default;

    // Shows a modal message and returns the button the user chose; NoButton when the message
    // was closed without a choice.
    virtual Button ask(Icon icon, const QString &title, const QString &text, Buttons buttons,
                       Button defaultButton = NoButton) = 0;

    // Questions and reports of the device link. Each front end words them its own way.
    enum class LinkPrompt {
        ContinueReading,  // no answer after the resends: keep trying? (Yes / No)
        ContinueWriting,  // the same while a configuration is being written
        ContinueFirmware, // the same during a firmware update
        PortBusy,         // the port is held by another program (OK)
        PortNoPermission, // the user may not open the port (OK)
        DeviceUnplugged,  // the device went away during an exchange (OK)
        LeaveRemoteMode,  // a local device was found while connected to the server (Yes / No)
    };
    virtual Button linkPrompt(LinkPrompt which) = 0;
    // The user may not open this port: a front end that can tell the fix for it does so.
    virtual Button portNoPermission(const QString &portName)
    {
        Q_UNUSED(portName);
        return linkPrompt(LinkPrompt::PortNoPermission);
    }

    // What a question asked with askLater or linkPromptLater calls with the answer.
    using Answered = std::function<void(Button)>;

    // Asks without waiting. The contract every front end keeps: `answered` runs later, from the
    // event loop, never inside this call; exactly once; and not at all once `context` is gone.
    // This default takes the answer from the waiting form at once (a front end that answers
    // from its flags or a script never waits there) and hands it on afterwards.
    virtual void askLater(Icon icon, const QString &title, const QString &text, Buttons buttons,
                          Button defaultButton, QObject *context, Answered answered)
    {
        answerLater(ask(icon, title, text, buttons, defaultButton), context, std::move(answered));
    }
    virtual void linkPromptLater(LinkPrompt which, QObject *context, Answered answered)
    {
        answerLater(linkPrompt(which), context, std::move(answered));
    }

    // A message with a single OK button that nobody waits for: the error reports of link,
    // state and timer slots.
    virtual void report(Icon icon, const QString &title, const QString &text)
    {
        inform(icon, title, text);
    }
    // The link's reports with an OK button only (port busy, no permission, unplugged), not
    // waited for; portName names the port refused for PortNoPermission.
    virtual void linkReport(LinkPrompt which, const QString &portName = QString())
    {
        if (which == LinkPrompt::PortNoPermission && !portName.isEmpty())
            portNoPermission(portName);
        else
            linkPrompt(which);
    }

    // A message that does not wait for the user and goes away by itself after autoCloseMs.
    virtual void notify(Icon icon, const QString &title, const QString &text, int autoCloseMs) = 0;

    // Takes back the messages of notify() still on show (their news is out of date).
    virtual void withdrawNotes() {}
    // Takes back the questions asked later for context that are still open, unanswered (what
    // they asked about is over).
    virtual void withdrawQuestions(QObject *context) { Q_UNUSED(context) }

    // File choice; an empty text when the user cancelled.
    virtual QString openFileName(const QString &title, const QString &filter) = 0;
    virtual QString saveFileName(const QString &title, const QString &proposed,
                                 const QString &filter) = 0;

    // A message with a single OK button.
    void inform(Icon icon, const QString &title, const QString &text)
    {
        ask(icon, title, text, Ok, Ok);
    }

protected:
    // Hands an answer already known to `answered` from the event loop, as askLater promises.
    static void answerLater(Button answer, QObject *context, Answered answered)
    {
        if (!answered)
            return;
        QTimer::singleShot(0, context ? context : QCoreApplication::instance(),
                           [answer, answered = std::move(answered)] { answered(answer); });
    }
};

Q_DECLARE_OPERATORS_FOR_FLAGS(UserPrompts::Buttons)
