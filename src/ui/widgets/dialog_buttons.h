// The row of confirming and cancelling buttons at the foot of a dialog,
// pushed to the right.
#pragma once

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace varnex {

QHBoxLayout* ConfirmButtonRow(QPushButton* confirm, QPushButton* cancel);

// A dialog of one group of fields above that row, sized to fit; Enter
// confirms.
void LayOutGroupAboveButtons(QDialog* dialog, QWidget* group, QPushButton* confirm,
                             QPushButton* cancel);

}  // namespace varnex
