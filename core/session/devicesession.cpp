#include "devicesession.h"

#include "appinfo.h"
#include "commands.h"
#include "db_worker.h"
#include "devicejournal.h"
#include "deviceinterface.h"
#include "jobrecorder.h"
#include "linkstate.h"
#include "paramcatalogue.h"
#include "pendingchanges.h"

#include <QBuffer>
#include <QFile>
#include <QSerialPort>
#include <QTimer>
#include <QUrl>

// ---- files to write --------------------------------------------------------------------------

bool DeviceSession::loadFileToWrite(const QString &path, bool withKeys, FileToWrite *file,
                                    QString *error)
{
    if (!ConfigDocument::loadFile(path, &file->doc, &file->refused, error))
        return false;
    file->devId = ConfigDocument::param(file->doc, QStringLiteral("dev_id"));
    if (file->devId.isEmpty()) {
        *error = path + QStringLiteral(" has no dev_id: it could be any model's configuration");
        return false;
    }
    // A serial number is the device's own; keys go to a device only when asked for.
    if (!withKeys)
        ConfigDocument::clearKeys(file->doc);
    else
        ConfigDocument::deleteElement(file->doc, QStringLiteral("serial_number"));
    return true;
}

bool DeviceSession::hasWritable(const QDomDocument &doc)
{
    for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement()) {
        if (ParamCatalogue::writableByElement(e.tagName()))
            return true;
    }
    return false;
}

DeviceSession::Pending DeviceSession::dropValuesOnDevice(QDomDocument &file,
                                                         const QDomDocument &device, bool all)
{
    // Only what differs from the device goes out: fewer writes, and a file written twice
    // changes nothing the second time.
    Pending pending;
    QList<QDomElement> same;
    for (QDomElement e = file.documentElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement()) {
        const ParamCatalogue::Param *p = ParamCatalogue::writableByElement(e.tagName());
        if (!p)
            continue;
        const QDomElement current = device.documentElement().firstChildElement(e.tagName());
        if (!all && !current.isNull() && PendingChanges::sameValue(e.tagName(), current, e)) {
            same << e;
            pending.unchanged << e.tagName();
            continue;
        }
        ++pending.count;
    }
    for (QDomElement &e : same)
        file.documentElement().removeChild(e);
    return pending;
}

bool DeviceSession::splitServer(const QString &text, QString *host, quint16 *port)
{
    const QUrl url(QStringLiteral("tcp://") + text);
    if (!url.isValid() || url.host().isEmpty() || url.port() <= 0 || !url.path().isEmpty() ||
        !url.userInfo().isEmpty())
        return false;
    *host = url.host();
    *port = quint16(url.port());
    return true;
}

// ---- the session -----------------------------------------------------------------------------

DeviceSession::DeviceSession(PortEnumerator *enumerator, QObject *parent)
    : QObject(parent)
    , ownEnumerator(enumerator ? nullptr : std::make_unique<PortEnumerator>())
    , finder(enumerator ? enumerator : ownEnumerator.get())
    , link_(new DeviceInterface(this))
{
    link_->setPortEnumerator(enumerator ? enumerator : ownEnumerator.get());
}

DeviceSession::~DeviceSession() = default;

void DeviceSession::setUserPrompts(UserPrompts *prompts)
{
    link_->setUserPrompts(prompts);
}

bool DeviceSession::openDatabase(QString *error)
{
    if (!QFile::exists(DB_Worker::databasePath())) {
        *error = QStringLiteral("devices.db is missing: ") + DB_Worker::databasePath();
        return false;
    }
    ownDb = std::make_unique<DB_Worker>();
    db = ownDb.get();
    if (!db->checkDb()) {
        *error = QStringLiteral("devices.db is empty or damaged: ") + DB_Worker::databasePath();
        return false;
    }
    return true;
}

void DeviceSession::setJournal(DeviceJournal *journal)
{
    if (!recorder_ && journal && journal->isEnabled())
        recorder_ = new JobRecorder(this, journal);
}

void DeviceSession::followLink()
{
    following = true;
    wire();
}

