#include "about/about_frame.h"

#include <gtest/gtest.h>

#include <vector>

namespace varnex {
namespace {

TEST(AboutCredits, EntersAt398AndStartsAgainAfterMinus2626) {
    AboutState state;
    EXPECT_EQ(AdvanceCredits(state), 398);
    EXPECT_EQ(AdvanceCredits(state), 396);
    int32_t x = 396;
    for (int frame = 3; frame <= 1513; ++frame) {
        x = AdvanceCredits(state);
    }
    EXPECT_EQ(x, -2626);
    EXPECT_EQ(AdvanceCredits(state), 398);
}

TEST(AboutCredits, APositionOutOfRangeStartsAtTheRightEdge) {
    for (const int32_t start : {401, 100000, -2625, INT32_MIN}) {
        AboutState state{start, 0};
        EXPECT_EQ(AdvanceCredits(state), 398) << start;
    }
    AboutState atEdge{-2624, 0};
    EXPECT_EQ(AdvanceCredits(atEdge), -2626);
}

TEST(AboutParticles, FollowTheTwoGeneratorsAndTheSignedDivision) {
    // Phase 0: s = 351345*214013 + 2531011 = 2180484464 (negative as a signed
    // number, >> 16 gives -32265), s = s*314013 + 1531011 = 1078164019
    // (>> 16 gives 16451), z = ((3215 + 3243561) AND 1023) + 1 = 697:
    // x = -32265 / 697 + 200 = -46 + 200, y = 16451 / 697 + 150 = 23 + 150.
    const auto phase0 = ParticlePositions(0);
    EXPECT_EQ(phase0[0].x, 154);
    EXPECT_EQ(phase0[0].y, 173);
    EXPECT_EQ(phase0[1].x, 86);  // z = 227
    EXPECT_EQ(phase0[1].y, 111);
    EXPECT_EQ(phase0[999].x, 27);  // z = 159
    EXPECT_EQ(phase0[999].y, 195);
    // Only the depths move with the phase.
    const auto phase10 = ParticlePositions(10);
    EXPECT_EQ(phase10[0].x, -32265 / 707 + 200);
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

TEST(AboutFrame, DrawsTheVisiblePartAndAdvancesTheAnimation) {
    Renderer renderer;
    AboutState state{-77, 300};
    const auto pictures = OpenAbout(renderer, state);
    ASSERT_TRUE(pictures.has_value());
    EXPECT_EQ(state.creditsX, 400);
    EXPECT_EQ(state.particlePhase, 300u);

    RecordingWindow window{Rect{0, 0, 393, 296}};
    ASSERT_TRUE(DrawAboutFrame(renderer, *pictures, state, "1.8.6-test", window.window));
    EXPECT_EQ(window.copies, (std::vector<Rect>{{0, 0, 393, 296}}));
    EXPECT_EQ(state.creditsX, 398);
    EXPECT_EQ(state.particlePhase, 310u);

    const Surface& picture = renderer.BackBuffer();
    EXPECT_TRUE(AnyLit(picture, {80, 20, 80, 16}));    // "  Varnex v1"
    EXPECT_TRUE(AnyLit(picture, {280, 40, 60, 16}));   // the build text
    EXPECT_TRUE(AnyLit(picture, {180, 140, 40, 40}));  // the logo's middle
    EXPECT_FALSE(AnyLit(picture, {393, 0, 7, 320}));   // not visible, not drawn
    EXPECT_FALSE(AnyLit(picture, {0, 296, 400, 24}));
}

TEST(AboutFrame, AHiddenWindowGetsNoFrameAndTheAnimationWaits) {
    Renderer renderer;
    AboutState state;
    const auto pictures = OpenAbout(renderer, state);
    ASSERT_TRUE(pictures.has_value());
    RecordingWindow window{Rect{}};
    EXPECT_FALSE(DrawAboutFrame(renderer, *pictures, state, "x", window.window));
    EXPECT_TRUE(window.copies.empty());
    EXPECT_EQ(state.creditsX, 400);
    EXPECT_EQ(state.particlePhase, 0u);
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
        EXPECT_FALSE(renderer.Started());
    }
    EXPECT_EQ(state.particlePhase, (104u * 10) & 1023);
}

}  // namespace
}  // namespace varnex
