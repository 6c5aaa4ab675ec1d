// Images and pixmaps: decoding, pixel formats, strips, handles, locks and the per-frame textures. Called by the
// asset layer, effects, the toolkit and graphics.cpp (textures).
#include "platform/system.h"
#include "platform/image.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/codecs.h"
#include "platform/frame_tally.h"
#include "platform/graphics.h"
#include "platform/image_internal.h"
#include "platform/incbin.h"
#include "platform/sdl_context.h"
#include "platform/stream.h"

namespace {
int g_defaultFlags = IMG_FILTERED; // flags used when a loader is given kImageDefaultFlags

int ResolveFlags(int flags) { return flags < 0 ? g_defaultFlags : flags; }

bool PixmapValid(const Pixmap& pm) {
    const int bpp = PixelFormat_Bytes(pm.format);
    return bpp > 0 && pm.width > 0 && pm.height > 0 && pm.width <= kImageMaxSide && pm.height <= kImageMaxSide &&
           pm.pitch >= pm.width * bpp && pm.bytes.size() >= size_t(pm.pitch) * pm.height;
}

void Warn(const std::string& what, const Str& path) { Log_Print("image: " + what + ": " + Str_ToUtf8(path)); }

ImageFrame* FrameOf(const ImagePtr& img, int frame) {
    if (!img || frame < 0 || frame >= int(img->frames.size())) return nullptr;
    return &img->frames[size_t(frame)];
}

void DropTextures(ImageFrame& f) {
    ScaledCopies_Forget(f.texture);
    ScaledCopies_Forget(f.mask);
    if (f.generation == Texture_Generation() && f.generation != 0) {
        if (f.texture) SDL_DestroyTexture(f.texture);
        if (f.mask) SDL_DestroyTexture(f.mask);
    }
    f.texture = nullptr;
    f.mask = nullptr;
}
} // namespace

// ---- Pixmaps --------------------------------------------------------------------------------------------------------

int PixelFormat_Bytes(int format) {
    switch (format) {
    case PF_BGR888:
    case PF_RGB888:
        return 3;
    case PF_BGRA8888:
    case PF_RGBA8888:
        return 4;
    default:
        return 0;
    }
}

PixmapPtr Pixmap_Decode(const uint8_t* data, size_t size) {
    if (!data || size == 0) {
        Log_Print("image: empty file");
        return nullptr;
    }
    ++Frame_Tally.decodes;
    if (Png_IsSignature(data, size)) return Png_Decode(data, size);
    if (Jpeg_IsSignature(data, size)) return Jpeg_Decode(data, size);
    Log_Print("image: neither PNG nor JPEG");
    return nullptr;
}

PixmapPtr Pixmap_Load(const Str& path) {
    FileBytes file; // an embedded file is decoded where it lies, and its pages given back afterwards
    if (!File_Bytes(path, file)) return nullptr;
    PixmapPtr pm = Pixmap_Decode(file.data, file.size);
    Incbin_Release(file.data, file.size);
    if (!pm) Warn("cannot decode", path);
    return pm;
}

Pixmap Pixmap_Create(int w, int h, int format) {
    Pixmap pm;
    pm.format = PixelFormat_Bytes(format) ? format : PF_BGRA8888;
    pm.width = std::clamp(w, 0, kImageMaxSide);
    pm.height = std::clamp(h, 0, kImageMaxSide);
    pm.pitch = pm.width * PixelFormat_Bytes(pm.format);
    pm.bytes.assign(size_t(pm.pitch) * pm.height, 0);
    return pm;
}

uint32_t Pixmap_ReadPixel(const Pixmap& pm, int x, int y) {
    const int bpp = PixelFormat_Bytes(pm.format);
    if (bpp == 0 || x < 0 || y < 0 || x >= pm.width || y >= pm.height) return 0;
    const size_t at = size_t(y) * pm.pitch + size_t(x) * bpp;
    if (at + bpp > pm.bytes.size()) return 0;
    const uint8_t* p = pm.bytes.data() + at;
    uint32_t r, g, b, a = 255;
    switch (pm.format) {
    case PF_BGR888:
        b = p[0], g = p[1], r = p[2];
        break;
    case PF_RGB888:
        r = p[0], g = p[1], b = p[2];
        break;
    case PF_BGRA8888:
        b = p[0], g = p[1], r = p[2], a = p[3];
        break;
    default:
        r = p[0], g = p[1], b = p[2], a = p[3];
        break;
    }
    return a << 24 | r << 16 | g << 8 | b;
}

