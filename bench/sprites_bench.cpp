// Frame cost of the sprite path: 2000 rotated, alpha-blended 32x32 sprites and 8000 coloured points into the
// canvas, on SDL's software renderer and on the default (usually accelerated) one. The label names the renderer.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cmath>
#include <string>

#include "platform/graphics.h"

namespace {

// Opens the canvas on the named renderer ("" = SDL's default choice); true when it is open.
bool OpenOn(const char* driver) {
    static std::string current = "?"; // renderer hint the canvas was opened with
    if (Graphics_IsOpen() && current == driver) return true;
    Graphics_Close();
    SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, driver, SDL_HINT_OVERRIDE);
    current = driver;
    return Graphics_Open(800, 600, true);
}

ImagePtr Sprite() {
    // A soft round blob: alpha falls off towards the edge.
    Pixmap pm = Pixmap_Create(32, 32, PF_RGBA8888);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const double d = std::hypot(x - 15.5, y - 15.5) / 16.0;
            const int a = d >= 1.0 ? 0 : int(255 * (1.0 - d));
            Pixmap_WritePixel(pm, x, y, uint32_t(a) << 24 | uint32_t(255 - x * 4) << 16 | uint32_t(y * 8) << 8 | 200u);
        }
    const ImagePtr img = Image_FromPixmap(pm, IMG_FILTERED);
    Image_CentreHandle(img);
    return img;
}

void DrawFrame(const ImagePtr& sprite, int frame) {
    Draw_Cls();
    Draw_SetBlend(BLEND_ALPHA);
    Draw_SetAlpha(0.7f);
    for (int i = 0; i < 2000; ++i) {
        Draw_SetRotation(float((i * 7 + frame * 3) % 360));
        Draw_Image(sprite, float((i * 37) % 800), float((i * 53) % 600));
    }
    Draw_SetRotation(0);
    Draw_SetAlpha(1.0f);
    for (int i = 0; i < 8000; ++i) {
        Draw_SetColor(i & 255, (i >> 3) & 255, (i >> 5) & 255);
        Draw_Rect(float((i * 13) % 800), float((i * 29) % 600), 1, 1);
    }
    Draw_SetColor(255, 255, 255);
    // Reading a pixel waits until the renderer has really drawn everything queued.
    benchmark::DoNotOptimize(Graphics_ReadPixels(0, 0, 1, 1));
}

void BM_SpritesAndPoints(benchmark::State& state, const char* driver) {
    if (!OpenOn(driver)) {
        state.SkipWithError("no renderer");
        return;
    }
    const ImagePtr sprite = Sprite();
    int frame = 0;
    for (auto _ : state)
        DrawFrame(sprite, frame++);
    state.SetLabel(Graphics_RendererName());
}

BENCHMARK_CAPTURE(BM_SpritesAndPoints, software, "software")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpritesAndPoints, default_renderer, "")->Unit(benchmark::kMillisecond);

} // namespace
