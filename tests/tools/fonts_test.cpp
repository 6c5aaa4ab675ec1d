// Tests of the embedded font files (copied by tools/assetgen_audio): each opens through the game's font loader at
// the sizes the game uses and draws the German letters as real glyphs, not as the missing-glyph box.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/font.h"
#include "platform/graphics.h"
#include "platform/image.h"
#include "platform/incbin.h"
#include "platform/strings.h"

namespace {

constexpr const char* kFonts[] = {"fonts/UnZialish.ttf", "fonts/Trinigan.ttf", "fonts/l_10646.ttf",
                                  "fonts/PS_14508.ttf",  "paneo.ttf",          "paneo.fon"};
constexpr int kBox = 64; // each letter is drawn alone into a kBox x kBox square

// Lit pixels (any channel above 96) of one character drawn white on black at the canvas origin.
struct Mask {
    std::vector<bool> lit;
    int count = 0;
    int top = kBox; // first lit row
    bool operator==(const Mask& o) const { return lit == o.lit; }
};

Mask DrawAlone(const FontPtr& font, char16_t c) {
    Draw_SetClsColor(0, 0, 0);
    Draw_Cls();
    Draw_SetColor(255, 255, 255);
    Draw_SetImageFont(font);
    Draw_Text(Str(1, c), 8, 8);
    const Pixmap pm = Graphics_ReadPixels(0, 0, kBox, kBox);
    Mask m;
    m.lit.assign(kBox * kBox, false);
    for (int y = 0; y < pm.height; ++y)
        for (int x = 0; x < pm.width; ++x) {
            const uint32_t p = Pixmap_ReadPixel(pm, x, y);
            if (((p >> 16) & 255) > 96 || ((p >> 8) & 255) > 96 || (p & 255) > 96) {
                m.lit[size_t(y * kBox + x)] = true;
                ++m.count;
                m.top = std::min(m.top, y);
            }
        }
    return m;
}

class EmbeddedFonts : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { Incbin_RegisterBuiltin(); }
    void SetUp() override {
        if (!Graphics_IsOpen()) {
            ASSERT_TRUE(Graphics_Open(800, 600, true));
        }
        Draw_ResetState();
    }
    void TearDown() override {
        Draw_SetImageFont(nullptr);
        Draw_ResetState();
    }
};

} // namespace

TEST_F(EmbeddedFonts, EveryFileOpensAtTheGamesSizesAndStyles) {
    for (const char* path : kFonts) {
        for (const int size : {9, 13, 16, 24, 40}) {
            for (const int style : {int(FONT_SMOOTH), FONT_SMOOTH | FONT_BOLD}) {
                const FontPtr f = ImageFont_Load(S(std::string("incbin::") + path), size, style);
                ASSERT_TRUE(f) << path << " at " << size;
                EXPECT_GE(ImageFont_Height(f), size * 3 / 4) << path;
                EXPECT_GT(ImageFont_TextWidth(f, Str_FromUtf8("Größe")), 0) << path;
            }
        }
        // the game writes its font paths with backslashes, "./" and in other cases; all find the same face
        std::string upper = path, backslash = std::string(".\\") + path;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return char(std::toupper(c)); });
        std::replace(backslash.begin(), backslash.end(), '/', '\\');
        const FontPtr canonical = ImageFont_Load(S(std::string("incbin::") + path), 16);
        for (const std::string& variant : {upper, backslash, "./" + std::string(path)}) {
            const FontPtr f = ImageFont_Load(S("incbin::" + variant), 16);
            ASSERT_TRUE(f) << variant;
            EXPECT_EQ(ImageFont_TextWidth(f, Str_FromUtf8("Größe")),
                      ImageFont_TextWidth(canonical, Str_FromUtf8("Größe")))
                << variant;
        }
    }
}

