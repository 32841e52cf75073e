#include "frame.h"
#include "framesplitter.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {
QByteArray frameOf(quint16 cmd, const QByteArray &data)
{
    return Frame::wrap(2, Frame::payload(cmd, 2, data));
}

// A stream of varied frames: empty data, long data, data full of start bytes and bytes that
// look like lengths, a port-1 block acknowledgement.
QList<QByteArray> sampleFrames()
{
    QList<QByteArray> frames;
    frames << frameOf(0x8002, QByteArray::fromHex("010402") + QByteArray(40, '\x01'));
    frames << frameOf(0x8600, QByteArray(42, '\x01'));
    frames << frameOf(0x8000, QByteArray());
    frames << Frame::wrap(1, QByteArray::fromHex("200200000200"));
    frames << frameOf(0x8500, QByteArray::fromHex("0001ff0010") + QByteArray(1000, '\xff'));
    QByteArray tricky;
    for (int i = 0; i < 64; ++i)
        tricky.append(char(i % 3 == 0 ? 0x01 : i));
    frames << frameOf(0x8606, tricky);
    return frames;
}

QList<QByteArray> feedInPieces(const QByteArray &stream, const QList<int> &cuts)
{
    FrameSplitter s;
    QList<QByteArray> out;
    int pos = 0;
    for (int cut : cuts) {
        out += s.feed(stream.mid(pos, cut - pos));
        pos = cut;
    }
    out += s.feed(stream.mid(pos));
    out += s.flushStale();
    return out;
}
} // namespace

class tst_FrameSplitter : public QObject
{
    Q_OBJECT
private slots:
    void wholeStreamAtOnce();
    void oneBytePerRead();
    void randomCuts();
    void recoversAfterGarbage_data();
    void recoversAfterGarbage();
    void truncatedFrameLosesOnlyItself();
    void badCrcDropped();
    void overlongLengthIsGarbage();
    void textBetweenFrames();
};

void tst_FrameSplitter::wholeStreamAtOnce()
{
    const QList<QByteArray> frames = sampleFrames();
    FrameSplitter s;
    QCOMPARE(s.feed(frames.join()), frames);
    QVERIFY(!s.hasPartial());
    QCOMPARE(s.skippedBytes(), 0);
}

void tst_FrameSplitter::oneBytePerRead()
{
    const QList<QByteArray> frames = sampleFrames();
    const QByteArray stream = frames.join();
    QList<int> ends;
    int end = 0;
    for (const QByteArray &f : frames)
        ends << (end += f.size());
    FrameSplitter s;
    QList<QByteArray> out;
    for (int i = 0; i < stream.size(); ++i) {
        out += s.feed(stream.mid(i, 1));
        // A frame comes out with its very last byte, not later.
        const int complete =
            int(std::count_if(ends.begin(), ends.end(), [i](int e) { return e <= i + 1; }));
        QCOMPARE(out.size(), complete);
    }
    QCOMPARE(out, frames);
}

void tst_FrameSplitter::randomCuts()
{
    const QList<QByteArray> frames = sampleFrames();
    QByteArray stream;
    for (int i = 0; i < 20; ++i)
        stream += frames.join();
    QList<QByteArray> expected;
    for (int i = 0; i < 20; ++i)
        expected += frames;

    QRandomGenerator rng(20261206);
    for (int round = 0; round < 20; ++round) {
        QList<int> cuts;
        for (int i = 0; i < 500; ++i)
            cuts << int(rng.bounded(stream.size()));
        std::sort(cuts.begin(), cuts.end());
        QCOMPARE(feedInPieces(stream, cuts), expected); // 20 x 500 = 10,000 cuts
    }
}

void tst_FrameSplitter::recoversAfterGarbage_data()
{
    QTest::addColumn<int>("seed");
    for (int seed = 1; seed <= 8; ++seed)
        QTest::newRow(qPrintable(QString("seed %1").arg(seed))) << seed;
}

