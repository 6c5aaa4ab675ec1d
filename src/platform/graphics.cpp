// The game window, the 800x600 canvas and all 2D drawing: state, images, rectangles, lines, text, read-back and
// screenshots, and the flip with its 60 Hz cap. Called by every screen; the event pump calls Graphics_HandleEvent.
//
// [SECTION] State
// [SECTION] Window and frame
// [SECTION] Drawing state
// [SECTION] Copies on the software renderer
// [SECTION] Scaled pictures
// [SECTION] Images
// [SECTION] Rectangles and lines
// [SECTION] Text
// [SECTION] Read-back and screenshots
#include "platform/graphics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/codecs.h"
#include "platform/font_internal.h"
#include "platform/frame_limiter.h"
#include "platform/frame_tally.h"
#include "platform/image_internal.h"
#include "platform/perf.h"
#include "platform/sdl_context.h"
#include "platform/sprite_batch.h"
#include "platform/sprite_blit.h"
#include "platform/stream.h"
#include "platform/system.h"

// ---- [SECTION] State ---------------------------------------------------------------------------------------------

namespace {
SDL_Window* g_window = nullptr;     // the game window; null while closed
SDL_Renderer* g_renderer = nullptr; // its renderer
SDL_Texture* g_canvas = nullptr;    // g_width x g_height render target while the window's size differs from it
                                    // (null while drawing goes straight to the window: 1.9 MB not held)
bool g_direct = false;              // drawing goes straight to the window (its size is the canvas's)
bool g_drawnSinceFlip = false;      // something was drawn (or cleared) in the frame being made
uint32_t g_generation = 0;          // bumped at every open and close (see Texture_Generation)
int g_width = kCanvasWidth;         // canvas width in pixels
int g_height = kCanvasHeight;       // canvas height in pixels
bool g_windowed = true;             // window (true) or desktop full screen
bool g_maximizedSeen = false;       // a maximise event arrived since the last mode switch
std::string g_rendererName;         // name SDL gives the renderer
bool g_nearestCopies = false;       // whole-pixel copies sample nearest (the GL renderers; see WholePixelSampling)
ImagePtr g_icon;                    // window icon, applied at open when set earlier
FrameLimiter g_limiter;             // schedule of the 60 Hz cap

// The drawing state every Draw_* call reads; Draw_ResetState puts a fresh one in place.
struct DrawState {
    int blend = BLEND_ALPHA;                          // current blend mode 1..5
    float alpha = 1.0f;                               // 0..1
    int colorR = 255, colorG = 255, colorB = 255;     // tint / primitive colour, 0..255
    float scaleX = 1.0f, scaleY = 1.0f;               // scale factors
    float rotation = 0.0f;                            // degrees, clockwise on screen
    Rect viewport{0, 0, kCanvasWidth, kCanvasHeight}; // clip rectangle in canvas pixels (clipped to the canvas)
};
DrawState g_draw;
FontPtr g_font;                         // current image font; null = the default font
int g_clsR = 0, g_clsG = 0, g_clsB = 0; // Draw_Cls colour
bool g_drawing = true;                  // Graphics_SetDrawing

// A cached layer (Layer_Reuse). Its picture is good while its texture is of the current renderer, no invalidation
// came since it was drawn and the key is the one it was drawn for.
struct Layer {
    SDL_Texture* texture = nullptr; // render target of the area's size; null until first used
    SDL_Point size{};               // the texture's size
    uint32_t generation = 0;        // renderer generation the texture belongs to
    uint32_t epoch = 0;             // g_layerEpoch when its picture was drawn
    uint64_t key = 0;               // what the picture shows
    SDL_Rect area{};                // the part of the canvas it stands for
    SDL_Rect covered{};             // the part of area the copies of this frame leave out (drawn over opaque later)
    bool valid = false;             // a picture was drawn for key, generation and epoch
    bool recording = false;         // between a Layer_Reuse that answered false and Layer_Done
    uint32_t redraws = 0;           // pictures drawn (Layer_Redraws)
};
std::array<Layer, kLayerSlots> g_layers;
uint32_t g_layerEpoch = 1; // bumped by Layers_Invalidate
// The canvas pixel at the current render target's top-left corner: a layer's area's corner while the layer is drawn
// (its texture holds only the area), else (0, 0). Drawing keeps canvas coordinates; the renderer's viewport moves
// them onto the target.
SDL_Point g_targetOrigin{};

constexpr SDL_BlendMode kSdlBlend[6] = {SDL_BLENDMODE_BLEND, SDL_BLENDMODE_BLEND, SDL_BLENDMODE_NONE,
                                        SDL_BLENDMODE_BLEND, SDL_BLENDMODE_ADD,   SDL_BLENDMODE_MOD};
constexpr double kPi = 3.14159265358979323846;

// SDL_Quit without Graphics_Close leaves the pointers dangling: once video is down, the window, renderer and every
// texture count as gone (their memory went with SDL), so late image destructors touch nothing.
bool RendererAlive() {
    if (g_renderer && !SDL_WasInit(SDL_INIT_VIDEO)) {
        g_canvas = nullptr;
        g_renderer = nullptr;
        g_window = nullptr;
        g_rendererName.clear();
        ++g_generation;
    }
    return g_renderer != nullptr;
}

uint8_t AlphaByte() { return uint8_t(g_draw.alpha * 255.0f); } // truncated: 0.5 -> 127

void ApplyClip() {
    if (!RendererAlive()) return;
    if (g_targetOrigin.x != 0 || g_targetOrigin.y != 0) { // switching targets resets the viewport too
        const SDL_Rect moved{-g_targetOrigin.x, -g_targetOrigin.y, g_width, g_height};
        SDL_RenderSetViewport(g_renderer, &moved);
    }
    if (g_draw.viewport.x == 0 && g_draw.viewport.y == 0 && g_draw.viewport.w == g_width &&
        g_draw.viewport.h == g_height) {
        SDL_RenderSetClipRect(g_renderer, nullptr);
    } else {
        const SDL_Rect r{g_draw.viewport.x, g_draw.viewport.y, g_draw.viewport.w, g_draw.viewport.h};
        SDL_RenderSetClipRect(g_renderer, &r);
    }
}

// False when a box of canvas pixels lies wholly outside the viewport, a pixel's margin around it included: the clip
// would let nothing of it through, so the call is not handed to the renderer at all. Each call costs the GL
// renderers their per-draw set-up however few pixels it draws (a panel's ends are drawn clipped to thin strips).
bool InViewport(float x0, float y0, float x1, float y1) {
    const Rect& v = g_draw.viewport;
    return x0 - 1 < float(v.x + v.w) && x1 + 1 > float(v.x) && y0 - 1 < float(v.y + v.h) && y1 + 1 > float(v.y);
}

// False when the current state draws nothing at all (empty viewport, masked below half alpha).
bool Drawable() {
    if (!g_drawing || !RendererAlive() || g_draw.viewport.w <= 0 || g_draw.viewport.h <= 0) return false;
    if (g_draw.blend == BLEND_MASKED && g_draw.alpha < 0.5f) return false;
    g_drawnSinceFlip = true;
    return true;
}

// Where the frames are drawn. When the window's pixels are the canvas's (a window of its size), straight into the
// window: one full-screen pass less per frame than drawing into the canvas texture and copying that to the window
// (which is what a scaled window or full screen needs). Chosen at the start of each frame, after the events (a resize
// among them). The canvas's picture is carried into the window at the switch, so a frame that draws nothing still
// shows the last one. The other way the window's picture is gone with its old size (a mode switch moves it into the
// canvas first, Graphics_SetWindowed), and a frame after a resize by the player draws its picture anew.
// Makes the canvas texture when there is none (cleared to black); false when the renderer refuses it.
bool MakeCanvas() {
    if (g_canvas) return true;
    g_canvas = SDL_CreateTexture(g_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, g_width, g_height);
    if (!g_canvas) return false;
    SDL_SetTextureScaleMode(g_canvas, SDL_ScaleModeLinear);
    SDL_SetRenderTarget(g_renderer, g_canvas);
    SDL_SetRenderDrawColor(g_renderer, 0, 0, 0, 255);
    SDL_RenderClear(g_renderer);
    SDL_RenderFlush(g_renderer); // before anything is uploaded into it
    return true;
}

void ChooseTarget() {
    int w = 0, h = 0;
    const bool direct = SDL_GetRendererOutputSize(g_renderer, &w, &h) == 0 && w == g_width && h == g_height;
    if (direct == g_direct) return;
    if (direct) {
        SDL_SetRenderTarget(g_renderer, nullptr);
        if (g_canvas) {
            SDL_SetTextureBlendMode(g_canvas, SDL_BLENDMODE_NONE);
            SDL_RenderCopy(g_renderer, g_canvas, nullptr, nullptr);
            SDL_DestroyTexture(g_canvas); // made again when the window's size differs once more
            g_canvas = nullptr;
        }
    } else {
        if (!MakeCanvas()) return; // drawn into the window as it is, scaled by the logical size
        SDL_SetRenderTarget(g_renderer, g_canvas);
    }
    g_direct = direct;
    ApplyClip(); // switching targets drops the clip rectangle
}

void ApplyIcon() {
    if (!RendererAlive() || !g_icon || g_icon->frames.empty()) return;
    static std::vector<uint32_t> argb;
    Image_RestorePixels(*g_icon);
    const Pixmap& pm = g_icon->frames[0].pixels;
    Pixmap_ToArgb(pm, (g_icon->flags & IMG_MASKED) != 0, argb);
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(argb.data(), pm.width, pm.height, 32, pm.width * 4,
                                                        SDL_PIXELFORMAT_ARGB8888);
    if (!s) return;
    SDL_SetWindowIcon(g_window, s);
    SDL_FreeSurface(s);
}

// What the frames are drawn into while no layer is being drawn.
SDL_Texture* CanvasTarget() { return g_direct ? nullptr : g_canvas; }

// Copies a layer's area onto the canvas, opaque, within the viewport; without its covered part: the bands above and
// below it across the whole area, and the pieces left and right of it. The texture holds the area from its corner.
void CopyLayer(const Layer& l) {
    SDL_SetTextureBlendMode(l.texture, SDL_BLENDMODE_NONE);
    g_drawnSinceFlip = true;
    const SDL_Rect& a = l.area;
    const auto copy = [&](const SDL_Rect& p) {
        const SDL_Rect from{p.x - a.x, p.y - a.y, p.w, p.h};
        SDL_RenderCopy(g_renderer, l.texture, &from, &p);
    };
    SDL_Rect c{};
    if (!SDL_IntersectRect(&l.covered, &a, &c)) {
        copy(a);
        return;
    }
    const SDL_Rect parts[4] = {{a.x, a.y, a.w, c.y - a.y},
                               {a.x, c.y + c.h, a.w, a.y + a.h - c.y - c.h},
                               {a.x, c.y, c.x - a.x, c.h},
                               {c.x + c.w, c.y, a.x + a.w - c.x - c.w, c.h}};
    for (const SDL_Rect& p : parts)
        if (p.w > 0 && p.h > 0) copy(p);
}

} // namespace

