#include "appfixture.h"
#include "deviceinterface.h"
#include "devicesession.h"
#include "portfinder.h"
#include "tempappdir.h"

#include <QFile>

// The session layer's own rules: which port is the device's, and finding the same device again
// after its reboot when another one is plugged in beside it.
class tst_DeviceSession : public QObject
{
    Q_OBJECT
private slots:
    void portFinder_data();
    void portFinder();
    void rebootWaitFindsTheSameDevice();
    void relayIsAlwaysLeft_data();
    void relayIsAlwaysLeft();
};

Q_DECLARE_METATYPE(PortFinder::Outcome)

namespace {
// The simulators' ports, one of them under a name of its own that changes with every re-plug,
// as a USB serial port may come back under another name after a reboot, while the name it had
// goes to the other device.
class RenamingEnumerator : public PortEnumerator
{
public:
    RenamingEnumerator(const PortEnumerator *ports, Simulator *renamed, Simulator *beside,
                       const QString &folder)
        : inner(ports)
        , sim(renamed)
        , other(beside)
        , dir(folder)
    {
        plugged(sim->portName());
        // The name it leaves is taken at once by another device coming up.
        QObject::connect(sim, &Simulator::unplugged, [this] {
            QFile::remove(alias);
            QFile::link(other->portName(), alias);
        });
        QObject::connect(sim, &Simulator::portChanged,
                         [this](const QString &path) { plugged(path); });
    }
    QList<PortInfo> ports() const override
    {
        QList<PortInfo> list = inner->ports();
        for (PortInfo &p : list) {
            if (p.portName == target)
                p.portName = alias;
        }
        return list;
    }
    QString alias;

private:
    void plugged(const QString &path)
    {
        QFile::remove(alias);
        target = path;
        alias = dir + QStringLiteral("/vexa-%1").arg(generation++);
        QFile::link(path, alias);
    }
    const PortEnumerator *inner;
    Simulator *sim;
    Simulator *other;
    QString dir;
    QString target;
    int generation = 0;
};
} // namespace

void tst_DeviceSession::portFinder_data()
{
    // Ports as "name vid:pid usb-serial"; the names are nodes in a temporary folder.
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<QString>("named");
    QTest::addColumn<PortFinder::Outcome>("outcome");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("usbSerial");
    using O = PortFinder::Outcome;
    const QString vexa = "a 0483:5740 VEXA7XX0001";
    const QString adapter = "b 0403:6001 FT123456";
    QTest::newRow("one device") << QStringList{vexa} << "" << O::Found << "a"
                                << "VEXA7XX0001";
    QTest::newRow("beside another adapter") << QStringList{adapter, vexa} << "" << O::Found << "a"
                                            << "VEXA7XX0001";
    QTest::newRow("ids match, serial prefix not")
        << QStringList{"a 0483:5740 FT0001"} << "" << O::NoDevice << ""
        << "";
    QTest::newRow("prefix matches, ids not")
        << QStringList{"a 0403:6001 VEXA7XX0001"} << "" << O::NoDevice << ""
        << "";
    QTest::newRow("two devices") << QStringList{vexa, "c 0483:5740 VEXA7XX0002"} << "" << O::Several
                                 << ""
                                 << "";
    QTest::newRow("named adapter") << QStringList{vexa, adapter} << "b" << O::Found << "b"
                                   << "FT123456";
    QTest::newRow("named, not there") << QStringList{vexa} << "x" << O::Missing << "x"
                                      << "";
}

void tst_DeviceSession::portFinder()
{
    QFETCH(QStringList, ports);
    QFETCH(QString, named);
    QFETCH(PortFinder::Outcome, outcome);
    QFETCH(QString, port);
    QFETCH(QString, usbSerial);
    TempAppDir app; // the USB ids of a settings.conf that has none: the defaults
    QVERIFY(app.isValid());
    QList<PortInfo> entries;
    for (const QString &row : ports) {
        const QStringList f = row.split(' ');
        PortInfo p;
        p.portName = app.path(f.at(0));
        QFile node(p.portName);
        QVERIFY(node.open(QIODevice::WriteOnly));
        p.hasIds = true;
        p.vendorId = quint16(f.at(1).left(4).toUInt(nullptr, 16));
        p.productId = quint16(f.at(1).mid(5).toUInt(nullptr, 16));
        p.serialNumber = f.at(2);
        entries << p;
    }
    FixedPortEnumerator enumerator(entries);
    const PortFinder::Choice c =
        PortFinder(&enumerator).choose(named.isEmpty() ? QString() : app.path(named));
    QCOMPARE(c.outcome, outcome);
    QCOMPARE(c.port, port.isEmpty() ? QString() : app.path(port));
    QCOMPARE(c.usbSerial, usbSerial);
    if (outcome == PortFinder::Outcome::Several)
        QCOMPARE(c.devices.size(), 2);
}

