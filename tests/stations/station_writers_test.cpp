#include "stations/station_writers.h"

#include <gmock/gmock.h>

#include <functional>

#include "station_test_support.h"
#include "stations/seed_database.h"

namespace varnex {
namespace {

using ::testing::ElementsAre;
using varnex::testing::MessageRecorder;
using varnex::testing::ReadBytes;
using varnex::testing::Sqlite;
using varnex::testing::TempFolder;

class StationWritersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(WriteSeedDatabaseIfMissing(path_), SeedOutcome::Written);
        store_.OpenStationStore(path_);
        ASSERT_TRUE(store_.IsOpen());
    }
    std::vector<std::string> Column(const std::string& column) {
        return Sqlite(path_, "SELECT " + column + " FROM main WHERE IPADDRESS = '10.10.10.10'");
    }

    TempFolder folder_;
    std::string path_ = folder_.File("VNXv1.MDB");
    MessageRecorder recorder_;
    StationStore store_{recorder_.hooks};
};

TEST(PasswordAsStored, PadsShortPasswordsToTenCharacters) {
    EXPECT_EQ(PasswordAsStored("tamble"), "tamble****");
    EXPECT_EQ(PasswordAsStored("abc"), "abc*******");
    EXPECT_EQ(PasswordAsStored("123456789"), "123456789*");
    EXPECT_EQ(PasswordAsStored("0123456789ab"), "0123456789ab");
    EXPECT_EQ(PasswordAsStored(""), "");
}

TEST_F(StationWritersTest, InsertWritesEveryColumnWithItsDefault) {
    ASSERT_TRUE(InsertStation(store_, "192.168.1.5", "abc*******", "bench"));
    EXPECT_EQ(Sqlite(path_, "SELECT * FROM main WHERE IPADDRESS = '192.168.1.5'"),
              Sqlite(path_,
                     "SELECT '192.168.1.5', 'abc*******', 'bench', 'NO', JP6, JP7, VM1VIEW, "
                     "VM2VIEW, VM3VIEW, VM4VIEW, VM5VIEW, VM6VIEW, VM7VIEW, VM8VIEW, VM1NOTES, "
                     "VM2NOTES, VM3NOTES, VM4NOTES, VM5NOTES, VM6NOTES, VM7NOTES, VM8NOTES, "
                     "VM1LABEL, VM2LABEL, VM3LABEL, VM4LABEL, VM5LABEL, VM6LABEL, VM7LABEL, "
                     "VM8LABEL, RELAY1NOTES, RELAY2NOTES, RELAY3NOTES, RELAY1NAME, RELAY2NAME, "
                     "RELAY3NAME FROM main WHERE IPADDRESS = '10.10.10.10'"));
    EXPECT_TRUE(recorder_.messages.empty());
}

