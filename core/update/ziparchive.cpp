#include "ziparchive.h"

#include <archive.h>
#include <archive_entry.h>

#include <QFile>

namespace ZipArchive {

namespace {
constexpr int blockBytes = 64 * 1024;

QString lastError(struct archive *a)
{
    const char *text = a ? archive_error_string(a) : nullptr;
    return text ? QString::fromUtf8(text) : QStringLiteral("unknown archive error");
}
} // namespace

Reader::Reader(const QString &file)
    : path(file)
{}

Reader::~Reader()
{
    if (a)
        archive_read_free(a);
}

bool Reader::open()
{
    a = archive_read_new();
    // The seekable reader takes each entry's kind and permissions from the central directory:
    // links are only told there.
    archive_read_support_format_zip_seekable(a);
    return archive_read_open_filename(a, QFile::encodeName(path).constData(), blockBytes) ==
           ARCHIVE_OK;
}

Reader::Next Reader::next(Item *header)
{
    struct archive_entry *e = nullptr;
    const int r = archive_read_next_header(a, &e);
    if (r == ARCHIVE_EOF)
        return Next::End;
    if (r != ARCHIVE_OK && r != ARCHIVE_WARN)
        return Next::Error;
    const char *utf8 = archive_entry_pathname_utf8(e);
    header->name = utf8 ? QString::fromUtf8(utf8)
                        : QString::fromLocal8Bit(archive_entry_pathname(e));
    const mode_t type = archive_entry_filetype(e);
    header->kind = type == AE_IFDIR ? Item::Dir : type == AE_IFLNK ? Item::SymLink : Item::File;
    if (header->kind == Item::Dir && header->name.endsWith(QLatin1Char('/')))
        header->name.chop(1);
    header->size = archive_entry_size_is_set(e) ? qint64(archive_entry_size(e)) : -1;
    const char *target = archive_entry_symlink_utf8(e);
    header->target = target ? QString::fromUtf8(target) : QString();
    header->mode = int(archive_entry_perm(e));
    header->data.clear();
    return Next::Entry;
}

qint64 Reader::read(char *buffer, qint64 max)
{
    const la_ssize_t n = archive_read_data(a, buffer, size_t(max));
    return n < 0 ? -1 : qint64(n);
}

qint64 Reader::consumed() const
{
    return qint64(archive_filter_bytes(a, -1));
}

QString Reader::errorString() const
{
    return lastError(a);
}

QString tidied(QString name)
{
    while (name.startsWith(QLatin1String("./")))
        name.remove(0, 2);
    while (name.endsWith(QLatin1Char('/')))
        name.chop(1);
    return name;
}

bool write(const QString &path, const QList<Item> &items, QString *error)
{
    struct archive *a = archive_write_new();
    archive_write_set_format_zip(a);
    bool ok = archive_write_open_filename(a, QFile::encodeName(path).constData()) == ARCHIVE_OK;
    for (const Item &item : items) {
        if (!ok)
            break;
        struct archive_entry *e = archive_entry_new();
        archive_entry_set_pathname_utf8(e, item.name.toUtf8().constData());
        switch (item.kind) {
        case Item::Dir:
            archive_entry_set_filetype(e, AE_IFDIR);
            archive_entry_set_perm(e, 0755);
            break;
        case Item::SymLink:
            archive_entry_set_filetype(e, AE_IFLNK);
            archive_entry_set_perm(e, 0777);
            archive_entry_set_symlink_utf8(e, item.target.toUtf8().constData());
            break;
        case Item::File:
            archive_entry_set_filetype(e, AE_IFREG);
            archive_entry_set_perm(e, mode_t(item.mode));
            archive_entry_set_size(e, item.data.size());
            break;
        }
        ok = archive_write_header(a, e) == ARCHIVE_OK &&
             (item.kind != Item::File || item.data.isEmpty() ||
              archive_write_data(a, item.data.constData(), size_t(item.data.size())) ==
                  la_ssize_t(item.data.size()));
        archive_entry_free(e);
    }
    if (!ok && error)
        *error = path + QStringLiteral(": ") + lastError(a);
    ok = archive_write_close(a) == ARCHIVE_OK && ok;
    archive_write_free(a);
    return ok;
}

bool readAll(const QString &path, qint64 maxBytes, QList<Item> *items, QString *error)
{
    Reader reader(path);
    if (!reader.open()) {
        *error = path + QStringLiteral(": ") + reader.errorString();
        return false;
    }
    qint64 total = 0;
    QByteArray block(blockBytes, Qt::Uninitialized);
    Item item;
    for (;;) {
        const Reader::Next n = reader.next(&item);
        if (n == Reader::Next::End)
            return true;
        if (n == Reader::Next::Error) {
            *error = path + QStringLiteral(": ") + reader.errorString();
            return false;
        }
        for (qint64 got; (got = reader.read(block.data(), block.size())) != 0;) {
            total += got;
            if (got < 0 || total > maxBytes) {
                *error = path + QStringLiteral(": ") +
                         (got < 0 ? reader.errorString()
                                  : QStringLiteral("more than %1 bytes").arg(maxBytes));
                return false;
            }
            item.data.append(block.constData(), int(got));
        }
        items->append(item);
    }
}

} // namespace ZipArchive
