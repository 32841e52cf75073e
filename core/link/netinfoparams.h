#pragma once

#include <QMetaType>
#include <QString>

// What the network-information view shows: the session of the last network status answer and
// the device class by name. Travels in signals, so it is a registered value type.
struct NET_INFO_PARAMS
{
    QString devAddr;   // device network address, 8 hex digits
    QString appSKey;   // application session key
    QString nwkSKey;   // network session key
    QString workClass; // device class as shown in the class combo box
};

Q_DECLARE_METATYPE(NET_INFO_PARAMS)
