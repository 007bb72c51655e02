// A status record as one JSON object whose keys carry the units: what
// varnexctl prints and what the MQTT bridge publishes, from one function so
// the two never drift. Values come from the shared readings, so they agree
// with the desktop client to the last digit.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "protocol/readings.h"
#include "protocol/status_record.h"

namespace varnex {

// Raised whenever a key is renamed, removed or changes its meaning.
inline constexpr int kStatusSchemaVersion = 1;

// Volts as JSON shows them: millivolt resolution is below one raw step.
double RoundedVolts(long double volts);

// The text of a JSON value; bytes that are no UTF-8 (a unit's name, a
// station's comment) become U+FFFD instead of failing.
std::string JsonText(const nlohmann::ordered_json& value, int indent = -1);

nlohmann::ordered_json StatusJson(const StatusRecord& record, const VoltmeterJumpers& jumpers);

}  // namespace varnex
