#pragma once

#include <QCoreApplication>
#include <QEvent>

// Runs the deletions that closed windows scheduled for themselves (deleteLater), which the
// event loop of a running program would do after the click.
inline void runDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
