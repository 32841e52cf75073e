#pragma once

#include <QString>

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

// After an open failed with a permission error: no permission, or another program holds it.
Problem diagnose(const QString &name);

// The command line's message for a problem ("no such port: PATH", ...).
QString describe(Problem problem, const QString &name);

} // namespace PortCheck
