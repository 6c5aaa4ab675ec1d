// Tests of src/menus/msgbox_flow.cpp: the game-flow boxes driven through the real dialog manager with scripted keys
// and clicks: the time offer's arithmetic and its refusals, the keys that stand for the buttons (and the one that
// opened a box), the boxes that lead to the menu, the wallpapers or the next box, and every box's table row.
#include <gtest/gtest.h>

#include "board/level_file.h"
#include "board/play.h"
#include "board/rules.h"
#include "castle/castle.h"
#include "main/progress.h"
#include "main/runtime.h"
#include "main/screens.h"
#include "menus/menus.h"
#include "menus_helpers.h"
#include "platform/graphics.h"

namespace {

constexpr const char* kYes = "2 click 1 292 368"; // a dlg3 box's first button
constexpr const char* kNo = "2 click 1 413 368";  // its second
constexpr const char* kOk = "2 click 1 400 393";  // a dlg2 box's button

class FlowTest : public MenusTest {
  protected:
    void SetUp() override {
        MenusTest::SetUp();
        MatchUnderWay();
        Level_TimeLeft = 90 * kSecond;
        Level_OfferTime = 120 * kSecond;
        Level_OfferMade = 1;
        // The boxes alone: the player has switched the tutorial off, so a level started here opens no frame of it
        // (the tutorial's steps are made once per process by the tutorial tests and would otherwise show).
        Tutorial_Flags.fill(kTutOff);
    }
};

TEST_F(FlowTest, TimeOfferBuysOnlyUpToTheLevelsDuration) {
    MsgBox_Level_Open();
    EXPECT_EQ(Game_Paused, 1);
    Run(kYes, 4);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(Game_Paused, 0);
    EXPECT_EQ(Lives, 2);
    EXPECT_EQ(Level_TimeLeft, 180 * kSecond) << "90 s left of 180: only 90 s more";
    EXPECT_EQ(Level_TimeBought, 90 * kSecond);
    EXPECT_EQ(Level_OfferMade, 0) << "offered again when the time runs low once more";
}

TEST_F(FlowTest, TimeOfferTakesNoLifeForNoTime) {
    Level_TimeLeft = Level_Duration;
    MsgBox_Level_Open();
    Run("2 key 13 press", 4); // Enter buys
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(Lives, 3);
    EXPECT_EQ(Level_TimeLeft, Level_Duration);
    EXPECT_EQ(Level_OfferMade, 1) << "not offered again in this level";
    EXPECT_EQ(Game_Paused, 0);
}

TEST_F(FlowTest, TimeOfferWithoutLivesClosesAtOnceAndEscapeRisks) {
    Lives = 0;
    MsgBox_Level_Open();
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(Game_Paused, 0);
    Lives = 2;
    MsgBox_Level_Open();
    Run("2 key 27 press", 4);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(Lives, 2);
    EXPECT_EQ(Level_TimeLeft, 90 * kSecond);
    EXPECT_EQ(Game_Paused, 0);
}

TEST_F(FlowTest, OneButtonBoxIgnoresTheKeyThatOpenedItAndTakesTheNextOnce) {
    Script("2 text a\n5 text b\n");
    Frames(1);
    MsgBox_LevelDone_Open(); // frame 2 starts with "a" typed: the opening flush takes it
    EXPECT_EQ(Game_Paused, 1);
    Frames(3);
    EXPECT_EQ(Dialog_Active, 1);
    EXPECT_EQ(Game_Paused, 1);
    Frames(2);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(Game_Paused, 0);
}

TEST_F(FlowTest, GameOverBoxHasNoKeysAndItsMenuButtonResetsToTheMenu) {
    MsgBox_HighScore_Open();
    Run("2 key 27 press\n4 key 13 press\n6 text x\n8 key 32 press", 10);
    EXPECT_EQ(Dialog_Active, 1);
    Run(kNo, 4);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(Screen_Current, kScreenMainMenu);
}

TEST_F(FlowTest, CastlesDoneGoesOnByClickToTheEarlyEndBox) {
    Match_EndState = 0;
    MsgBox_CastlesDone_Open();
    EXPECT_EQ(Dialog_X, 0);
    EXPECT_EQ(Dialog_Y, 0);
    Run("2 click 3 20 580", 3); // the middle button, anywhere
    ASSERT_EQ(Dialog_Active, 1) << "the all-castles-early box follows";
    Run(kOk, 4);
    EXPECT_EQ(Dialog_Active, 0);
    Match_EndState = 3;
    MsgBox_CastlesDone_Open();
    Score = 0; // no high-score place: the campaign's end leads to the main menu and its wallpapers
    Run("2 text q", 3);
    EXPECT_EQ(Screen_Current, kScreenMainMenu) << "with the levels run out the campaign ends";
    EXPECT_EQ(Dialog_Active, 1) << "the wallpapers dialog opens over the menu";
}

TEST_F(FlowTest, ContinueBoxEscapeOnlyClosesNeinStartsAtLevelOne) {
    Screen_Current = kScreenMainMenu;
    MsgBox_Continue_Open();
    Run("2 key 27 press", 3);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(Screen_Current, kScreenMainMenu);
    MsgBox_Continue_Open();
    Run(kNo, 4);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(Screen_Current, kScreenGame);
    EXPECT_EQ(Level_Current, 1);
    EXPECT_EQ(Player_LastLevel[0], 1);
    EXPECT_EQ(Match_Continued, 1);
    EXPECT_EQ(Level_Path, u"incbin::levels/BQ2_level_001.lev") << "a new match plays level 1 (Game_Start)";
    Screen_Current = kScreenMainMenu;
    Level_StartMode = 0;
    MsgBox_Continue_Open();
    Run(kYes, 4);
    EXPECT_EQ(Screen_Current, kScreenGame);
    EXPECT_EQ(Level_StartMode, 2);
}

TEST_F(FlowTest, NeinAfterALoadedMatchStartsWithNothingOfIt) {
    // the continue box comes after Match_Load: the old match's gold, mana, spells and castle are in memory
    Gold = 777;
    Mana = 40;
    Mana_CapLevel = 2;
    Match_Carried.SpellLevels[0] = 2;
    Castle_Elems[0]->built = 1;
    Gems_Total.fill(50);
    Screen_Current = kScreenMainMenu;
    MsgBox_Continue_Open();
    Run(kNo, 4);
    ASSERT_EQ(Screen_Current, kScreenGame);
    EXPECT_EQ(Gold, 0);
    EXPECT_EQ(Mana, 0);
    EXPECT_EQ(Mana_CapLevel, 0);
    EXPECT_EQ(Match_Carried.SpellLevels[0], 0);
    EXPECT_FALSE(Castle_Elems[0]->built);
    EXPECT_EQ(Gems_Total[0], 0);
    // and the match written for the new start carries none of it either
    Gold = 5;
    Castle_Elems[0]->built = 1;
    ASSERT_TRUE(Match_Load());
    EXPECT_EQ(Gold, 0);
    EXPECT_EQ(Match_Carried.SpellLevels[0], 0);
    EXPECT_FALSE(Castle_Elems[0]->built);
}

TEST_F(FlowTest, QuitAsksFirst) {
    Screen_Current = kScreenMainMenu;
    Run("2 click 1 671 488", 4); // "Ende"
    ASSERT_EQ(Dialog_Active, 1);
    Run("2 key 27 press", 3);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(Quit_Requested, 0);
    Run("2 click 1 671 488", 4);
    Run(kYes, 4);
    EXPECT_EQ(Quit_Requested, 1);
}

TEST_F(FlowTest, MenuButtonsUnderAnOpenBoxStartNothing) {
    Screen_Current = kScreenMainMenu;
    MsgBox_Quit_Open();
    Run("2 click 1 671 173", 4); // "Start", outside the box
    EXPECT_EQ(Screen_Current, kScreenMainMenu);
    EXPECT_EQ(Dialog_Active, 1);
}

TEST_F(FlowTest, CastleCompletedLeadsToTheMenuWithItsWallpaperSelected) {
    Castle_JustCompleted = 4;
    MsgBox_CastleCompleted_Open();
    ASSERT_NE(CastleBox_Font, nullptr);
    Run("2 key 13 press", 3);
    EXPECT_EQ(Screen_Current, kScreenMainMenu);
    EXPECT_EQ(Dialog_Active, 1) << "the wallpapers dialog";
    EXPECT_EQ(Wallpapers_Current, 4);
}

TEST_F(FlowTest, ShopBoxHoldsTheShopButtonsAndFreesOnlyTheFirst) {
    for (GUIBtnPtr& b : Shop_Buttons)
        b = GUIBtn::Create(0, 0, 0);
    MsgBox_Shop_Open();
    for (const GUIBtnPtr& b : Shop_Buttons)
        EXPECT_NE(b->state & BTN_DISABLED, 0);
    Run(kOk, 4);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(Shop_Buttons[0]->state & BTN_DISABLED, 0);
    EXPECT_NE(Shop_Buttons[1]->state & BTN_DISABLED, 0) << "the shop sorts out the others itself";
    Shop_Buttons.fill(nullptr);
}

// Every box opens on its skin with its buttons inside the background, and draws its text inside the box.
TEST_F(FlowTest, EveryBoxBuildsItsRowAndDrawsInsideItsFrame) {
    struct Row {
        void (*open)();
        int buttons;
        bool dlg3;
        const char* name; // MsgBox_FlowName while it is open
    };
    const Row rows[] = {
        {MsgBox_NameExists_Open, 1, false, "NameExists"},
        {MsgBox_LastPlayer_Open, 1, false, "LastPlayer"},
        {MsgBox_PlayerDeleted_Open, 1, false, "PlayerDeleted"},
        {MsgBox_Continue_Open, 2, true, "Continue"},
        {MsgBox_Quit_Open, 2, true, "Quit"},
        {MsgBox_Level_Open, 2, true, "Level"},
        {MsgBox_DeletePlayer_Open, 2, true, "DeletePlayer"},
        {MsgBox_Frame_Open, 1, false, "Frame"},
        {MsgBox_HighScore_Open, 2, true, "HighScore"},
        {MsgBox_Game_Open, 1, false, "Game"},
        {MsgBox_CastleCompleted_Open, 1, false, "CastleCompleted"},
        {MsgBox_LevelDone_Open, 1, false, "LevelDone"},
        {MsgBox_AllDone_Open, 1, false, "AllDone"},
        {MsgBox_LevelsEnded_Open, 1, false, "LevelsEnded"},
        {MsgBox_SetWallpaper_Open, 2, true, "SetWallpaper"},
        {MsgBox_HsReset_Open, 2, true, "HsReset"},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        Dialog_Close();
        EXPECT_STREQ(MsgBox_FlowName(), "");
        rows[i].open();
        ASSERT_EQ(Dialog_Active, 1);
        EXPECT_STREQ(MsgBox_FlowName(), rows[i].name);
        const int w = rows[i].dlg3 ? kDlg3Width : kDlg2Width, h = rows[i].dlg3 ? kDlg3Height : kDlg2Height;
        EXPECT_EQ(Dialog_X, 400 - w / 2);
        EXPECT_EQ(Dialog_Y, 300 - h / 2);
        ASSERT_EQ(int(MsgBox_Buttons.size()), rows[i].buttons);
        for (const GUIBtnPtr& b : MsgBox_Buttons) {
            EXPECT_GE(b->x, Dialog_X);
            EXPECT_LE(b->x + float(b->hitW), float(Dialog_X + w));
            EXPECT_LE(b->y + float(b->hitH), float(Dialog_Y + h));
            EXPECT_FALSE(b->text.empty());
        }
        Draw_Cls();
        Dialog_RunDraw();
        // Text in white over the dark box: light pixels in the middle band, none outside the box's rows.
        const Pixmap pm = Graphics_ReadPixels(Dialog_X + 30, Dialog_Y + 60, w - 60, 120);
        int light = 0;
        for (int y = 0; y < pm.height; ++y)
            for (int x = 0; x < pm.width; ++x) {
                const uint8_t* p = &pm.bytes[size_t(y) * size_t(pm.pitch) + size_t(x) * 4];
                light += p[0] > 200 && p[1] > 200 && p[2] > 200;
            }
        EXPECT_GT(light, 100) << "no text drawn";
    }
    Dialog_Close();
}

} // namespace
