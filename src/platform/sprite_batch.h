// The sprite batch: many small image quads (and 1-pixel line quads) gathered into one vertex array and drawn with
// one SDL_RenderGeometry call per run of the same texture, blend mode and clip. Images added to the shared atlas
// share one texture, so consecutive sprites of different images stay in one run. Used by the effects and
// particles; any drawing code may use it. Implemented in sprite_batch.cpp beside graphics.cpp.
//
// Order: batched quads reach the canvas at the next flush. Call Batch_Flush before any immediate Draw_* call that
// must land above them; change the viewport through Batch_SetViewport, which flushes first. Sprites are queued as
// compact quads; SDL's vertices are built from them at the flush, only for runs SDL draws (on the software renderer
// our blitter reads the quads themselves). Without an open window the batch still queues and counts (4 vertices a
// quad, as SDL would get them) for the benchmarks, then drops them.
#pragma once

#include <cstdint>

#include "platform/graphics.h"
#include "platform/image.h"

// One sprite: frame `frame` of the image with its handle at (x, y), scaled about the handle, turned `rot` degrees
// clockwise, tinted (r, g, b) with alpha a (all 0..255), in blend mode 3 (alpha) or 4 (additive); other modes are
// taken as 3. A null image, a frame out of range or a zero scale adds nothing.
void Batch_Sprite(const ImagePtr& img, int frame, float x, float y, float sx, float sy, float rot, uint8_t r, uint8_t g,
                  uint8_t b, uint8_t a, int blend);
// A line of 1 pixel width from (x1, y1) to (x2, y2), both end points lit, as an untextured quad.
void Batch_Line(float x1, float y1, float x2, float y2, uint8_t r, uint8_t g, uint8_t b, uint8_t a, int blend);
// The box on the canvas (whole pixels, one to spare on every side) that Batch_Sprite or Batch_Line with these
// arguments may change; empty when it would draw nothing. For drawing what lies under sprites before them.
Rect Batch_SpriteBox(const ImagePtr& img, int frame, float x, float y, float sx, float sy, float rot);
Rect Batch_LineBox(float x1, float y1, float x2, float y2);
// Draws what is gathered (one geometry call) and empties the batch.
void Batch_Flush();
// Flushes, then sets the viewport (the clip of the quads that follow).
void Batch_SetViewport(int x, int y, int w, int h);

// The opaque rectangle of what is drawn over the batch's sprites later in the frame (an open dialog's picture): a
// sprite wholly beneath it is not blended, since every pixel it would change is painted over; a copy or turned
// sprite partly beneath it is blended only around it (on the software renderer), a stretched one whole. Flushes
// first. An empty rectangle: no cover.
void Batch_SetCover(const Rect& r);

// Packs every frame of the image into the shared atlas (once per image; the atlas keeps the image alive). Images
// larger than a page stay on their own textures.
void Batch_AtlasAdd(const ImagePtr& img);
bool Batch_InAtlas(const ImagePtr& img);
// Paints every atlas page's pictures into its texture now (a page is otherwise painted at its first draw, which
// decodes each of its pictures once more): the cost lands on the frame that calls it, a screen's first. Nothing
// without an open window.
void Batch_PreparePages();
// The texture coordinate of the edge before texel `texel` on an axis `size` texels long: the least float whose
// product with the size (exact, or rounded to float) is not below the texel, so truncating it finds the texel again
// whatever the size (an atlas page's height need not be a power of two).
float Batch_TexelEdge(int texel, int size);

// Counters since the last reset: sprites and lines added, vertices built, geometry calls made (flushes of a
// non-empty batch, with or without a window).
struct BatchStats {
    int64_t quads = 0;
    int64_t vertices = 0;
    int64_t flushes = 0;
};
BatchStats Batch_Stats();
void Batch_ResetStats();
