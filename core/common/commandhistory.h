#pragma once

#include <QByteArray>
#include <QStringList>

// The terminal's command history as kept in "cmd_history.txt": every non-empty entry preceded
// by a line feed, UTF-8. Reading splits on line feeds and keeps empty parts, so the first
// entry read back is the empty one produced by the leading line feed.
namespace CommandHistory {
// The console remembers this many commands.
constexpr int maxEntries = 20;
// The history after a command was sent: the command on top, its older copy gone, empty
// entries dropped, at most maxEntries. An empty command changes nothing.
QStringList added(const QStringList &entries, const QString &command);
// Whether a command may be remembered: logins carry passwords, which no file may keep.
bool isRememberable(const QString &command);
QByteArray serialize(const QStringList &entries);
QStringList parse(const QByteArray &content);
QString filePath();
// Missing or unreadable file: an empty list.
QStringList load();
// The file's commands as a console keeps them: no empty entries, no duplicates, at most
// maxEntries, in the file's order.
QStringList loadEntries();
// Replaces the file; with no entries at all, the file is removed.
bool save(const QStringList &entries);
} // namespace CommandHistory
