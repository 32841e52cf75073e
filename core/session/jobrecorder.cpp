#include "jobrecorder.h"

#include "configdocument.h"
#include "devicejournal.h"
#include "devicesession.h"
#include "paramcatalogue.h"
#include "paramcodec.h"

JobRecorder::JobRecorder(DeviceSession *s, DeviceJournal *j)
    : QObject(s)
    , session(s)
    , journal(j)
{
    connect(session, &DeviceSession::identified, this, &JobRecorder::identified);
    connect(session, &DeviceSession::readFinished, this, &JobRecorder::readFinished);
    connect(session, &DeviceSession::writeFinished, this, &JobRecorder::writeFinished);
    connect(session, &DeviceSession::failed, this, &JobRecorder::failed);
    connect(session, &DeviceSession::closed, this, &JobRecorder::closed);
    connect(session, &DeviceSession::phaseChanged, this, [this](DeviceSession::Phase phase) {
        if (phase == DeviceSession::Phase::Writing) {
            writeOpen = true;
            writePath = path();
        } else if (phase == DeviceSession::Phase::Flashing && !flashOpen) {
            flashOpen = true;
            firmwareBefore = device.firmware;
        }
    });
    connect(session, &DeviceSession::returned, this, [this](const DeviceIdentity &back) {
        device.firmware = back.firmware;
        if (!flashOpen)
            return;
        // Back, but not necessarily with the image: only its version says it took it.
        const QString image = session->transfer() ? session->transfer()->fileVersion() : QString();
        if (image.isEmpty() || back.firmware == image)
            flashEnded(true, QString(), false);
        else
            flashEnded(false,
                       QStringLiteral("the device came back with firmware %1, not %2")
                           .arg(back.firmware, image),
                       false);
    });
    connect(session, &DeviceSession::flashStopped, this,
            [this](FileTransfer::Error error, const QString &why) {
                flashEnded(false, why, error == FileTransfer::Error::Cancelled);
            });
}

JournalRecord JobRecorder::recordFor(JournalRecord::Kind kind) const
{
    JournalRecord r;
    r.kind = kind;
    r.model = QString::number(device.model());
    r.revision = QString::number(device.revision());
    r.serial = device.serialNumber;
    r.devEui = device.devEui;
    r.firmwareBefore = device.firmware;
    r.firmwareAfter = device.firmware;
    r.path = path();
    return r;
}

QString JobRecorder::path() const
{
    switch (device.path) {
    case DeviceIdentity::Path::Relay:
        return QStringLiteral("relay via ") + device.via;
    case DeviceIdentity::Path::Remote:
        return QStringLiteral("remote ") + device.via;
    case DeviceIdentity::Path::Usb:
        break;
    }
    return QStringLiteral("usb ") + session->where();
}

void JobRecorder::record(JournalRecord r)
{
    if (device.isKnown())
        journal->record(std::move(r));
}

void JobRecorder::record(JournalRecord::Kind kind, JournalRecord::Result result,
                         const QString &reason)
{
    JournalRecord r = recordFor(kind);
    r.result = result;
    r.reason = reason;
    record(r);
}

void JobRecorder::identified(const DeviceIdentity &identity)
{
    // Another device (the window follows whatever is plugged in) forgets the last one's values.
    if (!identity.sameDevice(device))
        lastRead.clear();
    device = identity;
}

void JobRecorder::readFinished(const QDomDocument &doc)
{
    // An identification alone (a look at who the device is) reads no configuration.
    if (!DeviceSession::hasWritable(doc))
        return;
    lastRead = doc.cloneNode(true).toDocument();
    // The window is also shown the read-back of a verified write: that read is the
    // verification's, recorded with it.
    if (session->phase() == DeviceSession::Phase::Done && session->verified())
        return;
    record(recordFor(JournalRecord::Kind::Read));
}

