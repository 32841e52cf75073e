#include "clirunner.h"

#include "appsettings.h"
#include "commandhistory.h"
#include "commands.h"
#include "configdocument.h"
#include "configexchange.h"
#include "db_worker.h"
#include "deviceidentity.h"
#include "deviceinterface.h"
#include "linkstate.h"
#include "portcheck.h"
#include "portenumerator.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

QString CliRunner::usage()
{
    return QStringLiteral(R"(Usage: vexa7xx-cli [--port NAME] [--json] COMMAND [options]

Commands:
  list                     the serial ports that carry a Vexa7XX
  doctor                   every serial port with its USB ids and serial number, which are
                           Vexa7XX devices, and what keeps one from being used (no permission,
                           held by another program, no device at all) with the command that
                           fixes it; exits 1 when it found a problem
  info                     identity of the device (model, firmware, serial number, DevEUI)
  read [-o FILE] [--with-keys]
                           read the configuration; the document goes to FILE or standard output,
                           without keys and identity unless --with-keys
  write FILE [--yes] [--all] [--with-keys] [--verify]
                           write the parameters of FILE that differ from the device (every one
                           with --all; asks first unless --yes; keys in the file are written only
                           with --with-keys); the device reboots at the end. --verify waits for
                           it to come back, reads it again and compares every written value
  flash FILE [--yes]       write the firmware image FILE into the device and restart it into
                           it (asks first unless --yes, telling model, serial number and the
                           versions); an interrupted flash (Ctrl+C, cable pulled) resumes from
                           what the device holds when run again; succeeds only when the device
                           has come back running the image's version
  console                  a command console on the device: each line of standard input is
                           sent; hex lines (8600 00) as command frames, whose answers are shown
                           decoded and in hex; lines starting with a letter (SYSLOG LEVEL=DBG,A)
                           as text commands, whose text answers are shown as they come. The
                           history is shared with the configurator's console (cmd_history.txt):
                           :history lists it, !N sends entry N again, :quit ends (so does the
                           end of input or Ctrl+C)
  provision --template T.xml [--keys KEYS.csv] [--firmware FILE] [--verify]
            [--report OUT.json] [--ports all|LIST]
                           every connected device (or the ports of LIST, separated by commas)
                           at once, each on a link of its own: flash FILE unless it runs that
                           version, write T.xml with the device's own keys from KEYS.csv (a
                           header row; the device's row found by its serial_number, else its
                           dev_eui column; the other columns are parameters such as app_key),
                           verify, and append a JSON line per device to OUT.json (serial,
                           devEui, firmware, result, duration, error). A failing device stops no
                           other; devices OUT.json lists as done are skipped. Exits 0 when every
                           device is done, 1 when one failed
  syslog LEVEL,SOURCE      stream the device's debug output to standard output until Ctrl+C,
                           then switch it off on the device (SYSLOG LEVEL=ALL,F). LEVEL and
                           SOURCE are the codes of the configurator's debug dialog, e.g.
                           syslog DBG,A (everything); syslog ALL,F only switches it off

Options:
  --remote IMEI --password P [--server HOST:PORT]
                           info, read and write through the remote-configuration server, for
                           the device of this IMEI (15 digits) with its password; the server of
                           settings.conf (UpdateServer/IP, UpdateServer/Port) unless --server
  --port NAME              use this port (a device path or name) instead of searching by the
                           USB identifiers of settings.conf (Device/VID, Device/PID)
  --relay DEVEUI           info, read and write reach the device with this DevEUI over the
                           radio relay of the device on the port (relay mode is left at the
                           end, also on Ctrl+C)
  --session S              relay session time, in the device's units (default 60)
  --relay-timeout T        relay answer time-out, in the device's units (default 3000)
  --json                   machine-readable output of list, info, write and flash
  -v, --verbose            also print the link's log on standard error
  -h, --help               this text

Progress and errors go to standard error. Exit codes:
  0  success (write: every value of the file is on the device)
  1  failure (nothing of the file was applied)
  1  also: remote server not available, device not connected to it or busy, session ended
  2  bad usage (also a syslog LEVEL or SOURCE the device's firmware does not know)
  1  also: console or syslog lost the device, or syslog could not switch the output off
  3  write: partly applied; some values of the file are not on the device (refused by the
     file check or by the device, not supported by its firmware, the write stopped, or with
     --verify read back with another value); with --json the applied, unchanged, refused and
     unwritten values are listed by name (and with --verify the mismatches)
  1  also: write --verify when the device did not come back to be read again
  flash exits 1 on any failure: a refused image (unreadable, empty, over 1 MiB, no firmware
  header, another device's), a transfer that stopped, or a device that did not come back with
  the new version; --json prints {file, device, fromVersion, toVersion, bytesSent, resumedAt,
  seconds, result} in every case
)");
}

bool CliRunner::takeProvisionOption(const QStringList &args, int *i, Options *o, QString *error)
{
    const QString &a = args.at(*i);
    QString *target = a == QLatin1String("--template")   ? &o->provision.templateFile
                      : a == QLatin1String("--keys")     ? &o->provision.keysFile
                      : a == QLatin1String("--firmware") ? &o->provision.firmwareFile
                      : a == QLatin1String("--report")   ? &o->provision.reportFile
                      : a == QLatin1String("--ports")    ? &o->provision.ports
                                                         : nullptr;
    if (!target)
        return false;
    if (*i + 1 >= args.size() || args.at(*i + 1).isEmpty()) {
        *error = a + QStringLiteral(" needs a value");
        return true;
    }
    *target = args.at(++*i);
    return true;
}

bool CliRunner::parse(const QStringList &args, Options *o, QString *error)
{
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const int remote = parseRemoteOption(args, &i, o, error);
        if (remote == 0)
            return false;
        if (remote == 1)
            continue;
        if (a == QLatin1String("--port") || a == QLatin1String("-o")) {
            if (i + 1 >= args.size()) {
                *error = a + QStringLiteral(" needs a value");
                return false;
            }
            (a == QLatin1String("--port") ? o->port : o->output) = args.at(++i);
        } else if (a == QLatin1String("--json")) {
            o->json = true;
        } else if (a == QLatin1String("--yes") || a == QLatin1String("-y")) {
            o->yes = true;
        } else if (a == QLatin1String("--with-keys")) {
            o->withKeys = true;
        } else if (a == QLatin1String("--all")) {
            o->all = true;
        } else if (a == QLatin1String("--verify")) {
            o->verify = true;
        } else if (takeProvisionOption(args, &i, o, error)) {
            if (!error->isEmpty())
                return false;
        } else if (takeRelayOption(args, &i, o, error)) {
            if (!error->isEmpty())
                return false;
        } else if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            o->command = QStringLiteral("help");
            return true;
        } else if (a.startsWith(QLatin1Char('-'))) {
            *error = QStringLiteral("unknown option ") + a;
            return false;
        } else {
            rest << a;
        }
    }
    if (rest.isEmpty()) {
        *error = QStringLiteral("no command");
        return false;
    }
    o->command = rest.takeFirst();
    static const QStringList commands{
        QStringLiteral("list"),    QStringLiteral("doctor"), QStringLiteral("info"),
        QStringLiteral("read"),    QStringLiteral("write"),  QStringLiteral("flash"),
        QStringLiteral("console"), QStringLiteral("syslog"), QStringLiteral("provision")};
    if (!commands.contains(o->command)) {
        *error = QStringLiteral("unknown command ") + o->command;
        return false;
    }
    if (o->command == QLatin1String("write") || o->command == QLatin1String("flash")) {
        if (rest.size() != 1) {
            *error = o->command + QStringLiteral(" needs one FILE");
            return false;
        }
        o->file = rest.takeFirst();
    }
    if (o->command == QLatin1String("syslog")) {
        // Codes only: letters, so nothing else can ride along in the command line.
        static const QRegularExpression codes(QStringLiteral("^([A-Za-z]+),([A-Za-z]+)$"));
        const QRegularExpressionMatch m = codes.match(rest.value(0));
        if (rest.size() != 1 || !m.hasMatch()) {
            *error = QStringLiteral("syslog needs LEVEL,SOURCE (for example DBG,A)");
            return false;
        }
        rest.clear();
        o->level = m.captured(1).toUpper();
        o->source = m.captured(2).toUpper();
    }
    if (!rest.isEmpty()) {
        *error = QStringLiteral("unexpected ") + rest.join(QLatin1Char(' '));
        return false;
    }
    // Read back through a port only: a device behind the server or the relay comes back by
    // another way after its reboot.
    const bool provision = o->command == QLatin1String("provision");
    if (o->verify && ((o->command != QLatin1String("write") && !provision) ||
                      !o->remoteImei.isEmpty() || !o->relay.isEmpty())) {
        *error = QStringLiteral("--verify goes with write on a port, or provision");
        return false;
    }
    const Provisioner::Options &p = o->provision;
    const bool batchOptions = !p.templateFile.isEmpty() || !p.keysFile.isEmpty() ||
                              !p.firmwareFile.isEmpty() || !p.reportFile.isEmpty() ||
                              !p.ports.isEmpty();
    if (batchOptions != provision || (provision && p.templateFile.isEmpty())) {
        *error = provision ? QStringLiteral("provision needs --template FILE")
                           : QStringLiteral("--template, --keys, --firmware, --report and --ports "
                                            "go with provision");
        return false;
    }
    if (provision && (!o->port.isEmpty() || !o->remoteImei.isEmpty() || !o->relay.isEmpty())) {
        *error = QStringLiteral("provision takes its ports with --ports");
        return false;
    }
    return checkRemoteOptions(*o, error) && checkRelayOptions(*o, error);
}

