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
#include "hotplugcontroller.h"
#include "interfacespage.h"
#include "iopage.h"
#include "lorapage.h"
#include "pagecontroller.h"
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
// The top strip of the frameless window by which it is dragged.
constexpr int dragStripHeightPx = 64;
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
    const ConfigEditor::Pages modelPages{new LoraPage(this), new IoPage(this), new InterfacesPage(this),
                                    new Vexa701Page(this), new SystemPage(this)};
    statusPanel = new StatusPanel(this);
    ui->setupUi(this);
    // Keys of the main actions; their tooltips name them.
    ui->openFileButton->setShortcut(QKeySequence::Open);
    ui->saveFileButton->setShortcut(QKeySequence::Save);
    ui->readConfigButton->setShortcut(Qt::Key_F5);
    installPages({{ui->loraPage, modelPages.lora},
                  {ui->ioPage, modelPages.io},
                  {ui->interfacesPage, modelPages.interfaces},
                  {ui->vexa701Page, modelPages.vexa701},
                  {ui->systemPage, modelPages.system}});
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

    editor = new ConfigEditor(modelPages, dbWorker, this, this);

    console = new ConsolePage({ui->terminalEdit, ui->cmdLine, ui->sendCommand, this,
                               ui->hidePollingCheckBox, ui->pauseConsoleButton,
                               ui->clearConsoleButton, ui->saveConsoleButton},
                              prompts, this);
    console->setDatabase(dbWorker);
    console->loadHistory();
    settingsForm = new SettingsForm(this);
    if (settingsForm->continuousStatus())
        statusPanel->setManualStatusShown(false);

    // Widgets that the identified model shows when it has them.
    editor->hideUnusedWidgets();
    setInputValidations();

    ui->globalStatusText->setMinimumWidth(300);
    showStatusLine(ConnectionStates::Gray, QT_TR_NOOP("Ожидание подключения модуля"));

    pages = new PageController(this);
    createDeviceLink(enumerator);
    connect(editor, &ConfigEditor::elementChanged, config, &ConfigController::replaceElement);
    connect(editor, &ConfigEditor::changeRecorded, config, [this] {
        ui->saveFileButton->setEnabled(true);
        config->refreshPendingMarks();
    });
    connect(settingsForm, &SettingsForm::refreshStatusChanged, poller, &StatusPoller::setEnabled);
    connect(settingsForm, &SettingsForm::languageChosen, this, &MainWindow::changeLanguage);
    createToolButtons();
    updates = new UpdateController(this);
    connect(ui->terminalMenu, &QListWidget::activated, this, &MainWindow::itemSelected);
    connect(ui->terminalMenu, &QListWidget::pressed, this, &MainWindow::itemSelected);
    auto *consoleShortcut = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+C")), this);
    connect(consoleShortcut, &QShortcut::activated, pages, &PageController::toggleConsoleRow);

    // No device: only the first page, no status.
    clearLabels();
    ui->terminalMenu->setCurrentRow(0);
    ui->stackedWidget->setCurrentIndex(0);

    // Plug and unplug notices start a search once they have stopped; the first search waits
    // for the event loop.
    hotplug = new HotplugController(this);
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
    translators.load(code);
    ui->retranslateUi(this);
    for (QToolButton *b : {ui->openFileButton, ui->saveFileButton, ui->readConfigButton})
        b->setToolTip(b->toolTip() + QStringLiteral(" (") +
                      b->shortcut().toString(QKeySequence::NativeText) + QLatin1Char(')'));
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
    connect(ui->readConfigButton, &QToolButton::pressed, this, [this] {
        if (config->mayReadAgain())
            readConfig();
    });
    connect(ui->writeConfigButton, &QToolButton::pressed, config, &ConfigController::write);
    connect(ui->refreshButton, &QToolButton::pressed, this, &MainWindow::refreshDeviceList);
    connect(ui->restartButton, &QToolButton::pressed, this, &MainWindow::reloadDevice);
    connect(ui->eraseMemButton, &QToolButton::pressed, this, &MainWindow::eraseMemory);
    connect(ui->aboutButton, &QToolButton::pressed, this, &MainWindow::aboutShow);
    connect(ui->helpButton, &QToolButton::pressed, this, &MainWindow::helpShow);
    connect(ui->settingsButton, &QToolButton::pressed, settingsForm, &QWidget::show);
    connect(ui->remCfgButton, &QToolButton::pressed, relay, &RelayController::startRemoteConfig);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            &MainWindow::showGuide);
}

void MainWindow::aboutShow()
{
    auto *about = new AboutForm(AppInfo::version() + QStringLiteral(" (") + AppInfo::buildDate() +
                                    QStringLiteral(")"),
                                langCode, this);
    connect(about, &AboutForm::changeLanguage, this, &MainWindow::changeLanguage);
    about->show();
}

void MainWindow::itemSelected(QModelIndex index)
{
    pages->select(index);
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

