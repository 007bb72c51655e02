// The station dialogs' rules: the checks in their order, what is written,
// the list shown afterwards and every message on the way.
#include "stations/station_list_rules.h"

#include <gmock/gmock.h>

#include "station_test_support.h"
#include "stations/station_writers.h"

namespace varnex {
namespace {

using ::testing::ElementsAre;
using enum StationDialogMode;
using Lines = std::vector<std::string>;
// Whether the dialog closes; the refilled list's lines then its text, or
// nothing when the list stays; the messages shown.
using Seen = std::tuple<bool, Lines, Lines>;

constexpr std::uint32_t kSeedAddress = 0x0A0A0A0A;  // 10.10.10.10
constexpr std::uint32_t kNewAddress = 0xC0A80105;   // 192.168.1.5
const std::string kSeedLine = "10.10.10.10      VNX DEFAULT IP";
const std::string kSeedRow = "10.10.10.10|tamble****|VNX DEFAULT IP|YES";
const std::string kFailed = "Execution of SQL statement failed|  Varnex v1|";

class StationListRulesTest : public varnex::testing::SeededStationTest {
  protected:
    Lines Rows() { return Select("SELECT IPADDRESS, PASSWORD, COMMENT, \"DEFAULT\" FROM main"); }
    Seen Accept(StationDialogMode mode, const StationFields& fields) {
        return Outcome(AcceptStationDialog(store_, mode, fields));
    }
    Seen Outcome(const StationDialogOutcome& outcome) {
        Lines list;
        if (outcome.list) {
            list = outcome.list->lines;
            list.push_back("text: " + outcome.list->text);
        }
        const Lines messages = recorder_.Lines();
        recorder_.messages.clear();
        return {outcome.closeDialog, list, messages};
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
    EXPECT_EQ(Accept(Add, {kNewAddress, "abc", "Pump house"}),
              Seen(true, {kSeedLine, "192.168.1.5      Pump house", "text: " + kSeedLine}, {}));
    // Ten characters are kept as typed; the comment is cut at 49.
    EXPECT_TRUE(std::get<0>(Accept(Add, {0x7F000003, "0123456789", std::string(60, 'c')})));
    EXPECT_THAT(Rows(), ElementsAre(kSeedRow, "192.168.1.5|abc*******|Pump house|NO",
                                    "127.0.0.3|0123456789|" + std::string(49, 'c') + "|NO"));
    EXPECT_TRUE(recorder_.messages.empty());
}

TEST_F(StationListRulesTest, RefusalsComeInTheirOrderAndWriteNothing) {
    const std::tuple<StationDialogMode, StationFields, std::string> cases[] = {
        {Add, {std::nullopt, "", ""}, "Invalid IP Address"},
        // The duplicate is found before the empty password is looked at.
        {Add, {kSeedAddress, "", ""}, "This IP Address already exists in the database!"},
        {Edit, {kNewAddress, "abc", "x"}, "This IP Address is not in the database!"},
        {Add, {kNewAddress, "", "x"}, "Bad Password!!"},
        {Edit, {kSeedAddress, "abcdefghijk", ""}, "Passwords are 10 characters max."},
    };
    for (const auto& [mode, fields, message] : cases) {
        EXPECT_EQ(Accept(mode, fields), Seen(false, {}, {message + "|  Varnex v1|stop|dialog"}));
    }
    EXPECT_THAT(Rows(), ElementsAre(kSeedRow));
}

TEST_F(StationListRulesTest, FailedWriteSaysSoWithItsIconAndCloses) {
    Refuse("INSERT");
    EXPECT_EQ(Accept(Add, {kNewAddress, "abc", ""}), Seen(true, {}, {kFailed + "none|dialog"}));
    Select("DROP TRIGGER refuse");
    Refuse("UPDATE");
    EXPECT_EQ(Accept(Edit, {kSeedAddress, "abc", ""}),
              Seen(true, {}, {kFailed + "exclamation|dialog"}));
    EXPECT_THAT(Rows(), ElementsAre(kSeedRow));
}

TEST_F(StationListRulesTest, EditOpensOnTheListedStationAndStoresUntouchedFieldsAsTheyWere) {
    EXPECT_FALSE(EditStationOpening(store_, "10.10.10.1       typed").address);
    const StationFields seed = EditStationOpening(store_, kSeedLine);
    EXPECT_EQ(std::tuple(seed.address, seed.password, seed.comment),
              std::tuple(kSeedAddress, "tamble****", "VNX DEFAULT IP"));
    EXPECT_EQ(Accept(Edit, seed),
              Seen(true, {kSeedLine, "text: " + kSeedLine},
                   {"IP Address Updated SucSuccessfully|  Varnex v1|information|dialog"}));
    EXPECT_THAT(Rows(), ElementsAre(kSeedRow));
}

TEST_F(StationListRulesTest, DeleteThatRemovesNothingSaysWhatHappened) {
    AddOther(true);
    EXPECT_EQ(Outcome(AcceptDeleteStation(store_, "10.10.10.10")),
              Seen(false, {}, {"Don't Delete the Default IP!|  Varnex v1|none|dialog"}));
    // Fifteen characters untrimmed: not the stored address, yet reported as deleted.
    const std::string other = "127.0.0.2        bench";
    EXPECT_EQ(Outcome(AcceptDeleteStation(store_, " 127.0.0.2")),
              Seen(true, {kSeedLine, other, "text: " + other},
                   {"IP Address Deleted From Database !|  Varnex v1|none|dialog"}));
    Refuse("DELETE");
    EXPECT_EQ(Outcome(AcceptDeleteStation(store_, "127.0.0.2")),
              Seen(false, {}, {kFailed + "stop|dialog"}));
    EXPECT_EQ(Rows().size(), 2u);
}

TEST_F(StationListRulesTest, SetDefaultMarksExactlyTheListedStation) {
    AddOther();
    const std::string done = "Default IP Address Set!|  Varnex v1|information|main";
    const std::tuple<std::string, const char*, std::string, std::string, std::string> cases[] = {
        {"127.0.0.2        bench", "", "127.0.0.2        bench", "10.10.10.10|NO,127.0.0.2|YES",
         done},
        {"192.168.7.7", "", "", "10.10.10.10|NO,127.0.0.2|NO", done},  // no default left
        // A row left unchanged is never reported as set.
        {kSeedLine, "UPDATE", "", "10.10.10.10|NO,127.0.0.2|NO", kFailed + "stop|main"},
    };
    for (const auto& [listText, refused, shownText, flags, message] : cases) {
        SCOPED_TRACE(listText);
        if (*refused != '\0') {
            Refuse(refused);
        }
        recorder_.messages.clear();
        const std::optional<StationList> list = SetDefaultFromList(store_, listText);
        ASSERT_TRUE(list);
        EXPECT_EQ(list->text, shownText);
        EXPECT_THAT(Select("SELECT group_concat(IPADDRESS || '|' || \"DEFAULT\") FROM main"),
                    ElementsAre(flags));
        EXPECT_THAT(recorder_.Lines(), ElementsAre(message));
    }
}

}  // namespace
}  // namespace varnex