CliRunner::CliRunner(const Options &options, PortEnumerator *portEnumerator, QTextStream &o,
                     QTextStream &e, QObject *parent)
    : QObject(parent)
    , opts(options)
    , enumerator(portEnumerator)
    , out(o)
    , err(e)
{}

CliRunner::~CliRunner() = default;

void CliRunner::fail(const QString &message, int code)
{
    if (done)
        return;
    done = true;
    if (flashPhase != FlashPhase::Off)
        flashSummary(message);
    err << "vexa7xx-cli: " << message << '\n';
    err.flush();
    out.flush();
    finish(code);
}

void CliRunner::succeed()
{
    if (done)
        return;
    done = true;
    out.flush();
    finish(0);
}

void CliRunner::start()
{
    if (opts.command == QLatin1String("list"))
        return list();
    if (opts.command == QLatin1String("doctor"))
        return doctor();
    if (opts.command == QLatin1String("provision")) {
        Provisioner::Options batchOptions = opts.provision;
        batchOptions.verify = opts.verify;
        auto *batch = new Provisioner(batchOptions, enumerator, out, err, this);
        connect(batch, &Provisioner::finished, this, [this](int code) {
            done = true;
            finish(code);
        });
        return batch->start();
    }
    if (opts.command == QLatin1String("flash")) {
        startFlash();
        return;
    }
    // A file that will be refused costs the device nothing: it is looked at first.
    if (opts.command == QLatin1String("write") && !loadFile())
        return;
    connectDevice();
}

