#include "provisioner.h"

#include "configdocument.h"
#include "devicejournal.h"
#include "devicesession.h"
#include "firmwarestore.h"
#include "flashcommand.h"
#include "inforeadcommand.h"
#include "paramcatalogue.h"
#include "paramcodec.h"
#include "portcheck.h"
#include "portfinder.h"
#include "writecommand.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

struct Provisioner::Unit
{
    QString port;
    QString serial;
    QString devEui;
    QString firmware;
    QString firmwareBefore; // as the device was found
    int deviceId = 0;
    QDomDocument written; // the template with the device's keys
    QElapsedTimer clock;
    QString out;
    QString err;
    QTextStream os{&out};
    QTextStream es{&err};
    bool ended = false;
};

Provisioner::Provisioner(const Options &options, PortEnumerator *portEnumerator, QTextStream &o,
                         QTextStream &e, QObject *parent)
    : QObject(parent)
    , opts(options)
    , enumerator(portEnumerator)
    , out(o)
    , err(e)
{}

Provisioner::~Provisioner() = default;

QString Provisioner::bareEui(const QString &eui)
{
    QString bare;
    for (const QChar c : eui) {
        if (c.isLetterOrNumber())
            bare += c.toLower();
    }
    return bare;
}

namespace {
// The cells of one line of the table. A cell may be quoted ("..."), then it may hold the
// separator and "" for a quote; a quote left open, or one inside a bare cell, makes the line
// unreadable rather than silently another value.
bool splitCells(const QString &line, QChar separator, QStringList *cells, QString *why)
{
    QString cell;
    bool quoted = false;    // inside quotes
    bool wasQuoted = false; // the cell was a quoted one (only blanks may follow its end)
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c != QLatin1Char('"'))
                cell += c;
            else if (i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"'))
                cell += line.at(++i);
            else
                quoted = false;
        } else if (c == separator) {
            *cells << (wasQuoted ? cell : cell.trimmed());
            cell.clear();
            wasQuoted = false;
        } else if (c == QLatin1Char('"')) {
            if (wasQuoted || !cell.trimmed().isEmpty()) {
                *why = QStringLiteral("a quote inside a cell");
                return false;
            }
            cell.clear();
            quoted = wasQuoted = true;
        } else if (!wasQuoted || !c.isSpace()) {
            if (wasQuoted) {
                *why = QStringLiteral("text after a quoted cell");
                return false;
            }
            cell += c;
        }
    }
    if (quoted) {
        *why = QStringLiteral("a quote that is not closed");
        return false;
    }
    *cells << (wasQuoted ? cell : cell.trimmed());
    return true;
}
} // namespace

bool Provisioner::parseKeys(const QByteArray &text, Keys *k, QString *error)
{
    QStringList header;
    QChar separator;
    int lineNumber = 0;
    const auto refuse = [&](const QString &why) {
        *error = QStringLiteral("line %1 of the keys table: %2").arg(lineNumber).arg(why);
        return false;
    };
    QDomDocument scratch;
    for (const QByteArray &raw : text.split('\n')) {
        ++lineNumber;
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        // The header's separator is the table's.
        if (header.isEmpty())
            separator = line.contains(QLatin1Char(';')) ? QLatin1Char(';') : QLatin1Char(',');
        QStringList cells;
        QString why;
        if (!splitCells(line, separator, &cells, &why))
            return refuse(why);
        if (header.isEmpty()) {
            header = cells;
            for (QString &h : header)
                h = h.toLower();
            k->matchColumn =
                header.contains(QStringLiteral("serial_number")) ? QStringLiteral("serial_number")
                : header.contains(QStringLiteral("dev_eui"))     ? QStringLiteral("dev_eui")
                                                                 : QString();
            if (k->matchColumn.isEmpty()) {
                *error = QStringLiteral("the keys table needs a serial_number or dev_eui column");
                return false;
            }
            for (const QString &h : header) {
                if (h == k->matchColumn)
                    continue;
                if (!ParamCatalogue::writableByElement(h)) {
                    *error = QStringLiteral("the keys table's column %1 is no parameter that can "
                                            "be written")
                                 .arg(h);
                    return false;
                }
                k->columns << h;
            }
            continue;
        }
        if (cells.size() != header.size())
            return refuse(
                QStringLiteral("%1 cells, its header %2").arg(cells.size()).arg(header.size()));
        QString match;
        QStringList values;
        for (int i = 0; i < header.size(); ++i) {
            const QString &column = header.at(i);
            if (column == k->matchColumn) {
                match = column == QLatin1String("dev_eui") ? bareEui(cells.at(i)) : cells.at(i);
                continue;
            }
            // Keys are hex: the separators people write them with go. What is left is encoded
            // as the device will get it now, so that no batch stops half-way at a bad key.
            const QString value = bareEui(cells.at(i));
            QDomElement e = scratch.createElement(column);
            e.setAttribute(QStringLiteral("param"), value);
            const QString bad =
                ParamCodec::checkElement(*ParamCatalogue::writableByElement(column), e);
            if (!bad.isEmpty())
                return refuse(QStringLiteral("%1 \"%2\": %3").arg(column, cells.at(i), bad));
            values << value;
        }
        if (match.isEmpty() || k->rows.contains(match))
            return refuse(QStringLiteral("%1 %2").arg(
                k->matchColumn, match.isEmpty() ? QStringLiteral("is empty")
                                                : match + QStringLiteral(" is listed twice")));
        k->rows.insert(match, values);
    }
    if (header.isEmpty()) {
        *error = QStringLiteral("the keys table is empty");
        return false;
    }
    return true;
}