uint32_t Texture_Generation() { return RendererAlive() ? g_generation : 0; }
SDL_Window* Sdl_Window() { return RendererAlive() ? g_window : nullptr; }
SDL_Renderer* Sdl_Renderer() { return RendererAlive() ? g_renderer : nullptr; }
SDL_Texture* Sdl_Canvas() { return RendererAlive() ? g_canvas : nullptr; }

// ---- [SECTION] Window and frame ----------------------------------------------------------------------------------

bool Graphics_Open(int w, int h, bool windowed) {
    if (RendererAlive()) {
        Graphics_SetWindowed(windowed);
        return true;
    }
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        Log_Print(std::string("graphics: no video: ") + SDL_GetError());
        return false;
    }
    g_width = std::clamp(w, 1, 8192);
    g_height = std::clamp(h, 1, 8192);
    // SDL switches batching off when the driver is chosen by a hint (as in the tests); ask for it explicitly.
    SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
    const Uint32 flags = SDL_WINDOW_RESIZABLE | (windowed ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    g_window = SDL_CreateWindow("Brisquel 2", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, g_width, g_height, flags);
    if (!g_window) {
        Log_Print(std::string("graphics: cannot open a window: ") + SDL_GetError());
        return false;
    }
    Perf_Phase("window");
    g_renderer = SDL_CreateRenderer(g_window, -1,
                                    SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC | SDL_RENDERER_TARGETTEXTURE);
    if (!g_renderer) g_renderer = SDL_CreateRenderer(g_window, -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_TARGETTEXTURE);
    Perf_Phase("renderer");
    if (g_renderer) SDL_RenderSetLogicalSize(g_renderer, g_width, g_height); // set on the window, before any target
    if (g_renderer && !SDL_RenderTargetSupported(g_renderer)) {
        SDL_DestroyRenderer(g_renderer);
        g_renderer = nullptr;
    }
    if (!g_renderer) {
        Log_Print(std::string("graphics: no renderer with a canvas: ") + SDL_GetError());
        if (g_renderer) SDL_DestroyRenderer(g_renderer);
        SDL_DestroyWindow(g_window);
        g_renderer = nullptr;
        g_window = nullptr;
        return false;
    }
    ++g_generation;
    SDL_RendererInfo info;
    g_rendererName = SDL_GetRendererInfo(g_renderer, &info) == 0 && info.name ? info.name : "";
    g_nearestCopies = g_rendererName != "software";
    g_direct = true; // no canvas yet: the window's size decides whether one is made
    g_windowed = windowed;
    g_limiter = FrameLimiter{};
    ChooseTarget();
    Draw_ResetState();
    SDL_SetRenderDrawColor(g_renderer, 0, 0, 0, 255);
    SDL_RenderClear(g_renderer);
    ApplyIcon();
    return true;
}

void Graphics_Close() {
    if (!RendererAlive()) return;
    // Destroying the renderer frees every texture made with it; the generation tells images and layers so.
    for (Layer& l : g_layers)
        l.recording = false;
    g_targetOrigin = SDL_Point{};
    if (g_canvas) SDL_DestroyTexture(g_canvas);
    SDL_DestroyRenderer(g_renderer);
    SDL_DestroyWindow(g_window);
    g_canvas = nullptr;
    g_renderer = nullptr;
    g_window = nullptr;
    g_rendererName.clear();
    ++g_generation;
}

bool Graphics_IsOpen() { return RendererAlive(); }
int Graphics_Width() { return g_width; }
int Graphics_Height() { return g_height; }
bool Graphics_Windowed() { return g_windowed; }
const char* Graphics_RendererName() { return g_rendererName.c_str(); }

