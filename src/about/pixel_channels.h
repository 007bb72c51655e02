// Per-colour arithmetic on 0xAARRGGBB pixels for the exact (not speed-bound)
// operations: the destination's alpha byte always stays as it was.
#pragma once

#include <cstdint>

namespace varnex {

// mix(sourceChannel, destinationChannel) must return 0..255.
template <typename Mix>
uint32_t MapColourChannels(uint32_t source, uint32_t destination, Mix mix) {
    uint32_t result = destination & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        result |= mix((source >> shift) & 0xFFu, (destination >> shift) & 0xFFu) << shift;
    }
    return result;
}

}  // namespace varnex
