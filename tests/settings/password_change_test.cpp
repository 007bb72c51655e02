#include "settings/password_change.h"

#include "settings_fixture.h"

namespace varnex::testing {
namespace {

using PasswordChangeTest = SettingsTest;

TEST_F(PasswordChangeTest, FourCharactersAreSentPaddedStoredAndEndTheSession) {
    const PasswordChange change = ChangeRemotePassword(*session_, stations_, "Ab12", "Ab12");
    EXPECT_EQ(change.outcome, DialogOutcome::Closes);

    ASSERT_EQ(recorder_.questions.size(), 1u);
    EXPECT_EQ(recorder_.questions[0].text, "Change Remote Password?\r\nAre You Sure ?");
    EXPECT_EQ(recorder_.questions[0].caption, "Change Password?");
    EXPECT_EQ(recorder_.questions[0].icon, MessageIcon::None);

    const auto sent = NextCommand();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->at(wire::kLetterOffset), 'G');
    EXPECT_EQ(Slice(*sent, 10, 20), kStoredPassword);  // the old one
    EXPECT_EQ(Slice(*sent, 20, 30), "Ab12******");
    EXPECT_EQ(Slice(*sent, 30, 275), std::string(245, '*'));

    EXPECT_FALSE(SessionRuns());
    EXPECT_EQ(session_->display().statusBar[1], " Not Connected");
    EXPECT_EQ(Row("PASSWORD"), std::vector<std::string>{"Ab12******"});
    ASSERT_TRUE(change.stationList.has_value());
    EXPECT_EQ(change.stationList->lines.size(), 2u);
    EXPECT_TRUE(recorder_.messages.empty());
}

TEST_F(PasswordChangeTest, OnlyTheFirstTenCharactersAreComparedAndSent) {
    const PasswordChange change =
        ChangeRemotePassword(*session_, stations_, "abcdefghij-one", "abcdefghij-two");
    EXPECT_EQ(change.outcome, DialogOutcome::Closes);
    const auto sent = NextCommand();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(Slice(*sent, 20, 30), "abcdefghij");
    EXPECT_EQ(Row("PASSWORD"), std::vector<std::string>{"abcdefghij"});
}

TEST_F(PasswordChangeTest, DifferentOrEmptyEntriesAreRefusedBeforeAnyQuestion) {
    const std::pair<const char*, const char*> cases[] = {{"one", "two"}, {"", ""}, {"abc", ""}};
    for (const auto& [typed, retyped] : cases) {
        recorder_.messages.clear();
        EXPECT_EQ(ChangeRemotePassword(*session_, stations_, typed, retyped).outcome,
                  DialogOutcome::StaysOpen);
        ASSERT_EQ(recorder_.messages.size(), 1u);
        EXPECT_EQ(recorder_.messages[0].text, "Password Error, no match !");
        EXPECT_EQ(recorder_.messages[0].caption, "");
        EXPECT_EQ(recorder_.messages[0].icon, MessageIcon::Stop);
    }
    EXPECT_TRUE(recorder_.questions.empty());
    EXPECT_EQ(session_->display().counters.sent, "1");
    EXPECT_TRUE(SessionRuns());
}

TEST_F(PasswordChangeTest, AnsweringNoSendsNothingAndKeepsEverything) {
    recorder_.answerYes = false;
    EXPECT_EQ(ChangeRemotePassword(*session_, stations_, "newpass", "newpass").outcome,
              DialogOutcome::StaysOpen);
    EXPECT_EQ(session_->display().counters.sent, "1");
    EXPECT_FALSE(NextCommand(200).has_value());
    EXPECT_TRUE(SessionRuns());
    EXPECT_EQ(Row("PASSWORD"), std::vector<std::string>{kStoredPassword});
}

TEST_F(PasswordChangeTest, ARowThatCannotBeWrittenKeepsTheUnitsPassword) {
    BreakTable();
    EXPECT_EQ(ChangeRemotePassword(*session_, stations_, "newpass", "newpass").outcome,
              DialogOutcome::StaysOpen);
    ASSERT_EQ(recorder_.messages.size(), 1u);
    EXPECT_EQ(recorder_.messages[0].text, "Execution of SQL statement failed");
    EXPECT_EQ(recorder_.messages[0].caption, "  Varnex v1");
    EXPECT_EQ(recorder_.messages[0].icon, MessageIcon::Stop);
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
    ASSERT_EQ(recorder_.messages.size(), 1u);
    EXPECT_EQ(recorder_.messages[0].text, "Bind Error !!\r\nIt's Over !!");
    EXPECT_FALSE(NextCommand(200).has_value());
    EXPECT_EQ(Row("PASSWORD"), std::vector<std::string>{kStoredPassword});
    EXPECT_FALSE(SessionRuns());
}

}  // namespace
}  // namespace varnex::testing
