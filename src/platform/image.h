// Images and pixmaps: PNG/JPEG decoding, animation strips, handles, locking a frame's pixels, pixel read/write and
// resizing. Used by the asset layer, effects and toolkit; drawing them is graphics.h. Implemented in image.cpp with
// the codecs in png_codec.cpp and jpeg_codec.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/strings.h"

// Lock format codes. Bytes per pixel in memory order: 3 B G R, 4 R G B, 5 B G R A (native ARGB on little endian),
// 6 R G B A. A 24-bit PNG or any JPEG locks as 4, a PNG with alpha (or palette + tRNS) as 6, created images and
// back-buffer grabs as 5. Nothing produces 3, but every pixel routine accepts it.
enum PixelFormat { PF_BGR888 = 3, PF_RGB888 = 4, PF_BGRA8888 = 5, PF_RGBA8888 = 6 };

// A block of pixels in one of the formats above. Rows are `pitch` bytes apart (pitch = width * bytes per pixel).
struct Pixmap {
    int format = PF_BGRA8888;
    int width = 0;
    int height = 0;
    int pitch = 0;
    std::vector<uint8_t> bytes;
};
using PixmapPtr = std::shared_ptr<Pixmap>;

// Largest accepted side of a decoded or created image, in pixels; larger ones are refused.
constexpr int kImageMaxSide = 8192;

int PixelFormat_Bytes(int format); // 3 for 3/4, 4 for 5/6, 0 for an unknown code

// Decodes PNG or JPEG bytes (told apart by content) into a pixmap of format 4 or 6, or null with a reason on
// stderr. Takes any bytes: truncated, corrupt or oversized input gives null, never a crash. Needs no window.
PixmapPtr Pixmap_Decode(const uint8_t* data, size_t size);
// Reads the file (any stream prefix, "incbin::" included) and decodes it; null when missing or undecodable.
PixmapPtr Pixmap_Load(const Str& path);
// A pixmap of w x h pixels, all zero; w and h clamped to 0..kImageMaxSide; an unknown format becomes 5.
Pixmap Pixmap_Create(int w, int h, int format = PF_BGRA8888);
// Bilinear (filtered) resize to w x h, same format. An empty source or size gives an empty pixmap.
Pixmap Pixmap_Resize(const Pixmap& src, int w, int h);
// 32-bit ARGB access in every format: reading 3/4 gives alpha 255, writing 3/4 drops alpha. Outside the pixmap a
// read gives 0 and a write does nothing.
uint32_t Pixmap_ReadPixel(const Pixmap& pm, int x, int y);
void Pixmap_WritePixel(Pixmap& pm, int x, int y, uint32_t argb);
// Copy converted to another format (alpha 255 when the source has none).
Pixmap Pixmap_Convert(const Pixmap& src, int format);

// Load flags. 1 masked: black pixels become transparent in what is drawn (the locked pixmap is unchanged);
// 2 dynamic: frequent write locks expected; 4 filtered: bilinear when scaled; 8 mipmapped: treated as filtered.
enum ImageFlags { IMG_MASKED = 1, IMG_DYNAMIC = 2, IMG_FILTERED = 4, IMG_MIPMAPPED = 8 };
constexpr int kImageDefaultFlags = -1; // pass as `flags` to use Image_SetDefaultFlags' value

struct Image; // frames, handle, textures; private to the platform
using ImagePtr = std::shared_ptr<Image>;

void Image_SetDefaultFlags(int flags); // initially IMG_FILTERED
int Image_GetDefaultFlags();

// Loading never needs the window: textures are made on first draw. Failures give null (reason on stderr).
ImagePtr Image_Load(const Str& path, int flags = kImageDefaultFlags);
// Animation strip: frames of fw x fh cut from the source left to right, then top to bottom, starting at cell
// `first`, `count` frames. Asking for more cells than the source holds gives null.
ImagePtr Image_LoadAnim(const Str& path, int fw, int fh, int first, int count, int flags = kImageDefaultFlags);
ImagePtr Image_FromPixmapAnim(const Pixmap& src, int fw, int fh, int first, int count, int flags = kImageDefaultFlags);
// Blank image (transparent black, format 5) with `frames` frames of w x h.
ImagePtr Image_Create(int w, int h, int frames = 1, int flags = kImageDefaultFlags);
// A copy of the image: frames, pixels, handle and flags (the pixels of a picture from the embedded assets are shared
// with its file: a copy of one not decoded yet costs nothing until it is drawn or locked). Null for null.
ImagePtr Image_Clone(const ImagePtr& img);
// One-frame image holding a copy of the pixmap (in its format).
ImagePtr Image_FromPixmap(const Pixmap& pm, int flags = kImageDefaultFlags);

// Lets the textures of the image go (a dialog's big pictures, once it closes); for a picture from the embedded
// assets the decoded pixels go too. The next draw makes them again. Nothing for null.
void Image_DropTexture(const ImagePtr& img);
// True while a frame of the image holds a texture of the current renderer (made by a draw, gone with
// Image_DropTexture or the renderer). False for null.
bool Image_HasTexture(const ImagePtr& img);

// Frame size and count; 0 for a null image.
int Image_Width(const ImagePtr& img);
int Image_Height(const ImagePtr& img);
int Image_Frames(const ImagePtr& img);
int Image_Flags(const ImagePtr& img);
// The handle is the point of a frame that lands on the drawing position (default 0, 0).
void Image_SetHandle(const ImagePtr& img, float hx, float hy);
void Image_CentreHandle(const ImagePtr& img); // (width / 2, height / 2), integer halves
float Image_HandleX(const ImagePtr& img);
float Image_HandleY(const ImagePtr& img);
// The longest band of rows [top, bottom) of a frame that is opaque all across, as its texture was made (0, 0 before
// the frame's first draw, and for a null image).
void Image_OpaqueRows(const ImagePtr& img, int frame, int& top, int& bottom);
// The largest rectangle (x, y, w, h) of a frame whose texels all have alpha 255, read from its pixels: what a draw of
// the frame at full strength paints over completely. 0 x 0 when there is none, and for a null image, a frame out of
// range or pixels that cannot be read.
void Image_OpaqueRect(const ImagePtr& img, int frame, int& x, int& y, int& w, int& h);

// Locking a frame gives its pixmap in the format it was decoded or created in. A read lock costs nothing. After a
// write lock, Image_Unlock marks the frame changed: the next draw uploads it again. Null for a null image or a
// frame out of range. The pointer stays valid until the image is freed.
enum LockMode { LOCK_READ = 1, LOCK_WRITE = 2, LOCK_READWRITE = 3 };
Pixmap* Image_Lock(const ImagePtr& img, int frame = 0, int mode = LOCK_READ);
void Image_Unlock(const ImagePtr& img, int frame = 0);
