#include "paramvalue.h"

#include "deveui.h"
#include "paramcodec.h"

#include <QRegularExpression>
#include <QTime>

#include <limits>

namespace ParamValue {

namespace {
using ParamCatalogue::Param;
using ParamLabels::Shape;
using ParamLabels::Unit;

const QString paramAttr = QStringLiteral("param");
const QString meterTypeAttr = QStringLiteral("meter_type");

QString say(const char *source, Lang lang, const Vocabulary &v)
{
    return ParamLabels::text("ParamValue", QString::fromUtf8(source), lang, v.english);
}

bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

// Value bytes of an attribute; ParamCatalogue::restOfValue for the metering block.
int attributeBytes(const Param &param, const QString &attribute)
{
    if (attribute == paramAttr)
        return param.bytes;
    for (const ParamCatalogue::Field &f : param.fields) {
        if (attribute == QLatin1String(f.name))
            return f.bytes;
    }
    return 0;
}

// The label entry for an attribute: the field's own, or the element's.
const ParamLabels::Entry *entryOf(const Param &param, const QString &attribute)
{
    return ParamLabels::entry(attribute == paramAttr ? QString::fromLatin1(param.element)
                                                     : attribute);
}

QString withUnit(const QString &number, Unit unit, Lang lang, const Vocabulary &v)
{
    const QString symbol = ParamLabels::unitSymbol(unit, lang, v.english);
    return symbol.isEmpty() ? number : number + QLatin1Char(' ') + symbol;
}

// Unit spellings a person may type, both languages, as a multiple of the smallest unit.
struct Spelling
{
    const char *text;
    qint64 factor;
};
const Spelling timeSpellings[] = {
    {"ms", 1},       {"мс", 1},       {"s", 1000},       {"sec", 1000},  {"с", 1000},
    {"сек", 1000},   {"min", 60000},  {"мин", 60000},    {"h", 3600000}, {"ч", 3600000},
    {"d", 86400000}, {"д", 86400000}, {"сут", 86400000},
};
const Spelling frequencySpellings[] = {
    {"Hz", 1}, {"Гц", 1}, {"kHz", 1000}, {"кГц", 1000}, {"MHz", 1000000}, {"МГц", 1000000},
};

template<size_t N> qint64 spelledFactor(const Spelling (&spellings)[N], const QString &unit)
{
    for (const Spelling &s : spellings) {
        if (unit.compare(QString::fromUtf8(s.text), Qt::CaseInsensitive) == 0)
            return s.factor;
    }
    return 0;
}

template<size_t N> QString spellingList(const Spelling (&spellings)[N])
{
    QStringList out;
    for (const Spelling &s : spellings) {
        if (uchar(s.text[0]) < 0x80) // the Latin spellings name them all
            out << QString::fromUtf8(s.text);
    }
    return out.join(QStringLiteral(", "));
}

// A typed number and what follows it: "2.5 min" -> 25, scale 1, "min".
struct Typed
{
    qint64 digits = 0;
    int scale = 0; // decimal places in `digits`
    QString unit;
};

bool splitTyped(const QString &typed, Typed *out)
{
    static const QRegularExpression form(
        QStringLiteral("\\A\\s*(-?)(\\d{1,15})(?:[.,](\\d{1,6}))?\\s*(\\S*)\\s*\\z"));
    const QRegularExpressionMatch m = form.match(typed);
    if (!m.hasMatch() || m.captured(2).size() + m.captured(3).size() > 17)
        return false;
    out->digits = (m.captured(2) + m.captured(3)).toLongLong();
    if (!m.captured(1).isEmpty())
        out->digits = -out->digits;
    out->scale = m.captured(3).size();
    out->unit = m.captured(4);
    return true;
}

// digits / 10^scale * factor / base as a whole number.
enum class Scaled { Whole, Fraction, TooBig };
Scaled scaled(const Typed &t, qint64 factor, qint64 base, qint64 *value)
{
    qint64 divisor = base;
    for (int i = 0; i < t.scale; ++i)
        divisor *= 10;
    const qint64 limit = std::numeric_limits<qint64>::max() / factor;
    if (t.digits > limit || t.digits < -limit)
        return Scaled::TooBig;
    const qint64 product = t.digits * factor;
    if (product % divisor != 0)
        return Scaled::Fraction;
    *value = product / divisor;
    return Scaled::Whole;
}

// The numbers an attribute takes, and how to name them (in the attribute's own unit).
bool numberAllowed(const Param &param, const QString &attribute, qint64 value, QString *range,
                   Lang lang, const Vocabulary &v)
{
    const QString element = QString::fromLatin1(param.element);
    const int bytes = attributeBytes(param, attribute);
    if (attribute == paramAttr && element.startsWith(QLatin1String("count_diff_"))) {
        // The editor's clamp names what it keeps: 0 and the span it brings numbers into.
        const quint64 low = ParamCodec::clampTyped(element, 1);
        const quint64 high = ParamCodec::clampTyped(element, std::numeric_limits<qint64>::max());
        *range = say(QT_TRANSLATE_NOOP("ParamValue", "0 или %1..%2"), lang, v).arg(low).arg(high);
        return value >= 0 && ParamCodec::clampTyped(element, value) == quint64(value);
    }
    qint64 min = 0;
    qint64 max = bytes >= 1 && bytes <= 4 ? (qint64(1) << (8 * bytes)) - 1 : 0;
    if (attribute == paramAttr)
        ParamCodec::numberRange(element, &min, &max);
    *range = QStringLiteral("%1..%2").arg(min).arg(max);
    return value >= min && value <= max;
}

QString rangeError(const QString &typed, const QString &range, Lang lang, const Vocabulary &v)
{
    return say(QT_TRANSLATE_NOOP("ParamValue", "«%1»: допустимые значения %2"), lang, v)
        .arg(typed.trimmed(), range);
}

QString choiceText(const Choice &c, Lang lang)
{
    const QString &t = lang == Lang::English && !c.english.isEmpty() ? c.english : c.russian;
    return QStringLiteral("%1 (%2)").arg(t).arg(c.code);
}

qint64 choiceCode(const QString &attribute, const QString &text)
{
    if (attribute == meterTypeAttr)
        return ParamCodec::meterTypeFromText(text);
    bool ok = false;
    const qint64 code = text.toLongLong(&ok, 16);
    return ok ? code : -1;
}

QString mhzText(qint64 hz)
{
    QString text = QString::number(hz / 1000000);
    if (const qint64 fraction = hz % 1000000) {
        QString digits = QStringLiteral("%1").arg(fraction, 6, 10, QLatin1Char('0'));
        while (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        text += QLatin1Char('.') + digits;
    }
    return text;
}

QString timeZoneWords(int offset)
{
    const int a = qAbs(offset);
    QString t = QStringLiteral("UTC%1%2:%3")
                    .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                    .arg(a / 3600, 2, 10, QLatin1Char('0'))
                    .arg(a / 60 % 60, 2, 10, QLatin1Char('0'));
    if (a % 60)
        t += QStringLiteral(":%1").arg(a % 60, 2, 10, QLatin1Char('0'));
    return t;
}

// Zones in use lie between these offsets.
constexpr int minZoneOffset = -12 * 3600;
constexpr int maxZoneOffset = 14 * 3600;

QString normalisedHex(const QString &text)
{
    return text.trimmed().toLower();
}

// ---- per shape ------------------------------------------------------------------------------

bool parseNumber(const Param &param, const QString &attribute, const ParamLabels::Entry &e,
                 const QString &typed, const Vocabulary &v, QString *out, QString *error, Lang lang)
{
    Typed t;
    if (!splitTyped(typed, &t))
        return fail(
            error,
            say(QT_TRANSLATE_NOOP("ParamValue", "«%1» — не число"), lang, v).arg(typed.trimmed()));
    qint64 value = 0;
    const bool duration = e.shape == Shape::Duration;
    const qint64 base = e.unit == Unit::Second ? 1000 : 1;
    qint64 factor = base;
    if (!t.unit.isEmpty()) {
        if (duration) {
            factor = spelledFactor(timeSpellings, t.unit);
        } else {
            const QString u = t.unit.toLower();
            const bool own =
                e.unit != Unit::None &&
                (u == ParamLabels::unitSymbol(e.unit, Lang::Russian).toLower() ||
                 u == ParamLabels::unitSymbol(e.unit, Lang::English, v.english).toLower());
            factor = own ? base : 0;
        }
        if (factor == 0) {
            const QString known = duration ? spellingList(timeSpellings)
                                           : ParamLabels::unitSymbol(e.unit, lang, v.english);
            return fail(
                error,
                say(QT_TRANSLATE_NOOP("ParamValue", "«%1»: неизвестная единица «%2» (%3)"), lang, v)
                    .arg(typed.trimmed(), t.unit, known));
        }
    }
    QString range;
    const Scaled got = scaled(t, factor, base, &value);
    if (got == Scaled::Fraction)
        return fail(error,
                    say(QT_TRANSLATE_NOOP("ParamValue", "«%1»: нужно целое число, %2"), lang, v)
                        .arg(typed.trimmed(), withUnit(QStringLiteral("1"), e.unit, lang, v)));
    if (got == Scaled::TooBig) {
        numberAllowed(param, attribute, 0, &range, lang, v);
        return fail(error, rangeError(typed, withUnit(range, e.unit, lang, v), lang, v));
    }
    if (!numberAllowed(param, attribute, value, &range, lang, v))
        return fail(error, rangeError(typed, withUnit(range, e.unit, lang, v), lang, v));
    const int bytes = attributeBytes(param, attribute);
    *out = ParamCodec::hexNumber(quint64(value), bytes);
    return true;
}

bool parseFrequency(const QString &typed, const Vocabulary &v, QString *out, QString *error,
                    Lang lang)
{
    Typed t;
    if (!splitTyped(typed, &t))
        return fail(
            error,
            say(QT_TRANSLATE_NOOP("ParamValue", "«%1» — не число"), lang, v).arg(typed.trimmed()));
    qint64 factor = 1000000; // a plain number is in MHz, as shown
    if (!t.unit.isEmpty() && (factor = spelledFactor(frequencySpellings, t.unit)) == 0)
        return fail(
            error,
            say(QT_TRANSLATE_NOOP("ParamValue", "«%1»: неизвестная единица «%2» (%3)"), lang, v)
                .arg(typed.trimmed(), t.unit, spellingList(frequencySpellings)));
    qint64 minHz = 0;
    qint64 maxHz = 0;
    ParamCodec::frequencyRange(&minHz, &maxHz);
    qint64 hz = 0;
    if (scaled(t, factor, 1, &hz) != Scaled::Whole || (hz != 0 && (hz < minHz || hz > maxHz))) {
        const QString range = say(QT_TRANSLATE_NOOP("ParamValue", "0 или %1..%2"), lang, v)
                                  .arg(mhzText(minHz), mhzText(maxHz));
        return fail(error, rangeError(typed, withUnit(range, Unit::Hertz, lang, v), lang, v));
    }
    *out = ParamCodec::hexNumber(quint64(hz), 4);
    return true;
}

bool parseChoice(const Param &param, const QString &attribute, const QString &typed,
                 const Vocabulary &v, QString *out, QString *error, Lang lang)
{
    const QList<Choice> list =
        v.choices.value(attribute == paramAttr ? QString::fromLatin1(param.element) : attribute);
    const QString t = typed.trimmed();
    // The shown form "text (code)" comes back as it was shown.
    static const QRegularExpression shown(QStringLiteral("\\A(.*?)\\s*\\((\\d+)\\)\\z"));
    QString name = t;
    qint64 code = -1;
    bool ok = false;
    const QRegularExpressionMatch m = shown.match(t);
    if (m.hasMatch()) {
        name = m.captured(1);
        code = m.captured(2).toLongLong();
    } else if ((code = t.toLongLong(&ok)), ok) {
        name.clear();
    } else {
        code = -1;
    }
    bool known = list.isEmpty() && code >= 0 && name.isEmpty();
    for (const Choice &c : list) {
        const bool nameFits = name.isEmpty() || name.compare(c.russian, Qt::CaseInsensitive) == 0 ||
                              name.compare(c.english, Qt::CaseInsensitive) == 0;
        if (nameFits && (code < 0 || code == c.code)) {
            code = c.code;
            known = true;
            break;
        }
    }
    const int bytes = attributeBytes(param, attribute);
    const qint64 widest = bytes >= 1 && bytes <= 4 ? (qint64(1) << (8 * bytes)) - 1 : 0;
    if (list.isEmpty() && known && code > widest)
        return fail(error, rangeError(typed, QStringLiteral("0..%1").arg(widest), lang, v));
    if (!known && list.isEmpty())
        return fail(error, say(QT_TRANSLATE_NOOP("ParamValue",
                                                 "«%1»: варианты модели неизвестны, введите код"),
                               lang, v)
                               .arg(t));
    if (!known) {
        QStringList names;
        for (const Choice &c : list)
            names << choiceText(c, lang);
        return fail(error,
                    say(QT_TRANSLATE_NOOP("ParamValue", "«%1» нет среди вариантов: %2"), lang, v)
                        .arg(t, names.join(QStringLiteral("; "))));
    }
    *out = attribute == meterTypeAttr ? QString::number(code)
                                      : ParamCodec::hexNumber(quint64(code), bytes);
    return true;
}

bool parseTimeZone(const QString &typed, const Vocabulary &v, QString *out, QString *error,
                   Lang lang)
{
    static const QRegularExpression form(
        QStringLiteral("\\A(?:UTC|GMT)?\\s*(?:([+-])\\s*(\\d{1,2})(?::(\\d{2}))?(?::(\\d{2}))?)?"
                       "\\z"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression plain(QStringLiteral("\\A(\\d{1,2})(?::(\\d{2}))?\\z"));
    const QString t = typed.trimmed();
    QRegularExpressionMatch m = form.match(t);
    int sign = 1;
    int h = 0;
    int min = 0;
    int sec = 0;
    if (m.hasMatch() && !t.isEmpty()) {
        sign = m.captured(1) == QLatin1String("-") ? -1 : 1;
        h = m.captured(2).toInt();
        min = m.captured(3).toInt();
        sec = m.captured(4).toInt();
    } else if ((m = plain.match(t)).hasMatch()) {
        h = m.captured(1).toInt();
        min = m.captured(2).toInt();
    } else {
        return fail(error,
                    say(QT_TRANSLATE_NOOP("ParamValue", "«%1»: ожидается смещение от UTC, например "
                                                        "UTC+03:00"),
                        lang, v)
                        .arg(t));
    }
    const int offset = sign * (h * 3600 + min * 60 + sec);
    if (min > 59 || sec > 59 || offset < minZoneOffset || offset > maxZoneOffset)
        return fail(error, rangeError(typed,
                                      QStringLiteral("%1..%2").arg(timeZoneWords(minZoneOffset),
                                                                   timeZoneWords(maxZoneOffset)),
                                      lang, v));
    *out = ParamCodec::timeZoneText(offset);
    return true;
}

const char *const offWord = QT_TRANSLATE_NOOP("ParamValue", "выкл");
const char *const onWord = QT_TRANSLATE_NOOP("ParamValue", "вкл");
const char *const everyDayWords = QT_TRANSLATE_NOOP("ParamValue", "ежедневно %1");
const char *const dayWords = QT_TRANSLATE_NOOP("ParamValue", "день %1, %2");

// A word in either language, any case.
bool isWord(const QString &typed, const char *source, const Vocabulary &v)
{
    return typed.compare(say(source, Lang::Russian, v), Qt::CaseInsensitive) == 0 ||
           typed.compare(say(source, Lang::English, v), Qt::CaseInsensitive) == 0;
}

bool parseFixedPoint(const QString &typed, const Vocabulary &v, QString *out, QString *error,
                     Lang lang)
{
    const QString t = typed.trimmed().simplified();
    ParamCodec::FixedPoint p;
    auto fixedError = [&] {
        return fail(
            error,
            say(QT_TRANSLATE_NOOP("ParamValue", "«%1»: ожидается «%2», «%3» или «%4»"), lang, v)
                .arg(t, say(offWord, lang, v),
                     say(everyDayWords, lang, v).arg(QStringLiteral("12:00")),
                     say(dayWords, lang, v).arg(QStringLiteral("15"), QStringLiteral("12:00"))));
    };
    if (isWord(t, offWord, v) || t == QLatin1String("0")) {
        *out = ParamCodec::fixedPointText(p);
        return true;
    }
    static const QRegularExpression timeAtEnd(
        QStringLiteral("\\A(.*?)[\\s,]*(\\d{1,2}):(\\d{2})(?::(\\d{2}))?\\z"));
    const QRegularExpressionMatch m = timeAtEnd.match(t);
    if (!m.hasMatch())
        return fixedError();
    p.time = QTime(m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
    if (!p.time.isValid())
        return fixedError();
    const QString head = m.captured(1);
    p.enabled = true;
    // The day part, by the words of the shown form in either language ("%1" stands for the
    // time, "day %1, %2" puts the day first).
    auto stem = [&](const char *source, Lang l) {
        return say(source, l, v).section(QStringLiteral("%1"), 0, 0).trimmed();
    };
    bool matched = false;
    for (Lang l : {Lang::Russian, Lang::English}) {
        if (head.compare(stem(everyDayWords, l), Qt::CaseInsensitive) == 0) {
            p.everyDay = true;
            matched = true;
        } else if (head.startsWith(stem(dayWords, l), Qt::CaseInsensitive)) {
            bool ok = false;
            const int day = head.mid(stem(dayWords, l).size()).trimmed().toInt(&ok);
            if (!ok || day < 1 || day > 31)
                return fail(error, rangeError(typed, QStringLiteral("1..31"), lang, v));
            p.day = day;
            matched = true;
        }
        if (matched)
            break;
    }
    if (!matched)
        return fixedError();
    *out = ParamCodec::fixedPointText(p);
    return true;
}

bool parseHex(const Param &param, const QString &attribute, const QString &typed,
              const Vocabulary &v, QString *out, QString *error, Lang lang)
{
    QString t = typed;
    t.remove(QRegularExpression(QStringLiteral("[\\s:-]")));
    QByteArray bytes;
    if (!ParamCodec::decodeHex(t, &bytes))
        return fail(
            error,
            say(QT_TRANSLATE_NOOP("ParamValue", "«%1»: ожидаются шестнадцатеричные байты"), lang, v)
                .arg(typed.trimmed()));
    const int want = attributeBytes(param, attribute);
    if (attribute == paramAttr) {
        QDomDocument doc;
        QDomElement e = doc.createElement(QString::fromLatin1(param.element));
        e.setAttribute(paramAttr, t);
        if (!ParamCodec::checkElement(param, e).isEmpty() && want > 0)
            return fail(error, say(QT_TRANSLATE_NOOP("ParamValue", "«%1»: нужно байт: %2"), lang, v)
                                   .arg(typed.trimmed())
                                   .arg(want));
        if (bytes.isEmpty())
            return fail(error, say(QT_TRANSLATE_NOOP("ParamValue",
                                                     "«%1»: ожидаются шестнадцатеричные байты"),
                                   lang, v)
                                   .arg(typed.trimmed()));
    } else if (want > 0 && bytes.size() != want) {
        return fail(error, say(QT_TRANSLATE_NOOP("ParamValue", "«%1»: нужно байт: %2"), lang, v)
                               .arg(typed.trimmed())
                               .arg(want));
    }
    *out = t.toLower();
    return true;
}
} // namespace

Vocabulary vocabulary(const std::function<QStringList(const QString &)> &formItems,
                      const QTranslator *english)
{
    Vocabulary v;
    v.english = english;
    for (const ParamLabels::Entry &e : ParamLabels::all()) {
        if (!e.choiceList)
            continue;
        QList<Choice> list;
        for (const QString &item : formItems(QString::fromLatin1(e.choiceList))) {
            const int colon = item.lastIndexOf(QLatin1Char(':'));
            bool ok = false;
            const qint64 data = item.mid(colon + 1).toLongLong(&ok);
            if (colon < 0 || !ok)
                continue;
            Choice c;
            // A list chosen by position counts its entries, whatever data they carry.
            c.code = e.shape == Shape::ChoiceIndex ? list.size() : data;
            c.russian = item.left(colon);
            c.english = ParamLabels::text("DeviceDatabase", c.russian, Lang::English, english);
            list << c;
        }
        if (!list.isEmpty())
            v.choices.insert(QString::fromLatin1(e.name), list);
    }
    return v;
}

QStringList attributes(const Param &param)
{
    if (param.kind != ParamCatalogue::Kind::Composite)
        return {paramAttr};
    QStringList out;
    for (const ParamCatalogue::Field &f : param.fields)
        out << QString::fromLatin1(f.name);
    return out;
}

QString human(const Param &param, const QString &attribute, const QString &text, Lang lang,
              const Vocabulary &v)
{
    const ParamLabels::Entry *e = entryOf(param, attribute);
    const QString element = QString::fromLatin1(param.element);
    const int bytes = attributeBytes(param, attribute);
    QByteArray raw;
    const bool hex = ParamCodec::decodeHex(text, &raw);
    const bool sized = hex && (bytes <= 0 || raw.size() == bytes);
    if (!e || (!sized && attribute != meterTypeAttr))
        return text;
    switch (e->shape) {
    case Shape::Activation:
        if (raw.size() == 1 && quint8(raw.at(0)) <= 1)
            return raw.at(0) ? QStringLiteral("OTAA") : QStringLiteral("ABP");
        return text;
    case Shape::Bool:
        if (raw.size() == 1 && quint8(raw.at(0)) <= 1)
            return say(ParamCodec::checkedFromText(element, text) ? onWord : offWord, lang, v);
        return text;
    case Shape::Number:
    case Shape::Duration: {
        const qint64 n = attribute == paramAttr ? ParamCodec::numberFromText(element, text)
                                                : qint64(text.toULongLong(nullptr, 16));
        return withUnit(QString::number(n), e->unit, lang, v);
    }
    case Shape::Frequency:
        return withUnit(mhzText(qint64(text.toULongLong(nullptr, 16))), Unit::Hertz, lang, v);
    case Shape::Choice:
    case Shape::ChoiceIndex: {
        const qint64 code = choiceCode(attribute, text);
        if (code < 0)
            return text;
        const QString listName = attribute == paramAttr ? element : attribute;
        for (const Choice &c : v.choices.value(listName)) {
            if (c.code == code)
                return choiceText(c, lang);
        }
        return QString::number(code);
    }
    case Shape::Eui:
        return DevEui::shown(text);
    case Shape::Key:
        return normalisedHex(text);
    case Shape::TimeZone:
        return timeZoneWords(ParamCodec::timeZoneOffset(text));
    case Shape::FixedPoint: {
        const ParamCodec::FixedPoint p = ParamCodec::fixedPointFromText(text);
        // Bytes the editor would not write back as they are stay visible as bytes.
        if (ParamCodec::fixedPointText(p) != normalisedHex(text))
            return normalisedHex(text);
        const QString time = p.time.toString(QStringLiteral("HH:mm:ss"));
        if (!p.enabled)
            return say(offWord, lang, v);
        if (p.everyDay)
            return say(everyDayWords, lang, v).arg(time);
        return say(dayWords, lang, v).arg(p.day).arg(time);
    }
    case Shape::Hex:
        return normalisedHex(text);
    }
    return text;
}

QString human(const Param &param, const QDomElement &element, Lang lang, const Vocabulary &v)
{
    const QStringList attrs = attributes(param);
    if (param.kind != ParamCatalogue::Kind::Composite)
        return human(param, paramAttr, element.attribute(paramAttr), lang, v);
    QStringList parts;
    for (const QString &a : attrs)
        parts << ParamLabels::label(a, lang, v.english) + QStringLiteral(": ") +
                     human(param, a, element.attribute(a), lang, v);
    return parts.join(QStringLiteral("; "));
}

bool parse(const Param &param, const QString &attribute, const QString &typed, const Vocabulary &v,
           QString *textOut, QString *error, Lang lang)
{
    const ParamLabels::Entry *e = entryOf(param, attribute);
    if (param.kind == ParamCatalogue::Kind::ReadOnly || !e ||
        (attribute != paramAttr) != (param.kind == ParamCatalogue::Kind::Composite))
        return fail(error, say(QT_TRANSLATE_NOOP("ParamValue", "%1 не задаётся"), lang, v)
                               .arg(attribute == paramAttr ? QString::fromLatin1(param.element)
                                                           : attribute));
    QString out;
    const QString t = typed.trimmed();
    switch (e->shape) {
    case Shape::Activation:
        if (t.compare(QLatin1String("OTAA"), Qt::CaseInsensitive) == 0)
            out = QStringLiteral("01");
        else if (t.compare(QLatin1String("ABP"), Qt::CaseInsensitive) == 0)
            out = QStringLiteral("00");
        else
            return fail(error,
                        say(QT_TRANSLATE_NOOP("ParamValue", "«%1»: ожидается %2 или %3"), lang, v)
                            .arg(t, QStringLiteral("OTAA"), QStringLiteral("ABP")));
        break;
    case Shape::Bool: {
        // The English words also without a translation at hand: scripts type them.
        static const QStringList yes{QStringLiteral("1"), QStringLiteral("on"),
                                     QStringLiteral("yes"), QStringLiteral("true"),
                                     QStringLiteral("да")};
        static const QStringList no{QStringLiteral("0"), QStringLiteral("off"),
                                    QStringLiteral("no"), QStringLiteral("false"),
                                    QStringLiteral("нет")};
        bool checked = false;
        if (isWord(t, onWord, v) || yes.contains(t, Qt::CaseInsensitive))
            checked = true;
        else if (!isWord(t, offWord, v) && !no.contains(t, Qt::CaseInsensitive))
            return fail(error,
                        say(QT_TRANSLATE_NOOP("ParamValue", "«%1»: ожидается %2 или %3"), lang, v)
                            .arg(t, say(onWord, lang, v), say(offWord, lang, v)));
        out = ParamCodec::boolText(QString::fromLatin1(param.element), checked);
        break;
    }
    case Shape::Number:
    case Shape::Duration:
        if (!parseNumber(param, attribute, *e, t, v, &out, error, lang))
            return false;
        break;
    case Shape::Frequency:
        if (!parseFrequency(t, v, &out, error, lang))
            return false;
        break;
    case Shape::Choice:
    case Shape::ChoiceIndex:
        if (!parseChoice(param, attribute, t, v, &out, error, lang))
            return false;
        break;
    case Shape::Eui:
    case Shape::Key: {
        QString digits = t;
        digits.remove(QRegularExpression(QStringLiteral("[\\s:-]")));
        out = ParamCodec::keyText(digits, param.bytes);
        if (out.isNull())
            return fail(error,
                        say(QT_TRANSLATE_NOOP("ParamValue",
                                              "«%1»: нужно %2 шестнадцатеричных цифр (0-9, A-F)"),
                            lang, v)
                            .arg(t)
                            .arg(2 * param.bytes));
        break;
    }
    case Shape::TimeZone:
        if (!parseTimeZone(t, v, &out, error, lang))
            return false;
        break;
    case Shape::FixedPoint:
        if (!parseFixedPoint(t, v, &out, error, lang))
            return false;
        break;
    case Shape::Hex:
        if (!parseHex(param, attribute, t, v, &out, error, lang))
            return false;
        break;
    }
    if (textOut)
        *textOut = out;
    return true;
}

bool parse(const Param &param, const QString &typed, const Vocabulary &v, QString *hexOut,
           QString *error, Lang lang)
{
    return parse(param, paramAttr, typed, v, hexOut, error, lang);
}

} // namespace ParamValue
