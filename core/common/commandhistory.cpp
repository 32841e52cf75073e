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
