#include "ui/dialog_buttons.h"

namespace varnex {

QHBoxLayout* ConfirmButtonRow(QPushButton* confirm, QPushButton* cancel) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(confirm);
    row->addWidget(cancel);
    return row;
}

}  // namespace varnex
