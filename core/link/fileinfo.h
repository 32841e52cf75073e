#pragma once

#include <QMetaType>
#include <QString>

// The device's file information (answer 0x8102).
struct FILE_INFO
{
    quint8 fileType = 0;
    QString extraVersion;
    QString fwVersion;
    quint16 devId = 0;
    QString updFileVersion;
    quint16 extraWord = 0;
};

Q_DECLARE_METATYPE(FILE_INFO)
