#include "portfinder.h"

#include "appsettings.h"
#include "portcheck.h"

PortFinder::PortFinder(PortEnumerator *portEnumerator)
    : enumerator(portEnumerator)
{}

QList<PortInfo> PortFinder::ports() const
{
    return enumerator->ports();
}

bool PortFinder::isDevice(const PortInfo &port) const
{
    // Read on every call: the settings may have been changed since the finder was made.
    const AppSettings::UsbIds ids = AppSettings::deviceUsbIds();
    return isVexaPort(port, ids.vid, ids.pid);
}

QList<PortInfo> PortFinder::devices(const QString &named) const
{
    QList<PortInfo> found;
    for (const PortInfo &p : enumerator->ports()) {
        if (!named.isEmpty() ? p.portName == named : isDevice(p))
            found << p;
    }
    return found;
}

PortFinder::Choice PortFinder::choose(const QString &named) const
{
    Choice c;
    const QList<PortInfo> all = enumerator->ports();
    if (named.isEmpty()) {
        for (const PortInfo &p : all) {
            if (isDevice(p))
                c.devices << p.portName;
        }
        if (c.devices.size() != 1) {
            c.outcome = c.devices.isEmpty() ? Outcome::NoDevice : Outcome::Several;
            return c;
        }
        c.port = c.devices.first();
    } else {
        c.port = PortCheck::location(named);
        if (!PortCheck::exists(c.port)) {
            c.outcome = Outcome::Missing;
            return c;
        }
    }
    c.outcome = Outcome::Found;
    for (const PortInfo &p : all) {
        if (PortCheck::location(p.portName) == PortCheck::location(c.port))
            c.usbSerial = p.serialNumber;
    }
    return c;
}

QString PortFinder::findAgain(const QString &usbSerial, const QString &named) const
{
    if (!usbSerial.isEmpty()) {
        for (const PortInfo &p : enumerator->ports()) {
            if (p.serialNumber == usbSerial)
                return p.portName;
        }
        // Not back yet. The name it had may meanwhile belong to another device that came up
        // (pseudo-terminals and ttyACM numbers are handed out again): only its serial counts.
        return QString();
    }
    // A port without a USB serial number: the path the user gave (a symlink a udev rule keeps
    // pointing at the device, say).
    if (!named.isEmpty()) {
        const QString path = PortCheck::location(named);
        if (PortCheck::exists(path))
            return path;
    }
    return QString();
}

QString PortFinder::deviceSerial(const PortInfo &port)
{
    return QString(port.serialNumber).remove(QLatin1String(vexaSerialPrefix));
}
