// The sprite batch and the shared atlas behind sprite_batch.h: quads built on the CPU (scale, rotation about the
// handle, colour and alpha) and drawn by our blitter or with one SDL_RenderGeometry call per texture/blend/clip run.
// Called by the effects and particles; reads the drawing state and renderer of graphics.cpp.
#include "platform/sprite_batch.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/frame_tally.h"
#include "platform/graphics.h"
#include "platform/image_internal.h"
#include "platform/sdl_context.h"
#include "platform/sprite_blit.h"

namespace {

constexpr int kPage = 2048;    // atlas page width, and the most rows a page grows to
constexpr int kPageRows = 256; // least height of a page's texture on SDL's software renderer (see PageRows)
constexpr int kRowStep = 64;   // a page's texture height elsewhere: the rows its images fill, in steps of this
constexpr int kPad = 1;        // empty pixels between packed frames (no bleeding when filtered)

// A page holds no pixels of its own: the texture is painted from its images (which keep their pixels or decode them
// again) when it is made and as images join, so each picture is in memory once. On the software renderer the
// texture is a streaming one, the same surface as a static one there, whose lock hands out its own pixels: the
// blitter reads them in place.
struct AtlasPage {
    int used = 0;                   // rows its images fill
    int rows = 0;                   // its texture's height (PageRows), kept up to date as it grows or the path changes
    SDL_Texture* texture = nullptr; // the page's pixels (premultiplied on the one-blend path); null until drawn
    uint32_t generation = 0;        // renderer generation of the texture
    bool premultiplied = false;     // how the texture was painted
    bool streaming = false;         // the texture is streaming (software renderer)
    std::vector<ImagePtr> images;   // packed on the page, in order; kept alive, so no pointer is ever reused
    size_t painted = 0;             // images [0, painted) are in the texture
    int penX = 0, penY = 0, shelfH = 0;
};

// A frame is packed without its transparent margin: only the box of its visible texels, one transparent texel
// round it kept where the frame has it (a bilinear stretch then fades out at the edge as it did). Drawn at the
// frame's offset, so a sprite lands where and as large as the whole frame would; the blank texels it leaves out
// would have changed no pixel in either blend.
struct AtlasFrame {
    SDL_Rect at{}; // where the trimmed frame lies on its page (w 0: nothing visible, nothing packed)
    int dx = 0;    // the trimmed box's top-left within the frame
    int dy = 0;
    // The same as floats, made once when packed (a sprite reads them instead of converting them each time): the
    // trimmed box within the frame and its texture columns (the page is kPage wide, a power of two: exact).
    float boxL = 0, boxT = 0, boxR = 0, boxB = 0;
    float u0 = 0, u1 = 0;
    // Its texture rows' edges, worked out for a page texture `vRows` high (0: not yet); a sprite works them out
    // again only when its page's height has changed since.
    float v0 = 0, v1 = 0;
    int vRows = 0;
};

// Fills the frame's floats from its integer place.
void AtlasFrame_SetFloats(AtlasFrame& f) {
    f.boxL = float(f.dx);
    f.boxT = float(f.dy);
    f.boxR = float(f.dx + f.at.w);
    f.boxB = float(f.dy + f.at.h);
    f.u0 = float(f.at.x) / kPage;
    f.u1 = float(f.at.x + f.at.w) / kPage;
}

struct AtlasEntry {
    int page = 0;
    std::vector<AtlasFrame> frames;
};

struct Atlas {
    std::vector<std::unique_ptr<AtlasPage>> pages;
    std::unordered_map<const Image*, AtlasEntry> entries;
};

Atlas& TheAtlas() {
    static Atlas atlas;
    return atlas;
}

// What a queued quad samples: its atlas frame, the whole of the run's image, or the first page's white block.
enum QuadSource : uint8_t { kQuadAtlas, kQuadWhole, kQuadWhite };

// One queued sprite or line, made once: our blitter reads it as it stands on the software renderer, and the
// vertices SDL_RenderGeometry takes are built from it only when a run goes to SDL (at the flush).
struct BatchQuad {
    BlitQuad corners;        // on the canvas: the frame's top-left, top-right, bottom-right, bottom-left
    const AtlasFrame* frame; // kQuadAtlas: its place on the run's page (row edges valid for the page)
    SDL_Color colour;        // straight, not premultiplied
    uint8_t blend;           // BLEND_ALPHA or BLEND_ADDITIVE
    QuadSource source;
};
static_assert(sizeof(BatchQuad) <= 48, "a queued quad fits in less than 4 SDL vertices");

// Marks a run of atlas sprites for our blitter in Run::blend: alpha and additive sprites share it, each carries its
// own blend (the few SDL must draw itself go to it at the flush, in their place).
constexpr int kBlitRun = -1;

// The run being gathered: every quad in it shares the key (texture source), blend and clip.
struct Run {
    const void* key = nullptr; // atlas page, image frame, or null for untextured quads
    const AtlasPage* page = nullptr;
    ImagePtr image; // image of a frame outside the atlas
    int frame = 0;
    int blend = BLEND_ALPHA;
    std::vector<BatchQuad> quads; // storage; the first `count` are the run's (grown, never shrunk)
    size_t count = 0;
    std::vector<SDL_Vertex> vertices; // the quads handed to SDL, built at the flush (grown, never shrunk)
};

Run g_run; // the run being gathered
Run& TheRun() { return g_run; }

BatchStats g_stats;
Rect g_cover;                // Batch_SetCover's rectangle (w or h 0: none)
bool g_atlasChanged = false; // an image joined the atlas: look-ups remembered before are stale

// One blend for every atlas run: the pages are uploaded premultiplied and drawn with (ONE, ONE_MINUS_SRC_ALPHA);
// an alpha-blended quad carries (r*a, g*a, b*a, a) in its vertices, an additive one (r*a, g*a, b*a, 0), so alpha and
// additive quads share one geometry call. Renderers without custom blend modes (the software one) keep the two
// blend modes and straight pages. Without a renderer the batch counts as the one-blend path would draw.
int g_oneBlendGen = -1; // renderer generation the probe below belongs to
bool g_oneBlend = true; // the one-blend path is in use
const SDL_BlendMode kPremulBlend =
    SDL_ComposeCustomBlendMode(SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA, SDL_BLENDOPERATION_ADD,
                               SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA, SDL_BLENDOPERATION_ADD);

bool g_probed = false; // the path was checked for the current run (checked again after every flush)

// The height of a page's texture. On SDL's software renderer (the path without one blend) it doubles from
// kPageRows as the page fills: that renderer finds texels by truncating texture coordinate times height, which is
// exact only for powers of two, and what it draws must not depend on the page's height. The GPU renderers sample
// texel centres, so there the texture is only as high as its images need (in steps of kRowStep, so that a few late
// images join without a new texture): texture memory there lives in the driver's heap too.
int PageRows(const AtlasPage& p) {
    const int used = std::max(p.used, 1);
    if (!g_oneBlend) {
        int n = kPageRows;
        while (n < used && n < kPage)
            n *= 2;
        return n;
    }
    return std::min(kPage, (used + kRowStep - 1) / kRowStep * kRowStep);
}
// Kept in the page as `rows`: worked out again only when the page grows or the path changes.
void SetRows(AtlasPage& p) { p.rows = PageRows(p); }

bool OneBlend() {
    if (g_probed) return g_oneBlend;
    const int gen = int(Texture_Generation());
    g_probed = true;
    if (gen == g_oneBlendGen) return g_oneBlend;
    Batch_Flush(); // quads of the other path must not mix with this one
    g_probed = true;
    g_oneBlendGen = gen;
    g_oneBlend = true;
    if (SDL_Renderer* r = Sdl_Renderer()) {
        SDL_Texture* probe = SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 1, 1);
        g_oneBlend = probe && SDL_SetTextureBlendMode(probe, kPremulBlend) == 0;
        if (probe) SDL_DestroyTexture(probe);
    }
    for (const std::unique_ptr<AtlasPage>& p : TheAtlas().pages)
        SetRows(*p);
    return g_oneBlend;
}

