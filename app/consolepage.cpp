#include "consolepage.h"

#include "appsettings.h"
#include "commandhistory.h"
#include "commands.h"
#include "db_worker.h"
#include "debugform.h"
#include "deviceinterface.h"
#include "frame.h"
#include "frametext.h"
#include "statuspoller.h"
#include "userprompts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QCursor>
#include <QDateTime>
#include <QDebug>
#include <QEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

namespace {
const QString logFilter = QStringLiteral("LOG Files (*.log)");

QString stampedName(const char *prefix)
{
    return QLatin1String(prefix) +
           QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy_hh-mm")) +
           QStringLiteral(".log");
}
} // namespace

ConsolePage::ConsolePage(const Widgets &widgets, UserPrompts *userPrompts, QObject *parent)
    : QObject(parent)
    , ui(widgets)
    , prompts(userPrompts)
{
    ui.view->document()->setMaximumBlockCount(maxConsoleBlocks);
    ui.view->installEventFilter(this);
    // The history is kept here, not by the combo box's own insertion: the newest on top, no
    // duplicates, at most CommandHistory::maxEntries, the same for Enter and the button.
    ui.commandLine->setEditable(true);
    ui.commandLine->setInsertPolicy(QComboBox::NoInsert);
    ui.commandLine->setMaxCount(CommandHistory::maxEntries);
    auto *completer = new QCompleter(ui.commandLine->model(), ui.commandLine);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    ui.commandLine->setCompleter(completer);
    connect(ui.commandLine->lineEdit(), &QLineEdit::returnPressed, ui.sendButton,
            &QPushButton::click);
    connect(ui.sendButton, &QPushButton::clicked, this, &ConsolePage::sendCurrent);
    connect(ui.view, &QWidget::customContextMenuRequested, this, &ConsolePage::showMenu);

    hidePolling = AppSettings::consoleHidesPolling();
    ui.hidePolling->setChecked(hidePolling);
    connect(ui.hidePolling, &QCheckBox::toggled, this, &ConsolePage::setPollingHidden);
    ui.pauseButton->setCheckable(true);
    connect(ui.pauseButton, &QPushButton::toggled, this, &ConsolePage::setPaused);
    connect(ui.clearButton, &QPushButton::clicked, this, &ConsolePage::clear);
    connect(ui.saveButton, &QPushButton::clicked, this, &ConsolePage::saveLog);

    saveAct = new QAction(this);
    connect(saveAct, &QAction::triggered, this, &ConsolePage::saveLog);
    binLogAct = new QAction(this);
    binLogAct->setCheckable(true);
    connect(binLogAct, &QAction::toggled, this, &ConsolePage::saveBinLog);
    clearAct = new QAction(this);
    connect(clearAct, &QAction::triggered, this, &ConsolePage::clear);
    retranslate();
}

void ConsolePage::retranslate()
{
    saveAct->setText(tr("Сохранить в файл"));
    binLogAct->setText(tr("Писать лог в файл"));
    clearAct->setText(tr("Очистить лог"));
}

void ConsolePage::setLink(DeviceInterface *deviceLink)
{
    link = deviceLink;
    connect(link, &DeviceInterface::binLogFailed, this, &ConsolePage::binLogStopped);
    connect(this, &ConsolePage::sendTerminalCommand, link, &DeviceInterface::sendTerminalCmd);
    connect(link, &DeviceInterface::frameSent, this, &ConsolePage::frameSent);
    connect(link, &DeviceInterface::frameReceived, this, &ConsolePage::frameReceived);
    connect(link, &DeviceInterface::textSent, this,
            [this](const QString &text) { add(Direction::Out, text); });
    connect(link, &DeviceInterface::textLineReceived, this,
            [this](const QString &text) { add(Direction::In, text); });
    connect(link, &DeviceInterface::noiseReceived, this,
            [this](const QByteArray &bytes, qint64 total) {
                add(Direction::In,
                    tr("помехи на линии, байт: %1").arg(total) + QStringLiteral(": ") +
                        QString::fromLatin1(bytes.toHex(' ')) +
                        (total > bytes.size() ? QStringLiteral(" …") : QString()));
            });
}

void ConsolePage::loadHistory()
{
    ui.commandLine->clear();
    ui.commandLine->addItems(CommandHistory::loadEntries());
    ui.commandLine->setCurrentIndex(-1);
}

bool ConsolePage::saveHistory() const
{
    return CommandHistory::save(history());
}

QStringList ConsolePage::history() const
{
    QStringList entries;
    for (int i = 0; i < ui.commandLine->count(); ++i)
        entries << ui.commandLine->itemText(i);
    return entries;
}

