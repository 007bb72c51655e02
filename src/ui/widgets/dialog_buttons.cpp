#include "ui/widgets/dialog_buttons.h"

#include <QVBoxLayout>

namespace varnex {

QHBoxLayout* ConfirmButtonRow(QPushButton* confirm, QPushButton* cancel) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(confirm);
    row->addWidget(cancel);
    return row;
}

void LayOutGroupAboveButtons(QDialog* dialog, QWidget* group, QPushButton* confirm,
                             QPushButton* cancel) {
    confirm->setDefault(true);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(group);
    layout->addLayout(ConfirmButtonRow(confirm, cancel));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace varnex
