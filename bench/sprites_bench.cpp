// Frame cost of the sprite path: 2000 rotated, alpha-blended 32x32 sprites and 8000 coloured points into the
// canvas, on SDL's software renderer and on the default (usually accelerated) one. The label names the renderer.
// Then the cost of a blended pixel: 1000 tinted, unscaled 64x64 sprites onto an 800x600 ARGB canvas by SDL's
// software renderer (SDL_RenderCopy, as the batch's rectangles reach it) and by our sprite blitter; and untinted
// unscaled copies, alpha-blended and plain, by SDL and by Blit_Copy.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/graphics.h"
#include "platform/sprite_blit.h"

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

namespace {

constexpr int kBlitSprites = 1000, kBlitSize = 64;

// A soft blob of kBlitSize pixels a side as straight ARGB8888.
std::vector<uint32_t> Blob() {
    std::vector<uint32_t> px(size_t(kBlitSize * kBlitSize));
    for (int y = 0; y < kBlitSize; ++y)
        for (int x = 0; x < kBlitSize; ++x) {
            const double d = std::hypot(x - 31.5, y - 31.5) / 32.0;
            const uint32_t a = d >= 1.0 ? 0u : uint32_t(255 * (1.0 - d));
            px[size_t(y * kBlitSize + x)] = a << 24 | uint32_t(255 - x * 2) << 16 | uint32_t(y * 4) << 8 | 200u;
        }
    return px;
}

void Report(benchmark::State& state) {
    const double pixels = double(kBlitSprites) * kBlitSize * kBlitSize;
    state.counters["ns_per_pixel"] = benchmark::Counter(pixels * double(state.iterations()),
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// SDL's software renderer on an 800 x 600 canvas of our own, with the blob as a texture: what SDL's side measures.
struct SdlCanvas {
    std::vector<uint32_t> canvas = std::vector<uint32_t>(800 * 600, 0xFF203040u);
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(canvas.data(), 800, 600, 32, 800 * 4, SDL_PIXELFORMAT_ARGB8888);
    SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface);
    SDL_Texture* tex =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kBlitSize, kBlitSize);
    SdlCanvas() {
        const std::vector<uint32_t> blob = Blob();
        SDL_UpdateTexture(tex, nullptr, blob.data(), kBlitSize * 4);
    }
    ~SdlCanvas() {
        SDL_DestroyTexture(tex);
        SDL_DestroyRenderer(renderer);
        SDL_FreeSurface(surface);
    }
    SdlCanvas(const SdlCanvas&) = delete;
    SdlCanvas& operator=(const SdlCanvas&) = delete;
};

void BM_BlitSdl(benchmark::State& state, int blend) {
    SdlCanvas sdl;
    SDL_Renderer* renderer = sdl.renderer;
    SDL_Texture* tex = sdl.tex;
    SDL_SetTextureBlendMode(tex, blend == BLEND_ADDITIVE ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND);
    for (auto _ : state) {
        for (int i = 0; i < kBlitSprites; ++i) {
            SDL_SetTextureColorMod(tex, uint8_t(i * 7), 200, uint8_t(255 - i));
            SDL_SetTextureAlphaMod(tex, uint8_t(128 + i % 100));
            const SDL_Rect to{(i * 37) % 736, (i * 53) % 536, kBlitSize, kBlitSize};
            SDL_RenderCopy(renderer, tex, nullptr, &to);
        }
        SDL_RenderFlush(renderer);
        benchmark::DoNotOptimize(sdl.canvas.data());
    }
    Report(state);
}

// An 800 x 600 canvas of our own and the test sprite, as our blitter sees them.
struct OurCanvas {
    std::vector<uint32_t> canvas = std::vector<uint32_t>(800 * 600, 0xFF203040u);
    std::vector<uint32_t> blob = Blob();
    BlitPixels dst{canvas.data(), 800, 800, 600};
    BlitSource src{blob.data(), kBlitSize, kBlitSize, kBlitSize};
};

void BM_BlitOurs(benchmark::State& state, int blend) {
    OurCanvas ours;
    const BlitPixels& dst = ours.dst;
    const BlitSource& src = ours.src;
    for (auto _ : state) {
        for (int i = 0; i < kBlitSprites; ++i)
            Blit_Sprite(dst, Rect{0, 0, 800, 600}, src, (i * 37) % 736, (i * 53) % 536, uint8_t(i * 7), 200,
                        uint8_t(255 - i), uint8_t(128 + i % 100), blend);
        benchmark::DoNotOptimize(ours.canvas.data());
    }
    Report(state);
}

// Untinted unscaled copies (pieces, panels, glyphs), alpha-blended (SDL's MMX blit) or plain: SDL_RenderCopy on SDL's
// software renderer against Blit_Copy.
void BM_CopySdl(benchmark::State& state, int blend) {
    SdlCanvas sdl;
    SDL_SetTextureBlendMode(sdl.tex, blend == BLEND_SOLID ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    for (auto _ : state) {
        for (int i = 0; i < kBlitSprites; ++i) {
            const SDL_Rect to{(i * 37) % 736, (i * 53) % 536, kBlitSize, kBlitSize};
            SDL_RenderCopy(sdl.renderer, sdl.tex, nullptr, &to);
        }
        SDL_RenderFlush(sdl.renderer);
        benchmark::DoNotOptimize(sdl.canvas.data());
    }
    Report(state);
}

void BM_CopyOurs(benchmark::State& state, int blend) {
    OurCanvas ours;
    const BlitTint tint{255, 255, 255, 255, blend};
    for (auto _ : state) {
        for (int i = 0; i < kBlitSprites; ++i)
            Blit_Copy(ours.dst, kBlitCanvasArgb, Rect{0, 0, 800, 600}, ours.src, (i * 37) % 736, (i * 53) % 536, tint);
        benchmark::DoNotOptimize(ours.canvas.data());
    }
    Report(state);
}

// Stretched and turned sprites (additive, tinted) as the batch draws them: SDL_RenderGeometry's two triangles on
// SDL's software renderer against our blitter's quads. Pixels counted: the sprite's area on the canvas.
constexpr float kQuadScale[2] = {1.5f, 1.2f}, kQuadTurn[2] = {0.0f, 30.0f};

BlitQuad QuadAt(int i, int shape) {
    const float s = kQuadScale[shape], half = kBlitSize / 2.0f * s, rad = kQuadTurn[shape] * 0.017453292f;
    const float c = std::cos(rad), sn = std::sin(rad), cx = float(60 + (i * 37) % 680), cy = float(60 + (i * 53) % 480);
    const float px[4] = {-half, half, half, -half}, py[4] = {-half, -half, half, half};
    BlitQuad q;
    for (int k = 0; k < 4; ++k) {
        q.x[k] = cx + (shape ? px[k] * c - py[k] * sn : px[k]);
        q.y[k] = cy + (shape ? px[k] * sn + py[k] * c : py[k]);
    }
    return q;
}

void ReportQuads(benchmark::State& state, int shape) {
    const double pixels = double(kBlitSprites) * kBlitSize * kBlitSize * kQuadScale[shape] * kQuadScale[shape];
    state.counters["ns_per_pixel"] = benchmark::Counter(pixels * double(state.iterations()),
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_QuadSdl(benchmark::State& state, int shape) {
    SdlCanvas sdl;
    SDL_Renderer* renderer = sdl.renderer;
    SDL_Texture* tex = sdl.tex;
    SDL_SetTextureScaleMode(tex, SDL_ScaleModeLinear);
    SDL_SetTextureBlendMode(tex, SDL_BLENDMODE_ADD);
    const int indices[6] = {0, 1, 2, 0, 2, 3};
    const SDL_FPoint uv[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (auto _ : state) {
        for (int i = 0; i < kBlitSprites; ++i) {
            const BlitQuad q = QuadAt(i, shape);
            SDL_Vertex v[4];
            for (int k = 0; k < 4; ++k)
                v[k] = SDL_Vertex{
                    {q.x[k], q.y[k]}, {uint8_t(i * 7), 200, uint8_t(255 - i), uint8_t(128 + i % 100)}, uv[k]};
            SDL_RenderGeometry(renderer, tex, v, 4, indices, 6);
        }
        SDL_RenderFlush(renderer);
        benchmark::DoNotOptimize(sdl.canvas.data());
    }
    ReportQuads(state, shape);
}

void BM_QuadOurs(benchmark::State& state, int shape) {
    OurCanvas ours;
    const BlitPixels& dst = ours.dst;
    const BlitSource& src = ours.src;
    for (auto _ : state) {
        for (int i = 0; i < kBlitSprites; ++i)
            Blit_Quad(dst, Rect{0, 0, 800, 600}, src, QuadAt(i, shape),
                      BlitTint{uint8_t(i * 7), 200, uint8_t(255 - i), uint8_t(128 + i % 100), BLEND_ADDITIVE});
        benchmark::DoNotOptimize(ours.canvas.data());
    }
    ReportQuads(state, shape);
}

// Our stretched quads by instruction set (arguments: the BlitPath, the scale in tenths): grown, and shrunk past half
// (where a row takes its texels pixel by pixel).
void BM_StretchPath(benchmark::State& state) {
    const BlitPath path = BlitPath(state.range(0)), widest = Blit_UsePath(kBlitPathAvx2);
    if (Blit_UsePath(path) != path) {
        state.SkipWithError("instruction set not available");
        Blit_UsePath(widest);
        return;
    }
    const float scale = float(state.range(1)) / 10;
    OurCanvas ours;
    const BlitPixels& dst = ours.dst;
    const BlitSource& src = ours.src;
    const float half = kBlitSize / 2.0f * scale;
    int64_t pixels = 0;
    for (auto _ : state) {
        for (int i = 0; i < kBlitSprites; ++i) {
            const float cx = float(60 + (i * 37) % 680), cy = float(60 + (i * 53) % 480);
            BlitQuad q;
            const float px[4] = {-half, half, half, -half}, py[4] = {-half, -half, half, half};
            for (int k = 0; k < 4; ++k) {
                q.x[k] = cx + px[k];
                q.y[k] = cy + py[k];
            }
            pixels += Blit_Quad(dst, Rect{0, 0, 800, 600}, src, q, BlitTint{255, 200, 100, 200, BLEND_ADDITIVE});
        }
        benchmark::DoNotOptimize(ours.canvas.data());
    }
    Blit_UsePath(widest);
    state.counters["ns_per_pixel"] =
        benchmark::Counter(double(pixels), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_StretchPath)->ArgsProduct({{kBlitPathSse2, kBlitPathAvx2}, {15, 4}})->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(BM_QuadSdl, stretched, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuadOurs, stretched, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuadSdl, turned, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuadOurs, turned, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BlitSdl, alpha, int(BLEND_ALPHA))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BlitOurs, alpha, int(BLEND_ALPHA))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BlitSdl, additive, int(BLEND_ADDITIVE))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BlitOurs, additive, int(BLEND_ADDITIVE))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CopySdl, alpha, int(BLEND_ALPHA))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CopyOurs, alpha, int(BLEND_ALPHA))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CopySdl, plain, int(BLEND_SOLID))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CopyOurs, plain, int(BLEND_SOLID))->Unit(benchmark::kMillisecond);

} // namespace
