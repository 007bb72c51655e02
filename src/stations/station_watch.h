// Which stations the stations overview polls, and each one's alarm settings.
// They live in a table of their own in the station database, created when
// missing, so that table `main` keeps the shape other readers of the file
// expect.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "stations/loaded_station.h"
#include "stations/station_store.h"

namespace varnex {

// Limits of one reading. An alarm is raised above `upper` and cleared below
// `upper - hysteresis`; mirrored at `lower`. An absent limit is not checked.
struct ReadingLimits {
    std::optional<double> lower;
    std::optional<double> upper;
    double hysteresis = 0;
    bool operator==(const ReadingLimits&) const = default;
};

struct StationWatch {
    bool watched = false;
    std::array<ReadingLimits, kVoltmeterColumns> voltmeters{};  // volts
    ReadingLimits temperature{};                                // degrees Celsius
    // Raised once the station has not answered for longer than this.
    std::optional<uint32_t> silentSeconds;
    bool operator==(const StationWatch&) const = default;
};

// The settings of a station the user adds: watched, no limits, and the
// silent alarm after 60 s. Stations that exist when the table is created
// and the seed row have no row of their own, so they are not watched.
StationWatch NewStationWatch();

// Why `watch` cannot be kept, as the alarm editor shows it; nullopt when it
// can. Voltage limits must lie within each voltmeter's range with its jumper,
// a lower limit may not be above the upper one, the hysteresis may not be
// wider than the band, and a silence shorter than three polling intervals
// would raise on ordinary loss.
std::optional<std::string> StationWatchError(const StationWatch& watch,
                                             const VoltmeterJumpers& jumpers,
                                             uint32_t pollIntervalSeconds);

// None of the functions below shows a message: each caller says what failed
// in its own words. Each creates the table first when it is missing.

// Creates the table when missing; answers whether it exists afterwards.
bool EnsureWatchTable(StationStore& store);
// Every station's settings by address; a station without a row of its own
// is absent (not watched). nullopt after a failure.
std::optional<std::map<std::string, StationWatch>> LoadStationWatches(StationStore& store);
// Numbers keep 15 significant digits, as the database prints them.
bool SaveStationWatch(StationStore& store, std::string_view ip, const StationWatch& watch);
// The station's address changed: its settings follow it.
bool MoveStationWatch(StationStore& store, std::string_view from, std::string_view to);
bool DeleteStationWatch(StationStore& store, std::string_view ip);

}  // namespace varnex
