#include "appsettings.h"
#include "tempappdir.h"

#include <QSettings>
#include <QtTest>

// Settings live in "settings.conf" of the application folder; each test gets its own folder.
class tst_AppSettings : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY((dir = std::make_unique<TempAppDir>())->isValid()); }
    void cleanup() { dir.reset(); }
    void usbIdsPairRule_data();
    void usbIdsPairRule();
    void updateServerPairRule_data();
    void updateServerPairRule();
    void defaultLanguage_data();
    void defaultLanguage();
    void readBoolStoresDefault();

private:
    void writeFile(const QByteArray &content)
    {
        QFile f(AppSettings::filePath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QByteArray readAll()
    {
        QFile f(AppSettings::filePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    std::unique_ptr<TempAppDir> dir;
};

void tst_AppSettings::usbIdsPairRule_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("vid");
    QTest::addColumn<int>("pid");

    QTest::newRow("no file") << QByteArray() << 0x0483 << 0x5740;
    QTest::newRow("both present") << QByteArray("[Device]\nVID=1A86\nPID=7523\n") << 0x1A86
                                  << 0x7523;
    QTest::newRow("only VID") << QByteArray("[Device]\nVID=1A86\n") << 0x0483 << 0x5740;
    QTest::newRow("only PID") << QByteArray("[Device]\nPID=7523\n") << 0x0483 << 0x5740;
    QTest::newRow("not hex") << QByteArray("[Device]\nVID=XYZ\nPID=7523\n") << 0x0483 << 0x5740;
    QTest::newRow("wider than 16 bits")
        << QByteArray("[Device]\nVID=11A86\nPID=7523\n") << 0x0483 << 0x5740;
}

void tst_AppSettings::usbIdsPairRule()
{
    QFETCH(QByteArray, file);
    QFETCH(int, vid);
    QFETCH(int, pid);
    if (!file.isNull())
        writeFile(file);
    const AppSettings::UsbIds ids = AppSettings::deviceUsbIds();
    QCOMPARE(int(ids.vid), vid);
    QCOMPARE(int(ids.pid), pid);
    // Port discovery only reads: the file is never created or changed for these keys.
    if (file.isNull())
        QVERIFY(!QFile::exists(AppSettings::filePath()));
}

void tst_AppSettings::updateServerPairRule_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("defaultsWritten");

    const QString defHost = QString::fromLatin1(AppSettings::defaultUpdateServerHost);
    QTest::newRow("no file") << QByteArray() << defHost << 12358 << true;
    QTest::newRow("only IP") << QByteArray("[UpdateServer]\nIP=10.1.2.3\n") << defHost << 12358
                             << true;
    QTest::newRow("only Port") << QByteArray("[UpdateServer]\nPort=4000\n") << defHost << 12358
                               << true;
    QTest::newRow("both") << QByteArray("[UpdateServer]\nIP=srv.local\nPort=4000\n")
                          << QString("srv.local") << 4000 << false;
}

void tst_AppSettings::updateServerPairRule()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(bool, defaultsWritten);
    if (!file.isNull())
        writeFile(file);

    const AppSettings::ServerAddress address = AppSettings::updateServer();
    QCOMPARE(address.host, host);
    QCOMPARE(int(address.port), port);

    QSettings s(AppSettings::filePath(), QSettings::IniFormat);
    QCOMPARE(s.value("UpdateServer/IP").toString(), host);
    QCOMPARE(s.value("UpdateServer/Port").toInt(), port);
    // Whatever was found, the file now holds a usable pair.
    QVERIFY(s.contains("UpdateServer/IP") && s.contains("UpdateServer/Port"));
    if (!defaultsWritten)
        QCOMPARE(QString::fromLatin1(file), QString::fromLatin1(readAll()));
}

void tst_AppSettings::defaultLanguage_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("lang");
    QTest::newRow("russian") << "ru_RU" << QString("ru");
    QTest::newRow("us english") << "en_US" << QString("en");
    QTest::newRow("russian elsewhere") << "ru_UA" << QString("en");
    QTest::newRow("c locale") << "C" << QString("en");
}

void tst_AppSettings::defaultLanguage()
{
    QFETCH(QString, locale);
    QFETCH(QString, lang);
    QCOMPARE(AppSettings::defaultLanguage(locale), lang);
}

void tst_AppSettings::readBoolStoresDefault()
{
    QVERIFY(!AppSettings::readBool("Survey", "SendExtraordinaryPackOnStart", false));
    QSettings s(AppSettings::filePath(), QSettings::IniFormat);
    QVERIFY(s.contains("Survey/SendExtraordinaryPackOnStart"));

    AppSettings::write("Survey", "Status", false);
    QVERIFY(!AppSettings::readBool("Survey", "Status", true)); // a stored value wins
}

QTEST_GUILESS_MAIN(tst_AppSettings)
#include "tst_appsettings.moc"
