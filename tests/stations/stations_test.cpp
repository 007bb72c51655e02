// The station store on a seeded database: rows read into memory, writers
// that change exactly their columns of one row, and the station dialogs'
// rules: the checks in their order, what is written, the list shown after.
#include <gmock/gmock.h>

#include <functional>

#include "station_test_support.h"
#include "stations/station_list_rules.h"
#include "stations/station_store.h"
#include "stations/station_writers.h"

namespace varnex {
namespace {

using ::testing::ElementsAre;
using enum StationDialogMode;
using varnex::testing::ReadBytes;
using Lines = std::vector<std::string>;
// Whether the dialog closes; the refilled list's lines then its text, or
// nothing when the list stays; the messages shown.
using Seen = std::tuple<bool, Lines, Lines>;

const std::string kSeedIp = "10.10.10.10";
constexpr std::uint32_t kSeedAddress = 0x0A0A0A0A;  // 10.10.10.10
constexpr std::uint32_t kNewAddress = 0xC0A80105;   // 192.168.1.5
const std::string kSeedLine = "10.10.10.10      VNX DEFAULT IP";
const std::string kSeedRow = "10.10.10.10|tamble****|VNX DEFAULT IP|YES";
const std::string kFailed = "Execution of SQL statement failed|  Varnex v1|";

// Every field of a loaded station, '|' between them, in the table's column order.
std::string Columns(const LoadedStation& s) {
    std::string row = s.address + "|" + s.password + "|" + s.comment + "|" + s.defaultFlag + "|" +
                      s.jumper6 + "|" + s.jumper7;
    const auto add = [&row](const auto& group) {
        for (const std::string& field : group) {
            row += "|" + field;
        }
    };
    add(s.views);
    add(s.notes);
    add(s.labels);
    add(s.relayNotes);
    add(s.relayNames);
    return row;
}

class StationsTest : public varnex::testing::SeededStationTest {
  protected:
    Lines Row(const std::string& ip, const std::string& columns = "*") {
        return Select("SELECT " + columns + " FROM main WHERE IPADDRESS = '" + ip + "'");
    }
    // `columns` of the seed row after a write, or why there is none to show.
    std::string Written(bool written, const std::string& columns) {
        const Lines row = Row(kSeedIp, columns);
        return !written ? "refused" : row.size() == 1 ? row[0] : "not one row";
    }
    // The station as loaded, as one line of its fields.
    std::string Loaded(const std::string& ip) {
        const std::optional<LoadedStation> station =
            store_.LoadStation(MessageOwner::MainWindow, ip);
        return station ? Columns(*station) : "not found";
    }
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

using StationStoreTest = StationsTest;
using StationListRulesTest = StationsTest;

TEST(StationListLine, PadsTheAddressToSeventeenCharacters) {
    EXPECT_EQ(StationListLine("10.10.10.10", "VNX DEFAULT IP"), "10.10.10.10      VNX DEFAULT IP");
    EXPECT_EQ(StationListLine("192.168.100.100", "x"), "192.168.100.100  x");
    EXPECT_EQ(StationListLine("1234567890abcdefgh", "x"), "1234567890abcdefghx");
}

// Columns are bound by position: the whole row read back shows the order holds.
TEST_F(StationStoreTest, LoadStationFindsTheWholeAddressAndReadsEveryColumn) {
    for (const char* other : {"10.10.10.1", "10.10.10.100", ""}) {
        EXPECT_EQ(Loaded(other), "not found") << other;
    }
    EXPECT_THAT(Row(kSeedIp), ElementsAre(Loaded(kSeedIp)));
    EXPECT_TRUE(recorder_.messages.empty());
}

TEST_F(StationStoreTest, NullColumnsReadAsEmptyText) {
    Select(
        "INSERT INTO main (IPADDRESS, PASSWORD, RELAY1NAME) VALUES ('1.2.3.4', 'pw********', "
        "NULL)");
    const std::optional<LoadedStation> station =
        store_.LoadStation(MessageOwner::MainWindow, "1.2.3.4");
    ASSERT_TRUE(station);
    EXPECT_EQ(std::tuple(station->comment, station->relayNames[0], station->relayNames[1]),
              std::tuple("", "", "Relay 2"));
    const std::optional<StationList> list = store_.FillStationList(MessageOwner::MainWindow);
    ASSERT_TRUE(list);
    EXPECT_THAT(list->lines, ElementsAre("10.10.10.10      VNX DEFAULT IP", "1.2.3.4          "));
}

// Values longer than the copy in memory keeps are cut, never overrun, and
// never through the middle of a character.
TEST_F(StationStoreTest, LongValuesAreCutToTheirCapacity) {
    Select(
        "UPDATE main SET VM4NOTES = printf('%.600c', 'n'), RELAY2NAME = printf('%.50c', 'm'), "
        "VM1NOTES = printf('%.509c', 'n') || 'é' || 'tail'");
    const std::optional<LoadedStation> station =
        store_.LoadStation(MessageOwner::MainWindow, kSeedIp);
    ASSERT_TRUE(station);
    EXPECT_EQ(std::tuple(station->notes[3], station->relayNames[1], station->notes[0]),
              std::tuple(std::string(510, 'n'), std::string(30, 'm'), std::string(509, 'n')));
}

TEST_F(StationStoreTest, ClosedStoreFailsEveryReadAndWriteAtItsFirstStep) {
    store_.CloseStationStore();
    EXPECT_FALSE(store_.FillStationList(MessageOwner::MainWindow));
    EXPECT_FALSE(store_.LoadStation(MessageOwner::ActiveDialog, kSeedIp));
    EXPECT_FALSE(store_.SetDefaultStation(MessageOwner::MainWindow, kSeedIp));
    EXPECT_FALSE(InsertStation(store_, "127.0.0.2", "pw********", ""));
    EXPECT_FALSE(SetDefaultFlag(store_, kSeedIp, false));  // the scan's own step: silent
    EXPECT_THAT(recorder_.Lines(),
                ElementsAre("Statement handle allocation failed|  Varnex v1|stop|main",
                            "Statement handle allocation failed|  Varnex v1|stop|dialog",
                            "Statement handle allocation failed|  Varnex v1|stop|main",
                            "Statement handle allocation failed|  Varnex v1|stop|dialog"));
}

TEST_F(StationStoreTest, EachWriterChangesItsColumnsOfTheNamedRowOnly) {
    ASSERT_TRUE(InsertStation(store_, "127.0.0.2", "other*****", "untouched"));
    const Lines other = Row("127.0.0.2");
    const std::string& ip = kSeedIp;
    EXPECT_EQ(Written(UpdateStation(store_, ip, "new*******", "lab"), "PASSWORD, COMMENT"),
              "new*******|lab");
    EXPECT_EQ(Written(SetDefaultFlag(store_, ip, true), "\"DEFAULT\""), "YES");
    EXPECT_EQ(Written(SetDefaultFlag(store_, ip, false), "\"DEFAULT\""), "NO");
    EXPECT_EQ(Written(SetRelayName(store_, ip, 2, "Pump"), "RELAY1NAME, RELAY2NAME, RELAY3NAME"),
              "Relay 1|Pump|Relay 3");
    EXPECT_EQ(Written(SetRelayNotes(store_, ip, 3, "wired to fan"), "RELAY3NOTES"), "wired to fan");
    EXPECT_EQ(Written(SetVoltmeterOptions(store_, ip, 1, {"OFF", "GRAPHICAL", "bat", "Bat"}),
                      "JP6, JP7, VM1VIEW, VM1NOTES, VM1LABEL"),
              "OFF|ON|GRAPHICAL|bat|Bat");
    EXPECT_EQ(Written(SetVoltmeterOptions(store_, ip, 2, {"OFF", "X", "n2", "L2"}),
                      "JP7, VM2VIEW, VM2NOTES, VM2LABEL"),
              "OFF|X|n2|L2");
    // Voltmeter 8 has no jumper.
    EXPECT_EQ(Written(SetVoltmeterOptions(store_, ip, 8, {"ON", "G", "n8", "L8"}),
                      "JP6, JP7, VM8VIEW, VM8NOTES, VM8LABEL"),
              "OFF|OFF|G|n8|L8");
    EXPECT_EQ(Written(SetStationPassword(store_, ip, "secret****"), "PASSWORD"), "secret****");
    EXPECT_EQ(Row("127.0.0.2"), other);
    EXPECT_TRUE(DeleteStation(store_, "127.0.0.2"));
    EXPECT_THAT(Select("SELECT IPADDRESS FROM main"), ElementsAre(ip));
    EXPECT_TRUE(recorder_.messages.empty());
}

// A change that meets no row (never stored, or deleted meanwhile) or two rows
// (a hand-edited file without a unique key) is a failure that changes nothing.
TEST_F(StationStoreTest, EveryPerStationWriterMustChangeExactlyOneRow) {
    const std::string notStored =
        "SQL general overness, can't find the IP Address in the Database!|  Varnex v1|stop|dialog";
    using Writer = std::function<bool(const std::string&)>;
    // The writer's icon for a failed statement; empty: silent, its caller reports.
    const std::tuple<const char*, std::string, Writer> writers[] = {
        {"edit", "exclamation",
         [&](auto& ip) { return UpdateStation(store_, ip, "new*******", ""); }},
        {"relay name", "none", [&](auto& ip) { return SetRelayName(store_, ip, 1, "Pump"); }},
        {"relay notes", "none", [&](auto& ip) { return SetRelayNotes(store_, ip, 2, "n"); }},
        {"voltmeter", "none",
         [&](auto& ip) {
             return SetVoltmeterOptions(store_, ip, 1, {"OFF", "G", "n", "L"});
         }},
        {"password", "stop",
         [&](auto& ip) { return SetStationPassword(store_, ip, "pw********"); }},
        {"default flag", "", [&](auto& ip) { return SetDefaultFlag(store_, ip, true); }},
        {"delete", "stop", [&](auto& ip) { return DeleteStation(store_, ip); }},
    };
    Select("INSERT INTO main SELECT * FROM main");  // the seed's address twice
    ASSERT_TRUE(InsertStation(store_, "127.0.0.2", "other*****", "single"));
    for (const auto& [name, icon, write] : writers) {
        SCOPED_TRACE(name);
        const std::string before = ReadBytes(path_);
        for (const auto& [ip, message] : {std::pair(std::string("127.0.0.9"), notStored),
                                          std::pair(kSeedIp, kFailed + icon + "|dialog")}) {
            EXPECT_FALSE(write(ip)) << ip;
            EXPECT_EQ(recorder_.Lines(), icon.empty() ? Lines{} : Lines{message}) << ip;
            recorder_.messages.clear();
        }
        EXPECT_EQ(ReadBytes(path_), before);
        EXPECT_TRUE(write("127.0.0.2"));
    }
}

TEST_F(StationStoreTest, QuotesAndOtherMetacharactersRoundTripExactly) {
    const std::string password = R"(a'b"c\d;e%_)";
    const std::string comment = R"('); DROP TABLE main; -- "x" \n ?)";
    ASSERT_TRUE(InsertStation(store_, "127.0.0.3", password, comment));
    EXPECT_THAT(Row("127.0.0.3", "PASSWORD, COMMENT"), ElementsAre(password + "|" + comment));
    EXPECT_THAT(Row("127.0.0.3"), ElementsAre(Loaded("127.0.0.3")));

