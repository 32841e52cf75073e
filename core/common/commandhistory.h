#pragma once

#include <QByteArray>
#include <QStringList>

// The terminal's command history as kept in "cmd_history.txt": every non-empty entry preceded
// by a line feed, UTF-8. Reading splits on line feeds and keeps empty parts, so the first
// entry read back is the empty one produced by the leading line feed.
namespace CommandHistory {
QByteArray serialize(const QStringList &entries);
QStringList parse(const QByteArray &content);
QString filePath();
// Missing or unreadable file: an empty list.
QStringList load();
// Replaces the file; with no entries at all, the file is removed.
bool save(const QStringList &entries);
} // namespace CommandHistory
