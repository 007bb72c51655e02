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

class SecuritySettingsDialogTest : public SettingsDialogTest {
  protected:
    std::unique_ptr<SecuritySettingsDialog> Open() {
        DialogContext context = Context();
        auto dialog = std::make_unique<SecuritySettingsDialog>(nullptr, context);
        dialog->show();
        return dialog;
    }
    void ShowTab(SecuritySettingsDialog& dialog, int index) {
        dialog.tabs()->setCurrentIndex(index);
    }
    void Type(IpAddressField* field, const std::array<const char*, 4>& numbers) {
        for (int i = 0; i < 4; ++i) {
            field->octetField(i)->setText(numbers[static_cast<std::size_t>(i)]);
        }
    }
};

TEST_F(SecuritySettingsDialogTest, FourTabsInOrderWithThePasswordPageFirst) {
    auto dialog = Open();
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
    auto dialog = Open();
    QTest::keyClicks(dialog->passwordField(), "k9 .Z");
    QTest::keyClicks(dialog->retypeField(), "k9Z");
    EXPECT_EQ(recorder_.beeps, 2);
    EXPECT_EQ(dialog->passwordField()->text(), "k9Z");
    QTest::keyClicks(dialog->passwordField(), "q");
    QTest::keyClicks(dialog->retypeField(), "q");
    Click(dialog->passwordOk());

    const auto sent = NextCommand();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->at(wire::kLetterOffset), 'G');
    EXPECT_EQ(Slice(*sent, 20, 30), "k9Zq******");
    EXPECT_FALSE(SessionRuns());
    EXPECT_EQ(Row("PASSWORD"), std::vector<std::string>{"k9Zq******"});
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_TRUE(dialog->refilledStationList().has_value());
}

TEST_F(SecuritySettingsDialogTest, AnsweringNoSendsNothingAndKeepsTheDialog) {
    ReplyStatus(UnitWith({1, 7, 4}));
    recorder_.answerYes = false;
    auto dialog = Open();
    QTest::keyClicks(dialog->passwordField(), "abc");
    QTest::keyClicks(dialog->retypeField(), "abc");
    Click(dialog->passwordOk());
    ShowTab(*dialog, 1);
    Click(dialog->addressesOk());
    ShowTab(*dialog, 2);
    Click(dialog->serverPage(ServerSwitch::Http).ok);
    EXPECT_EQ(recorder_.questions.size(), 3u);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(session_->display().counters.sent, "1");
    EXPECT_TRUE(SessionRuns());
}

TEST_F(SecuritySettingsDialogTest, OnlyTheFirstAddressFilledSendsZerosInTheOthers) {
    auto dialog = Open();
    ShowTab(*dialog, 1);
    EXPECT_TRUE(dialog->allowAllChoice()->isChecked());
    EXPECT_FALSE(dialog->addressField(0)->isEnabled());
    Click(dialog->allowListedChoice());
    EXPECT_TRUE(dialog->addressField(0)->isEnabled());
    Shoot(*dialog, "security_settings_dialog_addresses");
    for (std::size_t n = 0; n < 5; ++n) {
        dialog->addressField(n)->clear();
    }
    Type(dialog->addressField(0), {"127", "0", "0", "9"});
    Click(dialog->addressesOk());

    const auto sent = NextCommand();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->at(wire::kLetterOffset), 'H');
    EXPECT_EQ(sent->at(20), 1);
    EXPECT_EQ(std::vector<uint8_t>(sent->begin() + 21, sent->begin() + 41),
              (std::vector<uint8_t>{127, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(SessionRuns());
}

TEST_F(SecuritySettingsDialogTest, AllowAllSendsModeZeroThenFiller) {
    unit::UnitState unit = UnitWith();
    unit.allowMode = 1;
    unit.allowed[0] = {127, 0, 0, 1};
    ReplyStatus(unit);
    auto dialog = Open();
    ShowTab(*dialog, 1);
    EXPECT_TRUE(dialog->allowListedChoice()->isChecked());
    EXPECT_EQ(dialog->addressField(0)->address(), 0x7F000001u);
    Click(dialog->allowAllChoice());
    EXPECT_TRUE(dialog->addressField(0)->isBlank());
    Click(dialog->addressesOk());
    const auto sent = NextCommand();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->at(20), 0);
    EXPECT_EQ(Slice(*sent, 21, 41), std::string(20, '*'));
}

TEST_F(SecuritySettingsDialogTest, AnIncompleteFirstAddressIsRefusedAndTheDialogStays) {
    auto dialog = Open();
    ShowTab(*dialog, 1);
    Click(dialog->allowListedChoice());
    dialog->addressField(0)->clear();
    Type(dialog->addressField(0), {"10", "", "0", "1"});
    Click(dialog->addressesOk());
    ASSERT_EQ(recorder_.messages.size(), 1u);
    EXPECT_EQ(recorder_.messages[0].text, "Invalid IP Address");
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(SecuritySettingsDialogTest, FirmwareGatesTheHttpAndSnmpPages) {
    struct Case {
        std::array<uint8_t, 3> firmware;
        bool http;
        bool snmp;
    };
    for (const Case& c : {Case{{1, 6, 7}, false, false}, Case{{1, 6, 8}, true, false},
                          Case{{1, 7, 1}, true, true}}) {
        ReplyStatus(UnitWith(c.firmware));
        auto dialog = Open();
        for (const auto& [which, usable] :
             {std::pair{ServerSwitch::Http, c.http}, std::pair{ServerSwitch::Snmp, c.snmp}}) {
            const ServerSwitchControls& page = dialog->serverPage(which);
            EXPECT_EQ(page.enable->isEnabled(), usable) << int(c.firmware[2]);
            EXPECT_EQ(page.disable->isEnabled(), usable);
            EXPECT_EQ(page.ok->isEnabled(), usable);
            EXPECT_EQ(page.cancel->isEnabled(), usable);
        }
        if (c.firmware[2] == 8) {
            ShowTab(*dialog, 3);
            Shoot(*dialog, "security_settings_dialog_snmp_disabled");
        }
    }
}

TEST_F(SecuritySettingsDialogTest, DisablingSnmpSendsSWithOne) {
    ReplyStatus(UnitWith({1, 7, 4}));
    auto dialog = Open();
    ShowTab(*dialog, 3);
    const ServerSwitchControls& snmp = dialog->serverPage(ServerSwitch::Snmp);
    EXPECT_TRUE(snmp.enable->isChecked());
    Click(snmp.disable);
    Click(snmp.ok);
    ASSERT_EQ(recorder_.questions.size(), 1u);
    EXPECT_EQ(recorder_.questions[0].text, "Disable SNMP Access?\r\nAre You Sure ?");
    const auto sent = NextCommand();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->at(wire::kLetterOffset), 'S');
    EXPECT_EQ(sent->at(20), 1);
    EXPECT_FALSE(dialog->isVisible());
}

}  // namespace
}  // namespace varnex::testing
