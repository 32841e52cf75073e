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

FrameSplitter::Candidate FrameSplitter::candidateAt(int pos, int *total) const
{
    const auto *b = reinterpret_cast<const uchar *>(buffer.constData());
    const int size = buffer.size();
    if (b[pos] != uchar(Frame::startByte))
        return NotFrame;
    if (size - pos < Frame::headerBytes)
        return Incomplete; // the length is not here yet
    const int n = (b[pos + 1] << 8) | b[pos + 2];
    if (n > Frame::maxPayloadBytes)
        return NotFrame; // no frame is that long: a false start
    *total = n + Frame::overheadBytes;
    if (size - pos < *total)
        return Incomplete;
    const quint32 expected = (quint32(b[pos + n + 4]) << 24) | (quint32(b[pos + n + 5]) << 16) |
                             (quint32(b[pos + n + 6]) << 8) | quint32(b[pos + n + 7]);
    if (Frame::crc32(buffer.constData() + pos, n + Frame::headerBytes) == expected)
        return Complete;
    // A wrong CRC on a frame for a port of the protocol is a damaged answer, not line noise.
    const quint8 port = b[pos + 3];
    return port == Frame::commandPort || port == Frame::filePort ? Damaged : NotFrame;
}

void FrameSplitter::extract(QList<QByteArray> &out)
{
    int pos = 0;
    const int size = buffer.size();
    while (pos < size) {
        int total = 0;
        switch (candidateAt(pos, &total)) {
        case Complete:
            out.append(buffer.mid(pos, total));
            pos += total;
            continue;
        case Damaged:
            ++damaged;
            break;
        case NotFrame:
            break;
        case Incomplete: {
            // A complete frame inside the span this one claims means this one was a false
            // start (the remains of a damaged frame, say): the frame behind it is not kept
            // waiting for bytes that may never come.
            int behind = pos + 1;
            int unused = 0;
            while (behind < size && candidateAt(behind, &unused) != Complete)
                ++behind;
            if (behind >= size) {
                buffer.remove(0, pos);
                return; // wait for the rest
            }
            for (; pos < behind; ++pos)
                skip(buffer.at(pos));
            continue;
        }
        }
        skip(buffer.at(pos));
        ++pos;
    }
    buffer.remove(0, pos);
}

void FrameSplitter::skip(char byte)
{
    ++skipped;
    if (byte == '\n') {
        if (!dropLine && !text.isEmpty())
            lines.append(QString::fromUtf8(text));
        text.clear();
        dropLine = false;
        noiseLine = false;
        return;
    }
    if (noiseLine)
        return keepNoise(QByteArray(1, byte));
    if (byte == '\r' || dropLine)
        return;
    // Nothing but text is kept, and no more of it than a line: a stream that never ends a line
    // (or never stops sending noise) holds no memory.
    if (keptLines == TextLines::PrintableOnly && !((byte >= 0x20 && byte < 0x7F) || byte == '\t')) {
        keepNoise(text + byte);
        text.clear();
        dropLine = true;
        noiseLine = true;
        return;
    }
    text.append(byte);
    if (text.size() >= maxLineBytes) {
        lines.append(QString::fromUtf8(text));
        text.clear();
        dropLine = true;
    }
}

void FrameSplitter::keepNoise(const QByteArray &bytes)
{
    noiseTotal += bytes.size();
    noise.append(bytes.left(maxNoiseKept - noise.size()));
}

QByteArray FrameSplitter::takeNoise(qint64 *total)
{
    *total = noiseTotal;
    noiseTotal = 0;
    QByteArray out;
    out.swap(noise);
    return out;
}

QStringList FrameSplitter::takeTextLines()
{
    QStringList out;
    out.swap(lines);
    return out;
}
