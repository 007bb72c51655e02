#include "ui/settings/change_remote_ip_dialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/unit_identity.h"
#include "text/conversions.h"
#include "ui/settings/settings_dialog_look.h"
#include "ui/widgets/dialog_buttons.h"
#include "ui/widgets/ip_address_field.h"

namespace varnex {

ChangeRemoteIpDialog::ChangeRemoteIpDialog(QWidget* parent, DialogContext& context)
    : QDialog(parent),
      context_(context),
      address_(new IpAddressField(context.hooks, this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(QStringLiteral("Change Remote IP"));
    setWindowIcon(SettingsDialogIcon(QStringLiteral("IP"), QColor(90, 60, 160)));

    auto* buttons = ConfirmButtonRow(ok_, cancel_);
    ok_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        HeadingLabel(QStringLiteral("Enter a New IP Address for this VNX unit."), this));
    layout->addWidget(address_, 0, Qt::AlignHCenter);
    layout->addLayout(buttons);
    address_->setFocus();

    connect(ok_, &QPushButton::clicked, this, &ChangeRemoteIpDialog::Send);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void ChangeRemoteIpDialog::Send() {
    const std::optional<uint32_t> address =
        address_->isComplete() ? std::optional<uint32_t>(address_->address()) : std::nullopt;
    if (ChangeRemoteIp(context_.session, context_.hooks, address) == DialogOutcome::Closes) {
        sentAddress_ = FormatDottedAddress(*address);
        accept();
    }
}

std::optional<std::string> OpenChangeRemoteIpDialog(QWidget* parent, DialogContext& context) {
    ChangeRemoteIpDialog dialog(parent, context);
    dialog.exec();
    return dialog.sentAddress();
}

}  // namespace varnex
