#pragma once

#include "apppaths.h"

#include <QTemporaryDir>

// A temporary program folder: every file the program keeps beside its executable goes here
// while it lives.
class TempAppDir
{
public:
    TempAppDir() { AppPaths::setAppDirOverride(dir.path()); }
    ~TempAppDir() { AppPaths::setAppDirOverride(QString()); }
    TempAppDir(const TempAppDir &) = delete;
    TempAppDir &operator=(const TempAppDir &) = delete;

    bool isValid() const { return dir.isValid(); }
    QString path(const QString &name = QString()) const
    {
        return name.isEmpty() ? dir.path() : dir.path() + "/" + name;
    }

private:
    QTemporaryDir dir;
};
