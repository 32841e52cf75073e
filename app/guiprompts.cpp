#include "guiprompts.h"

#include "appsettings.h"
#include "portcheck.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {
QMessageBox::Icon toBoxIcon(UserPrompts::Icon icon)
{
    switch (icon) {
    case UserPrompts::Icon::Information:
        return QMessageBox::Information;
    case UserPrompts::Icon::Warning:
        return QMessageBox::Warning;
    case UserPrompts::Icon::Critical:
        return QMessageBox::Critical;
    case UserPrompts::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toBoxButtons(UserPrompts::Buttons buttons)
{
    QMessageBox::StandardButtons out;
    if (buttons & UserPrompts::Ok)
        out |= QMessageBox::Ok;
    if (buttons & UserPrompts::Yes)
        out |= QMessageBox::Yes;
    if (buttons & UserPrompts::No)
        out |= QMessageBox::No;
    if (buttons & UserPrompts::Cancel)
        out |= QMessageBox::Cancel;
    return out;
}

QMessageBox::StandardButton toBoxButton(UserPrompts::Button b)
{
    switch (b) {
    case UserPrompts::Ok:
        return QMessageBox::Ok;
    case UserPrompts::Yes:
        return QMessageBox::Yes;
    case UserPrompts::No:
        return QMessageBox::No;
    case UserPrompts::Cancel:
        return QMessageBox::Cancel;
    default:
        return QMessageBox::NoButton;
    }
}

UserPrompts::Button fromBoxButton(int b)
{
    switch (b) {
    case QMessageBox::Ok:
        return UserPrompts::Ok;
    case QMessageBox::Yes:
        return UserPrompts::Yes;
    case QMessageBox::No:
        return UserPrompts::No;
    case QMessageBox::Cancel:
        return UserPrompts::Cancel;
    default:
        return UserPrompts::NoButton;
    }
}
} // namespace

GuiPrompts::GuiPrompts(QWidget *parent)
    : parentWidget(parent)
{}

QString GuiPrompts::messageBoxStyleSheet()
{
    QFile qss(QStringLiteral(":/style/messagebox.qss"));
    return qss.open(QIODevice::ReadOnly) ? QString::fromUtf8(qss.readAll()) : QString();
}

bool GuiPrompts::headless()
{
    return QGuiApplication::platformName() == QLatin1String("offscreen") ||
           QGuiApplication::platformName() == QLatin1String("minimal");
}

UserPrompts::Button GuiPrompts::ask(Icon icon, const QString &title, const QString &text,
                                    Buttons buttons, Button defaultButton)
{
    return show(parentWidget, icon, title, text, buttons, defaultButton);
}

GuiPrompts::Box GuiPrompts::linkBox(LinkPrompt which)
{
    auto tr = [](const char *text) { return QCoreApplication::translate("GuiPrompts", text); };
    switch (which) {
    case LinkPrompt::ContinueReading:
        return {Icon::Critical, tr("Чтение конфигурации"),
                tr("Модуль не отвечает на команду.\nПродолжить чтение конфигурации?"), Yes | No,
                NoButton};
    case LinkPrompt::ContinueWriting:
        return {Icon::Critical, tr("Запись конфигурации"),
                tr("Модуль не отвечает на команду.\nПродолжить запись конфигурации?"), Yes | No,
                NoButton};
    case LinkPrompt::ContinueFirmware:
        return {Icon::Critical, tr("Обновление прошивки"),
                tr("Модуль не отвечает на команду.\nПродолжить обновление прошивки?"), Yes | No,
                NoButton};
    case LinkPrompt::PortBusy:
        return {Icon::Critical, tr("Ошибка"),
                tr("Устройство занято другой программой.\nЗакройте программу использующую "
                   "устройство и повторите подключение."),
                Ok, Ok};
    case LinkPrompt::PortNoPermission:
        return {Icon::Critical, tr("Ошибка"),
                tr("Нет прав на открытие порта устройства.\nДобавьте пользователя в группу "
                   "dialout командой\n    sudo usermod -aG dialout $USER\nи войдите в систему "
                   "заново. Подробнее — в руководстве (F1), раздел «Последовательные порты в "
                   "Linux»."),
                Ok, Ok};
    case LinkPrompt::DeviceUnplugged:
        return {Icon::Critical, tr("Ошибка"),
                tr("Ошибка обмена данными с устройством:\nустройство отключено от ПК"), Ok, Ok};
    case LinkPrompt::LeaveRemoteMode:
        return {Icon::Question, tr("Чтение конфигурации"),
                tr("Конфигуратор подключен к серверу конфигурирования,\nпереключиться в режим "
                   "локального "
                   "конфигурирования?"),
                Yes | No, NoButton};
    }
    return {};
}

UserPrompts::Button GuiPrompts::linkPrompt(LinkPrompt which)
{
    const Box b = linkBox(which);
    return show(nullptr, b.icon, b.title, b.text, b.buttons, b.defaultButton);
}

void GuiPrompts::askLater(Icon icon, const QString &title, const QString &text, Buttons buttons,
                          Button defaultButton, QObject *context, Answered answered)
{
    open({icon, title, text, buttons, defaultButton}, context, std::move(answered));
}

void GuiPrompts::linkPromptLater(LinkPrompt which, QObject *context, Answered answered)
{
    open(linkBox(which), context, std::move(answered));
}

void GuiPrompts::report(Icon icon, const QString &title, const QString &text)
{
    // The same news twice on top of each other says nothing more: one box is enough.
    for (const QPointer<QMessageBox> &box : std::as_const(reports)) {
        if (box && box->windowTitle() == title && box->text() == text)
            return;
    }
    if (QMessageBox *box = open({icon, title, text, Ok, Ok}, nullptr, nullptr)) {
        reports.removeAll(nullptr);
        reports << box;
    }
}

void GuiPrompts::linkReport(LinkPrompt which, const QString &portName)
{
    if (which == LinkPrompt::PortNoPermission && !portName.isEmpty())
        report(Icon::Critical, QCoreApplication::translate("GuiPrompts", "Ошибка"),
               noPermissionText(portName));
    else
        report(linkBox(which).icon, linkBox(which).title, linkBox(which).text);
}

QString GuiPrompts::noPermissionText(const QString &portName)
{
    auto tr = [](const char *text) { return QCoreApplication::translate("GuiPrompts", text); };
    const AppSettings::UsbIds ids = AppSettings::deviceUsbIds();
    const PortCheck::PermissionFix fix = PortCheck::permissionFix(portName, ids.vid, ids.pid);
    QStringList lines{tr("Нет прав на открытие порта устройства %1 (%2, пользователь %3).")
                          .arg(fix.node, fix.modeText, fix.user)};
    if (fix.ownerBlocked)
        lines << tr("Порт принадлежит вам, но его режим закрывает доступ:") << fix.ownerCommand;
    if (fix.inGroupLater)
        lines << tr("Вы уже в группе %1, но вошли в систему раньше: войдите в систему заново.")
                     .arg(fix.group);
    else if (!fix.groupCommand.isEmpty())
        lines << tr("Добавьте пользователя в группу %1 и войдите в систему заново:").arg(fix.group)
              << fix.groupCommand;
    if (fix.ruleInstalled)
        lines << tr("Правило udev для устройства установлено: отключите устройство и подключите "
                    "снова.");
    else
        lines << tr("Или установите правило udev, дающее доступ пользователю за компьютером, и "
                    "подключите устройство снова:")
              << fix.ruleCommand;
    return lines.join(QLatin1Char('\n'));
}

UserPrompts::Button GuiPrompts::portNoPermission(const QString &portName)
{
    return show(nullptr, Icon::Critical, QCoreApplication::translate("GuiPrompts", "Ошибка"),
                noPermissionText(portName), Ok, Ok);
}

void GuiPrompts::notify(Icon icon, const QString &title, const QString &text, int autoCloseMs)
{
    if (headless()) {
        const QByteArray line =
            "Message: " + title.toLocal8Bit() + ": " + text.toLocal8Bit() + '\n';
        fputs(line.constData(), stderr);
        fflush(stderr);
        return;
    }
    auto *box = new QMessageBox(toBoxIcon(icon), title, text, QMessageBox::Ok, parentWidget);
    box->setStyleSheet(messageBoxStyleSheet());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
    QTimer::singleShot(autoCloseMs, box, &QObject::deleteLater);
    notes.removeAll(nullptr);
    notes << box;
}

void GuiPrompts::withdrawNotes()
{
    for (const QPointer<QMessageBox> &box : std::as_const(notes)) {
        if (box)
            box->deleteLater();
    }
    notes.clear();
}

QString GuiPrompts::openFileName(const QString &title, const QString &filter)
{
    if (headless())
        return QString();
    return QFileDialog::getOpenFileName(parentWidget, title, QString(), filter);
}

QString GuiPrompts::saveFileName(const QString &title, const QString &proposed,
                                 const QString &filter)
{
    if (headless())
        return QString();
    return QFileDialog::getSaveFileName(parentWidget, title, proposed, filter);
}

QMessageBox *GuiPrompts::open(const Box &b, QObject *context, Answered answered)
{
    if (headless()) {
        answerLater(printAnswer(b.title, b.text, b.buttons, b.defaultButton), context,
                    std::move(answered));
        return nullptr;
    }
    // Window-modal over the main window, and open() rather than exec(): the slot that asked
    // returns at once, and the answer comes from the box's finished().
    auto *box =
        new QMessageBox(toBoxIcon(b.icon), b.title, b.text, toBoxButtons(b.buttons), parentWidget);
    box->setStyleSheet(messageBoxStyleSheet());
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (b.defaultButton != NoButton)
        box->setDefaultButton(toBoxButton(b.defaultButton));
    if (answered) {
        QPointer<QObject> guard(context);
        const bool guarded = context != nullptr;
        QObject::connect(box, &QDialog::finished, box,
                         [guard, guarded, answered = std::move(answered)](int result) {
                             if (!guarded || guard)
                                 answered(fromBoxButton(result));
                         });
    }
    if (context) {
        // The answered ones are gone (deleted on close): the list holds only open questions.
        questions.erase(std::remove_if(questions.begin(), questions.end(),
                                       [](const auto &q) { return !q.first; }),
                        questions.end());
        questions.append({box, context});
    }
    box->open();
    return box;
}

void GuiPrompts::withdrawQuestions(QObject *context)
{
    for (const auto &q : std::as_const(questions)) {
        if (q.first && q.second == context) {
            // Gone without an answer: nothing is done for it.
            QObject::disconnect(q.first, &QDialog::finished, nullptr, nullptr);
            q.first->close();
        }
    }
    questions.erase(std::remove_if(questions.begin(), questions.end(),
                                   [](const auto &q) { return !q.first || !q.second; }),
                    questions.end());
}

UserPrompts::Button GuiPrompts::printAnswer(const QString &title, const QString &text,
                                            Buttons buttons, Button defaultButton)
{
    Button answer = defaultButton;
    if (answer == NoButton)
        answer = (buttons & No) ? No : (buttons & Ok) ? Ok : (buttons & Cancel) ? Cancel : Yes;
    const QByteArray line =
        "Message box: " + title.toLocal8Bit() + ": " + text.toLocal8Bit() + '\n';
    fputs(line.constData(), stderr);
    fflush(stderr);
    return answer;
}

UserPrompts::Button GuiPrompts::show(QWidget *parent, Icon icon, const QString &title,
                                     const QString &text, Buttons buttons, Button defaultButton)
{
    if (headless())
        return printAnswer(title, text, buttons, defaultButton);
    QMessageBox box(toBoxIcon(icon), title, text, toBoxButtons(buttons), parent);
    box.setStyleSheet(messageBoxStyleSheet());
    if (defaultButton != NoButton)
        box.setDefaultButton(toBoxButton(defaultButton));
    return fromBoxButton(box.exec());
}
