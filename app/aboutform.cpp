#include "aboutform.h"
#include "ui_aboutform.h"

#include <QIcon>

AboutForm::AboutForm(const QString &versionText, const QString &langCode, QWidget *parent)
    : FramelessDialog(parent)
    , ui(new Ui::AboutForm)
    , version(versionText)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setupTitleBar(ui->aboutFormTitleWidget, ui->closeAboutFormButton);
    connect(this, &FramelessDialog::closeRequested, this, &QDialog::close);
    connect(ui->okPushButton, &QPushButton::clicked, this, &QDialog::close);

    ui->languageComboBox->addItem(QIcon(QStringLiteral(":/pict/flags/Russia.png")),
                                  QStringLiteral("Русский"), QStringLiteral("ru"));
    ui->languageComboBox->addItem(QIcon(QStringLiteral(":/pict/flags/United-States.png")),
                                  QStringLiteral("English"), QStringLiteral("en"));
    {
        // Showing the current language must not look like a choice.
        const QSignalBlocker blocker(ui->languageComboBox);
        const int index = ui->languageComboBox->findData(langCode);
        if (index >= 0)
            ui->languageComboBox->setCurrentIndex(index);
    }
    connect(ui->languageComboBox, QOverload<int>::of(&QComboBox::activated), this,
            [this](int index) {
                emit changeLanguage(ui->languageComboBox->itemData(index).toString());
            });
    updateTexts();
}

AboutForm::~AboutForm()
{
    delete ui;
}

void AboutForm::updateTexts()
{
    ui->aboutText->setText(tr("Конфигуратор устройств сбора данных Вэкса7XX.\nВерсия ") + version);
}

void AboutForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        updateTexts();
    }
    FramelessDialog::changeEvent(event);
}