void Pixmap_WritePixel(Pixmap& pm, int x, int y, uint32_t argb) {
    const int bpp = PixelFormat_Bytes(pm.format);
    if (bpp == 0 || x < 0 || y < 0 || x >= pm.width || y >= pm.height) return;
    const size_t at = size_t(y) * pm.pitch + size_t(x) * bpp;
    if (at + bpp > pm.bytes.size()) return;
    uint8_t* p = pm.bytes.data() + at;
    const uint8_t a = uint8_t(argb >> 24), r = uint8_t(argb >> 16), g = uint8_t(argb >> 8), b = uint8_t(argb);
    switch (pm.format) {
    case PF_BGR888:
        p[0] = b, p[1] = g, p[2] = r;
        break;
    case PF_RGB888:
        p[0] = r, p[1] = g, p[2] = b;
        break;
    case PF_BGRA8888:
        p[0] = b, p[1] = g, p[2] = r, p[3] = a;
        break;
    default:
        p[0] = r, p[1] = g, p[2] = b, p[3] = a;
        break;
    }
}

Pixmap Pixmap_Convert(const Pixmap& src, int format) {
    Pixmap out = Pixmap_Create(PixmapValid(src) ? src.width : 0, PixmapValid(src) ? src.height : 0, format);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            Pixmap_WritePixel(out, x, y, Pixmap_ReadPixel(src, x, y));
    return out;
}

Pixmap Pixmap_Resize(const Pixmap& src, int w, int h) {
    if (!PixmapValid(src) || w <= 0 || h <= 0)
        return Pixmap_Create(0, 0, PixelFormat_Bytes(src.format) ? src.format : 5);
    Pixmap out = Pixmap_Create(w, h, src.format);
    const int bpp = PixelFormat_Bytes(src.format);
    // Sample centres map onto each other; every channel (alpha included) is interpolated in the stored byte order.
    const double fx = double(src.width) / out.width, fy = double(src.height) / out.height;
    for (int y = 0; y < out.height; ++y) {
        const double sy = std::clamp((y + 0.5) * fy - 0.5, 0.0, double(src.height - 1));
        const int y0 = int(sy), y1 = std::min(y0 + 1, src.height - 1);
        const double ty = sy - y0;
        for (int x = 0; x < out.width; ++x) {
            const double sx = std::clamp((x + 0.5) * fx - 0.5, 0.0, double(src.width - 1));
            const int x0 = int(sx), x1 = std::min(x0 + 1, src.width - 1);
            const double tx = sx - x0;
            const uint8_t* p00 = src.bytes.data() + size_t(y0) * src.pitch + size_t(x0) * bpp;
            const uint8_t* p10 = src.bytes.data() + size_t(y0) * src.pitch + size_t(x1) * bpp;
            const uint8_t* p01 = src.bytes.data() + size_t(y1) * src.pitch + size_t(x0) * bpp;
            const uint8_t* p11 = src.bytes.data() + size_t(y1) * src.pitch + size_t(x1) * bpp;
            uint8_t* d = out.bytes.data() + size_t(y) * out.pitch + size_t(x) * bpp;
            for (int c = 0; c < bpp; ++c) {
                const double top = p00[c] + (p10[c] - p00[c]) * tx;
                const double bottom = p01[c] + (p11[c] - p01[c]) * tx;
                d[c] = uint8_t(std::lround(top + (bottom - top) * ty));
            }
        }
    }
    return out;
}

Pixmap Pixmap_CreateCoverage(int w, int h) {
    Pixmap pm;
    pm.format = PF_COVERAGE;
    pm.width = std::clamp(w, 0, kImageMaxSide);
    pm.height = std::clamp(h, 0, kImageMaxSide);
    pm.pitch = pm.width;
    pm.bytes.assign(size_t(pm.pitch) * pm.height, 0);
    return pm;
}

