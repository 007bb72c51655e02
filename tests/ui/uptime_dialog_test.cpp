// The fixture comes first: it must precede every Qt header.
#include "settings_dialog_fixture.h"

#include "ui/uptime_dialog.h"

#include <QLabel>
#include <QPushButton>

namespace varnex::testing {
namespace {

using UptimeDialogTest = SettingsDialogTest;

QStringList Values(const UptimeDialog& dialog) {
    QStringList values;
    for (std::size_t row = 0; row < kUptimeRows; ++row) {
        values << dialog.valueLabel(row)->text();
    }
    return values;
}

TEST_F(UptimeDialogTest, EverySecondTheRowsFollowTheLatestReplyUntilOk) {
    ReplyStatus(UnitWith(), 86400);
    auto dialog = Show<UptimeDialog>();
    EXPECT_EQ(dialog->windowTitle(), "System Up Time");
    EXPECT_EQ(Values(*dialog),
              (QStringList{"86400", " 1440.00", " 24.00", " 1.00", " 0.03", " 0.00"}));
    EXPECT_TRUE(dialog->refreshTimer().isActive());
    EXPECT_EQ(dialog->refreshTimer().interval(), 1000);
    Shoot(*dialog, "uptime_dialog");

    ReplyStatus(UnitWith(), 0);
    EXPECT_EQ(dialog->valueLabel(0)->text(), "86400");  // not before the tick
    dialog->Refresh();
    EXPECT_EQ(Values(*dialog), (QStringList{"0", " 0", " 0", " 0", " 0", " 0"}));

    Click(dialog->okButton());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(dialog->refreshTimer().isActive());
}

}  // namespace
}  // namespace varnex::testing
