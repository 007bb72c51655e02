// The 1024 bytes one reply datagram is read into. Never cleared: bytes
// beyond the end of a shorter datagram keep the values of earlier replies.
#pragma once

#include <array>
#include <cstdint>

#include "protocol/wire_format.h"

namespace varnex {

using ReplyBuffer = std::array<uint8_t, wire::kReplyBufferSize>;

}  // namespace varnex
