// Little-endian words in the packed picture and font blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace varnex {

inline uint32_t ReadLittleEndian32(std::span<const uint8_t> bytes, size_t offset) {
    return uint32_t{bytes[offset]} | uint32_t{bytes[offset + 1]} << 8 |
           uint32_t{bytes[offset + 2]} << 16 | uint32_t{bytes[offset + 3]} << 24;
}

inline uint16_t ReadLittleEndian16(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

}  // namespace varnex
