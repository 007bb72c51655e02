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

// The picture as rows of '.', '#' (kInk) and '?' (anything else).
std::vector<std::string> Rows(const Surface& s) {
    std::vector<std::string> rows;
    for (int y = 0; y < s.height; ++y) {
        std::string row;
        for (int x = 0; x < s.width; ++x) {
            const uint32_t p = s.Row(y)[x];
            row += p == 0 ? '.' : p == kInk ? '#' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

TEST(DrawText, LineFeedsSkippedCharactersAndTheEndByte) {
    const Font font = SmallFont(false, 1);
    const struct {
        const char* name;
        std::string text;
        Rect clip;
        std::vector<std::string> expected;
    } cases[] = {
        {"glyphs side by side",
         "AB",
         {0, 0, 8, 5},
         {"........", ".#.#....", "..##....", "........", "........"}},
        {"line feed back to the start x",
         "B\nAB",
         {0, 0, 8, 5},
         {"........", ".#......", ".#......", ".#.#....", "..##...."}},
        {"other characters skipped",
         std::string("A\x01\x80\tB"),
         {0, 0, 8, 5},
         {"........", ".#.#....", "..##....", "........", "........"}},
        {"byte 0 ends the text",
         std::string("A\0B", 3),
         {0, 0, 8, 5},
         {"........", ".#......", "..#.....", "........", "........"}},
        {"clipped to the clip rectangle",
         "AB\nBA",
         {2, 2, 3, 2},
         {"........", "........", "..##....", "..#.....", "........"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Surface picture = MakeSurface(8, 5);
        DrawText(picture, c.clip, font, 1, 1, c.text, kInk);
        EXPECT_EQ(Rows(picture), c.expected);
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

TEST(DrawText, TextOutsideThePictureDrawsNothingAndNeverWritesOutside) {
    const Font font = SmallFont(false, 1);
    for (const auto& [x, y] : {std::pair{-100, 0},
                               {50, 0},
                               {0, -30},
                               {0, 40},
                               {-3, -1},
                               {INT32_MAX - 1, 0},
                               {INT32_MIN, INT32_MIN}}) {
        SCOPED_TRACE(::testing::Message() << x << "," << y);
        Surface picture = MakeSurface(4, 3);
        DrawText(picture, Rect{1, 1, 2, 1}, font, x, y, "ABAB\nBBBB", kInk);
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 4; ++column) {
                if (row != 1 || column < 1 || column > 2) {
                    EXPECT_EQ(picture.Row(row)[column], 0u) << column << "," << row;
                }
            }
        }
    }
}

TEST(TextExtent, WidestLineWithOnePixelPerCharacterTimesTheLines) {
    const Font font = SmallFont(false, 1);
    EXPECT_EQ(TextExtent(font, 5, 6, "AB\nA\nABBB"), (Rect{5, 6, 3 + 2 + 2 + 2, 6}));
    EXPECT_EQ(TextExtent(font, 0, 0, ""), (Rect{0, 0, 0, 2}));
}

}  // namespace
}  // namespace varnex
