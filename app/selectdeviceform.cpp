#include "selectdeviceform.h"
#include "ui_selectdeviceform.h"

#include "qtcompat.h"

#include <QMouseEvent>
#include <QPointer>

#include <utility>

SelectDeviceForm::SelectDeviceForm(const QStringList &devices, QWidget *parent)
    : FramelessDialog(parent)
    , ui(new Ui::SelectDeviceForm)
    , devices(devices)
{
    ui->setupUi(this);
    setupTitleBar(ui->selectDeviceTitleWidget, ui->closeSelectDeviceFormButton);
    connect(this, &FramelessDialog::closeRequested, this, &SelectDeviceForm::reject);
    ui->deviceList->addItems(devices);
    ui->selectButton->setEnabled(false);
    connect(ui->deviceList, &QListWidget::clicked, this, &SelectDeviceForm::rowClicked);
    connect(ui->deviceList, &QListWidget::doubleClicked, this,
            [this](const QModelIndex &index) { choose(index.row()); });
    connect(ui->selectButton, &QPushButton::clicked, this, [this] { choose(selectedRow); });
    connect(ui->cancelButton, &QPushButton::clicked, this, &SelectDeviceForm::reject);
    connect(ui->otherPortButton, &QPushButton::clicked, this, &SelectDeviceForm::showPorts);
    ui->otherPortButton->hide(); // until there are ports to offer
}

void SelectDeviceForm::offerPorts(const QList<PortInfo> &computerPorts, const QString &chosen)
{
    ports = computerPorts;
    chosenPort = chosen;
    ui->otherPortButton->show();
    if (devices.isEmpty())
        showPorts();
}

void SelectDeviceForm::showPorts()
{
    portsShown = true;
    selectedRow = -1;
    ui->selectButton->setEnabled(false);
    ui->otherPortButton->hide();
    ui->deviceList->clear();
    // The first row gives the search back all ports after a port was chosen.
    ui->deviceList->addItem(tr("Автоматический поиск устройств Vexa7XX"));
    for (const PortInfo &p : std::as_const(ports)) {
        QString line = p.portName;
        if (p.hasIds)
            line += QStringLiteral("  %1:%2").arg(p.vendorId, 4, 16, QLatin1Char('0'))
                        .arg(p.productId, 4, 16, QLatin1Char('0'));
        if (!p.serialNumber.isEmpty())
            line += QStringLiteral("  SN ") + p.serialNumber;
        ui->deviceList->addItem(line);
    }
    const int current = chosenPort.isEmpty() ? 0 : [this] {
        for (int i = 0; i < ports.size(); ++i) {
            if (ports.at(i).portName == chosenPort)
                return i + 1;
        }
        return -1;
    }();
    if (current >= 0) {
        ui->deviceList->setCurrentRow(current);
        selectedRow = current;
        ui->selectButton->setEnabled(true);
    }
    retranslate();
}

SelectDeviceForm::~SelectDeviceForm()
{
    delete ui;
}

void SelectDeviceForm::rowClicked(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    selectedRow = index.row();
    ui->selectButton->setEnabled(true);
}

void SelectDeviceForm::choose(int row)
{
    // Without a chosen row there is nothing to report; the dialog stays open.
    if (answered || row < 0)
        return;
    answered = true;
    const QPointer<SelectDeviceForm> self(this);
    if (portsShown)
        emit selectPort(row == 0 ? QString() : ports.value(row - 1).portName);
    else
        emit selectDeviceIndex(row);
    if (!self)
        return;
    FramelessDialog::accept();
    deleteLater();
}

void SelectDeviceForm::reject()
{
    if (answered)
        return;
    answered = true;
    const QPointer<SelectDeviceForm> self(this);
    emit selectionCanceled();
    if (!self)
        return;
    FramelessDialog::reject();
    deleteLater();
}

void SelectDeviceForm::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        pressPos = event->pos();
    FramelessDialog::mousePressEvent(event);
}

void SelectDeviceForm::mouseMoveEvent(QMouseEvent *event)
{
    // The point grabbed at the press stays under the cursor.
    if (event->buttons() & Qt::LeftButton)
        move(QtCompat::globalPosOf(event) - pressPos);
    FramelessDialog::mouseMoveEvent(event);
}

void SelectDeviceForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        retranslate();
    }
    FramelessDialog::changeEvent(event);
}

void SelectDeviceForm::retranslate()
{
    if (!portsShown)
        return;
    ui->selectDeviceFormTitleLabel->setText(QStringLiteral("    ") + tr("Выбор порта"));
    ui->selectHintLabel->setText(devices.isEmpty()
                                     ? tr("Устройство Vexa7XX не найдено. Выберите порт, к "
                                          "которому оно подключено:")
                                     : tr("Выберите порт, к которому подключено устройство:"));
    if (ui->deviceList->count() > 0)
        ui->deviceList->item(0)->setText(tr("Автоматический поиск устройств Vexa7XX"));
}

