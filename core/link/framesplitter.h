#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

// Cuts answer frames out of the received byte stream as the bytes arrive. Several frames in
// one read are all found, a frame split over reads is joined, and anything that is not a
// frame (text lines, line noise, a false start byte) is skipped by rescanning from the byte
// after the false start; a half frame with a complete frame inside its span is such a false
// start. Only frames whose CRC is right come out.
class FrameSplitter
{
public:
    // Which lines between frames count as text.
    enum class TextLines {
        PrintableOnly, // printable ASCII only: a line with anything else is line noise
        All,           // every line (the device's side, which reads what a program typed)
    };

    explicit FrameSplitter(TextLines kept = TextLines::PrintableOnly)
        : keptLines(kept)
    {}

    // Appends received bytes; returns the frames completed by them, in stream order.
    QList<QByteArray> feed(const QByteArray &bytes);

    // Called when no byte has arrived for a while: whatever waits for more bytes will never
    // be completed. The false start it began with is skipped and any frame behind it
    // recovered; the rest is dropped. Returns the recovered frames.
    QList<QByteArray> flushStale();

    // Text lines that arrived between frames (the device's answers to text commands and its
    // debug output), line ends removed, read as UTF-8. A line is cut at maxLineBytes: the cut
    // part comes out at once and the rest of the line is dropped as it comes. Unless every line
    // is kept, a line holding anything but printable characters is noise and left out.
    QStringList takeTextLines();
    static constexpr int maxLineBytes = 1024;
    // The bytes of lines left out as line noise since the last call (at most maxNoiseKept of
    // them; *total counts them all), for people to see that the line is disturbed.
    QByteArray takeNoise(qint64 *total);
    static constexpr int maxNoiseKept = 256;

    bool hasPartial() const { return !buffer.isEmpty(); }
    int pendingBytes() const { return buffer.size(); }
    // Bytes skipped as garbage since construction (a health figure for logs and tests).
    qint64 skippedBytes() const { return skipped; }
    // Complete frames addressed to a port of the protocol whose CRC was wrong: damaged answers
    // (worth asking again at once) rather than line noise.
    qint64 damagedFrames() const { return damaged; }

private:
    // Takes complete frames from the front; stops at an incomplete candidate.
    void extract(QList<QByteArray> &out);

    void skip(char byte);
    void keepNoise(const QByteArray &bytes);
    // What starts at pos; *total is the frame length once the header is there.
    enum Candidate { NotFrame, Incomplete, Damaged, Complete };
    Candidate candidateAt(int pos, int *total) const;

    QByteArray buffer;
    QByteArray text;
    // The rest of the current line is dropped: it is noise, or the line has been cut.
    bool dropLine = false;
    bool noiseLine = false; // the line dropped is noise (not a text line cut at its limit)
    QByteArray noise;
    qint64 noiseTotal = 0;
    QStringList lines;
    qint64 skipped = 0;
    qint64 damaged = 0;
    TextLines keptLines = TextLines::PrintableOnly;
};
