#pragma once

#include "framelessdialog.h"

#include "statusrecords.h"

class QLabel;

namespace Ui {
class TimeParamsForm;
}

// The device's network time stamps, the last packet's time on air and the two confirmation
// statuses. Created once with the main window; closing only hides it, so it keeps its values.
class TimeParamsForm : public FramelessDialog
{
    Q_OBJECT
public:
    explicit TimeParamsForm(QWidget *parent = nullptr);
    ~TimeParamsForm() override;

    // Shown as local date and time; a time stamp of 0 ("never") leaves the label as it was.
    static QString formatNetTime(quint32 secsSinceEpoch);

public slots:
    void setNetTimes(const NET_TIME_STAT &times);
    void setTimeOnAir(quint32 ms);
    void setConfirmStatuses(const QString &lastPacket, const QString &connectionTest);

protected:
    void changeEvent(QEvent *event) override;

private:
    static void setTime(QLabel *label, quint32 secsSinceEpoch);

    Ui::TimeParamsForm *ui;
};
