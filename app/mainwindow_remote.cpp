// MainWindow: the remote-configuration button. It opens a session through the server, gives up
// an attempt still in progress, or ends the session, whichever applies.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "connectionstates.h"
#include "deviceinterface.h"
#include "remoteconnectform.h"

#include <QDebug>

void MainWindow::startRemoteConfig()
{
    if (link->isRemoteConnecting()) {
        link->cancelRemoteConnect();
        return;
    }
    if (link->isRemoteMode()) {
        waitEndReadStatus([this] { link->disconnectRemote(); });
        return;
    }
    qDebug() << "Start remote configure..."
             << "/C:15";
    auto *form = new RemoteConnectForm(prompts, this);
    connect(form, &RemoteConnectForm::connectToServer, link, &DeviceInterface::connectToServer);
    // The connection is made in the background; the status line says so until a state follows.
    connect(form, &RemoteConnectForm::connectToServer, this, [this](const QString &imei) {
        remoteImei = imei;
        if (link->isRemoteConnecting())
            showStatusLine(ConnectionStates::Yellow,
                           QT_TR_NOOP("Подключение к серверу конфигурирования..."));
    });
    form->open();
}
