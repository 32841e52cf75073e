#include "writecommand.h"

#include "configwords.h"
#include "deviceinterface.h"
#include "devicesession.h"
#include "packparser.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

void WriteCommand::start()
{
    // A file that will be refused costs the device nothing: it is looked at first.
    if (!prepare())
        return;
    connectDevice();
    if (!session)
        return;
    connect(session, &DeviceSession::writeStopped, this, &WriteCommand::writeStopped);
    // The session waits for the reboot that ends a write; a refusal is the device's last word.
    connect(session->link()->packParser(), &PackParser::rebootAnswer, this, [this](uchar code) {
        if (code != 0 && session->isWriting())
            fail(QStringLiteral("the device took the values but refused to reboot (result %1); "
                                "they take effect when it restarts")
                     .arg(code));
    });
    connect(session, &DeviceSession::writeFinished, this, [this] {
        if (done)
            return;
        endProgress();
        finishWrite();
    });
    connect(session, &DeviceSession::phaseChanged, this, [this](DeviceSession::Phase phase) {
        if (phase != DeviceSession::Phase::Rebooting)
            return;
        endProgress();
        err << "written; the device reboots; waiting for it to come back to read it again\n";
        err.flush();
    });
}

bool WriteCommand::prepare()
{
    DeviceSession::FileToWrite file;
    QString error;
    if (!DeviceSession::loadFileToWrite(opts.file, opts.withKeys, &file, &error)) {
        fail(error.replace(opts.file, opts.shownFile()));
        return false;
    }
    fileDoc = file.doc;
    fileDevId = file.devId;
    fileRefused = file.refused;
    for (const QString &r : fileRefused)
        err << "refused (not written): " << r << '\n';
    if (DeviceSession::hasWritable(fileDoc))
        return true;
    fail(QStringLiteral("nothing of %1 can be written").arg(opts.shownFile()));
    return false;
}

void WriteCommand::identified(const DeviceIdentity &d)
{
    if (session->group().isEmpty())
        return fail(QStringLiteral("firmware %1 of %2 is not supported by this configurator")
                        .arg(d.firmware, d.shownName()));
    // Told before the whole configuration is read for nothing.
    if (fileDevId != QString::number(d.devId))
        fail(QStringLiteral("%1 is for device ID %2, the device is %3")
                 .arg(opts.shownFile(), fileDevId)
                 .arg(d.devId));
}

void WriteCommand::readDone(const QDomDocument &doc)
{
    if (done)
        return;
    endProgress();
    const DeviceSession::Pending pending =
        DeviceSession::dropValuesOnDevice(fileDoc, doc, opts.all);
    unchanged = pending.unchanged;
    if (pending.count == 0) {
        err << "the device already holds every " << (fileRefused.isEmpty() ? "" : "accepted ")
            << "value of " << opts.shownFile() << "; nothing written\n";
        return finishWrite();
    }
    if (!unchanged.isEmpty())
        err << unchanged.size()
            << " parameter(s) already hold the file's value and are not written\n";
    const DeviceIdentity &d = session->identity();
    if (!opts.yes && !confirm(QStringLiteral("Write %1 parameter(s) to %2 %3 and reboot it?")
                                  .arg(pending.count)
                                  .arg(d.shownName(), d.serialNumber)))
        return fail(QStringLiteral("cancelled"));
    session->write(fileDoc, opts.verify);
}

void WriteCommand::writeStopped(const ConfigExchange::WriteReport &r)
{
    using Stop = ConfigExchange::WriteReport::Stop;
    endProgress();
    err << "vexa7xx-cli: "
        << (r.stop == Stop::Refused      ? "the device refused " + r.notWritten.value(0)
            : r.stop == Stop::DeviceLost ? QStringLiteral("the device went away during the write")
            : r.stop == Stop::Unreadable
                ? QStringLiteral("the configuration to write could not be parsed; nothing was sent")
                : QStringLiteral("the device stopped answering during the write"))
        << '\n';
    // What was written and what was not follows as the write ends (finishWrite).
}

