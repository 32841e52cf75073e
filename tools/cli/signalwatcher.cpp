#include "signalwatcher.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
// One watcher per process: the handler has nowhere else to find its pipe.
int pipeFds[2] = {-1, -1};
const int watchedSignals[] = {SIGINT, SIGTERM};

extern "C" void onSignal(int number)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    // Nothing to do when the pipe is full: a stop is on its way already.
    if (write(pipeFds[1], &byte, 1) < 0) {
    }
    errno = saved;
}
} // namespace

SignalWatcher::SignalWatcher(QObject *parent)
    : QObject(parent)
{
    if (pipeFds[0] >= 0 || pipe(pipeFds) != 0)
        return;
    for (int fd : pipeFds) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a question waiting on standard input returns (as "no") instead of
    // holding the event loop, and with it the stop, until a line comes.
    action.sa_flags = 0;
    for (int number : watchedSignals)
        sigaction(number, &action, nullptr);
    notifier = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &SignalWatcher::readPipe);
}

SignalWatcher::~SignalWatcher()
{
    if (!notifier)
        return;
    for (int number : watchedSignals)
        std::signal(number, SIG_DFL);
    delete notifier;
    for (int &fd : pipeFds) {
        close(fd);
        fd = -1;
    }
}

void SignalWatcher::readPipe()
{
    unsigned char byte = 0;
    while (read(pipeFds[0], &byte, 1) == 1)
        emit signalled(byte);
}