void ConsolePage::sendCurrent()
{
    const QString cmd = ui.commandLine->currentText().trimmed();
    if (cmd.isEmpty())
        return;
    // The link sends at once, inside this emit: what goes out now is the user's.
    userSending = true;
    emit sendTerminalCommand(cmd);
    userSending = false;
    const QStringList entries = CommandHistory::added(history(), cmd);
    const QSignalBlocker block(ui.commandLine);
    ui.commandLine->clear();
    ui.commandLine->addItems(entries);
    ui.commandLine->setCurrentIndex(-1);
    ui.commandLine->clearEditText();
}

bool ConsolePage::eventFilter(QObject *watched, QEvent *event)
{
    // Opened again after output came in while hidden: the newest lines, once laid out.
    if (watched == ui.view && event->type() == QEvent::Show)
        QTimer::singleShot(0, this, [this] {
            ui.view->verticalScrollBar()->setValue(ui.view->verticalScrollBar()->maximum());
        });
    return QObject::eventFilter(watched, event);
}

void ConsolePage::print(const QString &text)
{
    add(Direction::None, text);
}

void ConsolePage::frameSent(const QByteArray &frame)
{
    quint16 code = 0;
    const bool coded = FrameText::codeOf(frame, &code);
    if (coded && userSending) {
        userAwaited.append(code);
        // Answers that never came must not keep the list growing.
        while (userAwaited.size() > 16)
            userAwaited.removeFirst();
    }
    add(Direction::Out, FrameText::describe(frame), frame,
        coded && !userSending && StatusPoller::isPollCommand(code));
}

void ConsolePage::frameReceived(const QByteArray &frame)
{
    quint16 code = 0;
    bool poll = false;
    if (FrameText::codeOf(frame, &code)) {
        // Over the relay the status answers come wrapped: the inner code tells.
        if (code == Cmd::relayedAnswer) {
            quint8 port = 0;
            const QByteArray inner = Frame::relayedInner(
                frame.mid(Frame::headerBytes, frame.size() - Frame::overheadBytes), &port);
            if (inner.size() >= 2)
                code = quint16((quint8(inner.at(0)) << 8) | quint8(inner.at(1))) &
                       ~Cmd::answerMark;
        }
        poll = StatusPoller::isPollCommand(code) && !userAwaited.removeOne(code);
    }
    add(Direction::In, FrameText::describe(frame), frame, poll);
}

void ConsolePage::add(Direction direction, const QString &text, const QByteArray &frame,
                      bool poll)
{
    lines.append({QTime::currentTime(), direction, poll, text, frame});
    pollLines += poll ? 1 : 0;
    // The oldest line of the kind that has grown past its share goes.
    const bool pollFull = pollLines > maxConsoleBlocks;
    if (pollFull || lines.size() - pollLines > maxConsoleBlocks) {
        for (int i = 0; i < lines.size(); ++i) {
            if (lines.at(i).poll == pollFull) {
                lines.removeAt(i);
                break;
            }
        }
        pollLines -= pollFull ? 1 : 0;
    }
    if (paused || !shown(lines.constLast()))
        return;
    // The console follows the output unless the user has scrolled back to read.
    QScrollBar *bar = ui.view->verticalScrollBar();
    const bool follow = bar->value() >= bar->maximum();
    ui.view->append(html(lines.constLast()));
    if (follow)
        bar->setValue(bar->maximum());
}

QString ConsolePage::html(const Line &line)
{
    static const QString marks[] = {QStringLiteral("<font color=blue>\u2192</font> "),
                                    QStringLiteral("<font color=green>\u2190</font> "),
                                    QString()};
    QString out = QStringLiteral("<font color=gray>") +
                  line.time.toString(QStringLiteral("hh:mm:ss.zzz")) + QStringLiteral("</font> ") +
                  marks[int(line.direction)];
    if (line.direction == Direction::None)
        out += QStringLiteral("<font color=red>") + line.text.toHtmlEscaped() +
               QStringLiteral("</font>");
    else
        out += line.text.toHtmlEscaped();
    if (!line.frame.isEmpty())
        out += QStringLiteral(" <span style=\"color:#a0a0a0; font-size:small\">") +
               QString::fromLatin1(line.frame.toHex()) + QStringLiteral("</span>");
    return out;
}

