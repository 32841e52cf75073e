#include "showntexts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTableWidget>
#include <QTextDocument>
#include <QToolButton>

#include <climits>
#include <cmath>
#include <utility>

namespace ShownTexts {
namespace {
// The width a text needs in a widget's font (rich text laid out as a label lays it out).
int textWidth(const QWidget *w, const QString &text)
{
    if (Qt::mightBeRichText(text)) {
        QTextDocument doc;
        doc.setDefaultFont(w->font());
        doc.setDocumentMargin(0);
        doc.setHtml(text);
        return int(std::ceil(doc.idealWidth()));
    }
    int widest = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, w->fontMetrics().horizontalAdvance(line));
    return widest;
}

void addWidget(QList<Text> &out, QWidget *w, const QString &where)
{
    if (auto *label = qobject_cast<QLabel *>(w)) {
        if (label->text().isEmpty())
            return;
        // A wrapping label must have the height of its lines.
        if (label->wordWrap())
            out << Text{w, where, label->text(), label->heightForWidth(label->width()),
                        label->height()};
        else
            out << Text{w, where, label->text(), textWidth(label, label->text()),
                        label->contentsRect().width() - 2 * label->margin()};
    } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
        if (button->text().isEmpty())
            return;
        if (qobject_cast<QToolButton *>(w)) { // icons; a text there is not drawn
            out << Text{w, where, button->text(), 0, INT_MAX};
            return;
        }
        QStyleOptionButton opt;
        opt.initFrom(button);
        const QStyle::SubElement contents =
            qobject_cast<QCheckBox *>(w)      ? QStyle::SE_CheckBoxContents
            : qobject_cast<QRadioButton *>(w) ? QStyle::SE_RadioButtonContents
                                              : QStyle::SE_PushButtonContents;
        out << Text{w, where, button->text(), textWidth(button, button->text()),
                    button->style()->subElementRect(contents, &opt, button).width()};
    } else if (auto *box = qobject_cast<QComboBox *>(w)) {
        if (box->isEditable())
            return;
        QStyleOptionComboBox opt;
        opt.initFrom(box);
        const int room =
            box->style()
                ->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, box)
                .width();
        for (int i = 0; i < box->count(); ++i) {
            const int icon = box->itemIcon(i).isNull() ? 0 : box->iconSize().width() + 4;
            out << Text{w, where, box->itemText(i), textWidth(box, box->itemText(i)) + icon, room};
        }
    } else if (auto *group = qobject_cast<QGroupBox *>(w)) {
        out << Text{w, where, group->title(), 0, INT_MAX};
    } else if (auto *tabs = qobject_cast<QTabBar *>(w)) {
        for (int i = 0; i < tabs->count(); ++i)
            out << Text{w, where, tabs->tabText(i), 0, INT_MAX};
    } else if (auto *list = qobject_cast<QListWidget *>(w)) {
        for (int i = 0; i < list->count(); ++i) {
            if (!list->isRowHidden(i))
                out << Text{w, where, list->item(i)->text(), 0, INT_MAX};
        }
    } else if (auto *table = qobject_cast<QTableWidget *>(w)) {
        for (int r = 0; r < table->rowCount(); ++r) {
            for (int c = 0; c < table->columnCount(); ++c) {
                if (const QTableWidgetItem *item = table->item(r, c))
                    out << Text{w, where, item->text(), 0, INT_MAX};
            }
        }
    }
}
} // namespace

QList<Text> onScreen()
{
    QList<Text> out;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (!top->isVisible())
            continue;
        QList<QWidget *> widgets = top->findChildren<QWidget *>();
        widgets.prepend(top);
        for (QWidget *w : std::as_const(widgets)) {
            if (w->isVisible())
                addWidget(out, w, top->objectName() + QLatin1Char('/') + w->objectName());
        }
    }
    return out;
}

QString plain(const QString &text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    QTextDocument doc;
    doc.setHtml(text);
    return doc.toPlainText();
}

} // namespace ShownTexts
