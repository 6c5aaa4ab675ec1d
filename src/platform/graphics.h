// The game window and 2D drawing: an 800x600 canvas scaled to the window, frame flip with a 60 Hz cap, drawing
// state (blend, alpha, colour, scale, rotation, viewport, font), images, rectangles, lines, text, read-back and
// screenshots. Used by every screen; implemented in graphics.cpp.
#pragma once

#include <bit>
#include <cstdint>
#include <type_traits>

#include "platform/font.h"
#include "platform/image.h"
#include "platform/strings.h"

// ---- Window and frame ----------------------------------------------------------------------------------------
// Opens the window (title "Brisquel 2") with a w x h canvas, windowed or desktop full screen. False when SDL has
// no video or renderer (reason on stderr). A second call only switches the mode.
// The canvas every frame is drawn into, in pixels; the one place its size is written (the game's Screen_Width and
// Screen_Height are these).
constexpr int kCanvasWidth = 800, kCanvasHeight = 600;
bool Graphics_Open(int w = kCanvasWidth, int h = kCanvasHeight, bool windowed = true);
void Graphics_Close();
bool Graphics_IsOpen();
void Graphics_SetWindowed(bool windowed); // switch while running; the canvas and all images survive
bool Graphics_Windowed();
int Graphics_Width();  // canvas width in pixels (800)
int Graphics_Height(); // canvas height in pixels (600)
// Shows the canvas. sync -1 or 1: caps the frame rate at 60 Hz (no real wait while the fake clock runs); 0: no
// wait. Ends with Sys_OnFlip() (clock, events, input script, screenshots, exit-after).
void Graphics_Flip(int sync = -1);
// Clears the whole canvas to the clear colour, ignoring the viewport.
void Draw_Cls();
// Off: nothing reaches the canvas (every Draw_*, Draw_Cls and batch flush does nothing and the flip presents
// nothing), while the game's logic and the drawing state run as ever. On by default; the harness switches it per
// frame for tests that look only at chosen frames (HarnessConfig::drawOnDemand).
void Graphics_SetDrawing(bool on);
bool Graphics_Drawing();
void Draw_SetClsColor(int r, int g, int b);
const char* Graphics_RendererName(); // "software", "opengl", ... or "" when closed

void Window_SetTitle(const Str& title);
void Window_SetIcon(const ImagePtr& img); // frame 0 of the image; null does nothing
bool Window_IsMinimized();
bool Window_IsVisible(); // true when headless
bool Window_IsMaximized();

// ---- Drawing state ---------------------------------------------------------------------------------------------
// Blend modes: 1 masked (alpha test at texel alpha 128, no blending; draws nothing below global alpha 0.5; rects,
// lines behave as solid), 2 solid (copy, alpha ignored), 3 alpha (src*a + dst*(1-a)), 4 additive (dst + src*a),
// 5 multiply (dst * src, alpha ignored). Other values are ignored.
enum Blend { BLEND_MASKED = 1, BLEND_SOLID = 2, BLEND_ALPHA = 3, BLEND_ADDITIVE = 4, BLEND_MULTIPLY = 5 };
struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

void Draw_SetBlend(int mode);
int Draw_GetBlend();
void Draw_SetAlpha(float a); // clamped to 0..1; applies to images, text, rects and lines
float Draw_GetAlpha();
void Draw_SetColor(int r, int g, int b); // tint of images and text, colour of rects and lines; stored clamped 0..255
void Draw_GetColor(int& r, int& g, int& b);
void Draw_SetScale(float sx, float sy); // about the image handle (rects and lines: about their first point)
void Draw_GetScale(float& sx, float& sy);
void Draw_SetRotation(float degrees); // clockwise on screen, about the handle
float Draw_GetRotation();
void Draw_SetViewport(int x, int y, int w, int h); // clip rectangle in canvas pixels; no origin change
Rect Draw_GetViewport();
void Draw_SetImageFont(const FontPtr& font); // null: the default font
FontPtr Draw_GetImageFont();                 // the current font (the default one when none was set)
// Initial state: blend 3, alpha 1, colour 255,255,255, scale 1,1, rotation 0, viewport = whole canvas.
void Draw_ResetState();