void ConsolePage::render()
{
    // The newest lines that pass the filter, as many as the view keeps, in one edit.
    QList<const Line *> visible;
    for (auto it = lines.crbegin(); it != lines.crend() && visible.size() < maxConsoleBlocks;
         ++it) {
        if (shown(*it))
            visible.prepend(&*it);
    }
    ui.view->clear();
    QTextCursor cursor(ui.view->document());
    cursor.beginEditBlock();
    for (int i = 0; i < visible.size(); ++i) {
        if (i > 0)
            cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        cursor.insertHtml(html(*visible.at(i)));
    }
    cursor.endEditBlock();
    scrollToEnd();
}

void ConsolePage::scrollToEnd()
{
    ui.view->moveCursor(QTextCursor::End);
    ui.view->verticalScrollBar()->setValue(ui.view->verticalScrollBar()->maximum());
}

void ConsolePage::clear()
{
    lines.clear();
    pollLines = 0;
    userAwaited.clear();
    ui.view->clear();
}

void ConsolePage::setPaused(bool on)
{
    if (paused == on)
        return;
    paused = on;
    if (!paused)
        render();
}

void ConsolePage::setPollingHidden(bool on)
{
    if (on != AppSettings::consoleHidesPolling())
        AppSettings::setConsoleHidesPolling(on);
    if (hidePolling == on)
        return;
    hidePolling = on;
    if (!paused)
        render();
}

void ConsolePage::showMenu(const QPoint &)
{
    QMenu *menu = ui.view->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction *first = menu->actions().value(0);
    menu->insertActions(first, {saveAct, binLogAct, clearAct});
    menu->insertSeparator(first);
    // Not exec(): the menu must not run an event loop of its own inside this slot.
    menu->popup(QCursor::pos());
}

void ConsolePage::saveLog()
{
    const QString path =
        prompts->saveFileName(tr("Сохранить лог"), stampedName("console_log_"), logFilter);
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(ui.view->toPlainText().toUtf8()) < 0 ||
        !file.commit()) {
        qWarning().noquote() << "Cannot save the console to" << path << "/C:12";
        prompts->inform(UserPrompts::Icon::Critical, tr("Ошибка"), tr("Ошибка сохранения файла"));
    }
}

void ConsolePage::setBinLogChecked(bool on)
{
    const QSignalBlocker block(binLogAct);
    binLogAct->setChecked(on);
}

void ConsolePage::saveBinLog(bool checked)
{
    if (!checked) {
        if (link)
            link->stopWriteBinLogFile();
        return;
    }
    const QString path = prompts->saveFileName(tr("Сохранить бинарный лог"),
                                               stampedName("console_bin_log_"), logFilter);
    // No file, or one that cannot be created: nothing would be recorded, so the action must
    // not look as if it were.
    if (path.isEmpty() || !link || !link->startWriteBinLogFile(path)) {
        setBinLogChecked(false);
        prompts->inform(UserPrompts::Icon::Critical, tr("Ошибка"), tr("Ошибка создания файла"));
    }
}

void ConsolePage::binLogStopped(const QString &)
{
    setBinLogChecked(false);
    prompts->report(UserPrompts::Icon::Critical, tr("Ошибка"),
                    tr("Ошибка записи файла, запись лога остановлена"));
}

void ConsolePage::openDebugForm()
{
    if (link && link->isRemoteMode()) {
        prompts->inform(UserPrompts::Icon::Information, tr("Режим отладки"),
                        tr("Режим отладки не доступен в режиме удаленного конфигурирования!"));
        return;
    }
    auto *form = new DebugForm(ui.dialogParent);
    if (database)
        connect(form, &DebugForm::getElementFormFromDb, database, &DB_Worker::getFormElements);
    connect(form, &DebugForm::sendCmd, this, &ConsolePage::sendDebugCommand);
    connect(form, &DebugForm::setTerminalDebugMode, this, &ConsolePage::setDebugMode);
    form->fillComboBoxes();
    form->show();
}

bool ConsolePage::sendDebugCommand(QString cmd)
{
    if (link && link->activateDebugMode(cmd))
        return true;
    print(tr("Команда не отправлена: устройство не готово"));
    return false;
}

bool ConsolePage::mayLeave()
{
    if (!debugMode)
        return true;
    const auto answer =
        prompts->ask(UserPrompts::Icon::Question, tr("Режим отладки"),
                     tr("Включен режим вывода отладочной информации.\nВ этом режиме функции "
                        "конфигуратора не доступны.\nВыключить режим отладки?"),
                     UserPrompts::Yes | UserPrompts::No);
    if (answer != UserPrompts::Yes)
        return false;
    // A text command, as the device reads it: a frame would leave it streaming.
    sendDebugCommand(TextCmd::sysLogOff());
    debugMode = false;
    return true;
}
