#include "naturalcompare.h"

#include <QtTest>

#include <algorithm>

class tst_NaturalCompare : public QObject
{
    Q_OBJECT
private slots:
    void compare_data();
    void compare();
    void sortsVersions();
};

void tst_NaturalCompare::compare_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("sign"); // each row is also checked the other way round

    QTest::newRow("equal") << "1.2.3" << QString("1.2.3") << 0;
    QTest::newRow("digit run by value") << "1.10.0" << QString("1.9.3") << 1;
    QTest::newRow("shorter is less") << "1.2" << QString("1.2.0") << -1;
    QTest::newRow("patch") << "1.4.12" << QString("1.4.2") << 1;
    QTest::newRow("digit before other char") << "1.2a" << QString("1.a2") << -1;
    QTest::newRow("plain chars") << "abc" << QString("abd") << -1;
    QTest::newRow("empty vs text") << "" << QString("1") << -1;
    QTest::newRow("both empty") << "" << QString("") << 0;
    // A run longer than any integer type must still order by value, not wrap around.
    QTest::newRow("huge runs") << "1.99999999999999999999999"
                               << QString("1.100000000000000000000000") << -1;
    // Equal values continue after the shorter run, so the zero-padded text is longer.
    QTest::newRow("leading zero") << "1.02" << QString("1.2") << 1;
}

void tst_NaturalCompare::compare()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, sign);
    const int r = naturalCompare(a, b);
    QCOMPARE((r > 0) - (r < 0), sign);
    const int back = naturalCompare(b, a);
    QCOMPARE((back > 0) - (back < 0), -sign);
}

void tst_NaturalCompare::sortsVersions()
{
    QStringList versions{"1.10.0", "1.9.9", "1.2", "1.2.0", "0.9", "1.9.10"};
    std::stable_sort(versions.begin(), versions.end(), naturalLess);
    QCOMPARE(versions, (QStringList{"0.9", "1.2", "1.2.0", "1.9.9", "1.9.10", "1.10.0"}));
}

QTEST_APPLESS_MAIN(tst_NaturalCompare)
#include "tst_naturalcompare.moc"
