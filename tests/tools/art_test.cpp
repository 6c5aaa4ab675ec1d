// Tests of the asset library's image helpers (tools/assetlib/art.h): the PNG and JPEG writers decode through the
// game's own loader with the right pixel format and values and carry no time stamps, drawing is deterministic, the
// seven gems differ in shape as well as colour, and text stays inside the box it is fitted to.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "assetlib/art.h"
#include "platform/image.h"

namespace {

using namespace art;

// PNG chunk types in file order (after the 8-byte signature).
std::vector<std::string> ChunkTypes(const std::vector<uint8_t>& png) {
    std::vector<std::string> types;
    size_t at = 8;
    while (at + 8 <= png.size()) {
        const uint32_t len =
            (uint32_t(png[at]) << 24) | (uint32_t(png[at + 1]) << 16) | (uint32_t(png[at + 2]) << 8) | png[at + 3];
        types.emplace_back(reinterpret_cast<const char*>(&png[at + 4]), 4);
        at += 12 + len;
    }
    return types;
}

PixmapPtr Decode(const std::vector<uint8_t>& bytes) { return Pixmap_Decode(bytes.data(), bytes.size()); }

// A busy test picture: noise textures, gradients, a gem and text.
Canvas Busy() {
    Canvas c(120, 80);
    Parchment(c.cr(), 0, 0, 120, 80, 7);
    DrawGem(c.cr(), Gem::Green, 30, 40, 40, GemStyle{0.5, 1, 0, true});
    TextStyle st;
    st.size = 18;
    DrawText(c.cr(), "Größe", 80, 50, st);
    return c;
}

std::vector<bool> GemMask(Gem g) {
    Canvas c(64, 64);
    DrawGem(c.cr(), g, 32, 32, 56, GemStyle{0, 1, 0, false});
    std::vector<bool> mask(64 * 64);
    uint8_t px[4];
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            c.Pixel(x, y, px);
            mask[size_t(y * 64 + x)] = px[3] > 200;
        }
    return mask;
}

} // namespace

TEST(ArtWriters, PngKeepsStraightAlphaAndItsColourTypeWithoutTimeOrText) {
    Canvas c(4, 2);
    SetColour(c.cr(), Rgb{1, 0, 0, 0.5});
    cairo_rectangle(c.cr(), 0, 0, 2, 2);
    cairo_fill(c.cr());
    SetColour(c.cr(), Rgb{0.2, 0.4, 0.8, 1});
    cairo_rectangle(c.cr(), 2, 0, 2, 2);
    cairo_fill(c.cr());

    const std::vector<uint8_t> rgba = EncodePng(c, true);
    ASSERT_GT(rgba.size(), 33u);
    EXPECT_EQ(rgba[25], 6) << "colour type RGBA";
    const std::vector<uint8_t> rgb = EncodePng(c, false, pal::Black);
    EXPECT_EQ(rgb[25], 2) << "colour type RGB";
    for (const auto& png : {rgba, rgb}) {
        for (const std::string& t : ChunkTypes(png)) {
            EXPECT_TRUE(t == "IHDR" || t == "IDAT" || t == "IEND") << "unexpected chunk " << t;
        }
    }

    const PixmapPtr a = Decode(rgba);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->format, PF_RGBA8888);
    const uint32_t half = Pixmap_ReadPixel(*a, 0, 0);
    EXPECT_NEAR(int(half >> 24), 128, 1);
    EXPECT_GE(int((half >> 16) & 255), 254) << "colour is stored unpremultiplied";
    EXPECT_EQ(Pixmap_ReadPixel(*a, 3, 1), 0xff3366ccu);

    const PixmapPtr b = Decode(rgb);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->format, PF_RGB888);
    // the half-transparent red lies over the black background
    EXPECT_NEAR(int((Pixmap_ReadPixel(*b, 1, 1) >> 16) & 255), 128, 1);
    EXPECT_EQ(Pixmap_ReadPixel(*b, 2, 0) & 0xffffff, 0x3366ccu);
}

TEST(ArtWriters, JpegDecodesToItsSizeAndColours) {
    Canvas c(64, 48);
    SetColour(c.cr(), Rgb{0.9, 0.6, 0.1, 1});
    cairo_paint(c.cr());
    const std::vector<uint8_t> jpg = EncodeJpeg(c, 92);
    EXPECT_EQ(jpg, EncodeJpeg(c, 92));
    const PixmapPtr pm = Decode(jpg);
    ASSERT_TRUE(pm);
    EXPECT_EQ(pm->width, 64);
    EXPECT_EQ(pm->height, 48);
    const uint32_t p = Pixmap_ReadPixel(*pm, 30, 20);
    EXPECT_NEAR(int((p >> 16) & 255), 230, 4);
    EXPECT_NEAR(int((p >> 8) & 255), 153, 4);
    EXPECT_NEAR(int(p & 255), 26, 4);
}

