#pragma once

#include <QByteArray>
#include <QString>

// Big-endian reads from an answer payload. A read past the end gives 0 for every missing
// byte, so a short answer still decodes (with zeros) and never reads outside the buffer.
class PayloadReader
{
public:
    explicit PayloadReader(const QByteArray &payload)
        : data(payload)
    {}

    int size() const { return data.size(); }

    quint8 u8(int pos) const { return (pos >= 0 && pos < data.size()) ? quint8(data.at(pos)) : 0; }
    quint16 u16(int pos) const { return quint16((u8(pos) << 8) | u8(pos + 1)); }
    quint32 u32(int pos) const
    {
        return (quint32(u8(pos)) << 24) | (quint32(u8(pos + 1)) << 16) |
               (quint32(u8(pos + 2)) << 8) | quint32(u8(pos + 3));
    }

    // len bytes as lower-case hex digits.
    QString hex(int pos, int len, char separator = 0) const
    {
        QByteArray bytes;
        bytes.reserve(len);
        for (int i = 0; i < len; ++i)
            bytes.append(char(u8(pos + i)));
        return QString::fromLatin1(separator ? bytes.toHex(separator) : bytes.toHex());
    }

    // Three bytes as a version "a.b.c" in decimal.
    QString version(int pos) const
    {
        return QStringLiteral("%1.%2.%3").arg(u8(pos)).arg(u8(pos + 1)).arg(u8(pos + 2));
    }

private:
    const QByteArray &data;
};
