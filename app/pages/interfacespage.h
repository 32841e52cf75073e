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

protected:
    void changeEvent(QEvent *event) override;

private:
    Ui::InterfacesPage *ui;
};
