// The sprite blitter against SDL's own software blitter: the same pixels within rounding for every blend
// mode and tint (two steps where SDL's untinted alpha blit approximates), on a canvas of varied colours and alphas,
// clipped at every edge.
#include "platform/sprite_blit.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kW = 64, kH = 48;

struct Case {
    int x, y;
    uint8_t r, g, b, a;
};

// Pixels of every colour and alpha, the fully transparent and fully opaque ones included.
std::vector<uint32_t> Noise(int n, uint32_t seed) {
    std::vector<uint32_t> v(static_cast<size_t>(n));
    uint32_t s = seed;
    for (uint32_t& p : v) {
        s = s * 1664525u + 1013904223u;
        p = s;
        if ((s >> 8 & 7) == 0) p &= 0x00FFFFFFu;
        if ((s >> 8 & 7) == 1) p |= 0xFF000000u;
    }
    return v;
}

// What SDL's software renderer makes of the same copy on an ARGB8888 canvas.
std::vector<uint32_t> SdlResult(const std::vector<uint32_t>& canvas, const std::vector<uint32_t>& sprite, int sw,
                                int sh, const Case& c, SDL_BlendMode mode, const SDL_Rect& clip) {
    std::vector<uint32_t> out = canvas;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(out.data(), kW, kH, 32, kW * 4, SDL_PIXELFORMAT_ARGB8888);
    SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface);
    SDL_Texture* tex = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, sw, sh);
    SDL_UpdateTexture(tex, nullptr, sprite.data(), sw * 4);
    SDL_SetTextureBlendMode(tex, mode);
    SDL_SetTextureColorMod(tex, c.r, c.g, c.b);
    SDL_SetTextureAlphaMod(tex, c.a);
    SDL_RenderSetClipRect(renderer, &clip);
    const SDL_Rect to{c.x, c.y, sw, sh};
    SDL_RenderCopy(renderer, tex, nullptr, &to);
    SDL_RenderFlush(renderer);
    SDL_DestroyTexture(tex);
    SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(surface);
    return out;
}

// The largest difference of one channel between the two canvases.
int MaxDiff(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, bool withAlpha) {
    int worst = 0;
    for (size_t i = 0; i < a.size(); ++i)
        for (int shift = 0; shift < (withAlpha ? 32 : 24); shift += 8)
            worst = std::max(worst, std::abs(int(a[i] >> shift & 255) - int(b[i] >> shift & 255)));
    return worst;
}

TEST(SpriteBlit, GivesSdlsPixelsForEveryBlendTintAndClip) {
    const int sw = 20, sh = 13;
    const std::vector<uint32_t> sprite = Noise(sw * sh, 7), canvas = Noise(kW * kH, 11);
    const Case cases[] = {
        {5, 6, 255, 255, 255, 255},  // untinted
        {30, 20, 200, 90, 17, 255},  // coloured
        {12, 3, 255, 255, 255, 128}, // half alpha
        {40, 30, 10, 250, 128, 77},  // both
        {-7, -5, 255, 128, 64, 200}, // over the top-left edge
        {55, 40, 64, 255, 255, 255}, // over the bottom-right edge
        {20, 20, 255, 255, 255, 1},  // faintest
    };
    const SDL_Rect clips[] = {{0, 0, kW, kH}, {8, 9, 30, 21}};
    for (const SDL_Rect& clip : clips)
        for (const Case& c : cases)
            for (const int blend : {BLEND_ALPHA, BLEND_ADDITIVE}) {
                const SDL_BlendMode mode = blend == BLEND_ADDITIVE ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND;
                const std::vector<uint32_t> want = SdlResult(canvas, sprite, sw, sh, c, mode, clip);
                std::vector<uint32_t> got = canvas;
                Blit_Sprite(BlitPixels{got.data(), kW, kW, kH}, Rect{clip.x, clip.y, clip.w, clip.h},
                            BlitSource{sprite.data(), sw, sw, sh}, c.x, c.y, c.r, c.g, c.b, c.a, blend);
                // SDL's untinted alpha blit approximates (by 256 for 255): two steps.
                EXPECT_LE(MaxDiff(got, want, true), 2)
                    << "blend " << blend << " at " << c.x << "," << c.y << " clip " << clip.x;
            }
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

} // namespace
