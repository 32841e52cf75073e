#include "configwords.h"

#include "configdocument.h"
#include "db_worker.h"
#include "deviceidentity.h"
#include "paramcodec.h"
#include "pendingchanges.h"

namespace ConfigWords {

const QString maskedValue = QStringLiteral("********");

namespace {
// An element's attributes as they stand, for what has no human form.
QString asItStands(const QDomElement &e)
{
    const AttributeList attrs = ConfigDocument::attributesOf(e);
    if (attrs.size() == 1 && attrs.first().first == QLatin1String("param"))
        return attrs.first().second;
    QStringList parts;
    for (const auto &a : attrs)
        parts << a.first + QLatin1Char('=') + a.second;
    return parts.join(QLatin1Char(' '));
}

QString hexOf(const QDomElement &e)
{
    const ParamCatalogue::Param *p = ParamCatalogue::writableByElement(e.tagName());
    const QString wire = p ? ParamCodec::valueTextOf(*p, e) : QString();
    return wire.isEmpty() ? asItStands(e) : wire.toLower();
}

QString labelOf(const QString &element, Lang lang, const ParamValue::Vocabulary &vocabulary)
{
    return ParamLabels::label(element, lang, vocabulary.english);
}
} // namespace

QString valueOf(const QDomElement &element, Lang lang, const ParamValue::Vocabulary &vocabulary)
{
    const ParamCatalogue::Param *p = ParamCatalogue::writableByElement(element.tagName());
    if (!p)
        return asItStands(element);
    return ParamValue::human(*p, element, lang, vocabulary);
}

QString valueOfWire(const QString &element, const QString &wireHex, Lang lang,
                    const ParamValue::Vocabulary &vocabulary)
{
    const ParamCatalogue::Param *p = ParamCatalogue::writableByElement(element);
    QByteArray bytes;
    if (!p || !ParamCodec::decodeHex(wireHex, &bytes) || !ParamCatalogue::validLength(*p, bytes))
        return wireHex;
    QDomDocument doc;
    QDomElement e = doc.createElement(element);
    for (const auto &a : ParamCodec::attributesFromValue(*p, bytes))
        e.setAttribute(a.first, a.second);
    return valueOf(e, lang, vocabulary);
}

QList<Row> rows(const QDomDocument &doc, Lang lang, const ParamValue::Vocabulary &vocabulary,
                bool withKeys)
{
    QList<Row> out;
    for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement()) {
        Row r;
        r.element = e.tagName();
        r.label = labelOf(r.element, lang, vocabulary);
        r.masked = !withKeys && ParamCatalogue::isSecret(r.element);
        r.value = r.masked ? maskedValue : valueOf(e, lang, vocabulary);
        r.hex = r.masked ? maskedValue : hexOf(e);
        out << r;
    }
    return out;
}

QList<Difference> differences(const QDomDocument &before, const QDomDocument &after, Scope scope,
                              Lang lang, const ParamValue::Vocabulary &vocabulary, bool withKeys)
{
    QList<Difference> out;
    const QDomElement a = before.documentElement();
    const QDomElement b = after.documentElement();
    const auto compare = [&](const QString &name) {
        if (ConfigDocument::isIdentity(name))
            return;
        const QDomElement x = a.firstChildElement(name);
        const QDomElement y = b.firstChildElement(name);
        if (!x.isNull() && !y.isNull() && PendingChanges::sameValue(name, x, y))
            return;
        Difference d;
        d.element = name;
        d.label = labelOf(name, lang, vocabulary);
        d.secret = !withKeys && ParamCatalogue::isSecret(name);
        if (!x.isNull())
            d.before = d.secret ? maskedValue : valueOf(x, lang, vocabulary);
        if (!y.isNull())
            d.after = d.secret ? maskedValue : valueOf(y, lang, vocabulary);
        out << d;
    };
    for (QDomElement e = a.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        if (scope == Scope::Both || !b.firstChildElement(e.tagName()).isNull())
            compare(e.tagName());
    }
    for (QDomElement e = b.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        if (a.firstChildElement(e.tagName()).isNull())
            compare(e.tagName());
    }
    return out;
}

QString change(const Difference &d)
{
    const QString none = QStringLiteral("—");
    return (d.before.isEmpty() ? none : d.before) + QStringLiteral(" → ") +
           (d.after.isEmpty() ? none : d.after);
}

ParamValue::Vocabulary vocabularyOf(DB_Worker &db, const QString &firmware, quint16 devId,
                                    const QTranslator *english)
{
    // A firmware newer than every one the database lists is served by the model's newest group.
    static const QString newest = QStringLiteral("999999");
    const QString group =
        db.getFwGroup(firmware.isEmpty() ? newest : firmware, DeviceIdentity::keyOf(devId));
    if (group.isEmpty())
        return ParamValue::vocabulary([](const QString &) { return QStringList(); }, english);
    db.setCurrentFwGroup(group);
    return vocabularyOf(db, english);
}

ParamValue::Vocabulary vocabularyOf(DB_Worker &db, const QTranslator *english)
{
    return ParamValue::vocabulary([&db](const QString &n) { return db.getFormElementSource(n); },
                                  english);
}

} // namespace ConfigWords
