// One power relay: switch it on or off, or toggle it on and back off after a
// few seconds, and edit its name and notes in the station record.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/unit_frames.h"

namespace varnex {

class Session;
class StationStore;

// What the name and notes fields take and the station record keeps.
inline constexpr std::size_t kRelayNameChars = 15;
inline constexpr std::size_t kRelayNotesChars = 510;

// What the dialog shows when it opens for relay 1, 2 or 3.
struct RelayControlView {
    std::string title;         // "Relay 1 Control"
    std::string nameCaption;   // "Relay 1 Name"
    std::string notesCaption;  // "Relay 1 Notes"
    std::string name;          // the caption under the relay button, as it would be stored
    std::string notes;
    RelayAction preselected = RelayAction::Off;  // never Toggle
};

// nullopt for a relay number other than 1 to 3.
std::optional<RelayControlView> OpenRelayControl(const Session& session, int relay);

// Sends the action's command; the toggle carries its seconds (kept within
// 1..60) in one binary byte. The dialog closes afterwards.
void DoRelayAction(Session& session, int relay, RelayAction action, int toggleSeconds);

// Store the first 15 characters of the name (510 of the notes) in the
// current station and its row. A stored name becomes the caption under the
// relay button; a failed statement is shown and leaves the caption alone.
// The dialog stays open either way.
bool UpdateRelayName(Session& session, StationStore& stations, int relay, std::string_view typed);
bool UpdateRelayNotes(Session& session, StationStore& stations, int relay, std::string_view typed);

}  // namespace varnex