namespace {
// One row of `w` pixels in `format` (coverage included) as ARGB words; black made transparent when `maskBlack`
// (coverage is never black).
void RowToArgb(const uint8_t* p, int w, int format, bool maskBlack, uint32_t* d) {
    if (format == PF_COVERAGE) { // white, alpha = coverage
        for (int x = 0; x < w; ++x)
            d[x] = uint32_t(p[x]) << 24 | 0xFFFFFFu;
        return;
    }
    // Byte positions of red, green and blue, and of alpha (-1: none).
    const int bpp = PixelFormat_Bytes(format);
    const bool bgr = format == PF_BGR888 || format == PF_BGRA8888;
    const int ri = bgr ? 2 : 0, bi = bgr ? 0 : 2, ai = bpp == 4 ? 3 : -1;
    for (int x = 0; x < w; ++x, p += bpp) {
        const uint32_t rgb = uint32_t(p[ri]) << 16 | uint32_t(p[1]) << 8 | p[bi];
        const uint32_t a = ai < 0 ? 255u : p[ai];
        d[x] = (maskBlack && rgb == 0) ? 0u : (a << 24 | rgb);
    }
}
} // namespace

void Pixmap_ToArgb(const Pixmap& pm, bool maskBlack, std::vector<uint32_t>& out) {
    const int bpp = pm.format == PF_COVERAGE ? 1 : PixelFormat_Bytes(pm.format);
    const int w = bpp ? std::max(pm.width, 0) : 0, h = bpp ? std::max(pm.height, 0) : 0;
    out.resize(size_t(w) * h);
    if (pm.bytes.size() < size_t(pm.pitch) * h || pm.pitch < w * bpp) {
        std::fill(out.begin(), out.end(), 0u);
        return;
    }
    for (int y = 0; y < h; ++y)
        RowToArgb(pm.bytes.data() + size_t(y) * pm.pitch, w, pm.format, maskBlack, out.data() + size_t(y) * w);
}

// ---- Images
// -----------------------------------------------------------------------------------------------------------

Image::~Image() {
    for (ImageFrame& f : frames)
        DropTextures(f);
}

void Image_SetDefaultFlags(int flags) { g_defaultFlags = std::max(flags, 0); }
int Image_GetDefaultFlags() { return g_defaultFlags; }

ImagePtr Image_FromPixmapAnim(const Pixmap& src, int fw, int fh, int first, int count, int flags) {
    if (!PixmapValid(src) || fw <= 0 || fh <= 0 || first < 0 || count <= 0) return nullptr;
    const int cols = src.width / fw, rows = src.height / fh;
    if (int64_t(first) + count > int64_t(cols) * rows) return nullptr;
    auto img = std::make_shared<Image>();
    img->width = fw;
    img->height = fh;
    img->flags = ResolveFlags(flags);
    img->frames.resize(size_t(count));
    const int bpp = PixelFormat_Bytes(src.format);
    for (int i = 0; i < count; ++i) {
        const int cell = first + i, cx = (cell % cols) * fw, cy = (cell / cols) * fh;
        Pixmap& pm = img->frames[size_t(i)].pixels;
        pm = Pixmap_Create(fw, fh, src.format);
        for (int y = 0; y < fh; ++y)
            std::copy_n(src.bytes.data() + size_t(cy + y) * src.pitch + size_t(cx) * bpp, size_t(fw) * bpp,
                        pm.bytes.data() + size_t(y) * pm.pitch);
    }
    return img;
}

ImagePtr Image_FromPixmap(const Pixmap& pm, int flags) {
    if (!PixmapValid(pm)) return nullptr;
    return Image_FromPixmapAnim(pm, pm.width, pm.height, 0, 1, flags);
}

namespace {
// Image_FromPixmapAnim of a decoded picture that is not needed afterwards: a single frame covering the whole
// picture takes its bytes over instead of a copy (a full-screen picture would otherwise be held twice for a while).
ImagePtr FromDecoded(Pixmap&& src, int fw, int fh, int first, int count, int flags) {
    if (first != 0 || count != 1 || fw != src.width || fh != src.height || !PixmapValid(src) ||
        src.pitch != src.width * PixelFormat_Bytes(src.format) || src.bytes.size() != size_t(src.pitch) * src.height)
        return Image_FromPixmapAnim(src, fw, fh, first, count, flags);
    auto img = std::make_shared<Image>();
    img->width = fw;
    img->height = fh;
    img->flags = ResolveFlags(flags);
    img->frames.resize(1);
    img->frames[0].pixels = std::move(src);
    return img;
}
} // namespace

