#include "updatesignature.h"

#include "appsettings.h"

#include <sodium.h>

#include <QCryptographicHash>
#include <QStringList>
#include <QtEndian>

#include <algorithm>

namespace UpdateSignature {

namespace {
const char *const compiledKeys =
#ifdef VEXA_UPDATE_KEYS
    VEXA_UPDATE_KEYS;
#else
    "";
#endif

QByteArray keyIdOf(const QByteArray &publicKey)
{
    return publicKey.left(keyIdBytes);
}

// The trusted key whose id this is, or an empty array.
QByteArray keyWithId(const QByteArray &id, const QList<QByteArray> &keys)
{
    for (const QByteArray &k : keys)
        if (keyIdOf(k) == id)
            return k;
    return QByteArray();
}

// A signature by id among keys: trusted when it verifies, bad when the key is known and it
// does not, unknown otherwise.
Verdict judge(const QByteArray &message, const QByteArray &id, const QByteArray &signature,
              const QList<QByteArray> &keys)
{
    const QByteArray key = keyWithId(id, keys);
    if (key.isEmpty())
        return Verdict::UnknownKey;
    return verify(message, signature, key) ? Verdict::Trusted : Verdict::Bad;
}
} // namespace

bool init()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

KeyPair generate()
{
    KeyPair pair;
    if (!init())
        return pair;
    pair.publicKey.resize(crypto_sign_PUBLICKEYBYTES);
    pair.secretKey.resize(crypto_sign_SECRETKEYBYTES);
    crypto_sign_keypair(reinterpret_cast<unsigned char *>(pair.publicKey.data()),
                        reinterpret_cast<unsigned char *>(pair.secretKey.data()));
    return pair;
}

KeyPair fromSeed(const QByteArray &seed)
{
    KeyPair pair;
    if (!init() || seed.size() != crypto_sign_SEEDBYTES)
        return pair;
    pair.publicKey.resize(crypto_sign_PUBLICKEYBYTES);
    pair.secretKey.resize(crypto_sign_SECRETKEYBYTES);
    crypto_sign_seed_keypair(reinterpret_cast<unsigned char *>(pair.publicKey.data()),
                             reinterpret_cast<unsigned char *>(pair.secretKey.data()),
                             reinterpret_cast<const unsigned char *>(seed.constData()));
    return pair;
}

QByteArray sign(const QByteArray &message, const QByteArray &secretKey)
{
    if (!init() || secretKey.size() != secretKeyBytes)
        return QByteArray();
    QByteArray signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char *>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char *>(message.constData()),
                         quint64(message.size()),
                         reinterpret_cast<const unsigned char *>(secretKey.constData()));
    return signature;
}

bool verify(const QByteArray &message, const QByteArray &signature, const QByteArray &publicKey)
{
    return init() && signature.size() == signatureBytes && publicKey.size() == publicKeyBytes &&
           crypto_sign_verify_detached(
               reinterpret_cast<const unsigned char *>(signature.constData()),
               reinterpret_cast<const unsigned char *>(message.constData()),
               quint64(message.size()),
               reinterpret_cast<const unsigned char *>(publicKey.constData())) == 0;
}

