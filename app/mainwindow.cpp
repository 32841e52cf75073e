#include "mainwindow.h"
#include "relaycontroller.h"
#include "ui_mainwindow.h"
#include "updatecontroller.h"
#include "windowdragcontroller.h"

#include "aboutform.h"
#include "appinfo.h"
#include "apppaths.h"
#include "appsettings.h"
#include "clockcontroller.h"
#include "commandhistory.h"
#include "configcontroller.h"
#include "configeditor.h"
#include "connectionstates.h"
#include "consolepage.h"
#include "db_worker.h"
#include "deviceinterface.h"
#include "devicesession.h"
#include "guiprompts.h"
#include "guiresources.h"
#include "hotplugmonitor.h"
#include "interfacespage.h"
#include "iopage.h"
#include "lorapage.h"
#include "settingsform.h"
#include "statuspanel.h"
#include "statuscontroller.h"
#include "statuspoller.h"
#include "systempage.h"
#include "vexa701page.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCompleter>
#include <QDebug>
#include <QDialog>
#include <QFile>
#include <QLocale>
#include <QPainter>
#include <QShortcut>
#include <QTimer>

namespace {
constexpr int consoleRow = 7;
// The top strip of the frameless window by which it is dragged.
constexpr int dragStripHeightPx = 64;
// Between the console's text box and its command line.
constexpr int consoleInputGapPx = 8;
// The public time server (a deployment value).
const char *const ntpServerHost = "pool.ntp.org";
} // namespace

