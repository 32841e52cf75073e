#include "timeparamsform.h"
#include "ui_timeparamsform.h"

#include <QDateTime>

TimeParamsForm::TimeParamsForm(QWidget *parent)
    : FramelessDialog(parent)
    , ui(new Ui::TimeParamsForm)
{
    ui->setupUi(this);
    setupTitleBar(ui->timeParamsFormTitleWidget, ui->closeTimeParamsFormButton);
    connect(this, &FramelessDialog::closeRequested, this, &QWidget::hide);
    connect(ui->okPushButton, &QPushButton::clicked, this, &QWidget::hide);
}

TimeParamsForm::~TimeParamsForm()
{
    delete ui;
}

QString TimeParamsForm::formatNetTime(quint32 secsSinceEpoch)
{
    return QDateTime::fromSecsSinceEpoch(secsSinceEpoch)
        .toString(QStringLiteral("dd-MM-yyyy hh:mm:ss"));
}

void TimeParamsForm::setTime(QLabel *label, quint32 secsSinceEpoch)
{
    if (secsSinceEpoch > 0)
        label->setText(formatNetTime(secsSinceEpoch));
}

void TimeParamsForm::setNetTimes(const NET_TIME_STAT &times)
{
    setTime(ui->timeStart_lbl, times.timeStart);
    setTime(ui->timeConnect_lbl, times.timeConnect);
    setTime(ui->timeDisconnect_lbl, times.timeDisconnect);
    setTime(ui->timeStop_lbl, times.timeStop);
    setTime(ui->timeLastTx_lbl, times.timeLastTx);
    setTime(ui->timeLastRx_lbl, times.timeLastRx);
    setTime(ui->timeLastCheckConnectRequest_lbl, times.timeLastCheckConnectRequest);
    setTime(ui->timeLastCheckConnectAnswer_lbl, times.timeLastCheckConnectAnswer);
    setTime(ui->timeLastConfirmRequest_lbl, times.timeLastConfirmRequest);
    setTime(ui->timeLastConfirmAnswer_lbl, times.timeLastConfirmAnswer);
}

void TimeParamsForm::setTimeOnAir(quint32 ms)
{
    ui->timeOnAir_lbl->setText(QString::number(ms));
}

void TimeParamsForm::setConfirmStatuses(const QString &lastPacket, const QString &connectionTest)
{
    ui->netConfirmStat_lbl->setText(lastPacket);
    ui->netConnectStat_lbl->setText(connectionTest);
}

void TimeParamsForm::changeEvent(QEvent *event)
{
    // The value labels carry no translatable text, so retranslating keeps what they show.
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    FramelessDialog::changeEvent(event);
}
