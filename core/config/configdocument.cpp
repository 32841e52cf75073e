#include "configdocument.h"

#include "pendingchanges.h"

#include <QDebug>
#include <QSaveFile>
#include <QSet>
#include <QXmlStreamReader>

namespace ConfigDocument {

const QStringList &keyElements()
{
    static const QStringList keys{
        QStringLiteral("dev_eui"),         QStringLiteral("app_eui"),
        QStringLiteral("app_key"),         QStringLiteral("net_id"),
        QStringLiteral("net_dev_adr"),     QStringLiteral("app_service_key"),
        QStringLiteral("net_service_key"), QStringLiteral("serial_number"),
        QStringLiteral("dev_eui_lbl")};
    return keys;
}

AttributeList attributesOf(const QDomElement &e)
{
    AttributeList attrs;
    const QDomNamedNodeMap map = e.attributes();
    for (int i = 0; i < map.count(); ++i)
        attrs.append({map.item(i).nodeName(), map.item(i).nodeValue()});
    return attrs;
}

void addElement(QDomDocument &doc, const QString &name, const AttributeList &attrs)
{
    qDebug() << "Add element";
    if (doc.firstChild().isNull()) {
        doc.insertBefore(
            doc.createProcessingInstruction(QStringLiteral("xml"),
                                            QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")),
            doc.firstChild());
        doc.appendChild(doc.createElement(QStringLiteral("configuration")));
    }
    QDomElement e = doc.createElement(name);
    for (const auto &a : attrs) {
        e.setAttribute(a.first, a.second);
        qDebug().noquote() << "Element: " << name << "Value: " << a.second;
    }
    doc.documentElement().appendChild(e);
}

void deleteElement(QDomDocument &doc, const QString &name)
{
    qDebug().noquote() << "Del element: " << name;
    const QDomElement e = doc.documentElement().firstChildElement(name);
    if (!e.isNull())
        doc.documentElement().removeChild(e);
}

void clearKeys(QDomDocument &doc)
{
    for (const QString &key : keyElements())
        deleteElement(doc, key);
}

bool isIdentity(const QString &name)
{
    return name == QLatin1String("fw_ver") || name == QLatin1String("serial_number") ||
           name == QLatin1String("dev_eui_lbl") || name == QLatin1String("dev_id");
}

bool isEmpty(const QDomDocument &doc)
{
    return doc.documentElement().firstChildElement().isNull();
}

QString param(const QDomDocument &doc, const QString &name)
{
    return doc.documentElement().firstChildElement(name).attribute(QStringLiteral("param"));
}

bool sameAttributes(const QDomElement &a, const QDomElement &b)
{
    const QDomNamedNodeMap attrs = a.attributes();
    if (attrs.count() != b.attributes().count())
        return false;
    for (int i = 0; i < attrs.count(); ++i) {
        const QDomAttr attr = attrs.item(i).toAttr();
        if (!b.hasAttribute(attr.name()) || b.attribute(attr.name()) != attr.value())
            return false;
    }
    return true;
}

QList<Mismatch> mismatches(const QDomDocument &written, const QDomDocument &readBack,
                           const QStringList &names)
{
    QList<Mismatch> out;
    for (const QString &name : names) {
        const ParamCatalogue::Param *p = ParamCatalogue::writableByElement(name);
        if (!p)
            continue;
        const QDomElement w = written.documentElement().firstChildElement(name);
        const QDomElement r = readBack.documentElement().firstChildElement(name);
        const QString sent = w.isNull() ? QString() : ParamCodec::valueTextOf(*p, w);
        const QString back = r.isNull() ? QString() : ParamCodec::valueTextOf(*p, r);
        if (sent.isEmpty() || !PendingChanges::sameValue(name, w, r))
            out.append({name, sent, back});
    }
    return out;
}

QByteArray toText(const QDomDocument &doc)
{
    return doc.toByteArray(1);
}

namespace {
// What makes the text no configuration, found by a streaming pass before any tree is built.
LoadResult shapeProblem(const QByteArray &content, QString *why)
{
    if (content.size() > maxFileBytes) {
        *why = QStringLiteral("larger than any configuration (over %1 bytes)").arg(maxFileBytes);
        return LoadResult::TooLarge;
    }
    QXmlStreamReader xml(content);
    QSet<QString> names;
    QStringList repeated;
    int depth = 0;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            *why = QStringLiteral("a document type declaration");
            return LoadResult::TypeDeclaration;
        case QXmlStreamReader::StartElement:
            // The root and one element per parameter, with nothing inside.
            if (++depth > 2) {
                *why = QStringLiteral("elements nested inside a parameter");
                return LoadResult::TooDeep;
            }
            if (depth == 1 && xml.name() != QLatin1String("configuration")) {
                *why = QStringLiteral("not a configuration");
                return LoadResult::NotConfiguration;
            }
            if (depth == 2) {
                const QString name = xml.name().toString();
                if (names.contains(name) && !repeated.contains(name))
                    repeated << name;
                names.insert(name);
            }
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    if (xml.hasError()) {
        *why = QStringLiteral("not XML: ") + xml.errorString();
        return LoadResult::NotConfiguration;
    }
    if (!repeated.isEmpty()) {
        *why = QStringLiteral("given more than once: ") + repeated.join(QStringLiteral(", "));
        return LoadResult::Repeated;
    }
    return LoadResult::Ok;
}
} // namespace

LoadResult load(const QByteArray &content, QDomDocument *doc, QStringList *refused,
                QString *problem)
{
    doc->clear();
    QString why;
    LoadResult result = shapeProblem(content, &why);
    if (result == LoadResult::Ok && !doc->setContent(content)) {
        why = QStringLiteral("not XML");
        result = LoadResult::NotConfiguration;
    }
    if (result != LoadResult::Ok) {
        doc->clear();
        if (problem)
            *problem = why;
        return result;
    }
    QList<QDomElement> bad;
    for (QDomElement e = doc->documentElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement()) {
        const ParamCatalogue::Param *p = ParamCatalogue::writableByElement(e.tagName());
        if (!p)
            continue; // device facts and unknown names are never written anyway
        const QString reason = ParamCodec::checkElement(*p, e);
        if (!reason.isEmpty()) {
            refused->append(e.tagName() + QStringLiteral(": ") + reason);
            bad.append(e);
        }
    }
    for (QDomElement &e : bad)
        doc->documentElement().removeChild(e);
    return LoadResult::Ok;
}

bool save(const QDomDocument &doc, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(toText(doc));
    return file.commit();
}

} // namespace ConfigDocument
