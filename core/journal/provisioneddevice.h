#pragma once

#include <QDateTime>
#include <QString>

// A device provisioned successfully, as the export of a bench's work lists it. Keys are never
// part of it: they come only from the keys file the user holds.
struct ProvisionedDevice
{
    QString serial;
    QString devEui;
    QString joinEui; // the app_eui written
    QString model;
    QString firmware;
    QDateTime time;       // UTC
    bool pending = false; // still waiting in the local outbox
};
