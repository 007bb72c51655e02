// The unit's list of client addresses that alone may connect, or none (every
// client may), sent with "H".
#pragma once

#include <array>
#include <cstdint>

#include "protocol/unit_frames.h"
#include "protocol/wire_format.h"
#include "settings/dialog_rules.h"

namespace varnex {

class Session;
struct StatusSnapshot;

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
