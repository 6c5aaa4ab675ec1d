// Image fonts through FreeType: one face per font file, shared by its sizes and styles (each font has its own size
// object on it); a font's Latin-1 glyphs are rendered into an atlas image at load and further characters added on
// first use. Called by the fonts table, the toolkit and Draw_Text.
#include "platform/system.h"
#include "platform/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/font_internal.h"
#include "platform/frame_tally.h"
#include "platform/incbin.h"
#include "platform/stream.h"

namespace {
FT_Library g_freetype = nullptr; // made on first use; kept until the process ends
constexpr int kMaxPixelSize = 256;
constexpr int kGutter = 1; // transparent pixels around each glyph (no bleeding under filtering)

struct Bitmap {
    int w = 0, h = 0;
    std::vector<uint8_t> coverage; // w * h, 0..255
};

using FontFilePtr = std::shared_ptr<const FileBytes>; // the bytes of one font file

// One FreeType face per font file, shared by every font made from it (a face costs tens of KB; the fonts table makes
// over fifty sizes of four files). Each font has a size object of its own and makes it the face's active size, with
// its own slant, before it renders (Activate).
struct SharedFace {
    FontFilePtr file; // FreeType reads from it for the face's lifetime
    FT_Face face = nullptr;

    SharedFace() = default;
    SharedFace(const SharedFace&) = delete;
    SharedFace& operator=(const SharedFace&) = delete;
    ~SharedFace() {
        if (face) FT_Done_Face(face); // before the file it reads from goes
    }
};
using SharedFacePtr = std::shared_ptr<SharedFace>;

std::mutex g_facesMutex;                              // guards g_faces
std::map<Str, std::weak_ptr<SharedFace>> g_faces;     // faces held by some font, by File_Bytes key

// The face of a font file, shared with every font already made from the same file; null when the file is missing,
// empty or not a font (reported).
SharedFacePtr OpenFace(const Str& path) {
    auto file = std::make_shared<FileBytes>();
    if (!File_Bytes(path, *file) || file->size == 0) return nullptr; // the caller reports it
    std::lock_guard<std::mutex> lock(g_facesMutex);
    std::weak_ptr<SharedFace>& slot = g_faces[file->key];
    if (SharedFacePtr held = slot.lock()) return held; // the bytes just read go again
    if (!g_freetype && FT_Init_FreeType(&g_freetype) != 0) {
        g_freetype = nullptr;
        Log_Print("font: FreeType does not start");
        return nullptr;
    }
    auto shared = std::make_shared<SharedFace>();
    if (FT_New_Memory_Face(g_freetype, file->data, FT_Long(file->size), 0, &shared->face) != 0) {
        shared->face = nullptr;
        Log_Print(u"font: not a font file: " + path);
        return nullptr;
    }
    FT_Select_Charmap(shared->face, FT_ENCODING_UNICODE); // a .fon keeps its own (Latin-1 for Western fonts) otherwise
    shared->file = std::move(file);
    slot = shared;
    return shared;
}
} // namespace

size_t ImageFont_FilesHeld() {
    std::lock_guard<std::mutex> lock(g_facesMutex);
    size_t n = 0;
    for (auto it = g_faces.begin(); it != g_faces.end();) {
        if (it->second.expired()) {
            it = g_faces.erase(it);
        } else {
            ++n;
            ++it;
        }
    }
    return n;
}

struct ImageFont {
    SharedFacePtr shared;                      // the face of the font file, shared with its other sizes
    FT_Size size = nullptr;                    // this font's size on the shared face
    int pixelSize = 0;                         // requested size in pixels
    int style = 0;                             // FONT_* bits
    int ascender = 0;                          // pixels above the baseline
    int descender = 0;                         // pixels below the baseline (positive)
    ImagePtr atlas;                            // one frame of coverage bytes (white, alpha = coverage)
    std::array<Glyph, 256> latin{};            // codes 0..255 (below 32 unused)
    std::unordered_map<char32_t, Glyph> extra; // characters beyond Latin-1, added on first use
    int shelfX = 0, shelfY = 0, shelfH = 0;    // next free place in the atlas (shelf packing)

