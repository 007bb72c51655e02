#include "ui/settings/security_settings_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "session/session.h"
#include "settings/password_change.h"
#include "ui/widgets/dialog_buttons.h"
#include "ui/widgets/field_rules.h"
#include "ui/widgets/ip_address_field.h"
#include "ui/settings/settings_dialog_look.h"

namespace varnex {
namespace {

constexpr int kMargin = 5;
constexpr int kTabSlack = 16;

QLineEdit* MaskedField(QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setEchoMode(QLineEdit::Password);
    return field;
}

// "OK" and "Cancel" at the foot of a page.

}  // namespace

SecuritySettingsDialog::SecuritySettingsDialog(QWidget* parent, DialogContext& context)
    : QDialog(parent), context_(context), tabs_(new QTabWidget(this)) {
    setWindowTitle(QStringLiteral("Change Security Settings"));
    setWindowIcon(SettingsDialogIcon(QStringLiteral("SEC"), QColor(160, 0, 0)));
    tabs_->addTab(PasswordPage(), QStringLiteral("Change Password"));
    tabs_->addTab(AddressesPage(), QStringLiteral("Allowed IP Numbers"));
    tabs_->addTab(ServerSwitchPageFor(ServerSwitch::Http), QStringLiteral("HTTP Server"));
    tabs_->addTab(ServerSwitchPageFor(ServerSwitch::Snmp), QStringLiteral("SNMP Server"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->addWidget(tabs_);
    // Wide enough for every tab, so none hides behind scroll arrows.
    setMinimumWidth(tabs_->tabBar()->sizeHint().width() + 2 * kMargin + kTabSlack);
    password_->setFocus();
}

QWidget* SecuritySettingsDialog::PasswordPage() {
    auto* page = new QWidget(this);
    password_ = MaskedField(page);
    retype_ = MaskedField(page);
    passwordOk_ = new QPushButton(QStringLiteral("OK"), page);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), page);
    for (QLineEdit* field : {password_, retype_}) {
        FieldRules::Guard(field, {CharacterClass::Password, kPasswordChars}, context_.hooks);
    }

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(HeadingLabel(QStringLiteral("Change Remote Password"), page));
    layout->addWidget(NoteLabel(QStringLiteral("Passwords are 10 characters max."), page));
    layout->addWidget(password_);
    layout->addWidget(NoteLabel(QStringLiteral("Retype Password"), page));
    layout->addWidget(retype_);
    layout->addStretch(1);
    layout->addLayout(ConfirmButtonRow(passwordOk_, cancel));

    connect(passwordOk_, &QPushButton::clicked, this, [this] {
        PasswordChange change = ChangeRemotePassword(context_.session, context_.stations,
                                                     password_->text().toLatin1().toStdString(),
                                                     retype_->text().toLatin1().toStdString());
        stationList_ = std::move(change.stationList);
        Finish(change.outcome);
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    return page;
}

QWidget* SecuritySettingsDialog::AddressesPage() {
    auto* page = new QWidget(this);
    allowAll_ = new QRadioButton(QStringLiteral("Allow ALL IP Numbers"), page);
    allowListed_ = new QRadioButton(QStringLiteral("Allow ONLY these IP Numbers"), page);
    addressesOk_ = new QPushButton(QStringLiteral("OK"), page);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), page);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(allowAll_);
    layout->addWidget(allowListed_);
    for (IpAddressField*& field : addresses_) {
        field = new IpAddressField(context_.hooks, page);
        layout->addWidget(field, 0, Qt::AlignHCenter);
    }
    layout->addStretch(1);
    layout->addLayout(ConfirmButtonRow(addressesOk_, cancel));

    ShowReportedAddresses(ReportedAllowedClients(context_.session.snapshot()).onlyListed);
    connect(allowAll_, &QRadioButton::clicked, this, [this] { ShowReportedAddresses(false); });
    connect(allowListed_, &QRadioButton::clicked, this, [this] { ShowReportedAddresses(true); });
    connect(addressesOk_, &QPushButton::clicked, this, [this] {
        AllowedClients choice;
        choice.onlyListed = allowListed_->isChecked();
        for (std::size_t n = 0; n < addresses_.size(); ++n) {
            choice.addresses[n] = addresses_[n]->address();
        }
        Finish(SendAllowedClients(context_.session, context_.hooks, choice,
                                  addresses_[0]->isComplete()));
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    return page;
}

// Choosing "only listed" fills the fields again with what the unit
// reported, replacing what was typed; "all" empties and disables them.
void SecuritySettingsDialog::ShowReportedAddresses(bool onlyListed) {
    (onlyListed ? allowListed_ : allowAll_)->setChecked(true);
    const AllowedClients reported = ReportedAllowedClients(context_.session.snapshot());
    for (std::size_t n = 0; n < addresses_.size(); ++n) {
        if (onlyListed) {
            addresses_[n]->setAddress(reported.addresses[n]);
        } else {
            addresses_[n]->clear();
        }
        addresses_[n]->setEnabled(onlyListed);
    }
}

QWidget* SecuritySettingsDialog::ServerSwitchPageFor(ServerSwitch which) {
    const ServerSwitchPage view = OpenServerSwitch(context_.session.snapshot(), which);
    auto* page = new QWidget(this);
    ServerSwitchControls& controls = which == ServerSwitch::Http ? http_ : snmp_;
    controls.enable = new QRadioButton(QString::fromStdString(view.enableCaption), page);
    controls.disable = new QRadioButton(QString::fromStdString(view.disableCaption), page);
    controls.ok = new QPushButton(QStringLiteral("OK"), page);
    controls.cancel = new QPushButton(QStringLiteral("Cancel"), page);
    if (view.usable) {
        (view.disabledChosen ? controls.disable : controls.enable)->setChecked(true);
    }
    for (QWidget* control :
         {static_cast<QWidget*>(controls.enable), static_cast<QWidget*>(controls.disable),
          static_cast<QWidget*>(controls.ok), static_cast<QWidget*>(controls.cancel)}) {
        control->setEnabled(view.usable);
    }

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(HeadingLabel(QString::fromStdString(view.heading), page));
    layout->addWidget(controls.enable);
    layout->addWidget(controls.disable);
    layout->addStretch(1);
    layout->addLayout(ConfirmButtonRow(controls.ok, controls.cancel));

    QRadioButton* enable = controls.enable;
    connect(controls.ok, &QPushButton::clicked, this, [this, which, enable] {
        Finish(SendServerSwitch(context_.session, context_.hooks, which, enable->isChecked()));
    });
    connect(controls.cancel, &QPushButton::clicked, this, &QDialog::reject);
    return page;
}

void SecuritySettingsDialog::Finish(DialogOutcome outcome) {
    if (outcome == DialogOutcome::Closes) {
        accept();
    }
}

std::optional<StationList> OpenSecuritySettingsDialog(QWidget* parent, DialogContext& context) {
    SecuritySettingsDialog dialog(parent, context);
    dialog.exec();
    return dialog.refilledStationList();
}

}  // namespace varnex
