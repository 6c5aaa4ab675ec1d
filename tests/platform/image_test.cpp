// Image and pixmap tests: every PNG colour type and JPEG lock as the right format code, pixel access in all four
// formats, resizing, strips cut across a grid, handles, and hostile files that must give null without a crash.
#include <gtest/gtest.h>

#include <zlib.h>

#include <fstream>
#include <random>
#include <string>

#include "draw_helpers.h"
#include "platform/codecs.h"
#include "platform/image.h"
#include "platform/image_internal.h"
#include "platform/incbin.h"

using namespace drawtest;

namespace {

// 2x1 RGB picture: red, then (10, 20, 30).
std::vector<uint8_t> RgbPng() { return MakePng(2, 1, PNG_COLOR_TYPE_RGB, 8, {255, 0, 0, 10, 20, 30}); }

struct PngCase {
    const char* name;
    std::vector<uint8_t> file;
    int format;
    uint32_t pixel0; // ARGB of pixel (0, 0)
    uint32_t pixel1; // ARGB of pixel (1, 0)
};

TEST(ImageDecode, PngColourTypesLockWithTheirFormatCodes) {
    const std::vector<png_color> palette = {{255, 0, 0}, {0, 0, 255}};
    const PngCase cases[] = {
        {"rgb", RgbPng(), PF_RGB888, 0xFFFF0000, 0xFF0A141E},
        {"rgba", MakePng(2, 1, PNG_COLOR_TYPE_RGBA, 8, {1, 2, 3, 4, 5, 6, 7, 255}), PF_RGBA8888, 0x04010203,
         0xFF050607},
        {"palette", MakePng(2, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1}, palette), PF_RGB888, 0xFFFF0000, 0xFF0000FF},
        {"palette+trns", MakePng(2, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1}, palette, {0}), PF_RGBA8888, 0x00FF0000,
         0xFF0000FF},
        {"grey", MakePng(2, 1, PNG_COLOR_TYPE_GRAY, 8, {0, 200}), PF_RGB888, 0xFF000000, 0xFFC8C8C8},
        {"grey 1 bit", MakePng(2, 1, PNG_COLOR_TYPE_GRAY, 1, {0x40}), PF_RGB888, 0xFF000000, 0xFFFFFFFF},
        {"grey+alpha", MakePng(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {9, 128, 50, 255}), PF_RGBA8888, 0x80090909,
         0xFF323232},
        {"rgb 16 bit", MakePng(2, 1, PNG_COLOR_TYPE_RGB, 16, {255, 255, 0, 0, 0, 0, 10, 0, 20, 0, 30, 0}), PF_RGB888,
         0xFFFF0000, 0xFF0A141E},
        {"interlaced", MakePng(2, 1, PNG_COLOR_TYPE_RGB, 8, {255, 0, 0, 10, 20, 30}, {}, {}, true), PF_RGB888,
         0xFFFF0000, 0xFF0A141E},
    };
    for (const PngCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.file.empty());
        const PixmapPtr pm = Pixmap_Decode(c.file.data(), c.file.size());
        ASSERT_NE(pm, nullptr);
        EXPECT_EQ(pm->format, c.format);
        EXPECT_EQ(pm->width, 2);
        EXPECT_EQ(pm->height, 1);
        EXPECT_EQ(pm->pitch, 2 * PixelFormat_Bytes(c.format));
        EXPECT_EQ(Pixmap_ReadPixel(*pm, 0, 0), c.pixel0);
        EXPECT_EQ(Pixmap_ReadPixel(*pm, 1, 0), c.pixel1);
    }
    // Format 4 stores red first, as the emitters that read "the first byte" expect.
    const std::vector<uint8_t> rgb = RgbPng();
    EXPECT_EQ(Pixmap_Decode(rgb.data(), rgb.size())->bytes[0], 255);
}