void Provisioner::loadReport()
{
    QFile report(opts.reportFile);
    if (!report.open(QIODevice::ReadOnly))
        return; // a first run
    for (const QByteArray &line : report.readAll().split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.value(QStringLiteral("result")).toString() == QLatin1String("ok"))
            doneSerials.insert(o.value(QStringLiteral("serial")).toString());
    }
}

void Provisioner::start()
{
    const auto unusable = [this](const QString &message) {
        err << "vexa7xx-cli: " << message << '\n';
        err.flush();
        QTimer::singleShot(0, this, [this] { emit finished(ExitCode::Usage); });
    };
    // Every file is checked before any device is touched: a batch stopped half-way by a typo
    // is worse than one that never started.
    // The template carries keys for every device unless the table has the device's own.
    DeviceSession::FileToWrite templ;
    QString problem;
    const bool loaded = DeviceSession::loadFileToWrite(opts.templateFile, true, &templ, &problem);
    if (!templ.refused.isEmpty())
        return unusable(QStringLiteral("%1 holds values that cannot be written: %2")
                            .arg(opts.templateFile, templ.refused.join(QStringLiteral(", "))));
    if (!loaded)
        return unusable(problem);
    templateDoc = templ.doc;
    if (!opts.keysFile.isEmpty()) {
        QFile keysFile(opts.keysFile);
        QString error;
        if (!keysFile.open(QIODevice::ReadOnly))
            return unusable(QStringLiteral("cannot read ") + opts.keysFile);
        if (!parseKeys(keysFile.readAll(), &keys, &error))
            return unusable(opts.keysFile + QStringLiteral(": ") + error);
    }
    if (!opts.firmwareFile.isEmpty()) {
        QFile image(opts.firmwareFile);
        if (!image.open(QIODevice::ReadOnly))
            return unusable(QStringLiteral("cannot read ") + opts.firmwareFile);
        const FirmwareStore::Header h = FirmwareStore::parseHeader(image.read(64));
        if (!h.valid)
            return unusable(opts.firmwareFile + QStringLiteral(" has no firmware header"));
        imageVersion = h.version;
        imageDeviceId = h.deviceId;
    }
    if (!opts.reportFile.isEmpty())
        loadReport();
    if (!workDir.isValid())
        return unusable(QStringLiteral("no folder for the files to write"));

    QStringList ports;
    if (opts.ports.isEmpty() || opts.ports == QLatin1String("all")) {
        for (const PortInfo &p : PortFinder(enumerator).devices())
            ports << PortCheck::location(p.portName);
    } else {
        for (const QString &p : opts.ports.split(QLatin1Char(','), Qt::SkipEmptyParts))
            ports << PortCheck::location(p.trimmed());
    }
    ports.removeDuplicates();
    if (ports.isEmpty()) {
        err << "vexa7xx-cli: no device found (plug them in, or name their ports with --ports)\n";
        err.flush();
        QTimer::singleShot(0, this, [this] { emit finished(ExitCode::Failed); });
        return;
    }
    err << "provisioning " << ports.size() << " device(s)\n";
    err.flush();
    for (const QString &port : ports) {
        units.push_back(std::make_unique<Unit>());
        Unit &u = *units.back();
        u.port = port;
        u.clock.start();
        ++running;
        runStep(u,
                new InfoReadCommand(stepOptions(u, QStringLiteral("info")), enumerator, u.os, u.es,
                                    this),
                [this](Unit &unit, const Step &step, int code) { identified(unit, step, code); });
    }
}

