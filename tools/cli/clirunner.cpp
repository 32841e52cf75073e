#include "clirunner.h"

#include "consolecommand.h"
#include "devicejournal.h"
#include "doctorcommand.h"
#include "flashcommand.h"
#include "historycommand.h"
#include "inforeadcommand.h"
#include "passwordinput.h"
#include "provisioner.h"
#include "restorecommand.h"
#include "setcommand.h"
#include "showcommand.h"
#include "writecommand.h"

#include <QCoreApplication>

CliRunner::CliRunner(const Options &options, PortEnumerator *portEnumerator, QTextStream &o,
                     QTextStream &e, QObject *parent)
    : QObject(parent)
    , opts(options)
    , enumerator(portEnumerator)
    , out(o)
    , err(e)
{}

void CliRunner::start()
{
    QString error;
    if (!PasswordInput::resolve(&opts, inputFd, err, &error)) {
        err << "vexa7xx-cli: " << error << '\n';
        err.flush();
        QMetaObject::invokeMethod(
            this, [this] { emit finished(ExitCode::Usage); }, Qt::QueuedConnection);
        return;
    }
    const QString &c = opts.command;
    if (c == QLatin1String("provision")) {
        Provisioner::Options batchOptions = opts.provision;
        batchOptions.verify = opts.verify;
        auto *batch = new Provisioner(batchOptions, enumerator, out, err, this);
        batch->setJournal(openJournal());
        connect(batch, &Provisioner::finished, this, &CliRunner::end);
        return batch->start();
    }
    if (c == QLatin1String("list") || c == QLatin1String("doctor")) {
        command = new DoctorCommand(opts, enumerator, out, err, this);
    } else if (c == QLatin1String("show") || c == QLatin1String("diff")) {
        command = new ShowCommand(opts, enumerator, out, err, this);
    } else if (c == QLatin1String("set")) {
        command = new SetCommand(opts, enumerator, out, err, this);
    } else if (c == QLatin1String("restore")) {
        command = new RestoreCommand(opts, enumerator, out, err, this);
    } else if (c == QLatin1String("history")) {
        command = new HistoryCommand(opts, enumerator, out, err, this);
    } else if (c == QLatin1String("write")) {
        command = new WriteCommand(opts, enumerator, out, err, this);
    } else if (c == QLatin1String("flash")) {
        command = new FlashCommand(opts, enumerator, out, err, this);
    } else if (c == QLatin1String("console") || c == QLatin1String("syslog")) {
        auto *console = new ConsoleCommand(opts, enumerator, out, err, this);
        console->setInputFd(inputFd);
        command = console;
    } else {
        command = new InfoReadCommand(opts, enumerator, out, err, this);
    }
    // A look at a port or a console is no job on the device.
    static const QStringList unrecorded{QStringLiteral("list"), QStringLiteral("doctor"),
                                        QStringLiteral("info"), QStringLiteral("console"),
                                        QStringLiteral("syslog")};
    if (!unrecorded.contains(c))
        command->setJournal(openJournal());
    connect(command, &CliCommand::finished, this, &CliRunner::end);
    command->start();
}

DeviceJournal *CliRunner::openJournal()
{
    if (journal)
        return journal->isEnabled() ? journal : nullptr;
    journal = new DeviceJournal(this);
    if (!journal->isEnabled())
        return nullptr;
    connect(journal, &DeviceJournal::problem, this, [this](DeviceJournal::Problem problem) {
        err << "vexa7xx-cli: "
            << (problem == DeviceJournal::Problem::SharedStoreUnreachable
                    ? "the shared journal cannot be reached; the job is kept in the local journal "
                      "and sent when it can be"
                    : "the journal cannot be written (disk full or locked); the job is kept and "
                      "written again when it can be")
            << '\n';
        err.flush();
    });
    return journal;
}

void CliRunner::end(int code)
{
    // The job is done whatever the journal does: it only gets a bounded time to store it, and
    // what it cannot store is told (the journal's problem arrives through the event loop).
    if (journal && journal->isEnabled()) {
        if (!journal->waitForDrained())
            err << "vexa7xx-cli: the journal has not stored this job yet\n";
        QCoreApplication::processEvents();
    }
    emit finished(code);
}

bool CliRunner::interrupt()
{
    // A batch has nothing to stop cleanly: the signal ends the program as usual.
    return command && command->interrupt();
}
