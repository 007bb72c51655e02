// Many simulated units in one process: one UnitServer per consecutive
// loopback address, all on the same port and password, each with its own
// drift seed, MAC address and name, so a fleet poller can be tried against
// thousands of units without thousands of processes.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "unit/unit_server.h"

namespace varnex::unit {

// The setup of unit `index` (0-based) of a fleet made from `first`: the
// address, seed and the MAC's last two bytes count up from the first unit's;
// the name gets the unit's number (cut so that it still fits).
UnitSetup FleetMemberSetup(const UnitSetup& first, std::size_t index);

class UnitFleet {
  public:
    UnitFleet(UnitServer::Clock clock, UnitServer::LogSink log);
    ~UnitFleet();
    UnitFleet(const UnitFleet&) = delete;
    UnitFleet& operator=(const UnitFleet&) = delete;

    // Binds `count` units from `first.address` on; port 0 lets the kernel
    // choose for the first and the others take the same. Raises the
    // open-file limit when the units need it. False with a one-line reason
    // when any unit cannot be set up.
    bool Start(const UnitSetup& first, std::size_t count, uint16_t port, std::string& error);

    // One descriptor that is readable when any unit has a datagram waiting.
    int Descriptor() const { return epoll_; }
    // Answers the units whose datagrams are waiting; when nothing was
    // waiting, or a tick has passed, lets every unit act by itself (timers,
    // delayed replies).
    void Serve();
    std::chrono::milliseconds IdleTime(std::chrono::milliseconds limit) const;

    std::size_t Size() const { return units_.size(); }
    UnitServer& Unit(std::size_t index) { return *units_[index]; }
    // The unit bound to the dotted `address`; nullptr when none is.
    UnitServer* Find(const std::string& address);

  private:
    void Watch(std::size_t index);

    UnitServer::Clock clock_;
    UnitServer::LogSink log_;
    int epoll_ = -1;
    std::vector<std::unique_ptr<UnitServer>> units_;
    std::vector<int> watched_;  // the descriptor registered for each unit
    UnitTime lastTick_{};
};

}  // namespace varnex::unit
