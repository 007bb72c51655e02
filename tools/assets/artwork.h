// The About box's own artwork, drawn procedurally so that every pixel can
// be regenerated from source.
#pragma once

#include <cstdint>
#include <vector>

#include "about/packed_font.h"

namespace varnex {

struct Picture565 {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint16_t> pixels;  // 5-6-5, top row first
};

Picture565 DrawAboutLogo();       // 150 x 119 on black
Picture565 DrawParticleSprite();  // 16 x 16 soft glow
Font DrawAboutFont();             // coverage glyphs for 32..127

// The hand-designed 5 x 9 glyph grid behind the font: nine rows of five
// cells, '#' for ink, rows separated by '|'; rows 7 and 8 hold descenders.
inline constexpr int kDesignColumns = 5;
inline constexpr int kDesignRows = 9;
const char* GlyphDesign(int c);  // c in 32..127

}  // namespace varnex
