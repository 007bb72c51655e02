// Fill and copy: the renderer's plain picture operations, clipped.
#pragma once

#include <cstdint>

#include "about/surface.h"

namespace varnex {

void FillRect(Surface& destination, const Rect& clip, const Rect& area, uint32_t colour);

// Puts the source rectangle at (x, y). How it mixes with what is there
// depends on the source's flags: no alpha: copied unchanged; alpha: each
// pixel with alpha a > 0 becomes (source*a + destination*(256-a)) / 256 per
// colour; alpha and premultiplied: destination*(256-a)/256 + source,
// saturating at 255. The destination's alpha byte is kept when mixing.
void CopyRect(Surface& destination, const Rect& clip, int x, int y, int width, int height,
              const Surface& source, int sourceX, int sourceY);

}  // namespace varnex
