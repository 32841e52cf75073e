#pragma once

#include <QDialog>
#include <QPoint>

class QAbstractButton;
class QLabel;

// Common shape of the program's small dialogs: a frameless window without the context-help
// button, in the interface font, with its own title bar that closes it and lets it be dragged.
class FramelessDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FramelessDialog(QWidget *parent = nullptr);
    // Names the device the dialog acts on, in a line under the title bar (the dialog grows).
    void showDeviceLine(const QString &line);

protected:
    // Styles titleWidget as the title bar; the close button emits closeRequested().
    void setupTitleBar(QWidget *titleWidget, QAbstractButton *closeButton);
    // For dialogs laid out in code: a title bar with its label (*label) and close button, set up
    // as above; the caller puts it at the top of its layout.
    QWidget *makeTitleBar(QLabel **label);
    // A word-wrapped label for a note or an outcome, hidden until there is one to show.
    QLabel *makeNoteLabel(const QString &objectName);
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void closeRequested();

private:
    QWidget *titleBar = nullptr;
    QLabel *deviceLine = nullptr;
    QPoint dragOffset;
    bool dragging = false;
};
