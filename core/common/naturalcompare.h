#pragma once

#include <QString>

// Compares texts with runs of decimal digits taken by numeric value, so "1.10.0" sorts after
// "1.9.3" and "1.2" before "1.2.0". Negative, zero or positive like strcmp.
int naturalCompare(const QString &a, const QString &b);

// Strict weak ordering for std::sort and friends.
inline bool naturalLess(const QString &a, const QString &b)
{
    return naturalCompare(a, b) < 0;
}
