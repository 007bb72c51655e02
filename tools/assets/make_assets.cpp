// Draws the About box's logo, particle sprite and font and writes them,
// packed, into the folder given on the command line (the repository's
// assets/ folder).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "assets/artwork.h"
#include "assets/packed_formats.h"

namespace {

bool WriteFile(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
        return false;
    }
    std::printf("%s: %zu bytes\n", path.string().c_str(), bytes.size());
    return true;
}

std::vector<uint8_t> Pack(const varnex::Picture565& picture) {
    return varnex::PackImage(picture.width, picture.height, picture.pixels);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <assets folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const bool written =
        WriteFile(folder / "about_logo.vpi", Pack(varnex::DrawAboutLogo())) &&
        WriteFile(folder / "particle.vpi", Pack(varnex::DrawParticleSprite())) &&
        WriteFile(folder / "about_font.vpf", varnex::PackFont(varnex::DrawAboutFont()));
    return written ? 0 : 1;
}