// The viewport's edges as floats. Read from the drawing state while the batch is empty; while it holds quads the
// viewport cannot change (Batch_SetViewport flushes first), so the edges read for the first quad stand.
struct ViewportEdges {
    float l = 0, t = 0, r = 0, b = 0;
};
const ViewportEdges& CurrentViewport() {
    static ViewportEdges edges;
    if (TheRun().count == 0) {
        const Rect vp = Draw_GetViewport();
        edges = ViewportEdges{float(vp.x), float(vp.y), float(vp.x + vp.w), float(vp.y + vp.h)};
    }
    return edges;
}

// Starts a new run when the key or blend differ from the current one. The clip is the viewport in force when the
// run is drawn: Batch_SetViewport flushes before it changes.
// The new run, apart from the test below that most sprites stop at.
[[gnu::noinline]] void StartRun(const void* key, const AtlasPage* page, const ImagePtr* img, int frame, int blend) {
    Run& run = TheRun();
    if (run.count != 0) Batch_Flush();
    run.key = key;
    run.page = page;
    run.image = (img && !page) ? *img : ImagePtr();
    run.frame = frame;
    run.blend = blend;
}
inline void Switch(const void* key, const AtlasPage* page, const ImagePtr* img, int frame, int blend) {
    const Run& run = TheRun();
    if (run.key == key && run.blend == blend && run.count != 0) return;
    StartRun(key, page, img, frame, blend);
}

// A fresh texture is cleared to transparent (GL leaves a new texture's contents undefined); the first page gets its
// white block.
bool ClearPage(AtlasPage& p) {
    const int rows = p.rows;
    if (p.streaming) {
        void* pixels = nullptr;
        int pitch = 0;
        if (SDL_LockTexture(p.texture, nullptr, &pixels, &pitch) != 0) return false;
        for (int y = 0; y < rows; ++y)
            std::fill_n(static_cast<uint8_t*>(pixels) + ptrdiff_t(y) * pitch, size_t(kPage) * 4, uint8_t(0));
        SDL_UnlockTexture(p.texture);
    } else {
        constexpr int kBand = 64; // rows cleared per upload
        const std::vector<uint32_t> zeros(size_t(kPage) * kBand, 0u);
        for (int y = 0; y < rows; y += kBand) {
            const SDL_Rect band{0, y, kPage, std::min(kBand, rows - y)};
            if (SDL_UpdateTexture(p.texture, &band, zeros.data(), kPage * 4) != 0) return false;
        }
    }
    if (&p == TheAtlas().pages.front().get()) {
        const uint32_t white[4] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}; // the same premultiplied
        const SDL_Rect block{0, 0, 2, 2};
        if (SDL_UpdateTexture(p.texture, &block, white, 2 * 4) != 0) return false;
    }
    return true;
}

