#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

#include "assets/artwork.h"
#include "assets/packed_formats.h"

namespace varnex {

namespace {

struct Colour {
    double r = 0, g = 0, b = 0;
};

Colour Mix(const Colour& a, const Colour& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

uint16_t ToPixel(const Colour& c) {
    const auto channel = [](double v) {
        return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
    };
    return To565(channel(c.r), channel(c.g), channel(c.b));
}

double SegmentDistance(double px, double py, double x0, double y0, double x1, double y1) {
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double t = std::clamp(((px - x0) * dx + (py - y0) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
}

// Each pixel is the average of a grid of samples of shade(x, y), which keeps
// the edges of the shapes smooth.
Picture565 Render(uint32_t width, uint32_t height, int samples,
                  const std::function<Colour(double, double)>& shade) {
    Picture565 picture{width, height, {}};
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            Colour sum;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const Colour c = shade(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                }
            }
            const double n = samples * samples;
            picture.pixels.push_back(ToPixel({sum.r / n, sum.g / n, sum.b / n}));
        }
    }
    return picture;
}

// A pulse like a voltmeter's trace: flat, one sharp swing, flat again.
double TraceY(double x, double centreX, double centreY) {
    const double u = (x - centreX) / 9.0;
    return centreY + 4.0 * std::sin(x * 0.22) * std::exp(-u * u * 0.05) -
           22.0 * std::exp(-u * u * 2.0) * std::sin(u * 2.4);
}

}  // namespace

Picture565 DrawAboutLogo() {
    constexpr double cx = 75.0;
    constexpr double cy = 59.5;
    constexpr double ringInner = 50.0;
    constexpr double ringOuter = 57.0;
    const Colour black{};
    const Colour ringFrom{0, 210, 255};
    const Colour ringTo{110, 70, 255};
    const Colour discEdge{6, 12, 34};
    const Colour discCentre{22, 52, 96};
    const Colour traceColour{90, 255, 170};
    const Colour vTop{255, 225, 100};
    const Colour vBottom{255, 130, 30};
    const Colour vEdge{60, 20, 0};

    return Render(150, 119, 4, [&](double x, double y) {
        const double r = std::hypot(x - cx, y - cy);
        if (r > ringOuter) {
            return black;
        }
        if (r >= ringInner) {
            const double angle = std::atan2(y - cy, x - cx);
            const double t = 0.5 + 0.5 * std::sin(angle * 1.0 + 0.8);
            const double bevel = 1.0 - std::abs((r - ringInner) / (ringOuter - ringInner) - 0.5);
            const Colour c = Mix(ringFrom, ringTo, t);
            return Colour{c.r * bevel, c.g * bevel, c.b * bevel};
        }
        Colour c = Mix(discCentre, discEdge, r / ringInner);
        // Grid lines of a scope screen.
        if (std::fmod(std::abs(x - cx) + 0.5, 12.0) < 1.0 ||
            std::fmod(std::abs(y - cy) + 0.5, 12.0) < 1.0) {
            c = Mix(c, ringFrom, 0.18);
        }
        const double trace = std::abs(y - TraceY(x, cx, cy + 4));
        c = Mix(c, traceColour, std::exp(-trace * trace / 6.0) * 0.55);
        if (trace < 1.1) {
            c = traceColour;
        }
        // The V: two strokes meeting low in the disc, outlined dark.
        const double v =
            std::min(SegmentDistance(x, y, 44, 30, 75, 90), SegmentDistance(x, y, 106, 30, 75, 90));
        if (v < 9.0) {
            return Mix(vTop, vBottom, (y - 28) / 64.0);
        }
        if (v < 11.0) {
            return vEdge;
        }
        return c;
    });
}

Picture565 DrawParticleSprite() {
    // Dim enough that the crowd in the middle of the field leaves the logo
    // showing through.
    const Colour core{150, 165, 190};
    const Colour halo{40, 85, 170};
    return Render(16, 16, 4, [&](double x, double y) {
        const double d = std::hypot(x - 8.0, y - 8.0) / 8.0;
        const double glow = std::pow(std::max(0.0, 1.0 - d), 2.5);
        const Colour c = Mix(halo, core, std::pow(std::max(0.0, 1.0 - d * 1.6), 2.0));
        return Colour{c.r * glow, c.g * glow, c.b * glow};
    });
}

}  // namespace varnex
