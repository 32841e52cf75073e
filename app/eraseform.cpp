#include "eraseform.h"
#include "ui_eraseform.h"

#include <QPointer>

EraseForm::EraseForm(QWidget *parent)
    : FramelessDialog(parent)
    , ui(new Ui::EraseForm)
{
    ui->setupUi(this);
    setupTitleBar(ui->eraseMemFormTitleWidget, ui->closeEraseMemFormButton);
    connect(this, &FramelessDialog::closeRequested, this, &EraseForm::reject);
    for (QRadioButton *radio : {ui->netDefault, ui->devDefault, ui->formatFlash})
        connect(radio, &QRadioButton::clicked, this, &EraseForm::updateOkButton);
    connect(ui->okButton, &QPushButton::clicked, this, &EraseForm::confirm);
    connect(ui->cancelButton, &QPushButton::clicked, this, &EraseForm::reject);
    updateOkButton();
}

EraseForm::~EraseForm()
{
    delete ui;
}

void EraseForm::updateOkButton()
{
    ui->okButton->setEnabled(!chosenCode().isEmpty());
}

QString EraseForm::chosenCode() const
{
    // These codes are the device link's names of the three operations.
    if (ui->netDefault->isChecked())
        return QStringLiteral("netFactory");
    if (ui->devDefault->isChecked())
        return QStringLiteral("devFactory");
    if (ui->formatFlash->isChecked())
        return QStringLiteral("formatFlash");
    return QString();
}

void EraseForm::confirm()
{
    const QString code = chosenCode();
    if (answered || code.isEmpty())
        return;
    answered = true;
    const QPointer<EraseForm> self(this);
    emit eraseMemory(code);
    if (!self)
        return;
    FramelessDialog::accept();
    deleteLater();
}

void EraseForm::reject()
{
    if (answered)
        return;
    answered = true;
    const QPointer<EraseForm> self(this);
    emit eraseCancel();
    if (!self)
        return;
    FramelessDialog::reject();
    deleteLater();
}

void EraseForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    FramelessDialog::changeEvent(event);
}
