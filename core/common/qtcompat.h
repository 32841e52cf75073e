#pragma once

// The few places where Qt 5.15 and Qt 6 spell the same thing differently, so that the rest of
// the program is written once. Header-only; the event helper is a template so that this header
// stays free of QtGui and can live in core.

#include <QLibraryInfo>
#include <QPoint>
#include <QString>
#include <QtGlobal>

namespace QtCompat {

// Where Qt's own translations (qtbase_*.qm) are installed.
inline QString qtTranslationsPath()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

// A mouse event's position on the screen, in whole pixels (Qt 6 gives it as a QPointF).
template <typename MouseEvent>
QPoint globalPosOf(const MouseEvent *event)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return event->globalPosition().toPoint();
#else
    return event->globalPos();
#endif
}

} // namespace QtCompat
