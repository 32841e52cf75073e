#pragma once

#include "framelessdialog.h"

#include <QPoint>
#include <QStringList>

namespace Ui {
class SelectDeviceForm;
}

class QModelIndex;

// Lets the user choose one of several connected devices found by the port search.
class SelectDeviceForm : public FramelessDialog
{
    Q_OBJECT
public:
    // devices: one description per found device, in the order of the search results.
    SelectDeviceForm(const QStringList &devices, QWidget *parent = nullptr);
    ~SelectDeviceForm() override;

public slots:
    // Cancel, the title-bar close button and Escape all end up here.
    void reject() override;

signals:
    void selectDeviceIndex(int index);
    void selectionCanceled();

protected:
    void changeEvent(QEvent *event) override;
    // The whole dialog is a drag handle, not only its title bar.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void rowClicked(const QModelIndex &index);
    void choose(int row);

    Ui::SelectDeviceForm *ui;
    int selectedRow = -1;
    QPoint pressPos;
    // The dialog answers once; later clicks before the deferred deletion are ignored.
    bool answered = false;
};
