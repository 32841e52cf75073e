#include "answerqueue.h"

bool AnswerQueue::push(const QByteArray &frame)
{
    if (closed)
        return false;
    frames.enqueue(frame);
    return frames.size() == 1;
}

bool AnswerQueue::pop(QByteArray *frame)
{
    if (closed || frames.isEmpty())
        return false;
    *frame = frames.dequeue();
    return true;
}

void AnswerQueue::close()
{
    closed = true;
    frames.clear();
}
