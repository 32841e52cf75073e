#pragma once

#include <QString>

// Program identity shown in the start-up log and the about dialog.
namespace AppInfo {
QString version();   // "1.6.0"
QString revision();  // "43"
QString buildDate(); // compiler date form, e.g. "Jun 28 2021"
} // namespace AppInfo