namespace {
// A strip cut into its frames while it is decoded: each row goes straight to the frames it crosses, so the whole
// picture is never held beside its frames (a 64-frame strip would otherwise be held twice while it is cut).
struct StripCut {
    int fw, fh, first, count, flags;
    ImagePtr img; // made once the picture's size is known
    int cols = 0, bpp = 0;
    bool refused = false; // the frames asked for do not fit the picture
};

bool StripStart(void* ctx, int w, int h, int format) {
    StripCut& cut = *static_cast<StripCut*>(ctx);
    cut.cols = w / cut.fw;
    const int rows = h / cut.fh;
    if (cut.cols <= 0 || int64_t(cut.first) + cut.count > int64_t(cut.cols) * rows) {
        cut.refused = true;
        return false;
    }
    cut.bpp = PixelFormat_Bytes(format);
    cut.img = std::make_shared<Image>();
    cut.img->width = cut.fw;
    cut.img->height = cut.fh;
    cut.img->flags = ResolveFlags(cut.flags);
    cut.img->frames.resize(size_t(cut.count));
    for (ImageFrame& f : cut.img->frames)
        f.pixels = Pixmap_Create(cut.fw, cut.fh, format);
    return true;
}

void StripRow(void* ctx, int y, const uint8_t* pixels) {
    StripCut& cut = *static_cast<StripCut*>(ctx);
    const int cellRow = y / cut.fh, inFrame = y % cut.fh;
    const size_t frameBytes = size_t(cut.fw) * cut.bpp;
    for (int c = 0; c < cut.cols; ++c) {
        const int i = cellRow * cut.cols + c - cut.first;
        if (i < 0 || i >= cut.count) continue;
        Pixmap& pm = cut.img->frames[size_t(i)].pixels;
        std::copy_n(pixels + size_t(c) * frameBytes, frameBytes, pm.bytes.data() + size_t(inFrame) * pm.pitch);
    }
}

// The frames of a strip in a file: a PNG is cut as it is decoded, anything else decoded whole and cut. Null when the
// file cannot be read or the frames do not fit it (each reported).
ImagePtr LoadStrip(const Str& path, int fw, int fh, int first, int count, int flags) {
    if (fw <= 0 || fh <= 0 || first < 0 || count <= 0) return nullptr;
    FileBytes file;
    if (!File_Bytes(path, file)) return nullptr;
    ImagePtr img;
    if (count > 1 && Png_IsSignature(file.data, file.size)) {
        StripCut cut{fw, fh, first, count, flags, nullptr};
        if (Png_DecodeRows(file.data, file.size, PixelRowSink{StripStart, StripRow, &cut}))
            img = cut.img;
        else
            Warn(cut.refused ? "strip does not fit the image" : "cannot decode", path);
    } else if (PixmapPtr pm = Pixmap_Decode(file.data, file.size)) {
        img = FromDecoded(std::move(*pm), fw, fh, first, count, flags);
        if (!img) Warn("strip does not fit the image", path);
    } else {
        Warn("cannot decode", path);
    }
    Incbin_Release(file.data, file.size);
    return img;
}

// Pictures from the embedded assets at least this big (decoded, 64 x 64 RGBA) are let go right after loading: many
// (wallpapers, help pages, the castles and castle parts not being built) are never drawn in a session, and a drawn
// one is decoded again at its first draw. Smaller ones are let go once their textures are made.
constexpr size_t kReleaseAtLoadBytes = 16 * 1024;

ImagePtr Remember(ImagePtr img, const Str& path, int first) {
    if (!img || path.rfind(u"incbin::", 0) != 0) return img;
    img->source = path;
    img->sourceFirst = first;
    size_t bytes = 0;
    for (const ImageFrame& f : img->frames)
        bytes += f.pixels.bytes.size();
    if (bytes >= kReleaseAtLoadBytes) Image_ReleasePixels(*img, true);
    return img;
}
} // namespace

ImagePtr Image_Load(const Str& path, int flags) {
    PixmapPtr pm = Pixmap_Load(path);
    return pm ? Remember(FromDecoded(std::move(*pm), pm->width, pm->height, 0, 1, flags), path, 0) : nullptr;
}

ImagePtr Image_LoadAnim(const Str& path, int fw, int fh, int first, int count, int flags) {
    return Remember(LoadStrip(path, fw, fh, first, count, flags), path, first);
}

bool Image_RestorePixels(Image& img) {
    bool any = false;
    for (const ImageFrame& f : img.frames)
        any = any || f.released;
    if (!any) return true;
    if (img.repaint) {
        if (img.repaint(img)) return true;
        img.pinned = true; // no second try every frame
        return false;
    }
    const ImagePtr again =
        LoadStrip(img.source, img.width, img.height, img.sourceFirst, int(img.frames.size()), img.flags);
    if (!again || again->frames.size() != img.frames.size()) {
        Warn("cannot decode again", img.source);
        img.pinned = true; // no second try every frame
        return false;
    }
    for (size_t i = 0; i < img.frames.size(); ++i)
        if (img.frames[i].released) {
            img.frames[i].pixels = std::move(again->frames[i].pixels);
            img.frames[i].released = false;
        }
    return true;
}

