#include "historycommand.h"

#include "configwords.h"
#include "db_worker.h"
#include "devicejournal.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
// A CSV field: quoted when it holds a separator, a quote or a line break.
QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

QString csvLine(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &f : fields)
        quoted << csvField(f);
    return quoted.join(QLatin1Char(',')) + QLatin1Char('\n');
}

QString timeText(const QDateTime &t)
{
    return t.toUTC().toString(Qt::ISODate);
}

quint16 devIdOf(const JournalRecord &r)
{
    return DeviceIdentity::idOf(r.model.toInt(), r.revision.toInt());
}
} // namespace

void HistoryCommand::start()
{
    if (!journal)
        return fail(QStringLiteral("the device journal is off (Journal/Enabled in settings.conf)"));
    if (opts.provisioned) {
        printProvisioned();
        return;
    }
    QString error;
    const QList<JournalRecord> jobs =
        journal->jobs(opts.serial, CliOptions::moment(opts.since), &error);
    if (!error.isEmpty() && jobs.isEmpty())
        return fail(QStringLiteral("the journal cannot be read: ") + error);
    if (!error.isEmpty())
        err << "vexa7xx-cli: the shared journal cannot be read (" << error
            << "); showing what waits in the local journal\n";
    printJobs(jobs);
    succeed();
}

QString HistoryCommand::words(const JournalRecord &job, const QString &element, const QString &hex)
{
    if (!db) {
        db = new DB_Worker(this);
        if (!db->checkDb())
            err << "vexa7xx-cli: devices.db cannot be read; choices are shown as their codes\n";
    }
    const QString key = job.firmwareBefore + QLatin1Char('/') + QString::number(devIdOf(job));
    auto it = vocabularies.find(key);
    if (it == vocabularies.end())
        it = vocabularies.insert(key, vocabulary(*db, job.firmwareBefore, devIdOf(job)));
    return ConfigWords::valueOfWire(element, hex, language(), *it);
}

