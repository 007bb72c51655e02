// PackedImage: a 5-6-5 picture, optionally with an alpha plane, as the
// program carries it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "about/surface.h"

namespace varnex {

// Header: three little-endian 32-bit words, then the compressed data.
inline constexpr size_t kPackedImageHeaderSize = 12;
inline constexpr uint32_t kPackedImageWidthMask = 0xFFFFu;
inline constexpr uint32_t kPackedImageAlphaPlane = 1u << 16;
// Far above any picture of ours; keeps a corrupt height from asking for
// gigabytes.
inline constexpr uint64_t kPackedImageMaxPixels = 4096u * 4096u;

// The picture, or nullopt when the block is shorter than it says, its
// stream is malformed, or the stream does not expand to exactly
// width x height pixels (plus the alpha plane).
std::optional<Surface> LoadPackedImage(std::span<const uint8_t> block);

}  // namespace varnex
