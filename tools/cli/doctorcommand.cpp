#include "doctorcommand.h"

#include "appsettings.h"
#include "portcheck.h"
#include "portfinder.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {
// The device simulator's process, as the system names it.
constexpr char simulatorName[] = "vexa7xx-sim";
} // namespace

void DoctorCommand::start()
{
    if (opts.command == QLatin1String("list"))
        list();
    else
        doctor();
}

void DoctorCommand::list()
{
    QJsonArray array;
    const QList<PortInfo> devices = PortFinder(enumerator).devices(opts.port);
    for (const PortInfo &p : devices) {
        const QString sn = PortFinder::deviceSerial(p);
        if (opts.json)
            array.append(
                QJsonObject{{QStringLiteral("port"), p.portName}, {QStringLiteral("serial"), sn}});
        else
            out << p.portName << "\t" << sn << '\n';
    }
    if (opts.json)
        out << QJsonDocument(array).toJson(QJsonDocument::Compact) << '\n';
    // An empty list with exit 0 would pass in a script for "all is well".
    if (devices.isEmpty())
        return fail(QStringLiteral("no Vexa7XX device found; vexa7xx-cli doctor tells why"),
                    ExitCode::Failed);
    succeed();
}

namespace {
QString usbIds(const PortInfo &p)
{
    if (!p.hasIds)
        return QStringLiteral("-        ");
    return QStringLiteral("%1:%2")
        .arg(p.vendorId, 4, 16, QLatin1Char('0'))
        .arg(p.productId, 4, 16, QLatin1Char('0'));
}
} // namespace

void DoctorCommand::doctor()
{
    const AppSettings::UsbIds ids = AppSettings::deviceUsbIds();
    const PortFinder finder(enumerator);
    const QList<PortInfo> ports = finder.ports();
    QStringList candidates; // the ports to look at closely
    out << "serial ports:\n";
    for (const PortInfo &p : ports) {
        const bool vexa = finder.isDevice(p);
        out << "  " << p.portName.leftJustified(16) << ' ' << usbIds(p) << "  "
            << (p.serialNumber.isEmpty() ? QStringLiteral("-") : p.serialNumber).leftJustified(18)
            << (vexa ? "  Vexa7XX" : "") << '\n';
        if (vexa)
            candidates << PortCheck::location(p.portName);
    }
    if (ports.isEmpty())
        out << "  none\n";
    if (!opts.port.isEmpty() && !candidates.contains(PortCheck::location(opts.port)))
        candidates << PortCheck::location(opts.port);

    int problems = 0;
    for (const QString &port : candidates)
        problems += doctorPort(port, ids) ? 0 : 1;
    if (candidates.isEmpty()) {
        ++problems;
        out << "\nno Vexa7XX device found.\n";
    }
    if (candidates.isEmpty() || (!opts.port.isEmpty() && !PortCheck::exists(opts.port))) {
        out << "  fix: check the cable: a data cable (not a charging one) plugged into the device "
               "and the computer; `sudo dmesg | tail` shows a port appear when it is plugged in\n"
            << QStringLiteral("  fix: the USB ids in %1 must be the device's: now Device/VID=%2, "
                              "Device/PID=%3 (both or neither)\n")
                   .arg(AppSettings::filePath())
                   .arg(ids.vid, 4, 16, QLatin1Char('0'))
                   .arg(ids.pid, 4, 16, QLatin1Char('0'))
            << "  fix: for a USB-serial adapter of another maker, name its port: vexa7xx-cli "
               "--port /dev/ttyUSB0 info (the configurator: -port /dev/ttyUSB0)\n";
    }
    out << '\n'
        << (problems == 0 ? QStringLiteral("no problems found")
                          : QStringLiteral("%1 problem(s) found").arg(problems))
        << '\n';
    out.flush();
    if (problems == 0)
        return succeed();
    done = true;
    finish(ExitCode::Failed);
}

