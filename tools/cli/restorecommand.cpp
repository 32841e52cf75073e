#include "restorecommand.h"

#include "configwords.h"
#include "devicejournal.h"
#include "devicesession.h"
#include "jobrecorder.h"

bool RestoreCommand::prepare()
{
    if (!journal) {
        fail(QStringLiteral("the device journal is off (Journal/Enabled in settings.conf)"));
        return false;
    }
    JournalRecord kept;
    QString error;
    if (opts.job != 0) {
        opts.fileShownAs = QStringLiteral("the configuration before job %1").arg(opts.job);
        if (!journal->job(opts.job, &kept, &error)) {
            fail(error.isEmpty() ? QStringLiteral("the journal has no job %1").arg(opts.job)
                                 : QStringLiteral("the journal cannot be read: ") + error);
            return false;
        }
        if (kept.serial != opts.serial) {
            fail(QStringLiteral("job %1 was done to SN %2, not to %3")
                     .arg(opts.job)
                     .arg(kept.serial, opts.serial));
            return false;
        }
    } else {
        opts.fileShownAs = QStringLiteral("the configuration SN %1 had at %2")
                               .arg(opts.serial, opts.before);
        if (!journal->configurationAt(opts.serial, CliOptions::moment(opts.before), &kept,
                                      &error)) {
            fail(error.isEmpty()
                     ? QStringLiteral("the journal keeps no configuration SN %1 had at %2: "
                                      "nothing was written to it since, it still holds it")
                           .arg(opts.serial, opts.before)
                     : QStringLiteral("the journal cannot be read: ") + error);
            return false;
        }
    }
    QStringList refused;
    if (!DeviceJournal::restorable(kept, &fileDoc, &refused)) {
        fail(kept.configBefore.isEmpty()
                 ? QStringLiteral("job %1 kept no configuration: only writes keep the one before "
                                  "them")
                       .arg(kept.id)
                 : QStringLiteral("the configuration kept with job %1 cannot be read").arg(kept.id));
        return false;
    }
    for (const QString &r : refused)
        err << "refused (not written): " << r << '\n';
    fileDevId = QString::number(DeviceIdentity::idOf(kept.model.toInt(), kept.revision.toInt()));
    err << "restoring the configuration kept with job " << kept.id << " of "
        << kept.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << '\n';
    return true;
}

void RestoreCommand::identified(const DeviceIdentity &d)
{
    if (d.serialNumber != opts.serial)
        return fail(QStringLiteral("the device on the port is SN %1, not %2")
                        .arg(d.serialNumber, opts.serial));
    WriteCommand::identified(d);
}

void RestoreCommand::readDone(const QDomDocument &device)
{
    if (done)
        return;
    endProgress();
    const QList<ConfigWords::Difference> changes =
        ConfigWords::differences(device, fileDoc, ConfigWords::Scope::AfterOnly, language(),
                                 deviceVocabulary(), false);
    for (const ConfigWords::Difference &c : changes)
        err << c.element << ": " << ConfigWords::change(c) << '\n';
    if (session->recorder())
        session->recorder()->setWriteKind(JournalRecord::Kind::Restore);
    WriteCommand::readDone(device);
}
