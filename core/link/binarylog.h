#pragma once

#include <QFile>
#include <functional>

// The exchange log the user asks for in the console: every byte sent and received, written as
// it goes. A log that silently stops recording is worse than none: a failed write ends it and
// says so through failed.
class BinaryLog
{
public:
    explicit BinaryLog(std::function<void(const QString &path)> failed)
        : failed(std::move(failed))
    {}

    // Starts a new log at path (an earlier one ends); false when it cannot be created.
    bool start(const QString &path);
    void stop();
    bool isOpen() const { return file.isOpen(); }
    void append(const QByteArray &bytes);

private:
    QFile file;
    std::function<void(const QString &)> failed;
};
