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

bool FrameSplitter::completeFrameAt(int pos) const
{
    const auto *b = reinterpret_cast<const uchar *>(buffer.constData());
    const int size = buffer.size();
    if (b[pos] != uchar(Frame::startByte) || size - pos < Frame::headerBytes)
        return false;
    const int n = (b[pos + 1] << 8) | b[pos + 2];
    if (n > Frame::maxPayloadBytes || size - pos < n + Frame::overheadBytes)
        return false;
    return Frame::check(buffer.mid(pos, n + Frame::overheadBytes), nullptr, nullptr);
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
        if (size - pos < total) {
            // A complete frame inside the span this one claims means this one was a false
            // start (the remains of a damaged frame, say): the frame behind it is not kept
            // waiting for bytes that may never come.
            int behind = pos + 1;
            while (behind < size && !completeFrameAt(behind))
                ++behind;
            if (behind >= size)
                break; // wait for the rest
            for (; pos < behind; ++pos)
                skip(char(b[pos]));
            continue;
        }
        const quint32 expected = (quint32(b[pos + n + 4]) << 24) | (quint32(b[pos + n + 5]) << 16) |
                                 (quint32(b[pos + n + 6]) << 8) | quint32(b[pos + n + 7]);
        const char *start = buffer.constData() + pos;
        if (Frame::crc32(start, n + Frame::headerBytes) == expected) {
            out.append(QByteArray(start, total));
            pos += total;
        } else {
            const quint8 port = b[pos + 3];
            if (port == Frame::commandPort || port == Frame::filePort)
                ++damaged;
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
