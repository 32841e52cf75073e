#include "authenticationform.h"
#include "ui_authenticationform.h"

#include <QPointer>

AuthenticationForm::AuthenticationForm(QWidget *parent)
    : FramelessDialog(parent)
    , ui(new Ui::AuthenticationForm)
{
    ui->setupUi(this);
    setupTitleBar(ui->authFormTitleWidget, ui->closeAuthFormButton);
    connect(this, &FramelessDialog::closeRequested, this, &AuthenticationForm::reject);
    connect(ui->passLine, &QLineEdit::textChanged, this, &AuthenticationForm::passwordEdited);
    connect(ui->okButton, &QPushButton::clicked, this, &AuthenticationForm::confirm);
    connect(ui->cancelButton, &QPushButton::clicked, this, &AuthenticationForm::reject);
    ui->okButton->setEnabled(false);
    ui->passLine->setFocus();
}

AuthenticationForm::~AuthenticationForm()
{
    delete ui;
}

void AuthenticationForm::passwordEdited(const QString &text)
{
    ui->okButton->setEnabled(!text.isEmpty());
    // Typing goes on in the password field whatever was focused before.
    ui->passLine->setFocus();
}

void AuthenticationForm::confirm()
{
    const QString password = ui->passLine->text();
    if (answered || password.isEmpty())
        return;
    answered = true;
    const QPointer<AuthenticationForm> self(this);
    emit passUpdated(password);
    if (!self)
        return;
    FramelessDialog::accept();
    deleteLater();
}

void AuthenticationForm::reject()
{
    if (answered)
        return;
    answered = true;
    const QPointer<AuthenticationForm> self(this);
    emit authenticationCanceled();
    if (!self)
        return;
    FramelessDialog::reject();
    deleteLater();
}

void AuthenticationForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    FramelessDialog::changeEvent(event);
}
