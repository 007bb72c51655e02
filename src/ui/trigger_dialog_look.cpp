#include "ui/trigger_dialog_look.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>

#include "ui/script_picker.h"

namespace varnex {

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

QLabel* ColouredLabel(const QString& text, const QColor& colour, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    SetTextColour(label, colour);
    return label;
}

QPushButton* NamedButton(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QLayout* PickerRow(ScriptPicker* picker, QWidget* parent) {
    picker->FitNameRows();
    picker->names()->setMinimumWidth(parent->fontMetrics().horizontalAdvance(QString(18, 'M')));
    picker->steps()->setFixedHeight(picker->names()->maximumHeight());
    auto* row = new QHBoxLayout;
    row->addWidget(picker->names());
    row->addWidget(picker->steps());
    return row;
}

}  // namespace varnex