TEST(ArtWriters, FilesGoIntoNewFoldersAndFailuresAreReported) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("bq_art_writers_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    const Canvas c = Busy();
    const std::string nested = (dir / "a" / "b" / "pic.png").string();
    ASSERT_TRUE(WritePngRgba(nested, c));
    std::ifstream in(nested, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, EncodePng(c, true));
    // a folder where a file stands cannot be made: false, no crash
    EXPECT_FALSE(WriteJpeg(nested + "/inside.jpg", c));
    EXPECT_FALSE(WritePngRgb(nested + "/inside.png", c));
    std::filesystem::remove_all(dir);
}

TEST(ArtDrawing, TheSameDrawingGivesTheSameBytes) {
    EXPECT_EQ(EncodePng(Busy(), true), EncodePng(Busy(), true));
    Rng a(42), b(42);
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(a.Next(), b.Next());
    }
    EXPECT_NE(Noise2(1.5, 2.5, 1), Noise2(1.5, 2.5, 2)) << "the seed changes the noise";
}

TEST(ArtDrawing, TheSevenGemsDifferInShapeAndColour) {
    std::vector<std::vector<bool>> masks;
    for (int g = 0; g < GemCount; ++g) {
        masks.push_back(GemMask(static_cast<Gem>(g)));
    }
    for (int i = 0; i < GemCount; ++i) {
        for (int j = i + 1; j < GemCount; ++j) {
            int differ = 0, either = 0;
            for (size_t k = 0; k < masks[i].size(); ++k) {
                differ += masks[i][k] != masks[j][k];
                either += masks[i][k] || masks[j][k];
            }
            EXPECT_GT(differ, either / 8) << GemName(Gem(i)) << " and " << GemName(Gem(j)) << " look alike";
        }
    }
    // the colour of each gem's body, sampled below the highlight
    struct Expect {
        Gem g;
        int dominant; // 0 red, 1 green, 2 blue; -1: all channels high (white)
    } expect[] = {{Gem::Red, 0}, {Gem::Green, 1}, {Gem::Blue, 2}, {Gem::White, -1}};
    for (const Expect& e : expect) {
        Canvas c(64, 64);
        DrawGem(c.cr(), e.g, 32, 32, 56);
        uint8_t px[4];
        c.Pixel(38, 40, px);
        if (e.dominant < 0) {
            EXPECT_GT(std::min({px[0], px[1], px[2]}), 150) << GemName(e.g);
        } else {
            for (int ch = 0; ch < 3; ++ch) {
                if (ch != e.dominant) {
                    EXPECT_GT(px[e.dominant], px[ch] + 20) << GemName(e.g);
                }
            }
        }
    }
    // saturation 0 gives a grey gem (locked or disabled)
    Canvas grey(64, 64);
    DrawGem(grey.cr(), Gem::Red, 32, 32, 56, GemStyle{0, 0.0, 0, true});
    uint8_t px[4];
    grey.Pixel(38, 40, px);
    EXPECT_NEAR(px[0], px[1], 6);
    EXPECT_NEAR(px[1], px[2], 6);
}

TEST(ArtText, FittedTextStaysInItsBoxAndDrawsGermanLetters) {
    for (Face f : {Face::Display, Face::DisplayText, Face::Capitals, Face::Sans, Face::Book, Face::BookBold}) {
        EXPECT_TRUE(std::filesystem::exists(FacePath(f)));
    }
    Canvas c(300, 60);
    TextStyle st;
    st.size = 40;
    st.fill = pal::White;
    DrawTextIn(c.cr(), "Änderungen übernehmen – Größe", 100, 10, 100, 40, st);
    uint8_t px[4];
    int inside = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 300; ++x) {
            c.Pixel(x, y, px);
            if (px[3] > 40) {
                EXPECT_TRUE(x >= 99 && x <= 201) << "ink outside the box at " << x << "," << y;
                ++inside;
            }
        }
    EXPECT_GT(inside, 100);
    // the umlauts' dots are ink above the letters: "Ä" has more ink than "A"
    auto ink = [](const char* text) {
        Canvas t(60, 60);
        TextStyle s;
        s.size = 40;
        s.face = Face::Sans;
        DrawText(t.cr(), text, 30, 50, s);
        int n = 0;
        uint8_t p[4];
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x) {
                t.Pixel(x, y, p);
                n += p[3] > 100;
            }
        return n;
    };
    EXPECT_GT(ink("Ä"), ink("A") + 10);
    EXPECT_GT(ink("ß"), 50);
}

