// Sent, Received and Lost as the texts of the "Packet Counter" fields. The
// texts are the only storage: a change reads the text, converts, writes back.
#pragma once

#include <string>

namespace varnex {

struct PacketCounters {
    std::string sent = "0";
    std::string received = "0";
    std::string lost = "0";  // signed: more replies than requests show "-1"
    bool operator==(const PacketCounters&) const = default;
};

}  // namespace varnex
