#pragma once

#include "appsettings.h"
#include "clicommand.h"

// list and doctor: the serial ports, which of them are Vexa7XX devices, and for each thing
// that keeps the configurator from one of them the command that fixes it.
class DoctorCommand : public CliCommand
{
    Q_OBJECT
public:
    using CliCommand::CliCommand;
    void start() override;

private:
    void list();
    void doctor();
    // True when the port can be used.
    bool doctorPort(const QString &port, const AppSettings::UsbIds &ids);
};
