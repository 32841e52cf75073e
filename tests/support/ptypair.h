#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

// A pseudo-terminal for tests: the program under test opens slaveName() as its serial port,
// the test plays the device on the master side.
class PtyPair
{
public:
    PtyPair()
    {
        int slave = -1;
        char name[256] = {};
        if (::openpty(&masterFd, &slave, name, nullptr, nullptr) != 0)
            return;
        termios t{};
        ::tcgetattr(slave, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(slave, TCSANOW, &t);
        ::close(slave); // the program under test opens it by name
        slaveName_ = QString::fromLocal8Bit(name);
        ::fcntl(masterFd, F_SETFL, ::fcntl(masterFd, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair()
    {
        if (masterFd >= 0)
            ::close(masterFd);
    }
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isValid() const { return masterFd >= 0 && !slaveName_.isEmpty(); }
    QString slaveName() const { return slaveName_; }
    int master() const { return masterFd; }

    bool write(const QByteArray &bytes)
    {
        qint64 done = 0;
        while (done < bytes.size()) {
            const ssize_t n =
                ::write(masterFd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n < 0)
                return false;
            done += n;
        }
        return true;
    }

    // Reads what arrives within timeoutMs (stops early once `want` bytes are there), running
    // the event loop meanwhile.
    QByteArray read(int want, int timeoutMs)
    {
        QByteArray out;
        QElapsedTimer t;
        t.start();
        while (out.size() < want && t.elapsed() < timeoutMs) {
            // The program under test writes from its event loop.
            QCoreApplication::processEvents();
            pollfd p{masterFd, POLLIN, 0};
            if (::poll(&p, 1, 10) > 0) {
                char buf[4096];
                const ssize_t n = ::read(masterFd, buf, sizeof buf);
                if (n > 0)
                    out.append(buf, int(n));
            }
        }
        return out;
    }

private:
    int masterFd = -1;
    QString slaveName_;
};