CliOptions Provisioner::stepOptions(const Unit &u, const QString &command) const
{
    CliOptions o;
    o.command = command;
    o.port = u.port;
    o.json = true;
    o.yes = true;
    return o;
}

void Provisioner::runStep(Unit &u, CliCommand *step,
                          std::function<void(Unit &, const Step &, int)> then)
{
    u.out.clear();
    u.err.clear();
    step->setJournal(journal);
    // Queued: a step may end inside start(), and is deleted only once it has returned.
    connect(
        step, &CliCommand::finished, this,
        [step, &u, then](int code) {
            u.os.flush();
            u.es.flush();
            Step left;
            left.error = step->error();
            left.where = step->where();
            const DeviceIdentity &device = step->identity();
            left.serial = device.serialNumber;
            left.devEui = device.devEui;
            left.deviceId = device.devId;
            left.firmware = device.firmware;
            if (auto *flash = qobject_cast<FlashCommand *>(step))
                left.firmware = flash->runningVersion();
            if (auto *write = qobject_cast<WriteCommand *>(step))
                left.missing = write->notOnDevice();
            delete step; // its port is closed before the next step opens it
            then(u, left, code);
        },
        Qt::QueuedConnection);
    step->start();
}

QString Provisioner::stepError(const Step &step, const QString &fallback)
{
    return step.error.isEmpty() ? fallback : step.error;
}

void Provisioner::identified(Unit &u, const Step &step, int code)
{
    if (code != 0)
        return finishUnit(u, stepError(step, QStringLiteral("the device was not identified")));
    u.serial = step.serial;
    u.devEui = step.devEui;
    u.firmware = u.firmwareBefore = step.firmware;
    u.deviceId = step.deviceId;
    if (doneSerials.contains(u.serial)) {
        out << u.serial << "  " << u.devEui << "  " << u.firmware << "  skipped: done already ("
            << opts.reportFile << ")\n";
        out.flush();
        u.ended = true;
        if (--running == 0)
            emit finished(failures > 0 ? 1 : 0);
        return;
    }
    if (!opts.keysFile.isEmpty()) {
        const QString match =
            keys.matchColumn == QLatin1String("dev_eui") ? bareEui(u.devEui) : u.serial;
        if (!keys.rows.contains(match))
            return finishUnit(u, QStringLiteral("no keys for %1 %2 in %3")
                                     .arg(keys.matchColumn, match, opts.keysFile));
    }
    // An image the device runs already is not sent again.
    if (!opts.firmwareFile.isEmpty() &&
        (imageDeviceId != u.deviceId || imageVersion != u.firmware)) {
        err << u.serial << ": flashing " << opts.firmwareFile << '\n';
        err.flush();
        CliOptions o = stepOptions(u, QStringLiteral("flash"));
        o.file = opts.firmwareFile;
        return runStep(
            u, new FlashCommand(o, enumerator, u.os, u.es, this),
            [this](Unit &unit, const Step &flash, int result) { flashed(unit, flash, result); });
    }
    startWrite(u);
}

void Provisioner::flashed(Unit &u, const Step &step, int code)
{
    if (code != 0)
        return finishUnit(u, stepError(step, QStringLiteral("the flash failed")));
    // The device may have come back on another port.
    if (!step.where.isEmpty())
        u.port = step.where;
    if (!step.firmware.isEmpty())
        u.firmware = step.firmware;
    startWrite(u);
}