TEST(ArtCanvas, StateOperationsKeepShapesAndMoveLight) {
    // a blue square in the middle of a transparent canvas
    auto square = [] {
        Canvas c(40, 40);
        SetColour(c.cr(), Rgb{0.1, 0.2, 0.8, 1});
        cairo_rectangle(c.cr(), 10, 10, 20, 20);
        cairo_fill(c.cr());
        return c;
    };
    uint8_t px[4];
    Canvas grey = square();
    Adjust(grey, 0.0, 0.0);
    grey.Pixel(20, 20, px);
    EXPECT_NEAR(px[0], px[2], 2) << "saturation 0 is grey";
    grey.Pixel(2, 2, px);
    EXPECT_EQ(px[3], 0) << "transparent pixels stay transparent";

    Canvas light = square();
    Adjust(light, 1.0, 0.5);
    light.Pixel(20, 20, px);
    EXPECT_GT(px[0], 120);

    const Canvas moved = Shifted(square(), 1, 1);
    moved.Pixel(10, 10, px);
    EXPECT_EQ(px[3], 0);
    moved.Pixel(30, 30, px);
    EXPECT_EQ(px[3], 255);

    Canvas rim = square();
    AddRimGlow(rim, Rgb{1, 0.9, 0.5, 1}, 3);
    rim.Pixel(8, 20, px);
    EXPECT_GT(px[3], 40) << "light just outside the shape";
    EXPECT_GT(px[0], 200);
    rim.Pixel(20, 20, px);
    EXPECT_EQ(px[2], 204) << "the shape itself is unchanged";
    rim.Pixel(1, 1, px);
    EXPECT_EQ(px[3], 0) << "far corners stay clear";

    Canvas holed = square();
    holed.Clear(15, 15, 10, 10);
    holed.Pixel(20, 20, px);
    EXPECT_EQ(px[3], 0);
    holed.Pixel(12, 12, px);
    EXPECT_EQ(px[3], 255);
}

TEST(ArtCanvas, PngsReadBackAsTheyWereWritten) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("bq_art_read_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    const Canvas c = Busy();
    ASSERT_TRUE(WritePngRgba((dir / "a.png").string(), c));
    ASSERT_TRUE(WritePngRgb((dir / "b.png").string(), c, pal::White));
    std::unique_ptr<Canvas> a, b, missing;
    ASSERT_TRUE(ReadPng((dir / "a.png").string(), a));
    ASSERT_TRUE(ReadPng((dir / "b.png").string(), b));
    EXPECT_FALSE(ReadPng((dir / "none.png").string(), missing));
    EXPECT_EQ(EncodePng(*a, true), EncodePng(c, true)) << "RGBA survives a round trip";
    uint8_t pa[4], pb[4];
    for (const auto& [x, y] : {std::pair{0, 0}, {30, 40}, {80, 45}, {119, 79}}) {
        a->Pixel(x, y, pa);
        b->Pixel(x, y, pb);
        EXPECT_EQ(pb[3], 255);
        // RGB is composed over white: equal where the picture is opaque, lighter where it is not
        if (pa[3] == 255) {
            EXPECT_NEAR(pa[0], pb[0], 1);
        } else {
            EXPECT_GE(pb[0] + 1, pa[0]);
        }
    }
    std::filesystem::remove_all(dir);
}

TEST(ArtNoise, StaysInRangeAndRngBoundsAreInclusive) {
    for (int i = 0; i < 2000; ++i) {
        const double n = Noise2(i * 0.37, i * 0.11, 5, 5);
        ASSERT_GE(n, 0.0);
        ASSERT_LE(n, 1.0);
    }
    Rng rng(9);
    bool lo = false, hi = false;
    for (int i = 0; i < 2000; ++i) {
        const int v = rng.Int(3, 6);
        ASSERT_GE(v, 3);
        ASSERT_LE(v, 6);
        lo |= v == 3;
        hi |= v == 6;
        const double u = rng.Unit();
        ASSERT_GE(u, 0.0);
        ASSERT_LT(u, 1.0);
    }
    EXPECT_TRUE(lo && hi);
}
