#include "firmwaredialog.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {
constexpr int dialogWidthPx = 540;
// The speed is told once this much was sent and this long: the first blocks say little.
constexpr qint64 rateAfterMs = 1000;
constexpr qint64 rateAfterBytes = 2048;
} // namespace

FirmwareDialog::FirmwareDialog(const QString &device, const QString &from, const QString &to,
                               QWidget *parent)
    : FramelessDialog(parent)
    , fromVersion(from)
    , toVersion(to)
{
    setObjectName(QStringLiteral("FirmwareDialog"));
    QWidget *title = makeTitleBar(&titleLabel);
    connect(this, &FramelessDialog::closeRequested, this, &FirmwareDialog::reject);

    auto *deviceLabel = new QLabel(device, this);
    deviceLabel->setObjectName(QStringLiteral("deviceLine"));
    deviceLabel->setWordWrap(true);
    // The layout fixes the dialog at its hint, which a wrapping label keeps narrow: the device
    // line is given the room for a serial number and a DevEUI on one line.
    deviceLabel->setMinimumWidth(dialogWidthPx - 32);
    versionLabel = new QLabel(this);
    versionLabel->setObjectName(QStringLiteral("versionLabel"));
    for (int i = 0; i < 4; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("stepLabel%1").arg(i + 1));
        stepLabels << label;
    }
    bar = new QProgressBar(this);
    bar->setObjectName(QStringLiteral("firmwareProgressBar"));
    bar->setRange(0, 100);
    bar->setValue(0);
    // The percent is said beside the speed: on the bar it would be dark on dark once full.
    bar->setTextVisible(false);
    rateLabel = new QLabel(this);
    rateLabel->setObjectName(QStringLiteral("rateLabel"));
    noteLabel = makeNoteLabel(QStringLiteral("noteLabel"));
    outcomeLabel = makeNoteLabel(QStringLiteral("outcomeLabel"));
    cancelButton = new QPushButton(this);
    cancelButton->setObjectName(QStringLiteral("cancelFirmwareButton"));
    closeButton = new QPushButton(this);
    closeButton->setObjectName(QStringLiteral("closeFirmwareButton"));
    closeButton->hide();
    connect(cancelButton, &QPushButton::clicked, this, &FirmwareDialog::askCancel);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *body = new QVBoxLayout;
    body->setContentsMargins(16, 10, 16, 14);
    body->setSpacing(6);
    body->addWidget(deviceLabel);
    body->addWidget(versionLabel);
    for (QLabel *label : std::as_const(stepLabels))
        body->addWidget(label);
    body->addWidget(bar);
    body->addWidget(rateLabel);
    body->addWidget(noteLabel);
    body->addWidget(outcomeLabel);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancelButton);
    buttons->addWidget(closeButton);
    body->addLayout(buttons);
    auto *whole = new QVBoxLayout(this);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->setSpacing(0);
    whole->addWidget(title);
    whole->addLayout(body);
    whole->setSizeConstraint(QLayout::SetFixedSize);
    retranslate();
}

QString FirmwareDialog::rateText(qint64 sentBytes, qint64 elapsedMs, qint64 remainingBytes)
{
    if (sentBytes < rateAfterBytes || elapsedMs < rateAfterMs)
        return QString();
    const double bytesPerMs = double(sentBytes) / double(elapsedMs);
    const qint64 leftS = qint64(double(remainingBytes) / bytesPerMs / 1000.0 + 0.5);
    const QString left = QStringLiteral("%1:%2").arg(leftS / 60).arg(leftS % 60, 2, 10,
                                                                     QLatin1Char('0'));
    return tr("%1 КБ/с, осталось %2")
        .arg(QLocale().toString(bytesPerMs * 1000.0 / 1024.0, 'f', 1), left);
}

QString FirmwareDialog::outcomeText() const
{
    return finished ? outcomeLine : QString();
}

int FirmwareDialog::percent() const
{
    return bar->value();
}

void FirmwareDialog::setStep(Step step)
{
    if (finished || (step == current && stepShown))
        return;
    stepShown = true;
    current = step;
    // Once the device checks the image, it is too late to stop.
    cancelButton->setEnabled(step == Step::Transfer && !cancelAsked);
    if (step != Step::Transfer) {
        bar->setValue(100);
        rateLabel->clear();
    }
    showSteps();
    emit stepChanged(step);
}

