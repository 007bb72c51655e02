// The unit's list of client addresses that alone may connect, or none (every
// client may), sent with "H".
#pragma once

#include <array>
#include <cstdint>

#include "protocol/wire_format.h"
#include "settings/dialog_rules.h"

namespace varnex {

class Session;
struct StatusSnapshot;

// Addresses carry their first number in the most significant byte, as the
// address fields report them; an empty field is 0.
using AllowedAddresses = std::array<uint32_t, wire::kAllowedClientAddressCount>;

struct AllowedClients {
    bool onlyListed = false;
    AllowedAddresses addresses{};
};

// The mode and the five addresses of the last status reply.
AllowedClients ReportedAllowedClients(const StatusSnapshot& snapshot);

// With only listed clients, the first address must be complete (the others
// are sent as they are); then asks, sends and closes.
DialogOutcome SendAllowedClients(Session& session, const PlatformHooks& hooks,
                                 const AllowedClients& choice, bool firstAddressComplete);

}  // namespace varnex
