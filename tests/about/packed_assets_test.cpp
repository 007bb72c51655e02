// The packed pictures and font the about box loads: the LZW streams they
// carry, and blocks that are refused instead of read past their end.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "about/about_assets.h"
#include "about/lzw_stream.h"
#include "about/packed_font.h"
#include "about/packed_image.h"
#include "assets/lzw_encoder.h"
#include "assets/packed_formats.h"

namespace varnex {
namespace {

using Bytes = std::vector<uint8_t>;
using Codes = std::vector<std::pair<uint32_t, int>>;  // code and width in bits

std::optional<Bytes> Decode(const Bytes& stream, size_t capacity) {
    Bytes output(capacity);
    const auto length = DecodeLzwStream(stream, output);
    if (!length) {
        return std::nullopt;
    }
    output.resize(*length);
    return output;
}

Bytes Text(std::string_view text) {
    return {text.begin(), text.end()};
}

// Writes codes with widths given by hand, independent of the encoder's rule.
Bytes PackWithWidths(const Codes& codes) {
    Bytes bytes;
    size_t bit = 0;
    for (const auto& [code, width] : codes) {
        for (int i = 0; i < width; ++i, ++bit) {
            if (bit / 8 >= bytes.size()) {
                bytes.push_back(0);
            }
            bytes[bit / 8] |= static_cast<uint8_t>(((code >> i) & 1) << (bit % 8));
        }
    }
    return bytes;
}

Bytes RandomBytes(size_t size, uint32_t seed, int alphabet) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pick(0, alphabet - 1);
    Bytes bytes(size);
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<uint8_t>(pick(random)); });
    return bytes;
}

std::vector<uint32_t> ClearThenLiterals(size_t count) {
    std::vector<uint32_t> codes{kLzwClearCode};
    codes.insert(codes.end(), count, 'a');
    codes.push_back(kLzwEndCode);
    return codes;
}

TEST(LzwStream, EncoderOutputDecodesToTheSameBytes) {
    // data, and whether the stream crosses every width and clears again
    const std::pair<Bytes, bool> cases[] = {{{}, false},
                                            {Bytes(100000, 0), false},
                                            {RandomBytes(150000, 1, 4), true},
                                            {RandomBytes(120000, 2, 256), true}};
    for (const auto& [data, clearsAgain] : cases) {
        SCOPED_TRACE(data.size());
        const auto codes = LzwCodesFor(data);
        EXPECT_EQ(std::tuple(codes.front(), codes.back(),
                             std::count(codes.begin(), codes.end(), kLzwClearCode) > 1),
                  std::tuple(kLzwClearCode, kLzwEndCode, clearsAgain));
        EXPECT_EQ(Decode(PackLzwCodes(codes), data.size()), data);
    }
}

TEST(LzwStream, HandWrittenStreamsExpand) {
    const uint32_t A = 'A', B = 'B';
    const std::pair<Codes, std::string> cases[] = {
        {{{256, 9}, {A, 9}, {B, 9}, {258, 9}, {257, 9}}, "ABAB"},
        // 259 is the code being defined: the previous "B" plus its own first byte.
        {{{256, 9}, {A, 9}, {B, 9}, {259, 9}, {257, 9}}, "ABBB"},
        {{{A, 9}, {B, 9}, {257, 9}}, "AB"},  // no clear code at the start
        {{{256, 9}, {A, 9}, {A, 9}, {256, 9}, {B, 9}, {257, 9}}, "AAB"},
    };
    for (const auto& [codes, expected] : cases) {
        EXPECT_EQ(Decode(PackWithWidths(codes), 64), Text(expected)) << expected;
    }
}

TEST(LzwStream, TheWidthGrowsOnceTheNextFreeCodeReaches512) {
    // After the clear code, codes 1 to 255 are 9 bits; the 255th defines
    // entry 511, the next free code becomes 512 and the 256th is 10 bits.
    auto plain = ClearThenLiterals(255);
    plain.back() = 'y';
    plain.push_back(kLzwEndCode);
    Codes codes;
    for (const uint32_t code : plain) {
        codes.push_back({code, codes.size() < 256 ? 9 : 10});
    }
    EXPECT_EQ(Decode(PackWithWidths(codes), 1000), Text(std::string(255, 'a') + "y"));
    EXPECT_EQ(PackLzwCodes(plain), PackWithWidths(codes));  // the encoder's rule agrees
}

TEST(LzwStream, MalformedStreamsAreRefused) {
    // As many entries as the dictionary holds are fine: each literal after the first defines one.
    const auto full = Decode(PackLzwCodes(ClearThenLiterals(kLzwDictionaryEntries + 1)), 40000);
    ASSERT_TRUE(full.has_value());
    EXPECT_EQ(full->size(), kLzwDictionaryEntries + 1);

    const auto good = EncodeLzwStream(Text("TOBEORNOTTOBEORTOBEORNOT"));
    const std::pair<const char*, Bytes> cases[] = {
        {"more entries than the dictionary holds",
         PackLzwCodes(ClearThenLiterals(kLzwDictionaryEntries + 2))},
        {"cut before the end code", {good.begin(), good.end() - 2}},
        {"no bytes at all", {}},
        {"a code beyond the one being defined",
         PackWithWidths({{256, 9}, {'a', 9}, {'b', 9}, {300, 9}, {257, 9}})},
        {"an entry right after the clear code", PackWithWidths({{256, 9}, {258, 9}, {257, 9}})},
        {"an entry before any byte", PackWithWidths({{258, 9}, {257, 9}})},
    };
    for (const auto& [name, stream] : cases) {
        EXPECT_FALSE(Decode(stream, 40000).has_value()) << name;
    }
}