bool CliRunner::loadFile()
{
    QFile file(opts.file);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read ") + opts.file);
        return false;
    }
    QString problem;
    if (ConfigDocument::load(file.read(ConfigDocument::maxFileBytes + 1), &fileDoc, &fileRefused,
                             &problem) != ConfigDocument::LoadResult::Ok) {
        fail(opts.file + QStringLiteral(" is not a configuration file: ") + problem);
        return false;
    }
    fileDevId = ConfigDocument::param(fileDoc, QStringLiteral("dev_id"));
    if (fileDevId.isEmpty()) {
        fail(opts.file + QStringLiteral(" has no dev_id: it could be any model's configuration"));
        return false;
    }
    for (const QString &r : fileRefused)
        err << "refused (not written): " << r << '\n';
    if (!opts.withKeys)
        ConfigDocument::clearKeys(fileDoc);
    else
        ConfigDocument::deleteElement(fileDoc, QStringLiteral("serial_number"));
    for (QDomElement e = fileDoc.documentElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement()) {
        if (ParamCatalogue::writableByElement(e.tagName()))
            return true;
    }
    fail(QStringLiteral("nothing of %1 can be written").arg(opts.file));
    return false;
}

void CliRunner::list()
{
    const AppSettings::UsbIds ids = AppSettings::deviceUsbIds();
    QJsonArray array;
    for (const PortInfo &p : enumerator->ports()) {
        if (!opts.port.isEmpty() ? p.portName != opts.port : !isVexaPort(p, ids.vid, ids.pid))
            continue;
        const QString sn = QString(p.serialNumber).remove(QLatin1String(vexaSerialPrefix));
        if (opts.json)
            array.append(
                QJsonObject{{QStringLiteral("port"), p.portName}, {QStringLiteral("serial"), sn}});
        else
            out << p.portName << "\t" << sn << '\n';
    }
    if (opts.json)
        out << QJsonDocument(array).toJson(QJsonDocument::Compact) << '\n';
    succeed();
}

