#pragma once

#include "framelessdialog.h"

#include "netinfoparams.h"

namespace Ui {
class NetInfoForm;
}

// The device's network registration: address, session keys and device class. Each link click
// opens a new one; it fills from the next network status answer and deletes itself on close.
class NetInfoForm : public FramelessDialog
{
    Q_OBJECT
public:
    explicit NetInfoForm(QWidget *parent = nullptr);
    ~NetInfoForm() override;

public slots:
    void updateNetInfoParams(NET_INFO_PARAMS _params);

protected:
    void changeEvent(QEvent *event) override;

private:
    Ui::NetInfoForm *ui;
};
