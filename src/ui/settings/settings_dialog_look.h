// The look the unit-settings dialogs share: the heading font in blue, notes
// and warnings in red, and a small icon of each dialog's own.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QString>

class QWidget;

namespace varnex {

// Arial, bold, 12 pixels high.
QFont HeadingFont();
QLabel* HeadingLabel(const QString& text, QWidget* parent);
QLabel* NoteLabel(const QString& text, QWidget* parent);  // red, wraps

// A rounded badge with a short mark on it, in the dialog's colour.
QIcon SettingsDialogIcon(const QString& mark, const QColor& colour);

}  // namespace varnex
