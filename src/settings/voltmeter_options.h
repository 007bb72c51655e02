// One voltmeter's presentation in the station record: its label, notes, view
// (text or bar) and, for voltmeters 1 and 2, the range jumper's position.
// Nothing goes to the unit.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "settings/dialog_rules.h"

namespace varnex {

class Session;
class StationStore;

// What the notes and name fields take and the station record keeps.
inline constexpr std::size_t kVoltmeterNotesChars = 510;
inline constexpr std::size_t kVoltmeterLabelChars = 27;

struct VoltmeterOptionsView {
    std::string title;           // "Voltmeter 1 Options"
    std::string jumperCaption;   // "Jumper 6", "Jumper 7", or empty
    bool jumperEnabled = false;  // voltmeters 1 and 2 only
    bool jumperInstalled = false;
    bool plainText = false;  // the view is exactly "STANDARD"
    std::string notes;
    std::string label;
};

// nullopt for a voltmeter number other than 1 to 8.
std::optional<VoltmeterOptionsView> OpenVoltmeterOptions(const Session& session, int voltmeter);

struct VoltmeterChoice {
    std::string notes;
    std::string label;
    bool jumperInstalled = false;  // read for voltmeters 1 and 2 only
    bool plainText = false;
};

// Refuses empty notes, then an empty label, keeping the dialog open. Else the
// current station and the caption above the voltmeter change at once, one
// statement stores them in that station's row, and the dialog closes
// whatever the statement did.
DialogOutcome SaveVoltmeterOptions(Session& session, StationStore& stations, int voltmeter,
                                   const VoltmeterChoice& choice);

}  // namespace varnex