TEST(ImageDecode, JpegLocksAsRgb888) {
    std::vector<uint8_t> rgb(16 * 16 * 3);
    for (size_t i = 0; i < rgb.size(); i += 3)
        rgb[i] = 200, rgb[i + 1] = 40, rgb[i + 2] = 90;
    const std::vector<uint8_t> colour = MakeJpeg(16, 16, 3, rgb);
    const PixmapPtr pm = Pixmap_Decode(colour.data(), colour.size());
    ASSERT_NE(pm, nullptr);
    EXPECT_EQ(pm->format, PF_RGB888);
    EXPECT_EQ(pm->pitch, 48);
    EXPECT_NEAR(pm->bytes[0], 200, 4); // red first; JPEG is lossy
    EXPECT_NEAR(pm->bytes[1], 40, 4);
    EXPECT_NEAR(pm->bytes[2], 90, 4);

    const std::vector<uint8_t> grey = MakeJpeg(8, 8, 1, std::vector<uint8_t>(64, 77));
    const PixmapPtr g = Pixmap_Decode(grey.data(), grey.size());
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->format, PF_RGB888);
    EXPECT_EQ(g->bytes[0], g->bytes[1]);
    EXPECT_EQ(g->bytes[1], g->bytes[2]);
}

TEST(ImageDecode, HostileBytesGiveNull) {
    const std::vector<uint8_t> png = RgbPng();
    std::vector<uint8_t> rgb(32 * 32 * 3, 128);
    const std::vector<uint8_t> jpeg = MakeJpeg(32, 32, 3, rgb);
    // Every truncation.
    for (size_t n = 0; n < png.size(); ++n)
        EXPECT_EQ(Pixmap_Decode(png.data(), n), nullptr) << "png " << n;
    for (size_t n = 0; n + 2 < jpeg.size(); ++n)
        EXPECT_EQ(Pixmap_Decode(jpeg.data(), n), nullptr) << "jpeg " << n;
    // Garbage and random damage: null or a picture, never a crash (the sanitizer runs catch the rest).
    const uint8_t garbage[] = {1, 2, 3, 4, 5};
    EXPECT_EQ(Pixmap_Decode(garbage, sizeof garbage), nullptr);
    EXPECT_EQ(Pixmap_Decode(nullptr, 0), nullptr);
    std::mt19937 rng(7);
    for (int i = 0; i < 200; ++i) {
        std::vector<uint8_t> bad = (i % 2) ? png : jpeg;
        for (int k = 0; k < 4; ++k)
            bad[8 + rng() % (bad.size() - 8)] = uint8_t(rng());
        const PixmapPtr pm = Pixmap_Decode(bad.data(), bad.size());
        if (pm) {
            EXPECT_EQ(pm->bytes.size(), size_t(pm->pitch) * pm->height);
        }
    }
}

TEST(ImageDecode, OversizedImagesAreRefusedBeforeAllocating) {
    // A valid 9000x1 PNG: too wide.
    const std::vector<uint8_t> wide = MakePng(9000, 1, PNG_COLOR_TYPE_GRAY, 8, std::vector<uint8_t>(9000, 0));
    EXPECT_EQ(Pixmap_Decode(wide.data(), wide.size()), nullptr);
    // A 1x1 PNG whose header claims 8000x8000: the pixels could never be in so few bytes.
    std::vector<uint8_t> liar = MakePng(1, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3});
    const uint8_t side[4] = {0, 0, 0x1F, 0x40}; // 8000, big-endian, in IHDR at offset 16 and 20
    std::copy(side, side + 4, liar.begin() + 16);
    std::copy(side, side + 4, liar.begin() + 20);
    const uLong crc = crc32(0, liar.data() + 12, 17); // chunk type and data
    for (int i = 0; i < 4; ++i)
        liar[29 + size_t(i)] = uint8_t(crc >> (24 - 8 * i));
    EXPECT_EQ(Pixmap_Decode(liar.data(), liar.size()), nullptr);
    // A JPEG header claiming 9000 rows.
    std::vector<uint8_t> rgb(8 * 8 * 3, 0);
    std::vector<uint8_t> jpeg = MakeJpeg(8, 8, 3, rgb);
    for (size_t i = 0; i + 8 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) { // SOF0: length(2) precision(1) height(2) width(2)
            jpeg[i + 5] = 0x23;
            jpeg[i + 6] = 0x28;
            break;
        }
    EXPECT_EQ(Pixmap_Decode(jpeg.data(), jpeg.size()), nullptr);
}

