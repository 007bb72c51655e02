// The generator the local port is drawn from: Park-Miller minimal standard
// (16807, 2^31 - 1) by Schrage's method, one 32-bit seed.
#pragma once

#include <cstdint>

namespace varnex {

struct PortRandom {
    int32_t seed = 12345678;
};

void SeedRandom(PortRandom& random, uint32_t value);
uint32_t RandomBelow(PortRandom& random, uint32_t base);  // base > 0

}  // namespace varnex
