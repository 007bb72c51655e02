// What the History window draws and exports from a store with known rows:
// lines broken where polling stopped, steps for relays and pins, means for
// long ranges, and CSV compared whole, its times in local time with offsets.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <sstream>

#include "history/chart_data.h"
#include "history/history_csv.h"
#include "history_fixture.h"

namespace varnex {
namespace {

using testing::HistoryTest;

constexpr const char* kStation = "127.0.0.9";

// The process's time zone for one test.
class ZoneScope {
  public:
    explicit ZoneScope(const char* zone) {
        const char* old = std::getenv("TZ");
        old_ = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneScope() {
        if (old_) {
            setenv("TZ", old_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

  private:
    std::optional<std::string> old_;
};

StoredReading Plain(int64_t timeMs, uint16_t code, uint8_t relays, uint8_t pins,
                    std::optional<TemperatureReading> temperature) {
    StoredReading r;
    r.timeMs = timeMs;
    r.raw.fill(code);
    r.jumpers = {true, true};
    r.relaysEnergised = relays;
    r.pinsHigh = pins;
    r.temperature = temperature;
    r.uptime = 500;
    return r;
}

std::vector<std::size_t> SegmentSizes(const ChartLine& line) {
    std::vector<std::size_t> sizes;
    for (const ChartSegment& segment : line.segments) {
        sizes.push_back(segment.size());
    }
    return sizes;
}

TEST_F(HistoryTest, LinesBreakWherePollingStoppedAndStepsHoldTheirValue) {
    {
        auto writer = OpenWriter();
        // 10 s of readings, 20 s without, 5 s more; relay 2 energised at the
        // fourth reading, a reading without a temperature in the middle.
        for (int s = 0; s < 10; ++s) {
            writer->Record(kStation, Plain(nowMs_ + s * 1000, 4095, s >= 3 ? 2 : 0, 1,
                                           s == 5 ? std::nullopt
                                                  : std::optional<TemperatureReading>(
                                                        TemperatureReading{false, 20, true})));
        }
        for (int s = 30; s < 35; ++s) {
            writer->Record(kStation, Plain(nowMs_ + s * 1000, 2048, 2, 1, std::nullopt));
        }
        writer->RecordEvent(kStation, nowMs_ + 9500, HistoryEvent::Stopped);
    }
    HistoryReader reader = Reader();
    ChartRequest request{.address = kStation, .fromMs = nowMs_, .toMs = nowMs_ + 60'000};
    request.jumpers = VoltmeterJumpers{false, true};  // the station row mends the first
    request.labels[0] = "Battery";
    request.voltmeters[0] = request.voltmeters[5] = true;
    const ChartData data = BuildChartData(reader, request);

    EXPECT_EQ(data.level, std::nullopt);
    ASSERT_EQ(data.voltmeters.size(), 2U);
    EXPECT_EQ(data.voltmeters[0].name, "Battery");
    EXPECT_EQ(data.voltmeters[1].name, "Voltmeter 6");
    EXPECT_EQ(SegmentSizes(data.voltmeters[0]), (std::vector<std::size_t>{10, 5}));
    EXPECT_EQ(data.voltmeters[0].segments[0][0], (ChartPoint{nowMs_, 60.0}));
    EXPECT_EQ(data.voltmeters[1].segments[1][0].value,
              static_cast<double>(DecodeVoltmeter(5, 2048, {}).volts));
    EXPECT_EQ(data.fullScaleVolts, 60);
    // The missing temperature breaks its line too.
    EXPECT_EQ(SegmentSizes(data.temperature), (std::vector<std::size_t>{5, 4}));
    EXPECT_EQ(data.temperature.segments[0][0].value, 20.5);
    // Relay 2: 0 held until the change, then 1 to the stretch's end; a held
    // value keeps only its first and last point.
    EXPECT_EQ(
        data.relays[1].segments[0],
        (ChartSegment{{nowMs_, 0}, {nowMs_ + 3000, 0}, {nowMs_ + 3000, 1}, {nowMs_ + 9000, 1}}));
    EXPECT_EQ(SegmentSizes(data.pins[0]), (std::vector<std::size_t>{2, 2}));
    EXPECT_EQ(data.pins[1].segments[0][0].value, 0);
    EXPECT_EQ(data.events, (std::vector<StoredEvent>{{nowMs_ + 9500, HistoryEvent::Stopped}}));
}

TEST_F(HistoryTest, ALongRangeDrawsBucketMeansAtTheirMiddles) {
    {
        auto writer = OpenWriter({.batchSize = 500});
        // Two days; the code alternates 1000 / 3000 so every mean is 2000;
        // the first voltmeter's jumper was off.
        for (int s = 0; s < 2 * 86'400; ++s) {
            StoredReading r = Plain(nowMs_ + s * 1000, s % 2 ? 3000 : 1000, 0, 0, std::nullopt);
            r.jumpers = {false, true};
            writer->Record(kStation, r);
        }
    }
    HistoryReader reader = Reader();
    ChartRequest request{.address = kStation, .fromMs = nowMs_, .toMs = nowMs_ + 86'400'000};
    request.voltmeters[0] = request.voltmeters[2] = true;
    const ChartData asStored = BuildChartData(reader, request);
    EXPECT_EQ(asStored.level, std::optional<std::size_t>(1));
    ASSERT_EQ(SegmentSizes(asStored.voltmeters[1]), std::vector<std::size_t>{1440});
    EXPECT_EQ(asStored.voltmeters[1].segments[0][0],
              (ChartPoint{nowMs_ + 30'000, static_cast<double>(2000 / 4095.0L * 30)}));
    EXPECT_EQ(asStored.voltmeters[0].segments[0][0].value,
              static_cast<double>(2000 / 4095.0L * 60));
    EXPECT_TRUE(asStored.temperature.segments.empty());

    request.jumpers = VoltmeterJumpers{true, true};  // mended by the station row
    EXPECT_EQ(BuildChartData(reader, request).voltmeters[0].segments[0][0].value,
              static_cast<double>(2000 / 4095.0L * 30));
}

TEST(HistoryCsv, TimesCarryTheirOffsetAcrossADaylightSavingChange) {
    const struct {
        const char* zone;
        int64_t timeMs;
        const char* text;
    } cases[] = {
        {"Europe/Berlin", 1'774'745'999'500, "2026-03-29T01:59:59.500+01:00"},
        {"Europe/Berlin", 1'774'746'000'000, "2026-03-29T03:00:00.000+02:00"},
        {"Europe/Berlin", 1'792'890'000'000, "2026-10-25T02:00:00.000+01:00"},
        {"America/St_Johns", 1'774'746'000'000, "2026-03-28T22:30:00.000-02:30"},
        {"UTC", -1, "1969-12-31T23:59:59.999+00:00"},
    };
    for (const auto& c : cases) {
        ZoneScope zone(c.zone);
        EXPECT_EQ(IsoLocalTime(c.timeMs), c.text) << c.zone;
    }
}

TEST_F(HistoryTest, CsvHoldsEveryStoredReadingOfTheRangeExactly) {
    ZoneScope zone("Europe/Berlin");
    const int64_t start = 1'774'745'998'000;  // two seconds before the clocks go forward
    nowMs_ = start;                           // retention keeps it
    {
        auto writer = OpenWriter();
        for (int s = 0; s < 4; ++s) {
            writer->Record(kStation, Plain(start + s * 1000, static_cast<uint16_t>(s * 1365),
                                           s == 1 ? 5 : 0, s == 2 ? 31 : 0,
                                           s == 3 ? std::nullopt
                                                  : std::optional<TemperatureReading>(
                                                        TemperatureReading{s == 1, 7, s == 2})));
        }
        writer->Record(kStation, Plain(start + 10'000, 1, 0, 0, std::nullopt));  // outside
    }
    std::array<std::string, wire::kVoltmeterCount> labels{};
    labels[0] = "Pump, main";
    labels[1] = "The \"spare\"";
    HistoryReader reader = Reader();
    std::ostringstream out;
    EXPECT_EQ(WriteHistoryCsv(out, reader, kStation, start, start + 4000, std::nullopt, labels),
              4U);
    const std::string expected =
        "time,\"voltmeter 1 Pump, main V\",\"voltmeter 2 The \"\"spare\"\" V\",voltmeter 3 V,"
        "voltmeter 4 V,voltmeter 5 V,voltmeter 6 V,voltmeter 7 V,voltmeter 8 V,temperature C,"
        "relay 1 energised,relay 2 energised,relay 3 energised,"
        "pin 1 high,pin 2 high,pin 3 high,pin 4 high,pin 5 high,uptime s\r\n"
        "2026-03-29T01:59:58.000+01:00,0.000,0.000,0.000,0.000,0.000,0.000,0.000,0.000,7.0,"
        "0,0,0,0,0,0,0,0,500\r\n"
        "2026-03-29T01:59:59.000+01:00,10.000,10.000,10.000,10.000,10.000,1.667,1.667,1.667,"
        "-7.0,1,0,1,0,0,0,0,0,500\r\n"
        "2026-03-29T03:00:00.000+02:00,20.000,20.000,20.000,20.000,20.000,3.333,3.333,3.333,"
        "7.5,0,0,0,1,1,1,1,1,500\r\n"
        "2026-03-29T03:00:01.000+02:00,30.000,30.000,30.000,30.000,30.000,5.000,5.000,5.000,,"
        "0,0,0,0,0,0,0,0,500\r\n";
    EXPECT_EQ(out.str(), expected);
}

}  // namespace
}  // namespace varnex
