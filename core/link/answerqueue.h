#pragma once

#include <QByteArray>
#include <QQueue>

// Complete answer frames between the receive path and the parser. The parser takes them in an
// event-loop pass of its own, so an answer is never handled inside the read that brought it,
// and an idle link costs nothing.
class AnswerQueue
{
public:
    // True when the queue was empty: the parser has to be called for this frame.
    bool push(const QByteArray &frame);
    // Takes the oldest frame; false when there is none or the queue is closed.
    bool pop(QByteArray *frame);
    // Nothing more is taken (the link is going away).
    void close();
    int size() const { return frames.size(); }

private:
    QQueue<QByteArray> frames;
    bool closed = false;
};
