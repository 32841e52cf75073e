#pragma once

#include "writecommand.h"

// restore: writes back a configuration the device journal kept for a device (what it held at a
// moment, or just before a job), without keys, after showing what would change.
class RestoreCommand : public WriteCommand
{
    Q_OBJECT
public:
    using WriteCommand::WriteCommand;

protected:
    bool prepare() override;
    void identified(const DeviceIdentity &device) override;
    void readDone(const QDomDocument &doc) override;
};