bool CliRunner::choosePort()
{
    const AppSettings::UsbIds ids = AppSettings::deviceUsbIds();
    if (opts.port.isEmpty()) {
        QStringList found;
        for (const PortInfo &p : enumerator->ports()) {
            if (isVexaPort(p, ids.vid, ids.pid))
                found << p.portName;
        }
        if (found.isEmpty()) {
            fail(QStringLiteral("no device found (use --port NAME for other adapters)"));
            return false;
        }
        if (found.size() > 1) {
            fail(QStringLiteral("several devices found, choose one with --port: ") +
                 found.join(QStringLiteral(", ")));
            return false;
        }
        portName = found.first();
    } else {
        portName = PortCheck::location(opts.port);
        if (!PortCheck::exists(portName)) {
            fail(PortCheck::describe(PortCheck::Problem::Missing, portName));
            return false;
        }
    }
    // To find the device again after a reboot, under whatever name it comes back.
    for (const PortInfo &p : enumerator->ports()) {
        if (PortCheck::location(p.portName) == PortCheck::location(portName))
            usbSerial = p.serialNumber;
    }
    return true;
}

void CliRunner::connectDevice()
{
    if (!isRemote() && !choosePort())
        return;
    if (!QFile::exists(DB_Worker::databasePath()))
        return fail(QStringLiteral("devices.db is missing: ") + DB_Worker::databasePath());
    db = std::make_unique<DB_Worker>();
    if (!db->checkDb())
        return fail(QStringLiteral("devices.db is empty or damaged: ") + DB_Worker::databasePath());
    link = new DeviceInterface(this);
    link->setUserPrompts(this);
    connect(link, &DeviceInterface::setCurrentFwVer, this, &CliRunner::identified);
    exchange = new ConfigExchange(link, this);
    exchange->setSupportedCodes([this](const DeviceIdentity &) {
        // A read or write needs the whole set; the other commands only the identity.
        const bool needsParams =
            opts.command == QLatin1String("read") || opts.command == QLatin1String("write");
        return !needsParams || group.isEmpty() ? QList<int>() : db->getCommandList();
    });
    connect(exchange, &ConfigExchange::parceAnswerComplite, this, &CliRunner::readDone);
    connect(link, &DeviceInterface::changeDeviceStatus, this, [this](int state) {
        if (!isRemote() || !remoteStateChanged(state))
            stateChanged(state);
    });
    connect(exchange, &ConfigExchange::changeDeviceStatus, this, &CliRunner::stateChanged);
    connect(exchange, &ConfigExchange::writeFinished, this, [this](bool ok) {
        acknowledged = ok;
        if (!ok)
            writeStopped();
    });
    connect(exchange, &ConfigExchange::setProgress, this, [this](int max) { progressMax = max; });
    connect(exchange, &ConfigExchange::setProgressValue, this, &CliRunner::progress);
    if (isRemote())
        connectRemote();
    else
        openAndIdentify();
}

void CliRunner::openAndIdentify()
{
    connect(link, &DeviceInterface::authenticationFail, this, [this] {
        if (opts.command == QLatin1String("console") && session) {
            err << "vexa7xx-cli: the device asks for a password: type USB <password>\n";
            err.flush();
            return;
        }
        fail(QStringLiteral("the device asks for a password; log in with the configurator"));
    });
    link->serialPort()->setPortName(portName);
    link->serialPort()->setBaudRate(DeviceInterface::portBaudRate);
    if (!link->serialPort()->open(QIODevice::ReadWrite))
        return fail(
            QStringLiteral("cannot open %1: %2").arg(portName, link->serialPort()->errorString()));
    if (!opts.relay.isEmpty())
        return startRelay();
    link->readConfiguration();
}

