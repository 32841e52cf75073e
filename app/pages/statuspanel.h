#pragma once

#include <QVector>
#include <QWidget>

class QLabel;

namespace Ui {
class StatusPanel;
}

// Device status panel above the page area: network state and link quality, power and battery,
// device and application clocks, and tabs with the last transmission, inputs and status word.
// The main window fills the labels itself, so the form is reachable through `ui`.
class StatusPanel : public QWidget
{
    Q_OBJECT
public:
    // The labels of one input on the inputs tab.
    struct InputRow
    {
        QLabel *number;
        QLabel *count;
        QLabel *flag;
        QLabel *error;
        QLabel *adc;
    };

    explicit StatusPanel(QWidget *parent = nullptr);
    ~StatusPanel() override;

    // The inputs tab, first input first; a device may report fewer inputs than it has rows.
    QVector<InputRow> inputRows() const;

    Ui::StatusPanel *const ui;

protected:
    void changeEvent(QEvent *event) override;
};
