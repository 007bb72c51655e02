#include "about/renderer.h"

#include "about/additive_blit.h"
#include "about/blit.h"
#include "about/glyph_text.h"

namespace varnex {

void Renderer::Start(int width, int height, int screenWidth, int screenHeight) {
    Stop();
    backBuffer_ =
        MakeSurface(width == 0 ? screenWidth : width, height == 0 ? screenHeight : height);
    clip_ = Bounds(backBuffer_);
}

void Renderer::Stop() {
    backBuffer_ = Surface{};
    clip_ = Rect{};
    SelectSource(nullptr);
    scaledSource_ = Surface{};
    font_.reset();
    window_ = nullptr;
}

bool Renderer::BeginFrame(FrameWindow& window) {
    const Rect visible = Intersect(window.visibleArea(), Bounds(backBuffer_));
    if (IsEmpty(visible)) {
        return false;
    }
    clip_ = visible;
    window_ = &window;
    return true;
}

void Renderer::EndFrame() {
    if (window_ != nullptr) {
        window_->copyToWindow(backBuffer_, clip_);
        window_ = nullptr;
    }
}

void Renderer::Fill(int x, int y, int width, int height, uint32_t colour) {
    FillRect(backBuffer_, clip_, Rect{x, y, width, height}, colour);
}

void Renderer::Copy(int x, int y, int width, int height, int sourceX, int sourceY) {
    if (source_ != nullptr) {
        CopyRect(backBuffer_, clip_, x, y, width, height, *source_, sourceX, sourceY);
    }
}

void Renderer::SelectSource(const Surface* picture) {
    source_ = picture;
    scaledIntensity_ = 0;
}

void Renderer::Add(int x, int y, int width, int height, int sourceX, int sourceY, int intensity) {
    if (source_ == nullptr || intensity <= 0) {
        return;
    }
    if (intensity >= kUnscaledIntensity) {
        AddRect(backBuffer_, clip_, x, y, width, height, *source_, sourceX, sourceY, intensity);
        return;
    }
    if (scaledIntensity_ != intensity) {
        ScaleColoursInto(*source_, intensity, scaledSource_);
        scaledIntensity_ = intensity;
    }
    AddRect(backBuffer_, clip_, x, y, width, height, scaledSource_, sourceX, sourceY,
            kUnscaledIntensity);
}

void Renderer::Text(int x, int y, std::string_view text, uint32_t colour) {
    if (font_) {
        DrawText(backBuffer_, clip_, *font_, x, y, text, colour);
    }
}

bool Renderer::LoadFont(std::span<const uint8_t> block) {
    font_ = LoadPackedFont(block);
    return font_.has_value();
}

}  // namespace varnex
