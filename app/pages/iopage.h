#pragma once

#include <QWidget>

namespace Ui {
class IoPage;
}

// Page of the inputs: level type, mode and counter threshold of each of the six inputs,
// plus how often the inputs are scanned and the counters saved.
class IoPage : public QWidget
{
    Q_OBJECT
public:
    explicit IoPage(QWidget *parent = nullptr);
    ~IoPage() override;

    // The main window fills the fields and routes their changes to the configuration, so they
    // are reachable from outside; the page itself only lays them out.
    Ui::IoPage *const ui;

protected:
    void changeEvent(QEvent *event) override;
};
