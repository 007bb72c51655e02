#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <vector>

#include "assets/artwork.h"

namespace varnex {

namespace {

constexpr double kCellSize = 1.5;       // pixels per design cell
constexpr double kStrokeRadius = 0.55;  // in design cells: strokes slightly bolder than cells
constexpr double kLeftPad = 0.5;        // pixels before the first ink column
constexpr int kSamplesPerAxis = 8;
constexpr int kTopPad = 1;
constexpr int kLineHeight = 16;
constexpr int kSpaceWidth = 4;

using Design = std::array<std::array<bool, kDesignColumns>, kDesignRows>;

Design ParseDesign(std::string_view text) {
    Design design{};
    for (int row = 0; row < kDesignRows; ++row) {
        for (int column = 0; column < kDesignColumns; ++column) {
            design[row][column] = text[row * (kDesignColumns + 1) + column] == '#';
        }
    }
    return design;
}

struct Segment {
    double x0, y0, x1, y1;
};

// Ink cells become round dots joined to their ink neighbours, so that
// diagonals come out as smooth strokes instead of staircases. A diagonal
// is joined only where no orthogonal neighbour already bridges it.
std::vector<Segment> Strokes(const Design& design) {
    const auto ink = [&](int row, int column) {
        return row >= 0 && row < kDesignRows && column >= 0 && column < kDesignColumns &&
               design[row][column];
    };
    std::vector<Segment> strokes;
    for (int row = 0; row < kDesignRows; ++row) {
        for (int column = 0; column < kDesignColumns; ++column) {
            if (!ink(row, column)) {
                continue;
            }
            const double x = column + 0.5;
            const double y = row + 0.5;
            strokes.push_back({x, y, x, y});
            if (ink(row, column + 1)) {
                strokes.push_back({x, y, x + 1, y});
            }
            if (ink(row + 1, column)) {
                strokes.push_back({x, y, x, y + 1});
            }
            for (const int side : {-1, 1}) {
                if (ink(row + 1, column + side) && !ink(row, column + side) &&
                    !ink(row + 1, column)) {
                    strokes.push_back({x, y, x + side, y + 1});
                }
            }
        }
    }
    return strokes;
}

double Distance(double px, double py, const Segment& s) {
    const double dx = s.x1 - s.x0;
    const double dy = s.y1 - s.y0;
    const double lengthSquared = dx * dx + dy * dy;
    const double t =
        lengthSquared == 0
            ? 0
            : std::clamp(((px - s.x0) * dx + (py - s.y0) * dy) / lengthSquared, 0.0, 1.0);
    return std::hypot(px - (s.x0 + t * dx), py - (s.y0 + t * dy));
}

struct Glyph {
    int width = 0;
    std::vector<uint8_t> coverage;  // width x kLineHeight
};

Glyph DrawGlyph(int c) {
    const Design design = ParseDesign(GlyphDesign(c));
    int first = kDesignColumns;
    int last = -1;
    for (const auto& row : design) {
        for (int column = 0; column < kDesignColumns; ++column) {
            if (row[column]) {
                first = std::min(first, column);
                last = std::max(last, column);
            }
        }
    }
    Glyph glyph;
    if (last < 0) {
        glyph.width = kSpaceWidth;
        glyph.coverage.assign(static_cast<size_t>(glyph.width) * kLineHeight, 0);
        return glyph;
    }
    glyph.width = static_cast<int>(std::ceil((last - first + 1) * kCellSize + 2 * kLeftPad));
    glyph.coverage.assign(static_cast<size_t>(glyph.width) * kLineHeight, 0);
    const auto strokes = Strokes(design);
    for (int y = 0; y < kLineHeight; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            int inside = 0;
            for (int sy = 0; sy < kSamplesPerAxis; ++sy) {
                for (int sx = 0; sx < kSamplesPerAxis; ++sx) {
                    const double px =
                        first + (x + (sx + 0.5) / kSamplesPerAxis - kLeftPad) / kCellSize;
                    const double py = (y + (sy + 0.5) / kSamplesPerAxis - kTopPad) / kCellSize;
                    inside += std::any_of(strokes.begin(), strokes.end(), [&](const Segment& s) {
                        return Distance(px, py, s) <= kStrokeRadius;
                    });
                }
            }
            glyph.coverage[static_cast<size_t>(y) * glyph.width + x] =
                static_cast<uint8_t>(inside * 255 / (kSamplesPerAxis * kSamplesPerAxis));
        }
    }
    return glyph;
}

}  // namespace

Font DrawAboutFont() {
    std::vector<Glyph> glyphs;
    Font font;
    font.coverage = true;
    font.lineHeight = kLineHeight;
    for (int c = kFontFirstChar; c <= kFontLastChar; ++c) {
        glyphs.push_back(DrawGlyph(c));
        font.glyphOffsets[c - kFontFirstChar] = static_cast<uint16_t>(font.stride);
        font.glyphWidths[c - kFontFirstChar] = static_cast<uint8_t>(glyphs.back().width);
        font.stride += static_cast<uint32_t>(glyphs.back().width);
    }
    // One sheet: every glyph side by side, each row of the sheet one stride.
    font.pixels.assign(static_cast<size_t>(font.stride) * kLineHeight, 0);
    for (int i = 0; i < kFontGlyphCount; ++i) {
        for (int y = 0; y < kLineHeight; ++y) {
            std::copy_n(glyphs[i].coverage.begin() + static_cast<ptrdiff_t>(y) * glyphs[i].width,
                        glyphs[i].width,
                        font.pixels.begin() + static_cast<ptrdiff_t>(y) * font.stride +
                            font.glyphOffsets[i]);
        }
    }
    return font;
}

}  // namespace varnex