    ASSERT_TRUE(UpdateStation(store_, "127.0.0.3", comment.substr(0, 20), password));
    EXPECT_THAT(Row("127.0.0.3", "PASSWORD, COMMENT"),
                ElementsAre(comment.substr(0, 20) + "|" + password));
    EXPECT_THAT(Row("127.0.0.3"), ElementsAre(Loaded("127.0.0.3")));

    // An address that reads like SQL matches nothing and changes nothing.
    EXPECT_FALSE(DeleteStation(store_, "x' OR '1'='1"));
    EXPECT_THAT(Select("SELECT count(*) FROM main"), ElementsAre("2"));
}

TEST_F(StationStoreTest, ValueLongerThanItsColumnIsRefusedWithTheCallersMessage) {
    const std::string tooLong(51, 'x');
    const std::string before = ReadBytes(path_);
    const auto refusal = [&](bool written) {
        const Lines lines = recorder_.Lines();
        recorder_.messages.clear();
        return written ? "written" : lines.size() == 1 ? lines[0] : "not one message";
    };
    EXPECT_EQ(refusal(InsertStation(store_, "192.168.100.1000", "pw", "")),
              kFailed + "none|dialog");
    EXPECT_EQ(refusal(UpdateStation(store_, kSeedIp, std::string(36, 'p'), "")),
              kFailed + "exclamation|dialog");
    EXPECT_EQ(refusal(SetRelayName(store_, kSeedIp, 1, tooLong)), kFailed + "none|dialog");
    EXPECT_EQ(refusal(SetVoltmeterOptions(store_, kSeedIp, 4, {"", "STANDARD", "", tooLong})),
              kFailed + "none|dialog");
    EXPECT_EQ(refusal(SetStationPassword(store_, kSeedIp, "")), kFailed + "stop|dialog");
    EXPECT_EQ(ReadBytes(path_), before);
}

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

TEST_F(StationListRulesTest, DeleteRemovesTheNamedRowOrSaysWhyNot) {
    AddOther(true);
    const std::tuple<std::string, const char*, Seen> cases[] = {
        {"10.10.10.10", "",
         Seen(false, {}, {"Don't Delete the Default IP!|  Varnex v1|none|dialog"})},
        // Fifteen characters untrimmed: not the stored address.
        {" 127.0.0.2", "",
         Seen(false, {},
              {"SQL general overness, can't find the IP Address in the Database!|  Varnex "
               "v1|stop|dialog"})},
        {"127.0.0.2", "DELETE", Seen(false, {}, {kFailed + "stop|dialog"})},
        {"127.0.0.2", "",
         Seen(true, {kSeedLine, "text: "},
              {"IP Address Deleted From Database !|  Varnex v1|none|dialog"})},
    };
    for (const auto& [field, refused, seen] : cases) {
        SCOPED_TRACE(field);
        Select("DROP TRIGGER IF EXISTS refuse");
        if (*refused != '\0') {
            Refuse(refused);
        }
        const std::size_t rowsBefore = Rows().size();
        EXPECT_EQ(Outcome(AcceptDeleteStation(store_, field)), seen);
        EXPECT_EQ(Rows().size(), rowsBefore - (std::get<0>(seen) ? 1 : 0));
    }
}

TEST_F(StationListRulesTest, SetDefaultMarksExactlyTheListedStation) {
    AddOther();
    const std::string done = "Default IP Address Set!|  Varnex v1|information|main";
    const std::string notStored =
        "SQL general overness, can't find the IP Address in the Database!|  Varnex v1|stop|main";
    const std::string other = "127.0.0.2        bench";
    // The list's text; what is done to the table first; the refilled list's
    // text (nullopt: the list stays); the flags afterwards; the message.
    const std::tuple<std::string, const char*, std::optional<std::string>, std::string, std::string>
        cases[] = {
            {other, "", other, "10.10.10.10|NO,127.0.0.2|YES", done},
            // An address that is not stored changes nothing: the default stays.
            {"192.168.7.7", "", std::nullopt, "10.10.10.10|NO,127.0.0.2|YES", notStored},
            {"", "", std::nullopt, "10.10.10.10|NO,127.0.0.2|YES", notStored},
            // A row left unchanged is never reported as set, and undoes the rest.
            {kSeedLine,
             "CREATE TRIGGER refuse BEFORE UPDATE OF \"DEFAULT\" ON main WHEN "
             "new.IPADDRESS = '127.0.0.2' BEGIN SELECT RAISE(ABORT, 'x'); END",
             other, "10.10.10.10|NO,127.0.0.2|YES", kFailed + "stop|main"},
            // Two rows of the chosen address would make two defaults.
            {kSeedLine, "INSERT INTO main SELECT * FROM main WHERE IPADDRESS = '10.10.10.10'",
             other, "10.10.10.10|NO,127.0.0.2|YES,10.10.10.10|NO", kFailed + "stop|main"},
        };
    for (const auto& [listText, prepare, shownText, flags, message] : cases) {
        SCOPED_TRACE(listText);
        Select(prepare);
        recorder_.messages.clear();
        const std::optional<StationList> list = SetDefaultFromList(store_, listText);
        EXPECT_EQ(list ? std::optional(list->text) : std::nullopt, shownText);
        EXPECT_THAT(Select("SELECT group_concat(IPADDRESS || '|' || \"DEFAULT\") FROM main"),
                    ElementsAre(flags));
        EXPECT_THAT(recorder_.Lines(), ElementsAre(message));
        Select("DROP TRIGGER IF EXISTS refuse");
    }
}

}  // namespace
}  // namespace varnex
