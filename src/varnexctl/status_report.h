// A status record shown to people (aligned text) and to programs (one JSON
// object whose keys carry the units). Both come from the shared readings,
// so they agree with the desktop client to the last digit.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "protocol/readings.h"
#include "protocol/status_record.h"

namespace varnex::ctl {

// Raised whenever a key is renamed, removed or changes its meaning.
inline constexpr int kSchemaVersion = 1;

// Volts as JSON shows them: millivolt resolution is below one raw step.
double RoundedVolts(long double volts);

// The text of a JSON value; bytes that are no UTF-8 (a unit's name, a
// station's comment) become U+FFFD instead of failing.
std::string JsonText(const nlohmann::ordered_json& value, int indent = -1);

nlohmann::ordered_json StatusJson(const StatusRecord& record, const VoltmeterJumpers& jumpers);
std::string StatusText(const StatusRecord& record, const VoltmeterJumpers& jumpers);

// "3 d 04:05:06".
std::string UptimeText(uint32_t seconds);

}  // namespace varnex::ctl
