#pragma once

#include "framelessdialog.h"

namespace Ui {
class ReloadForm;
}

// Confirms a restart of the connected device.
class ReloadForm : public FramelessDialog
{
    Q_OBJECT
public:
    explicit ReloadForm(QWidget *parent = nullptr);
    ~ReloadForm() override;

public slots:
    // Cancel, the title-bar close button and Escape all end up here.
    void reject() override;

signals:
    void fullReload();
    void rebootCancel();

protected:
    void changeEvent(QEvent *event) override;

private:
    void confirm();

    Ui::ReloadForm *ui;
    // The dialog answers once; later clicks before the deferred deletion are ignored.
    bool answered = false;
};
