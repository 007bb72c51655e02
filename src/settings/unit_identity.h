// How the unit presents itself on the network: its MAC address ("E"), its IP
// address ("F") and its station name ("I"). None of them touches the
// station record; the two address changes end the session.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/wire_format.h"
#include "settings/dialog_rules.h"

namespace varnex {

class Session;

// What the name field and each MAC group field take.
inline constexpr std::size_t kStationNameChars = wire::kStationNameCommandSize;
inline constexpr std::size_t kMacGroupChars = 2;

using MacGroups = std::array<std::string, wire::kMacSize>;

// Each group is read as its first two characters. An empty group, or one
// that is not hexadecimal (the dialog's fields take nothing else, but this
// does not rely on it), is refused. Then
// asks, sends, has the computer forget the unit's old hardware address, and
// ends the session.
DialogOutcome ChangeMacAddress(Session& session, const PlatformHooks& hooks,
                               const MacGroups& groups);

// nullopt: the address field is not complete. No question is asked.
DialogOutcome ChangeRemoteIp(Session& session, const PlatformHooks& hooks,
                             std::optional<uint32_t> address);

// `typed` is 8-bit text; its first 20 characters are sent, padded with
// blanks. The session goes on.
DialogOutcome ChangeStationName(Session& session, const PlatformHooks& hooks,
                                std::string_view typed);

}  // namespace varnex