// Paints every frame of an image onto its places in the page's texture (premultiplied on the one-blend path); the
// image's decoded pixels go again afterwards when they can be decoded anew.
void PaintImage(AtlasPage& p, Image& img, std::vector<uint32_t>& argb) {
    const AtlasEntry& entry = TheAtlas().entries.at(&img);
    if (!Image_RestorePixels(img)) return; // reported; its places stay empty
    for (size_t f = 0; f < entry.frames.size() && f < img.frames.size(); ++f) {
        const AtlasFrame& place = entry.frames[f];
        const SDL_Rect& at = place.at;
        if (at.w <= 0 || at.h <= 0) continue;
        Pixmap_ToArgb(img.frames[f].pixels, (img.flags & IMG_MASKED) != 0, argb);
        if (argb.size() < size_t(img.width) * size_t(img.height)) continue;
        if (p.premultiplied) {
            for (uint32_t& c : argb) {
                const uint32_t a = c >> 24;
                c = (c & 0xFF000000u) | (((c >> 16 & 255) * a / 255) << 16) | (((c >> 8 & 255) * a / 255) << 8) |
                    ((c & 255) * a / 255);
            }
        }
        SDL_UpdateTexture(p.texture, &at, argb.data() + size_t(place.dy) * size_t(img.width) + size_t(place.dx),
                          img.width * 4);
        ++Frame_Tally.uploads;
        Frame_Tally.uploadPx += int64_t(at.w) * at.h;
    }
    Image_ReleasePixels(img, true);
}

SDL_Texture* PageTexture(AtlasPage& p, SDL_Renderer* r) {
    const uint32_t gen = Texture_Generation();
    if (p.generation != gen) {
        p.texture = nullptr; // went with the old renderer
        p.generation = gen;
    }
    if (p.texture) {
        int tw = 0, th = 0;
        SDL_QueryTexture(p.texture, nullptr, nullptr, &tw, &th);
        if (th != p.rows) { // the page grew, or the renderer wants another height
            SDL_DestroyTexture(p.texture);
            p.texture = nullptr;
        }
    }
    if (!p.texture) {
        SDL_RendererInfo info{};
        p.streaming = SDL_GetRendererInfo(r, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
        p.texture =
            SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888,
                              p.streaming ? SDL_TEXTUREACCESS_STREAMING : SDL_TEXTUREACCESS_STATIC, kPage, p.rows);
        if (!p.texture) return nullptr;
        ++Frame_Tally.texturesMade;
        SDL_SetTextureScaleMode(p.texture, SDL_ScaleModeLinear);
        if (!ClearPage(p)) {
            SDL_DestroyTexture(p.texture);
            p.texture = nullptr;
            return nullptr;
        }
        p.painted = 0;
        p.premultiplied = g_oneBlend;
    }
    if (p.premultiplied != g_oneBlend) { // every place is painted over; the empty rest reads the same either way
        p.premultiplied = g_oneBlend;
        p.painted = 0;
    }
    if (p.painted < p.images.size()) {
        std::vector<uint32_t> argb; // one frame at a time
        for (; p.painted < p.images.size(); ++p.painted)
            PaintImage(p, *p.images[p.painted], argb);
    }
    return p.texture;
}

// Indices of quads 0..n-1 (two triangles each: 0 1 2, 0 2 3), the same for every run.
std::vector<int> g_quadIndices;

// Room for one more quad in the run being gathered; counted as added (4 vertices, as SDL gets it).
[[gnu::noinline]] void GrowQuads(Run& run) { run.quads.resize(std::max<size_t>(1024, run.quads.size() * 2)); }
inline BatchQuad& NextQuad() {
    Run& run = TheRun();
    if (run.count == run.quads.size()) GrowQuads(run);
    ++g_stats.quads;
    g_stats.vertices += 4;
    return run.quads[run.count++];
}

// The vertex colour of a quad: straight, or premultiplied with the blend carried in alpha (one-blend path).
SDL_Color VertexColour(bool premul, int blend, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    if (!premul) return SDL_Color{r, g, b, a};
    return SDL_Color{uint8_t(r * a / 255), uint8_t(g * a / 255), uint8_t(b * a / 255),
                     blend == BLEND_ADDITIVE ? uint8_t(0) : a};
}

// Makes the page at least `rows` high (at most kPage); the rows added are empty. A texture of another height is made
// again, and painted anew.
void GrowPage(AtlasPage& p, int rows) {
    p.used = std::min(kPage, std::max(p.used, rows));
    SetRows(p);
}

// The texture coordinate of the edge before texel `texel` on an axis `size` texels long (`perTexel` is 1 / size):
// the least float whose exact product with the size is not below the texel, so that truncating the product finds
// the texel again on a page of any height.
float TexEdge(int texel, int size, float perTexel) {
    float t = float(texel) * perTexel;
    while (double(t) * size < texel)
        t = std::nextafter(t, 2.0f);
    return t;
}

// The first page, made with its white 2x2 block (ClearPage): lines drawn from it join the atlas runs.
AtlasPage* FirstPage() {
    Atlas& atlas = TheAtlas();
    if (atlas.pages.empty()) {
        atlas.pages.push_back(std::make_unique<AtlasPage>());
        AtlasPage& p = *atlas.pages.back();
        GrowPage(p, 2 + kPad);
        p.penX = 2 + kPad;
        p.shelfH = 2 + kPad;
    }
    return atlas.pages.front().get();
}

