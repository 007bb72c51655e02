#include "about/surface.h"

#include <algorithm>

namespace varnex {

Surface MakeSurface(int width, int height, uint32_t flags) {
    Surface surface;
    surface.width = std::max(width, 0);
    surface.height = std::max(height, 0);
    surface.flags = flags;
    surface.pixels.assign(static_cast<size_t>(surface.width) * surface.height, 0);
    return surface;
}

Rect Intersect(const Rect& a, const Rect& b) {
    // 64-bit edges: callers pass scroll positions and sizes that may add up
    // beyond the 32-bit range.
    const int64_t left = std::max<int64_t>(a.x, b.x);
    const int64_t top = std::max<int64_t>(a.y, b.y);
    const int64_t right = std::min<int64_t>(int64_t{a.x} + a.width, int64_t{b.x} + b.width);
    const int64_t bottom = std::min<int64_t>(int64_t{a.y} + a.height, int64_t{b.y} + b.height);
    if (right <= left || bottom <= top) {
        return {static_cast<int>(left), static_cast<int>(top), 0, 0};
    }
    return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
            static_cast<int>(bottom - top)};
}

std::optional<BlitArea> ClipBlit(const Rect& clip, const Surface& destination, int x, int y,
                                 int width, int height, const Surface& source, int sourceX,
                                 int sourceY) {
    if (width <= 0 || height <= 0) {
        return std::nullopt;
    }
    // Every bound at once, in 64 bits: the requested rectangle, the clip,
    // the destination and the source as it lands at (x - sourceX, y - sourceY).
    const int64_t sourceLeft = int64_t{x} - sourceX;
    const int64_t sourceTop = int64_t{y} - sourceY;
    const int64_t left = std::max({int64_t{x}, int64_t{clip.x}, int64_t{0}, sourceLeft});
    const int64_t top = std::max({int64_t{y}, int64_t{clip.y}, int64_t{0}, sourceTop});
    const int64_t right = std::min({int64_t{x} + width, int64_t{clip.x} + clip.width,
                                    int64_t{destination.width}, sourceLeft + source.width});
    const int64_t bottom = std::min({int64_t{y} + height, int64_t{clip.y} + clip.height,
                                     int64_t{destination.height}, sourceTop + source.height});
    if (right <= left || bottom <= top) {
        return std::nullopt;
    }
    return BlitArea{static_cast<int>(left),
                    static_cast<int>(top),
                    static_cast<int>(left - sourceLeft),
                    static_cast<int>(top - sourceTop),
                    static_cast<int>(right - left),
                    static_cast<int>(bottom - top)};
}

}  // namespace varnex
