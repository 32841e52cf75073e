#include "portsession.h"

#include "deviceinterface.h"
#include "linkstate.h"
#include "portcheck.h"
#include "portfinder.h"
#include "remotesession.h"
#include "userprompts.h"

#include <QDebug>
#include <QTimer>

PortSession::PortSession(DeviceInterface *link)
    : QObject(link)
    , link(link)
    , port(link->serialPort())
{}

void PortSession::search()
{
    qDebug() << "\n-----------------Start device enumeration-----------------\n";
    qDebug() << "Remote config flag is: " << link->isRemoteMode();
    foundPortNames.clear();
    QStringList foundSerials;

    if (!enumerator) {
        if (!systemEnumerator)
            systemEnumerator = std::make_unique<PortEnumerator>();
        enumerator = systemEnumerator.get();
    }
    // The same finder as the command line's: one rule for which port carries a Vexa7XX.
    const PortFinder finder(enumerator);
    const QList<PortInfo> ports = finder.ports();
    if (ports.isEmpty()) {
        if (port->isOpen())
            port->close();
        port->clearError();
        qDebug() << "No avabable COM ports!"
                 << "/C:12";
        port->setPortName(QString());
    } else {
        for (const PortInfo &p : ports) {
            if (!finder.isDevice(p))
                continue;
            const QString sn = PortFinder::deviceSerial(p);
            qDebug().noquote() << "Found available device on: " << p.portName;
            qDebug().noquote() << "SN: " << sn;
            qDebug().noquote() << "Vendor ID: 0x" + QString::number(p.vendorId, 16);
            qDebug().noquote() << "Product ID: 0x" + QString::number(p.productId, 16);
            foundPortNames << p.portName;
            foundSerials << sn;
        }
    }

    if (link->isRemoteMode() && !foundPortNames.isEmpty()) {
        link->remote->localDeviceFound();
        return;
    }

    if (foundPortNames.size() == 1) {
        emit link->hideRefreshButton(true);
        // The port reports a device path under /dev by its short name.
        QString found = foundPortNames.first();
        if (found.startsWith(QLatin1String("/dev/")))
            found = found.mid(5);
        if (found != port->portName()) {
            if (port->isOpen())
                port->close();
            port->setBaudRate(DeviceInterface::portBaudRate);
            port->setPortName(foundPortNames.first());
            link->readConfiguration();
        } else {
            emit link->checkGetStatusState();
        }
        return;
    }
    if (foundPortNames.size() > 1) {
        emit link->hideRefreshButton(false);
        port->setBaudRate(DeviceInterface::portBaudRate);
        QStringList choiceTexts;
        for (int i = 0; i < foundPortNames.size(); ++i)
            choiceTexts << foundPortNames.at(i) + QStringLiteral(", S\\N: ") + foundSerials.at(i);
        emit link->selectDevice(choiceTexts);
        return;
    }

    port->setPortName(QString());
    if (port->isOpen())
        port->close();
    port->clearError();
    qDebug() << "No available devices."
             << "/C:16";
    if (!link->isRemoteMode()) {
        emit link->changeDeviceStatus(LinkState::Disconnected);
        link->answerTimer->stop();
        link->retryCount = 0;
    }
}

void PortSession::choose(int index)
{
    if (port->isOpen())
        port->close();
    port->setPortName(index >= 0 && index < foundPortNames.size() ? foundPortNames.at(index)
                                                                  : QString());
    qDebug().noquote() << "Selected device port: " << port->portName();
    link->readConfiguration();
}

void PortSession::portError(QSerialPort::SerialPortError error)
{
    UserPrompts *prompts = link->prompts();
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        qDebug() << "Port error: DeviceNotFoundError";
        link->answerTimer->stop();
        closeAfterError();
        break;
    case QSerialPort::PermissionError: {
        qDebug() << "Port error: PermissionError";
        // The serial layer says the same for a port the user may not open and for one another
        // program holds; the remedies differ.
        const bool denied =
            PortCheck::diagnose(port->portName()) == PortCheck::Problem::NoPermission;
        if (denied)
            qDebug() << "No permission to open" << port->portName();
        const QString refused = port->portName();
        port->setPortName(QString());
        if (prompts)
            prompts->linkReport(denied ? UserPrompts::LinkPrompt::PortNoPermission
                                       : UserPrompts::LinkPrompt::PortBusy,
                                refused);
        emit link->changeDeviceStatus(LinkState::Disconnected);
        break;
    }
    case QSerialPort::OpenError:
        qDebug() << "Port error: OpenError";
        break;
    case QSerialPort::WriteError:
        qDebug() << "Port error: WriteError";
        link->answerTimer->stop();
        if (port->isOpen())
            port->close();
        port->setPortName(QString());
        if (link->deviceReady && prompts)
            prompts->linkReport(UserPrompts::LinkPrompt::DeviceUnplugged);
        emit link->changeDeviceStatus(LinkState::Disconnected);
        break;
    case QSerialPort::ReadError:
        // A vanished device reports this again and again until the port is closed.
        qDebug() << "Port error: ReadError";
        port->close();
        port->clearError();
        port->setPortName(QString());
        emit link->changeDeviceStatus(LinkState::Disconnected);
        break;
    case QSerialPort::ResourceError:
        // The device is gone; a handle kept open on it would only report errors.
        qDebug() << "Port error: ResourceError";
        if (port->isOpen())
            port->close();
        port->clearError();
        port->setPortName(QString());
        emit link->changeDeviceStatus(LinkState::Disconnected);
        break;
    case QSerialPort::UnsupportedOperationError:
        qDebug() << "Port error: UnsupportedOperationError";
        break;
    case QSerialPort::TimeoutError:
        qDebug() << "Port error: TimeoutError";
        break;
    case QSerialPort::NotOpenError:
        qDebug() << "Port error: NotOpenError";
        break;
    default:
        break;
    }
}

void PortSession::closeAfterError()
{
    qDebug() << "Disconnecting device after error..."
             << "/C:16";
    port->clearError();
    if (port->isOpen())
        port->close();
    link->deviceReady = false;
    port->setPortName(QString());
    emit link->changeDeviceStatus(LinkState::Disconnected);
}
