#include "showcommand.h"

#include "configwords.h"
#include "db_worker.h"
#include "devicesession.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {
// Columns as wide as their widest entry, up to this, so that one long value does not push
// every row across the screen.
constexpr int maxColumnWidth = 40;

QString padded(const QString &text, int width)
{
    return text.leftJustified(width, QLatin1Char(' '));
}
} // namespace

void ShowCommand::start()
{
    const bool diff = opts.command == QLatin1String("diff");
    if (!opts.file.isEmpty() && !load(opts.file, &fileDoc))
        return;
    if (diff && !opts.file2.isEmpty()) {
        QDomDocument second;
        if (!load(opts.file2, &second))
            return;
        printDifferences(fileDoc, second, fileVocabulary(second), false);
        return succeed();
    }
    if (!diff && !opts.file.isEmpty()) {
        printTable(fileDoc, fileVocabulary(fileDoc));
        return succeed();
    }
    connectDevice();
}

bool ShowCommand::load(const QString &path, QDomDocument *doc)
{
    QStringList refused;
    QString error;
    if (!ConfigDocument::loadFile(path, doc, &refused, &error)) {
        fail(error);
        return false;
    }
    for (const QString &r : refused)
        err << "refused (not shown): " << r << '\n';
    return true;
}

ParamValue::Vocabulary ShowCommand::fileVocabulary(const QDomDocument &doc)
{
    DB_Worker db;
    if (!db.checkDb()) {
        err << "vexa7xx-cli: " << DB_Worker::databasePath()
            << " cannot be read; choices are shown as their codes\n";
        return ParamValue::Vocabulary();
    }
    const quint16 devId = quint16(ConfigDocument::param(doc, QStringLiteral("dev_id")).toUInt());
    return vocabulary(db, ConfigDocument::param(doc, QStringLiteral("fw_ver")), devId);
}

void ShowCommand::identified(const DeviceIdentity &d)
{
    const QString fileDevId = ConfigDocument::param(fileDoc, QStringLiteral("dev_id"));
    if (session->group().isEmpty())
        fail(QStringLiteral("firmware %1 of %2 is not supported by this configurator")
                 .arg(d.firmware, d.shownName()));
    else if (!fileDevId.isEmpty() && fileDevId != QString::number(d.devId))
        fail(QStringLiteral("%1 is for device ID %2, the device is %3")
                 .arg(opts.file, fileDevId)
                 .arg(d.devId));
}

void ShowCommand::readDone(const QDomDocument &doc)
{
    if (done)
        return;
    endProgress();
    const ParamValue::Vocabulary v = deviceVocabulary();
    if (opts.command == QLatin1String("diff"))
        printDifferences(doc, fileDoc, v, true);
    else
        printTable(doc, v);
    succeed();
}

void ShowCommand::printTable(const QDomDocument &doc, const ParamValue::Vocabulary &v)
{
    const QList<ConfigWords::Row> rows = ConfigWords::rows(doc, language(), v, opts.withKeys);
    if (opts.json) {
        QJsonArray list;
        for (const ConfigWords::Row &r : rows) {
            QJsonObject o{{QStringLiteral("element"), r.element},
                          {QStringLiteral("label"), r.label}};
            if (r.masked) {
                o.insert(QStringLiteral("masked"), true);
            } else {
                o.insert(QStringLiteral("hex"), r.hex);
                o.insert(QStringLiteral("human"), r.value);
            }
            list.append(o);
        }
        out << QJsonDocument(list).toJson(QJsonDocument::Compact) << '\n';
        return;
    }
    int nameWidth = 0;
    int labelWidth = 0;
    int valueWidth = 0;
    for (const ConfigWords::Row &r : rows) {
        nameWidth = std::max(nameWidth, int(r.element.size()));
        labelWidth = std::min(maxColumnWidth, std::max(labelWidth, int(r.label.size())));
        valueWidth = std::min(maxColumnWidth, std::max(valueWidth, int(r.value.size())));
    }
    for (const ConfigWords::Row &r : rows)
        out << padded(r.element, nameWidth) << "  " << padded(r.label, labelWidth) << "  "
            << padded(r.value, valueWidth) << "  " << r.hex << '\n';
    if (std::any_of(rows.begin(), rows.end(), [](const ConfigWords::Row &r) { return r.masked; }))
        err << "keys are masked; --with-keys shows them\n";
}

void ShowCommand::printDifferences(const QDomDocument &before, const QDomDocument &after,
                                   const ParamValue::Vocabulary &v, bool onlyAfter)
{
    const QList<ConfigWords::Difference> list = ConfigWords::differences(
        before, after, onlyAfter ? ConfigWords::Scope::AfterOnly : ConfigWords::Scope::Both,
        language(), v, opts.withKeys);
    if (list.isEmpty()) {
        err << "no differences\n";
        return;
    }
    int nameWidth = 0;
    int labelWidth = 0;
    for (const ConfigWords::Difference &d : list) {
        nameWidth = std::max(nameWidth, int(d.element.size()));
        labelWidth = std::min(maxColumnWidth, std::max(labelWidth, int(d.label.size())));
    }
    for (const ConfigWords::Difference &d : list) {
        out << padded(d.element, nameWidth) << "  " << padded(d.label, labelWidth) << "  "
            << (d.secret ? QStringLiteral("differs (--with-keys shows it)") : ConfigWords::change(d))
            << '\n';
    }
}
