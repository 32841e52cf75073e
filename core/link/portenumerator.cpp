#include "portenumerator.h"

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
