// The picture program's shared helpers.
#include "shots.h"

#include "appsettings.h"
#include "showntexts.h"
#include "simulator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLayout>
#include <QPainter>
#include <QRegularExpression>

namespace Shots {

// In an English run, what a picture shows must be English: every visible text of the windows on
// screen is looked at when a picture is taken, and what has Cyrillic letters is listed.
bool checkEnglish = false;
QStringList notEnglish;

static void collectNotEnglish(const QString &picture)
{
    static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04ff}]"));
    for (const ShownTexts::Text &t : ShownTexts::onScreen()) {
        // A language's name is written in that language, so its speakers find it.
        if (t.text.contains(cyrillic) &&
            t.widget->objectName() != QLatin1String("languageComboBox"))
            notEnglish << picture + QStringLiteral(": ") + t.where + QStringLiteral(": ") + t.text;
    }
}

void saveShot(QWidget *w, const QString &path)
{
    // A text set a moment ago may still wait for its layout to make room for it.
    if (w->layout())
        w->layout()->activate();
    w->grab().save(path);
    if (checkEnglish)
        collectNotEnglish(QFileInfo(path).fileName());
}

void waitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void settle(int ms)
{
    waitFor([] { return false; }, ms);
}

void dropClosed()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void saveOver(QWidget *window, QWidget *dialog, const QString &path)
{
    if (dialog->layout())
        dialog->layout()->activate();
    QPixmap shot = window->grab();
    {
        QPainter painter(&shot);
        painter.drawPixmap(dialog->frameGeometry().topLeft() - window->frameGeometry().topLeft(),
                           dialog->grab());
    }
    shot.save(path);
    if (checkEnglish)
        collectNotEnglish(QFileInfo(path).fileName());
}

QMessageBox *shownBox(QMessageBox::StandardButton offering)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        auto *box = qobject_cast<QMessageBox *>(w);
        if (box && box->isVisible() && (offering == QMessageBox::NoButton || box->button(offering)))
            return box;
    }
    return nullptr;
}

PortInfo simulatedPort(Simulator &sim, const QString &path)
{
    PortInfo p;
    p.portName = path;
    p.hasIds = true;
    p.vendorId = AppSettings::defaultVid;
    p.productId = AppSettings::defaultPid;
    p.serialNumber = sim.device().usbSerialNumber();
    return p;
}

} // namespace Shots
