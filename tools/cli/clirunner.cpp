#include "clirunner.h"

#include "consolecommand.h"
#include "doctorcommand.h"
#include "flashcommand.h"
#include "inforeadcommand.h"
#include "passwordinput.h"
#include "provisioner.h"
#include "setcommand.h"
#include "showcommand.h"
#include "writecommand.h"

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
        connect(batch, &Provisioner::finished, this, &CliRunner::finished);
        return batch->start();
    }
    if (c == QLatin1String("list") || c == QLatin1String("doctor")) {
        command = new DoctorCommand(opts, enumerator, out, err, this);
    } else if (c == QLatin1String("show") || c == QLatin1String("diff")) {
        command = new ShowCommand(opts, enumerator, out, err, this);
    } else if (c == QLatin1String("set")) {
        command = new SetCommand(opts, enumerator, out, err, this);
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
    connect(command, &CliCommand::finished, this, &CliRunner::finished);
    command->start();
}

bool CliRunner::interrupt()
{
    // A batch has nothing to stop cleanly: the signal ends the program as usual.
    return command && command->interrupt();
}
