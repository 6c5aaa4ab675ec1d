// The sprite blitter against SDL's own software renderer drawing the same quad with SDL_RenderGeometry (as the sprite
// batch does): the same pixels within rounding (two steps where SDL's untinted alpha blit approximates) for every
// blend mode and tint, for copies, stretches and turned quads, on a canvas of varied colours and alphas, clipped at
// the clip rectangle's and the canvas's edges, the frame taken from inside a larger page.
#include "platform/sprite_blit.h"

#include "draw_helpers.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kW = 96, kH = 72;         // canvas
constexpr int kPageW = 64, kPageH = 32; // the page the frame lies on (a power of two, as the atlas pages)
const SDL_Rect kFrame{5, 3, 20, 13};    // the frame on it
constexpr uint8_t kFull = 255;

std::vector<uint32_t> Noise(int n, uint32_t seed) { return drawtest::Speckled(size_t(n), seed); }

// A sprite placed as the batch places one: its frame's corners about the handle (hx, hy), scaled, turned `rot`
// degrees clockwise, moved to (x, y).
BlitQuad Place(float x, float y, float sx, float sy, float rot, const SDL_Rect& frame = kFrame) {
    const float hx = frame.w / 2.0f, hy = frame.h / 2.0f;
    const float l = -hx * sx, t = -hy * sy, r = (frame.w - hx) * sx, b = (frame.h - hy) * sy;
    const float px[4] = {l, r, r, l}, py[4] = {t, t, b, b};
    const float rad = rot * 0.017453292519943295f, c = std::cos(rad), s = std::sin(rad);
    BlitQuad q;
    for (int k = 0; k < 4; ++k) {
        q.x[k] = (rot != 0 ? px[k] * c - py[k] * s : px[k]) + x;
        q.y[k] = (rot != 0 ? px[k] * s + py[k] * c : py[k]) + y;
    }
    return q;
}

// What SDL's software renderer makes of the quad, drawn as the batch draws it (two triangles, vertex colours).
std::vector<uint32_t> SdlResult(const std::vector<uint32_t>& canvas, const std::vector<uint32_t>& page,
                                const SDL_Rect& frame, const BlitQuad& q, const BlitTint& tint, const SDL_Rect& clip) {
    std::vector<uint32_t> out = canvas;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(out.data(), kW, kH, 32, kW * 4, SDL_PIXELFORMAT_ARGB8888);
    SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface);
    SDL_Texture* tex = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kPageW, kPageH);
    SDL_UpdateTexture(tex, nullptr, page.data(), kPageW * 4);
    SDL_SetTextureScaleMode(tex, SDL_ScaleModeLinear);
    SDL_SetTextureBlendMode(tex, tint.blend == BLEND_ADDITIVE ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND);
    SDL_RenderSetClipRect(renderer, &clip);
    const float u0 = float(frame.x) / kPageW, v0 = float(frame.y) / kPageH, u1 = float(frame.x + frame.w) / kPageW,
                v1 = float(frame.y + frame.h) / kPageH;
    const SDL_FPoint uv[4] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
    SDL_Vertex v[4];
    for (int k = 0; k < 4; ++k)
        v[k] = SDL_Vertex{SDL_FPoint{q.x[k], q.y[k]}, SDL_Color{tint.r, tint.g, tint.b, tint.a}, uv[k]};
    const int indices[6] = {0, 1, 2, 0, 2, 3};
    SDL_RenderGeometry(renderer, tex, v, 4, indices, 6);
    SDL_RenderFlush(renderer);
    SDL_DestroyTexture(tex);
    SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(surface);
    return out;
}

// The largest difference of one channel between the two canvases.
int MaxDiff(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    int worst = 0;
    for (size_t i = 0; i < a.size(); ++i)
        for (int shift = 0; shift < 32; shift += 8)
            worst = std::max(worst, std::abs(int(a[i] >> shift & 255) - int(b[i] >> shift & 255)));
    return worst;
}

struct Placement {
    const char* what;
    float x, y, sx, sy, rot;
    BlitShape shape;
};

