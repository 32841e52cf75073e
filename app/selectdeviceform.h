#pragma once

#include "framelessdialog.h"
#include "portenumerator.h"

#include <QPoint>
#include <QStringList>

namespace Ui {
class SelectDeviceForm;
}

class QModelIndex;

// Lets the user choose one of several connected devices found by the port search, or, under
// "other port", any serial port of the computer (an adapter of another maker). With no device
// found it opens on the ports.
class SelectDeviceForm : public FramelessDialog
{
    Q_OBJECT
public:
    // devices: one description per found device, in the order of the search results.
    SelectDeviceForm(const QStringList &devices, QWidget *parent = nullptr);
    ~SelectDeviceForm() override;
    // The computer's ports behind "other port"; chosen: the port the search is held to now.
    void offerPorts(const QList<PortInfo> &ports, const QString &chosen);
    // The list shows the ports instead of the devices.
    void showPorts();

public slots:
    // Cancel, the title-bar close button and Escape all end up here.
    void reject() override;

signals:
    void selectDeviceIndex(int index);
    // A port the search is to take for the device (empty: every port again).
    void selectPort(const QString &portName);
    void selectionCanceled();

protected:
    void changeEvent(QEvent *event) override;
    // The whole dialog is a drag handle, not only its title bar.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void rowClicked(const QModelIndex &index);
    void choose(int row);
    void retranslate();

    Ui::SelectDeviceForm *ui;
    QStringList devices;
    QList<PortInfo> ports;
    QString chosenPort;
    bool portsShown = false;
    int selectedRow = -1;
    QPoint pressPos;
    // The dialog answers once; later clicks before the deferred deletion are ignored.
    bool answered = false;
};
