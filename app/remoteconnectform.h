#pragma once

#include "framelessdialog.h"

class UserPrompts;

namespace Ui {
class RemoteConnectForm;
}

// Asks for the IMEI and the password of a device in the field, for a session through the
// remote-configuration server. The IMEI last used is offered again.
class RemoteConnectForm : public FramelessDialog
{
    Q_OBJECT
public:
    // prompts: where the refusals of the input are shown (not owned).
    explicit RemoteConnectForm(UserPrompts *prompts, QWidget *parent = nullptr);
    ~RemoteConnectForm() override;

signals:
    void connectToServer(QString imei, QString password);

protected:
    void changeEvent(QEvent *event) override;

private:
    void confirm();

    Ui::RemoteConnectForm *ui;
    UserPrompts *prompts;
    QString lastImei;
    bool answered = false;
};