TEST_F(StationWritersTest, EachWriterChangesItsColumnsOfTheNamedRowOnly) {
    ASSERT_TRUE(InsertStation(store_, "127.0.0.2", "other*****", "untouched"));
    struct Case {
        const char* what;
        std::function<bool()> write;
        std::string columns;
        std::string expected;
    };
    const Case cases[] = {
        {"edit", [&] { return UpdateStation(store_, "10.10.10.10", "new*******", "lab"); },
         "PASSWORD, COMMENT", "new*******|lab"},
        {"default yes", [&] { return SetDefaultFlag(store_, "10.10.10.10", true); }, "\"DEFAULT\"",
         "YES"},
        {"default no", [&] { return SetDefaultFlag(store_, "10.10.10.10", false); }, "\"DEFAULT\"",
         "NO"},
        {"relay name", [&] { return SetRelayName(store_, "10.10.10.10", 2, "Pump"); },
         "RELAY1NAME, RELAY2NAME, RELAY3NAME", "Relay 1|Pump|Relay 3"},
        {"relay notes", [&] { return SetRelayNotes(store_, "10.10.10.10", 3, "wired to fan"); },
         "RELAY3NOTES", "wired to fan"},
        {"voltmeter 1",
         [&] {
             return SetVoltmeterOptions(store_, "10.10.10.10", 1,
                                        {"OFF", "GRAPHICAL", "battery", "Battery (0-60)"});
         },
         "JP6, JP7, VM1VIEW, VM1NOTES, VM1LABEL", "OFF|ON|GRAPHICAL|battery|Battery (0-60)"},
        {"voltmeter 2",
         [&] {
             return SetVoltmeterOptions(store_, "10.10.10.10", 2, {"OFF", "X", "n2", "L2"});
         },
         "JP7, VM2VIEW, VM2NOTES, VM2LABEL", "OFF|X|n2|L2"},
        {"voltmeter 8 has no jumper",
         [&] {
             return SetVoltmeterOptions(store_, "10.10.10.10", 8, {"OFF", "G", "n8", "L8"});
         },
         "JP6, JP7, VM8VIEW, VM8NOTES, VM8LABEL", "OFF|OFF|G|n8|L8"},
        {"password", [&] { return SetStationPassword(store_, "10.10.10.10", "secret****"); },
         "PASSWORD", "secret****"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(c.write());
        EXPECT_THAT(Column(c.columns), ElementsAre(c.expected));
    }
    EXPECT_THAT(Sqlite(path_, "SELECT * FROM main WHERE IPADDRESS = '127.0.0.2'"),
                Sqlite(
                    path_,
                    "SELECT '127.0.0.2', 'other*****', 'untouched', 'NO', 'ON', 'ON', "
                    "'STANDARD', 'STANDARD', 'STANDARD', 'STANDARD', 'STANDARD', "
                    "'STANDARD', 'STANDARD', 'STANDARD', " +
                        [] {
                            std::string notes;
                            for (int n = 1; n <= 8; ++n) {
                                notes += "'Enter notes about how Voltmeter " + std::to_string(n) +
                                         " is hooked up...', ";
                            }
                            return notes;
                        }() +
                        "'Voltage 1 (0-30-60)', 'Voltage 2 (0-30-60)', "
                        "'Voltage 3 (0-30)', 'Voltage 4 (0-30)', 'Voltage 5 (0-30)', "
                        "'Voltage 6 (0-5)', 'Voltage 7 (0-5)', 'Voltage 8 (0-5)', "
                        "'Enter notes about how Relay 1 is hooked up...', "
                        "'Enter notes about how Relay 2 is hooked up...', "
                        "'Enter notes about how Relay 3 is hooked up...', "
                        "'Relay 1', 'Relay 2', 'Relay 3'"));
    EXPECT_TRUE(recorder_.messages.empty());
}

TEST_F(StationWritersTest, DeleteRemovesTheRow) {
    ASSERT_TRUE(InsertStation(store_, "127.0.0.2", "other*****", ""));
    EXPECT_TRUE(DeleteStation(store_, "127.0.0.2"));
    EXPECT_TRUE(DeleteStation(store_, "127.0.0.9"));
    EXPECT_THAT(Sqlite(path_, "SELECT IPADDRESS FROM main"), ElementsAre("10.10.10.10"));
}

TEST_F(StationWritersTest, QuotesAndOtherMetacharactersRoundTripExactly) {
    const std::string password = R"(a'b"c\d;e%_)";
    const std::string comment = R"('); DROP TABLE main; -- "x" \n ?)";
    ASSERT_TRUE(InsertStation(store_, "127.0.0.3", password, comment));
    std::optional<LoadedStation> station =
        store_.LoadStation(MessageOwner::ActiveDialog, "127.0.0.3");
    ASSERT_TRUE(station);
    EXPECT_EQ(station->password, password);
    EXPECT_EQ(station->comment, comment);

    ASSERT_TRUE(UpdateStation(store_, "127.0.0.3", comment.substr(0, 20), password));
    station = store_.LoadStation(MessageOwner::ActiveDialog, "127.0.0.3");
    ASSERT_TRUE(station);
    EXPECT_EQ(station->password, comment.substr(0, 20));
    EXPECT_EQ(station->comment, password);
    EXPECT_THAT(Sqlite(path_, "SELECT count(*) FROM main"), ElementsAre("2"));

    // An address that reads like SQL matches nothing and changes nothing.
    EXPECT_TRUE(DeleteStation(store_, "x' OR '1'='1"));
    EXPECT_THAT(Sqlite(path_, "SELECT count(*) FROM main"), ElementsAre("2"));
}

