#pragma once

#include <QByteArray>
#include <QtGlobal>

// Builds a payload from big-endian fields, the counterpart of PayloadReader. Every append
// returns the writer, so a whole request or answer reads as one chain of its fields.
class PayloadWriter
{
public:
    PayloadWriter &u8(quint8 v)
    {
        buffer.append(char(v));
        return *this;
    }
    PayloadWriter &u16(quint16 v) { return u8(quint8(v >> 8)).u8(quint8(v)); }
    PayloadWriter &u32(quint32 v) { return u16(quint16(v >> 16)).u16(quint16(v)); }
    PayloadWriter &bytes(const QByteArray &b)
    {
        buffer.append(b);
        return *this;
    }

    int size() const { return buffer.size(); }
    QByteArray data() const { return buffer; }

private:
    QByteArray buffer;
};
