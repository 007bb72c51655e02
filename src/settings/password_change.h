// The unit's password: sent with "G", stored as the station's password, and
// the session ends because the unit now expects the new one.
#pragma once

#include <optional>
#include <string_view>

#include "protocol/wire_format.h"
#include "settings/dialog_rules.h"
#include "stations/station_store.h"

namespace varnex {

class Session;

// What each password field takes: the command carries no more.
inline constexpr std::size_t kPasswordChars = wire::kPasswordSize;

struct PasswordChange {
    DialogOutcome outcome = DialogOutcome::StaysOpen;
    // The station list refilled after the password was stored, for the main
    // window to show; nullopt when nothing changed or the refill failed.
    std::optional<StationList> stationList;
};

// `typed` and `retyped` are 8-bit texts. Compares the first 10 characters of
// both entries and asks before sending.
// The row is written before the unit is told, and put back when the command
// could not be sent, so that the unit and the station record never disagree
// through a failure the client can see.
PasswordChange ChangeRemotePassword(Session& session, StationStore& stations,
                                    std::string_view typed, std::string_view retyped);

}  // namespace varnex
