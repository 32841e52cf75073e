#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTime>

class DB_Worker;
class DebugForm;
class DeviceInterface;
class QAction;
class QCheckBox;
class QComboBox;
class QPoint;
class QPushButton;
class QTextEdit;
class QWidget;
class UserPrompts;

// The console page's behaviour: the command line with its history, the exchange shown line by
// line (time, direction, the frame decoded), the filter that hides the status polling, pause,
// clear and save, the context menu (save the text, record the exchange, clear), and the
// device's debug mode. The main window hands its widgets over.
class ConsolePage : public QObject
{
    Q_OBJECT
public:
    // The view shows at most this many lines (paragraphs); the oldest go first. A device polled
    // for hours or streaming its log would otherwise grow the window's memory without end.
    // The lines kept for the view number as many again of the polling and of the rest, so a
    // hidden flood of polling never pushes the user's own exchange out.
    static constexpr int maxConsoleBlocks = 5000;

    struct Widgets
    {
        QTextEdit *view = nullptr;
        QComboBox *commandLine = nullptr;
        QPushButton *sendButton = nullptr;
        QWidget *dialogParent = nullptr;
        QCheckBox *hidePolling = nullptr;
        QPushButton *pauseButton = nullptr;
        QPushButton *clearButton = nullptr;
        QPushButton *saveButton = nullptr;
    };
    ConsolePage(const Widgets &widgets, UserPrompts *prompts, QObject *parent = nullptr);

    void setLink(DeviceInterface *link);
    void setDatabase(DB_Worker *db) { database = db; }

    void loadHistory();
    bool saveHistory() const;
    QStringList history() const;

    // Sends what the command line holds (nothing when it is empty) and remembers it.
    void sendCurrent();
    // A note of the program's own (red, no direction).
    void print(const QString &text);
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showMenu(const QPoint &pos);
    // Writes what the view shows to a file the user names.
    void saveLog();
    // Forgets every line kept, shown or hidden.
    void clear();
    // Paused, lines are kept but the view stays as it is; resumed, it shows them.
    void setPaused(bool on);
    // Whether the status polling's requests and answers are left out of the view.
    void setPollingHidden(bool on);
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
    enum class Direction : quint8 { Out, In, None };
    struct Line
    {
        QTime time;
        Direction direction;
        bool poll;
        QString text;     // decoded frame or the text as it went
        QByteArray frame; // empty for text
    };
    void frameSent(const QByteArray &frame);
    void frameReceived(const QByteArray &frame);
    void add(Direction direction, const QString &text, const QByteArray &frame = QByteArray(),
             bool poll = false);
    bool shown(const Line &line) const { return !(line.poll && hidePolling); }
    static QString html(const Line &line);
    void render();
    void scrollToEnd();
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
    QList<Line> lines;
    int pollLines = 0;
    bool hidePolling = true;
    bool paused = false;
    // The user's frame is going out: a status code of theirs is no polling, nor its answer.
    bool userSending = false;
    QList<quint16> userAwaited;
};
