#include "freqform.h"
#include "ui_freqform.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace {

bool isDecimalDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// Empty text and zero mean "no frequency" and stay; any other number is brought into the band.
QString clampedFreq(const QString &text)
{
    if (!isDecimalDigits(text))
        return text;
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok);
    if (ok && value == 0)
        return text;
    // Digits that do not even fit in 64 bits are far above the band.
    if (!ok || value > qulonglong(FreqForm::maxFreqHz))
        return QString::number(FreqForm::maxFreqHz);
    if (value < qulonglong(FreqForm::minFreqHz))
        return QString::number(FreqForm::minFreqHz);
    return text;
}

// Data-rate values are compared and reported as plain decimal numbers ("03" is "3").
QString decimalValue(const QString &value)
{
    bool ok = false;
    const int number = value.trimmed().toInt(&ok);
    return ok ? QString::number(number) : value;
}

} // namespace

FreqForm::FreqForm(QWidget *parent)
    : FramelessDialog(parent)
    , ui(new Ui::FreqForm)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // The close button reaches on_closeFreqFormButton_clicked() by its name.
    setupTitleBar(ui->freqFormTitleWidget, ui->closeFreqFormButton);

    channelEdits = {
        ui->freqCh0lineEdit,  ui->freqCh1lineEdit,  ui->freqCh2lineEdit,  ui->freqCh3lineEdit,
        ui->freqCh4lineEdit,  ui->freqCh5lineEdit,  ui->freqCh6lineEdit,  ui->freqCh7lineEdit,
        ui->freqCh8lineEdit,  ui->freqCh9lineEdit,  ui->freqCh10lineEdit, ui->freqCh11lineEdit,
        ui->freqCh12lineEdit, ui->freqCh13lineEdit, ui->freqCh14lineEdit, ui->freqCh15lineEdit};
    channelRefs.resize(channelCount);

    const QRegularExpression digits(QStringLiteral("[\\d]+"));
    for (QLineEdit *edit : frequencyEdits()) {
        edit->setValidator(new QRegularExpressionValidator(digits, edit));
        connect(edit, &QLineEdit::editingFinished, this, &FreqForm::checkFreq);
    }
}

FreqForm::~FreqForm()
{
    // Destroying a visible dialog hides it, and the field losing focus would run checkFreq()
    // on a half-destroyed form.
    for (QLineEdit *edit : frequencyEdits())
        disconnect(edit, nullptr, this, nullptr);
    delete ui;
}

QList<QLineEdit *> FreqForm::frequencyEdits() const
{
    QList<QLineEdit *> edits(channelEdits.begin(), channelEdits.end());
    edits << ui->rx2FreqlineEdit;
    return edits;
}

void FreqForm::setChannel(int n, const QString &text, bool asReference)
{
    if (n < 0 || n >= channelCount)
        return;
    channelEdits.at(n)->setText(text);
    if (asReference)
        channelRefs[n] = text;
}

void FreqForm::setRx2Freq(const QString &text, bool asReference)
{
    ui->rx2FreqlineEdit->setText(text);
    if (asReference)
        rx2FreqRef = text;
}

void FreqForm::setRx2DrItems(const QList<QPair<QString, QString>> &items)
{
    const QString current = rx2DrValue();
    ui->rx2DrComboBox->clear();
    for (const auto &item : items)
        ui->rx2DrComboBox->addItem(item.second, item.first);
    // Filling the list selects its first entry; that is not a choice of the user.
    ui->rx2DrComboBox->setCurrentIndex(ui->rx2DrComboBox->findData(current));
}

void FreqForm::showNoPlan(const QString &why)
{
    for (QLineEdit *edit : frequencyEdits()) {
        edit->setPlaceholderText(tr("нет данных"));
        edit->setToolTip(why);
    }
}

void FreqForm::setRx2Dr(const QString &value, bool asReference)
{
    int index = ui->rx2DrComboBox->findData(value);
    if (index < 0) {
        // The device may report the value written differently ("03" for "3").
        const QString wanted = decimalValue(value);
        for (int i = 0; i < ui->rx2DrComboBox->count() && index < 0; ++i) {
            if (decimalValue(ui->rx2DrComboBox->itemData(i).toString()) == wanted)
                index = i;
        }
    }
    ui->rx2DrComboBox->setCurrentIndex(index);
    if (asReference)
        rx2DrRef = value;
}

void FreqForm::setEditable(bool on)
{
    editable = on;
    ui->okPushButton->setEnabled(on);
    for (QLineEdit *edit : frequencyEdits())
        edit->setEnabled(on);
    ui->rx2DrComboBox->setEnabled(on);
}

bool FreqForm::isEditable() const
{
    return editable;
}

QString FreqForm::channelText(int n) const
{
    if (n < 0 || n >= channelCount)
        return QString();
    return channelEdits.at(n)->text();
}

QString FreqForm::rx2FreqText() const
{
    return ui->rx2FreqlineEdit->text();
}

QString FreqForm::rx2DrValue() const
{
    const int index = ui->rx2DrComboBox->currentIndex();
    return index < 0 ? QString() : ui->rx2DrComboBox->itemData(index).toString();
}

void FreqForm::checkFreq()
{
    for (QLineEdit *edit : frequencyEdits()) {
        const QString clamped = clampedFreq(edit->text());
        if (clamped != edit->text())
            edit->setText(clamped);
    }
}

void FreqForm::on_okPushButton_clicked()
{
    if (!editable || !ui->okPushButton->isEnabled())
        return;

    QList<QPair<int, QString>> changed;
    for (int n = 0; n < channelCount; ++n) {
        // Only channels the device reported can be changed: there is nothing to compare the
        // others with, and the device would not know them.
        const QString &reference = channelRefs.at(n);
        const QString text = channelEdits.at(n)->text();
        if (!reference.isEmpty() && text != reference)
            changed.append(qMakePair(n, text));
    }
    const QString freqText = ui->rx2FreqlineEdit->text();
    const QString rx2Freq = freqText != rx2FreqRef ? freqText : QString();
    const QString drValue = decimalValue(rx2DrValue());
    const QString rx2Dr = drValue != decimalValue(rx2DrRef) ? drValue : QString();

    emit frequencyChanged(changed, rx2Freq, rx2Dr);
    close();
}

void FreqForm::on_cancelPushButton_clicked()
{
    close();
}

void FreqForm::on_closeFreqFormButton_clicked()
{
    close();
}

void FreqForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    FramelessDialog::changeEvent(event);
}
