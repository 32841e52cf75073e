#include "pendingchanges.h"

#include "paramcatalogue.h"

#include <optional>
#include <utility>

namespace {
// The bytes one hex text stands for in a field of `bytes` bytes (any width when negative): a
// shorter number is the same number ("0" is "00000000"). None for what is no hex number.
std::optional<QByteArray> fieldBytes(QString text, int bytes)
{
    text = text.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    if (bytes > 0 && text.size() < 2 * bytes)
        text = text.rightJustified(2 * bytes, QLatin1Char('0'));
    else if (text.size() % 2)
        text.prepend(QLatin1Char('0'));
    QByteArray out;
    if (!ParamCodec::decodeHex(text, &out) || (bytes > 0 && out.size() != bytes))
        return std::nullopt;
    return out;
}

// The value bytes an element stands for on the wire; none when it is no value of the
// parameter.
std::optional<QByteArray> decoded(const ParamCatalogue::Param &p, const QDomElement &e)
{
    if (p.kind != ParamCatalogue::Kind::Composite)
        return fieldBytes(e.attribute(QStringLiteral("param")), p.bytes);
    QByteArray out;
    int meterType = -1;
    for (const ParamCatalogue::Field &f : p.fields) {
        const QString name = QString::fromLatin1(f.name);
        if (!e.hasAttribute(name))
            return std::nullopt;
        if (name == QLatin1String("meter_type")) {
            meterType = ParamCodec::meterTypeFromText(e.attribute(name));
            if (meterType < 0)
                return std::nullopt;
            out.append(char(meterType));
            continue;
        }
        const int width = f.bytes == ParamCatalogue::restOfValue
                              ? ParamCatalogue::meterConfigBytes(meterType)
                              : f.bytes;
        const std::optional<QByteArray> bytes = fieldBytes(e.attribute(name), width);
        if (!bytes)
            return std::nullopt;
        out.append(*bytes);
    }
    return out;
}

QDomElement elementOf(QDomDocument &scratch, const QString &name, const AttributeList &attrs)
{
    QDomElement e = scratch.createElement(name);
    for (const auto &a : attrs)
        e.setAttribute(a.first, a.second);
    return e;
}

// Puts the element into the document in place of its namesake, or at the end.
void replaceIn(QDomDocument &doc, const QString &name, const AttributeList &attrs)
{
    if (doc.documentElement().isNull()) {
        ConfigDocument::addElement(doc, name, attrs);
        return;
    }
    const QDomElement old = doc.documentElement().firstChildElement(name);
    QDomElement e = elementOf(doc, name, attrs);
    if (old.isNull())
        doc.documentElement().appendChild(e);
    else
        doc.documentElement().replaceChild(e, old);
}
} // namespace

bool PendingChanges::sameValue(const QString &element, const QDomElement &a, const QDomElement &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    if (const ParamCatalogue::Param *p = ParamCatalogue::byElement(element)) {
        const std::optional<QByteArray> x = decoded(*p, a);
        const std::optional<QByteArray> y = decoded(*p, b);
        if (x && y)
            return *x == *y;
    }
    return ConfigDocument::sameAttributes(a, b);
}

bool PendingChanges::sameValue(const QString &element, const AttributeList &a,
                               const AttributeList &b)
{
    QDomDocument scratch;
    return sameValue(element, elementOf(scratch, element, a), elementOf(scratch, element, b));
}

void PendingChanges::setDeviceValues(const QDomDocument &read)
{
    deviceDoc = read.cloneNode(true).toDocument();
    shownDoc.clear();
    dropUnchanged();
}

void PendingChanges::setShownValues(const QDomDocument &shown)
{
    deviceDoc.clear();
    shownDoc = shown.cloneNode(true).toDocument();
}

QDomElement PendingChanges::deviceValue(const QString &element) const
{
    return deviceDoc.documentElement().firstChildElement(element);
}

int PendingChanges::indexOf(const QString &element) const
{
    for (int i = 0; i < changeList.size(); ++i) {
        if (changeList[i].element == element)
            return i;
    }
    return -1;
}

void PendingChanges::dropUnchanged()
{
    if (!hasDeviceValues())
        return;
    for (int i = changeList.size() - 1; i >= 0; --i) {
        const Change &c = changeList[i];
        QDomDocument scratch;
        if (sameValue(c.element, deviceValue(c.element), elementOf(scratch, c.element, c.value)))
            changeList.removeAt(i);
    }
}

bool PendingChanges::edit(const QString &element, const AttributeList &value, bool fromFile)
{
    const int i = indexOf(element);
    if (i >= 0)
        changeList.removeAt(i);
    if (!hasDeviceValues())
        replaceIn(shownDoc, element, value);
    QDomDocument scratch;
    if (hasDeviceValues() &&
        sameValue(element, deviceValue(element), elementOf(scratch, element, value)))
        return false;
    changeList.append({element, value, fromFile});
    return true;
}

QList<PendingChanges::Change> PendingChanges::applyFile(const QDomDocument &file)
{
    const QList<Change> before = changeList;
    if (!hasDeviceValues()) {
        // Without a device the file is the whole configuration, and whichever device comes
        // is offered its values.
        shownDoc = file.cloneNode(true).toDocument();
        changeList.clear();
        owner = DeviceIdentity();
    }
    for (QDomElement e = file.documentElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement()) {
        if (ParamCatalogue::writableByElement(e.tagName()))
            edit(e.tagName(), ConfigDocument::attributesOf(e), true);
    }
    QList<Change> replaced;
    for (const Change &c : before) {
        if (c.fromFile)
            continue;
        const int i = indexOf(c.element);
        if (i < 0 || !sameValue(c.element, changeList[i].value, c.value))
            replaced << c;
    }
    return replaced;
}

void PendingChanges::adopt(const PendingChanges &other)
{
    for (const Change &c : other.changeList)
        edit(c.element, c.value, c.fromFile);
}

QDomDocument PendingChanges::document() const
{
    QDomDocument doc;
    for (const Change &c : changeList)
        ConfigDocument::addElement(doc, c.element, c.value);
    return doc;
}

QDomDocument PendingChanges::configuration() const
{
    QDomDocument doc = (hasDeviceValues() ? deviceDoc : shownDoc).cloneNode(true).toDocument();
    for (const Change &c : changeList)
        replaceIn(doc, c.element, c.value);
    return doc;
}

QDomDocument PendingChanges::startWrite()
{
    inFlight = changeList;
    return document();
}

void PendingChanges::accept(const WriteReport &report)
{
    const bool all = report.stop == WriteReport::Stop::None;
    for (const Change &sent : std::as_const(inFlight)) {
        const bool acknowledged = report.written.contains(sent.element);
        if (!all && !acknowledged)
            continue;
        // An edit made while the write ran is newer than what was sent: it stays.
        const int i = indexOf(sent.element);
        if (i >= 0 && sameValue(sent.element, changeList[i].value, sent.value))
            changeList.removeAt(i);
        if (hasDeviceValues())
            replaceIn(deviceDoc, sent.element, sent.value);
    }
    inFlight.clear();
}

