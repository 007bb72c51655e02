// Copies, fills, additive sprites and glyph text: the exact pixels each
// writes, and that none writes outside its clip. Then the renderer that
// strings them together and the about box's animated frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "about/about_assets.h"
#include "about/about_frame.h"
#include "about/additive_blit.h"
#include "about/blit.h"
#include "about/glyph_text.h"
#include "about/packed_font.h"

namespace varnex {
namespace {

using Pixels = std::vector<uint32_t>;
constexpr uint32_t kInk = 0x00FFFFFF;

Surface Filled(int width, int height, uint32_t pixel, uint32_t flags = 0) {
    Surface s = MakeSurface(width, height, flags);
    std::fill(s.pixels.begin(), s.pixels.end(), pixel);
    return s;
}

TEST(CopyRect, EachAlphaModeMixesAsItsFlagsSay) {
    const uint32_t alpha = kSurfaceHasAlpha;
    const uint32_t premultiplied = kSurfaceHasAlpha | kSurfacePremultiplied;
    const struct {
        const char* name;
        uint32_t source, flags, destination, expected;
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
        Surface destination = Filled(1, 1, c.destination);
        CopyRect(destination, Bounds(destination), 0, 0, 1, 1, Filled(1, 1, c.source, c.flags), 0,
                 0);
        EXPECT_EQ(destination.pixels[0], c.expected) << c.name;
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
    EXPECT_EQ(destination.pixels, (Pixels{0, 0, 0,    0,    0,  //
                                          0, 0, 0xA4, 0xA5, 0,  //
                                          0, 0, 0,    0,    0,  //
                                          0, 0, 0,    0,    0}));
}

TEST(FillRect, FillsOnlyTheClippedPart) {
    Surface destination = MakeSurface(4, 3);
    FillRect(destination, Rect{1, 0, 3, 2}, Rect{-5, -5, 7, 20}, 0xFF00FF00);
    EXPECT_EQ(destination.pixels, (Pixels{0, 0xFF00FF00, 0, 0,  //
                                          0, 0xFF00FF00, 0, 0,  //
                                          0, 0, 0, 0}));
}

TEST(AddPixels, IntensityScalesSaturatesAndKeepsTheDestinationAlpha) {
    // source, destination, intensity, additions, expected
    const std::tuple<uint32_t, uint32_t, int, int, uint32_t> cases[] = {
        {0xFFFFFFFF, 0x7F000000, 200, 1, 0x7FC7C7C7},  // 255*200/256, the alpha byte kept
        {0xFFFFFFFF, 0x00000000, 200, 2, 0x00FFFFFF},
        {0x0040F020, 0x00F02010, 256, 1, 0x00FFFF30},  // unscaled, saturating per colour
    };
    for (const auto& [source, destination, intensity, times, expected] : cases) {
        // 21 pixels cover the wide steps and the tails.
        Pixels pixels(21, destination);
        const Pixels added(21, source);
        for (int i = 0; i < times; ++i) {
            AddPixels(pixels.data(), added.data(), 21, intensity);
        }
        EXPECT_EQ(pixels, Pixels(21, expected)) << intensity << " x" << times;
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
            Pixels source(count), destination(count), expected(count);
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
    const Surface sprite = Filled(16, 16, 0xFFFFFFFF);
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
        Surface picture = Filled(40, 30, kBackground);
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

// 'A' is a 2 x 2 diagonal, 'B' a full 1 x 2 bar; both on one sheet.
Font SmallFont(bool coverage, uint8_t level) {
    Font font;
    font.stride = 3;
    font.lineHeight = 2;
    font.coverage = coverage;
    font.glyphWidths['A' - kFontFirstChar] = 2;
    font.glyphOffsets['B' - kFontFirstChar] = 2;
    font.glyphWidths['B' - kFontFirstChar] = 1;
    font.pixels = {level, 0,     level,  //
                   0,     level, level};
    return font;
}

// The picture's rows as '.', '#' (kInk) and '?' (anything else), '|' between rows.
std::string Picture(const Surface& s) {
    std::string text;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            const uint32_t p = s.Row(y)[x];
            text += p == 0 ? '.' : p == kInk ? '#' : '?';
        }
        text += y + 1 < s.height ? "|" : "";
    }
    return text;
}

TEST(DrawText, LineFeedsSkippedCharactersAndTheEndByte) {
    const std::tuple<std::string, Rect, std::string> cases[] = {
        // A line feed goes back to the start x.
        {"B\nAB", {0, 0, 8, 5}, "........|.#......|.#......|.#.#....|..##...."},
        // Characters without a glyph are skipped; byte 0 ends the text.
        {"A\x01\x80\tB", {0, 0, 8, 5}, "........|.#.#....|..##....|........|........"},
        {std::string("A\0B", 3), {0, 0, 8, 5}, "........|.#......|..#.....|........|........"},
        {"AB\nBA", {2, 2, 3, 2}, "........|........|..##....|..#.....|........"},
    };
    for (const auto& [text, clip, expected] : cases) {
        Surface picture = MakeSurface(8, 5);
        DrawText(picture, clip, SmallFont(false, 1), 1, 1, text, kInk);
        EXPECT_EQ(Picture(picture), expected);
    }
}

TEST(DrawText, CoverageMixesWithWhatIsThere) {
    Surface picture = Filled(3, 2, 0x11000080);
    DrawText(picture, Bounds(picture), SmallFont(true, 128), 0, 0, "B", kInk);
    // (255*128 + d*128) / 256 per colour; the alpha byte stays.
    EXPECT_EQ(picture.Row(0)[0], 0x117F7FBFu);
    EXPECT_EQ(picture.Row(0)[1], 0x11000080u);
}

TEST(DrawText, TextOutsideThePictureNeverWritesOutsideTheClip) {
    for (const auto& [x, y] :
         {std::pair{-100, 0}, {0, 40}, {-3, -1}, {INT32_MAX - 1, 0}, {INT32_MIN, INT32_MIN}}) {
        SCOPED_TRACE(::testing::Message() << x << "," << y);
        Surface picture = MakeSurface(4, 3);
        DrawText(picture, Rect{1, 1, 2, 1}, SmallFont(false, 1), x, y, "ABAB\nBBBB", kInk);
        std::string shown = Picture(picture);
        shown.replace(6, 2, "**");  // the clip: drawn or not
        EXPECT_EQ(shown, "....|.**.|....");
    }
}

TEST(TextExtent, WidestLineWithOnePixelPerCharacterTimesTheLines) {
    const Font font = SmallFont(false, 1);
    EXPECT_EQ(TextExtent(font, 5, 6, "AB\nA\nABBB"), (Rect{5, 6, 3 + 2 + 2 + 2, 6}));
    EXPECT_EQ(TextExtent(font, 0, 0, ""), (Rect{0, 0, 0, 2}));
}

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

// The credits line runs wholly through the picture, its last sentence
// included, before it starts again at the right edge.
TEST(AboutCredits, TheWholeLineScrollsThroughBeforeItStartsAgain) {
    const std::optional<Font> font = LoadPackedFont(PackedAboutFont());
    ASSERT_TRUE(font.has_value());
    int width = 0;
    for (const char c : kAboutCreditsLine) {
        const auto byte = static_cast<unsigned char>(c);
        width += Font::HasGlyph(byte) ? font->Width(byte) : 0;
    }
    AboutState state;
    int32_t leftmost = kCreditsStartX;
    for (int frame = 0; frame < 2 * 1514; ++frame) {
        leftmost = std::min(leftmost, AdvanceCredits(state));
    }
    EXPECT_LE(leftmost + width, 0) << "drawn " << width << " px wide";
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
    AboutState state{-77, 1020};  // the phase goes on from the last opening
    const auto pictures = OpenAbout(renderer, state);
    ASSERT_TRUE(pictures.has_value());
    EXPECT_EQ(state.creditsX, 400);

    RecordingWindow hidden{Rect{}};
    EXPECT_FALSE(DrawAboutFrame(renderer, *pictures, state, "x", hidden.window));
    EXPECT_TRUE(hidden.copies.empty());
    EXPECT_EQ(std::pair(state.creditsX, state.particlePhase), std::pair(400, 1020u));  // waits

    RecordingWindow window{Rect{0, 0, 393, 296}};
    ASSERT_TRUE(DrawAboutFrame(renderer, *pictures, state, "1.8.6-test", window.window));
    EXPECT_EQ(window.copies, (std::vector<Rect>{{0, 0, 393, 296}}));
    EXPECT_EQ(std::pair(state.creditsX, state.particlePhase), std::pair(398, 6u));  // wrapped

    const Surface& picture = renderer.BackBuffer();
    EXPECT_TRUE(AnyLit(picture, {80, 20, 80, 16}));    // "  Varnex v1"
    EXPECT_TRUE(AnyLit(picture, {280, 40, 60, 16}));   // the build text
    EXPECT_TRUE(AnyLit(picture, {180, 140, 40, 40}));  // the logo's middle
    EXPECT_FALSE(AnyLit(picture, {393, 0, 7, 320}));   // not visible, not drawn
    EXPECT_FALSE(AnyLit(picture, {0, 296, 400, 24}));
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