void Image_ReleasePixels(Image& img, bool always) {
    if ((img.source.empty() && !img.repaint) || img.pinned || (img.flags & IMG_DYNAMIC)) return;
    const uint32_t gen = Texture_Generation();
    for (const ImageFrame& f : img.frames) {
        if (f.writeLocked) return;
        if (!always && !f.released && (!f.texture || f.dirty || f.generation != gen)) return; // still to upload
    }
    for (ImageFrame& f : img.frames) {
        if (f.released) continue;
        std::vector<uint8_t>().swap(f.pixels.bytes); // the sizes stay: only the bytes go
        f.released = true;
    }
}

ImagePtr Image_Create(int w, int h, int frames, int flags) {
    if (w <= 0 || h <= 0 || w > kImageMaxSide || h > kImageMaxSide || frames <= 0 || frames > 4096) return nullptr;
    auto img = std::make_shared<Image>();
    img->width = w;
    img->height = h;
    img->flags = ResolveFlags(flags);
    img->frames.resize(size_t(frames));
    for (ImageFrame& f : img->frames)
        f.pixels = Pixmap_Create(w, h, PF_BGRA8888);
    return img;
}

void Image_DropTexture(const ImagePtr& img) {
    if (!img) return;
    for (ImageFrame& f : img->frames) {
        DropTextures(f);
        f.dirty = true;
    }
    Image_ReleasePixels(*img, true);
}

bool Image_HasTexture(const ImagePtr& img) {
    if (!img) return false;
    const uint32_t gen = Texture_Generation();
    for (const ImageFrame& f : img->frames)
        if (f.texture && f.generation == gen && gen != 0) return true;
    return false;
}

ImagePtr Image_Clone(const ImagePtr& img) {
    if (!img || img->frames.empty()) return nullptr;
    auto copy = std::make_shared<Image>();
    copy->width = img->width;
    copy->height = img->height;
    copy->flags = img->flags;
    copy->handleX = img->handleX;
    copy->handleY = img->handleY;
    if (!img->modified) { // still the asset's pixels: the copy can let them go and decode them again too
        copy->source = img->source;
        copy->sourceFirst = img->sourceFirst;
    }
    copy->frames.resize(img->frames.size());
    for (size_t i = 0; i < img->frames.size(); ++i) {
        const ImageFrame& f = img->frames[i];
        ImageFrame& c = copy->frames[i];
        if (f.released) { // a released frame is never modified: the copy waits for its first use as well
            c.pixels.format = f.pixels.format;
            c.pixels.width = f.pixels.width;
            c.pixels.height = f.pixels.height;
            c.pixels.pitch = f.pixels.pitch;
            c.released = true;
        } else {
            c.pixels = f.pixels;
        }
    }
    return copy;
}

int Image_Width(const ImagePtr& img) { return img ? img->width : 0; }
int Image_Height(const ImagePtr& img) { return img ? img->height : 0; }
int Image_Frames(const ImagePtr& img) { return img ? int(img->frames.size()) : 0; }
int Image_Flags(const ImagePtr& img) { return img ? img->flags : 0; }
float Image_HandleX(const ImagePtr& img) { return img ? img->handleX : 0.0f; }
float Image_HandleY(const ImagePtr& img) { return img ? img->handleY : 0.0f; }

void Image_SetHandle(const ImagePtr& img, float hx, float hy) {
    if (!img) return;
    img->handleX = hx;
    img->handleY = hy;
}

void Image_CentreHandle(const ImagePtr& img) {
    if (img) Image_SetHandle(img, float(img->width / 2), float(img->height / 2));
}

Pixmap* Image_Lock(const ImagePtr& img, int frame, int mode) {
    ImageFrame* f = FrameOf(img, frame);
    if (!f) return nullptr;
    // The pointer handed out stays valid: a locked image keeps its pixels from now on.
    Image_RestorePixels(*img);
    img->pinned = true;
    if (mode & LOCK_WRITE) {
        f->dirty = true; // a draw before the unlock shows what was written so far
        f->writeLocked = true;
        Layers_Invalidate(); // a cached layer may show the old pixels
        img->modified = true;
    }
    return &f->pixels;
}

