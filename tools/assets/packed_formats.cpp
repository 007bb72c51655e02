#include "assets/packed_formats.h"

#include "about/packed_image.h"
#include "assets/lzw_encoder.h"

namespace varnex {

namespace {

void AppendLittleEndian(std::vector<uint8_t>& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

void PutLittleEndian(std::vector<uint8_t>& bytes, size_t offset, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

}  // namespace

uint16_t To565(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint16_t>((red >> 3) << 11 | (green >> 2) << 5 | (blue >> 3));
}

std::vector<uint8_t> PackImage(uint32_t width, uint32_t height, std::span<const uint16_t> pixels,
                               std::span<const uint8_t> alpha) {
    std::vector<uint8_t> raw;
    for (const uint16_t p : pixels) {
        AppendLittleEndian(raw, p, 2);
    }
    raw.insert(raw.end(), alpha.begin(), alpha.end());
    const auto stream = EncodeLzwStream(raw);

    std::vector<uint8_t> block;
    AppendLittleEndian(
        block, (width & kPackedImageWidthMask) | (alpha.empty() ? 0 : kPackedImageAlphaPlane), 4);
    AppendLittleEndian(block, height, 4);
    AppendLittleEndian(block, static_cast<uint32_t>(stream.size()), 4);
    block.insert(block.end(), stream.begin(), stream.end());
    return block;
}

std::vector<uint8_t> ExpandedFontBytes(const Font& font) {
    std::vector<uint8_t> bytes(kFontPixelsOffset, 0);
    PutLittleEndian(bytes, kFontStrideOffset, font.stride, 4);
    PutLittleEndian(bytes, kFontLineHeightOffset, font.lineHeight, 4);
    PutLittleEndian(bytes, kFontModeOffset, font.coverage ? 0 : 1, 4);
    for (int i = 0; i < kFontGlyphCount; ++i) {
        PutLittleEndian(bytes, kFontGlyphOffsetsOffset + 2 * i, font.glyphOffsets[i], 2);
        bytes[kFontGlyphWidthsOffset + i] = font.glyphWidths[i];
    }
    bytes.insert(bytes.end(), font.pixels.begin(), font.pixels.end());
    return bytes;
}

std::vector<uint8_t> PackFont(const Font& font) {
    const auto expanded = ExpandedFontBytes(font);
    const auto stream = EncodeLzwStream(expanded);
    std::vector<uint8_t> block(kPackedFontMagic.begin(), kPackedFontMagic.end());
    AppendLittleEndian(block, static_cast<uint32_t>(stream.size()), 4);
    AppendLittleEndian(block, static_cast<uint32_t>(expanded.size()), 4);
    block.insert(block.end(), stream.begin(), stream.end());
    return block;
}

}  // namespace varnex
