// The fixture comes first: it must precede every Qt header.
#include "settings_dialog_fixture.h"

#include <QLineEdit>
#include <QPushButton>

#include "session/network_commands.h"
#include "ui/change_mac_dialog.h"
#include "ui/change_remote_ip_dialog.h"
#include "ui/ip_address_field.h"
#include "ui/station_name_dialog.h"

namespace varnex::testing {
namespace {

class UnitIdentityDialogsTest : public SettingsDialogTest {
  protected:
    template <typename Dialog>
    std::unique_ptr<Dialog> Open() {
        DialogContext context = Context();
        auto dialog = std::make_unique<Dialog>(nullptr, context);
        dialog->show();
        return dialog;
    }
};

TEST_F(UnitIdentityDialogsTest, MacFieldsStartFromTheReportAndSendWhatWasTyped) {
    unit::UnitState unit = UnitWith();
    unit.mac = {0x02, 0x56, 0x4E, 0x58, 0x00, 0x01};
    ReplyStatus(unit);
    auto dialog = Open<ChangeMacDialog>();
    EXPECT_EQ(dialog->windowTitle(), "Change Mac Address");
    EXPECT_EQ(dialog->groupField(2)->text(), "4E");
    Shoot(*dialog, "change_mac_dialog");

    const std::array<const char*, 6> typed = {"00", "0", "c0", "A8", "1", "ff"};
    for (std::size_t i = 0; i < typed.size(); ++i) {
        dialog->groupField(i)->clear();
        QTest::keyClicks(dialog->groupField(i), typed[i]);
    }
    EXPECT_EQ(dialog->groupField(2)->text(), "C0");
    QTest::keyClicks(dialog->groupField(5), "g");
    EXPECT_EQ(recorder_.beeps, 1);
    EXPECT_EQ(dialog->groupField(5)->text(), "FF");

    Click(dialog->okButton());
    const auto sent = NextCommand();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->at(wire::kLetterOffset), 'E');
    EXPECT_EQ(std::vector<uint8_t>(sent->begin() + 20, sent->begin() + 26),
              (std::vector<uint8_t>{0x00, 0x00, 0xC0, 0xA8, 0x01, 0xFF}));
    ASSERT_EQ(recorder_.launches.size(), 1u);
    EXPECT_EQ(recorder_.launches[0].back(), kUnitAddress);
    EXPECT_FALSE(SessionRuns());
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(UnitIdentityDialogsTest, AnEmptyMacGroupKeepsTheDialogOpen) {
    auto dialog = Open<ChangeMacDialog>();
    dialog->groupField(4)->clear();
    Click(dialog->okButton());
    ASSERT_EQ(recorder_.messages.size(), 1u);
    EXPECT_EQ(recorder_.messages[0].text, "Lame Mac Address Detected !");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(SessionRuns());
}

TEST_F(UnitIdentityDialogsTest, RemoteIpStartsEmptyAndSendsTheFourNumbers) {
    auto dialog = Open<ChangeRemoteIpDialog>();
    EXPECT_EQ(dialog->windowTitle(), "Change Remote IP");
    EXPECT_TRUE(dialog->addressField()->isBlank());
    Shoot(*dialog, "change_remote_ip_dialog");
    Click(dialog->okButton());
    ASSERT_EQ(recorder_.messages.size(), 1u);
    EXPECT_EQ(recorder_.messages[0].text, "Invalid IP Address");
    EXPECT_TRUE(dialog->isVisible());

    dialog->addressField()->setAddress(0x7F000102);
    Click(dialog->okButton());
    const auto sent = NextCommand();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->at(wire::kLetterOffset), 'F');
    EXPECT_EQ(std::vector<uint8_t>(sent->begin() + 20, sent->begin() + 24),
              (std::vector<uint8_t>{127, 0, 1, 2}));
    EXPECT_FALSE(SessionRuns());
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(UnitIdentityDialogsTest, StationNameStartsFromTheReportAndSendsTwentyCharacters) {
    unit::UnitState unit = UnitWith();
    const std::string reported = "Boiler Room";
    std::fill(unit.name.begin(), unit.name.end(), ' ');
    std::copy(reported.begin(), reported.end(), unit.name.begin());
    ReplyStatus(unit);

    auto dialog = Open<StationNameDialog>();
    EXPECT_EQ(dialog->windowTitle(), "Change Station Name");
    EXPECT_EQ(dialog->nameField()->text(), "Boiler Room");
    Shoot(*dialog, "station_name_dialog");
    QTest::keyClicks(dialog->nameField(), ".");
    EXPECT_EQ(recorder_.beeps, 1);

    dialog->nameField()->clear();
    QTest::keyClicks(dialog->nameField(), "North Wing Boiler 25");
    QTest::keyClicks(dialog->nameField(), "ABCDE");
    Click(dialog->okButton());
    const auto sent = NextCommand();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->at(wire::kLetterOffset), 'I');
    EXPECT_EQ(Slice(*sent, 20, 40), "North Wing Boiler 25");
    EXPECT_EQ(sent->at(40), 0);
    EXPECT_TRUE(SessionRuns());
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(UnitIdentityDialogsTest, AnEmptyStationNameIsRefused) {
    auto dialog = Open<StationNameDialog>();
    dialog->nameField()->clear();
    Click(dialog->okButton());
    ASSERT_EQ(recorder_.messages.size(), 1u);
    EXPECT_EQ(recorder_.messages[0].text, "Zero Length Fields Not Allowed!");
    EXPECT_TRUE(dialog->isVisible());
}

}  // namespace
}  // namespace varnex::testing
