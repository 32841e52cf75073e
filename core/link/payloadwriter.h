#pragma once

#include <QByteArray>
#include <QtGlobal>

// Builds a payload of big-endian fields, the byte order of every number on the device link.
class PayloadWriter
{
public:
    PayloadWriter &u8(quint8 v)
    {
        bytes.append(char(v));
        return *this;
    }
    PayloadWriter &u16(quint16 v) { return u8(quint8(v >> 8)).u8(quint8(v)); }
    PayloadWriter &u32(quint32 v) { return u16(quint16(v >> 16)).u16(quint16(v)); }
    PayloadWriter &append(const QByteArray &b)
    {
        bytes.append(b);
        return *this;
    }
    QByteArray data() const { return bytes; }

private:
    QByteArray bytes;
};
