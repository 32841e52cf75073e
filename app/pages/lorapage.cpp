#include "lorapage.h"
#include "ui_lorapage.h"

LoraPage::LoraPage(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::LoraPage)
{
    ui->setupUi(this);
}

LoraPage::~LoraPage()
{
    delete ui;
}

void LoraPage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}
