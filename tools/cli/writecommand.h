#pragma once

#include "clicommand.h"
#include "configdocument.h"
#include "configexchange.h"

// write: the values of a file the device does not hold already, then the device's reboot;
// with --verify the device is read again once it is back and every written value compared.
class WriteCommand : public CliCommand
{
    Q_OBJECT
public:
    using CliCommand::CliCommand;
    void start() override;
    // After the end: the values of the file that are not on the device, by name.
    QStringList notOnDevice() const { return missing; }

protected:
    void identified(const DeviceIdentity &device) override;
    void readDone(const QDomDocument &doc) override;
    // Reads and checks what is to be written before the device is asked; false (after failing)
    // when it is refused or holds nothing that could be written.
    virtual bool prepare();

    QDomDocument fileDoc;    // the file to write, without refused values (and keys, unless asked)
    QString fileDevId;       // the device ID the file to write is for

private:
    // The write stopped before its end: what was written and what was not.
    void writeStopped(const ConfigExchange::WriteReport &r);
    // Reports a write (or a file with nothing to write) and ends with its exit code.
    void finishWrite();
    // Text mode, a write that did not bring the whole file onto the device: which values are
    // stored now, which the device held already and which are not on it.
    void reportNotWhole(const QStringList &acknowledged,
                        const QList<ConfigDocument::Mismatch> &mismatches);
    // The verification's lines on standard error and its part of the --json report.
    void reportVerify(QJsonObject *json);

    QStringList fileRefused; // "name: reason" of the file's values refused by the file check
    QStringList unchanged;   // values of the file the device holds already
    QStringList missing;
};