int BlendOf(int blend) { return blend == BLEND_ADDITIVE ? BLEND_ADDITIVE : BLEND_ALPHA; }
SDL_BlendMode SdlBlend(int blend) { return blend == BLEND_ADDITIVE ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND; }

// True when the canvas is drawn by SDL's software renderer into a 32-bit target our blitter can take (SDL's own
// per-pixel blending is several times slower; see sprite_blit.h).
bool BlitCanvas() {
    static uint32_t gen = 0;
    static bool software = false;
    if (!Graphics_Drawing() || !Sdl_Renderer()) return false;
    if (gen != Texture_Generation()) {
        gen = Texture_Generation();
        SDL_RendererInfo info{};
        software = SDL_GetRendererInfo(Sdl_Renderer(), &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    }
    return software;
}

// True when a blitter quad lies partly beneath the cover and is drawn only around it: copies and turned quads,
// whose pixels do not depend on the clip (a stretch is drawn whole). Quads wholly beneath it were never queued.
bool AroundCover(const BatchQuad& q) {
    const BlitQuad& c = q.corners;
    const float minX = std::min({c.x[0], c.x[1], c.x[2], c.x[3]}), maxX = std::max({c.x[0], c.x[1], c.x[2], c.x[3]});
    const float minY = std::min({c.y[0], c.y[1], c.y[2], c.y[3]}), maxY = std::max({c.y[0], c.y[1], c.y[2], c.y[3]});
    return maxX > float(g_cover.x) && minX < float(g_cover.x + g_cover.w) && maxY > float(g_cover.y) &&
           minY < float(g_cover.y + g_cover.h) && Blit_ShapeOf(c, q.frame->at.w, q.frame->at.h) != kBlitShapeStretch;
}

// Draws the blitter run onto the canvas: the rectangle its quads cover is read, blended into and written back (a
// target texture: a window scaled or in full screen) or blended in place (the window's own surface, as in a window
// of the canvas's size and headless). False when neither is possible; the caller then draws the quads through SDL.
bool FlushBlits(SDL_Renderer* renderer, AtlasPage& page, const BatchQuad* quads, size_t n) {
    const Rect vp = Draw_GetViewport();
    float l = float(vp.x + vp.w), t = float(vp.y + vp.h), r = float(vp.x), b = float(vp.y);
    for (size_t i = 0; i < n; ++i)
        for (int k = 0; k < 4; ++k) {
            l = std::min(l, quads[i].corners.x[k]);
            t = std::min(t, quads[i].corners.y[k]);
            r = std::max(r, quads[i].corners.x[k]);
            b = std::max(b, quads[i].corners.y[k]);
        }
    // Whole pixels around the quads, one more on every side (SDL truncates corners towards zero).
    SDL_Rect area{std::max(int(std::floor(l)) - 1, vp.x), std::max(int(std::floor(t)) - 1, vp.y), 0, 0};
    area.w = std::min(int(std::ceil(r)) + 1, vp.x + vp.w) - area.x;
    area.h = std::min(int(std::ceil(b)) + 1, vp.y + vp.h) - area.y;
    if (area.w <= 0 || area.h <= 0) return true;
    SDL_RenderFlush(renderer); // what is queued lies under the quads
    // The page's pixels: the software renderer's lock of a streaming texture is its surface itself, read in place.
    SDL_Texture* const pageTex = PageTexture(page, renderer);
    void* locked = nullptr;
    int lockedPitch = 0;
    if (!pageTex || !page.streaming || page.premultiplied ||
        SDL_LockTexture(pageTex, nullptr, &locked, &lockedPitch) != 0)
        return false;
    SDL_UnlockTexture(pageTex); // nothing to write back: the pixels are only read, before anything changes them
    if (lockedPitch != kPage * 4) return false;
    const uint32_t* const pagePixels = static_cast<const uint32_t*>(locked);
    const bool cover = g_cover.w > 0 && g_cover.h > 0;
    const auto blitAll = [&](const BlitPixels& dst) {
        for (size_t i = 0; i < n; ++i) {
            const BatchQuad& it = quads[i];
            const SDL_Rect& at = it.frame->at;
            const BlitSource src{pagePixels + size_t(at.y) * kPage + size_t(at.x), kPage, at.w, at.h};
            const BlitTint tint{it.colour.r, it.colour.g, it.colour.b, it.colour.a, it.blend};
            if (!cover || !AroundCover(it)) {
                Blit_Quad(dst, vp, src, it.corners, tint);
                continue;
            }
            // The viewport's parts above, below, left and right of the cover (the cover lies within the viewport's
            // rows and columns or these clip to nothing).
            const Rect& c = g_cover;
            const int vr = vp.x + vp.w, vb = vp.y + vp.h, cr = c.x + c.w, cb = c.y + c.h;
            const int midT = std::max(c.y, vp.y), midB = std::min(cb, vb);
            const Rect parts[4] = {{vp.x, vp.y, vp.w, std::min(c.y, vb) - vp.y},
                                   {vp.x, std::max(cb, vp.y), vp.w, vb - std::max(cb, vp.y)},
                                   {vp.x, midT, std::min(c.x, vr) - vp.x, midB - midT},
                                   {std::max(cr, vp.x), midT, vr - std::max(cr, vp.x), midB - midT}};
            for (const Rect& part : parts)
                if (part.w > 0 && part.h > 0) Blit_Quad(dst, part, src, it.corners, tint);
        }
    };
    if (SDL_Texture* target = SDL_GetRenderTarget(renderer)) {
        int cw = 0, ch = 0;
        if (SDL_QueryTexture(target, nullptr, nullptr, &cw, &ch) != 0) return false;
        static std::vector<uint32_t> scratch; // grown, never shrunk
        scratch.resize(std::max(scratch.size(), size_t(area.w) * size_t(area.h)));
        if (SDL_RenderReadPixels(renderer, &area, SDL_PIXELFORMAT_ARGB8888, scratch.data(), area.w * 4) != 0)
            return false;
        blitAll(BlitPixels{scratch.data(), area.w, area.w, area.h, area.x, area.y, cw, ch});
        return SDL_UpdateTexture(target, &area, scratch.data(), area.w * 4) == 0;
    }
    SDL_Surface* surface = SDL_GetWindowSurface(Sdl_Window());
    if (!surface ||
        (surface->format->format != SDL_PIXELFORMAT_ARGB8888 && surface->format->format != SDL_PIXELFORMAT_RGB888))
        return false;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
    blitAll(BlitPixels{static_cast<uint32_t*>(surface->pixels), surface->pitch / 4, surface->w, surface->h, 0, 0,
                       surface->w, surface->h});
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    return true;
}

// Draws the vertices of the run's first `count` quads with the texture and blend given (one geometry call).
void DrawGeometry(SDL_Renderer* renderer, SDL_Texture* tex, const SDL_Vertex* vertices, size_t count,
                  SDL_BlendMode mode) {
    if (tex) {
        SDL_SetTextureBlendMode(tex, mode);
        SDL_SetTextureColorMod(tex, 255, 255, 255);
        SDL_SetTextureAlphaMod(tex, 255);
    } else {
        SDL_SetRenderDrawBlendMode(renderer, mode);
    }
    const size_t quads = count / 4;
    for (size_t q = g_quadIndices.size() / 6; q < quads; ++q) {
        const int b = int(q * 4);
        g_quadIndices.insert(g_quadIndices.end(), {b, b + 1, b + 2, b, b + 2, b + 3});
    }
    SDL_RenderGeometry(renderer, tex, vertices, int(count), g_quadIndices.data(), int(quads * 6));
}

// The first page starts with a white 2x2 block (ClearPage): lines drawn from it join the atlas runs.
constexpr float kWhiteU = 0.5f / kPage;

// Hands n queued quads to SDL with the texture given (null: untextured) in order: their vertices are built here,
// premultiplied for the one-blend path (one geometry call), straight otherwise (one call per stretch of quads of
// the same blend). `rows` is the height of the run's page (of the first page for lines).
void DrawQuads(SDL_Renderer* renderer, SDL_Texture* tex, const BatchQuad* quads, size_t n, bool premul, int rows) {
    std::vector<SDL_Vertex>& vertices = TheRun().vertices;
    if (vertices.size() < n * 4) vertices.resize(std::max(n * 4, vertices.size() * 2));
    const float whiteV = 0.5f / float(rows);
    size_t start = 0;
    for (size_t i = 0; i < n; ++i) {
        const BatchQuad& q = quads[i];
        float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
        if (q.source == kQuadAtlas) {
            u0 = q.frame->u0;
            v0 = q.frame->v0;
            u1 = q.frame->u1;
            v1 = q.frame->v1;
        } else if (q.source == kQuadWhite) {
            u0 = u1 = kWhiteU;
            v0 = v1 = whiteV;
        }
        const SDL_Color c = VertexColour(premul, q.blend, q.colour.r, q.colour.g, q.colour.b, q.colour.a);
        const BlitQuad& p = q.corners;
        SDL_Vertex* v = vertices.data() + i * 4;
        v[0] = SDL_Vertex{{p.x[0], p.y[0]}, c, {u0, v0}};
        v[1] = SDL_Vertex{{p.x[1], p.y[1]}, c, {u1, v0}};
        v[2] = SDL_Vertex{{p.x[2], p.y[2]}, c, {u1, v1}};
        v[3] = SDL_Vertex{{p.x[3], p.y[3]}, c, {u0, v1}};
        if (i + 1 == n || (!premul && quads[i + 1].blend != q.blend)) {
            DrawGeometry(renderer, tex, vertices.data() + start * 4, (i + 1 - start) * 4,
                         premul ? kPremulBlend : SdlBlend(q.blend));
            start = i + 1;
        }
    }
}

// The blitter run: stretches of quads our blitter draws, and between them the few SDL draws itself (a frame lying
// mirrored or turned by a right angle on its quad), in order. Through SDL as a whole when the canvas cannot be
// reached.
void FlushBlitRun(SDL_Renderer* renderer, AtlasPage& page, const BatchQuad* quads, size_t n) {
    const auto own = [&](size_t i) {
        return Blit_ShapeOf(quads[i].corners, quads[i].frame->at.w, quads[i].frame->at.h) != kBlitShapeOther;
    };
    size_t i = 0;
    while (i < n) {
        const bool ours = own(i);
        size_t j = i + 1;
        while (j < n && own(j) == ours)
            ++j;
        if (!ours || !FlushBlits(renderer, page, quads + i, j - i)) {
            if (SDL_Texture* tex = PageTexture(page, renderer))
                DrawQuads(renderer, tex, quads + i, j - i, false, page.rows);
        }
        i = j;
    }
}

// The box of a frame's texels with alpha above 0, grown by one texel on every side within the frame; 0 x 0 when
// none is visible.
SDL_Rect AtlasTrim(const uint32_t* argb, int w, int h) {
    int left = w, right = -1, top = h, bottom = -1;
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = argb + size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x) {
            if ((row[x] >> 24) == 0) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = y;
        }
    }
    if (right < 0) return SDL_Rect{0, 0, 0, 0};
    left = std::max(left - 1, 0);
    top = std::max(top - 1, 0);
    right = std::min(right + 1, w - 1);
    bottom = std::min(bottom + 1, h - 1);
    return SDL_Rect{left, top, right - left + 1, bottom - top + 1};
}

