// The About box's frame, its additive sprite blit against a plain
// per-colour loop, and LZW expansion.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "about/about_assets.h"
#include "about/about_frame.h"
#include "about/additive_blit.h"
#include "about/lzw_stream.h"
#include "about/packed_image.h"

namespace varnex {
namespace {

void BM_AboutFrame(benchmark::State& state) {
    Renderer renderer;
    AboutState about;
    const auto pictures = OpenAbout(renderer, about);
    FrameWindow window{
        [] {
            return Rect{0, 0, kAboutPictureWidth, kAboutPictureHeight};
        },
        [](const Surface& s, const Rect&) { benchmark::DoNotOptimize(s.pixels.data()); }};
    for (auto _ : state) {
        DrawAboutFrame(renderer, *pictures, about, "1.8.6-bench", window);
    }
}
BENCHMARK(BM_AboutFrame)->Unit(benchmark::kMicrosecond)->Repetitions(7)->ReportAggregatesOnly();

// The particle field's additions alone: 1000 sprites of 16 x 16 at 200.
struct SpriteField {
    Surface picture = MakeSurface(kAboutPictureWidth, kAboutPictureHeight);
    Surface sprite = *LoadPackedImage(PackedParticleSprite());
    std::array<ParticlePosition, kParticleCount> positions = ParticlePositions(0);
};

// What the packed arithmetic replaces: one colour at a time.
void AddPerColour(uint32_t* destination, const uint32_t* source, int count, int intensity) {
    for (int i = 0; i < count; ++i) {
        uint32_t result = destination[i] & 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            const uint32_t added = ((source[i] >> shift) & 0xFFu) * intensity / 256;
            result |= std::min<uint32_t>(((destination[i] >> shift) & 0xFFu) + added, 255) << shift;
        }
        destination[i] = result;
    }
}

template <void (*Add)(uint32_t*, const uint32_t*, int, int)>
void BM_SpriteField(benchmark::State& state) {
    SpriteField field;
    const Rect clip = Bounds(field.picture);
    for (auto _ : state) {
        std::fill(field.picture.pixels.begin(), field.picture.pixels.end(), 0);
        for (const auto& p : field.positions) {
            const auto area = ClipBlit(clip, field.picture, p.x, p.y, 16, 16, field.sprite, 0, 0);
            if (!area) {
                continue;
            }
            for (int row = 0; row < area->height; ++row) {
                Add(field.picture.Row(area->y + row) + area->x,
                    field.sprite.Row(area->sourceY + row) + area->sourceX, area->width, 200);
            }
        }
        benchmark::DoNotOptimize(field.picture.pixels.data());
    }
}
BENCHMARK(BM_SpriteField<AddPerColour>)
    ->Name("BM_SpriteField/per_colour_loop")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SpriteField<AddPixelsPortable>)
    ->Name("BM_SpriteField/portable_words")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SpriteField<AddPixels>)->Name("BM_SpriteField/packed")->Unit(benchmark::kMicrosecond);

// The field as the frame draws it: the renderer scales the sprite once and
// adds it unscaled.
void BM_SpriteFieldThroughRenderer(benchmark::State& state) {
    SpriteField field;
    Renderer renderer;
    renderer.Start(kAboutPictureWidth, kAboutPictureHeight, 0, 0);
    for (auto _ : state) {
        renderer.Fill(0, 0, kAboutPictureWidth, kAboutPictureHeight, 0);
        renderer.SelectSource(&field.sprite);
        for (const auto& p : field.positions) {
            renderer.Add(p.x, p.y, 16, 16, 0, 0, 200);
        }
        benchmark::DoNotOptimize(renderer.BackBuffer().pixels.data());
    }
}
BENCHMARK(BM_SpriteFieldThroughRenderer)->Unit(benchmark::kMicrosecond);

// Unscaled rows of 400 pixels: the sixteen-pixel step.
void BM_AddUnscaledRow(benchmark::State& state) {
    std::vector<uint32_t> destination(400, 0x00101010), source(400, 0x00010101);
    for (auto _ : state) {
        AddPixels(destination.data(), source.data(), 400, kUnscaledIntensity);
        benchmark::DoNotOptimize(destination.data());
    }
    state.SetItemsProcessed(state.iterations() * 400);
}
BENCHMARK(BM_AddUnscaledRow);

void BM_LzwDecodeLogo(benchmark::State& state) {
    const auto block = PackedAboutLogo();
    const auto stream = block.subspan(kPackedImageHeaderSize);
    std::vector<uint8_t> output(150 * 119 * 2);
    for (auto _ : state) {
        benchmark::DoNotOptimize(DecodeLzwStream(stream, output));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(output.size()));
}
BENCHMARK(BM_LzwDecodeLogo);

}  // namespace
}  // namespace varnex
