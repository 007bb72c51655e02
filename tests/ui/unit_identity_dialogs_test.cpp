// The fixture comes first: it must precede every Qt header.
#include "settings_dialog_fixture.h"

#include <QLineEdit>
#include <QPushButton>

#include "ui/change_mac_dialog.h"
#include "ui/change_remote_ip_dialog.h"
#include "ui/ip_address_field.h"
#include "ui/station_name_dialog.h"

namespace varnex::testing {
namespace {

using UnitIdentityDialogsTest = SettingsDialogTest;

TEST_F(UnitIdentityDialogsTest, MacFieldsStartFromTheReportAndSendWhatWasTyped) {
    unit::UnitState unit = UnitWith();
    unit.mac = {0x02, 0x56, 0x4E, 0x58, 0x00, 0x01};
    ReplyStatus(unit);
    auto dialog = Show<ChangeMacDialog>();
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
    const std::vector<uint8_t> sent = Sent();
    ASSERT_GT(sent.size(), 26u);
    EXPECT_EQ(sent.at(wire::kLetterOffset), 'E');
    EXPECT_EQ(std::vector<uint8_t>(sent.begin() + 20, sent.begin() + 26),
              (std::vector<uint8_t>{0x00, 0x00, 0xC0, 0xA8, 0x01, 0xFF}));
    ASSERT_EQ(recorder_.launches.size(), 1u);
    EXPECT_EQ(recorder_.launches[0].back(), kUnitAddress);
    EXPECT_FALSE(SessionRuns());
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(UnitIdentityDialogsTest, RemoteIpStartsEmptyAndSendsTheFourNumbers) {
    auto dialog = Show<ChangeRemoteIpDialog>();
    EXPECT_EQ(dialog->windowTitle(), "Change Remote IP");
    EXPECT_TRUE(dialog->addressField()->isBlank());
    Shoot(*dialog, "change_remote_ip_dialog");
    Click(dialog->okButton());
    EXPECT_EQ(Messages(), std::vector<std::string>{"Invalid IP Address|  Varnex v1|stop|dialog"});
    EXPECT_TRUE(dialog->isVisible());

    dialog->addressField()->setAddress(0x7F000102);
    Click(dialog->okButton());
    const std::vector<uint8_t> sent = Sent();
    ASSERT_GT(sent.size(), 24u);
    EXPECT_EQ(sent.at(wire::kLetterOffset), 'F');
    EXPECT_EQ(std::vector<uint8_t>(sent.begin() + 20, sent.begin() + 24),
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

    auto dialog = Show<StationNameDialog>();
    EXPECT_EQ(dialog->windowTitle(), "Change Station Name");
    EXPECT_EQ(dialog->nameField()->text(), "Boiler Room");
    Shoot(*dialog, "station_name_dialog");
    QTest::keyClicks(dialog->nameField(), ".");
    EXPECT_EQ(recorder_.beeps, 1);

    dialog->nameField()->clear();
    Click(dialog->okButton());
    EXPECT_EQ(Messages(), std::vector<std::string>{"Zero Length Fields Not Allowed!||stop|dialog"});
    QTest::keyClicks(dialog->nameField(), "North Wing Boiler 25ABCDE");
    Click(dialog->okButton());
    const std::vector<uint8_t> sent = Sent();
    ASSERT_GT(sent.size(), 40u);
    EXPECT_EQ(sent.at(wire::kLetterOffset), 'I');
    EXPECT_EQ(Slice(sent, 20, 40), "North Wing Boiler 25");
    EXPECT_EQ(sent.at(40), 0);
    EXPECT_TRUE(SessionRuns());
    EXPECT_FALSE(dialog->isVisible());
}

}  // namespace
}  // namespace varnex::testing