// The corners of a sprite on the canvas: about the handle, scaled, then turned clockwise on screen (y grows
// downward). An atlas frame (`place`) covers only its trimmed box; a picture on its own texture its whole frame.
BlitQuad SpriteQuad(const Image& img, const AtlasFrame* place, float x, float y, float sx, float sy, float rot) {
    float fx0 = 0, fy0 = 0, fx1 = float(img.width), fy1 = float(img.height);
    if (place) {
        fx0 = place->boxL;
        fy0 = place->boxT;
        fx1 = place->boxR;
        fy1 = place->boxB;
    }
    const float l = (fx0 - img.handleX) * sx, t = (fy0 - img.handleY) * sy, rr = (fx1 - img.handleX) * sx,
                bb = (fy1 - img.handleY) * sy;
    // One transform for turned and upright quads: upright, the cosine 1 and the sine 0 give the same sums exactly.
    // Neighbouring sprites often share their turn (one effect's pieces): the last sine and cosine are kept.
    static float lastRot = 0.0f, lastCos = 1.0f, lastSin = 0.0f;
    float c = 1.0f, sn = 0.0f;
    if (rot != 0.0f) {
        if (rot != lastRot) {
            const float rad = rot * 0.017453292519943295f;
            lastRot = rot;
            lastCos = std::cos(rad);
            lastSin = std::sin(rad);
        }
        c = lastCos;
        sn = lastSin;
    } else if (sx == 1.0f && sy == 1.0f) {
        x = std::floor(x); // whole pixels for an unscaled copy, as the immediate drawing does
        y = std::floor(y);
    }
    BlitQuad q;
    const float px[4] = {l, rr, rr, l}, py[4] = {t, t, bb, bb};
    for (int k = 0; k < 4; ++k) {
        q.x[k] = px[k] * c - py[k] * sn + x;
        q.y[k] = px[k] * sn + py[k] * c + y;
    }
    return q;
}

