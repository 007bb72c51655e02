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

// Four pixels, each colour byte times the intensity over 256: the byte sits
// in the high half of a 16-bit lane, so the high half of the product is the
// quotient.
inline __m128i Scale4(__m128i colours, __m128i intensity) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = _mm_mulhi_epu16(_mm_unpacklo_epi8(zero, colours), intensity);
    const __m128i high = _mm_mulhi_epu16(_mm_unpackhi_epi8(zero, colours), intensity);
    return _mm_packus_epi16(low, high);
}

// Sixteen pixels a step; the source's alpha bytes are masked off so that the
// destination's stay as they were.
template <bool kScaled>
[[gnu::always_inline]] inline int AddSixteens(uint32_t* destination, const uint32_t* source,
                                              int count, __m128i intensity) {
    const __m128i colourMask = _mm_set1_epi32(static_cast<int>(kColourBits));
    int i = 0;
    const auto colours = [&](int at) {
        const __m128i c = _mm_and_si128(Load(source + at), colourMask);
        if constexpr (kScaled) {
            return Scale4(c, intensity);
        } else {
            return c;
        }
    };
    for (; i + 16 <= count; i += 16) {
        const __m128i s0 = colours(i);
        const __m128i s1 = colours(i + 4);
        const __m128i s2 = colours(i + 8);
        const __m128i s3 = colours(i + 12);
        Store(destination + i, _mm_adds_epu8(Load(destination + i), s0));
        Store(destination + i + 4, _mm_adds_epu8(Load(destination + i + 4), s1));
        Store(destination + i + 8, _mm_adds_epu8(Load(destination + i + 8), s2));
        Store(destination + i + 12, _mm_adds_epu8(Load(destination + i + 12), s3));
    }
    for (; i + 4 <= count; i += 4) {
        Store(destination + i, _mm_adds_epu8(Load(destination + i), colours(i)));
    }
    return i;
}

[[gnu::always_inline]] inline void AddRowSse2(uint32_t* destination, const uint32_t* source,
                                              int count, int intensity) {
    if (intensity <= 0) {
        return;
    }
    const int done = intensity >= kUnscaledIntensity
                         ? AddSixteens<false>(destination, source, count, _mm_setzero_si128())
                         : AddSixteens<true>(destination, source, count,
                                             _mm_set1_epi16(static_cast<short>(intensity)));
    if (done < count) {
        AddPixelsPortable(destination + done, source + done, count - done, intensity);
    }
}

}  // namespace

void AddPixelsSse2(uint32_t* destination, const uint32_t* source, int count, int intensity) {
    AddRowSse2(destination, source, count, intensity);
}

#endif

namespace {

[[gnu::always_inline]] inline void AddRow(uint32_t* destination, const uint32_t* source, int count,
                                          int intensity) {
#if defined(__SSE2__)
    AddRowSse2(destination, source, count, intensity);
#else
    AddPixelsPortable(destination, source, count, intensity);
#endif
}

}  // namespace

void AddPixels(uint32_t* destination, const uint32_t* source, int count, int intensity) {
    AddRow(destination, source, count, intensity);
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
        AddRow(destination.Row(area->y + row) + area->x,
               source.Row(area->sourceY + row) + area->sourceX, area->width, intensity);
    }
}

void ScaleColoursInto(const Surface& source, int intensity, Surface& scaled) {
    scaled.width = source.width;
    scaled.height = source.height;
    scaled.flags = 0;
    scaled.pixels.assign(source.pixels.size(), 0);
    AddPixels(scaled.pixels.data(), source.pixels.data(), static_cast<int>(source.pixels.size()),
              intensity);
}

}  // namespace varnex