TEST(Pixmap, PixelAccessInEveryFormat) {
    for (const int format : {PF_BGR888, PF_RGB888, PF_BGRA8888, PF_RGBA8888}) {
        SCOPED_TRACE(format);
        Pixmap pm = Pixmap_Create(3, 2, format);
        EXPECT_EQ(pm.pitch, 3 * PixelFormat_Bytes(format));
        Pixmap_WritePixel(pm, 2, 1, 0x80112233);
        const bool alpha = PixelFormat_Bytes(format) == 4;
        EXPECT_EQ(Pixmap_ReadPixel(pm, 2, 1), alpha ? 0x80112233u : 0xFF112233u);
        const uint8_t* p = pm.bytes.data() + pm.pitch + 2 * PixelFormat_Bytes(format);
        const bool redFirst = format == PF_RGB888 || format == PF_RGBA8888;
        EXPECT_EQ(p[0], redFirst ? 0x11 : 0x33);
        // Outside: reads 0, writes nothing.
        Pixmap_WritePixel(pm, 3, 0, 0xFFFFFFFF);
        Pixmap_WritePixel(pm, -1, 0, 0xFFFFFFFF);
        EXPECT_EQ(Pixmap_ReadPixel(pm, 3, 0), 0u);
        EXPECT_EQ(Pixmap_ReadPixel(pm, 0, 0), alpha ? 0u : 0xFF000000u);
        // Conversion keeps the colour.
        EXPECT_EQ(Pixmap_ReadPixel(Pixmap_Convert(pm, PF_RGBA8888), 2, 1), alpha ? 0x80112233u : 0xFF112233u);
    }
}

TEST(Pixmap, ResizeIsBilinearAndKeepsTheFormat) {
    Pixmap pm = Pixmap_Create(2, 1, PF_RGB888);
    Pixmap_WritePixel(pm, 1, 0, 0xFFFFFFFF);
    const Pixmap big = Pixmap_Resize(pm, 4, 1);
    EXPECT_EQ(big.format, PF_RGB888);
    // Sample centres: 0 | 0.25 | 0.75 | 1 of the way from black to white.
    EXPECT_EQ(big.bytes[0], 0);
    EXPECT_EQ(big.bytes[3], 64);
    EXPECT_EQ(big.bytes[6], 191);
    EXPECT_EQ(big.bytes[9], 255);
    const Pixmap small = Pixmap_Resize(Pixmap_Create(8, 8, PF_RGBA8888), 3, 5);
    EXPECT_EQ(small.width, 3);
    EXPECT_EQ(small.height, 5);
    EXPECT_EQ(small.format, PF_RGBA8888);
    EXPECT_EQ(Pixmap_Resize(pm, 0, 4).width, 0);
}

// A 3x2 grid of 4x4 cells, cell i filled with grey level 10 * (i + 1).
std::vector<uint8_t> GridPng() {
    std::vector<uint8_t> grey(12 * 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x)
            grey[size_t(y) * 12 + x] = uint8_t(10 * ((y / 4) * 3 + x / 4 + 1));
    return MakePng(12, 8, PNG_COLOR_TYPE_GRAY, 8, grey);
}

