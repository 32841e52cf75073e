#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QModelIndex>
#include <QPoint>
#include <QTranslator>
#include <memory>

class DB_Worker;
class SettingsForm;
class QTimer;
class UserPrompts;

namespace Ui {
class MainWindow;
}

// The configurator's one window and the hub of the program: it owns the connection state, the
// device database accessor, the dialogs and timers, and routes work to the device link.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // prompts: where questions and error boxes go (the message boxes when null).
    explicit MainWindow(UserPrompts *prompts = nullptr, QWidget *parent = nullptr);
    ~MainWindow() override;

    // True when the program must not start (the device database is missing or damaged); the
    // user has been told and the caller ends the process with exit code 0.
    bool startupFailed() const { return startFailed; }

    QString currentLanguage() const { return langCode; }
    int globalState() const { return currentState; }

signals:
    void closeDebugLog();
    void deleteDebugLog();
    void readyStatus();
    void enumerateDevices();
    void sendTerminalCommand(QString);

public slots:
    void changeLanguage(QString langCode);
    void displayDeviceStatus(uchar stat, QString statStr);
    void aboutShow();
    void settingShow();
    void changeStatusTimerState(bool state);
    void statusTimerTimeout();
    void rebootComplite();
    void itemSelected(QModelIndex index);
    void showConsolePage();
    void clearLabels();

private slots:
    void on_closeMainWindow_clicked();
    void on_minimizeButton_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void applyLanguage(const QString &code);
    void fillTimeZones();
    void loadCommandHistory();
    void createToolButtons();
    void hideUnusedWidgets();
    void disableDeviceButtons();
    // Status line from an untranslated source text, so a language change can redo it.
    void showStatusLine(uchar stat, const char *sourceText);

    Ui::MainWindow *ui;
    std::unique_ptr<UserPrompts> ownPrompts;
    UserPrompts *prompts = nullptr;
    QTranslator translator;
    QString langCode;
    bool startFailed = false;

    DB_Worker *dbWorker = nullptr;
    SettingsForm *settingsForm = nullptr;

    QTimer *statusTimer = nullptr;
    QTimer *enumerationTimer = nullptr;
    QTimer *rebootTimer = nullptr;

    // Application clock: base in UTC plus the monotonic time elapsed since it was set.
    QDateTime appClockBase;
    QElapsedTimer appClockTimer;

    // Connection flags and device identity, idle until a device is identified.
    int currentState = 0;
    bool readyFlag = false;
    bool busyFlag = false;
    bool authAsked = false;
    bool fskMode = false;
    bool terminalDebug = false;
    bool configChanged = false;
    bool identified = false;
    bool statusReading = false;
    bool stopReadStatus = false;
    int netStateMemory = 0;
    QString currentFwVer = QStringLiteral("255.255.255");
    bool sendExtraordinaryPackOnStart = false;
    bool continuousStatus = true;

    uchar statusPict = 0;
    const char *statusSource = nullptr;

    // Dragging of the frameless window by its top strip.
    static constexpr int dragStripHeightPx = 64;
    bool dragEnabled = true;
    QPoint dragPressPos;
};
