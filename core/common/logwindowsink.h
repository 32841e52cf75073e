#pragma once

#include <QString>

// Receiver of log lines for the on-screen debug log. The log handler calls it from whichever
// thread logs; implementations hand the call over to their own thread.
class LogWindowSink
{
public:
    virtual ~LogWindowSink() = default;
    // rgb is 0xRRGGBB.
    virtual void setTextColour(unsigned int rgb) = 0;
    virtual void appendText(const QString &text) = 0;
};
