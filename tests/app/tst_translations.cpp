#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

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

QTEST_GUILESS_MAIN(tst_Translations)
#include "tst_translations.moc"
