#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class MainWindow;

// The device's password question: asked when the device refuses the link, answered from this
// run's memory when the same device asks again (after the reboot that ends every write, say).
class AuthenticationController : public QObject
{
    Q_OBJECT
public:
    // Made once the window's device link exists: the password goes to it.
    explicit AuthenticationController(MainWindow *window);

    // The connection ended or was refused: the next refusal asks anew.
    void reset() { authAsked = false; }
    // The device's answer to a password change is told.
    void applyState(int state);

public slots:
    void authenticationRequest();
    void badAuthentication();

private:
    MainWindow *window;
    QHash<QString, QString> sessionPasswords; // serial number -> password, this run only
    bool authAsked = false; // the password in use was asked for (or taken from memory)
};