void tst_FrameSplitter::recoversAfterGarbage()
{
    QFETCH(int, seed);
    QRandomGenerator rng{quint32(seed)};
    // Up to 4 KiB of noise, thick with start bytes followed by bogus lengths of every size.
    QByteArray garbage;
    const int size = int(rng.bounded(4096)) + 1;
    while (garbage.size() < size) {
        if (rng.bounded(4) == 0) {
            garbage.append(char(0x01));
            const quint16 len = quint16(rng.bounded(0x10000));
            garbage.append(char(len >> 8));
            garbage.append(char(len & 0xFF));
        } else {
            garbage.append(char(rng.bounded(256)));
        }
    }
    garbage.truncate(size);
    const QList<QByteArray> frames = sampleFrames();
    const QByteArray stream = garbage + frames.join();

    // Whatever the reads, every frame after the noise is recovered, in order. Frames still
    // behind a false start when the data stops come out when the line goes quiet.
    QList<int> cuts;
    for (int i = 0; i < 50; ++i)
        cuts << int(rng.bounded(stream.size()));
    std::sort(cuts.begin(), cuts.end());
    QCOMPARE(feedInPieces(stream, cuts), frames);
}

void tst_FrameSplitter::truncatedFrameLosesOnlyItself()
{
    const QByteArray lost = frameOf(0x8600, QByteArray(42, '\x05'));
    const QByteArray good = frameOf(0x8002, QByteArray(29, '\x07'));
    const QByteArray next = frameOf(0x8003, QByteArray(13, '\x00'));
    FrameSplitter s;
    QList<QByteArray> out = s.feed(lost.left(20));
    out += s.feed(good);
    out += s.feed(next);
    out += s.flushStale();
    QCOMPARE(out, (QList<QByteArray>{good, next}));

    // The same when the line goes quiet right after the truncated piece.
    FrameSplitter s2;
    out = s2.feed(lost.left(20));
    out += s2.flushStale();
    QVERIFY(out.isEmpty());
    QVERIFY(!s2.hasPartial());
    QCOMPARE(s2.feed(good), QList<QByteArray>{good});
}

void tst_FrameSplitter::badCrcDropped()
{
    QByteArray bad = frameOf(0x8600, QByteArray(42, '\x02'));
    bad[10] = char(bad[10] ^ 0x40);
    const QByteArray good = frameOf(0x8001, QByteArray(2, '\0'));
    FrameSplitter s;
    QCOMPARE(s.feed(bad + good), QList<QByteArray>{good});
}

void tst_FrameSplitter::overlongLengthIsGarbage()
{
    // A declared length beyond any answer is not waited for.
    QByteArray fake = QByteArray::fromHex("01ffff02");
    const QByteArray good = frameOf(0x8000, QByteArray());
    FrameSplitter s;
    QCOMPARE(s.feed(fake + good), QList<QByteArray>{good});
    QVERIFY(!s.hasPartial());
    QVERIFY(Frame::maxPayloadBytes < 0xffff);
}

void tst_FrameSplitter::textBetweenFrames()
{
    // Debug text lines of the device arrive between answers.
    const QByteArray a = frameOf(0x8600, QByteArray(42, '\x00'));
    const QByteArray b = frameOf(0x8602, QByteArray(7, '\x00'));
    FrameSplitter s;
    QCOMPARE(s.feed("SYSLOG: radio tx done\r\n" + a + "LEVEL=DBG\r\n" + b),
             (QList<QByteArray>{a, b}));
    QCOMPARE(s.takeTextLines(), (QStringList{"SYSLOG: radio tx done", "LEVEL=DBG"}));
    // A line without end comes out cut, and nothing of its rest is kept.
    s.feed(QByteArray(FrameSplitter::maxLineBytes * 3, 'x'));
    QVERIFY(!s.hasPartial());
    s.feed("\nOK\n");
    QCOMPARE(s.takeTextLines(), (QStringList{QString(FrameSplitter::maxLineBytes, 'x'), "OK"}));
    qint64 total = -1;
    QCOMPARE(s.takeNoise(&total), QByteArray()); // a cut line is text, not noise
    QCOMPARE(total, 0);
    // A disturbed line is noise, kept apart for people to see; the text after it is a line.
    QCOMPARE(s.feed("ab\x01\xfe" + a + "cd\nhello\n"), QList<QByteArray>{a});
    QCOMPARE(s.takeTextLines(), QStringList{"hello"});
    QCOMPARE(s.takeNoise(&total), QByteArray("ab\x01\xfe" "cd"));
    QCOMPARE(total, 6);
    // A flood of it is counted whole and kept in part.
    s.feed(QByteArray(FrameSplitter::maxNoiseKept * 4, '\x07'));
    QCOMPARE(s.takeNoise(&total).size(), FrameSplitter::maxNoiseKept);
    QCOMPARE(total, FrameSplitter::maxNoiseKept * 4);
}

QTEST_APPLESS_MAIN(tst_FrameSplitter)
#include "tst_framesplitter.moc"
