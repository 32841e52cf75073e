#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

class DB_Worker;
class DebugForm;
class DeviceInterface;
class QAction;
class QComboBox;
class QPoint;
class QPushButton;
class QTextEdit;
class QWidget;
class UserPrompts;

// The console page's behaviour: the command line with its history, the bounded text view,
// its context menu (save the text, record the exchange, clear), and the device's debug mode.
// The main window keeps the slots named after its widgets and hands the work over.
class ConsolePage : public QObject
{
    Q_OBJECT
public:
    // The view keeps this many lines (paragraphs); the oldest go first. A device polled for
    // hours or streaming its log would otherwise grow the window's memory without end.
    static constexpr int maxConsoleBlocks = 5000;

    struct Widgets
    {
        QTextEdit *view = nullptr;
        QComboBox *commandLine = nullptr;
        QPushButton *sendButton = nullptr;
        QWidget *dialogParent = nullptr;
    };
    ConsolePage(const Widgets &widgets, UserPrompts *prompts, QObject *parent = nullptr);

    void setLink(DeviceInterface *link);
    void setDatabase(DB_Worker *db) { database = db; }

    void loadHistory();
    bool saveHistory() const;
    QStringList history() const;

    // Sends what the command line holds (nothing when it is empty) and remembers it.
    void sendCurrent();
    void print(const QString &html);
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showMenu(const QPoint &pos);
    void saveLog();
    void saveBinLog(bool checked);
    QAction *binLogAction() const { return binLogAct; }

    // Debug mode: the dialog that starts it, the flag, and leaving it.
    void openDebugForm();
    void setDebugMode(bool on) { debugMode = on; }
    bool isDebugMode() const { return debugMode; }
    // Asked when the user leaves the console: true when the page may change (debug mode was
    // off, or the user agreed and the device was told to stop), false to stay.
    bool mayLeave();

    // The menu's texts in the current language.
    void retranslate();

signals:
    void sendTerminalCommand(QString cmd);

public slots:
    // The debug dialog's command: false (and a line in the console) when it did not go out.
    bool sendDebugCommand(QString cmd);

private:
    void binLogStopped(const QString &path);
    void setBinLogChecked(bool on);

    Widgets ui;
    UserPrompts *prompts;
    DeviceInterface *link = nullptr;
    DB_Worker *database = nullptr;
    QAction *saveAct = nullptr;
    QAction *binLogAct = nullptr;
    QAction *clearAct = nullptr;
    bool debugMode = false;
};
