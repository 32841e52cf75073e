#include "deveui.h"
#include "frame.h"
#include "frametext.h"

#include <QtTest>

class tst_Frame : public QObject
{
    Q_OBJECT
private slots:
    void crcCheckValue();
    void frames_data();
    void frames();
    void relayWrapper();
    void relayInnerLengthIsOneByte();
    void devEuiBytes_data();
    void devEuiBytes();
    void check_data();
    void check();
    void text_data();
    void text();
};

void tst_Frame::crcCheckValue()
{
    QCOMPARE(Frame::crc32(QByteArray("123456789")), 0xCBF43926u);
    QCOMPARE(Frame::crcBytesOf("123456789"), QByteArray::fromHex("cbf43926"));
    // The running form continues a CRC over split input.
    const quint32 part = Frame::crc32("1234", 4);
    QCOMPARE(Frame::crc32("56789", 5, part), 0xCBF43926u);
}

void tst_Frame::frames_data()
{
    QTest::addColumn<int>("cmd");
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("device info") << 0x8002 << 2 << QByteArray()
                                 << QByteArray::fromHex("01 0002 02 8002 069e9784");
    QTest::newRow("device status")
        << 0x8600 << 2 << QByteArray(1, '\0') << QByteArray::fromHex("010003028600 00330a01a3");
}

void tst_Frame::frames()
{
    QFETCH(int, cmd);
    QFETCH(int, port);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, frame);
    QCOMPARE(Frame::wrap(quint8(port), Frame::payload(quint16(cmd), quint8(port), data)), frame);
}

void tst_Frame::relayWrapper()
{
    const QByteArray inner = Frame::payload(0x8600, 2, QByteArray(1, '\1'));
    const QByteArray w =
        Frame::relayPayload(Frame::devEuiBytes("70-B3-D5-7E-D0-00-12-34"), 2, 0x01020304, inner);
    QCOMPARE(w, QByteArray::fromHex("8302"
                                    "70b3d57ed0001234"
                                    "02"
                                    "03"
                                    "01020304"
                                    "860001"));
    // Port 1 carries no code bytes, so the inner payload is the data alone.
    QCOMPARE(Frame::payload(0xFFFF, 1, "ab"), QByteArray("ab"));
}

void tst_Frame::relayInnerLengthIsOneByte()
{
    const QByteArray inner(300, 'x');
    const QByteArray w = Frame::relayPayload(QByteArray(8, '\0'), 1, 0, inner);
    QCOMPARE(quint8(w.at(11)), quint8(300 & 0xFF));
    QCOMPARE(w.size(), 16 + 300);
}

void tst_Frame::devEuiBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    const QByteArray eui = QByteArray::fromHex("70b3d57ed0001234");
    const QString dashed = QStringLiteral("70-B3-D5-7E-D0-00-12-34");
    QTest::newRow("dashed") << dashed << eui << dashed;
    QTest::newRow("as the device reports it") << "70-b3-d5-7e-d0-00-12-34" << eui << dashed;
    QTest::newRow("plain lower") << "70b3d57ed0001234" << eui << dashed;
    QTest::newRow("dashes anywhere") << "70b3-d57e-d000-1234" << eui << dashed;
    QTest::newRow("short padded") << "70B3" << QByteArray::fromHex("70b3000000000000") << "70B3";
    QTest::newRow("long cut") << "70b3d57ed000123456" << eui << "70B3D57ED000123456";
    QTest::newRow("empty") << "" << QByteArray(8, '\0') << "";
}

// What goes on the wire, and the one way the window shows it (only a real DevEUI is regrouped).
void tst_Frame::devEuiBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QCOMPARE(Frame::devEuiBytes(text), bytes);
    QCOMPARE(DevEui::shown(text), shown);
}

void tst_Frame::check_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("payload");
    const QByteArray good = QByteArray::fromHex("010003028600 00330a01a3");
    QByteArray badCrc = good;
    badCrc[badCrc.size() - 1] = char(0xa4);
    QByteArray badStart = good;
    badStart[0] = 0x02;
    QTest::newRow("good") << good << true << QByteArray::fromHex("860000");
    QTest::newRow("bad crc") << badCrc << false << QByteArray();
    QTest::newRow("bad start") << badStart << false << QByteArray();
    QTest::newRow("too short") << good.left(7) << false << QByteArray();
    QTest::newRow("extra byte") << good + '\0' << false << QByteArray();
    QTest::newRow("empty") << QByteArray() << false << QByteArray();
}

void tst_Frame::check()
{
    QFETCH(QByteArray, frame);
    QFETCH(bool, ok);
    QFETCH(QByteArray, payload);
    QByteArray p;
    quint8 port = 0;
    QCOMPARE(Frame::check(frame, &p, &port), ok);
    if (ok) {
        QCOMPARE(p, payload);
        QCOMPARE(int(port), 2);
    }
}

void tst_Frame::text_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code"); // -1: none
    QTest::newRow("answer mark masked off")
        << 2 << QByteArray::fromHex("c6000102") << "8600 netStatus data 01 02" << 0x8600;
    QTest::newRow("code alone") << 2 << QByteArray::fromHex("8002") << "8002 deviceInfo data -"
                                << 0x8002;
    QTest::newRow("unknown code") << 2 << QByteArray::fromHex("12340a") << "1234  data 0a"
                                  << 0x1234;
    QTest::newRow("file block") << 1 << QByteArray::fromHex("00010203")
                                << "port 1 data 00 01 02 03" << -1;
    QTest::newRow("too short for a code") << 2 << QByteArray::fromHex("86") << "port 2 data 86"
                                          << -1;
}

void tst_Frame::text()
{
    QFETCH(int, port);
    QFETCH(QByteArray, payload);
    QFETCH(QString, text);
    QFETCH(int, code);
    const QByteArray frame = Frame::wrap(quint8(port), payload);
    QCOMPARE(FrameText::describe(frame), text);
    quint16 found = 0;
    QCOMPARE(FrameText::codeOf(frame, &found), code >= 0);
    if (code >= 0)
        QCOMPARE(int(found), code);
}

QTEST_GUILESS_MAIN(tst_Frame)
#include "tst_frame.moc"
