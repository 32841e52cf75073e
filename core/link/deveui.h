#pragma once

#include <QString>

// The rules for a DevEUI as the user types it and as the program shows it.
namespace DevEui {
// A DevEUI as typed: 16 hex digits once the dashes are removed.
bool isValid(const QString &devEui);
// The one way a DevEUI is shown: upper-case byte pairs joined by "-" (70-B3-D5-...), however
// it was reported, typed or read from a file. Text that is no DevEUI is only upper-cased.
QString shown(const QString &devEui);
} // namespace DevEui
