#include "about/additive_blit.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace varnex {
namespace {

TEST(AddPixels, IntensityScalesSaturatesAndKeepsTheDestinationAlpha) {
    // source, destination, intensity, additions, expected
    const std::tuple<uint32_t, uint32_t, int, int, uint32_t> cases[] = {
        {0xFFFFFFFF, 0x7F000000, 200, 1, 0x7FC7C7C7},  // 255*200/256, the alpha byte kept
        {0xFFFFFFFF, 0x00000000, 200, 2, 0x00FFFFFF},
        {0x0040F020, 0x00F02010, 256, 1, 0x00FFFF30},  // unscaled, saturating per colour
    };
    for (const auto& [source, destination, intensity, times, expected] : cases) {
        // 21 pixels cover the wide steps and the tails.
        std::vector<uint32_t> pixels(21, destination);
        const std::vector<uint32_t> added(21, source);
        for (int i = 0; i < times; ++i) {
            AddPixels(pixels.data(), added.data(), 21, intensity);
        }
        EXPECT_EQ(pixels, std::vector<uint32_t>(21, expected)) << intensity << " x" << times;
    }
}

uint32_t ReferenceAdd(uint32_t destination, uint32_t source, int intensity) {
    if (intensity <= 0) {
        return destination;
    }
    uint32_t result = destination & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t s = (source >> shift) & 0xFF;
        if (intensity < 256) {
            s = s * intensity / 256;
        }
        result |= std::min<uint32_t>(((destination >> shift) & 0xFF) + s, 255) << shift;
    }
    return result;
}

TEST(AddPixels, BothImplementationsMatchThePerColourRuleOnRandomPixels) {
    std::mt19937 random(7);
    for (const int intensity : {-1, 0, 1, 128, 255, 256, 257}) {
        for (int count = 0; count <= 37; ++count) {
            SCOPED_TRACE(::testing::Message() << "intensity " << intensity << " count " << count);
            std::vector<uint32_t> source(count);
            std::vector<uint32_t> destination(count);
            std::vector<uint32_t> expected(count);
            for (int i = 0; i < count; ++i) {
                source[i] = random();
                destination[i] = random();
                expected[i] = ReferenceAdd(destination[i], source[i], intensity);
            }
            auto portable = destination;
            AddPixelsPortable(portable.data(), source.data(), count, intensity);
            EXPECT_EQ(portable, expected);
#if defined(VARNEX_HAVE_SSE2_ADD)
            auto simd = destination;
            AddPixelsSse2(simd.data(), source.data(), count, intensity);
            EXPECT_EQ(simd, expected);
#endif
        }
    }
}

TEST(AddRect, ASpriteHangingOverTheClipWritesOnlyInsideIt) {
    constexpr uint32_t kBackground = 0x00101010;
    constexpr uint32_t kLit = 0x00D7D7D7;  // 0x10 + 255*200/256
    Surface sprite = MakeSurface(16, 16);
    std::fill(sprite.pixels.begin(), sprite.pixels.end(), 0xFFFFFFFF);
    // The ring outside a smaller clip guards it; with the whole picture as
    // the clip, the picture's edges do (and the sanitizers watch the heap).
    const Rect small{8, 6, 24, 18};
    const Rect whole{0, 0, 40, 30};
    const std::tuple<Rect, int, int> cases[] = {
        {small, -4, -9},    // over the clip's top-left corner
        {small, 25, 20},    // over its bottom-right corner
        {small, 60, -40},   // wholly outside
        {whole, -10, -12},  // over the picture's top-left corner
        {whole, 30, 22},    // over its bottom-right corner
    };
    for (const auto& [clip, x0, y0] : cases) {
        SCOPED_TRACE(::testing::Message() << x0 << "," << y0);
        Surface picture = MakeSurface(40, 30);
        std::fill(picture.pixels.begin(), picture.pixels.end(), kBackground);
        AddRect(picture, clip, x0, y0, 16, 16, sprite, 0, 0, 200);
        const Rect lit = Intersect(clip, Rect{x0, y0, 16, 16});
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                const bool inside =
                    x >= lit.x && x < lit.x + lit.width && y >= lit.y && y < lit.y + lit.height;
                ASSERT_EQ(picture.Row(y)[x], inside ? kLit : kBackground) << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace varnex
