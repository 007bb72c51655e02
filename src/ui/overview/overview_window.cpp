#include "ui/overview/overview_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <set>

#include "overview/overview_columns.h"
#include "overview/watched_stations.h"
#include "ui/stations/alarm_editor_dialog.h"
#include "ui/stations/watched_stations_dialog.h"

namespace varnex {
namespace {

using Clock = std::chrono::steady_clock;

// Changes reach the table at most this often: often enough to look live,
// seldom enough that a thousand rows cost little and stay readable.
constexpr int kApplyEveryMs = 500;

overview::SessionNews NewsOf(SessionEvent event) {
    switch (event) {
        case SessionEvent::Started:
            return overview::SessionNews::Started;
        case SessionEvent::Stopped:
            return overview::SessionNews::Stopped;
        case SessionEvent::PasswordRefused:
            return overview::SessionNews::PasswordRefused;
        case SessionEvent::Silent:
            return overview::SessionNews::Silent;
        case SessionEvent::Back:
            return overview::SessionNews::Back;
    }
    return overview::SessionNews::Stopped;
}

QPushButton* Button(const char* text, QWidget* parent) {
    return new QPushButton(QString::fromUtf8(text), parent);
}

}  // namespace

int ReadOverviewIntervalSeconds(const PlatformHooks& hooks) {
    const auto stored = hooks.readSetting(kOverviewIntervalKey);
    const int fallback = static_cast<int>(
        std::chrono::duration_cast<std::chrono::seconds>(overview::kDefaultPollInterval).count());
    if (!stored) {
        return fallback;
    }
    bool ok = false;
    const int seconds = QString::fromStdString(*stored).toInt(&ok);
    const auto longest =
        std::chrono::duration_cast<std::chrono::seconds>(overview::kLongestPollInterval).count();
    return ok && seconds >= 1 && seconds <= longest ? seconds : fallback;
}

OverviewWindow::OverviewWindow(OverviewWindowSeams seams, QWidget* parent)
    : QWidget(parent, Qt::Window), seams_(std::move(seams)) {
    setObjectName(QStringLiteral("OverviewWindow"));
    setWindowTitle(QStringLiteral("Stations Overview"));
    overview::OverviewOptions options;
    options.unitPort = seams_.unitPort;
    options.interval = std::chrono::seconds(ReadOverviewIntervalSeconds(*seams_.hooks));
    options.poller.bindAddress = seams_.bindAddress;
    // A person reads the table at most a few times a second: replies may
    // wait a little in the socket and be read together (they carry their
    // arrival time), and polls due together leave together.
    options.poller.readGap = std::chrono::milliseconds(200);
    options.poller.sendWindow = std::chrono::milliseconds(200);
    options.poller.receiveBuffer = 1 << 20;
    polling_ = new OverviewPolling(*seams_.monitor, options, this);
    model_ = new OverviewModel(polling_->overview(), this);
    proxy_ = new QSortFilterProxyModel(this);
    proxy_->setSourceModel(model_);
    // The window decides when rows move (see Resort).
    proxy_->setDynamicSortFilter(false);
    proxy_->setSortRole(OverviewModel::kSortRole);
    proxy_->setFilterRole(OverviewModel::kFilterRole);
    proxy_->setFilterKeyColumn(0);
    proxy_->setFilterCaseSensitivity(Qt::CaseInsensitive);
    BuildLayout();
    ConnectControls();
    ReloadStations();
    if (!polling_->overview().Error().empty()) {
        banner_->setText(QStringLiteral("Stations cannot be polled: ") +
                         QString::fromStdString(polling_->overview().Error()));
        banner_->show();
    }
    resize(1100, 420);
}

void OverviewWindow::BuildLayout() {
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    filter_ = new QLineEdit(this);
    filter_->setPlaceholderText(QStringLiteral("Filter: address, name, state or alarm"));
    filter_->setClearButtonEnabled(true);
    pause_ = Button("Pause", this);
    pause_->setCheckable(true);
    interval_ = new QSpinBox(this);
    interval_->setRange(1, static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(
                                                overview::kLongestPollInterval)
                                                .count()));
    interval_->setPrefix(QStringLiteral("Poll every "));
    interval_->setSuffix(QStringLiteral(" s"));
    interval_->setValue(ReadOverviewIntervalSeconds(*seams_.hooks));
    alarmSettings_ = Button("Alarm Settings...", this);
    watchedStations_ = Button("Watched Stations...", this);
    alarmList_ = Button("Alarm List...", this);
    bar->addWidget(filter_, 1);
    bar->addWidget(interval_);
    bar->addWidget(pause_);
    bar->addSpacing(12);
    bar->addWidget(alarmSettings_);
    bar->addWidget(watchedStations_);
    bar->addWidget(alarmList_);
    layout->addLayout(bar);

