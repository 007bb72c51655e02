// Every write command from its arguments, as given on the command line, to
// a checked write plan: the frame the matching dialog builds, the unit's
// acknowledgement, and what the confirming read must show.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "varnexctl/unit_writes.h"

namespace varnex::ctl {

using Plan = std::variant<WritePlan, Failure>;

Plan RelayPlan(const std::string& relay, const std::string& action,
               const std::optional<std::string>& seconds);
// ELEMENT: 1..6 for the board's relays, "output" for its 150 mA output.
Plan BoardPlan(const std::string& board, const std::string& element, const std::string& action,
               const std::optional<std::string>& seconds);
Plan TimerSetPlan(const std::string& slot, const std::string& seconds, bool continuous);
Plan TimerStopPlan();
Plan ScriptUploadPlan(const std::string& slot, const std::string& name,
                      const std::vector<std::string>& steps);
Plan ScriptRunPlan(const std::string& slot);

// "off", or the thresholds in whole degrees and the slots they run.
struct TemperatureTriggerArguments {
    bool off = false;
    std::optional<std::string> upper, upperSlot, lower, lowerSlot;
};
Plan TemperatureTriggerPlan(const TemperatureTriggerArguments& arguments);

struct IoTriggerArguments {
    std::string pin;
    bool off = false;
    std::optional<std::string> slotFor0, slotFor1;
};
Plan IoTriggerPlan(const IoTriggerArguments& arguments);

Plan NamePlan(const std::string& name);
// HTTP ("Q") or SNMP ("S").
Plan SwitchPlan(bool http, const std::string& onOff);
Plan MacPlan(const std::string& mac);
Plan IpPlan(const std::string& address, const UnitAddress& unit);
// `newPassword` already checked.
Plan PasswordPlan(const std::string& newPassword, const UnitAddress& unit);

// "all", or "only" and 1 to 5 addresses. `ownAddress` is this computer's
// address toward the unit: a list without it needs `force`.
Plan AllowedClientsPlan(const std::string& mode, const std::vector<std::string>& addresses,
                        std::optional<uint32_t> ownAddress, bool force);

// The address this computer sends from toward the unit (no datagram sent).
std::optional<uint32_t> OwnAddressToward(const UnitAddress& unit);

}  // namespace varnex::ctl
