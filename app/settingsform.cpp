#include "settingsform.h"
#include "ui_settingsform.h"

#include "appsettings.h"

SettingsForm::SettingsForm(QWidget *parent)
    : FramelessDialog(parent)
    , ui(new Ui::SettingsForm)
{
    ui->setupUi(this);
    setupTitleBar(ui->settingsFormTitleWidget, ui->closeSettingsFormButton);
    connect(this, &FramelessDialog::closeRequested, this, &SettingsForm::on_cancelButton_clicked);

    const bool status =
        AppSettings::readBool(QStringLiteral("Survey"), QStringLiteral("Status"), true);
    ui->statusCheckBox->setChecked(status);
    // The fuel-level-sensor choice is saved but never read back, so it starts unchecked.
    ui->dutCheckBox->setChecked(false);
    ui->dutCheckBox->setEnabled(status);
    savedStatus = status;
    savedFls = ui->dutCheckBox->isChecked();
    savedVerify = AppSettings::verifyWrites();
    ui->verifyCheckBox->setChecked(savedVerify);
    ui->saveButton->setEnabled(false);

    connect(ui->statusCheckBox, &QCheckBox::stateChanged, this, &SettingsForm::changeSettings);
    connect(ui->dutCheckBox, &QCheckBox::stateChanged, this, &SettingsForm::changeSettings);
    connect(ui->verifyCheckBox, &QCheckBox::stateChanged, this, &SettingsForm::changeSettings);
    connect(ui->statusCheckBox, &QCheckBox::clicked, ui->dutCheckBox, &QCheckBox::setEnabled);
}

SettingsForm::~SettingsForm()
{
    delete ui;
}

void SettingsForm::changeSettings()
{
    ui->saveButton->setEnabled(true);
}

void SettingsForm::on_saveButton_clicked()
{
    const bool status = ui->statusCheckBox->isChecked();
    const bool fls = ui->dutCheckBox->isChecked();
    emit refreshStatusChanged(status);
    emit dutChanged(fls);
    AppSettings::write(QStringLiteral("Survey"), QStringLiteral("Status"), status);
    AppSettings::write(QStringLiteral("Survey"), QStringLiteral("FLS"), fls);
    savedVerify = ui->verifyCheckBox->isChecked();
    AppSettings::setVerifyWrites(savedVerify);
    savedStatus = status;
    savedFls = fls;
    ui->saveButton->setEnabled(false);
    close();
}

void SettingsForm::on_cancelButton_clicked()
{
    restoreSaved();
    close();
}

void SettingsForm::reject()
{
    // Escape behaves as cancel: the boxes go back to what was saved.
    restoreSaved();
    FramelessDialog::reject();
}

void SettingsForm::restoreSaved()
{
    ui->statusCheckBox->setChecked(savedStatus);
    ui->dutCheckBox->setChecked(savedFls);
    ui->dutCheckBox->setEnabled(savedStatus);
    ui->verifyCheckBox->setChecked(savedVerify);
    ui->saveButton->setEnabled(false);
}

void SettingsForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    FramelessDialog::changeEvent(event);
}
