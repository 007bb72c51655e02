#include "about/blit.h"

#include <algorithm>
#include <cstring>

#include "about/pixel_channels.h"

namespace varnex {

void FillRect(Surface& destination, const Rect& clip, const Rect& area, uint32_t colour) {
    const Rect r = Intersect(Intersect(clip, Bounds(destination)), area);
    if (IsEmpty(r)) {
        return;
    }
    // One row filled, the others copied from it: the copy is the fastest
    // store the library has.
    uint32_t* first = destination.Row(r.y) + r.x;
    std::fill(first, first + r.width, colour);
    for (int y = r.y + 1; y < r.y + r.height; ++y) {
        std::memcpy(destination.Row(y) + r.x, first, static_cast<size_t>(r.width) * sizeof colour);
    }
}

namespace {

uint32_t AlphaBlend(uint32_t source, uint32_t destination) {
    const uint32_t a = source >> 24;
    return a == 0 ? destination : BlendColours(source, destination, a);
}

uint32_t PremultipliedBlend(uint32_t source, uint32_t destination) {
    const uint32_t a = source >> 24;
    // A source colour above its alpha is malformed; saturate rather than
    // carry into the next channel.
    return MapColourChannels(source, destination, [a](uint32_t s, uint32_t d) {
        return std::min<uint32_t>(d * (256 - a) / 256 + s, 255);
    });
}

template <typename Mix>
void MixRows(Surface& destination, const BlitArea& area, const Surface& source, Mix mix) {
    for (int row = 0; row < area.height; ++row) {
        const uint32_t* from = source.Row(area.sourceY + row) + area.sourceX;
        uint32_t* to = destination.Row(area.y + row) + area.x;
        for (int i = 0; i < area.width; ++i) {
            to[i] = mix(from[i], to[i]);
        }
    }
}

}  // namespace

void CopyRect(Surface& destination, const Rect& clip, int x, int y, int width, int height,
              const Surface& source, int sourceX, int sourceY) {
    const auto area = ClipBlit(clip, destination, x, y, width, height, source, sourceX, sourceY);
    if (!area) {
        return;
    }
    if ((source.flags & kSurfaceHasAlpha) == 0) {
        for (int row = 0; row < area->height; ++row) {
            std::memcpy(destination.Row(area->y + row) + area->x,
                        source.Row(area->sourceY + row) + area->sourceX,
                        static_cast<size_t>(area->width) * sizeof(uint32_t));
        }
    } else if ((source.flags & kSurfacePremultiplied) == 0) {
        MixRows(destination, *area, source, AlphaBlend);
    } else {
        MixRows(destination, *area, source, PremultipliedBlend);
    }
}

}  // namespace varnex
