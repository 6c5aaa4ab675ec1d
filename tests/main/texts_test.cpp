// Tests of main/texts.cpp: the tables hold the German and English texts with their umlauts, line breaks and blanks
// exactly, every entry a screen shows is filled, composed texts, and entries asked for outside a table.
#include <gtest/gtest.h>

#include "main/texts.h"
#include "widgets_helpers.h"

namespace {

class Texts : public testing::Test {
  protected:
    void SetUp() override {
        Texts_SetGerman();
        Texts_SetEnglish();
    }
};

TEST_F(Texts, GermanLettersAreSingleCharacters) {
    // Umlauts as one Latin-1 character each (no UTF-8 bytes leaking into the tables).
    EXPECT_EQ(Button_Captions[11], Str(u"Zur\u00fcck"));
    EXPECT_EQ(Button_Captions[3], Str(u"Men\u00fc"));
    EXPECT_EQ(Button_Captions[21], Str(u"Hinzuf\u00fcgen"));
    EXPECT_EQ(MsgBox_Titles[11], Str(u"Gl\u00fcckwunsch!"));
    EXPECT_EQ(Options_Captions[6], Str(u"Ger\u00e4usche"));
    EXPECT_NE(Tutorial_Texts[30].find(u"gr\u00f6\u00dfere Schatzkiste"), Str::npos);
    EXPECT_EQ(IGMenu_Captions[1], Str(u"Hauptmen\u00fc"));
    for (const Str& s : Tutorial_Texts)
        for (char16_t c : s)
            EXPECT_TRUE(c >= 32 ? c < 256 : (c == u'\r' || c == u'\n')) << int(c);
}

TEST_F(Texts, BlanksAndLineBreaksAsWritten) {
    EXPECT_EQ(MsgBox_Texts[12], Str(u"Level Zeit  "));                 // two trailing blanks
    EXPECT_EQ(MsgBox_Titles[12], Str(u"Level "));                      // one trailing blank
    EXPECT_EQ(MainMenu_Captions[2], Str(u"Spieler "));                 // the name follows
    EXPECT_NE(Tutorial_Texts[17].find(u"Diese  entfernt"), Str::npos); // two blanks
    EXPECT_EQ(Tutorial_Texts[21].substr(0, 8), Str(u"Super!\r\n"));
    EXPECT_EQ(WinLose_Texts[2], Str(u"Gesammelte Ressourcen : "));
    // The credits body: the makers, an empty line, five lines, each ended by CR LF.
    int lines = 0;
    for (size_t at = Credits_Body.find(u"\r\n"); at != Str::npos; at = Credits_Body.find(u"\r\n", at + 2))
        ++lines;
    EXPECT_EQ(lines, 7);
    EXPECT_EQ(Credits_Body.substr(0, Credits_Body.find(u"\r\n\r\n")), Str(u"Das Brisquel 2 Team"));
    EXPECT_EQ(Credits_Version, Str(u"Version 1.09"));
}

TEST_F(Texts, EveryShownEntryIsFilled) {
    for (int i : {1, 2, 3, 4, 5, 6, 9, 10, 12, 13, 15, 16, 17, 18})
        EXPECT_FALSE(MsgBox_Texts[size_t(i)].empty()) << i;
    for (int i : {9, 10, 11, 12})
        EXPECT_FALSE(MsgBox_Titles[size_t(i)].empty()) << i;
    for (int i : {0, 1, 2, 3, 4, 6, 7, 9, 11, 14, 19, 20, 21, 22})
        EXPECT_FALSE(Button_Captions[size_t(i)].empty()) << i;
    for (const Str& s : MainMenu_Captions)
        EXPECT_FALSE(s.empty());
    for (const Str& s : Options_Captions)
        EXPECT_FALSE(s.empty());
    for (const Str& s : NameBox_Prompts)
        EXPECT_EQ(s, Str(u"Namen eingeben:"));
    for (int i = 1; i < 45; ++i)
        EXPECT_FALSE(Tutorial_Texts[size_t(i)].empty()) << i;
    // Steps that share a text share it word for word.
    EXPECT_EQ(Tutorial_Texts[33], Tutorial_Texts[43]);
    EXPECT_EQ(Tutorial_Texts[33], Tutorial_Texts[44]);
    for (int i = 36; i <= 37; ++i)
        EXPECT_EQ(Tutorial_Texts[35], Tutorial_Texts[size_t(i)]);
    for (int i = 39; i <= 42; ++i)
        EXPECT_EQ(Tutorial_Texts[38], Tutorial_Texts[size_t(i)]);
    // Tips: 0..20 in English, 4 has none.
    for (int i = 0; i <= 20; ++i)
        EXPECT_EQ(Tips_Texts[size_t(i)].empty(), i == 4) << i;
    EXPECT_EQ(Tips_Texts[2], Str(u"Well done. Break all ice tiles to finish the level."));
}

TEST_F(Texts, ComposedTexts) {
    EXPECT_EQ(Text_CastleCompleted(u"Luor"),
              Str(u"Du hast die Burg Luor wieder aufgebaut und einen Desktop Hintergrund freigeschaltet. Gute "
                  u"Arbeit!\r\nDie verbliebenen Juwelen werden in Gold gewechselt."));
    const Str early = Text_AllCastlesEarly(151 - 120);
    EXPECT_NE(early.find(u"erh\u00e4lst du 31 weitere Levels, um den Punktestand zu erh\u00f6hen."), Str::npos);
}

TEST_F(Texts, OutsideATableIsALineNotACrash) {
    const Str* got = nullptr;
    const std::string out = WidgetsTest_Stdout([&] { got = &Text_Entry(Button_Captions, 23, "Button_Captions"); });
    EXPECT_TRUE(got->empty());
    EXPECT_NE(out.find("Button_Captions[23]"), std::string::npos);
    WidgetsTest_Stdout([&] { got = &Text_Entry(MsgBox_Texts, -1, "MsgBox_Texts"); });
    EXPECT_TRUE(got->empty());
    EXPECT_EQ(Text_Entry(Button_Captions, 9, "Button_Captions"), Str(u"OK"));
}

TEST_F(Texts, FillingAgainRewritesEverything) {
    Button_Captions[9] = u"changed";
    Button_Captions[5] = u"stray";
    Texts_SetGerman();
    EXPECT_EQ(Button_Captions[9], Str(u"OK"));
    EXPECT_TRUE(Button_Captions[5].empty());
}

} // namespace
