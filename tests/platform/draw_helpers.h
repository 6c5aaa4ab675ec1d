// Helpers of the drawing, image and font tests: the headless canvas, pixel read-back, and PNG/JPEG files made in
// memory with libpng and libjpeg so that every colour type can be fed to the decoders.
#pragma once

#include <png.h>
#include <cstdio>
#include <jpeglib.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include <SDL.h>

#include "platform/graphics.h"

namespace drawtest {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << c.r << "," << c.g << "," << c.b << ")";
}

// Opens the 800x600 canvas once per test program and resets the drawing state for each test.
class Canvas : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!Graphics_IsOpen()) {
            // Expected pixels are those of SDL's software renderer (the test environment asks for it too).
            SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
            ASSERT_TRUE(Graphics_Open(800, 600, true));
        }
        Draw_ResetState();
        Draw_SetImageFont(nullptr);
        Draw_SetClsColor(0, 0, 0);
        Draw_Cls();
    }
    void TearDown() override { Draw_ResetState(); }
};

inline Rgb PixelAt(int x, int y) {
    const Pixmap pm = Graphics_ReadPixels(x, y, 1, 1);
    if (pm.width != 1) return Rgb{-1, -1, -1};
    const uint32_t c = Pixmap_ReadPixel(pm, 0, 0);
    return Rgb{int(c >> 16 & 255), int(c >> 8 & 255), int(c & 255)};
}

// n pixels of every colour and alpha, about one in eight fully transparent and one in eight fully opaque.
inline std::vector<uint32_t> Speckled(size_t n, uint32_t seed) {
    std::vector<uint32_t> v(n);
    for (uint32_t& p : v) {
        seed = seed * 1664525u + 1013904223u;
        p = seed;
        if ((seed >> 8 & 7) == 0) p &= 0x00FFFFFFu;
        if ((seed >> 8 & 7) == 1) p |= 0xFF000000u;
    }
    return v;
}

// A w x h picture of Speckled pixels.
inline ImagePtr SpeckledImage(int w, int h, uint32_t seed, int flags = 0) {
    const std::vector<uint32_t> px = Speckled(size_t(w) * size_t(h), seed);
    Pixmap pm = Pixmap_Create(w, h, PF_RGBA8888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Pixmap_WritePixel(pm, x, y, px[size_t(y) * size_t(w) + size_t(x)]);
    return Image_FromPixmap(pm, flags);
}

// Fills the whole canvas with a colour through a solid rectangle (state restored afterwards).
inline void Fill(int r, int g, int b) {
    Draw_SetClsColor(r, g, b);
    Draw_Cls();
    Draw_SetClsColor(0, 0, 0);
}

// A w x h image of format 6 (R G B A) filled with one colour.
inline ImagePtr SolidImage(int w, int h, int r, int g, int b, int a = 255, int flags = 0) {
    Pixmap pm = Pixmap_Create(w, h, PF_RGBA8888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Pixmap_WritePixel(pm, x, y, uint32_t(a) << 24 | r << 16 | g << 8 | b);
    return Image_FromPixmap(pm, flags);
}

// PNG bytes with any colour type and depth. `samples` holds the rows as libpng expects them (packed, big-endian
// for 16 bit); palette and trns are optional.
inline std::vector<uint8_t> MakePng(int w, int h, int colorType, int depth, const std::vector<uint8_t>& samples,
                                    const std::vector<png_color>& palette = {}, const std::vector<uint8_t>& trns = {},
                                    bool interlaced = false) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep d, png_size_t n) {
            auto* o = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
            o->insert(o->end(), d, d + n);
        },
        nullptr);
    png_set_IHDR(png, info, w, h, depth, colorType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
    if (!trns.empty()) png_set_tRNS(png, info, trns.data(), int(trns.size()), nullptr);
    png_write_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    std::vector<png_bytep> rows(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y)
        rows[size_t(y)] = const_cast<uint8_t*>(samples.data()) + size_t(y) * rowBytes;
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// JPEG bytes of an RGB (components 3) or grey (components 1) picture at quality 95.
inline std::vector<uint8_t> MakeJpeg(int w, int h, int components, const std::vector<uint8_t>& samples) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buf, &size);
    c.image_width = JDIMENSION(w);
    c.image_height = JDIMENSION(h);
    c.input_components = components;
    c.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(samples.data()) + size_t(c.next_scanline) * w * components;
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<uint8_t> out(buf, buf + size);
    jpeg_destroy_compress(&c);
    free(buf);
    return out;
}

} // namespace drawtest
