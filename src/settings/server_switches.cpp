#include "settings/server_switches.h"

#include "protocol/unit_frames.h"
#include "session/session.h"

namespace varnex {
namespace {

std::string Name(ServerSwitch which) {
    return which == ServerSwitch::Http ? "HTTP" : "SNMP";
}

}  // namespace

ServerSwitchPage OpenServerSwitch(const StatusSnapshot& snapshot, ServerSwitch which) {
    const bool http = which == ServerSwitch::Http;
    ServerSwitchPage page;
    page.heading = Name(which) + "   Server";
    page.enableCaption = "Enable " + Name(which) + " Server";
    page.disableCaption = "Disable " + Name(which) + " Server";
    page.usable = snapshot.firmwareVersion >=
                  (http ? wire::kFirmwareHttpAndSignedTemperature : wire::kFirmwareSnmp);
    page.disabledChosen = page.usable && (http ? snapshot.http : snapshot.snmp) != 0;
    return page;
}

DialogOutcome SendServerSwitch(Session& session, const PlatformHooks& hooks, ServerSwitch which,
                               bool enable) {
    const std::string question = (enable ? "Enable " : "Disable ") + Name(which) + " Access?";
    if (!Confirmed(hooks, question, "Change Status?")) {
        return DialogOutcome::StaysOpen;
    }
    const Command letter =
        which == ServerSwitch::Http ? Command::SetHttpServer : Command::SetSnmpAccess;
    BuildSwitchCommand(session.command(), session.station().password, letter, enable);
    session.SendPacket();
    return DialogOutcome::Closes;
}

}  // namespace varnex
