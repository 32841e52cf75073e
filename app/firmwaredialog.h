#pragma once

#include "framelessdialog.h"

#include <QElapsedTimer>
#include <QList>

class QLabel;
class QProgressBar;
class QPushButton;

// The progress of a firmware update, from the first block to the device back with the new
// version: the steps with the current one marked, the percent of the image on the device, the
// speed and the time left, Cancel while the image is being sent, and the outcome at the end.
class FirmwareDialog : public FramelessDialog
{
    Q_OBJECT
public:
    enum class Step { Transfer, Check, Restart, Return };
    enum class Outcome { Done, Failed, Cancelled };

    // device: the line that names the device; from/to: the versions before and after.
    FirmwareDialog(const QString &device, const QString &from, const QString &to,
                   QWidget *parent = nullptr);

    Step step() const { return current; }
    bool isFinished() const { return finished; }
    // What the end line says (empty while the update runs).
    QString outcomeText() const;
    int percent() const;

    // "12.5 KB/s, 0:42 left": the speed of what this run sent (not what a resumed transfer
    // found on the device) and the time the rest takes at it; empty until it can be told.
    static QString rateText(qint64 sentBytes, qint64 elapsedMs, qint64 remainingBytes);

public slots:
    void setStep(FirmwareDialog::Step step);
    void setTotal(qint64 bytes);
    // Bytes of the image the device holds now.
    void setDone(qint64 bytes);
    // The transfer goes on where an earlier one stopped.
    void setResumedAt(qint64 bytes);
    // A line about the transfer worth knowing (it starts over, and why).
    void setNote(const QString &text);
    void finish(FirmwareDialog::Outcome outcome, const QString &text);

signals:
    void cancelRequested();
    void stepChanged(FirmwareDialog::Step step);

protected:
    void changeEvent(QEvent *event) override;
    void reject() override;

private:
    void retranslate();
    void showSteps();
    void askCancel();

    Step current = Step::Transfer;
    bool stepShown = false; // the first setStep is told even when it is Transfer
    bool finished = false;
    bool cancelAsked = false;
    Outcome outcome = Outcome::Done;
    QString outcomeLine;
    QString fromVersion;
    QString toVersion;
    qint64 total = 0;
    qint64 done = 0;
    qint64 resumedAt = -1;
    qint64 firstDone = -1; // where this run's timing starts
    QElapsedTimer clock;

    QLabel *titleLabel = nullptr;
    QLabel *versionLabel = nullptr;
    QList<QLabel *> stepLabels;
    QProgressBar *bar = nullptr;
    QLabel *rateLabel = nullptr;
    QLabel *noteLabel = nullptr;
    QLabel *outcomeLabel = nullptr;
    QPushButton *cancelButton = nullptr;
    QPushButton *closeButton = nullptr;
};