TEST(ImageStrip, FramesAreCutAcrossTheGrid) {
    Incbin_Register(u"test/grid.png", GridPng());
    const ImagePtr img = Image_LoadAnim(u"incbin::Test\\Grid.PNG", 4, 4, 2, 3, 0);
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(Image_Frames(img), 3);
    EXPECT_EQ(Image_Width(img), 4);
    EXPECT_EQ(Image_Height(img), 4);
    const int expected[3] = {30, 40, 50}; // cells 2, 3 (next row), 4
    for (int f = 0; f < 3; ++f) {
        const Pixmap* pm = Image_Lock(img, f, LOCK_READ);
        ASSERT_NE(pm, nullptr);
        EXPECT_EQ(pm->format, PF_RGB888);
        EXPECT_EQ(pm->bytes[0], expected[f]);
        EXPECT_EQ(pm->bytes.back(), expected[f]);
    }
    EXPECT_EQ(Image_Lock(img, 3, LOCK_READ), nullptr);
    EXPECT_EQ(Image_LoadAnim(u"incbin::test/grid.png", 4, 4, 4, 3, 0), nullptr) << "asks for cells 4..6 of 6";
    EXPECT_EQ(Image_LoadAnim(u"incbin::test/grid.png", 0, 4, 0, 1, 0), nullptr);
    EXPECT_NE(Image_LoadAnim(u"incbin::test/grid.png", 5, 5, 0, 2, 0), nullptr) << "the leftover columns are unused";
    EXPECT_EQ(Image_Load(u"incbin::test/missing.png"), nullptr);

    // The same cut from a pixmap in memory.
    const ImagePtr whole = Image_Load(u"incbin::test/grid.png", 0);
    ASSERT_NE(whole, nullptr);
    const ImagePtr fromPm = Image_FromPixmapAnim(*Image_Lock(whole, 0, LOCK_READ), 4, 4, 2, 3, 0);
    ASSERT_NE(fromPm, nullptr);
    EXPECT_EQ(Image_Frames(fromPm), 3);
    for (int f = 0; f < 3; ++f)
        EXPECT_EQ(Image_Lock(fromPm, f, LOCK_READ)->bytes[0], expected[f]);
    EXPECT_EQ(Image_FromPixmapAnim(*Image_Lock(img, 0, LOCK_READ), 4, 4, 0, 2, 0), nullptr) << "one cell only";
}

// The largest fully opaque rectangle, as a dialog's picture gives it for the effects it covers: a texel of alpha
// 254 breaks it, rounded corners and a hole are left out, and the answer is read from each frame's own pixels.
TEST(ImageOpaqueRect, LargestRectangleOfAlpha255) {
    // 20 x 12, opaque but for the four corner texels, a hole at (6..7, 8..11) reaching the bottom, and one texel of
    // alpha 254 at (15, 2). Second frame: wholly transparent.
    Pixmap pm = Pixmap_Create(40, 12, PF_RGBA8888);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool corner = (x == 0 || x == 19) && (y == 0 || y == 11);
            const bool hole = x >= 6 && x <= 7 && y >= 8;
            const uint32_t a = corner || hole ? 0u : (x == 15 && y == 2) ? 254u : 255u;
            Pixmap_WritePixel(pm, x, y, a << 24 | 0x336699u);
        }
    const ImagePtr img = Image_FromPixmapAnim(pm, 20, 12, 0, 2);
    int x = -1, y = -1, w = -1, h = -1;
    Image_OpaqueRect(img, 0, x, y, w, h);
    // Columns 1..14 over rows 0..7 (112 texels) beat rows 3..7 whole (100) and columns 8..18 over rows 3..11 (99);
    // were the 254 texel opaque, rows 1..7 whole (140) would win.
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(w, 14);
    EXPECT_EQ(h, 8);
    Image_OpaqueRect(img, 1, x, y, w, h);
    EXPECT_EQ(w * h, 0);
    Image_OpaqueRect(img, 2, x, y, w, h);
    EXPECT_EQ(w * h, 0);
    Image_OpaqueRect(nullptr, 0, x, y, w, h);
    EXPECT_EQ(w * h, 0);
}