TEST(SpriteBlit, DrawsSdlsPixelsForEveryShapeBlendTintAndClip) {
    const std::vector<uint32_t> page = Noise(kPageW * kPageH, 7), canvas = Noise(kW * kH, 11);
    const Placement placements[] = {
        {"whole, inside", 30, 20, 1, 1, 0, kBlitShapeCopy},
        {"whole, over the top-left edge", 3, 2, 1, 1, 0, kBlitShapeCopy},
        {"whole, over the bottom-right edge", 90, 69, 1, 1, 0, kBlitShapeCopy},
        {"a little larger, same whole size", 40.5f, 30.25f, 1.04f, 1.05f, 0, kBlitShapeCopy},
        {"grown", 40.3f, 30.7f, 1.7f, 1.7f, 0, kBlitShapeStretch},
        {"shrunk", 50.6f, 33.2f, 0.55f, 0.55f, 0, kBlitShapeStretch},
        {"stretched unevenly", 47, 36, 2.3f, 0.8f, 0, kBlitShapeStretch},
        {"grown over the canvas's left edge", 6.5f, 30, 2.2f, 2.2f, 0, kBlitShapeStretch},
        {"grown over the canvas's bottom edge", 50, 68.5f, 1.9f, 1.9f, 0, kBlitShapeStretch},
        {"grown over the clip's edge", 30, 20, 2.5f, 2.5f, 0, kBlitShapeStretch},
        {"shrunk over the clip's edge", 70, 55, 0.8f, 0.7f, 0, kBlitShapeStretch},
        {"mirrored (SDL draws it as triangles)", 30, 20, -1, 1, 0, kBlitShapeTriangles},
        {"turned a little", 40.2f, 35.9f, 1, 1, 7, kBlitShapeTriangles},
        {"turned and grown", 45, 30, 2.1f, 2.1f, 33, kBlitShapeTriangles},
        {"turned upside down and shrunk", 30.5f, 40.5f, 0.7f, 0.7f, 181, kBlitShapeTriangles},
        {"turned back, uneven", 60, 25, 1.4f, 0.9f, -75, kBlitShapeTriangles},
        {"turned over the canvas's corner", 2, 3, 1.6f, 1.6f, 120, kBlitShapeTriangles},
        {"turned over the clip's edge", 40, 10, 2, 2, 250, kBlitShapeTriangles},
    };
    const BlitTint tints[] = {
        {kFull, kFull, kFull, kFull, BLEND_ALPHA}, // untinted
        {200, 90, 17, kFull, BLEND_ALPHA},         // coloured
        {kFull, kFull, kFull, 128, BLEND_ALPHA},   // half alpha
        {10, 250, 128, 77, BLEND_ALPHA},           // both
        {kFull, kFull, kFull, 1, BLEND_ALPHA},     // faintest
    };
    const SDL_Rect clips[] = {{0, 0, kW, kH}, {8, 9, 60, 41}};
    const BlitSource frame{page.data() + kFrame.y * kPageW + kFrame.x, kPageW, kFrame.w, kFrame.h};
    for (const SDL_Rect& clip : clips)
        for (const Placement& p : placements)
            for (BlitTint tint : tints)
                for (const int blend : {BLEND_ALPHA, BLEND_ADDITIVE}) {
                    tint.blend = blend;
                    const BlitQuad q = Place(p.x, p.y, p.sx, p.sy, p.rot);
                    ASSERT_EQ(Blit_ShapeOf(q, kFrame.w, kFrame.h), p.shape) << p.what;
                    const std::vector<uint32_t> want = SdlResult(canvas, page, kFrame, q, tint, clip);
                    std::vector<uint32_t> got = canvas;
                    Blit_Quad(BlitPixels{got.data(), kW, kW, kH}, Rect{clip.x, clip.y, clip.w, clip.h}, frame, q, tint);
                    EXPECT_LE(MaxDiff(got, want), 2) << p.what << ", blend " << blend << ", tint " << int(tint.r) << " "
                                                     << int(tint.a) << ", clip " << clip.x;
                }
}

