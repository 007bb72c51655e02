#include "settings/allowed_clients.h"

#include "settings_fixture.h"

namespace varnex::testing {
namespace {

using ::testing::ElementsAre;
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

// Only the listed mode sends addresses, unfilled ones as zeros.
TEST_F(AllowedClientsTest, EachModeAsksItsQuestionAndSendsItsBytes) {
    std::vector<uint8_t> listed = {1, 127, 0, 0, 1};
    listed.resize(21, 0);
    const struct {
        AllowedClients choice;
        bool firstAddressComplete;
        const char* question;
        std::vector<uint8_t> frame;
    } cases[] = {
        {{true, {0x7F000001, 0, 0, 0, 0}},
         true,
         "Only Allow certain IP addresses to connect?\r\nAre You Sure ?|Change Allowable IP "
         "state?|none|dialog",
         CommandFrame('H', listed)},
        {{false, {0x7F000001, 0x7F000002, 0, 0, 0}},
         false,
         "Allow ALL IP addresses to connect?\r\nAre You Sure ?|Change Allowable IP "
         "state?|none|dialog",
         CommandFrame('H', {0})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.question);
        recorder_.questions.clear();
        EXPECT_EQ(SendAllowedClients(*session_, recorder_.hooks, c.choice, c.firstAddressComplete),
                  DialogOutcome::Closes);
        EXPECT_THAT(Questions(), ElementsAre(c.question));
        EXPECT_EQ(Sent(), c.frame);
    }
    EXPECT_TRUE(SessionRuns());
}

TEST_F(AllowedClientsTest, AnIncompleteFirstAddressOrANoSendsNothing) {
    EXPECT_EQ(SendAllowedClients(*session_, recorder_.hooks, {true, {}}, false),
              DialogOutcome::StaysOpen);
    EXPECT_THAT(Messages(), ElementsAre("Invalid IP Address|  Varnex v1|stop|dialog"));
    EXPECT_TRUE(recorder_.questions.empty());

    recorder_.answerYes = false;
    EXPECT_EQ(SendAllowedClients(*session_, recorder_.hooks, {false, {}}, false),
              DialogOutcome::StaysOpen);
    EXPECT_EQ(session_->display().counters.sent, "1");
}

}  // namespace
}  // namespace varnex::testing
