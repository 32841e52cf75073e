#pragma once

#include <QDomDocument>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>
#include <memory>
#include <vector>

class CliCommand;
class DeviceJournal;
class PortEnumerator;
struct CliOptions;

// A batch of devices on a provisioning bench: every device at once, each through a link of its
// own, is identified, optionally flashed, written with a template and its own keys, optionally
// verified, and reported as one JSON line. Each step is a command of the command line run
// in-process (info, flash, write), so a batch behaves exactly like the commands typed one by
// one. A device that fails
// stops nobody else, and a device the report lists as done is skipped on the next run.
class Provisioner : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        QString templateFile;
        QString keysFile;     // empty: the template alone
        QString firmwareFile; // empty: no flash
        QString reportFile;   // empty: no report, nothing skipped
        QString ports;        // "all" (every Vexa7XX port) or names separated by commas
        bool verify = false;
    };

    Provisioner(const Options &options, PortEnumerator *enumerator, QTextStream &out,
                QTextStream &err, QObject *parent = nullptr);
    ~Provisioner() override;

    // Each device's steps and the batch's job for it are kept here (none: not kept).
    void setJournal(DeviceJournal *j) { journal = j; }
    // Checks the files and starts every device; finished(code) follows: 0 every device done
    // (now or before), 1 a device failed or none was found, 2 a file is unusable.
    void start();

    // Reads a keys table: a header naming the columns, then one row per device. The device is
    // found by the serial_number column, else by dev_eui; every other column is a parameter
    // element whose value the device gets. False with *error when the table is unusable.
    struct Keys
    {
        QString matchColumn;              // "serial_number" or "dev_eui"
        QStringList columns;              // written, in the table's order
        QHash<QString, QStringList> rows; // match value (DevEUI as bare lower-case hex) -> values
    };
    static bool parseKeys(const QByteArray &text, Keys *keys, QString *error);
    static QString bareEui(const QString &eui);

signals:
    void finished(int exitCode);

private:
    struct Unit;
    // What a step left behind once it is gone.
    struct Step
    {
        QString error;       // why it failed in its own words
        QString where;       // the port the device is on now
        QString firmware;    // identified: the firmware; flash: the version it came back with
        QStringList missing; // write: the values not on the device, by name
        QString serial;
        QString devEui;
        int deviceId = 0;
    };
    // The options of a step on the unit's port.
    CliOptions stepOptions(const Unit &u, const QString &command) const;
    // Runs the step; then(unit, what it left, code) once it has ended and is gone.
    void runStep(Unit &u, CliCommand *step, std::function<void(Unit &, const Step &, int)> then);
    void identified(Unit &u, const Step &step, int code);
    void flashed(Unit &u, const Step &step, int code);
    void startWrite(Unit &u);
    void written(Unit &u, const Step &step, int code);
    void finishUnit(Unit &u, const QString &error, const QString &details = QString());
    // Why a step failed in its own words, else the fallback.
    static QString stepError(const Step &step, const QString &fallback);
    void loadReport();

    // The provisioning job of a device as the journal keeps it.
    void record(const Unit &u, const QString &error);

    Options opts;
    DeviceJournal *journal = nullptr;
    PortEnumerator *enumerator;
    QTextStream &out;
    QTextStream &err;
    QDomDocument templateDoc;
    Keys keys;
    QString imageVersion;
    quint16 imageDeviceId = 0;
    QSet<QString> doneSerials; // by the report of earlier runs
    QTemporaryDir workDir;     // the per-device files to write
    std::vector<std::unique_ptr<Unit>> units;
    int running = 0;
    int failures = 0;
};
