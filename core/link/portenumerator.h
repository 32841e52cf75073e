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

// The ports of another enumerator (the system's when null) until the user names one port:
// then only that port, taken for a Vexa7XX whatever its USB identifiers. Adapters of other
// makers and the simulator's terminals are reached so, from "-port" or the window's port list.
class ChosenPortEnumerator : public PortEnumerator
{
public:
    explicit ChosenPortEnumerator(PortEnumerator *base);
    QList<PortInfo> ports() const override;
    // Every port of the base, for the user to choose from.
    QList<PortInfo> allPorts() const;
    // Empty: the search looks at every port again.
    void choose(const QString &portName) { chosenPort = portName; }
    QString chosen() const { return chosenPort; }
    // The entry of a port the user named: the configured USB identifiers, and a USB serial
    // number made of the Vexa7XX prefix and the port's name, which finds it after a reboot.
    static PortInfo asDevice(const QString &portName);

private:
    PortEnumerator system;
    PortEnumerator *base;
    QString chosenPort;
};

