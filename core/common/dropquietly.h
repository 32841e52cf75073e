#pragma once

#include <QObject>
#include <QPointer>

// Ends a connection (a socket, a transfer: anything with abort()) of an exchange that is over,
// with no signal of it reaching the receiver, and lets it go at the next turn of the event loop:
// it may be inside one of its own signals now.
template <class T>
void dropQuietly(QPointer<T> &object, QObject *receiver)
{
    if (!object)
        return;
    object->disconnect(receiver);
    object->abort();
    object->deleteLater();
    object.clear();
}
