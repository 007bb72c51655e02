#include "history/history_csv.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "history/chart_data.h"

namespace varnex {
namespace {

constexpr const char* kLineEnd = "\r\n";

// Fixed decimals with a dot, never the locale's comma.
std::string Decimal(long double value, int decimals) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                      std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

}  // namespace

std::string IsoLocalTime(int64_t timeMs) {
    const int64_t milliseconds = ((timeMs % 1000) + 1000) % 1000;
    const std::time_t seconds = static_cast<std::time_t>((timeMs - milliseconds) / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    // Offsets stay within a day.
    const int offsetMinutes = static_cast<int>(local.tm_gmtoff / 60) % (24 * 60);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, static_cast<int>(milliseconds),
                  offsetMinutes < 0 ? '-' : '+', std::abs(offsetMinutes) / 60,
                  std::abs(offsetMinutes) % 60);
    return text;
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

std::size_t WriteHistoryCsv(std::ostream& out, HistoryReader& reader, const std::string& address,
                            int64_t fromMs, int64_t toMs,
                            const std::optional<VoltmeterJumpers>& jumpers,
                            const std::array<std::string, wire::kVoltmeterCount>& labels) {
    out << "time";
    for (std::size_t n = 0; n < labels.size(); ++n) {
        // The number stays in the header: labels need not be unique.
        const std::string number = "voltmeter " + std::to_string(n + 1);
        out << ',' << CsvField(labels[n].empty() ? number + " V" : number + " " + labels[n] + " V");
    }
    out << ",temperature C";
    for (std::size_t r = 1; r <= wire::kRelayCount; ++r) {
        out << ",relay " << r << " energised";
    }
    for (std::size_t p = 1; p <= wire::kPinCount; ++p) {
        out << ",pin " << p << " high";
    }
    out << ",uptime s" << kLineEnd;

    std::size_t written = 0;
    for (const StoredReading& stored : reader.Readings(address, fromMs, toMs)) {
        const Readings readings = ReadingsOf(stored, jumpers.value_or(stored.jumpers));
        out << IsoLocalTime(stored.timeMs);
        for (const VoltmeterReading& v : readings.voltmeters) {
            out << ',' << Decimal(v.volts, 3);
        }
        out << ',' << (readings.temperature ? Decimal(readings.temperature->Celsius(), 1) : "");
        for (const RelayReading& relay : readings.relays) {
            out << ',' << (relay.energised ? 1 : 0);
        }
        for (bool high : readings.pinsHigh) {
            out << ',' << (high ? 1 : 0);
        }
        out << ',' << readings.uptimeSeconds << kLineEnd;
        ++written;
    }
    return written;
}

}  // namespace varnex
