#pragma once

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

// A firmware image for tests: the header (magic, "VERSION", device identifier low byte first,
// three version bytes), then seeded bytes; one seed gives the same body for every version.
inline QByteArray firmwareImage(quint16 devId, const QString &version, int size)
{
    QByteArray b = QByteArray::fromHex("55aa") + QByteArray("VERSION\0", 8);
    b.append(char(devId & 0xFF)).append(char(devId >> 8));
    for (const QString &part : version.split('.'))
        b.append(char(part.toInt()));
    QRandomGenerator rng(7);
    while (b.size() < size)
        b.append(char(rng.bounded(256)));
    return b.left(size);
}