QByteArray decodeKey(const QString &text, int bytes)
{
    const auto decoded = QByteArray::fromBase64Encoding(text.trimmed().toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    return decoded && decoded.decoded.size() == bytes ? decoded.decoded : QByteArray();
}

QList<QByteArray> decodeKeys(const QString &commaSeparated)
{
    QList<QByteArray> keys;
    for (const QString &part : commaSeparated.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QByteArray key = decodeKey(part, publicKeyBytes);
        if (!key.isEmpty() && !keys.contains(key))
            keys << key;
    }
    return keys;
}

QList<QByteArray> trustedKeys()
{
    QList<QByteArray> keys = decodeKeys(QString::fromLatin1(compiledKeys));
    const QVariant stored =
        AppSettings::read(QStringLiteral("UpdateServer"), QStringLiteral("PublicKeys"));
    // QSettings reads an unquoted list with commas as a list of strings.
    const QString text = stored.userType() == QMetaType::QStringList
                             ? stored.toStringList().join(QLatin1Char(','))
                             : stored.toString();
    for (const QByteArray &k : decodeKeys(text))
        if (!keys.contains(k))
            keys << k;
    return keys;
}

bool signatureRequired()
{
    return AppSettings::readBool(QStringLiteral("UpdateServer"),
                                 QStringLiteral("RequireSignature"), false);
}

Decision decide(Verdict verdict, bool haveKeys, bool required, Refusal *refusal)
{
    *refusal = Refusal::None;
    if (verdict == Verdict::Trusted)
        return Decision::Install;
    if (verdict == Verdict::Bad)
        *refusal = Refusal::Bad;
    else if (haveKeys)
        *refusal = verdict == Verdict::UnknownKey ? Refusal::UnknownKey : Refusal::Unsigned;
    else if (required)
        *refusal = Refusal::Required;
    return *refusal == Refusal::None ? Decision::Ask : Decision::Refuse;
}

QString refusalText(Refusal refusal)
{
    switch (refusal) {
    case Refusal::None:
        break;
    case Refusal::Bad:
        return QStringLiteral("its signature does not match: it was changed or damaged");
    case Refusal::UnknownKey:
        return QStringLiteral("it is signed by a key this configurator does not trust");
    case Refusal::Unsigned:
        return QStringLiteral("it is not signed");
    case Refusal::Required:
        return QStringLiteral("it is not signed by a trusted key, and the settings require a "
                              "signature (UpdateServer/RequireSignature)");
    }
    return QString();
}

QByteArray manifest(QList<ManifestEntry> entries)
{
    std::sort(entries.begin(), entries.end(),
              [](const ManifestEntry &a, const ManifestEntry &b) { return a.name < b.name; });
    QByteArray text;
    for (const ManifestEntry &e : entries)
        text += e.sha256.toHex() + ' ' + QByteArray::number(e.size) + ' ' + e.name.toUtf8() +
                '\n';
    return text;
}

bool parseManifest(const QByteArray &text, QList<ManifestEntry> *entries, QString *error)
{
    const QList<QByteArray> lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        if (line.isEmpty())
            continue;
        const int first = line.indexOf(' ');
        const int second = first < 0 ? -1 : line.indexOf(' ', first + 1);
        bool sizeOk = false;
        ManifestEntry e;
        e.sha256 = QByteArray::fromHex(line.left(first));
        e.size = second < 0 ? -1 : line.mid(first + 1, second - first - 1).toLongLong(&sizeOk);
        e.name = QString::fromUtf8(line.mid(second + 1));
        if (first != 64 || e.sha256.size() != 32 || !sizeOk || e.size < 0 || e.name.isEmpty()) {
            *error = QStringLiteral("line %1 of MANIFEST is not \"SHA256 SIZE NAME\"").arg(i + 1);
            return false;
        }
        entries->append(e);
    }
    return true;
}

QByteArray signatureText(const QByteArray &message, const QByteArray &secretKey)
{
    const QByteArray publicKey = secretKey.mid(secretKeyBytes - publicKeyBytes);
    return "ed25519 " + keyIdOf(publicKey).toHex() + ' ' + sign(message, secretKey).toBase64() +
           '\n';
}

ManifestEntry manifestEntry(const ZipArchive::Item &item)
{
    const QByteArray content = item.kind == ZipArchive::Item::SymLink ? item.target.toUtf8()
                                                                      : item.data;
    return {ZipArchive::tidied(item.name),
            item.kind == ZipArchive::Item::SymLink ? 0 : qint64(item.data.size()),
            QCryptographicHash::hash(content, QCryptographicHash::Sha256)};
}

bool isSignatureEntry(const QString &name)
{
    return name == QLatin1String(manifestName) || name == QLatin1String(signatureName);
}

Verdict checkItems(const QList<ZipArchive::Item> &items, const QList<QByteArray> &keys,
                   QString *why)
{
    QByteArray manifestText;
    QByteArray signature;
    QList<ManifestEntry> found;
    for (const ZipArchive::Item &item : items) {
        const QString name = ZipArchive::tidied(item.name);
        if (name == QLatin1String(manifestName))
            manifestText = item.data;
        else if (name == QLatin1String(signatureName))
            signature = item.data;
        else if (item.kind != ZipArchive::Item::Dir)
            found << manifestEntry(item);
    }
    return checkArchive(found, manifestText, signature, keys, why);
}

