#pragma once

#include <QMutex>
#include <QStringList>
#include <QtGlobal>

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
    QStringList lines() const
    {
        QMutexLocker lock(&mutex);
        return collected;
    }
    int count(const QString &fragment) const
    {
        int n = 0;
        for (const QString &l : lines())
            n += l.contains(fragment) ? 1 : 0;
        return n;
    }
    bool contains(const QString &fragment) const { return count(fragment) > 0; }
    void clear()
    {
        QMutexLocker lock(&mutex);
        collected.clear();
    }

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
