// varnex-unit's fleet in process on 127.1.0.x, counting the datagrams each
// unit receives, for tests that must show which units were asked and which
// were not.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "stations/loaded_station.h"
#include "stations/station_watch.h"
#include "unit/unit_fleet.h"

namespace varnex::testing {

class CountingFleet {
  public:
    static constexpr uint32_t kFirstUnit = (127u << 24) | (1u << 16) | 1u;  // 127.1.0.1

    explicit CountingFleet(std::size_t units)
        : units_(unit::MonotonicClock(), [this](const std::string& line) { Count(line); }) {
        unit::UnitSetup setup;
        setup.address = unit::AddressBytes(kFirstUnit);
        std::string error;
        EXPECT_TRUE(units_.Start(setup, units, 0, error)) << error;
    }

    static std::string Address(std::size_t unit) { return "127.1.0." + std::to_string(unit + 1); }
    // Unit `unit` as a watched station of the database: the simulator's
    // password, and voltmeters 1 and 2 on 0-30 V as the simulator reads them.
    static std::pair<LoadedStation, StationWatch> Station(std::size_t unit) {
        LoadedStation station;
        station.address = Address(unit);
        station.password = "tamble";
        station.jumper6 = station.jumper7 = kJumperInstalled;
        StationWatch watch;
        watch.watched = true;
        return {station, watch};
    }

    unit::UnitFleet& Units() { return units_; }
    uint16_t Port() { return units_.Size() > 0 ? units_.Unit(0).Port() : 0; }
    // Datagrams unit `unit` has received so far.
    int Received(std::size_t unit) const {
        const auto found = received_.find(Address(unit));
        return found == received_.end() ? 0 : found->second;
    }

  private:
    void Count(const std::string& line) {
        // "127.1.0.3      1.234 from 127.0.0.1:40961 ..." (a fleet's lines start with the unit)
        if (line.find(" from ") != std::string::npos) {
            ++received_[line.substr(0, line.find(' '))];
        }
    }

    unit::UnitFleet units_;
    std::map<std::string, int> received_;
};

}  // namespace varnex::testing