void WriteCommand::finishWrite()
{
    if (done)
        return;
    using Stop = ConfigExchange::WriteReport::Stop;
    const bool writing = session->isWriting();
    const ConfigExchange::WriteReport r =
        writing ? session->writeReport() : ConfigExchange::WriteReport();
    const QList<ConfigDocument::Mismatch> &mismatches = session->mismatches();
    QStringList refused = fileRefused;
    refused << r.skipped;
    for (const QString &skipped : r.skipped)
        err << "refused (not written): " << skipped << '\n';
    // The value the device refused was sent: it is refused, with the device's word for why,
    // and "notWritten" keeps the values never sent.
    QStringList notWritten = r.notWritten;
    if (r.stop == Stop::Refused && !notWritten.isEmpty())
        refused << notWritten.takeFirst() +
                       QStringLiteral(": the device refused it (result %1)").arg(r.refusedResult);
    QJsonObject json;
    reportVerify(&json);
    QJsonArray refusedList;
    missing = notWritten;
    for (const QString &entry : refused) {
        const int colon = entry.indexOf(QLatin1String(": "));
        refusedList.append(QJsonObject{{QStringLiteral("name"), entry.left(colon)},
                                       {QStringLiteral("reason"), entry.mid(colon + 2)}});
        missing << entry.left(colon);
    }
    for (const ConfigDocument::Mismatch &m : mismatches)
        missing << m.name;
    if (opts.json) {
        json.insert(QStringLiteral("applied"), QJsonArray::fromStringList(r.written));
        json.insert(QStringLiteral("unchanged"), QJsonArray::fromStringList(unchanged));
        json.insert(QStringLiteral("refused"), refusedList);
        json.insert(QStringLiteral("notWritten"), QJsonArray::fromStringList(notWritten));
        out << QJsonDocument(json).toJson(QJsonDocument::Compact) << '\n';
    }
    // One rule for every way a write ends: 0 when every value of the file is on the device
    // (read back as written, with --verify), 3 when some are, 1 when none is. On the device are
    // the values it held already and those it acknowledged, less those read back otherwise.
    const int onDevice = int(unchanged.size() + r.written.size() - mismatches.size());
    if (missing.isEmpty() && r.stop != Stop::Unreadable) {
        if (writing && !session->verified())
            err << "written; the device reboots\n";
        return succeed();
    }
    if (!opts.json)
        reportNotWhole(r.written, mismatches);
    if (onDevice <= 0)
        return fail(QStringLiteral("no value of %1 is on the device").arg(opts.shownFile()),
                    ExitCode::Failed);
    fail(QStringLiteral("%1 was applied in part").arg(opts.shownFile()), PartlyApplied);
}

void WriteCommand::reportVerify(QJsonObject *json)
{
    if (!session->verified())
        return;
    const QList<ConfigDocument::Mismatch> &mismatches = session->mismatches();
    const int names = session->verifiedNames().size();
    QJsonArray list;
    const ParamValue::Vocabulary v = mismatches.isEmpty() ? ParamValue::Vocabulary()
                                                          : deviceVocabulary();
    for (const ConfigDocument::Mismatch &m : mismatches) {
        const auto words = [&](const QString &hex) {
            return ConfigWords::valueOfWire(m.name, hex, ParamLabels::Lang::English, v);
        };
        err << "mismatch: " << m.name << " written " << words(m.written) << ", read back "
            << (m.read.isEmpty() ? QStringLiteral("nothing") : words(m.read)) << '\n';
        list.append(QJsonObject{{QStringLiteral("name"), m.name},
                                {QStringLiteral("written"), m.written},
                                {QStringLiteral("read"), m.read},
                                {QStringLiteral("writtenHuman"), words(m.written)},
                                {QStringLiteral("readHuman"),
                                 m.read.isEmpty() ? QString() : words(m.read)}});
    }
    if (mismatches.isEmpty())
        err << "written and verified: " << names << " value(s) read back as written\n";
    else
        err << mismatches.size() << " of " << names << " written value(s) read back differently\n";
    json->insert(QStringLiteral("verified"), mismatches.isEmpty());
    json->insert(QStringLiteral("mismatches"), list);
}

void WriteCommand::reportNotWhole(const QStringList &acknowledged,
                                  const QList<ConfigDocument::Mismatch> &mismatches)
{
    // Stored: what the device acknowledged, less what it reads back otherwise.
    QStringList written = acknowledged;
    for (const ConfigDocument::Mismatch &m : mismatches)
        written.removeAll(m.name);
    // Each with the value it was to have, in words.
    const ParamValue::Vocabulary v = deviceVocabulary();
    const auto names = [&](const QStringList &list) {
        QStringList named;
        for (const QString &name : list) {
            const QDomElement e = fileDoc.documentElement().firstChildElement(name);
            named << (e.isNull() ? name
                                 : name + QStringLiteral(" = ") +
                                       ConfigWords::valueOf(e, ParamLabels::Lang::English, v));
        }
        return list.isEmpty() ? QStringLiteral("nothing") : named.join(QStringLiteral(", "));
    };
    err << "written: " << names(written);
    if (!unchanged.isEmpty())
        err << "; held already: " << names(unchanged);
    err << "; not written: " << names(missing) << '\n';
}
