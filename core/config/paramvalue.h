#pragma once

#include "paramcatalogue.h"
#include "paramlabels.h"

#include <QDomElement>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QTranslator;

// Configuration values as a person reads and types them: "3600 с", "868.1 MHz", "on",
// "DR0 SF12/125 kHz (0)", "UTC+03:00". Documents keep the device's hex; this is the one place
// that turns it into words and back, by the same rules (ranges, clamps, the inverted `private`)
// as the editor and the files.
namespace ParamValue {

using ParamLabels::Lang;

// One entry of a choice list: the data the document holds and the texts shown for it.
struct Choice
{
    qint64 code = 0;
    QString russian; // as the device database holds it
    QString english;
};

// What the words depend on beyond the catalogue: the choice lists of the device model (they
// come from the device database, per firmware group) and the English translation.
struct Vocabulary
{
    // Keyed by element or field name (see ParamLabels::Entry::choiceList for where each comes
    // from). A choice without a list here is shown and typed as its code.
    QHash<QString, QList<Choice>> choices;
    // English texts; null: the translation the program has installed.
    const QTranslator *english = nullptr;
};

// Fills the choice lists from a model's form elements: `formItems` gives the items of a form
// element as the database holds them ("text:data", Russian), e.g.
// DB_Worker::getFormElementSource of the model's firmware group.
Vocabulary vocabulary(const std::function<QStringList(const QString &)> &formItems,
                      const QTranslator *english = nullptr);

// The attributes of an element a person reads and types one by one: "param", or the fields of
// a composite parameter in wire order.
QStringList attributes(const ParamCatalogue::Param &param);

// One attribute's document text in words. Text that does not decode (a choice not in its list
// is shown as its code) is shown as it stands.
QString human(const ParamCatalogue::Param &param, const QString &attribute, const QString &text,
              Lang lang, const Vocabulary &vocabulary);

// A whole element in words: its value, or "label: value; ..." for the fields of a composite.
QString human(const ParamCatalogue::Param &param, const QDomElement &element, Lang lang,
              const Vocabulary &vocabulary);

// What a person typed for one attribute -> its document text (hex; the metering-device type in
// decimal, as a read writes it). A plain number is taken in the unit shown; durations may carry
// ms, s, min, h or d, frequencies Hz, kHz or MHz; choices are typed as their text in either
// language (any case) or their code. Values outside what the editor allows are refused, not
// clamped; false then, with *error (in `lang`) naming what is allowed.
bool parse(const ParamCatalogue::Param &param, const QString &attribute, const QString &typed,
           const Vocabulary &vocabulary, QString *textOut, QString *error,
           Lang lang = Lang::English);

// The same for a simple parameter's `param` attribute.
bool parse(const ParamCatalogue::Param &param, const QString &typed, const Vocabulary &vocabulary,
           QString *hexOut, QString *error, Lang lang = Lang::English);

} // namespace ParamValue