MainWindow::MainWindow(UserPrompts *userPrompts, PortEnumerator *enumerator, QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , prompts(userPrompts)
{
    initGuiResources();
    if (!prompts) {
        ownPrompts = std::make_unique<GuiPrompts>(this);
        prompts = ownPrompts.get();
    }

    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    new WindowDragController(this, dragStripHeightPx);
    // The model pages and the status panel are forms of their own. Made children of the window
    // before its widget tree, their buttons take part in the automatic slot connections.
    const ConfigEditor::Pages pages{new LoraPage(this), new IoPage(this), new InterfacesPage(this),
                                    new Vexa701Page(this), new SystemPage(this)};
    statusPanel = new StatusPanel(this);
    ui->setupUi(this);
    installPages({{ui->loraPage, pages.lora},
                  {ui->ioPage, pages.io},
                  {ui->interfacesPage, pages.interfaces},
                  {ui->vexa701Page, pages.vexa701},
                  {ui->systemPage, pages.system}});
    setFixedSize(960, 600);
    {
        QFile qss(QStringLiteral(":/style/mainwindow.qss"));
        if (qss.open(QIODevice::ReadOnly))
            setStyleSheet(QString::fromUtf8(qss.readAll()));
    }

    qDebug() << "\n-----------------Configurator started-----------------\n";
    qDebug().noquote() << "Version: " << AppInfo::version() << " revision: " << AppInfo::revision()
                       << " build date: " << AppInfo::buildDate();

    // The application clock runs on the PC's time until a public time server answers.
    clock = new ClockController(QLatin1String(ntpServerHost), this);
    connect(clock, &ClockController::serverTimeReceived, statusPanel,
            &StatusPanel::showGlobalClock);

    // The language choice is stored only once the database check has passed, so a refused
    // start leaves nothing behind.
    const QVariant storedLang =
        AppSettings::read(QStringLiteral("Language"), QStringLiteral("lang"));
    const bool langStored = storedLang.isValid() && !storedLang.toString().isEmpty();
    langCode =
        langStored ? storedLang.toString() : AppSettings::defaultLanguage(QLocale::system().name());
    applyLanguage(langCode);

    dbWorker = new DB_Worker(this);
    if (!dbWorker->checkDb()) {
        startFailed = true;
        prompts->inform(
            UserPrompts::Icon::Critical, tr("Ошибка"),
            tr("Невозможно запустить конфигуратор, нарушена целосность файлов программы. "
               "Выполните переустановку конфигуратора."));
        return;
    }
    if (!langStored)
        AppSettings::write(QStringLiteral("Language"), QStringLiteral("lang"), langCode);

    editor = new ConfigEditor(pages, dbWorker, this, this);

    console =
        new ConsolePage({ui->terminalEdit, ui->cmdLine, ui->sendCommand, this}, prompts, this);
    console->setDatabase(dbWorker);
    console->loadHistory();
    connect(ui->sendCommand, &QPushButton::clicked, console, &ConsolePage::sendCurrent);
    connect(ui->terminalEdit, &QWidget::customContextMenuRequested, console,
            &ConsolePage::showMenu);
    settingsForm = new SettingsForm(this);
    if (settingsForm->continuousStatus())
        statusPanel->setManualStatusShown(false);

    // Widgets that the identified model shows when it has them.
    editor->hideUnusedWidgets();
    setInputValidations();

    ui->globalStatusText->setMinimumWidth(300);
    showStatusLine(ConnectionStates::Gray, QT_TR_NOOP("Ожидание подключения модуля"));

    createDeviceLink(enumerator);
    connect(editor, &ConfigEditor::elementChanged, config, &ConfigController::replaceElement);
    connect(editor, &ConfigEditor::changeRecorded, config, [this] {
        ui->saveFileButton->setEnabled(true);
        config->refreshPendingMarks();
    });
    connect(settingsForm, &SettingsForm::refreshStatusChanged, poller, &StatusPoller::setEnabled);
    enumerationTimer = new QTimer(this);
    enumerationTimer->setObjectName(QStringLiteral("enumerationTimer"));
    enumerationTimer->setSingleShot(true);
    connect(enumerationTimer, &QTimer::timeout, session, &DeviceSession::search);
    // Plug and unplug notices start a search once they have stopped.
    hotplug = new HotplugMonitor({}, this);
    connect(hotplug, &HotplugMonitor::nodesChanged, this, &MainWindow::deviceNodesChanged);

    createToolButtons();
    updates = new UpdateController(this);
    connect(ui->terminalMenu, &QListWidget::activated, this, &MainWindow::itemSelected);
    connect(ui->terminalMenu, &QListWidget::pressed, this, &MainWindow::itemSelected);
    auto *consoleShortcut = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+C")), this);
    connect(consoleShortcut, &QShortcut::activated, this, &MainWindow::showConsolePage);

    // No device: only the first page, no status.
    clearLabels();
    ui->terminalMenu->setCurrentRow(0);
    ui->stackedWidget->setCurrentIndex(0);

    // The first port search waits for the event loop.
    enumerationTimer->start(firstEnumerationDelayMs);
    updates->startUpdater();
}

MainWindow::~MainWindow()
{
    if (!startFailed) {
        if (!console->saveHistory())
            qWarning() << "Cannot write" << CommandHistory::filePath();
    }
    // Dialogs still open report their end to this window: they go while its members live.
    const QList<QDialog *> dialogs = findChildren<QDialog *>(QString(), Qt::FindDirectChildrenOnly);
    for (QDialog *d : dialogs) {
        if (d != settingsForm)
            delete d;
    }
    delete session;
    session = nullptr;
    link = nullptr;
    delete settingsForm;
    settingsForm = nullptr;
    delete dbWorker;
    dbWorker = nullptr;
    if (!startFailed)
        qDebug() << "\n-----------------Configurator closed.-----------------\n";
    emit deleteDebugLog();
    delete ui;
}

void MainWindow::applyLanguage(const QString &code)
{
    const QString path =
        AppPaths::filePath(QStringLiteral("translations/") + code + QStringLiteral(".qm"));
    if (translator.load(path))
        qApp->installTranslator(&translator);
    else
        qApp->removeTranslator(&translator); // Russian texts are built in
    ui->retranslateUi(this);
    if (console)
        console->retranslate();
    if (statusSource)
        displayDeviceStatus(statusPict, tr(statusSource));
    // The form's own texts are back: the device and the pending changes are shown again.
    if (editor) {
        if (identified && currentState != LinkState::Disconnected) {
            editor->retranslate(config->fullConfiguration().documentElement());
            fillCodeTables();
        }
        showDeviceTitle();
        config->refreshPendingMarks();
    }
}

void MainWindow::changeLanguage(QString code)
{
    if (code != langCode) {
        AppSettings::write(QStringLiteral("Language"), QStringLiteral("lang"), code);
        langCode = code;
    }
    applyLanguage(langCode);
}

// The title-bar icons are white line art; the style's own disabled look hardly differs from
// it, so unavailable buttons get a faded copy of their icon.
static void fadeDisabledIcons(QWidget *titleBar)
{
    for (QToolButton *button : titleBar->findChildren<QToolButton *>()) {
        const QIcon normal = button->icon();
        const QSize size = button->iconSize();
        QPixmap faded(normal.pixmap(size).size());
        faded.fill(Qt::transparent);
        QPainter painter(&faded);
        painter.setOpacity(0.3);
        painter.drawPixmap(0, 0, normal.pixmap(size));
        painter.end();
        QIcon icon = normal;
        icon.addPixmap(faded, QIcon::Disabled);
        button->setIcon(icon);
    }
}

void MainWindow::createToolButtons()
{
    fadeDisabledIcons(ui->titleBar);
    // Tool buttons act on press, not on release.
    connect(ui->openFileButton, &QToolButton::pressed, config, &ConfigController::openFile);
    connect(ui->saveFileButton, &QToolButton::pressed, config, &ConfigController::saveFile);
    connect(ui->readConfigButton, &QToolButton::pressed, this, &MainWindow::readConfig);
    connect(ui->writeConfigButton, &QToolButton::pressed, config, &ConfigController::write);
    connect(ui->refreshButton, &QToolButton::pressed, this, &MainWindow::refreshDeviceList);
    connect(ui->restartButton, &QToolButton::pressed, this, &MainWindow::reloadDevice);
    connect(ui->eraseMemButton, &QToolButton::pressed, this, &MainWindow::eraseMemory);
    connect(ui->aboutButton, &QToolButton::pressed, this, &MainWindow::aboutShow);
    connect(ui->helpButton, &QToolButton::pressed, this, &MainWindow::helpShow);
    connect(ui->settingsButton, &QToolButton::pressed, this, &MainWindow::settingShow);
    connect(ui->remCfgButton, &QToolButton::pressed, relay, &RelayController::startRemoteConfig);
}

void MainWindow::aboutShow()
{
    auto *about = new AboutForm(AppInfo::version() + QStringLiteral(" (") + AppInfo::buildDate() +
                                    QStringLiteral(")"),
                                langCode, this);
    connect(about, &AboutForm::changeLanguage, this, &MainWindow::changeLanguage);
    about->show();
}

void MainWindow::settingShow()
{
    settingsForm->show();
}

void MainWindow::itemSelected(QModelIndex index)
{
    if (!index.isValid())
        return;
    // Staying on the console needs no question; leaving it in debug mode does.
    if (index.row() != consoleRow && !console->mayLeave()) {
        ui->terminalMenu->setCurrentRow(consoleRow);
        return;
    }

    const int row = index.row();
    QWidget *page = ui->stackedWidget->widget(row);
    if (!page)
        return;
    const QString pageName = page->objectName();

    // The console and the file pages use the room of the status panel.
    const bool fullHeight =
        pageName == QLatin1String("terminalPage") || pageName == QLatin1String("fsPage");
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

    ui->stackedWidget->setCurrentIndex(row);
    qDebug().noquote() << "Selected" << pageName << "Index: " << row;

    if (pageName == QLatin1String("terminalPage")) {
        poller->stopTimer();
        poller->requestStop();
        ui->terminalEdit->moveCursor(QTextCursor::End);
    } else if (pageName != QLatin1String("fskPage") && settingsForm->continuousStatus()) {
        poller->startTimer();
    }
}

void MainWindow::showConsolePage()
{
    ui->terminalMenu->setRowHidden(consoleRow, !ui->terminalMenu->isRowHidden(consoleRow));
}

void MainWindow::on_debugModeButton_clicked()
{
    console->openDebugForm();
}

void MainWindow::on_minimizeButton_clicked()
{
    showMinimized();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    emit closeDebugLog();
    QMainWindow::closeEvent(event);
}

Net *MainWindow::updater() const
{
    return updates->updater();
}

