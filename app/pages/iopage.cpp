#include "iopage.h"
#include "ui_iopage.h"

#include <QEvent>

IoPage::IoPage(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::IoPage)
{
    ui->setupUi(this);
}

IoPage::~IoPage()
{
    delete ui;
}

void IoPage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}