void DeviceSession::search()
{
    if (phase_ == Phase::Idle || phase_ == Phase::Failed || phase_ == Phase::Done)
        setPhase(Phase::Identifying);
    link_->enumerateDevices();
}

QString DeviceSession::chooseGroup(const QString &firmware, ushort devId)
{
    const QString found = db ? db->getFwGroup(firmware, DeviceIdentity::keyOf(devId)) : QString();
    if (!found.isEmpty())
        db->setCurrentFwGroup(found);
    return found;
}

void DeviceSession::enableConfigExchange()
{
    if (exchange_)
        return;
    exchange_ = new ConfigExchange(link_, this);
    exchange_->setSupportedCodes([this](const DeviceIdentity &) {
        return !readsConfiguration || group_.isEmpty() || !db ? QList<int>() : db->getCommandList();
    });
    connect(exchange_, &ConfigExchange::parceAnswerComplite, this, &DeviceSession::onRead);
    connect(exchange_, &ConfigExchange::writeFinished, this, [this](bool ok) {
        acknowledged = ok;
        if (ok)
            return; // the device reboots: its state tells when the write is over
        emit writeStopped(exchange_->writeReport());
        writeOver();
    });
    connect(exchange_, &ConfigExchange::setProgress, this, [this](int max) { progressMax = max; });
    connect(exchange_, &ConfigExchange::setProgressValue, this,
            [this](int value) { emit progress(value, progressMax); });
}

bool DeviceSession::loadFirmware(const QString &path, QString *reason)
{
    flashing = true;
    transfer_ = new FileTransfer(link_, this);
    if (transfer_->loadFirmwareFile(QString(), path) != FileTransfer::Error::None) {
        *reason = transfer_->refusalReason();
        return false;
    }
    connect(transfer_, &FileTransfer::transferFailed, this,
            [this](FileTransfer::Error error, const QString &why) {
                if (phase_ == Phase::Flashing)
                    emit flashStopped(error, why);
            });
    connect(transfer_, &FileTransfer::transferFinished, this, [this] {
        setPhase(Phase::Rebooting);
        awaitReturn();
    });
    connect(transfer_, &FileTransfer::changeDeviceStatus, this, &DeviceSession::linkState);
    return true;
}

void DeviceSession::wire()
{
    if (wired)
        return;
    wired = true;
    // Connected after the exchange and the transfer: they take a state change in first (a
    // write stopped by a lost device is told as such before the loss itself).
    connect(link_, &DeviceInterface::setCurrentFwVer, this,
            [this](QString fw, QString, ushort devId, QString model, QString eui, QString sn) {
                onIdentified(fw, devId, model, eui, sn);
            });
    connect(link_, &DeviceInterface::changeDeviceStatus, this,
            [this](int state) { onLinkState(state, true); });
    if (exchange_)
        connect(exchange_, &ConfigExchange::changeDeviceStatus, this,
                [this](int state) { onLinkState(state, false); });
    connect(link_, &DeviceInterface::authenticationFail, this, &DeviceSession::passwordRequired);
}

const ConfigExchange::WriteReport &DeviceSession::writeReport() const
{
    static const ConfigExchange::WriteReport none;
    return exchange_ ? exchange_->writeReport() : none;
}

void DeviceSession::setPhase(Phase phase)
{
    if (phase == phase_)
        return;
    phase_ = phase;
    emit phaseChanged(phase);
}

void DeviceSession::fail(const QString &reason)
{
    if (phase_ == Phase::Failed)
        return;
    if (returnTimer)
        returnTimer->stop();
    setPhase(Phase::Failed);
    emit failed(reason);
}

// ---- the path to the device ------------------------------------------------------------------

bool DeviceSession::open(const PortFinder::Choice &port, const QString &named, QString *error)
{
    portName = port.port;
    usbSerial = port.usbSerial;
    namedPort = named;
    device.path = DeviceIdentity::Path::Usb;
    wire();
    QSerialPort *serial = link_->serialPort();
    serial->setPortName(portName);
    serial->setBaudRate(DeviceInterface::portBaudRate);
    if (!serial->open(QIODevice::ReadWrite)) {
        *error = QStringLiteral("cannot open %1: %2").arg(portName, serial->errorString());
        return false;
    }
    return true;
}