void CliRunner::identified(QString fw, QString, ushort devId, QString name, QString eui, QString sn)
{
    if (session)
        return; // a device-info request typed in the console
    firmware = fw;
    deviceId = devId;
    serial = sn;
    devEui = eui;
    const int revision = DeviceIdentity::revisionOf(devId);
    group = db->getFwGroup(fw, DeviceIdentity::keyOf(devId));
    if (!group.isEmpty())
        db->setCurrentFwGroup(group);
    if (opts.command == QLatin1String("info")) {
        if (opts.json) {
            QJsonObject o{{QStringLiteral("port"), portName},
                          {QStringLiteral("model"), QStringLiteral("Vexa") + name},
                          {QStringLiteral("deviceId"), int(devId)},
                          {QStringLiteral("revision"), revision},
                          {QStringLiteral("firmware"), fw},
                          {QStringLiteral("supported"), !group.isEmpty()},
                          {QStringLiteral("serialNumber"), sn},
                          {QStringLiteral("devEui"), eui}};
            if (!opts.relay.isEmpty())
                o.insert(QStringLiteral("relay"), opts.relay);
            out << QJsonDocument(o).toJson(QJsonDocument::Compact) << '\n';
        } else {
            out << "port:          " << portName << '\n'
                << (opts.relay.isEmpty() ? QString() : "relay to:      " + opts.relay + '\n')
                << "model:         Vexa" << name << " (device ID " << devId << ", revision "
                << revision << ")\n"
                << "firmware:      " << fw << (group.isEmpty() ? " (not supported)" : "") << '\n'
                << "serial number: " << sn << '\n'
                << "DevEUI:        " << eui << '\n';
        }
        return; // the empty read that follows ends the command
    }
    if (opts.command == QLatin1String("console") || opts.command == QLatin1String("syslog")) {
        err << "Vexa" << name << " " << sn << ", firmware " << fw << " on " << portName << '\n';
        err.flush();
        if (opts.command == QLatin1String("syslog"))
            checkSysLogCodes();
        return; // the empty read that follows starts the session
    }
    if (group.isEmpty())
        return fail(QStringLiteral("firmware %1 of Vexa%2 is not supported by this configurator")
                        .arg(fw, name));
    // Told before the whole configuration is read for nothing.
    if (opts.command == QLatin1String("write") && fileDevId != QString::number(devId))
        fail(QStringLiteral("%1 is for device ID %2, the device is %3")
                 .arg(opts.file, fileDevId)
                 .arg(devId));
}

void CliRunner::progress(int value)
{
    if (progressMax <= 0 || value <= 0)
        return;
    err << (writing ? "writing " : "reading ") << value << "/" << progressMax << '\r';
    err.flush();
}

void CliRunner::readDone(QBuffer *buffer)
{
    if (done)
        return;
    if (opts.command == QLatin1String("info"))
        return succeed();
    if (opts.command == QLatin1String("console") || opts.command == QLatin1String("syslog"))
        return startSession();
    buffer->open(QIODevice::ReadOnly);
    QDomDocument doc;
    doc.setContent(buffer->data());
    buffer->close();
    err << '\n';
    if (verifyPhase == VerifyPhase::Reading)
        return verifyRead(doc);

    if (opts.command == QLatin1String("read")) {
        if (!opts.withKeys)
            ConfigDocument::clearKeys(doc);
        if (opts.output.isEmpty()) {
            out << ConfigDocument::toText(doc);
        } else if (!ConfigDocument::save(doc, opts.output)) {
            return fail(QStringLiteral("cannot write ") + opts.output);
        } else {
            err << "configuration saved to " << opts.output << '\n';
        }
        return succeed();
    }

    // write: the file against the device just read.
    // Only what differs from the device goes out (unless --all): fewer writes, and a file
    // written twice changes nothing the second time.
    int count = 0;
    QList<QDomElement> same;
    for (QDomElement e = fileDoc.documentElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement()) {
        const ParamCatalogue::Param *p = ParamCatalogue::writableByElement(e.tagName());
        if (!p)
            continue;
        const QDomElement current = doc.documentElement().firstChildElement(e.tagName());
        if (!opts.all && !current.isNull() &&
            ParamCodec::valueTextOf(*p, current) == ParamCodec::valueTextOf(*p, e)) {
            same << e;
            unchanged << e.tagName();
            continue;
        }
        ++count;
    }
    for (QDomElement &e : same)
        fileDoc.documentElement().removeChild(e);
    if (count == 0) {
        err << "the device already holds every " << (fileRefused.isEmpty() ? "" : "accepted ")
            << "value of " << opts.file << "; nothing written\n";
        return finishWrite();
    }
    if (!unchanged.isEmpty())
        err << unchanged.size()
            << " parameter(s) already hold the file's value and are not written\n";
    if (!opts.yes && !confirm(QStringLiteral("Write %1 parameter(s) to Vexa%2 %3 and reboot it?")
                                  .arg(count)
                                  .arg(DeviceIdentity::modelOf(deviceId))
                                  .arg(serial)))
        return fail(QStringLiteral("cancelled"));
    writing = true;
    sentDoc = fileDoc.cloneNode(true).toDocument();
    writeBuffer = new QBuffer(this);
    writeBuffer->setData(ConfigDocument::toText(fileDoc));
    exchange->writeConfiguration(writeBuffer);
}

