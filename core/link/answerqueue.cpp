#include "answerqueue.h"

void AnswerQueue::push(const QByteArray &frame)
{
    QMutexLocker lock(&mutex);
    frames.enqueue(frame);
    arrived.wakeOne();
}

bool AnswerQueue::waitPop(QByteArray *frame)
{
    QMutexLocker lock(&mutex);
    while (frames.isEmpty() && !closed)
        arrived.wait(&mutex);
    if (closed)
        return false;
    *frame = frames.dequeue();
    return true;
}

void AnswerQueue::close()
{
    QMutexLocker lock(&mutex);
    closed = true;
    arrived.wakeAll();
}

int AnswerQueue::size() const
{
    QMutexLocker lock(&mutex);
    return frames.size();
}
