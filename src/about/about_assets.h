// The About box's packed font and pictures, compiled into the program from
// the files under assets/.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace varnex {

std::span<const uint8_t> PackedAboutFont();
std::span<const uint8_t> PackedAboutLogo();       // 150 x 119, no alpha plane
std::span<const uint8_t> PackedParticleSprite();  // 16 x 16, no alpha plane

// This build's own version text: the project version, plus the commit it
// was built from when known.
std::string_view BuildText();

}  // namespace varnex
