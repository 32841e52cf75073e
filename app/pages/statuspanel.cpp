#include "statuspanel.h"
#include "ui_statuspanel.h"

#include <QEvent>

StatusPanel::StatusPanel(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::StatusPanel)
{
    ui->setupUi(this);
}

StatusPanel::~StatusPanel()
{
    delete ui;
}

void StatusPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}
