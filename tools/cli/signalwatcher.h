#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a Qt signal delivered by the event loop: the handler only
// writes the signal number into a pipe, so that the work of stopping (telling the device,
// waiting for the bytes to go out) runs as ordinary code, not inside the handler.
class SignalWatcher : public QObject
{
    Q_OBJECT
public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

    bool isValid() const { return notifier != nullptr; }

signals:
    void signalled(int signalNumber);

private:
    void readPipe();

    QSocketNotifier *notifier = nullptr;
};