void tst_DeviceSession::rebootWaitFindsTheSameDevice()
{
    // Two devices: the one written to comes back on a new port after its reboot, its old name
    // now the other device's; the wait must find it by its USB serial number.
    AppFixture f;
    QVERIFY(f.isValid());
    SimConfig config;
    config.rebootDelayMs = AppFixture::quickRebootMs;
    Simulator *a = f.addSim(config);
    Simulator *b = f.addSim(config);
    QVERIFY(a && b);
    RenamingEnumerator enumerator(&f.enumerator, a, b, f.path());
    const QString before = enumerator.alias;

    DeviceSession session(&enumerator);
    session.setUserPrompts(&f.prompts);
    QString error;
    QVERIFY2(session.openDatabase(&error), qPrintable(error));
    session.setReadsConfiguration(true);
    session.enableConfigExchange();
    QDomDocument read;
    int reads = 0;
    connect(&session, &DeviceSession::readFinished, this, [&](const QDomDocument &doc) {
        read = doc;
        ++reads;
    });
    bool over = false;
    connect(&session, &DeviceSession::writeFinished, this, [&] { over = true; });
    QString failure;
    connect(&session, &DeviceSession::failed, this, [&](const QString &why) { failure = why; });

    const PortFinder::Choice choice = session.portFinder().choose(before);
    QCOMPARE(choice.outcome, PortFinder::Outcome::Found);
    QVERIFY2(session.open(choice, before, &error), qPrintable(error));
    session.identify();
    QTRY_VERIFY_WITH_TIMEOUT(reads == 1 || !failure.isEmpty(), AppFixture::connectWaitMs);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    QDomDocument edit = read.cloneNode(true).toDocument();
    QDomElement period = edit.documentElement().firstChildElement("tx_period");
    QVERIFY(!period.isNull());
    const bool was300 = period.attribute("param") == QLatin1String("0000012c");
    period.setAttribute("param", was300 ? "00000258" : "0000012c");
    const DeviceSession::Pending pending = DeviceSession::dropValuesOnDevice(edit, read, false);
    QCOMPARE(pending.count, 1);

    const int askedB = b->totalCommands();
    session.write(edit, true);
    QTRY_VERIFY_WITH_TIMEOUT(over || !failure.isEmpty(), DeviceSession::rebootWaitMs);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY(session.verified());
    QCOMPARE(session.verifiedNames(), QStringList{"tx_period"});
    QVERIFY(session.mismatches().isEmpty());
    QVERIFY(enumerator.alias != before);
    QCOMPARE(session.where(), enumerator.alias);
    QCOMPARE(session.identity().serialNumber, a->device().serialNumber());
    QCOMPARE(b->totalCommands(), askedB);
}

void tst_DeviceSession::relayIsAlwaysLeft_data()
{
    QTest::addColumn<bool>("closedWhileChecking");
    QTest::newRow("the remote device never answers the check") << false;
    QTest::newRow("closed while the check waits (Ctrl+C)") << true;
}

void tst_DeviceSession::relayIsAlwaysLeft()
{
    // No device with this DevEUI hears the local one. Whatever ends the session, the local
    // device is told to leave relay mode on its own once the remote one does not answer.
    QFETCH(bool, closedWhileChecking);
    AppFixture f;
    QVERIFY(f.isValid());
    Simulator *sim = f.addSim(SimConfig());
    QVERIFY(sim);
    DeviceSession session(&f.enumerator);
    const int checkMs = 400;
    session.link()->setRelayTimings(50, checkMs);
    QString error;
    QVERIFY2(session.open(session.portFinder().choose(QString()), QString(), &error),
             qPrintable(error));
    QString failure;
    connect(&session, &DeviceSession::failed, this, [&](const QString &why) { failure = why; });
    int exitCode = -1;
    connect(&session, &DeviceSession::closed, this, [&](int code) { exitCode = code; });
    session.startRelay(QStringLiteral("70b3d5e75e000009"), 30, 1);
    connect(session.link(), &DeviceInterface::relayModeChanged, this, [&](bool on) {
        if (on && closedWhileChecking)
            session.close(1);
    });
    if (!closedWhileChecking) {
        QTRY_VERIFY_WITH_TIMEOUT(!failure.isEmpty(), 2 * checkMs + AppFixture::answerWaitMs);
        session.close(1);
    }
    QTRY_COMPARE_WITH_TIMEOUT(exitCode, 1, 2 * checkMs + AppFixture::answerWaitMs);
    QVERIFY(!sim->device().relayActive());
    QCOMPARE(f.requests({"0x8301"}).size(), 1); // the plain leave, once
}

QTEST_GUILESS_MAIN(tst_DeviceSession)
#include "tst_devicesession.moc"
