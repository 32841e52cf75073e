#include "appfixture.h"
#include "filetransfer.h"
#include "firmwareimage.h"
#include "firmwarestore.h"
#include "linkstate.h"
#include "logcapture.h"
#include "resumerecord.h"

#include <QEventLoop>

namespace {
using Error = FileTransfer::Error;

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
    void writesFromTheDeviceStore_data();
    void writesFromTheDeviceStore();
    void resumesAfterUnplug_data();
    void resumesAfterUnplug();
    void deadEndsStop_data();
    void deadEndsStop();
    void refusedFileSendsNothing_data();
    void refusedFileSendsNothing();
    void acknowledgementRules();
    void storeNames_data();
    void storeNames();

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

void tst_FileTransfer::writesFromTheDeviceStore_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("blockSize");
    QTest::addColumn<QString>("deviceFirmware"); // running on the device ("": the model's)
    QTest::addColumn<QString>("storedVersion");  // of the file in its store
    QTest::addColumn<int>("storedBytes");        // how much of that file it holds
    QTest::addColumn<bool>("recorded");          // this program was writing this image to it
    QTest::addColumn<bool>("creates");
    QTest::addColumn<int>("fromOffset");
    const int kib256 = 256 * 1024; // whole blocks: no empty block after the last
    const int small = 5000;
    const QString none;
    QTest::newRow("256 KiB") << kib256 << 512 << none << none << 0 << false << true << 0;
    // Through the radio relay, which brings its own block size, into the remote device.
    QTest::newRow("relayed") << small << int(FileTransfer::relayBlockSize) << none << none << 0
                             << false << true << 0;
    QTest::newRow("same version, nothing loaded")
        << small << 512 << newVersion << newVersion << 0 << true << false << 0;
    QTest::newRow("part loaded") << small << 512 << none << newVersion << 1000 << true << false
                                 << 1000;
    // The same version, but who knows which image of it.
    QTest::newRow("part loaded, not recorded")
        << small << 512 << none << newVersion << 1000 << false << true << 0;
    QTest::newRow("all loaded: check at once")
        << small << 512 << none << newVersion << small << true << false << small;
    QTest::newRow("more than the file")
        << small << 512 << none << newVersion << small + 1 << true << true << 0;
    QTest::newRow("other version stored")
        << small << 512 << none << "1.0.0" << 3000 << false << true << 0;
}

void tst_FileTransfer::writesFromTheDeviceStore()
{
    QFETCH(int, size);
    QFETCH(int, blockSize);
    QFETCH(QString, deviceFirmware);
    QFETCH(QString, storedVersion);
    QFETCH(int, storedBytes);
    QFETCH(bool, recorded);
    QFETCH(bool, creates);
    QFETCH(int, fromOffset);
    SimConfig c;
    c.firmware = deviceFirmware;
    start(c);
    const bool relayed = blockSize == FileTransfer::relayBlockSize;
    SimDevice &target = relayed ? *sim->device().remoteDevice() : sim->device();
    const quint16 id = target.deviceId();
    target.setStoredFile(firmwareImage(id, storedVersion, size + 1).left(storedBytes));
    if (relayed) {
        QSignalSpy remoteId(link.get(), &DeviceInterface::setCurrentFwVer);
        link->setRelayTimings(0, DeviceInterface::relayCheckTimeoutMs);
        link->switchToFskMode(target.devEui(), 60, 0);
        QVERIFY(remoteId.wait(AppFixture::connectWaitMs));
        sim->resetCounts();
    } else {
        transfer->setBlockSize(blockSize);
    }
    QSignalSpy linkStates(link.get(), &DeviceInterface::changeDeviceStatus);
    const QByteArray file = firmwareImage(id, newVersion, size);
    if (recorded) {
        ResumeRecord r{target.serialNumber(), ResumeRecord::hashOf(file), size, storedBytes,
                       storedBytes};
        QVERIFY(r.save());
    }
    QSignalSpy startedOver(transfer.get(), &FileTransfer::startingOver);

    const Outcome out = run(file);
    // Only a file of the image's version is ever taken up, and only when its start is known.
    QCOMPARE(startedOver.count(), creates && storedVersion == newVersion ? 1 : 0);
    QVERIFY2(out.finished, qPrintable(out.reason));
    QCOMPARE(target.storedFile(), file);
    QCOMPARE(transfer->blockSize(), blockSize);
    // The image's blocks are announced as file writing, unless the device held them all.
    const QList<int> states = fromOffset < size
                                  ? QList<int>{LinkState::WriteFile, LinkState::ApplyingFirmware}
                                  : QList<int>{LinkState::ApplyingFirmware};
    QCOMPARE(out.states, states);
    if (relayed) {
        // Each block went wrapped; the reboot of the remote device ends the relay session.
        QVERIFY(sim->commandCount(Cmd::relayCommand) > blocksFor(size, blockSize));
        QTRY_VERIFY(!linkStates.isEmpty() &&
                    linkStates.last().first().toInt() == LinkState::FskDisconnected);
        QCOMPARE(target.firmwareVersion(), newVersion);
        return;
    }
    QCOMPARE(sim->commandCount(Cmd::createFile), creates ? 1 : 0);
    QCOMPARE(sim->commandCount(Frame::fileBlockCmd), blocksFor(size - fromOffset, blockSize));
    QCOMPARE(linkStates.last().first().toInt(), int(LinkState::Reload));

    // The device restarts into the image it was given.
    QVERIFY(replugged());
    QString running;
    QVERIFY(identify(&running));
    QCOMPARE(running, newVersion);
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
    const QByteArray file = firmwareImage(sim->device().deviceId(), newVersion, 128 * 1024);

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
    QTest::addColumn<QString>("faults"); // of the simulated device, as its options
    QTest::addColumn<Error>("error");    // None: the transfer finishes
    QTest::addColumn<int>("creates");
    QTest::addColumn<int>("blocks"); // of a six-block file
    QTest::newRow("check fails once") << "--fail-check 1:3" << Error::None << 2 << 12;
    QTest::newRow("check fails twice") << "--fail-check 2:3" << Error::CheckFailed << 2 << 12;
    QTest::newRow("unknown check code") << "--fail-check 1:9" << Error::CheckUnknown << 1 << 6;
    QTest::newRow("create refused") << "--refuse-create 1" << Error::CreateRefused << 1 << 0;
    QTest::newRow("reboot refused") << "--refuse-reboot 2" << Error::RebootRefused << 1 << 6;
    QTest::newRow("one block refused") << "--refuse-blocks 1" << Error::None << 1 << 7;
    QTest::newRow("blocks refused for good") << "--refuse-blocks 1000" << Error::BlocksRejected << 1
                                             << int(DeviceInterface::defaultMaxRetries);
    // The 7th request since the device was found, the 4th block, is stored but its answer
    // lost: the resent block is refused, as the device holds it already, and the transfer
    // goes on from where the device is.
    QTest::newRow("acknowledgement lost") << "--drop-every 7" << Error::None << 1 << 7;
}

