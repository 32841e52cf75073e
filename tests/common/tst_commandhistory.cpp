#include "commandhistory.h"
#include "tempappdir.h"

#include <QtTest>

class tst_CommandHistory : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY((dir = std::make_unique<TempAppDir>())->isValid()); }
    void cleanup() { dir.reset(); }
    void serialize_data();
    void serialize();
    void emptyHistoryRemovesFile();
    void missingFileGivesEmptyList();

private:
    std::unique_ptr<TempAppDir> dir;
};

void tst_CommandHistory::serialize_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("empty entry skipped") << QStringList{"a", "", "b"} << QByteArray("\na\nb");
    QTest::newRow("one") << QStringList{"8600"} << QByteArray("\n8600");
    QTest::newRow("only empty") << QStringList{""} << QByteArray();
    QTest::newRow("utf8") << QStringList{"SYSLOG LEVEL=ALL,F", "тест"}
                          << QByteArray("\nSYSLOG LEVEL=ALL,F\n\xd1\x82\xd0\xb5\xd1\x81\xd1\x82");
}

void tst_CommandHistory::serialize()
{
    QFETCH(QStringList, entries);
    QFETCH(QByteArray, file);
    QCOMPARE(CommandHistory::serialize(entries), file);
}

void tst_CommandHistory::emptyHistoryRemovesFile()
{
    QVERIFY(CommandHistory::save({"x"}));
    QVERIFY(QFile::exists(CommandHistory::filePath()));
    QVERIFY(CommandHistory::save({}));
    QVERIFY(!QFile::exists(CommandHistory::filePath()));
}

void tst_CommandHistory::missingFileGivesEmptyList()
{
    QVERIFY(CommandHistory::load().isEmpty());
}

QTEST_GUILESS_MAIN(tst_CommandHistory)
#include "tst_commandhistory.moc"