void DeviceSession::identify()
{
    setPhase(Phase::Identifying);
    link_->readConfiguration();
}

void DeviceSession::startRelay(const QString &devEui, int sessionTime, int timeout)
{
    relayTo = devEui;
    device.path = DeviceIdentity::Path::Relay;
    device.via = QString(usbSerial).remove(QLatin1String(vexaSerialPrefix));
    // From the local device's yes on, it is in relay mode until it confirms the leave: every
    // end of the session leaves it (a failed check, a time-out, Ctrl+C).
    connect(link_, &DeviceInterface::relayModeChanged, this, [this](bool on) {
        if (on)
            relayEntered = true;
    });
    connect(link_, &DeviceInterface::relayRefused, this, [this](quint16 cmd, uchar status) {
        const QString why =
            QStringLiteral("FSK Status code: 0x%1").arg(status, 2, 16, QLatin1Char('0'));
        if (cmd == Cmd::fskMode)
            return fail(QStringLiteral("the local device refused relay mode (%1)").arg(why));
        // Leaving was refused: relay mode is still on.
        emit notice(
            QStringLiteral("vexa7xx-cli: the device refused to leave relay mode (%1)").arg(why));
        emitClosed(relayExitCode == 0 ? 1 : relayExitCode);
    });
    setPhase(Phase::Connecting);
    link_->switchToFskMode(devEui, sessionTime, timeout);
}

void DeviceSession::connectRemote(const QString &imei, const QString &password,
                                  const QString &server)
{
    portName = QStringLiteral("IMEI ") + imei;
    device.path = DeviceIdentity::Path::Remote;
    device.via = imei;
    wire();
    QString host;
    quint16 port = 0;
    if (splitServer(server, &host, &port)) {
        link_->setRemoteServer(host, port);
        portName += QStringLiteral(" via ") + server;
    }
    link_->setAppVersion(AppInfo::version());
    setPhase(Phase::Connecting);
    link_->connectToServer(imei, password);
}

void DeviceSession::close(int code)
{
    if (returnTimer)
        returnTimer->stop();
    if (leavingRelay || !relayEntered)
        return emitClosed(code);
    // Whatever was being done stops here: its answers would only confuse the exit.
    leavingRelay = true;
    relayExitCode = code;
    if (exchange_)
        link_->disconnect(exchange_);
    emit notice(QStringLiteral("leaving relay mode..."));
    link_->switchToNormalMode();
}

void DeviceSession::emitClosed(int code)
{
    emit closed(code);
    // The server is told goodbye whatever the end.
    if (link_->isRemoteMode())
        link_->disconnectRemote();
}

void DeviceSession::abort()
{
    if (returnTimer)
        returnTimer->stop();
    if (link_->serialPort()->isOpen())
        link_->serialPort()->close();
}

void DeviceSession::setReady()
{
    setPhase(Phase::Ready);
    link_->setDeviceReady(true);
}

// ---- what the device says --------------------------------------------------------------------

void DeviceSession::onIdentified(const QString &fw, ushort devId, const QString &model,
                                 const QString &devEui, const QString &sn)
{
    // Afterwards, a device-info request is one typed in a console (which the window, following
    // the link, takes as what the device says it is).
    if (!following && phase_ != Phase::Connecting && phase_ != Phase::Identifying &&
        phase_ != Phase::Verifying)
        return;
    device.firmware = fw;
    device.devId = devId;
    device.serialNumber = sn;
    device.devEui = devEui;
    name = model;
    group_ = chooseGroup(fw, devId);
    if (following && !link_->isRemoteMode()) {
        // Where to look for it after a reboot: the port the link's search chose.
        portName = link_->serialPort()->portName();
        usbSerial.clear();
        for (const PortInfo &p : finder.ports()) {
            if (p.portName == portName || p.portName.endsWith(QLatin1Char('/') + portName))
                usbSerial = p.serialNumber;
        }
    }
    if (phase_ == Phase::Verifying) {
        emit returned(device);
        if (!writing || !verifyWanted)
            setPhase(exchange_ ? Phase::Reading : Phase::Ready);
        // After a write, the read-back follows. The window shows what came back like any
        // device it finds.
        if (following)
            emit identified(device);
        return;
    }
    if (exchange_)
        setPhase(Phase::Reading);
    emit identified(device);
}

