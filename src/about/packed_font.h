// PackedFont: the bitmap font of the About box, as the program carries it,
// and its expanded form.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace varnex {

inline constexpr std::string_view kPackedFontMagic = "TFDS";
inline constexpr size_t kPackedFontHeaderSize = 12;  // magic, packed length, expanded length
inline constexpr size_t kPackedFontMaxExpanded = 16u << 20;
inline constexpr uint32_t kFontMaxLineHeight = 4096;

// The expanded font's layout.
inline constexpr size_t kFontStrideOffset = 0;
inline constexpr size_t kFontLineHeightOffset = 4;
inline constexpr size_t kFontModeOffset = 8;
inline constexpr size_t kFontGlyphOffsetsOffset = 12;  // 16-bit each, from kFontPixelsOffset
inline constexpr size_t kFontGlyphWidthsOffset = 204;
inline constexpr size_t kFontPixelsOffset = 300;
inline constexpr int kFontFirstChar = 32;
inline constexpr int kFontLastChar = 127;
inline constexpr int kFontGlyphCount = kFontLastChar - kFontFirstChar + 1;

struct Font {
    uint32_t stride = 0;      // bytes between a glyph's rows
    uint32_t lineHeight = 0;  // every glyph's height
    bool coverage = true;     // pixels are coverage 0..255, otherwise on/off
    std::array<uint16_t, kFontGlyphCount> glyphOffsets{};
    std::array<uint8_t, kFontGlyphCount> glyphWidths{};
    std::vector<uint8_t> pixels;

    static bool HasGlyph(unsigned char c) { return c >= kFontFirstChar && c <= kFontLastChar; }
    uint8_t Width(unsigned char c) const { return glyphWidths[c - kFontFirstChar]; }
    const uint8_t* Glyph(unsigned char c) const {
        return pixels.data() + glyphOffsets[c - kFontFirstChar];
    }
};

// The font, or nullopt when the block does not start with "TFDS", is shorter
// than it says, its stream is malformed or expands to another length than
// announced, or a glyph would reach past the glyph pixels.
std::optional<Font> LoadPackedFont(std::span<const uint8_t> block);

}  // namespace varnex
