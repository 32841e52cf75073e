#include "fieldmarks.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QVariant>

namespace FieldMarks {
namespace {
const char *const hintProperty = "inputHint";
const char *const problemProperty = "inputProblem";
const char *const problemTextProperty = "inputProblemText";
const char *const pendingProperty = "pendingChange";
const char *const pendingTextProperty = "pendingChangeText";
const char *const disabledProperty = "disabledReason";
// The tooltip the form gave the widget, kept so that the marks add to it rather than replace it,
// and the one last composed: a different one means the form has set its own again (in
// another language).
const char *const baseTipProperty = "baseToolTip";
const char *const composedTipProperty = "composedToolTip";
const char *const lineProperty = "problemLine";

// What is wrong with a field, said on a line under it where the eye is, until the field is
// edited again (a tooltip alone is seen only by who hovers).
void showProblemLine(QWidget *w, const QString &text)
{
    auto *line = qobject_cast<QLabel *>(w->property(lineProperty).value<QObject *>());
    if (text.isEmpty() || !w->parentWidget()) {
        if (line)
            line->hide();
        return;
    }
    if (!line) {
        line = new QLabel(w->parentWidget());
        line->setObjectName(w->objectName() + QStringLiteral("_problem"));
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
        line->setStyleSheet(QStringLiteral("color: #b00020; background: #fff3f3; "
                                           "font-size: 11px; padding: 0 3px;"));
        w->setProperty(lineProperty, QVariant::fromValue<QObject *>(line));
        if (auto *edit = qobject_cast<QLineEdit *>(w))
            QObject::connect(edit, &QLineEdit::textEdited, line, &QWidget::hide);
    }
    line->setText(text);
    line->adjustSize();
    // Under the field, from its left edge, or ending at its right edge where the page would
    // cut it off.
    const int room = w->parentWidget()->width() - w->x();
    line->move(line->width() <= room ? w->x() : qMax(0, w->x() + w->width() - line->width()),
               w->y() + w->height());
    line->raise();
    line->show();
}

void updateLook(QWidget *w)
{
    if (!w->property(baseTipProperty).isValid() ||
        w->toolTip() != w->property(composedTipProperty).toString())
        w->setProperty(baseTipProperty, w->toolTip());
    QStringList lines;
    for (const char *p : {baseTipProperty, hintProperty, problemTextProperty, pendingTextProperty,
                          disabledProperty}) {
        const QString line = w->property(p).toString();
        if (!line.isEmpty())
            lines << line;
    }
    w->setToolTip(lines.join(QLatin1Char('\n')));
    w->setProperty(composedTipProperty, w->toolTip());
    // Property selectors of the style sheet are evaluated when the widget is polished.
    w->style()->unpolish(w);
    w->style()->polish(w);
    w->update();
}

QString plain(QString text)
{
    if (Qt::mightBeRichText(text))
        text = QTextDocumentFragment::fromHtml(text).toPlainText();
    text = text.simplified();
    while (text.endsWith(QLatin1Char(':')) || text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

// The label beside a widget in a form or grid layout.
QLabel *layoutLabel(const QWidget *w)
{
    const QWidget *parent = w->parentWidget();
    if (!parent)
        return nullptr;
    for (QLayout *layout : parent->findChildren<QLayout *>()) {
        const int index = layout->indexOf(const_cast<QWidget *>(w));
        if (index < 0)
            continue;
        if (auto *form = qobject_cast<QFormLayout *>(layout))
            return qobject_cast<QLabel *>(form->labelForField(const_cast<QWidget *>(w)));
        if (auto *grid = qobject_cast<QGridLayout *>(layout)) {
            int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
            for (int c = column - 1; c >= 0; --c) {
                QLayoutItem *item = grid->itemAtPosition(row, c);
                if (item && item->widget())
                    return qobject_cast<QLabel *>(item->widget());
            }
        }
        return nullptr;
    }
    return nullptr;
}
} // namespace

void setHint(QWidget *w, const QString &hint)
{
    w->setProperty(hintProperty, hint);
    updateLook(w);
}

void setProblem(QWidget *w, Problem problem, const QString &text)
{
    static const char *const names[] = {"", "invalid", "clamped"};
    if (problem == Problem::None && w->property(problemProperty).toString().isEmpty())
        return;
    w->setProperty(problemProperty, QLatin1String(names[int(problem)]));
    w->setProperty(problemTextProperty, problem == Problem::None ? QString() : text);
    updateLook(w);
    showProblemLine(w, problem == Problem::None ? QString() : text);
}

void setPending(QWidget *w, Pending pending, const QString &text)
{
    static const char *const names[] = {"", "edited", "file"};
    if (w->property(pendingProperty).toString() == QLatin1String(names[int(pending)]) &&
        w->property(pendingTextProperty).toString() ==
            (pending == Pending::None ? QString() : text))
        return;
    w->setProperty(pendingProperty, QLatin1String(names[int(pending)]));
    w->setProperty(pendingTextProperty, pending == Pending::None ? QString() : text);
    updateLook(w);
}

void setEnabledWhy(QWidget *w, bool enabled, const QString &whyNot)
{
    w->setEnabled(enabled);
    w->setProperty(disabledProperty, enabled ? QString() : whyNot);
    updateLook(w);
}

Problem problem(const QWidget *w)
{
    const QString p = w->property(problemProperty).toString();
    return p == QLatin1String("invalid")   ? Problem::Invalid
           : p == QLatin1String("clamped") ? Problem::Clamped
                                           : Problem::None;
}

Pending pending(const QWidget *w)
{
    const QString p = w->property(pendingProperty).toString();
    return p == QLatin1String("edited") ? Pending::Edited
           : p == QLatin1String("file") ? Pending::FromFile
                                        : Pending::None;
}

QString labelOf(const QWidget *w)
{
    if (const QWidget *top = w->window()) {
        for (const QLabel *l : top->findChildren<QLabel *>()) {
            if (l->buddy() == w && !l->text().isEmpty())
                return plain(l->text());
        }
    }
    if (const QLabel *l = layoutLabel(w); l && !plain(l->text()).isEmpty())
        return plain(l->text());
    if (const auto *button = qobject_cast<const QAbstractButton *>(w);
        button && !button->text().isEmpty())
        return plain(button->text());
    for (const QWidget *p = w->parentWidget(); p; p = p->parentWidget()) {
        if (const auto *group = qobject_cast<const QGroupBox *>(p);
            group && !group->title().isEmpty())
            return plain(group->title());
    }
    return w->objectName();
}

} // namespace FieldMarks
