#pragma once

#include <QString>

// How the program asks the user something or tells them about an error. The GUI answers with
// message boxes, the command-line front end from its flags, tests with scripted answers, so
// nothing below the window layer ever opens a window itself.
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

    // A message that does not wait for the user and goes away by itself after autoCloseMs.
    virtual void notify(Icon icon, const QString &title, const QString &text, int autoCloseMs) = 0;

    // Takes back the messages of notify() still on show (their news is out of date).
    virtual void withdrawNotes() {}

    // File choice; an empty text when the user cancelled.
    virtual QString openFileName(const QString &title, const QString &filter) = 0;
    virtual QString saveFileName(const QString &title, const QString &proposed,
                                 const QString &filter) = 0;

    // A message with a single OK button.
    void inform(Icon icon, const QString &title, const QString &text)
    {
        ask(icon, title, text, Ok, Ok);
    }
};

Q_DECLARE_OPERATORS_FOR_FLAGS(UserPrompts::Buttons)
