#pragma once

#include "paramcatalogue.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

using AttributeList = QList<QPair<QString, QString>>;

// Value bytes of a parameter <-> the attributes of its element in a configuration document.
namespace ParamCodec {

// The attributes for value bytes read from the device: `param` with the bytes as lower-case hex
// for a simple parameter, one attribute per field for a composite one (the metering-device type
// in decimal, as the device's own documents write it).
AttributeList attributesFromValue(const ParamCatalogue::Param &param, const QByteArray &value);

} // namespace ParamCodec
