#include "debuglogwindow.h"

#include "loghandler.h"

#include <QCursor>
#include <QMenu>
#include <QScrollBar>

DebugLogWindow::DebugLogWindow(QWidget *parent)
    : QTextEdit(parent)
{
    setWindowTitle(QStringLiteral("Vexa Configurator Debug Log"));
    setGeometry(50, 50, 680, 340);
    setReadOnly(true);
    setFont(QFont(QStringLiteral("Courier New"), 10));
    setTextColor(QColor(192, 192, 192));
    setStyleSheet(QStringLiteral("background-color: rgb(0, 0, 0);"));
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &DebugLogWindow::showMenu);
    LogHandler::setWindowSink(this);
}

DebugLogWindow::~DebugLogWindow()
{
    LogHandler::setWindowSink(nullptr);
}

void DebugLogWindow::setTextColour(unsigned int rgb)
{
    // Queued calls on this object keep their order, so colour and text stay paired.
    QMetaObject::invokeMethod(
        this, [this, rgb] { setTextColor(QColor::fromRgb(rgb)); }, Qt::AutoConnection);
}

void DebugLogWindow::appendText(const QString &text)
{
    QMetaObject::invokeMethod(
        this,
        [this, text] {
            QTextCursor cursor(document());
            cursor.movePosition(QTextCursor::End);
            QTextCharFormat format;
            format.setForeground(textColor());
            if (!document()->isEmpty())
                cursor.insertBlock();
            cursor.insertText(text, format);
            verticalScrollBar()->setValue(verticalScrollBar()->maximum());
        },
        Qt::AutoConnection);
}

void DebugLogWindow::showMenu(const QPoint &)
{
    QMenu menu(this);
    menu.addAction(QStringLiteral("Copy"), this, &QTextEdit::copy);
    menu.addAction(QStringLiteral("Clear log"), this, &QTextEdit::clear);
    menu.exec(QCursor::pos());
}
