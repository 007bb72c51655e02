#include "about/renderer.h"

#include <gtest/gtest.h>

#include "about/about_assets.h"
#include "about/additive_blit.h"

namespace varnex {
namespace {

Surface Gradient(int width, int height, uint32_t seed) {
    Surface s = MakeSurface(width, height);
    for (size_t i = 0; i < s.pixels.size(); ++i) {
        s.pixels[i] = static_cast<uint32_t>((i + 1) * 2654435761u ^ seed);
    }
    return s;
}

TEST(Renderer, AddingAPictureManyTimesGivesWhatEachAdditionWouldGive) {
    const Surface first = Gradient(16, 16, 0x12345678);
    const Surface second = Gradient(16, 16, 0x9ABCDEF0);
    // The scaled copy of a picture must follow both a new picture and a new intensity.
    const struct {
        const Surface* picture;
        int x, y, intensity;
    } additions[] = {
        {&first, 3, 4, 200},
        {&first, -5, 7, 90},
        {&second, 1, 1, 90},
        {&second, 20, 12, 256},
    };

    Renderer renderer;
    renderer.Start(30, 24, 0, 0);
    Surface expected = MakeSurface(30, 24);
    for (const auto& a : additions) {
        renderer.SelectSource(a.picture);
        renderer.Add(a.x, a.y, 16, 16, 0, 0, a.intensity);
        AddRect(expected, Bounds(expected), a.x, a.y, 16, 16, *a.picture, 0, 0, a.intensity);
    }
    EXPECT_EQ(renderer.BackBuffer().pixels, expected.pixels);
}

TEST(Renderer, StartsAtTheScreensSizeWhereASizeIsZeroAndStopReleases) {
    Renderer renderer;
    renderer.Start(0, 50, 640, 480);
    EXPECT_EQ(renderer.BackBuffer().width, 640);
    EXPECT_EQ(renderer.BackBuffer().height, 50);
    renderer.Stop();
    EXPECT_FALSE(renderer.Started());
}

TEST(Renderer, WithoutAFontTextDrawsNothing) {
    Renderer renderer;
    renderer.Start(40, 20, 0, 0);
    const std::vector<uint8_t> notAFont{'T', 'F', 'D', 'X', 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(renderer.LoadFont(notAFont));
    renderer.Text(0, 0, "Varnex", 0xFFFFFF);
    EXPECT_EQ(renderer.BackBuffer().pixels, std::vector<uint32_t>(800, 0));
    EXPECT_TRUE(renderer.LoadFont(PackedAboutFont()));
    renderer.Text(0, 0, "Varnex", 0xFFFFFF);
    EXPECT_NE(renderer.BackBuffer().pixels, std::vector<uint32_t>(800, 0));
}

}  // namespace
}  // namespace varnex
