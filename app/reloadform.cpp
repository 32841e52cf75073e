#include "reloadform.h"
#include "ui_reloadform.h"

#include <QPointer>

ReloadForm::ReloadForm(QWidget *parent)
    : FramelessDialog(parent)
    , ui(new Ui::ReloadForm)
{
    ui->setupUi(this);
    setupTitleBar(ui->reloadFormTitleWidget, ui->closeReloadFormButton);
    connect(this, &FramelessDialog::closeRequested, this, &ReloadForm::reject);
    // The confirm button shares its name with the signal, so it is wired here by hand.
    connect(ui->fullReload, &QPushButton::clicked, this, &ReloadForm::confirm);
    connect(ui->cancelReload, &QPushButton::clicked, this, &ReloadForm::reject);
}

ReloadForm::~ReloadForm()
{
    delete ui;
}

void ReloadForm::confirm()
{
    if (answered)
        return;
    answered = true;
    // The restart is under way: nothing in this dialog may be pressed any more.
    ui->fullReload->setEnabled(false);
    ui->cancelReload->setEnabled(false);
    const QPointer<ReloadForm> self(this);
    emit fullReload();
    if (!self)
        return;
    FramelessDialog::accept();
    deleteLater();
}

void ReloadForm::reject()
{
    if (answered)
        return;
    answered = true;
    const QPointer<ReloadForm> self(this);
    emit rebootCancel();
    if (!self)
        return;
    FramelessDialog::reject();
    deleteLater();
}

void ReloadForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    FramelessDialog::changeEvent(event);
}
