#include "about/additive_blit.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varnex {

namespace {

constexpr uint32_t kColourBits = 0x00FFFFFFu;

// Two channels per 32-bit word (red and blue in the 0x00FF00FF lanes, green
// alone), so that one add and one mask serve several colours.
uint32_t AddPixelWords(uint32_t destination, uint32_t addend) {
    uint32_t redBlue = (destination & 0x00FF00FFu) + (addend & 0x00FF00FFu);
    uint32_t green = (destination & 0x0000FF00u) + (addend & 0x0000FF00u);
    redBlue |= ((redBlue & 0x01000100u) >> 8) * 0xFFu;
    green |= ((green & 0x00010000u) >> 16) * 0xFF00u;
    return (destination & 0xFF000000u) | (redBlue & 0x00FF00FFu) | (green & 0x0000FF00u);
}

uint32_t ScaleColour(uint32_t source, uint32_t intensity) {
    const uint32_t redBlue = (((source & 0x00FF00FFu) * intensity) >> 8) & 0x00FF00FFu;
    const uint32_t green = (((source & 0x0000FF00u) * intensity) >> 8) & 0x0000FF00u;
    return redBlue | green;
}

}  // namespace

void AddPixelsPortable(uint32_t* destination, const uint32_t* source, int count, int intensity) {
    if (intensity <= 0) {
        return;
    }
    if (intensity >= kUnscaledIntensity) {
        for (int i = 0; i < count; ++i) {
            destination[i] = AddPixelWords(destination[i], source[i] & kColourBits);
        }
        return;
    }
    const auto scale = static_cast<uint32_t>(intensity);
    for (int i = 0; i < count; ++i) {
        destination[i] = AddPixelWords(destination[i], ScaleColour(source[i], scale));
    }
}

#if defined(__SSE2__)

namespace {

inline __m128i Load(const uint32_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store(uint32_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// Four pixels: colour bytes widened to 16 bits, multiplied, narrowed again.
inline __m128i Scale4(__m128i source, __m128i intensity, __m128i colourMask) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low =
        _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(source, zero), intensity), 8);
    const __m128i high =
        _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(source, zero), intensity), 8);
    return _mm_and_si128(_mm_packus_epi16(low, high), colourMask);
}

}  // namespace

void AddPixelsSse2(uint32_t* destination, const uint32_t* source, int count, int intensity) {
    if (intensity <= 0) {
        return;
    }
    const __m128i colourMask = _mm_set1_epi32(static_cast<int>(kColourBits));
    int i = 0;
    if (intensity >= kUnscaledIntensity) {
        for (; i + 16 <= count; i += 16) {
            const __m128i s0 = _mm_and_si128(Load(source + i), colourMask);
            const __m128i s1 = _mm_and_si128(Load(source + i + 4), colourMask);
            const __m128i s2 = _mm_and_si128(Load(source + i + 8), colourMask);
            const __m128i s3 = _mm_and_si128(Load(source + i + 12), colourMask);
            Store(destination + i, _mm_adds_epu8(Load(destination + i), s0));
            Store(destination + i + 4, _mm_adds_epu8(Load(destination + i + 4), s1));
            Store(destination + i + 8, _mm_adds_epu8(Load(destination + i + 8), s2));
            Store(destination + i + 12, _mm_adds_epu8(Load(destination + i + 12), s3));
        }
        for (; i + 4 <= count; i += 4) {
            const __m128i s = _mm_and_si128(Load(source + i), colourMask);
            Store(destination + i, _mm_adds_epu8(Load(destination + i), s));
        }
    } else {
        const __m128i scale = _mm_set1_epi16(static_cast<short>(intensity));
        for (; i + 8 <= count; i += 8) {
            const __m128i s0 = Scale4(Load(source + i), scale, colourMask);
            const __m128i s1 = Scale4(Load(source + i + 4), scale, colourMask);
            Store(destination + i, _mm_adds_epu8(Load(destination + i), s0));
            Store(destination + i + 4, _mm_adds_epu8(Load(destination + i + 4), s1));
        }
        for (; i + 4 <= count; i += 4) {
            const __m128i s = Scale4(Load(source + i), scale, colourMask);
            Store(destination + i, _mm_adds_epu8(Load(destination + i), s));
        }
    }
    AddPixelsPortable(destination + i, source + i, count - i, intensity);
}

#endif

void AddPixels(uint32_t* destination, const uint32_t* source, int count, int intensity) {
#if defined(__SSE2__)
    AddPixelsSse2(destination, source, count, intensity);
#else
    AddPixelsPortable(destination, source, count, intensity);
#endif
}

void AddRect(Surface& destination, const Rect& clip, int x, int y, int width, int height,
             const Surface& source, int sourceX, int sourceY, int intensity) {
    if (intensity <= 0) {
        return;
    }
    const auto area = ClipBlit(clip, destination, x, y, width, height, source, sourceX, sourceY);
    if (!area) {
        return;
    }
    for (int row = 0; row < area->height; ++row) {
        AddPixels(destination.Row(area->y + row) + area->x,
                  source.Row(area->sourceY + row) + area->sourceX, area->width, intensity);
    }
}

}  // namespace varnex
