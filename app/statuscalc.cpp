#include "statuscalc.h"
#include "ui_statuscalc.h"

#include "db_worker.h"
#include "paramcatalogue.h"
#include "statusdecoder.h"

#include <QCheckBox>
#include <QDebug>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QRegularExpressionValidator>

namespace {
constexpr int statusBitCount = 32;
constexpr int eventColumnWidth = 78;
constexpr int eventColumn = 2;

const QString hexPattern = QStringLiteral("^[a-fA-F0-9]{0,8}");
const QString decPattern = QStringLiteral("^[0-9]{0,10}");
} // namespace

StatusCalc::StatusCalc(QWidget *parent, const QString &statusCode, quint32 statusEventMask)
    : FramelessDialog(parent)
    , ui(new Ui::StatusCalc)
    , statusMask(statusEventMask)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // The close button also reaches on_closeStatusCalcButton_clicked(), which hands the mask back.
    setupTitleBar(ui->statusCalcTitleWidget, ui->closeStatusCalcButton);

    // The bit's name as long as it is, the event check box always in view, its condition in
    // what is left (a longer one in full in its tooltip): nothing is scrolled out of sight.
    QHeaderView *header = ui->tableWidget->horizontalHeader();
    header->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    header->setSectionResizeMode(eventColumn, QHeaderView::Fixed);
    ui->tableWidget->setColumnWidth(eventColumn, eventColumnWidth);

    validator = new QRegularExpressionValidator(QRegularExpression(hexPattern), this);
    ui->statusCode->setValidator(validator);
    if (!statusCode.isEmpty())
        ui->statusCode->setText(statusCode);
    ui->decryptButton->setFocus();

    connect(ui->statusCode, &QLineEdit::editingFinished, ui->decryptButton,
            [this] { ui->decryptButton->setFocus(); });
    connect(ui->hexRadioButton, &QRadioButton::clicked, this, &StatusCalc::typeValueChanged);
    connect(ui->decRadioButton, &QRadioButton::clicked, this, &StatusCalc::typeValueChanged);
}

StatusCalc::~StatusCalc()
{
    delete ui;
}

QString StatusCalc::bitWidgetName(int bitNum)
{
    return QStringLiteral("bitN_") + QString::number(bitNum);
}

void StatusCalc::updateStatusCode(QString statusCode)
{
    if (statusCode.isEmpty())
        return;
    ui->hexRadioButton->setChecked(true);
    typeValueChanged();
    ui->statusCode->setText(statusCode);
    decryptStatus();
}

void StatusCalc::decryptStatus()
{
    currentRow = 0;
    const int base = ui->hexRadioButton->isChecked() ? 16 : 10;
    const quint32 value = StatusDecoder::parseStatusValue(ui->statusCode->text(), base);

    const QMap<int, QStringList> bits = emit getStatusBits();
    for (int n = 0; n < statusBitCount; ++n) {
        const QStringList texts = bits.value(n);
        if (!StatusDecoder::isBitShown(n, texts, supportMask))
            continue;
        if (ui->tableWidget->rowCount() <= currentRow)
            ui->tableWidget->insertRow(currentRow);
        addRows(0, texts.value(0), n);
        const bool bitSet = (value >> n) & 1u;
        addRows(1, StatusDecoder::valueText(n, bitSet, mainServer, altServer, texts), n);
        ++currentRow;
    }
    // Rows left over from a decode with more shown bits would show stale conditions.
    while (ui->tableWidget->rowCount() > currentRow) {
        const int last = ui->tableWidget->rowCount() - 1;
        if (QWidget *w = ui->tableWidget->cellWidget(last, eventColumn))
            w->setObjectName(QString());
        ui->tableWidget->removeRow(last);
    }

    setCheckBoxses();
}

