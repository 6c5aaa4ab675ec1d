// Image font tests with DejaVu Sans from the system: metrics, where glyphs land, German letters drawn pixel by
// pixel, styles, colour, characters beyond Latin-1 and files that are not fonts.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>

#include "draw_helpers.h"
#include "platform/font.h"
#include "platform/font_internal.h"
#include "platform/graphics.h"
#include "platform/incbin.h"

using namespace drawtest;

namespace {

const Str kDejaVu = u"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Bounding box of the lit pixels (any channel above `level`) in a canvas rectangle.
struct Box {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1, lit = 0, partial = 0;
    bool empty() const { return lit == 0; }
};
Box LitBox(int x, int y, int w, int h, int level = 0) {
    const Pixmap pm = Graphics_ReadPixels(x, y, w, h);
    Box b;
    for (int py = 0; py < pm.height; ++py)
        for (int px = 0; px < pm.width; ++px) {
            const uint32_t c = Pixmap_ReadPixel(pm, px, py) & 0xFFFFFF;
            const int v = std::max({int(c >> 16), int(c >> 8 & 255), int(c & 255)});
            if (v <= level) continue;
            ++b.lit;
            if (v < 255) ++b.partial;
            b.x0 = std::min(b.x0, x + px);
            b.y0 = std::min(b.y0, y + py);
            b.x1 = std::max(b.x1, x + px);
            b.y1 = std::max(b.y1, y + py);
        }
    return b;
}

class FontTest : public Canvas {
  protected:
    void SetUp() override {
        Canvas::SetUp();
        font = ImageFont_Load(kDejaVu, 20, FONT_SMOOTH);
        ASSERT_NE(font, nullptr) << "fonts-dejavu-core is needed by the tests";
        Draw_SetImageFont(font);
    }
    FontPtr font;
};

TEST_F(FontTest, MetricsAddUpAndHeightIsAscenderPlusDescender) {
    const FontPtr small = ImageFont_Load(kDejaVu, 13, FONT_SMOOTH);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(ImageFont_Ascender(small), 13);
    EXPECT_EQ(ImageFont_Height(small), 17);
    Draw_SetImageFont(small);
    EXPECT_EQ(Text_Height(u"x"), 17);
    EXPECT_EQ(Text_Height(u"ÄgÖ"), 17) << "one line height whatever the text";
    EXPECT_EQ(Text_Width(u"Wasser"), Text_Width(u"Was") + Text_Width(u"ser")) << "no kerning";
    EXPECT_EQ(Text_Width(u"a\tb\r\n"), Text_Width(u"ab")) << "control codes have no width";
    EXPECT_EQ(Text_Width(u""), 0);
    EXPECT_GT(Text_Width(u"iiii"), 0);
    EXPECT_GT(Text_Width(u"WWWW"), Text_Width(u"iiii"));
    Draw_SetImageFont(font);
    EXPECT_GT(Text_Height(u"x"), 17);
}

TEST_F(FontTest, GlyphsLandBelowTheTopLeftAtTheAscender) {
    Draw_Text(u"H", 100, 50);
    const Box b = LitBox(90, 30, 40, 60);
    ASSERT_FALSE(b.empty());
    const int baseline = 50 + ImageFont_Ascender(font);
    EXPECT_EQ(b.y1, baseline - 1) << "H stands on the baseline";
    EXPECT_GE(b.y0, 50) << "nothing above the top of the line";
    EXPECT_GE(b.x0, 100);
    EXPECT_LT(b.x1, 100 + Text_Width(u"H"));
}

TEST_F(FontTest, GermanLettersRenderWithTheirMarks) {
    // Each umlaut has the shape of its base letter plus lit pixels above the base letter's top.
    const char16_t pairs[][2] = {{u'a', u'ä'}, {u'o', u'ö'}, {u'u', u'ü'}, {u'A', u'Ä'}, {u'O', u'Ö'}, {u'U', u'Ü'}};
    int x = 20;
    for (const auto& p : pairs) {
        Draw_Cls();
        Draw_Text(Str(1, p[0]), float(x), 100);
        const Box base = LitBox(x - 2, 90, 40, 40);
        Draw_Cls();
        Draw_Text(Str(1, p[1]), float(x), 100);
        const Box marked = LitBox(x - 2, 90, 40, 40);
        SCOPED_TRACE(Str_ToUtf8(Str(1, p[1])));
        ASSERT_FALSE(base.empty());
        ASSERT_FALSE(marked.empty());
        EXPECT_LT(marked.y0, base.y0 - 1) << "dots above the letter";
        EXPECT_EQ(marked.y1, base.y1) << "same baseline";
        EXPECT_GT(marked.lit, base.lit);
        EXPECT_EQ(Text_Width(Str(1, p[1])), Text_Width(Str(1, p[0])));
    }
    // ß reaches from the ascender to the baseline, unlike 'B' it is no capital: compare with 'l' and 'o'.
    Draw_Cls();
    Draw_Text(u"ß", 20, 100);
    const Box sz = LitBox(10, 90, 40, 40);
    Draw_Cls();
    Draw_Text(u"l", 20, 100);
    const Box l = LitBox(10, 90, 40, 40);
    ASSERT_FALSE(sz.empty());
    EXPECT_LE(std::abs(sz.y0 - l.y0), 1);
    EXPECT_EQ(sz.y1, l.y1);
    EXPECT_GT(sz.x1 - sz.x0, l.x1 - l.x0 + 3);

    // A whole German word lies within its measured width and line height.
    Draw_Cls();
    const Str word = u"Größenänderung Übermaß";
    Draw_Text(word, 10, 200);
    const Box all = LitBox(0, 180, 800, 60);
    EXPECT_GE(all.x0, 10);
    EXPECT_LT(all.x1, 10 + Text_Width(word));
    EXPECT_GE(all.y0, 200);
    EXPECT_LT(all.y1, 200 + Text_Height(word));
}

TEST_F(FontTest, TextTakesColourAlphaAndScale) {
    Draw_SetColor(255, 0, 0);
    Draw_Text(u"M", 10, 10);
    const Pixmap pm = Graphics_ReadPixels(10, 10, 20, 25);
    int red = 0;
    for (int y = 0; y < pm.height; ++y)
        for (int x = 0; x < pm.width; ++x) {
            const uint32_t c = Pixmap_ReadPixel(pm, x, y);
            EXPECT_EQ(c & 0xFFFF, 0u);
            if ((c >> 16 & 255) == 255) ++red;
        }
    EXPECT_GT(red, 20);

    Draw_SetColor(255, 255, 255);
    Draw_SetAlpha(0.5f);
    Draw_Text(u"M", 100, 10);
    const Box half = LitBox(100, 10, 20, 25);
    EXPECT_EQ(LitBox(100, 10, 20, 25, 128).lit, 0) << "no pixel brighter than half";
    EXPECT_GT(half.lit, 20);

    // Solid mode draws the glyph shapes, not their boxes: the hole of an 'o' keeps the background.
    Fill(100, 100, 100);
    Draw_SetBlend(BLEND_SOLID);
    Draw_SetAlpha(0.3f);
    Draw_Text(u"o", 100, 100);
    const Box o = LitBox(95, 95, 30, 40, 100);
    ASSERT_FALSE(o.empty());
    EXPECT_EQ(PixelAt((o.x0 + o.x1) / 2, (o.y0 + o.y1) / 2), (Rgb{100, 100, 100}));
    EXPECT_EQ(o.partial, 0) << "solid glyph pixels are fully white";
    // Multiplied text darkens the glyph shape only.
    Draw_SetBlend(BLEND_MULTIPLY);
    Draw_SetColor(128, 128, 128);
    Fill(0, 0, 0);
    Draw_Text(u"o", 200, 100);
    EXPECT_EQ(LitBox(195, 95, 30, 40).lit, 0) << "multiplying black stays black";
    Fill(100, 100, 100);
    Draw_Text(u"o", 200, 100);
    EXPECT_EQ(PixelAt((o.x0 + o.x1) / 2 + 100, (o.y0 + o.y1) / 2), (Rgb{100, 100, 100}));
    EXPECT_EQ(PixelAt(o.x0 + 100, (o.y0 + o.y1) / 2), (Rgb{50, 50, 50})) << "100 * 128 / 255";
    Draw_SetColor(255, 255, 255);
    Draw_SetBlend(BLEND_ALPHA);
    Draw_Cls();

    Draw_SetAlpha(1.0f);
    Draw_Text(u"M", 200, 10);
    const Box one = LitBox(190, 0, 80, 80);
    Draw_SetScale(2, 2);
    Draw_Text(u"M", 300, 10);
    const Box two = LitBox(290, 0, 120, 120);
    EXPECT_NEAR(two.x1 - two.x0 + 1, 2 * (one.x1 - one.x0 + 1), 2);
    EXPECT_NEAR(two.y1 - two.y0 + 1, 2 * (one.y1 - one.y0 + 1), 2);
}

TEST_F(FontTest, StylesChangeTheGlyphs) {
    const FontPtr mono = ImageFont_Load(kDejaVu, 20, 0);
    const FontPtr bold = ImageFont_Load(kDejaVu, 20, FONT_BOLD | FONT_SMOOTH);
    const FontPtr italic = ImageFont_Load(kDejaVu, 20, FONT_ITALIC | FONT_SMOOTH);
    ASSERT_TRUE(mono && bold && italic);
    EXPECT_EQ(ImageFont_Style(bold), FONT_BOLD | FONT_SMOOTH);

    Draw_Text(u"Sag", 10, 10);
    const Box smooth = LitBox(0, 0, 100, 40);
    EXPECT_GT(smooth.partial, 0) << "anti-aliased edges";

    Draw_SetImageFont(mono);
    Draw_Text(u"Sag", 10, 60);
    const Box hard = LitBox(0, 50, 100, 40);
    EXPECT_GT(hard.lit, 20);
    EXPECT_EQ(hard.partial, 0) << "monochrome: every pixel fully on or off";

    Draw_SetImageFont(bold);
    EXPECT_GT(Text_Width(u"Hello"), ImageFont_TextWidth(font, u"Hello"));
    Draw_Text(u"l", 200, 10);
    Draw_SetImageFont(font);
    Draw_Text(u"l", 300, 10);
    EXPECT_GT(LitBox(190, 0, 40, 40).lit, LitBox(290, 0, 40, 40).lit);

    // Italic: the top of an 'l' leans to the right of its foot.
    Draw_SetImageFont(italic);
    Draw_Text(u"l", 400, 10);
    const int asc = ImageFont_Ascender(italic);
    const Box top = LitBox(390, 10, 40, asc / 3);
    const Box foot = LitBox(390, 10 + asc - asc / 3, 40, asc / 3);
    ASSERT_FALSE(top.empty());
    ASSERT_FALSE(foot.empty());
    EXPECT_GT(top.x0, foot.x0 + 1);
}

TEST_F(FontTest, CharactersBeyondLatin1AreAddedOnFirstUse) {
    const int before = Text_Width(u"Ω");
    EXPECT_GT(before, 0);
    Draw_Text(u"ΩЖ€", 10, 10);
    EXPECT_GT(LitBox(0, 0, 100, 40).lit, 30);
    // Many new characters grow the atlas without breaking the ones drawn before.
    Str many;
    for (char16_t c = 0x400; c < 0x500; ++c)
        many.push_back(c);
    EXPECT_GT(Text_Width(many), 0);
    Draw_Cls();
    Draw_Text(u"Ω", 10, 10);
    EXPECT_EQ(Text_Width(u"Ω"), before);
    EXPECT_GT(LitBox(0, 0, 40, 40).lit, 10);
}

// A glyph atlas keeps no pixels once uploaded: they are painted again from the face for a new renderer and for a new
// character, which must then bring back every glyph placed before it, Latin-1 and beyond.
TEST_F(FontTest, GlyphAtlasIsPaintedAgainForANewRendererAndANewCharacter) {
    const Str text = u"AgßΩ";
    const auto shown = [&] {
        Draw_Cls();
        Draw_Text(text, 10, 10);
        return Graphics_ReadPixels(0, 0, 120, 40).bytes;
    };
    const std::vector<uint8_t> first = shown();
    EXPECT_GT(LitBox(0, 0, 120, 40).lit, 40);
    Graphics_Close();
    ASSERT_TRUE(Graphics_Open(800, 600, true));
    EXPECT_EQ(shown(), first) << "with a new renderer";
    Draw_Text(u"Ж", 200, 10); // a new character: the atlas is painted again to take it
    EXPECT_GT(LitBox(190, 0, 40, 40).lit, 10);
    EXPECT_EQ(shown(), first) << "after a new character";
}

std::vector<uint8_t> DejaVuBytes() {
    std::ifstream in(Str_ToUtf8(kDejaVu), std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Every size and spelling of one file shares its bytes; whatever order the fonts go in, the ones left keep
// rendering new glyphs (FreeType reads the file again for each), and the last one lets the file go.
TEST_F(Canvas, FontFilesAreHeldOnceAndOutliveFreesInAnyOrder) {
    Incbin_Register(u"test/shared.ttf", DejaVuBytes());
    const size_t base = ImageFont_FilesHeld();
    std::array<int, 5> order{0, 1, 2, 3, 4};
    int next = 0; // Cyrillic letters: beyond Latin-1, so a draw renders a glyph the atlas may not hold yet
    do {
        std::array<FontPtr, 5> fonts = {
            ImageFont_Load(u"incbin::test/shared.ttf", 10, FONT_SMOOTH),
            ImageFont_Load(u"littleendian::INCBIN::Test\\Shared.TTF", 13, FONT_SMOOTH | FONT_BOLD),
            ImageFont_Load(u"incbin::./test/shared.ttf", 20, 0),
            ImageFont_Load(kDejaVu, 13, FONT_SMOOTH),
            ImageFont_Load(kDejaVu, 24, FONT_ITALIC),
        };
        for (const FontPtr& f : fonts)
            ASSERT_NE(f, nullptr);
        ASSERT_EQ(ImageFont_FilesHeld(), base + 2) << "one embedded and one real file, each held once";
        // Replacing the registered file does not pull the bytes from under the fonts made from it.
        Incbin_Register(u"test/shared.ttf", DejaVuBytes());
        for (const int gone : order) {
            fonts[size_t(gone)].reset();
            for (const FontPtr& f : fonts) {
                if (!f) continue;
                Draw_SetImageFont(f);
                Draw_Cls();
                const Str text(1, char16_t(0x410 + next++ % 64));
                Draw_Text(text, 10, 10);
                EXPECT_GT(ImageFont_TextWidth(f, text), 0);
            }
        }
        Draw_SetImageFont(nullptr);
        EXPECT_EQ(ImageFont_FilesHeld(), base);
    } while (std::next_permutation(order.begin(), order.end()) && order[0] < 2);
}

// The sizes and styles of one file share its face: each font renders its new characters at its own size and slant
// whatever font used the face last. Fonts of the same bytes under other names (a face each) draw the reference.
TEST_F(Canvas, FontsOfOneFileRenderAtTheirOwnSizeWhicheverRanBefore) {
    const std::array<std::pair<int, int>, 3> kinds = {
        {{12, FONT_SMOOTH}, {30, FONT_SMOOTH | FONT_ITALIC}, {18, FONT_BOLD}}};
    std::vector<FontPtr> shared, alone;
    for (size_t i = 0; i < kinds.size(); ++i) {
        const Str own = u"test/alone" + Str_FromInt(int(i)) + u".ttf";
        Incbin_Register(own, DejaVuBytes());
        shared.push_back(ImageFont_Load(kDejaVu, kinds[i].first, kinds[i].second));
        alone.push_back(ImageFont_Load(u"incbin::" + own, kinds[i].first, kinds[i].second));
        ASSERT_TRUE(shared.back() && alone.back());
    }
    const auto shown = [](const FontPtr& f, const Str& text) {
        Draw_SetImageFont(f);
        Draw_Cls();
        Draw_Text(text, 10, 10);
        return Graphics_ReadPixels(0, 0, 120, 60).bytes;
    };
    for (const Str c : {u"Ж", u"Ω", u"€", u"Ag"}) // new characters are rendered on first use, Latin-1 ones at load
        for (size_t i = 0; i < kinds.size(); ++i) {
            const std::vector<uint8_t> drawn = shown(shared[i], c);
            EXPECT_EQ(drawn, shown(alone[i], c)) << Str_ToUtf8(c) << " at " << kinds[i].first << " px";
            EXPECT_EQ(ImageFont_TextWidth(shared[i], c), ImageFont_TextWidth(alone[i], c));
        }
    Draw_SetImageFont(nullptr);
}

TEST(FontLoad, FilesThatAreNoFontsGiveNull) {
    EXPECT_EQ(ImageFont_Load(u"/nonexistent/font.ttf", 12, FONT_SMOOTH), nullptr);
    Incbin_Register(u"test/garbage.ttf", std::vector<uint8_t>(300, 0x41));
    EXPECT_EQ(ImageFont_Load(u"incbin::test/garbage.ttf", 12, FONT_SMOOTH), nullptr);
    // A cut-off TrueType file: null or a usable font, never a crash.
    std::ifstream in(Str_ToUtf8(kDejaVu), std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 4000u);
    bytes.resize(4000);
    Incbin_Register(u"test/cut.ttf", bytes);
    const FontPtr cut = ImageFont_Load(u"incbin::test/cut.ttf", 12, FONT_SMOOTH);
    if (cut) {
        EXPECT_GE(ImageFont_TextWidth(cut, u"abc"), 0);
    }
    // Sizes are clamped, not refused.
    EXPECT_EQ(ImageFont_PixelSize(ImageFont_Load(kDejaVu, 0, 0)), 1);
    EXPECT_NE(ImageFont_Default(), nullptr);
    EXPECT_EQ(ImageFont_Height(nullptr), 0);
}

} // namespace
