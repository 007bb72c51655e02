#include "about/packed_font.h"

#include <algorithm>

#include "about/little_endian.h"
#include "about/lzw_stream.h"

namespace varnex {

namespace {

bool GlyphsInside(const Font& font) {
    for (int i = 0; i < kFontGlyphCount; ++i) {
        if (font.glyphWidths[i] == 0 || font.lineHeight == 0) {
            continue;
        }
        const uint64_t end = uint64_t{font.glyphOffsets[i]} +
                             uint64_t{font.lineHeight - 1} * font.stride + font.glyphWidths[i];
        if (end > font.pixels.size()) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<Font> LoadPackedFont(std::span<const uint8_t> block) {
    if (block.size() < kPackedFontHeaderSize ||
        !std::equal(kPackedFontMagic.begin(), kPackedFontMagic.end(), block.begin())) {
        return std::nullopt;
    }
    const uint32_t packedLength = ReadLittleEndian32(block, 4);
    const uint32_t expandedLength = ReadLittleEndian32(block, 8);
    if (packedLength > block.size() - kPackedFontHeaderSize || expandedLength < kFontPixelsOffset ||
        expandedLength > kPackedFontMaxExpanded) {
        return std::nullopt;
    }
    std::vector<uint8_t> expanded(expandedLength);
    if (DecodeLzwStream(block.subspan(kPackedFontHeaderSize, packedLength), expanded) !=
        expandedLength) {
        return std::nullopt;
    }

    const std::span<const uint8_t> data(expanded);
    Font font;
    font.stride = ReadLittleEndian32(data, kFontStrideOffset);
    font.lineHeight = ReadLittleEndian32(data, kFontLineHeightOffset);
    font.coverage = ReadLittleEndian32(data, kFontModeOffset) == 0;
    for (int i = 0; i < kFontGlyphCount; ++i) {
        font.glyphOffsets[i] = ReadLittleEndian16(data, kFontGlyphOffsetsOffset + 2 * i);
        font.glyphWidths[i] = data[kFontGlyphWidthsOffset + i];
    }
    font.pixels.assign(expanded.begin() + kFontPixelsOffset, expanded.end());
    if (font.lineHeight > kFontMaxLineHeight || !GlyphsInside(font)) {
        return std::nullopt;
    }
    return font;
}

}  // namespace varnex
