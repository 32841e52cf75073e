#pragma once

#include "clicommand.h"
#include "journalrecord.h"

#include <QHash>

// history: what the device journal holds, newest first, each job with its changes in units; or,
// with --provisioned, the devices a bench provisioned, for an export.
class HistoryCommand : public CliCommand
{
    Q_OBJECT
public:
    using CliCommand::CliCommand;
    void start() override;

private:
    void printJobs(const QList<JournalRecord> &jobs);
    void printProvisioned();
    // A change's values in words, for the firmware and model of its job.
    QString words(const JournalRecord &job, const QString &element, const QString &hex);

    DB_Worker *db = nullptr;
    QHash<QString, ParamValue::Vocabulary> vocabularies; // by firmware and device ID
};
