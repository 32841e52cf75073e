// CliRunner after a reboot: waiting for the device to come back (after a flash or a write),
// and write --verify, which reads the device again and compares every value it acknowledged.
#include "clirunner.h"

#include "deviceinterface.h"
#include "linkstate.h"
#include "portcheck.h"
#include "portenumerator.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSerialPort>
#include <QTimer>

void CliRunner::awaitReturn()
{
    portGone = false;
    rebootClock.start();
    if (!returnTimer) {
        returnTimer = new QTimer(this);
        returnTimer->setInterval(rebootPollMs);
        connect(returnTimer, &QTimer::timeout, this, &CliRunner::lookForReturn);
    }
    returnTimer->start();
}

QString CliRunner::returnedPort() const
{
    // A device may come back under another name; its USB serial number stays.
    if (!usbSerial.isEmpty()) {
        for (const PortInfo &p : enumerator->ports()) {
            if (p.serialNumber == usbSerial)
                return p.portName;
        }
    }
    // A path the user gave (a symlink a udev rule keeps pointing at the device, say).
    if (!opts.port.isEmpty()) {
        const QString path = PortCheck::location(opts.port);
        if (PortCheck::exists(path))
            return path;
    }
    return QString();
}

void CliRunner::lookForReturn()
{
    if (!awaitingReturn())
        return;
    const bool flashing = flashPhase == FlashPhase::Rebooting;
    if (rebootClock.elapsed() > rebootWaitMs)
        return fail(flashing ? QStringLiteral("the device did not come back within %1 s after the "
                                              "reboot; whether it runs the new firmware is not "
                                              "known (see vexa7xx-cli info)")
                                   .arg(rebootWaitMs / 1000)
                             : QStringLiteral("the device did not come back within %1 s after the "
                                              "write; the written values were not verified")
                                   .arg(rebootWaitMs / 1000));
    QSerialPort *port = link->serialPort();
    if (!portGone) {
        // Until the old port has gone, what is there is the device before its restart.
        portGone = returnedPort() != portName;
        if (!portGone && rebootClock.elapsed() < portStaysMs)
            return;
        portGone = true;
    }
    if (port->isOpen())
        port->close();
    const QString back = returnedPort();
    if (back.isEmpty())
        return;
    port->clearError();
    port->setPortName(back);
    port->setBaudRate(DeviceInterface::portBaudRate);
    link->readConfiguration();
    if (!port->isOpen())
        return; // not ready to be opened yet: tried again on the next round
    returnTimer->stop();
    portName = back;
    if (flashing)
        flashPhase = FlashPhase::Confirming;
    else
        verifyPhase = VerifyPhase::Reading;
    err << "the device is back on " << back << "\n";
    err.flush();
}

void CliRunner::startVerify()
{
    err << "\nwritten; the device reboots; waiting for it to come back to read it again\n";
    err.flush();
    verifyPhase = VerifyPhase::Rebooting;
    awaitReturn();
}

void CliRunner::verifyStateChanged(int state)
{
    if (done)
        return;
    switch (verifyPhase) {
    case VerifyPhase::Rebooting:
        if (state == LinkState::Disconnected)
            portGone = true;
        break;
    case VerifyPhase::Reading:
        if (state == LinkState::Disconnected) {
            // Some devices enumerate twice on their way up: wait for the next.
            portGone = true;
            verifyPhase = VerifyPhase::Rebooting;
            returnTimer->start();
        } else if (state == LinkState::NotRespond) {
            fail(QStringLiteral("the device came back after the write but does not answer; the "
                                "written values were not verified"));
        }
        break;
    default:
        break;
    }
}

void CliRunner::verifyRead(const QDomDocument &doc)
{
    verifyPhase = VerifyPhase::Done;
    mismatches = ConfigDocument::mismatches(sentDoc, doc, verifyNames);
    finishWrite();
}

void CliRunner::reportVerify(QJsonObject *json)
{
    if (verifyPhase != VerifyPhase::Done)
        return;
    QJsonArray list;
    for (const ConfigDocument::Mismatch &m : mismatches) {
        err << "mismatch: " << m.name << " written " << m.written << ", read back "
            << (m.read.isEmpty() ? QStringLiteral("nothing") : m.read) << '\n';
        list.append(QJsonObject{{QStringLiteral("name"), m.name},
                                {QStringLiteral("written"), m.written},
                                {QStringLiteral("read"), m.read}});
    }
    if (mismatches.isEmpty())
        err << "written and verified: " << verifyNames.size() << " value(s) read back as written\n";
    else
        err << mismatches.size() << " of " << verifyNames.size()
            << " written value(s) read back differently\n";
    json->insert(QStringLiteral("verified"), mismatches.isEmpty());
    json->insert(QStringLiteral("mismatches"), list);
}
