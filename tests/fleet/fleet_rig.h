// A fleet simulator and a fleet poller in one thread over real loopback UDP
// on 127.1.0.x, driven as varnexd drives them, for the fleet's tests.
#pragma once

#include <poll.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "fleet/fleet_poller.h"
#include "unit/unit_fleet.h"

namespace varnex::fleet {

using namespace std::chrono_literals;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr uint32_t kFirstUnit = (127u << 24) | (1u << 16) | 1u;  // 127.1.0.1

// A fleet simulator and a poller in one thread, driven as varnexd drives
// them; everything stops when the object goes.
class FleetRig {
  public:
    explicit FleetRig(std::size_t units, uint32_t first = kFirstUnit)
        : units_(unit::MonotonicClock(), {}) {
        unit::UnitSetup setup;
        setup.address = unit::AddressBytes(first);
        std::string error;
        started_ = units_.Start(setup, units, 0, error);
        EXPECT_TRUE(started_) << error;
        EXPECT_EQ(poller_.Error(), "");
    }

    StationSetup Station(std::size_t unit, milliseconds interval = 100ms,
                         milliseconds timeout = 50ms, int retries = 0) {
        StationSetup s;
        s.id = "unit" + std::to_string(unit + 1);
        s.address = kFirstUnit + static_cast<uint32_t>(unit);
        s.port = started_ ? units_.Unit(0).Port() : 0;
        s.password = "tamble";
        s.interval = interval;
        s.timeout = timeout;
        s.retries = retries;
        return s;
    }

    // Runs both sides for `span` of real time; `alsoWatch` (when not -1) is
    // waited on too, and `each` runs after every pass.
    void Run(milliseconds span, int alsoWatch = -1, const std::function<void()>& each = {}) {
        const auto end = Clock::now() + span;
        for (auto now = Clock::now(); now < end; now = Clock::now()) {
            const bool watch = now >= poller_.NextRead();
            const auto next = std::min(poller_.NextDeadline().value_or(end), end);
            const auto wait = std::chrono::duration_cast<milliseconds>(next - now);
            pollfd ready[3] = {{units_.Descriptor(), POLLIN, 0},
                               {watch ? poller_.Descriptor() : -1, POLLIN, 0},
                               {alsoWatch, POLLIN, 0}};
            poll(ready, 3, static_cast<int>(std::clamp(wait, 0ms, 10ms).count()));
            units_.Serve();
            poller_.OnReadable(Clock::now());
            poller_.Advance(Clock::now());
            if (each) {
                each();
            }
        }
    }

    unit::UnitFleet& Units() { return units_; }
    FleetPoller& Poller() { return poller_; }

  private:
    unit::UnitFleet units_;
    FleetPoller poller_{{.bindAddress = "127.0.0.1"}};
    bool started_ = false;
};

}  // namespace varnex::fleet
