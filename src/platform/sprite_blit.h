// A blitter of our own for the sprite batch's common case on the software renderer: an unrotated, unscaled sprite
// (straight ARGB8888) copied onto an ARGB8888 canvas, tinted (colour and alpha modulation) and blended additively
// or by alpha. It gives SDL's software blitter's pixels within rounding (one step per channel) and does it without
// SDL's per-pixel dispatch on blend mode and flags: one tight loop per blend mode.
#pragma once

#include <cstdint>

#include "platform/graphics.h"

struct BlitPixels {
    uint32_t* pixels = nullptr; // ARGB8888, `pitch` pixels from one row to the next
    int pitch = 0;
    int width = 0;
    int height = 0;
};

struct BlitSource {
    const uint32_t* pixels = nullptr; // straight (not premultiplied) ARGB8888
    int pitch = 0;
    int width = 0;
    int height = 0;
};

// Copies `src` with its top-left corner at (x, y) of `dst`, clipped to `clip` and to `dst`, tinted (r, g, b) with
// alpha a, in blend mode BLEND_ADDITIVE or BLEND_ALPHA (any other is taken as alpha). Returns the pixels touched.
int64_t Blit_Sprite(const BlitPixels& dst, const Rect& clip, const BlitSource& src, int x, int y, uint8_t r, uint8_t g,
                    uint8_t b, uint8_t a, int blend);
