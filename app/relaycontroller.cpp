#include "relaycontroller.h"

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "appsettings.h"
#include "commands.h"
#include "connectionstates.h"
#include "deviceidentity.h"
#include "deviceinterface.h"
#include "devicesession.h"
#include "remoteconnectform.h"
#include "statuspanel.h"
#include "userprompts.h"

#include <QComboBox>
#include <QDebug>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace {
// The console's row of the page list, where the converter mode leaves the user.
constexpr int consoleMenuRow = 7;
} // namespace

RelayController::RelayController(MainWindow *window)
    : QObject(window)
    , window(window)
{
    Ui::MainWindow *ui = window->ui;
    DeviceInterface *link = window->link;
    connect(this, &RelayController::switchToFskMode, link, &DeviceInterface::switchToFskMode);
    connect(this, &RelayController::switchToNormalMode, link, &DeviceInterface::switchToNormalMode);
    connect(link, &DeviceInterface::relayRefused, this, &RelayController::relayRefused);
    connect(ui->startFskModePushButton, &QPushButton::clicked, this,
            &RelayController::startFskModeClicked);
    if (auto *rsToUsb = window->findChild<QPushButton *>(QStringLiteral("rsToUsbButton")))
        connect(rsToUsb, &QPushButton::clicked, this, &RelayController::rsToUsbClicked);
    // Typed with or without dashes, the remote DevEUI is then shown as every other DevEUI.
    connect(ui->remDevEuiLineEdit, &QLineEdit::editingFinished, this, [ui] {
        QLineEdit *edit = ui->remDevEuiLineEdit;
        if (DeviceInterface::isValidDevEui(edit->text()))
            edit->setText(DeviceInterface::shownDevEui(edit->text()));
    });
}

void RelayController::setPath(DeviceIdentity &identity)
{
    if (fskMode) {
        identity.path = DeviceIdentity::Path::Relay;
        identity.via = relayVia;
    } else if (window->link->isRemoteMode()) {
        identity.path = DeviceIdentity::Path::Remote;
        identity.via = remoteImei;
    } else {
        relayVia = identity.serialNumber; // the device a relay would go through
    }
}

