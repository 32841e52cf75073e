#pragma once

#include <QByteArray>
#include <QMutex>
#include <QQueue>
#include <QWaitCondition>

// Complete answer frames on their way from the GUI thread to the parser thread. The parser
// sleeps on the queue until a frame arrives, so an idle link costs no CPU.
class AnswerQueue
{
public:
    void push(const QByteArray &frame);
    // Waits until a frame is there and takes it; false once the queue is closed.
    bool waitPop(QByteArray *frame);
    // Wakes the waiting parser for good: it finishes instead of taking more frames.
    void close();
    int size() const;

private:
    mutable QMutex mutex;
    QWaitCondition arrived;
    QQueue<QByteArray> frames;
    bool closed = false;
};