void DeviceSession::onRead(QBuffer *buffer)
{
    buffer->open(QIODevice::ReadOnly);
    QDomDocument doc;
    doc.setContent(buffer->data());
    buffer->close();
    if (phase_ == Phase::Verifying) {
        mismatches_ = ConfigDocument::mismatches(sentDoc, doc, verifyNames);
        verifyDone = true;
        verifyWanted = false;
        setPhase(Phase::Done);
        emit writeFinished(exchange_->writeReport());
        if (following)
            emit readFinished(doc); // the window shows what came back
        return;
    }
    if (phase_ == Phase::Reading)
        setPhase(Phase::Ready);
    emit readFinished(doc);
}

void DeviceSession::onLinkState(int state, bool fromLink)
{
    emit linkState(state);
    switch (phase_) {
    case Phase::Rebooting:
        if (state == LinkState::Disconnected)
            portGone = true;
        break;
    case Phase::Verifying:
        if (state == LinkState::Disconnected) {
            // Some devices enumerate twice on their way up: wait for the next.
            portGone = true;
            setPhase(Phase::Rebooting);
            returnTimer->start();
        } else if (state == LinkState::NotRespond) {
            fail(flashing ? QStringLiteral("the device came back after the reboot but does not "
                                           "answer; whether it runs the new firmware is not "
                                           "known (see vexa7xx-cli info)")
                          : QStringLiteral("the device came back after the write but does not "
                                           "answer; the written values were not verified"));
        }
        break;
    case Phase::Flashing: // the transfer tells
    case Phase::Done:
        break;
    default:
        if (fromLink && isRemote() && remoteState(state))
            break;
        // The window's device may go and come: only a write or the wait after a reboot fails.
        if (following && phase_ != Phase::Writing &&
            (state == LinkState::Disconnected || state == LinkState::NotRespond)) {
            setPhase(Phase::Idle);
            break;
        }
        switch (state) {
        case LinkState::Disconnected:
            if (acknowledged)
                writeOver(); // the device took every value and rebooted before its answer came
            else
                fail(QStringLiteral("the device went away"));
            break;
        case LinkState::NotRespond:
            fail(QStringLiteral("the device does not answer"));
            break;
        case LinkState::Reload:
            if (writing && acknowledged)
                writeOver();
            break;
        default:
            break;
        }
    }
    if (fromLink && !relayTo.isEmpty())
        relayState(state);
}

bool DeviceSession::remoteState(int state)
{
    switch (state) {
    case LinkState::Disconnected:
        // The local link is closed first; only a session that was open can end.
        if (!remoteOpen)
            return true;
        if (phase_ == Phase::Failed || acknowledged)
            return false;
        fail(QStringLiteral("the server ended the session"));
        return true;
    case LinkState::Connected:
        remoteOpen = true;
        return false;
    case LinkState::RemoteServerUnavailable:
        fail(remoteOpen ? QStringLiteral("the device does not answer through the server")
                        : QStringLiteral("the remote-configuration server is not available"));
        return true;
    case LinkState::RemoteExchangeError:
        fail(link_->remoteFlooded()
                 ? QString::fromLatin1(RemoteSession::floodText)
                 : QStringLiteral("the exchange with the remote-configuration server failed"));
        return true;
    case LinkState::RemoteNotOnServer:
        fail(QStringLiteral("the device is not connected to the server"));
        return true;
    case LinkState::RemoteBusy:
        fail(QStringLiteral("the device is being configured by someone else"));
        return true;
    default:
        return false;
    }
}

