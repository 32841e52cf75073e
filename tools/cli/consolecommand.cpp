#include "consolecommand.h"

#include "commandhistory.h"
#include "commands.h"
#include "db_worker.h"
#include "deviceinterface.h"
#include "devicesession.h"
#include "frametext.h"

#include <QRegularExpression>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <unistd.h>
#include <utility>

void ConsoleCommand::identified(const DeviceIdentity &d)
{
    err << d.shownName() << " " << d.serialNumber << ", firmware " << d.firmware
        << " on " << where() << '\n';
    err.flush();
    if (opts.command == QLatin1String("syslog"))
        checkSysLogCodes();
    // the empty read that follows starts the session
}

void ConsoleCommand::readDone(const QDomDocument &)
{
    if (!done)
        startSession();
}

void ConsoleCommand::passwordRequired()
{
    if (!started || opts.command != QLatin1String("console"))
        return CliCommand::passwordRequired();
    err << "vexa7xx-cli: the device asks for a password: type USB <password>\n";
    err.flush();
}

bool ConsoleCommand::checkSysLogCodes()
{
    // The codes a firmware knows come with its group; an unsupported firmware is taken at its
    // word.
    if (session->group().isEmpty())
        return true;
    const auto codesOf = [this](const char *element) {
        QStringList codes;
        for (const QString &e : session->database()->getFormElements(QLatin1String(element)))
            codes << e.mid(e.lastIndexOf(QLatin1Char(':')) + 1);
        return codes;
    };
    const QStringList levels = codesOf("levelDbgcomboBox");
    const QStringList sources = codesOf("sourceDbgComboBox");
    if (levels.isEmpty() || sources.isEmpty())
        return true;
    if (levels.contains(opts.level) && sources.contains(opts.source))
        return true;
    err << "vexa7xx-cli: this device takes LEVEL " << levels.join(QLatin1Char('|'))
        << " and SOURCE " << sources.join(QLatin1Char('|')) << '\n';
    fail(QStringLiteral("unknown debug level or source %1,%2").arg(opts.level, opts.source),
         ExitCode::Usage);
    return false;
}

void ConsoleCommand::startSession()
{
    if (done || started)
        return;
    started = true;
    session->setReady();
    if (opts.command == QLatin1String("console"))
        startConsole();
    else
        startSysLog();
}

void ConsoleCommand::startSysLog()
{
    connect(session->link(), &DeviceInterface::textLineReceived, this, [this](const QString &line) {
        if (done)
            return;
        out << line << '\n';
        out.flush();
    });
    const QString command = TextCmd::sysLog(opts.level, opts.source);
    if (!session->link()->sendTextCmd(command))
        return fail(QStringLiteral("cannot send ") + command);
    if (!TextCmd::sysLogStreams(opts.level, opts.source))
        return finishWhenWritten(QStringLiteral("debug output switched off"));
    streaming = true;
    err << "streaming the debug output (" << command << "); Ctrl+C ends it\n";
    err.flush();
}

void ConsoleCommand::finishWhenWritten(const QString &message)
{
    QSerialPort *port = session->link()->serialPort();
    const auto check = [this, port, message] {
        if (done || port->bytesToWrite() > 0)
            return;
        err << message << '\n';
        succeed();
    };
    connect(port, &QSerialPort::bytesWritten, this, check);
    QTimer::singleShot(stopWriteWaitMs, this, [this, message] {
        fail(message + QStringLiteral(": the command did not leave the port in time"));
    });
    check();
}

bool ConsoleCommand::interruptCommand()
{
    if (stopping) {
        fail(QStringLiteral("interrupted again; the device may still stream its log"));
    } else if (opts.command == QLatin1String("console") && started) {
        endConsole();
    } else {
        stopping = true;
        if (opts.command == QLatin1String("syslog") && streaming)
            switchDebugOutputOff();
        else
            fail(QStringLiteral("interrupted"));
    }
    return true;
}

void ConsoleCommand::startConsole()
{
    history = CommandHistory::loadEntries();
    connect(session->link(), &DeviceInterface::textLineReceived, this, &ConsoleCommand::textAnswer);
    connect(session->link(), &DeviceInterface::frameReceived, this, &ConsoleCommand::printFrame);
    err << "hex lines are command frames, lines starting with a letter text commands; "
           ":history, !N, :quit\n";
    err.flush();
    inputNotifier = new QSocketNotifier(inputFd, QSocketNotifier::Read, this);
    connect(inputNotifier, &QSocketNotifier::activated, this, &ConsoleCommand::readInput);
}