void tst_FileTransfer::deadEndsStop()
{
    QFETCH(QString, faults);
    QFETCH(Error, error);
    QFETCH(int, creates);
    QFETCH(int, blocks);
    SimConfig c;
    QString why;
    bool help = false;
    QVERIFY2(c.parse(faults.split(' '), &why, &help), qPrintable(why));
    start(c);
    link->setAnswerTimeout(AppFixture::shortAnswerTimeoutMs);

    const Outcome out = run(firmwareImage(sim->device().deviceId(), newVersion, 3000));
    QCOMPARE(out.error, error);
    QCOMPARE(out.finished, error == Error::None);
    QCOMPARE(sim->commandCount(Cmd::createFile), creates);
    QCOMPARE(sim->commandCount(Frame::fileBlockCmd), blocks);
    if (error != Error::None)
        QCOMPARE(out.states.value(out.states.size() - 1), int(LinkState::FileWriteError));
    if (error == Error::CheckFailed)
        QVERIFY2(out.reason.contains(FileTransfer::checkResultText(3)), qPrintable(out.reason));
}

void tst_FileTransfer::refusedFileSendsNothing_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no such file
    QTest::addColumn<Error>("error");
    const quint16 vexa750 = 750;
    QTest::newRow("missing") << QByteArray() << Error::Unreadable;
    QTest::newRow("empty") << QByteArray("") << Error::Empty;
    QTest::newRow("past the 20-bit offset")
        << firmwareImage(vexa750, newVersion, FileTransfer::maxFileBytes + 1) << Error::TooLarge;
    QTest::newRow("no firmware header")
        << firmwareImage(vexa750, newVersion, 4096).mid(1) << Error::NotFirmware;
    QTest::newRow("another model") << firmwareImage(701, newVersion, 4096) << Error::OtherDevice;
    QTest::newRow("another variant")
        << firmwareImage(vexa750 + 1024, newVersion, 4096) << Error::OtherDevice;
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

void tst_FileTransfer::acknowledgementRules()
{
    // Of 512 bytes sent at 0x10000, only their own acknowledgement moves the transfer on: not
    // one claiming more (it would skip data), an old one repeated, a short or a refused write.
    const auto ack = [](uint offset, uint size, uchar status) {
        return FileTransfer::acknowledges(0x10000, 512, Cmd::firmwareFile, offset, size, status);
    };
    QVERIFY(ack(0x10000, 512, 0));
    QVERIFY(!ack(0x10000, 1024, 0));
    QVERIFY(!ack(0xFE00, 512, 0));
    QVERIFY(!ack(0x10000, 100, 0));
    QVERIFY(!ack(0, 512, 1));
}

void tst_FileTransfer::storeNames_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("name"); // what a download of it is saved as
    QTest::newRow("701") << firmwareImage(701, "1.2.3", 64) << "Vexa701_v1.2.3_update.bin";
    QTest::newRow("760 variant 1")
        << firmwareImage(1784, "2.0.10", 64) << "Vexa760_1_v2.0.10_update.bin";
    QTest::newRow("760 variant 63")
        << firmwareImage(65272, "1.4.12", 64) << "Vexa760_63_v1.4.12_update.bin";
    QTest::newRow("unknown identifier") << firmwareImage(999, "1.0.0", 64) << "1.0.0_update.bin";
    QTest::newRow("no firmware header") << QByteArray("PK\x03\x04 an archive") << "_update.bin";
}

void tst_FileTransfer::storeNames()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, name);
    const FirmwareStore::Header h = FirmwareStore::parseHeader(file);
    QCOMPARE(FirmwareStore::downloadName(h), name);
    // The tools' header builder writes what the store reads.
    if (h.valid)
        QCOMPARE(FirmwareStore::header(h.deviceId, h.version), file.left(15));
}

QTEST_GUILESS_MAIN(tst_FileTransfer)
#include "tst_filetransfer.moc"
