#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <utility>

namespace {
struct Message
{
    QString context;
    QString source;
    QString translation;
    QString type; // "unfinished", "vanished", "obsolete" or empty
};

QList<Message> readTs(const QString &path)
{
    QList<Message> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    QXmlStreamReader xml(&f);
    QString context;
    Message current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name") && current.source.isNull())
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("message"))
            current = Message{context, QString(), QString(), QString()};
        else if (xml.name() == QLatin1String("source"))
            current.source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            current.type = xml.attributes().value("type").toString();
            current.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            out << current;
            current = Message();
        }
    }
    return out;
}
} // namespace

// Every text the user can see is written in Russian in the code and must have a finished
// English translation; a new tr() text without one fails here.
class tst_Translations : public QObject
{
    Q_OBJECT
private slots:
    void everySourceTextTranslated();
    void everyDatabaseTextTranslated();
};

void tst_Translations::everySourceTextTranslated()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fresh = dir.path() + "/fresh.ts";
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(VEXA_LUPDATE, {"-silent", "-locations", "none", "-no-obsolete",
                                 QString(VEXA_SOURCE_DIR) + "/app",
                                 QString(VEXA_SOURCE_DIR) + "/core", "-ts", fresh});
    // lupdate scans every source file of the program: on a loaded machine that takes a while.
    constexpr int scanMs = 120000;
    QVERIFY(lupdate.waitForFinished(scanMs));
    QVERIFY2(lupdate.exitCode() == 0, lupdate.readAll().constData());

    const QList<Message> scanned = readTs(fresh);
    QVERIFY2(!scanned.isEmpty(), "no source texts found");
    const QList<Message> shipped = readTs(VEXA_EN_TS);

    QHash<QString, Message> byKey;
    for (const Message &m : shipped)
        byKey.insert(m.context + QChar(0) + m.source, m);

    QStringList missing;
    for (const Message &m : scanned) {
        const auto it = byKey.constFind(m.context + QChar(0) + m.source);
        if (it == byKey.constEnd() || !it->type.isEmpty() || it->translation.trimmed().isEmpty())
            missing << m.context + ": " + m.source;
    }
    QVERIFY2(missing.isEmpty(), qPrintable("untranslated:\n" + missing.join('\n')));
}

// The device database's texts the window shows (choice items, status and battery texts, the
// status-bit table) come in Russian from devices.db and are translated in a context of their own.
void tst_Translations::everyDatabaseTextTranslated()
{
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "texts");
    db.setDatabaseName(VEXA_BUILT_DEVICES_DB);
    QVERIFY(db.open());
    QStringList texts;
    QSqlQuery tables(db);
    QVERIFY(tables.exec("SELECT name FROM sqlite_master WHERE type = 'table'"));
    while (tables.next()) {
        const QString table = tables.value(0).toString();
        QSqlQuery rows(db);
        if (table == "statusBits") {
            QVERIFY(rows.exec("SELECT name, text_clear, text_set FROM statusBits"));
            while (rows.next())
                texts << rows.value(0).toString() << rows.value(1).toString()
                      << rows.value(2).toString();
        } else if (table.startsWith("fw")) {
            QVERIFY(rows.exec("SELECT form FROM " + table + " WHERE form IS NOT NULL"));
            while (rows.next()) {
                // "element;text:data,text:data"
                const QString items = rows.value(0).toString().section(';', 1);
                for (const QString &item : items.split(',', Qt::SkipEmptyParts))
                    texts << item.left(item.lastIndexOf(':'));
            }
        }
    }
    const QRegularExpression cyrillic("[\\x{0400}-\\x{04ff}]");
    QHash<QString, Message> shipped;
    for (const Message &m : readTs(VEXA_EN_TS)) {
        if (m.context == "DeviceDatabase")
            shipped.insert(m.source, m);
    }
    QStringList missing;
    int checked = 0;
    for (const QString &text : std::as_const(texts)) {
        if (!text.contains(cyrillic))
            continue;
        ++checked;
        const auto it = shipped.constFind(text);
        if (it == shipped.constEnd() || !it->type.isEmpty() ||
            it->translation.trimmed().isEmpty() || it->translation.contains(cyrillic))
            missing << text;
    }
    missing.removeDuplicates();
    QVERIFY2(checked > 100, qPrintable(QString::number(checked)));
    QVERIFY2(missing.isEmpty(),
             qPrintable("untranslated database texts (scripts/db-texts, then scripts/ts-update and "
                        "scripts/ts-fill):\n" +
                        missing.join('\n')));
}

QTEST_GUILESS_MAIN(tst_Translations)
#include "tst_translations.moc"
