// Any block loaded as a packed picture and as a packed font, and whatever
// loads drawn at positions the input chooses, partly off the picture.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "about/packed_image.h"
#include "about/renderer.h"

using namespace varnex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    const int x = static_cast<int8_t>(data[0]) * 4;
    const int y = static_cast<int8_t>(data[1]) * 4;
    const int intensity = data[2] * 2;
    const std::span<const uint8_t> block(data + 3, size - 3);

    Renderer renderer;
    renderer.Start(64, 48, 0, 0);
    FrameWindow window;
    window.visibleArea = [] { return Rect{0, 0, 64, 48}; };
    if (!renderer.BeginFrame(window)) {
        __builtin_trap();
    }
    if (const auto picture = LoadPackedImage(block)) {
        renderer.SelectSource(&*picture);
        renderer.Copy(x, y, picture->width, picture->height, 0, 0);
        renderer.Add(x, y, picture->width + 3, picture->height, -2, 1, intensity);
        renderer.SelectSource(nullptr);
    }
    if (renderer.LoadFont(block)) {
        renderer.Text(x, y, "Varnex\n\x01 v1 ~\x7f", 0xFFFFFF);
    }
    renderer.EndFrame();
    renderer.Stop();
    return 0;
}