void Graphics_SetWindowed(bool windowed) {
    g_windowed = windowed;
    g_maximizedSeen = false;
    Layers_Invalidate();
    if (!RendererAlive()) return;
    for (int i = 0; i < kLayerSlots; ++i)
        Layer_Done(i);
    // Queued drawing must reach the canvas first: the window change can drop the renderer's command queue. Drawn
    // straight into the window, the picture moves into the canvas texture first: the window's buffer goes with its
    // size.
    if (g_direct) {
        const Pixmap shown = Graphics_ReadPixels(0, 0, g_width, g_height);
        if (MakeCanvas()) {
            SDL_SetRenderTarget(g_renderer, g_canvas);
            g_direct = false;
            if (shown.width == g_width && shown.height == g_height)
                SDL_UpdateTexture(g_canvas, nullptr, shown.bytes.data(), shown.pitch);
        }
    }
    SDL_RenderFlush(g_renderer);
    if (windowed) {
        SDL_SetWindowFullscreen(g_window, 0);
        SDL_RestoreWindow(g_window);
        SDL_SetWindowSize(g_window, g_width, g_height);
        SDL_SetWindowPosition(g_window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    } else {
        SDL_SetWindowFullscreen(g_window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    if (!g_direct) SDL_SetRenderTarget(g_renderer, g_canvas); // until the next frame, when the window has its size
    ApplyClip();
}

void Graphics_Flip(int sync) {
    for (int i = 0; i < kLayerSlots; ++i)
        Layer_Done(i); // a layer still being drawn ends with its frame
    Sys_OnFrameDrawn();
    if (RendererAlive()) {
        if (g_drawing && !g_direct) {
            SDL_SetRenderTarget(g_renderer, nullptr);
            SDL_SetRenderDrawColor(g_renderer, 0, 0, 0, 255);
            SDL_RenderClear(g_renderer);
            SDL_SetTextureBlendMode(g_canvas, SDL_BLENDMODE_NONE);
            SDL_RenderCopy(g_renderer, g_canvas, nullptr, nullptr);
            SDL_RenderPresent(g_renderer);
            SDL_SetRenderTarget(g_renderer, g_canvas); // switching targets drops the clip rectangle
            ApplyClip();
        } else if (g_drawing && g_drawnSinceFlip) {
            // A window's buffer need not survive its present: a frame that drew nothing keeps the last one shown.
            SDL_RenderPresent(g_renderer);
        }
        g_drawnSinceFlip = false;
        uint64_t waitCpuNs = 0;
        if (sync != 0 && !Sys_FakeClockActive()) {
            const uint64_t cpu = Perf_ThreadCpuNs();
            FrameLimiter_Wait(g_limiter, LimiterClock_Real());
            waitCpuNs = Perf_ThreadCpuNs() - cpu;
        }
        Perf_OnFlip(waitCpuNs);
    }
    Sys_OnFlip();
    if (RendererAlive()) ChooseTarget();
}

void Graphics_SetDrawing(bool on) { g_drawing = on; }
bool Graphics_Drawing() { return g_drawing; }

void Draw_Cls() {
    if (!g_drawing || !RendererAlive()) return;
    g_drawnSinceFlip = true;
    SDL_SetRenderDrawColor(g_renderer, uint8_t(g_clsR), uint8_t(g_clsG), uint8_t(g_clsB), 255);
    SDL_RenderClear(g_renderer); // ignores the clip rectangle
}

void Draw_SetClsColor(int r, int g, int b) {
    g_clsR = std::clamp(r, 0, 255);
    g_clsG = std::clamp(g, 0, 255);
    g_clsB = std::clamp(b, 0, 255);
}

void Window_SetTitle(const Str& title) {
    if (RendererAlive()) SDL_SetWindowTitle(g_window, Str_ToUtf8(title).c_str());
}

void Window_SetIcon(const ImagePtr& img) {
    if (!img) return;
    g_icon = img;
    ApplyIcon();
}

bool Window_IsMinimized() { return RendererAlive() && (SDL_GetWindowFlags(g_window) & SDL_WINDOW_MINIMIZED) != 0; }

bool Window_IsVisible() {
    if (!RendererAlive()) return false;
    if (Sys_Headless()) return true;
    return (SDL_GetWindowFlags(g_window) & SDL_WINDOW_HIDDEN) == 0;
}

bool Window_IsMaximized() {
    if (!RendererAlive() || !g_windowed) return false;
    return g_maximizedSeen || (SDL_GetWindowFlags(g_window) & SDL_WINDOW_MAXIMIZED) != 0;
}

void Graphics_HandleEvent(const SDL_Event& ev) {
    // Render targets lose their pictures when the renderer is reset (a lost device, some drivers on a resize).
    if (ev.type == SDL_RENDER_TARGETS_RESET || ev.type == SDL_RENDER_DEVICE_RESET) Layers_Invalidate();
    if (ev.type != SDL_WINDOWEVENT || !g_window || ev.window.windowID != SDL_GetWindowID(g_window)) return;
    if (ev.window.event == SDL_WINDOWEVENT_MAXIMIZED) g_maximizedSeen = true;
    if (ev.window.event == SDL_WINDOWEVENT_RESTORED) g_maximizedSeen = false;
    if (ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) Layers_Invalidate();
}

// ---- [SECTION] Cached layers ---------------------------------------------------------------------------------------

bool Layer_Reuse(int layer, uint64_t key, Rect area, Rect covered) {
    if (layer < 0 || layer >= kLayerSlots) return false;
    SDL_Rect a{};
    const SDL_Rect whole{0, 0, g_width, g_height};
    const SDL_Rect asked = area.w <= 0 && area.h <= 0 ? whole : SDL_Rect{area.x, area.y, area.w, area.h};
    if (!SDL_IntersectRect(&asked, &whole, &a)) return false; // nothing to stand for
    Layer& l = g_layers[size_t(layer)];
    Layer_Done(layer); // a layer begun again before it was done: end the old picture first
    if (!g_drawing || !RendererAlive()) return false;
    if (l.generation != g_generation) { // made with an earlier renderer: gone with it
        l.texture = nullptr;
        l.valid = false;
    }
    l.covered = SDL_Rect{covered.x, covered.y, covered.w, covered.h};
    if (l.valid && l.epoch == g_layerEpoch && l.key == key && SDL_RectEquals(&l.area, &a)) {
        CopyLayer(l);
        return true;
    }
    if (l.texture && (l.size.x != a.w || l.size.y != a.h)) { // an area of another size: a target of its size
        SDL_DestroyTexture(l.texture);
        l.texture = nullptr;
    }
    if (!l.texture) {
        l.texture = SDL_CreateTexture(g_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, a.w, a.h);
        ++Frame_Tally.texturesMade;
        l.generation = g_generation;
        l.size = SDL_Point{a.w, a.h};
        if (!l.texture) {
            static bool told = false;
            if (!told) Log_Print(std::string("graphics: no texture for a cached layer: ") + SDL_GetError());
            told = true;
            return false; // drawn straight onto the canvas
        }
    }
    Batch_Flush(); // queued sprites belong below, on the canvas
    if (SDL_SetRenderTarget(g_renderer, l.texture) != 0) {
        SDL_SetRenderTarget(g_renderer, CanvasTarget());
        ApplyClip();
        return false;
    }
    g_targetOrigin = SDL_Point{a.x, a.y};
    ApplyClip(); // switching targets drops the clip rectangle and the viewport
    l.valid = false;
    l.recording = true;
    l.key = key;
    l.area = a;
    l.epoch = g_layerEpoch;
    return false;
}

void Layer_Done(int layer) {
    if (layer < 0 || layer >= kLayerSlots) return;
    Layer& l = g_layers[size_t(layer)];
    if (!l.recording) return;
    l.recording = false;
    if (!RendererAlive() || l.generation != g_generation) {
        g_targetOrigin = SDL_Point{};
        return;
    }
    Batch_Flush(); // the layer's own sprites go into it
    g_targetOrigin = SDL_Point{};
    SDL_SetRenderTarget(g_renderer, CanvasTarget());
    ApplyClip();
    // A picture that saw an invalidation while it was drawn is drawn again next time.
    l.valid = l.epoch == g_layerEpoch;
    ++l.redraws;
    CopyLayer(l);
}

void Layer_Release(int layer) {
    if (layer < 0 || layer >= kLayerSlots) return;
    Layer_Done(layer);
    Layer& l = g_layers[size_t(layer)];
    if (l.texture && l.generation == g_generation && RendererAlive()) SDL_DestroyTexture(l.texture);
    l.texture = nullptr;
    l.valid = false;
}

uint32_t Layer_Redraws(int layer) { return layer >= 0 && layer < kLayerSlots ? g_layers[size_t(layer)].redraws : 0; }

void Layers_Invalidate() { ++g_layerEpoch; }

// ---- [SECTION] Drawing state -------------------------------------------------------------------------------------

void Draw_SetBlend(int mode) {
    if (mode >= BLEND_MASKED && mode <= BLEND_MULTIPLY) g_draw.blend = mode;
}
int Draw_GetBlend() { return g_draw.blend; }
void Draw_SetAlpha(float a) { g_draw.alpha = std::isnan(a) ? 0.0f : std::clamp(a, 0.0f, 1.0f); }
float Draw_GetAlpha() { return g_draw.alpha; }

void Draw_SetColor(int r, int g, int b) {
    g_draw.colorR = std::clamp(r, 0, 255);
    g_draw.colorG = std::clamp(g, 0, 255);
    g_draw.colorB = std::clamp(b, 0, 255);
}

void Draw_GetColor(int& r, int& g, int& b) {
    r = g_draw.colorR;
    g = g_draw.colorG;
    b = g_draw.colorB;
}

void Draw_SetScale(float sx, float sy) {
    g_draw.scaleX = std::isfinite(sx) ? sx : 0.0f;
    g_draw.scaleY = std::isfinite(sy) ? sy : 0.0f;
}

void Draw_GetScale(float& sx, float& sy) {
    sx = g_draw.scaleX;
    sy = g_draw.scaleY;
}

void Draw_SetRotation(float degrees) { g_draw.rotation = std::isfinite(degrees) ? degrees : 0.0f; }
float Draw_GetRotation() { return g_draw.rotation; }

void Draw_SetViewport(int x, int y, int w, int h) {
    // Clipped to the canvas; an empty result draws nothing.
    const int x0 = std::clamp(x, 0, g_width), y0 = std::clamp(y, 0, g_height);
    const int x1 = std::clamp(int64_t(x) + std::max(w, 0), int64_t(0), int64_t(g_width));
    const int y1 = std::clamp(int64_t(y) + std::max(h, 0), int64_t(0), int64_t(g_height));
    g_draw.viewport = Rect{x0, y0, std::max(x1 - x0, 0), std::max(y1 - y0, 0)};
    ApplyClip();
}

Rect Draw_GetViewport() { return g_draw.viewport; }
void Draw_SetImageFont(const FontPtr& font) { g_font = font; }
FontPtr Draw_GetImageFont() { return g_font ? g_font : ImageFont_Default(); }

void Draw_ResetState() {
    g_draw = DrawState{};
    g_draw.viewport = Rect{0, 0, g_width, g_height};
    ApplyClip();
}

// ---- [SECTION] Copies on the software renderer ---------------------------------------------------------------------

// SDL's software renderer copies an unscaled picture with SDL_BlitSurface: per pixel several times slower than our
// blitter, and with a set-up per copy (the blit map made again whenever a texture's tint or blend changes). The
// copies straight onto the window's surface are drawn by Blit_Copy instead, which gives exactly SDL's pixels. Only
// those: a render target's pixels (the canvas texture of a scaled window, a layer being drawn) cannot be written in
// place, and the other renderers draw on a GPU.
namespace {
bool g_ownCopies = true;    // OwnCopies_Enable
int64_t g_ownCopyCount = 0; // OwnCopies_Drawn

bool SoftwareRenderer() {
    static uint32_t generation = 0;
    static bool software = false;
    if (generation != g_generation) {
        generation = g_generation;
        SDL_RendererInfo info{};
        software =
            RendererAlive() && SDL_GetRendererInfo(g_renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    }
    return software;
}

// Copies `from` of `tex` unscaled with its top-left corner at canvas pixel (x, y), with the texture's tint and blend,
// within the viewport, as SDL_RenderCopy would on the software renderer. False when it is not ours to draw (see above;
// and a texture that is not a streaming ARGB8888 one, a blend mode Blit_Copy leaves to SDL): the caller hands it to
// SDL.
bool OwnCopy(SDL_Texture* tex, const SDL_Rect& from, int x, int y) {
    if (!g_ownCopies || !SoftwareRenderer() || SDL_GetRenderTarget(g_renderer)) return false;
    float scaleX = 0, scaleY = 0;
    SDL_Rect view{};
    SDL_RenderGetScale(g_renderer, &scaleX, &scaleY);
    SDL_RenderGetViewport(g_renderer, &view);
    if (scaleX != 1.0f || scaleY != 1.0f || view.x != 0 || view.y != 0) return false;
    Uint32 format = 0;
    int access = 0, w = 0, h = 0;
    SDL_BlendMode mode = SDL_BLENDMODE_NONE;
    if (SDL_QueryTexture(tex, &format, &access, &w, &h) != 0 || format != SDL_PIXELFORMAT_ARGB8888 ||
        access != SDL_TEXTUREACCESS_STREAMING || SDL_GetTextureBlendMode(tex, &mode) != 0)
        return false;
    BlitTint tint;
    tint.blend = mode == SDL_BLENDMODE_NONE    ? BLEND_SOLID
                 : mode == SDL_BLENDMODE_BLEND ? BLEND_ALPHA
                 : mode == SDL_BLENDMODE_ADD   ? BLEND_ADDITIVE
                                               : 0;
    SDL_Surface* const surface = SDL_GetWindowSurface(g_window);
    if (tint.blend == 0 || !surface ||
        (surface->format->format != SDL_PIXELFORMAT_ARGB8888 && surface->format->format != SDL_PIXELFORMAT_RGB888))
        return false;
    SDL_GetTextureColorMod(tex, &tint.r, &tint.g, &tint.b);
    SDL_GetTextureAlphaMod(tex, &tint.a);
    // The software renderer's lock of a streaming texture is its surface itself: read in place, nothing written back.
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(tex, nullptr, &pixels, &pitch) != 0) return false;
    SDL_UnlockTexture(tex);
    SDL_RenderFlush(g_renderer); // what is queued lies below
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
    const BlitSource src{static_cast<const uint32_t*>(pixels) + size_t(from.y) * size_t(pitch / 4) + size_t(from.x),
                         pitch / 4, from.w, from.h};
    Blit_Copy(BlitPixels{static_cast<uint32_t*>(surface->pixels), surface->pitch / 4, surface->w, surface->h},
              surface->format->format == SDL_PIXELFORMAT_RGB888 ? kBlitCanvasXrgb : kBlitCanvasArgb, g_draw.viewport,
              src, x, y, tint);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    ++g_ownCopyCount;
    return true;
}

// Draws `from` of `tex` onto `to` with the texture's tint and blend: through OwnCopy when SDL would copy it unscaled
// (its whole-pixel size, truncated as SDL's software renderer truncates, that of `from`), else through SDL.
void CopyTexture(SDL_Texture* tex, const SDL_Rect& from, const SDL_FRect& to) {
    if (int(to.w) == from.w && int(to.h) == from.h && OwnCopy(tex, from, int(to.x), int(to.y))) return;
    SDL_RenderCopyF(g_renderer, tex, &from, &to);
}
} // namespace

void OwnCopies_Enable(bool on) { g_ownCopies = on; }
int64_t OwnCopies_Drawn() { return g_ownCopyCount; }

SDL_TextureAccess Texture_PictureAccess(bool dynamic) {
    return dynamic || SoftwareRenderer() ? SDL_TEXTUREACCESS_STREAMING : SDL_TEXTUREACCESS_STATIC;
}

// ---- [SECTION] Scaled pictures ---------------------------------------------------------------------------------

// SDL's software renderer stretches a filtered picture into a temporary surface at every draw and then blends that
// (most of a frame of a big board, where every tile and piece is drawn smaller than its picture). A picture drawn
// at one size again and again is stretched once, by SDL itself, into a texture of its own, which is then copied
// unscaled with the draw's tint and blend: SDL's own stretch and SDL's own blit, so the same pixels. The copies are
// kept per source texture, source rectangle and size (the tint and blend are the copy's, not the picture's), made
// at a size's second draw (a picture shrinking frame by frame is never stretched twice to one size), at most
// kScaledSlots of them and kScaledBytes of pixels, the longest unused going first.
namespace {
constexpr int kScaledSlots = 512;
constexpr int kScaledIndex = 2048;               // hash index slots (a power of two, a quarter full at most)
constexpr size_t kScaledBytes = size_t(2) << 20; // pixels of all copies together
constexpr int kScaledSeen = 64;                  // sizes drawn once, remembered until a later draw

struct ScaledKey {
    SDL_Texture* source = nullptr;
    SDL_Rect from{}; // the source rectangle
    int w = 0, h = 0;
    bool operator==(const ScaledKey& o) const {
        return source == o.source && from.x == o.from.x && from.y == o.from.y && from.w == o.from.w &&
               from.h == o.from.h && w == o.w && h == o.h;
    }
};

struct ScaledCopy {
    ScaledKey key;
    SDL_Texture* texture = nullptr; // null: a free slot
    uint64_t used = 0;              // ScaledCopies::clock at its last draw
};

struct ScaledCopies {
    std::array<ScaledCopy, kScaledSlots> copies{};
    std::array<int16_t, kScaledIndex> index{}; // copies' slots by key hash (linear probing), -1 free
    std::array<ScaledKey, kScaledSeen> seen{}; // sizes drawn once (round robin)
    int nextSeen = 0;
    int count = 0;           // copies held
    size_t bytes = 0;        // their pixels
    uint64_t clock = 0;      // counts draws
    uint32_t generation = 0; // renderer generation the copies belong to (0: none yet)
    bool software = false;   // that renderer is SDL's software one
};
ScaledCopies g_scaled;

uint32_t HashOf(const ScaledKey& k) {
    uint64_t h = uint64_t(reinterpret_cast<uintptr_t>(k.source)) * 0x9E3779B97F4A7C15ull;
    for (const int v : {k.from.x, k.from.y, k.from.w, k.from.h, k.w, k.h})
        h = (h ^ uint32_t(v)) * 0x100000001B3ull;
    return uint32_t(h >> 32);
}

void ReindexScaled() {
    g_scaled.index.fill(-1);
    for (int i = 0; i < kScaledSlots; ++i) {
        if (!g_scaled.copies[size_t(i)].texture) continue;
        uint32_t at = HashOf(g_scaled.copies[size_t(i)].key) & (kScaledIndex - 1);
        while (g_scaled.index[at] >= 0)
            at = (at + 1) & (kScaledIndex - 1);
        g_scaled.index[at] = int16_t(i);
    }
}

// Starts afresh for the current renderer (the copies of an earlier one went with it).
void ResetScaled() {
    g_scaled = ScaledCopies{};
    g_scaled.index.fill(-1);
    g_scaled.generation = g_generation;
    g_scaled.software = SoftwareRenderer();
}

void DropScaled(ScaledCopy& c) {
    if (c.texture && RendererAlive() && g_scaled.generation == g_generation) SDL_DestroyTexture(c.texture);
    g_scaled.bytes -= size_t(c.key.w) * size_t(c.key.h) * 4;
    --g_scaled.count;
    c = ScaledCopy{};
}

ScaledCopy* FindScaled(const ScaledKey& k) {
    for (uint32_t at = HashOf(k) & (kScaledIndex - 1); g_scaled.index[at] >= 0; at = (at + 1) & (kScaledIndex - 1)) {
        ScaledCopy& c = g_scaled.copies[size_t(g_scaled.index[at])];
        if (c.key == k) return &c;
    }
    return nullptr;
}

// The texture `from` of `source` stretched to w x h by SDL (no tint, no blend); null when SDL refuses. On the software
// renderer the stretch is then moved into a streaming texture, which our own copies can read (see OwnCopy).
SDL_Texture* StretchOnce(SDL_Texture* source, const SDL_Rect& from, int w, int h) {
    SDL_Texture* const t = SDL_CreateTexture(g_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, w, h);
    if (!t) return nullptr;
    ++Frame_Tally.texturesMade;
    SDL_Texture* const target = SDL_GetRenderTarget(g_renderer);
    SDL_Texture* const readable =
        SoftwareRenderer() ? SDL_CreateTexture(g_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, w, h)
                           : nullptr;
    Uint8 r = 255, g = 255, b = 255, a = 255;
    SDL_BlendMode mode = SDL_BLENDMODE_NONE;
    SDL_GetTextureColorMod(source, &r, &g, &b);
    SDL_GetTextureAlphaMod(source, &a);
    SDL_GetTextureBlendMode(source, &mode);
    bool made = SDL_SetRenderTarget(g_renderer, t) == 0;
    if (made) {
        SDL_SetTextureColorMod(source, 255, 255, 255);
        SDL_SetTextureAlphaMod(source, 255);
        SDL_SetTextureBlendMode(source, SDL_BLENDMODE_NONE);
        made = SDL_RenderCopy(g_renderer, source, &from, nullptr) == 0;
        if (made && SoftwareRenderer()) { // read back straight into the streaming texture's surface
            const SDL_Rect all{0, 0, w, h};
            void* pixels = nullptr;
            int pitch = 0;
            made = readable && SDL_LockTexture(readable, nullptr, &pixels, &pitch) == 0;
            if (made) {
                made = SDL_RenderReadPixels(g_renderer, &all, SDL_PIXELFORMAT_ARGB8888, pixels, pitch) == 0;
                SDL_UnlockTexture(readable);
            }
        }
        SDL_SetTextureColorMod(source, r, g, b);
        SDL_SetTextureAlphaMod(source, a);
        SDL_SetTextureBlendMode(source, mode);
    }
    made = SDL_SetRenderTarget(g_renderer, target) == 0 && made; // the switch back draws the stretch
    ApplyClip();                                                 // switching targets drops the clip rectangle
    if (!made || readable) SDL_DestroyTexture(t);
    if (!made && readable) SDL_DestroyTexture(readable);
    return !made ? nullptr : readable ? readable : t;
}

// The copy for k, made when k was drawn before and there is room (the longest unused copies go to make it).
ScaledCopy* MakeScaled(const ScaledKey& k) {
    const auto seen = std::find(g_scaled.seen.begin(), g_scaled.seen.end(), k);
    if (seen == g_scaled.seen.end()) {
        g_scaled.seen[size_t(g_scaled.nextSeen)] = k;
        g_scaled.nextSeen = (g_scaled.nextSeen + 1) % kScaledSeen;
        return nullptr;
    }
    *seen = ScaledKey{};
    const size_t bytes = size_t(k.w) * size_t(k.h) * 4;
    if (bytes > kScaledBytes / 8) return nullptr; // a big picture: SDL stretches it each time
    bool dropped = false;
    while (g_scaled.count >= kScaledSlots || g_scaled.bytes + bytes > kScaledBytes) {
        ScaledCopy* oldest = nullptr;
        for (ScaledCopy& c : g_scaled.copies)
            if (c.texture && (!oldest || c.used < oldest->used)) oldest = &c;
        DropScaled(*oldest);
        dropped = true;
    }
    SDL_Texture* const t = StretchOnce(k.source, k.from, k.w, k.h);
    if (dropped) ReindexScaled();
    if (!t) return nullptr;
    ++Frame_Tally.cachedStretches;
    Frame_Tally.cachedPx += int64_t(k.w) * k.h;
    ScaledCopy* slot = &g_scaled.copies[0];
    while (slot->texture)
        ++slot;
    *slot = ScaledCopy{k, t, 0};
    ++g_scaled.count;
    g_scaled.bytes += bytes;
    uint32_t at = HashOf(k) & (kScaledIndex - 1);
    while (g_scaled.index[at] >= 0)
        at = (at + 1) & (kScaledIndex - 1);
    g_scaled.index[at] = int16_t(slot - g_scaled.copies.data());
    return slot;
}

// Draws `from` of `tex` stretched onto `to` through a stretched copy, as SDL's software renderer would draw it; false
// when that would not give SDL's pixels (another renderer, unfiltered pictures, a rectangle the clip rectangle
// cuts: SDL then stretches only the part inside) or no copy is made yet.
bool DrawStretchedCopy(SDL_Texture* tex, const SDL_Rect& from, const SDL_FRect& to) {
    if (g_scaled.generation != g_generation) ResetScaled();
    if (!g_scaled.software) return false;
    // The software renderer's whole pixels: the corner and the size each truncated.
    const int x = int(to.x), y = int(to.y), w = int(to.w), h = int(to.h);
    if (w <= 0 || h <= 0 || (w == from.w && h == from.h)) return false;
    SDL_ScaleMode scale = SDL_ScaleModeNearest;
    if (SDL_GetTextureScaleMode(tex, &scale) != 0 || scale == SDL_ScaleModeNearest) return false;
    int tw = g_width, th = g_height;
    if (SDL_Texture* target = SDL_GetRenderTarget(g_renderer))
        SDL_QueryTexture(target, nullptr, nullptr, &tw, &th);
    else
        SDL_GetRendererOutputSize(g_renderer, &tw, &th);
    const Rect& c = g_draw.viewport;
    const bool inside = x >= c.x && y >= c.y && x + w <= c.x + c.w && y + h <= c.y + c.h;
    const bool crossing = x < 0 || y < 0 || x + w > tw || y + h > th; // stretched whole, then clipped
    if (!inside && !crossing) return false;
    const ScaledKey k{tex, from, w, h};
    ScaledCopy* copy = FindScaled(k);
    if (!copy) copy = MakeScaled(k);
    if (!copy) return false;
    copy->used = ++g_scaled.clock;
    Uint8 r = 255, g = 255, b = 255, a = 255;
    SDL_BlendMode mode = SDL_BLENDMODE_NONE;
    SDL_GetTextureColorMod(tex, &r, &g, &b);
    SDL_GetTextureAlphaMod(tex, &a);
    SDL_GetTextureBlendMode(tex, &mode);
    SDL_SetTextureColorMod(copy->texture, r, g, b);
    SDL_SetTextureAlphaMod(copy->texture, a);
    SDL_SetTextureBlendMode(copy->texture, mode);
    CopyTexture(copy->texture, SDL_Rect{0, 0, w, h}, SDL_FRect{float(x), float(y), float(w), float(h)});
    return true;
}
} // namespace

void ScaledCopies_Forget(SDL_Texture* source) {
    if (g_scaled.count == 0 || !source) return;
    bool dropped = false;
    for (ScaledCopy& c : g_scaled.copies)
        if (c.texture && c.key.source == source) {
            DropScaled(c);
            dropped = true;
        }
    for (ScaledKey& k : g_scaled.seen)
        if (k.source == source) k = ScaledKey{};
    if (dropped) ReindexScaled();
}

size_t ScaledCopies_Bytes() { return g_scaled.generation == g_generation ? g_scaled.bytes : 0; }

// SDL reads a texture's sampling when it runs its queue, so the draws queued before a change are run first. The GL
// renderers bind the texture to set it without SDL noting so: a bind and unbind through SDL makes it bind afresh at
// the next draw (else the next draw of the texture it last bound would sample this one).
void Texture_SetSampling(SDL_Texture* texture, SDL_ScaleMode mode) {
    SDL_ScaleMode now = mode;
    if (!texture || !RendererAlive() || SDL_GetTextureScaleMode(texture, &now) != 0 || now == mode) return;
    SDL_RenderFlush(g_renderer);
    SDL_SetTextureScaleMode(texture, mode);
    if (SDL_GL_BindTexture(texture, nullptr, nullptr) == 0) SDL_GL_UnbindTexture(texture);
}

// ---- [SECTION] Images -------------------------------------------------------------------------------------------

namespace {
// How a copy at whole pixels and at its picture's own size samples a texture that samples `own` otherwise. Every
// pixel's centre then falls on a texel's centre, where a filtered picture gives the texel itself; but llvmpipe (the
// GL renderer without a GPU) filters each pixel from four texels all the same, so on the GL renderers such copies
// sample nearest: the same pixels, about 0.1 CPU-s/s less on the idle board. SDL's software renderer copies such
// draws unfiltered anyway; there the sampling stays the picture's.
SDL_ScaleMode WholePixelSampling(SDL_ScaleMode own) { return g_nearestCopies ? SDL_ScaleModeNearest : own; }

Rect g_cover; // Graphics_SetCover's rectangle (w or h 0: none)

// True when the canvas box from (x0, y0) to (x1, y1) lies wholly beneath the cover, a pixel to spare on every side
// (the rounding of its edges), and what is drawn now goes to the canvas, not into a layer.
bool BeneathCover(float x0, float y0, float x1, float y1) {
    if (g_cover.w <= 0 || g_cover.h <= 0) return false;
    if (std::floor(x0) - 1 < float(g_cover.x) || std::ceil(x1) + 1 > float(g_cover.x + g_cover.w) ||
        std::floor(y0) - 1 < float(g_cover.y) || std::ceil(y1) + 1 > float(g_cover.y + g_cover.h))
        return false;
    return SDL_GetRenderTarget(g_renderer) == CanvasTarget();
}

// Draws `src` of a texture so that the point (hx, hy) of the source rectangle (w x h source pixels) lands on
// (x, y), scaled by (sx, sy) and turned by `rot` degrees about that point. Negative scales mirror. `own`: how the
// texture samples when scaled or turned.
void DrawTexture(SDL_Texture* tex, const SDL_Rect& src, float x, float y, float hx, float hy, float sx, float sy,
                 float rot, SDL_ScaleMode own) {
    if (!tex || sx == 0.0f || sy == 0.0f || src.w <= 0 || src.h <= 0) return;
    const float left = sx > 0 ? -hx * sx : (float(src.w) - hx) * sx;
    const float top = sy > 0 ? -hy * sy : (float(src.h) - hy) * sy;
    SDL_FRect dst{x + left, y + top, float(src.w) * std::fabs(sx), float(src.h) * std::fabs(sy)};
    const int flip = (sx < 0 ? SDL_FLIP_HORIZONTAL : 0) | (sy < 0 ? SDL_FLIP_VERTICAL : 0);
    if (rot == 0.0f && flip == 0) {
        const bool whole = sx == 1.0f && sy == 1.0f;
        if (whole) { // whole pixels for an unscaled copy, the same on every renderer
            dst.x = std::floor(dst.x);
            dst.y = std::floor(dst.y);
        }
        if (!InViewport(dst.x, dst.y, dst.x + dst.w, dst.y + dst.h) ||
            BeneathCover(dst.x, dst.y, dst.x + dst.w, dst.y + dst.h))
            return;
        ++Frame_Tally.copies;
        Frame_Tally.copyPx += int64_t(dst.w * dst.h);
        Texture_SetSampling(tex, whole ? WholePixelSampling(own) : own);
        if (!DrawStretchedCopy(tex, src, dst)) {
            if (dst.w != float(src.w) || dst.h != float(src.h)) {
                ++Frame_Tally.stretches;
                Frame_Tally.stretchPx += int64_t(dst.w * dst.h);
            }
            CopyTexture(tex, src, dst);
        }
        return;
    }
    // Turned about (x, y): within the circle through the rectangle's farthest corner.
    const float reach = std::hypot(std::max(std::fabs(left), std::fabs(left + dst.w)),
                                   std::max(std::fabs(top), std::fabs(top + dst.h)));
    if (!InViewport(x - reach, y - reach, x + reach, y + reach) ||
        BeneathCover(x - reach, y - reach, x + reach, y + reach))
        return;
    Texture_SetSampling(tex, own);
    const SDL_FPoint centre{-left, -top};
    ++Frame_Tally.copies;
    ++Frame_Tally.stretches;
    Frame_Tally.copyPx += int64_t(dst.w * dst.h);
    Frame_Tally.stretchPx += int64_t(dst.w * dst.h);
    SDL_RenderCopyExF(g_renderer, tex, &src, &dst, double(rot), &centre, SDL_RendererFlip(flip));
}

// The frame's texture set up with the current colour, alpha and blend; null when nothing is to be drawn.
SDL_Texture* PrepareFrame(Image& img, int frame, int mode = g_draw.blend) {
    if (!Drawable() || frame < 0 || frame >= int(img.frames.size())) return nullptr;
    if (mode == BLEND_MASKED && g_draw.blend != BLEND_MASKED) {
        // Glyphs in solid mode: their shape is tested like a masked image, at full strength.
    } else if ((mode == BLEND_ALPHA && g_draw.alpha <= 0.0f) || (mode == BLEND_MASKED && g_draw.alpha < 0.5f)) {
        return nullptr;
    }
    SDL_Texture* tex = Image_FrameTexture(img, frame, mode == BLEND_MASKED);
    if (!tex) return nullptr;
    const uint8_t alpha = mode == BLEND_MASKED ? 255 : AlphaByte();
    SDL_SetTextureColorMod(tex, uint8_t(g_draw.colorR), uint8_t(g_draw.colorG), uint8_t(g_draw.colorB));
    SDL_SetTextureAlphaMod(tex, alpha);
    // An opaque frame alpha-blended at full strength covers what lies below: a plain copy gives the same pixels,
    // and SDL's software renderer copies many times faster than it blends (full-screen backgrounds).
    const bool copy = mode == BLEND_ALPHA && alpha == 255 && img.frames[size_t(frame)].opaque;
    SDL_SetTextureBlendMode(tex, copy ? SDL_BLENDMODE_NONE : kSdlBlend[mode]);
    return tex;
}
} // namespace

// An unscaled, unturned, untinted frame alpha-blended at full strength: only its visible box is drawn, and its band
// of rows opaque all across is copied. The pixels are the same as those of one blended copy (a transparent texel
// leaves the canvas as it is, an opaque one replaces it); SDL's software renderer copies many times faster than it
// blends, and full-screen layers of the menus are mostly transparent or opaque. False: not such a draw.
namespace {
bool DrawInParts(const Image& img, int frame, SDL_Texture* tex, float x, float y) {
    if (g_draw.rotation != 0.0f || g_draw.scaleX != 1.0f || g_draw.scaleY != 1.0f || g_draw.blend != BLEND_ALPHA ||
        AlphaByte() != 255 || (g_draw.colorR & g_draw.colorG & g_draw.colorB) != 255)
        return false;
    const ImageFrame& f = img.frames[size_t(frame)];
    const SDL_Rect& v = f.visible;
    const int bandTop = std::clamp(f.opaqueTop, v.y, v.y + v.h),
              bandBottom = std::clamp(f.opaqueBottom, bandTop, v.y + v.h);
    if (v.w == img.width && v.h == img.height && bandBottom - bandTop < 16) return false; // nothing worth the parts
    const float left = std::floor(x - img.handleX), top = std::floor(y - img.handleY);
    const auto part = [&](int y0, int y1, int x0, int w, SDL_BlendMode mode) {
        if (y1 <= y0 || w <= 0) return;
        SDL_SetTextureBlendMode(tex, mode);
        const SDL_Rect src{x0, y0, w, y1 - y0};
        const SDL_FRect dst{left + float(x0), top + float(y0), float(w), float(y1 - y0)};
        if (!InViewport(dst.x, dst.y, dst.x + dst.w, dst.y + dst.h)) return;
        Texture_SetSampling(tex, WholePixelSampling(Image_Sampling(img)));
        CopyTexture(tex, src, dst);
    };
    part(v.y, bandTop, v.x, v.w, SDL_BLENDMODE_BLEND);
    part(bandTop, bandBottom, 0, img.width, SDL_BLENDMODE_NONE); // opaque rows span the whole width
    part(bandBottom, v.y + v.h, v.x, v.w, SDL_BLENDMODE_BLEND);
    return true;
}
} // namespace

void Graphics_SetCover(const Rect& r) { g_cover = r; }

void Draw_Image(const ImagePtr& img, float x, float y, int frame) {
    if (!img) return;
    SDL_Texture* tex = PrepareFrame(*img, frame);
    if (!tex) return;
    if (DrawInParts(*img, frame, tex, x, y)) return;
    DrawTexture(tex, SDL_Rect{0, 0, img->width, img->height}, x, y, img->handleX, img->handleY, g_draw.scaleX,
                g_draw.scaleY, g_draw.rotation, Image_Sampling(*img));
}

void Draw_ImageRect(const ImagePtr& img, float x, float y, float w, float h, int frame) {
    if (!img || img->width <= 0 || img->height <= 0) return;
    SDL_Texture* tex = PrepareFrame(*img, frame);
    if (!tex) return;
    // The frame is stretched to w x h (then the current scale applies); the handle stretches with it.
    const float sx = w / float(img->width) * g_draw.scaleX, sy = h / float(img->height) * g_draw.scaleY;
    DrawTexture(tex, SDL_Rect{0, 0, img->width, img->height}, x, y, img->handleX, img->handleY, sx, sy, g_draw.rotation,
                Image_Sampling(*img));
}

void Draw_ImagePart(const ImagePtr& img, float x, float y, int sx, int sy, int sw, int sh, int frame) {
    if (!img) return;
    // Clip the source rectangle to the frame, moving the destination by what was cut off on the left and top.
    const int x0 = std::max(sx, 0), y0 = std::max(sy, 0);
    const int x1 = int(std::min(int64_t(sx) + sw, int64_t(img->width)));
    const int y1 = int(std::min(int64_t(sy) + sh, int64_t(img->height)));
    if (x1 <= x0 || y1 <= y0) return;
    SDL_Texture* tex = PrepareFrame(*img, frame);
    if (!tex) return;
    DrawTexture(tex, SDL_Rect{x0, y0, x1 - x0, y1 - y0}, x, y, img->handleX - float(x0 - sx),
                img->handleY - float(y0 - sy), g_draw.scaleX, g_draw.scaleY, g_draw.rotation, Image_Sampling(*img));
}

// ---- [SECTION] Rectangles and lines ---------------------------------------------------------------------------

namespace {
bool PreparePrimitive() {
    if (!Drawable()) return false;
    const int mode = g_draw.blend == BLEND_MASKED ? BLEND_SOLID : g_draw.blend; // no texels to test: solid
    if (mode == BLEND_ALPHA && g_draw.alpha <= 0.0f) return false;
    SDL_SetRenderDrawBlendMode(g_renderer, kSdlBlend[mode]);
    SDL_SetRenderDrawColor(g_renderer, uint8_t(g_draw.colorR), uint8_t(g_draw.colorG), uint8_t(g_draw.colorB),
                           g_draw.blend == BLEND_MASKED ? 255 : AlphaByte());
    return true;
}

// A point (dx, dy) from the origin after the current scale and rotation.
SDL_FPoint Transform(float ox, float oy, float dx, float dy) {
    dx *= g_draw.scaleX;
    dy *= g_draw.scaleY;
    if (g_draw.rotation == 0.0f) return SDL_FPoint{ox + dx, oy + dy};
    const double a = double(g_draw.rotation) * kPi / 180.0, c = std::cos(a), s = std::sin(a);
    return SDL_FPoint{float(ox + dx * c - dy * s), float(oy + dx * s + dy * c)};
}
} // namespace

void Draw_Rect(float x, float y, float w, float h, bool filled) {
    if (!PreparePrimitive() || w <= 0 || h <= 0) return;
    if (g_draw.rotation == 0.0f) {
        float rw = w * g_draw.scaleX, rh = h * g_draw.scaleY;
        float rx = rw < 0 ? x + rw : x, ry = rh < 0 ? y + rh : y;
        rw = std::fabs(rw);
        rh = std::fabs(rh);
        if (g_draw.scaleX == 1.0f && g_draw.scaleY == 1.0f) {
            rx = std::floor(rx);
            ry = std::floor(ry);
        }
        const SDL_FRect r{rx, ry, rw, rh};
        if (!InViewport(rx, ry, rx + rw, ry + rh)) return;
        if (filled)
            SDL_RenderFillRectF(g_renderer, &r);
        else
            SDL_RenderDrawRectF(g_renderer, &r);
        return;
    }
    const SDL_FPoint p[4] = {Transform(x, y, 0, 0), Transform(x, y, w, 0), Transform(x, y, w, h),
                             Transform(x, y, 0, h)};
    const auto [minX, maxX] = std::minmax({p[0].x, p[1].x, p[2].x, p[3].x});
    const auto [minY, maxY] = std::minmax({p[0].y, p[1].y, p[2].y, p[3].y});
    if (!InViewport(minX, minY, maxX, maxY)) return;
    if (!filled) {
        const SDL_FPoint loop[5] = {p[0], p[1], p[2], p[3], p[0]};
        SDL_RenderDrawLinesF(g_renderer, loop, 5);
        return;
    }
    const SDL_Color c{uint8_t(g_draw.colorR), uint8_t(g_draw.colorG), uint8_t(g_draw.colorB),
                      g_draw.blend == BLEND_MASKED ? uint8_t(255) : AlphaByte()};
    SDL_Vertex v[4];
    for (int i = 0; i < 4; ++i)
        v[i] = SDL_Vertex{p[i], c, SDL_FPoint{0, 0}};
    const int idx[6] = {0, 1, 2, 0, 2, 3};
    SDL_RenderGeometry(g_renderer, nullptr, v, 4, idx, 6);
}

void Draw_Line(float x1, float y1, float x2, float y2) {
    if (!PreparePrimitive()) return;
    SDL_FPoint b = Transform(x1, y1, x2 - x1, y2 - y1);
    SDL_FPoint a{x1, y1};
    if (g_draw.rotation == 0.0f && g_draw.scaleX == 1.0f && g_draw.scaleY == 1.0f) {
        a = SDL_FPoint{std::floor(a.x), std::floor(a.y)};
        b = SDL_FPoint{std::floor(b.x), std::floor(b.y)};
    }
    SDL_RenderDrawLineF(g_renderer, a.x, a.y, b.x, b.y);
}

// ---- [SECTION] Text ------------------------------------------------------------------------------------------------

void Draw_Text(const Str& text, float x, float y) {
    if (text.empty() || !Drawable()) return;
    ++Frame_Tally.texts;
    const FontPtr font = Draw_GetImageFont();
    if (!font) return;
    Image& atlas = ImageFont_Atlas(*font);
    const bool plain = g_draw.rotation == 0.0f && g_draw.scaleX == 1.0f && g_draw.scaleY == 1.0f;
    if (plain) {
        x = std::floor(x);
        y = std::floor(y);
    }
    // Solid or multiplied text would fill the glyph boxes whole: the glyph shapes are alpha-tested instead, and a
    // multiply leaves the untouched texels (black, alpha 0, in the tested copy) alone through SDL's MUL mode.
    const int mode = (g_draw.blend == BLEND_SOLID || g_draw.blend == BLEND_MULTIPLY) ? BLEND_MASKED : g_draw.blend;
    const auto prepare = [&] {
        SDL_Texture* t = PrepareFrame(atlas, 0, mode);
        if (t && g_draw.blend == BLEND_MULTIPLY) SDL_SetTextureBlendMode(t, SDL_BLENDMODE_MUL);
        return t;
    };
    SDL_Texture* tex = prepare();
    if (!tex) return;
    int pen = 0;
    for (const char16_t unit : text) {
        const Glyph* g = ImageFont_Glyph(*font, char32_t(unit));
        if (!g) continue;
        if (g->w > 0 && g->h > 0) {
            if (atlas.frames[0].dirty) { // the glyph was just added to the atlas: upload it again
                tex = prepare();
                if (!tex) return;
            }
            const SDL_FPoint at = Transform(x, y, float(pen + g->left), float(g->top));
            DrawTexture(tex, SDL_Rect{g->x, g->y, g->w, g->h}, at.x, at.y, 0, 0, g_draw.scaleX, g_draw.scaleY,
                        g_draw.rotation, Image_Sampling(atlas, mode == BLEND_MASKED));
        }
        pen += g->advance;
    }
}

int Text_Width(const Str& text) { return ImageFont_TextWidth(Draw_GetImageFont(), text); }
int Text_Height(const Str& text) { return ImageFont_Height(Draw_GetImageFont()); }

// ---- [SECTION] Read-back and screenshots ---------------------------------------------------------------------

Pixmap Graphics_ReadPixels(int x, int y, int w, int h) {
    if (!RendererAlive()) return Pixmap_Create(0, 0, PF_BGRA8888);
    const int x0 = std::clamp(x, 0, g_width), y0 = std::clamp(y, 0, g_height);
    const int x1 = int(std::clamp(int64_t(x) + std::max(w, 0), int64_t(0), int64_t(g_width)));
    const int y1 = int(std::clamp(int64_t(y) + std::max(h, 0), int64_t(0), int64_t(g_height)));
    Pixmap pm = Pixmap_Create(x1 - x0, y1 - y0, PF_BGRA8888);
    if (pm.width == 0 || pm.height == 0) return pm;
    const SDL_Rect r{x0, y0, pm.width, pm.height};
    if (SDL_RenderReadPixels(g_renderer, &r, SDL_PIXELFORMAT_ARGB8888, pm.bytes.data(), pm.pitch) != 0) {
        Log_Print(std::string("graphics: cannot read the canvas: ") + SDL_GetError());
        return Pixmap_Create(0, 0, PF_BGRA8888);
    }
    // The canvas is opaque as far as the game is concerned; solid draws may have left other alpha values in it.
    for (size_t i = 3; i < pm.bytes.size(); i += 4)
        pm.bytes[i] = 255;
    return pm;
}

void Image_GrabBackBuffer(const ImagePtr& img, int x, int y, int frame) {
    Pixmap* target = Image_Lock(img, frame, LOCK_WRITE);
    if (!target) return;
    Pixmap grab = Pixmap_Create(img->width, img->height, PF_BGRA8888);
    const Pixmap part = Graphics_ReadPixels(x, y, img->width, img->height);
    // Place what lies on the canvas at its offset; the rest stays transparent black.
    const int ox = std::max(0, -x), oy = std::max(0, -y);
    for (int row = 0; row < part.height && oy + row < grab.height; ++row)
        std::copy_n(part.bytes.data() + size_t(row) * part.pitch, size_t(std::min(part.width, grab.width - ox)) * 4,
                    grab.bytes.data() + size_t(oy + row) * grab.pitch + size_t(ox) * 4);
    *target = std::move(grab);
    Image_Unlock(img, frame);
}

bool Graphics_SaveScreenshot(const Str& path) {
    const Pixmap pm = Pixmap_Convert(Graphics_ReadPixels(0, 0, g_width, g_height), PF_RGB888); // opaque
    const std::vector<uint8_t> png = Png_Encode(pm);
    if (png.empty()) return false;
    const StreamPtr out = File_WriteAtomic(path);
    if (!out) {
        Log_Print(u"graphics: cannot write " + path);
        return false;
    }
    Stream_WriteBytes(*out, png.data(), png.size());
    return out->Close();
}
