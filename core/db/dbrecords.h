#pragma once

#include <QMetaType>
#include <QString>

// One row of the provider list "gprsList", fields in column order.
struct GPRS_CONFIG
{
    QString provider;
    QString apn;
    QString user;
    QString password;
    QString dialNumber;
};

// One row of the GPS list "gpsList", fields in column order.
struct GPS_CONFIG
{
    QString name;
    QString mode;
    QString description;
    QString assistHost;
};

Q_DECLARE_METATYPE(GPRS_CONFIG)
Q_DECLARE_METATYPE(GPS_CONFIG)
