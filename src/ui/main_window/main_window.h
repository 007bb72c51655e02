// The main window: owns the session, the station database and the platform
// hooks for the program's run, forwards every user action to the core and
// renders the core's display state after every event.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform_hooks.h"
#include "protocol/device_link.h"
#include "session/session.h"
#include "stations/database_options.h"
#include "stations/station_store.h"
#include "alarms/alarm_monitor.h"
#include "ui/alarms/alarm_centre.h"
#include "ui/history/history_recorder.h"
#include "ui/main_window/main_window_controls.h"
#include "ui/overview/overview_window.h"
#include "ui/widgets/dialog_context.h"

namespace varnex {

struct MainWindowOptions {
    // Tests replace the hooks that reach the user or other programs.
    std::function<PlatformHooks(QWidget* mainWindow)> makeHooks;
    LinkOptions link{UnitPortFromEnvironment()};
};

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(MainWindowOptions options = {});
    ~MainWindow() override;

    // Settings, seed database, station list, then the command line (program
    // path first). False when the command line closes the program.
    bool StartUp(const std::vector<std::string>& argv);

    MainWindowControls& controls() { return controls_; }
    Session& session() { return *session_; }
    StationStore& stations() { return *stations_; }
    PlatformHooks& hooks() { return hooks_; }
    DialogContext& dialogContext() { return *context_; }
    // Null until start-up has found the station database.
    HistoryRecorder* history() { return history_.get(); }
    // Null while the Stations Overview is closed.
    OverviewWindow* overview() { return overview_; }
    OverviewWindow* ShowOverview();
    AlarmCentre& alarmCentre() { return *alarmCentre_; }

    // Renders the display state and brings the timers in step with the
    // core's table; every event handler ends with it.
    void AfterEvent();
    // Tells the user when the station's alarm limits no longer fit its voltmeters' ranges.
    void CheckAlarmLimitsAfterJumperChange();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenu();
    void CreateTimers();
    void ConnectCommands();
    void ConnectFeatureDialogs();
    void SyncTimers();
    bool FollowSocket(int fd);
    std::string ListText() const;
    // Shows the list a database change answered; nullopt leaves it as it is.
    void RefillStationList(const std::optional<StationList>& list);
    void ShowAboutBox();
    void AutoAddRoute();
    void Shutdown();
    // history.sqlite follows the station database's folder.
    void OpenHistory();
    void AskRetention();
    void ShowHistory();
    void ShowHistoryMessage();
    // Chooses the station in the list and starts its session (the overview's double-click).
    void StartSessionWith(const std::string& ip);
    // The session's records and events go to history and to the overview.
    SessionObserver ForwardingObserver();

    PlatformHooks hooks_;
    // Outlives the session, which reports its end while shutting down.
    std::unique_ptr<HistoryRecorder> history_;
    std::string historyDatabasePath_;
    SessionObserver historyObserver_;
    alarms::AlarmMonitor alarmMonitor_;
    std::unique_ptr<AlarmCentre> alarmCentre_;
    QPointer<OverviewWindow> overview_;
    SessionObserver overviewObserver_;
    uint16_t unitPort_ = 7;
    std::unique_ptr<Session> session_;
    std::unique_ptr<StationStore> stations_;
    std::unique_ptr<DialogContext> context_;
    DatabaseLocationMemory databaseLocation_;
    MainWindowControls controls_;
    std::map<int, QTimer*> timers_;
    QSocketNotifier* socketNotifier_ = nullptr;
    bool shutDown_ = false;
};

}  // namespace varnex
