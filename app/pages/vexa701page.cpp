#include "vexa701page.h"
#include "ui_vexa701page.h"

Vexa701Page::Vexa701Page(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::Vexa701Page)
{
    ui->setupUi(this);
}

Vexa701Page::~Vexa701Page()
{
    delete ui;
}

void Vexa701Page::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}
