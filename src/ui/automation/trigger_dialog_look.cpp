#include "ui/automation/trigger_dialog_look.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>

#include "ui/automation/script_picker.h"

namespace varnex {

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
