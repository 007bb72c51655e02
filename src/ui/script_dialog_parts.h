// Small widget pieces the relay script dialogs share.
#pragma once

#include <QColor>
#include <QPalette>
#include <QPushButton>
#include <QWidget>

namespace varnex {

inline void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// A button that Enter never presses: in these dialogs Enter in a field must
// not send a command or close the dialog.
inline QPushButton* PlainButton(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace varnex