void FirmwareDialog::setTotal(qint64 bytes)
{
    total = bytes;
}

void FirmwareDialog::setResumedAt(qint64 bytes)
{
    resumedAt = bytes;
    retranslate();
}

void FirmwareDialog::setNote(const QString &text)
{
    noteLabel->setText(text);
    noteLabel->setVisible(!text.isEmpty());
}

void FirmwareDialog::setDone(qint64 bytes)
{
    if (finished || current != Step::Transfer || total <= 0)
        return;
    // The transfer's own reset to 0 once the image is sent is not progress.
    if (bytes == 0 && done > 0)
        return;
    done = bytes;
    if (firstDone < 0) {
        firstDone = bytes;
        clock.start();
    }
    bar->setValue(int(std::clamp<qint64>(bytes * 100 / total, 0, 100)));
    if (cancelAsked)
        return; // the line says that it stops
    const QString rate = rateText(bytes - firstDone, clock.elapsed(), total - bytes);
    rateLabel->setText(QStringLiteral("%1%").arg(bar->value()) +
                       (rate.isEmpty() ? QString() : QStringLiteral(", ") + rate));
}

void FirmwareDialog::finish(Outcome how, const QString &text)
{
    if (finished)
        return;
    finished = true;
    outcome = how;
    outcomeLine = text;
    outcomeLabel->setText(text);
    outcomeLabel->setProperty("outcome", how == Outcome::Done ? "done" : "failed");
    outcomeLabel->setStyleSheet(how == Outcome::Done ? QStringLiteral("color: #1b7a2e;")
                                                     : QStringLiteral("color: #b3261e;"));
    outcomeLabel->show();
    rateLabel->clear();
    cancelButton->hide();
    closeButton->show();
    closeButton->setFocus();
    showSteps();
}

void FirmwareDialog::askCancel()
{
    if (finished || cancelAsked || current != Step::Transfer)
        return;
    cancelAsked = true;
    cancelButton->setEnabled(false);
    rateLabel->setText(tr("Остановка после текущего блока..."));
    emit cancelRequested();
}

void FirmwareDialog::reject()
{
    // Escape and the title bar's button: Cancel while it can stop, Close at the end; while
    // the device checks or restarts, the dialog stays.
    if (finished)
        return QDialog::reject();
    askCancel();
}

void FirmwareDialog::showSteps()
{
    const char *texts[] = {
        QT_TR_NOOP("Передача прошивки в устройство"),
        QT_TR_NOOP("Проверка прошивки устройством"),
        QT_TR_NOOP("Перезагрузка устройства"),
        QT_TR_NOOP("Ожидание устройства с новой прошивкой"),
    };
    for (int i = 0; i < stepLabels.size(); ++i) {
        const int at = int(current);
        const bool passed = i < at || (finished && outcome == Outcome::Done);
        const bool now = i == at && !finished;
        // Where a cancel or a failure stopped it stays marked.
        const bool stoppedHere = i == at && finished && outcome != Outcome::Done;
        const QString mark = passed        ? QStringLiteral("✓")
                             : now         ? QStringLiteral("▶")
                             : stoppedHere ? QStringLiteral("✗")
                                           : QStringLiteral("•");
        const QString text = QStringLiteral("%1  %2").arg(mark, tr(texts[i]));
        stepLabels.at(i)->setText(now ? QStringLiteral("<b>%1</b>").arg(text.toHtmlEscaped())
                                      : text.toHtmlEscaped());
        stepLabels.at(i)->setEnabled(passed || now || stoppedHere);
    }
}

void FirmwareDialog::retranslate()
{
    titleLabel->setText(tr("Обновление прошивки"));
    versionLabel->setText(tr("Версия %1 → %2").arg(fromVersion, toVersion) +
                          (resumedAt > 0 ? QStringLiteral(", ") +
                                               tr("запись продолжается с %1 КБ")
                                                   .arg(QLocale().toString(resumedAt / 1024))
                                         : QString()));
    cancelButton->setText(tr("Отменить"));
    closeButton->setText(tr("Закрыть"));
    showSteps();
}

void FirmwareDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    FramelessDialog::changeEvent(event);
}
