#pragma once

#include "framelessdialog.h"
#include "journalrecord.h"

#include <QList>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

// The jobs the device journal holds for the connected device (or for every device), newest
// first, and the details of the one selected. What the details say and whether the job's
// configuration can be put back is the history controller's to tell: the dialog shows it.
class HistoryDialog : public FramelessDialog
{
    Q_OBJECT
public:
    enum Column { TimeColumn, JobColumn, ResultColumn, StationColumn, PathColumn, ColumnCount };

    explicit HistoryDialog(QWidget *parent = nullptr);

    // Whose jobs are shown: a device line, or empty for every device.
    void setScope(const QString &deviceLine);
    // The jobs, newest first; the selection stays on the same job when it is still listed.
    // error: why the shared journal could not be read (what waits locally is still shown).
    void setJobs(const QList<JournalRecord> &jobs, const QString &error = QString());
    int jobCount() const;
    // The store id of the job selected (0: none) and the selection by id.
    qint64 selectedJob() const;
    bool selectJob(qint64 id);
    void showDetails(const QString &text, bool restorable);
    QString detailsText() const;
    // One row's text as shown (for what is not in a column of its own, such as the mark of a
    // job not yet in the shared store).
    QString cellText(int row, Column column) const;

    static QString kindText(JournalRecord::Kind kind);
    static QString resultText(JournalRecord::Result result);

signals:
    // The selection changed to this job (0: none is selected).
    void jobSelected(qint64 id);
    void restoreRequested(qint64 id);

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void fillRows();

    QLabel *titleLabel = nullptr;
    QLabel *scopeLabel = nullptr;
    QLabel *errorLabel = nullptr;
    QTreeWidget *list = nullptr;
    QPlainTextEdit *details = nullptr;
    QPushButton *restoreButton = nullptr;
    QPushButton *closeButton = nullptr;
    QList<JournalRecord> shownJobs;
    QString scope;
    QString readError;
};
