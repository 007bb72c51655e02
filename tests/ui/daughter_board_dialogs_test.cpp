#include "ui/daughter_board_dialogs.h"

#include <QLabel>
#include <QSlider>
#include <QToolButton>

#include "script_dialog_fixture.h"

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

    std::unique_ptr<BoardPanelDialog> OpenPanel(int board) {
        auto panel = std::make_unique<BoardPanelDialog>(context, memory, board, nullptr);
        panel->show();
        return panel;
    }

    static bool Shows(QLabel* picture, int element, bool atRest) {
        return picture->pixmap().toImage() == BoardElementPicture(element, atRest).toImage();
    }

    // Moves a slider from 1 with the arrow key, as a user does.
    static void SlideTo(QSlider* slider, int value) {
        for (int k = slider->value(); k < value; ++k) {
            QTest::keyClick(slider, Qt::Key_Right);
        }
    }

    BoardPanelMemory memory;
};

TEST_F(DaughterBoardTest, TheChooserOffersPresentBoardsAndClosesWithThePanelItOpens) {
    {
        BoardChooserDialog none(context, memory, nullptr);
        none.show();
        EXPECT_EQ(none.windowTitle(), "Relay Daughter Board Control");
        EXPECT_EQ(none.noBoardsLabel()->text(), "NO  RELAY  DAUGHTER  BOARDS  DETECTED  !");
        EXPECT_TRUE(none.noBoardsLabel()->isVisible());
        EXPECT_FALSE(none.boardButton(3)->isEnabled());
        Shoot(none, "board_chooser_none");
    }
    AttachBoards({3, 6}, 0x7F);
    BoardChooserDialog chooser(context, memory, nullptr);
    chooser.show();
    EXPECT_FALSE(chooser.noBoardsLabel()->isVisible());
    for (int board = 1; board <= 6; ++board) {
        EXPECT_EQ(chooser.boardButton(board)->isEnabled(), board == 3 || board == 6) << board;
        EXPECT_FALSE(chooser.boardButton(board)->icon().isNull()) << board;
    }
    Shoot(chooser, "board_chooser");

    QString panelTitle;
    const ModalWatchdog watchdog(kDialogWaitMs);
    OnNextModal([&](QWidget* panel) {
        panelTitle = panel->windowTitle();
        QTest::keyClick(panel, Qt::Key_Escape);
    });
    QTest::mouseClick(chooser.boardButton(3), Qt::LeftButton);
    EXPECT_EQ(panelTitle, "Relay Daughter Board 3 Control");
    EXPECT_FALSE(chooser.isVisible());
}

TEST_F(DaughterBoardTest, PicturesButtonsAndTheCountdownFollowTheStatus) {
    AttachBoards({2}, 0x7F);
    auto panel = OpenPanel(2);
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
    ASSERT_TRUE(PumpUntil([&] { return showsAll(true); }, kDialogWaitMs));
    EXPECT_EQ(panel->restButton(1)->text(), "NC");
    EXPECT_EQ(panel->workButton(7)->text(), "ON");
    EXPECT_EQ(panel->delaySlider(4)->maximum(), 60);
    Shoot(*panel, "board_panel_rest");

    SlideTo(panel->delaySlider(2), 5);
    QTest::mouseClick(panel->toggleButton(2), Qt::LeftButton);
    ASSERT_TRUE(PumpUntil([this] { return unit_.State().toggle.has_value(); }, kDialogWaitMs));
    EXPECT_EQ(unit_.State().toggle->mask, 0x02);
    EXPECT_EQ(unit_.State().toggle->endsAt, unitNow_ + std::chrono::seconds(5));
    EXPECT_EQ(unit_.State().boardStates[1], 0x7F ^ 0x02);
    ASSERT_TRUE(PumpUntil([this] { return !recorder.popups.empty(); }, kDialogWaitMs));
    EXPECT_EQ(recorder.popups[0].second, "RDB Command Success !");
    const auto caption = [&](int element) { return panel->toggleButton(element)->text(); };
    unitNow_ += std::chrono::seconds(1);
    Poll();
    ASSERT_TRUE(PumpUntil([&] { return caption(2) == "4"; }, kDialogWaitMs))
        << caption(2).toStdString();
    EXPECT_EQ(caption(1), "Toggle");
    Shoot(*panel, "board_panel_countdown");

    unitNow_ += std::chrono::seconds(4);
    Poll();
    ASSERT_TRUE(PumpUntil([&] { return caption(2) == "Toggle"; }, kDialogWaitMs));
    unit_.State().boardStates[1] = 0x00;
    Poll();
    ASSERT_TRUE(PumpUntil([&] { return showsAll(false); }, kDialogWaitMs));
    Shoot(*panel, "board_panel_work");
}

TEST_F(DaughterBoardTest, AWorkButtonSwitchesTheOutputAndIsRemembered) {
    AttachBoards({6}, 0x7F);
    auto panel = OpenPanel(6);
    // The output is off: "ON" is the button to press.
    ASSERT_TRUE(PumpUntil([&] { return panel->workButton(7)->isEnabled(); }, kDialogWaitMs));
    QTest::mouseClick(panel->workButton(7), Qt::LeftButton);
    ASSERT_TRUE(PumpUntil([this] { return unit_.State().boardStates[5] == 0x3F; }, kDialogWaitMs));
    EXPECT_EQ(memory.lastElement, 7);
}

TEST_F(DaughterBoardTest, APanelOutlivesTheSessionEndingUnderIt) {
    AttachBoards({4}, 0x15);
    auto panel = OpenPanel(4);
    ASSERT_TRUE(PumpUntil([&] { return Shows(panel->picture(1), 1, true); }, kDialogWaitMs));
    session.ResetSession();
    QTest::qWait(20);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(Shows(panel->picture(2), 2, false));
}

}  // namespace
}  // namespace varnex
