// "Change Remote IP": the unit's new IP address.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

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
    // The address the unit was told to take, once it was sent.
    const std::optional<std::string>& sentAddress() const { return sentAddress_; }

  private:
    void Send();

    DialogContext context_;
    IpAddressField* address_;
    QPushButton* ok_;
    QPushButton* cancel_;
    std::optional<std::string> sentAddress_;
};

// The unit's new address when it was sent (its history moves with it).
std::optional<std::string> OpenChangeRemoteIpDialog(QWidget* parent, DialogContext& context);

}  // namespace varnex