struct QuadExtent {
    float minX, maxX, minY, maxY;
};
QuadExtent ExtentOf(const BlitQuad& q) {
    return QuadExtent{std::min(std::min(q.x[0], q.x[1]), std::min(q.x[2], q.x[3])),
                      std::max(std::max(q.x[0], q.x[1]), std::max(q.x[2], q.x[3])),
                      std::min(std::min(q.y[0], q.y[1]), std::min(q.y[2], q.y[3])),
                      std::max(std::max(q.y[0], q.y[1]), std::max(q.y[2], q.y[3]))};
}
} // namespace

void Batch_Sprite(const ImagePtr& img, int frame, float x, float y, float sx, float sy, float rot, uint8_t r, uint8_t g,
                  uint8_t b, uint8_t a, int blend) {
    if (!img || frame < 0 || frame >= int(img->frames.size()) || sx == 0.0f || sy == 0.0f) return;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(sx) || !std::isfinite(sy)) return;
    blend = BlendOf(blend);
    if (a == 0 || (blend == BLEND_ADDITIVE && (r | g | b) == 0)) return; // adds nothing to the canvas
    Atlas& atlas = TheAtlas();
    // Consecutive sprites mostly share their image: remember the last look-up (entries are never erased).
    // With the entry and its page.
    static const Image* lastImage = nullptr;
    static AtlasEntry* lastEntry = nullptr;
    static const AtlasPage* lastPage = nullptr;
    if (img.get() != lastImage || g_atlasChanged) {
        g_atlasChanged = false;
        const auto it = atlas.entries.find(img.get());
        lastImage = img.get();
        lastEntry = it == atlas.entries.end() ? nullptr : &it->second;
        lastPage = lastEntry ? atlas.pages[size_t(lastEntry->page)].get() : nullptr;
    }
    const AtlasPage* page = lastPage;
    bool premul = false;
    const AtlasFrame* place = nullptr;
    if (page) {
        premul = OneBlend();
        AtlasFrame& f = lastEntry->frames[size_t(frame)];
        if (f.at.w <= 0) return; // not a visible texel in the frame
        if (f.vRows != page->rows) {
            const float perRow = 1.0f / float(page->rows);
            f.v0 = TexEdge(f.at.y, page->rows, perRow);
            f.v1 = TexEdge(f.at.y + f.at.h, page->rows, perRow);
            f.vRows = page->rows;
        }
        place = &f;
    }
    const BlitQuad q = SpriteQuad(*img, place, x, y, sx, sy, rot);
    const auto [minX, maxX, minY, maxY] = ExtentOf(q);
    // A quad wholly outside the viewport would draw nothing: it is not handed on (the level end's stars and rings
    // fly on past the screen's edges). The four tests joined into one branch.
    const ViewportEdges& vp = CurrentViewport();
    if ((maxX <= vp.l) | (minX >= vp.r) | (maxY <= vp.t) | (minY >= vp.b)) return;
    // Wholly beneath the cover, with a pixel to spare on every side for the rounding of the corners: painted over.
    if (g_cover.w > 0 && g_cover.h > 0 && std::floor(minX) - 1 >= float(g_cover.x) &&
        std::ceil(maxX) + 1 <= float(g_cover.x + g_cover.w) && std::floor(minY) - 1 >= float(g_cover.y) &&
        std::ceil(maxY) + 1 <= float(g_cover.y + g_cover.h))
        return;
    const int64_t boxPx = int64_t((maxX - minX) * (maxY - minY));
    ++(blend == BLEND_ADDITIVE ? Frame_Tally.addSprites : Frame_Tally.sprites);
    (blend == BLEND_ADDITIVE ? Frame_Tally.addPx : Frame_Tally.spritePx) += boxPx;
    if (page) { // on the software renderer our blitter draws the run, alpha and additive sprites together
        // A blitter run already open on this page settles it for this sprite too (the flush checks the canvas).
        const Run& run = TheRun();
        const bool blitRunOpen = run.key == page && run.blend == kBlitRun && run.count != 0;
        Switch(page, page, nullptr, 0, premul ? 0 : (blitRunOpen || BlitCanvas()) ? kBlitRun : blend);
    } else
        Switch(&img->frames[size_t(frame)], nullptr, &img, frame, blend);
    BatchQuad& out = NextQuad();
    out.corners = q;
    out.frame = place;
    out.colour = SDL_Color{r, g, b, a};
    out.blend = uint8_t(blend);
    out.source = page ? kQuadAtlas : kQuadWhole;
}

