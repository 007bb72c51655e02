// The stations of the database that the overview polls: those whose watch
// flag is set, in the station list's order.
#pragma once

#include <optional>
#include <vector>

#include "stations/loaded_station.h"
#include "stations/station_store.h"
#include "stations/station_watch.h"

namespace varnex::overview {

struct WatchedStation {
    LoadedStation station;  // address, password, comment, jumpers
    StationWatch watch;
};

// nullopt when the stations or their watch settings cannot be read.
std::optional<std::vector<WatchedStation>> LoadWatchedStations(StationStore& store);

}  // namespace varnex::overview
