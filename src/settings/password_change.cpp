#include "settings/password_change.h"

#include <algorithm>

#include "protocol/unit_frames.h"
#include "session/session.h"
#include "stations/station_writers.h"

namespace varnex {

PasswordChange ChangeRemotePassword(Session& session, StationStore& stations,
                                    std::string_view typed, std::string_view retyped) {
    const PlatformHooks& hooks = stations.hooks();
    // Unit texts are 8-bit: one byte a character.
    const std::string password(typed.substr(0, wire::kPasswordSize));
    if (password != retyped.substr(0, wire::kPasswordSize) || password.empty()) {
        ShowDialogMessage(hooks, "Password Error, no match !", MessageIcon::Stop);
        return {};
    }
    if (!Confirmed(hooks, "Change Remote Password?", "Change Password?")) {
        return {};
    }
    const std::string stored = PasswordAsStored(password);
    const std::string ip = session.stationIp();
    const std::string oldPassword = session.station().password;
    if (!SetStationPassword(stations, ip, stored)) {
        return {};  // shown by the writer; the unit keeps its password
    }

    BuildPasswordCommand(session.command(), oldPassword, stored);
    if (!session.SendPacket()) {
        SetStationPassword(stations, ip, oldPassword);
    }
    session.ResetSession(kEndedForPasswordText);
    return {DialogOutcome::Closes, stations.FillStationList(MessageOwner::MainWindow)};
}

}  // namespace varnex
