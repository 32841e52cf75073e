#include "freqform.h"
#include "ui_freqform.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace {

constexpr qint64 hzPerMhz = 1000000;
constexpr int mhzDecimals = 6;

// Empty text and zero mean "no frequency"; any other number is brought into the band. Text that
// is no frequency at all is left for the user to see.
QString clampedFreq(const QString &text)
{
    qint64 hz = 0;
    if (!FreqForm::hzFromMhz(text, &hz))
        return text;
    if (hz != 0)
        hz = qBound(FreqForm::minFreqHz, hz, FreqForm::maxFreqHz);
    return FreqForm::mhzText(hz);
}

// A Hz text given to the dialog as MHz; anything not a plain number is shown as it came.
QString mhzOfHzText(const QString &hzText)
{
    bool ok = false;
    const qint64 hz = hzText.toLongLong(&ok);
    return ok && hz >= 0 ? FreqForm::mhzText(hz) : hzText;
}

// The Hz text of a field, for comparing and reporting.
QString hzOfMhzText(const QString &mhz)
{
    qint64 hz = 0;
    return FreqForm::hzFromMhz(mhz, &hz) ? QString::number(hz) : mhz;
}

// Data-rate values are compared and reported as plain decimal numbers ("03" is "3").
QString decimalValue(const QString &value)
{
    bool ok = false;
    const int number = value.trimmed().toInt(&ok);
    return ok ? QString::number(number) : value;
}

} // namespace

QString FreqForm::mhzText(qint64 hz)
{
    QString text = QString::number(hz / hzPerMhz);
    const qint64 fraction = hz % hzPerMhz;
    if (fraction != 0) {
        QString digits = QStringLiteral("%1").arg(fraction, mhzDecimals, 10, QLatin1Char('0'));
        while (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        text += QLatin1Char('.') + digits;
    }
    return text;
}

bool FreqForm::hzFromMhz(const QString &mhz, qint64 *hz)
{
    // Decimal arithmetic on the digits: a double would turn 868.1 into 868099999 Hz.
    static const QRegularExpression form(QStringLiteral("^(\\d{1,12})(?:[.,](\\d{0,6}))?$"));
    const QRegularExpressionMatch m = form.match(mhz.trimmed());
    if (!m.hasMatch())
        return false;
    const QString fraction = m.captured(2).leftJustified(mhzDecimals, QLatin1Char('0'));
    *hz = m.captured(1).toLongLong() * hzPerMhz + fraction.toLongLong();
    return true;
}

QString FreqForm::shownMhz(qint64 hz)
{
    return QCoreApplication::translate("MainWindow", "%1 МГц").arg(mhzText(hz));
}

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

    // MHz with up to six decimals: the whole Hz value and no more.
    const QRegularExpression mhz(QStringLiteral("\\d{1,4}([.,]\\d{0,6})?"));
    for (QLineEdit *edit : frequencyEdits()) {
        edit->setValidator(new QRegularExpressionValidator(mhz, edit));
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
    channelEdits.at(n)->setText(mhzOfHzText(text));
    if (asReference)
        channelRefs[n] = hzOfMhzText(mhzOfHzText(text));
}

void FreqForm::setRx2Freq(const QString &text, bool asReference)
{
    ui->rx2FreqlineEdit->setText(mhzOfHzText(text));
    if (asReference)
        rx2FreqRef = hzOfMhzText(mhzOfHzText(text));
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
    return hzOfMhzText(channelEdits.at(n)->text());
}

QString FreqForm::rx2FreqText() const
{
    return hzOfMhzText(ui->rx2FreqlineEdit->text());
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
        const QString text = channelText(n);
        if (!reference.isEmpty() && text != reference)
            changed.append(qMakePair(n, text));
    }
    const QString freqText = rx2FreqText();
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
