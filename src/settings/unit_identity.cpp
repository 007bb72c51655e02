#include "settings/unit_identity.h"

#include <algorithm>

#include "protocol/unit_frames.h"
#include "session/network_commands.h"
#include "session/session.h"
#include "text/conversions.h"

namespace varnex {
namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The bytes of the new MAC address, or nullopt for a group that is empty or
// not hexadecimal.
std::optional<MacBytes> ParseMacGroups(const MacGroups& groups) {
    MacBytes bytes{};
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
    const std::optional<MacBytes> mac = ParseMacGroups(groups);
    if (!mac) {
        ShowDialogMessage(hooks, "Lame Mac Address Detected !", MessageIcon::None);
        return DialogOutcome::StaysOpen;
    }
    if (!Confirmed(hooks, "Change Mac Address?", "Attention !")) {
        return DialogOutcome::StaysOpen;
    }
    BuildMacCommand(session.command(), session.station().password, *mac);
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
    BuildIpCommand(session.command(), session.station().password, *address);
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
