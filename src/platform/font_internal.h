// Private to the platform: glyph lookup in an image font's atlas, for Draw_Text in graphics.cpp. Implemented in
// font.cpp.
#pragma once

#include "platform/font.h"
#include "platform/image_internal.h"

struct Glyph {
    int x = 0, y = 0, w = 0, h = 0; // rectangle in the atlas (w or h 0: nothing to draw, e.g. space)
    int left = 0;                   // pixels from the pen position to the bitmap's left edge
    int top = 0;                    // pixels from the top of the line (baseline - ascender) to the bitmap's top
    int advance = 0;                // pen advance in whole pixels
};

// The glyph of a character, rendered into the atlas on first use when it lies beyond Latin-1. Null for codes below
// 32. Never null otherwise (a character the face lacks uses the face's missing-glyph shape).
const Glyph* ImageFont_Glyph(ImageFont& font, char32_t code);
// The atlas image: one frame of coverage bytes (PF_COVERAGE), drawn white with alpha = coverage and tinted by the
// current colour.
Image& ImageFont_Atlas(ImageFont& font);
// Number of distinct font files held by the fonts alive now (each file is held once however many fonts use it).
size_t ImageFont_FilesHeld();
