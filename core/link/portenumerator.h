#pragma once

#include <QList>
#include <QString>

// One serial port of the computer as the port search sees it.
struct PortInfo
{
    QString portName;
    bool hasIds = false; // USB vendor and product identifiers known
    quint16 vendorId = 0;
    quint16 productId = 0;
    QString serialNumber; // USB serial number
};

// The USB serial number of a Vexa7XX begins with this.
inline constexpr char vexaSerialPrefix[] = "VEXA7XX";

// Whether a port is a Vexa7XX: the configured USB identifiers, a USB serial number beginning
// with "VEXA7XX", and not the call-out twin ("cu.") some systems list beside a serial device.
bool isVexaPort(const PortInfo &port, quint16 vendorId, quint16 productId);

// Lists the serial ports. The default asks the operating system; tests and the "-port"
// option hand in fixed entries.
class PortEnumerator
{
public:
    virtual ~PortEnumerator() = default;
    virtual QList<PortInfo> ports() const;
};

// A fixed list of ports; an entry is offered only while its device node exists.
class FixedPortEnumerator : public PortEnumerator
{
public:
    explicit FixedPortEnumerator(QList<PortInfo> entries)
        : list(std::move(entries))
    {}
    QList<PortInfo> ports() const override;
    void setPorts(QList<PortInfo> entries) { list = std::move(entries); }

private:
    QList<PortInfo> list;
};
