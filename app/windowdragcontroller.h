#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

// Lets a frameless window be moved by dragging its top strip: it watches the mouse events that
// reach the window and moves it, leaving the events to the window as they were.
class WindowDragController : public QObject
{
    Q_OBJECT
public:
    WindowDragController(QWidget *window, int stripHeightPx);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *window;
    int stripHeightPx;
    // A press outside the strip holds the window still until the button is released.
    bool dragEnabled = true;
    QPoint dragPressPos;
};
