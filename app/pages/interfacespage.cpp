#include "interfacespage.h"
#include "ui_interfacespage.h"

#include <QEvent>

InterfacesPage::InterfacesPage(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::InterfacesPage)
{
    ui->setupUi(this);
}

InterfacesPage::~InterfacesPage()
{
    delete ui;
}

void InterfacesPage::changeEvent(QEvent *event)
{
    // interfaceLbl has no text in the form, so retranslating keeps the RS-232/RS-485 shown.
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}
