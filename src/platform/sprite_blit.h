// A blitter of our own for the sprite batch on the software renderer: sprites (straight ARGB8888) drawn onto an
// ARGB8888 canvas, tinted (colour and alpha modulation) and blended additively or by alpha, placed as SDL's software
// renderer places the quads of SDL_RenderGeometry: an unturned quad as a copy (whole, or stretched bilinearly when
// its size differs from the frame's), a turned one as two triangles sampled at the nearest texel. The pixels are
// SDL's within rounding (one step per channel; two where SDL's untinted alpha blit approximates), without SDL's
// per-pixel dispatch on blend mode and pixel format, its per-pixel divisions and its temporary surfaces.
#pragma once

#include <cstdint>

#include "platform/graphics.h"

// A window of the canvas: pixel (0, 0) of `pixels` is the canvas's (left, top). The canvas itself is
// canvasWidth x canvasHeight (0: the window's own size); SDL stretches a sprite crossing its edge differently.
struct BlitPixels {
    uint32_t* pixels = nullptr; // ARGB8888, `pitch` pixels from one row to the next
    int pitch = 0;
    int width = 0;
    int height = 0;
    int left = 0, top = 0;
    int canvasWidth = 0, canvasHeight = 0;
};

struct BlitSource {
    const uint32_t* pixels = nullptr; // straight (not premultiplied) ARGB8888
    int pitch = 0;
    int width = 0;
    int height = 0;
};

// The tint and blend of one copy: colour (r, g, b) and alpha a, blend mode BLEND_ADDITIVE or BLEND_ALPHA (any other
// is taken as alpha).
struct BlitTint {
    uint8_t r = 255, g = 255, b = 255, a = 255;
    int blend = BLEND_ALPHA;
};

// Copies `src` with its top-left corner at canvas point (x, y), clipped to `clip` (canvas coordinates) and to the
// window. Returns the pixels touched.
int64_t Blit_Sprite(const BlitPixels& dst, const Rect& clip, const BlitSource& src, int x, int y, uint8_t r, uint8_t g,
                    uint8_t b, uint8_t a, int blend);

// A sprite's four corners on the canvas, in the order the batch gives them to SDL_RenderGeometry: the frame's
// top-left, top-right, bottom-right and bottom-left (two triangles: 0 1 2 and 0 2 3).
struct BlitQuad {
    float x[4] = {};
    float y[4] = {};
};

// How SDL's software renderer draws such a quad. kBlitShapeOther: an unturned quad whose frame lies mirrored or
// turned on it (SDL then copies with its own rotation code); the blitter does not draw those.
enum BlitShape { kBlitShapeCopy, kBlitShapeStretch, kBlitShapeTriangles, kBlitShapeOther };
BlitShape Blit_ShapeOf(const BlitQuad& q, int frameWidth, int frameHeight);

// Draws `src` onto the quad as SDL's software renderer would (see Blit_ShapeOf; kBlitShapeOther draws nothing),
// clipped to `clip` (canvas coordinates) and to the window. Returns the pixels touched.
int64_t Blit_Quad(const BlitPixels& dst, const Rect& clip, const BlitSource& src, const BlitQuad& q,
                  const BlitTint& tint);

// The pixel format of the canvas SDL's software renderer draws into: ARGB8888, or XRGB8888 (SDL_PIXELFORMAT_RGB888, a
// window's surface: the top byte is not alpha, SDL writes it as its blits happen to leave it).
enum BlitCanvasFormat { kBlitCanvasArgb, kBlitCanvasXrgb };

// Copies `src` unscaled with its top-left corner at canvas point (x, y), clipped to `clip` (canvas coordinates) and
// to the window, with exactly the pixels SDL 2.26's SDL_BlitSurface gives (what SDL's software renderer does for an
// unscaled, unturned SDL_RenderCopy), the canvas's top byte included: blend BLEND_SOLID (SDL_BLENDMODE_NONE),
// BLEND_ALPHA (SDL_BLENDMODE_BLEND) or BLEND_ADDITIVE (SDL_BLENDMODE_ADD), tinted by the colour and alpha modulation
// (r, g, b, a). Returns the pixels touched, or -1 for another blend mode (which it leaves to SDL).
int64_t Blit_Copy(const BlitPixels& dst, BlitCanvasFormat format, const Rect& clip, const BlitSource& src, int x, int y,
                  const BlitTint& tint);

// The instruction sets of the inner loops, narrowest first; every one gives the same pixels. The blitter uses the
// widest the processor has; a test or benchmark may ask for a narrower one. Returns the one now in use.
enum BlitPath { kBlitPathScalar, kBlitPathSse2, kBlitPathAvx2 };
BlitPath Blit_UsePath(BlitPath wanted);
