#pragma once

#include <QWidget>

namespace Ui {
class InterfacesPage;
}

// Page of the serial interface: line settings, RTS/CTS handshake, exchange time-outs, the
// metering device with one page of parameters per device type, and the interface-converter mode.
class InterfacesPage : public QWidget
{
    Q_OBJECT
public:
    explicit InterfacesPage(QWidget *parent = nullptr);
    ~InterfacesPage() override;

    // The main window fills the fields and routes their changes to the configuration, so they
    // are reachable from outside; the page itself only lays them out.
    Ui::InterfacesPage *const ui;

protected:
    void changeEvent(QEvent *event) override;
};
