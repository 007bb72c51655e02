// The unit's replies, byte for byte: the status record, the script table,
// a bare return code and the password refusal.
#pragma once

#include <cstdint>

#include "unit/unit_state.h"

namespace varnex::unit {

// Any type byte but 2 and the return codes marks a status record.
inline constexpr uint8_t kStatusReplyType = 1;
inline constexpr uint8_t kPasswordRefused = 1;

Bytes EncodeStatusRecord(const UnitState& state, UnitTime now);
Bytes EncodeScriptTable(const UnitState& state);
Bytes EncodeReturnCode(uint8_t code);
// Only the header: byte 10 says refused, nothing else is read after that.
Bytes EncodeRefusal();

}  // namespace varnex::unit
