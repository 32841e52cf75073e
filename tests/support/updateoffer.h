#pragma once

#include "appfixture.h"
#include "mainwindow.h"
#include "net.h"

#include <QToolButton>

// The configurator update the demo server offers, asked for with the window's button once the
// quiet check at start-up is over. The answers are held, for the test to give them one by one;
// the caller returns when this failed (QTest::currentTestFailed()).
inline void askForConfiguratorUpdate(AppFixture &f, MainWindow *window)
{
    auto *checkButton = window->findChild<QToolButton *>("checkUpdatesButton");
    QTRY_VERIFY_WITH_TIMEOUT(checkButton->isEnabled() && !window->updater()->busy(),
                             AppFixture::connectWaitMs);
    f.prompts.asked.clear(); // the quiet check at start-up offered it already
    f.prompts.holdAnswers = true;
    f.prompts.answer = UserPrompts::Yes;
    checkButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(f.prompts.asked.join('|').contains("конфигуратора v1.7.0"),
                             AppFixture::connectWaitMs);
}