TEST_F(EmbeddedFonts, GermanLettersAreRealGlyphs) {
    struct Pair {
        char16_t letter, base; // an umlaut and its plain letter
    };
    constexpr Pair kPairs[] = {{u'Ä', u'A'}, {u'Ö', u'O'}, {u'Ü', u'U'}, {u'ä', u'a'}, {u'ö', u'o'}, {u'ü', u'u'}};
    for (const char* path : kFonts) {
        SCOPED_TRACE(path);
        const FontPtr f = ImageFont_Load(S(std::string("incbin::") + path), 32);
        ASSERT_TRUE(f);
        const Mask missing = DrawAlone(f, u'\x7f'); // no font here has a glyph for DEL: the fallback, if any
        for (const Pair& p : kPairs) {
            const Mask umlaut = DrawAlone(f, p.letter), plain = DrawAlone(f, p.base);
            ASSERT_GT(plain.count, 20) << "plain letter not drawn";
            EXPECT_FALSE(umlaut == missing) << Str_ToUtf8(Str(1, p.letter)) << " falls back";
            // The dots: more ink, and ink above the plain letter's top.
            EXPECT_GT(umlaut.count, plain.count) << Str_ToUtf8(Str(1, p.letter));
            EXPECT_LT(umlaut.top, plain.top) << Str_ToUtf8(Str(1, p.letter));
        }
        const Mask sharp = DrawAlone(f, u'ß');
        EXPECT_GT(sharp.count, 20);
        EXPECT_FALSE(sharp == missing) << "ß falls back";
        EXPECT_FALSE(sharp == DrawAlone(f, u'B'));
    }
}

// The longest row of ink in the middle fifth of a letter's height, as a share of the letter's width.
double MiddleBar(const Mask& m) {
    int left = kBox, right = -1, top = kBox, bottom = -1;
    for (int y = 0; y < kBox; ++y)
        for (int x = 0; x < kBox; ++x)
            if (m.lit[size_t(y * kBox + x)]) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (right < left) return 0;
    int longest = 0;
    const int h = bottom - top + 1;
    for (int y = top + h * 2 / 5; y <= top + h * 3 / 5; ++y)
        for (int x = left, run = 0; x <= right; ++x) {
            run = m.lit[size_t(y * kBox + x)] ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    return double(longest) / double(right - left + 1);
}

// In the uncial display face (captions and titles) a "Z" must not read as a "2" ("Zurück", "Level Zeit"): the Z
// carries a bar across its middle, which the 2's one diagonal there does not make.
TEST_F(EmbeddedFonts, TheUncialZDoesNotReadAsATwo) {
    for (const int size : {16, 20, 24, 36}) {
        const FontPtr f = ImageFont_Load(S("incbin::fonts/UnZialish.ttf"), size);
        ASSERT_TRUE(f);
        for (const char16_t z : {u'Z', u'z'})
            EXPECT_GE(MiddleBar(DrawAlone(f, z)), 0.5) << size << " px " << char(z);
        EXPECT_LT(MiddleBar(DrawAlone(f, u'2')), 0.4) << size << " px";
    }
}

TEST_F(EmbeddedFonts, TheSansIsOneFileUnderThreeNamesAndTheDefaultFont) {
    const auto bytes = [](const char* path) {
        const uint8_t* data = nullptr;
        size_t size = 0;
        EXPECT_TRUE(Incbin_Find(S(std::string("incbin::") + path), data, size)) << path;
        return std::vector<uint8_t>(data, data + size);
    };
    const std::vector<uint8_t> sans = bytes("fonts/l_10646.ttf");
    EXPECT_EQ(bytes("paneo.ttf"), sans);
    EXPECT_EQ(bytes("paneo.fon"), sans);
    for (const char* path : {"fonts/UnZialish.ttf", "fonts/Trinigan.ttf", "fonts/PS_14508.ttf"})
        EXPECT_NE(bytes(path), sans) << path << " should be a family of its own";
    const FontPtr def = ImageFont_Default();
    ASSERT_TRUE(def);
    EXPECT_EQ(ImageFont_PixelSize(def), 13);
    const FontPtr sans13 = ImageFont_Load(S("incbin::fonts/l_10646.ttf"), 13);
    EXPECT_EQ(ImageFont_TextWidth(def, Str_FromUtf8("Übung macht den Meister")),
              ImageFont_TextWidth(sans13, Str_FromUtf8("Übung macht den Meister")));
}
