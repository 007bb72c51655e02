// The row of confirming and cancelling buttons at the foot of a dialog,
// pushed to the right.
#pragma once

#include <QHBoxLayout>
#include <QPushButton>

namespace varnex {

QHBoxLayout* ConfirmButtonRow(QPushButton* confirm, QPushButton* cancel);

}  // namespace varnex
