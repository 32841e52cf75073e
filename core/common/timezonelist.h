#pragma once

#include <QByteArray>
#include <QList>

// Orders the fixed-offset zone ids for the time-zone selector: the "UTC-" ids from the most
// western to the most eastern, then "UTC", then the "UTC+" ids; "UTC-00:00" and "UTC+00:00"
// are left out. `available` is the platform's sorted list of zone ids.
QList<QByteArray> utcOffsetZoneIds(const QList<QByteArray> &available);