QList<ZipArchive::Item> signArchive(QList<ZipArchive::Item> items, const QByteArray &secretKey)
{
    QList<ManifestEntry> listed;
    for (int i = items.size() - 1; i >= 0; --i) {
        if (isSignatureEntry(ZipArchive::tidied(items.at(i).name)))
            items.removeAt(i);
        else if (items.at(i).kind != ZipArchive::Item::Dir)
            listed.prepend(manifestEntry(items.at(i)));
    }
    const QByteArray text = manifest(listed);
    items.append({QLatin1String(manifestName), ZipArchive::Item::File, -1, {}, 0644, text});
    items.append({QLatin1String(signatureName), ZipArchive::Item::File, -1, {}, 0644,
                  signatureText(text, secretKey)});
    return items;
}

Verdict checkArchive(const QList<ManifestEntry> &found, const QByteArray &manifestText,
                     const QByteArray &signatureFile, const QList<QByteArray> &keys, QString *why)
{
    if (manifestText.isNull() && signatureFile.isNull())
        return Verdict::Unsigned;
    QList<ManifestEntry> listed;
    if (!parseManifest(manifestText, &listed, why))
        return Verdict::Bad;
    for (const ManifestEntry &e : found) {
        const auto it = std::find_if(listed.begin(), listed.end(),
                                     [&e](const ManifestEntry &l) { return l.name == e.name; });
        if (it == listed.end()) {
            *why = QStringLiteral("%1 is not in MANIFEST").arg(e.name);
            return Verdict::Bad;
        }
        if (it->size != e.size || it->sha256 != e.sha256) {
            *why = QStringLiteral("%1 is not the file MANIFEST lists").arg(e.name);
            return Verdict::Bad;
        }
        listed.erase(it);
    }
    if (!listed.isEmpty()) {
        *why = QStringLiteral("%1 is listed in MANIFEST but missing").arg(listed.first().name);
        return Verdict::Bad;
    }
    if (signatureFile.isNull())
        return Verdict::Unsigned;
    const QList<QByteArray> words = signatureFile.trimmed().split(' ');
    const QByteArray id = words.size() == 3 ? QByteArray::fromHex(words.at(1)) : QByteArray();
    const QByteArray signature =
        words.size() == 3 ? QByteArray::fromBase64(words.at(2)) : QByteArray();
    if (words.value(0) != "ed25519" || id.size() != keyIdBytes ||
        signature.size() != signatureBytes) {
        *why = QStringLiteral("MANIFEST.sig is not an Ed25519 signature");
        return Verdict::Bad;
    }
    const Verdict v = judge(manifestText, id, signature, keys);
    if (v == Verdict::Bad)
        *why = QStringLiteral("MANIFEST.sig does not match MANIFEST");
    return v;
}

QByteArray signImage(const QByteArray &image, const QByteArray &secretKey)
{
    const QByteArray publicKey = secretKey.mid(secretKeyBytes - publicKeyBytes);
    QByteArray length(4, '\0');
    qToLittleEndian<quint32>(trailerBytes, length.data());
    return image + trailerMagic + keyIdOf(publicKey) + sign(image, secretKey) + length;
}

Verdict checkImage(const QByteArray &file, const QList<QByteArray> &keys, QByteArray *image)
{
    *image = file;
    if (file.size() < trailerBytes ||
        qFromLittleEndian<quint32>(file.constData() + file.size() - 4) != quint32(trailerBytes))
        return Verdict::Unsigned;
    const int at = file.size() - trailerBytes;
    if (file.mid(at, 8) != trailerMagic)
        return Verdict::Unsigned;
    *image = file.left(at);
    return judge(*image, file.mid(at + 8, keyIdBytes),
                 file.mid(at + 8 + keyIdBytes, signatureBytes), keys);
}

} // namespace UpdateSignature
