#pragma once

#include <QString>
#include <QtGlobal>

// Who the connected device is, as its information answer says. The device ID holds the model
// in its low 10 bits and the hardware revision above them.
struct DeviceIdentity
{
    static constexpr int modelMask = 0x3FF;
    static constexpr int revisionShift = 10;

    // How the device is reached: on the cable, over the radio relay of the device on the
    // cable, or through the remote-configuration server.
    enum class Path { Usb, Relay, Remote };

    QString firmware;
    quint16 devId = 0;
    QString serialNumber;
    QString devEui;
    Path path = Path::Usb;
    QString via{}; // relay: the serial number of the device on the cable; remote: the IMEI

    // The same device reached the same way: edits and confirmations made for one are never
    // silently taken for another.
    bool sameDevice(const DeviceIdentity &other) const
    {
        return devId == other.devId && serialNumber == other.serialNumber &&
               path == other.path && via == other.via;
    }
    bool isKnown() const { return devId != 0 || !serialNumber.isEmpty(); }

    int model() const { return modelOf(devId); }
    int revision() const { return revisionOf(devId); }
    // The key of the device database and the firmware store: "750", or "750_2" for
    // revision 2.
    QString key() const { return keyOf(devId); }
    // The name the device is known by to its users, the same in the window and the CLI:
    // "Vexa750v2". brand is "Vexa" or, in the window, its translation; "v2" names the product
    // generation, which the hardware revision of the identifier does not change.
    QString shownName(const QString &brand = QStringLiteral("Vexa")) const
    {
        return brand + QString::number(model()) + QStringLiteral("v2");
    }

    static int modelOf(quint16 devId) { return devId & modelMask; }
    static int revisionOf(quint16 devId) { return devId >> revisionShift; }
    static quint16 idOf(int model, int revision)
    {
        return quint16((revision << revisionShift) | (model & modelMask));
    }
    static QString keyOf(quint16 devId)
    {
        const QString model = QString::number(modelOf(devId));
        const int revision = revisionOf(devId);
        return revision ? model + QLatin1Char('_') + QString::number(revision) : model;
    }
};
