#include "appfixture.h"
#include "filetransfer.h"
#include "linkstate.h"
#include "logcapture.h"

#include <QEventLoop>
#include <QRandomGenerator>

namespace {
using Error = FileTransfer::Error;

// A firmware image: the header (magic, "VERSION", device identifier low byte first, three
// version bytes), then seeded bytes; one seed gives the same body for every version.
QByteArray image(quint16 devId, const QString &version, int size)
{
    QByteArray b = QByteArray::fromHex("55aa") + QByteArray("VERSION\0", 8);
    b.append(char(devId & 0xFF)).append(char(devId >> 8));
    for (const QString &part : version.split('.'))
        b.append(char(part.toInt()));
    QRandomGenerator rng(7);
    while (b.size() < size)
        b.append(char(rng.bounded(256)));
    return b.left(size);
}

int blocksFor(qint64 bytes, int blockSize = FileTransfer::defaultBlockSize)
{
    return int((bytes + blockSize - 1) / blockSize);
}

const QString newVersion = QStringLiteral("9.9.9");
} // namespace

// The firmware transfer through the real link against the simulated device's file store.
class tst_FileTransfer : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY((f = std::make_unique<AppFixture>())->isValid()); }
    void cleanup()
    {
        transfer.reset();
        link.reset();
        plugs.reset();
        f.reset();
    }
    void writesChecksAndRuns_data();
    void writesChecksAndRuns();
    void startsFromTheDeviceStore_data();
    void startsFromTheDeviceStore();
    void resumesAfterUnplug_data();
    void resumesAfterUnplug();
    void deadEndsStop_data();
    void deadEndsStop();
    void refusedFileSendsNothing_data();
    void refusedFileSendsNothing();
    void acknowledgementRules_data();
    void acknowledgementRules();

private:
    // A check takes the long time-out; every block and request may take one answer time-out.
    static constexpr int transferWaitMs = DeviceInterface::defaultLongTimeoutMs;
    static constexpr int reconnectWaitMs = AppFixture::quickRebootMs + AppFixture::connectWaitMs;

    struct Outcome
    {
        bool finished = false;
        Error error = Error::None;
        QString reason;
        QList<int> states; // of the transfer
    };

    void start(SimConfig config)
    {
        config.rebootDelayMs = AppFixture::quickRebootMs;
        sim = f->addSim(config);
        QVERIFY(sim);
        plugs = std::make_unique<QSignalSpy>(sim, &Simulator::portChanged);
        link = std::make_unique<DeviceInterface>();
        transfer = std::make_unique<FileTransfer>(link.get());
        QVERIFY(identify());
    }
    // Opens the device's current terminal and waits for its information.
    bool identify(QString *firmware = nullptr)
    {
        QSignalSpy id(link.get(), &DeviceInterface::setCurrentFwVer);
        link->serialPort()->setPortName(sim->portName());
        link->readConfiguration();
        if (!id.wait(AppFixture::connectWaitMs))
            return false;
        if (firmware)
            *firmware = id.first().first().toString();
        f->clearRequests();
        sim->resetCounts();
        return true;
    }
    // The device came back (after a reboot or a pulled cable) as a new terminal.
    bool replugged()
    {
        const bool back = plugs->count() > 0 || plugs->wait(reconnectWaitMs);
        plugs->clear();
        return back;
    }
    // Loads the file and runs the transfer to its end.
    Outcome run(const QByteArray &file)
    {
        transfer->loadFirmwareFile(newVersion, f->writeFile("fw.bin", file));
        Outcome out;
        QEventLoop loop;
        connect(transfer.get(), &FileTransfer::transferFinished, &loop, [&] {
            out.finished = true;
            loop.quit();
        });
        connect(transfer.get(), &FileTransfer::transferFailed, &loop,
                [&](Error e, const QString &reason) {
                    out.error = e;
                    out.reason = reason;
                    loop.quit();
                });
        connect(transfer.get(), &FileTransfer::changeDeviceStatus, &loop,
                [&](int s) { out.states << s; });
        QTimer::singleShot(transferWaitMs, &loop, &QEventLoop::quit);
        transfer->getFileInfo();
        if (transfer->isRunning())
            loop.exec();
        return out;
    }

    LogCapture log; // thousands of block lines; kept out of the test output
    std::unique_ptr<AppFixture> f;
    Simulator *sim = nullptr;
    std::unique_ptr<QSignalSpy> plugs;
    std::unique_ptr<DeviceInterface> link;
    std::unique_ptr<FileTransfer> transfer;
};

void tst_FileTransfer::writesChecksAndRuns_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("blockSize");
    // A whole number of blocks ends with a full block and no empty one after it.
    QTest::newRow("256 KiB") << 256 * 1024 << FileTransfer::defaultBlockSize;
    QTest::newRow("short last block") << 256 * 1024 + 77 << FileTransfer::defaultBlockSize;
    QTest::newRow("relay block size") << 10000 << FileTransfer::relayBlockSize;
}

