#include "journalredaction.h"

#include "configdocument.h"
#include "paramcatalogue.h"

#include <QCryptographicHash>
#include <QDomDocument>
#include <QRegularExpression>
#include <QSet>

namespace {
const QLatin1String prefix("sha256:");
constexpr int fingerprintDigits = 8;
// Shorter values are not looked for in free text: a key is 32 hex digits, and replacing short
// values would garble unrelated text without protecting anything.
constexpr int minSearchedLength = 8;

// A fingerprint in place of a value; an empty value (unknown) stays empty, and a fingerprint
// the caller already made is kept rather than hashed again.
QString hide(const QString &value, QSet<QString> *seen)
{
    const QString v = value.trimmed();
    if (v.isEmpty() || JournalRedaction::isFingerprint(v))
        return v;
    if (v.size() >= minSearchedLength)
        seen->insert(v);
    return JournalRedaction::fingerprint(v);
}

// The stored configuration with every attribute of a secret element replaced.
bool redactConfig(QString *text, QSet<QString> *seen)
{
    if (text->trimmed().isEmpty())
        return true;
    QDomDocument doc;
    if (!doc.setContent(*text)) {
        text->clear();
        return false;
    }
    bool touched = false;
    for (const QString &element : ParamCatalogue::secretElements()) {
        const QDomNodeList nodes = doc.elementsByTagName(element);
        for (int i = 0; i < nodes.count(); ++i) {
            QDomElement e = nodes.at(i).toElement();
            const QDomNamedNodeMap attrs = e.attributes();
            for (int a = 0; a < attrs.count(); ++a) {
                QDomAttr attr = attrs.item(a).toAttr();
                attr.setValue(hide(attr.value(), seen));
                touched = true;
            }
            // A value written as element text rather than an attribute.
            if (!e.text().isEmpty()) {
                const QString hidden = hide(e.text(), seen);
                while (e.hasChildNodes())
                    e.removeChild(e.firstChild());
                e.appendChild(doc.createTextNode(hidden));
                touched = true;
            }
        }
    }
    if (touched)
        *text = QString::fromUtf8(ConfigDocument::toText(doc));
    return true;
}

void scrub(QString *text, const QSet<QString> &secrets)
{
    for (const QString &s : secrets) {
        if (text->contains(s, Qt::CaseInsensitive))
            text->replace(s, JournalRedaction::fingerprint(s), Qt::CaseInsensitive);
    }
}
} // namespace

namespace JournalRedaction {

QString fingerprint(const QString &value)
{
    const QByteArray digest =
        QCryptographicHash::hash(value.trimmed().toLower().toUtf8(), QCryptographicHash::Sha256);
    return prefix + QString::fromLatin1(digest.toHex().left(fingerprintDigits));
}

bool isFingerprint(const QString &text)
{
    static const QRegularExpression re(
        QStringLiteral("^sha256:[0-9a-f]{%1}$").arg(fingerprintDigits));
    return re.match(text).hasMatch();
}

bool redact(JournalRecord *r)
{
    QSet<QString> secrets;
    for (JournalRecord::Change &c : r->changes) {
        c.secret = ParamCatalogue::isSecret(c.element.trimmed());
        if (!c.secret)
            continue;
        c.oldValue = hide(c.oldValue, &secrets);
        c.newValue = hide(c.newValue, &secrets);
        // The human form of a key is the key.
        c.oldText.clear();
        c.newText.clear();
    }
    const bool configKept = redactConfig(&r->configBefore, &secrets);
    if (secrets.isEmpty())
        return configKept;
    // Whatever else repeats a key (a reason quoting a refused value, another element holding
    // it) loses it too.
    for (QString *text : {&r->reason, &r->path, &r->model, &r->revision, &r->serial, &r->devEui,
                          &r->firmwareBefore, &r->firmwareAfter, &r->configBefore})
        scrub(text, secrets);
    for (JournalRecord::Change &c : r->changes) {
        for (QString *text : {&c.oldValue, &c.newValue, &c.oldText, &c.newText})
            scrub(text, secrets);
    }
    return configKept;
}

} // namespace JournalRedaction
