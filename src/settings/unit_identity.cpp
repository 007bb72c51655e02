#include "settings/unit_identity.h"

#include <algorithm>

#include "session/network_commands.h"
#include "session/session.h"
#include "settings/address_bytes.h"
#include "text/conversions.h"

namespace varnex {
namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The bytes of the new MAC address, or nullopt for a group that is empty or
// not hexadecimal.
std::optional<std::array<uint8_t, wire::kMacSize>> MacBytes(const MacGroups& groups) {
    std::array<uint8_t, wire::kMacSize> bytes{};
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const std::string_view group = std::string_view(groups[i]).substr(0, kMacGroupChars);
        if (group.empty() || !std::all_of(group.begin(), group.end(), IsHexDigit)) {
            return std::nullopt;
        }
        bytes[i] = static_cast<uint8_t>(ParseHex(group));
    }
    return bytes;
}

}  // namespace

DialogOutcome ChangeMacAddress(Session& session, const PlatformHooks& hooks,
                               const MacGroups& groups) {
    const std::optional<std::array<uint8_t, wire::kMacSize>> mac = MacBytes(groups);
    if (!mac) {
        ShowDialogMessage(hooks, "Lame Mac Address Detected !", MessageIcon::None);
        return DialogOutcome::StaysOpen;
    }
    if (!Confirmed(hooks, "Change Mac Address?", "Attention !")) {
        return DialogOutcome::StaysOpen;
    }
    BuildCommand(session.command(), Command::SetMacAddress, session.station().password);
    std::copy(mac->begin(), mac->end(), session.command().bytes.begin() + wire::kNewMacOffset);
    session.SendPacket();
    RunNeighbourFlush(hooks, session.station().address);
    session.ResetSession(kEndedForMacText);
    return DialogOutcome::Closes;
}

DialogOutcome ChangeRemoteIp(Session& session, const PlatformHooks& hooks,
                             std::optional<uint32_t> address) {
    if (!address) {
        ShowInvalidAddress(hooks);
        return DialogOutcome::StaysOpen;
    }
    BuildCommand(session.command(), Command::SetIpAddress, session.station().password);
    WriteAddressBytes(&session.command().bytes[wire::kNewAddressOffset], *address);
    session.SendPacket();
    session.ResetSession(kEndedForAddressText);
    return DialogOutcome::Closes;
}

DialogOutcome ChangeStationName(Session& session, const PlatformHooks& hooks,
                                std::string_view typed) {
    std::string name(typed.substr(0, kStationNameChars));
    if (name.empty()) {
        ShowDialogMessage(hooks, "Zero Length Fields Not Allowed!", MessageIcon::Stop);
        return DialogOutcome::StaysOpen;
    }
    name.resize(wire::kStationNameCommandSize, ' ');
    BuildStationNameCommand(session.command(), session.station().password, name);
    session.SendPacket();
    return DialogOutcome::Closes;
}

}  // namespace varnex