void Provisioner::startWrite(Unit &u)
{
    QDomDocument doc = templateDoc.cloneNode(true).toDocument();
    if (!opts.keysFile.isEmpty()) {
        const QString match =
            keys.matchColumn == QLatin1String("dev_eui") ? bareEui(u.devEui) : u.serial;
        const QStringList values = keys.rows.value(match);
        for (int i = 0; i < keys.columns.size(); ++i) {
            ConfigDocument::deleteElement(doc, keys.columns.at(i));
            ConfigDocument::addElement(doc, keys.columns.at(i),
                                       {{QStringLiteral("param"), values.value(i)}});
        }
    }
    const QString file =
        workDir.filePath(QStringLiteral("device-%1.xml")
                             .arg(u.serial.isEmpty() ? QString::number(quintptr(&u)) : u.serial));
    // Named in messages as what it is made of: the file itself is gone after the batch.
    const QString shownAs = opts.keysFile.isEmpty()
                                ? opts.templateFile
                                : QStringLiteral("%1 with the keys of %2 from %3")
                                      .arg(opts.templateFile, u.serial, opts.keysFile);
    u.written = doc;
    if (!ConfigDocument::save(doc, file))
        return finishUnit(
            u, QStringLiteral("cannot write the values of %1 to a temporary folder").arg(shownAs));
    // Through the file, so the file check applies to the keys of the table as to any file.
    CliOptions o = stepOptions(u, QStringLiteral("write"));
    o.file = file;
    o.fileShownAs = shownAs;
    o.withKeys = true;
    o.verify = opts.verify;
    runStep(u, new WriteCommand(o, enumerator, u.os, u.es, this),
            [this](Unit &unit, const Step &step, int code) { written(unit, step, code); });
}

void Provisioner::written(Unit &u, const Step &step, int code)
{
    if (code == 0)
        return finishUnit(u, QString());
    // Which values are not on the device, by name.
    const QStringList &missing = step.missing;
    finishUnit(u, stepError(step, QStringLiteral("the write failed")),
               missing.join(QStringLiteral(", ")));
}

void Provisioner::finishUnit(Unit &u, const QString &error, const QString &details)
{
    if (u.ended)
        return;
    u.ended = true;
    const double seconds = u.clock.elapsed() / 1000.0;
    const bool ok = error.isEmpty();
    if (!ok)
        ++failures;
    record(u, error);
    out << (u.serial.isEmpty() ? u.port : u.serial) << "  " << u.devEui << "  " << u.firmware
        << "  " << (ok ? "ok" : "failed") << "  " << QString::number(seconds, 'f', 1) << " s"
        << (ok ? QString() : QStringLiteral("  ") + error) << '\n';
    out.flush();
    if (!opts.reportFile.isEmpty()) {
        QJsonObject line{
            {QStringLiteral("port"), u.port},
            {QStringLiteral("serial"), u.serial},
            {QStringLiteral("devEui"), u.devEui},
            {QStringLiteral("firmware"), u.firmware},
            {QStringLiteral("result"), ok ? QStringLiteral("ok") : QStringLiteral("failed")},
            {QStringLiteral("duration"), seconds}};
        if (!ok)
            line.insert(QStringLiteral("error"), error);
        if (!details.isEmpty())
            line.insert(QStringLiteral("notOnDevice"), details);
        QFile report(opts.reportFile);
        // One whole line per device, appended as each ends: a batch cut short keeps what it did.
        if (!report.open(QIODevice::WriteOnly | QIODevice::Append) ||
            report.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n') < 0) {
            err << "vexa7xx-cli: cannot write the report " << opts.reportFile << '\n';
            err.flush();
            ++failures;
        }
    }
    if (--running == 0)
        emit finished(failures > 0 ? 1 : 0);
}

void Provisioner::record(const Unit &u, const QString &error)
{
    if (!journal || u.serial.isEmpty())
        return;
    JournalRecord r;
    r.kind = JournalRecord::Kind::Provision;
    r.model = QString::number(DeviceIdentity::modelOf(quint16(u.deviceId)));
    r.revision = QString::number(DeviceIdentity::revisionOf(quint16(u.deviceId)));
    r.serial = u.serial;
    r.devEui = u.devEui;
    r.firmwareBefore = u.firmwareBefore;
    r.firmwareAfter = u.firmware;
    r.path = QStringLiteral("usb ") + u.port;
    // What the batch gave the device (the journal keeps only fingerprints of its keys); the
    // write's own job beside it says what it held before.
    for (QDomElement e = u.written.documentElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement()) {
        const ParamCatalogue::Param *p = ParamCatalogue::writableByElement(e.tagName());
        if (!p)
            continue;
        JournalRecord::Change c;
        c.element = e.tagName();
        c.newValue = ParamCodec::valueTextOf(*p, e);
        r.changes << c;
    }
    if (!error.isEmpty()) {
        r.result = JournalRecord::Result::Failed;
        r.reason = error;
    }
    journal->record(r);
}
