#include "loghandler.h"
#include "logwindowsink.h"
#include "tempappdir.h"

#include <QtTest>

namespace {
// Records what the debug-log window would be told.
class RecordingSink : public LogWindowSink
{
public:
    void setTextColour(unsigned int rgb) override { colours << rgb; }
    void appendText(const QString &text) override { texts << text; }
    QList<unsigned int> colours;
    QStringList texts;
};
} // namespace

class tst_LogHandler : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        dir = std::make_unique<TempAppDir>();
        testHandler = qInstallMessageHandler(nullptr);
        qInstallMessageHandler(testHandler);
        sink = RecordingSink();
        LogHandler::setWindowSink(&sink);
    }
    void cleanup()
    {
        qInstallMessageHandler(testHandler);
        LogHandler::setWindowSink(nullptr);
        dir.reset();
    }
    void markers_data();
    void markers();
    void fileLineFormat();
    void handlerWritesFileAndWindow();
    void warningChangesColourOnly();
    void unopenableFileDropsMessage();
    void concurrentLinesStayWhole();

private:
    QStringList logLines();
    std::unique_ptr<TempAppDir> dir;
    RecordingSink sink;
    QtMessageHandler testHandler = nullptr;
};

QStringList tst_LogHandler::logLines()
{
    QFile f(LogHandler::logFilePath());
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void tst_LogHandler::markers_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("colour");

    // What "qDebug() << "/C:12" << "Port error: OpenError"" produces.
    QTest::newRow("error marker first")
        << "/C:12 Port error: OpenError" << 12 << " Port error: OpenError" << 0xFF0000u;
    QTest::newRow("first marker wins") << "/C:9 a /C:12 b" << 9 << " a  b" << 0x0000FFu;
    QTest::newRow("unknown number grey") << "/C:7 x" << 7 << " x" << 0xC0C0C0u;
    QTest::newRow("no marker") << "plain" << 0 << "plain" << 0xC0C0C0u;
    QTest::newRow("marker at end")
        << "USB Out cmd pack: 0100/C:13" << 13 << "USB Out cmd pack: 0100" << 0xFF00FFu;
    QTest::newRow("not a marker") << "/C: 12 text" << 0 << "/C: 12 text" << 0xC0C0C0u;
}

void tst_LogHandler::markers()
{
    QFETCH(QString, message);
    QFETCH(int, number);
    QFETCH(QString, text);
    QFETCH(uint, colour);
    const LogHandler::CleanMessage clean = LogHandler::stripColourMarkers(message);
    QCOMPARE(clean.colour, number);
    QCOMPARE(clean.text, text);
    QCOMPARE(LogHandler::colourForMarker(clean.colour), colour);
}

// The debug and warning prefixes are seen in the handler's own lines below.
void tst_LogHandler::fileLineFormat()
{
    const QDateTime t(QDate(2026, 12, 5), QTime(10, 46, 36, 123));
    QCOMPARE(LogHandler::formatFileLine(QtCriticalMsg, t, "Port open OK!"),
             QString("LogCritical[05.12.2026 10:46:36.123]: Port open OK!\n"));
}

void tst_LogHandler::handlerWritesFileAndWindow()
{
    LogHandler::install();
    LogHandler::install(); // a second install changes nothing
    qDebug() << "/C:12"
             << "Port error: OpenError";
    qDebug() << "second";

    const QStringList lines = logLines();
    QCOMPARE(lines.size(), 2);
    const QRegularExpression re("^LogDebug\\[\\d\\d\\.\\d\\d\\.\\d{4} "
                                "\\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\]:  Port error: OpenError$");
    QVERIFY2(re.match(lines.at(0)).hasMatch(), qPrintable(lines.at(0)));
    QVERIFY(lines.at(1).endsWith("]: second"));

    QCOMPARE(sink.texts, (QStringList{" Port error: OpenError", "second"}));
    QCOMPARE(sink.colours, (QList<unsigned int>{0xFF0000u, 0xC0C0C0u}));
}

void tst_LogHandler::warningChangesColourOnly()
{
    LogHandler::install();
    qWarning() << "/C:16"
               << "Device disconnected";
    QCOMPARE(sink.colours, QList<unsigned int>{0xFF6A00u});
    QVERIFY(sink.texts.isEmpty());
    const QStringList lines = logLines();
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines.at(0).startsWith("LogWarning["));
    QVERIFY(lines.at(0).endsWith("]:  Device disconnected"));
}

void tst_LogHandler::unopenableFileDropsMessage()
{
    // A folder in place of the log file: the file cannot be opened, the message is lost.
    QVERIFY(QDir(dir->path()).mkdir("vexa7xx.log"));
    LogHandler::install();
    qDebug() << "lost";
    QVERIFY(sink.texts.isEmpty());
    QCOMPARE(sink.colours.size(), 1); // the colour is still chosen before the file is tried
}

void tst_LogHandler::concurrentLinesStayWhole()
{
    LogHandler::setWindowSink(nullptr);
    LogHandler::install();
    constexpr int perThread = 200;
    auto writer = [](const QString &tag) {
        for (int i = 0; i < perThread; ++i)
            qDebug().noquote() << tag << i;
    };
    std::unique_ptr<QThread> a(QThread::create(writer, QStringLiteral("parser")));
    a->start();
    writer(QStringLiteral("gui"));
    a->wait();

    const QStringList lines = logLines();
    QCOMPARE(lines.size(), 2 * perThread);
    const QRegularExpression re("^LogDebug\\[[^\\]]+\\]: (parser|gui) \\d+$");
    for (const QString &line : lines)
        QVERIFY2(re.match(line).hasMatch(), qPrintable(line));
}

QTEST_GUILESS_MAIN(tst_LogHandler)
#include "tst_loghandler.moc"
