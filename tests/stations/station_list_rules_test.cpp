#include "stations/station_list_rules.h"

#include <gmock/gmock.h>

#include "station_test_support.h"
#include "stations/station_writers.h"

namespace varnex {
namespace {

using ::testing::ElementsAre;

constexpr std::uint32_t kSeedAddress = 0x0A0A0A0A;  // 10.10.10.10
constexpr std::uint32_t kNewAddress = 0xC0A80105;   // 192.168.1.5
constexpr const char* kSeedLine = "10.10.10.10      VNX DEFAULT IP";
constexpr const char* kSeedRow = "10.10.10.10|tamble****|VNX DEFAULT IP|YES";

class StationListRulesTest : public varnex::testing::SeededStationTest {
  protected:
    std::vector<std::string> Rows() {
        return Select("SELECT IPADDRESS, PASSWORD, COMMENT, \"DEFAULT\" FROM main");
    }
    // A second station; made the only default when asked.
    void AddOther(bool makeDefault = false) {
        ASSERT_TRUE(InsertStation(store_, "127.0.0.2", "other*****", "bench"));
        if (makeDefault) {
            ASSERT_TRUE(store_.SetDefaultStation(MessageOwner::MainWindow, "127.0.0.2"));
            recorder_.messages.clear();
        }
    }
    // Makes every later `statement` on table main fail.
    void Refuse(const std::string& statement) {
        ASSERT_THAT(Select("CREATE TRIGGER refuse BEFORE " + statement +
                           " ON main BEGIN SELECT RAISE(ABORT, 'refused'); END;"),
                    ::testing::IsEmpty());
    }
};

TEST(StationAddressFromList, TakesFifteenCharactersTrimmedOnTheRight) {
    EXPECT_EQ(StationAddressFromList(kSeedLine), "10.10.10.10");
    EXPECT_EQ(StationAddressFromList("1.2.3.4\t\r\n"), "1.2.3.4");
    EXPECT_EQ(StationAddressFromList(" 1.2.3.4"), " 1.2.3.4");  // leading blanks stay
    EXPECT_EQ(StationAddressFromList("10.10.10.10.10.10"), "10.10.10.10.10.");
}

TEST(FirstCharacters, CountsCharactersAndNeverSplitsOne) {
    EXPECT_EQ(FirstCharacters("abcdef", 4), "abcd");
    EXPECT_EQ(FirstCharacters("\xC3\xA9t\xC3\xA9!", 3), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(FirstCharacters("\xE2\x82\xAC\xE2\x82\xAC", 1), "\xE2\x82\xAC");
}

TEST_F(StationListRulesTest, AddStoresPaddedPasswordAndListsTheNewLine) {
    const StationDialogOutcome outcome =
        AcceptStationDialog(store_, StationDialogMode::Add, {kNewAddress, "abc", "Pump house"});
    EXPECT_TRUE(outcome.closeDialog);
    ASSERT_TRUE(outcome.list);
    EXPECT_THAT(outcome.list->lines, ElementsAre(kSeedLine, "192.168.1.5      Pump house"));
    EXPECT_EQ(outcome.list->text, kSeedLine);
    // Ten characters are kept as typed; the comment is cut at 49.
    ASSERT_TRUE(AcceptStationDialog(store_, StationDialogMode::Add,
                                    {0x7F000003, "0123456789", std::string(60, 'c')})
                    .closeDialog);
    EXPECT_THAT(Rows(), ElementsAre(kSeedRow, "192.168.1.5|abc*******|Pump house|NO",
                                    "127.0.0.3|0123456789|" + std::string(49, 'c') + "|NO"));
    EXPECT_TRUE(recorder_.messages.empty());
}

TEST_F(StationListRulesTest, RefusalsComeInTheirOrderAndWriteNothing) {
    const struct {
        StationDialogMode mode;
        StationFields fields;
        const char* message;
    } cases[] = {
        {StationDialogMode::Add, {std::nullopt, "", ""}, "Invalid IP Address"},
        // The duplicate is found before the empty password is looked at.
        {StationDialogMode::Add,
         {kSeedAddress, "", ""},
         "This IP Address already exists in the database!"},
        {StationDialogMode::Edit,
         {kNewAddress, "abc", "x"},
         "This IP Address is not in the database!"},
        {StationDialogMode::Add, {kNewAddress, "", "x"}, "Bad Password!!"},
        {StationDialogMode::Edit,
         {kSeedAddress, "abcdefghijk", ""},
         "Passwords are 10 characters max."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        recorder_.messages.clear();
        const StationDialogOutcome outcome = AcceptStationDialog(store_, c.mode, c.fields);
        EXPECT_FALSE(outcome.closeDialog);
        EXPECT_FALSE(outcome.list);
        EXPECT_THAT(recorder_.Lines(),
                    ElementsAre(std::string(c.message) + "|  Varnex v1|stop|dialog"));
    }
    EXPECT_THAT(Rows(), ElementsAre(kSeedRow));
}

TEST_F(StationListRulesTest, FailedWriteSaysSoWithItsIconAndCloses) {
    const struct {
        StationDialogMode mode;
        const char* statement;
        std::uint32_t address;
        const char* message;
    } cases[] = {
        {StationDialogMode::Add, "INSERT", kNewAddress,
         "Execution of SQL statement failed|  Varnex v1|none|dialog"},
        {StationDialogMode::Edit, "UPDATE", kSeedAddress,
         "Execution of SQL statement failed|  Varnex v1|exclamation|dialog"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.statement);
        Refuse(c.statement);
        recorder_.messages.clear();
        const StationDialogOutcome outcome =
            AcceptStationDialog(store_, c.mode, {c.address, "abc", ""});
        EXPECT_TRUE(outcome.closeDialog);
        EXPECT_FALSE(outcome.list);
        EXPECT_THAT(recorder_.Lines(), ElementsAre(c.message));
        Select("DROP TRIGGER refuse");
    }
    EXPECT_THAT(Rows(), ElementsAre(kSeedRow));
}

TEST_F(StationListRulesTest, EditOpensOnTheListedStationAndStoresUntouchedFieldsAsTheyWere) {
    EXPECT_FALSE(EditStationOpening(store_, "10.10.10.1       typed").address);
    const StationFields seed = EditStationOpening(store_, kSeedLine);
    EXPECT_EQ(seed.address, kSeedAddress);
    EXPECT_EQ(seed.password, "tamble****");
    EXPECT_EQ(seed.comment, "VNX DEFAULT IP");

    const StationDialogOutcome outcome = AcceptStationDialog(store_, StationDialogMode::Edit, seed);
    EXPECT_TRUE(outcome.closeDialog);
    ASSERT_TRUE(outcome.list);
    EXPECT_THAT(outcome.list->lines, ElementsAre(kSeedLine));
    EXPECT_THAT(Rows(), ElementsAre(kSeedRow));
    EXPECT_THAT(recorder_.Lines(),
                ElementsAre("IP Address Updated SucSuccessfully|  Varnex v1|information|dialog"));
}

TEST_F(StationListRulesTest, DeleteThatRemovesNothingSaysWhatHappened) {
    AddOther(true);
    const struct {
        const char* fieldText;
        const char* refused;
        bool closes;
        const char* message;
    } cases[] = {
        {"10.10.10.10", "", false, "Don't Delete the Default IP!|  Varnex v1|none|dialog"},
        // Fifteen characters untrimmed: not the stored address, yet reported as deleted.
        {" 127.0.0.2", "", true, "IP Address Deleted From Database !|  Varnex v1|none|dialog"},
        {"127.0.0.2", "DELETE", false, "Execution of SQL statement failed|  Varnex v1|stop|dialog"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fieldText);
        if (*c.refused != '\0') {
            Refuse(c.refused);
        }
        recorder_.messages.clear();
        EXPECT_EQ(AcceptDeleteStation(store_, c.fieldText).closeDialog, c.closes);
        EXPECT_THAT(recorder_.Lines(), ElementsAre(c.message));
        EXPECT_EQ(Rows().size(), 2u);
    }
}

TEST_F(StationListRulesTest, SetDefaultMarksExactlyTheListedStation) {
    AddOther();
    const std::string done = "Default IP Address Set!|  Varnex v1|information|main";
    const struct {
        const char* listText;
        const char* refused;
        std::string shownText;
        const char* flags;
        std::string message;
    } cases[] = {
        {"127.0.0.2        bench", "", "127.0.0.2        bench", "10.10.10.10|NO,127.0.0.2|YES",
         done},
        {"192.168.7.7", "", "", "10.10.10.10|NO,127.0.0.2|NO", done},  // no default left
        // A row left unchanged is never reported as set.
        {kSeedLine, "UPDATE", "", "10.10.10.10|NO,127.0.0.2|NO",
         "Execution of SQL statement failed|  Varnex v1|stop|main"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.listText);
        if (*c.refused != '\0') {
            Refuse(c.refused);
        }
        recorder_.messages.clear();
        const std::optional<StationList> list = SetDefaultFromList(store_, c.listText);
        ASSERT_TRUE(list);
        EXPECT_EQ(list->text, c.shownText);
        EXPECT_THAT(Select("SELECT group_concat(IPADDRESS || '|' || \"DEFAULT\") FROM main"),
                    ElementsAre(c.flags));
        EXPECT_THAT(recorder_.Lines(), ElementsAre(c.message));
    }
}

}  // namespace
}  // namespace varnex
