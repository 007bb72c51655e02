// The look the trigger and daughter-board dialogs share: coloured texts and
// buttons that Enter never presses by accident.
#pragma once

#include <QColor>
#include <QString>

#include "ui/widgets/widget_parts.h"

class QLabel;
class QLayout;
class QPushButton;
class QWidget;

namespace varnex {

class ScriptPicker;

inline const QColor kLookBlue{0, 0, 255};
inline const QColor kLookRed{255, 0, 0};
inline const QColor kLookGreen{0, 170, 0};

// The picker's name list beside its step list, both as high as the eight
// names, the names wide enough for a whole slot name.
QLayout* PickerRow(ScriptPicker* picker, QWidget* parent);

}  // namespace varnex
