// Return-message popups as a window manager shows them: above the modal
// dialog the user works in, and without taking the keyboard from it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "ui/qt_platform_hooks.h"
#include "ui/return_message_dialog.h"
#include "ui/ui_test_support.h"
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

struct Seen {
    bool panelFocused = false;
    int panelAt = -1;
    int popupAt = -1;
    QWidget* popupOwner = nullptr;
    uint32_t panelWindow = 0;
    uint32_t focusAfter = 0;
    QWidget* activeAfter = nullptr;
    QWidget* focusWidgetAfter = nullptr;
};

TEST(ReturnMessageUnderAWindowManager, ThePopupStaysAboveTheModalDialogAndLeavesItTheKeyboard) {
    QWidget mainWindow;
    mainWindow.setWindowTitle("main window");
    mainWindow.resize(640, 480);
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow, 5000));
    PlatformHooks hooks = MakeQtPlatformHooks(&mainWindow);

    QDialog panel(&mainWindow);
    panel.setWindowTitle("board panel");
    panel.resize(480, 320);
    auto* field = new QLineEdit(&panel);
    Seen seen;
    const ModalWatchdog watchdog(8000);
    QTimer::singleShot(0, [&] {
        seen.panelFocused = PumpUntil(
            [&] { return QApplication::activeWindow() == &panel && InputFocus() == panel.winId(); },
            4000);
        field->setFocus();
        hooks.showReturnMessage(9, "RDB Command Success !");
        QPointer<ReturnMessageDialog> popup = OpenPopup();
        PumpUntil([&] { return popup && StackedAt(*popup) >= 0; }, 900);
        // Time for the window manager to raise or focus it, if it would.
        QTest::qWait(200);
        if (popup) {
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

    ASSERT_TRUE(seen.panelFocused) << "the window manager never focused the dialog";
    EXPECT_EQ(seen.popupOwner, &panel);
    ASSERT_GE(seen.popupAt, 0) << "the popup was never stacked";
    EXPECT_GT(seen.popupAt, seen.panelAt);
    EXPECT_EQ(seen.focusAfter, seen.panelWindow);
    EXPECT_EQ(seen.activeAfter, &panel);
    EXPECT_EQ(seen.focusWidgetAfter, field);
}

}  // namespace
}  // namespace varnex::testing