    ImageFont() = default;
    ImageFont(const ImageFont&) = delete;
    ImageFont& operator=(const ImageFont&) = delete;
    ~ImageFont() {
        if (size) FT_Done_Size(size); // before the face goes
    }
};

namespace {
// Makes the font's size and slant the shared face's own before the face renders or measures for it.
FT_Face Activate(ImageFont& f) {
    FT_Face face = f.shared->face;
    FT_Activate_Size(f.size);
    if (FT_IS_SCALABLE(face)) {
        FT_Matrix shear{0x10000, 0x3800, 0, 0x10000}; // about 12 degrees
        FT_Set_Transform(face, (f.style & FONT_ITALIC) ? &shear : nullptr, nullptr);
    }
    return face;
}

// Renders one character; fills the glyph's metrics (not its atlas place) and its coverage bitmap.
void RenderGlyph(ImageFont& f, char32_t code, Glyph& g, Bitmap& bm) {
    g = Glyph{};
    bm = Bitmap{};
    ++Frame_Tally.glyphs;
    FT_Face face = Activate(f);
    const bool smooth = (f.style & FONT_SMOOTH) != 0;
    const bool scalable = FT_IS_SCALABLE(face);
    const FT_UInt index = FT_Get_Char_Index(face, FT_ULong(code));
    FT_Int32 load = smooth || !scalable ? FT_LOAD_DEFAULT : FT_LOAD_TARGET_MONO;
    if (scalable) load |= FT_LOAD_NO_BITMAP; // embedded strikes would ignore bold and italic
    if (FT_Load_Glyph(face, index, load) != 0 && FT_Load_Glyph(face, 0, load) != 0) return;
    FT_GlyphSlot slot = face->glyph;
    FT_Pos extraAdvance = 0;
    if ((f.style & FONT_BOLD) && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        const FT_Pos strength = FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 24;
        FT_Outline_Embolden(&slot->outline, strength);
        extraAdvance = strength;
    }
    if (slot->format != FT_GLYPH_FORMAT_BITMAP &&
        FT_Render_Glyph(slot, smooth ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0)
        return;
    g.advance = int((slot->advance.x + extraAdvance + 32) >> 6);
    g.left = slot->bitmap_left;
    g.top = f.ascender - slot->bitmap_top;
    const FT_Bitmap& src = slot->bitmap;
    if (src.width == 0 || src.rows == 0 || src.width > 4096 || src.rows > 4096) return;
    bm.w = int(src.width);
    bm.h = int(src.rows);
    bm.coverage.assign(size_t(bm.w) * bm.h, 0);
    for (int y = 0; y < bm.h; ++y) {
        const unsigned char* row = src.buffer + ptrdiff_t(y) * src.pitch;
        for (int x = 0; x < bm.w; ++x) {
            uint8_t c = 0;
            if (src.pixel_mode == FT_PIXEL_MODE_MONO)
                c = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
            else if (src.pixel_mode == FT_PIXEL_MODE_GRAY)
                c = src.num_grays == 256 ? row[x] : uint8_t(row[x] * 255 / std::max(1, src.num_grays - 1));
            bm.coverage[size_t(y) * bm.w + x] = c;
        }
    }
}

// Places a bitmap on the current shelf (or a new one); returns false when the atlas is too short for it.
bool Place(ImageFont& f, int atlasW, int atlasH, const Bitmap& bm, Glyph& g) {
    if (bm.w == 0 || bm.h == 0) return true;
    const int w = bm.w + kGutter, h = bm.h + kGutter;
    if (f.shelfX + w > atlasW) {
        f.shelfY += f.shelfH;
        f.shelfX = kGutter;
        f.shelfH = 0;
    }
    if (f.shelfY + h > atlasH || f.shelfX + w > atlasW) return false;
    g.x = f.shelfX;
    g.y = f.shelfY;
    g.w = bm.w;
    g.h = bm.h;
    f.shelfX += w;
    f.shelfH = std::max(f.shelfH, h);
    return true;
}

void Blit(Pixmap& pm, const Glyph& g, const Bitmap& bm) {
    for (int y = 0; y < bm.h; ++y)
        std::copy_n(bm.coverage.data() + size_t(y) * bm.w, bm.w, pm.bytes.data() + size_t(g.y + y) * pm.pitch + g.x);
}

// Paints the coverage of every glyph placed so far into a fresh atlas pixmap (the atlas lets its pixels go once
// uploaded, and the renderer may be made again). The same face renders the same bitmaps at the same places.
bool RepaintAtlas(ImageFont& f) {
    Image& atlas = *f.atlas;
    Pixmap pm = Pixmap_CreateCoverage(atlas.width, atlas.height);
    Glyph g;
    Bitmap bm;
    const auto paint = [&](char32_t code, const Glyph& at) {
        if (at.w <= 0 || at.h <= 0) return;
        RenderGlyph(f, code, g, bm);
        if (bm.w == at.w && bm.h == at.h) Blit(pm, at, bm);
    };
    for (int c = 32; c < 256; ++c)
        paint(char32_t(c), f.latin[size_t(c)]);
    for (const auto& [code, at] : f.extra)
        paint(code, at);
    atlas.frames[0].pixels = std::move(pm);
    atlas.frames[0].released = false;
    Incbin_Release(f.shared->file->data, f.shared->file->size); // read again only for new characters
    return true;
}

// Builds the atlas with the Latin-1 glyphs. False when they do not fit the largest atlas.
bool BuildAtlas(ImageFont& f) {
    std::vector<Bitmap> bitmaps(256);
    int widest = 0;
    for (int c = 32; c < 256; ++c) {
        RenderGlyph(f, char32_t(c), f.latin[size_t(c)], bitmaps[size_t(c)]);
        widest = std::max(widest, bitmaps[size_t(c)].w);
    }
    int atlasW = 256;
    while (atlasW < 4096 && atlasW < (widest + kGutter * 2) * 16)
        atlasW *= 2;
    // Measure with a dry run, then leave room for characters added later.
    f.shelfX = f.shelfY = kGutter;
    f.shelfH = 0;
    for (int c = 32; c < 256; ++c)
        if (!Place(f, atlasW, kImageMaxSide, bitmaps[size_t(c)], f.latin[size_t(c)])) return false;
    const int used = f.shelfY + f.shelfH;
    const int atlasH = std::min(kImageMaxSide, used + std::max(f.shelfH, 16) * 2);
    f.atlas = std::make_shared<Image>();
    f.atlas->width = atlasW;
    f.atlas->height = atlasH;
    f.atlas->flags = (f.style & FONT_SMOOTH) ? IMG_FILTERED : 0;
    f.atlas->frames.resize(1);
    Pixmap& pm = f.atlas->frames[0].pixels;
    pm = Pixmap_CreateCoverage(atlasW, atlasH);
    for (int c = 32; c < 256; ++c)
        Blit(pm, f.latin[size_t(c)], bitmaps[size_t(c)]);
    f.atlas->frames[0].dirty = true;
    return true;
}

// Adds a character beyond Latin-1, growing the atlas downwards when it is full.
const Glyph* AddGlyph(ImageFont& f, char32_t code) {
    Glyph g;
    Bitmap bm;
    RenderGlyph(f, code, g, bm);
    ImageFrame& frame = f.atlas->frames[0];
    Pixmap& pm = frame.pixels;
    // The pixels may have been let go after the last upload.
    if (!Image_RestorePixels(*f.atlas) || pm.bytes.size() < size_t(pm.pitch) * size_t(pm.height))
        return &f.latin[size_t('?')];
    if (!Place(f, pm.width, pm.height, bm, g)) {
        const int newH = std::min(kImageMaxSide, pm.height * 2);
        if (newH == pm.height) return &f.latin[size_t('?')];
        pm.bytes.resize(size_t(pm.pitch) * newH, 0);
        pm.height = newH;
        f.atlas->height = newH;
        if (!Place(f, pm.width, pm.height, bm, g)) return &f.latin[size_t('?')];
    }
    Blit(pm, g, bm);
    frame.dirty = true;
    return &f.extra.emplace(code, g).first->second;
}
} // namespace

FontPtr ImageFont_Load(const Str& path, int pixelSize, int style) {
    auto font = std::make_shared<ImageFont>();
    font->shared = OpenFace(path);
    if (!font->shared) return nullptr; // reported, or the caller reports it
    FT_Face face = font->shared->face;
    if (FT_New_Size(face, &font->size) != 0) {
        font->size = nullptr;
        Log_Print(u"font: no room for another size: " + path);
        return nullptr;
    }
    font->pixelSize = std::clamp(pixelSize, 1, kMaxPixelSize);
    font->style = style & (FONT_BOLD | FONT_ITALIC | FONT_SMOOTH);
    Activate(*font);
    if (FT_IS_SCALABLE(face)) {
        if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(font->pixelSize)) != 0) {
            Log_Print(u"font: size " + Str_FromInt(font->pixelSize) + u" refused: " + path);
            return nullptr;
        }
    } else {
        // A bitmap font: the strike nearest the asked height.
        if (face->num_fixed_sizes <= 0) {
            Log_Print(u"font: no usable size: " + path);
            return nullptr;
        }
        int best = 0;
        for (int i = 1; i < face->num_fixed_sizes; ++i)
            if (std::abs(face->available_sizes[i].height - font->pixelSize) <
                std::abs(face->available_sizes[best].height - font->pixelSize))
                best = i;
        if (FT_Select_Size(face, best) != 0) {
            Log_Print(u"font: no usable size: " + path);
            return nullptr;
        }
    }
    font->ascender = int((face->size->metrics.ascender + 63) >> 6);
    font->descender = int(-(face->size->metrics.descender >> 6));
    if (font->ascender <= 0 && font->descender <= 0) font->ascender = font->pixelSize;
    if (!BuildAtlas(*font)) {
        Log_Print(u"font: glyphs too large: " + path);
        return nullptr;
    }
    // The coverage is painted again whenever it is needed (the first draw, a new renderer, a new character), so a
    // font that is never drawn holds no pixels and a drawn one only its texture.
    font->atlas->repaint = [weak = std::weak_ptr<ImageFont>(font)](Image&) {
        const std::shared_ptr<ImageFont> f = weak.lock();
        return f && RepaintAtlas(*f);
    };
    Image_ReleasePixels(*font->atlas, true);
    Incbin_Release(font->shared->file->data, font->shared->file->size);
    return font;
}

