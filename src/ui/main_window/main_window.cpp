#include "ui/main_window/main_window.h"

#include <QCloseEvent>
#include <QInputDialog>
#include <QMenuBar>
#include <QStatusBar>
#include <algorithm>

#include "session/command_line.h"
#include "session/network_commands.h"
#include "stations/database_location.h"
#include "stations/seed_database.h"
#include "stations/station_list_rules.h"
#include "stations/station_message.h"
#include "stations/station_watch.h"
#include "ui/about/about_box.h"
#include "ui/automation/daughter_board_dialogs.h"
#include "ui/automation/io_control_dialog.h"
#include "ui/automation/relay_scripts_dialog.h"
#include "ui/automation/relay_timer_dialog.h"
#include "ui/automation/temperature_control_dialog.h"
#include "ui/history/history_window.h"
#include "ui/main_window/button_images.h"
#include "ui/main_window/display_renderer.h"
#include "ui/settings/change_mac_dialog.h"
#include "ui/settings/change_remote_ip_dialog.h"
#include "ui/settings/relay_control_dialog.h"
#include "ui/settings/security_settings_dialog.h"
#include "ui/settings/station_name_dialog.h"
#include "ui/settings/uptime_dialog.h"
#include "ui/settings/voltmeter_options_dialog.h"
#include "ui/stations/database_options_dialog.h"
#include "ui/stations/delete_station_dialog.h"
#include "ui/stations/station_dialog.h"
#include "ui/widgets/qt_platform_hooks.h"

