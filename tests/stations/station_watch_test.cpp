// Which stations are watched and their alarm settings: the table of their
// own beside `main`, settings read back as stored, following a station's
// address, the rules the alarm editor applies, and the station dialogs
// carrying the settings with the row.
#include <gmock/gmock.h>

#include <cmath>
#include <functional>
#include <limits>

#include "station_test_support.h"
#include "stations/station_list_rules.h"
#include "stations/station_watch.h"
#include "stations/station_writers.h"

namespace varnex {

// Failures print the settings, not their bytes.
void PrintTo(const ReadingLimits& limits, std::ostream* out) {
    const auto print = [out](const std::optional<double>& limit) {
        if (limit) {
            *out << *limit;
        } else {
            *out << "-";
        }
    };
    print(limits.lower);
    *out << "..";
    print(limits.upper);
    *out << "/" << limits.hysteresis;
}

void PrintTo(const StationWatch& watch, std::ostream* out) {
    *out << (watch.watched ? "watched" : "not watched") << " silent ";
    *out << (watch.silentSeconds ? std::to_string(*watch.silentSeconds) : "-");
    for (const ReadingLimits& limits : watch.voltmeters) {
        *out << " V ";
        PrintTo(limits, out);
    }
    *out << " T ";
    PrintTo(watch.temperature, out);
}

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Lines = std::vector<std::string>;
using Watches = std::map<std::string, StationWatch>;

constexpr VoltmeterJumpers kBothInstalled{true, true};
constexpr uint32_t kPollSeconds = 5;
const std::string kSeedIp = "10.10.10.10";
const std::string kFailedText = "Execution of SQL statement failed";

// Every limit of every reading set, fractions and negative values included,
// as a user types them (the database keeps 15 significant digits).
StationWatch FullWatch() {
    StationWatch watch;
    watch.watched = true;
    for (std::size_t i = 0; i < watch.voltmeters.size(); ++i) {
        const double n = static_cast<double>(i);
        watch.voltmeters[i] = {0.125 * n, 2.75 + n, n / 10};
    }
    watch.temperature = {-20.5, 45.25, 1.5};
    watch.silentSeconds = 4294967295u;
    return watch;
}

class StationWatchTest : public varnex::testing::SeededStationTest {
  protected:
    Lines MainTable() {
        Lines seen = Select("SELECT sql FROM sqlite_master WHERE name = 'main'");
        const Lines rows = Select("SELECT * FROM main");
        seen.insert(seen.end(), rows.begin(), rows.end());
        return seen;
    }
    Watches Load() {
        const std::optional<Watches> watches = LoadStationWatches(store_);
        EXPECT_TRUE(watches);
        return watches.value_or(Watches{});
    }
    void Save(const std::string& ip, const StationWatch& watch) {
        ASSERT_TRUE(SaveStationWatch(store_, ip, watch)) << ip;
    }
    // Makes every later `statement` on `table` fail.
    void Refuse(const std::string& statement, const std::string& table) {
        ASSERT_THAT(Select("CREATE TRIGGER refuse_" + table + " BEFORE " + statement + " ON " +
                           table + " BEGIN SELECT RAISE(ABORT, 'refused'); END;"),
                    IsEmpty());
    }
    Lines Addresses() { return Select("SELECT IPADDRESS FROM main"); }
    Lines Messages() {
        Lines texts = recorder_.Texts();
        recorder_.messages.clear();
        return texts;
    }
};

TEST_F(StationWatchTest, TableIsAddedToAnOldDatabaseWithoutTouchingMainAndWatchesNothing) {
    ASSERT_TRUE(InsertStation(store_, "127.0.0.2", "other*****", "added before"));
    const Lines before = MainTable();
    ASSERT_EQ(before.size(), 3u);

    EXPECT_TRUE(EnsureWatchTable(store_));
    EXPECT_THAT(Load(), IsEmpty());  // neither the seed row nor the older station
    Save("127.0.0.2", FullWatch());
    EXPECT_TRUE(EnsureWatchTable(store_));  // a second time keeps what is stored
    EXPECT_EQ(Load().size(), 1u);

    EXPECT_EQ(MainTable(), before);
    EXPECT_THAT(Select("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"),
                ElementsAre("main", "station_watch"));
    EXPECT_THAT(recorder_.messages, IsEmpty());
}

TEST_F(StationWatchTest, SettingsReadBackAsStoredWithAbsentLimitsAbsent) {
    StationWatch onlyLower;
    onlyLower.voltmeters[2].lower = 0;  // a limit at zero is still a limit
    onlyLower.temperature.upper = -0.5;
    StationWatch unwatchedWithLimits = FullWatch();
    unwatchedWithLimits.watched = false;
    unwatchedWithLimits.silentSeconds.reset();
    const std::pair<std::string, StationWatch> cases[] = {
        {"127.0.0.2", NewStationWatch()},   {"127.0.0.3", StationWatch{}},
        {"127.0.0.4", onlyLower},           {"127.0.0.5", FullWatch()},
        {"127.0.0.6", unwatchedWithLimits}, {"it's \"quoted\"; --", FullWatch()},
    };
    for (const auto& [ip, watch] : cases) {
        Save(ip, watch);
    }
    const Watches loaded = Load();
    ASSERT_EQ(loaded.size(), std::size(cases));
    for (const auto& [ip, watch] : cases) {
        EXPECT_EQ(loaded.at(ip), watch) << ip;
    }
    EXPECT_THAT(Select("SELECT V1LOWER IS NULL, V3LOWER IS NULL FROM station_watch "
                       "WHERE IPADDRESS = '127.0.0.4'"),
                ElementsAre("1|0"));

    // Saving again replaces the station's one row.
    Save("127.0.0.5", onlyLower);
    EXPECT_EQ(Load().at("127.0.0.5"), onlyLower);
    EXPECT_THAT(Select("SELECT count(*) FROM station_watch"), ElementsAre("6"));
}

TEST_F(StationWatchTest, NewStationIsWatchedWithoutLimitsAndSilentAfterAMinute) {
    StationWatch expected;
    expected.watched = true;
    expected.silentSeconds = 60;
    EXPECT_EQ(NewStationWatch(), expected);
    EXPECT_EQ(StationWatchError(NewStationWatch(), kBothInstalled, kPollSeconds), std::nullopt);
}

TEST_F(StationWatchTest, SettingsFollowAMovedAddressAndGoWithADeletedOne) {
    StationWatch other = NewStationWatch();
    other.silentSeconds = 30;
    Save("127.0.0.2", FullWatch());
    Save("127.0.0.3", other);
    Save("127.0.0.4", StationWatch{});

    EXPECT_TRUE(MoveStationWatch(store_, "127.0.0.2", "127.0.0.9"));
    EXPECT_EQ(
        Load(),
        (Watches{{"127.0.0.9", FullWatch()}, {"127.0.0.3", other}, {"127.0.0.4", StationWatch{}}}));
    // Onto an address that had settings: the moved station's replace them.
    EXPECT_TRUE(MoveStationWatch(store_, "127.0.0.9", "127.0.0.3"));
    EXPECT_EQ(Load(), (Watches{{"127.0.0.3", FullWatch()}, {"127.0.0.4", StationWatch{}}}));
    // A station without settings leaves none at its new address either.
    EXPECT_TRUE(MoveStationWatch(store_, "127.0.0.8", "127.0.0.4"));
    EXPECT_TRUE(MoveStationWatch(store_, "127.0.0.3", "127.0.0.3"));
    EXPECT_EQ(Load(), (Watches{{"127.0.0.3", FullWatch()}}));

    EXPECT_TRUE(DeleteStationWatch(store_, "127.0.0.7"));  // nothing to delete is no failure
    EXPECT_TRUE(DeleteStationWatch(store_, "127.0.0.3"));
    EXPECT_THAT(Load(), IsEmpty());
}

TEST_F(StationWatchTest, FailedMoveKeepsBothAddressesAsTheyWere) {
    Save("127.0.0.2", FullWatch());
    Save("127.0.0.3", NewStationWatch());
    Refuse("UPDATE", "station_watch");
    EXPECT_FALSE(MoveStationWatch(store_, "127.0.0.2", "127.0.0.3"));
    EXPECT_EQ(Load(), (Watches{{"127.0.0.2", FullWatch()}, {"127.0.0.3", NewStationWatch()}}));
}

TEST_F(StationWatchTest, ClosedStoreFailsEveryOperationWithoutAMessage) {
    store_.CloseStationStore();
    EXPECT_FALSE(EnsureWatchTable(store_));
    EXPECT_FALSE(LoadStationWatches(store_));
    EXPECT_FALSE(SaveStationWatch(store_, "127.0.0.2", NewStationWatch()));
    EXPECT_FALSE(MoveStationWatch(store_, "127.0.0.2", "127.0.0.3"));
    EXPECT_FALSE(DeleteStationWatch(store_, "127.0.0.2"));
    EXPECT_THAT(recorder_.messages, IsEmpty());
}

// One reading's limits changed from a watch that is otherwise valid.
struct ValidationCase {
    const char* what;
    std::function<void(StationWatch&)> change;
    VoltmeterJumpers jumpers;
    uint32_t pollSeconds;
    std::optional<std::string> error;
};

std::function<void(StationWatch&)> Voltmeter(std::size_t number, ReadingLimits limits) {
    return [=](StationWatch& watch) { watch.voltmeters[number - 1] = limits; };
}

std::function<void(StationWatch&)> Temperature(ReadingLimits limits) {
    return [=](StationWatch& watch) { watch.temperature = limits; };
}

std::function<void(StationWatch&)> Silence(std::optional<uint32_t> seconds) {
    return [=](StationWatch& watch) { watch.silentSeconds = seconds; };
}

std::string OutsideRange(const std::string& reading) {
    return reading + ": the limits must lie within that range.";
}

TEST(StationWatchError, EachRuleWithItsBoundaries) {
    constexpr VoltmeterJumpers kFirstRemoved{false, true};
    constexpr VoltmeterJumpers kSecondRemoved{true, false};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::string v1Installed = "Voltmeter 1 reads 0 to 30 V with its jumper installed";
    const std::string temperature = "The temperature reads -255.5 to 255.5 \u00B0C";
    const ValidationCase cases[] = {
        {"nothing set", [](StationWatch&) {}, kBothInstalled, kPollSeconds, std::nullopt},
        // The range of voltmeters 1 and 2 follows their jumper.
        {"v1 at full scale", Voltmeter(1, {0, 30, 0}), kBothInstalled, 5, std::nullopt},
        {"v1 over 30", Voltmeter(1, {{}, 30.001, 0}), kBothInstalled, 5, OutsideRange(v1Installed)},
        {"v1 45 without jumper", Voltmeter(1, {{}, 45, 0}), kFirstRemoved, 5, std::nullopt},
        {"v1 at 60 without jumper", Voltmeter(1, {60, {}, 0}), kFirstRemoved, 5, std::nullopt},
        {"v1 over 60", Voltmeter(1, {{}, 60.5, 0}), kFirstRemoved, 5,
         OutsideRange("Voltmeter 1 reads 0 to 60 V with its jumper removed")},
        {"v1 45, only v2's jumper removed", Voltmeter(1, {{}, 45, 0}), kSecondRemoved, 5,
         OutsideRange(v1Installed)},
        {"v2 45 without its jumper", Voltmeter(2, {{}, 45, 0}), kSecondRemoved, 5, std::nullopt},
        {"v2 45 with its jumper", Voltmeter(2, {{}, 45, 0}), kFirstRemoved, 5,
         OutsideRange("Voltmeter 2 reads 0 to 30 V with its jumper installed")},
        {"v5 has no jumper", Voltmeter(5, {{}, 45, 0}), VoltmeterJumpers{false, false}, 5,
         OutsideRange("Voltmeter 5 reads 0 to 30 V")},
        {"v6 at 5", Voltmeter(6, {0, 5, 0}), kBothInstalled, 5, std::nullopt},
        {"v8 over 5", Voltmeter(8, {{}, 5.01, 0}), kBothInstalled, 5,
         OutsideRange("Voltmeter 8 reads 0 to 5 V")},
        {"v3 below 0", Voltmeter(3, {-0.1, {}, 0}), kBothInstalled, 5,
         OutsideRange("Voltmeter 3 reads 0 to 30 V")},
        {"v3 not a number", Voltmeter(3, {nan, {}, 0}), kBothInstalled, 5,
         OutsideRange("Voltmeter 3 reads 0 to 30 V")},
        // Order and band.
        {"v3 equal limits", Voltmeter(3, {10, 10, 0}), kBothInstalled, 5, std::nullopt},
        {"v3 lower above upper", Voltmeter(3, {10.5, 10, 0}), kBothInstalled, 5,
         "The lower limit of voltmeter 3 is above its upper limit."},
        {"v3 hysteresis fills the band", Voltmeter(3, {10, 12, 2}), kBothInstalled, 5,
         std::nullopt},
        {"v3 hysteresis wider", Voltmeter(3, {10, 12, 2.5}), kBothInstalled, 5,
         "The hysteresis of voltmeter 3 is wider than its band."},
        // With one limit the band reaches the end of the range.
        {"v6 upper, band down to 0", Voltmeter(6, {{}, 3, 3}), kBothInstalled, 5, std::nullopt},
        {"v6 upper, wider", Voltmeter(6, {{}, 3, 3.5}), kBothInstalled, 5,
         "The hysteresis of voltmeter 6 is wider than its band."},
        {"v4 lower, band up to 30", Voltmeter(4, {20, {}, 10}), kBothInstalled, 5, std::nullopt},
        {"v4 lower, wider", Voltmeter(4, {20, {}, 10.5}), kBothInstalled, 5,
         "The hysteresis of voltmeter 4 is wider than its band."},
        {"hysteresis without limits", Voltmeter(7, {{}, {}, 100}), kBothInstalled, 5, std::nullopt},
        {"negative hysteresis", Voltmeter(7, {{}, {}, -0.5}), kBothInstalled, 5,
         "The hysteresis of voltmeter 7 cannot be negative."},
        // The temperature: the range the unit can report.
        {"temperature at both ends", Temperature({-255.5, 255.5, 0}), kBothInstalled, 5,
         std::nullopt},
        {"temperature over", Temperature({{}, 256, 0}), kBothInstalled, 5,
         OutsideRange(temperature)},
        {"temperature under", Temperature({-256, {}, 0}), kBothInstalled, 5,
         OutsideRange(temperature)},
        {"temperature order", Temperature({30, 20, 0}), kBothInstalled, 5,
         "The lower limit of the temperature is above its upper limit."},
        {"temperature band", Temperature({18, 22, 4.5}), kBothInstalled, 5,
         "The hysteresis of the temperature is wider than its band."},
        {"temperature hysteresis", Temperature({18, 22, -1}), kBothInstalled, 5,
         "The hysteresis of the temperature cannot be negative."},
        // Silence: at least three polling intervals.
        {"no silent alarm", Silence(std::nullopt), kBothInstalled, 5, std::nullopt},
        {"silence of three polls", Silence(15), kBothInstalled, 5, std::nullopt},
        {"silence too short", Silence(14), kBothInstalled, 5,
         "A silence of 14 s is shorter than 3 polling intervals of 5 s: choose at least 15 s."},
        {"a minute at slow polling", Silence(60), kBothInstalled, 30,
         "A silence of 60 s is shorter than 3 polling intervals of 30 s: choose at least 90 s."},
        {"no overflow", Silence(4294967295u), kBothInstalled, 4294967295u,
         "A silence of 4294967295 s is shorter than 3 polling intervals of 4294967295 s: choose "
         "at least 12884901885 s."},
        // The first fault in reading order is the one told.
        {"first fault wins",
         [](StationWatch& watch) {
             watch.voltmeters[1] = {5, 4, 0};
             watch.temperature = {{}, 300, 0};
             watch.silentSeconds = 1;
         },
         kBothInstalled, 5, "The lower limit of voltmeter 2 is above its upper limit."},
    };
    for (const ValidationCase& c : cases) {
        StationWatch watch = NewStationWatch();
        c.change(watch);
        EXPECT_EQ(StationWatchError(watch, c.jumpers, c.pollSeconds), c.error) << c.what;
    }
}

// The station dialogs' rules keep a station's row and its settings together.
TEST_F(StationWatchTest, AddedStationIsWatchedAndEditKeepsItsSettings) {
    ASSERT_TRUE(
        AcceptStationDialog(store_, StationDialogMode::Add, {0x7F000002, "abc", "bench"}).list);
    EXPECT_EQ(Load(), (Watches{{"127.0.0.2", NewStationWatch()}}));
    Save("127.0.0.2", FullWatch());
    AcceptStationDialog(store_, StationDialogMode::Edit, {0x7F000002, "new", "renamed"});
    EXPECT_EQ(Load(), (Watches{{"127.0.0.2", FullWatch()}}));
    EXPECT_THAT(Messages(), ElementsAre("IP Address Updated SucSuccessfully"));
}

TEST_F(StationWatchTest, AddIsUndoneWhenItsSettingsCannotBeStored) {
    ASSERT_TRUE(EnsureWatchTable(store_));
    Refuse("INSERT", "station_watch");
    const StationDialogOutcome outcome =
        AcceptStationDialog(store_, StationDialogMode::Add, {0x7F000002, "abc", ""});
    EXPECT_TRUE(outcome.closeDialog);
    EXPECT_FALSE(outcome.list);
    EXPECT_THAT(Addresses(), ElementsAre(kSeedIp));
    EXPECT_THAT(Messages(), ElementsAre("The new station's alarm settings could not be stored, so "
                                        "the station was not added."));
    // A refused row of `main` says so in its own words only, and stores no settings.
    Select("DROP TRIGGER refuse_station_watch");
    Refuse("INSERT", "main");
    AcceptStationDialog(store_, StationDialogMode::Add, {0x7F000002, "abc", ""});
    EXPECT_THAT(Messages(), ElementsAre(kFailedText));
    EXPECT_THAT(Load(), IsEmpty());
}

TEST_F(StationWatchTest, DeleteTakesTheSettingsAlongOrDeletesNothing) {
    ASSERT_TRUE(InsertStation(store_, "127.0.0.2", "other*****", ""));
    ASSERT_TRUE(InsertStation(store_, "127.0.0.3", "other*****", ""));
    Save("127.0.0.2", FullWatch());
    Save("127.0.0.3", FullWatch());

    EXPECT_TRUE(AcceptDeleteStation(store_, "127.0.0.2").closeDialog);
    EXPECT_EQ(Load(), (Watches{{"127.0.0.3", FullWatch()}}));
    EXPECT_THAT(Messages(), ElementsAre("IP Address Deleted From Database !"));

    Refuse("DELETE", "station_watch");
    EXPECT_FALSE(AcceptDeleteStation(store_, "127.0.0.3").closeDialog);
    EXPECT_THAT(Addresses(), ElementsAre(kSeedIp, "127.0.0.3"));
    EXPECT_EQ(Load(), (Watches{{"127.0.0.3", FullWatch()}}));
    EXPECT_THAT(Messages(), ElementsAre("The station's alarm settings could not be removed, so "
                                        "the station was not deleted."));
}

}  // namespace
}  // namespace varnex