void ConsoleCommand::readInput()
{
    char chunk[4096];
    const ssize_t n = ::read(inputFd, chunk, sizeof chunk);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (n > 0)
        inputBuffer.append(chunk, int(n));
    int eol;
    while (!done && (eol = inputBuffer.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(inputBuffer.left(eol)).trimmed();
        inputBuffer.remove(0, eol + 1);
        consoleLine(line);
    }
    if (n <= 0 && !done) {
        // End of input: a last line without its line end still counts.
        inputNotifier->setEnabled(false);
        const QString last = QString::fromUtf8(inputBuffer).trimmed();
        inputBuffer.clear();
        if (!last.isEmpty())
            consoleLine(last);
        inputEnded = true;
        drainConsole();
    }
}

void ConsoleCommand::consoleLine(const QString &typed)
{
    QString line = typed;
    if (line.isEmpty())
        return;
    if (line == QLatin1String(":quit") || line == QLatin1String(":q"))
        return endConsole();
    if (line == QLatin1String(":history")) {
        for (int i = 0; i < history.size(); ++i)
            out << (i + 1) << "  " << history.at(i) << '\n';
        out.flush();
        return;
    }
    if (line.startsWith(QLatin1Char('!'))) {
        bool ok = false;
        const int n = line.mid(1).toInt(&ok);
        if (!ok || n < 1 || n > history.size()) {
            err << "no history entry " << line.mid(1) << '\n';
            err.flush();
            return;
        }
        line = history.at(n - 1);
        err << line << '\n';
        err.flush();
    }
    if (line.at(0).isLetter()) {
        if (!session->link()->sendTextCmd(line)) {
            err << "not sent: the link is not ready\n";
            err.flush();
            return;
        }
        static const QRegularExpression sysLog(
            QStringLiteral("^SYSLOG LEVEL=([A-Za-z]+),([A-Za-z]+)$"),
            QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = sysLog.match(line);
        if (m.hasMatch())
            streaming = TextCmd::sysLogStreams(m.captured(1).toUpper(), m.captured(2).toUpper());
        textsAwaited << line;
        ++answersAwaited;
        return;
    }
    static const QRegularExpression hex(QStringLiteral("^([0-9a-fA-F]{2})+$"));
    const QString compact = QString(line).remove(QLatin1Char(' '));
    if (compact.size() < 4 || !hex.match(compact).hasMatch()) {
        err << "not a command: hex pairs (a 4-digit code, then data) or a text command\n";
        err.flush();
        return;
    }
    ++answersAwaited;
    session->link()->sendTerminalCmd(compact);
    remember(compact);
}

void ConsoleCommand::remember(const QString &command)
{
    history = CommandHistory::added(history, command);
    CommandHistory::save(history);
}

void ConsoleCommand::textAnswer(const QString &line)
{
    out << "< " << line << '\n';
    out.flush();
    if (!textsAwaited.isEmpty()) {
        const QString command = textsAwaited.takeFirst();
        --answersAwaited;
        // A mistyped command is not worth a place among the twenty.
        if (!line.startsWith(QLatin1String("ERROR")))
            remember(command);
    }
    if (quietTimer)
        quietTimer->start(consoleQuietMs);
}

void ConsoleCommand::printFrame(const QByteArray &frame)
{
    out << "< " << FrameText::describe(frame) << '\n';
    out << "  frame " << frame.toHex() << '\n';
    out.flush();
    if (answersAwaited > 0)
        --answersAwaited;
    if (quietTimer)
        quietTimer->start(consoleQuietMs);
    if (inputEnded)
        drainConsole();
}

void ConsoleCommand::drainConsole()
{
    if (done)
        return;
    const auto finish = [this] { endConsole(); };
    if (!drainTimer) {
        // The answers to the last lines still count; a device that keeps streaming its log
        // must not hold the end up for ever.
        drainTimer = new QTimer(this);
        drainTimer->setSingleShot(true);
        connect(drainTimer, &QTimer::timeout, this, finish);
        drainTimer->start(consoleDrainMs);
        quietTimer = new QTimer(this);
        quietTimer->setSingleShot(true);
        connect(quietTimer, &QTimer::timeout, this, [this, finish] {
            if (answersAwaited == 0)
                finish();
        });
        quietTimer->start(consoleQuietMs);
    }
}

void ConsoleCommand::endConsole()
{
    if (done || stopping)
        return;
    stopping = true;
    // Sent, and no refusal heard.
    for (const QString &command : std::as_const(textsAwaited))
        history = CommandHistory::added(history, command);
    textsAwaited.clear();
    CommandHistory::save(history);
    // A device left streaming its log would stay so after the console: it is told to stop,
    // as the configurator does when its console is left.
    if (streaming)
        return switchDebugOutputOff();
    succeed();
}

void ConsoleCommand::switchDebugOutputOff()
{
    streaming = false;
    if (!session->link()->sendTextCmd(TextCmd::sysLogOff()))
        return fail(QStringLiteral("cannot switch the debug output off"));
    finishWhenWritten(QStringLiteral("debug output switched off"));
}
