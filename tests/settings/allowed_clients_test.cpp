#include "settings/allowed_clients.h"

#include "settings_fixture.h"

namespace varnex::testing {
namespace {

using AllowedClientsTest = SettingsTest;

TEST_F(AllowedClientsTest, TheReportedModeAndAddressesOpenThePage) {
    unit::UnitState unit = UnitWith();
    unit.allowMode = 1;
    unit.allowed = {{{192, 168, 0, 7}, {10, 0, 0, 255}, {}, {}, {1, 2, 3, 4}}};
    ReplyStatus(unit);
    const AllowedClients listed = ReportedAllowedClients(session_->snapshot());
    EXPECT_TRUE(listed.onlyListed);
    EXPECT_EQ(listed.addresses, (AllowedAddresses{0xC0A80007, 0x0A0000FF, 0, 0, 0x01020304}));

    unit.allowMode = 0;
    ReplyStatus(unit);
    EXPECT_FALSE(ReportedAllowedClients(session_->snapshot()).onlyListed);
}

TEST_F(AllowedClientsTest, OnlyTheFirstAddressFilledSendsZerosForTheOthers) {
    const AllowedClients choice{true, {0x7F000001, 0, 0, 0, 0}};
    EXPECT_EQ(SendAllowedClients(*session_, recorder_.hooks, choice, true), DialogOutcome::Closes);
    ASSERT_EQ(recorder_.questions.size(), 1u);
    EXPECT_EQ(recorder_.questions[0].text,
              "Only Allow certain IP addresses to connect?\r\nAre You Sure ?");
    EXPECT_EQ(recorder_.questions[0].caption, "Change Allowable IP state?");
    const auto sent = NextCommand();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->at(wire::kLetterOffset), 'H');
    EXPECT_EQ(sent->at(20), 1);
    EXPECT_EQ(std::vector<uint8_t>(sent->begin() + 21, sent->begin() + 25),
              (std::vector<uint8_t>{127, 0, 0, 1}));
    EXPECT_EQ(std::vector<uint8_t>(sent->begin() + 25, sent->begin() + 41),
              std::vector<uint8_t>(16, 0));
    EXPECT_EQ(sent->at(41), '*');
    EXPECT_TRUE(SessionRuns());
}

TEST_F(AllowedClientsTest, AllowAllSendsModeZeroAndKeepsTheFiller) {
    const AllowedClients choice{false, {0x7F000001, 0x7F000002, 0, 0, 0}};
    EXPECT_EQ(SendAllowedClients(*session_, recorder_.hooks, choice, false), DialogOutcome::Closes);
    ASSERT_EQ(recorder_.questions.size(), 1u);
    EXPECT_EQ(recorder_.questions[0].text, "Allow ALL IP addresses to connect?\r\nAre You Sure ?");
    const auto sent = NextCommand();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->at(20), 0);
    EXPECT_EQ(Slice(*sent, 21, 275), std::string(254, '*'));
}

TEST_F(AllowedClientsTest, AnIncompleteFirstAddressOrANoSendsNothing) {
    EXPECT_EQ(SendAllowedClients(*session_, recorder_.hooks, {true, {}}, false),
              DialogOutcome::StaysOpen);
    ASSERT_EQ(recorder_.messages.size(), 1u);
    EXPECT_EQ(recorder_.messages[0].text, "Invalid IP Address");
    EXPECT_EQ(recorder_.messages[0].caption, "  Varnex v1");
    EXPECT_EQ(recorder_.messages[0].icon, MessageIcon::Stop);
    EXPECT_TRUE(recorder_.questions.empty());

    recorder_.answerYes = false;
    EXPECT_EQ(SendAllowedClients(*session_, recorder_.hooks, {false, {}}, false),
              DialogOutcome::StaysOpen);
    EXPECT_EQ(session_->display().counters.sent, "1");
}

}  // namespace
}  // namespace varnex::testing
