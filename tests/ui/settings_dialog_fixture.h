// The settings dialogs over a live session: the unit is a recording socket
// on 127.0.0.1 answered with the simulator's status records, the station
// database a file in a temporary folder, and every message, question, beep
// and launch is recorded.
#pragma once

#include "settings/settings_fixture.h"

#include <QWidget>
#include <memory>
#include <utility>

#include "ui/dialog_context.h"
#include "ui_test_support.h"

namespace varnex::testing {

class SettingsDialogTest : public SettingsTest {
  protected:
    // A dialog as the main window makes it: owner, context, then `args`.
    template <typename Dialog, typename... Args>
    std::unique_ptr<Dialog> Show(Args&&... args) {
        DialogContext context{*session_, stations_, recorder_.hooks};
        auto dialog = std::make_unique<Dialog>(nullptr, context, std::forward<Args>(args)...);
        dialog->show();
        return dialog;
    }

    static void Click(QAbstractButton* button) {
        ASSERT_TRUE(button->isVisible()) << button->text().toStdString();
        ClickNearLeft(button);
    }
};

}  // namespace varnex::testing