// Strips are cut while the file is decoded: each frame holds what cutting the whole decoded picture gives, row for
// row, for a file read in one pass or interlaced, when first loaded and when its pixels are decoded again.
TEST(ImageStrip, FramesCutWhileDecodingMatchTheCutOfTheWholePicture) {
    constexpr int kW = 14, kH = 10; // 3 x 3 cells of 4 x 3, two columns and a row left over
    std::vector<uint8_t> rgba;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            rgba.insert(rgba.end(), {uint8_t(x * 17), uint8_t(y * 23), uint8_t(x * y), uint8_t(255 - x - y)});
    for (const bool interlaced : {false, true}) {
        const Str name = interlaced ? u"incbin::test/varied_interlaced.png" : u"incbin::test/varied.png";
        Incbin_Register(name.substr(8), MakePng(kW, kH, PNG_COLOR_TYPE_RGBA, 8, rgba, {}, {}, interlaced));
        const ImagePtr whole = Image_Load(name, 0);
        ASSERT_NE(whole, nullptr);
        const ImagePtr cut = Image_FromPixmapAnim(*Image_Lock(whole, 0, LOCK_READ), 4, 3, 1, 7, 0);
        const ImagePtr loaded = Image_LoadAnim(name, 4, 3, 1, 7, 0);
        const ImagePtr again = Image_LoadAnim(name, 4, 3, 1, 7, 0);
        ASSERT_TRUE(cut && loaded && again);
        Image_ReleasePixels(*again, true); // decoded anew by the lock
        for (int f = 0; f < 7; ++f) {
            const std::vector<uint8_t>& want = Image_Lock(cut, f, LOCK_READ)->bytes;
            EXPECT_EQ(Image_Lock(loaded, f, LOCK_READ)->bytes, want) << "frame " << f << (interlaced ? " interlaced" : "");
            EXPECT_EQ(Image_Lock(again, f, LOCK_READ)->bytes, want) << "frame " << f << " decoded again";
        }
    }
}

TEST(ImageCreate, CreatedImagesAreFormat5WithFlagsAndHandles) {
    const int saved = Image_GetDefaultFlags();
    Image_SetDefaultFlags(IMG_MASKED | IMG_FILTERED);
    const ImagePtr img = Image_Create(5, 7, 2);
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(Image_Flags(img), IMG_MASKED | IMG_FILTERED);
    EXPECT_EQ(Image_Frames(img), 2);
    const Pixmap* pm = Image_Lock(img, 1, LOCK_READ);
    ASSERT_NE(pm, nullptr);
    EXPECT_EQ(pm->format, PF_BGRA8888);
    EXPECT_EQ(Pixmap_ReadPixel(*pm, 4, 6), 0u);
    Image_CentreHandle(img);
    EXPECT_EQ(Image_HandleX(img), 2.0f);
    EXPECT_EQ(Image_HandleY(img), 3.0f);
    EXPECT_EQ(Image_Flags(Image_Create(1, 1, 1, 0)), 0);
    Image_SetDefaultFlags(saved);

    EXPECT_EQ(Image_Create(0, 5), nullptr);
    EXPECT_EQ(Image_Create(8193, 5), nullptr);
    EXPECT_EQ(Image_Create(5, 5, 0), nullptr);
    EXPECT_EQ(Image_FromPixmap(Pixmap{}), nullptr);
    EXPECT_EQ(Image_Width(nullptr), 0);
    EXPECT_EQ(Image_Lock(nullptr, 0, LOCK_READ), nullptr);
}

} // namespace

namespace {

// Peak resident memory of this process so far, in MB (VmHWM of /proc/self/status).
long PeakResidentMb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6)) / 1024;
    return -1;
}

