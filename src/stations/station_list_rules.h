// What the station list's buttons and dialogs do with table `main`: the
// address a list line names, the Add/Edit dialog's opening values and its
// checks in their order, the Delete dialog, and "Set Default". Every message
// carries the caption "  Varnex v1"; the Qt dialogs only gather the fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stations/station_store.h"

namespace varnex {

enum class StationDialogMode { Add, Edit };

// The three fields of the Add/Edit dialog.
// What the dialogs' fields take: a station address, the password the
// command frame carries, and the comment (the password and comment
// fields read no more).
inline constexpr std::size_t kStationAddressChars = 15;
inline constexpr std::size_t kUnitPasswordChars = 10;
inline constexpr std::size_t kStationFieldChars = 49;

struct StationFields {
    std::optional<std::uint32_t> address;  // nullopt: not all four numbers filled in
    std::string password;
    std::string comment;
};

// What follows a button press in a station dialog.
struct StationDialogOutcome {
    bool closeDialog = false;
    // The refilled station list, when the main window's list must change.
    std::optional<StationList> list;
};

// The first `count` characters of UTF-8 text, never splitting a character.
std::string FirstCharacters(std::string_view text, std::size_t count);

// The bare address of a station list line (or of what the user typed): its
// first 15 characters without trailing blanks and control characters.
std::string StationAddressFromList(std::string_view listText);

// Edit mode opens on the station the list names; an address that is not
// stored (or not well formed) leaves the fields empty.
StationFields EditStationOpening(StationStore& store, std::string_view listText);

// "OK" of the Add/Edit dialog: checks, writes and refills in the fixed order.
// Add stores the new station's alarm settings with its row, watched.
StationDialogOutcome AcceptStationDialog(StationStore& store, StationDialogMode mode,
                                         const StationFields& fields);

// The Delete dialog's list: the bare address of every row in table order,
// and the default station's address for its text field.
struct DeleteStationChoices {
    std::vector<std::string> addresses;
    std::string text;
};
DeleteStationChoices DeleteStationOpening(StationStore& store);

// "DELETE" with the text of the Delete dialog's field; the station's alarm
// settings go with its row.
StationDialogOutcome AcceptDeleteStation(StationStore& store, std::string_view fieldText);

// "Set Default" on the station the list's text names; the refilled list, or
// nullopt when the table could not be read (already shown).
std::optional<StationList> SetDefaultFromList(StationStore& store, std::string_view listText);

}  // namespace varnex
