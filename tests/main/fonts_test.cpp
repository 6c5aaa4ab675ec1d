// Tests of main/fonts.cpp: the font table's fixed entries, stepping within a family, loading every entry from the
// embedded families, and German letters drawn in each family.
#include <gtest/gtest.h>

#include <set>

#include "main/fonts.h"
#include "platform/graphics.h"
#include "widgets_helpers.h"

namespace {

TEST(FontTable, EntriesTheDialogsAreLaidOutFor) {
    const struct {
        int index;
        FontFamily family;
        int size;
    } fixed[] = {{11, FONT_UNZIALISH, 14}, {12, FONT_UNZIALISH, 16}, {13, FONT_UNZIALISH, 18}, {14, FONT_UNZIALISH, 20},
                 {15, FONT_UNZIALISH, 22}, {16, FONT_UNZIALISH, 24}, {17, FONT_UNZIALISH, 36}, {47, FONT_UNZIALISH, 40},
                 {37, FONT_TRINIGAN, 24},  {38, FONT_TRINIGAN, 22},  {39, FONT_TRINIGAN, 20},  {40, FONT_TRINIGAN, 18},
                 {41, FONT_TRINIGAN, 16},  {42, FONT_TRINIGAN, 14},  {51, FONT_TRINIGAN, 28}};
    for (const auto& f : fixed) {
        EXPECT_EQ(Font_Entries[size_t(f.index)].family, f.family) << f.index;
        EXPECT_EQ(Font_Entries[size_t(f.index)].size, f.size) << f.index;
    }
    // No family holds a size twice (so "the next smaller size" is one entry), and every family is used.
    std::set<std::pair<int, int>> seen;
    std::set<int> families;
    for (const FontEntry& s : Font_Entries) {
        EXPECT_TRUE(seen.insert({s.family, s.size}).second) << s.family << " " << s.size;
        families.insert(s.family);
    }
    EXPECT_EQ(families.size(), size_t(kFontFamilies));
}

TEST(FontTable, NextSmallerStaysInTheFamilyWhateverTheIndex) {
    EXPECT_EQ(Font_NextSmaller(51), 52); // Trinigan 28 -> 26 -> 24, never UnZialish 40 at 47
    EXPECT_EQ(Font_NextSmaller(52), 37);
    EXPECT_EQ(Font_NextSmaller(37), 38);
    EXPECT_EQ(Font_NextSmaller(12), 11);
    EXPECT_EQ(Font_NextSmaller(47), 17); // UnZialish 40 -> 36
    // Walking down from every entry visits strictly smaller sizes of its family and ends at its smallest.
    for (int i = 0; i < kFontCount; ++i) {
        int at = i, steps = 0;
        for (int next = Font_NextSmaller(at); next >= 0; next = Font_NextSmaller(at)) {
            ASSERT_EQ(Font_Entries[size_t(next)].family, Font_Entries[size_t(i)].family);
            ASSERT_LT(Font_Entries[size_t(next)].size, Font_Entries[size_t(at)].size);
            at = next;
            ASSERT_LT(++steps, kFontCount);
        }
        for (const FontEntry& s : Font_Entries) {
            if (s.family == Font_Entries[size_t(i)].family) {
                EXPECT_GE(s.size, Font_Entries[size_t(at)].size);
            }
        }
    }
    EXPECT_EQ(Font_NextSmaller(-1), -1);
    EXPECT_EQ(Font_NextSmaller(kFontCount), -1);
}

TEST(FontTable, EveryEntryLoadsAtItsSize) {
    WidgetsTest_Open();
    for (int i = 0; i < kFontCount; ++i) {
        ASSERT_NE(Fonts[size_t(i)], nullptr) << i;
        EXPECT_EQ(ImageFont_PixelSize(Fonts[size_t(i)]), Font_Entries[size_t(i)].size) << i;
    }
    ASSERT_NE(Font_EditorPath, nullptr);
    ASSERT_NE(Font_EditorLevel, nullptr);
    EXPECT_EQ(ImageFont_PixelSize(Font_EditorPath), 9);
    EXPECT_EQ(ImageFont_PixelSize(Font_EditorLevel), 11);
    EXPECT_NE(Font_Default, nullptr);
    // Line heights grow with the size inside a family.
    EXPECT_LT(ImageFont_Height(Fonts[11]), ImageFont_Height(Fonts[17]));
    EXPECT_LT(ImageFont_Height(Fonts[42]), ImageFont_Height(Fonts[51]));
}

TEST(FontTable, BadIndexFallsBackToTheDefaultWithALine) {
    WidgetsTest_Open();
    FontPtr f;
    const std::string out = WidgetsTest_Stdout([&] { f = Font_Get(53); });
    EXPECT_EQ(f, Font_Default);
    EXPECT_NE(out.find("Fonts[53]"), std::string::npos);
    EXPECT_EQ(Font_Get(12), Fonts[12]);
}

// The umlauts and sharp s of every family are real glyphs: "Ä" carries ink above the top of "A", and each German
// letter differs from its base letter.
TEST(FontTable, GermanLettersInEveryFamily) {
    WidgetsTest_Open();
    for (int index : {16, 51, 10, 27}) { // UnZialish 24, Trinigan 28, sans 24, book 28
        SCOPED_TRACE(index);
        Draw_ResetState();
        Draw_SetImageFont(Fonts[size_t(index)]);
        Draw_SetClsColor(0, 0, 0);
        const auto inkOf = [](const Str& s) {
            Draw_Cls();
            Draw_Text(s, 100, 100);
            return WidgetsTest_CountInk(90, 90, 200, 80, 0x000000);
        };
        EXPECT_GT(inkOf(u"Ä"), inkOf(u"A"));
        EXPECT_GT(inkOf(u"ö"), inkOf(u"o"));
        EXPECT_GT(inkOf(u"ü"), inkOf(u"u"));
        EXPECT_GT(inkOf(u"ß"), 10);
        EXPECT_EQ(Text_Width(u"Zurück"), ImageFont_TextWidth(Fonts[size_t(index)], u"Zurück"));
    }
}

} // namespace
