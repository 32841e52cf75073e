#include "settingsform.h"
#include "ui_settingsform.h"

#include "appsettings.h"

#include <QRegularExpressionValidator>

SettingsForm::SettingsForm(QWidget *parent)
    : FramelessDialog(parent)
    , ui(new Ui::SettingsForm)
{
    ui->setupUi(this);
    setupTitleBar(ui->settingsFormTitleWidget, ui->closeSettingsFormButton);
    connect(this, &FramelessDialog::closeRequested, this, &SettingsForm::on_cancelButton_clicked);
    // Each language in its own words, as the About box offers them.
    ui->languageComboBox->addItem(QIcon(QStringLiteral(":/pict/flags/Russia.png")),
                                  QStringLiteral("Русский"), QStringLiteral("ru"));
    ui->languageComboBox->addItem(QIcon(QStringLiteral(":/pict/flags/United-States.png")),
                                  QStringLiteral("English"), QStringLiteral("en"));
    const QRegularExpression hex4(QStringLiteral("[0-9a-fA-F]{4}"));
    for (QLineEdit *e : {ui->vidEdit, ui->pidEdit})
        e->setValidator(new QRegularExpressionValidator(hex4, e));
    saved = stored();
    savedStatus = saved.status;
    display(saved);

    for (QCheckBox *b : {ui->statusCheckBox, ui->dutCheckBox, ui->verifyCheckBox})
        connect(b, &QCheckBox::toggled, this, &SettingsForm::changeSettings);
    for (QLineEdit *e : {ui->updateHostEdit, ui->remoteHostEdit, ui->vidEdit, ui->pidEdit})
        connect(e, &QLineEdit::textEdited, this, &SettingsForm::changeSettings);
    for (QSpinBox *b : {ui->updatePortSpin, ui->remotePortSpin})
        connect(b, QOverload<int>::of(&QSpinBox::valueChanged), this,
                &SettingsForm::changeSettings);
    connect(ui->languageComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SettingsForm::changeSettings);
    connect(ui->statusCheckBox, &QCheckBox::clicked, ui->dutCheckBox, &QCheckBox::setEnabled);
}

SettingsForm::~SettingsForm()
{
    delete ui;
}

SettingsForm::Values SettingsForm::stored()
{
    Values v;
    v.status = AppSettings::readBool(QStringLiteral("Survey"), QStringLiteral("Status"), true);
    // The fuel-level-sensor choice is saved but never read back, so it starts unchecked.
    v.verify = AppSettings::verifyWrites();
    const AppSettings::ServerAddress update = AppSettings::updateServer();
    v.updateHost = update.host;
    v.updatePort = update.port;
    const AppSettings::ServerAddress remote = AppSettings::remoteServer();
    const bool own = remote.host != update.host || remote.port != update.port;
    v.remoteHost = own ? remote.host : QString();
    v.remotePort = remote.port;
    const AppSettings::UsbIds ids = AppSettings::deviceUsbIds();
    v.vid = QStringLiteral("%1").arg(ids.vid, 4, 16, QLatin1Char('0'));
    v.pid = QStringLiteral("%1").arg(ids.pid, 4, 16, QLatin1Char('0'));
    v.language = AppSettings::read(QStringLiteral("Language"), QStringLiteral("lang")).toString();
    return v;
}

void SettingsForm::display(const Values &v)
{
    ui->statusCheckBox->setChecked(v.status);
    ui->dutCheckBox->setChecked(v.fls);
    ui->dutCheckBox->setEnabled(v.status);
    ui->verifyCheckBox->setChecked(v.verify);
    ui->updateHostEdit->setText(v.updateHost);
    ui->updatePortSpin->setValue(v.updatePort);
    ui->remoteHostEdit->setText(v.remoteHost);
    ui->remotePortSpin->setValue(v.remotePort);
    ui->vidEdit->setText(v.vid);
    ui->pidEdit->setText(v.pid);
    const int language = ui->languageComboBox->findData(v.language);
    ui->languageComboBox->setCurrentIndex(language < 0 ? 0 : language);
    ui->saveButton->setEnabled(false);
}

SettingsForm::Values SettingsForm::shown() const
{
    Values v;
    v.status = ui->statusCheckBox->isChecked();
    v.fls = ui->dutCheckBox->isChecked();
    v.verify = ui->verifyCheckBox->isChecked();
    v.updateHost = ui->updateHostEdit->text().trimmed();
    v.updatePort = ui->updatePortSpin->value();
    v.remoteHost = ui->remoteHostEdit->text().trimmed();
    v.remotePort = ui->remotePortSpin->value();
    v.vid = ui->vidEdit->text();
    v.pid = ui->pidEdit->text();
    v.language = ui->languageComboBox->currentData().toString();
    return v;
}

void SettingsForm::changeSettings()
{
    // A server needs an address, and an id is four hexadecimal digits.
    ui->saveButton->setEnabled(!ui->updateHostEdit->text().trimmed().isEmpty() &&
                               ui->vidEdit->hasAcceptableInput() &&
                               ui->pidEdit->hasAcceptableInput());
}

void SettingsForm::on_saveButton_clicked()
{
    const Values v = shown();
    emit refreshStatusChanged(v.status);
    emit dutChanged(v.fls);
    AppSettings::write(QStringLiteral("Survey"), QStringLiteral("Status"), v.status);
    AppSettings::write(QStringLiteral("Survey"), QStringLiteral("FLS"), v.fls);
    AppSettings::setVerifyWrites(v.verify);
    AppSettings::write(QStringLiteral("UpdateServer"), QStringLiteral("IP"), v.updateHost);
    AppSettings::write(QStringLiteral("UpdateServer"), QStringLiteral("Port"), v.updatePort);
    // Without an address of its own, remote configuration goes to the update server's host.
    AppSettings::setRemoteServer(v.remoteHost, quint16(v.remotePort));
    AppSettings::write(QStringLiteral("Device"), QStringLiteral("VID"), v.vid.toLower());
    AppSettings::write(QStringLiteral("Device"), QStringLiteral("PID"), v.pid.toLower());
    if (v.language != saved.language)
        emit languageChosen(v.language);
    saved = v;
    savedStatus = v.status;
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
    // Escape behaves as cancel: the fields go back to what was saved.
    restoreSaved();
    FramelessDialog::reject();
}

void SettingsForm::restoreSaved()
{
    display(saved);
}

void SettingsForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    FramelessDialog::changeEvent(event);
}
