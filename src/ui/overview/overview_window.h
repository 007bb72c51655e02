// The Stations Overview: one row per watched station, polled by the fleet
// poller on this thread (the main window's session station excepted, which
// the session feeds). Sortable, filterable; updates are applied in batches
// and the order stands still while the pointer is over the table, so a row
// never moves under the user's hand; the selection follows the station.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform_hooks.h"
#include "session/session.h"
#include "stations/station_store.h"
#include "ui/overview/overview_model.h"
#include "ui/overview/overview_polling.h"

namespace varnex {

inline constexpr const char* kOverviewOpenKey = "Options/Overview/Open";
inline constexpr const char* kOverviewIntervalKey = "Options/Overview/IntervalSeconds";
inline constexpr const char* kNetworkDownText =
    "No watched station answers: this computer's own network may be down.";

struct OverviewWindowSeams {
    StationStore* stations = nullptr;
    PlatformHooks* hooks = nullptr;           // the settings store
    alarms::AlarmMonitor* monitor = nullptr;  // outlives the window, with the alarm list
    uint16_t unitPort = 7;
    std::string bindAddress = "0.0.0.0";
    // The main window chooses the station and starts its session.
    std::function<void(const std::string& ip)> startSession = [](const std::string&) {};
    // Each evaluated round, for the alarm list and notifications.
    std::function<void(const alarms::AlarmMonitor&, const alarms::RoundOutcome&)> showAlarms =
        [](const alarms::AlarmMonitor&, const alarms::RoundOutcome&) {};
    std::function<void()> openAlarmList = [] {};
};

// The stored polling interval in seconds, or the default.
int ReadOverviewIntervalSeconds(const PlatformHooks& hooks);

class OverviewWindow : public QWidget {
    Q_OBJECT
  public:
    OverviewWindow(OverviewWindowSeams seams, QWidget* parent = nullptr);

    // Reads the watched stations again (after the dialogs and list changes).
    void ReloadStations();
    // The main window's session, as its observer hears it; `running` names
    // the station of a session already running when the window opens.
    SessionObserver SessionFeed();
    void SessionAlreadyRunning(const std::string& ip);
    // Closing with the program keeps the window remembered open.
    void CloseWithProgram();

    OverviewPolling& polling() { return *polling_; }
    OverviewModel* model() const { return model_; }
    QSortFilterProxyModel* proxy() const { return proxy_; }
    QTableView* table() const { return table_; }
    QLineEdit* filterField() const { return filter_; }
    QPushButton* pauseButton() const { return pause_; }
    QSpinBox* intervalField() const { return interval_; }
    QPushButton* alarmSettingsButton() const { return alarmSettings_; }
    QPushButton* watchedStationsButton() const { return watchedStations_; }
    QPushButton* alarmListButton() const { return alarmList_; }
    QLabel* banner() const { return banner_; }
    QLabel* summary() const { return summary_; }
    // The addresses of the rows as shown, top to bottom.
    std::vector<std::string> ShownStations() const;
    std::vector<std::string> SelectedStations() const;
    // Applies what is waiting now instead of at the next batch.
    void ApplyUpdates();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildLayout();
    void ConnectControls();
    void ScheduleApply();
    void Resort();
    void ShowSummary();
    void OpenAlarmSettings();
    void OpenWatchedStations();
    void ShowContextMenu(const QPoint& at);
    std::string CurrentStation() const;
    void StartSessionOf(const QModelIndex& index);

    OverviewWindowSeams seams_;
    OverviewPolling* polling_;
    OverviewModel* model_;
    QSortFilterProxyModel* proxy_;
    QTableView* table_;
    QLineEdit* filter_;
    QPushButton* pause_;
    QSpinBox* interval_;
    QPushButton* alarmSettings_;
    QPushButton* watchedStations_;
    QPushButton* alarmList_;
    QLabel* banner_;
    QLabel* summary_;
    QTimer apply_;  // batches the rows' changes
    QTimer ages_;   // silent rows' ages move on
    std::vector<std::size_t> pendingRows_;
    bool resortPending_ = false;
    bool closingWithProgram_ = false;
};

// Opens (or raises) the overview; answers it.
OverviewWindow* ShowOverviewWindow(QWidget* parent, OverviewWindowSeams seams);

}  // namespace varnex
