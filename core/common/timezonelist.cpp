#include "timezonelist.h"

QList<QByteArray> utcOffsetZoneIds(const QList<QByteArray> &available)
{
    QList<QByteArray> ids;
    for (int i = available.size() - 1; i >= 0; --i) {
        const QByteArray &id = available.at(i);
        if (id.contains("UTC-") && id != "UTC-00:00")
            ids.append(id);
    }
    ids.append(QByteArrayLiteral("UTC"));
    for (const QByteArray &id : available) {
        if (id.contains("UTC+") && id != "UTC+00:00")
            ids.append(id);
    }
    return ids;
}
