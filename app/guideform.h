#pragma once

#include <QDialog>

class QTextBrowser;

// The built-in user guide, in the interface's language: connecting, reading, editing, files,
// firmware, console, relay, remote, updates and serial ports on Linux.
class GuideForm : public QDialog
{
    Q_OBJECT
public:
    GuideForm(const QString &languageCode, QWidget *parent);
    // The guide's resource for a language (Russian for any but English).
    static QString source(const QString &languageCode);

private:
    QTextBrowser *browser;
};
