#include "systempage.h"
#include "ui_systempage.h"

SystemPage::SystemPage(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::SystemPage)
{
    ui->setupUi(this);
}

SystemPage::~SystemPage()
{
    delete ui;
}

void SystemPage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}
