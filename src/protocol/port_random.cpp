#include "protocol/port_random.h"

namespace varnex {

namespace {

constexpr uint32_t kModulus = 2147483647u;
constexpr int32_t kStartSeed = 12345678;

uint32_t Normalised(uint32_t s) {
    return (s & 0x80000000u) != 0 ? s + kModulus : s;
}

}  // namespace

void SeedRandom(PortRandom& random, uint32_t value) {
    // A seed that is a multiple of the modulus would make every later draw 0,
    // and the search for a port of 6000 or more would never end.
    random.seed = Normalised(value) % kModulus == 0 ? kStartSeed : static_cast<int32_t>(value);
}

uint32_t RandomBelow(PortRandom& random, uint32_t base) {
    const uint32_t s = Normalised(static_cast<uint32_t>(random.seed));
    const uint32_t hi = s / 127773u;
    const uint32_t lo = s % 127773u;
    // 32-bit arithmetic that may come out negative; kept so in the seed.
    const uint32_t next = 16807u * lo - 2836u * hi;
    random.seed = static_cast<int32_t>(next);
    return next % base;
}

}  // namespace varnex
