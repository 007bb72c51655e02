// Small widget pieces the dialogs share: coloured texts and buttons that
// Enter never presses.
#pragma once

#include <QColor>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QWidget>

namespace varnex {

inline void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

inline QLabel* ColouredLabel(const QString& text, const QColor& colour, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    SetColour(label, QPalette::WindowText, colour);
    return label;
}

// A button found by `name` in tests that Enter never presses: in these
// dialogs Enter in a field must not send a command or close the dialog.
inline QPushButton* PlainButton(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace varnex
