#include "ui/alarms/alarm_list_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <set>

namespace varnex {
namespace {

QString SummaryText(const std::vector<alarms::Alarm>& alarms) {
    const auto open = std::count_if(alarms.begin(), alarms.end(),
                                    [](const alarms::Alarm& a) { return a.Open(); });
    const auto unacknowledged =
        std::count_if(alarms.begin(), alarms.end(),
                      [](const alarms::Alarm& a) { return a.Open() && !a.acknowledged; });
    if (open == 0) {
        return QStringLiteral("No open alarms");
    }
    return QStringLiteral("%1 open %2, %3 not acknowledged")
        .arg(open)
        .arg(open == 1 ? QStringLiteral("alarm") : QStringLiteral("alarms"))
        .arg(unacknowledged);
}

}  // namespace

AlarmListWindow::AlarmListWindow(alarms::AlarmMonitor& monitor, QWidget* parent)
    : QWidget(parent, Qt::Window),
      monitor_(monitor),
      summary_(new QLabel),
      networkDown_(new QLabel(
          QStringLiteral("All watched stations are silent: this computer's network may be down."))),
      table_(new QTableView),
      acknowledge_(new QPushButton(QStringLiteral("Acknowledge"))),
      acknowledgeAll_(new QPushButton(QStringLiteral("Acknowledge All"))) {
    setWindowTitle(QStringLiteral("Alarms"));
    networkDown_->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    table_->setModel(&model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    QHeaderView* header = table_->horizontalHeader();
    header->setStretchLastSection(false);
    // The widths follow the rows in view: measuring a thousand rows on every
    // round would hold up the event loop.
    header->setResizeContentsPrecision(0);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(AlarmTableModel::Description, QHeaderView::Stretch);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(summary_, 1);
    buttons->addWidget(acknowledge_);
    buttons->addWidget(acknowledgeAll_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(networkDown_);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);

    connect(acknowledge_, &QPushButton::clicked, this, [this] { Acknowledge(false); });
    connect(acknowledgeAll_, &QPushButton::clicked, this, [this] { Acknowledge(true); });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { UpdateButtons(); });
    resize(860, 420);
    Refresh();
}

void AlarmListWindow::Refresh() {
    std::set<uint64_t> selected;
    for (const QModelIndex& row : table_->selectionModel()->selectedRows()) {
        selected.insert(model_.alarms()[static_cast<std::size_t>(row.row())].id);
    }
    model_.SetAlarms(monitor_.Alarms());
    QItemSelection selection;
    for (int row = 0; row < model_.rowCount(); ++row) {
        if (selected.contains(model_.alarms()[static_cast<std::size_t>(row)].id)) {
            selection.select(model_.index(row, 0),
                             model_.index(row, AlarmTableModel::ColumnCount - 1));
        }
    }
    table_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    summary_->setText(SummaryText(model_.alarms()));
    networkDown_->setVisible(monitor_.NetworkDown());
    UpdateButtons();
}

void AlarmListWindow::Acknowledge(bool all) {
    const auto now = std::chrono::system_clock::now();
    if (all) {
        for (const alarms::Alarm& alarm : model_.alarms()) {
            monitor_.Acknowledge(alarm.id, now);
        }
    } else {
        for (const QModelIndex& row : table_->selectionModel()->selectedRows()) {
            monitor_.Acknowledge(model_.alarms()[static_cast<std::size_t>(row.row())].id, now);
        }
    }
    Refresh();
    emit acknowledged();
}

void AlarmListWindow::UpdateButtons() {
    const auto waiting = [this](int row) {
        return !model_.alarms()[static_cast<std::size_t>(row)].acknowledged;
    };
    bool anySelected = false;
    for (const QModelIndex& row : table_->selectionModel()->selectedRows()) {
        anySelected = anySelected || waiting(row.row());
    }
    bool any = false;
    for (int row = 0; row < model_.rowCount() && !any; ++row) {
        any = waiting(row);
    }
    acknowledge_->setEnabled(anySelected);
    acknowledgeAll_->setEnabled(any);
}

}  // namespace varnex