void CliRunner::writeStopped()
{
    const ConfigExchange::WriteReport &r = exchange->writeReport();
    using Stop = ConfigExchange::WriteReport::Stop;
    err << "\nvexa7xx-cli: "
        << (r.stop == Stop::Refused      ? "the device refused " + r.notWritten.value(0)
            : r.stop == Stop::DeviceLost ? QStringLiteral("the device went away during the write")
                                         : QStringLiteral("the device stopped answering during "
                                                          "the write"))
        << '\n';
    err << "written before the stop: "
        << (r.written.isEmpty() ? QStringLiteral("nothing") : r.written.join(QStringLiteral(", ")))
        << "\nnot written: " << r.notWritten.join(QStringLiteral(", ")) << '\n';
    finishWrite();
}

void CliRunner::finishWrite()
{
    if (done)
        return;
    const ConfigExchange::WriteReport r =
        writing ? exchange->writeReport() : ConfigExchange::WriteReport();
    if (opts.verify && writing && acknowledged && verifyPhase == VerifyPhase::Off) {
        verifyNames = r.written;
        return startVerify();
    }
    QStringList refused = fileRefused;
    refused << r.skipped;
    for (const QString &skipped : r.skipped)
        err << "refused (not written): " << skipped << '\n';
    QJsonObject json;
    reportVerify(&json);
    if (opts.json) {
        QJsonArray refusedList;
        for (const QString &entry : refused) {
            const int colon = entry.indexOf(QLatin1String(": "));
            refusedList.append(QJsonObject{{QStringLiteral("name"), entry.left(colon)},
                                           {QStringLiteral("reason"), entry.mid(colon + 2)}});
        }
        json.insert(QStringLiteral("applied"), QJsonArray::fromStringList(r.written));
        json.insert(QStringLiteral("unchanged"), QJsonArray::fromStringList(unchanged));
        json.insert(QStringLiteral("refused"), refusedList);
        json.insert(QStringLiteral("notWritten"), QJsonArray::fromStringList(r.notWritten));
        out << QJsonDocument(json).toJson(QJsonDocument::Compact) << '\n';
    }
    if (refused.isEmpty() && r.notWritten.isEmpty() && mismatches.isEmpty()) {
        if (writing && verifyPhase == VerifyPhase::Off)
            err << "\nwritten; the device reboots\n";
        return succeed();
    }
    // A value read back with another one is not on the device.
    if (r.written.size() == mismatches.size() && unchanged.isEmpty())
        return fail(QStringLiteral("nothing of %1 was applied").arg(opts.file), 1);
    fail(QStringLiteral("%1 was applied in part").arg(opts.file), PartlyApplied);
}

void CliRunner::stateChanged(int state)
{
    if (verifyPhase != VerifyPhase::Off)
        return verifyStateChanged(state);
    switch (state) {
    case LinkState::Disconnected:
        if (done)
            break;
        if (acknowledged)
            finishWrite(); // the device took every value and rebooted before its answer came
        else
            fail(QStringLiteral("the device went away"));
        break;
    case LinkState::NotRespond:
        fail(QStringLiteral("the device does not answer"));
        break;
    case LinkState::Reload:
        if (writing && acknowledged)
            finishWrite();
        break;
    default:
        break;
    }
}

bool CliRunner::confirm(const QString &question)
{
    err << question << " [y/N] ";
    err.flush();
    char line[64] = {};
    if (!std::fgets(line, sizeof line, stdin))
        return false;
    return line[0] == 'y' || line[0] == 'Y';
}

UserPrompts::Button CliRunner::ask(Icon, const QString &title, const QString &text, Buttons buttons,
                                   Button)
{
    err << title << ": " << text << '\n';
    err.flush();
    return (buttons & No) ? No : Ok;
}

UserPrompts::Button CliRunner::linkPrompt(LinkPrompt which)
{
    // A port that has just come back may not be ours to open yet (its permissions are set a
    // moment after it appears): it is tried again until the reboot wait is over.
    if (awaitingReturn())
        return No;
    switch (which) {
    case LinkPrompt::PortBusy:
        fail(PortCheck::describe(PortCheck::Problem::InUse, portName));
        break;
    case LinkPrompt::PortNoPermission:
        fail(PortCheck::describe(PortCheck::Problem::NoPermission, portName));
        break;
    case LinkPrompt::DeviceUnplugged:
        err << "vexa7xx-cli: the device was disconnected\n";
        break;
    default:
        break;
    }
    err.flush();
    return No; // no answer after the resends: give up rather than wait forever
}

