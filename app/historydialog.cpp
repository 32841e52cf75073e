#include "historydialog.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

namespace {
constexpr int dialogWidthPx = 820;
constexpr int listHeightPx = 240;
constexpr int detailsHeightPx = 170;
const QString timeFormat = QStringLiteral("dd.MM.yyyy HH:mm:ss");
} // namespace

HistoryDialog::HistoryDialog(QWidget *parent)
    : FramelessDialog(parent)
{
    setObjectName(QStringLiteral("HistoryDialog"));
    QWidget *title = makeTitleBar(&titleLabel);
    connect(this, &FramelessDialog::closeRequested, this, &QDialog::close);

    scopeLabel = new QLabel(this);
    scopeLabel->setObjectName(QStringLiteral("historyScopeLabel"));
    scopeLabel->setWordWrap(true);
    errorLabel = makeNoteLabel(QStringLiteral("historyErrorLabel"));
    list = new QTreeWidget(this);
    list->setObjectName(QStringLiteral("historyList"));
    list->setColumnCount(ColumnCount);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setMinimumSize(dialogWidthPx - 32, listHeightPx);
    list->header()->setStretchLastSection(true);
    details = new QPlainTextEdit(this);
    details->setObjectName(QStringLiteral("historyDetails"));
    details->setReadOnly(true);
    details->setFixedHeight(detailsHeightPx);
    restoreButton = new QPushButton(this);
    restoreButton->setObjectName(QStringLiteral("restoreButton"));
    restoreButton->setEnabled(false);
    closeButton = new QPushButton(this);
    closeButton->setObjectName(QStringLiteral("closeHistoryButton"));
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(restoreButton, &QPushButton::clicked, this, [this] {
        if (const qint64 id = selectedJob())
            emit restoreRequested(id);
    });
    connect(list, &QTreeWidget::currentItemChanged, this, [this] {
        details->clear();
        restoreButton->setEnabled(false);
        emit jobSelected(selectedJob());
    });

    auto *body = new QVBoxLayout;
    body->setContentsMargins(16, 10, 16, 14);
    body->setSpacing(6);
    body->addWidget(scopeLabel);
    body->addWidget(errorLabel);
    body->addWidget(list, 1);
    body->addWidget(details);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(restoreButton);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    body->addLayout(buttons);
    auto *whole = new QVBoxLayout(this);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->setSpacing(0);
    whole->addWidget(title);
    whole->addLayout(body);
    retranslate();
}

QString HistoryDialog::kindText(JournalRecord::Kind kind)
{
    using K = JournalRecord::Kind;
    switch (kind) {
    case K::Read:
        return tr("Чтение");
    case K::Write:
        return tr("Запись");
    case K::Verify:
        return tr("Проверка записи");
    case K::Set:
        return tr("Запись значений");
    case K::Reset:
        return tr("Сброс");
    case K::Clock:
        return tr("Установка часов");
    case K::Flash:
        return tr("Обновление прошивки");
    case K::Provision:
        return tr("Ввод в эксплуатацию");
    case K::Relay:
        return tr("Ретранслятор");
    case K::Remote:
        return tr("Удалённая настройка");
    case K::Restore:
        return tr("Восстановление");
    }
    return QString();
}

QString HistoryDialog::resultText(JournalRecord::Result result)
{
    switch (result) {
    case JournalRecord::Result::Ok:
        return tr("успешно");
    case JournalRecord::Result::Failed:
        return tr("ошибка");
    case JournalRecord::Result::Cancelled:
        return tr("отменено");
    }
    return QString();
}

void HistoryDialog::setScope(const QString &deviceLine)
{
    scope = deviceLine;
    scopeLabel->setText(scope.isEmpty() ? tr("Работы со всеми устройствами") : scope);
}

void HistoryDialog::setJobs(const QList<JournalRecord> &jobs, const QString &error)
{
    shownJobs = jobs;
    readError = error;
    fillRows();
}

void HistoryDialog::fillRows()
{
    // A job keeps its uid when it moves from the local outbox to the shared store (its id
    // changes then): the selection follows the uid.
    const QTreeWidgetItem *current = list->currentItem();
    const QString selectedUid = current ? current->data(0, Qt::UserRole + 1).toString() : QString();
    QTreeWidgetItem *reselect = nullptr;
    {
        const QSignalBlocker quiet(list);
        list->clear();
        for (const JournalRecord &j : std::as_const(shownJobs)) {
            auto *item = new QTreeWidgetItem(list);
            item->setData(0, Qt::UserRole, j.id);
            item->setData(0, Qt::UserRole + 1, j.uid);
            item->setText(TimeColumn, j.time.toLocalTime().toString(timeFormat));
            item->setText(JobColumn, kindText(j.kind));
            QString result = resultText(j.result);
            if (j.pending) {
                result += QStringLiteral(", ") + tr("не отправлено в общий журнал");
                item->setToolTip(ResultColumn, tr("Запись ждёт в журнале этого компьютера и "
                                                  "будет отправлена, когда общий журнал "
                                                  "станет доступен"));
            }
            item->setText(ResultColumn, result);
            item->setText(StationColumn, j.user + QLatin1Char('@') + j.station);
            item->setText(PathColumn, j.path);
            if (!selectedUid.isEmpty() && j.uid == selectedUid)
                reselect = item;
        }
        for (int c = 0; c < ColumnCount - 1; ++c)
            list->resizeColumnToContents(c);
        list->setCurrentItem(reselect);
    }
    errorLabel->setVisible(!readError.isEmpty());
    errorLabel->setText(tr("Общий журнал недоступен (%1): показано то, что ждёт отправки в "
                           "журнале этого компьютера.")
                            .arg(readError));
    details->clear();
    restoreButton->setEnabled(false);
    emit jobSelected(selectedJob());
}

int HistoryDialog::jobCount() const
{
    return list->topLevelItemCount();
}

qint64 HistoryDialog::selectedJob() const
{
    const QTreeWidgetItem *item = list->currentItem();
    return item ? item->data(0, Qt::UserRole).toLongLong() : 0;
}

bool HistoryDialog::selectJob(qint64 id)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = list->topLevelItem(i);
        if (item->data(0, Qt::UserRole).toLongLong() == id) {
            list->setCurrentItem(item);
            return true;
        }
    }
    return false;
}

void HistoryDialog::showDetails(const QString &text, bool restorable)
{
    details->setPlainText(text);
    restoreButton->setEnabled(restorable);
}

QString HistoryDialog::detailsText() const
{
    return details->toPlainText();
}

QString HistoryDialog::cellText(int row, Column column) const
{
    const QTreeWidgetItem *item = list->topLevelItem(row);
    return item ? item->text(column) : QString();
}

void HistoryDialog::retranslate()
{
    titleLabel->setText(tr("История устройства"));
    list->setHeaderLabels(
        {tr("Время"), tr("Работа"), tr("Результат"), tr("Пользователь и станция"), tr("Путь")});
    restoreButton->setText(tr("Восстановить эту конфигурацию"));
    restoreButton->setToolTip(tr("Загрузить конфигурацию, которая была в устройстве до этой "
                                 "записи, как незаписанные изменения (ключи не "
                                 "восстанавливаются)"));
    closeButton->setText(tr("Закрыть"));
    setScope(scope);
}

void HistoryDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        fillRows();
    }
    FramelessDialog::changeEvent(event);
}
