#pragma once

#include "ziparchive.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Ed25519 signatures (libsodium) of what the update server hands out. A configurator archive
// carries MANIFEST (each entry's SHA-256, size and name) and MANIFEST.sig (the signature of
// MANIFEST); a firmware image carries its signature in a trailer after the image bytes.
namespace UpdateSignature {

constexpr int publicKeyBytes = 32;
constexpr int secretKeyBytes = 64;
constexpr int signatureBytes = 64;
constexpr char manifestName[] = "MANIFEST";
constexpr char signatureName[] = "MANIFEST.sig";
// Which key signed: the first bytes of its public key, so that a signature by an unknown key is
// told from a damaged one.
constexpr int keyIdBytes = 8;
// An image's trailer: the magic, the key id, the signature of the image bytes before it, and
// the trailer's own length (32 bits, little-endian) last, so it is found from the end.
constexpr char trailerMagic[] = "VEXASIG1";
constexpr int trailerBytes = 8 + keyIdBytes + signatureBytes + 4;

// libsodium is set up once; false when it cannot be (nothing can be checked then).
bool init();

struct KeyPair
{
    QByteArray publicKey;
    QByteArray secretKey;
};
KeyPair generate();
// The key pair of a 32-byte seed (the simulators' fixed test key); empty for another size.
KeyPair fromSeed(const QByteArray &seed);
QByteArray sign(const QByteArray &message, const QByteArray &secretKey);
bool verify(const QByteArray &message, const QByteArray &signature, const QByteArray &publicKey);

// Keys as they are written in settings and files: base64 of the raw key bytes.
QByteArray decodeKey(const QString &text, int bytes);
QList<QByteArray> decodeKeys(const QString &commaSeparated);

// The keys this program trusts: those compiled in (the build option VEXA_UPDATE_KEYS) and
// those of UpdateServer/PublicKeys in settings.conf.
QList<QByteArray> trustedKeys();
// UpdateServer/RequireSignature: unsigned updates are refused even with no key.
bool signatureRequired();

// What a check found.
enum class Verdict {
    Unsigned,   // no signature at all
    Trusted,    // signed by one of the keys
    UnknownKey, // a sound signature by a key that is not trusted, or none is trusted
    Bad,        // damaged, or the signed contents were changed
};
// The policy: whether what has this verdict may be installed without asking (Trusted), after
// the user's yes (not signed by a trusted key, with no key and no requirement), or not at all;
// *refusal says why not.
enum class Decision { Install, Ask, Refuse };
enum class Refusal { None, Bad, UnknownKey, Unsigned, Required };
Decision decide(Verdict verdict, bool haveKeys, bool required, Refusal *refusal);
// Why, in English, for logs and the command line (the window says it in the user's language).
QString refusalText(Refusal refusal);

struct ManifestEntry
{
    QString name;
    qint64 size = 0;
    QByteArray sha256; // raw bytes
};
// One line per entry, "SHA256HEX SIZE NAME", sorted by name.
QByteArray manifest(QList<ManifestEntry> entries);
bool parseManifest(const QByteArray &text, QList<ManifestEntry> *entries, QString *error);
// MANIFEST.sig's text for a message signed with secretKey: "ed25519 KEYID SIGNATURE", the key
// id in hex and the signature in base64, on one line.
QByteArray signatureText(const QByteArray &message, const QByteArray &secretKey);

// An archive's items with MANIFEST and MANIFEST.sig (an earlier pair replaced): the manifest
// lists every file and link (a link by its target), the signature is secretKey's.
QList<ZipArchive::Item> signArchive(QList<ZipArchive::Item> items, const QByteArray &secretKey);
// The manifest entry of an item, as the unpacker finds it.
ManifestEntry manifestEntry(const ZipArchive::Item &item);
// Whether an archive entry (its name tidied) is MANIFEST or MANIFEST.sig, which the manifest
// does not list and nothing extracts.
bool isSignatureEntry(const QString &name);
// Checks an archive read whole (the signing tool's check).
Verdict checkItems(const QList<ZipArchive::Item> &items, const QList<QByteArray> &keys,
                   QString *why);

// Checks an archive's manifest and its signature against the entries found in it (the
// manifest and its signature not among them): every entry must be listed with its size and
// hash, and nothing listed may be missing. *why names the first difference.
Verdict checkArchive(const QList<ManifestEntry> &found, const QByteArray &manifestText,
                     const QByteArray &signatureFile, const QList<QByteArray> &keys, QString *why);

// A signed image: the image with its trailer.
QByteArray signImage(const QByteArray &image, const QByteArray &secretKey);
// Checks a firmware file; *image is the file without its trailer (the whole file when it has
// none).
Verdict checkImage(const QByteArray &file, const QList<QByteArray> &keys, QByteArray *image);

} // namespace UpdateSignature