TEST(SpriteBlit, AWindowOfTheCanvasGetsTheCanvassPixels) {
    // The read-back path blends into a copy of part of the canvas: the same pixels there as on the whole canvas,
    // the canvas's own edges still deciding how a stretch is clipped.
    const std::vector<uint32_t> page = Noise(kPageW * kPageH, 3), canvas = Noise(kW * kH, 5);
    const BlitSource frame{page.data() + kFrame.y * kPageW + kFrame.x, kPageW, kFrame.w, kFrame.h};
    const Rect all{0, 0, kW, kH};
    const SDL_Rect win{4, 6, 70, 60};
    for (const BlitQuad& q : {Place(6.5f, 30, 2.2f, 2.2f, 0), Place(40, 30, 1.8f, 1.8f, 40), Place(20, 20, 1, 1, 0)}) {
        const BlitTint tint{250, 200, 100, 180, BLEND_ADDITIVE};
        std::vector<uint32_t> whole = canvas;
        Blit_Quad(BlitPixels{whole.data(), kW, kW, kH}, all, frame, q, tint);
        std::vector<uint32_t> part(size_t(win.w * win.h));
        for (int y = 0; y < win.h; ++y)
            std::copy_n(canvas.begin() + (win.y + y) * kW + win.x, win.w, part.begin() + y * win.w);
        Blit_Quad(BlitPixels{part.data(), win.w, win.w, win.h, win.x, win.y, kW, kH}, all, frame, q, tint);
        for (int y = 0; y < win.h; ++y)
            for (int x = 0; x < win.w; ++x)
                ASSERT_EQ(part[size_t(y * win.w + x)], whole[size_t((win.y + y) * kW + win.x + x)]) << x << "," << y;
    }
}

TEST(SpriteBlit, EveryInstructionSetGivesTheScalarPixels) {
    // The wide loops step 4 or 8 pixels at a time and finish a row one by one: frames of widths around those steps,
    // cut by the clip rectangle's right edge at every column near the end, fully clear and fully opaque texels, no
    // tint and full tint, copied, stretched and turned, each blend: bit for bit the scalar loops' pixels.
    const std::vector<uint32_t> page = Noise(kPageW * kPageH, 13), canvas = Noise(kW * kH, 17);
    const BlitTint tints[] = {{kFull, kFull, kFull, kFull, BLEND_ALPHA},
                              {200, 90, 17, 128, BLEND_ALPHA},
                              {0, 0, 0, kFull, BLEND_ALPHA},
                              {kFull, kFull, kFull, 1, BLEND_ALPHA}};
    const BlitPath widest = Blit_UsePath(kBlitPathAvx2);
    for (const int w : {1, 3, 4, 5, 7, 8, 9, 12, 15, 16, 17, 23, 24, 25, 33}) {
        const SDL_Rect f{kPageW - w, 2, w, 6}; // the page's right edge: a read past the frame's row goes to the next
        const BlitSource frame{page.data() + f.y * kPageW + f.x, kPageW, f.w, f.h};
        for (const BlitQuad& q : {Place(30, 20, 1, 1, 0, f), Place(30.5f, 20, 1.6f, 1.3f, 0, f),
                                  Place(30, 20, 0.45f, 0.7f, 0, f), // shrunk past half: texels taken pixel by pixel
                                  Place(30.5f, 20.5f, 1.2f, 1.7f, 23, f), Place(30, 20, 2.5f, 0.8f, -100, f),
                                  Place(30, 20, -2, 2, 0, f), // mirrored: half a texel a pixel, steps add up whole
                                  // a quarter turn each way: the same areas, the texel steps of opposite sign
                                  Place(30.5f, 20.5f, 1.2f, 1.7f, 90, f), Place(30.5f, 20.5f, 1.2f, 1.7f, -90, f)})
            for (int right = 20; right <= 60; ++right)
                for (BlitTint tint : tints)
                    for (const int blend : {BLEND_ALPHA, BLEND_ADDITIVE}) {
                        tint.blend = blend;
                        const Rect clip{0, 0, right, kH};
                        std::vector<uint32_t> want;
                        for (int path = kBlitPathScalar; path <= widest; ++path) {
                            ASSERT_EQ(Blit_UsePath(BlitPath(path)), path);
                            std::vector<uint32_t> got = canvas;
                            Blit_Quad(BlitPixels{got.data(), kW, kW, kH}, clip, frame, q, tint);
                            if (path == kBlitPathScalar)
                                want = got;
                            else
                                ASSERT_EQ(got, want) << "width " << w << ", clip right " << right << ", path " << path
                                                     << ", blend " << blend << ", tint " << int(tint.r);
                        }
                    }
    }
    Blit_UsePath(widest);
}