void Image_Unlock(const ImagePtr& img, int frame) {
    ImageFrame* f = FrameOf(img, frame);
    if (!f || !f->writeLocked) return;
    f->writeLocked = false;
    f->dirty = true;
    Layers_Invalidate();
}

void Image_OpaqueRows(const ImagePtr& img, int frame, int& top, int& bottom) {
    top = bottom = 0;
    const ImageFrame* f = img && frame >= 0 && frame < int(img->frames.size()) ? &img->frames[size_t(frame)] : nullptr;
    if (!f || !f->texture || f->dirty) return;
    top = f->opaqueTop;
    bottom = f->opaqueBottom;
}

void Image_OpaqueRect(const ImagePtr& img, int frame, int& x, int& y, int& w, int& h) {
    x = y = w = h = 0;
    if (!FrameOf(img, frame)) return;
    Image& im = *img;
    const bool wasReleased = im.frames[size_t(frame)].released;
    if (!Image_RestorePixels(im)) return;
    std::vector<uint32_t> argb;
    Pixmap_ToArgb(im.frames[size_t(frame)].pixels, (im.flags & IMG_MASKED) != 0, argb);
    if (wasReleased) Image_ReleasePixels(im, true); // read once; let go again as it was
    const int cols = im.width, rows = im.height;
    if (argb.size() < size_t(cols) * size_t(rows)) return;
    // Row by row, the run of opaque texels ending in it per column; the largest rectangle under that histogram
    // from a stack of rising runs.
    std::vector<int> run(size_t(cols) + 1, 0), stack;
    int64_t best = 0;
    for (int row = 0; row < rows; ++row) {
        for (int c = 0; c < cols; ++c)
            run[size_t(c)] = (argb[size_t(row) * size_t(cols) + size_t(c)] >> 24) == 255 ? run[size_t(c)] + 1 : 0;
        stack.clear();
        for (int c = 0; c <= cols; ++c) { // run[cols] stays 0: it closes every open run
            while (!stack.empty() && run[size_t(stack.back())] >= run[size_t(c)]) {
                const int tall = run[size_t(stack.back())];
                stack.pop_back();
                const int left = stack.empty() ? 0 : stack.back() + 1;
                if (int64_t(tall) * (c - left) > best) {
                    best = int64_t(tall) * (c - left);
                    x = left;
                    y = row - tall + 1;
                    w = c - left;
                    h = tall;
                }
            }
            stack.push_back(c);
        }
    }
}

// ---- Textures -----------------------------------------------------------------------------------------------------

namespace {
// What the drawing needs to know of an upload's alpha, gathered row by row: the visible box (texels with alpha above
// 0) and the longest band of rows opaque all across.
struct CoverageScan {
    int w = 0, h = 0;
    int left = 0, right = -1, top = 0, bottom = -1, runTop = 0, bestTop = 0, bestLen = 0;

    CoverageScan(int width, int height) : w(width), h(height), left(width), top(height) {}
    void Row(int y, const uint32_t* row) {
        bool solid = true;
        for (int x = 0; x < w; ++x) {
            const uint32_t a = row[x] >> 24;
            solid = solid && a == 255;
            if (a == 0) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = y;
        }
        if (!solid) {
            runTop = y + 1;
        } else if (y + 1 - runTop > bestLen) {
            bestTop = runTop;
            bestLen = y + 1 - runTop;
        }
    }
    void Note(ImageFrame& f) const {
        f.opaque = bestLen == h;
        f.visible = right < 0 ? SDL_Rect{0, 0, 0, 0} : SDL_Rect{left, top, right - left + 1, bottom - top + 1};
        f.opaqueTop = bestTop;
        f.opaqueBottom = bestTop + bestLen;
    }
};

void NoteCoverage(ImageFrame& f, const std::vector<uint32_t>& argb, int w, int h) {
    if (argb.size() < size_t(w) * size_t(h)) { // no full upload to read: drawn as a whole, blended
        f.opaque = false;
        f.visible = SDL_Rect{0, 0, w, h};
        f.opaqueTop = f.opaqueBottom = 0;
        return;
    }
    CoverageScan scan(w, h);
    for (int y = 0; y < h; ++y)
        scan.Row(y, argb.data() + size_t(y) * size_t(w));
    scan.Note(f);
}
} // namespace