// A PNG chunk: length, type, data, CRC of type and data.
void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data, uint32_t length) {
    for (int i = 3; i >= 0; --i)
        out.push_back(uint8_t(length >> (8 * i)));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0, out.data() + start, uInt(out.size() - start));
    for (int i = 3; i >= 0; --i)
        out.push_back(uint8_t(crc >> (8 * i)));
}

} // namespace

TEST(ImageDecode, CompactLayoutsAreJudgedByTheirOwnSize) {
    // Flat pictures compress to almost nothing; in their own layout (one grey byte, or one palette bit, per pixel)
    // they still fit the deflate bound, though their RGB expansion would not.
    const int side = 2048;
    std::vector<uint8_t> grey(size_t(side) * side, 0);
    const std::vector<uint8_t> g = MakePng(side, side, PNG_COLOR_TYPE_GRAY, 8, grey);
    const PixmapPtr a = Pixmap_Decode(g.data(), g.size());
    ASSERT_NE(a, nullptr) << g.size() << " bytes";
    EXPECT_EQ(a->width, side);

    std::vector<uint8_t> bits(size_t(side / 8) * side, 0);
    const std::vector<uint8_t> p =
        MakePng(side, side, PNG_COLOR_TYPE_PALETTE, 1, bits, {{0, 0, 0}, {255, 255, 255}}, {0});
    const PixmapPtr b = Pixmap_Decode(p.data(), p.size());
    ASSERT_NE(b, nullptr) << p.size() << " bytes";
    EXPECT_EQ(Pixmap_ReadPixel(*b, 5, 5) >> 24, 0u) << "palette entry 0 is transparent";
}

TEST(ImageDecode, HugeAncillaryChunksCostNoMemory) {
    // A 1x1 picture whose sCAL and pCAL chunks claim about 2 GB each (41 bytes in all for the first): libpng must
    // not take that memory.
    std::vector<uint8_t> head(8);
    const uint8_t sig[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    std::copy(sig, sig + 8, head.begin());
    PutChunk(head, "IHDR", {0, 0, 0, 1, 0, 0, 0, 1, 8, 2, 0, 0, 0}, 13);
    const long before = PeakResidentMb();
    for (const char* type : {"sCAL", "pCAL", "iCCP", "zTXt", "tEXt"}) {
        std::vector<uint8_t> file = head;
        const uint32_t claimed = 0x7A000000;
        for (int i = 3; i >= 0; --i)
            file.push_back(uint8_t(claimed >> (8 * i)));
        file.insert(file.end(), type, type + 4);
        if (std::string(type) == "sCAL") {
            EXPECT_EQ(file.size(), 41u);
        }
        EXPECT_EQ(Pixmap_Decode(file.data(), file.size()), nullptr) << type;
    }
    EXPECT_LT(PeakResidentMb() - before, 256) << "MB taken by five tiny files";

    // The same chunks with real, harmless contents are skipped and the picture decodes.
    std::vector<uint8_t> ok = head;
    PutChunk(ok, "tEXt", {'T', 'i', 't', 'l', 'e', 0, 'x'}, 7);
    PutChunk(ok, "gAMA", {0, 0, 0xB1, 0x8F}, 4);
    std::vector<uint8_t> raw = {0, 10, 20, 30}; // filter byte, one RGB pixel
    std::vector<uint8_t> z(64);
    uLongf zn = z.size();
    ASSERT_EQ(compress(z.data(), &zn, raw.data(), uLong(raw.size())), Z_OK);
    z.resize(zn);
    PutChunk(ok, "IDAT", z, uint32_t(z.size()));
    PutChunk(ok, "IEND", {}, 0);
    const PixmapPtr pm = Pixmap_Decode(ok.data(), ok.size());
    ASSERT_NE(pm, nullptr);
    EXPECT_EQ(Pixmap_ReadPixel(*pm, 0, 0) & 0xFFFFFF, 0x0A141Eu);
}
