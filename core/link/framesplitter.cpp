#include "framesplitter.h"

#include "frame.h"

QList<QByteArray> FrameSplitter::feed(const QByteArray &bytes)
{
    QList<QByteArray> out;
    buffer.append(bytes);
    extract(out);
    return out;
}

QList<QByteArray> FrameSplitter::flushStale()
{
    QList<QByteArray> out;
    while (!buffer.isEmpty()) {
        // The candidate at the front waits for bytes that are not coming: it was a false
        // start. Skip it and look again behind it.
        skip(buffer.at(0));
        buffer.remove(0, 1);
        extract(out);
    }
    return out;
}

void FrameSplitter::extract(QList<QByteArray> &out)
{
    int pos = 0;
    const int size = buffer.size();
    const auto *b = reinterpret_cast<const uchar *>(buffer.constData());
    while (pos < size) {
        if (b[pos] != uchar(Frame::startByte)) {
            skip(char(b[pos]));
            ++pos;
            continue;
        }
        if (size - pos < Frame::headerBytes)
            break; // the length is not here yet
        const int n = (b[pos + 1] << 8) | b[pos + 2];
        if (n > Frame::maxPayloadBytes) {
            skip(char(b[pos])); // no frame is that long: a false start
            ++pos;
            continue;
        }
        const int total = n + Frame::overheadBytes;
        if (size - pos < total)
            break; // wait for the rest
        const quint32 expected = (quint32(b[pos + n + 4]) << 24) | (quint32(b[pos + n + 5]) << 16) |
                                 (quint32(b[pos + n + 6]) << 8) | quint32(b[pos + n + 7]);
        const char *start = buffer.constData() + pos;
        if (Frame::crc32(start, n + Frame::headerBytes) == expected) {
            out.append(QByteArray(start, total));
            pos += total;
        } else {
            skip(char(b[pos]));
            ++pos;
        }
    }
    buffer.remove(0, pos);
}

void FrameSplitter::skip(char byte)
{
    ++skipped;
    if (byte == '\n') {
        bool printable = true;
        for (char c : text)
            printable = printable && ((c >= 0x20 && c < 0x7F) || c == '\t');
        if ((printable || keptLines == TextLines::All) && !text.isEmpty())
            lines.append(QString::fromUtf8(text));
        text.clear();
        return;
    }
    if (byte == '\r')
        return;
    // A line longer than this is no answer of the device: it is noise.
    constexpr int maxLineBytes = 1024;
    if (text.size() < maxLineBytes)
        text.append(byte);
    else
        text[0] = '\x01'; // marks the line as noise
}

QStringList FrameSplitter::takeTextLines()
{
    QStringList out;
    out.swap(lines);
    return out;
}
