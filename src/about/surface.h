// A 32-bit picture and the rectangle arithmetic every drawing operation
// shares, so that no operation can reach outside its pictures.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace varnex {

// Pixels are 0xAARRGGBB numbers: blue, green, red, alpha bytes in memory.
inline constexpr uint32_t kSurfaceHasAlpha = 1u << 0;
inline constexpr uint32_t kSurfacePremultiplied = 1u << 1;

struct Surface {
    int width = 0;
    int height = 0;
    uint32_t flags = 0;
    std::vector<uint32_t> pixels;  // top row first

    uint32_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * width; }
    const uint32_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * width; }
};

Surface MakeSurface(int width, int height, uint32_t flags = 0);

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const Rect&) const = default;
};

inline Rect Bounds(const Surface& surface) {
    return {0, 0, surface.width, surface.height};
}
Rect Intersect(const Rect& a, const Rect& b);  // width and height 0 when disjoint
inline bool IsEmpty(const Rect& r) {
    return r.width <= 0 || r.height <= 0;
}

// The part of a width x height transfer to (x, y) from (sourceX, sourceY)
// that lies inside the clip, the destination and the source.
struct BlitArea {
    int x = 0;
    int y = 0;
    int sourceX = 0;
    int sourceY = 0;
    int width = 0;
    int height = 0;
};

std::optional<BlitArea> ClipBlit(const Rect& clip, const Surface& destination, int x, int y,
                                 int width, int height, const Surface& source, int sourceX,
                                 int sourceY);

}  // namespace varnex
