// The unit's answer to one datagram: checks, then the command's effect on
// the state and the reply. No socket and no clock of its own.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "unit/unit_state.h"

namespace varnex::unit {

struct HandledDatagram {
    std::optional<Bytes> reply;      // nullopt: the unit stays silent
    char letter = 0;                 // 0 when the datagram never got that far
    std::string action;              // what the unit did, for the log
    std::optional<Address4> moveTo;  // "F" named a loopback address to move to
    UnitEvents events;               // what happened by itself before this datagram
};

// `sender` is the client's IPv4 address, first octet first.
HandledDatagram HandleDatagram(UnitState& state, std::span<const uint8_t> datagram,
                               const Address4& sender, UnitTime now);

}  // namespace varnex::unit
