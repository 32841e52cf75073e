#pragma once

#include <QMutex>
#include <QStringList>
#include <QtGlobal>
#include <algorithm>

// Collects the program's log lines while it lives, so a test can look for the lines a user
// or a service engineer would read.
class LogCapture
{
public:
    LogCapture()
    {
        instance() = this;
        previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture()
    {
        qInstallMessageHandler(previous);
        instance() = nullptr;
    }
    int count(const QString &fragment) const
    {
        QMutexLocker lock(&mutex);
        return int(std::count_if(collected.begin(), collected.end(),
                                 [&](const QString &l) { return l.contains(fragment); }));
    }
    bool contains(const QString &fragment) const { return count(fragment) > 0; }

private:
    static LogCapture *&instance()
    {
        static LogCapture *current = nullptr;
        return current;
    }
    static void handler(QtMsgType, const QMessageLogContext &, const QString &msg)
    {
        if (LogCapture *c = instance()) {
            QMutexLocker lock(&c->mutex);
            c->collected << msg;
        }
    }
    mutable QMutex mutex;
    QStringList collected;
    QtMessageHandler previous = nullptr;
};