// SDL's software renderer copying pictures unscaled onto one canvas surface (a texture of the page, set up anew for
// each copy), against which Blit_Copy is held.
class SdlCopier {
  public:
    SdlCopier(Uint32 format, const std::vector<uint32_t>& page) : pixels_(size_t(kW * kH)) {
        surface_ = SDL_CreateRGBSurfaceWithFormatFrom(pixels_.data(), kW, kH, 32, kW * 4, format);
        renderer_ = SDL_CreateSoftwareRenderer(surface_);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, kPageW, kPageH);
        SDL_UpdateTexture(texture_, nullptr, page.data(), kPageW * 4);
    }
    ~SdlCopier() {
        SDL_DestroyTexture(texture_);
        SDL_DestroyRenderer(renderer_);
        SDL_FreeSurface(surface_);
    }
    bool Ok() const { return texture_ != nullptr; }
    std::vector<uint32_t> Copy(const std::vector<uint32_t>& canvas, const SDL_Rect& from, int x, int y,
                               SDL_BlendMode mode, const BlitTint& tint, const SDL_Rect& clip) {
        pixels_ = canvas;
        SDL_SetTextureBlendMode(texture_, mode);
        SDL_SetTextureColorMod(texture_, tint.r, tint.g, tint.b);
        SDL_SetTextureAlphaMod(texture_, tint.a);
        SDL_RenderSetClipRect(renderer_, &clip);
        const SDL_Rect to{x, y, from.w, from.h};
        SDL_RenderCopy(renderer_, texture_, &from, &to);
        SDL_RenderFlush(renderer_);
        return pixels_;
    }

  private:
    std::vector<uint32_t> pixels_;
    SDL_Surface* surface_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
};

TEST(SpriteBlit, CopiesGiveSdlsOwnPixelsBitForBit) {
    // Every blend mode SDL's software renderer copies with its own blits, untinted, tinted, faded and at alpha mod 0;
    // an ARGB canvas (a render target) and an XRGB one (a window's surface), whose top byte SDL's blits leave each
    // their own way; frames of widths around the wide loops' steps; each placed inside the clip rectangle and across
    // each of its edges, the clip being the canvas or a smaller rectangle within it; every instruction set.
    const std::vector<uint32_t> page = Noise(kPageW * kPageH, 19), canvas = Noise(kW * kH, 23);
    const BlitTint tints[] = {{kFull, kFull, kFull, kFull},
                              {200, 90, 17, kFull},
                              {kFull, kFull, kFull, 128},
                              {10, 250, 128, 77},
                              {kFull, kFull, kFull, 0}};
    const struct {
        SDL_BlendMode sdl;
        int blend;
    } modes[] = {
        {SDL_BLENDMODE_NONE, BLEND_SOLID}, {SDL_BLENDMODE_BLEND, BLEND_ALPHA}, {SDL_BLENDMODE_ADD, BLEND_ADDITIVE}};
    const SDL_Rect clips[] = {{0, 0, kW, kH}, {8, 9, 60, 41}};
    const BlitPath widest = Blit_UsePath(kBlitPathAvx2);
    for (const auto& [format, canvasFormat] :
         {std::pair{SDL_PIXELFORMAT_ARGB8888, kBlitCanvasArgb}, std::pair{SDL_PIXELFORMAT_RGB888, kBlitCanvasXrgb}}) {
        SdlCopier sdl(format, page);
        ASSERT_TRUE(sdl.Ok()) << SDL_GetError();
        for (const int w : {1, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33}) {
            const SDL_Rect from{kPageW - w, 2, w, 9}; // the page's right edge: a read past the row goes to the next
            const BlitSource src{page.data() + from.y * kPageW + from.x, kPageW, from.w, from.h};
            for (const SDL_Rect& clip : clips) {
                const int places[][2] = {{clip.x + 3, clip.y + 4},
                                         {clip.x - w / 2 - 1, clip.y + 5},
                                         {clip.x + clip.w - w / 2, clip.y + 5},
                                         {clip.x + 2, clip.y - 4},
                                         {clip.x + 2, clip.y + clip.h - 4}};
                for (const auto& at : places)
                    for (const auto& mode : modes)
                        for (BlitTint tint : tints) {
                            tint.blend = mode.blend;
                            const std::vector<uint32_t> want =
                                sdl.Copy(canvas, from, at[0], at[1], mode.sdl, tint, clip);
                            for (int path = kBlitPathScalar; path <= widest; ++path) {
                                Blit_UsePath(BlitPath(path));
                                std::vector<uint32_t> got = canvas;
                                Blit_Copy(BlitPixels{got.data(), kW, kW, kH}, canvasFormat,
                                          Rect{clip.x, clip.y, clip.w, clip.h}, src, at[0], at[1], tint);
                                const auto bad = std::mismatch(got.begin(), got.end(), want.begin()).first;
                                ASSERT_TRUE(bad == got.end())
                                    << "format " << SDL_GetPixelFormatName(format) << ", width " << w << ", at "
                                    << at[0] << "," << at[1] << ", clip " << clip.x << ", blend " << mode.blend
                                    << ", tint " << int(tint.r) << "," << int(tint.g) << "," << int(tint.b) << ","
                                    << int(tint.a) << ", path " << path << ": pixel " << (bad - got.begin()) << std::hex
                                    << " is " << *bad << ", SDL's " << want[size_t(bad - got.begin())];
                            }
                        }
            }
        }
    }
    Blit_UsePath(widest);
}

