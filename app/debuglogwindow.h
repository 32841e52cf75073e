#pragma once

#include "logwindowsink.h"

#include <QColor>
#include <QTextEdit>

// The "-console" window: every debug line of the program in the colour of its marker.
class DebugLogWindow : public QTextEdit, public LogWindowSink
{
    Q_OBJECT
public:
    explicit DebugLogWindow(QWidget *parent = nullptr);
    ~DebugLogWindow() override;

    // Called from any thread by the log handler; the widget is touched in its own thread.
    void setTextColour(unsigned int rgb) override;
    void appendText(const QString &text) override;

private:
    void showMenu(const QPoint &pos);
};
