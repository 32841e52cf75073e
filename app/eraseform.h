#pragma once

#include "framelessdialog.h"

namespace Ui {
class EraseForm;
}

// Lets the user pick one of the device's reset operations: network settings, all settings
// or the black box.
class EraseForm : public FramelessDialog
{
    Q_OBJECT
public:
    explicit EraseForm(QWidget *parent = nullptr);
    ~EraseForm() override;

public slots:
    // Cancel, the title-bar close button and Escape all end up here.
    void reject() override;

signals:
    // code is "netFactory", "devFactory" or "formatFlash".
    void eraseMemory(const QString &code);
    void eraseCancel();

protected:
    void changeEvent(QEvent *event) override;

private:
    void updateOkButton();
    QString chosenCode() const;
    void confirm();

    Ui::EraseForm *ui;
    // The dialog answers once; later clicks before the deferred deletion are ignored.
    bool answered = false;
};
