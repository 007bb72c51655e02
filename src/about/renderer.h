// The About box's software renderer: a back buffer drawn by the operations
// below and copied, frame by frame, to whatever window shows it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include "about/packed_font.h"
#include "about/surface.h"

namespace varnex {

// What the renderer needs from the window it draws into.
struct FrameWindow {
    // The window's visible part in back-buffer pixels; empty when hidden.
    std::function<Rect()> visibleArea = [] { return Rect{}; };
    // Shows the given part of the back buffer at the same place in the window.
    std::function<void(const Surface& backBuffer, const Rect& area)> copyToWindow =
        [](const Surface&, const Rect&) {};
};

class Renderer {
  public:
    // A size of 0 takes the screen's. Any earlier back buffer is released.
    void Start(int width, int height, int screenWidth, int screenHeight);
    // Releases the back buffer and the font.
    void Stop();
    bool Started() const { return !backBuffer_.pixels.empty(); }

    // False (and no frame is to be drawn) when nothing of the window is
    // visible; otherwise its visible part becomes the clip rectangle.
    bool BeginFrame(FrameWindow& window);
    void EndFrame();

    void Fill(int x, int y, int width, int height, uint32_t colour);
    // The picture the next Copy and Add read; it must stay as it is while
    // selected.
    void SelectSource(const Surface* picture);
    void Copy(int x, int y, int width, int height, int sourceX, int sourceY);
    void Add(int x, int y, int width, int height, int sourceX, int sourceY, int intensity);
    void Text(int x, int y, std::string_view text, uint32_t colour);

    // False, keeping no font, when the block is not a font.
    bool LoadFont(std::span<const uint8_t> block);

    const Surface& BackBuffer() const { return backBuffer_; }
    const Rect& Clip() const { return clip_; }

  private:
    Surface backBuffer_;
    Rect clip_;
    const Surface* source_ = nullptr;
    // The selected picture scaled for the last intensity it was added at:
    // the particle field adds one picture at one intensity a thousand times.
    Surface scaledSource_;
    int scaledIntensity_ = 0;
    std::optional<Font> font_;
    FrameWindow* window_ = nullptr;
};

}  // namespace varnex
