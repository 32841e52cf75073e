#include "remoteconnectform.h"
#include "ui_remoteconnectform.h"

#include "appsettings.h"
#include "remoteconnection.h"
#include "userprompts.h"

#include <QPointer>
#include <QRegularExpressionValidator>

RemoteConnectForm::RemoteConnectForm(UserPrompts *userPrompts, QWidget *parent)
    : FramelessDialog(parent)
    , ui(new Ui::RemoteConnectForm)
    , prompts(userPrompts)
{
    ui->setupUi(this);
    setupTitleBar(ui->remoteFormTitleWidget, ui->closeRemoteCfgFormButton);
    connect(this, &FramelessDialog::closeRequested, this, &QDialog::reject);
    connect(ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->connectButton, &QPushButton::clicked, this, &RemoteConnectForm::confirm);
    connect(this, &QDialog::finished, this, &QObject::deleteLater);
    ui->imeiLineEdit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(RemoteConnection::imeiDigits)),
        ui->imeiLineEdit));
    const QVariant stored =
        AppSettings::read(QStringLiteral("RemConf"), QStringLiteral("lastImei"));
    if (stored.isValid()) {
        lastImei = stored.toString();
        ui->imeiLineEdit->setText(lastImei);
        ui->passLineEdit->setFocus();
    }
}

RemoteConnectForm::~RemoteConnectForm()
{
    delete ui;
}

void RemoteConnectForm::confirm()
{
    if (answered)
        return;
    const QString imei = ui->imeiLineEdit->text().trimmed();
    if (!RemoteConnection::isValidImei(imei)) {
        prompts->inform(UserPrompts::Icon::Warning, tr("Ошибка"),
                        tr("IMEI терминала должен состоять из 15 цифр"));
        ui->imeiLineEdit->setFocus();
        return;
    }
    const QString password = ui->passLineEdit->text();
    if (password.isEmpty()) {
        prompts->inform(UserPrompts::Icon::Warning, tr("Ошибка"), tr("Не указан пароль терминала"));
        ui->passLineEdit->setFocus();
        return;
    }
    if (imei != lastImei)
        AppSettings::write(QStringLiteral("RemConf"), QStringLiteral("lastImei"), imei);
    answered = true;
    const QPointer<RemoteConnectForm> self(this);
    emit connectToServer(imei, password);
    if (self)
        accept();
}

void RemoteConnectForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    FramelessDialog::changeEvent(event);
}
