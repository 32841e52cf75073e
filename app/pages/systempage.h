#pragma once

#include <QWidget>

namespace Ui {
class SystemPage;
}

// The system page: time zone, time reference, removal from the network, protocol and the
// fixed transmission points.
class SystemPage : public QWidget
{
    Q_OBJECT
public:
    explicit SystemPage(QWidget *parent = nullptr);
    ~SystemPage() override;

    // The main window fills the fields and routes their changes to the configuration, so they
    // are reachable from outside; the page itself only lays them out.
    Ui::SystemPage *const ui;

protected:
    void changeEvent(QEvent *event) override;
};