Rect Batch_SpriteBox(const ImagePtr& img, int frame, float x, float y, float sx, float sy, float rot) {
    if (!img || frame < 0 || frame >= int(img->frames.size()) || sx == 0.0f || sy == 0.0f) return Rect{};
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(sx) || !std::isfinite(sy)) return Rect{};
    const Atlas& atlas = TheAtlas();
    const auto it = atlas.entries.find(img.get());
    const AtlasFrame* place = it == atlas.entries.end() ? nullptr : &it->second.frames[size_t(frame)];
    if (place && place->at.w <= 0) return Rect{};
    const auto [minX, maxX, minY, maxY] = ExtentOf(SpriteQuad(*img, place, x, y, sx, sy, rot));
    const float l = std::max(std::floor(minX) - 1, -1e6f), t = std::max(std::floor(minY) - 1, -1e6f);
    const float r = std::min(std::ceil(maxX) + 1, 1e6f), b = std::min(std::ceil(maxY) + 1, 1e6f);
    return r > l && b > t ? Rect{int(l), int(t), int(r - l), int(b - t)} : Rect{};
}

Rect Batch_LineBox(float x1, float y1, float x2, float y2) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return Rect{};
    // The band is a pixel wide and half a pixel longer at both ends: two pixels to spare on every side.
    const float l = std::max(std::floor(std::min(x1, x2)) - 2, -1e6f),
                t = std::max(std::floor(std::min(y1, y2)) - 2, -1e6f);
    const float r = std::min(std::ceil(std::max(x1, x2)) + 3, 1e6f),
                b = std::min(std::ceil(std::max(y1, y2)) + 3, 1e6f);
    return r > l && b > t ? Rect{int(l), int(t), int(r - l), int(b - t)} : Rect{};
}

void Batch_Line(float x1, float y1, float x2, float y2, uint8_t r, uint8_t g, uint8_t b, uint8_t a, int blend) {
    blend = BlendOf(blend);
    if (a == 0) return;
    const AtlasPage* page = FirstPage();
    const bool premul = OneBlend();
    Switch(page, page, nullptr, 0, premul ? 0 : blend);
    BatchQuad q{{}, nullptr, SDL_Color{r, g, b, a}, uint8_t(blend), kQuadWhite};
    float* const qx = q.corners.x;
    float* const qy = q.corners.y;
    if (y1 == y2 || x1 == x2) { // axis-aligned: the pixel rectangle covering both end points
        const float l = std::floor(std::min(x1, x2)), t = std::floor(std::min(y1, y2));
        const float rr = std::floor(std::max(x1, x2)) + 1, bb = std::floor(std::max(y1, y2)) + 1;
        const float xs[4] = {l, rr, rr, l}, ys[4] = {t, t, bb, bb};
        std::copy(xs, xs + 4, qx);
        std::copy(ys, ys + 4, qy);
    } else { // a 1 px wide band along the line, half a pixel longer at both ends
        const float dx = x2 - x1, dy = y2 - y1, len = std::sqrt(dx * dx + dy * dy);
        const float ux = dx / len * 0.5f, uy = dy / len * 0.5f;
        const float ax = x1 + 0.5f - ux, ay = y1 + 0.5f - uy, bx = x2 + 0.5f + ux, by = y2 + 0.5f + uy;
        const float xs[4] = {ax - uy, bx - uy, bx + uy, ax + uy}, ys[4] = {ay + ux, by + ux, by - ux, ay - ux};
        std::copy(xs, xs + 4, qx);
        std::copy(ys, ys + 4, qy);
    }
    NextQuad() = q;
}

