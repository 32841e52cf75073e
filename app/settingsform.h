#pragma once

#include "framelessdialog.h"

namespace Ui {
class SettingsForm;
}

// The configurator's own settings: continuous status polling, fuel-level-sensor polling,
// reading a write back, the update and remote-configuration servers, the device's USB ids and
// the interface language.
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
    void languageChosen(QString code);

private slots:
    void changeSettings();
    void on_saveButton_clicked();
    void on_cancelButton_clicked();

protected:
    void changeEvent(QEvent *event) override;
    void reject() override;

private:
    // What the form shows, as saved.
    struct Values
    {
        bool status = true;
        bool fls = false;
        bool verify = true;
        QString updateHost;
        int updatePort = 0;
        QString remoteHost; // empty: the update server's
        int remotePort = 0;
        QString vid;
        QString pid;
        QString language;
    };
    static Values stored();
    void display(const Values &v);
    Values shown() const;
    void restoreSaved();

    Ui::SettingsForm *ui;
    Values saved;
    bool savedStatus = true; // what continuousStatus() answers
};
