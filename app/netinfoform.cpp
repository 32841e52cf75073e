#include "netinfoform.h"
#include "ui_netinfoform.h"

namespace {
// Opened without a parent window, so the view carries its whole look itself.
const char *const netInfoStyleSheet = R"(
QDialog {
    background-color: rgb(230, 231, 232);
}
QLabel {
    font-family: "PT Sans";
    font-size: 12px;
}
QWidget#netInfoFormTitleWidget {
    background-color: rgb(2, 91, 89);
}
QWidget#netInfoFormTitleWidget QLabel {
    color: white;
    font-size: 13px;
    font-weight: bold;
}
QWidget#netInfoFormTitleWidget QToolButton {
    border: none;
    background: transparent;
}
QWidget#netInfoFormTitleWidget QToolButton:hover {
    background-color: rgb(38, 165, 153);
}
QPushButton {
    background-color: rgb(2, 91, 89);
    color: white;
    border: none;
    font-family: "PT Sans";
    font-size: 13px;
    min-width: 81px;
    min-height: 23px;
}
QPushButton:hover {
    background-color: rgb(38, 165, 153);
}
)";
} // namespace

NetInfoForm::NetInfoForm(QWidget *parent)
    : FramelessDialog(parent)
    , ui(new Ui::NetInfoForm)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setStyleSheet(QString::fromUtf8(netInfoStyleSheet));
    setupTitleBar(ui->netInfoFormTitleWidget, ui->closeNetInfoFormButton);
    connect(this, &FramelessDialog::closeRequested, this, &QDialog::close);
    connect(ui->okPushButton, &QPushButton::clicked, this, &QDialog::close);
}

NetInfoForm::~NetInfoForm()
{
    delete ui;
}

void NetInfoForm::updateNetInfoParams(NET_INFO_PARAMS _params)
{
    ui->netDevAdrLbl->setText(_params.devAddr);
    ui->appSKeyLbl->setText(_params.appSKey);
    ui->nwkSKeyLbl->setText(_params.nwkSKey);
    ui->workClassLbl->setText(_params.workClass);
}

void NetInfoForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    FramelessDialog::changeEvent(event);
}
