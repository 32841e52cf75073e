#pragma once

#include <QWidget>

namespace Ui {
class LoraPage;
}

// The LoRaWAN page: activation, keys and addresses, network and transmission settings.
class LoraPage : public QWidget
{
    Q_OBJECT
public:
    explicit LoraPage(QWidget *parent = nullptr);
    ~LoraPage() override;

    // The main window fills the fields and routes their changes to the configuration, so they
    // are reachable from outside; the page itself only lays them out.
    Ui::LoraPage *const ui;

protected:
    void changeEvent(QEvent *event) override;
};
