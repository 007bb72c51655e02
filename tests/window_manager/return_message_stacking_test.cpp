// Return-message popups as a window manager shows them: above the modal
// daughter-board panel the user works in, and without taking the keyboard
// from it. The unit is the in-process simulator on 127.0.0.1.
#include <QPointer>
#include <algorithm>

#include "ui/automation/daughter_board_dialogs.h"
#include "ui/widgets/qt_platform_hooks.h"
#include "ui/main_window/return_message_dialog.h"
#include "ui/automation/script_dialog_fixture.h"
#include "x_session.h"

namespace varnex::testing {
namespace {

// Where `window` stands in the window manager's stacking, bottom first;
// -1 while it is not stacked.
int StackedAt(const QWidget& window) {
    const std::vector<uint32_t> order = StackingOrder();
    const auto found = std::find(order.begin(), order.end(), uint32_t(window.winId()));
    return found == order.end() ? -1 : int(found - order.begin());
}

ReturnMessageDialog* OpenPopup() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* popup = qobject_cast<ReturnMessageDialog*>(window); popup && popup->isVisible()) {
            return popup;
        }
    }
    return nullptr;
}

// What the test saw while the panel was open.
struct Seen {
    bool panelFocused = false;
    QString popupText;
    QWidget* popupOwner = nullptr;
    int panelAt = -1;
    int popupAt = -1;
    uint32_t panelWindow = 0;
    uint32_t focusAfter = 0;
    QWidget* activeAfter = nullptr;
    QWidget* focusWidgetAfter = nullptr;
};

using ReturnMessageUnderAWindowManager = ScriptDialogTest;

TEST_F(ReturnMessageUnderAWindowManager, ThePopupStaysAboveTheBoardPanelAndLeavesItTheKeyboard) {
    QWidget mainWindow;
    mainWindow.setWindowTitle("main window");
    mainWindow.resize(640, 480);
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow, 5000));
    recorder.hooks.showReturnMessage = MakeQtPlatformHooks(&mainWindow).showReturnMessage;
    unit_.State().boardPresent[1] = true;
    unit_.State().boardStates[1] = 0x7F;
    Poll();

    BoardPanelMemory memory;
    BoardPanelDialog panel(context, memory, 2, &mainWindow);
    QWidget* slider = panel.delaySlider(3);
    Seen seen;
    const ModalWatchdog watchdog(8000);
    QTimer::singleShot(0, [&] {
        seen.panelFocused = PumpUntil(
            [&] { return QApplication::activeWindow() == &panel && InputFocus() == panel.winId(); },
            4000);
        slider->setFocus();
        panel.workButton(1)->click();  // the unit answers "RDB Command Success !"
        PumpUntil([] { return OpenPopup() != nullptr; }, 900);
        QPointer<ReturnMessageDialog> popup = OpenPopup();
        PumpUntil([&] { return popup && StackedAt(*popup) >= 0; }, 600);
        // Time for the window manager to raise or focus it, if it would.
        QTest::qWait(200);
        if (popup) {
            seen.popupText = popup->text();
            seen.popupOwner = popup->parentWidget();
            seen.popupAt = StackedAt(*popup);
        }
        seen.panelAt = StackedAt(panel);
        seen.panelWindow = uint32_t(panel.winId());
        seen.focusAfter = InputFocus();
        seen.activeAfter = QApplication::activeWindow();
        seen.focusWidgetAfter = QApplication::focusWidget();
        panel.accept();
    });
    panel.exec();

    ASSERT_TRUE(seen.panelFocused) << "the window manager never focused the panel";
    EXPECT_EQ(seen.popupText, "RDB Command Success !");
    EXPECT_EQ(seen.popupOwner, &panel);
    ASSERT_GE(seen.popupAt, 0) << "the popup was never stacked";
    EXPECT_GT(seen.popupAt, seen.panelAt);
    EXPECT_EQ(seen.focusAfter, seen.panelWindow);
    EXPECT_EQ(seen.activeAfter, &panel);
    EXPECT_EQ(seen.focusWidgetAfter, slider);
}

}  // namespace
}  // namespace varnex::testing
