#include "fitlabels.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>

TitleLabel::TitleLabel(QWidget *parent)
    : QLabel(parent)
{
    setWordWrap(true);
}

QStringList TitleLabel::lines() const
{
    return text().split(QLatin1Char('\t'));
}

QSize TitleLabel::sizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    int widest = 0;
    for (const QString &line : lines())
        widest = std::max(widest, fm.horizontalAdvance(line));
    const QMargins m = contentsMargins();
    return {widest + m.left() + m.right(), heightForWidth(widest + m.left() + m.right())};
}

QSize TitleLabel::minimumSizeHint() const
{
    // The layout gives what room there is; a line that finds too little wraps.
    return {minimumWidth(), 0};
}

int TitleLabel::heightForWidth(int width) const
{
    const QMargins m = contentsMargins();
    const int room = std::max(1, width - m.left() - m.right());
    int height = 0;
    for (const QString &line : lines())
        height +=
            fontMetrics().boundingRect(QRect(0, 0, room, 10000), Qt::TextWordWrap, line).height();
    return height + m.top() + m.bottom();
}

void TitleLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect area = contentsRect();
    const int used = heightForWidth(width()) - contentsMargins().top() - contentsMargins().bottom();
    int y = area.top() + std::max(0, (area.height() - used) / 2);
    for (const QString &line : lines()) {
        const QRect box(area.left(), y, area.width(), area.bottom() + 1 - y);
        const QRect drawn = fontMetrics().boundingRect(box, Qt::TextWordWrap, line);
        style()->drawItemText(
            &p, box, int(alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop | Qt::TextWordWrap,
            palette(), isEnabled(), line, foregroundRole());
        y += drawn.height();
    }
}

ElidingLabel::ElidingLabel(QWidget *parent)
    : QLabel(parent)
{}

QSize ElidingLabel::minimumSizeHint() const
{
    return {minimumWidth(), QLabel::minimumSizeHint().height()};
}

void ElidingLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // Every new text is painted: the tooltip follows it there.
    updateTip();
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    style()->drawItemText(&p, area, int(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}

void ElidingLabel::updateTip()
{
    const bool elided = fontMetrics().horizontalAdvance(text()) > contentsRect().width();
    if (elided && toolTip() != text()) {
        ownTip = text();
        setToolTip(ownTip);
    } else if (!elided && !ownTip.isEmpty() && toolTip() == ownTip) {
        // A tooltip the owner set stays.
        ownTip.clear();
        setToolTip(QString());
    }
}