void DeviceSession::relayState(int state)
{
    switch (state) {
    case LinkState::FskConnected:
        emit notice(QStringLiteral("connected to %1 through the relay").arg(relayTo));
        break;
    case LinkState::FskConnectFailed:
        fail(QStringLiteral("no answer from %1 through the relay").arg(relayTo));
        break;
    case LinkState::FskDisconnected:
        relayEntered = false;
        if (leavingRelay)
            emitClosed(relayExitCode);
        else if (writing && acknowledged)
            writeOver(); // the remote device took the values and rebooted; relay mode is over
        else
            fail(QStringLiteral("relay mode ended unexpectedly"));
        break;
    case LinkState::Disconnected:
    case LinkState::NotRespond:
        if (leavingRelay) {
            emit notice(QStringLiteral("vexa7xx-cli: relay mode could not be left; the local "
                                       "device ends it when its session time is over"));
            emitClosed(relayExitCode == 0 ? 1 : relayExitCode);
        }
        break;
    default:
        break;
    }
}

// ---- write, flash and the wait after the reboot ----------------------------------------------

void DeviceSession::write(const QDomDocument &doc, bool verify)
{
    writing = true;
    acknowledged = false;
    verifyWanted = verify;
    verifyDone = false;
    verifyNames.clear();
    mismatches_.clear();
    sentDoc = doc.cloneNode(true).toDocument();
    if (!writeBuffer)
        writeBuffer = new QBuffer(this);
    writeBuffer->setData(ConfigDocument::toText(doc));
    setPhase(Phase::Writing);
    exchange_->writeConfiguration(writeBuffer);
}

void DeviceSession::writeOver()
{
    if (phase_ != Phase::Writing)
        return;
    if (verifyWanted && acknowledged) {
        verifyNames = exchange_->writeReport().written;
        setPhase(Phase::Rebooting);
        return awaitReturn();
    }
    verifyWanted = false;
    setPhase(Phase::Done);
    emit writeFinished(exchange_->writeReport());
}

void DeviceSession::flash()
{
    setPhase(Phase::Flashing);
    transfer_->getFileInfo();
}

void DeviceSession::awaitReturn()
{
    setPhase(Phase::Rebooting);
    portGone = false;
    rebootClock.start();
    if (link_->isRemoteMode()) {
        QTimer::singleShot(remoteReturnMs, this, [this] {
            if (phase_ != Phase::Rebooting)
                return;
            setPhase(Phase::Verifying);
            link_->readConfiguration();
        });
        return;
    }
    if (!returnTimer) {
        returnTimer = new QTimer(this);
        returnTimer->setInterval(rebootPollMs);
        connect(returnTimer, &QTimer::timeout, this, &DeviceSession::lookForReturn);
    }
    returnTimer->start();
}

void DeviceSession::lookForReturn()
{
    if (phase_ != Phase::Rebooting)
        return;
    if (rebootClock.elapsed() > rebootWaitMs)
        return fail(flashing ? QStringLiteral("the device did not come back within %1 s after "
                                              "the reboot; whether it runs the new firmware is "
                                              "not known (see vexa7xx-cli info)")
                                   .arg(rebootWaitMs / 1000)
                    : writing ? QStringLiteral("the device did not come back within %1 s after "
                                               "the write; the written values were not verified")
                                    .arg(rebootWaitMs / 1000)
                              : QStringLiteral("the device did not come back within %1 s after "
                                               "the reboot")
                                    .arg(rebootWaitMs / 1000));
    QSerialPort *port = link_->serialPort();
    if (!portGone) {
        // Until the old port has gone, what is there is the device before its restart.
        portGone = finder.findAgain(usbSerial, namedPort) != portName;
        if (!portGone && rebootClock.elapsed() < portStaysMs)
            return;
        portGone = true;
    }
    if (port->isOpen())
        port->close();
    const QString back = finder.findAgain(usbSerial, namedPort);
    if (back.isEmpty())
        return;
    port->clearError();
    port->setPortName(back);
    port->setBaudRate(DeviceInterface::portBaudRate);
    link_->readConfiguration();
    if (!port->isOpen())
        return; // not ready to be opened yet: tried again on the next round
    returnTimer->stop();
    portName = back;
    setPhase(Phase::Verifying);
    emit notice(QStringLiteral("the device is back on ") + back);
}
