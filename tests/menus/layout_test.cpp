// Every screen reads right, measured in the fonts the game draws with: each button caption stays between its
// plaque's ends, each game-flow box's text ends above its buttons, and the longest legal name (nine W, the widest
// letter) stays inside the main menu's player button, the players list's rows and the high-score table's name
// column; what the build menu and the shop draw on their item buttons stays on them. Screens and dialogs of
// src/menus and src/castle, opened as the game opens them.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board/play.h"
#include "castle/castle.h"
#include "main/config.h"
#include "main/gui_listbox.h"
#include "main/screens.h"
#include "main/text_layout.h"
#include "main/texts.h"
#include "menus/menus.h"
#include "menus_helpers.h"
#include "platform/graphics.h"

namespace {

const Str kLongestName = u"WWWWWWWWW";

// The width a line takes when drawn in `font`, shrunk to `fitW` when the drawing fits it (0: as it is).
float DrawnWidth(const Str& text, const FontPtr& font, int32_t fitW = 0) {
    const FontPtr keep = Draw_GetImageFont();
    Draw_SetImageFont(font);
    const float w = float(Text_Width(text)) * (fitW > 0 ? Text_FitScale(text, fitW) : 1.0f);
    Draw_SetImageFont(keep);
    return w;
}

// "" when the button's caption lies between its image's ends (the plaque's rim and studs), else what sticks out.
std::string CaptionOutside(const GUIBtn& b, const std::string& where) {
    const ImagePtr img = b.Image(BTNIMG_DEFAULT);
    if (b.text.empty() || (b.state & BTN_HIDDEN) || !img) return {};
    const float w = DrawnWidth(b.text, b.font, b.textFitW);
    const float left = (b.textOptions & BTNTXT_CENTRED) ? b.textX - w / 2 : b.textX;
    const float room = float(kPlaqueEndRoom), imageW = float(Image_Width(img));
    if (left >= room - 0.5f && left + w <= imageW - room + 0.5f) return {};
    return where + ": \"" + Str_ToUtf8(b.text) + "\" spans " + std::to_string(left) + ".." + std::to_string(left + w) +
           " of a " + std::to_string(int(imageW)) + "-px button";
}

class ScreensReadRight : public MenusTest {
  protected:
    void Check(const std::vector<GUIBtnPtr>& buttons, const std::string& where) {
        for (const GUIBtnPtr& b : buttons)
            if (b) {
                const std::string out = CaptionOutside(*b, where);
                EXPECT_TRUE(out.empty()) << out;
                ++checked_;
            }
    }
    template <size_t N> void Check(const std::array<GUIBtnPtr, N>& buttons, const std::string& where) {
        Check(std::vector<GUIBtnPtr>(buttons.begin(), buttons.end()), where);
    }
    int checked_ = 0;
};

TEST_F(ScreensReadRight, EveryCaptionStaysBetweenItsButtonsEnds) {
    NamePlayer0(Str_ToUtf8(kLongestName));
    for (int32_t id = 0; id < kTutorialSteps; ++id) // no lesson opens over the castle's screens
        Tutorial_Word(id) |= kTutDone;
    Screen_Set(kScreenMainMenu);
    Frames(2);
    Check(MainMenu_Buttons, "main menu");
    Options_Open();
    Frames(1);
    Check(Options_Widgets, "options");
    Dialog_Close();
    MM_Players_Open();
    Frames(1);
    Check(Players_Buttons, "players");
    Dialog_Close();
    for (const int32_t mode : {0, 1}) {
        HighScores_Open(-1, mode);
        Frames(1);
        Check(HS_Buttons, "high scores, mode " + std::to_string(mode));
        Dialog_Close();
    }
    Check(Credits_Buttons, "credits");
    Check(Help_Widgets, "help");
    Check(Wallpapers_Widgets, "wallpapers");
    Check(WL_Buttons, "level won");
    Check(IGMenu_Buttons, "in-game menu");
    Check({TutFrame_OkButton}, "tutorial frame");

    // Every game-flow box: its buttons' captions, and its text above them.
    struct Box {
        const char* name;
        void (*open)();
    };
    static constexpr Box kBoxes[] = {
        {"name taken", MsgBox_NameExists_Open},
        {"last player", MsgBox_LastPlayer_Open},
        {"player deleted", MsgBox_PlayerDeleted_Open},
        {"continue", MsgBox_Continue_Open},
        {"quit", MsgBox_Quit_Open},
        {"time offer", MsgBox_Level_Open},
        {"delete player", MsgBox_DeletePlayer_Open},
        {"gamble", MsgBox_Shop_Open},
        {"life lost", MsgBox_Frame_Open},
        {"game over", MsgBox_HighScore_Open},
        {"last life", MsgBox_Game_Open},
        {"castles done", MsgBox_CastlesDone_Open},
        {"castle completed", MsgBox_CastleCompleted_Open},
        {"level", MsgBox_LevelDone_Open},
        {"all done", MsgBox_AllDone_Open},
        {"levels ended", MsgBox_LevelsEnded_Open},
        {"set wallpaper", MsgBox_SetWallpaper_Open},
        {"reset scores", MsgBox_HsReset_Open},
    };
    Lives = 3; // a match under way on level 7 (the time offer needs a life to risk)
    Level_Current = 7;
    Level_Duration = 180 * kSecond;
    int opened = 0;
    for (const Box& box : kBoxes) {
        Dialog_Close();
        box.open();
        if (!Dialog_Active) continue;
        ++opened;
        if (std::getenv("BQ_PLAY_SHOTS")) { // a picture of each box for a person's look
            Frames(1);
            Shot((std::string("box ") + box.name).c_str());
        }
        Check(MsgBox_Buttons, box.name);
        if (MsgBox_Buttons.empty()) continue;
        const int32_t buttonTop = int32_t(MsgBox_Buttons.front()->y) - Dialog_Y;
        EXPECT_LE(MsgBox_TextBottom(), buttonTop) << box.name << ": the text runs over the buttons";
    }
    Dialog_Close();
    EXPECT_GE(opened, 15);
    Gamble_PendingHammer = 0; // what the gamble box won is not carried into the next test's level
    Mana = 0;

    // The castle's screens.
    Level_Current = 7;
    BuildMenu_From = BM_FROM_SHOP;
    Screen_Set(kScreenBuildMenu);
    Frames(2);
    Check(BuildMenu_Buttons, "build menu");
    Check(BuildMenu_PartButtons, "build menu parts");
    Screen_Set(kScreenShop);
    Frames(2);
    Check(Shop_Buttons, "shop");
    Screen_Set(kScreenMainMenu);
    Tutorial_ResetRun();
    EXPECT_GT(checked_, 40);
}

// The canvas pixels that differ between two drawings, as a box {x0, y0, x1, y1} (x1, y1 past the last); {0,0,0,0}
// when none does.
struct Area {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool Inside(const Area& o) const { return x0 >= o.x0 && y0 >= o.y0 && x1 <= o.x1 && y1 <= o.y1; }
};
std::ostream& operator<<(std::ostream& os, const Area& a) {
    return os << "x " << a.x0 << ".." << a.x1 << ", y " << a.y0 << ".." << a.y1;
}
template <class A, class B> Area DrawnDifference(A drawA, B drawB) {
    const auto shot = [](auto draw) {
        Draw_ResetState();
        Draw_Cls();
        draw();
        return Graphics_ReadPixels(0, 0, Screen_Width, Screen_Height);
    };
    const Pixmap a = shot(drawA), b = shot(drawB);
    Area out{Screen_Width, Screen_Height, 0, 0};
    for (int y = 0; y < Screen_Height; ++y)
        for (int x = 0; x < Screen_Width; ++x)
            if (Pixmap_ReadPixel(a, x, y) != Pixmap_ReadPixel(b, x, y)) {
                out.x0 = std::min(out.x0, x);
                out.y0 = std::min(out.y0, y);
                out.x1 = std::max(out.x1, x + 1);
                out.y1 = std::max(out.y1, y + 1);
            }
    return out.x1 == 0 ? Area{} : out;
}

// What a castle screen draws over an item button (picture, name, price, level) stays on the button between its
// ends, for every part of every castle and every shop item at each of its levels.
TEST_F(ScreensReadRight, EveryItemTextStaysOnItsButton) {
    for (int32_t id = 0; id < kTutorialSteps; ++id)
        Tutorial_Word(id) |= kTutDone;
    const auto onButton = [](GUIBtn& b, auto drawItem) {
        const ImagePtr img = b.Image(BTNIMG_DEFAULT);
        const Area drawn = DrawnDifference([&] { b.Draw(); }, [&] { b.Draw(), drawItem(); });
        const Area room{int(b.x) + kPlaqueEndRoom, int(b.y), int(b.x) + Image_Width(img) - kPlaqueEndRoom,
                        int(b.y) + Image_Height(img)};
        return ::testing::AssertionResult(drawn.Inside(room)) << drawn << " outside " << room;
    };
    Level_Current = 7;
    BuildMenu_From = BM_FROM_SHOP;
    const auto settle = [this] { // the panel slides in
        for (int i = 0; i < 300 && Fade_State != FADE_STILL; ++i)
            Frames(1);
    };
    Screen_Set(kScreenBuildMenu);
    settle();
    ASSERT_FALSE(BuildMenu_PartButtons.empty());
    GUIBtn& part = *BuildMenu_PartButtons.front();
    const int32_t shown = part.id;
    for (size_t k = 0; k < Castle_Elems.size(); ++k) {
        part.id = int32_t(k);
        EXPECT_TRUE(onButton(part, [&] { BuildMenu_DrawPart(part); }))
            << "part " << k << " \"" << Str_ToUtf8(Castle_Elems[k]->name) << "\"";
    }
    part.id = shown;

    const Match_Carry carried = Match_Carried;
    const int32_t lives = Lives, treasure = Treasure_Level, capLevel = Mana_CapLevel;
    Screen_Set(kScreenShop);
    settle();
    for (int32_t level = 0; level <= kSpellLevels; ++level) { // from nothing bought to everything sold out
        Match_Carried.SpellLevels.fill(level);
        Treasure_Level = std::min(level, kTreasureLevels - 1);
        Mana_CapLevel = std::min(level, 2);
        Lives = level == kSpellLevels ? kLivesMax : 1;
        for (int32_t i = 1; i < kShopButtons; ++i)
            EXPECT_TRUE(onButton(*Shop_Buttons[size_t(i)], [&] { Shop_DrawItem(i, *Shop_Buttons[size_t(i)]); }))
                << "shop item " << i << " at level " << level;
    }
    Match_Carried = carried;
    Lives = lives, Treasure_Level = treasure, Mana_CapLevel = capLevel;
    Screen_Set(kScreenMainMenu);
    Tutorial_ResetRun();
}

// A nine-letter name of the widest letter, drawn where the game shows a name: what it adds to the picture stays in
// the player button between its ends, in the players list's frame and in the high-score table's name column.
TEST_F(ScreensReadRight, TheLongestNameStaysInsideEveryBoxThatShowsIt) {
    NamePlayer0(Str_ToUtf8(kLongestName));
    Screen_Set(kScreenMainMenu);
    Frames(2);
    ASSERT_TRUE(MainMenu_UserButton);
    GUIBtn& user = *MainMenu_UserButton;
    EXPECT_EQ(user.text, u"Spieler " + kLongestName);
    const Str caption = user.text;
    const int32_t userW = Image_Width(user.Image(BTNIMG_DEFAULT)), userH = Image_Height(user.Image(BTNIMG_DEFAULT));
    const Area userCaption =
        DrawnDifference([&] { user.text.clear(), user.Draw(); }, [&] { user.text = caption, user.Draw(); });
    const Area userRoom{int(user.x) + kPlaqueEndRoom, int(user.y), int(user.x) + userW - kPlaqueEndRoom,
                        int(user.y) + userH};
    EXPECT_TRUE(userCaption.Inside(userRoom)) << userCaption << " outside " << userRoom;

    // The players list: its rows, with the name in one of them, against the same rows without it.
    MM_Players_Open();
    Frames(1);
    ASSERT_TRUE(Players_List);
    GUIListbox& list = *Players_List;
    GUIListboxSlot* named = nullptr;
    for (const GUIListboxSlotPtr& row : list.rows)
        if (row && row->text == kLongestName) named = row.get();
    ASSERT_NE(named, nullptr);
    const Area listName =
        DrawnDifference([&] { named->text.clear(), list.Draw(); }, [&] { named->text = kLongestName, list.Draw(); });
    const Area listFrame{int(list.x), int(list.y), int(list.x) + list.width, Screen_Height};
    EXPECT_TRUE(listName.Inside(listFrame)) << listName << " outside " << listFrame;
    Dialog_Close();

    // The high-score table: the name's row against the same row with an empty name.
    HS_Slot slot;
    slot.player = 0; // the long name's player
    slot.score = 123456789;
    Highscores_Insert(0, slot);
    const size_t place = 0;
    ASSERT_EQ(HS_Names[place].substr(0, 9), kLongestName);
    const Str stored = HS_Names[place];
    HighScores_Open(-1, 0);
    Frames(1);
    const Area hsName = DrawnDifference([&] { HS_Names[place].clear(), HighScores_Draw(); },
                                        [&] { HS_Names[place] = stored, HighScores_Draw(); });
    const Area nameColumn{int(HS_X) + 40, 0, int(HS_X) + 170 - 4, Screen_Height};
    EXPECT_TRUE(hsName.Inside(nameColumn)) << hsName << " outside " << nameColumn;
    Dialog_Close();
}


} // namespace
