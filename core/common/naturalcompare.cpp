#include "naturalcompare.h"

namespace {
bool isAsciiDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// Returns the index just past the digit run that starts at pos.
int digitRunEnd(const QString &s, int pos)
{
    int end = pos;
    while (end < s.size() && isAsciiDigit(s.at(end)))
        ++end;
    return end;
}

// Compares two digit runs by value without converting them, so that runs longer than any
// integer type still order correctly.
int compareDigitRuns(const QString &a, int aBegin, int aEnd, const QString &b, int bBegin, int bEnd)
{
    while (aBegin < aEnd - 1 && a.at(aBegin) == QLatin1Char('0'))
        ++aBegin;
    while (bBegin < bEnd - 1 && b.at(bBegin) == QLatin1Char('0'))
        ++bBegin;
    const int aLen = aEnd - aBegin;
    const int bLen = bEnd - bBegin;
    if (aLen != bLen)
        return aLen < bLen ? -1 : 1;
    for (int k = 0; k < aLen; ++k) {
        const int d = a.at(aBegin + k).unicode() - b.at(bBegin + k).unicode();
        if (d != 0)
            return d < 0 ? -1 : 1;
    }
    return 0;
}
} // namespace

int naturalCompare(const QString &a, const QString &b)
{
    const int n = qMin(a.size(), b.size());
    int i = 0;
    while (i < n) {
        const QChar ca = a.at(i);
        const QChar cb = b.at(i);
        const bool da = isAsciiDigit(ca);
        const bool db = isAsciiDigit(cb);
        if (da && db) {
            const int aEnd = digitRunEnd(a, i);
            const int bEnd = digitRunEnd(b, i);
            const int c = compareDigitRuns(a, i, aEnd, b, i, bEnd);
            if (c != 0)
                return c;
            i = qMin(aEnd, bEnd);
            continue;
        }
        if (da)
            return -1;
        if (db)
            return 1;
        if (ca.unicode() != cb.unicode())
            return ca.unicode() < cb.unicode() ? -1 : 1;
        ++i;
    }
    if (i < b.size())
        return -1;
    if (i < a.size())
        return 1;
    return 0;
}
