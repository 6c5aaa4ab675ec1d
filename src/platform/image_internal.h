// Private to the platform: what an Image holds (frames kept on the CPU in their decoded format, one texture per
// frame made on first draw; the frames of a picture from the game's own assets are let go while they are not
// needed and decoded again on demand) and the texture access the drawing code needs. Used by image.cpp,
// graphics.cpp, sprite_batch.cpp and font.cpp.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/image.h"

// A pixel format private to the platform: one byte of coverage per pixel, drawn as white with that alpha (glyph
// atlases; colour comes from the tint when drawn). PixelFormat_Bytes does not know it: nothing outside the
// platform ever sees such a pixmap.
constexpr int PF_COVERAGE = 1;
// A zeroed w x h coverage pixmap (sides clamped to 0..kImageMaxSide).
Pixmap Pixmap_CreateCoverage(int w, int h);

struct ImageFrame {
    Pixmap pixels;                  // the frame as decoded or created; what Image_Lock hands out
    SDL_Texture* texture = nullptr; // upload of `pixels` (black made transparent when masked); null until drawn
    SDL_Texture* mask = nullptr;    // alpha-tested copy for blend mode 1; made on first masked draw
    uint32_t generation = 0;        // renderer generation the textures belong to
    bool dirty = true;              // pixels changed since the upload
    bool writeLocked = false;       // locked for writing and not unlocked yet
    bool released = false;          // `pixels` let go (bytes empty, sizes kept); Image_RestorePixels decodes them
    bool opaque = false;            // every texel of the upload has alpha 255 (an alpha blend of it is a copy)
    SDL_Rect visible{};             // bounding box of the upload's texels with alpha above 0
    int opaqueTop = 0;              // rows [opaqueTop, opaqueBottom): the longest run of rows opaque all across
    int opaqueBottom = 0;
};

struct Image {
    int width = 0;     // frame width in pixels
    int height = 0;    // frame height in pixels
    int flags = 0;     // IMG_* load flags
    float handleX = 0; // handle, frame pixels from the top-left
    float handleY = 0;
    std::vector<ImageFrame> frames;
    // Where the frames came from, when that is one of the game's embedded assets (which never change): the pixels
    // can then be let go and decoded again. Empty for created images and files from disk.
    Str source;
    int sourceFirst = 0; // first cell of the strip in the source
    // For a picture the platform makes itself (a glyph atlas): paints the frames' pixels again, so that they can be
    // let go like an asset's between uploads. Empty otherwise.
    std::function<bool(Image&)> repaint;
    bool pinned = false;   // locked once (or not restorable): its pixels stay for good
    bool modified = false; // locked for writing once: the pixels are no longer the source's

    Image() = default;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    ~Image();
};

// Decodes the frames of an image whose pixels were let go (nothing to do otherwise); false when that failed (the
// frames then stay empty and draw nothing). Everything that reads `pixels` directly calls it first.
bool Image_RestorePixels(Image& img);
// Lets the pixels of an image from the embedded assets (or one with `repaint`) go when every frame has its texture of
// the current renderer (or `always`: at load, for big pictures that may never be drawn); kept when pinned, dynamic or
// written to.
void Image_ReleasePixels(Image& img, bool always);

// Renderer generation: bumped whenever the renderer is created or destroyed, so textures of an older renderer are
// known to be gone. 0 = no renderer.
uint32_t Texture_Generation();
// The access a picture's texture is made with: streaming on SDL's software renderer, whose unscaled copies read its
// pixels in place (see graphics.cpp; there a streaming texture costs nothing more), and for `dynamic` pictures;
// static otherwise.
SDL_TextureAccess Texture_PictureAccess(bool dynamic);
// Our own unscaled copies on the software renderer (graphics.cpp): on by default; a test switches them off to compare
// with SDL's. OwnCopies_Drawn counts the copies they drew since the start.
void OwnCopies_Enable(bool on);
int64_t OwnCopies_Drawn();
// The texture of a frame for drawing (masked = the alpha-tested copy); made or refreshed as needed. Null without a
// renderer or when SDL refuses.
SDL_Texture* Image_FrameTexture(Image& img, int frame, bool masked);
// How a frame's texture samples its picture when drawn scaled or turned: filtered for IMG_FILTERED and
// IMG_MIPMAPPED pictures, nearest otherwise (an alpha-tested copy always nearest: a filtered edge would blend).
inline SDL_ScaleMode Image_Sampling(const Image& img, bool masked = false) {
    return !masked && (img.flags & (IMG_FILTERED | IMG_MIPMAPPED)) ? SDL_ScaleModeLinear : SDL_ScaleModeNearest;
}
// Sets how a texture is sampled by the draws queued from now on; those already queued keep their sampling.
void Texture_SetSampling(SDL_Texture* texture, SDL_ScaleMode mode);
// Drops the stretched copies the drawing made of `texture` (see graphics.cpp): called before a frame's texture is
// destroyed or given new pixels.
void ScaledCopies_Forget(SDL_Texture* texture);
// The pixels the stretched copies of the current renderer hold, in bytes.
size_t ScaledCopies_Bytes();
// Converts any pixmap (coverage included) to SDL_PIXELFORMAT_ARGB8888 words (native B G R A bytes) into `out`;
// black pixels made transparent when `maskBlack`.
void Pixmap_ToArgb(const Pixmap& pm, bool maskBlack, std::vector<uint32_t>& out);
