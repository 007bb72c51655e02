#include "settings/unit_identity.h"

#include "session/network_commands.h"
#include "settings_fixture.h"

namespace varnex::testing {
namespace {

using ::testing::ElementsAre;
using UnitIdentityTest = SettingsTest;

// Each group is read as hexadecimal, its first two digits only.
TEST_F(UnitIdentityTest, NewMacAddressIsSentThenTheNeighbourCacheFlushedAndTheSessionEnded) {
    EXPECT_EQ(ChangeMacAddress(*session_, recorder_.hooks, {"123", "0", "c0", "A8", "1", "ff"}),
              DialogOutcome::Closes);
    EXPECT_THAT(Questions(),
                ElementsAre("Change Mac Address?\r\nAre You Sure ?|Attention !|none|dialog"));
    EXPECT_EQ(Sent(), CommandFrame('E', {0x12, 0x00, 0xC0, 0xA8, 0x01, 0xFF}));

    // The computer forgets the unit's old hardware address, then the session ends.
    ASSERT_EQ(recorder_.launches.size(), 1u);
    const std::vector<std::string> flush = NeighbourFlushCommand(kUnitAddress);
    const std::vector<std::string>& launched = recorder_.launches[0];
    ASSERT_GE(launched.size(), flush.size());
    EXPECT_TRUE(std::equal(flush.begin(), flush.end(), launched.end() - flush.size()));
    EXPECT_FALSE(SessionRuns());
}

TEST_F(UnitIdentityTest, AnEmptyOrPastedNonHexGroupIsALameMacAddress) {
    const MacGroups cases[] = {{"00", "11", "", "33", "44", "55"},
                               {"00", "11", "22", "33", "44", "g5"},
                               {"00", "11", "22", " 3", "44", "55"}};
    for (const MacGroups& groups : cases) {
        recorder_.messages.clear();
        EXPECT_EQ(ChangeMacAddress(*session_, recorder_.hooks, groups), DialogOutcome::StaysOpen);
        EXPECT_THAT(Messages(), ElementsAre("Lame Mac Address Detected !||none|dialog"));
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
    EXPECT_EQ(ChangeRemoteIp(*session_, recorder_.hooks, std::nullopt), DialogOutcome::StaysOpen);
    EXPECT_THAT(Messages(), ElementsAre("Invalid IP Address|  Varnex v1|stop|dialog"));
    EXPECT_TRUE(SessionRuns());

    EXPECT_EQ(ChangeRemoteIp(*session_, recorder_.hooks, 0xC0A80A14), DialogOutcome::Closes);
    EXPECT_TRUE(recorder_.questions.empty());
    EXPECT_EQ(Sent(), CommandFrame('F', {192, 168, 10, 20}));
    EXPECT_FALSE(SessionRuns());
    EXPECT_THAT(Row("IPADDRESS"), ElementsAre(kUnitAddress));
}

TEST_F(UnitIdentityTest, StationNameIsPaddedWithBlanksThenZeros) {
    EXPECT_EQ(ChangeStationName(*session_, recorder_.hooks, ""), DialogOutcome::StaysOpen);
    EXPECT_THAT(Messages(), ElementsAre("Zero Length Fields Not Allowed!||stop|dialog"));

    const std::pair<std::string, std::string> cases[] = {
        {"Lab Unit 10", "Lab Unit 10         "},
        {"ABCDEFGHIJKLMNOPQRSTUVWXY", "ABCDEFGHIJKLMNOPQRST"},
    };
    for (const auto& [typed, sent] : cases) {
        EXPECT_EQ(ChangeStationName(*session_, recorder_.hooks, typed), DialogOutcome::Closes);
        EXPECT_EQ(Sent(), CommandFrame('I', TextBytes(sent), 0));
    }
    EXPECT_TRUE(recorder_.questions.empty());
    EXPECT_TRUE(SessionRuns());
}

}  // namespace
}  // namespace varnex::testing
