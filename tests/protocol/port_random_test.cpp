#include "protocol/port_random.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

// The minimal standard generator computed the plain way, in 64 bits.
uint32_t Reference(uint64_t seed) {
    return static_cast<uint32_t>(seed * 16807 % 2147483647);
}

TEST(PortRandomTest, FollowsTheMinimalStandardSequence) {
    for (const uint32_t seed : {1u, 12345678u, 2147483646u}) {
        PortRandom random;
        SeedRandom(random, seed);
        uint64_t expected = seed;
        for (int i = 0; i < 1000; ++i) {
            expected = Reference(expected);
            // Schrage's step may land m below the true value; it is then
            // returned as that negative number read unsigned.
            const uint32_t drawn = RandomBelow(random, 0xFFFFFFFFu);
            ASSERT_TRUE(drawn == expected || drawn == expected + 2147483649u)
                << seed << " draw " << i << ": " << drawn;
        }
    }
    PortRandom seedOne;
    SeedRandom(seedOne, 1);
    EXPECT_EQ(RandomBelow(seedOne, 65000), 16807u);
    PortRandom programStart;
    EXPECT_EQ(RandomBelow(programStart, 0xFFFFFFFFu), Reference(12345678));
}

TEST(PortRandomTest, SeedsThatWouldStickAtZeroStillDraw) {
    // 0, the modulus and 0x80000001 (the modulus once its top bit is handled)
    // would make every draw 0.
    for (const uint32_t seed : {0u, 2147483647u, 0x80000001u}) {
        PortRandom random;
        SeedRandom(random, seed);
        EXPECT_NE(RandomBelow(random, 65000), 0u) << seed;
    }
}

TEST(PortRandomTest, TopBitSeedIsFoldedBack) {
    PortRandom random;
    SeedRandom(random, 0xFFFFFFFFu);  // + (2^31 - 1) modulo 2^32 = 2^31 - 2
    // 16807 x (2^31 - 2) by Schrage's method is -16807, read unsigned.
    EXPECT_EQ(RandomBelow(random, 0xFFFFFFFFu), 4294950489u);
}

}  // namespace
}  // namespace varnex
