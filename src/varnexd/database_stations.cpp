#include "varnexd/database_stations.h"

#include "stations/station_store.h"
#include "text/conversions.h"

namespace varnex::varnexd {

ConfigResult LoadDatabaseStations(const std::string& path, const ConfigDefaults& defaults) {
    std::string failure;
    PlatformHooks hooks;
    hooks.showMessage = [&failure](const Message& message) {
        failure = failure.empty() ? message.text : failure;
    };
    StationStore store(hooks);
    store.OpenStationStore(path);
    const auto list =
        store.IsOpen() ? store.FillStationList(MessageOwner::MainWindow) : std::nullopt;
    if (!list) {
        return {std::nullopt, path + ": " + (failure.empty() ? "cannot be read" : failure)};
    }
    FleetConfig config;
    for (const std::string& line : list->lines) {
        const std::string address = line.substr(0, line.find(' '));
        const auto loaded = store.LoadStation(MessageOwner::MainWindow, address);
        const auto number = ParseDottedAddress(address);
        if (!loaded || !number) {
            return {std::nullopt, path + ": the row " + address + " holds no usable address"};
        }
        WatchedStation station;
        station.setup.id = address;
        station.setup.address = *number;
        station.setup.port = defaults.port;
        station.setup.password = loaded->password;
        station.setup.jumpers = JumpersOf(*loaded);
        station.setup.interval = defaults.interval;
        station.setup.timeout = std::min(defaults.timeout, defaults.interval);
        station.setup.retries = defaults.retries;
        station.name = loaded->comment;
        config.stations.push_back(std::move(station));
    }
    store.CloseStationStore();
    return {std::move(config), ""};
}

}  // namespace varnex::varnexd
