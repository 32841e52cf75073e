#include "clicommand.h"

#include "appsettings.h"
#include "apppaths.h"
#include "configwords.h"
#include "devicesession.h"
#include "portcheck.h"

#include <QFile>
#include <QLocale>

#include <cstdio>

CliCommand::CliCommand(const CliOptions &options, PortEnumerator *portEnumerator, QTextStream &o,
                       QTextStream &e, QObject *parent)
    : QObject(parent)
    , opts(options)
    , enumerator(portEnumerator)
    , out(o)
    , err(e)
{}

CliCommand::~CliCommand() = default;

const DeviceIdentity &CliCommand::identity() const
{
    static const DeviceIdentity none;
    return session ? session->identity() : none;
}

QString CliCommand::where() const
{
    return session ? session->where() : QString();
}

DeviceSession *CliCommand::makeSession()
{
    if (session)
        return session;
    session = new DeviceSession(enumerator, this);
    session->setUserPrompts(this);
    session->setJournal(journal);
    connect(session, &DeviceSession::failed, this, [this](const QString &why) { fail(why); });
    connect(session, &DeviceSession::notice, this, [this](const QString &line) {
        err << line << '\n';
        err.flush();
    });
    connect(session, &DeviceSession::closed, this, &CliCommand::finished);
    return session;
}

void CliCommand::fail(const QString &message, int code)
{
    if (done)
        return;
    done = true;
    lastError = message;
    endProgress();
    failing(message);
    err << "vexa7xx-cli: " << message << '\n';
    err.flush();
    out.flush();
    finish(code);
}

void CliCommand::succeed()
{
    if (done)
        return;
    done = true;
    out.flush();
    finish(ExitCode::Done);
}

void CliCommand::finish(int code)
{
    if (session)
        session->close(code);
    else
        emit finished(code);
}

bool CliCommand::choosePort(PortFinder::Choice *chosen)
{
    const PortFinder::Choice c = *chosen = makeSession()->portFinder().choose(opts.port);
    switch (c.outcome) {
    case PortFinder::Outcome::NoDevice:
        fail(QStringLiteral("no device found (use --port NAME for other adapters; vexa7xx-cli "
                            "doctor tells why)"));
        return false;
    case PortFinder::Outcome::Several:
        fail(QStringLiteral("several devices found, choose one with --port: ") +
             c.devices.join(QStringLiteral(", ")));
        return false;
    case PortFinder::Outcome::Missing:
        fail(PortCheck::describe(PortCheck::Problem::Missing, c.port));
        return false;
    case PortFinder::Outcome::Found:
        break;
    }
    return true;
}

bool CliCommand::openPort()
{
    PortFinder::Choice c;
    if (!choosePort(&c))
        return false;
    QString error;
    if (!session->open(c, opts.port, &error)) {
        fail(error);
        return false;
    }
    return true;
}

void CliCommand::connectDevice()
{
    const bool remote = !opts.remoteImei.isEmpty();
    // The port is chosen before the database is looked at; it is opened after.
    PortFinder::Choice port;
    if (!remote && !choosePort(&port))
        return;
    QString error;
    if (!makeSession()->openDatabase(&error))
        return fail(error);
    // A read or write needs the whole set; the other commands only the identity.
    static const QStringList reading{QStringLiteral("read"), QStringLiteral("write"),
                                     QStringLiteral("show"), QStringLiteral("diff"),
                                     QStringLiteral("set"), QStringLiteral("restore")};
    session->setReadsConfiguration(reading.contains(opts.command));
    session->enableConfigExchange();
    connect(session, &DeviceSession::identified, this, &CliCommand::identified);
    connect(session, &DeviceSession::readFinished, this, &CliCommand::readDone);
    connect(session, &DeviceSession::passwordRequired, this, &CliCommand::passwordRequired);
    connect(session, &DeviceSession::progress, this, [this](int value, int max) {
        showProgress(session->isWriting() ? QStringLiteral("writing") : QStringLiteral("reading"),
                     value, max);
    });
    if (remote) {
        err << "connecting to the remote-configuration server...\n";
        err.flush();
        return session->connectRemote(opts.remoteImei, opts.remotePassword, opts.remoteServer);
    }
    if (!session->open(port, opts.port, &error))
        return fail(error);
    if (opts.relay.isEmpty())
        return session->identify();
    err << "connecting to " << opts.relay << " through the relay...\n";
    err.flush();
    session->startRelay(opts.relay, opts.session, opts.relayTimeout);
}

