#include <gtest/gtest.h>

#include <vector>

#include "about/about_assets.h"
#include "about/packed_font.h"
#include "about/packed_image.h"
#include "assets/lzw_encoder.h"
#include "assets/packed_formats.h"

namespace varnex {
namespace {

std::vector<uint8_t> ImageBlock(uint32_t format, uint32_t height, const std::vector<uint8_t>& raw) {
    const auto stream = EncodeLzwStream(raw);
    std::vector<uint8_t> block;
    for (const uint32_t word : {format, height, static_cast<uint32_t>(stream.size())}) {
        for (int i = 0; i < 4; ++i) {
            block.push_back(static_cast<uint8_t>(word >> (8 * i)));
        }
    }
    block.insert(block.end(), stream.begin(), stream.end());
    return block;
}

TEST(PackedImage, ExpandsFiveSixFivePixelsAndTheAlphaPlane) {
    // red 31, green 63, blue 31 and a mixed 0x8410 (red 16, green 32, blue 16)
    const std::vector<uint16_t> pixels{0xF800, 0x07E0, 0x001F, 0x8410, 0xFFFF, 0x0000};
    const auto image = LoadPackedImage(PackImage(3, 2, pixels));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->flags, 0u);
    EXPECT_EQ(image->pixels, (std::vector<uint32_t>{0xFFF80000, 0xFF00FC00, 0xFF0000F8, 0xFF808080,
                                                    0xFFF8FCF8, 0xFF000000}));
    const auto withAlpha = LoadPackedImage(
        PackImage(2, 1, std::vector<uint16_t>{0xF800, 0x001F}, std::vector<uint8_t>{0x80, 0x00}));
    ASSERT_TRUE(withAlpha.has_value());
    EXPECT_EQ(withAlpha->flags, kSurfaceHasAlpha);
    EXPECT_EQ(withAlpha->pixels, (std::vector<uint32_t>{0x80F80000, 0x000000F8}));
}

TEST(PackedImage, BlocksThatDoNotHoldTheirPictureAreRefused) {
    const std::vector<uint8_t> sixPixels(12, 0x42);
    auto lengthBeyondBlock = ImageBlock(3, 2, sixPixels);
    lengthBeyondBlock[8] += 1;
    const std::pair<const char*, std::vector<uint8_t>> cases[] = {
        {"fewer pixels than width x height", ImageBlock(4, 2, sixPixels)},
        {"more pixels than width x height", ImageBlock(2, 2, sixPixels)},
        {"no pixels", ImageBlock(0, 2, {})},
        {"absurd height", ImageBlock(0xFFFF, 0xFFFFFFFF, sixPixels)},
        {"compressed length beyond the block", lengthBeyondBlock},
        {"header only in part", {3, 0, 0, 0, 2, 0}},
    };
    for (const auto& [name, block] : cases) {
        EXPECT_FALSE(LoadPackedImage(block).has_value()) << name;
    }
}

Font TwoGlyphFont() {
    Font font;
    font.stride = 5;
    font.lineHeight = 2;
    font.coverage = false;
    font.glyphOffsets['A' - kFontFirstChar] = 0;
    font.glyphWidths['A' - kFontFirstChar] = 2;
    font.glyphOffsets['B' - kFontFirstChar] = 2;
    font.glyphWidths['B' - kFontFirstChar] = 3;
    font.pixels = {1, 0, 9, 9, 9,  //
                   0, 1, 9, 0, 9};
    return font;
}

TEST(PackedFont, LoadsWhatWasPacked) {
    const auto font = LoadPackedFont(PackFont(TwoGlyphFont()));
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->stride, 5u);
    EXPECT_EQ(font->lineHeight, 2u);
    EXPECT_FALSE(font->coverage);
    EXPECT_EQ(font->Width('B'), 3);
    EXPECT_EQ(font->Glyph('B') - font->pixels.data(), 2);
    EXPECT_EQ(font->pixels, TwoGlyphFont().pixels);
}

TEST(PackedFont, BlocksThatAreNotAWholeFontGiveNone) {
    auto noMagic = PackFont(TwoGlyphFont());
    noMagic[0] = 'X';
    auto wrongExpandedLength = PackFont(TwoGlyphFont());
    wrongExpandedLength[8] += 1;
    Font glyphPastPixels = TwoGlyphFont();
    glyphPastPixels.glyphOffsets['B' - kFontFirstChar] = 3;
    Font tallLines = TwoGlyphFont();
    tallLines.stride = 0;
    tallLines.lineHeight = kFontMaxLineHeight + 1;
    const std::pair<const char*, std::vector<uint8_t>> cases[] = {
        {"no TFDS magic", noMagic},
        {"expanded length not as announced", wrongExpandedLength},
        {"a glyph reaching past the pixels", PackFont(glyphPastPixels)},
        {"line height beyond reason", PackFont(tallLines)},
        {"header only", {'T', 'F', 'D', 'S', 0, 0}},
    };
    for (const auto& [name, block] : cases) {
        EXPECT_FALSE(LoadPackedFont(block).has_value()) << name;
    }
}

TEST(AboutAssets, TheProgramsOwnPicturesAndFontLoad) {
    const auto logo = LoadPackedImage(PackedAboutLogo());
    ASSERT_TRUE(logo.has_value());
    EXPECT_EQ(logo->width, 150);
    EXPECT_EQ(logo->height, 119);
    EXPECT_EQ(logo->flags, 0u);
    const auto particle = LoadPackedImage(PackedParticleSprite());
    ASSERT_TRUE(particle.has_value());
    EXPECT_EQ(particle->width, 16);
    EXPECT_EQ(particle->height, 16);
    const auto font = LoadPackedFont(PackedAboutFont());
    ASSERT_TRUE(font.has_value());
    EXPECT_TRUE(font->coverage);
    for (int c = kFontFirstChar; c < kFontLastChar; ++c) {
        EXPECT_GT(font->Width(static_cast<unsigned char>(c)), 0) << c;
    }
}

}  // namespace
}  // namespace varnex
