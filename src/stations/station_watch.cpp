#include "stations/station_watch.h"

#include <cctype>
#include <charconv>
#include <limits>
#include <system_error>
#include <vector>

#include "protocol/reply_silence.h"

namespace varnex {
namespace {

constexpr const char* kWatchTable = "station_watch";
// Long enough to notice a unit that is gone, short enough that ordinary
// loss at the default polling interval never raises it.
constexpr uint32_t kDefaultSilentSeconds = 60;
// Addresses and numbers read back far shorter than this.
constexpr std::size_t kValueCapacity = 64;

// The readings that carry limits, in the table's column order: the
// voltmeters, then the temperature.
constexpr std::size_t kLimitedReadings = kVoltmeterColumns + 1;
constexpr std::size_t kColumnsPerReading = 3;  // lower, upper, hysteresis
constexpr std::size_t kFirstLimitColumn = 3;   // after address, flag and silence

const ReadingLimits& LimitsOf(const StationWatch& watch, std::size_t reading) {
    return reading < kVoltmeterColumns ? watch.voltmeters[reading] : watch.temperature;
}

ReadingLimits& LimitsOf(StationWatch& watch, std::size_t reading) {
    return reading < kVoltmeterColumns ? watch.voltmeters[reading] : watch.temperature;
}

std::string ReadingColumnPrefix(std::size_t reading) {
    return reading < kVoltmeterColumns ? "V" + std::to_string(reading + 1) : "TEMPERATURE";
}

// Every column with its type and rule, in the order rows are written and read.
// The rules keep hand edits from storing what would not read back as a number.
std::vector<std::pair<std::string, std::string>> WatchColumns() {
    std::vector<std::pair<std::string, std::string>> columns = {
        {"IPADDRESS", "TEXT PRIMARY KEY NOT NULL"},
        {"WATCHED", "INTEGER NOT NULL CHECK (WATCHED IN (0, 1))"},
        {"SILENTSECONDS",
         "INTEGER CHECK (SILENTSECONDS IS NULL OR (typeof(SILENTSECONDS) = 'integer' AND "
         "SILENTSECONDS BETWEEN 0 AND 4294967295))"},
    };
    for (std::size_t reading = 0; reading < kLimitedReadings; ++reading) {
        const std::string prefix = ReadingColumnPrefix(reading);
        for (const char* limit : {"LOWER", "UPPER"}) {
            const std::string name = prefix + limit;
            columns.emplace_back(name, "REAL CHECK (" + name + " IS NULL OR typeof(" + name +
                                           ") IN ('real', 'integer'))");
        }
        const std::string name = prefix + "HYSTERESIS";
        columns.emplace_back(
            name, "REAL NOT NULL DEFAULT 0 CHECK (typeof(" + name + ") IN ('real', 'integer'))");
    }
    return columns;
}

std::string ColumnList() {
    std::string list;
    for (const auto& [name, rule] : WatchColumns()) {
        list += (list.empty() ? "" : ", ") + name;
    }
    return list;
}

// Shortest text that reads back as the same number.
std::string NumberText(double value) {
    char text[32];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
    return std::string(text, end.ptr);
}

template <typename Number>
std::optional<Number> ParseNumber(const std::string& text) {
    Number value{};
    const std::from_chars_result end =
        std::from_chars(text.data(), text.data() + text.size(), value);
    if (end.ec != std::errc() || end.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// An empty text is an absent value; any other must be a number.
template <typename Number>
bool ParseOptional(const std::string& text, std::optional<Number>& value) {
    if (text.empty()) {
        value.reset();
        return true;
    }
    value = ParseNumber<Number>(text);
    return value.has_value();
}

std::optional<StationWatch> ParseWatchRow(const std::vector<std::string>& row) {
    StationWatch watch;
    watch.watched = row[1] == "1";
    if (!ParseOptional(row[2], watch.silentSeconds)) {
        return std::nullopt;
    }
    for (std::size_t reading = 0; reading < kLimitedReadings; ++reading) {
        ReadingLimits& limits = LimitsOf(watch, reading);
        const std::size_t first = kFirstLimitColumn + reading * kColumnsPerReading;
        const std::optional<double> hysteresis = ParseNumber<double>(row[first + 2]);
        if (!ParseOptional(row[first], limits.lower) ||
            !ParseOptional(row[first + 1], limits.upper) || !hysteresis) {
            return std::nullopt;
        }
        limits.hysteresis = *hysteresis;
    }
    return watch;
}

std::string OptionalText(const std::optional<double>& value) {
    return value ? NumberText(*value) : std::string();
}

bool Done(StatementResult result) {
    return result == StatementResult::Done;
}

// What one reading's messages call it, and the range its limits must lie in.
struct LimitedReading {
    std::string name;  // as in the middle of a sentence
    double lowest = 0;
    double highest = 0;
    std::string range;  // "reads 0 to 30 V with its jumper installed"
};

LimitedReading Voltmeter(std::size_t index, const VoltmeterJumpers& jumpers) {
    const int fullScale = DecodeVoltmeter(index, 0, jumpers).fullScaleVolts;
    const int installed = DecodeVoltmeter(index, 0, {true, true}).fullScaleVolts;
    const int removed = DecodeVoltmeter(index, 0, {false, false}).fullScaleVolts;
    std::string range = "reads 0 to " + std::to_string(fullScale) + " V";
    // Only a voltmeter whose range depends on a jumper mentions it.
    if (installed != removed) {
        range += fullScale == installed ? " with its jumper installed" : " with its jumper removed";
    }
    return {"voltmeter " + std::to_string(index + 1), 0, static_cast<double>(fullScale), range};
}

// The unit reports the magnitude in whole degrees in one byte, with a sign
// and a half degree; nothing outside that can ever be read.
LimitedReading Temperature() {
    const auto highest = static_cast<double>(
        TemperatureReading{false, std::numeric_limits<uint8_t>::max(), true}.Celsius());
    return {"the temperature", -highest, highest,
            "reads " + NumberText(-highest) + " to " + NumberText(highest) + " \u00B0C"};
}

std::string Capitalised(std::string text) {
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

std::optional<std::string> LimitsError(const ReadingLimits& limits, const LimitedReading& reading) {
    // Written so that a value that is not a number counts as outside.
    const auto outside = [&reading](const std::optional<double>& limit) {
        return limit && !(*limit >= reading.lowest && *limit <= reading.highest);
    };
    if (outside(limits.lower) || outside(limits.upper)) {
        return Capitalised(reading.name) + " " + reading.range +
               ": the limits must lie within that range.";
    }
    if (limits.lower && limits.upper && *limits.lower > *limits.upper) {
        return "The lower limit of " + reading.name + " is above its upper limit.";
    }
    if (!(limits.hysteresis >= 0)) {
        return "The hysteresis of " + reading.name + " cannot be negative.";
    }
    // With one limit the band reaches to the end of the range: an alarm that
    // must fall below the range to clear would never clear.
    const bool checked = limits.lower || limits.upper;
    const double band =
        limits.upper.value_or(reading.highest) - limits.lower.value_or(reading.lowest);
    if (checked && limits.hysteresis > band) {
        return "The hysteresis of " + reading.name + " is wider than its band.";
    }
    return std::nullopt;
}

}  // namespace

StationWatch NewStationWatch() {
    StationWatch watch;
    watch.watched = true;
    watch.silentSeconds = kDefaultSilentSeconds;
    return watch;
}

std::optional<std::string> StationWatchError(const StationWatch& watch,
                                             const VoltmeterJumpers& jumpers,
                                             uint32_t pollIntervalSeconds) {
    for (std::size_t index = 0; index < kVoltmeterColumns; ++index) {
        if (auto error = LimitsError(watch.voltmeters[index], Voltmeter(index, jumpers))) {
            return error;
        }
    }
    if (auto error = LimitsError(watch.temperature, Temperature())) {
        return error;
    }
    const uint64_t shortest = uint64_t{kSilentAfterPolls} * pollIntervalSeconds;
    if (watch.silentSeconds && *watch.silentSeconds < shortest) {
        return "A silence of " + std::to_string(*watch.silentSeconds) + " s is shorter than " +
               std::to_string(kSilentAfterPolls) + " polling intervals of " +
               std::to_string(pollIntervalSeconds) + " s: choose at least " +
               std::to_string(shortest) + " s.";
    }
    return std::nullopt;
}

bool EnsureWatchTable(StationStore& store) {
    std::string sql = std::string("CREATE TABLE IF NOT EXISTS ") + kWatchTable + " (";
    bool first = true;
    for (const auto& [name, rule] : WatchColumns()) {
        sql += (first ? "" : ", ") + name + " " + rule;
        first = false;
    }
    return Done(store.RunStatement(sql + ")", {}));
}

std::optional<std::map<std::string, StationWatch>> LoadStationWatches(StationStore& store) {
    if (!EnsureWatchTable(store)) {
        return std::nullopt;
    }
    const std::optional<std::vector<std::vector<std::string>>> rows = store.SelectRows(
        "SELECT " + ColumnList() + " FROM " + kWatchTable, WatchColumns().size(), kValueCapacity);
    if (!rows) {
        return std::nullopt;
    }
    std::map<std::string, StationWatch> watches;
    for (const std::vector<std::string>& row : *rows) {
        std::optional<StationWatch> watch = ParseWatchRow(row);
        if (!watch) {
            return std::nullopt;
        }
        watches[row[0]] = *watch;
    }
    return watches;
}

bool SaveStationWatch(StationStore& store, std::string_view ip, const StationWatch& watch) {
    std::vector<std::string> values = {
        std::string(ip), watch.watched ? "1" : "0",
        watch.silentSeconds ? std::to_string(*watch.silentSeconds) : std::string()};
    std::string placeholders = "?, ?, NULLIF(?, '')";
    for (std::size_t reading = 0; reading < kLimitedReadings; ++reading) {
        const ReadingLimits& limits = LimitsOf(watch, reading);
        values.insert(values.end(), {OptionalText(limits.lower), OptionalText(limits.upper),
                                     NumberText(limits.hysteresis)});
        // An empty text binds as null: the limit stays absent.
        placeholders += ", NULLIF(?, ''), NULLIF(?, ''), ?";
    }
    return EnsureWatchTable(store) &&
           Done(store.RunStatement(std::string("INSERT OR REPLACE INTO ") + kWatchTable + " (" +
                                       ColumnList() + ") VALUES (" + placeholders + ")",
                                   values));
}

bool MoveStationWatch(StationStore& store, std::string_view from, std::string_view to) {
    if (!EnsureWatchTable(store)) {
        return false;
    }
    if (from == to) {
        return true;
    }
    // Whatever the new address had belonged to a station that is no longer
    // there; a station without settings leaves none behind either.
    return store.RunTogether([&] {
        return Done(store.RunStatement(
                   std::string("DELETE FROM ") + kWatchTable + " WHERE IPADDRESS = ?",
                   {std::string(to)})) &&
               Done(store.RunStatement(
                   std::string("UPDATE ") + kWatchTable + " SET IPADDRESS = ? WHERE IPADDRESS = ?",
                   {std::string(to), std::string(from)}));
    });
}

bool DeleteStationWatch(StationStore& store, std::string_view ip) {
    return EnsureWatchTable(store) &&
           Done(store.RunStatement(
               std::string("DELETE FROM ") + kWatchTable + " WHERE IPADDRESS = ?",
               {std::string(ip)}));
}

}  // namespace varnex
