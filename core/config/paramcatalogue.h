#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The device's configuration parameters: every code the configurator knows, the element that
// carries it in a configuration document, and how many value bytes it has on the wire.
namespace ParamCatalogue {

// How the editor shows a parameter; the value rules themselves live with the codecs.
enum class Kind {
    Activation,   // otaa_activation: radio buttons
    Bool,         // one byte, "01" = checked
    BoolInverted, // `private`: "00" = checked
    HexKey,       // keys and addresses, typed as hex digits
    Number,       // a number typed in decimal
    ComboData,    // the item data of a combo box
    ComboIndex,   // the item index of a combo box
    Frequency,    // frequencies of the frequency plan, Hz
    TimeZone,     // signed offset from UTC in seconds
    FixedPoint,   // day, hour, minute, second
    Timing,       // input timing, computed
    Opaque,       // kept as read, no editor
    Composite,    // several fields, one attribute each
    ReadOnly,     // a device fact, never written
};

struct Field
{
    const char *name;
    int bytes; // restOfValue for the last field of a variable-length value
};

constexpr int asRead = -1;         // as many bytes as the device reports
constexpr int typePlusConfig = -2; // rs_meter_config: a type byte and a block that depends on it
constexpr int restOfValue = -1;

struct Param
{
    quint16 code;
    const char *element;
    int bytes;
    Kind kind;
    QList<Field> fields; // composite parameters only, in wire order
};

const QList<Param> &all();
const Param *byCode(quint16 code);
const Param *byElement(const QString &element);
// The parameter an element of a document sets; null for unknown and read-only elements (device
// facts), which are never written.
const Param *writableByElement(const QString &element);

// The secret keys: the AppKey and the session keys. A configuration shown to a person masks
// them unless asked, and no record the program keeps holds them (only a fingerprint). The
// identifiers beside them (DevEUI, AppEUI, NetID, DevAddr) are not secret.
const QStringList &secretElements();
bool isSecret(const QString &element);

// Value bytes of the metering-device block after the type byte, per metering-device type
// (0..12); -1 for an unknown type.
int meterConfigBytes(int meterType);

// Whether `value` has the length the parameter needs (opaque parameters take any length
// of 1 byte or more; the metering block must fit its type).
bool validLength(const Param &param, const QByteArray &value);

} // namespace ParamCatalogue
