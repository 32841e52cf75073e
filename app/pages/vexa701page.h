#pragma once

#include <QWidget>

namespace Ui {
class Vexa701Page;
}

// The Vexa701 page: the optical sensor's pulse counting mode and ambient light level.
class Vexa701Page : public QWidget
{
    Q_OBJECT
public:
    explicit Vexa701Page(QWidget *parent = nullptr);
    ~Vexa701Page() override;

    // The main window fills the fields and routes their changes to the configuration, so they
    // are reachable from outside; the page itself only lays them out.
    Ui::Vexa701Page *const ui;

protected:
    void changeEvent(QEvent *event) override;
};
