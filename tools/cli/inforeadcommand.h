#pragma once

#include "clicommand.h"

// info and read: who the device is, and its configuration as a document.
class InfoReadCommand : public CliCommand
{
    Q_OBJECT
public:
    using CliCommand::CliCommand;
    void start() override { connectDevice(); }

protected:
    void identified(const DeviceIdentity &device) override;
    void readDone(const QDomDocument &doc) override;
};
