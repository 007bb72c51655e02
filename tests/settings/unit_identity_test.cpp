#include "settings/unit_identity.h"

#include "session/network_commands.h"
#include "settings_fixture.h"

namespace varnex::testing {
namespace {

using UnitIdentityTest = SettingsTest;

std::vector<uint8_t> Bytes(const std::vector<uint8_t>& sent, std::size_t from, std::size_t to) {
    return {sent.begin() + static_cast<std::ptrdiff_t>(from),
            sent.begin() + static_cast<std::ptrdiff_t>(to)};
}

TEST_F(UnitIdentityTest, MacGroupsAreReadAsHexadecimalBytes) {
    EXPECT_EQ(ChangeMacAddress(*session_, recorder_.hooks, {"00", "0", "c0", "A8", "1", "ff"}),
              DialogOutcome::Closes);
    ASSERT_EQ(recorder_.questions.size(), 1u);
    EXPECT_EQ(recorder_.questions[0].text, "Change Mac Address?\r\nAre You Sure ?");
    EXPECT_EQ(recorder_.questions[0].caption, "Attention !");
    EXPECT_EQ(recorder_.questions[0].icon, MessageIcon::None);

    const auto sent = NextCommand();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->at(wire::kLetterOffset), 'E');
    EXPECT_EQ(Bytes(*sent, 20, 26), (std::vector<uint8_t>{0x00, 0x00, 0xC0, 0xA8, 0x01, 0xFF}));
    EXPECT_EQ(sent->at(26), '*');

    // The computer forgets the unit's old hardware address, then the session ends.
    ASSERT_EQ(recorder_.launches.size(), 1u);
    const std::vector<std::string> flush = NeighbourFlushCommand(kUnitAddress);
    const std::vector<std::string>& launched = recorder_.launches[0];
    ASSERT_GE(launched.size(), flush.size());
    EXPECT_TRUE(std::equal(flush.begin(), flush.end(), launched.end() - flush.size()));
    EXPECT_FALSE(SessionRuns());
}

TEST_F(UnitIdentityTest, AGroupIsReadAsItsFirstTwoDigits) {
    EXPECT_EQ(ChangeMacAddress(*session_, recorder_.hooks, {"123", "4", "5", "6", "7", "8"}),
              DialogOutcome::Closes);
    const auto sent = NextCommand();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(Bytes(*sent, 20, 26), (std::vector<uint8_t>{0x12, 0x04, 0x05, 0x06, 0x07, 0x08}));
}

TEST_F(UnitIdentityTest, AnEmptyOrPastedNonHexGroupIsALameMacAddress) {
    const MacGroups cases[] = {{"00", "11", "", "33", "44", "55"},
                               {"00", "11", "22", "33", "44", "g5"},
                               {"00", "11", "22", " 3", "44", "55"}};
    for (const MacGroups& groups : cases) {
        recorder_.messages.clear();
        EXPECT_EQ(ChangeMacAddress(*session_, recorder_.hooks, groups), DialogOutcome::StaysOpen);
        ASSERT_EQ(recorder_.messages.size(), 1u);
        EXPECT_EQ(recorder_.messages[0].text, "Lame Mac Address Detected !");
        EXPECT_EQ(recorder_.messages[0].caption, "");
        EXPECT_EQ(recorder_.messages[0].icon, MessageIcon::None);
    }
    EXPECT_TRUE(recorder_.questions.empty());
    EXPECT_TRUE(SessionRuns());
}

TEST_F(UnitIdentityTest, AnsweringNoToTheMacQuestionSendsAndLaunchesNothing) {
    recorder_.answerYes = false;
    EXPECT_EQ(ChangeMacAddress(*session_, recorder_.hooks, {"00", "00", "c0", "a8", "01", "02"}),
              DialogOutcome::StaysOpen);
    EXPECT_EQ(session_->display().counters.sent, "1");
    EXPECT_TRUE(recorder_.launches.empty());
    EXPECT_TRUE(SessionRuns());
}

TEST_F(UnitIdentityTest, NewIpAddressIsSentFirstNumberFirstAndEndsTheSession) {
    EXPECT_EQ(ChangeRemoteIp(*session_, recorder_.hooks, 0xC0A80A14), DialogOutcome::Closes);
    EXPECT_TRUE(recorder_.questions.empty());
    const auto sent = NextCommand();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->at(wire::kLetterOffset), 'F');
    EXPECT_EQ(Bytes(*sent, 20, 24), (std::vector<uint8_t>{192, 168, 10, 20}));
    EXPECT_EQ(sent->at(24), '*');
    EXPECT_FALSE(SessionRuns());
    EXPECT_EQ(Row("IPADDRESS"), std::vector<std::string>{kUnitAddress});
}

TEST_F(UnitIdentityTest, AnIncompleteIpAddressIsRefused) {
    EXPECT_EQ(ChangeRemoteIp(*session_, recorder_.hooks, std::nullopt), DialogOutcome::StaysOpen);
    ASSERT_EQ(recorder_.messages.size(), 1u);
    EXPECT_EQ(recorder_.messages[0].text, "Invalid IP Address");
    EXPECT_EQ(recorder_.messages[0].caption, "  Varnex v1");
    EXPECT_EQ(recorder_.messages[0].icon, MessageIcon::Stop);
    EXPECT_TRUE(SessionRuns());
}

TEST_F(UnitIdentityTest, StationNameIsPaddedWithBlanksThenZeros) {
    struct Case {
        std::string typed;
        std::string sent;
    };
    const Case cases[] = {
        {"Lab Unit 10", "Lab Unit 10         "},
        {"ABCDEFGHIJKLMNOPQRSTUVWXY", "ABCDEFGHIJKLMNOPQRST"},
        {"A", "A" + std::string(19, ' ')},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChangeStationName(*session_, recorder_.hooks, c.typed), DialogOutcome::Closes);
        const auto sent = NextCommand();
        ASSERT_TRUE(sent.has_value());
        EXPECT_EQ(sent->at(wire::kLetterOffset), 'I');
        EXPECT_EQ(Slice(*sent, 10, 20), kStoredPassword);
        EXPECT_EQ(Slice(*sent, 20, 40), c.sent);
        EXPECT_EQ(Bytes(*sent, 40, 285), std::vector<uint8_t>(245, 0));
    }
    EXPECT_TRUE(recorder_.questions.empty());
    EXPECT_TRUE(SessionRuns());
}

TEST_F(UnitIdentityTest, AnEmptyStationNameIsRefused) {
    EXPECT_EQ(ChangeStationName(*session_, recorder_.hooks, ""), DialogOutcome::StaysOpen);
    ASSERT_EQ(recorder_.messages.size(), 1u);
    EXPECT_EQ(recorder_.messages[0].text, "Zero Length Fields Not Allowed!");
    EXPECT_EQ(recorder_.messages[0].caption, "");
    EXPECT_EQ(recorder_.messages[0].icon, MessageIcon::Stop);
    EXPECT_EQ(session_->display().counters.sent, "1");
}

}  // namespace
}  // namespace varnex::testing
