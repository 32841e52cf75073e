#pragma once

#include "framelessdialog.h"

namespace Ui {
class AuthenticationForm;
}

// Asks for the device password when the device refuses access without one.
class AuthenticationForm : public FramelessDialog
{
    Q_OBJECT
public:
    explicit AuthenticationForm(QWidget *parent = nullptr);
    ~AuthenticationForm() override;

public slots:
    // Cancel, the title-bar close button and Escape all end up here.
    void reject() override;

signals:
    void passUpdated(const QString &password);
    void authenticationCanceled();

protected:
    void changeEvent(QEvent *event) override;

private:
    void passwordEdited(const QString &text);
    void confirm();

    Ui::AuthenticationForm *ui;
    // The dialog answers once; later clicks before the deferred deletion are ignored.
    bool answered = false;
};
