// The about box: its animation, the frames it draws, and the renderer under it.
#include "about/about_frame.h"

#include <gtest/gtest.h>

#include <vector>

#include "about/about_assets.h"
#include "about/additive_blit.h"

namespace varnex {
namespace {

TEST(AboutCredits, EnterAt398AndStartAgainAfterMinus2626) {
    AboutState state;
    std::vector<int32_t> xs;
    for (int frame = 0; frame < 1514; ++frame) {
        xs.push_back(AdvanceCredits(state));
    }
    EXPECT_EQ(xs[0], 398);
    EXPECT_EQ(xs[1], 396);
    EXPECT_EQ(xs[1512], -2626);
    EXPECT_EQ(xs[1513], 398);
    // A position out of range starts at the right edge.
    for (const int32_t start : {401, -2625, INT32_MIN}) {
        AboutState outOfRange{start, 0};
        EXPECT_EQ(AdvanceCredits(outOfRange), 398) << start;
    }
}

TEST(AboutParticles, FollowTheTwoGeneratorsAndTheSignedDivision) {
    // Phase 0: s = 351345*214013 + 2531011 = 2180484464 (negative as a signed
    // number, >> 16 gives -32265), s = s*314013 + 1531011 = 1078164019
    // (>> 16 gives 16451), z = ((3215 + 3243561) AND 1023) + 1 = 697:
    // x = -32265 / 697 + 200 = -46 + 200, y = 16451 / 697 + 150 = 23 + 150.
    const auto phase0 = ParticlePositions(0);
    const auto xy = [](const ParticlePosition& p) { return std::pair(p.x, p.y); };
    EXPECT_EQ(xy(phase0[0]), std::pair(154, 173));
    EXPECT_EQ(xy(phase0[999]), std::pair(27, 195));  // z = 159
    // Only the depths move with the phase.
    EXPECT_EQ(ParticlePositions(10)[0].x, -32265 / 707 + 200);
}

struct RecordingWindow {
    explicit RecordingWindow(Rect visibleArea) : visible(visibleArea) {}
    RecordingWindow(const RecordingWindow&) = delete;

    Rect visible;
    std::vector<Rect> copies;
    FrameWindow window{[this] { return visible; },
                       [this](const Surface&, const Rect& area) { copies.push_back(area); }};
};

bool AnyLit(const Surface& s, const Rect& area) {
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) {
            if ((s.Row(y)[x] & 0xFFFFFF) != 0) {
                return true;
            }
        }
    }
    return false;
}

TEST(AboutFrame, DrawsTheVisiblePartOnlyAndAdvancesTheAnimation) {
    Renderer renderer;
    AboutState state{-77, 300};
    const auto pictures = OpenAbout(renderer, state);
    ASSERT_TRUE(pictures.has_value());
    EXPECT_EQ(state.creditsX, 400);

    RecordingWindow hidden{Rect{}};
    EXPECT_FALSE(DrawAboutFrame(renderer, *pictures, state, "x", hidden.window));
    EXPECT_TRUE(hidden.copies.empty());
    EXPECT_EQ(std::pair(state.creditsX, state.particlePhase), std::pair(400, 300u));  // waits

    RecordingWindow window{Rect{0, 0, 393, 296}};
    ASSERT_TRUE(DrawAboutFrame(renderer, *pictures, state, "1.8.6-test", window.window));
    EXPECT_EQ(window.copies, (std::vector<Rect>{{0, 0, 393, 296}}));
    EXPECT_EQ(std::pair(state.creditsX, state.particlePhase), std::pair(398, 310u));

    const Surface& picture = renderer.BackBuffer();
    EXPECT_TRUE(AnyLit(picture, {80, 20, 80, 16}));    // "  Varnex v1"
    EXPECT_TRUE(AnyLit(picture, {280, 40, 60, 16}));   // the build text
    EXPECT_TRUE(AnyLit(picture, {180, 140, 40, 40}));  // the logo's middle
    EXPECT_FALSE(AnyLit(picture, {393, 0, 7, 320}));   // not visible, not drawn
    EXPECT_FALSE(AnyLit(picture, {0, 296, 400, 24}));
}

TEST(AboutFrame, ThePhaseGoesOnAcrossOpeningsAndWraps) {
    AboutState state;
    for (int opening = 0; opening < 2; ++opening) {
        Renderer renderer;
        const auto pictures = OpenAbout(renderer, state);
        ASSERT_TRUE(pictures.has_value());
        RecordingWindow window{Rect{0, 0, 400, 320}};
        for (int frame = 0; frame < 52; ++frame) {
            DrawAboutFrame(renderer, *pictures, state, "x", window.window);
        }
        EXPECT_EQ(state.creditsX, 400 - 2 * 52);
        renderer.Stop();
    }
    EXPECT_EQ(state.particlePhase, (104u * 10) & 1023);
}

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
    const std::tuple<const Surface*, int, int, int> additions[] = {
        {&first, 3, 4, 200}, {&first, -5, 7, 90}, {&second, 1, 1, 90}, {&second, 20, 12, 256}};
    Renderer renderer;
    renderer.Start(30, 24, 0, 0);
    Surface expected = MakeSurface(30, 24);
    for (const auto& [picture, x, y, intensity] : additions) {
        renderer.SelectSource(picture);
        renderer.Add(x, y, 16, 16, 0, 0, intensity);
        AddRect(expected, Bounds(expected), x, y, 16, 16, *picture, 0, 0, intensity);
    }
    EXPECT_EQ(renderer.BackBuffer().pixels, expected.pixels);
}

TEST(Renderer, StartsAtTheScreensSizeWhereASizeIsZeroAndStopReleases) {
    Renderer renderer;
    renderer.Start(0, 50, 640, 480);
    EXPECT_EQ(Bounds(renderer.BackBuffer()), (Rect{0, 0, 640, 50}));
    renderer.Stop();
    EXPECT_FALSE(renderer.Started());
}

TEST(Renderer, WithoutAFontTextDrawsNothing) {
    Renderer renderer;
    renderer.Start(40, 20, 0, 0);
    const std::vector<uint32_t> blank(800, 0);
    EXPECT_FALSE(
        renderer.LoadFont(std::vector<uint8_t>{'T', 'F', 'D', 'X', 0, 0, 0, 0, 0, 0, 0, 0}));
    renderer.Text(0, 0, "Varnex", 0xFFFFFF);
    EXPECT_EQ(renderer.BackBuffer().pixels, blank);
    EXPECT_TRUE(renderer.LoadFont(PackedAboutFont()));
    renderer.Text(0, 0, "Varnex", 0xFFFFFF);
    EXPECT_NE(renderer.BackBuffer().pixels, blank);
}

}  // namespace
}  // namespace varnex