void StatusCalc::addRows(int col, QString txt, int bitNum)
{
    auto *item = ui->tableWidget->item(currentRow, col);
    if (!item) {
        item = new QTableWidgetItem;
        ui->tableWidget->setItem(currentRow, col, item);
    }
    item->setText(txt);
    item->setToolTip(txt);

    if (col != 0)
        return;
    const QString name = bitWidgetName(bitNum);
    QWidget *current = ui->tableWidget->cellWidget(currentRow, eventColumn);
    if (current && current->objectName() == name)
        return;
    // A widget being replaced lives on until the view deletes it later: drop its name at once
    // so that it is never taken for the bit's check box.
    if (current)
        current->setObjectName(QString());
    if (auto *stale = ui->tableWidget->findChild<QWidget *>(name))
        stale->setObjectName(QString());

    auto *container = new QWidget;
    container->setObjectName(name);
    auto *layout = new QHBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setAlignment(Qt::AlignCenter);
    auto *box = new QCheckBox(container);
    layout->addWidget(box);
    ui->tableWidget->setCellWidget(currentRow, eventColumn, container);
    connect(box, &QCheckBox::clicked, this, &StatusCalc::changeStatusMask);
}

void StatusCalc::setCheckBoxses()
{
    for (int n = 0; n < statusBitCount; ++n) {
        auto *container = ui->tableWidget->findChild<QWidget *>(bitWidgetName(n));
        if (!container)
            continue;
        if (auto *box = container->findChild<QCheckBox *>())
            box->setChecked((statusMask >> n) & 1u);
    }
}

void StatusCalc::changeStatusMask()
{
    for (int n = 0; n < statusBitCount; ++n) {
        auto *container = ui->tableWidget->findChild<QWidget *>(bitWidgetName(n));
        if (!container)
            continue;
        auto *box = container->findChild<QCheckBox *>();
        if (!box)
            continue;
        if (box->isChecked())
            statusMask |= 1u << n;
        else
            statusMask &= ~(1u << n);
    }
}

void StatusCalc::typeValueChanged()
{
    // The text already typed stays as it is: "FF" read as decimal is not a number.
    validator->setRegularExpression(
        QRegularExpression(ui->hexRadioButton->isChecked() ? hexPattern : decPattern));
}

void StatusCalc::setSupportStatusMask(int statMask)
{
    supportMask = static_cast<quint32>(statMask);
    qDebug().nospace() << "Support status mask: " << supportMask;
}

void StatusCalc::setServSettings(bool _main, bool _alt)
{
    mainServer = _main;
    altServer = _alt;
}

void StatusCalc::on_decryptButton_clicked()
{
    decryptStatus();
}

void StatusCalc::on_refreshStatusButton_clicked()
{
    emit getStatusCode();
}

void StatusCalc::on_closeStatusCalcButton_clicked()
{
    emit updateStatusMask(statusMask);
    close();
}

void StatusCalc::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    FramelessDialog::changeEvent(event);
}

quint32 StatusCalc::supportedMask(DB_Worker *db, bool identified)
{
    // No device reports which conditions it supports: every bit the database describes counts,
    // less those of hardware the identified model's entry says it lacks. With no model known
    // the calculator decodes any word in full.
    quint32 mask = 0;
    const QMap<int, QStringList> bits = db->getStatusBits();
    for (auto it = bits.constBegin(); it != bits.constEnd(); ++it) {
        if (it.key() >= 0 && it.key() < 32 && !it.value().value(0).isEmpty())
            mask |= 1u << it.key();
    }
    if (!identified)
        return mask;
    auto drop = [&mask](int bit, bool lacking) {
        if (lacking)
            mask &= ~(1u << bit);
    };
    // An input exists where the model has its type parameter.
    const QList<int> commands = db->getCommandList();
    for (int n = 0; n < StatusDecoder::inputAlarmBits; ++n) {
        const int typeCode =
            ParamCatalogue::byElement(QStringLiteral("type_input_%1").arg(n))->code;
        drop(StatusDecoder::firstInputAlarmBit + n, !commands.contains(typeCode));
    }
    drop(StatusDecoder::meterExchangeBit, !db->checkSupportPage(QStringLiteral("interfacesPage")));
    drop(StatusDecoder::converterBit,
         db->getFormElements(QStringLiteral("rsToUsbGroupBox")).value(0) != QLatin1String("true"));
    return mask;
}