    banner_ = new QLabel(this);
    banner_->setObjectName(QStringLiteral("NetworkDownBanner"));
    banner_->setStyleSheet(QStringLiteral(
        "QLabel { background: #b00020; color: white; font-weight: bold; padding: 6px; }"));
    banner_->setWordWrap(true);
    banner_->hide();
    layout->addWidget(banner_);

    table_ = new QTableView(this);
    table_->setModel(proxy_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(static_cast<int>(overview::Column::Address), Qt::AscendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setContextMenuPolicy(Qt::CustomContextMenu);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->viewport()->installEventFilter(this);
    // Each column about as wide as the widest text it will hold.
    const auto widthOf = [this](const char* text) {
        return table_->fontMetrics().horizontalAdvance(QString::fromUtf8(text)) + 14;
    };
    const std::vector<std::pair<overview::Column, const char*>> widths = {
        {overview::Column::State, "silent for 999 s (session)"},
        {overview::Column::Alarms, "Voltmeter 3 above 14.00 V: 15.50 V"},
        {overview::Column::Loss, "Loss (1 h)"},
        {overview::Column::RoundTrip, "Round trip"},
        {overview::Column::Address, "127.100.100.100"},
        {overview::Column::Name, "A station name"},
        {overview::Column::Temperature, "Temperature"},
        {overview::Column::Relays, "Relays (ON: at rest)"},
        {overview::Column::Pins, "Pins 1-5"},
        {overview::Column::Uptime, "999 d 00:00:00"},
    };
    for (const auto& [column, text] : widths) {
        table_->setColumnWidth(static_cast<int>(column), widthOf(text));
    }
    for (int c = static_cast<int>(overview::Column::Voltage1);
         c <= static_cast<int>(overview::Column::Voltage8); ++c) {
        table_->setColumnWidth(c, widthOf("Voltage 8"));
    }
    layout->addWidget(table_, 1);

    summary_ = new QLabel(this);
    layout->addWidget(summary_);
}

void OverviewWindow::ConnectControls() {
    connect(polling_, &OverviewPolling::rowsChanged, this, [this] {
        for (const std::size_t row : polling_->overview().TakeChangedRows()) {
            pendingRows_.push_back(row);
        }
        if (!pendingRows_.empty()) {
            ScheduleApply();
        }
    });
    connect(polling_, &OverviewPolling::roundEvaluated, this,
            [this](const alarms::RoundOutcome& outcome) {
                seams_.showAlarms(polling_->overview().Alarms(), outcome);
                ScheduleApply();
            });
    apply_.setSingleShot(true);
    apply_.setInterval(kApplyEveryMs);
    connect(&apply_, &QTimer::timeout, this, &OverviewWindow::ApplyUpdates);
    ages_.setInterval(1000);
    connect(&ages_, &QTimer::timeout, this, [this] { model_->StatesAged(); });
    ages_.start();
    connect(filter_, &QLineEdit::textChanged, this,
            [this](const QString& text) { proxy_->setFilterFixedString(text); });
    connect(pause_, &QPushButton::toggled, this, [this](bool paused) {
        pause_->setText(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
        polling_->overview().SetPaused(paused, Clock::now());
        polling_->Reschedule();
        ApplyUpdates();
    });
    connect(interval_, &QSpinBox::valueChanged, this, [this](int seconds) {
        seams_.hooks->writeSetting(kOverviewIntervalKey, std::to_string(seconds));
        polling_->overview().SetInterval(std::chrono::seconds(seconds), Clock::now());
        polling_->Reschedule();
        ShowSummary();
    });
    connect(table_, &QTableView::doubleClicked, this, &OverviewWindow::StartSessionOf);
    connect(table_, &QWidget::customContextMenuRequested, this, &OverviewWindow::ShowContextMenu);
    connect(alarmSettings_, &QPushButton::clicked, this, &OverviewWindow::OpenAlarmSettings);
    connect(watchedStations_, &QPushButton::clicked, this, &OverviewWindow::OpenWatchedStations);
    connect(alarmList_, &QPushButton::clicked, this, [this] { seams_.openAlarmList(); });
    // A click on a header sorts at once, pointer or not.
    connect(table_->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            [this] { resortPending_ = false; });
}

void OverviewWindow::ReloadStations() {
    const auto stations = overview::LoadWatchedStations(*seams_.stations);
    if (!stations) {
        return;  // the database said why; the rows stay as they were
    }
    const std::vector<std::string> selected = SelectedStations();
    const std::string current = CurrentStation();
    polling_->overview().SetStations(*stations, Clock::now());
    polling_->overview().TakeChangedRows();
    pendingRows_.clear();
    model_->Reset();
    proxy_->invalidate();
    // The selection follows the stations, wherever their rows now are.
    auto* selection = table_->selectionModel();
    for (const std::string& ip : selected) {
        const int row = model_->RowOf(ip);
        if (row >= 0) {
            const QModelIndex at = proxy_->mapFromSource(model_->index(row, 0));
            selection->select(at, QItemSelectionModel::Select | QItemSelectionModel::Rows);
            if (ip == current) {
                selection->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
            }
        }
    }
    polling_->Reschedule();
    ShowSummary();
}

SessionObserver OverviewWindow::SessionFeed() {
    SessionObserver observer;
    observer.statusRecord = [this](const std::string& ip, const StatusRecord& record,
                                   const VoltmeterJumpers& jumpers) {
        polling_->overview().OnSessionRecord(ip, record, jumpers, Clock::now());
        emit polling_->rowsChanged();
    };
    observer.event = [this](const std::string& ip, SessionEvent event) {
        polling_->overview().OnSession(ip, NewsOf(event), Clock::now());
        polling_->Reschedule();
        emit polling_->rowsChanged();
    };
    return observer;
}

void OverviewWindow::SessionAlreadyRunning(const std::string& ip) {
    SessionFeed().event(ip, SessionEvent::Started);
}

void OverviewWindow::ScheduleApply() {
    if (!apply_.isActive()) {
        apply_.start();
    }
}

void OverviewWindow::ApplyUpdates() {
    apply_.stop();
    std::sort(pendingRows_.begin(), pendingRows_.end());
    pendingRows_.erase(std::unique(pendingRows_.begin(), pendingRows_.end()), pendingRows_.end());
    const bool changed = !pendingRows_.empty();
    model_->RowsChanged(pendingRows_);
    pendingRows_.clear();
    // Rows move only when the pointer is elsewhere; until then the order stands.
    if (table_->viewport()->underMouse()) {
        resortPending_ = resortPending_ || changed;
    } else if (changed || resortPending_) {
        Resort();
    }
    const bool down = polling_->overview().Alarms().NetworkDown() && !polling_->overview().Paused();
    if (polling_->overview().Error().empty()) {
        banner_->setText(QString::fromUtf8(kNetworkDownText));
        banner_->setVisible(down);
    }
    ShowSummary();
}

void OverviewWindow::Resort() {
    resortPending_ = false;
    // Sorting and filtering again keep the persistent indexes, so the
    // selection and the current row stay with their stations.
    proxy_->invalidate();
    proxy_->sort(table_->horizontalHeader()->sortIndicatorSection(),
                 table_->horizontalHeader()->sortIndicatorOrder());
}

bool OverviewWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_->viewport() && event->type() == QEvent::Leave && resortPending_) {
        Resort();
    }
    return QWidget::eventFilter(watched, event);
}

void OverviewWindow::ShowSummary() {
    const auto& rows = polling_->overview().Rows();
    const auto inAlarm =
        std::count_if(rows.begin(), rows.end(),
                      [](const overview::OverviewRow& r) { return !r.openAlarms.empty(); });
    QString text = QStringLiteral("%1 watched stations, %2 in alarm").arg(rows.size()).arg(inAlarm);
    text += polling_->overview().Paused()
                ? QStringLiteral("; polling paused")
                : QStringLiteral("; polled every %1 s").arg(interval_->value());
    if (proxy_->rowCount() != static_cast<int>(rows.size())) {
        text += QStringLiteral("; %1 shown").arg(proxy_->rowCount());
    }
    summary_->setText(text);
}

std::vector<std::string> OverviewWindow::ShownStations() const {
    std::vector<std::string> ips;
    for (int r = 0; r < proxy_->rowCount(); ++r) {
        ips.push_back(
            proxy_->index(r, 0).data(OverviewModel::kAddressRole).toString().toStdString());
    }
    return ips;
}

std::vector<std::string> OverviewWindow::SelectedStations() const {
    std::vector<std::string> ips;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows()) {
        ips.push_back(index.data(OverviewModel::kAddressRole).toString().toStdString());
    }
    return ips;
}