constexpr size_t kKeptScratchPixels = 256 * 256; // an upload scratch up to this size is kept between uploads

namespace {
// True when the image's pixels may go once uploaded: they can be decoded or painted again (as Image_ReleasePixels).
bool Releasable(const Image& img) {
    if ((img.source.empty() && !img.repaint) || img.pinned || (img.flags & IMG_DYNAMIC)) return false;
    for (const ImageFrame& f : img.frames)
        if (f.writeLocked) return false;
    return true;
}

// The frame's texture of w x h (made anew when it has another size); false when SDL refuses one.
bool FrameTextureOfSize(const Image& img, ImageFrame& f, SDL_Renderer* r, int w, int h) {
    ScaledCopies_Forget(f.texture); // its picture changes
    if (f.texture) {
        int tw = 0, th = 0;
        SDL_QueryTexture(f.texture, nullptr, nullptr, &tw, &th);
        if (tw != w || th != h) {
            SDL_DestroyTexture(f.texture);
            f.texture = nullptr;
        }
    }
    if (!f.texture) {
        f.texture =
            SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, Texture_PictureAccess(img.flags & IMG_DYNAMIC), w, h);
        if (!f.texture) return false;
        ++Frame_Tally.texturesMade;
        SDL_SetTextureScaleMode(f.texture, Image_Sampling(img));
    }
    return true;
}

// Makes or refreshes the frame's texture from its pixels (through `scratch`) and notes its coverage.
bool UploadFrame(const Image& img, ImageFrame& f, SDL_Renderer* r, std::vector<uint32_t>& scratch) {
    const int w = f.pixels.width, h = f.pixels.height;
    if (!FrameTextureOfSize(img, f, r, w, h)) return false;
    Pixmap_ToArgb(f.pixels, (img.flags & IMG_MASKED) != 0, scratch);
    SDL_UpdateTexture(f.texture, nullptr, scratch.data(), w * 4);
    ++Frame_Tally.uploads;
    Frame_Tally.uploadPx += int64_t(w) * h;
    NoteCoverage(f, scratch, w, h);
    f.dirty = false;
    return true;
}

// A picture decoded straight into its texture, a band of rows at a time (the rows `scratch` holds).
struct BandUpload {
    const Image& img;
    ImageFrame& f;
    SDL_Renderer* renderer;
    std::vector<uint32_t>& scratch;
    CoverageScan coverage;
    int bandRows = 1;  // rows a band holds
    int bandTop = 0;   // first row of the band being filled
    int rowsSeen = 0;  // rows handed over so far
    bool made = false; // the texture is there
};

bool BandStart(void* ctx, int w, int h, int format) {
    BandUpload& up = *static_cast<BandUpload*>(ctx);
    const Pixmap& pm = up.f.pixels;
    // The file must still be the picture it was at loading (it is one of the game's own: it always is).
    if (w != pm.width || h != pm.height || format != pm.format) return false;
    if (!FrameTextureOfSize(up.img, up.f, up.renderer, w, h)) return false;
    up.made = true;
    up.bandRows = std::clamp(int(kKeptScratchPixels / size_t(w)), 1, h);
    up.scratch.resize(size_t(up.bandRows) * size_t(w));
    return true;
}

void BandRow(void* ctx, int y, const uint8_t* pixels) {
    BandUpload& up = *static_cast<BandUpload*>(ctx);
    const int w = up.f.pixels.width, h = up.f.pixels.height;
    if (y != up.rowsSeen || y >= h) return; // rows come in order, once each; anything else leaves rowsSeen short
    ++up.rowsSeen;
    uint32_t* row = up.scratch.data() + size_t(y - up.bandTop) * size_t(w);
    RowToArgb(pixels, w, up.f.pixels.format, (up.img.flags & IMG_MASKED) != 0, row);
    up.coverage.Row(y, row);
    if (y + 1 - up.bandTop < up.bandRows && y + 1 < h) return;
    const SDL_Rect band{0, up.bandTop, w, y + 1 - up.bandTop};
    SDL_UpdateTexture(up.f.texture, &band, up.scratch.data(), w * 4);
    up.bandTop = y + 1;
}

