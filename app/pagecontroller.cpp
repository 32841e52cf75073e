#include "pagecontroller.h"
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "consolepage.h"
#include "db_worker.h"
#include "relaycontroller.h"
#include "settingsform.h"

#include <QDebug>

namespace {
// Between the console's text box and its command line.
constexpr int consoleInputGapPx = 8;
} // namespace

PageController::PageController(MainWindow *mainWindow)
    : QObject(mainWindow)
    , window(mainWindow)
{}

bool PageController::hidesStatusPanel(const QString &pageName)
{
    return pageName == QLatin1String("terminalPage") || pageName == QLatin1String("fsPage");
}

void PageController::select(const QModelIndex &index)
{
    Ui::MainWindow *ui = window->ui;
    if (!index.isValid())
        return;
    // Staying on the console needs no question; leaving it in debug mode does.
    if (index.row() != consoleRow && !window->console->mayLeave()) {
        ui->terminalMenu->setCurrentRow(consoleRow);
        return;
    }
    const int row = index.row();
    QWidget *page = ui->stackedWidget->widget(row);
    if (!page)
        return;
    const QString pageName = page->objectName();
    fitPageHeight(hidesStatusPanel(pageName));
    ui->stackedWidget->setCurrentIndex(row);
    qDebug().noquote() << "Selected" << pageName << "Index: " << row;

    if (pageName == QLatin1String("terminalPage")) {
        window->poller->stopTimer();
        window->poller->requestStop();
        ui->terminalEdit->moveCursor(QTextCursor::End);
    } else if (pageName != QLatin1String("fskPage") && window->settingsForm->continuousStatus()) {
        window->poller->startTimer();
    }
}

void PageController::fitPageHeight(bool fullHeight)
{
    Ui::MainWindow *ui = window->ui;
    const int panelHeight = ui->stackedWidget->geometry().top() > ui->deviceStatus->geometry().top()
                                ? ui->deviceStatus->height() + ui->line->height()
                                : 0;
    const bool panelShown = !ui->deviceStatus->isHidden();
    if (fullHeight && panelShown) {
        ui->deviceStatus->hide();
        ui->line->hide();
        const int grow = panelHeight;
        ui->stackedWidget->setGeometry(ui->stackedWidget->geometry().adjusted(0, -grow, 0, 0));
        ui->consoleGroupBox->resize(ui->consoleGroupBox->width(),
                                    ui->consoleGroupBox->height() + grow);
        ui->terminalEdit->resize(ui->terminalEdit->width(), ui->terminalEdit->height() + grow);
    } else if (!fullHeight && !panelShown) {
        const int shrink = ui->deviceStatus->height() + ui->line->height();
        ui->deviceStatus->show();
        ui->line->show();
        ui->stackedWidget->setGeometry(ui->stackedWidget->geometry().adjusted(0, shrink, 0, 0));
        ui->consoleGroupBox->resize(ui->consoleGroupBox->width(),
                                    ui->consoleGroupBox->height() - shrink);
        ui->terminalEdit->resize(ui->terminalEdit->width(), ui->terminalEdit->height() - shrink);
    }
    // The command line and its buttons stay just below the text box.
    const int inputY = ui->terminalEdit->y() + ui->terminalEdit->height() + consoleInputGapPx;
    for (QWidget *w : {static_cast<QWidget *>(ui->cmdLine), static_cast<QWidget *>(ui->sendCommand),
                       static_cast<QWidget *>(ui->debugModeButton)})
        w->move(w->x(), inputY);
}

void PageController::showFirstPage()
{
    // The link's states call this: the console in debug mode is left by the user's own click,
    // where the question to end debug mode may wait for its answer.
    if (window->console->isDebugMode())
        return;
    window->ui->terminalMenu->setCurrentRow(0);
    select(window->ui->terminalMenu->model()->index(0, 0));
}

void PageController::toggleConsoleRow()
{
    QListWidget *menu = window->ui->terminalMenu;
    consoleHidden = !menu->isRowHidden(consoleRow);
    menu->setRowHidden(consoleRow, consoleHidden);
}

void PageController::showModelPages(DB_Worker *db)
{
    QListWidget *menu = window->ui->terminalMenu;
    menu->setRowHidden(1, false);
    menu->setRowHidden(6, false);
    menu->setRowHidden(consoleRow, consoleHidden);
    menu->setRowHidden(2, !db->checkSupportPage(QStringLiteral("ioPage")));
    menu->setRowHidden(3, !db->checkSupportPage(QStringLiteral("interfacesPage")));
    menu->setRowHidden(4, !db->checkSupportPage(QStringLiteral("vexa701Page")));
    menu->setRowHidden(5, !db->checkSupportPage(QStringLiteral("systemPage")));
}

void PageController::hideModelPages()
{
    QListWidget *menu = window->ui->terminalMenu;
    for (int row = 1; row < menu->count(); ++row)
        menu->setRowHidden(row, true);
}

void PageController::rememberPage()
{
    rowBeforeReboot = window->ui->terminalMenu->currentRow();
}

void PageController::returnToPage()
{
    QListWidget *menu = window->ui->terminalMenu;
    if (window->relay->isFskMode())
        showFirstPage(); // the relayed device's pages are the local one's
    else if (rowBeforeReboot > 0 && !menu->isRowHidden(rowBeforeReboot)) {
        // Back from a reboot (after a write, say) on the page the user was working on.
        menu->setCurrentRow(rowBeforeReboot);
        select(menu->model()->index(rowBeforeReboot, 0));
    }
    rowBeforeReboot = -1;
}