void HistoryCommand::printJobs(const QList<JournalRecord> &jobs)
{
    QJsonArray list;
    if (opts.csv)
        out << csvLine({QStringLiteral("id"), QStringLiteral("time"), QStringLiteral("station"),
                        QStringLiteral("user"), QStringLiteral("job"), QStringLiteral("result"),
                        QStringLiteral("serial"), QStringLiteral("dev_eui"),
                        QStringLiteral("model"), QStringLiteral("firmware_before"),
                        QStringLiteral("firmware_after"), QStringLiteral("path"),
                        QStringLiteral("changes"), QStringLiteral("reason")});
    for (const JournalRecord &j : jobs) {
        const bool verify = j.kind == JournalRecord::Kind::Verify;
        QStringList changeLines;
        QJsonArray changes;
        for (const JournalRecord::Change &c : j.changes) {
            // A secret is kept as a fingerprint only: that it changed is all there is to say.
            const QString before = c.secret ? QString() : words(j, c.element, c.oldValue);
            const QString after = c.secret ? QString() : words(j, c.element, c.newValue);
            const QString line =
                c.secret ? QStringLiteral("%1 changed").arg(c.element)
                : verify ? QStringLiteral("%1 written %2, read back %3").arg(c.element, before, after)
                         : QStringLiteral("%1: %2 → %3")
                               .arg(c.element, before.isEmpty() ? QStringLiteral("—") : before,
                                    after.isEmpty() ? QStringLiteral("—") : after);
            changeLines << line;
            QJsonObject o{{QStringLiteral("element"), c.element},
                          {QStringLiteral("secret"), c.secret}};
            if (!c.secret) {
                o.insert(QStringLiteral("old"), c.oldValue);
                o.insert(QStringLiteral("new"), c.newValue);
                o.insert(QStringLiteral("oldHuman"), before);
                o.insert(QStringLiteral("newHuman"), after);
            }
            changes.append(o);
        }
        const QString device = QStringLiteral("Vexa%1").arg(j.model);
        const QString firmware = j.firmwareAfter == j.firmwareBefore
                                     ? j.firmwareBefore
                                     : j.firmwareBefore + QStringLiteral(" → ") + j.firmwareAfter;
        if (opts.json) {
            list.append(QJsonObject{
                {QStringLiteral("id"), j.id},
                {QStringLiteral("uid"), j.uid},
                {QStringLiteral("pending"), j.pending},
                {QStringLiteral("time"), timeText(j.time)},
                {QStringLiteral("station"), j.station},
                {QStringLiteral("user"), j.user},
                {QStringLiteral("job"), JournalRecord::kindName(j.kind)},
                {QStringLiteral("result"), JournalRecord::resultName(j.result)},
                {QStringLiteral("reason"), j.reason},
                {QStringLiteral("model"), device},
                {QStringLiteral("revision"), j.revision.toInt()},
                {QStringLiteral("serial"), j.serial},
                {QStringLiteral("devEui"), j.devEui},
                {QStringLiteral("firmwareBefore"), j.firmwareBefore},
                {QStringLiteral("firmwareAfter"), j.firmwareAfter},
                {QStringLiteral("path"), j.path},
                {QStringLiteral("changes"), changes}});
        } else if (opts.csv) {
            out << csvLine({QString::number(j.id), timeText(j.time), j.station, j.user,
                            JournalRecord::kindName(j.kind), JournalRecord::resultName(j.result),
                            j.serial, j.devEui, device, j.firmwareBefore, j.firmwareAfter, j.path,
                            changeLines.join(QStringLiteral("; ")), j.reason});
        } else {
            out << '#' << (j.pending ? QStringLiteral("%1 (not sent yet)").arg(-j.id)
                                     : QString::number(j.id))
                << "  " << j.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                << "  " << JournalRecord::kindName(j.kind) << "  "
                << JournalRecord::resultName(j.result)
                << (j.reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(j.reason)) << '\n'
                << "    " << device << " SN " << j.serial << ", firmware " << firmware << ", "
                << j.path << ", " << j.user << '@' << j.station << '\n';
            for (const QString &line : changeLines)
                out << "    " << line << '\n';
        }
    }
    if (opts.json)
        out << QJsonDocument(list).toJson(QJsonDocument::Compact) << '\n';
    else if (jobs.isEmpty() && !opts.csv)
        err << "no jobs in the journal" << (opts.serial.isEmpty() ? "" : " for ") << opts.serial
            << '\n';
}

void HistoryCommand::printProvisioned()
{
    QString error;
    const QList<ProvisionedDevice> devices =
        journal->provisioned(CliOptions::moment(opts.since), &error);
    if (!error.isEmpty() && devices.isEmpty())
        return fail(QStringLiteral("the journal cannot be read: ") + error);
    QJsonArray list;
    if (opts.csv)
        out << csvLine({QStringLiteral("serial"), QStringLiteral("dev_eui"),
                        QStringLiteral("join_eui"), QStringLiteral("model"),
                        QStringLiteral("firmware"), QStringLiteral("time")});
    for (const ProvisionedDevice &d : devices) {
        const QString model = QStringLiteral("Vexa%1").arg(d.model);
        if (opts.csv)
            out << csvLine({d.serial, d.devEui, d.joinEui, model, d.firmware, timeText(d.time)});
        else if (opts.json)
            list.append(QJsonObject{{QStringLiteral("serial"), d.serial},
                                    {QStringLiteral("devEui"), d.devEui},
                                    {QStringLiteral("joinEui"), d.joinEui},
                                    {QStringLiteral("model"), model},
                                    {QStringLiteral("firmware"), d.firmware},
                                    {QStringLiteral("time"), timeText(d.time)}});
        else
            out << d.serial << "  " << d.devEui << "  " << d.joinEui << "  " << model << "  "
                << d.firmware << "  " << timeText(d.time) << '\n';
    }
    if (opts.json)
        out << QJsonDocument(list).toJson(QJsonDocument::Compact) << '\n';
    succeed();
}