void tst_FileTransfer::writesChecksAndRuns()
{
    QFETCH(int, size);
    QFETCH(int, blockSize);
    start(SimConfig());
    transfer->setBlockSize(blockSize);
    QSignalSpy linkStates(link.get(), &DeviceInterface::changeDeviceStatus);
    const QByteArray file = image(sim->device().deviceId(), newVersion, size);

    const Outcome out = run(file);
    QVERIFY2(out.finished, qPrintable(out.reason));
    QCOMPARE(sim->device().storedFile(), file);
    QCOMPARE(sim->commandCount(Frame::fileBlockCmd), blocksFor(size, blockSize));
    QCOMPARE(f->codes({"0x81", "0x80"}), (QStringList{"0x8102", "0x8100", "0x8101", "0x8001"}));
    QCOMPARE(out.states, QList<int>{LinkState::ApplyingFirmware});
    QCOMPARE(linkStates.last().first().toInt(), int(LinkState::Reload));

    // The device restarts into the image it was given.
    QVERIFY(replugged());
    QString running;
    QVERIFY(identify(&running));
    QCOMPARE(running, newVersion);
}

void tst_FileTransfer::startsFromTheDeviceStore_data()
{
    QTest::addColumn<QString>("deviceFirmware"); // running on the device ("": the model's)
    QTest::addColumn<QString>("storedVersion");  // of the file in its store
    QTest::addColumn<int>("storedBytes");        // how much of that file it holds
    QTest::addColumn<bool>("creates");
    QTest::addColumn<int>("fromOffset");
    QTest::newRow("same version, nothing loaded") << newVersion << newVersion << 0 << false << 0;
    QTest::newRow("part loaded") << QString() << newVersion << 1000 << false << 1000;
    QTest::newRow("all loaded: check at once") << QString() << newVersion << 5000 << false << 5000;
    QTest::newRow("more than the file") << QString() << newVersion << 5100 << true << 0;
    QTest::newRow("other version stored") << QString() << "1.0.0" << 3000 << true << 0;
}

void tst_FileTransfer::startsFromTheDeviceStore()
{
    QFETCH(QString, deviceFirmware);
    QFETCH(QString, storedVersion);
    QFETCH(int, storedBytes);
    QFETCH(bool, creates);
    QFETCH(int, fromOffset);
    SimConfig c;
    c.firmware = deviceFirmware;
    start(c);
    const quint16 id = sim->device().deviceId();
    sim->device().setStoredFile(image(id, storedVersion, 6000).left(storedBytes));
    const QByteArray file = image(id, newVersion, 5000);

    const Outcome out = run(file);
    QVERIFY2(out.finished, qPrintable(out.reason));
    QCOMPARE(sim->device().storedFile(), file);
    QCOMPARE(sim->commandCount(Cmd::createFile), creates ? 1 : 0);
    QCOMPARE(sim->commandCount(Frame::fileBlockCmd), blocksFor(file.size() - fromOffset));
}

void tst_FileTransfer::resumesAfterUnplug_data()
{
    QTest::addColumn<int>("unplugAfterBlocks");
    QTest::newRow("first block") << 1;
    QTest::newRow("a quarter") << 64;
    QTest::newRow("half") << 128;
}

void tst_FileTransfer::resumesAfterUnplug()
{
    QFETCH(int, unplugAfterBlocks);
    SimConfig c;
    c.unplugAfterBlocks = unplugAfterBlocks;
    start(c);
    const QByteArray file = image(sim->device().deviceId(), newVersion, 128 * 1024);

    const Outcome cut = run(file);
    QCOMPARE(cut.error, Error::LinkLost);
    QVERIFY(replugged());
    const QByteArray kept = sim->device().storedFile();
    QVERIFY(kept.size() >= unplugAfterBlocks * FileTransfer::defaultBlockSize);
    QVERIFY(file.startsWith(kept));

    QVERIFY(identify());
    const Outcome resumed = run(file);
    QVERIFY2(resumed.finished, qPrintable(resumed.reason));
    QCOMPARE(sim->commandCount(Cmd::createFile), 0);
    QCOMPARE(sim->commandCount(Frame::fileBlockCmd), blocksFor(file.size() - kept.size()));
    QCOMPARE(sim->device().storedFile(), file);
}

void tst_FileTransfer::deadEndsStop_data()
{
    QTest::addColumn<int>("failChecks");
    QTest::addColumn<int>("checkCode");
    QTest::addColumn<int>("createResult");
    QTest::addColumn<int>("rebootResult");
    QTest::addColumn<int>("refuseBlocks");
    QTest::addColumn<int>("dropEvery");
    QTest::addColumn<Error>("error"); // None: the transfer finishes
    QTest::addColumn<int>("creates");
    QTest::addColumn<int>("blocks"); // of a six-block file
    QTest::newRow("check fails once") << 1 << 3 << 0 << 0 << 0 << 0 << Error::None << 2 << 12;
    QTest::newRow("check fails twice")
        << 2 << 3 << 0 << 0 << 0 << 0 << Error::CheckFailed << 2 << 12;
    QTest::newRow("unknown check code")
        << 1 << 9 << 0 << 0 << 0 << 0 << Error::CheckUnknown << 1 << 6;
    QTest::newRow("create refused") << 0 << 0 << 1 << 0 << 0 << 0 << Error::CreateRefused << 1 << 0;
    QTest::newRow("reboot refused") << 0 << 0 << 0 << 2 << 0 << 0 << Error::RebootRefused << 1 << 6;
    QTest::newRow("one block refused") << 0 << 0 << 0 << 0 << 1 << 0 << Error::None << 1 << 7;
    QTest::newRow("blocks refused for good")
        << 0 << 0 << 0 << 0 << 1000 << 0 << Error::BlocksRejected << 1
        << int(DeviceInterface::defaultMaxRetries);
    // The 7th request since the device was found, the 4th block, is stored but its answer
    // lost: the resent block is refused, as the device holds it already, and the transfer
    // goes on from where the device is.
    QTest::newRow("acknowledgement lost") << 0 << 0 << 0 << 0 << 0 << 7 << Error::None << 1 << 7;
}