// The texture of a picture from the embedded assets whose pixels were let go, decoded from its file straight into
// the texture in bands: neither the decoded picture nor its converted copy is held whole (a full-screen picture
// would otherwise take 3.7 MB more while it is uploaded, a screen's first frame making several). Its pixels stay let
// go. False when the picture is not such a one or its file cannot be read that way (then it is decoded whole).
bool StreamUpload(Image& img, ImageFrame& f, SDL_Renderer* r, std::vector<uint32_t>& scratch) {
    if (img.frames.size() != 1 || !f.released || img.source.empty() || img.repaint || img.sourceFirst != 0 ||
        !Releasable(img))
        return false;
    FileBytes file;
    if (!File_Bytes(img.source, file)) return false;
    BandUpload up{img, f, r, scratch, CoverageScan(f.pixels.width, f.pixels.height)};
    const PixelRowSink sink{BandStart, BandRow, &up};
    const bool read = Png_IsSignature(file.data, file.size)    ? Png_DecodeRows(file.data, file.size, sink)
                      : Jpeg_IsSignature(file.data, file.size) ? Jpeg_DecodeRows(file.data, file.size, sink)
                                                               : false;
    Incbin_Release(file.data, file.size);
    if (!read || up.rowsSeen != f.pixels.height) {
        if (up.made) f.dirty = true; // a part may have arrived: the whole-picture way uploads it again
        return false;
    }
    up.coverage.Note(f);
    f.dirty = false;
    return true;
}
} // namespace

SDL_Texture* Image_FrameTexture(Image& img, int frame, bool masked) {
    if (frame < 0 || frame >= int(img.frames.size())) return nullptr;
    SDL_Renderer* r = Sdl_Renderer();
    const uint32_t gen = Texture_Generation();
    if (!r || gen == 0) return nullptr;
    ImageFrame& f = img.frames[size_t(frame)];
    if (f.generation != gen) { // textures of an older renderer are already gone
        f.texture = nullptr;
        f.mask = nullptr;
        f.generation = gen;
        f.dirty = true;
    }
    if (f.dirty) {
        ScaledCopies_Forget(f.mask);
        if (f.mask) SDL_DestroyTexture(f.mask);
        f.mask = nullptr;
    }
    static std::vector<uint32_t> scratch; // reused between uploads of small frames
    // A full-screen picture's scratch (about 2 MB) is not kept for the rest of the run: such uploads are rare, and an
    // idle frame makes none.
    const auto trimScratch = [] {
        if (scratch.capacity() > kKeptScratchPixels) std::vector<uint32_t>().swap(scratch);
    };
    const int w = f.pixels.width, h = f.pixels.height;
    if (w <= 0 || h <= 0) return nullptr;
    const bool upload = !f.texture || f.dirty;
    if (upload && !masked && StreamUpload(img, f, r, scratch)) {
        trimScratch();
        return f.texture;
    }
    if ((upload || (masked && !f.mask)) && !Image_RestorePixels(img)) return nullptr;
    if (upload) {
        if (!UploadFrame(img, f, r, scratch)) return nullptr;
        trimScratch();
        if (!masked && img.frames.size() > 1 && Releasable(img)) {
            // A strip decoded again for this frame: every frame still without its texture gets it now, each letting
            // its pixels go at once, so the strip is never held as pixels and textures both.
            for (ImageFrame& g : img.frames) {
                if (&g != &f) {
                    if (g.generation != gen) {
                        g.texture = g.mask = nullptr;
                        g.generation = gen;
                        g.dirty = true;
                    }
                    if ((g.texture && !g.dirty) || g.released || !UploadFrame(img, g, r, scratch)) continue;
                }
                std::vector<uint8_t>().swap(g.pixels.bytes);
                g.released = true;
            }
            trimScratch();
        }
        if (!masked) Image_ReleasePixels(img, false); // the texture holds the picture now
    }
    if (!masked) return f.texture;
    if (!f.mask) {
        Pixmap_ToArgb(f.pixels, (img.flags & IMG_MASKED) != 0, scratch);
        for (uint32_t& c : scratch)
            c = (c >> 24) >= 128 ? (c | 0xFF000000u) : 0u;
        f.mask = SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, Texture_PictureAccess(false), w, h);
        if (!f.mask) return nullptr;
        SDL_SetTextureScaleMode(f.mask, SDL_ScaleModeNearest); // a filtered edge would blend, not test
        SDL_UpdateTexture(f.mask, nullptr, scratch.data(), w * 4);
        ++Frame_Tally.texturesMade;
        ++Frame_Tally.uploads;
        Frame_Tally.uploadPx += int64_t(w) * h;
        trimScratch();
        Image_ReleasePixels(img, false);
    }
    return f.mask;
}
