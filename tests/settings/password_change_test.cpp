#include "settings/password_change.h"

#include "settings_fixture.h"

namespace varnex::testing {
namespace {

using ::testing::ElementsAre;
using PasswordChangeTest = SettingsTest;

TEST_F(PasswordChangeTest, NewPasswordIsSentPaddedStoredAndEndsTheSession) {
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

TEST_F(PasswordChangeTest, OnlyTheFirstTenCharactersAreComparedAndSent) {
    EXPECT_EQ(
        ChangeRemotePassword(*session_, stations_, "abcdefghij-one", "abcdefghij-two").outcome,
        DialogOutcome::Closes);
    EXPECT_EQ(Sent(), CommandFrame('G', TextBytes("abcdefghij")));
    EXPECT_THAT(Row("PASSWORD"), ElementsAre("abcdefghij"));
}

TEST_F(PasswordChangeTest, DifferentOrEmptyEntriesAreRefusedBeforeAnyQuestion) {
    const std::pair<const char*, const char*> cases[] = {{"one", "two"}, {"", ""}, {"abc", ""}};
    for (const auto& [typed, retyped] : cases) {
        recorder_.messages.clear();
        EXPECT_EQ(ChangeRemotePassword(*session_, stations_, typed, retyped).outcome,
                  DialogOutcome::StaysOpen);
        EXPECT_THAT(Messages(), ElementsAre("Password Error, no match !||stop|dialog"));
    }
    EXPECT_TRUE(recorder_.questions.empty());
    EXPECT_EQ(session_->display().counters.sent, "1");
}

// "No", or a row that cannot be written, keeps both the unit's and the
// stored password: nothing is sent and the session goes on.
TEST_F(PasswordChangeTest, NoOrAFailedRowSendsNothing) {
    recorder_.answerYes = false;
    EXPECT_EQ(ChangeRemotePassword(*session_, stations_, "newpass", "newpass").outcome,
              DialogOutcome::StaysOpen);
    EXPECT_THAT(Row("PASSWORD"), ElementsAre(kStoredPassword));

    recorder_.answerYes = true;
    BreakTable();
    EXPECT_EQ(ChangeRemotePassword(*session_, stations_, "newpass", "newpass").outcome,
              DialogOutcome::StaysOpen);
    EXPECT_THAT(Messages(),
                ElementsAre("Execution of SQL statement failed|  Varnex v1|stop|dialog"));
    EXPECT_EQ(session_->display().counters.sent, "1");
    EXPECT_FALSE(NextCommand(200).has_value());
    EXPECT_TRUE(SessionRuns());
}

TEST_F(PasswordChangeTest, ACommandThatCannotBeSentLeavesTheStoredPasswordAsItWas) {
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

}  // namespace
}  // namespace varnex::testing
