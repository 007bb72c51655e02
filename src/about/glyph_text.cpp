#include "about/glyph_text.h"

#include <algorithm>
#include <climits>

#include "about/pixel_channels.h"

namespace varnex {

namespace {

std::string_view UpToNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

Rect ClampedRect(int64_t x, int64_t y, int64_t width, int64_t height) {
    const auto clampInt = [](int64_t v) {
        return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
    };
    return {clampInt(x), clampInt(y), clampInt(width), clampInt(height)};
}

void DrawGlyph(Surface& destination, const Rect& visible, const Font& font, unsigned char c,
               const Rect& cell, uint32_t colour) {
    const Rect area = Intersect(visible, cell);
    if (IsEmpty(area)) {
        return;
    }
    const uint8_t* glyph = font.Glyph(c);
    for (int y = area.y; y < area.y + area.height; ++y) {
        const uint8_t* coverage = glyph + static_cast<size_t>(y - cell.y) * font.stride;
        uint32_t* row = destination.Row(y);
        for (int x = area.x; x < area.x + area.width; ++x) {
            const uint32_t c = coverage[x - cell.x];
            if (c == 0) {
                continue;
            }
            if (font.coverage) {
                row[x] = BlendColours(colour, row[x], c);
            } else {
                row[x] = colour;
            }
        }
    }
}

}  // namespace

Rect TextExtent(const Font& font, int x, int y, std::string_view text) {
    int64_t widest = 0;
    int64_t line = 0;
    int64_t lines = 1;
    for (const char ch : UpToNul(text)) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\n') {
            ++lines;
            line = 0;
            continue;
        }
        line += (Font::HasGlyph(c) ? font.Width(c) : 0) + 1;
        widest = std::max(widest, line);
    }
    return ClampedRect(x, y, widest, lines * font.lineHeight);
}

void DrawText(Surface& destination, const Rect& clip, const Font& font, int x, int y,
              std::string_view text, uint32_t colour) {
    const Rect visible = Intersect(clip, Bounds(destination));
    if (IsEmpty(Intersect(visible, TextExtent(font, x, y, text)))) {
        return;
    }
    const int64_t visibleRight = int64_t{visible.x} + visible.width;
    const int64_t visibleBottom = int64_t{visible.y} + visible.height;
    int64_t penX = x;
    int64_t penY = y;
    for (const char ch : UpToNul(text)) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\n') {
            penX = x;
            penY += font.lineHeight;
            continue;
        }
        if (!Font::HasGlyph(c)) {
            continue;
        }
        const int width = font.Width(c);
        // A long scrolling line is mostly outside: test cheaply before clipping.
        if (penX < visibleRight && penX + width > visible.x && penY < visibleBottom &&
            penY + font.lineHeight > visible.y) {
            DrawGlyph(destination, visible, font, c,
                      Rect{static_cast<int>(penX), static_cast<int>(penY), width,
                           static_cast<int>(font.lineHeight)},
                      colour);
        }
        penX += width;
    }
}

}  // namespace varnex
