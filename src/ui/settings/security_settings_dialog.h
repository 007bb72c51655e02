// "Change Security Settings": four tab pages (password, allowed client
// addresses, HTTP server, SNMP access), each sending one command after a
// question and then closing the whole dialog.
#pragma once

#include <QDialog>
#include <array>
#include <optional>

#include "settings/allowed_clients.h"
#include "settings/server_switches.h"
#include "stations/station_store.h"
#include "ui/widgets/dialog_context.h"

class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace varnex {

class IpAddressField;

// One page's controls that tests and the dialog reach by name.
struct ServerSwitchControls {
    QRadioButton* enable = nullptr;
    QRadioButton* disable = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
};

class SecuritySettingsDialog : public QDialog {
    Q_OBJECT
  public:
    SecuritySettingsDialog(QWidget* parent, DialogContext& context);

    QTabWidget* tabs() const { return tabs_; }
    QLineEdit* passwordField() const { return password_; }
    QLineEdit* retypeField() const { return retype_; }
    QPushButton* passwordOk() const { return passwordOk_; }
    QRadioButton* allowAllChoice() const { return allowAll_; }
    QRadioButton* allowListedChoice() const { return allowListed_; }
    IpAddressField* addressField(std::size_t index) const { return addresses_[index]; }
    QPushButton* addressesOk() const { return addressesOk_; }
    const ServerSwitchControls& serverPage(ServerSwitch which) const {
        return which == ServerSwitch::Http ? http_ : snmp_;
    }

    // The station list refilled after a password change, for the main window.
    const std::optional<StationList>& refilledStationList() const { return stationList_; }

  private:
    QWidget* PasswordPage();
    QWidget* AddressesPage();
    QWidget* ServerSwitchPageFor(ServerSwitch which);
    void ShowReportedAddresses(bool onlyListed);
    void Finish(DialogOutcome outcome);

    DialogContext context_;
    QTabWidget* tabs_;
    QLineEdit* password_ = nullptr;
    QLineEdit* retype_ = nullptr;
    QPushButton* passwordOk_ = nullptr;
    QRadioButton* allowAll_ = nullptr;
    QRadioButton* allowListed_ = nullptr;
    std::array<IpAddressField*, wire::kAllowedClientAddressCount> addresses_{};
    QPushButton* addressesOk_ = nullptr;
    ServerSwitchControls http_;
    ServerSwitchControls snmp_;
    std::optional<StationList> stationList_;
};

// The main window's "Security Settings" button. Answers the refilled station
// list when the password was changed, for the main window to show.
std::optional<StationList> OpenSecuritySettingsDialog(QWidget* parent, DialogContext& context);

}  // namespace varnex
