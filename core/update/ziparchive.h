#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct archive;

// ZIP archives through libarchive: a reader that walks the entries and their data in pieces,
// and small whole-archive helpers for the signing tool and the update-server simulator.
namespace ZipArchive {

struct Item
{
    enum Kind { File, Dir, SymLink };
    QString name;          // as the archive names it
    Kind kind = File;
    qint64 size = -1;      // the size the archive declares (-1: none)
    QString target;        // SymLink: where it points
    int mode = 0644;       // permission bits
    QByteArray data;       // File: the contents (whole-archive helpers only)
};

// Reads one archive from the start: next() gives each entry, read() its data in pieces.
class Reader
{
public:
    explicit Reader(const QString &path);
    ~Reader();
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    bool open();
    enum class Next { Entry, End, Error };
    Next next(Item *header);
    // Up to max bytes of the current entry's data: 0 at its end, -1 when it is damaged.
    qint64 read(char *buffer, qint64 max);
    // How many bytes of the archive file have been read so far (compressed data included).
    qint64 consumed() const;
    QString errorString() const;

private:
    QString path;
    struct archive *a = nullptr;
};

// Where an entry lands: its name without "./" in front or "/" at the end.
QString tidied(QString name);

// Writes the items in order into a new ZIP file (deflated); false with *error.
bool write(const QString &path, const QList<Item> &items, QString *error);
// Reads a whole archive into memory, at most maxBytes of data in all; false with *error.
bool readAll(const QString &path, qint64 maxBytes, QList<Item> *items, QString *error);

} // namespace ZipArchive
