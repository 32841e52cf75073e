// vexa7xx-sign: makes an Ed25519 key pair, signs configurator archives (MANIFEST and
// MANIFEST.sig inside the archive) and firmware images (a trailer after the image), and checks
// a signed file against a public key.
#include "updatesignature.h"
#include "ziparchive.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace {
// What an archive to sign may hold in all: the bound of the configurator's own unpacker.
constexpr qint64 maxArchiveBytes = 256LL * 1024 * 1024;
constexpr qint64 maxImageBytes = 16LL * 1024 * 1024;

const char *const helpText =
    "Usage: vexa7xx-sign COMMAND ...\n"
    "Signs configurator update archives and firmware images with Ed25519, for the people who\n"
    "publish updates. The configurator installs an update only when one of the keys it trusts\n"
    "signed it (UpdateServer/PublicKeys in settings.conf, or keys built in with\n"
    "-DVEXA_UPDATE_KEYS).\n"
    "\n"
    "Commands:\n"
    "  keygen [NAME]               makes a key pair: NAME.key (secret, readable only by you)\n"
    "                              and NAME.pub (public); NAME defaults to vexa7xx-update.\n"
    "                              Prints the public key for settings.conf.\n"
    "  sign FILE --key SECRET      signs FILE in place: a ZIP archive gets MANIFEST (every\n"
    "                              entry's SHA-256, size and name) and MANIFEST.sig; any other\n"
    "                              file is a firmware image and gets a signature trailer.\n"
    "                              Signing again replaces the earlier signature.\n"
    "  verify FILE --pubkey KEY    checks FILE's signature; KEY is a .pub file or the key\n"
    "                              itself (base64).\n"
    "\n"
    "Options:\n"
    "  -h, --help                  this text\n"
    "\n"
    "Exit status:\n"
    "  0  done (verify: signed by the key)\n"
    "  1  failed (verify: unsigned, another key, or changed since it was signed)\n"
    "  2  wrong usage\n"
    "\n"
    "Examples:\n"
    "  vexa7xx-sign keygen release\n"
    "  vexa7xx-sign sign vexa7xx-configurator-1.7.0.zip --key release.key\n"
    "  vexa7xx-sign sign Vexa750_v1.4.0.bin --key release.key\n"
    "  vexa7xx-sign verify Vexa750_v1.4.0.bin --pubkey release.pub\n";

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

int usage(const QString &why)
{
    err() << "vexa7xx-sign: " << why << "\nTry 'vexa7xx-sign --help'.\n";
    return 2;
}

int failure(const QString &why)
{
    err() << "vexa7xx-sign: " << why << '\n';
    return 1;
}

bool readFile(const QString &path, qint64 limit, QByteArray *data, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = path + QStringLiteral(": ") + f.errorString();
        return false;
    }
    if (f.size() > limit) {
        *error = path + QStringLiteral(": larger than %1 bytes").arg(limit);
        return false;
    }
    *data = f.readAll();
    return true;
}

bool writeFile(const QString &path, const QByteArray &data, bool secret, QString *error)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size() ||
        (secret && !f.setPermissions(QFile::ReadOwner | QFile::WriteOwner)) || !f.commit()) {
        *error = path + QStringLiteral(": ") + f.errorString();
        return false;
    }
    return true;
}

bool isZip(const QByteArray &data)
{
    return data.startsWith("PK\x03\x04") || data.startsWith("PK\x05\x06");
}

int keygen(const QString &name)
{
    const UpdateSignature::KeyPair pair = UpdateSignature::generate();
    if (pair.secretKey.isEmpty())
        return failure(QStringLiteral("the cryptography library cannot be initialised"));
    QString error;
    const QString secretPath = name + QStringLiteral(".key");
    const QString publicPath = name + QStringLiteral(".pub");
    if (QFileInfo::exists(secretPath))
        return failure(secretPath + QStringLiteral(" exists: a key is never overwritten"));
    if (!writeFile(secretPath, pair.secretKey.toBase64() + '\n', true, &error) ||
        !writeFile(publicPath, pair.publicKey.toBase64() + '\n', false, &error))
        return failure(error);
    QTextStream(stdout) << "secret key: " << secretPath << " (keep it off the update server)\n"
                        << "public key: " << publicPath << "\n"
                        << "settings.conf: [UpdateServer] PublicKeys=" << pair.publicKey.toBase64()
                        << '\n';
    return 0;
}

