#include "debugform.h"
#include "ui_debugform.h"

#include "commands.h"

#include <QComboBox>
#include <QDebug>
#include <QPointer>

DebugForm::DebugForm(QWidget *parent)
    : FramelessDialog(parent)
    , ui(new Ui::DebugForm)
{
    ui->setupUi(this);
    setupTitleBar(ui->debugFormTitleWidget, ui->closeDebugFormButton);
    connect(this, &FramelessDialog::closeRequested, this, &DebugForm::reject);
    connect(ui->cancelButton, &QPushButton::clicked, this, &DebugForm::reject);
    ui->runDebugButton->setEnabled(false);
}

DebugForm::~DebugForm()
{
    delete ui;
}

void DebugForm::fillComboBoxes()
{
    const auto fill = [this](QComboBox *box, QStringList *codes) {
        box->clear();
        codes->clear();
        for (const QString &element : emit getElementFormFromDb(box->objectName())) {
            const int colon = element.lastIndexOf(QLatin1Char(':'));
            if (colon <= 0)
                continue;
            box->addItem(element.left(colon));
            codes->append(element.mid(colon + 1));
        }
    };
    fill(ui->sourceDbgComboBox, &sourceCodes);
    fill(ui->levelDbgcomboBox, &levelCodes);
    // Without both choices (no device identified) there is nothing the device would take.
    ui->runDebugButton->setEnabled(!sourceCodes.isEmpty() && !levelCodes.isEmpty());
}

void DebugForm::on_runDebugButton_clicked()
{
    const QString source = sourceCodes.value(ui->sourceDbgComboBox->currentIndex());
    const QString level = levelCodes.value(ui->levelDbgcomboBox->currentIndex());
    if (answered || source.isEmpty() || level.isEmpty())
        return;
    answered = true;
    qDebug().noquote() << "SYSLOG: " << level << source;
    const QPointer<DebugForm> self(this);
    // The console counts as streaming only once the device has been told so.
    if (emit sendCmd(TextCmd::sysLog(level, source)) && self)
        emit setTerminalDebugMode(TextCmd::sysLogStreams(level, source));
    if (!self)
        return;
    FramelessDialog::accept();
    deleteLater();
}

void DebugForm::reject()
{
    if (answered)
        return;
    answered = true;
    FramelessDialog::reject();
    deleteLater();
}

void DebugForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    FramelessDialog::changeEvent(event);
}
