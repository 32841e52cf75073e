#pragma once

#include <QString>

// Program identity shown in the start-up log and the about dialog.
namespace AppInfo {
QString version();   // "1.6.0"
QString revision();  // "43"
QString buildDate(); // compiler date form, e.g. "Jun 28 2021"
// Where the help pages and change lists of the models live on the web (a deployment constant).
inline constexpr char helpWebAddress[] = "https://help.vexa7xx.example";
} // namespace AppInfo
