#pragma once

#include "clicommand.h"

// show and diff: a configuration, or what differs between two, in words a person reads; of
// files, or of the device read.
class ShowCommand : public CliCommand
{
    Q_OBJECT
public:
    using CliCommand::CliCommand;
    void start() override;

protected:
    void identified(const DeviceIdentity &device) override;
    void readDone(const QDomDocument &doc) override;

private:
    // A file as it is, its values a write would refuse told on standard error; false after
    // failing.
    bool load(const QString &path, QDomDocument *doc);
    // How a file's values are put into words: by the firmware and model it names.
    ParamValue::Vocabulary fileVocabulary(const QDomDocument &doc);
    void printTable(const QDomDocument &doc, const ParamValue::Vocabulary &vocabulary);
    // before -> after; onlyAfter: what `after` does not hold is no difference (a file written
    // to the device leaves the values it lacks as they are).
    void printDifferences(const QDomDocument &before, const QDomDocument &after,
                          const ParamValue::Vocabulary &vocabulary, bool onlyAfter);

    QDomDocument fileDoc;
};