void tst_FileTransfer::deadEndsStop()
{
    QFETCH(int, failChecks);
    QFETCH(int, checkCode);
    QFETCH(int, createResult);
    QFETCH(int, rebootResult);
    QFETCH(int, refuseBlocks);
    QFETCH(int, dropEvery);
    QFETCH(Error, error);
    QFETCH(int, creates);
    QFETCH(int, blocks);
    SimConfig c;
    c.failChecks = failChecks;
    c.failCheckCode = checkCode;
    c.createResult = createResult;
    c.rebootResult = rebootResult;
    c.refuseBlocks = refuseBlocks;
    start(c);
    link->setAnswerTimeout(AppFixture::shortAnswerTimeoutMs);
    sim->faults().drop.every = dropEvery;

    const Outcome out = run(image(sim->device().deviceId(), newVersion, 3000));
    QCOMPARE(out.error, error);
    QCOMPARE(out.finished, error == Error::None);
    QCOMPARE(sim->commandCount(Cmd::createFile), creates);
    QCOMPARE(sim->commandCount(Frame::fileBlockCmd), blocks);
    if (error != Error::None) {
        QCOMPARE(out.states.value(out.states.size() - 1), int(LinkState::FileWriteError));
        QVERIFY(!transfer->isRunning());
    }
    if (error == Error::CheckFailed)
        QVERIFY2(out.reason.contains(FileTransfer::checkResultText(quint8(checkCode))),
                 qPrintable(out.reason));
}

void tst_FileTransfer::refusedFileSendsNothing_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no such file
    QTest::addColumn<Error>("error");
    const quint16 vexa750 = 750;
    QTest::newRow("missing") << QByteArray() << Error::Unreadable;
    QTest::newRow("empty") << QByteArray("") << Error::Empty;
    QTest::newRow("past the 20-bit offset")
        << image(vexa750, newVersion, FileTransfer::maxFileBytes + 1) << Error::TooLarge;
    QTest::newRow("no firmware header")
        << image(vexa750, newVersion, 4096).mid(1) << Error::NotFirmware;
    QTest::newRow("another model") << image(701, newVersion, 4096) << Error::OtherDevice;
    QTest::newRow("another variant")
        << image(vexa750 + 1024, newVersion, 4096) << Error::OtherDevice;
}

void tst_FileTransfer::refusedFileSendsNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(Error, error);
    start(SimConfig()); // a Vexa750
    const QString path = content.isNull() ? f->path("none.bin") : f->writeFile("fw.bin", content);
    const bool fileFault = error != Error::OtherDevice;
    QCOMPARE(transfer->loadFirmwareFile(newVersion, path), fileFault ? error : Error::None);

    QSignalSpy failed(transfer.get(), &FileTransfer::transferFailed);
    transfer->getFileInfo();
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.first().first().value<Error>(), error);
    QVERIFY(!failed.first().at(1).toString().isEmpty());
    QTest::qWait(AppFixture::nothingFollowsMs);
    QCOMPARE(f->requests(), QStringList());
}

void tst_FileTransfer::acknowledgementRules_data()
{
    // The block sent: 512 bytes at 0x10000.
    QTest::addColumn<uint>("offset");
    QTest::addColumn<uint>("size");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("the block") << 0x10000u << 512u << 0 << true;
    QTest::newRow("claims more than sent") << 0x10000u << 1024u << 0 << false;
    QTest::newRow("claims the next block") << 0x10200u << 512u << 0 << false;
    QTest::newRow("short write") << 0x10000u << 100u << 0 << false;
    QTest::newRow("old answer repeated") << 0xFE00u << 512u << 0 << false;
    QTest::newRow("nothing written") << 0x10000u << 0u << 0 << false;
    QTest::newRow("status set") << 0u << 512u << 1 << false;
}

void tst_FileTransfer::acknowledgementRules()
{
    QFETCH(uint, offset);
    QFETCH(uint, size);
    QFETCH(int, status);
    QFETCH(bool, accepted);
    QCOMPARE(
        FileTransfer::acknowledges(0x10000, 512, Cmd::firmwareFile, offset, size, uchar(status)),
        accepted);
}

QTEST_GUILESS_MAIN(tst_FileTransfer)
#include "tst_filetransfer.moc"
