// Which stations the overview watches: every station of the database with a
// checkbox. A station ticked for the first time gets the settings of a new
// station; one unticked keeps its limits for when it is ticked again.
#pragma once

#include <QDialog>
#include <map>
#include <string>
#include <vector>

#include "stations/station_watch.h"

class QListWidget;
class QPushButton;

namespace varnex {

class WatchedStationsDialog : public QDialog {
    Q_OBJECT
  public:
    WatchedStationsDialog(QWidget* parent, StationStore& store);

    bool saved() const { return saved_; }

    QListWidget* stationList() const { return list_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

  private:
    void OnOk();

    StationStore& store_;
    std::map<std::string, StationWatch> watches_;
    std::vector<std::string> addresses_;  // one a row of the list
    QListWidget* list_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool saved_ = false;
};

// Opens the dialog, modal; answers whether it saved.
bool OpenWatchedStationsDialog(QWidget* parent, StationStore& store);

}  // namespace varnex
