// The fixture comes first: it must precede every Qt header.
#include "settings_dialog_fixture.h"

#include "ui/uptime_dialog.h"

#include <QLabel>
#include <QPushButton>

namespace varnex::testing {
namespace {

class UptimeDialogTest : public SettingsDialogTest {
  protected:
    std::unique_ptr<UptimeDialog> Open() {
        DialogContext context = Context();
        auto dialog = std::make_unique<UptimeDialog>(nullptr, context);
        dialog->show();
        return dialog;
    }
    QStringList Values(const UptimeDialog& dialog) {
        QStringList values;
        for (std::size_t row = 0; row < kUptimeRows; ++row) {
            values << dialog.valueLabel(row)->text();
        }
        return values;
    }
};

TEST_F(UptimeDialogTest, ShowsTheReportedUptimeInSixUnits) {
    ReplyStatus(UnitWith(), 86400);
    auto dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), "System Up Time");
    EXPECT_EQ(Values(*dialog),
              (QStringList{"86400", " 1440.00", " 24.00", " 1.00", " 0.03", " 0.00"}));
    Shoot(*dialog, "uptime_dialog");
}

TEST_F(UptimeDialogTest, ZeroShowsZeroAndABlankZeroInEveryOtherRow) {
    auto dialog = Open();
    EXPECT_EQ(Values(*dialog), (QStringList{"0", " 0", " 0", " 0", " 0", " 0"}));
}

TEST_F(UptimeDialogTest, EverySecondTheValuesFollowTheLatestReplyUntilOk) {
    ReplyStatus(UnitWith(), 60);
    auto dialog = Open();
    EXPECT_TRUE(dialog->refreshTimer().isActive());
    EXPECT_EQ(dialog->refreshTimer().interval(), 1000);
    EXPECT_EQ(dialog->valueLabel(1)->text(), " 1.00");

    ReplyStatus(UnitWith(), 3600);
    EXPECT_EQ(dialog->valueLabel(1)->text(), " 1.00");  // not before the tick
    dialog->Refresh();
    EXPECT_EQ(dialog->valueLabel(0)->text(), "3600");
    EXPECT_EQ(dialog->valueLabel(2)->text(), " 1.00");

    Click(dialog->okButton());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(dialog->refreshTimer().isActive());
}

}  // namespace
}  // namespace varnex::testing
