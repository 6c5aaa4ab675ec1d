// Pixel-exact tests of the canvas on SDL's software renderer: blend modes, colour and alpha, handle, scale and
// rotation, viewport, lines and rectangles, stretched and partial images, locks, grabs and screenshots.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "draw_helpers.h"
#include "platform/graphics.h"
#include "platform/image_internal.h"
#include "platform/incbin.h"
#include "platform/sdl_context.h"
#include "platform/system.h"
#include "sdl_push.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

using namespace drawtest;

namespace {

class GraphicsTest : public Canvas {};

// Background 200,100,50; texel 100,150,250 with alpha 128 (or 127 for the masked case). Expected values worked out
// by hand with the renderer's integer arithmetic (x * a / 255, truncated):
//   alpha    100*128/255 + 200*127/255 = 50 + 99 = 149 ; 150*128/255 + 100*127/255 = 75 + 49 = 124 ; 125 + 24 = 149
//   additive 200 + 50 = 250 ; 100 + 75 = 175 ; 50 + 125 = 175
//   multiply 200*100/255 = 78 ; 100*150/255 = 58 ; 50*250/255 = 49
struct BlendCase {
    int mode;
    int texelAlpha;
    Rgb expected;
};

class BlendModeTest : public Canvas, public ::testing::WithParamInterface<BlendCase> {};

TEST_P(BlendModeTest, MixesTexelWithBackground) {
    const BlendCase c = GetParam();
    Fill(200, 100, 50);
    const ImagePtr img = SolidImage(4, 4, 100, 150, 250, c.texelAlpha);
    Draw_SetBlend(c.mode);
    Draw_Image(img, 10, 10);
    EXPECT_EQ(PixelAt(11, 11), c.expected);
    EXPECT_EQ(PixelAt(9, 9), (Rgb{200, 100, 50})) << "outside the image";
}

INSTANTIATE_TEST_SUITE_P(
    AllModes, BlendModeTest,
    ::testing::Values(BlendCase{BLEND_SOLID, 128, {100, 150, 250}}, BlendCase{BLEND_ALPHA, 128, {149, 124, 149}},
                      BlendCase{BLEND_ADDITIVE, 128, {250, 175, 175}}, BlendCase{BLEND_MULTIPLY, 128, {78, 58, 49}},
                      BlendCase{BLEND_MASKED, 128, {100, 150, 250}}, BlendCase{BLEND_MASKED, 127, {200, 100, 50}}));

TEST_F(GraphicsTest, MaskedModeDrawsNothingBelowHalfAlphaAndRectsAreSolid) {
    Fill(200, 100, 50);
    Draw_SetBlend(BLEND_MASKED);
    Draw_SetAlpha(0.4f);
    Draw_Image(SolidImage(4, 4, 0, 0, 255), 10, 10);
    EXPECT_EQ(PixelAt(11, 11), (Rgb{200, 100, 50}));
    Draw_SetAlpha(0.6f);
    Draw_SetColor(10, 20, 30);
    Draw_Rect(30, 30, 4, 4);
    EXPECT_EQ(PixelAt(31, 31), (Rgb{10, 20, 30}));
}

TEST_F(GraphicsTest, ColourTintsImagesAndAlphaFades) {
    // Tint: 200*128/255 = 100, 100*255/255 = 100, 50*0 = 0.
    Draw_SetBlend(BLEND_SOLID);
    Draw_SetColor(128, 255, 0);
    Draw_Image(SolidImage(2, 2, 200, 100, 50), 0, 0);
    EXPECT_EQ(PixelAt(1, 1), (Rgb{100, 100, 0}));

    // Global alpha 0.5 (byte 127, truncated) of opaque white over black: 255*127/255 = 127.
    Draw_SetBlend(BLEND_ALPHA);
    Draw_SetColor(255, 255, 255);
    Draw_SetAlpha(0.5f);
    Draw_Image(SolidImage(2, 2, 255, 255, 255), 10, 0);
    EXPECT_EQ(PixelAt(10, 0), (Rgb{127, 127, 127}));

    // Alpha 0 draws nothing, also for rectangles.
    Draw_SetAlpha(0.0f);
    Draw_Rect(20, 0, 2, 2);
    Draw_Image(SolidImage(2, 2, 255, 255, 255), 20, 0);
    EXPECT_EQ(PixelAt(20, 0), (Rgb{0, 0, 0}));
}

TEST_F(GraphicsTest, StateIsClampedAndReadBack) {
    Draw_SetColor(300, -5, 128);
    int r, g, b;
    Draw_GetColor(r, g, b);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 128);
    Draw_SetAlpha(1.7f);
    EXPECT_EQ(Draw_GetAlpha(), 1.0f);
    Draw_SetAlpha(-1.0f);
    EXPECT_EQ(Draw_GetAlpha(), 0.0f);
    Draw_SetBlend(9); // unknown modes leave the mode alone
    EXPECT_EQ(Draw_GetBlend(), BLEND_ALPHA);
    Draw_SetScale(2.0f, -1.0f);
    float sx, sy;
    Draw_GetScale(sx, sy);
    EXPECT_EQ(sx, 2.0f);
    EXPECT_EQ(sy, -1.0f);
    Draw_SetRotation(45.0f);
    EXPECT_EQ(Draw_GetRotation(), 45.0f);
    Draw_SetViewport(-10, 590, 100, 100); // clipped to the canvas
    const Rect v = Draw_GetViewport();
    EXPECT_EQ(v.x, 0);
    EXPECT_EQ(v.y, 590);
    EXPECT_EQ(v.w, 90);
    EXPECT_EQ(v.h, 10);
}