int sign(const QString &path, const QString &keyPath)
{
    QByteArray keyText;
    QString error;
    if (!readFile(keyPath, 4096, &keyText, &error))
        return failure(error);
    const QByteArray secret =
        UpdateSignature::decodeKey(QString::fromLatin1(keyText), UpdateSignature::secretKeyBytes);
    if (secret.isEmpty())
        return failure(keyPath + QStringLiteral(" is not a secret key of vexa7xx-sign keygen"));
    QByteArray head;
    if (!readFile(path, maxArchiveBytes, &head, &error))
        return failure(error);
    if (isZip(head)) {
        QList<ZipArchive::Item> items;
        if (!ZipArchive::readAll(path, maxArchiveBytes, &items, &error))
            return failure(error);
        const QString temp = path + QStringLiteral(".signing");
        if (!ZipArchive::write(temp, UpdateSignature::signArchive(items, secret), &error) ||
            !QFile::remove(path) || !QFile::rename(temp, path)) {
            QFile::remove(temp);
            return failure(error.isEmpty() ? QStringLiteral("cannot replace ") + path : error);
        }
        QTextStream(stdout) << path << ": " << items.size() << " entries signed\n";
        return 0;
    }
    if (head.size() > maxImageBytes)
        return failure(path + QStringLiteral(": larger than any firmware image"));
    QByteArray image;
    UpdateSignature::checkImage(head, {}, &image); // an earlier trailer goes
    if (!writeFile(path, UpdateSignature::signImage(image, secret), false, &error))
        return failure(error);
    QTextStream(stdout) << path << ": image of " << image.size() << " bytes signed\n";
    return 0;
}

int verify(const QString &path, const QString &keyArg)
{
    QByteArray keyText = keyArg.toLatin1();
    QString error;
    if (QFileInfo::exists(keyArg) && !readFile(keyArg, 4096, &keyText, &error))
        return failure(error);
    const QByteArray key =
        UpdateSignature::decodeKey(QString::fromLatin1(keyText), UpdateSignature::publicKeyBytes);
    if (key.isEmpty())
        return usage(keyArg + QStringLiteral(" is not a public key"));
    QByteArray data;
    if (!readFile(path, maxArchiveBytes, &data, &error))
        return failure(error);
    UpdateSignature::Verdict verdict;
    QString why;
    if (isZip(data)) {
        QList<ZipArchive::Item> items;
        if (!ZipArchive::readAll(path, maxArchiveBytes, &items, &error))
            return failure(error);
        verdict = UpdateSignature::checkItems(items, {key}, &why);
    } else {
        QByteArray image;
        verdict = UpdateSignature::checkImage(data, {key}, &image);
    }
    switch (verdict) {
    case UpdateSignature::Verdict::Trusted:
        QTextStream(stdout) << path << ": signed by the key\n";
        return 0;
    case UpdateSignature::Verdict::Unsigned:
        return failure(path + QStringLiteral(": not signed"));
    case UpdateSignature::Verdict::UnknownKey:
        return failure(path + QStringLiteral(": signed by another key"));
    case UpdateSignature::Verdict::Bad:
        break;
    }
    return failure(path + QStringLiteral(": changed or damaged since it was signed") +
                   (why.isEmpty() ? QString() : QStringLiteral(" (") + why + QLatin1Char(')')));
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage(QStringLiteral("a command is missing"));
    if (args.contains(QStringLiteral("-h")) || args.contains(QStringLiteral("--help"))) {
        QTextStream(stdout) << helpText;
        return 0;
    }
    if (!UpdateSignature::init())
        return failure(QStringLiteral("the cryptography library cannot be initialised"));
    const QString command = args.takeFirst();
    // "--key FILE" / "--pubkey KEY" anywhere after the file.
    auto option = [&args](const QString &name, QString *value) {
        const int at = args.indexOf(name);
        if (at < 0 || at + 1 >= args.size())
            return false;
        *value = args.at(at + 1);
        args.erase(args.begin() + at, args.begin() + at + 2);
        return true;
    };
    QString value;
    if (command == QLatin1String("keygen")) {
        if (args.size() > 1)
            return usage(QStringLiteral("keygen takes one name at most"));
        return keygen(args.value(0, QStringLiteral("vexa7xx-update")));
    }
    if (command == QLatin1String("sign")) {
        if (!option(QStringLiteral("--key"), &value) || args.size() != 1)
            return usage(QStringLiteral("sign FILE --key SECRET"));
        return sign(args.first(), value);
    }
    if (command == QLatin1String("verify")) {
        if (!option(QStringLiteral("--pubkey"), &value) || args.size() != 1)
            return usage(QStringLiteral("verify FILE --pubkey KEY"));
        return verify(args.first(), value);
    }
    return usage(QStringLiteral("unknown command ") + command);
}