FontPtr ImageFont_Default() {
    static FontPtr font;       // the built-in font once loaded
    static bool tried = false; // loading is tried once
    if (!tried) {
        tried = true;
        const Str embedded = u"incbin::fonts/l_10646.ttf";
        if (Incbin_Exists(embedded)) font = ImageFont_Load(embedded, 13, FONT_SMOOTH);
        if (!font) font = ImageFont_Load(u"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 13, FONT_SMOOTH);
    }
    return font;
}

int ImageFont_Ascender(const FontPtr& font) { return font ? font->ascender : 0; }
int ImageFont_Height(const FontPtr& font) { return font ? font->ascender + font->descender : 0; }
int ImageFont_PixelSize(const FontPtr& font) { return font ? font->pixelSize : 0; }
int ImageFont_Style(const FontPtr& font) { return font ? font->style : 0; }

int ImageFont_TextWidth(const FontPtr& font, const Str& text) {
    if (!font) return 0;
    int width = 0;
    for (const char16_t unit : text)
        if (const Glyph* g = ImageFont_Glyph(*font, char32_t(unit))) width += g->advance;
    return width;
}

const Glyph* ImageFont_Glyph(ImageFont& font, char32_t code) {
    if (code < 32) return nullptr;
    if (code < 256) return &font.latin[code];
    const auto it = font.extra.find(code);
    return it != font.extra.end() ? &it->second : AddGlyph(font, code);
}

Image& ImageFont_Atlas(ImageFont& font) { return *font.atlas; }

void ImageFont_DropTexture(const FontPtr& font) {
    if (font && font->atlas) Image_DropTexture(font->atlas);
}

bool ImageFont_HasTexture(const FontPtr& font) { return font && Image_HasTexture(font->atlas); }
