#include "ui/stations/watched_stations_dialog.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "stations/station_message.h"
#include "ui/widgets/dialog_buttons.h"

namespace varnex {
namespace {

constexpr int kVisibleRows = 12;

void Tell(const StationStore& store, const char* text) {
    ShowStationMessage(store.hooks(), MessageOwner::ActiveDialog, text, MessageIcon::Exclamation);
}

}  // namespace

WatchedStationsDialog::WatchedStationsDialog(QWidget* parent, StationStore& store)
    : QDialog(parent), store_(store) {
    setWindowTitle(QStringLiteral("Watched Stations"));

    auto* group = new QGroupBox(QStringLiteral("Stations the overview polls"), this);
    auto* groupLayout = new QVBoxLayout(group);
    list_ = new QListWidget(group);
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    groupLayout->addWidget(list_);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    LayOutGroupAboveButtons(this, group, ok_, cancel_);
    connect(ok_, &QPushButton::clicked, this, &WatchedStationsDialog::OnOk);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    const std::optional<std::map<std::string, StationWatch>> watches = LoadStationWatches(store_);
    if (!watches) {
        Tell(store_, "The watched stations could not be read.");
    } else {
        watches_ = *watches;
    }
    // A failed read has shown its message and leaves the list empty.
    const std::vector<LoadedStation> stations =
        store_.LoadStations(MessageOwner::ActiveDialog).value_or(std::vector<LoadedStation>{});
    for (const LoadedStation& station : stations) {
        // A hand-edited table may hold an address twice; its settings are one.
        if (std::ranges::find(addresses_, station.address) != addresses_.end()) {
            continue;
        }
        addresses_.push_back(station.address);
        auto* item = new QListWidgetItem(
            QString::fromStdString(StationListLine(station.address, station.comment)), list_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const auto found = watches_.find(station.address);
        item->setCheckState(found != watches_.end() && found->second.watched ? Qt::Checked
                                                                             : Qt::Unchecked);
    }
    list_->setMinimumWidth(list_->sizeHintForColumn(0) + 40);
    list_->setMinimumHeight(list_->fontMetrics().lineSpacing() * kVisibleRows);
}

void WatchedStationsDialog::OnOk() {
    const bool done = store_.RunTogether([this] {
        for (int row = 0; row < list_->count(); ++row) {
            const std::string& ip = addresses_[static_cast<std::size_t>(row)];
            const bool ticked = list_->item(row)->checkState() == Qt::Checked;
            const auto found = watches_.find(ip);
            const bool hasRow = found != watches_.end();
            // A station without settings of its own is not watched already.
            if (hasRow ? found->second.watched == ticked : !ticked) {
                continue;
            }
            StationWatch watch = hasRow ? found->second : NewStationWatch();
            watch.watched = ticked;
            if (!SaveStationWatch(store_, ip, watch)) {
                return false;
            }
        }
        return true;
    });
    if (!done) {
        Tell(store_, "The watched stations could not be saved.");
        return;
    }
    saved_ = true;
    accept();
}

bool OpenWatchedStationsDialog(QWidget* parent, StationStore& store) {
    WatchedStationsDialog dialog(parent, store);
    dialog.exec();
    return dialog.saved();
}

}  // namespace varnex
