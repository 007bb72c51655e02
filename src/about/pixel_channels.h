// Per-colour arithmetic on 0xAARRGGBB pixels: the destination's alpha byte
// always stays as it was.
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

// (source*weight + destination*(256-weight)) / 256 per colour, weight 0..256.
// Red and blue share one word (each product stays below 65536), so two
// multiplications serve three colours.
inline uint32_t BlendColours(uint32_t source, uint32_t destination, uint32_t weight) {
    const uint32_t keep = 256 - weight;
    const uint32_t redBlue =
        (((source & 0x00FF00FFu) * weight + (destination & 0x00FF00FFu) * keep) >> 8) & 0x00FF00FFu;
    const uint32_t green =
        (((source & 0x0000FF00u) * weight + (destination & 0x0000FF00u) * keep) >> 8) & 0x0000FF00u;
    return (destination & 0xFF000000u) | redBlue | green;
}

}  // namespace varnex