TEST_F(GraphicsTest, HandleScaleAndMirror) {
    const ImagePtr img = SolidImage(4, 4, 255, 0, 0);
    Image_SetHandle(img, 2, 2);
    Draw_Image(img, 20, 20); // covers 18..21
    EXPECT_EQ(PixelAt(18, 18), (Rgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(21, 21), (Rgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(17, 18), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(22, 21), (Rgb{0, 0, 0}));

    // Scale 3 about the handle: 20 - 2*3 = 14 .. 20 + 2*3 - 1 = 25.
    Draw_SetScale(3, 3);
    Draw_Image(img, 100, 20);
    EXPECT_EQ(PixelAt(94, 14), (Rgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(105, 25), (Rgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(93, 14), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(106, 25), (Rgb{0, 0, 0}));

    // A negative x scale mirrors: left column red, right column green, handle 0 -> drawn to the left of x.
    Pixmap pm = Pixmap_Create(2, 1, PF_RGB888);
    Pixmap_WritePixel(pm, 0, 0, 0xFFFF0000);
    Pixmap_WritePixel(pm, 1, 0, 0xFF00FF00);
    Draw_SetScale(-1, 1);
    Draw_Image(Image_FromPixmap(pm, 0), 200, 50);
    EXPECT_EQ(PixelAt(198, 50), (Rgb{0, 255, 0}));
    EXPECT_EQ(PixelAt(199, 50), (Rgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(200, 50), (Rgb{0, 0, 0}));

    // Scale 0 draws nothing.
    Draw_SetScale(0, 1);
    Draw_Image(img, 300, 50);
    EXPECT_EQ(PixelAt(300, 50), (Rgb{0, 0, 0}));
}

TEST_F(GraphicsTest, RotationTurnsClockwiseAboutTheHandle) {
    // 8x8, left half red, right half green, centred handle. +90 degrees: the left half ends up above the centre.
    Pixmap pm = Pixmap_Create(8, 8, PF_RGB888);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            Pixmap_WritePixel(pm, x, y, x < 4 ? 0xFFFF0000 : 0xFF00FF00);
    const ImagePtr img = Image_FromPixmap(pm, 0);
    Image_CentreHandle(img);
    Draw_SetRotation(90);
    Draw_Image(img, 100, 100);
    EXPECT_EQ(PixelAt(100, 97), (Rgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(100, 102), (Rgb{0, 255, 0}));
    Draw_SetRotation(180);
    Draw_Image(img, 200, 100);
    EXPECT_EQ(PixelAt(202, 100), (Rgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(197, 100), (Rgb{0, 255, 0}));

    // Rectangles turn about their first point: 10x4 at (50, 50) turned 90 degrees covers x 46..50, y 50..60.
    Draw_SetColor(0, 0, 255);
    Draw_SetRotation(90);
    Draw_Rect(50, 150, 10, 4);
    EXPECT_EQ(PixelAt(48, 155), (Rgb{0, 0, 255}));
    EXPECT_EQ(PixelAt(52, 155), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(55, 151), (Rgb{0, 0, 0}));
}

TEST_F(GraphicsTest, ViewportClipsDrawingButNotCls) {
    Draw_SetViewport(4, 4, 8, 8);
    Draw_SetColor(255, 255, 255);
    Draw_Rect(0, 0, 20, 20);
    EXPECT_EQ(PixelAt(3, 3), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(4, 4), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelAt(11, 11), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelAt(12, 12), (Rgb{0, 0, 0}));
    Draw_Image(SolidImage(30, 30, 255, 0, 0), 0, 0);
    EXPECT_EQ(PixelAt(12, 4), (Rgb{0, 0, 0}));
    Draw_SetClsColor(0, 0, 90);
    Draw_Cls();
    EXPECT_EQ(PixelAt(0, 0), (Rgb{0, 0, 90}));
    EXPECT_EQ(PixelAt(799, 599), (Rgb{0, 0, 90}));
    Draw_SetViewport(50, 50, 0, 10); // empty: nothing at all
    Draw_Rect(0, 0, 800, 600);
    EXPECT_EQ(PixelAt(50, 50), (Rgb{0, 0, 90}));
}

// Draws wholly outside the viewport are dropped before they reach the renderer; one that reaches a single pixel in,
// or only turned, still draws.
TEST_F(GraphicsTest, DrawsReachingIntoTheViewportByOnePixelStillDraw) {
    Draw_SetViewport(100, 100, 50, 50);
    Draw_SetColor(255, 255, 255);
    Draw_Rect(90, 120, 11, 5); // x 90..100
    Draw_Rect(149, 130, 10, 5);
    Draw_Rect(120, 90, 5, 11);
    Draw_Rect(130, 149, 5, 10);
    EXPECT_EQ(PixelAt(100, 122), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelAt(149, 132), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelAt(122, 100), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelAt(132, 149), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelAt(99, 122), (Rgb{0, 0, 0}));
    const ImagePtr red = SolidImage(10, 10, 255, 0, 0);
    Draw_Image(red, 91, 110); // x 91..100
    EXPECT_EQ(PixelAt(100, 112), (Rgb{255, 0, 0}));
    Draw_SetScale(2, 2);
    Draw_Image(SolidImage(5, 5, 0, 255, 0), 140, 141); // y 141..150 when scaled
    EXPECT_EQ(PixelAt(142, 149), (Rgb{0, 255, 0}));
    Draw_SetScale(1, 1);
    // 80 x 4 turned 90 degrees about its top-left corner at (120, 40): x 116..119, y 40..119. Unturned it would lie
    // above the viewport.
    Draw_SetRotation(90);
    Draw_Image(SolidImage(80, 4, 0, 0, 255), 120, 40);
    EXPECT_EQ(PixelAt(118, 110), (Rgb{0, 0, 255}));
    Draw_SetColor(255, 255, 0);
    Draw_Rect(140, 40, 80, 4);
    EXPECT_EQ(PixelAt(138, 110), (Rgb{255, 255, 0}));
}

TEST_F(GraphicsTest, LinesIncludeBothEndsAndOutlinesStayHollow) {
    Draw_SetColor(255, 255, 0);
    Draw_Line(10, 5, 20, 5);
    EXPECT_EQ(PixelAt(10, 5), (Rgb{255, 255, 0}));
    EXPECT_EQ(PixelAt(20, 5), (Rgb{255, 255, 0}));
    EXPECT_EQ(PixelAt(9, 5), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(21, 5), (Rgb{0, 0, 0}));
    Draw_Line(30, 20, 30, 10); // drawn upwards
    EXPECT_EQ(PixelAt(30, 10), (Rgb{255, 255, 0}));
    EXPECT_EQ(PixelAt(30, 20), (Rgb{255, 255, 0}));
    EXPECT_EQ(PixelAt(30, 21), (Rgb{0, 0, 0}));

    Draw_Rect(40, 40, 5, 4, false);
    EXPECT_EQ(PixelAt(40, 40), (Rgb{255, 255, 0}));
    EXPECT_EQ(PixelAt(44, 43), (Rgb{255, 255, 0}));
    EXPECT_EQ(PixelAt(42, 41), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(45, 43), (Rgb{0, 0, 0}));

    // Additive line over grey at alpha 0.5 (byte 127): 100 + 255*127/255.
    Fill(100, 100, 100);
    Draw_SetBlend(BLEND_ADDITIVE);
    Draw_SetAlpha(0.5f);
    Draw_SetColor(255, 0, 0);
    Draw_Line(0, 0, 3, 0);
    EXPECT_EQ(PixelAt(2, 0), (Rgb{227, 100, 100}));
}

TEST_F(GraphicsTest, StretchedAndPartialImages) {
    // 2x2 with four colours, stretched unfiltered to 8x8: quadrants.
    Pixmap pm = Pixmap_Create(2, 2, PF_RGB888);
    Pixmap_WritePixel(pm, 0, 0, 0xFFFF0000);
    Pixmap_WritePixel(pm, 1, 0, 0xFF00FF00);
    Pixmap_WritePixel(pm, 0, 1, 0xFF0000FF);
    Pixmap_WritePixel(pm, 1, 1, 0xFFFFFFFF);
    const ImagePtr img = Image_FromPixmap(pm, 0);
    Draw_ImageRect(img, 100, 100, 8, 8);
    EXPECT_EQ(PixelAt(103, 103), (Rgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(104, 103), (Rgb{0, 255, 0}));
    EXPECT_EQ(PixelAt(103, 104), (Rgb{0, 0, 255}));
    EXPECT_EQ(PixelAt(107, 107), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelAt(108, 108), (Rgb{0, 0, 0}));

    // Only the part (1, 0, 1, 2) lands at (200, 100): green over white.
    Draw_ImagePart(img, 200, 100, 1, 0, 1, 2);
    EXPECT_EQ(PixelAt(200, 100), (Rgb{0, 255, 0}));
    EXPECT_EQ(PixelAt(200, 101), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelAt(201, 100), (Rgb{0, 0, 0}));
    // A part reaching outside the frame is cut, keeping the rest where it would have been.
    Draw_ImagePart(img, 300, 100, -1, 0, 3, 1);
    EXPECT_EQ(PixelAt(300, 100), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(301, 100), (Rgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(302, 100), (Rgb{0, 255, 0}));
}

TEST_F(GraphicsTest, FilteredFlagSmoothsStretching) {
    Pixmap pm = Pixmap_Create(2, 1, PF_RGB888);
    Pixmap_WritePixel(pm, 0, 0, 0xFF000000);
    Pixmap_WritePixel(pm, 1, 0, 0xFFFFFFFF);
    Draw_ImageRect(Image_FromPixmap(pm, IMG_FILTERED), 0, 0, 16, 1);
    Draw_ImageRect(Image_FromPixmap(pm, 0), 0, 1, 16, 1);
    int between = 0;
    for (int x = 0; x < 16; ++x) {
        const int v = PixelAt(x, 0).r;
        if (v > 0 && v < 255) ++between;
        const int n = PixelAt(x, 1).r;
        EXPECT_TRUE(n == 0 || n == 255) << x;
    }
    EXPECT_GE(between, 6);
    EXPECT_EQ(PixelAt(0, 0).r, 0);
    EXPECT_EQ(PixelAt(15, 0).r, 255);
}

// A filtered picture drawn stretched gives the pixels of SDL's software renderer drawing it once on its own canvas,
// the first time (SDL stretches it) and again (a stretched copy is kept and blended), for every blend and tint, inside
// the clip rectangle, cut by it and over the canvas's edge; and once its pixels change, the new ones.
namespace {
constexpr int kPicW = 21, kPicH = 13;

std::vector<uint32_t> Speckled(uint32_t seed) { return drawtest::Speckled(size_t(kPicW * kPicH), seed); }

struct StretchCase {
    const char* what;
    float x, y, w, h;
    int blend;
    int r, g, b;
    float alpha;
    SDL_Rect clip;
    bool kept = true; // drawn again through a stretched copy (SDL stretches only the part the clip rectangle leaves)
};

// The rectangle (x, y, w, h) of SDL's own software renderer's canvas (cleared to `background`) after it drew `pic`
// as Draw_ImageRect draws it.
std::vector<uint32_t> SdlStretched(const std::vector<uint32_t>& pic, const StretchCase& c, const SDL_Rect& area,
                                   uint32_t background) {
    std::vector<uint32_t> canvas(size_t(kCanvasWidth * kCanvasHeight), background);
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(canvas.data(), kCanvasWidth, kCanvasHeight, 32,
                                                              kCanvasWidth * 4, SDL_PIXELFORMAT_ARGB8888);
    SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface);
    SDL_Texture* tex = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kPicW, kPicH);
    SDL_UpdateTexture(tex, nullptr, pic.data(), kPicW * 4);
    SDL_SetTextureScaleMode(tex, SDL_ScaleModeLinear);
    SDL_SetTextureBlendMode(tex, c.blend == BLEND_ADDITIVE ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND);
    SDL_SetTextureColorMod(tex, uint8_t(c.r), uint8_t(c.g), uint8_t(c.b));
    SDL_SetTextureAlphaMod(tex, uint8_t(c.alpha * 255.0f));
    SDL_RenderSetClipRect(renderer, &c.clip);
    const float sx = c.w / float(kPicW), sy = c.h / float(kPicH);
    const SDL_FRect to{c.x, c.y, float(kPicW) * sx, float(kPicH) * sy};
    SDL_RenderCopyF(renderer, tex, nullptr, &to);
    SDL_RenderFlush(renderer);
    SDL_DestroyTexture(tex);
    SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(surface);
    std::vector<uint32_t> out;
    for (int y = area.y; y < area.y + area.h; ++y)
        for (int x = area.x; x < area.x + area.w; ++x)
            out.push_back(canvas[size_t(y * kCanvasWidth + x)] & 0xFFFFFFu);
    return out;
}

std::vector<uint32_t> CanvasArea(const SDL_Rect& area) {
    const Pixmap pm = Graphics_ReadPixels(area.x, area.y, area.w, area.h);
    std::vector<uint32_t> out;
    for (int y = 0; y < pm.height; ++y)
        for (int x = 0; x < pm.width; ++x)
            out.push_back(Pixmap_ReadPixel(pm, x, y) & 0xFFFFFFu);
    return out;
}
} // namespace

TEST_F(GraphicsTest, StretchedPicturesGetSdlsPixelsEveryTimeAndFollowTheirPictureChanges) {
    const SDL_Rect whole{0, 0, kCanvasWidth, kCanvasHeight}, cut{120, 90, 300, 200};
    const StretchCase cases[] = {
        {"shrunk, untinted", 200.4f, 150.7f, 14, 9, BLEND_ALPHA, 255, 255, 255, 1.0f, whole},
        {"grown, tinted, half alpha", 201, 151, 37.6f, 25.2f, BLEND_ALPHA, 200, 90, 17, 0.5f, whole},
        {"additive", 210, 160, 30, 19, BLEND_ADDITIVE, 255, 255, 255, 1.0f, whole},
        {"additive, tinted", 210, 160, 11, 7, BLEND_ADDITIVE, 10, 250, 128, 0.3f, whole},
        {"over the top-left corner", -6.5f, -3.2f, 33, 20, BLEND_ALPHA, 255, 255, 255, 1.0f, whole},
        {"over the bottom-right corner", 790, 595, 17, 11, BLEND_ALPHA, 255, 255, 255, 0.8f, whole},
        {"wholly outside the clip rectangle", 790, 595, 17, 11, BLEND_ALPHA, 255, 255, 255, 0.8f, cut, false},
        {"inside the clip rectangle", 130, 100, 40, 24, BLEND_ALPHA, 255, 255, 255, 1.0f, cut},
        {"cut by the clip rectangle", 110, 85, 40, 24, BLEND_ALPHA, 255, 255, 255, 1.0f, cut, false},
    };
    const uint32_t background = 0xFF3C6E96u;
    const std::vector<uint32_t> before = Speckled(5), after = Speckled(9);
    Pixmap pm = Pixmap_Create(kPicW, kPicH, PF_RGBA8888);
    const auto paint = [&](Pixmap& into, const std::vector<uint32_t>& pic) {
        for (int y = 0; y < kPicH; ++y)
            for (int x = 0; x < kPicW; ++x)
                Pixmap_WritePixel(into, x, y, pic[size_t(y * kPicW + x)]);
    };
    paint(pm, before);
    const ImagePtr img = Image_FromPixmap(pm, IMG_FILTERED);
    for (const StretchCase& c : cases) {
        const int left = std::max(int(c.x) - 2, 0), top = std::max(int(c.y) - 2, 0);
        const SDL_Rect seen{left, top, std::min(int(c.w) + 5, kCanvasWidth - left),
                            std::min(int(c.h) + 5, kCanvasHeight - top)};
        const auto draw = [&] {
            Fill(int(background >> 16 & 255), int(background >> 8 & 255), int(background & 255));
            Draw_SetViewport(c.clip.x, c.clip.y, c.clip.w, c.clip.h);
            Draw_SetBlend(c.blend);
            Draw_SetColor(c.r, c.g, c.b);
            Draw_SetAlpha(c.alpha);
            Draw_ImageRect(img, c.x, c.y, c.w, c.h);
            Draw_ResetState();
        };
        for (const std::vector<uint32_t>* pic : {&before, &after}) {
            if (pic == &after) { // new pixels for the same texture
                Pixmap* locked = Image_Lock(img, 0, LOCK_WRITE);
                ASSERT_NE(locked, nullptr);
                paint(*locked, after);
                Image_Unlock(img, 0);
            }
            const std::vector<uint32_t> want = SdlStretched(*pic, c, seen, background);
            for (int time = 1; time <= 3; ++time) {
                draw();
                EXPECT_EQ(CanvasArea(seen), want)
                    << c.what << ", drawing " << time << (pic == &after ? " after the change" : "");
            }
            EXPECT_EQ(ScaledCopies_Bytes() > 0, c.kept) << c.what;
            EXPECT_LE(ScaledCopies_Bytes(), size_t(2) << 20);
        }
        Pixmap* locked = Image_Lock(img, 0, LOCK_WRITE);
        paint(*locked, before);
        Image_Unlock(img, 0);
    }
}

TEST_F(GraphicsTest, UnscaledCopiesOnTheWindowGiveSdlsPixels) {
    // On the software renderer the unscaled copies onto the window are our own blitter's: a scene of them drawn with
    // it and then by SDL itself, the same pixels: every blend and tint, over the canvas's corners, cut by a viewport,
    // parts of pictures, a picture drawn in opaque and blended bands, glyphs, the final copy of a stretched picture,
    // a scale so near 1 that SDL copies unscaled, between rectangles SDL draws.
    const ImagePtr backdrop = SpeckledImage(kCanvasWidth, kCanvasHeight, 3);
    const ImagePtr pic = SpeckledImage(37, 23, 5, IMG_FILTERED);
    const ImagePtr banded = SolidImage(40, 60, 90, 160, 30); // opaque rows between a clear top and bottom
    if (Pixmap* px = Image_Lock(banded, 0, LOCK_WRITE)) {
        for (int y : {0, 1, 2, 57, 58, 59})
            for (int x = 0; x < 40; ++x)
                Pixmap_WritePixel(*px, x, y, uint32_t(x * 6) << 24 | 0x405060u);
        Image_Unlock(banded, 0);
    }
    const auto scene = [&] {
        Draw_ResetState();
        Draw_SetBlend(BLEND_SOLID);
        Draw_Image(backdrop, 0, 0);
        Draw_SetBlend(BLEND_ALPHA);
        for (const float at : {-9.0f, 300.5f, 780.0f})
            Draw_Image(pic, at, at * 0.75f); // corners and between
        Draw_Image(banded, 500, 100);
        Draw_SetColor(200, 90, 17);
        Draw_Image(pic, 100, 100);
        Draw_SetAlpha(0.5f);
        Draw_Image(pic, 110, 105);
        Draw_Rect(105, 102, 30, 20); // SDL's own, between two of ours
        Draw_ImagePart(pic, 120, 110, 4, 3, 20, 11);
        Draw_SetBlend(BLEND_ADDITIVE);
        Draw_Image(pic, 130, 115);
        Draw_SetColor(255, 255, 255);
        Draw_SetAlpha(1.0f);
        Draw_Image(pic, 140, 120);
        Draw_SetBlend(BLEND_SOLID);
        Draw_SetViewport(200, 200, 50, 40);
        Draw_Image(pic, 190, 195); // cut by the viewport's top-left
        Draw_SetBlend(BLEND_ALPHA);
        Draw_Image(pic, 235, 230); // and its bottom-right
        Draw_SetViewport(0, 0, kCanvasWidth, kCanvasHeight);
        Draw_SetScale(1.04f, 1.04f);
        Draw_Image(pic, 400, 300);
        Draw_SetScale(0.6f, 0.6f);
        for (int i = 0; i < 2; ++i) // the second time through the stretched copy
            Draw_Image(pic, 420.0f + float(i) * 30, 320);
        Draw_SetScale(1, 1);
        Draw_SetColor(250, 230, 40);
        for (const int blend : {BLEND_ALPHA, BLEND_SOLID, BLEND_ADDITIVE}) {
            Draw_SetBlend(blend);
            Draw_Text(u"Wag 0.5", 600, 20.0f + float(blend) * 20);
        }
        Draw_Rect(610, 30, 8, 50);
    };
    const int64_t before = OwnCopies_Drawn();
    scene();
    const int64_t ours = OwnCopies_Drawn() - before;
    const std::vector<uint32_t> got = CanvasArea(SDL_Rect{0, 0, kCanvasWidth, kCanvasHeight});
    OwnCopies_Enable(false);
    scene();
    OwnCopies_Enable(true);
    EXPECT_EQ(OwnCopies_Drawn() - before, ours);
    EXPECT_GE(ours, 25);
    const std::vector<uint32_t> want = CanvasArea(SDL_Rect{0, 0, kCanvasWidth, kCanvasHeight});
    const auto bad = std::mismatch(got.begin(), got.end(), want.begin()).first;
    ASSERT_TRUE(bad == got.end()) << "pixel " << (bad - got.begin()) % kCanvasWidth << ","
                                  << (bad - got.begin()) / kCanvasWidth << std::hex << " is " << *bad << ", SDL's "
                                  << want[size_t(bad - got.begin())];
}

TEST_F(GraphicsTest, WriteLockChangesTheNextDrawAndMaskedFlagHidesBlack) {
    const ImagePtr img = SolidImage(2, 2, 255, 0, 0);
    Draw_Image(img, 10, 10);
    EXPECT_EQ(PixelAt(10, 10), (Rgb{255, 0, 0}));
    Pixmap* pm = Image_Lock(img, 0, LOCK_WRITE);
    ASSERT_NE(pm, nullptr);
    Pixmap_WritePixel(*pm, 0, 0, 0xFF00FF00);
    Image_Unlock(img, 0);
    Draw_Image(img, 10, 10);
    EXPECT_EQ(PixelAt(10, 10), (Rgb{0, 255, 0}));
    // Drawn while still write-locked, then written again: the unlock makes the next draw take the new pixels.
    pm = Image_Lock(img, 0, LOCK_WRITE);
    Draw_Image(img, 10, 10);
    Pixmap_WritePixel(*pm, 0, 0, 0xFF0000FF);
    Image_Unlock(img, 0);
    Draw_Image(img, 10, 10);
    EXPECT_EQ(PixelAt(10, 10), (Rgb{0, 0, 255}));

    // Flag 1: black becomes transparent when drawn, the pixmap keeps format 4 and its black.
    Pixmap rgb = Pixmap_Create(2, 1, PF_RGB888);
    Pixmap_WritePixel(rgb, 1, 0, 0xFFFFFFFF);
    const ImagePtr masked = Image_FromPixmap(rgb, IMG_MASKED);
    Fill(50, 60, 70);
    Draw_Image(masked, 20, 20);
    EXPECT_EQ(PixelAt(20, 20), (Rgb{50, 60, 70}));
    EXPECT_EQ(PixelAt(21, 20), (Rgb{255, 255, 255}));
    EXPECT_EQ(Image_Lock(masked, 0, LOCK_READ)->format, PF_RGB888);
    EXPECT_EQ(Pixmap_ReadPixel(*Image_Lock(masked, 0, LOCK_READ), 0, 0), 0xFF000000u);
}

TEST_F(GraphicsTest, GrabBackBufferCopiesCanvasIntoFormat5) {
    Draw_SetColor(10, 20, 30);
    Draw_Rect(100, 100, 4, 4);
    Draw_SetColor(200, 0, 0);
    Draw_Rect(102, 102, 2, 2);
    const ImagePtr img = Image_Create(4, 4, 1, 0);
    Image_GrabBackBuffer(img, 100, 100);
    const Pixmap* pm = Image_Lock(img, 0, LOCK_READ);
    ASSERT_NE(pm, nullptr);
    EXPECT_EQ(pm->format, PF_BGRA8888);
    EXPECT_EQ(Pixmap_ReadPixel(*pm, 0, 0), 0xFF0A141Eu);
    EXPECT_EQ(Pixmap_ReadPixel(*pm, 3, 3), 0xFFC80000u);
    EXPECT_EQ(pm->bytes[0], 30) << "first byte of format 5 is blue";
    Draw_SetColor(255, 255, 255);
    Draw_Image(img, 300, 300);
    EXPECT_EQ(PixelAt(300, 300), (Rgb{10, 20, 30}));
    EXPECT_EQ(PixelAt(303, 303), (Rgb{200, 0, 0}));

    // Partly outside the canvas: the outside stays transparent black.
    Image_GrabBackBuffer(img, -2, -2);
    pm = Image_Lock(img, 0, LOCK_READ);
    EXPECT_EQ(Pixmap_ReadPixel(*pm, 0, 0), 0u);
    EXPECT_EQ(Pixmap_ReadPixel(*pm, 2, 2) >> 24, 255u);
}

TEST_F(GraphicsTest, FlipKeepsTheCanvasAndScreenshotWritesIt) {
    Sys_UseFakeClock(16); // no real waiting in the frame cap
    Draw_SetColor(1, 2, 3);
    Draw_Rect(0, 0, 10, 10);
    Draw_SetViewport(0, 0, 5, 5);
    Graphics_Flip();
    EXPECT_EQ(PixelAt(0, 0), (Rgb{1, 2, 3}));
    EXPECT_EQ(Draw_GetViewport().w, 5) << "the flip keeps the viewport";
    Draw_Rect(0, 0, 10, 10);
    EXPECT_EQ(PixelAt(7, 7), (Rgb{1, 2, 3}));

    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("bq_shot_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "shot.png").string();
    ASSERT_TRUE(Graphics_SaveScreenshot(Str_FromUtf8(file)));
    const PixmapPtr shot = Pixmap_Load(Str_FromUtf8(file));
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->width, 800);
    EXPECT_EQ(shot->height, 600);
    EXPECT_EQ(shot->format, PF_RGB888);
    EXPECT_EQ(Pixmap_ReadPixel(*shot, 0, 0), 0xFF010203u);
    EXPECT_EQ(Pixmap_ReadPixel(*shot, 799, 599), 0xFF000000u);
    std::filesystem::remove_all(dir);
    Sys_UseFakeClock(0);
}

TEST_F(GraphicsTest, WindowModeSwitchKeepsImagesAndCanvas) {
    const ImagePtr img = SolidImage(2, 2, 0, 200, 0);
    Draw_Image(img, 0, 0); // uploaded before the switch
    Graphics_SetWindowed(false);
    EXPECT_FALSE(Graphics_Windowed());
    EXPECT_EQ(Graphics_Width(), 800);
    EXPECT_EQ(Graphics_Height(), 600);
    Draw_Image(img, 5, 0);
    EXPECT_EQ(PixelAt(5, 0), (Rgb{0, 200, 0}));
    Graphics_SetWindowed(true);
    EXPECT_TRUE(Graphics_Windowed());
    EXPECT_TRUE(Window_IsVisible());
    EXPECT_FALSE(Window_IsMinimized());
    EXPECT_EQ(PixelAt(0, 0), (Rgb{0, 200, 0}));
}

// A window of the canvas's size is drawn into straight; any other size through the canvas texture, scaled. Both ways
// give the same pixels, the switch back keeps the picture for a frame that draws nothing, and a screenshot is taken
// of the frame before it is presented.
TEST_F(GraphicsTest, WindowOfCanvasSizeIsDrawnStraightAndGivesTheCanvasPixels) {
    Sys_UseFakeClock(16);
    const ImagePtr half = SolidImage(40, 40, 100, 150, 250, 128);
    const ImagePtr opaque = SolidImage(40, 40, 10, 20, 30);
    const auto scene = [&] {
        Fill(200, 100, 50);
        Draw_Image(opaque, 10, 10);
        Draw_Image(half, 30, 30); // half over the opaque one and over the background
        Draw_SetBlend(BLEND_ADDITIVE);
        Draw_SetColor(40, 40, 40);
        Draw_Rect(60, 0, 20, 80);
        Draw_ResetState();
        Draw_Text(u"Ag", 5, 5);
        return Graphics_ReadPixels(0, 0, 800, 600);
    };
    const auto target = [] { return SDL_GetRenderTarget(Sdl_Renderer()); };
    Graphics_Flip();
    ASSERT_EQ(target(), nullptr) << "a window of the canvas size is drawn into straight";
    const Pixmap straight = scene();

    SDL_SetWindowSize(Sdl_Window(), 1000, 700);
    Graphics_Flip(); // the resize arrives with the events; the next frame goes through the canvas
    ASSERT_EQ(target(), Sdl_Canvas());
    EXPECT_TRUE(scene().bytes == straight.bytes) << "the canvas's pixels differ from the window's";

    SDL_SetWindowSize(Sdl_Window(), 800, 600);
    Graphics_Flip(); // back to straight: the canvas's picture is carried into the window
    ASSERT_EQ(target(), nullptr);
    Graphics_Flip(); // a frame that draws nothing
    EXPECT_TRUE(Graphics_ReadPixels(0, 0, 800, 600).bytes == straight.bytes);

    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("bq_straight_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "shot.png").string();
    const HarnessConfig saved = Harness_Current();
    HarnessConfig c = saved;
    c.frameMs = 16;
    c.screenshots = {HarnessScreenshot{1, file}};
    Harness_Configure(c); // frame 1 starts
    Fill(1, 2, 3);
    Graphics_Flip();
    Harness_Configure(saved);
    const PixmapPtr shot = Pixmap_Load(Str_FromUtf8(file));
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(Pixmap_ReadPixel(*shot, 400, 300), 0xFF010203u) << "the screenshot shows the frame just drawn";
    std::filesystem::remove_all(dir);

    // Opened in a window of its own size, the canvas is made only when the window's size differs; opened full screen
    // (the desktop's size), at once, before the first frame is drawn.
    Graphics_Close();
    ASSERT_TRUE(Graphics_Open(800, 600, false));
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(Sdl_Renderer(), &w, &h);
    if (w != 800 || h != 600) {
        ASSERT_NE(Sdl_Canvas(), nullptr);
        EXPECT_EQ(target(), Sdl_Canvas());
        EXPECT_TRUE(scene().bytes == straight.bytes);
    }
    Graphics_Close();
    ASSERT_TRUE(Graphics_Open(800, 600, true));
    EXPECT_EQ(Sdl_Canvas(), nullptr);
    EXPECT_EQ(target(), nullptr);
    EXPECT_TRUE(scene().bytes == straight.bytes);
    Sys_UseFakeClock(0);
}

TEST_F(GraphicsTest, WindowTitleIconAndMaximisedState) {
    Window_SetTitle(u"Brisquel 2 – Grüße");
    EXPECT_STREQ(SDL_GetWindowTitle(Sdl_Window()), "Brisquel 2 – Grüße");
    Window_SetIcon(SolidImage(64, 64, 10, 20, 30));
    Window_SetIcon(nullptr); // keeps the icon
    Graphics_SetWindowed(false);
    Graphics_SetWindowed(true); // the icon is given to the window again; nothing breaks
    EXPECT_EQ(PixelAt(0, 0), (Rgb{0, 0, 0}));

    EXPECT_FALSE(Window_IsMaximized());
    sdl_push::Window(SDL_WINDOWEVENT_MAXIMIZED);
    sdl_push::Pump();
    EXPECT_TRUE(Window_IsMaximized());
    Graphics_SetWindowed(false);
    EXPECT_FALSE(Window_IsMaximized()) << "full screen is not maximised";
    Graphics_SetWindowed(true);
    sdl_push::Window(SDL_WINDOWEVENT_RESTORED);
    sdl_push::Pump();
    EXPECT_FALSE(Window_IsMaximized());
}

TEST_F(GraphicsTest, NullAndOutOfRangeDrawNothing) {
    Draw_Image(nullptr, 0, 0);
    Draw_ImageRect(nullptr, 0, 0, 5, 5);
    Draw_ImagePart(nullptr, 0, 0, 0, 0, 1, 1);
    const ImagePtr img = SolidImage(2, 2, 255, 255, 255);
    Draw_Image(img, 0, 0, 1);
    Draw_Image(img, 0, 0, -1);
    EXPECT_EQ(PixelAt(0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(Graphics_ReadPixels(790, 590, 50, 50).width, 10);
}

} // namespace

namespace {

// The pixels of a picture from the embedded assets go once it is uploaded (a big one right after loading) and come
// back, the same, for a lock, a copy or a new texture; a write lock keeps them for good.
TEST_F(GraphicsTest, AssetPicturesLetTheirPixelsGoAndComeBackTheSame) {
    std::vector<uint8_t> rgb(80 * 80 * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = uint8_t(i * 7 % 251);
    const std::vector<uint8_t> file = MakePng(80, 80, PNG_COLOR_TYPE_RGB, 8, rgb);
    Incbin_Register(u"test/released.png", file);
    const PixmapPtr decoded = Pixmap_Decode(file.data(), file.size());
    ASSERT_NE(decoded, nullptr);
    const ImagePtr reference = Image_FromPixmap(*decoded, 0); // not from the assets: keeps its pixels

    const ImagePtr img = Image_Load(u"incbin::test/released.png", 0);
    ASSERT_NE(img, nullptr);
    EXPECT_TRUE(img->frames[0].released) << "80 x 80 is big enough to go at once";
    EXPECT_EQ(Image_Width(img), 80);
    const ImagePtr copy = Image_Clone(img);
    EXPECT_TRUE(copy->frames[0].released) << "a copy of a picture not decoded yet costs nothing either";

    Draw_Image(img, 0, 0);
    Draw_Image(reference, 100, 0);
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{13, 57}, std::pair{79, 79}})
        EXPECT_EQ(PixelAt(x, y), PixelAt(100 + x, y)) << x << "," << y;
    EXPECT_TRUE(img->frames[0].released) << "uploaded: the texture holds the picture";
    EXPECT_FALSE(reference->frames[0].released);

    const Pixmap* pm = Image_Lock(copy, 0, LOCK_WRITE);
    ASSERT_NE(pm, nullptr);
    EXPECT_EQ(pm->bytes, decoded->bytes) << "decoded again, the same";
    Pixmap_WritePixel(*Image_Lock(copy, 0, LOCK_WRITE), 5, 5, 0xFF102030u);
    Image_Unlock(copy, 0);
    Draw_Image(copy, 200, 0);
    EXPECT_EQ(PixelAt(205, 5), (Rgb{16, 32, 48}));
    EXPECT_FALSE(copy->frames[0].released) << "written: its pixels are its own now";
    EXPECT_EQ(Image_Clone(copy)->source, u"") << "a copy of a changed picture cannot decode the file";
    EXPECT_EQ(Pixmap_ReadPixel(*Image_Lock(img, 0, LOCK_READ), 5, 5), Pixmap_ReadPixel(*decoded, 5, 5))
        << "the original is untouched";

    // Dropping the texture lets the written copy keep its pixels, the asset picture decodes itself again.
    Image_DropTexture(copy);
    Image_DropTexture(img);
    EXPECT_EQ(img->frames[0].texture, nullptr);
    Draw_Image(copy, 200, 100);
    Draw_Image(img, 0, 100);
    EXPECT_EQ(PixelAt(205, 105), (Rgb{16, 32, 48}));
    EXPECT_EQ(PixelAt(13, 157), PixelAt(113, 57));

    // A small one keeps its pixels until it is drawn.
    Incbin_Register(u"test/small.png", MakePng(2, 1, PNG_COLOR_TYPE_RGB, 8, {255, 0, 0, 10, 20, 30}));
    const ImagePtr small = Image_Load(u"incbin::test/small.png", 0);
    ASSERT_NE(small, nullptr);
    EXPECT_FALSE(small->frames[0].released);
    Draw_Image(small, 300, 0);
    EXPECT_TRUE(small->frames[0].released);
    EXPECT_EQ(PixelAt(301, 0), (Rgb{10, 20, 30}));
}

// A strip from the embedded assets drawn for the first time gives every frame its texture at once and keeps none of
// its pixels; each frame then shows its own picture.
TEST_F(GraphicsTest, AStripDrawnOnceKeepsEveryFrameAsItsOwnTextureOnly) {
    const Rgb colours[3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    std::vector<uint8_t> rgb;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 6; ++x)
            rgb.insert(rgb.end(), {uint8_t(colours[x / 2].r), uint8_t(colours[x / 2].g), uint8_t(colours[x / 2].b)});
    Incbin_Register(u"test/strip3.png", MakePng(6, 2, PNG_COLOR_TYPE_RGB, 8, rgb));
    const ImagePtr strip = Image_LoadAnim(u"incbin::test/strip3.png", 2, 2, 0, 3, 0);
    ASSERT_NE(strip, nullptr);
    Image_ReleasePixels(*strip, true);
    Draw_Image(strip, 10, 10, 1);
    for (const ImageFrame& f : strip->frames) {
        EXPECT_NE(f.texture, nullptr);
        EXPECT_TRUE(f.released);
    }
    Draw_Image(strip, 20, 10, 2);
    Draw_Image(strip, 30, 10, 0);
    EXPECT_EQ(PixelAt(11, 11), colours[1]);
    EXPECT_EQ(PixelAt(21, 11), colours[2]);
    EXPECT_EQ(PixelAt(31, 11), colours[0]);
}

// A picture from the embedded assets whose pixels were let go is decoded straight into its texture, a band of rows
// at a time: it must draw exactly what the same picture uploaded whole draws, the last short band and the rows on
// either side of a band's edge included, and note the same coverage (the visible box and the opaque rows the
// drawing leans on). PNG with alpha (plain and masked) and JPEG; the pixels stay let go.
TEST_F(GraphicsTest, PicturesDecodedIntoTheirTexturesInBandsDrawAsUploadedWhole) {
    // 700 wide: bands of 93 rows (65 536 pixels of scratch), so 200 rows are two full bands and one of 14.
    constexpr int kW = 700, kH = 200;
    std::vector<uint8_t> rgba;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            // Transparent columns at both ends, faded rows at the top, opaque rows 10..149 across the band edge at
            // 93, then partly transparent rows with some pure black texels (which the masked flag hides).
            const bool margin = x < 3 || x >= kW - 5;
            const int a = margin ? 0 : y < 10 ? y * 25 : y < 150 ? 255 : 128 + (x + y) % 100;
            const bool black = y >= 150 && x % 7 == 0;
            rgba.insert(rgba.end(), {uint8_t(black ? 0 : x * 3 + y), uint8_t(black ? 0 : x ^ y),
                                     uint8_t(black ? 0 : 255 - y), uint8_t(a)});
        }
    std::vector<uint8_t> rgb(size_t(300) * 250 * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = uint8_t(i * 13 % 241);
    const std::vector<uint8_t> png = MakePng(kW, kH, PNG_COLOR_TYPE_RGBA, 8, rgba);
    const std::vector<uint8_t> jpeg = MakeJpeg(300, 250, 3, rgb);
    Incbin_Register(u"test/bands.png", png);
    Incbin_Register(u"test/bands.jpg", jpeg);

    struct Case {
        const char16_t* path;
        const std::vector<uint8_t>* file;
        int flags;
    };
    for (const Case& c : {Case{u"incbin::test/bands.png", &png, 0}, Case{u"incbin::test/bands.png", &png, IMG_MASKED},
                          Case{u"incbin::test/bands.jpg", &jpeg, 0}}) {
        SCOPED_TRACE(testing::Message() << Str_ToUtf8(c.path) << " flags " << c.flags);
        const PixmapPtr decoded = Pixmap_Decode(c.file->data(), c.file->size());
        ASSERT_NE(decoded, nullptr);
        const ImagePtr whole = Image_FromPixmap(*decoded, c.flags); // keeps its pixels: uploaded whole
        const ImagePtr img = Image_Load(c.path, c.flags);
        ASSERT_NE(img, nullptr);
        ASSERT_TRUE(img->frames[0].released);
        Fill(40, 90, 160);
        Draw_Image(img, 0, 0);
        Draw_Image(whole, 0, 300);
        const int w = Image_Width(img), h = Image_Height(img);
        const Pixmap banded = Graphics_ReadPixels(0, 0, w, h), reference = Graphics_ReadPixels(0, 300, w, h);
        ASSERT_EQ(banded.bytes.size(), reference.bytes.size());
        for (int y = 0; y < h; ++y)
            ASSERT_TRUE(std::equal(banded.bytes.begin() + ptrdiff_t(y) * banded.pitch,
                                   banded.bytes.begin() + ptrdiff_t(y + 1) * banded.pitch,
                                   reference.bytes.begin() + ptrdiff_t(y) * reference.pitch))
                << "row " << y;
        const ImageFrame &f = img->frames[0], &g = whole->frames[0];
        EXPECT_TRUE(f.released) << "drawn without holding its pixels";
        EXPECT_EQ(f.opaque, g.opaque);
        EXPECT_TRUE(SDL_RectEquals(&f.visible, &g.visible))
            << f.visible.x << "," << f.visible.y << " " << f.visible.w << "x" << f.visible.h;
        EXPECT_EQ(f.opaqueTop, g.opaqueTop);
        EXPECT_EQ(f.opaqueBottom, g.opaqueBottom);
    }
}

// One frame of a cached layer over something else (the layer covers it), its content drawn when it is not kept.
// Answers the frame's pixels; the frame is shown after.
Pixmap LayerFrame(int layer, uint64_t key, const std::function<void()>& content, Rect area = Rect{},
                  Rect covered = Rect{}) {
    Fill(1, 2, 3);
    if (!Layer_Reuse(layer, key, area, covered)) {
        content();
        Layer_Done(layer);
    }
    Pixmap shown = Graphics_ReadPixels(0, 0, 800, 600);
    Graphics_Flip();
    return shown;
}

} // namespace

// A cached layer gives the pixels of drawing its content straight (blended, additive and text over an opaque
// ground, through the window or the canvas texture) and is drawn again exactly when it must be: a new key, an
// image's pixels written, the render targets reset, the window resized, the renderer made again. A layer left
// undone ends with its frame.
TEST_F(GraphicsTest, CachedLayerKeepsItsPixelsAndIsDrawnAgainWhenItMust) {
    Sys_UseFakeClock(16);
    constexpr int kLayer = 0;
    const ImagePtr half = SolidImage(40, 40, 100, 150, 250, 128);
    const ImagePtr opaque = SolidImage(40, 40, 10, 20, 30);
    const auto content = [&] {
        Fill(200, 100, 50);
        Draw_Image(opaque, 10, 10);
        Draw_Image(half, 30, 30);
        Draw_SetBlend(BLEND_ADDITIVE);
        Draw_SetColor(40, 40, 40);
        Draw_Rect(60, 0, 20, 80);
        Draw_ResetState();
        Draw_Text(u"Ag", 5, 5);
    };
    Graphics_Flip();
    content();
    const Pixmap straight = Graphics_ReadPixels(0, 0, 800, 600);
    const auto frame = [&](uint64_t key) { return LayerFrame(kLayer, key, content); };
    Layer_Release(kLayer);
    const uint32_t start = Layer_Redraws(kLayer);
    const auto drawnAgain = [&] { return Layer_Redraws(kLayer) - start; };

    EXPECT_TRUE(frame(7).bytes == straight.bytes) << "drawn into the layer";
    EXPECT_TRUE(frame(7).bytes == straight.bytes) << "copied from the layer";
    EXPECT_EQ(drawnAgain(), 1u);
    frame(8);
    EXPECT_EQ(drawnAgain(), 2u) << "a new key";

    Pixmap* pm = Image_Lock(opaque, 0, LOCK_WRITE);
    Pixmap_WritePixel(*pm, 2, 20, 0xFF0A141Fu); // shows at (12, 30)
    Image_Unlock(opaque, 0);
    EXPECT_EQ(frame(8).bytes.size(), straight.bytes.size());
    EXPECT_EQ(drawnAgain(), 3u) << "an image's pixels written";
    EXPECT_EQ(PixelAt(12, 30), (Rgb{10, 20, 31}));

    SDL_Event reset{};
    reset.type = SDL_RENDER_TARGETS_RESET;
    SDL_PushEvent(&reset);
    Graphics_Flip(); // the event arrives
    frame(8);
    EXPECT_EQ(drawnAgain(), 4u) << "render targets reset";
    frame(8);
    EXPECT_EQ(drawnAgain(), 4u);

    SDL_SetWindowSize(Sdl_Window(), 1000, 700);
    Graphics_Flip(); // the resize arrives; the frames go through the canvas texture
    ASSERT_EQ(SDL_GetRenderTarget(Sdl_Renderer()), Sdl_Canvas());
    const Pixmap scaled = frame(8);
    EXPECT_EQ(drawnAgain(), 5u) << "window resized";
    EXPECT_EQ(Pixmap_ReadPixel(scaled, 12, 30), 0xFF0A141Fu);
    EXPECT_EQ(Pixmap_ReadPixel(scaled, 50, 50), Pixmap_ReadPixel(straight, 50, 50));
    SDL_SetWindowSize(Sdl_Window(), 800, 600);
    Graphics_Flip();
    frame(8);
    EXPECT_EQ(drawnAgain(), 6u) << "window resized back";

    Graphics_Close();
    ASSERT_TRUE(Graphics_Open(800, 600, true));
    Graphics_Flip();
    EXPECT_EQ(PixelAt(12, 30), (Rgb{0, 0, 0}));
    frame(8);
    EXPECT_EQ(drawnAgain(), 7u) << "renderer made again";
    EXPECT_EQ(PixelAt(12, 30), (Rgb{10, 20, 31}));

    // Begun and not done: the frame's flip ends it, and drawing goes to the window again.
    Fill(1, 2, 3);
    EXPECT_FALSE(Layer_Reuse(kLayer, 9));
    content();
    Graphics_Flip();
    EXPECT_EQ(SDL_GetRenderTarget(Sdl_Renderer()), nullptr);
    EXPECT_EQ(drawnAgain(), 8u);
    frame(9);
    EXPECT_EQ(drawnAgain(), 8u) << "the layer ended by the flip is kept";

    // With drawing off nothing is kept: the next drawn frame draws the layer.
    Graphics_SetDrawing(false);
    EXPECT_FALSE(Layer_Reuse(kLayer, 10));
    Layer_Done(kLayer);
    Graphics_SetDrawing(true);
    EXPECT_EQ(drawnAgain(), 8u) << "no picture is kept while drawing is off";
    frame(10);
    EXPECT_EQ(drawnAgain(), 9u);
    Layer_Release(kLayer);
    Sys_UseFakeClock(0);
}

// A picture wholly beneath the cover, a pixel to spare on every side, is not drawn (an opaque dialog paints over
// it); one touching an edge is; into a cached layer everything is drawn (the layer outlives the cover); without a
// cover everything is drawn again.
TEST_F(GraphicsTest, PicturesWhollyBeneathTheCoverAreLeftOutButNotFromALayer) {
    constexpr int kLayer = 0;
    Layer_Release(kLayer);
    const ImagePtr white = SolidImage(10, 10, 255, 255, 255);
    const Rgb bg{0, 0, 0}, lit{255, 255, 255};
    Fill(0, 0, 0);
    Graphics_SetCover(Rect{100, 100, 200, 100}); // 100..299 x 100..199
    Draw_Image(white, 101, 101);                 // 101..110: a pixel to spare
    Draw_Image(white, 289, 189);                 // 289..298 x 189..198: a pixel to spare
    Draw_SetRotation(30);
    Draw_Image(white, 200, 150); // turned, well inside
    Draw_SetRotation(0);
    Draw_Image(white, 100, 130); // touches the left edge
    Draw_Image(white, 290, 150); // 290..299: touches the right edge
    Draw_Image(white, 150, 190); // 190..199: touches the bottom edge
    EXPECT_EQ(PixelAt(105, 105), bg);
    EXPECT_EQ(PixelAt(295, 195), bg);
    EXPECT_EQ(PixelAt(201, 151), bg);
    EXPECT_EQ(PixelAt(101, 131), lit);
    EXPECT_EQ(PixelAt(298, 151), lit);
    EXPECT_EQ(PixelAt(151, 198), lit);
    if (!Layer_Reuse(kLayer, 7)) {
        Draw_Image(white, 150, 120);
        Layer_Done(kLayer);
    }
    EXPECT_EQ(PixelAt(151, 121), lit) << "drawn into the layer";
    Graphics_SetCover(Rect{});
    Draw_Image(white, 120, 160);
    EXPECT_EQ(PixelAt(121, 161), lit) << "no cover";
    Layer_Release(kLayer);
}

// A covered part is left out of the copies of its frame only (drawn into the layer or copied from it); the layer
// keeps it, a later frame without one copies the whole, and a covered part reaching past the area counts within it.
TEST_F(GraphicsTest, CachedLayerCopyLeavesOutTheCoveredPartOfItsFrameOnly) {
    Sys_UseFakeClock(16);
    constexpr int kLayer = 0;
    Layer_Release(kLayer);
    const auto ground = [] { Fill(200, 100, 50); };
    const auto frame = [&](Rect covered) { return LayerFrame(kLayer, 5, ground, Rect{}, covered); };
    constexpr uint32_t kLayerColour = 0xFFC86432u, kBelow = 0xFF010203u;
    const uint32_t start = Layer_Redraws(kLayer);
    for (const char* pass : {"drawn into the layer", "copied from it"}) {
        const Pixmap pm = frame(Rect{300, 200, 100, 50});
        for (const SDL_Point p : {SDL_Point{300, 200}, SDL_Point{399, 249}})
            EXPECT_EQ(Pixmap_ReadPixel(pm, p.x, p.y), kBelow) << pass << " " << p.x << "," << p.y;
        for (const SDL_Point p : {SDL_Point{299, 220}, SDL_Point{400, 220}, SDL_Point{350, 199}, SDL_Point{350, 250},
                                  SDL_Point{0, 0}, SDL_Point{799, 599}, SDL_Point{0, 220}, SDL_Point{799, 220}})
            EXPECT_EQ(Pixmap_ReadPixel(pm, p.x, p.y), kLayerColour) << pass << " " << p.x << "," << p.y;
    }
    EXPECT_EQ(Layer_Redraws(kLayer) - start, 1u);
    EXPECT_EQ(Pixmap_ReadPixel(frame(Rect{}), 350, 220), kLayerColour) << "a later frame without one";
    const Pixmap corner = frame(Rect{700, -10, 200, 60}); // x 700..799, y 0..49 on the canvas
    EXPECT_EQ(Pixmap_ReadPixel(corner, 799, 0), kBelow);
    EXPECT_EQ(Pixmap_ReadPixel(corner, 700, 49), kBelow);
    EXPECT_EQ(Pixmap_ReadPixel(corner, 699, 0), kLayerColour);
    EXPECT_EQ(Pixmap_ReadPixel(corner, 700, 50), kLayerColour);
    EXPECT_EQ(Layer_Redraws(kLayer) - start, 1u);
    Layer_Release(kLayer);
    Sys_UseFakeClock(0);
}

// A layer for a band of the canvas keeps only the band: what is drawn into it lands at its place (clipped, turned,
// stretched and blended as straight onto the canvas, half of it reaching past the band), the copy puts it back there
// and leaves the rest of the canvas alone, and an area of another size or place is drawn again whole.
TEST_F(GraphicsTest, BandLayerKeepsItsAreaAtItsPlace) {
    Sys_UseFakeClock(16);
    constexpr int kLayer = 1;
    Layer_Release(kLayer);
    const ImagePtr speckled = SpeckledImage(60, 60, 3);
    const ImagePtr half = SolidImage(40, 40, 100, 150, 250, 128);
    const auto content = [&] {
        Draw_SetColor(30, 60, 90);
        Draw_Rect(560, 0, 240, 600); // opaque over every band used below
        Draw_ResetState();
        Draw_Image(speckled, 590, 30); // straddles the band's left edge
        Draw_ImageRect(speckled, 640, 200, 150, 90);
        Draw_SetRotation(30);
        Draw_Image(half, 700, 400);
        Draw_SetRotation(0);
        Draw_SetViewport(650, 100, 60, 40);
        Draw_Image(speckled, 630, 80); // clipped to the viewport
        Draw_SetViewport(0, 0, 800, 600);
        Draw_SetBlend(BLEND_ADDITIVE);
        Draw_SetColor(40, 40, 40);
        Draw_Rect(600, 500, 190, 30);
        Draw_ResetState();
        Draw_Text(u"Ag", 630, 560);
    };
    Graphics_Flip();
    Fill(1, 2, 3);
    content(); // the stretch is seen once here: drawn again into the layer, it is kept as a copy of its own
    const Pixmap straight = Graphics_ReadPixels(0, 0, 800, 600);
    Graphics_Flip();
    const uint32_t below = 0xFF010203u;
    const auto frame = [&](Rect area) { return LayerFrame(kLayer, 4, content, area); };
    const auto check = [&](const Pixmap& pm, Rect area, const char* pass) {
        int wrong = 0;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) {
                const bool inside = x >= area.x && x < area.x + area.w && y >= area.y && y < area.y + area.h;
                const uint32_t want = inside ? Pixmap_ReadPixel(straight, x, y) : below;
                if (Pixmap_ReadPixel(pm, x, y) != want && wrong++ < 3)
                    ADD_FAILURE() << pass << ": pixel " << x << "," << y << (inside ? " inside" : " outside");
            }
        EXPECT_EQ(wrong, 0) << pass;
    };
    const uint32_t start = Layer_Redraws(kLayer);
    const Rect band{620, 10, 180, 580};
    check(frame(band), band, "drawn into the layer");
    check(frame(band), band, "copied from it");
    EXPECT_EQ(Layer_Redraws(kLayer) - start, 1u);
    const Rect wider{580, 10, 220, 580};
    check(frame(wider), wider, "a wider area");
    check(frame(wider), wider, "a wider area copied");
    const Rect moved{570, 0, 220, 580};
    check(frame(moved), moved, "the same size moved");
    EXPECT_EQ(Layer_Redraws(kLayer) - start, 3u);
    const Rect narrower{700, 300, 100, 100};
    check(frame(narrower), narrower, "a smaller area");
    EXPECT_EQ(Layer_Redraws(kLayer) - start, 4u);
    EXPECT_EQ(SDL_GetRenderTarget(Sdl_Renderer()), nullptr);
    SDL_Rect view{};
    SDL_RenderGetViewport(Sdl_Renderer(), &view);
    EXPECT_EQ(view.x, 0) << "the canvas is drawn unmoved after the layer";
    Layer_Release(kLayer);
    Sys_UseFakeClock(0);
}

// On the GL renderers a copy at whole pixels samples nearest and a scaled draw of the same texture filtered, switched
// within one frame: each draw keeps the sampling it was made with, and each draws its own texture (setting a
// texture's sampling binds it behind SDL's back). Skipped where SDL has no OpenGL renderer.
TEST(GraphicsGlTest, WholePixelAndScaledDrawsOfOneTextureKeepTheirSamplingAndTexture) {
#if defined(__SANITIZE_ADDRESS__)
    // The GL driver keeps some of what it allocates while setting up until the process ends, and is unloaded before
    // the leak check can name it: this test's allocations are left out of that check (the same drawing code is
    // checked for leaks on the software renderer by the other tests).
    const __lsan::ScopedDisabler driverAllocations;
#endif
    Graphics_Close();
    SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "opengl", SDL_HINT_OVERRIDE);
    const bool open = Graphics_Open(800, 600, true);
    SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "software", SDL_HINT_OVERRIDE);
    if (!open || std::string(Graphics_RendererName()) != "opengl") {
        Graphics_Close();
        GTEST_SKIP() << "no OpenGL renderer here";
    }
    Draw_SetClsColor(0, 0, 0);
    Draw_Cls();
    Pixmap pm = Pixmap_Create(2, 1, PF_RGB888);
    Pixmap_WritePixel(pm, 0, 0, 0xFF000000);
    Pixmap_WritePixel(pm, 1, 0, 0xFFFFFFFF);
    const ImagePtr edge = Image_FromPixmap(pm, IMG_FILTERED);
    const ImagePtr red = SolidImage(4, 4, 255, 0, 0), green = SolidImage(4, 4, 0, 255, 0);
    const auto smooth = [](int row) {
        int between = 0;
        for (int x = 0; x < 16; ++x)
            between += PixelAt(x, row).r > 0 && PixelAt(x, row).r < 255;
        return between;
    };
    // One frame: stretched, whole, stretched again; the first stretch was queued before the switch to nearest.
    Draw_ImageRect(edge, 0, 0, 16, 1);
    Draw_Image(edge, 0, 2);
    Draw_ImageRect(edge, 0, 4, 16, 1);
    // A draw of red is queued, then edge's sampling is switched (edge bound) with nothing of edge drawn after it.
    // (Green's texture is made first: making a texture makes SDL bind afresh anyway.)
    Draw_Image(green, 120, 100);
    Draw_Image(red, 100, 100);
    Texture_SetSampling(Image_FrameTexture(*edge, 0, false), SDL_ScaleModeNearest);
    Draw_Image(red, 110, 100);
    EXPECT_GE(smooth(0), 6) << "a stretch queued before the switch is still filtered";
    EXPECT_GE(smooth(4), 6) << "a stretch after a whole-pixel copy is filtered again";
    EXPECT_EQ(PixelAt(0, 2), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(1, 2), (Rgb{255, 255, 255})) << "a whole-pixel copy gives its texels";
    for (const int x : {101, 111})
        EXPECT_EQ(PixelAt(x, 101), (Rgb{255, 0, 0})) << "red after the switch draws red, not the texture switched";
    EXPECT_EQ(PixelAt(121, 101), (Rgb{0, 255, 0}));
    Graphics_Close(); // the next test opens the software canvas again
}
