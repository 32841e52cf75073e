#include "selectdeviceform.h"
#include "ui_selectdeviceform.h"

#include <QMouseEvent>
#include <QPointer>

SelectDeviceForm::SelectDeviceForm(const QStringList &devices, QWidget *parent)
    : FramelessDialog(parent)
    , ui(new Ui::SelectDeviceForm)
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
        move(event->globalPos() - pressPos);
    FramelessDialog::mouseMoveEvent(event);
}

void SelectDeviceForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    FramelessDialog::changeEvent(event);
}
