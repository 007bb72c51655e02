#include "automation/daughter_boards.h"

#include <algorithm>

#include "protocol/reply_kind.h"
#include "session/session.h"

namespace varnex {
namespace {

// Where each part of the daughter-board values sits in the snapshot's copy.
constexpr std::size_t kPresentIndex = 0;
constexpr std::size_t kStatesIndex = wire::kBoardStatesOffset - wire::kBoardPresentOffset;
constexpr std::size_t kToggleSecondsIndex =
    wire::kBoardToggleSecondsOffset - wire::kBoardPresentOffset;

bool ValidBoard(int board) {
    return board >= 1 && board <= int(wire::kBoardCount);
}

bool IsOutput(int element) {
    return element == kBoardOutputElement;
}

uint32_t BoardAnswers(const Session& session) {
    uint32_t answers = 0;
    for (const uint8_t code :
         {kBoardSuccessCode, kBoardFailedCode, kBoardFailureCode, kOneToggleOnlyCode}) {
        answers += session.returnCodeCount(code);
    }
    return answers;
}

}  // namespace

std::string_view RestCaption(int element) {
    return IsOutput(element) ? "OFF" : "NC";
}

std::string_view WorkCaption(int element) {
    return IsOutput(element) ? "ON" : "NO";
}

std::string ElementLabel(int element) {
    return IsOutput(element) ? "150 ma Output" : "Relay " + std::to_string(element);
}

std::string BoardButtonLabel(int board) {
    return "RDB " + std::to_string(board);
}

std::string BoardPanelTitle(int board) {
    return "Relay Daughter Board " + std::to_string(board) + " Control";
}

bool PressBoardButton(Session& session, BoardPanelMemory& memory, int board, int element,
                      BoardAction action, int toggleSeconds) {
    if (action == BoardAction::Toggle) {
        // A second toggle before the first is answered keeps the first's
        // starting point: both are refused while a countdown runs.
        if (!memory.toggleUnanswered) {
            memory.elementBeforeToggle = memory.lastElement;
        }
        memory.toggleUnanswered = true;
        memory.refusalsBeforeToggle = session.returnCodeCount(kOneToggleOnlyCode);
        memory.answersBeforeToggle = BoardAnswers(session);
    }
    memory.lastElement = element;
    BuildDaughterBoardCommand(session.command(), session.station().password, board, element, action,
                              toggleSeconds);
    return session.SendPacket();
}

void FollowBoardAnswers(const Session& session, BoardPanelMemory& memory) {
    if (!memory.toggleUnanswered) {
        return;
    }
    if (session.returnCodeCount(kOneToggleOnlyCode) > memory.refusalsBeforeToggle) {
        memory.lastElement = memory.elementBeforeToggle;
        memory.toggleUnanswered = false;
    } else if (BoardAnswers(session) > memory.answersBeforeToggle) {
        memory.toggleUnanswered = false;
    }
}

BoardChooserView ChooseBoards(const StatusSnapshot& snapshot) {
    BoardChooserView view;
    bool allAbsent = true;
    for (std::size_t n = 0; n < wire::kBoardCount; ++n) {
        const uint8_t presence = snapshot.boards[kPresentIndex + n];
        view.boardEnabled[n] = presence == wire::kBoardDetected;
        allAbsent = allAbsent && presence == 0;
    }
    view.noBoardsShown = allAbsent;
    return view;
}

BoardPanelView OpeningBoardPanel() {
    return BoardPanelView{};
}

BoardPanelView RefreshBoardPanel(const StatusSnapshot& snapshot, int board,
                                 const BoardPanelMemory& memory) {
    BoardPanelView view;
    if (!ValidBoard(board)) {
        return view;
    }
    const uint8_t state = snapshot.boards[kStatesIndex + std::size_t(board - 1)];
    for (int element = 1; element <= int(kBoardElementCount); ++element) {
        BoardElementView& shown = view[std::size_t(element - 1)];
        shown.atRest = (state & ElementMask(element)) != 0;
        shown.restEnabled = !shown.atRest;
        shown.workEnabled = shown.atRest;
    }
    const uint8_t seconds = snapshot.boards[kToggleSecondsIndex];
    if (seconds > 0 && memory.lastElement >= 1 && memory.lastElement <= int(kBoardElementCount)) {
        view[std::size_t(memory.lastElement - 1)].toggleCaption = std::to_string(seconds);
    }
    return view;
}

}  // namespace varnex
