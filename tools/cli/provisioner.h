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

class CliRunner;
class PortEnumerator;

// A batch of devices on a provisioning bench: every device at once, each through a link of its
// own, is identified, optionally flashed, written with a template and its own keys, optionally
// verified, and reported as one JSON line. Each step is a command of the command line run
// in-process, so a batch behaves exactly like the commands typed one by one. A device that fails
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
    void runStep(Unit &u, const QStringList &args, std::function<void(Unit &, int)> then);
    void identified(Unit &u, int code);
    void flashed(Unit &u, int code);
    void startWrite(Unit &u);
    void written(Unit &u, int code);
    void finishUnit(Unit &u, const QString &error, const QString &details = QString());
    // The last "vexa7xx-cli: ..." line a step printed, else its own words.
    static QString stepError(const Unit &u, const QString &fallback);
    void loadReport();

    Options opts;
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
