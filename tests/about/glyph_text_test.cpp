#include "about/glyph_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnex {
namespace {

constexpr uint32_t kInk = 0x00FFFFFF;

// 'A' is a 2 x 2 diagonal, 'B' a full 1 x 2 bar; both on one sheet.
Font SmallFont(bool coverage, uint8_t level) {
    Font font;
    font.stride = 3;
    font.lineHeight = 2;
    font.coverage = coverage;
    font.glyphOffsets['A' - kFontFirstChar] = 0;
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
    Surface picture = MakeSurface(3, 2);
    std::fill(picture.pixels.begin(), picture.pixels.end(), 0x11000080);
    DrawText(picture, Bounds(picture), SmallFont(true, 128), 0, 0, "B", 0x00FFFFFF);
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

}  // namespace
}  // namespace varnex
