#include "automation/daughter_boards.h"

#include "trigger_test_support.h"

namespace varnex {
namespace {

using testing::Bytes;

struct BoardRules : testing::RulesFixture {
    BoardPanelMemory memory;
};

TEST_F(BoardRules, EachPressSendsOneCommandAtOnce) {
    struct Case {
        const char* what;
        int board;
        int element;
        BoardAction action;
        int slider;
        Bytes bytes;  // 20..24
    };
    const std::vector<Case> cases = {
        {"board 3 relay 5 toggled at 12", 3, 5, BoardAction::Toggle, 12, {0x48, 0x10, 2, 12, '*'}},
        {"board 6 output ON", 6, 7, BoardAction::Work, 1, {0x4E, 0x40, 1, 0, '*'}},
        {"board 1 relay 1 NC", 1, 1, BoardAction::Rest, 1, {0x44, 0x01, 0, 0, '*'}},
        {"board 4 relay 6 NO, slider ignored",
         4,
         6,
         BoardAction::Work,
         30,
         {0x4A, 0x20, 1, 0, '*'}},
        {"board 2 output OFF", 2, 7, BoardAction::Rest, 5, {0x46, 0x40, 0, 0, '*'}},
        {"board 5 output toggled at 60", 5, 7, BoardAction::Toggle, 60, {0x4C, 0x40, 2, 60, '*'}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(
            PressBoardButton(harness.session, memory, c.board, c.element, c.action, c.slider))
            << c.what;
        EXPECT_EQ(NextParameters('R', 5), c.bytes) << c.what;
        EXPECT_EQ(memory.lastElement, c.element) << c.what;
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(BoardRules, TheChooserOffersDetectedBoardsOnly) {
    struct Case {
        const char* what;
        std::array<uint8_t, 6> presence;
        std::array<bool, 6> enabled;
        bool noBoardsShown;
    };
    const std::vector<Case> cases = {
        {"none", {0, 0, 0, 0, 0, 0}, {}, true},
        {"boards 2 and 5",
         {0, 0xFF, 0, 0, 0xFF, 0},
         {false, true, false, false, true, false},
         false},
        {"all six",
         {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
         {true, true, true, true, true, true},
         false},
        // Neither detected nor absent: not offered, and not "none" either.
        {"a stray presence byte", {0, 0, 0x01, 0, 0, 0}, {}, false},
    };
    for (const Case& c : cases) {
        StatusSnapshot snapshot;
        std::copy(c.presence.begin(), c.presence.end(), snapshot.boards.begin());
        const BoardChooserView view = ChooseBoards(snapshot);
        EXPECT_EQ(view.boardEnabled, c.enabled) << c.what;
        EXPECT_EQ(view.noBoardsShown, c.noBoardsShown) << c.what;
    }
}

TEST(BoardPanel, StateBitsChoosePicturesAndButtons) {
    struct Case {
        const char* what;
        uint8_t state;
        std::array<bool, 7> atRest;
    };
    const std::vector<Case> cases = {
        {"0x7F: relays on NC, output off", 0x7F, {true, true, true, true, true, true, true}},
        {"0x00: relays on NO, output on", 0x00, {false, false, false, false, false, false, false}},
        {"relays 1, 3, 5 on NC", 0x15, {true, false, true, false, true, false, false}},
        {"bit 7 means nothing", 0x80, {false, false, false, false, false, false, false}},
    };
    for (const Case& c : cases) {
        StatusSnapshot snapshot;
        snapshot.boards[6 + 3] = c.state;  // board 4's state byte
        snapshot.boards[6 + 2] = 0x55;     // board 3 must not count
        const BoardPanelView view = RefreshBoardPanel(snapshot, 4, BoardPanelMemory{});
        for (std::size_t e = 0; e < kBoardElementCount; ++e) {
            EXPECT_EQ(view[e].atRest, c.atRest[e]) << c.what << ", element " << e + 1;
            EXPECT_EQ(view[e].workEnabled, c.atRest[e]) << c.what << ", element " << e + 1;
            EXPECT_EQ(view[e].restEnabled, !c.atRest[e]) << c.what << ", element " << e + 1;
        }
    }
}

TEST(BoardPanel, TheCountdownShowsOnTheLastPressedToggleOnly) {
    StatusSnapshot snapshot;
    snapshot.boards[12] = 5;
    const auto captions = [&](int lastElement) {
        std::vector<std::string> texts;
        for (const BoardElementView& e : RefreshBoardPanel(snapshot, 1, {lastElement})) {
            texts.push_back(e.toggleCaption);
        }
        return texts;
    };
    using Texts = std::vector<std::string>;
    EXPECT_EQ(captions(2),
              (Texts{"Toggle", "5", "Toggle", "Toggle", "Toggle", "Toggle", "Toggle"}));
    EXPECT_EQ(captions(7),
              (Texts{"Toggle", "Toggle", "Toggle", "Toggle", "Toggle", "Toggle", "5"}));
    snapshot.boards[12] = 0;
    EXPECT_EQ(captions(2), Texts(7, "Toggle"));
}

TEST(BoardPanel, CaptionsAndTitles) {
    EXPECT_EQ(BoardPanelTitle(1), "Relay Daughter Board 1 Control");
    EXPECT_EQ(BoardPanelTitle(6), "Relay Daughter Board 6 Control");
    EXPECT_EQ(BoardButtonLabel(3), "RDB 3");
    EXPECT_EQ(ElementLabel(1), "Relay 1");
    EXPECT_EQ(ElementLabel(7), "150 ma Output");
    EXPECT_EQ(std::string(RestCaption(6)) + WorkCaption(6).data(), "NCNO");
    EXPECT_EQ(std::string(RestCaption(7)) + WorkCaption(7).data(), "OFFON");
    for (const BoardElementView& e : OpeningBoardPanel()) {
        EXPECT_TRUE(e.atRest);
        EXPECT_EQ(e.toggleCaption, "Toggle");
    }
}

}  // namespace
}  // namespace varnex
