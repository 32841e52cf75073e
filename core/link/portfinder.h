#pragma once

#include "portenumerator.h"

#include <QList>
#include <QString>
#include <QStringList>

// Finds the port of a Vexa7XX: the one named by the user (--port, -port), else the one port
// whose USB ids are those of the settings and whose USB serial number carries the Vexa7XX
// prefix. The link's port search, the command line, its doctor and the provisioner ask this
// one finder.
class PortFinder
{
public:
    explicit PortFinder(PortEnumerator *enumerator);

    enum class Outcome { Found, NoDevice, Several, Missing };
    struct Choice
    {
        Outcome outcome = Outcome::NoDevice;
        QString port;        // Found: the name to open
        QString usbSerial;   // Found: the port's USB serial number, to find it after a reboot
        QStringList devices; // Several: the candidates
    };

    // Every port of the computer, as the enumerator lists them.
    QList<PortInfo> ports() const;
    // The ports that carry a Vexa7XX; with named given, only the port of that name.
    QList<PortInfo> devices(const QString &named = QString()) const;
    // The port of a command: named (as a path or device name) when given, else the one device.
    Choice choose(const QString &named) const;
    // The port a device with this USB serial number is on now (a device may come back under
    // another name after a reboot, its serial stays); for a device without a USB serial
    // number, named if it exists; else empty.
    QString findAgain(const QString &usbSerial, const QString &named) const;
    // The device's serial number as its USB serial number carries it (without the prefix).
    static QString deviceSerial(const PortInfo &port);
    bool isDevice(const PortInfo &port) const;

private:
    PortEnumerator *enumerator;
};
