// Text drawn with a bitmap font: line feeds, glyph clipping, coverage and
// on/off glyphs.
#pragma once

#include <cstdint>
#include <string_view>

#include "about/packed_font.h"
#include "about/surface.h"

namespace varnex {

// The box a text may cover: its widest line counting one extra pixel per
// character, and its number of lines times the line height. A byte 0 ends
// the text.
Rect TextExtent(const Font& font, int x, int y, std::string_view text);

// Draws the text from (x, y), clipped; nothing when its extent lies wholly
// outside the clip. A line feed starts a new line at x, one line height
// lower; characters 32 to 127 draw and advance by their glyph's width;
// other characters are skipped. Coverage glyphs mix
// (colour*c + destination*(256-c)) / 256 per colour, keeping the
// destination's alpha; an "on" pixel of an on/off glyph takes the colour.
void DrawText(Surface& destination, const Rect& clip, const Font& font, int x, int y,
              std::string_view text, uint32_t colour);

}  // namespace varnex
