// The additive picture operation that draws the particle field: a whole
// pixel at a time with packed saturating byte arithmetic.
#pragma once

#include <cstdint>

#include "about/surface.h"

namespace varnex {

inline constexpr int kUnscaledIntensity = 256;

// Adds count source pixels to the destination pixels. Intensity 1..255 adds
// (source colour * intensity) / 256 per colour, 256 or more adds the colour
// unscaled, both saturating at 255; 0 or less adds nothing. The
// destination's alpha byte stays as it was.
void AddPixels(uint32_t* destination, const uint32_t* source, int count, int intensity);

// The two implementations AddPixels picks from at compile time; both are
// exposed so that they can be checked against each other.
void AddPixelsPortable(uint32_t* destination, const uint32_t* source, int count, int intensity);
#if defined(__SSE2__)
#define VARNEX_HAVE_SSE2_ADD 1
void AddPixelsSse2(uint32_t* destination, const uint32_t* source, int count, int intensity);
#endif

// The clipped rectangle form: width x height from (sourceX, sourceY) to (x, y).
void AddRect(Surface& destination, const Rect& clip, int x, int y, int width, int height,
             const Surface& source, int sourceX, int sourceY, int intensity);

// The source's colours scaled as an addition at this intensity would scale
// them (alpha bytes 0): adding the result unscaled gives the same pixels as
// adding the source at the intensity, so a picture added many times at one
// intensity is scaled once. The result's buffer is reused.
void ScaleColoursInto(const Surface& source, int intensity, Surface& scaled);

}  // namespace varnex
