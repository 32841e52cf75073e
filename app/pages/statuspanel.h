#pragma once

#include <QWidget>

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
    explicit StatusPanel(QWidget *parent = nullptr);
    ~StatusPanel() override;

    Ui::StatusPanel *ui;

protected:
    void changeEvent(QEvent *event) override;
};
