// The station store on a seeded database: reading rows into memory, and the
// writers that change exactly their columns of exactly one row.
#include "stations/station_store.h"

#include <gmock/gmock.h>

#include "station_test_support.h"
#include "stations/station_writers.h"

namespace varnex {
namespace {

using ::testing::ElementsAre;
using varnex::testing::ReadBytes;

const std::string kSeedIp = "10.10.10.10";

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

class StationStoreTest : public varnex::testing::SeededStationTest {
  protected:
    std::vector<std::string> Row(const std::string& ip, const std::string& columns = "*") {
        return Select("SELECT " + columns + " FROM main WHERE IPADDRESS = '" + ip + "'");
    }
    // The columns of the row `write` changed, or why there is none to show.
    std::string Written(bool written, const std::string& columns) {
        const std::vector<std::string> row = Row(kSeedIp, columns);
        return !written ? "refused" : row.size() == 1 ? row[0] : "not one row";
    }
    // The station as loaded, as one line of its fields.
    std::string Loaded(const std::string& ip) {
        const std::optional<LoadedStation> station =
            store_.LoadStation(MessageOwner::MainWindow, ip);
        return station ? Columns(*station) : "not found";
    }
};

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
    const std::vector<std::string> other = Row("127.0.0.2");
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
    EXPECT_TRUE(DeleteStation(store_, "127.0.0.9"));  // no such row: nothing to refuse
    EXPECT_THAT(Select("SELECT IPADDRESS FROM main"), ElementsAre(ip));
    EXPECT_TRUE(recorder_.messages.empty());
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
    EXPECT_TRUE(DeleteStation(store_, "x' OR '1'='1"));
    EXPECT_THAT(Select("SELECT count(*) FROM main"), ElementsAre("2"));
}

TEST_F(StationStoreTest, ValueLongerThanItsColumnIsRefusedWithTheCallersMessage) {
    const std::string tooLong(51, 'x');
    const std::string before = ReadBytes(path_);
    const auto refusal = [&](bool written) {
        const std::vector<std::string> lines = recorder_.Lines();
        recorder_.messages.clear();
        return written ? "written" : lines.size() == 1 ? lines[0] : "not one message";
    };
    const std::string failed = "Execution of SQL statement failed|  Varnex v1|";
    EXPECT_EQ(refusal(InsertStation(store_, "192.168.100.1000", "pw", "")), failed + "none|dialog");
    EXPECT_EQ(refusal(UpdateStation(store_, kSeedIp, std::string(36, 'p'), "")),
              failed + "exclamation|dialog");
    EXPECT_EQ(refusal(SetRelayName(store_, kSeedIp, 1, tooLong)), failed + "none|dialog");
    EXPECT_EQ(refusal(SetVoltmeterOptions(store_, kSeedIp, 4, {"", "STANDARD", "", tooLong})),
              failed + "none|dialog");
    EXPECT_EQ(refusal(SetStationPassword(store_, kSeedIp, "")), failed + "stop|dialog");
    EXPECT_EQ(ReadBytes(path_), before);
}

}  // namespace
}  // namespace varnex