TEST(SpriteBlit, AdditiveIsNotAlpha) {
    // A half-transparent grey sprite on grey: additive brightens and keeps the canvas alpha, alpha blending mixes.
    const std::vector<uint32_t> sprite(4, 0x80646464u), canvas(size_t(kW * kH), 0x40505050u);
    std::vector<uint32_t> add = canvas, mix = canvas;
    const BlitSource s{sprite.data(), 2, 2, 2};
    const Rect all{0, 0, kW, kH};
    EXPECT_EQ(Blit_Sprite(BlitPixels{add.data(), kW, kW, kH}, all, s, 3, 4, 255, 255, 255, 255, BLEND_ADDITIVE), 4);
    Blit_Sprite(BlitPixels{mix.data(), kW, kW, kH}, all, s, 3, 4, 255, 255, 255, 255, BLEND_ALPHA);
    const size_t at = 4 * kW + 3;
    EXPECT_EQ(add[at], 0x40828282u); // 0x50 + 0x64 * 0x80 / 255 = 0x82 per channel
    EXPECT_EQ(add[at] >> 24, 0x40u);
    EXPECT_NE(mix[at], add[at]);
    EXPECT_EQ(add[at + 2], canvas[at + 2]); // right of the sprite: untouched
}

TEST(SpriteBlit, UpsideDownAndFarQuadsAreLeftAlone) {
    const std::vector<uint32_t> sprite(4, 0xFFFFFFFFu);
    std::vector<uint32_t> canvas(size_t(kW * kH), 0);
    const BlitSource s{sprite.data(), 2, 2, 2};
    // Upright but upside down: SDL copies it with its own rotation code.
    BlitQuad upsideDown = Place(20, 20, 1, 1, 0, SDL_Rect{0, 0, 2, 2});
    std::rotate(upsideDown.x, upsideDown.x + 2, upsideDown.x + 4);
    std::rotate(upsideDown.y, upsideDown.y + 2, upsideDown.y + 4);
    EXPECT_EQ(Blit_ShapeOf(upsideDown, 2, 2), kBlitShapeOther);
    BlitQuad far = Place(3e9f, 20, 1, 1, 30, SDL_Rect{0, 0, 2, 2});
    BlitQuad nan = Place(NAN, 20, 1, 1, 30, SDL_Rect{0, 0, 2, 2});
    for (const BlitQuad& q : {upsideDown, far, nan})
        EXPECT_EQ(Blit_Quad(BlitPixels{canvas.data(), kW, kW, kH}, Rect{0, 0, kW, kH}, s, q, BlitTint{}), 0);
    EXPECT_EQ(std::count(canvas.begin(), canvas.end(), 0u), kW * kH);
}

} // namespace
