#include "ui/automation/daughter_board_dialogs.h"

#include <QToolButton>

#include "protocol/reply_kind.h"

#include "ui/automation/script_dialog_fixture.h"

namespace varnex {
namespace {

class DaughterBoardTest : public ScriptDialogTest {
  protected:
    // Boards as the unit reports them from the next poll on.
    void AttachBoards(std::initializer_list<int> boards, uint8_t state) {
        for (const int board : boards) {
            unit_.State().boardPresent[std::size_t(board - 1)] = true;
            unit_.State().boardStates[std::size_t(board - 1)] = state;
        }
        Poll();
    }
    static bool Shows(QLabel* picture, int element, bool atRest) {
        return picture->pixmap().toImage() == BoardElementPicture(element, atRest).toImage();
    }
    BoardPanelMemory memory;
};

TEST_F(DaughterBoardTest, TheChooserOffersPresentBoardsAndClosesWithThePanelItOpens) {
    {
        auto none = Show<BoardChooserDialog>(memory);
        EXPECT_EQ(Shown({none.get(), none->noBoardsLabel()}),
                  (QStringList{"Relay Daughter Board Control",
                               "NO  RELAY  DAUGHTER  BOARDS  DETECTED  !"}));
        EXPECT_TRUE(none->noBoardsLabel()->isVisible());
        EXPECT_FALSE(none->boardButton(3)->isEnabled());
        Shoot(*none, "board_chooser_none");
    }
    AttachBoards({3, 6}, 0x7F);
    auto chooser = Show<BoardChooserDialog>(memory);
    EXPECT_FALSE(chooser->noBoardsLabel()->isVisible());
    for (int board = 1; board <= 6; ++board) {
        EXPECT_EQ(chooser->boardButton(board)->isEnabled(), board == 3 || board == 6) << board;
        EXPECT_FALSE(chooser->boardButton(board)->icon().isNull()) << board;
    }
    Shoot(*chooser, "board_chooser");

    QString panelTitle;
    const ModalWatchdog watchdog(3000);
    OnNextModal([&](QWidget* panel) {
        panelTitle = panel->windowTitle();
        QTest::keyClick(panel, Qt::Key_Escape);
    });
    QTest::mouseClick(chooser->boardButton(3), Qt::LeftButton);
    EXPECT_EQ(panelTitle, "Relay Daughter Board 3 Control");
    EXPECT_FALSE(chooser->isVisible());
}

TEST_F(DaughterBoardTest, PicturesButtonsAndTheCountdownFollowTheStatus) {
    AttachBoards({2}, 0x7F);
    auto panel = Show<BoardPanelDialog>(memory, 2);
    const auto showsAll = [&](bool atRest) {
        for (int e = 1; e <= 7; ++e) {
            if (!Shows(panel->picture(e), e, atRest) ||
                panel->workButton(e)->isEnabled() != atRest ||
                panel->restButton(e)->isEnabled() == atRest) {
                return false;
            }
        }
        return true;
    };
    ASSERT_TRUE(Eventually([&] { return showsAll(true); }));
    EXPECT_EQ(Shown({panel->restButton(1), panel->workButton(7)}), (QStringList{"NC", "ON"}));
    EXPECT_EQ(panel->delaySlider(4)->maximum(), 60);
    Shoot(*panel, "board_panel_rest");

    // From 1 to 5 with the arrow key, as a user does.
    for (int k = 0; k < 4; ++k) {
        QTest::keyClick(panel->delaySlider(2), Qt::Key_Right);
    }
    QTest::mouseClick(panel->toggleButton(2), Qt::LeftButton);
    ASSERT_TRUE(Eventually([this] { return unit_.State().toggle.has_value(); }));
    EXPECT_EQ(unit_.State().toggle->mask, 0x02);
    EXPECT_EQ(unit_.State().toggle->endsAt, unitNow_ + std::chrono::seconds(5));
    EXPECT_EQ(unit_.State().boardStates[1], 0x7F ^ 0x02);
    EXPECT_EQ(FirstPopup(), "RDB Command Success !");
    const auto captions = [&] { return Shown({panel->toggleButton(1), panel->toggleButton(2)}); };
    unitNow_ += std::chrono::seconds(1);
    Poll();
    ASSERT_TRUE(Eventually([&] {
        return captions() == QStringList{"Toggle", "4"};
    })) << captions().join('|').toStdString();
    Shoot(*panel, "board_panel_countdown");

    // Relay 1's toggle while relay 2's runs is refused; the countdown it
    // drew on relay 1's button goes back to relay 2's.
    QTest::mouseClick(panel->toggleButton(1), Qt::LeftButton);
    ASSERT_TRUE(Eventually([this] { return session.returnCodeCount(kOneToggleOnlyCode) == 1; }));
    ASSERT_TRUE(Eventually([&] {
        return captions() == QStringList{"Toggle", "4"};
    })) << captions().join('|').toStdString();
    EXPECT_EQ(recorder.popups.back().second, "One Toggle Timer Only !");

    unitNow_ += std::chrono::seconds(4);
    Poll();
    ASSERT_TRUE(Eventually([&] { return captions() == QStringList{"Toggle", "Toggle"}; }));
    unit_.State().boardStates[1] = 0x00;
    Poll();
    ASSERT_TRUE(Eventually([&] { return showsAll(false); }));
    Shoot(*panel, "board_panel_work");
}

TEST_F(DaughterBoardTest, AWorkButtonIsRememberedAndThePanelOutlivesTheSessionEndingUnderIt) {
    AttachBoards({4}, 0x55);
    auto panel = Show<BoardPanelDialog>(memory, 4);
    // The output is off: "ON" is the button to press.
    ASSERT_TRUE(Eventually([&] { return panel->workButton(7)->isEnabled(); }));
    EXPECT_TRUE(Shows(panel->picture(1), 1, true));
    QTest::mouseClick(panel->workButton(7), Qt::LeftButton);
    ASSERT_TRUE(Eventually([this] { return unit_.State().boardStates[3] == 0x15; }));
    EXPECT_EQ(memory.lastElement, 7);

    session.ResetSession();
    QTest::qWait(20);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(Shows(panel->picture(2), 2, false));
}

}  // namespace
}  // namespace varnex
