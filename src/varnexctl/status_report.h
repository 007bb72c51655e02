// A status record shown to people: aligned text, its values read from the
// same JSON object programs get, so the two agree.
#pragma once

#include <string>

#include "protocol/status_json.h"
#include "text/conversions.h"

namespace varnex::ctl {

inline constexpr int kSchemaVersion = kStatusSchemaVersion;

std::string StatusText(const StatusRecord& record, const VoltmeterJumpers& jumpers);

}  // namespace varnex::ctl