TEST(LzwStream, OutputLongerThanTheBufferIsRefusedWithoutWritingPastIt) {
    const auto stream = EncodeLzwStream(RandomBytes(5000, 3, 3));
    for (const size_t capacity : {size_t{0}, size_t{4999}}) {
        SCOPED_TRACE(capacity);
        Bytes buffer(capacity + 64, 0xA5);
        EXPECT_FALSE(DecodeLzwStream(stream, std::span(buffer).subspan(32, capacity)).has_value());
        const auto untouched = [](uint8_t b) { return b == 0xA5; };
        EXPECT_TRUE(std::all_of(buffer.begin(), buffer.begin() + 32, untouched));
        EXPECT_TRUE(std::all_of(buffer.end() - 32, buffer.end(), untouched));
    }
}

// A copy of `block` with the byte at `at` raised by `by`.
Bytes Bumped(Bytes block, size_t at, uint8_t by) {
    block[at] += by;
    return block;
}

Bytes ImageBlock(uint32_t format, uint32_t height, const Bytes& raw) {
    const auto stream = EncodeLzwStream(raw);
    Bytes block;
    for (const uint32_t word : {format, height, static_cast<uint32_t>(stream.size())}) {
        for (int i = 0; i < 4; ++i) {
            block.push_back(static_cast<uint8_t>(word >> (8 * i)));
        }
    }
    block.insert(block.end(), stream.begin(), stream.end());
    return block;
}

// Size, flags and pixels of a packed picture once loaded.
using Picture = std::tuple<int, int, uint32_t, std::vector<uint32_t>>;
std::optional<Picture> Loaded(const Bytes& block) {
    const auto image = LoadPackedImage(block);
    if (!image) {
        return std::nullopt;
    }
    return Picture{image->width, image->height, image->flags, image->pixels};
}

TEST(PackedImage, ExpandsFiveSixFivePixelsAndTheAlphaPlane) {
    // red 31, green 63, blue 31 and a mixed 0x8410 (red 16, green 32, blue 16)
    const std::vector<uint16_t> pixels{0xF800, 0x07E0, 0x001F, 0x8410, 0xFFFF, 0x0000};
    EXPECT_EQ(
        Loaded(PackImage(3, 2, pixels)),
        Picture(3, 2, 0, {0xFFF80000, 0xFF00FC00, 0xFF0000F8, 0xFF808080, 0xFFF8FCF8, 0xFF000000}));
    EXPECT_EQ(Loaded(PackImage(2, 1, std::vector<uint16_t>{0xF800, 0x001F}, Bytes{0x80, 0x00})),
              Picture(2, 1, kSurfaceHasAlpha, {0x80F80000, 0x000000F8}));
}

TEST(PackedImage, BlocksThatDoNotHoldTheirPictureAreRefused) {
    const Bytes sixPixels(12, 0x42);
    const std::pair<const char*, Bytes> cases[] = {
        {"fewer pixels than width x height", ImageBlock(4, 2, sixPixels)},
        {"more pixels than width x height", ImageBlock(2, 2, sixPixels)},
        {"no pixels", ImageBlock(0, 2, {})},
        {"absurd height", ImageBlock(0xFFFF, 0xFFFFFFFF, sixPixels)},
        {"compressed length beyond the block", Bumped(ImageBlock(3, 2, sixPixels), 8, 1)},
        {"header only in part", {3, 0, 0, 0, 2, 0}},
    };
    for (const auto& [name, block] : cases) {
        EXPECT_EQ(Loaded(block), std::nullopt) << name;
    }
}

Font TwoGlyphFont() {
    Font font;
    font.stride = 5;
    font.lineHeight = 2;
    font.coverage = false;
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
    const auto fields = [](const Font& f) {
        return std::tuple(f.stride, f.lineHeight, f.coverage, f.glyphOffsets, f.glyphWidths,
                          f.pixels);
    };
    EXPECT_EQ(fields(*font), fields(TwoGlyphFont()));
}

TEST(PackedFont, BlocksThatAreNotAWholeFontGiveNone) {
    Font glyphPastPixels = TwoGlyphFont();
    glyphPastPixels.glyphOffsets['B' - kFontFirstChar] = 3;
    Font tallLines = TwoGlyphFont();
    tallLines.stride = 0;
    tallLines.lineHeight = kFontMaxLineHeight + 1;
    const std::pair<const char*, Bytes> cases[] = {
        {"no TFDS magic", Bumped(PackFont(TwoGlyphFont()), 0, 'X' - 'T')},
        {"expanded length not as announced", Bumped(PackFont(TwoGlyphFont()), 8, 1)},
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
    const auto particle = LoadPackedImage(PackedParticleSprite());
    const auto font = LoadPackedFont(PackedAboutFont());
    ASSERT_TRUE(logo && particle && font);
    EXPECT_EQ(std::tuple(logo->width, logo->height, logo->flags), std::tuple(150, 119, 0u));
    EXPECT_EQ(Bounds(*particle), (Rect{0, 0, 16, 16}));
    EXPECT_TRUE(font->coverage);
    for (int c = kFontFirstChar; c < kFontLastChar; ++c) {
        EXPECT_GT(font->Width(static_cast<unsigned char>(c)), 0) << c;
    }
}

}  // namespace
}  // namespace varnex
