#pragma once

#include "paramcatalogue.h"

#include <QByteArray>
#include <QDomElement>
#include <QList>
#include <QPair>
#include <QString>
#include <QTime>
#include <QVariantMap>

using AttributeList = QList<QPair<QString, QString>>;

// Value bytes of a parameter <-> the attributes of its element in a configuration document,
// and the editor's rules for turning typed values into document text.
namespace ParamCodec {

// ---- document <-> device ----------------------------------------------------------------

// The attributes for value bytes read from the device: `param` with the bytes as lower-case hex
// for a simple parameter, one attribute per field for a composite one (the metering-device type
// in decimal).
AttributeList attributesFromValue(const ParamCatalogue::Param &param, const QByteArray &value);

// The value text a document element holds for the device: `param`, or the field attributes
// joined in wire order (the metering-device type turned into its byte). Empty when the element
// cannot be sent; *error then says why.
QString valueTextOf(const ParamCatalogue::Param &param, const QDomElement &element,
                    QString *error = nullptr);

// Checks an element before it may ever reach a device: hex of the catalogue's length (each
// field of its own length). Empty when sound, else the reason.
QString checkElement(const ParamCatalogue::Param &param, const QDomElement &element);

// Hex text -> bytes; false for anything that is not an even number of hex digits.
bool decodeHex(const QString &text, QByteArray *out);

// The metering-device type as written in documents: decimal (what a read writes), or the two
// hex digits older editors wrote for types 10..12. -1 when it is neither.
int meterTypeFromText(const QString &text);

// ---- editor rules ------------------------------------------------------------------------

// A number in base 16, left-padded with '0' to 2*bytes digits; wider numbers keep all digits.
QString hexNumber(quint64 value, int bytes);

// The clamp the editor applies to a number typed for this element, as [min, max]; false when
// the element has none (either pointer may be null).
bool numberRange(const QString &element, qint64 *min, qint64 *max);

// The band a frequency of the plan (channels and the second receive window) must lie in, in Hz;
// 0 stands for a channel that is not used.
void frequencyRange(qint64 *minHz, qint64 *maxHz);

// Applies the editor's clamp to a typed decimal number and gives the clamped value
// (count_diff_N: 0 stays 0, 1..9999 becomes 10000, above 4294967295 becomes 4294967295).
quint64 clampTyped(const QString &element, qint64 typed);

// Document text for a number typed in the editor (clamped first).
QString numberText(const ParamCatalogue::Param &param, qint64 typed);

// The number an element's hex text shows in the editor (count_diff_N and
// ambient_light_level unsigned 32-bit, the others signed 32-bit).
qint64 numberFromText(const QString &element, const QString &hex);

// A key or EUI as documents hold it (lower-case hex), or a null text when the typed one is not
// exactly its width in hex digits: a short key padded with zeros would be a different key.
QString keyText(const QString &typed, int bytes);

// Booleans: "01" checked, "00" not; `private` the other way round.
QString boolText(const QString &element, bool checked);
bool checkedFromText(const QString &element, const QString &hex);

// Time zone: signed offset in seconds <-> 8 hex digits (two's complement below zero).
QString timeZoneText(int offsetSeconds);
int timeZoneOffset(const QString &hex);

// Fixed transmission point: day (0 off, 32 every day, 1..31 that day) and time of day.
struct FixedPoint
{
    bool enabled = false;
    bool everyDay = false;
    int day = 1;
    QTime time{0, 0, 0};
};
QString fixedPointText(const FixedPoint &point);
FixedPoint fixedPointFromText(const QString &hex);

// Input timing for an input mode at a scan period in ms (an empty or zero period gives T = 0).
QString timingText(int inputMode, int scanPeriodMs);

// Metering-device block (the `config` field) <-> the values of its page, keyed by widget name
// (numbers as decimal text, flags as "1"/"0", texts as typed).
QVariantMap meterFieldsFromConfig(int meterType, const QString &configHex);
QString meterConfigFromFields(int meterType, const QVariantMap &fields);

} // namespace ParamCodec
