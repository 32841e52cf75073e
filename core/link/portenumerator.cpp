#include "portenumerator.h"

#include "appsettings.h"

#include <QFileInfo>
#include <QSerialPortInfo>

bool isVexaPort(const PortInfo &port, quint16 vendorId, quint16 productId)
{
    const QString prefix = QLatin1String(vexaSerialPrefix);
    return port.hasIds && port.vendorId == vendorId && port.productId == productId &&
           port.serialNumber.left(prefix.size()) == prefix &&
           !port.portName.contains(QLatin1String("cu."));
}

QList<PortInfo> PortEnumerator::ports() const
{
    QList<PortInfo> out;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        PortInfo p;
        p.portName = info.portName();
        p.hasIds = info.hasVendorIdentifier() && info.hasProductIdentifier();
        p.vendorId = info.vendorIdentifier();
        p.productId = info.productIdentifier();
        p.serialNumber = info.serialNumber();
        out.append(p);
    }
    return out;
}

QList<PortInfo> FixedPortEnumerator::ports() const
{
    QList<PortInfo> out;
    for (const PortInfo &p : list) {
        // A path that is gone (the device was unplugged) is no port any more.
        if (!p.portName.startsWith(QLatin1Char('/')) || QFileInfo::exists(p.portName))
            out.append(p);
    }
    return out;
}

ChosenPortEnumerator::ChosenPortEnumerator(PortEnumerator *base)
    : base(base ? base : &system)
{}

QList<PortInfo> ChosenPortEnumerator::allPorts() const
{
    return base->ports();
}

QList<PortInfo> ChosenPortEnumerator::ports() const
{
    if (chosenPort.isEmpty())
        return base->ports();
    // Offered while the port is there: an unplugged adapter is no device.
    for (const PortInfo &p : base->ports()) {
        if (p.portName == chosenPort)
            return {asDevice(chosenPort)};
    }
    if (chosenPort.startsWith(QLatin1Char('/')) && QFileInfo::exists(chosenPort))
        return {asDevice(chosenPort)};
    return {};
}

PortInfo ChosenPortEnumerator::asDevice(const QString &portName)
{
    const AppSettings::UsbIds ids = AppSettings::deviceUsbIds();
    PortInfo p;
    p.portName = portName;
    p.hasIds = true;
    p.vendorId = ids.vid;
    p.productId = ids.pid;
    p.serialNumber = QLatin1String(vexaSerialPrefix) + QFileInfo(portName).fileName();
    return p;
}

