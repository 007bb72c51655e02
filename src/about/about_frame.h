// The About box's picture: name, versions, the scrolling credits line, the
// logo and the particle field, one frame at a time.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "about/renderer.h"
#include "about/surface.h"

namespace varnex {

inline constexpr int kAboutPictureWidth = 400;
inline constexpr int kAboutPictureHeight = 320;
inline constexpr uint32_t kAboutTextColour = 0xFFFFFF;
inline constexpr std::string_view kAboutTitle = "  Varnex v1";
inline constexpr std::string_view kAboutClientVersion = "1.8.6";
inline constexpr int32_t kCreditsStartX = 400;
inline constexpr int kParticleCount = 1000;
inline constexpr uint32_t kParticlePhaseMask = 1023;
extern const std::string_view kAboutCreditsLine;

// Kept for the program's run: the credits line starts over at every
// opening, the particle field goes on where the last opening left it.
struct AboutState {
    int32_t creditsX = kCreditsStartX;
    uint32_t particlePhase = 0;
};

struct AboutPictures {
    Surface logo;
    Surface particle;
};

// Moves the credits line 2 pixels left, starting again at the right edge
// once it has run out, and returns where it is drawn this frame.
int32_t AdvanceCredits(AboutState& state);

struct ParticlePosition {
    int32_t x = 0;
    int32_t y = 0;
};
// Where the particle sprites go at a phase; the field depends on nothing else.
std::array<ParticlePosition, kParticleCount> ParticlePositions(uint32_t phase);

// Starts the renderer for the box and loads its font and pictures (carried
// by the program, so they are always there); the credits line goes back to
// the right edge. Stop the renderer on closing.
std::optional<AboutPictures> OpenAbout(Renderer& renderer, AboutState& state);

// One frame; false (and the state untouched) when nothing of the window is
// visible.
bool DrawAboutFrame(Renderer& renderer, const AboutPictures& pictures, AboutState& state,
                    std::string_view buildText, FrameWindow& window);

}  // namespace varnex
