#include "setcommand.h"

#include "configwords.h"
#include "devicesession.h"
#include "jobrecorder.h"
#include "paramcatalogue.h"

#include <utility>

namespace {
const QString paramAttr = QStringLiteral("param");

// Every name set takes: the elements a document may write, and the fields of composite ones.
QStringList settableNames()
{
    QStringList names;
    for (const ParamCatalogue::Param &p : ParamCatalogue::all()) {
        if (p.kind == ParamCatalogue::Kind::ReadOnly)
            continue;
        names << QString::fromLatin1(p.element);
        for (const ParamCatalogue::Field &f : p.fields)
            names << QString::fromLatin1(f.name);
    }
    return names;
}
} // namespace

bool SetCommand::resolve(Assignment *a, QString *error) const
{
    if ((a->param = ParamCatalogue::writableByElement(a->name))) {
        if (a->param->kind == ParamCatalogue::Kind::Composite) {
            QStringList fields;
            for (const ParamCatalogue::Field &f : a->param->fields)
                fields << QString::fromLatin1(f.name);
            *error = QStringLiteral("%1 has fields, set them one by one: %2")
                         .arg(a->name, fields.join(QStringLiteral(", ")));
            return false;
        }
        a->attribute = paramAttr;
        return true;
    }
    for (const ParamCatalogue::Param &p : ParamCatalogue::all()) {
        for (const ParamCatalogue::Field &f : p.fields) {
            if (a->name == QLatin1String(f.name)) {
                a->param = &p;
                a->attribute = a->name;
                return true;
            }
        }
    }
    if (ParamCatalogue::byElement(a->name) || ConfigDocument::isIdentity(a->name)) {
        *error = QStringLiteral("%1 is a fact of the device and is not set").arg(a->name);
        return false;
    }
    const QString near = CliOptions::nearest(a->name, settableNames());
    *error = QStringLiteral("unknown parameter '%1'").arg(a->name) +
             (near.isEmpty() ? QString() : QStringLiteral(" — did you mean '%1'?").arg(near));
    return false;
}

bool SetCommand::prepare()
{
    opts.fileShownAs = QStringLiteral("the command line");
    // Names are checked before the device is asked; values need its model's choices.
    QStringList problems;
    QStringList seen;
    for (const QString &typed : opts.assignments) {
        Assignment a;
        a.name = typed.section(QLatin1Char('='), 0, 0).trimmed();
        a.typed = typed.section(QLatin1Char('='), 1);
        QString error;
        if (!resolve(&a, &error))
            problems << error;
        else if (seen.contains(a.name))
            problems << QStringLiteral("%1 is given twice").arg(a.name);
        else if (!opts.withKeys && ConfigDocument::keyElements().contains(a.name))
            problems << QStringLiteral("%1 is a key: set it with --with-keys").arg(a.name);
        seen << a.name;
        assignments << a;
    }
    if (problems.isEmpty())
        return true;
    for (int i = 0; i + 1 < problems.size(); ++i)
        err << "vexa7xx-cli: " << problems.at(i) << '\n';
    fail(problems.last(), ExitCode::Usage);
    return false;
}

void SetCommand::identified(const DeviceIdentity &d)
{
    fileDevId = QString::number(d.devId);
    WriteCommand::identified(d);
    if (done)
        return;
    // Every value checked before the configuration is read: a refused one sends nothing.
    const ParamValue::Vocabulary v = deviceVocabulary();
    QStringList problems;
    for (Assignment &a : assignments) {
        QString error;
        if (!ParamValue::parse(*a.param, a.attribute, a.typed, v, &a.text, &error,
                               language()))
            problems << QStringLiteral("%1: %2").arg(a.name, error);
    }
    if (problems.isEmpty())
        return;
    for (int i = 0; i + 1 < problems.size(); ++i)
        err << "vexa7xx-cli: " << problems.at(i) << '\n';
    fail(problems.last() + QStringLiteral("; nothing was sent"), ExitCode::Usage);
}

void SetCommand::readDone(const QDomDocument &device)
{
    if (done)
        return;
    endProgress();
    // The elements to write: the device's own, with the typed values in them (a field of a
    // composite element keeps the device's other fields).
    fileDoc = QDomDocument();
    QStringList unsupported;
    for (const Assignment &a : std::as_const(assignments)) {
        const QString element = QString::fromLatin1(a.param->element);
        QDomElement e = fileDoc.documentElement().firstChildElement(element);
        if (e.isNull()) {
            const QDomElement held = device.documentElement().firstChildElement(element);
            if (held.isNull()) {
                unsupported << element;
                continue;
            }
            ConfigDocument::addElement(fileDoc, element, ConfigDocument::attributesOf(held));
            e = fileDoc.documentElement().firstChildElement(element);
        }
        e.setAttribute(a.attribute, a.text);
    }
    if (!unsupported.isEmpty())
        return fail(QStringLiteral("the device's firmware has no %1; nothing was sent")
                        .arg(unsupported.join(QStringLiteral(", "))),
                    ExitCode::Usage);
    // What changes, in words, before anything is sent.
    const QList<ConfigWords::Difference> changes =
        ConfigWords::differences(device, fileDoc, ConfigWords::Scope::AfterOnly, language(),
                                 deviceVocabulary(), true);
    for (const ConfigWords::Difference &c : changes)
        err << c.element << ": " << ConfigWords::change(c) << '\n';
    if (opts.dryRun) {
        err << (changes.isEmpty() ? "the device holds these values already; "
                                  : "--dry-run: ")
            << "nothing was sent\n";
        return succeed();
    }
    // The values were typed on this command line: that is the question answered.
    opts.yes = true;
    if (session->recorder())
        session->recorder()->setWriteKind(JournalRecord::Kind::Set);
    WriteCommand::readDone(device);
}