QList<JournalRecord::Change> JobRecorder::writtenChanges(const QStringList &names) const
{
    QList<JournalRecord::Change> changes;
    const QDomElement sent = session->sentDocument().documentElement();
    const QDomElement held = lastRead.documentElement();
    for (const QString &name : names) {
        const ParamCatalogue::Param *p = ParamCatalogue::writableByElement(name);
        if (!p)
            continue;
        JournalRecord::Change c;
        c.element = name;
        const QDomElement before = held.firstChildElement(name);
        if (!before.isNull())
            c.oldValue = ParamCodec::valueTextOf(*p, before);
        c.newValue = ParamCodec::valueTextOf(*p, sent.firstChildElement(name));
        changes << c;
    }
    return changes;
}

void JobRecorder::writeFinished()
{
    if (!writeOpen)
        return;
    writeOpen = false;
    const ConfigExchange::WriteReport &report = session->writeReport();
    JournalRecord r = recordFor(writeKind);
    writeKind = JournalRecord::Kind::Write;
    r.path = writePath;
    r.changes = writtenChanges(report.written);
    r.configBefore = lastRead.isNull() ? QString() : QString::fromUtf8(ConfigDocument::toText(lastRead));
    QStringList missing = report.notWritten;
    for (const QString &s : report.skipped)
        missing << s.section(QLatin1Char(':'), 0, 0);
    if (report.stop != ConfigExchange::WriteReport::Stop::None || !missing.isEmpty()) {
        r.result = JournalRecord::Result::Failed;
        r.reason = QStringLiteral("not written: ") + missing.join(QStringLiteral(", "));
        if (report.stop == ConfigExchange::WriteReport::Stop::Refused)
            r.reason += QStringLiteral(" (the device refused %1, result %2)")
                            .arg(report.notWritten.value(0))
                            .arg(report.refusedResult);
    }
    record(r);
    if (!session->verified())
        return;
    JournalRecord v = recordFor(JournalRecord::Kind::Verify);
    for (const ConfigDocument::Mismatch &m : session->mismatches()) {
        JournalRecord::Change c;
        c.element = m.name;
        c.oldValue = m.written; // as written ...
        c.newValue = m.read;    // ... and as read back
        v.changes << c;
    }
    if (!v.changes.isEmpty()) {
        v.result = JournalRecord::Result::Failed;
        v.reason = QStringLiteral("%1 of %2 written values read back differently")
                       .arg(v.changes.size())
                       .arg(session->verifiedNames().size());
    }
    record(v);
}

void JobRecorder::flashEnded(bool ok, const QString &reason, bool cancelled)
{
    if (!flashOpen)
        return;
    flashOpen = false;
    JournalRecord r = recordFor(JournalRecord::Kind::Flash);
    r.firmwareBefore = firmwareBefore;
    r.result = ok          ? JournalRecord::Result::Ok
               : cancelled ? JournalRecord::Result::Cancelled
                           : JournalRecord::Result::Failed;
    r.reason = reason;
    record(r);
}

void JobRecorder::failed(const QString &reason)
{
    sessionFailed = true;
    failure = reason;
    if (writeOpen) {
        writeOpen = false;
        JournalRecord r = recordFor(writeKind);
        writeKind = JournalRecord::Kind::Write;
        r.path = writePath;
        r.changes = writtenChanges(session->writeReport().written);
        r.configBefore = QString::fromUtf8(ConfigDocument::toText(lastRead));
        r.result = JournalRecord::Result::Failed;
        r.reason = reason;
        record(r);
    }
    flashEnded(false, reason, false);
}

void JobRecorder::closed(int code)
{
    if (device.path == DeviceIdentity::Path::Usb)
        return;
    JournalRecord r = recordFor(device.path == DeviceIdentity::Path::Relay
                                    ? JournalRecord::Kind::Relay
                                    : JournalRecord::Kind::Remote);
    if (code != 0) {
        r.result = JournalRecord::Result::Failed;
        r.reason = sessionFailed ? failure : QStringLiteral("ended with code %1").arg(code);
    }
    record(r);
}
