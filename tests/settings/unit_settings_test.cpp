// Settings the unit keeps: allowed clients, password, servers, addresses and
// name. What is asked, the exact command frame, and what the session does then.
#include "session/network_commands.h"
#include "settings/allowed_clients.h"
#include "settings/password_change.h"
#include "settings/server_switches.h"
#include "settings/unit_identity.h"
#include "settings_fixture.h"

namespace varnex::testing {
namespace {

using ::testing::ElementsAre;
using UnitSettingsTest = SettingsTest;

TEST_F(UnitSettingsTest, TheReportedAllowedClientsOpenThePage) {
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

// An incomplete first address or a "No" sends nothing; only the listed mode
// sends addresses, unfilled ones as zeros.
TEST_F(UnitSettingsTest, EachAllowedClientsModeAsksItsQuestionAndSendsItsBytes) {
    EXPECT_EQ(SendAllowedClients(*session_, recorder_.hooks, {true, {}}, false),
              DialogOutcome::StaysOpen);
    EXPECT_THAT(Messages(), ElementsAre("Invalid IP Address|  Varnex v1|stop|dialog"));
    EXPECT_TRUE(recorder_.questions.empty());
    recorder_.answerYes = false;
    EXPECT_EQ(SendAllowedClients(*session_, recorder_.hooks, {false, {}}, false),
              DialogOutcome::StaysOpen);
    EXPECT_EQ(session_->display().counters.sent, "1");

    recorder_.answerYes = true;
    std::vector<uint8_t> listed = {1, 127, 0, 0, 1};
    listed.resize(21, 0);
    const std::tuple<AllowedClients, bool, std::string, std::vector<uint8_t>> cases[] = {
        {{true, {0x7F000001, 0, 0, 0, 0}}, true, "Only Allow certain", CommandFrame('H', listed)},
        {{false, {0x7F000001, 0x7F000002, 0, 0, 0}}, false, "Allow ALL", CommandFrame('H', {0})},
    };
    for (const auto& [choice, firstAddressComplete, question, frame] : cases) {
        recorder_.questions.clear();
        EXPECT_EQ(SendAllowedClients(*session_, recorder_.hooks, choice, firstAddressComplete),
                  DialogOutcome::Closes);
        EXPECT_THAT(Questions(),
                    ElementsAre(question + " IP addresses to connect?\r\nAre You Sure "
                                           "?|Change Allowable IP state?|none|dialog"));
        EXPECT_EQ(Sent(), frame);
    }
    EXPECT_TRUE(SessionRuns());
}

TEST_F(UnitSettingsTest, NewPasswordIsSentPaddedStoredAndEndsTheSession) {
    const PasswordChange change = ChangeRemotePassword(*session_, stations_, "Ab12", "Ab12");
    EXPECT_EQ(change.outcome, DialogOutcome::Closes);
    EXPECT_THAT(
        Questions(),
        ElementsAre("Change Remote Password?\r\nAre You Sure ?|Change Password?|none|dialog"));
    EXPECT_EQ(Sent(), CommandFrame('G', TextBytes("Ab12******")));  // under the old password
    EXPECT_FALSE(SessionRuns());
    EXPECT_EQ(session_->display().statusBar[1], " Not Connected");
    EXPECT_THAT(Row("PASSWORD"), ElementsAre("Ab12******"));
    ASSERT_TRUE(change.stationList.has_value());
    EXPECT_EQ(change.stationList->lines.size(), 2u);
    EXPECT_TRUE(recorder_.messages.empty());
}

TEST_F(UnitSettingsTest, OnlyTheFirstTenCharactersOfAPasswordAreComparedAndSent) {
    EXPECT_EQ(
        ChangeRemotePassword(*session_, stations_, "abcdefghij-one", "abcdefghij-two").outcome,
        DialogOutcome::Closes);
    EXPECT_EQ(Sent(), CommandFrame('G', TextBytes("abcdefghij")));
    EXPECT_THAT(Row("PASSWORD"), ElementsAre("abcdefghij"));
}

// Entries that differ, "No", or a row that cannot be written keep both the
// unit's and the stored password: nothing is sent and the session goes on.
TEST_F(UnitSettingsTest, RefusedDeclinedOrUnstoredPasswordSendsNothing) {
    for (const auto& [typed, retyped] : {std::pair{"one", "two"}, {"", ""}, {"abc", ""}}) {
        recorder_.messages.clear();
        EXPECT_EQ(ChangeRemotePassword(*session_, stations_, typed, retyped).outcome,
                  DialogOutcome::StaysOpen);
        EXPECT_THAT(Messages(), ElementsAre("Password Error, no match !||stop|dialog"));
    }
    EXPECT_TRUE(recorder_.questions.empty());

    recorder_.answerYes = false;
    EXPECT_EQ(ChangeRemotePassword(*session_, stations_, "newpass", "newpass").outcome,
              DialogOutcome::StaysOpen);
    EXPECT_THAT(Row("PASSWORD"), ElementsAre(kStoredPassword));

    recorder_.answerYes = true;
    recorder_.messages.clear();
    BreakTable();
    EXPECT_EQ(ChangeRemotePassword(*session_, stations_, "newpass", "newpass").outcome,
              DialogOutcome::StaysOpen);
    EXPECT_THAT(Messages(),
                ElementsAre("Execution of SQL statement failed|  Varnex v1|stop|dialog"));
    EXPECT_EQ(session_->display().counters.sent, "1");
    EXPECT_FALSE(NextCommand(200).has_value());
    EXPECT_TRUE(SessionRuns());
}

TEST_F(UnitSettingsTest, APasswordThatCannotBeSentLeavesTheStoredOneAsItWas) {
    // A request without a reply changes Lost, so the next send binds a new
    // local port, and that bind is refused.
    session_->SendCommand(Command::Status);
    ASSERT_TRUE(NextCommand().has_value());
    refuseBind_ = true;

    EXPECT_EQ(ChangeRemotePassword(*session_, stations_, "newpass", "newpass").outcome,
              DialogOutcome::Closes);
    EXPECT_THAT(Messages(), ElementsAre("Bind Error !!\r\nIt's Over !!||stop|main"));
    EXPECT_FALSE(NextCommand(200).has_value());
    EXPECT_THAT(Row("PASSWORD"), ElementsAre(kStoredPassword));
    EXPECT_FALSE(SessionRuns());
}

TEST_F(UnitSettingsTest, ServerPagesFollowTheFirmwareAndShowTheReportedSwitches) {
    const std::tuple<std::array<uint8_t, 3>, bool, bool> cases[] = {
        {{1, 6, 7}, false, false}, {{1, 6, 8}, true, false}, {{1, 7, 1}, true, true}};
    for (const auto& [firmware, http, snmp] : cases) {
        ReplyStatus(UnitWith(firmware));
        EXPECT_EQ(std::pair(OpenServerSwitch(session_->snapshot(), ServerSwitch::Http).usable,
                            OpenServerSwitch(session_->snapshot(), ServerSwitch::Snmp).usable),
                  std::pair(http, snmp))
            << int(firmware[2]);
    }
    unit::UnitState unit = UnitWith({1, 7, 1});
    unit.http = 1;
    unit.snmp = 0;
    ReplyStatus(unit);
    const auto page = [&](ServerSwitch which) {
        const ServerSwitchPage p = OpenServerSwitch(session_->snapshot(), which);
        return std::tuple(p.heading, p.enableCaption, p.disableCaption, p.disabledChosen);
    };
    EXPECT_EQ(page(ServerSwitch::Http),
              std::tuple("HTTP   Server", "Enable HTTP Server", "Disable HTTP Server", true));
    EXPECT_EQ(page(ServerSwitch::Snmp),
              std::tuple("SNMP   Server", "Enable SNMP Server", "Disable SNMP Server", false));
}

TEST_F(UnitSettingsTest, EachServerChoiceAsksItsQuestionAndSendsItsByte) {
    const std::tuple<ServerSwitch, bool, std::string, std::vector<uint8_t>> cases[] = {
        {ServerSwitch::Http, true, "Enable HTTP Access?", CommandFrame('Q', {0})},
        {ServerSwitch::Http, false, "Disable HTTP Access?", CommandFrame('Q', {1})},
        {ServerSwitch::Snmp, true, "Enable SNMP Access?", CommandFrame('S', {0})},
        {ServerSwitch::Snmp, false, "Disable SNMP Access?", CommandFrame('S', {1})},
    };
    for (const auto& [which, enable, question, frame] : cases) {
        recorder_.questions.clear();
        EXPECT_EQ(SendServerSwitch(*session_, recorder_.hooks, which, enable),
                  DialogOutcome::Closes);
        EXPECT_THAT(Questions(),
                    ElementsAre(question + "\r\nAre You Sure ?|Change Status?|none|dialog"));
        EXPECT_EQ(Sent(), frame);
    }
    EXPECT_TRUE(SessionRuns());

    recorder_.answerYes = false;
    EXPECT_EQ(SendServerSwitch(*session_, recorder_.hooks, ServerSwitch::Http, true),
              DialogOutcome::StaysOpen);
    EXPECT_EQ(session_->display().counters.sent, "5");
}

// Each group is read as hexadecimal, its first two digits only.
TEST_F(UnitSettingsTest, NewMacAddressIsSentThenTheNeighbourCacheFlushedAndTheSessionEnded) {
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
    EXPECT_EQ(std::vector(launched.end() - flush.size(), launched.end()), flush);
    EXPECT_FALSE(SessionRuns());
}

TEST_F(UnitSettingsTest, AnEmptyOrPastedNonHexGroupIsALameMacAddressAndNoSendsNothing) {
    const MacGroups cases[] = {{"00", "11", "", "33", "44", "55"},
                               {"00", "11", "22", "33", "44", "g5"},
                               {"00", "11", "22", " 3", "44", "55"}};
    for (const MacGroups& groups : cases) {
        recorder_.messages.clear();
        EXPECT_EQ(ChangeMacAddress(*session_, recorder_.hooks, groups), DialogOutcome::StaysOpen);
        EXPECT_THAT(Messages(), ElementsAre("Lame Mac Address Detected !||none|dialog"));
    }
    EXPECT_TRUE(recorder_.questions.empty());

    recorder_.answerYes = false;
    EXPECT_EQ(ChangeMacAddress(*session_, recorder_.hooks, {"00", "00", "c0", "a8", "01", "02"}),
              DialogOutcome::StaysOpen);
    EXPECT_EQ(session_->display().counters.sent, "1");
    EXPECT_TRUE(recorder_.launches.empty());
    EXPECT_TRUE(SessionRuns());
}

TEST_F(UnitSettingsTest, NewIpAddressIsSentFirstNumberFirstAndEndsTheSession) {
    EXPECT_EQ(ChangeRemoteIp(*session_, recorder_.hooks, std::nullopt), DialogOutcome::StaysOpen);
    EXPECT_THAT(Messages(), ElementsAre("Invalid IP Address|  Varnex v1|stop|dialog"));
    EXPECT_TRUE(SessionRuns());

    EXPECT_EQ(ChangeRemoteIp(*session_, recorder_.hooks, 0xC0A80A14), DialogOutcome::Closes);
    EXPECT_TRUE(recorder_.questions.empty());
    EXPECT_EQ(Sent(), CommandFrame('F', {192, 168, 10, 20}));
    EXPECT_FALSE(SessionRuns());
    EXPECT_THAT(Row("IPADDRESS"), ElementsAre(kUnitAddress));
}

TEST_F(UnitSettingsTest, StationNameIsPaddedWithBlanksThenZeros) {
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
