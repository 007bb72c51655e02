// The fixture comes first: it must precede every Qt header.
#include "settings_dialog_fixture.h"

#include "ui/security_settings_dialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "ui/ip_address_field.h"

namespace varnex::testing {
namespace {

using SecuritySettingsDialogTest = SettingsDialogTest;

TEST_F(SecuritySettingsDialogTest, FourTabsInOrderWithThePasswordPageFirst) {
    auto dialog = Show<SecuritySettingsDialog>();
    EXPECT_EQ(dialog->windowTitle(), "Change Security Settings");
    QStringList tabs;
    for (int i = 0; i < dialog->tabs()->count(); ++i) {
        tabs << dialog->tabs()->tabText(i);
    }
    EXPECT_EQ(tabs,
              (QStringList{"Change Password", "Allowed IP Numbers", "HTTP Server", "SNMP Server"}));
    EXPECT_EQ(dialog->tabs()->currentIndex(), 0);
    EXPECT_EQ(dialog->focusWidget(), dialog->passwordField());
    Shoot(*dialog, "security_settings_dialog_password");
}

TEST_F(SecuritySettingsDialogTest, AFourCharacterPasswordIsSentStoredAndEndsTheSession) {
    auto dialog = Show<SecuritySettingsDialog>();
    QTest::keyClicks(dialog->passwordField(), "k9 .Zq");
    QTest::keyClicks(dialog->retypeField(), "k9Zq");
    EXPECT_EQ(recorder_.beeps, 2);
    EXPECT_EQ(dialog->passwordField()->text(), "k9Zq");
    Click(dialog->passwordOk());

    const std::vector<uint8_t> sent = Sent();
    ASSERT_GT(sent.size(), 30u);
    EXPECT_EQ(sent.at(wire::kLetterOffset), 'G');
    EXPECT_EQ(Slice(sent, 20, 30), "k9Zq******");
    EXPECT_FALSE(SessionRuns());
    EXPECT_EQ(Row("PASSWORD"), std::vector<std::string>{"k9Zq******"});
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(dialog->refilledStationList().has_value());
}

TEST_F(SecuritySettingsDialogTest, TheReportedListOpensThePageAndOnlyTheFirstAddressIsSent) {
    unit::UnitState unit = UnitWith();
    unit.allowMode = 1;
    unit.allowed[0] = {127, 0, 0, 1};
    ReplyStatus(unit);
    auto dialog = Show<SecuritySettingsDialog>();
    dialog->tabs()->setCurrentIndex(1);
    EXPECT_TRUE(dialog->allowListedChoice()->isChecked());
    EXPECT_EQ(dialog->addressField(0)->address(), 0x7F000001u);
    Click(dialog->allowAllChoice());
    EXPECT_TRUE(dialog->addressField(0)->isBlank());
    EXPECT_FALSE(dialog->addressField(0)->isEnabled());
    Click(dialog->allowListedChoice());
    EXPECT_TRUE(dialog->addressField(0)->isEnabled());
    Shoot(*dialog, "security_settings_dialog_addresses");
    dialog->addressField(0)->setAddress(0x7F000009);
    Click(dialog->addressesOk());

    const std::vector<uint8_t> sent = Sent();
    ASSERT_GT(sent.size(), 41u);
    EXPECT_EQ(sent.at(wire::kLetterOffset), 'H');
    EXPECT_EQ(
        std::vector<uint8_t>(sent.begin() + 20, sent.begin() + 41),
        (std::vector<uint8_t>{1, 127, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(SessionRuns());
}

// Firmware 1.6.8 knows HTTP but not yet SNMP.
TEST_F(SecuritySettingsDialogTest, FirmwareGatesTheHttpAndSnmpPages) {
    ReplyStatus(UnitWith({1, 6, 8}));
    auto dialog = Show<SecuritySettingsDialog>();
    for (const auto& [which, usable] :
         {std::pair{ServerSwitch::Http, true}, std::pair{ServerSwitch::Snmp, false}}) {
        const ServerSwitchControls& page = dialog->serverPage(which);
        for (QAbstractButton* button :
             {static_cast<QAbstractButton*>(page.enable),
              static_cast<QAbstractButton*>(page.disable), static_cast<QAbstractButton*>(page.ok),
              static_cast<QAbstractButton*>(page.cancel)}) {
            EXPECT_EQ(button->isEnabled(), usable) << button->text().toStdString();
        }
    }
    dialog->tabs()->setCurrentIndex(3);
    Shoot(*dialog, "security_settings_dialog_snmp_disabled");
}

TEST_F(SecuritySettingsDialogTest, DisablingSnmpAsksThenSendsSWithOne) {
    ReplyStatus(UnitWith({1, 7, 4}));
    auto dialog = Show<SecuritySettingsDialog>();
    dialog->tabs()->setCurrentIndex(3);
    const ServerSwitchControls& snmp = dialog->serverPage(ServerSwitch::Snmp);
    EXPECT_TRUE(snmp.enable->isChecked());
    Click(snmp.disable);
    Click(snmp.ok);
    EXPECT_EQ(recorder_.questions.size(), 1u);
    const std::vector<uint8_t> sent = Sent();
    ASSERT_GT(sent.size(), 20u);
    EXPECT_EQ(sent.at(wire::kLetterOffset), 'S');
    EXPECT_EQ(sent.at(20), 1);
    EXPECT_FALSE(dialog->isVisible());
}

}  // namespace
}  // namespace varnex::testing
