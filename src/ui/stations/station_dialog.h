// "Add IP" and "Edit IP": one dialog with an address, a masked password and
// a comment; the label of the field that last had the focus is red. Its
// rules live in stations/station_list_rules.h.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "stations/station_list_rules.h"
#include "ui/widgets/dialog_context.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace varnex {

class IpAddressField;

class StationDialog : public QDialog {
    Q_OBJECT
  public:
    // Edit mode opens on the station named by `stationListText`.
    StationDialog(QWidget* parent, StationStore& store, StationDialogMode mode,
                  const std::string& stationListText);
    ~StationDialog() override;

    // The station list after a change to the table, for the main window.
    const std::optional<StationList>& refilledList() const { return list_; }

    IpAddressField* addressField() const { return address_; }
    QLineEdit* passwordField() const { return password_; }
    QLineEdit* commentField() const { return comment_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    // 0 address, 1 password, 2 comment.
    QLabel* fieldLabel(int index) const;

  private:
    void OnOk();
    void FollowFocus(QWidget* now);

    StationStore& store_;
    StationDialogMode mode_;
    IpAddressField* address_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLineEdit* comment_ = nullptr;
    QLabel* labels_[3] = {};
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::optional<StationList> list_;
    QMetaObject::Connection focusConnection_;
};

// "Add IP" / "Edit IP": ends any running session, then runs the dialog.
// Answers the refilled station list when the table changed.
std::optional<StationList> OpenStationDialog(QWidget* parent, DialogContext& context,
                                             StationDialogMode mode,
                                             const std::string& stationListText);

// "Set Default": ends any running session, marks the station the list's text
// names, and answers the refilled list (nullopt: the table could not be read).
std::optional<StationList> RunSetDefault(DialogContext& context,
                                         const std::string& stationListText);

}  // namespace varnex
