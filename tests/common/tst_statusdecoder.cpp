#include "statusdecoder.h"

#include <QtTest>

class tst_StatusDecoder : public QObject
{
    Q_OBJECT
private slots:
    void parseStatusValue_data();
    void parseStatusValue();
    void isBitShown_data();
    void isBitShown();
    void valueText_data();
    void valueText();
};

void tst_StatusDecoder::parseStatusValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("base");
    QTest::addColumn<quint32>("value");

    QTest::newRow("hex word") << "0000FF01" << 16 << 0x0000FF01u;
    QTest::newRow("hex all ones") << "FFFFFFFF" << 16 << 0xFFFFFFFFu;
    QTest::newRow("hex nine digits") << "1FFFFFFFF" << 16 << 0u;
    QTest::newRow("hex not a number") << "12G4" << 16 << 0u;
    QTest::newRow("empty") << "" << 16 << 0u;
    QTest::newRow("decimal") << "65281" << 10 << 65281u;
    QTest::newRow("decimal largest") << "4294967295" << 10 << 4294967295u;
    QTest::newRow("decimal one above") << "4294967296" << 10 << 0u;
    QTest::newRow("hex digits read as decimal") << "FF" << 10 << 0u;
    QTest::newRow("decimal digits read as hex") << "10" << 16 << 16u;
    QTest::newRow("negative") << "-1" << 10 << 0u;
}

void tst_StatusDecoder::parseStatusValue()
{
    QFETCH(QString, text);
    QFETCH(int, base);
    QFETCH(quint32, value);
    QCOMPARE(StatusDecoder::parseStatusValue(text, base), value);
}

void tst_StatusDecoder::isBitShown_data()
{
    QTest::addColumn<int>("bit");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<quint32>("supported");
    QTest::addColumn<bool>("shown");

    const QStringList texts = {"Вскрытие", "Нет", "Есть"};
    QTest::newRow("supported") << 3 << texts << 0x8u << true;
    QTest::newRow("other bit supported") << 3 << texts << 0x4u << false;
    QTest::newRow("nothing supported") << 0 << texts << 0u << false;
    QTest::newRow("bit 31") << 31 << texts << 0x80000000u << true;
    QTest::newRow("empty list") << 3 << QStringList() << 0xFFFFFFFFu << false;
    QTest::newRow("name only") << 3 << QStringList{"Имя"} << 0xFFFFFFFFu << true;
    QTest::newRow("beyond the word") << 32 << texts << 0xFFFFFFFFu << false;
}

void tst_StatusDecoder::isBitShown()
{
    QFETCH(int, bit);
    QFETCH(QStringList, texts);
    QFETCH(quint32, supported);
    QFETCH(bool, shown);
    QCOMPARE(StatusDecoder::isBitShown(bit, texts, supported), shown);
}

void tst_StatusDecoder::valueText_data()
{
    QTest::addColumn<int>("bit");
    QTest::addColumn<bool>("bitSet");
    QTest::addColumn<bool>("mainServer");
    QTest::addColumn<bool>("altServer");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("expected");

    const QStringList plain = {"Вскрытие", "Нет", "Есть"};
    const QStringList server = {"Сервер", "Задан", "Ошибка"};
    const QString notSet = QStringLiteral("Не установлено");
    const QString notGiven = QStringLiteral("Не задано");

    QTest::newRow("plain bit set") << 0 << true << false << false << plain << "Есть";
    QTest::newRow("plain bit clear") << 0 << false << false << false << plain << "Нет";
    QTest::newRow("plain bit ignores flags") << 3 << true << true << true << plain << "Есть";
    QTest::newRow("name only, set") << 5 << true << false << false << QStringList{"Имя"} << "";
    QTest::newRow("name only, clear") << 5 << false << false << false << QStringList{"Имя"} << "";
    QTest::newRow("no text for 1")
        << 6 << true << false << false << QStringList{"Имя", "Ноль"} << "";

    QTest::newRow("bit 2 set, main server") << 2 << true << true << false << server << "";
    QTest::newRow("bit 2 set, no main server") << 2 << true << false << false << server << notSet;
    QTest::newRow("bit 2 clear, main server") << 2 << false << true << false << server << notGiven;
    QTest::newRow("bit 2 clear, no main server")
        << 2 << false << false << false << server << "Задан";
    QTest::newRow("bit 2 follows only main") << 2 << true << false << true << server << notSet;

    QTest::newRow("bit 19 set, no alt server") << 19 << true << false << false << server << notSet;
    QTest::newRow("bit 19 clear, alt server") << 19 << false << false << true << server << notGiven;
    QTest::newRow("bit 19 follows only alt") << 19 << false << true << false << server << "Задан";
}

void tst_StatusDecoder::valueText()
{
    QFETCH(int, bit);
    QFETCH(bool, bitSet);
    QFETCH(bool, mainServer);
    QFETCH(bool, altServer);
    QFETCH(QStringList, texts);
    QFETCH(QString, expected);
    QCOMPARE(StatusDecoder::valueText(bit, bitSet, mainServer, altServer, texts), expected);
}

QTEST_GUILESS_MAIN(tst_StatusDecoder)
#include "tst_statusdecoder.moc"
