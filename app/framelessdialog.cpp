#include "framelessdialog.h"

#include "qtcompat.h"

#include <QAbstractButton>
#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>

FramelessDialog::FramelessDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowFlags((windowFlags() | Qt::FramelessWindowHint | Qt::Dialog) &
                   ~Qt::WindowContextHelpButtonHint);
    QFont f = font();
    f.setFamily(QStringLiteral("PT Sans"));
    setFont(f);
    QFile qss(QStringLiteral(":/style/dialog.qss"));
    if (qss.open(QIODevice::ReadOnly))
        setStyleSheet(QString::fromUtf8(qss.readAll()));
}

void FramelessDialog::setupTitleBar(QWidget *titleWidget, QAbstractButton *closeButton)
{
    titleBar = titleWidget;
    titleWidget->setProperty("dialogTitle", true);
    titleWidget->setAttribute(Qt::WA_StyledBackground, true);
    titleWidget->installEventFilter(this);
    closeButton->setIcon(QIcon(QStringLiteral(":/pict/svg/close.svg")));
    closeButton->setText(QString());
    closeButton->setFocusPolicy(Qt::NoFocus);
    connect(closeButton, &QAbstractButton::clicked, this, &FramelessDialog::closeRequested);
}

QLabel *FramelessDialog::makeNoteLabel(const QString &objectName)
{
    auto *label = new QLabel(this);
    label->setObjectName(objectName);
    label->setWordWrap(true);
    label->hide();
    return label;
}

QWidget *FramelessDialog::makeTitleBar(QLabel **label)
{
    constexpr int heightPx = 30;
    constexpr int closeButtonPx = 24;
    auto *title = new QWidget(this);
    title->setFixedHeight(heightPx);
    *label = new QLabel(title);
    auto *close = new QToolButton(title);
    close->setFixedSize(closeButtonPx, closeButtonPx);
    auto *row = new QHBoxLayout(title);
    row->setContentsMargins(16, 0, 3, 0);
    row->addWidget(*label, 1);
    row->addWidget(close);
    setupTitleBar(title, close);
    return title;
}

void FramelessDialog::showDeviceLine(const QString &line)
{
    if (deviceLine) {
        deviceLine->setText(line);
        return;
    }
    constexpr int marginPx = 16;
    const int top = titleBar ? titleBar->geometry().bottom() + marginPx / 2 : marginPx;
    deviceLine = new QLabel(line, this);
    deviceLine->setObjectName(QStringLiteral("deviceLine"));
    deviceLine->setWordWrap(true);
    const int lineWidth = width() - 2 * marginPx;
    const int lineHeight = deviceLine->heightForWidth(lineWidth);
    // The forms place their widgets by hand: everything under the title bar moves down.
    for (QWidget *w : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (w != titleBar && w != deviceLine && w->y() >= top)
            w->move(w->x(), w->y() + lineHeight + marginPx / 2);
    }
    deviceLine->setGeometry(marginPx, top, lineWidth, lineHeight);
    deviceLine->show();
    setFixedSize(width(), height() + lineHeight + marginPx / 2);
}

bool FramelessDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == titleBar) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto *me = static_cast<QMouseEvent *>(event);
            if (me->button() == Qt::LeftButton) {
                dragging = true;
                dragOffset = QtCompat::globalPosOf(me) - frameGeometry().topLeft();
                return true;
            }
            break;
        }
        case QEvent::MouseMove:
            if (dragging) {
                move(QtCompat::globalPosOf(static_cast<QMouseEvent *>(event)) - dragOffset);
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
            dragging = false;
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
