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
    void added_data();
    void added();

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

static QStringList numbered(int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QString::number(8600 + i);
    return out;
}

void tst_CommandHistory::added_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("newest on top")
        << QStringList{"8600", "8002"} << "8700" << QStringList{"8700", "8600", "8002"};
    QTest::newRow("duplicate moves up, once")
        << QStringList{"8600", "8002", "8700"} << "8700" << QStringList{"8700", "8600", "8002"};
    QTest::newRow("empty line changes nothing")
        << QStringList{"8600"} << "  " << QStringList{"8600"};
    QTest::newRow("blanks around are not part of it")
        << QStringList{"8600"} << " 8600 " << QStringList{"8600"};
    QTest::newRow("full: the oldest goes")
        << numbered(1, CommandHistory::maxEntries) << "8002"
        << QStringList{"8002"} + numbered(1, CommandHistory::maxEntries - 1);
    QTest::newRow("full, duplicate: nothing goes")
        << numbered(1, CommandHistory::maxEntries) << "8605"
        << QStringList{"8605"} + numbered(1, 4) + numbered(6, CommandHistory::maxEntries);
    QTest::newRow("loaded file's empty first entry dropped")
        << QStringList{"", "8600"} << "8002" << QStringList{"8002", "8600"};
    QTest::newRow("logins carry passwords: never kept")
        << QStringList{"8600"} << "USB 1234" << QStringList{"8600"};
    QTest::newRow("remote login too")
        << QStringList{"8600"} << "remote 1234" << QStringList{"8600"};
}

void tst_CommandHistory::added()
{
    QFETCH(QStringList, before);
    QFETCH(QString, command);
    QFETCH(QStringList, after);
    QCOMPARE(CommandHistory::added(before, command), after);
}

QTEST_GUILESS_MAIN(tst_CommandHistory)
#include "tst_commandhistory.moc"