void CliRunner::notify(Icon, const QString &title, const QString &text, int)
{
    err << title << ": " << text << '\n';
}

// ---- console and syslog ----------------------------------------------------------------------

bool CliRunner::checkSysLogCodes()
{
    // The codes a firmware knows come with its group; an unsupported firmware is taken at its
    // word.
    if (group.isEmpty())
        return true;
    const auto codesOf = [this](const char *element) {
        QStringList codes;
        for (const QString &e : db->getFormElements(QLatin1String(element)))
            codes << e.mid(e.lastIndexOf(QLatin1Char(':')) + 1);
        return codes;
    };
    const QStringList levels = codesOf("levelDbgcomboBox");
    const QStringList sources = codesOf("sourceDbgComboBox");
    if (levels.isEmpty() || sources.isEmpty())
        return true;
    if (levels.contains(opts.level) && sources.contains(opts.source))
        return true;
    err << "vexa7xx-cli: this device takes LEVEL " << levels.join(QLatin1Char('|'))
        << " and SOURCE " << sources.join(QLatin1Char('|')) << '\n';
    fail(QStringLiteral("unknown debug level or source %1,%2").arg(opts.level, opts.source), 2);
    return false;
}

void CliRunner::startSession()
{
    if (done || session)
        return;
    session = true;
    link->setDeviceReady(true);
    if (opts.command == QLatin1String("console"))
        startConsole();
    else
        startSysLog();
}

void CliRunner::startSysLog()
{
    connect(link, &DeviceInterface::textLineReceived, this, [this](const QString &line) {
        if (done)
            return;
        out << line << '\n';
        out.flush();
    });
    const QString command = TextCmd::sysLog(opts.level, opts.source);
    if (!link->sendTextCmd(command))
        return fail(QStringLiteral("cannot send ") + command);
    if (!TextCmd::sysLogStreams(opts.level, opts.source))
        return finishWhenWritten(QStringLiteral("debug output switched off"));
    streaming = true;
    err << "streaming the debug output (" << command << "); Ctrl+C ends it\n";
    err.flush();
}

void CliRunner::finishWhenWritten(const QString &message)
{
    QSerialPort *port = link->serialPort();
    const auto check = [this, port, message] {
        if (done || port->bytesToWrite() > 0)
            return;
        err << message << '\n';
        succeed();
    };
    connect(port, &QSerialPort::bytesWritten, this, check);
    QTimer::singleShot(stopWriteWaitMs, this, [this, message] {
        fail(message + QStringLiteral(": the command did not leave the port in time"));
    });
    check();
}

bool CliRunner::interrupt()
{
    if (!opts.relay.isEmpty())
        return interruptRelay();
    if (done)
        return true;
    if (opts.command == QLatin1String("flash"))
        return interruptFlash();
    if (opts.command != QLatin1String("console") && opts.command != QLatin1String("syslog"))
        return false;
    interruptSession();
    return true;
}

void CliRunner::interruptSession()
{
    if (stopping)
        return fail(QStringLiteral("interrupted again; the device may still stream its log"));
    if (opts.command == QLatin1String("console") && session)
        return endConsole();
    stopping = true;
    if (opts.command == QLatin1String("syslog") && streaming)
        return switchDebugOutputOff();
    fail(QStringLiteral("interrupted"));
}

void CliRunner::startConsole()
{
    history = CommandHistory::loadEntries();
    connect(link, &DeviceInterface::textLineReceived, this, [this](const QString &line) {
        out << "< " << line << '\n';
        out.flush();
        if (quietTimer)
            quietTimer->start(consoleQuietMs);
    });
    connect(link, &DeviceInterface::frameReceived, this, &CliRunner::printFrame);
    err << "hex lines are command frames, lines starting with a letter text commands; "
           ":history, !N, :quit\n";
    err.flush();
    inputNotifier = new QSocketNotifier(inputFd, QSocketNotifier::Read, this);
    connect(inputNotifier, &QSocketNotifier::activated, this, &CliRunner::readInput);
}