void RelayController::startFskModeClicked()
{
    Ui::MainWindow *ui = window->ui;
    const bool leaving = fskMode;
    if (!leaving) {
        const QString devEui = ui->remDevEuiLineEdit->text().remove(QLatin1Char('-'));
        if (devEui.isEmpty()) {
            window->prompts->inform(UserPrompts::Icon::Warning, tr("Предупреждение"),
                                    tr("Необходимо ввести DevEUI удаленного устройства!"));
            return;
        }
        if (!DeviceInterface::isValidDevEui(devEui)) {
            window->prompts->inform(
                UserPrompts::Icon::Warning, tr("Предупреждение"),
                tr("DevEUI удаленного устройства должен состоять из 16 "
                   "шестнадцатеричных цифр, например 70-B3-D5-7E-D0-00-12-34."));
            return;
        }
    }
    ui->startFskModePushButton->setEnabled(false);
    ui->startFskModePushButton->setText(leaving ? tr("Отключение...") : tr("Подключение..."));
    window->waitEndReadStatus([this, ui, leaving] {
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

void RelayController::relayRefused(quint16 cmd, uchar statusCode)
{
    relayFailure = QStringLiteral("FSK Status code: 0x%1").arg(statusCode, 2, 16, QLatin1Char('0'));
    if (cmd != Cmd::normalMode)
        return; // state 37 follows and tells why
    // Still relaying: the user may try to leave again.
    window->ui->startFskModePushButton->setText(tr("Отключить"));
    window->ui->startFskModePushButton->setEnabled(true);
    window->prompts->report(UserPrompts::Icon::Critical, tr("Ошибка"),
                            tr("Невозможно отключиться от удаленного устройства") +
                                QLatin1Char('\n') + relayFailure);
}

void RelayController::rsToUsbClicked()
{
    const auto *source = window->findChild<QComboBox *>(QStringLiteral("rsSourseComboBox"));
    const auto *speed = window->findChild<QComboBox *>(QStringLiteral("rsToUsbSpeedComboBox"));
    if (!source || !speed)
        return;
    const QString sourceName = source->currentText();
    const auto answer = window->prompts->ask(
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
    window->waitEndReadStatus([this, command] {
        // A text command, as the login: the device reads it to its line end.
        if (!window->link->sendTextCmd(command)) {
            window->prompts->report(UserPrompts::Icon::Critical, tr("Ошибка"),
                                    tr("Команда не отправлена: устройство не готово"));
            return;
        }
        window->setGlobalState(LinkState::Disconnected);
        QListWidget *menu = window->ui->terminalMenu;
        menu->setCurrentRow(consoleMenuRow);
        window->itemSelected(menu->model()->index(consoleMenuRow, 0));
    });
}

void RelayController::startRemoteConfig()
{
    DeviceInterface *link = window->link;
    if (link->isRemoteConnecting()) {
        link->cancelRemoteConnect();
        return;
    }
    if (link->isRemoteMode()) {
        window->waitEndReadStatus([link] { link->disconnectRemote(); });
        return;
    }
    qDebug() << "Start remote configure..."
             << "/C:15";
    auto *form = new RemoteConnectForm(window->prompts, window);
    connect(form, &RemoteConnectForm::connectToServer, link, &DeviceInterface::connectToServer);
    // The connection is made in the background; the status line says so until a state follows.
    connect(form, &RemoteConnectForm::connectToServer, this, [this, link](const QString &imei) {
        remoteImei = imei;
        if (link->isRemoteConnecting())
            window->showStatusLine(
                ConnectionStates::Yellow,
                QT_TRANSLATE_NOOP("MainWindow", "Подключение к серверу конфигурирования..."));
    });
    form->open();
}

QString RelayController::serverHint() const
{
    const AppSettings::ServerAddress server = AppSettings::remoteServer();
    return QStringLiteral("\n") + tr("Сервер: %1:%2. Проверьте адрес и порт сервера в "
                                       "настройках и подключение устройства к серверу.")
                                        .arg(server.host)
                                        .arg(server.port);
}

void RelayController::remoteOver()
{
    // The cable device is found again at once, not at the next plug notice.
    remoteImei.clear();
    QTimer::singleShot(0, window->deviceSession(), &DeviceSession::search);
}

void RelayController::leaveFskMode()
{
    fskMode = false;
    window->ui->startFskModePushButton->setEnabled(true);
    window->ui->startFskModePushButton->setText(tr("Подключить"));
    window->statusPanel->setReRegisterEnabled(true);
}

void RelayController::applyState(int state)
{
    using namespace LinkState;
    QPushButton *button = window->ui->startFskModePushButton;
    switch (state) {
    case RemoteNotOnServer:
        window->prompts->report(UserPrompts::Icon::Warning, tr("Удаленное конфигурирование"),
                                tr("Устройство не подключено к серверу!"));
        break;
    case RemoteBusy:
        window->prompts->report(UserPrompts::Icon::Warning, tr("Удаленное конфигурирование"),
                                tr("Устройство уже конфигурируется!"));
        break;
    case RemoteServerUnavailable:
        window->prompts->report(UserPrompts::Icon::Warning, tr("Удаленное конфигурирование"),
                                tr("Сервер конфигурирования недоступен!") + serverHint());
        remoteOver();
        break;
    case RemoteExchangeError:
        window->prompts->report(UserPrompts::Icon::Critical, tr("Удаленное конфигурирование"),
                                tr("Ошибка обмена данными с сервером конфигурирования!") +
                                    serverHint());
        remoteOver();
        break;
    case Disconnected:
        if (!remoteImei.isEmpty() && !window->link->isRemoteMode() &&
            !window->link->isRemoteConnecting()) {
            if (window->link->remoteEndedByServer())
                window->prompts->report(UserPrompts::Icon::Warning,
                                        tr("Удаленное конфигурирование"),
                                        tr("Сервер конфигурирования закрыл соединение.") +
                                            serverHint());
            remoteOver();
        }
        break;
    case Ready:
        if (fskMode)
            window->statusPanel->showFsk();
        else
            window->statusPanel->setReRegisterEnabled(true);
        break;
    case NotRespond:
        if (fskMode)
            leaveFskMode();
        break;
    case FskConnected:
        fskMode = true;
        button->setText(tr("Отключить"));
        button->setEnabled(true);
        window->statusPanel->setReRegisterEnabled(false);
        break;
    case FskDisconnected:
        fskMode = false;
        button->setText(tr("Подключить"));
        window->setGlobalState(Ready);
        button->setEnabled(true);
        break;
    case FskConnectFailed:
        window->prompts->report(
            UserPrompts::Icon::Critical, tr("Ошибка"),
            tr("Невозможно подключиться к удаленному устройству") +
                (relayFailure.isEmpty() ? QString() : QLatin1Char('\n') + relayFailure));
        relayFailure.clear();
        leaveFskMode();
        break;
    default:
        break;
    }
}
