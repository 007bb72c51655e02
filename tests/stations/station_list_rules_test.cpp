#include "stations/station_list_rules.h"

#include <gmock/gmock.h>

#include "station_test_support.h"
#include "stations/seed_database.h"
#include "stations/station_writers.h"

namespace varnex {
namespace {

using ::testing::ElementsAre;
using varnex::testing::MessageRecorder;
using varnex::testing::Sqlite;
using varnex::testing::TempFolder;

constexpr std::uint32_t kSeedAddress = 0x0A0A0A0A;   // 10.10.10.10
constexpr std::uint32_t kNewAddress = 0xC0A80105;    // 192.168.1.5
constexpr std::uint32_t kOtherAddress = 0x7F000002;  // 127.0.0.2
constexpr const char* kSeedLine = "10.10.10.10      VNX DEFAULT IP";

MATCHER_P3(IsMessage, text, icon, owner, "") {
    return arg.text == text && arg.icon == icon && arg.owner == owner &&
           arg.caption == "  Varnex v1";
}

class StationListRulesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(WriteSeedDatabaseIfMissing(path_), SeedOutcome::Written);
        store_.OpenStationStore(path_);
        ASSERT_TRUE(store_.IsOpen());
    }
    std::vector<std::string> Rows() {
        return Sqlite(path_, "SELECT IPADDRESS, PASSWORD, COMMENT, \"DEFAULT\" FROM main");
    }
    // A second station; made the only default when asked.
    void AddOther(bool makeDefault = false) {
        ASSERT_TRUE(InsertStation(store_, "127.0.0.2", "other*****", "bench"));
        if (makeDefault) {
            ASSERT_TRUE(store_.SetDefaultStation(MessageOwner::MainWindow, "127.0.0.2"));
            recorder_.messages.clear();
        }
    }
    void Refuse(const std::string& statement) {
        ASSERT_THAT(Sqlite(path_, "CREATE TRIGGER refuse BEFORE " + statement +
                                      " ON main BEGIN SELECT RAISE(ABORT, 'refused'); END;"),
                    ::testing::IsEmpty());
    }

    TempFolder folder_;
    std::string path_ = folder_.File("VNXv1.MDB");
    MessageRecorder recorder_;
    StationStore store_{recorder_.hooks};
};

TEST(StationAddressFromList, TakesFifteenCharactersTrimmedOnTheRight) {
    EXPECT_EQ(StationAddressFromList(kSeedLine), "10.10.10.10");
    EXPECT_EQ(StationAddressFromList("192.168.100.100  lab"), "192.168.100.100");
    EXPECT_EQ(StationAddressFromList("1.2.3.4\t\r\n"), "1.2.3.4");
    EXPECT_EQ(StationAddressFromList(" 1.2.3.4"), " 1.2.3.4");  // leading blanks stay
    EXPECT_EQ(StationAddressFromList("10.10.10.10.10.10"), "10.10.10.10.10.");
    EXPECT_EQ(StationAddressFromList(""), "");
}

