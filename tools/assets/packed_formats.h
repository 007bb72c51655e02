// Writes the About box's PackedImage and PackedFont blocks.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "about/packed_font.h"

namespace varnex {

uint16_t To565(uint8_t red, uint8_t green, uint8_t blue);

// alpha is empty (no alpha plane) or one byte per pixel.
std::vector<uint8_t> PackImage(uint32_t width, uint32_t height, std::span<const uint16_t> pixels,
                               std::span<const uint8_t> alpha = {});

// The expanded form of a font, and the same packed into a "TFDS" block.
std::vector<uint8_t> ExpandedFontBytes(const Font& font);
std::vector<uint8_t> PackFont(const Font& font);

}  // namespace varnex
