// The settings dialogs over a live session: the unit is a recording socket
// on 127.0.0.1 answered with the simulator's status records, the station
// database a file in a temporary folder, and every message, question, beep
// and launch is recorded.
#pragma once

#include "settings/settings_fixture.h"

#include <QAbstractButton>
#include <QDir>
#include <QTest>
#include <QWidget>
#include <algorithm>

#include "ui/dialog_context.h"

namespace varnex::testing {

class SettingsDialogTest : public SettingsTest {
  protected:
    void Click(QAbstractButton* button) {
        ASSERT_TRUE(button->isVisible()) << button->text().toStdString();
        // Near the left edge: a radio button takes clicks only on its
        // indicator and text, not on the rest of a stretched row.
        const QPoint near(std::min(button->width() / 2, 8), button->height() / 2);
        QTest::mouseClick(button, Qt::LeftButton, {}, near);
    }

    // Saves what the dialog looks like, for a person to check by eye.
    static void Shoot(QWidget& dialog, const QString& name) {
        if (const QString folder = qEnvironmentVariable("VARNEX_SHOTS"); !folder.isEmpty()) {
            QDir().mkpath(folder);
            dialog.grab().save(folder + "/" + name + ".png");
        }
    }

    DialogContext Context() { return {*session_, stations_, recorder_.hooks}; }
};

}  // namespace varnex::testing
