// MainWindow: the radio relay page (through the local device to a remote one) and the
// interface-converter mode of the local device.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "commands.h"
#include "connectionstates.h"
#include "deviceinterface.h"
#include "userprompts.h"

#include <QComboBox>
#include <QDebug>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

namespace {
// The console's row of the page list, where the converter mode leaves the user.
constexpr int consoleMenuRow = 7;
} // namespace

void MainWindow::connectRelay()
{
    connect(this, &MainWindow::switchToFskMode, link, &DeviceInterface::switchToFskMode);
    connect(this, &MainWindow::switchToNormalMode, link, &DeviceInterface::switchToNormalMode);
    connect(link, &DeviceInterface::relayRefused, this, &MainWindow::relayRefused);
    // Typed with or without dashes, the remote DevEUI is then shown as every other DevEUI.
    connect(ui->remDevEuiLineEdit, &QLineEdit::editingFinished, this, [this] {
        QLineEdit *edit = ui->remDevEuiLineEdit;
        if (DeviceInterface::isValidDevEui(edit->text()))
            edit->setText(DeviceInterface::shownDevEui(edit->text()));
    });
}

void MainWindow::on_startFskModePushButton_clicked()
{
    const bool leaving = fskMode;
    if (!leaving) {
        const QString devEui = ui->remDevEuiLineEdit->text().remove(QLatin1Char('-'));
        if (devEui.isEmpty()) {
            prompts->inform(UserPrompts::Icon::Warning, tr("Предупреждение"),
                            tr("Необходимо ввести DevEUI удаленного устройства!"));
            return;
        }
        if (!DeviceInterface::isValidDevEui(devEui)) {
            prompts->inform(UserPrompts::Icon::Warning, tr("Предупреждение"),
                            tr("DevEUI удаленного устройства должен состоять из 16 "
                               "шестнадцатеричных цифр, например 70-B3-D5-7E-D0-00-12-34."));
            return;
        }
    }
    ui->startFskModePushButton->setEnabled(false);
    ui->startFskModePushButton->setText(leaving ? tr("Отключение...") : tr("Подключение..."));
    waitEndReadStatus([this, leaving] {
        if (leaving) {
            emit switchToNormalMode();
            return;
        }
        relayFailure.clear();
        emit switchToFskMode(ui->remDevEuiLineEdit->text(),
                             ui->fskSessionTimeLineEdit->text().toInt(),
                             ui->fskAnswerTimeoutLineEdit->text().toInt());
    });
}

void MainWindow::relayRefused(quint16 cmd, uchar statusCode)
{
    relayFailure = QStringLiteral("FSK Status code: 0x%1").arg(statusCode, 2, 16, QLatin1Char('0'));
    if (cmd != Cmd::normalMode)
        return; // state 37 follows and tells why
    // Still relaying: the user may try to leave again.
    ui->startFskModePushButton->setText(tr("Отключить"));
    ui->startFskModePushButton->setEnabled(true);
    prompts->report(UserPrompts::Icon::Critical, tr("Ошибка"),
                    tr("Невозможно отключиться от удаленного устройства") + QLatin1Char('\n') +
                        relayFailure);
}

void MainWindow::on_rsToUsbButton_clicked()
{
    const auto *source = findChild<QComboBox *>(QStringLiteral("rsSourseComboBox"));
    const auto *speed = findChild<QComboBox *>(QStringLiteral("rsToUsbSpeedComboBox"));
    if (!source || !speed)
        return;
    const QString sourceName = source->currentText();
    const auto answer = prompts->ask(
        UserPrompts::Icon::Question, tr("%1 в USB").arg(sourceName),
        tr("После переключения в режим преобразователя интерфейса,\nфункционал конфигуратора "
           "станет недоступным до перезагрузки\nустройства или переподключения USB кабеля.\n"
           "Переключить устройство в режим преобразователя интерфейса %1 в USB?")
            .arg(sourceName),
        UserPrompts::Yes | UserPrompts::Cancel);
    if (answer != UserPrompts::Yes)
        return;
    const QString command = QStringLiteral("RS2USB %1,%2")
                                .arg(speed->currentText().toInt())
                                .arg(source->currentIndex());
    waitEndReadStatus([this, command] {
        // A text command, as the login: the device reads it to its line end.
        if (!link->sendTextCmd(command)) {
            prompts->report(UserPrompts::Icon::Critical, tr("Ошибка"),
                            tr("Команда не отправлена: устройство не готово"));
            return;
        }
        setGlobalState(LinkState::Disconnected);
        ui->terminalMenu->setCurrentRow(consoleMenuRow);
        itemSelected(ui->terminalMenu->model()->index(consoleMenuRow, 0));
    });
}