namespace varnex {

namespace {

QFont WindowFont() {
    QFont font(QStringLiteral("MS Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace

MainWindow::MainWindow(MainWindowOptions options) {
    // Fixed size: caption, system menu, minimise and close, no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Varnex"));
    setWindowIcon(ButtonIcon(ButtonImage::Program));
    setFont(WindowFont());
    hooks_ = options.makeHooks ? options.makeHooks(this) : MakeQtPlatformHooks(this);
    stations_ = std::make_unique<StationStore>(hooks_);

    SessionSeams seams;
    seams.lookupStation = [this](const std::string& ip) {
        return stations_->LoadStation(MessageOwner::MainWindow, ip);
    };
    seams.stationListText = [this] { return ListText(); };
    seams.link = options.link;
    session_ = std::make_unique<Session>(hooks_, std::move(seams));
    session_->SetSocketChanged([this](int fd) { return FollowSocket(fd); });
    session_->SetObserver(ForwardingObserver());
    unitPort_ = options.link.unitPort;
    alarmCentre_ = std::make_unique<AlarmCentre>(alarmMonitor_);
    // A box or dialog may follow a reset at once; its event loop must find
    // the poll stopped and the window Idle.
    session_->SetSessionReset([this] { AfterEvent(); });
    context_ = std::make_unique<DialogContext>(DialogContext{*session_, *stations_, hooks_});

    auto* central = new QWidget(this);
    setCentralWidget(central);
    controls_ = BuildMainWindowControls(central, statusBar());
    ApplyFixedColours(controls_);

    BuildMenu();
    CreateTimers();
    ConnectCommands();
    AfterEvent();
    setFixedSize(sizeHint());
}

MainWindow::~MainWindow() {
    // Hidden first: closing a shown window from QWidget's destructor would
    // move the focus and fire the station list's signals into members that
    // are already gone.
    hide();
    Shutdown();
    // Before the alarm monitor it polls for goes with the members.
    delete overview_.data();
}

void MainWindow::BuildMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->addAction(QStringLiteral("DataBase"), this, [this] {
        OpenDatabaseOptionsDialog(this, *context_, databaseLocation_);
        OpenHistory();
        AfterEvent();
    });
    options->addAction(QStringLiteral("History..."), this, &MainWindow::ShowHistory);
    options->addAction(QStringLiteral("History Retention..."), this, &MainWindow::AskRetention);
    options->addAction(QStringLiteral("Stations Overview"), this, [this] { ShowOverview(); });
    options->addAction(QStringLiteral("Alarm List..."), this,
                       [this] { alarmCentre_->OpenAlarmList(); });
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&About"), this, &MainWindow::ShowAboutBox);
}

// One QTimer per id of the core's table; SyncTimers starts and stops them.
void MainWindow::CreateTimers() {
    for (const WindowTimer& timer : session_->timers()) {
        auto* qtimer = new QTimer(this);
        qtimer->setInterval(timer.periodMs);
        const int id = timer.id;
        qtimer->setObjectName(QStringLiteral("timer%1").arg(id));
        connect(qtimer, &QTimer::timeout, this, [this, id] {
            session_->OnTimer(id);
            if (id == kPulseTimer) {
                RenderPulse(session_->display(), controls_);  // twenty times a second
                return;
            }
            AfterEvent();
        });
        timers_[id] = qtimer;
    }
}

void MainWindow::ConnectCommands() {
    MainWindowControls& c = controls_;
    const auto on = [this](auto* sender, auto signal, std::function<void()> action) {
        connect(sender, signal, this, [this, action = std::move(action)] {
            action();
            AfterEvent();
        });
    };
    on(c.start, &QPushButton::clicked, [this] { session_->StartSession(); });
    on(c.stop, &QPushButton::clicked, [this] { session_->ResetSession(); });
    on(c.exit, &QPushButton::clicked, [this] { close(); });
    on(c.stationList, &StationListBox::popupOpening, [this] { session_->ResetSession(); });
    on(c.stationList, &QComboBox::activated, [this] { session_->OnStationChosen(); });
    on(c.addIp, &QPushButton::clicked, [this] {
        RefillStationList(OpenStationDialog(this, *context_, StationDialogMode::Add, ListText()));
    });
    on(c.editIp, &QPushButton::clicked, [this] {
        RefillStationList(OpenStationDialog(this, *context_, StationDialogMode::Edit, ListText()));
    });
    on(c.deleteIp, &QPushButton::clicked,
       [this] { RefillStationList(OpenDeleteStationDialog(this, *context_)); });
    on(c.setDefault, &QPushButton::clicked,
       [this] { RefillStationList(RunSetDefault(*context_, ListText())); });
    on(c.about, &QPushButton::clicked, [this] { ShowAboutBox(); });
    on(c.history, &QPushButton::clicked, [this] { ShowHistory(); });
    on(c.autoPing, &QPushButton::clicked,
       [this] { RunAutoPing(hooks_, session_->station().address); });
    on(c.autoAddRoute, &QPushButton::clicked, [this] { AutoAddRoute(); });
    on(c.stopTimer, &QPushButton::clicked,
       [this] { session_->SendCommand(Command::StopRelayTimer); });
    ConnectFeatureDialogs();
}

void MainWindow::ConnectFeatureDialogs() {
    MainWindowControls& c = controls_;
    // Each dialog is modal and owned by the window; the display follows
    // whatever happened while it was open.
    const auto opens = [this](auto* button, std::function<void(DialogContext&)> open) {
        connect(button, &QAbstractButton::clicked, this, [this, open = std::move(open)] {
            open(*context_);
            AfterEvent();
        });
    };
    for (int n = 1; n <= static_cast<int>(kDisplayVoltmeters); ++n) {
        opens(c.voltmeters[static_cast<std::size_t>(n - 1)].options,
              [this, n](DialogContext& context) {
                  const VoltmeterJumpers before = JumpersOf(session_->station());
                  OpenVoltmeterOptionsDialog(this, context, n);
                  // A jumper changed there changes how the overview scales the readings.
                  if (overview_) {
                      overview_->ReloadStations();
                  }
                  if (JumpersOf(session_->station()) != before) {
                      CheckAlarmLimitsAfterJumperChange();
                  }
              });
    }
    for (int n = 1; n <= static_cast<int>(kDisplayRelays); ++n) {
        opens(c.relayButtons[static_cast<std::size_t>(n - 1)],
              [this, n](DialogContext& context) { OpenRelayControlDialog(this, context, n); });
    }
    for (int n = 1; n <= static_cast<int>(kDisplayPins); ++n) {
        opens(c.pinButtons[static_cast<std::size_t>(n - 1)],
              [this, n](DialogContext& context) { OpenIoControlDialog(this, context, n); });
    }
    opens(c.runMake, [this](DialogContext& context) { OpenRelayScriptsDialog(this, context); });
    opens(c.timerButton, [this](DialogContext& context) { OpenRelayTimerDialog(this, context); });
    opens(c.temperatureButton,
          [this](DialogContext& context) { OpenTemperatureControlDialog(this, context); });
    opens(c.daughterBoardButton,
          [this](DialogContext& context) { OpenDaughterBoardDialog(this, context); });
    opens(c.changeMacAddress,
          [this](DialogContext& context) { OpenChangeMacDialog(this, context); });
    opens(c.changeIpAddress, [this](DialogContext& context) {
        const std::string from = session_->stationIp();
        const std::optional<std::string> to = OpenChangeRemoteIpDialog(this, context);
        if (to && history_) {
            history_->MoveStation(from, *to);
        }
        if (to) {
            // Its watch and alarm limits follow the station; a failure is shown by the store.
            MoveStationWatch(*stations_, from, *to);
            if (overview_) {
                overview_->ReloadStations();
            }
        }
    });
    opens(c.setStationName,
          [this](DialogContext& context) { OpenStationNameDialog(this, context); });
    opens(c.securitySettings, [this](DialogContext& context) {
        RefillStationList(OpenSecuritySettingsDialog(this, context));
    });
    opens(c.uptime, [this](DialogContext& context) { OpenUptimeDialog(this, context); });
}

// A jumper sets a voltmeter's range, so limits that fitted the old range may
// lie outside the new one, where they would never raise an alarm.
void MainWindow::CheckAlarmLimitsAfterJumperChange() {
    const std::optional<std::map<std::string, StationWatch>> watches =
        LoadStationWatches(*stations_);
    if (!watches) {
        return;
    }
    const auto watch = watches->find(session_->stationIp());
    if (watch == watches->end() || !watch->second.watched) {
        return;
    }
    const std::optional<std::string> error =
        StationWatchError(watch->second, JumpersOf(session_->station()),
                          static_cast<uint32_t>(ReadOverviewIntervalSeconds(hooks_)));
    if (error) {
        ShowStationMessage(hooks_, MessageOwner::MainWindow,
                           *error + "\r\nChange the limits in Alarm Settings.",
                           MessageIcon::Exclamation);
    }
}

void MainWindow::AfterEvent() {
    RenderDisplayState(session_->display(), controls_);
    SyncTimers();
    ShowHistoryMessage();
}

void MainWindow::ShowHistoryMessage() {
    constexpr int kShownMs = 20000;
    if (!history_) {
        return;
    }
    if (const std::optional<std::string> message = history_->TakeMessage()) {
        statusBar()->showMessage(QString::fromStdString(*message), kShownMs);
    }
}

void MainWindow::OpenHistory() {
    if (history_ && historyDatabasePath_ == databaseLocation_.path) {
        return;
    }
    historyDatabasePath_ = databaseLocation_.path;
    historyObserver_ = {};
    alarmCentre_->SetHistoryWriter(nullptr);
    history_.reset();  // the old writer finishes first
    history_ = std::make_unique<HistoryRecorder>(databaseLocation_.path, DefaultDatabaseLocation(),
                                                 ReadRetentionDays(hooks_));
    historyObserver_ = history_->Observer();
    alarmCentre_->SetHistoryWriter(history_->writer());
}

SessionObserver MainWindow::ForwardingObserver() {
    SessionObserver observer;
    observer.statusRecord = [this](const std::string& ip, const StatusRecord& record,
                                   const VoltmeterJumpers& jumpers) {
        historyObserver_.statusRecord(ip, record, jumpers);
        if (overview_) {
            overviewObserver_.statusRecord(ip, record, jumpers);
        }
    };
    observer.event = [this](const std::string& ip, SessionEvent event) {
        historyObserver_.event(ip, event);
        if (overview_) {
            overviewObserver_.event(ip, event);
        }
    };
    return observer;
}

OverviewWindow* MainWindow::ShowOverview() {
    const bool opening = !overview_;
    OverviewWindowSeams seams;
    seams.stations = stations_.get();
    seams.hooks = &hooks_;
    seams.monitor = &alarmMonitor_;
    seams.unitPort = unitPort_;
    seams.showAlarms = [this](const alarms::AlarmMonitor& monitor,
                              const alarms::RoundOutcome& outcome) {
        alarmCentre_->Show(monitor, outcome);
    };
    seams.openAlarmList = [this] { alarmCentre_->OpenAlarmList(); };
    seams.startSession = [this](const std::string& ip) { StartSessionWith(ip); };
    overview_ = ShowOverviewWindow(this, std::move(seams));
    if (opening) {
        overviewObserver_ = overview_->SessionFeed();
        const auto& timers = session_->timers();
        if (std::any_of(timers.begin(), timers.end(), [](const WindowTimer& timer) {
                return timer.id == kPollTimer && timer.running;
            })) {
            overview_->SessionAlreadyRunning(session_->stationIp());
        }
    }
    return overview_;
}

void MainWindow::StartSessionWith(const std::string& ip) {
    const std::optional<LoadedStation> station =
        stations_->LoadStation(MessageOwner::MainWindow, ip);
    if (!station) {
        return;
    }
    session_->ResetSession(kEndedForStationChoiceText);
    controls_.stationList->setEditText(
        QString::fromStdString(StationListLine(station->address, station->comment)));
    session_->StartSession();
    AfterEvent();
    raise();
    activateWindow();
}

void MainWindow::ShowHistory() {
    HistoryWindowSeams seams;
    seams.historyPath = history_ ? history_->path() : std::string();
    seams.station = [this](const std::string& ip) {
        return stations_->LoadStation(MessageOwner::MainWindow, ip);
    };
    seams.preferredStation = session_->stationIp();
    ShowHistoryWindow(this, std::move(seams));
}

void MainWindow::AskRetention() {
    bool ok = false;
    const int days =
        QInputDialog::getInt(this, QStringLiteral("History Retention"),
                             QStringLiteral("Keep readings for how many days?"),
                             ReadRetentionDays(hooks_), 1, kLongestRetentionDays, 1, &ok);
    if (ok) {
        hooks_.writeSetting(kRetentionDaysKey, std::to_string(days));
        if (history_) {
            history_->SetRetentionDays(days);
        }
    }
    AfterEvent();
}

void MainWindow::SyncTimers() {
    for (const WindowTimer& timer : session_->timers()) {
        QTimer* qtimer = timers_.at(timer.id);
        if (timer.running && !qtimer->isActive()) {
            qtimer->start();
        } else if (!timer.running && qtimer->isActive()) {
            qtimer->stop();
        }
    }
}

bool MainWindow::FollowSocket(int fd) {
    if (socketNotifier_ != nullptr) {
        // The change may happen inside the old notifier's own signal.
        socketNotifier_->setEnabled(false);
        socketNotifier_->deleteLater();
        socketNotifier_ = nullptr;
    }
    if (fd < 0) {
        return true;
    }
    socketNotifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(socketNotifier_, &QSocketNotifier::activated, this, [this] {
        session_->OnSocketNotification();
        AfterEvent();
    });
    return socketNotifier_->isValid();
}

bool MainWindow::StartUp(const std::vector<std::string>& argv) {
    databaseLocation_.path = ReadDatabaseLocation(hooks_, DefaultDatabaseLocation());
    WriteSeedDatabaseIfMissing(databaseLocation_.path);
    stations_->OpenStationStore(databaseLocation_.path);
    OpenHistory();
    RefillStationList(stations_->FillStationList(MessageOwner::MainWindow));
    const StartUpOutcome outcome = session_->StartUp(ReadStartUpCommand(JoinCommandLine(argv)));
    if (outcome.showsStation) {
        const LoadedStation& station = session_->station();
        controls_.stationList->setEditText(
            QString::fromStdString(StationListLine(station.address, station.comment)));
    }
    if (outcome.closes) {
        Shutdown();
    } else if (hooks_.readSetting(kOverviewOpenKey) == std::optional<std::string>("1")) {
        ShowOverview();
    }
    AfterEvent();
    return !outcome.closes;
}

std::string MainWindow::ListText() const {
    return controls_.stationList->currentText().toStdString();
}

void MainWindow::RefillStationList(const std::optional<StationList>& list) {
    if (!list) {
        return;  // the table could not be read: the list stays as it was
    }
    QStringList lines;
    for (const std::string& line : list->lines) {
        lines << QString::fromStdString(line);
    }
    controls_.stationList->clear();
    controls_.stationList->addItems(lines);
    controls_.stationList->setEditText(QString::fromStdString(list->text));
    if (overview_) {
        overview_->ReloadStations();
    }
}

void MainWindow::ShowAboutBox() {
    AboutBox box(this);
    box.exec();
    AfterEvent();
}

void MainWindow::AutoAddRoute() {
    session_->ResetSession(kEndedForRouteText);
    session_->link().StartNetworking();
    RunAutoAddRoute(hooks_, session_->station().address);
}

void MainWindow::Shutdown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    if (overview_) {
        overview_->CloseWithProgram();
    }
    session_->Shutdown();
    stations_->CloseStationStore();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    Shutdown();
    AfterEvent();
    event->accept();
}

}  // namespace varnex