bool DoctorCommand::doctorPort(const QString &port, const AppSettings::UsbIds &ids)
{
    using PortCheck::Problem;
    Problem problem = PortCheck::exists(port) ? PortCheck::check(port) : Problem::Missing;
    // A program may hold the port without the exclusive lock that stops an open.
    QList<PortCheck::Holder> holders = PortCheck::holders(port);
    const qint64 self = QCoreApplication::applicationPid();
    holders.erase(std::remove_if(holders.begin(), holders.end(),
                                 [self](const PortCheck::Holder &h) { return h.pid == self; }),
                  holders.end());
    // The simulator keeps its end of the pseudo-terminal open to stay plugged in: it is the
    // device on that port, not a program in the way of one.
    QString simulator;
    for (auto h = holders.begin(); h != holders.end();) {
        if (h->name == QLatin1String(simulatorName)) {
            simulator = QStringLiteral("%1 (pid %2)").arg(h->name).arg(h->pid);
            h = holders.erase(h);
        } else {
            ++h;
        }
    }
    if (problem == Problem::None && !holders.isEmpty())
        problem = Problem::InUse;
    const QString simulated =
        simulator.isEmpty() ? QString()
                            : QStringLiteral("the simulated device of %1, which holds the port as "
                                             "the device's own end: leave it running")
                                  .arg(simulator);
    out << '\n' << port << ": ";
    switch (problem) {
    case Problem::None:
        out << (simulated.isEmpty() ? QStringLiteral("ok") : QStringLiteral("ok, ") + simulated)
            << '\n';
        return true;
    case Problem::Missing:
        out << "no such port\n";
        return false;
    case Problem::NoPermission: {
        const PortCheck::PermissionFix fix = PortCheck::permissionFix(port, ids.vid, ids.pid);
        out << "no permission to open it ("
            << (fix.node != port ? fix.node + QStringLiteral(": ") : QString()) << fix.modeText
            << "; you are " << fix.user << ")\n";
        if (fix.ownerBlocked)
            out << "  fix: the port is yours but its mode shuts you out: " << fix.ownerCommand
                << '\n';
        if (fix.inGroupLater)
            out << "  fix: you are in the group " << fix.group
                << " already, but this login started before: log out and in again (or, for "
                   "one shell: newgrp "
                << fix.group << ")\n";
        else if (!fix.groupCommand.isEmpty())
            out << "  fix: join the group " << fix.group
                << " that may open serial ports, then log out and in again:\n"
                << "       " << fix.groupCommand << '\n';
        if (fix.ruleInstalled)
            out << "  fix: the udev rule that gives the user at the computer access is installed: "
                   "unplug the device and plug it in again (the rule applies as the port "
                   "appears); it serves the user logged in at the computer, not over SSH\n";
        else
            out << "  fix: or install the udev rule that gives the user at the computer access "
                   "to Vexa7XX ports (and keeps ModemManager away from them), then plug the "
                   "device in again:\n"
                << "       " << fix.ruleCommand << '\n';
        return false;
    }
    case Problem::InUse:
        break;
    }
    if (holders.isEmpty()) {
        out << "in use by another program\n"
            << "  fix: close it; `sudo fuser -v " << port
            << "` names it (other users' programs are hidden from you)\n";
    } else {
        QStringList names;
        for (const PortCheck::Holder &h : holders)
            names << QStringLiteral("%1 (pid %2)").arg(h.name).arg(h.pid);
        out << "in use by " << names.join(QStringLiteral(", ")) << '\n'
            << "  fix: close it, or end it: kill " << holders.first().pid << '\n';
    }
    if (!simulated.isEmpty())
        out << "  " << simulated << '\n';
    // The usual suspects, when they run, with what keeps them off for good.
    for (const QString &g : PortCheck::portGrabbersRunning()) {
        if (g == QLatin1String("ModemManager"))
            out << "  ModemManager probes new USB serial ports as modems: the udev rule keeps it "
                   "away (ENV{ID_MM_DEVICE_IGNORE}); meanwhile: sudo systemctl stop ModemManager\n";
        else
            out << "  brltty takes USB serial ports for braille displays: without a braille "
                   "display, sudo systemctl mask --now brltty-udev.service brltty.service\n";
    }
    return false;
}
