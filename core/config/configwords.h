#pragma once

#include "paramvalue.h"

#include <QDomDocument>
#include <QList>
#include <QString>

class DB_Worker;

// A whole configuration in words, for the tables, differences and reports a person reads: each
// element with its label and its value in units, the device's hex beside it. The window, the
// command line and the journal say a value the same way through these.
namespace ConfigWords {

using ParamLabels::Lang;

// The language the program runs in: English words come from the installed translation, which
// gives the Russian texts while none is installed.
constexpr Lang interfaceLanguage = Lang::English;

// What a masked secret shows instead of its value.
extern const QString maskedValue;

struct Row
{
    QString element;
    QString label;  // in the language asked for; the element's name when it has none
    QString value;  // in words; maskedValue for a masked secret
    QString hex;    // the value as the device holds it; maskedValue for a masked secret
    bool masked = false;
};

// Every element of the document, in its order. Secrets are masked unless withKeys.
QList<Row> rows(const QDomDocument &doc, Lang lang, const ParamValue::Vocabulary &vocabulary,
                bool withKeys);

// An element's value in words: known parameters through their human form, device facts (the
// firmware version, the serial number) and anything unknown as the document holds them.
QString valueOf(const QDomElement &element, Lang lang, const ParamValue::Vocabulary &vocabulary);

// A parameter's value given as the bytes it stands for on the wire, in hex (the form of
// ConfigDocument::Mismatch), in words; the text as it stands when it does not decode.
QString valueOfWire(const QString &element, const QString &wireHex, Lang lang,
                    const ParamValue::Vocabulary &vocabulary);

// A parameter whose value differs between two configurations.
struct Difference
{
    QString element;
    QString label;
    QString before; // in words; empty: not in the first
    QString after;  // in words; empty: not in the second
    bool secret = false; // a secret compared without being shown (withKeys off)
};

// "old → new", "—" standing for a value one side lacks.
QString change(const Difference &difference);

// Which elements are compared.
enum class Scope {
    Both,      // every element of either
    AfterOnly, // those of `after`: what writing it would change
};

// What differs from `before` to `after`, by the rule the editor uses for an unchanged value
// (the same bytes on the wire). Device facts (identity) are not compared: they are no value
// one could write. A secret that differs is listed without its values unless withKeys.
QList<Difference> differences(const QDomDocument &before, const QDomDocument &after, Scope scope,
                              Lang lang, const ParamValue::Vocabulary &vocabulary, bool withKeys);

// The choice lists of the device database's current firmware group.
ParamValue::Vocabulary vocabularyOf(DB_Worker &db, const QTranslator *english = nullptr);

// The choice lists of the firmware group of this firmware of this model (an empty firmware:
// the newest group of the model), read from the device database, which is left on that group.
// Empty lists when the database has no group for them.
ParamValue::Vocabulary vocabularyOf(DB_Worker &db, const QString &firmware, quint16 devId,
                                    const QTranslator *english = nullptr);

} // namespace ConfigWords
