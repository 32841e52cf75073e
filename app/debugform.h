#pragma once

#include "framelessdialog.h"

#include <QStringList>

namespace Ui {
class DebugForm;
}

// Chooses which of the device's subsystems stream their log into the console, and how much.
class DebugForm : public FramelessDialog
{
    Q_OBJECT
public:
    explicit DebugForm(QWidget *parent = nullptr);
    ~DebugForm() override;

    // Fills both choices from the database's form elements ("text:code" each).
    void fillComboBoxes();

public slots:
    void reject() override;

signals:
    // Connected to the database's form elements; answers in the caller's thread.
    QStringList getElementFormFromDb(QString elementName);
    // Connected to the link; the result says whether the command went out.
    bool sendCmd(QString cmd);
    void setTerminalDebugMode(bool flag);

private slots:
    void on_runDebugButton_clicked();

protected:
    void changeEvent(QEvent *event) override;

private:
    Ui::DebugForm *ui;
    QStringList sourceCodes;
    QStringList levelCodes;
    bool answered = false;
};
