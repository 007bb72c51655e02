// The rules of the relay daughter boards: which boards the chooser offers,
// what one press on the board panel sends, and what the panel shows after
// each status record.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/command_packet.h"
#include "protocol/status_record.h"
#include "protocol/unit_frames.h"
#include "protocol/wire_format.h"

namespace varnex {

class Session;

inline constexpr int kBoardToggleTickInterval = 3;
inline constexpr int kBoardPanelRefreshMs = 2;

inline constexpr std::string_view kBoardChooserTitle = "Relay Daughter Board Control";
inline constexpr std::string_view kNoBoardsText = "NO  RELAY  DAUGHTER  BOARDS  DETECTED  !";
inline constexpr std::string_view kToggleCaption = "Toggle";
inline constexpr std::string_view kToggleDelayCaption = "1 - 60 Second Delay";

// The caption of the element's rest button ("NC", "OFF") and work button
// ("NO", "ON"); the output shows its work button first.
std::string_view RestCaption(int element);
std::string_view WorkCaption(int element);
// "Relay 1".."Relay 6", "150 ma Output".
std::string ElementLabel(int element);
// "RDB 1".."RDB 6".
std::string BoardButtonLabel(int board);
// "Relay Daughter Board 1 Control".."Relay Daughter Board 6 Control".
std::string BoardPanelTitle(int board);

// The element whose "Toggle" button shows the unit's toggle countdown. It
// outlives the dialogs: a countdown started before the panel was closed
// still shows on the same button when it opens again.
struct BoardPanelMemory {
    int lastElement = 1;
    // A toggle the unit has not answered yet: the element the countdown
    // showed on before it, and the unit's answers counted when it was sent.
    bool toggleUnanswered = false;
    int elementBeforeToggle = 1;
    uint32_t refusalsBeforeToggle = 0;
    uint32_t answersBeforeToggle = 0;
};

// One press on the panel: remembers the element, then sends at once.
// False when the transport failed (it has told the user).
bool PressBoardButton(Session& session, BoardPanelMemory& memory, int board, int element,
                      BoardAction action, int toggleSeconds);

// Reads the unit's answers since the last toggle. A refused toggle ("One
// Toggle Timer Only !": another toggle runs) hands the countdown back to the
// element it showed on before, so that it never counts on the refused
// button; any other answer settles the toggle.
void FollowBoardAnswers(const Session& session, BoardPanelMemory& memory);

struct BoardChooserView {
    std::array<bool, wire::kBoardCount> boardEnabled{};
    bool noBoardsShown = false;
};

// Boards whose presence byte is 0xFF are offered; the "no boards" label
// shows only when every presence byte is 0.
BoardChooserView ChooseBoards(const StatusSnapshot& snapshot);

struct BoardElementView {
    bool atRest = true;  // relay on NC, output off: the picture and the enabled button
    bool restEnabled = false;
    bool workEnabled = true;
    std::string toggleCaption{kToggleCaption};
    bool operator==(const BoardElementView&) const = default;
};

using BoardPanelView = std::array<BoardElementView, kBoardElementCount>;

// Before the first refresh: everything at rest.
BoardPanelView OpeningBoardPanel();

// The panel for the state byte of `board` in the snapshot. The countdown
// shows on the last-pressed element's "Toggle"; every other "Toggle" reads
// "Toggle", so a countdown never stays behind on a button no longer meant.
BoardPanelView RefreshBoardPanel(const StatusSnapshot& snapshot, int board,
                                 const BoardPanelMemory& memory);

}  // namespace varnex
