#include "settings/server_switches.h"

#include "settings_fixture.h"

namespace varnex::testing {
namespace {

using ServerSwitchesTest = SettingsTest;

TEST_F(ServerSwitchesTest, FirmwareDecidesWhichPagesAreUsable) {
    struct Case {
        std::array<uint8_t, 3> firmware;
        bool http;
        bool snmp;
    };
    const Case cases[] = {{{1, 6, 7}, false, false},
                          {{1, 6, 8}, true, false},
                          {{1, 7, 0}, true, false},
                          {{1, 7, 1}, true, true}};
    for (const Case& c : cases) {
        ReplyStatus(UnitWith(c.firmware));
        EXPECT_EQ(OpenServerSwitch(session_->snapshot(), ServerSwitch::Http).usable, c.http)
            << int(c.firmware[2]);
        EXPECT_EQ(OpenServerSwitch(session_->snapshot(), ServerSwitch::Snmp).usable, c.snmp)
            << int(c.firmware[2]);
    }
}

TEST_F(ServerSwitchesTest, PagesShowTheReportedSwitches) {
    unit::UnitState unit = UnitWith({1, 7, 1});
    unit.http = 1;
    unit.snmp = 0;
    ReplyStatus(unit);
    const ServerSwitchPage http = OpenServerSwitch(session_->snapshot(), ServerSwitch::Http);
    EXPECT_EQ(http.heading, "HTTP   Server");
    EXPECT_EQ(http.enableCaption, "Enable HTTP Server");
    EXPECT_EQ(http.disableCaption, "Disable HTTP Server");
    EXPECT_TRUE(http.disabledChosen);
    const ServerSwitchPage snmp = OpenServerSwitch(session_->snapshot(), ServerSwitch::Snmp);
    EXPECT_EQ(snmp.heading, "SNMP   Server");
    EXPECT_FALSE(snmp.disabledChosen);
}

TEST_F(ServerSwitchesTest, EachChoiceAsksItsQuestionAndSendsItsByte) {
    struct Case {
        ServerSwitch which;
        bool enable;
        const char* question;
        char letter;
        uint8_t byte20;
    };
    const Case cases[] = {
        {ServerSwitch::Http, true, "Enable HTTP Access?\r\nAre You Sure ?", 'Q', 0},
        {ServerSwitch::Http, false, "Disable HTTP Access?\r\nAre You Sure ?", 'Q', 1},
        {ServerSwitch::Snmp, true, "Enable SNMP Access?\r\nAre You Sure ?", 'S', 0},
        {ServerSwitch::Snmp, false, "Disable SNMP Access?\r\nAre You Sure ?", 'S', 1},
    };
    for (const Case& c : cases) {
        recorder_.questions.clear();
        EXPECT_EQ(SendServerSwitch(*session_, recorder_.hooks, c.which, c.enable),
                  DialogOutcome::Closes);
        ASSERT_EQ(recorder_.questions.size(), 1u);
        EXPECT_EQ(recorder_.questions[0].text, c.question);
        EXPECT_EQ(recorder_.questions[0].caption, "Change Status?");
        const auto sent = NextCommand();
        ASSERT_TRUE(sent.has_value());
        EXPECT_EQ(sent->at(wire::kLetterOffset), c.letter);
        EXPECT_EQ(sent->at(20), c.byte20);
        EXPECT_EQ(sent->at(21), '*');
    }
    EXPECT_TRUE(SessionRuns());

    recorder_.answerYes = false;
    const std::string sentBefore = session_->display().counters.sent;
    EXPECT_EQ(SendServerSwitch(*session_, recorder_.hooks, ServerSwitch::Http, true),
              DialogOutcome::StaysOpen);
    EXPECT_EQ(session_->display().counters.sent, sentBefore);
}

}  // namespace
}  // namespace varnex::testing
