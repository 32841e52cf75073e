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

protected:
    void changeEvent(QEvent *event) override;

private:
    Ui::IoPage *ui;
};
