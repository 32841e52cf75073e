#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Why a serial port cannot be used, told in words a user can act on. The serial port layer
// reports a missing node as a lost device and both "no permission" and "held by another
// program" as one permission error; these checks tell them apart.
namespace PortCheck {

enum class Problem { None, Missing, NoPermission, InUse };

// The name to open for a port the user gave. Where ports are files it is an absolute path: a
// path with a directory part is taken from the working directory (the serial layer would look
// for "tmp/pty" under /dev), a bare device name ("ttyUSB0") is looked for under /dev. Elsewhere
// ("COM3") the name stays as it is.
QString location(const QString &name);

// Whether the port's device node exists (always true where ports are not files).
bool exists(const QString &name);

// Whether the port opens for this user now: None, or why not. (A program that holds it open
// without an exclusive lock does not stop the open; holders() finds those.)
Problem check(const QString &name);
// After an open failed with a permission error: no permission, or another program holds it.
Problem diagnose(const QString &name);

// The command line's message for a problem ("no such port: PATH", ...).
QString describe(Problem problem, const QString &name);

// How a port the user may not open could be opened: the facts and the exact commands, which each
// front end words in its own language.
struct PermissionFix
{
    QString node;     // the device node ("/dev/ttyACM0")
    QString modeText; // "crw-rw---- root:dialout"
    QString user;     // who runs the program
    QString group;    // the node's group when its members may read and write it, else empty
    bool inGroupLater = false;  // the user is in that group, but this login started before
    bool ownerBlocked = false;  // the user owns the node, whose mode shuts the owner out
    QString groupCommand;       // "sudo usermod -aG dialout alice" (empty: no group helps)
    QString ownerCommand;       // "chmod u+rw /dev/..." (empty unless ownerBlocked)
    bool ruleInstalled = false; // the udev rule for the device's USB ids is in place
    QString ruleCommand;        // installs that rule and applies it to the plugged devices
};
// The udev rule that lets the user at the computer open the device's ports (uaccess) and
// keeps ModemManager from probing them.
QString udevRule(quint16 vendorId, quint16 productId);
// Where the package and the fix install the rule.
QString udevRulePath();
PermissionFix permissionFix(const QString &name, quint16 vendorId, quint16 productId);

// A program holding a port open.
struct Holder
{
    qint64 pid = 0;
    QString name; // its command name ("ModemManager")
};
// The programs that hold the port open, as far as this user may see (all of them as root).
QList<Holder> holders(const QString &name);
// Services known to open USB serial ports they do not own that run now (ModemManager, brltty).
QStringList portGrabbersRunning();

} // namespace PortCheck
