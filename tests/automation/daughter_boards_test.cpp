#include "automation/daughter_boards.h"

#include "rules_fixture.h"

namespace varnex {
namespace {

using testing::Bytes;
using testing::Texts;

struct BoardRules : testing::RulesFixture {
    BoardPanelMemory memory;
};

TEST_F(BoardRules, EachPressSendsOneCommandAtOnce) {
    struct Case {
        int board;
        int element;
        BoardAction action;
        int slider;
        Bytes bytes;  // 20..24
    };
    const Case cases[] = {
        {3, 5, BoardAction::Toggle, 12, {0x48, 0x10, 2, 12, '*'}},
        {6, 7, BoardAction::Work, 1, {0x4E, 0x40, 1, 0, '*'}},  // the output ON
        {1, 1, BoardAction::Rest, 1, {0x44, 0x01, 0, 0, '*'}},  // relay 1 NC
        // The slider counts for toggles only.
        {4, 6, BoardAction::Work, 30, {0x4A, 0x20, 1, 0, '*'}},
        {5, 7, BoardAction::Toggle, 60, {0x4C, 0x40, 2, 60, '*'}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "board " << c.board << " element " << c.element);
        EXPECT_TRUE(
            PressBoardButton(harness.session, memory, c.board, c.element, c.action, c.slider));
        EXPECT_EQ(NextParameters('R', 5), c.bytes);
        EXPECT_EQ(memory.lastElement, c.element);
    }
    EXPECT_TRUE(harness.recorder.messages.empty());
}

TEST(BoardChooser, OffersDetectedBoardsOnly) {
    using Presence = std::array<uint8_t, 6>;
    using Enabled = std::array<bool, 6>;
    const std::tuple<Presence, Enabled, bool> cases[] = {
        {{0, 0, 0, 0, 0, 0}, {}, true},
        {{0, 0xFF, 0, 0, 0xFF, 0}, {false, true, false, false, true, false}, false},
        // Neither detected nor absent: not offered, and not "none" either.
        {{0, 0, 0x01, 0, 0, 0}, {}, false},
    };
    for (const auto& [presence, enabled, noBoardsShown] : cases) {
        StatusSnapshot snapshot;
        std::copy(presence.begin(), presence.end(), snapshot.boards.begin());
        const BoardChooserView view = ChooseBoards(snapshot);
        EXPECT_EQ(view.boardEnabled, enabled);
        EXPECT_EQ(view.noBoardsShown, noBoardsShown);
    }
}

TEST(BoardPanel, StateBitsChoosePicturesAndButtons) {
    const std::pair<uint8_t, std::array<bool, 7>> cases[] = {
        {0x7F, {true, true, true, true, true, true, true}},  // relays on NC, the output off
        {0x15, {true, false, true, false, true, false, false}},
        {0x00, {false, false, false, false, false, false, false}},  // relays on NO, the output on
        {0x80, {false, false, false, false, false, false, false}},  // bit 7 means nothing
    };
    for (const auto& [state, atRest] : cases) {
        StatusSnapshot snapshot;
        snapshot.boards[6 + 3] = state;  // board 4's state byte
        snapshot.boards[6 + 2] = 0x55;   // board 3 must not count
        const BoardPanelView view = RefreshBoardPanel(snapshot, 4, BoardPanelMemory{});
        for (std::size_t e = 0; e < kBoardElementCount; ++e) {
            SCOPED_TRACE(::testing::Message() << "state " << int(state) << ", element " << e + 1);
            EXPECT_EQ(view[e].atRest, atRest[e]);
            EXPECT_EQ(view[e].workEnabled, atRest[e]);
            EXPECT_EQ(view[e].restEnabled, !atRest[e]);
        }
    }
}

TEST(BoardPanel, TheCountdownShowsOnTheLastPressedToggleOnly) {
    StatusSnapshot snapshot;
    snapshot.boards[12] = 5;
    const auto captions = [&](int lastElement) {
        Texts texts;
        for (const BoardElementView& e : RefreshBoardPanel(snapshot, 1, {lastElement})) {
            texts.push_back(e.toggleCaption);
        }
        return texts;
    };
    EXPECT_EQ(captions(2),
              (Texts{"Toggle", "5", "Toggle", "Toggle", "Toggle", "Toggle", "Toggle"}));
    EXPECT_EQ(captions(7),
              (Texts{"Toggle", "Toggle", "Toggle", "Toggle", "Toggle", "Toggle", "5"}));
    snapshot.boards[12] = 0;
    EXPECT_EQ(captions(2), Texts(7, "Toggle"));
}

TEST(BoardPanel, CaptionsAndTitles) {
    EXPECT_EQ(BoardPanelTitle(6), "Relay Daughter Board 6 Control");
    EXPECT_EQ(BoardButtonLabel(3), "RDB 3");
    EXPECT_EQ(ElementLabel(1), "Relay 1");
    EXPECT_EQ(ElementLabel(7), "150 ma Output");
    EXPECT_EQ(std::string(RestCaption(6)) + WorkCaption(6).data(), "NCNO");
    EXPECT_EQ(std::string(RestCaption(7)) + WorkCaption(7).data(), "OFFON");
}

}  // namespace
}  // namespace varnex
