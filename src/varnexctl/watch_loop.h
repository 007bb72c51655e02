// "watch": one status request per interval, one line per reply (text, CSV
// with a header, or one JSON object a line), flushed per line; a summary like
// ping's at the end, after the count, Ctrl-C or a closed pipe.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "protocol/readings.h"
#include "varnexctl/unit_exchange.h"

namespace varnex::ctl {

enum class WatchFormat { Text, Csv, Json };

struct WatchOptions {
    double intervalSeconds = 1.0;
    long count = 0;  // 0: until stopped
    WatchFormat format = WatchFormat::Text;
};

// Below this interval only a loopback unit may be asked, unless --flood.
inline constexpr double kFloodInterval = 0.1;

std::optional<Failure> CheckWatchInterval(double intervalSeconds, const std::string& address,
                                          bool flood);

// Installs the Ctrl-C handler and ignores SIGPIPE for the loop's lifetime.
int RunWatch(UnitExchange& exchange, const WatchOptions& options, const VoltmeterJumpers& jumpers,
             std::FILE* out, std::FILE* summary);

}  // namespace varnex::ctl
