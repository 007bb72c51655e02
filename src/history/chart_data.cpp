#include "history/chart_data.h"

#include <algorithm>

namespace varnex {
namespace {

constexpr int64_t kRawGapMs = 5000;  // more than a few missed polls

// One sample of every value at one time, from a reading or a bucket.
struct Sample {
    int64_t timeMs = 0;
    std::array<double, wire::kVoltmeterCount> volts{};
    std::optional<double> celsius{};
    int64_t state = 0;  // the packed state column
};

void Append(ChartLine& line, int64_t timeMs, double value, bool broken) {
    if (broken || line.segments.empty()) {
        line.segments.emplace_back();
    }
    line.segments.back().push_back({timeMs, value});
}

// A step: the old value is held up to the change. A value held on only
// moves the stretch's end, so a step line has points where it changes.
void AppendStep(ChartLine& line, int64_t timeMs, double value, bool broken) {
    if (broken || line.segments.empty()) {
        Append(line, timeMs, value, broken);
        return;
    }
    ChartSegment& segment = line.segments.back();
    const std::size_t n = segment.size();
    const double last = segment.back().value;
    // The last point already only carries a held value on: move it here.
    if (n >= 2 && segment[n - 2].value == last) {
        segment.back().timeMs = timeMs;
    } else {
        segment.push_back({timeMs, last});
    }
    if (value != last) {
        segment.push_back({timeMs, value});
    }
}

std::vector<Sample> RawSamples(HistoryReader& reader, const ChartRequest& request) {
    std::vector<Sample> samples;
    for (const StoredReading& r : reader.Readings(request.address, request.fromMs, request.toMs)) {
        Sample s{.timeMs = r.timeMs, .state = Pack(r).state};
        const VoltmeterJumpers jumpers = request.jumpers.value_or(r.jumpers);
        for (std::size_t n = 0; n < s.volts.size(); ++n) {
            s.volts[n] = static_cast<double>(DecodeVoltmeter(n, r.raw[n], jumpers).volts);
        }
        if (const std::optional<int> half = HalfDegreesOf(r)) {
            s.celsius = *half / 2.0;
        }
        samples.push_back(s);
    }
    return samples;
}

std::vector<Sample> BucketSamples(HistoryReader& reader, const ChartRequest& request,
                                  std::size_t level) {
    std::vector<Sample> samples;
    // A bucket's mean is drawn at its middle, scaled with the station row's
    // jumpers, or else those of the bucket's last reading.
    const int64_t width = kRollupWidthsMs[level];
    for (const RollupBucket& b :
         reader.Rollups(request.address, level, request.fromMs, request.toMs)) {
        Sample s{.timeMs = b.startMs + width / 2, .state = b.lastState};
        const VoltmeterJumpers jumpers = request.jumpers.value_or(JumpersOfState(b.lastState));
        for (std::size_t n = 0; n < s.volts.size(); ++n) {
            s.volts[n] = static_cast<double>(
                ScaledVolts(n, static_cast<long double>(b.sum[n]) / b.count, jumpers));
        }
        if (b.temperatureCount > 0) {
            s.celsius = static_cast<double>(b.sum[kRollupTemperatureIndex]) /
                        static_cast<double>(b.temperatureCount) / 2.0;
        }
        samples.push_back(s);
    }
    return samples;
}

}  // namespace

int64_t GapAfterMs(std::optional<std::size_t> level) {
    return level ? 2 * kRollupWidthsMs[*level] + kRawGapMs : kRawGapMs;
}

std::string VoltmeterName(std::size_t index, const std::string& label) {
    return label.empty() ? "Voltmeter " + std::to_string(index + 1) : label;
}

ChartData BuildChartData(HistoryReader& reader, const ChartRequest& request) {
    ChartData data;
    data.level = LevelForSpan(request.toMs - request.fromMs);
    const std::vector<Sample> samples =
        data.level ? BucketSamples(reader, request, *data.level) : RawSamples(reader, request);
    const int64_t gap = GapAfterMs(data.level);
    const VoltmeterJumpers scaleJumpers = request.jumpers.value_or(VoltmeterJumpers{});

    std::vector<std::size_t> chosen;
    for (std::size_t n = 0; n < request.voltmeters.size(); ++n) {
        if (request.voltmeters[n]) {
            chosen.push_back(n);
            data.voltmeters.push_back({VoltmeterName(n, request.labels[n]), {}});
            data.fullScaleVolts =
                std::max(data.fullScaleVolts, DecodeVoltmeter(n, 0, scaleJumpers).fullScaleVolts);
        }
    }
    data.temperature.name = "Temperature";
    for (std::size_t r = 0; r < data.relays.size(); ++r) {
        data.relays[r].name = "Relay " + std::to_string(r + 1);
    }
    for (std::size_t p = 0; p < data.pins.size(); ++p) {
        data.pins[p].name = "Pin " + std::to_string(p + 1);
    }

    std::optional<int64_t> previousTime;
    bool temperatureBroken = true;
    for (const Sample& s : samples) {
        const bool broken = !previousTime || s.timeMs - *previousTime > gap;
        previousTime = s.timeMs;
        for (std::size_t c = 0; c < chosen.size(); ++c) {
            Append(data.voltmeters[c], s.timeMs, s.volts[chosen[c]], broken);
        }
        if (request.temperature) {
            temperatureBroken = temperatureBroken || broken;
            // A reading without a temperature breaks its line.
            if (s.celsius) {
                Append(data.temperature, s.timeMs, *s.celsius, temperatureBroken);
            }
            temperatureBroken = !s.celsius;
        }
        for (std::size_t r = 0; r < data.relays.size(); ++r) {
            AppendStep(data.relays[r], s.timeMs, (RelayBitsOf(s.state) >> r) & 1, broken);
        }
        for (std::size_t p = 0; p < data.pins.size(); ++p) {
            AppendStep(data.pins[p], s.timeMs, (PinBitsOf(s.state) >> p) & 1, broken);
        }
    }
    data.events = reader.Events(request.address, request.fromMs, request.toMs);
    return data;
}

}  // namespace varnex
