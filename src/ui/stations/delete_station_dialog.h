// "Delete IP": the stored addresses in a drop-down list with an editable
// field that starts on the default station; "DELETE" removes the row named
// by the field. Its rules live in stations/station_list_rules.h.
#pragma once

#include <QDialog>
#include <optional>

#include "stations/station_list_rules.h"
#include "ui/widgets/dialog_context.h"

class QComboBox;
class QPushButton;

namespace varnex {

class DeleteStationDialog : public QDialog {
    Q_OBJECT
  public:
    DeleteStationDialog(QWidget* parent, StationStore& store);

    // The station list after a delete, for the main window.
    const std::optional<StationList>& refilledList() const { return list_; }

    QComboBox* addressList() const { return addresses_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* cancelButton() const { return cancel_; }

  private:
    void OnDelete();

    StationStore& store_;
    QComboBox* addresses_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::optional<StationList> list_;
};

// "Delete IP": ends any running session, then runs the dialog. Answers the
// refilled station list when a row was deleted.
std::optional<StationList> OpenDeleteStationDialog(QWidget* parent, DialogContext& context);

}  // namespace varnex
