#pragma once

#include <QList>
#include <QString>

class QTranslator;

// What a person reads beside each configuration value: its label and unit, in Russian (the
// texts of the window's pages) or English (the program's translation), and how its value is
// put into words. Keyed by element name, and by field name for the fields of composite
// elements (field names are unique across the catalogue).
namespace ParamLabels {

enum class Lang { Russian, English };

// How a value is read and typed.
enum class Shape {
    Activation,  // OTAA / ABP
    Bool,        // on / off, by the meaning of the check box (`private` inverted)
    Number,      // a decimal number, in its unit if it has one
    Duration,    // a time in its unit (s or ms), also typed with s, min, h, d
    Frequency,   // stored in Hz, shown in MHz
    Choice,      // the data of a choice list
    ChoiceIndex, // the position in a choice list
    Eui,         // 8-byte identifiers, shown as the window shows a DevEUI
    Key,         // keys and addresses, hex digits
    TimeZone,    // offset from UTC
    FixedPoint,  // a fixed transmission point: off, every day or a day of the month, and a time
    Hex,         // opaque or computed bytes, hex digits
};

enum class Unit { None, Second, Millisecond, Hertz, Baud, Pulses, Periods };

struct Entry
{
    const char *name;  // element or field
    const char *label; // Russian; "%1" takes `labelArg`
    int labelArg;      // -1: none
    Unit unit;
    Shape shape;
    const char *choiceList; // the device database's form element of the list, or null
};

// Every entry, elements and fields.
const QList<Entry> &all();

// The entry of an element or composite field; null for names the configurator does not know.
const Entry *entry(const QString &name);

// The label of an element or field in `lang`, without unit; the name itself when unknown.
// English comes from `english` when given, else from the translation the program has installed
// (which gives Russian while the program runs in Russian).
QString label(const QString &name, Lang lang, const QTranslator *english = nullptr);

// The short symbol of a unit ("s", "ms", "MHz", ...; "с", "мс", "МГц" in Russian); empty for
// Unit::None. A frequency is stored in Hz but read in MHz, and this is the unit it is read in.
QString unitSymbol(Unit unit, Lang lang, const QTranslator *english = nullptr);

// A program text of `context` in `lang`: Russian is the source, English its translation.
QString text(const char *context, const QString &source, Lang lang,
             const QTranslator *english = nullptr);

} // namespace ParamLabels
