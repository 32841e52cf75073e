#pragma once

#include <QElapsedTimer>

// The answer time-out of a link, learnt as TCP learns its own: a smoothed round trip and its
// variation, with Karn's rule (a resent request measures nothing, as its answer may be to
// either sending; an answer that came only after a time-out backs the time-out off). A device
// within the floor keeps the floor; a slower one gets room above its round trips, up to the
// ceiling.
class AnswerTimeout
{
public:
    static constexpr int ceilingMs = 15000;
    // What the time-out keeps above the smoothed round trip at the least, once the round trips
    // have gone beyond the floor.
    static constexpr int marginMs = 500;

    explicit AnswerTimeout(int floorMs) : floor_(floorMs), learnt(floorMs) {}

    int floor() const { return floor_; }
    // A new floor: what was learnt starts anew.
    void setFloor(int ms);
    // What was learnt of another device, or of another path to it, is of no use.
    void forget();
    // The time-out the next request gets.
    int nowMs() const { return learnt; }

    // A request goes out: first (measured=false for one with a wait of its own), or again.
    void sent(bool resend, bool measured);
    // The request in flight ran out of time.
    void timedOut() { requestTimedOut = true; }
    // Its answer came.
    void answered();

private:
    int floor_;
    int learnt;
    int srttMs = -1; // no sample yet
    int rttvarMs = 0;
    QElapsedTimer clock; // since the request in flight was first sent
    bool resent = false;
    bool requestTimedOut = false;
    bool measured = false;
};
