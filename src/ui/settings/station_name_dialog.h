// "Change Station Name": the name the unit reports, up to 20 characters.
#pragma once

#include <QDialog>

#include "ui/widgets/dialog_context.h"

class QLineEdit;
class QPushButton;

namespace varnex {

class StationNameDialog : public QDialog {
    Q_OBJECT
  public:
    StationNameDialog(QWidget* parent, DialogContext& context);

    QLineEdit* nameField() const { return name_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

  private:
    void Send();

    DialogContext context_;
    QLineEdit* name_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

void OpenStationNameDialog(QWidget* parent, DialogContext& context);

}  // namespace varnex
