// IPv4 addresses travel first number first; the address fields carry the
// first number in the most significant byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace varnex {

inline constexpr std::size_t kAddressBytes = 4;

inline void WriteAddressBytes(uint8_t* bytes, uint32_t address) {
    for (std::size_t i = 0; i < kAddressBytes; ++i) {
        bytes[i] = static_cast<uint8_t>(address >> (8 * (kAddressBytes - 1 - i)));
    }
}

inline uint32_t ReadAddressBytes(const uint8_t* bytes) {
    uint32_t address = 0;
    for (std::size_t i = 0; i < kAddressBytes; ++i) {
        address = (address << 8) | bytes[i];
    }
    return address;
}

}  // namespace varnex
