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

QVector<StatusPanel::InputRow> StatusPanel::inputRows() const
{
    return {{ui->inNum0_lbl, ui->in0Count_lbl, ui->in0Flag_lbl, ui->in0Error_lbl, ui->in0Adc_lbl},
            {ui->inNum1_lbl, ui->in1Count_lbl, ui->in1Flag_lbl, ui->in1Error_lbl, ui->in1Adc_lbl},
            {ui->inNum2_lbl, ui->in2Count_lbl, ui->in2Flag_lbl, ui->in2Error_lbl, ui->in2Adc_lbl},
            {ui->inNum3_lbl, ui->in3Count_lbl, ui->in3Flag_lbl, ui->in3Error_lbl, ui->in3Adc_lbl},
            {ui->inNum4_lbl, ui->in4Count_lbl, ui->in4Flag_lbl, ui->in4Error_lbl, ui->in4Adc_lbl},
            {ui->inNum5_lbl, ui->in5Count_lbl, ui->in5Flag_lbl, ui->in5Error_lbl, ui->in5Adc_lbl}};
}

void StatusPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}
