#pragma once

#include <QStringList>

// What became of the parameters of a configuration write, by element name: what the device
// acknowledged, what was still to go when it stopped, and what was never sent.
struct WriteReport
{
    QStringList written;    // acknowledged by the device
    QStringList notWritten; // still to go when the write stopped; a refused one comes first
    int refusedResult = 0;  // the result code the device refused that first one with
    QStringList skipped;    // never sent, as "name: reason" (no value of it, not supported)
    // Unreadable: the document handed to the write did not parse; nothing was sent.
    enum class Stop { None, Refused, NoAnswer, DeviceLost, Unreadable } stop = Stop::None;
};