std::string OverviewWindow::CurrentStation() const {
    const QModelIndex current = table_->selectionModel()->currentIndex();
    return current.isValid() ? current.data(OverviewModel::kAddressRole).toString().toStdString()
                             : std::string();
}

void OverviewWindow::StartSessionOf(const QModelIndex& index) {
    if (index.isValid()) {
        seams_.startSession(index.data(OverviewModel::kAddressRole).toString().toStdString());
    }
}

void OverviewWindow::OpenAlarmSettings() {
    const std::string ip = CurrentStation();
    const auto station =
        ip.empty() ? std::nullopt : seams_.stations->LoadStation(MessageOwner::ActiveDialog, ip);
    if (!station) {
        QMessageBox::information(this, windowTitle(),
                                 QStringLiteral("Choose a station in the overview first."));
        return;
    }
    const auto interval = static_cast<uint32_t>(interval_->value());
    if (OpenAlarmEditor(this, *seams_.stations, *station, interval)) {
        ReloadStations();
    }
}

void OverviewWindow::OpenWatchedStations() {
    if (OpenWatchedStationsDialog(this, *seams_.stations)) {
        ReloadStations();
    }
}

void OverviewWindow::ShowContextMenu(const QPoint& at) {
    const QModelIndex index = table_->indexAt(at);
    QMenu menu(this);
    QAction* start = menu.addAction(QStringLiteral("Start Session"));
    start->setEnabled(index.isValid());
    connect(start, &QAction::triggered, this, [this, index] { StartSessionOf(index); });
    menu.addAction(QStringLiteral("Alarm Settings..."), this, &OverviewWindow::OpenAlarmSettings)
        ->setEnabled(index.isValid());
    menu.addAction(QStringLiteral("Watched Stations..."), this,
                   &OverviewWindow::OpenWatchedStations);
    menu.addAction(QStringLiteral("Alarm List..."), this, [this] { seams_.openAlarmList(); });
    menu.exec(table_->viewport()->mapToGlobal(at));
}

void OverviewWindow::CloseWithProgram() {
    closingWithProgram_ = true;
    close();
}

void OverviewWindow::closeEvent(QCloseEvent* event) {
    if (!closingWithProgram_) {
        seams_.hooks->writeSetting(kOverviewOpenKey, "0");
    }
    event->accept();
}

OverviewWindow* ShowOverviewWindow(QWidget* parent, OverviewWindowSeams seams) {
    auto* existing = parent->findChild<OverviewWindow*>(QStringLiteral("OverviewWindow"));
    if (existing != nullptr) {
        existing->show();
        existing->raise();
        existing->activateWindow();
        return existing;
    }
    seams.hooks->writeSetting(kOverviewOpenKey, "1");
    auto* window = new OverviewWindow(std::move(seams), parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

}  // namespace varnex
