#pragma once

#include "portenumerator.h"
#include "simulator.h"

// The simulators' current terminals as the system's port list would show them: USB ids of a
// Vexa7XX and the USB serial number each simulated device would carry.
class SimPortEnumerator : public PortEnumerator
{
public:
    QList<PortInfo> ports() const override
    {
        ++calls;
        QList<PortInfo> out;
        for (Simulator *s : sims) {
            if (!s || !s->isPlugged())
                continue;
            PortInfo p;
            p.portName = s->portName();
            p.hasIds = true;
            p.vendorId = 0x0483;
            p.productId = 0x5740;
            p.serialNumber = s->device().usbSerialNumber();
            out << p;
        }
        return out + extra;
    }
    QList<Simulator *> sims;
    QList<PortInfo> extra; // other ports of the computer
    mutable int calls = 0;
};
