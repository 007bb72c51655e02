// The overview's rows without a network: the hour of loss, the state as it
// reads, and every cell of a row with known readings.
#include <gtest/gtest.h>

#include "overview/loss_window.h"
#include "overview/overview_columns.h"

namespace varnex::overview {
namespace {

using namespace std::chrono_literals;

const Time kStart = Time{} + 1000h;

struct Added {
    std::chrono::seconds at;
    uint64_t finished;
    uint64_t lost;
};

TEST(LossWindow, CountsTheLastHourOnly) {
    struct Case {
        std::string name;
        std::vector<Added> added;
        std::chrono::seconds asked;
        std::optional<double> percent;
    };
    for (const Case& c : std::vector<Case>{
             {"nothing finished", {}, 0s, std::nullopt},
             {"nothing lost", {{0s, 12, 0}}, 0s, 0.0},
             {"one in four lost", {{0s, 3, 0}, {30s, 1, 1}}, 40s, 25.0},
             {"a minute of all lost among a clean hour",
              {{0s, 12, 12}, {600s, 36, 0}},
              3540s,
              25.0},
             {"the oldest minute falls out after an hour",
              {{0s, 12, 12}, {600s, 36, 0}},
              3600s,
              0.0},
             {"nothing left after two hours", {{0s, 12, 3}}, 7200s, std::nullopt},
             {"a slot used again an hour later starts afresh",
              {{0s, 10, 10}, {3600s, 10, 0}},
              3600s,
              0.0},
         }) {
        SCOPED_TRACE(c.name);
        LossWindow window;
        for (const Added& a : c.added) {
            window.Add(kStart + a.at, a.finished, a.lost);
        }
        EXPECT_EQ(window.Percent(kStart + c.asked), c.percent);
    }
}

Readings SomeReadings(const VoltmeterJumpers& jumpers) {
    StatusRecord record;
    record.rawVoltages = {4095, 2048, 0, 1000, 4095, 4095, 0, 100};
    record.relays = {0, 1, 0};
    record.pins = {1, 0, 0, 1, 0};
    record.temperature = 21;
    record.temperatureFlags = wire::kTemperatureHalf;
    record.uptime = 90061;
    record.firmwareDigits = {1, 7, 4};
    record.stationName = "Pump house";
    return DecodeReadings(record, jumpers);
}

TEST(OverviewRow, StateReadsAsThePersonExpects) {
    struct Case {
        std::string name;
        OverviewRow row;
        std::string text;
    };
    OverviewRow up;
    up.readings = SomeReadings({});
    up.lastValidReply = kStart - 2s;
    OverviewRow silent = up;
    silent.silent = true;
    silent.lastValidReply = kStart - 12s;
    OverviewRow neverAnswered;
    neverAnswered.silent = true;
    neverAnswered.watchingSince = kStart - 7s;
    OverviewRow resumed = silent;  // paused long after its last reply, polled again 4 s ago
    resumed.watchingSince = kStart - 4s;
    OverviewRow refused = silent;
    refused.passwordRefused = true;
    OverviewRow paused = refused;
    paused.paused = true;
    OverviewRow session = silent;
    session.inSession = true;
    session.paused = true;
    for (const Case& c : std::vector<Case>{
             {"before any reply", OverviewRow{}, "waiting"},
             {"answering", up, "up"},
             {"silent, with the age of its last reply", silent, "silent for 12 s"},
             {"never answered", neverAnswered, "silent for 7 s"},
             {"silent again after a pause", resumed, "silent for 4 s"},
             {"refused password outranks silence", refused, "refused password"},
             {"paused outranks everything", paused, "paused"},
             {"the session's row is never paused", session, "silent for 12 s (session)"},
         }) {
        EXPECT_EQ(StateText(c.row, kStart), c.text) << c.name;
    }
}

TEST(OverviewRow, CellsShowTheReadingsScaledWithTheStationsJumpers) {
    OverviewRow row;
    row.ip = "127.1.0.4";
    row.readings = SomeReadings({.firstInstalled = false, .secondInstalled = true});
    row.lastRoundTrip = 1260us;
    row.loss.Add(kStart, 8, 2);
    row.openAlarms = {"Voltage 1 above 50 V", "Silent for 30 s"};
    const std::vector<std::pair<Column, std::string>> expected = {
        {Column::State, "up"},
        {Column::Alarms, "Voltage 1 above 50 V; Silent for 30 s"},
        {Column::Loss, "25.0 %"},
        {Column::RoundTrip, "1.3 ms"},
        {Column::Address, "127.1.0.4"},
        {Column::Name, "Pump house"},
        {Column::Temperature, "21.5 °C"},
        {Column::Voltage1, "60.000 V"},  // no jumper: 0-60 V
        {Column::Voltage2, "15.004 V"},  // jumper: 0-30 V
        {Column::Voltage3, "0.000 V"},
        {Column::Voltage6, "5.000 V"},
        {Column::Relays, "ON OFF ON"},
        {Column::Pins, "1 0 0 1 0"},
        {Column::Uptime, "1 d 01:01:01"},
        {Column::Firmware, "1.7.4"},
    };
    for (const auto& [column, text] : expected) {
        EXPECT_EQ(CellText(row, column, kStart), text) << ColumnTitle(column);
    }
    row.comment = "North well";
    EXPECT_EQ(CellText(row, Column::Name, kStart), "North well") << "the list's name first";
    EXPECT_EQ(CellNumber(row, Column::Voltage2, kStart),
              static_cast<double>(row.readings->voltmeters[1].volts));
    EXPECT_EQ(CellNumber(row, Column::Uptime, kStart), 90061.0);
    OverviewRow tenth;
    tenth.ip = "127.1.0.10";
    EXPECT_LT(CellNumber(row, Column::Address, kStart), CellNumber(tenth, Column::Address, kStart))
        << "addresses sort by number";
    EXPECT_EQ(CellNumber(row, Column::Name, kStart), std::nullopt);
    EXPECT_EQ(CellText(OverviewRow{}, Column::Voltage1, kStart), "") << "nothing before a reply";
}

}  // namespace
}  // namespace varnex::overview
