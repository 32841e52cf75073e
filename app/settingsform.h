#pragma once

#include "framelessdialog.h"

namespace Ui {
class SettingsForm;
}

// The configurator's own settings: continuous status polling, fuel-level-sensor polling and
// reading a write back.
// Created once with the main window and shown again on request.
class SettingsForm : public FramelessDialog
{
    Q_OBJECT
public:
    explicit SettingsForm(QWidget *parent = nullptr);
    ~SettingsForm() override;

    bool continuousStatus() const { return savedStatus; }

signals:
    void refreshStatusChanged(bool);
    void dutChanged(bool);

private slots:
    void changeSettings();
    void on_saveButton_clicked();
    void on_cancelButton_clicked();

protected:
    void changeEvent(QEvent *event) override;
    void reject() override;

private:
    void restoreSaved();

    Ui::SettingsForm *ui;
    quint8 savedStatus = 1;
    quint8 savedFls = 0;
    bool savedVerify = true;
};
