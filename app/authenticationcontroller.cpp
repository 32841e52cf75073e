#include "authenticationcontroller.h"

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "authenticationform.h"
#include "deviceinterface.h"
#include "linkstate.h"
#include "userprompts.h"

AuthenticationController::AuthenticationController(MainWindow *window)
    : QObject(window)
    , window(window)
{
    connect(window->link, &DeviceInterface::authenticationFail, this,
            &AuthenticationController::authenticationRequest);
}

void AuthenticationController::authenticationRequest()
{
    DeviceInterface *link = window->link;
    // A password given once this session is not asked again for the same device (after the
    // reboot that ends every write, say); it is kept in memory only.
    const QString serial = window->ui->snLabel->text();
    const auto known = sessionPasswords.constFind(serial);
    if (!authAsked && known != sessionPasswords.constEnd()) {
        authAsked = true;
        link->authenticationDevice(*known);
        return;
    }
    if (authAsked) {
        sessionPasswords.remove(serial);
        window->prompts->report(UserPrompts::Icon::Critical, tr("Ошибка"), tr("Неверный пароль"));
    } else {
        authAsked = true;
    }
    auto *form = new AuthenticationForm(window);
    connect(form, &AuthenticationForm::passUpdated, this,
            [this, serial](const QString &password) { sessionPasswords.insert(serial, password); });
    connect(form, &AuthenticationForm::passUpdated, link, &DeviceInterface::authenticationDevice);
    connect(form, &AuthenticationForm::authenticationCanceled, this,
            &AuthenticationController::badAuthentication);
    form->show();
}

void AuthenticationController::badAuthentication()
{
    emit window->disconnectDevice();
    window->setGlobalState(LinkState::AuthError);
}

void AuthenticationController::applyState(int state)
{
    using namespace LinkState;
    if (state != PasswordChanged && state != PasswordChangeError)
        return;
    window->prompts->report(state == PasswordChanged ? UserPrompts::Icon::Information
                                                     : UserPrompts::Icon::Critical,
                            tr("Смена пароля"),
                            state == PasswordChanged ? tr("Пароль успешно измёнен")
                                                     : tr("Ошибка изменения пароля"));
    window->setGlobalState(Ready);
}