void CliRunner::readInput()
{
    char chunk[4096];
    const ssize_t n = ::read(inputFd, chunk, sizeof chunk);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (n > 0)
        inputBuffer.append(chunk, int(n));
    int eol;
    while (!done && (eol = inputBuffer.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(inputBuffer.left(eol)).trimmed();
        inputBuffer.remove(0, eol + 1);
        consoleLine(line);
    }
    if (n <= 0 && !done) {
        // End of input: a last line without its line end still counts.
        inputNotifier->setEnabled(false);
        const QString last = QString::fromUtf8(inputBuffer).trimmed();
        inputBuffer.clear();
        if (!last.isEmpty())
            consoleLine(last);
        inputEnded = true;
        drainConsole();
    }
}

void CliRunner::consoleLine(const QString &typed)
{
    QString line = typed;
    if (line.isEmpty())
        return;
    if (line == QLatin1String(":quit") || line == QLatin1String(":q"))
        return endConsole();
    if (line == QLatin1String(":history")) {
        for (int i = 0; i < history.size(); ++i)
            out << (i + 1) << "  " << history.at(i) << '\n';
        out.flush();
        return;
    }
    if (line.startsWith(QLatin1Char('!'))) {
        bool ok = false;
        const int n = line.mid(1).toInt(&ok);
        if (!ok || n < 1 || n > history.size()) {
            err << "no history entry " << line.mid(1) << '\n';
            err.flush();
            return;
        }
        line = history.at(n - 1);
        err << line << '\n';
        err.flush();
    }
    if (line.at(0).isLetter()) {
        if (!link->sendTextCmd(line)) {
            err << "not sent: the link is not ready\n";
            err.flush();
        } else {
            static const QRegularExpression sysLog(
                QStringLiteral("^SYSLOG LEVEL=([A-Za-z]+),([A-Za-z]+)$"),
                QRegularExpression::CaseInsensitiveOption);
            const QRegularExpressionMatch m = sysLog.match(line);
            if (m.hasMatch())
                streaming =
                    TextCmd::sysLogStreams(m.captured(1).toUpper(), m.captured(2).toUpper());
        }
    } else {
        static const QRegularExpression hex(QStringLiteral("^([0-9a-fA-F]{2})+$"));
        const QString compact = QString(line).remove(QLatin1Char(' '));
        if (compact.size() < 4 || !hex.match(compact).hasMatch()) {
            err << "not a command: hex pairs (a 4-digit code, then data) or a text command\n";
            err.flush();
            return;
        }
        line = compact;
        ++answersAwaited;
        link->sendTerminalCmd(line);
    }
    history = CommandHistory::added(history, line);
    CommandHistory::save(history);
}

void CliRunner::printFrame(const QByteArray &frame)
{
    // start byte, length, port, payload, CRC
    const quint8 port = quint8(frame.at(3));
    const QByteArray payload = frame.mid(4, frame.size() - 8);
    if (port == 1 || payload.size() < 2) {
        out << "< port " << port << " data " << payload.toHex(' ') << '\n';
    } else {
        const quint16 code = quint16((quint8(payload.at(0)) << 8) | quint8(payload.at(1)));
        out << "< " << QString::number(code & ~Cmd::answerMark, 16) << " "
            << Cmd::nameOf(code & ~Cmd::answerMark) << " data "
            << (payload.size() > 2 ? payload.mid(2).toHex(' ') : QByteArray("-")) << '\n';
    }
    out << "  frame " << frame.toHex() << '\n';
    out.flush();
    if (answersAwaited > 0)
        --answersAwaited;
    if (quietTimer)
        quietTimer->start(consoleQuietMs);
    if (inputEnded)
        drainConsole();
}

void CliRunner::drainConsole()
{
    if (done)
        return;
    const auto finish = [this] { endConsole(); };
    if (!drainTimer) {
        // The answers to the last lines still count; a device that keeps streaming its log
        // must not hold the end up for ever.
        drainTimer = new QTimer(this);
        drainTimer->setSingleShot(true);
        connect(drainTimer, &QTimer::timeout, this, finish);
        drainTimer->start(consoleDrainMs);
        quietTimer = new QTimer(this);
        quietTimer->setSingleShot(true);
        connect(quietTimer, &QTimer::timeout, this, [this, finish] {
            if (answersAwaited == 0)
                finish();
        });
        quietTimer->start(consoleQuietMs);
    }
}

void CliRunner::endConsole()
{
    if (done || stopping)
        return;
    stopping = true;
    CommandHistory::save(history);
    // A device left streaming its log would stay so after the console: it is told to stop,
    // as the configurator does when its console is left.
    if (streaming)
        return switchDebugOutputOff();
    succeed();
}

void CliRunner::switchDebugOutputOff()
{
    streaming = false;
    if (!link->sendTextCmd(TextCmd::sysLogOff()))
        return fail(QStringLiteral("cannot switch the debug output off"));
    finishWhenWritten(QStringLiteral("debug output switched off"));
}
