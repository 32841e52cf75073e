#include "commandhistory.h"

#include "apppaths.h"

#include <QFile>
#include <QSaveFile>

namespace CommandHistory {

QByteArray serialize(const QStringList &entries)
{
    QByteArray out;
    for (const QString &entry : entries) {
        if (entry.isEmpty())
            continue;
        out += '\n';
        out += entry.toUtf8();
    }
    return out;
}

QStringList parse(const QByteArray &content)
{
    return QString::fromUtf8(content).split(QLatin1Char('\n'), Qt::KeepEmptyParts);
}

QStringList added(const QStringList &entries, const QString &command)
{
    const QString cmd = command.trimmed();
    if (cmd.isEmpty() || !isRememberable(cmd))
        return entries;
    QStringList out{cmd};
    for (const QString &entry : entries) {
        if (out.size() >= maxEntries)
            break;
        if (!entry.isEmpty() && entry != cmd)
            out << entry;
    }
    return out;
}

bool isRememberable(const QString &command)
{
    const QString cmd = command.trimmed();
    return !cmd.startsWith(QLatin1String("USB "), Qt::CaseInsensitive) &&
           !cmd.startsWith(QLatin1String("REMOTE "), Qt::CaseInsensitive);
}

QString filePath()
{
    return AppPaths::filePath(QStringLiteral("cmd_history.txt"));
}

QStringList load()
{
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parse(file.readAll());
}

QStringList loadEntries()
{
    QStringList entries;
    const QStringList stored = load();
    // Oldest first, so that the newest ends on top as when they were typed.
    for (auto it = stored.crbegin(); it != stored.crend(); ++it)
        entries = added(entries, *it);
    return entries;
}

bool save(const QStringList &entries)
{
    if (entries.isEmpty()) {
        QFile::remove(filePath());
        return true;
    }
    // Written aside and renamed over the old file, so a failed write keeps the old history.
    QSaveFile file(filePath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(serialize(entries));
    return file.commit();
}

} // namespace CommandHistory