TEST(FirstCharacters, CountsCharactersAndNeverSplitsOne) {
    EXPECT_EQ(FirstCharacters("abcdef", 4), "abcd");
    EXPECT_EQ(FirstCharacters("ab", 4), "ab");
    EXPECT_EQ(FirstCharacters("\xC3\xA9t\xC3\xA9!", 3), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(FirstCharacters("\xE2\x82\xAC\xE2\x82\xAC", 1), "\xE2\x82\xAC");
}

TEST(ParseDottedAddress, AcceptsOnlyFourNumbersOfAtMost255) {
    const struct {
        const char* text;
        std::optional<std::uint32_t> address;
    } cases[] = {
        {"10.10.10.10", kSeedAddress},
        {"192.168.1.5", kNewAddress},
        {"0.0.0.0", 0u},
        {"255.255.255.255", 0xFFFFFFFFu},
        {"010.0.0.1", 0x0A000001u},
        {"256.0.0.1", std::nullopt},
        {"1.2.3", std::nullopt},
        {"1.2.3.4.5", std::nullopt},
        {"1..3.4", std::nullopt},
        {"1.2.3.4 ", std::nullopt},
        {"a.b.c.d", std::nullopt},
        {"1234.0.0.1", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseDottedAddress(c.text), c.address) << c.text;
    }
}

TEST_F(StationListRulesTest, AddStoresPaddedPasswordAndListsTheNewLine) {
    const StationDialogOutcome outcome =
        AcceptStationDialog(store_, StationDialogMode::Add, {kNewAddress, "abc", "Pump house"});
    EXPECT_TRUE(outcome.closeDialog);
    ASSERT_TRUE(outcome.list);
    EXPECT_THAT(outcome.list->lines, ElementsAre(kSeedLine, "192.168.1.5      Pump house"));
    EXPECT_EQ(outcome.list->text, kSeedLine);
    EXPECT_THAT(Rows(), ElementsAre("10.10.10.10|tamble****|VNX DEFAULT IP|YES",
                                    "192.168.1.5|abc*******|Pump house|NO"));
    EXPECT_TRUE(recorder_.messages.empty());
}

TEST_F(StationListRulesTest, AddRefusalsComeInTheirOrderAndWriteNothing) {
    const struct {
        const char* what;
        StationFields fields;
        const char* message;
    } cases[] = {
        {"incomplete address", {std::nullopt, "", ""}, "Invalid IP Address"},
        // The duplicate is found before the empty password is looked at.
        {"duplicate", {kSeedAddress, "", ""}, "This IP Address already exists in the database!"},
        {"empty password", {kNewAddress, "", "x"}, "Bad Password!!"},
        {"eleven characters", {kNewAddress, "abcdefghijk", ""}, "Passwords are 10 characters max."},
    };
    for (const auto& c : cases) {
        recorder_.messages.clear();
        const StationDialogOutcome outcome =
            AcceptStationDialog(store_, StationDialogMode::Add, c.fields);
        EXPECT_FALSE(outcome.closeDialog) << c.what;
        EXPECT_FALSE(outcome.list) << c.what;
        EXPECT_THAT(recorder_.messages, ElementsAre(IsMessage(c.message, MessageIcon::Stop,
                                                              MessageOwner::ActiveDialog)))
            << c.what;
    }
    EXPECT_THAT(Rows(), ElementsAre("10.10.10.10|tamble****|VNX DEFAULT IP|YES"));
}

TEST_F(StationListRulesTest, AddKeepsTenCharactersAsTypedAndCutsTheCommentAt49) {
    const std::string comment(60, 'c');
    ASSERT_TRUE(
        AcceptStationDialog(store_, StationDialogMode::Add, {kNewAddress, "0123456789", comment})
            .closeDialog);
    EXPECT_THAT(Sqlite(path_, "SELECT PASSWORD, COMMENT FROM main WHERE IPADDRESS='192.168.1.5'"),
                ElementsAre("0123456789|" + std::string(49, 'c')));
}

TEST_F(StationListRulesTest, FailedInsertSaysSoWithoutIconAndCloses) {
    Refuse("INSERT");
    const StationDialogOutcome outcome =
        AcceptStationDialog(store_, StationDialogMode::Add, {kNewAddress, "abc", ""});
    EXPECT_TRUE(outcome.closeDialog);
    EXPECT_FALSE(outcome.list);
    EXPECT_THAT(recorder_.messages,
                ElementsAre(IsMessage("Execution of SQL statement failed", MessageIcon::None,
                                      MessageOwner::ActiveDialog)));
}

TEST_F(StationListRulesTest, EditOpensOnTheListedStationOrEmpty) {
    const StationFields seed = EditStationOpening(store_, kSeedLine);
    EXPECT_EQ(seed.address, kSeedAddress);
    EXPECT_EQ(seed.password, "tamble****");
    EXPECT_EQ(seed.comment, "VNX DEFAULT IP");

    const StationFields unknown = EditStationOpening(store_, "10.10.10.1       typed");
    EXPECT_FALSE(unknown.address);
    EXPECT_EQ(unknown.password, "");
    EXPECT_EQ(unknown.comment, "");
    EXPECT_TRUE(recorder_.messages.empty());
}

TEST_F(StationListRulesTest, EditWithUntouchedFieldsStoresTheSameTenCharacters) {
    const StationDialogOutcome outcome =
        AcceptStationDialog(store_, StationDialogMode::Edit, EditStationOpening(store_, kSeedLine));
    EXPECT_TRUE(outcome.closeDialog);
    ASSERT_TRUE(outcome.list);
    EXPECT_THAT(outcome.list->lines, ElementsAre(kSeedLine));
    EXPECT_THAT(Rows(), ElementsAre("10.10.10.10|tamble****|VNX DEFAULT IP|YES"));
    EXPECT_THAT(recorder_.messages,
                ElementsAre(IsMessage("IP Address Updated SucSuccessfully",
                                      MessageIcon::Information, MessageOwner::ActiveDialog)));
}

TEST_F(StationListRulesTest, EditOnAnotherStoredAddressChangesThatStation) {
    AddOther();
    StationFields fields = EditStationOpening(store_, kSeedLine);
    fields.address = kOtherAddress;
    fields.password = "new";
    fields.comment = "moved";
    ASSERT_TRUE(AcceptStationDialog(store_, StationDialogMode::Edit, fields).closeDialog);
    EXPECT_THAT(Rows(), ElementsAre("10.10.10.10|tamble****|VNX DEFAULT IP|YES",
                                    "127.0.0.2|new*******|moved|NO"));
}

TEST_F(StationListRulesTest, EditOfAnAddressNotStoredIsRefused) {
    const StationDialogOutcome outcome =
        AcceptStationDialog(store_, StationDialogMode::Edit, {kNewAddress, "abc", "x"});
    EXPECT_FALSE(outcome.closeDialog);
    EXPECT_THAT(recorder_.messages,
                ElementsAre(IsMessage("This IP Address is not in the database!", MessageIcon::Stop,
                                      MessageOwner::ActiveDialog)));
    EXPECT_THAT(Rows(), ElementsAre("10.10.10.10|tamble****|VNX DEFAULT IP|YES"));
}

TEST_F(StationListRulesTest, FailedUpdateSaysSoWithExclamationAndCloses) {
    Refuse("UPDATE");
    const StationDialogOutcome outcome =
        AcceptStationDialog(store_, StationDialogMode::Edit, {kSeedAddress, "abc", ""});
    EXPECT_TRUE(outcome.closeDialog);
    EXPECT_FALSE(outcome.list);
    EXPECT_THAT(recorder_.messages,
                ElementsAre(IsMessage("Execution of SQL statement failed", MessageIcon::Exclamation,
                                      MessageOwner::ActiveDialog)));
}

TEST_F(StationListRulesTest, QuotesInPasswordAndCommentAreStoredAndReadBackExactly) {
    const std::string password = "a'b\"c;";
    const std::string comment = "O'Brien's \"lab\"; DROP TABLE main; --";
    ASSERT_TRUE(
        AcceptStationDialog(store_, StationDialogMode::Add, {kNewAddress, password, comment})
            .closeDialog);
    const StationFields read = EditStationOpening(store_, "192.168.1.5");
    EXPECT_EQ(read.password, password + "****");
    EXPECT_EQ(read.comment, comment);
    EXPECT_EQ(Rows().size(), 2u);
}

TEST_F(StationListRulesTest, DeleteOpensOnEveryAddressAndTheDefault) {
    AddOther(true);
    const DeleteStationChoices choices = DeleteStationOpening(store_);
    EXPECT_THAT(choices.addresses, ElementsAre("10.10.10.10", "127.0.0.2"));
    EXPECT_EQ(choices.text, "127.0.0.2");
}

TEST_F(StationListRulesTest, DeleteOfTheFactoryAddressIsRefusedEvenWhenNotDefault) {
    AddOther(true);
    const StationDialogOutcome outcome = AcceptDeleteStation(store_, "10.10.10.10");
    EXPECT_FALSE(outcome.closeDialog);
    EXPECT_THAT(recorder_.messages,
                ElementsAre(IsMessage("Don't Delete the Default IP!", MessageIcon::None,
                                      MessageOwner::ActiveDialog)));
    EXPECT_EQ(Rows().size(), 2u);
}

TEST_F(StationListRulesTest, DeleteOfTheDefaultStationLeavesTheListTextEmpty) {
    AddOther(true);
    const StationDialogOutcome outcome = AcceptDeleteStation(store_, "127.0.0.2");
    EXPECT_TRUE(outcome.closeDialog);
    ASSERT_TRUE(outcome.list);
    EXPECT_THAT(outcome.list->lines, ElementsAre(kSeedLine));
    EXPECT_EQ(outcome.list->text, "");
    EXPECT_THAT(recorder_.messages,
                ElementsAre(IsMessage("IP Address Deleted From Database !", MessageIcon::None,
                                      MessageOwner::ActiveDialog)));
}

TEST_F(StationListRulesTest, DeleteReadsFifteenCharactersUntrimmedAndReportsUnknownAsDeleted) {
    AddOther();
    // " 127.0.0.2" is not the stored address: nothing goes, yet it is reported.
    const StationDialogOutcome outcome = AcceptDeleteStation(store_, " 127.0.0.2");
    EXPECT_TRUE(outcome.closeDialog);
    EXPECT_THAT(recorder_.Texts(), ElementsAre("IP Address Deleted From Database !"));
    EXPECT_EQ(Rows().size(), 2u);
}

TEST_F(StationListRulesTest, FailedDeleteIsNotReportedAsDone) {
    AddOther();
    Refuse("DELETE");
    const StationDialogOutcome outcome = AcceptDeleteStation(store_, "127.0.0.2");
    EXPECT_FALSE(outcome.closeDialog);
    EXPECT_THAT(recorder_.Texts(), ElementsAre("Execution of SQL statement failed"));
    EXPECT_EQ(Rows().size(), 2u);
}

TEST_F(StationListRulesTest, SetDefaultMarksTheListedStation) {
    AddOther();
    const std::optional<StationList> list = SetDefaultFromList(store_, "127.0.0.2        bench");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->text, "127.0.0.2        bench");
    EXPECT_THAT(Sqlite(path_, "SELECT \"DEFAULT\" FROM main"), ElementsAre("NO", "YES"));
    EXPECT_THAT(recorder_.messages,
                ElementsAre(IsMessage("Default IP Address Set!", MessageIcon::Information,
                                      MessageOwner::MainWindow)));
}

TEST_F(StationListRulesTest, SetDefaultOfAnUnknownAddressLeavesNoDefault) {
    const std::optional<StationList> list = SetDefaultFromList(store_, "192.168.7.7");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->text, "");
    EXPECT_THAT(Sqlite(path_, "SELECT \"DEFAULT\" FROM main"), ElementsAre("NO"));
    EXPECT_THAT(recorder_.Texts(), ElementsAre("Default IP Address Set!"));
}

}  // namespace
}  // namespace varnex
