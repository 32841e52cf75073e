#pragma once

#include <QString>

// The one place that knows where the program keeps its files (settings, database,
// translations, logs, history...). A build tree or a portable copy keeps everything beside the
// executable. An installation (bin/ with the shipped files in share/vexa7xx-configurator/) or a
// program folder the user may not write keeps the shipped files where they were installed and
// the user's own in the user's folders: settings.conf in the configuration folder
// (~/.config/vexa7xx-configurator), the rest (logs, history, firmware, updates) in the data
// folder (~/.local/share/vexa7xx-configurator). Tests redirect everything to a temporary folder
// so that a program instance never touches the real ones.
namespace AppPaths {
QString appDir(); // the executable's folder (or the override)
// Where the file or folder `name` ("settings.conf", "translations/en.qm", "firmware") lives.
QString filePath(const QString &name);
void setAppDirOverride(const QString &dir); // empty text restores the executable's folder
// True when the program keeps its own files beside the executable (a build tree, a portable
// copy): only then may it replace its own files; an installation is the package manager's.
bool portable();
} // namespace AppPaths
