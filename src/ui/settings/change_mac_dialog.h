// "Change Mac Address": six groups of two hexadecimal digits.
#pragma once

#include <QDialog>
#include <array>

#include "protocol/wire_format.h"
#include "ui/widgets/dialog_context.h"

class QLineEdit;
class QPushButton;

namespace varnex {

class ChangeMacDialog : public QDialog {
    Q_OBJECT
  public:
    ChangeMacDialog(QWidget* parent, DialogContext& context);

    QLineEdit* groupField(std::size_t index) const { return groups_[index]; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

  private:
    void Send();

    DialogContext context_;
    std::array<QLineEdit*, wire::kMacSize> groups_{};
    QPushButton* ok_;
    QPushButton* cancel_;
};

void OpenChangeMacDialog(QWidget* parent, DialogContext& context);

}  // namespace varnex
