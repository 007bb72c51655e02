#include "about/packed_image.h"

#include <vector>

#include "about/little_endian.h"
#include "about/lzw_stream.h"

namespace varnex {

namespace {

uint32_t ExpandPixel(uint16_t p, uint32_t alpha) {
    const uint32_t blue = (p & 0x1Fu) * 8;
    const uint32_t green = ((p >> 5) & 0x3Fu) * 4;
    const uint32_t red = ((p >> 11) & 0x1Fu) * 8;
    return alpha << 24 | red << 16 | green << 8 | blue;
}

}  // namespace

std::optional<Surface> LoadPackedImage(std::span<const uint8_t> block) {
    if (block.size() < kPackedImageHeaderSize) {
        return std::nullopt;
    }
    const uint32_t format = ReadLittleEndian32(block, 0);
    const uint32_t width = format & kPackedImageWidthMask;
    const bool hasAlpha = (format & kPackedImageAlphaPlane) != 0;
    const uint32_t height = ReadLittleEndian32(block, 4);
    const uint32_t packedLength = ReadLittleEndian32(block, 8);
    const uint64_t pixelCount = uint64_t{width} * height;
    if (packedLength > block.size() - kPackedImageHeaderSize || pixelCount == 0 ||
        pixelCount > kPackedImageMaxPixels) {
        return std::nullopt;
    }
    const size_t expectedLength = pixelCount * (hasAlpha ? 3 : 2);
    std::vector<uint8_t> expanded(expectedLength);
    const auto length =
        DecodeLzwStream(block.subspan(kPackedImageHeaderSize, packedLength), expanded);
    if (length != expectedLength) {
        return std::nullopt;
    }

    Surface surface = MakeSurface(static_cast<int>(width), static_cast<int>(height),
                                  hasAlpha ? kSurfaceHasAlpha : 0);
    const std::span<const uint8_t> data(expanded);
    for (size_t i = 0; i < pixelCount; ++i) {
        const uint32_t alpha = hasAlpha ? data[2 * pixelCount + i] : 255;
        surface.pixels[i] = ExpandPixel(ReadLittleEndian16(data, 2 * i), alpha);
    }
    return surface;
}

}  // namespace varnex
