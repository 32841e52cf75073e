#include "configdocument.h"

#include "pendingchanges.h"

#include <QDebug>
#include <QFile>
#include <QRegularExpression>
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

namespace {
const QString utf8Declaration = QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"");

// The XML declaration, when the document has one.
QDomProcessingInstruction declarationOf(const QDomDocument &doc)
{
    const QDomProcessingInstruction pi = doc.firstChild().toProcessingInstruction();
    return !pi.isNull() && pi.target() == QLatin1String("xml") ? pi : QDomProcessingInstruction();
}

QString fromUtf16(const QByteArray &bytes, bool bigEndian)
{
    QString text;
    text.reserve(bytes.size() / 2);
    for (int i = 0; i + 1 < bytes.size(); i += 2) {
        const uchar a = uchar(bytes.at(i));
        const uchar b = uchar(bytes.at(i + 1));
        text.append(QChar(bigEndian ? ushort(a << 8 | b) : ushort(b << 8 | a)));
    }
    return text;
}
} // namespace

bool decode(const QByteArray &content, QString *text, QString *why)
{
    QByteArray bom;
    if (content.startsWith("\xEF\xBB\xBF"))
        bom = "UTF-8";
    else if (content.startsWith("\xFF\xFE") || content.startsWith("\xFE\xFF"))
        bom = content.startsWith(QByteArray("\xFF\xFE\0\0", 4)) ? "UTF-32" : "UTF-16";
    // The name the declaration gives, read as ASCII: in UTF-16 every other byte of it is 0.
    QByteArray ascii = content.mid(bom == "UTF-8" ? 3 : bom.isEmpty() ? 0 : 2, 200);
    ascii.replace('\0', QByteArray());
    static const QRegularExpression declared(
        QStringLiteral("^\\s*<\\?xml[^>]*encoding\\s*=\\s*[\"']([^\"']*)[\"']"));
    const QString name = declared.match(QString::fromLatin1(ascii)).captured(1).toUpper();
    const bool namesUtf16 = name.startsWith(QLatin1String("UTF-16"));
    if (bom == "UTF-32" || name.startsWith(QLatin1String("UTF-32")) ||
        name.startsWith(QLatin1String("UCS"))) {
        *why = QStringLiteral("the encoding UTF-32 is not read; save the file as UTF-8");
        return false;
    }
    if (bom == "UTF-16") {
        if (!name.isEmpty() && !namesUtf16) {
            *why = QStringLiteral("the byte order mark says UTF-16, the declaration %1").arg(name);
            return false;
        }
        if (content.size() % 2 != 0) {
            *why = QStringLiteral("UTF-16 text with an odd number of bytes");
            return false;
        }
        *text = fromUtf16(content.mid(2), content.at(0) == '\xFE');
        return true;
    }
    if (namesUtf16 || (content.size() > 1 && (content.at(0) == 0 || content.at(1) == 0))) {
        // Without its mark the byte order is a guess: refused rather than misread.
        *why = QStringLiteral("UTF-16 text without a byte order mark; save it with one, or as "
                              "UTF-8");
        return false;
    }
    const QByteArray bytes = bom.isEmpty() ? content : content.mid(3);
    if (!bom.isEmpty() && !name.isEmpty() && !name.startsWith(QLatin1String("UTF"))) {
        *why = QStringLiteral("the byte order mark says UTF-8, the declaration %1").arg(name);
        return false;
    }
    if (name.isEmpty() || name == QLatin1String("UTF-8") || name == QLatin1String("UTF8") ||
        name == QLatin1String("US-ASCII") || name == QLatin1String("ASCII")) {
        *text = QString::fromUtf8(bytes);
        if (text->toUtf8() != bytes) {
            *why = QStringLiteral("bytes that are not UTF-8 in a file that declares %1")
                       .arg(name.isEmpty() ? QStringLiteral("no encoding (UTF-8)") : name);
            return false;
        }
        return true;
    }
    if (name == QLatin1String("ISO-8859-1") || name == QLatin1String("LATIN1")) {
        *text = QString::fromLatin1(bytes);
        return true;
    }
    *why = QStringLiteral("the encoding %1 is not read; save the file as UTF-8").arg(name);
    return false;
}

QByteArray toText(const QDomDocument &doc)
{
    // Whatever the declaration of the file it came from said, the text is UTF-8 now: a
    // declaration naming another encoding would make every later reader misread it.
    const QDomProcessingInstruction pi = declarationOf(doc);
    if (pi.isNull() || pi.data() == utf8Declaration)
        return doc.toByteArray(1);
    QDomDocument copy = doc.cloneNode(true).toDocument();
    declarationOf(copy).setData(utf8Declaration);
    return copy.toByteArray(1);
}

namespace {
// What makes the text no configuration, found by a streaming pass before any tree is built.
LoadResult shapeProblem(const QString &content, QString *why)
{
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
    QString text;
    LoadResult result = LoadResult::Ok;
    if (content.size() > maxFileBytes) {
        why = QStringLiteral("larger than any configuration (over %1 bytes)").arg(maxFileBytes);
        result = LoadResult::TooLarge;
    } else if (!decode(content, &text, &why)) {
        result = LoadResult::Encoding;
    } else {
        result = shapeProblem(text, &why);
    }
    // Parsed from the decoded text: the declaration's encoding is no longer a say in it.
    if (result == LoadResult::Ok && !doc->setContent(text)) {
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
    const QDomProcessingInstruction pi = declarationOf(*doc);
    if (!pi.isNull())
        QDomProcessingInstruction(pi).setData(utf8Declaration);
    return LoadResult::Ok;
}

bool loadFile(const QString &path, QDomDocument *doc, QStringList *refused, QString *error)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read ") + path;
        return false;
    }
    QString problem;
    if (load(in.read(maxFileBytes + 1), doc, refused, &problem) != LoadResult::Ok) {
        *error = path + QStringLiteral(" is not a configuration file: ") + problem;
        return false;
    }
    return true;
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
