#pragma once

#include "portenumerator.h"

#include <QObject>
#include <QSerialPort>
#include <QStringList>
#include <memory>

class DeviceInterface;

// The serial port of one device link: finds the port a Vexa7XX is on (or lets the user choose
// among several), and answers the port's errors by closing it and saying why.
class PortSession : public QObject
{
    Q_OBJECT
public:
    explicit PortSession(DeviceInterface *link);

    // Where the search looks (the system's ports when not set; not owned).
    void setEnumerator(PortEnumerator *portEnumerator) { enumerator = portEnumerator; }
    // Searches the ports: opens the one device found, offers a choice among several, or says
    // that none is there.
    void search();
    // The user picked entry index of the choice offered.
    void choose(int index);
    void portError(QSerialPort::SerialPortError error);
    // Closes the port after an error; state 0 follows.
    void closeAfterError();

private:
    DeviceInterface *link;
    QSerialPort *port;
    PortEnumerator *enumerator = nullptr;
    std::unique_ptr<PortEnumerator> systemEnumerator;
    QStringList foundPortNames;
};
