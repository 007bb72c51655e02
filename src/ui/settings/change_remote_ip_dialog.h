// "Change Remote IP": the unit's new IP address.
#pragma once

#include <QDialog>

#include "ui/widgets/dialog_context.h"

class QPushButton;

namespace varnex {

class IpAddressField;

class ChangeRemoteIpDialog : public QDialog {
    Q_OBJECT
  public:
    ChangeRemoteIpDialog(QWidget* parent, DialogContext& context);

    IpAddressField* addressField() const { return address_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

  private:
    void Send();

    DialogContext context_;
    IpAddressField* address_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

void OpenChangeRemoteIpDialog(QWidget* parent, DialogContext& context);

}  // namespace varnex