void Batch_SetCover(const Rect& r) {
    Batch_Flush(); // the sprites gathered so far were judged against the cover of their time
    g_cover = r;
    Graphics_SetCover(r);
}

void Batch_SetViewport(int x, int y, int w, int h) {
    Batch_Flush();
    Draw_SetViewport(x, y, w, h);
}

void Batch_Flush() {
    Run& run = TheRun();
    g_probed = false;
    if (run.count == 0) return;
    ++g_stats.flushes;
    // Without a window the quads are only counted (benchmarks): what the blitter reads is made, no vertices.
    if (SDL_Renderer* renderer = Graphics_Drawing() ? Sdl_Renderer() : nullptr) {
        AtlasPage* const page = const_cast<AtlasPage*>(run.page);
        if (page && run.blend == kBlitRun) {
            FlushBlitRun(renderer, *page, run.quads.data(), run.count);
        } else {
            SDL_Texture* tex = nullptr;
            bool ok = true;
            if (page) {
                tex = PageTexture(*page, renderer);
                ok = tex != nullptr;
            } else if (run.image) {
                tex = Image_FrameTexture(*run.image, run.frame, false);
                ok = tex != nullptr;
                if (ok) Texture_SetSampling(tex, Image_Sampling(*run.image)); // a plain copy may have left it nearest
            }
            if (ok) DrawQuads(renderer, tex, run.quads.data(), run.count, page && g_oneBlend, page ? page->rows : 1);
        }
    }
    run.count = 0;
    run.image.reset();
    run.key = nullptr;
    run.page = nullptr;
}

void Batch_AtlasAdd(const ImagePtr& img) {
    if (!img || img->frames.empty()) return;
    Atlas& atlas = TheAtlas();
    if (atlas.entries.count(img.get())) return;
    const int w = img->width, h = img->height;
    if (w <= 0 || h <= 0 || w + kPad > kPage || h + kPad > kPage) return;
    const size_t perRow = size_t(kPage / (w + kPad)), rows = (img->frames.size() + perRow - 1) / perRow;
    if (rows * size_t(h + kPad) > size_t(kPage)) return; // a strip must fit on one page (untrimmed, to be sure)
    Batch_Flush();                                       // a run may point at a page that is about to change
    // Each frame's trimmed box; the whole frame when its pixels cannot be read.
    AtlasEntry entry;
    entry.frames.resize(img->frames.size());
    const bool readable = Image_RestorePixels(*img);
    std::vector<uint32_t> argb;
    for (size_t f = 0; f < img->frames.size(); ++f) {
        AtlasFrame& place = entry.frames[f];
        place = AtlasFrame{SDL_Rect{0, 0, w, h}, 0, 0};
        if (!readable) continue;
        Pixmap_ToArgb(img->frames[f].pixels, (img->flags & IMG_MASKED) != 0, argb);
        if (argb.size() < size_t(w) * size_t(h)) continue;
        const SDL_Rect box = AtlasTrim(argb.data(), w, h);
        place = AtlasFrame{SDL_Rect{0, 0, box.w, box.h}, box.x, box.y};
    }
    FirstPage();
    for (size_t f = 0; f < img->frames.size(); ++f) {
        SDL_Rect& at = entry.frames[f].at;
        if (at.w <= 0 || at.h <= 0) continue; // nothing visible: nothing packed
        AtlasPage* page = atlas.pages.back().get();
        if (page->penX + at.w + kPad > kPage) { // next shelf
            page->penX = 0;
            page->penY += page->shelfH;
            page->shelfH = 0;
        }
        if (page->penY + at.h + kPad > kPage) { // next page; an image's frames stay on one page
            atlas.pages.push_back(std::make_unique<AtlasPage>());
            page = atlas.pages.back().get();
            if (f > 0) { // start the image again on the fresh page
                f = size_t(-1);
                continue;
            }
        }
        GrowPage(*page, page->penY + at.h + kPad);
        at.x = page->penX;
        at.y = page->penY;
        AtlasFrame_SetFloats(entry.frames[f]);
        page->penX += at.w + kPad;
        page->shelfH = std::max(page->shelfH, at.h + kPad);
    }
    entry.page = int(atlas.pages.size()) - 1;
    atlas.pages[size_t(entry.page)]->images.push_back(img);
    atlas.entries.emplace(img.get(), std::move(entry));
    g_atlasChanged = true;
    Image_ReleasePixels(*img, true); // drawn from the page; the paint, a lock or a draw of its own decodes it again
}

float Batch_TexelEdge(int texel, int size) { return TexEdge(texel, size, 1.0f / float(size)); }

void Batch_PreparePages() {
    if (!Graphics_Drawing() || !Sdl_Renderer()) return;
    Batch_Flush(); // a run may point at a page whose texture is made anew
    OneBlend();    // the pages' height and premultiplying follow the renderer's path
    for (const std::unique_ptr<AtlasPage>& p : TheAtlas().pages)
        PageTexture(*p, Sdl_Renderer());
}

bool Batch_InAtlas(const ImagePtr& img) { return img && TheAtlas().entries.count(img.get()) != 0; }

BatchStats Batch_Stats() { return g_stats; }
void Batch_ResetStats() { g_stats = BatchStats{}; }
