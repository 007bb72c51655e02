#include "settings/server_switches.h"

#include "settings_fixture.h"

namespace varnex::testing {
namespace {

using ::testing::ElementsAre;
using ServerSwitchesTest = SettingsTest;

TEST_F(ServerSwitchesTest, FirmwareDecidesWhichPagesAreUsable) {
    const struct {
        std::array<uint8_t, 3> firmware;
        bool http;
        bool snmp;
    } cases[] = {{{1, 6, 7}, false, false}, {{1, 6, 8}, true, false}, {{1, 7, 1}, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.firmware[2]));
        ReplyStatus(UnitWith(c.firmware));
        EXPECT_EQ(OpenServerSwitch(session_->snapshot(), ServerSwitch::Http).usable, c.http);
        EXPECT_EQ(OpenServerSwitch(session_->snapshot(), ServerSwitch::Snmp).usable, c.snmp);
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
    const struct {
        ServerSwitch which;
        bool enable;
        const char* question;
        std::vector<uint8_t> frame;
    } cases[] = {
        {ServerSwitch::Http, true, "Enable HTTP Access?", CommandFrame('Q', {0})},
        {ServerSwitch::Http, false, "Disable HTTP Access?", CommandFrame('Q', {1})},
        {ServerSwitch::Snmp, true, "Enable SNMP Access?", CommandFrame('S', {0})},
        {ServerSwitch::Snmp, false, "Disable SNMP Access?", CommandFrame('S', {1})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.question);
        recorder_.questions.clear();
        EXPECT_EQ(SendServerSwitch(*session_, recorder_.hooks, c.which, c.enable),
                  DialogOutcome::Closes);
        EXPECT_THAT(Questions(), ElementsAre(std::string(c.question) +
                                             "\r\nAre You Sure ?|Change Status?|none|dialog"));
        EXPECT_EQ(Sent(), c.frame);
    }
    EXPECT_TRUE(SessionRuns());

    recorder_.answerYes = false;
    EXPECT_EQ(SendServerSwitch(*session_, recorder_.hooks, ServerSwitch::Http, true),
              DialogOutcome::StaysOpen);
    EXPECT_EQ(session_->display().counters.sent, "5");
}

}  // namespace
}  // namespace varnex::testing
