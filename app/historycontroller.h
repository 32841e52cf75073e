#pragma once

#include "journalrecord.h"
#include "paramvalue.h"

#include <QDomDocument>
#include <QHash>
#include <QObject>
#include <QPointer>

class DB_Worker;
class DeviceJournal;
class HistoryDialog;
class MainWindow;

// The window's device journal: it keeps what the window does to devices (the session records
// its reads, writes, verifications and flashes; the resets and clock sets are recorded here when
// the device answers them), shows the jobs in the history dialog and puts a job's earlier
// configuration back as edits to be reviewed and written. A journal that cannot store is told
// once per outage and never holds up the work.
class HistoryController : public QObject
{
    Q_OBJECT
public:
    // Made once the window's session exists: the journal is given to it.
    explicit HistoryController(MainWindow *window);
    ~HistoryController() override;

    DeviceJournal *journal() const { return deviceJournal; }
    // The history dialog on show (null when none is).
    HistoryDialog *dialog() const;

    // The jobs of the connected device, or of every device without one.
    void showHistory();
    // What the details of a job say: the device, the firmware, the path, the reason and each
    // change in words.
    QString details(const JournalRecord &job);
    // Loads the configuration the device had before this job as edits to be written; the
    // user is told what was loaded. False when it cannot be (told why).
    bool restore(qint64 id);

    // What a reset, as recorded, is in the interface's words (the journal keeps it in English,
    // for every front end).
    static QString resetText(const QString &reason);

private:
    void refresh();
    void jobSelected(qint64 id);
    // The job belongs to the device the window talks to now.
    bool isConnected(const JournalRecord &job) const;
    QString valueWords(const JournalRecord &job, const QString &element, const QString &hex);
    // Answers of the device to the window's resets and clock sets.
    void factoryDefaultAnswered(uchar part);
    void formatFlashAnswered(uchar code);
    // A write is starting: it is a restore when it carries the values restored.
    void writeStarting();

    MainWindow *window;
    DeviceJournal *deviceJournal = nullptr;
    QPointer<HistoryDialog> shown;
    // The device database of the jobs' own firmware (never the window's, which follows the
    // connected device), and the words of each firmware and model met.
    DB_Worker *jobsDb = nullptr;
    QHash<QString, ParamValue::Vocabulary> vocabularies;
    bool resetAllPending = false; // the device part of a full reset is done; the network follows
    QDomDocument restored;        // the values of the last restore, until a write takes them
};
