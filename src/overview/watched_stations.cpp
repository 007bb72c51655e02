#include "overview/watched_stations.h"

#include <algorithm>

namespace varnex::overview {

std::optional<std::vector<WatchedStation>> LoadWatchedStations(StationStore& store) {
    const auto watches = LoadStationWatches(store);
    if (!watches) {
        return std::nullopt;
    }
    const auto stations = store.LoadStations(MessageOwner::MainWindow);
    if (!stations) {
        return std::nullopt;
    }
    std::vector<WatchedStation> watched;
    for (const LoadedStation& station : *stations) {
        const auto found = watches->find(station.address);
        // A hand-edited file may hold an address twice: one row polls it.
        const bool listed = std::any_of(watched.begin(), watched.end(), [&](const auto& w) {
            return w.station.address == station.address;
        });
        if (found != watches->end() && found->second.watched && !listed) {
            watched.push_back({station, found->second});
        }
    }
    return watched;
}

}  // namespace varnex::overview
