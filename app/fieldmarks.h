#pragma once

#include <QString>

class QWidget;

// The marks an editor widget carries besides its value: what the user may type there, what is
// wrong with what he typed, and whether the value still waits to be written. Each mark is a
// dynamic property the window's style sheet colours, and a line of the widget's tooltip.
namespace FieldMarks {

enum class Problem { None, Invalid, Clamped };
enum class Pending { None, Edited, FromFile };

// The allowed range or form, shown in the tooltip all the time.
void setHint(QWidget *w, const QString &hint);
// A problem is also said on a line under the field until the field is edited again.
void setProblem(QWidget *w, Problem problem, const QString &text = QString());
void setPending(QWidget *w, Pending pending, const QString &text = QString());
// Enables or disables a control; a disabled one says why in its tooltip.
void setEnabledWhy(QWidget *w, bool enabled, const QString &whyNot);
Problem problem(const QWidget *w);
Pending pending(const QWidget *w);

// The text a user reads as the name of the field: its label, else its own text or its group's
// title, without the trailing colon.
QString labelOf(const QWidget *w);

} // namespace FieldMarks