// ---- Drawing ------------------------------------------------------------------------------------------------------
// Null images, frames out of range and zero scales draw nothing.
void Draw_Image(const ImagePtr& img, float x, float y, int frame = 0);
void Draw_ImageRect(const ImagePtr& img, float x, float y, float w, float h, int frame = 0); // stretched
void Draw_ImagePart(const ImagePtr& img, float x, float y, int sx, int sy, int sw, int sh, int frame = 0);
void Draw_Rect(float x, float y, float w, float h, bool filled = true);
void Draw_Line(float x1, float y1, float x2, float y2); // both end points lit
// Text from its top-left in the current font, colour, alpha, blend and scale.
void Draw_Text(const Str& text, float x, float y);
// The opaque rectangle of what is drawn over the canvas later in the frame (an open dialog's picture): a picture
// drawn wholly beneath it, a pixel to spare on every side, is not drawn at all, since every pixel it would change is
// painted over. Pictures drawn into a cached layer are always drawn (the layer outlives the cover). An empty
// rectangle: no cover. Set by Batch_SetCover.
void Graphics_SetCover(const Rect& r);
int Text_Width(const Str& text);  // in the current font
int Text_Height(const Str& text); // line height of the current font (ascender - descender)

// ---- Cached layers ----------------------------------------------------------------------------------------------
// A canvas-sized picture that stays the same from frame to frame (a screen's backdrop and what lies still on it),
// drawn once into a texture and copied opaque every frame after that: one full-screen copy instead of every picture
// it holds blended again. The caller names what the picture shows by a key built from everything it depends on
// (LayerKey). It is drawn again when the key changes, when the renderer is lost or made again (the render targets'
// reset events, Graphics_Close/Open), when the window changes size or mode, and when any image's pixels are written
// (Image_Lock for writing).
//
//     if (!Layer_Reuse(kMyLayer, key)) {
//         ... draw the content, opaque over the whole canvas (a Draw_Cls first) ...
//         Layer_Done(kMyLayer);
//     }
//
// Layer_Reuse copies the kept picture onto the canvas (within the viewport) and answers true. Otherwise it answers
// false and the drawing calls up to Layer_Done go into the layer, which Layer_Done then copies onto the canvas. With
// drawing off (Graphics_SetDrawing), or without a renderer that draws into textures, the content goes straight to the
// canvas and nothing is kept. Layers are numbered 0..kLayerSlots-1; the game names its own.
// With an area, the layer stands for that rectangle of the canvas only: the content must be opaque there, and only
// the area is copied (a panel at its place in the drawing order). Without one (an empty area) the whole canvas. Its
// texture is of the area's size (made again when the area's size changes); the content is drawn in canvas pixels.
// With a covered rectangle, the copies of this frame leave it out: the caller draws it opaque later in the same frame
// (a panel over the backdrop), so the pixels would be overwritten anyway. The picture kept is the whole area still.
constexpr int kLayerSlots = 3;
bool Layer_Reuse(int layer, uint64_t key, Rect area = Rect{}, Rect covered = Rect{});
void Layer_Done(int layer);
void Layer_Release(int layer);         // lets the layer's texture go (made again at its next use)
uint32_t Layer_Redraws(int layer);     // how often its picture was drawn since the start
// Builds a layer's key: an FNV-1a hash of the values added.
struct LayerKey {
    uint64_t hash = 14695981039346656037ull;
    // Integers, enums, floats (by their bits) and pointers (by address).
    template <class T> LayerKey& Add(T v) {
        if constexpr (std::is_floating_point_v<T>)
            return Mix(std::bit_cast<uint32_t>(float(v)));
        else if constexpr (std::is_pointer_v<T>)
            return Mix(uint64_t(reinterpret_cast<uintptr_t>(v)));
        else
            return Mix(uint64_t(v));
    }
    LayerKey& Mix(uint64_t v) {
        for (int i = 0; i < 8; ++i, v >>= 8)
            hash = (hash ^ (v & 0xff)) * 1099511628211ull;
        return *this;
    }
};
// Every layer's picture is drawn again at its next use (an image's pixels were written, the renderer was reset).
void Layers_Invalidate();

// ---- Read-back
// ------------------------------------------------------------------------------------------------------- Copies the
// canvas rectangle at (x, y) of the image's size into the frame (its pixmap becomes format 5).
void Image_GrabBackBuffer(const ImagePtr& img, int x, int y, int frame = 0);
// Canvas pixels as format 5 (B G R A); the rectangle is clipped to the canvas. Empty when closed.
Pixmap Graphics_ReadPixels(int x, int y, int w, int h);
bool Graphics_SaveScreenshot(const Str& path); // whole canvas as PNG (real file path)
// Encodes a pixmap as PNG bytes (any format); empty on failure.
std::vector<uint8_t> Png_Encode(const Pixmap& pm);
