#include "answertimeout.h"

#include <QtGlobal>

void AnswerTimeout::setFloor(int ms)
{
    floor_ = ms;
    forget();
}

void AnswerTimeout::forget()
{
    srttMs = -1;
    rttvarMs = 0;
    learnt = floor_;
    measured = false;
}

void AnswerTimeout::sent(bool resend, bool measure)
{
    if (resend) {
        resent = true;
        return;
    }
    clock.start();
    resent = requestTimedOut = false;
    measured = measure;
}

void AnswerTimeout::answered()
{
    if (!measured)
        return;
    measured = false;
    const int ceiling = qMax(ceilingMs, floor_);
    if (resent) {
        // Which sending this answers is not known, so it measures nothing; but an answer that
        // came only after the time-out had run out says the device is slower than that: the
        // requests that follow wait longer, until one of them is measured.
        if (requestTimedOut)
            learnt = qMin(ceiling, learnt * 2);
        return;
    }
    const int rtt = int(qMin<qint64>(clock.elapsed(), ceiling));
    if (srttMs < 0) {
        srttMs = rtt;
        rttvarMs = rtt / 2;
    } else {
        rttvarMs = (3 * rttvarMs + qAbs(srttMs - rtt)) / 4;
        srttMs = (7 * srttMs + rtt) / 8;
    }
    const int spread = 4 * rttvarMs;
    learnt = srttMs + spread <= floor_ ? floor_ : qMin(ceiling, srttMs + qMax(marginMs, spread));
}
