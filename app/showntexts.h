#pragma once

#include <QList>
#include <QString>

class QWidget;

// Every text the user can see in the windows on screen, with the room each has where it is
// shown: what the screenshot run checks for a language, and the layout checks for clipping.
namespace ShownTexts {

struct Text
{
    QWidget *widget;
    QString where; // "window/widget"
    QString text;  // as set (rich text stays rich text)
    int needed;    // pixels the text takes: width, or height for a wrapping label
    int room;      // pixels the widget gives it (INT_MAX: nothing to check)
};

// Labels, buttons, check boxes, every entry of choice boxes, group titles, tabs, list rows and
// table cells of the visible widgets of the visible top-level windows.
QList<Text> onScreen();
// The text without its markup.
QString plain(const QString &text);

} // namespace ShownTexts
