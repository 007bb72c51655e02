#include "about/blit.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

Surface OnePixel(uint32_t pixel, uint32_t flags) {
    Surface s = MakeSurface(1, 1, flags);
    s.pixels[0] = pixel;
    return s;
}

TEST(CopyRect, EachAlphaModeMixesAsItsFlagsSay) {
    const uint32_t alpha = kSurfaceHasAlpha;
    const uint32_t premultiplied = kSurfaceHasAlpha | kSurfacePremultiplied;
    const struct {
        const char* name;
        uint32_t source;
        uint32_t flags;
        uint32_t destination;
        uint32_t expected;
    } cases[] = {
        {"no alpha: copied whole", 0x12345678, 0, 0xFFFFFFFF, 0x12345678},
        // red (255*128 + 0*128)/256 = 127, blue (0*128 + 255*128)/256 = 127
        {"alpha 128", 0x80FF0000, alpha, 0x000000FF, 0x007F007F},
        // 0x20*255/256 = 31, 0x40*255/256 = 63, 0x60*255/256 = 95
        {"alpha 255 over black", 0xFF204060, alpha, 0x00000000, 0x001F3F5F},
        {"alpha 0 leaves the destination", 0x00FFFFFF, alpha, 0x44332211, 0x44332211},
        {"destination alpha kept", 0x80FF0000, alpha, 0x990000FF, 0x997F007F},
        // 200*128/256 + 64 = 164, 200*128/256 + 0 = 100
        {"premultiplied", 0x80400000, premultiplied, 0x00C8C8C8, 0x00A46464},
        // 255*240/256 + 255 saturates instead of carrying into green
        {"premultiplied colour above alpha", 0x10FF0000, premultiplied, 0x00FF0000, 0x00FF0000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Surface destination = OnePixel(c.destination, 0);
        CopyRect(destination, Bounds(destination), 0, 0, 1, 1, OnePixel(c.source, c.flags), 0, 0);
        EXPECT_EQ(destination.pixels[0], c.expected);
    }
}

TEST(CopyRect, ReadsOnlyInsideTheSourceAndWritesOnlyInsideTheClip) {
    Surface source = MakeSurface(3, 2);
    for (uint32_t i = 0; i < 6; ++i) {
        source.pixels[i] = 0xA0 + i;
    }
    Surface destination = MakeSurface(5, 4);
    // Asks for 4 x 3 from (1, 0): only 2 x 2 exist; the clip cuts row 0.
    CopyRect(destination, Rect{0, 1, 5, 3}, 2, 0, 4, 3, source, 1, 0);
    EXPECT_EQ(destination.pixels, (std::vector<uint32_t>{0, 0, 0,    0,    0,  //
                                                         0, 0, 0xA4, 0xA5, 0,  //
                                                         0, 0, 0,    0,    0,  //
                                                         0, 0, 0,    0,    0}));
}

TEST(FillRect, FillsOnlyTheClippedPart) {
    Surface destination = MakeSurface(4, 3);
    FillRect(destination, Rect{1, 0, 3, 2}, Rect{-5, -5, 7, 20}, 0xFF00FF00);
    EXPECT_EQ(destination.pixels, (std::vector<uint32_t>{0, 0xFF00FF00, 0, 0,  //
                                                         0, 0xFF00FF00, 0, 0,  //
                                                         0, 0, 0, 0}));
}

}  // namespace
}  // namespace varnex
