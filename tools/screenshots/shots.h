#pragma once

#include "portenumerator.h"

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>

class MainWindow;
class Simulator;
class QWidget;

// What the picture program's parts share: saving a picture (and, in an English run, listing the
// Russian it shows), waiting with the event loop running, and the boxes on show.
namespace Shots {

extern bool checkEnglish;
extern QStringList notEnglish;

void saveShot(QWidget *w, const QString &path);
// The window with a dialog over it: the dialog is a window of its own, so the two pictures are
// put together where the screen shows them.
void saveOver(QWidget *window, QWidget *dialog, const QString &path);
void waitFor(const std::function<bool()> &done, int ms);
void settle(int ms);
// The dialogs closed meanwhile are gone, as the event loop of the program would have them
// (processEvents alone never deletes what deleteLater left).
void dropClosed();
// The message box on show, if any (the window-modal ones do not block the caller); with a
// button given, only a box that offers it.
QMessageBox *shownBox(QMessageBox::StandardButton offering = QMessageBox::NoButton);

// The firmware update of the store and the configurator's own update (updateshots.cpp).
int shootFirmwareUpdate(MainWindow &window, const QString &out, int model);
// The port a simulated device on `path` shows as in the system's list: a Vexa7XX's USB ids and
// the device's USB serial number.
PortInfo simulatedPort(Simulator &sim, const QString &path);
int shootSelfUpdate(const QString &out, const QString &appDir);

} // namespace Shots
