#include "about/about_frame.h"

#include <utility>

#include "about/about_assets.h"
#include "about/packed_image.h"

namespace varnex {

namespace {

constexpr int32_t kCreditsWrapX = -2624;
constexpr int32_t kCreditsStep = 2;
constexpr int kCreditsY = 270;
constexpr int kLogoX = 125;
constexpr int kLogoY = 100;
constexpr int kParticleIntensity = 200;
constexpr uint32_t kParticlePhaseStep = 10;

}  // namespace

// Short enough to run wholly through the picture before it starts again.
const std::string_view kAboutCreditsLine =
    "Varnex v1  -  eight voltmeters, three power relays, a thermometer, five I/O pins and "
    "six daughter boards at your fingertips  -  by the Varnex developers  -  thanks to "
    "everyone who tried the simulator  -  keep your stations polled and your voltages steady!";

int32_t AdvanceCredits(AboutState& state) {
    if (state.creditsX > kCreditsStartX || state.creditsX < kCreditsWrapX) {
        state.creditsX = kCreditsStartX;
    }
    state.creditsX -= kCreditsStep;
    return state.creditsX;
}

std::array<ParticlePosition, kParticleCount> ParticlePositions(uint32_t phase) {
    std::array<ParticlePosition, kParticleCount> positions;
    uint32_t s = 351345;
    uint32_t z = phase + 3215;
    for (auto& position : positions) {
        s = s * 214013u + 2531011u;
        const auto a = static_cast<int32_t>(s);
        s = s * 314013u + 1531011u;
        const auto b = static_cast<int32_t>(s);
        z = ((z + 3243561u) & 1023u) + 1;
        const auto depth = static_cast<int32_t>(z);
        position = {(a >> 16) / depth + 200, (b >> 16) / depth + 150};
    }
    return positions;
}

std::optional<AboutPictures> OpenAbout(Renderer& renderer, AboutState& state) {
    renderer.Start(kAboutPictureWidth, kAboutPictureHeight, 0, 0);
    auto particle = LoadPackedImage(PackedParticleSprite());
    auto logo = LoadPackedImage(PackedAboutLogo());
    if (!renderer.LoadFont(PackedAboutFont()) || !particle || !logo) {
        renderer.Stop();
        return std::nullopt;
    }
    state.creditsX = kCreditsStartX;
    return AboutPictures{std::move(*logo), std::move(*particle)};
}

bool DrawAboutFrame(Renderer& renderer, const AboutPictures& pictures, AboutState& state,
                    std::string_view buildText, FrameWindow& window) {
    if (!renderer.BeginFrame(window)) {
        return false;
    }
    renderer.Fill(0, 0, kAboutPictureWidth, kAboutPictureHeight, 0);
    renderer.Text(80, 20, kAboutTitle, kAboutTextColour);
    renderer.Text(40, 40, "Client Version:", kAboutTextColour);
    renderer.Text(165, 40, kAboutClientVersion, kAboutTextColour);
    renderer.Text(225, 40, "Build:", kAboutTextColour);
    // The build text's licence, after two blanks, goes on a line of its own.
    const std::size_t licence = buildText.find("  ");
    renderer.Text(280, 40, buildText.substr(0, licence), kAboutTextColour);
    if (licence != std::string_view::npos) {
        renderer.Text(225, 56, buildText.substr(licence + 2), kAboutTextColour);
    }
    renderer.Text(AdvanceCredits(state), kCreditsY, kAboutCreditsLine, kAboutTextColour);

    renderer.SelectSource(&pictures.logo);
    renderer.Copy(kLogoX, kLogoY, pictures.logo.width, pictures.logo.height, 0, 0);

    renderer.SelectSource(&pictures.particle);
    for (const auto& p : ParticlePositions(state.particlePhase)) {
        renderer.Add(p.x, p.y, pictures.particle.width, pictures.particle.height, 0, 0,
                     kParticleIntensity);
    }
    state.particlePhase = (state.particlePhase + kParticlePhaseStep) & kParticlePhaseMask;
    renderer.EndFrame();
    return true;
}

}  // namespace varnex
