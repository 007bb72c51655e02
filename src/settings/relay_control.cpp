#include "settings/relay_control.h"

#include <algorithm>
#include <array>

#include "session/session.h"
#include "settings/dialog_rules.h"
#include "stations/station_writers.h"

namespace varnex {
namespace {

std::optional<std::size_t> RelayIndex(int relay) {
    if (relay < 1 || relay > static_cast<int>(kRelayColumns)) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(relay - 1);
}

}  // namespace

std::optional<RelayControlView> OpenRelayControl(const Session& session, int relay) {
    const std::optional<std::size_t> index = RelayIndex(relay);
    if (!index) {
        return std::nullopt;
    }
    const std::string number = std::to_string(relay);
    RelayControlView view;
    view.title = "Relay " + number + " Control";
    view.nameCaption = "Relay " + number + " Name";
    view.notesCaption = "Relay " + number + " Notes";
    view.name = FieldText(session.display().relayNames[*index], kRelayNameChars);
    view.notes = session.station().relayNotes[*index];
    view.preselected = session.snapshot().relayOn[*index] == 1 ? RelayAction::On : RelayAction::Off;
    return view;
}

void DoRelayAction(Session& session, int relay, RelayAction action, int toggleSeconds) {
    const std::optional<std::size_t> index = RelayIndex(relay);
    if (!index) {
        return;
    }
    BuildRelayCommand(session.command(), session.station().password, relay, action, toggleSeconds);
    session.SendPacket();
}

bool UpdateRelayName(Session& session, StationStore& stations, int relay, std::string_view typed) {
    const std::optional<std::size_t> index = RelayIndex(relay);
    if (!index) {
        return false;
    }
    LoadedStation& station = session.editableStation();
    station.relayNames[*index] = FieldText(typed, kRelayNameChars);
    if (!SetRelayName(stations, station.address, relay, station.relayNames[*index])) {
        return false;
    }
    session.editableDisplay().relayNames[*index] = station.relayNames[*index];
    return true;
}

bool UpdateRelayNotes(Session& session, StationStore& stations, int relay, std::string_view typed) {
    const std::optional<std::size_t> index = RelayIndex(relay);
    if (!index) {
        return false;
    }
    LoadedStation& station = session.editableStation();
    station.relayNotes[*index] = FieldText(typed, kRelayNotesChars);
    return SetRelayNotes(stations, station.address, relay, station.relayNotes[*index]);
}

}  // namespace varnex
