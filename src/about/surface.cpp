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
    // The source picture, placed where its pixels would land.
    const Rect sourceLanding{
        static_cast<int>(std::clamp<int64_t>(int64_t{x} - sourceX, INT32_MIN, INT32_MAX)),
        static_cast<int>(std::clamp<int64_t>(int64_t{y} - sourceY, INT32_MIN, INT32_MAX)),
        source.width, source.height};
    Rect area = Intersect(Intersect(clip, Bounds(destination)), Rect{x, y, width, height});
    area = Intersect(area, sourceLanding);
    if (IsEmpty(area)) {
        return std::nullopt;
    }
    return BlitArea{area.x,
                    area.y,
                    static_cast<int>(int64_t{sourceX} + area.x - x),
                    static_cast<int>(int64_t{sourceY} + area.y - y),
                    area.width,
                    area.height};
}

}  // namespace varnex