TEST_F(StationWritersTest, ValueLongerThanItsColumnIsRefusedWithTheCallersMessage) {
    const std::string tooLong(51, 'x');
    struct Case {
        const char* what;
        std::function<bool()> write;
        MessageIcon icon;
    };
    const Case cases[] = {
        {"insert", [&] { return InsertStation(store_, "192.168.100.1000", "pw********", ""); },
         MessageIcon::None},
        {"edit", [&] { return UpdateStation(store_, "10.10.10.10", std::string(36, 'p'), ""); },
         MessageIcon::Exclamation},
        {"relay name", [&] { return SetRelayName(store_, "10.10.10.10", 1, tooLong); },
         MessageIcon::None},
        {"voltmeter",
         [&] {
             return SetVoltmeterOptions(store_, "10.10.10.10", 4, {"", "STANDARD", "", tooLong});
         },
         MessageIcon::None},
        {"password", [&] { return SetStationPassword(store_, "10.10.10.10", ""); },
         MessageIcon::Stop},
    };
    const std::string before = ReadBytes(path_);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        recorder_.messages.clear();
        EXPECT_FALSE(c.write());
        ASSERT_EQ(recorder_.messages.size(), 1u);
        EXPECT_EQ(recorder_.messages[0].text, "Execution of SQL statement failed");
        EXPECT_EQ(recorder_.messages[0].caption, "  Varnex v1");
        EXPECT_EQ(recorder_.messages[0].icon, c.icon);
        EXPECT_EQ(recorder_.messages[0].owner, MessageOwner::ActiveDialog);
    }
    EXPECT_EQ(ReadBytes(path_), before);
}

TEST_F(StationWritersTest, WriterWithoutConnectionTellsTheUser) {
    store_.CloseStationStore();
    EXPECT_FALSE(InsertStation(store_, "127.0.0.2", "pw********", ""));
    EXPECT_FALSE(SetDefaultFlag(store_, "10.10.10.10", false));
    EXPECT_EQ(recorder_.Texts(), std::vector<std::string>{"Statement handle allocation failed"});
}

// The connection opens the file read-only through the engine's own open
// mode, which holds for every user, root included.
TEST_F(StationWritersTest, ReadOnlyDatabaseRefusesEveryWriterAndLosesNothing) {
    store_.CloseStationStore();
    const std::string before = ReadBytes(path_);
    store_.OpenStationStore("file:" + path_ + "?mode=ro");
    ASSERT_TRUE(store_.IsOpen());

    const std::function<bool()> writers[] = {
        [&] { return InsertStation(store_, "127.0.0.2", "pw********", ""); },
        [&] { return UpdateStation(store_, "10.10.10.10", "pw********", "x"); },
        [&] { return DeleteStation(store_, "10.10.10.10"); },
        [&] { return SetRelayName(store_, "10.10.10.10", 1, "x"); },
        [&] { return SetRelayNotes(store_, "10.10.10.10", 1, "x"); },
        [&] {
            return SetVoltmeterOptions(store_, "10.10.10.10", 1, {"OFF", "G", "n", "l"});
        },
        [&] {
            return SetVoltmeterOptions(store_, "10.10.10.10", 5, {"", "G", "n", "l"});
        },
        [&] { return SetStationPassword(store_, "10.10.10.10", "pw********"); },
    };
    for (const auto& write : writers) {
        EXPECT_FALSE(write());
    }
    EXPECT_EQ(recorder_.Texts(),
              std::vector<std::string>(std::size(writers), "Execution of SQL statement failed"));

    recorder_.messages.clear();
    const std::optional<StationList> list =
        store_.SetDefaultStation(MessageOwner::MainWindow, "127.0.0.2");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->text, "10.10.10.10      VNX DEFAULT IP");
    EXPECT_EQ(recorder_.Texts(), std::vector<std::string>{"Execution of SQL statement failed"});

    EXPECT_EQ(ReadBytes(path_), before);
    const std::optional<LoadedStation> seed =
        store_.LoadStation(MessageOwner::MainWindow, "10.10.10.10");
    ASSERT_TRUE(seed);
    EXPECT_EQ(seed->comment, "VNX DEFAULT IP");
}

}  // namespace
}  // namespace varnex
