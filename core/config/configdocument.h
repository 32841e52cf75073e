#pragma once

#include "paramcodec.h"

#include <QByteArray>
#include <QDomDocument>
#include <QStringList>

// Operations on configuration documents: the XML form (root `configuration`, one empty element
// per parameter) that the device link produces, the editor changes and files store.
namespace ConfigDocument {

// Elements that never go into a file and are never taken from one: keys and identity.
const QStringList &keyElements();

// The identity a read puts first (firmware, serial number, DevEUI, device ID): files carry it
// for the reader and for the model check, it is never written.
bool isIdentity(const QString &name);

// Appends an element (creating the declaration and the root in an empty document).
void addElement(QDomDocument &doc, const QString &name, const AttributeList &attrs);
// An element's attributes in document order, as addElement takes them.
AttributeList attributesOf(const QDomElement &e);
// The same attributes with the same values, in whatever order.
bool sameAttributes(const QDomElement &a, const QDomElement &b);
// Removes the first element of that name (nothing when there is none).
void deleteElement(QDomDocument &doc, const QString &name);
// Removes every key element.
void clearKeys(QDomDocument &doc);
// True when the document has no parameter element.
bool isEmpty(const QDomDocument &doc);
// The `param` attribute of the first element of that name (empty when there is none).
QString param(const QDomDocument &doc, const QString &name);
// A parameter the device holds with another value than the one written to it.
struct Mismatch
{
    QString name;
    QString written; // value text as sent (empty when the write document lacks it)
    QString read;    // value text read back (empty when the device no longer reports it)
};
// Compares the parameters `names` of a written document with the same device read again after
// the write; what differs, in the order of `names`. Values compare as PendingChanges compares
// them: as the bytes they stand for on the wire.
QList<Mismatch> mismatches(const QDomDocument &written, const QDomDocument &readBack,
                           const QStringList &names);

// The document as UTF-8 text, indented by one space per level; its declaration says UTF-8
// whatever the file it came from said.
QByteArray toText(const QDomDocument &doc);

// No configuration comes near this size; a larger file is refused unread.
constexpr int maxFileBytes = 1 << 20;

// Why a text is refused whole: in an encoding that is not read (the encodings read are UTF-8,
// US-ASCII, ISO-8859-1 and UTF-16 with a byte order mark); not XML or another root; larger than
// maxFileBytes; nested deeper than a configuration (which would exhaust the stack of a tree
// parser); a document type declaration (entity expansion); a parameter given more than once. A text
// in an encoding that is not read is NotConfiguration, with the encoding in *problem.
enum class LoadResult {
    Ok,
    NotConfiguration,
    Encoding, // an encoding that is not read, or bytes not valid in it
    TooLarge,
    TooDeep,
    TypeDeclaration,
    Repeated
};
// The text of a file, decoded as its byte order mark or XML declaration says; false with *why
// when the encoding is not one that is read or the bytes are not valid in it.
bool decode(const QByteArray &content, QString *text, QString *why);
// Parses configuration text. Elements that must never reach a device (values that are not hex
// of their parameter's length) are removed and listed in *refused as "element: reason".
// A refused text leaves *doc empty; *problem, when given, says why in words.
LoadResult load(const QByteArray &content, QDomDocument *doc, QStringList *refused,
                QString *problem = nullptr);

// load() of a file: false with *error ("cannot read PATH", "PATH is not a configuration file:
// why") when it cannot be read or is refused whole.
bool loadFile(const QString &path, QDomDocument *doc, QStringList *refused, QString *error);

// Writes the document beside the target and renames it over the target, so a failed save
// never leaves a truncated file.
bool save(const QDomDocument &doc, const QString &path);

} // namespace ConfigDocument
