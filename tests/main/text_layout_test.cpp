// Tests of main/text_layout.cpp: wrapping and measuring, centred drawing, and fitting a text through the font
// table within one family.
#include <gtest/gtest.h>

#include "main/fonts.h"
#include "main/text_layout.h"
#include "platform/graphics.h"
#include "widgets_helpers.h"

namespace {

class TextLayout : public testing::Test {
  protected:
    void SetUp() override {
        WidgetsTest_Open();
        Draw_ResetState();
        Draw_SetImageFont(Fonts[12]); // UnZialish 16
    }
};

TEST_F(TextLayout, WrapsAtBlanksAndKeepsWordsWhole) {
    const Str text = u"Spieler gelöscht und fort";
    const int wTwo = Text_Width(u"Spieler gelöscht");
    // Exactly the width of the first two words: they share a line, the third moves down.
    EXPECT_EQ(Text_WrapLines(text, wTwo), (std::vector<Str>{u"Spieler gelöscht", u"und fort"}));
    // One pixel less: the second word moves down; no line is wider than the width.
    const auto narrow = Text_WrapLines(text, wTwo - 1);
    ASSERT_GE(narrow.size(), 2u);
    EXPECT_EQ(narrow[0], u"Spieler");
    EXPECT_EQ(narrow[1].substr(0, 8), u"gelöscht");
    Str joined;
    for (const Str& line : narrow) {
        EXPECT_LE(Text_Width(line), wTwo - 1);
        joined += (joined.empty() ? u"" : u" ") + line;
    }
    EXPECT_EQ(joined, text);
    // Wide enough for all.
    EXPECT_EQ(Text_WrapLines(text, 2000), (std::vector<Str>{text}));
}

TEST_F(TextLayout, BreaksAtCarriageReturnIgnoresLineFeed) {
    EXPECT_EQ(Text_WrapLines(u"Super!\r\nDu hast", 2000), (std::vector<Str>{u"Super!", u"Du hast"}));
    EXPECT_EQ(Text_WrapLines(u"a\rb", 2000), (std::vector<Str>{u"a", u"b"}));
    EXPECT_EQ(Text_WrapLines(u"a\nb", 2000), (std::vector<Str>{u"ab"})); // LF alone is no break
    // An empty line between two CRs counts; a trailing CR adds nothing.
    EXPECT_EQ(Text_WrapLines(u"Owlcastle\r\n\r\nGrafik\r\n", 2000), (std::vector<Str>{u"Owlcastle", u"", u"Grafik"}));
}

TEST_F(TextLayout, LongWordAndEmptyText) {
    const Str word = u"Desktophintergrund";
    const auto lines = Text_WrapLines(u"ein " + word + u" hier", Text_Width(word) / 2);
    EXPECT_EQ(lines, (std::vector<Str>{u"ein", word, u"hier"})); // the long word stands alone, unbroken
    EXPECT_TRUE(Text_WrapLines(u"", 100).empty());
    EXPECT_EQ(Text_DrawWrapped(u"", 0, 0, 100, 1, 0), 0);
    // Blanks at a break vanish; the double blank inside a line stays.
    EXPECT_EQ(Text_WrapLines(u"Diese  entfernt", 2000), (std::vector<Str>{u"Diese  entfernt"}));
    EXPECT_EQ(Text_WrapLines(u"Diese  entfernt", Text_Width(u"Diese")), (std::vector<Str>{u"Diese", u"entfernt"}));
}

TEST_F(TextLayout, HeightIsLinesTimesLineHeightAndMeasureDrawsNothing) {
    const int lh = Text_Height(u"X");
    ASSERT_GT(lh, 0);
    const Str text = u"Wirklich beenden?\rJa oder Nein";
    EXPECT_EQ(Text_DrawWrapped(text, 0, 0, 2000, 1, 1), 2 * lh);
    Draw_SetClsColor(0, 0, 0);
    Draw_Cls();
    Text_DrawWrapped(text, 10, 10, 300, 1, 0);
    EXPECT_EQ(WidgetsTest_CountInk(0, 0, 400, 100, 0x000000), 0);
    Text_DrawWrapped(text, 10, 10, 300, 0, 0);
    EXPECT_GT(WidgetsTest_CountInk(0, 0, 400, 100, 0x000000), 50);
}

TEST_F(TextLayout, CentredLinesAndCentredPoint) {
    Draw_SetClsColor(0, 0, 0);
    Draw_Cls();
    // A short line centred in a 400-wide box starting at x 0: its ink lies around x 200, none near the edges.
    Text_DrawWrapped(u"OK", 0, 100, 400, 0, 1);
    EXPECT_GT(WidgetsTest_CountInk(170, 95, 60, 40, 0x000000), 10);
    EXPECT_EQ(WidgetsTest_CountInk(0, 95, 150, 40, 0x000000), 0);
    EXPECT_EQ(WidgetsTest_CountInk(250, 95, 150, 40, 0x000000), 0);
    Draw_Cls();
    // Centred on a point: ink on both sides of it, above and below.
    Text_DrawCenteredAt(u"Menü", 600, 400);
    EXPECT_GT(WidgetsTest_CountInk(560, 385, 40, 30, 0x000000), 5);
    EXPECT_GT(WidgetsTest_CountInk(600, 385, 40, 30, 0x000000), 5);
    EXPECT_EQ(WidgetsTest_CountInk(500, 300, 200, 70, 0x000000), 0);
}

TEST_F(TextLayout, FitStepsDownWithinTheFamily) {
    const Str text = u"Möchtest du das letzte Spiel weiter spielen?";
    // Roomy box: the first font fits.
    EXPECT_EQ(Text_FitFont(text, 51, 800, 600), 51);
    EXPECT_EQ(Text_FitFont(text, 12, 800, 600), 12);
    // Tighter boxes: whatever is chosen is Trinigan (never UnZialish 40 at index 47), not larger than the start,
    // and really fits.
    for (int h : {90, 60, 40}) {
        const int f = Text_FitFont(text, 51, 342, h);
        EXPECT_EQ(Font_Entries[size_t(f)].family, FONT_TRINIGAN) << h;
        EXPECT_LE(Font_Entries[size_t(f)].size, 28) << h;
        EXPECT_NE(f, 47);
        Draw_SetImageFont(Fonts[size_t(f)]);
        EXPECT_LE(Text_DrawWrapped(text, 0, 0, 342, 1, 0), h) << h;
        Draw_SetImageFont(Fonts[12]);
    }
    // From 12 (UnZialish 16) the steps go to 14 px (index 11) and below, never to another family.
    const int twoLinesAt16 = Text_DrawWrapped(text, 0, 0, 250, 1, 0);
    const int f = Text_FitFont(text, 12, 250, twoLinesAt16 - 1);
    EXPECT_EQ(Font_Entries[size_t(f)].family, FONT_UNZIALISH);
    EXPECT_LT(Font_Entries[size_t(f)].size, 16);
    // The current font is left alone.
    EXPECT_EQ(Draw_GetImageFont(), Fonts[12]);
}

TEST_F(TextLayout, FitTakesABoxExactlyAsHighAsTheText) {
    const Str text = u"Möchtest du das letzte Spiel weiter spielen?";
    Draw_SetImageFont(Fonts[51]);
    const int h = Text_DrawWrapped(text, 0, 0, 342, 1, 0);
    Draw_SetImageFont(Fonts[12]);
    EXPECT_EQ(Text_FitFont(text, 51, 342, h), 51);     // exactly as high: fits
    EXPECT_NE(Text_FitFont(text, 51, 342, h - 1), 51); // one pixel less: a smaller font
}

TEST_F(TextLayout, NothingFitsGivesTheSmallestOfTheFamilyAndALine) {
    int f = -2;
    const std::string out = WidgetsTest_Stdout([&] { f = Text_FitFont(u"Hinzufügen Umbenennen Löschen", 51, 5, 3); });
    EXPECT_NE(out.find("no font is small enough"), std::string::npos);
    EXPECT_EQ(Font_Entries[size_t(f)].family, FONT_TRINIGAN);
    for (const FontEntry& s : Font_Entries)
        if (s.family == FONT_TRINIGAN) {
            EXPECT_GE(s.size, Font_Entries[size_t(f)].size);
        }
}

} // namespace