void CliCommand::passwordRequired()
{
    fail(session->isRemote()
             ? QStringLiteral("the device refused the password")
             : QStringLiteral("the device asks for a password; log in with the configurator"));
}

void CliCommand::showProgress(const QString &what, int value, int max)
{
    if (max <= 0 || value <= 0)
        return;
    if (what != progressWhat) {
        endProgress();
        progressWhat = what;
        progressStep = -1;
    }
    // Through a pipe or into a file a carriage return redraws nothing: it only garbles the log.
    const int step = opts.progressInPlace ? value : value * 10 / max;
    if (step == progressStep)
        return;
    progressStep = step;
    err << what << ' ' << value << '/' << max << (opts.progressInPlace ? '\r' : '\n');
    progressOpen = opts.progressInPlace;
    err.flush();
}

void CliCommand::endProgress()
{
    if (progressOpen)
        err << '\n';
    progressOpen = false;
}

bool CliCommand::confirm(const QString &question)
{
    err << question << " [y/N] ";
    err.flush();
    char line[64] = {};
    if (!std::fgets(line, sizeof line, stdin))
        return false;
    return line[0] == 'y' || line[0] == 'Y';
}

bool CliCommand::interrupt()
{
    if (!opts.relay.isEmpty())
        return interruptRelay();
    if (done)
        return true;
    return interruptCommand();
}

bool CliCommand::interruptRelay()
{
    const bool leaving = session && session->isLeavingRelay();
    if (relayInterrupted && leaving) {
        err << "vexa7xx-cli: interrupted again; the local device may still be in relay mode\n";
        err.flush();
        emit finished(ExitCode::Failed);
        return true;
    }
    relayInterrupted = true;
    if (leaving) {
        // The command is over and relay mode is being left: that is what Ctrl+C asks for.
        session->setRelayExitCode(1);
        err << "vexa7xx-cli: interrupted; leaving relay mode (Ctrl+C again to stop waiting)\n";
        err.flush();
        return true;
    }
    if (done)
        return true;
    fail(QStringLiteral("interrupted"));
    return true;
}

UserPrompts::Button CliCommand::ask(Icon, const QString &title, const QString &text,
                                    Buttons buttons, Button)
{
    err << title << ": " << text << '\n';
    err.flush();
    return (buttons & No) ? No : Ok;
}

UserPrompts::Button CliCommand::linkPrompt(LinkPrompt which)
{
    // A port that has just come back may not be ours to open yet (its permissions are set a
    // moment after it appears): it is tried again until the reboot wait is over.
    if (session && session->isAwaitingReturn())
        return No;
    switch (which) {
    case LinkPrompt::PortBusy:
        fail(PortCheck::describe(PortCheck::Problem::InUse, where()));
        break;
    case LinkPrompt::PortNoPermission:
        fail(PortCheck::describe(PortCheck::Problem::NoPermission, where()));
        break;
    case LinkPrompt::DeviceUnplugged:
        err << "vexa7xx-cli: the device was disconnected\n";
        break;
    default:
        break;
    }
    err.flush();
    return No; // no answer after the resends: give up rather than wait forever
}

void CliCommand::notify(Icon, const QString &title, const QString &text, int)
{
    err << title << ": " << text << '\n';
}

ParamLabels::Lang CliCommand::language() const
{
    QString code = opts.lang;
    if (code.isEmpty()) {
        code = AppSettings::read(QStringLiteral("Language"), QStringLiteral("lang")).toString();
        if (code.isEmpty())
            code = AppSettings::defaultLanguage(QLocale::system().name());
    }
    return code == QLatin1String("ru") ? ParamLabels::Lang::Russian : ParamLabels::Lang::English;
}

const QTranslator *CliCommand::englishTexts()
{
    if (!englishTried) {
        englishTried = true;
        // Without it English words fall back to the Russian texts they are translated from.
        if (!english.load(AppPaths::filePath(QStringLiteral("translations/en.qm"))))
            err << "vexa7xx-cli: translations/en.qm is missing; labels stay in Russian\n";
    }
    return english.isEmpty() ? nullptr : &english;
}

ParamValue::Vocabulary CliCommand::vocabulary(DB_Worker &db, const QString &firmware,
                                              quint16 devId)
{
    return ConfigWords::vocabularyOf(db, firmware, devId, englishTexts());
}

ParamValue::Vocabulary CliCommand::deviceVocabulary()
{
    // The session has made the device's firmware group the database's current one.
    return ConfigWords::vocabularyOf(*session->database(), englishTexts());
}
