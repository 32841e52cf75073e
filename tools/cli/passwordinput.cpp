#include "passwordinput.h"

#include "clioptions.h"

#include <QFile>

#include <cerrno>
#include <termios.h>
#include <unistd.h>

namespace PasswordInput {
namespace {
// One line, read a byte at a time: whatever follows it on the input is left for others (the
// question before a write reads the same input).
bool readLine(int fd, QString *line)
{
    QByteArray bytes;
    char c = 0;
    ssize_t n = 0;
    errno = 0;
    while ((n = ::read(fd, &c, 1)) == 1 && c != '\n') {
        if (bytes.size() < maxPasswordChars)
            bytes += c;
    }
    if (n < 0 || (n == 0 && bytes.isEmpty()))
        return false;
    *line = QString::fromUtf8(bytes).remove(QLatin1Char('\r'));
    return true;
}

bool askTerminal(int fd, const QString &imei, QTextStream &err, QString *line)
{
    err << "password of the device " << imei << ": ";
    err.flush();
    termios saved{};
    const bool terminal = ::tcgetattr(fd, &saved) == 0;
    termios quiet = saved;
    quiet.c_lflag &= ~tcflag_t(ECHO);
    quiet.c_lflag |= ECHONL;
    if (terminal)
        ::tcsetattr(fd, TCSAFLUSH, &quiet);
    const bool read = readLine(fd, line);
    if (terminal)
        ::tcsetattr(fd, TCSAFLUSH, &saved);
    return read;
}
} // namespace

bool resolve(CliOptions *o, int inputFd, QTextStream &err, QString *error)
{
    if (o->remoteImei.isEmpty())
        return true;
    if (!o->remotePassword.isEmpty()) {
        err << "vexa7xx-cli: warning: --password is visible to other users of this computer "
               "(in the process list); --password-file FILE or - keeps it out\n";
        err.flush();
        return true;
    }
    QString line;
    bool read = false;
    if (o->passwordFile == QLatin1String("-")) {
        read = readLine(inputFd, &line);
    } else if (!o->passwordFile.isEmpty()) {
        QFile file(o->passwordFile);
        if (!file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("cannot read the password file ") + o->passwordFile;
            return false;
        }
        read = readLine(int(file.handle()), &line);
    } else if (::isatty(inputFd) == 1) {
        read = askTerminal(inputFd, o->remoteImei, err, &line);
    } else {
        *error = QStringLiteral("--remote needs the device's password: --password-file FILE (- "
                                "for a line of standard input), or a terminal to ask on");
        return false;
    }
    if (!read && errno == EINTR) { // Ctrl+C at the question (the echo is back on)
        *error = QStringLiteral("interrupted");
        return false;
    }
    if (!read || line.isEmpty()) {
        *error = QStringLiteral("no password in ") +
                 (o->passwordFile.isEmpty() || o->passwordFile == QLatin1String("-")
                      ? QStringLiteral("the input")
                      : o->passwordFile);
        return false;
    }
    o->remotePassword = line;
    return true;
}
} // namespace PasswordInput
