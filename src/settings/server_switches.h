// The unit's HTTP server and SNMP access: each enabled or disabled with one
// command ("Q", "S"), usable only from the firmware that has it.
#pragma once

#include <string>

#include "settings/dialog_rules.h"

namespace varnex {

class Session;
struct StatusSnapshot;

enum class ServerSwitch { Http, Snmp };

struct ServerSwitchPage {
    std::string heading;          // "HTTP   Server"
    std::string enableCaption;    // "Enable HTTP Server"
    std::string disableCaption;   // "Disable HTTP Server"
    bool usable = false;          // the firmware knows the switch
    bool disabledChosen = false;  // the unit reports it disabled
};

ServerSwitchPage OpenServerSwitch(const StatusSnapshot& snapshot, ServerSwitch which);

// Asks, then sends byte 0 to enable or 1 to disable, and closes.
DialogOutcome SendServerSwitch(Session& session, const PlatformHooks& hooks, ServerSwitch which,
                               bool enable);

}  // namespace varnex
