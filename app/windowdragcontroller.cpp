#include "windowdragcontroller.h"

#include "qtcompat.h"

#include <QMouseEvent>
#include <QWidget>

WindowDragController::WindowDragController(QWidget *window, int stripHeightPx)
    : QObject(window)
    , window(window)
    , stripHeightPx(stripHeightPx)
{
    window->installEventFilter(this);
}

bool WindowDragController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != window)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && mouse->pos().y() < stripHeightPx)
            dragPressPos = mouse->pos();
        else
            dragEnabled = false;
        break;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            dragEnabled = true;
        break;
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (dragEnabled && mouse->pos().y() < stripHeightPx)
            window->move(QtCompat::globalPosOf(mouse) - dragPressPos);
        break;
    }
    default:
        break;
    }
    return false; // the window still gets every event
}
