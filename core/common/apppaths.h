#pragma once

#include <QString>

// The one place that knows where the program keeps its files (settings, database,
// translations, logs, history...): the folder of the executable. Tests redirect it to a
// temporary folder so that a program instance never touches the real one.
namespace AppPaths {
QString appDir();
QString filePath(const QString &name);      // appDir() + "/" + name
void setAppDirOverride(const QString &dir); // empty text restores the executable's folder
} // namespace AppPaths
